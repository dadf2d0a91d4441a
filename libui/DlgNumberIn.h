#pragma once
// Number input dialog ("数値設定"): one or two values typed as formulas with a unit, handed back
// in millimetres. The typed formulas are kept in a history; the unit is remembered.

#include "model/geometry/DPoint.h"
#include "model/services/ItemDialogs.h"
#include "model/services/Records.h"

#include <QDialog>

class CFormulaEdit;
class CHistoryCombo;
class QButtonGroup;

class CDlgNumberIn : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 327,
        IdValue = 1648,
        IdMillimetre = 1501,
        IdInch = 1502,
        IdMil = 1511,
        IdGrid = 1503
    };

    explicit CDlgNumberIn(QWidget* parent = nullptr);

    void SetGrid(const tagGRID& grid) { m_grid = grid; }
    void SetUnit(int unit) { m_unit = unit; }
    // 0: the unit buttons are disabled and the unit is neither read nor remembered.
    void SetUnitEnable(int enable) { m_unitEnabled = enable; }
    // The values in millimetres; one typed value gives both coordinates.
    CDPoint GetPoint() const { return m_point; }
    int GetUnit() const { return m_unit; }

    // Fills the controls from the members and the profile (run once, before the dialog shows).
    void OnInitDialog();
    // Reads the controls; false keeps the dialog open.
    bool Exchange();
    void accept() override;

    // Runs the dialog on the record of the item-dialog interface.
    static bool Run(NumberInDialogData& data, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    CHistoryCombo* m_combo;
    CFormulaEdit* m_edit;
    QButtonGroup* m_units;
    tagGRID m_grid;
    CDPoint m_point;
    int m_unit = 0;
    int m_unitEnabled = 1;
    bool m_initialised = false;
};
