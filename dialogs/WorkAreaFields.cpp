#include "dialogs/WorkAreaFields.h"

#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <limits>

void SetupWorkAreaSpins(const WorkAreaSpins& spins)
{
    for (CNumSpinCtrl* side : {spins.width, spins.height}) {
        side->SetRange(100.0, 500.0);
        side->SetStep(20.0);
    }
    for (CNumSpinCtrl* origin : {spins.originX, spins.originY}) {
        origin->SetRange(0.0, 250.0);
        origin->SetStep(10.0);
    }
}

void ShowWorkAreaNumber(CNumEdit* edit, double value)
{
    if (!edit->SetValue(value))
        edit->setText(QString::number(value, 'g', 10));
}

double ReadWorkAreaNumber(const CNumEdit* edit)
{
    bool valid = false;
    const double value = edit->GetValue(&valid);
    if (valid)
        return value;
    bool ok = false;
    const double typed = edit->text().trimmed().toDouble(&ok);
    return ok ? typed : std::numeric_limits<double>::quiet_NaN();
}

bool CheckWorkArea(double width, double height, double originX, double originY)
{
    auto outside = [](double v, double low, double high) { return !(v >= low && v <= high); };
    if (outside(height, 100.0, 500.0) || outside(width, 100.0, 500.0)) {
        AfxMessageBox(_J("作業領域は１００～５００ｍｍです"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (outside(originX, 0.0, width * 0.5) || outside(originY, 0.0, height * 0.5)) {
        AfxMessageBox(_J("原点は０～作業領域の半分です"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
