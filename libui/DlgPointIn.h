#pragma once
// Point input dialog ("数値設定"): moves, copies, rotates or scales the selection by typed values
// or by arrow steps. Values are typed as formulas with a unit and handed back in millimetres.

#include "model/geometry/DPoint.h"
#include "model/services/ItemDialogs.h"
#include "model/services/Records.h"

#include <QDialog>

class CFormulaEdit;
class CHistoryCombo;
class CSpinButton;
class QButtonGroup;
class QLineEdit;
class QPushButton;

class CDlgPointIn : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 301,
        IdPosition = 1648,
        IdMillimetre = 1501,
        IdInch = 1502,
        IdMil = 1511,
        IdGrid = 1503,
        IdAngle = 1649,
        IdRepeat = 1631,
        IdRepeatSpin = 1632,
        IdCount = 1633,
        IdCountSpin = 1634,
        IdAbsolute = 1509,
        IdRelative = 1510,
        IdUp = 1504,
        IdDown = 1505,
        IdLeft = 1506,
        IdRight = 1507,
        IdScale = 1512
    };

    explicit CDlgPointIn(QWidget* parent = nullptr);

    void SetGrid(const tagGRID& grid) { m_grid = grid; }
    void SetCopy(bool copy) { m_copy = copy; }
    CDPoint GetPoint() const { return m_point; }
    double GetAngle() const { return m_angle; }
    bool MoveAction() const { return m_relative != 0 || m_stepped; }
    bool IsScale() const { return m_scale != 0; }
    int GetRepeat() const { return m_repeat; }
    int GetCount() const { return m_count; }

    void OnInitDialog();
    bool Exchange();
    void accept() override;
    // An arrow or scale step (CInputUnits::StepKind).
    void IncMove(int kind);

    static bool Run(PointInDialogData& data, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateEnabling();
    bool Finish(bool stepped);

    CHistoryCombo* m_posCombo;
    CHistoryCombo* m_angleCombo;
    CFormulaEdit* m_posEdit;
    CFormulaEdit* m_angleEdit;
    QLineEdit* m_repeatEdit;
    QLineEdit* m_countEdit;
    CSpinButton* m_repeatSpin;
    CSpinButton* m_countSpin;
    QButtonGroup* m_units;
    QButtonGroup* m_mode;
    tagGRID m_grid;
    CDPoint m_point;
    double m_first = 0.0, m_second = 0.0;
    double m_angle = 0.0;
    bool m_copy = false;
    int m_scale = 0;
    int m_relative = 0;
    int m_repeat = 1;
    int m_count = 0;
    int m_unit = -1;
    bool m_stepped = false;
    bool m_initialised = false;
};
