#include "libui/Gripper.h"

#include <QStyle>

CGripper::CGripper(QWidget* parent) : QSizeGrip(parent)
{
    setCursor(Qt::SizeFDiagCursor);
}

bool CGripper::Create(QWidget* parent)
{
    if (!parent)
        return false;
    m_parent = parent;
    if (parentWidget() != parent)
        setParent(parent);
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(w, w);
    CalcParentSize();
    return true;
}

void CGripper::CalcParentSize()
{
    if (!m_parent)
        return;
    move(m_parent->width() - width(), m_parent->height() - height());
    show();
}
