#include "controls/GfxToolTip.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

CGfxToolTip::CGfxToolTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_pOwner(owner)
{
    setObjectName(QStringLiteral("QemListTip"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

bool CGfxToolTip::Show(const QRect& cell, const QString& text, int margin)
{
    if (cell.isEmpty() || text.isEmpty() || isVisible() || !QApplication::focusWidget())
        return false;
    const QFontMetrics fm(m_pOwner->font());
    // A text wider than any screen is cut before it is measured.
    const QScreen* screen = m_pOwner->screen();
    const qsizetype most = 2 * static_cast<qsizetype>(screen ? screen->geometry().width() : 4096);
    const QString shown = text.size() > most ? text.left(most) : text;
    const int width = fm.horizontalAdvance(shown) + 3;
    if (cell.right() + 1 - margin >= cell.left() + margin + width)
        return false; // the text fits
    m_strText = shown;
    setFont(m_pOwner->font());
    setGeometry(cell.left() + margin, cell.top(), width, cell.height());
    show();
    raise();
    return true;
}

void CGfxToolTip::Hide()
{
    if (isVisible())
        hide();
}

void CGfxToolTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    p.setPen(palette().color(QPalette::ToolTipText));
    p.drawText(rect().adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strText);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
