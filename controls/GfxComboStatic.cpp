#include "controls/GfxComboStatic.h"

#include <QPainter>

CGfxComboStatic::CGfxComboStatic(QWidget* parent) : QWidget(parent)
{
    // Presses belong to the combo, which drops its list down.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_crText = palette().color(QPalette::Text);
}

void CGfxComboStatic::SetText(const QString& text)
{
    m_strText = text;
    update();
}

void CGfxComboStatic::SetTextColor(const QColor& colour)
{
    m_crText = colour;
    update();
}

void CGfxComboStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setPen(m_crText);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_strText);
}
