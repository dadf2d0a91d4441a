#include "libui/DlgNumberIn.h"

#include "libui/DialogBuilder.h"
#include "libui/FormulaEdit.h"
#include "libui/HistoryCombo.h"
#include "libui/InputFields.h"
#include "model/input/InputUnits.h"
#include "platform/Profile.h"

#include <QButtonGroup>
#include <QRadioButton>

CDlgNumberIn::CDlgNumberIn(QWidget* parent) : QDialog(parent)
{
    m_grid.kind = CInputUnits::NoGrid;
    setWindowTitle(QString::fromUtf8("数値設定"));
    setObjectName(QString::number(IDD));
    CDialogBuilder b(this);
    b.Label(QString::fromUtf8("数値(&N)"), 0, 0);
    m_combo = b.Add(IdValue, new CHistoryCombo(false, this), 0, 1, 1, 4);
    m_combo->setMinimumWidth(220);
    m_edit = AttachFormulaEdit(m_combo);
    m_units = AddUnitButtons(b, 1, 1);
    b.OkCancel(0, 5);
}

void CDlgNumberIn::showEvent(QShowEvent* event)
{
    if (!m_initialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CDlgNumberIn::OnInitDialog()
{
    m_initialised = true;
    if (m_unitEnabled)
        m_unit = platform::GetProfile().GetInt("NumberIn", "Unit", 0);
    m_unit = CInputUnits::Usable(m_unit, m_grid);
    if (QAbstractButton* button = m_units->button(UnitButtonId(m_unit)))
        button->setChecked(true);
    for (QAbstractButton* button : m_units->buttons())
        button->setEnabled(m_unitEnabled != 0);
    if (m_unitEnabled)
        m_units->button(UnitButtonId(CInputUnits::Grid))->setEnabled(m_grid.kind == 0);
    m_combo->LoadHistory("NumberIn", "Num", true, nullptr);
}

bool CDlgNumberIn::Exchange()
{
    m_unit = UnitOfButton(m_units->checkedId());
    double values[2] = {0.0, 0.0};
    const int count = ReadValues(m_edit, values, 2);
    if (count < 1)
        return false;
    m_point = CDPoint(values[0], count == 2 ? values[1] : values[0]);
    return true;
}

void CDlgNumberIn::accept()
{
    if (!Exchange() || m_edit->text().isEmpty())
        return;
    if (m_unitEnabled)
        platform::GetProfile().SetInt("NumberIn", "Unit", m_unit);
    m_combo->SaveHistory(true);
    m_point = CDPoint(m_point.x * CInputUnits::Factor(m_unit, m_grid, 0),
                      m_point.y * CInputUnits::Factor(m_unit, m_grid, 1));
    QDialog::accept();
}

bool CDlgNumberIn::Run(NumberInDialogData& data, QWidget* parent)
{
    CDlgNumberIn dialog(parent);
    if (data.hasGrid)
        dialog.SetGrid(data.grid);
    dialog.SetUnit(data.unit);
    dialog.SetUnitEnable(data.unitEnabled ? 1 : 0);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    data.first = dialog.GetPoint().x;
    data.second = dialog.GetPoint().y;
    data.unit = dialog.GetUnit();
    return true;
}
