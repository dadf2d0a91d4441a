#include "libui/InputFields.h"

#include "libui/DialogBuilder.h"
#include "libui/FormulaEdit.h"
#include "libui/HistoryCombo.h"
#include "model/input/FormulaList.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <QRadioButton>

namespace {

const int UnitIds[] = {1501, 1502, 1511, 1503};

} // namespace

int UnitButtonId(int unit)
{
    return unit >= 0 && unit < 4 ? UnitIds[unit] : UnitIds[0];
}

int UnitOfButton(int id)
{
    for (int unit = 0; unit < 4; ++unit) {
        if (UnitIds[unit] == id)
            return unit;
    }
    return 0;
}

QButtonGroup* AddUnitButtons(CDialogBuilder& builder, int row, int column)
{
    auto* group = new QButtonGroup(builder.Dialog());
    const char* captions[] = {"&mm", "i&nch", "m&ill", "&Grid"};
    for (int unit = 0; unit < 4; ++unit)
        builder.Radio(group, UnitIds[unit], QString::fromLatin1(captions[unit]), row, column + unit);
    return group;
}

CFormulaEdit* AttachFormulaEdit(CHistoryCombo* combo)
{
    auto* edit = new CFormulaEdit(combo);
    combo->setLineEdit(edit);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return edit;
}

int ReadValues(CFormulaEdit* edit, double* values, int maximum)
{
    const int count = edit->GetValueCount();
    if (count < 1)
        return 0;
    if (count > maximum) {
        const std::size_t comma = CFormulaList::CommaPosition(edit->GetText(), maximum);
        AfxMessageBox(platform::Format(_J("エラー位置 %zu!").c_str(), comma), MB_OK);
        return 0;
    }
    return edit->GetValue(values, maximum) ? count : 0;
}
