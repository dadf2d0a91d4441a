#include "libui/TriStateCheck.h"

CTriStateCheck::CTriStateCheck(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

int CTriStateCheck::GetState() const
{
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void CTriStateCheck::SetState(int state)
{
    if (state == 1)
        setCheckState(Qt::Checked);
    else if (state != 0 && isTristate())
        setCheckState(Qt::PartiallyChecked);
    else
        setCheckState(Qt::Unchecked);
}

void CTriStateCheck::nextCheckState()
{
    if (!isTristate()) {
        QCheckBox::nextCheckState();
        return;
    }
    SetState((GetState() + 1) % 3);
}
