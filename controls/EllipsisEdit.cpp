#include "controls/EllipsisEdit.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

CEllipsisEdit::CEllipsisEdit(bool pathEllipsis, QWidget* parent)
    : QLineEdit(parent), m_bPathEllipsis(pathEllipsis)
{
    connect(this, &QLineEdit::textChanged, this, [this] { update(); });
}

QString CEllipsisEdit::Elide(const QString& text, const QFontMetrics& fm, int width, bool path)
{
    if (fm.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    const qsizetype sep = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    if (!path || sep <= 0)
        return fm.elidedText(text, Qt::ElideRight, width);
    // The last component stays whole; the folders before it give way.
    const QString tail = text.mid(sep);
    if (fm.horizontalAdvance(dots + tail) > width)
        return fm.elidedText(dots + tail, Qt::ElideRight, width);
    qsizetype keep = sep;
    while (keep > 0 && fm.horizontalAdvance(text.left(keep) + dots + tail) > width)
        --keep;
    return text.left(keep) + dots + tail;
}

void CEllipsisEdit::paintEvent(QPaintEvent* event)
{
    if (hasFocus()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter p(this);
    const bool editable = isEnabled() && !isReadOnly();
    p.fillRect(rect(), palette().color(editable ? QPalette::Base : QPalette::Window));
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    if (hasFrame())
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
    p.fillRect(rect().adjusted(2, 2, -2, -2), palette().color(editable ? QPalette::Base : QPalette::Window));
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &frame, this).adjusted(2, 0, -2, 0);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               Elide(text(), fontMetrics(), r.width(), m_bPathEllipsis));
}

void CEllipsisEdit::focusOutEvent(QFocusEvent* event)
{
    const QString trimmed = text().trimmed();
    if (trimmed != text())
        setText(trimmed);
    QLineEdit::focusOutEvent(event);
    update();
}

void CEllipsisEdit::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
        if (auto* combo = qobject_cast<QComboBox*>(parentWidget()))
            combo->hidePopup();
    QLineEdit::keyPressEvent(event);
}
