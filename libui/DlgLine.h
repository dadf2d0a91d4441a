#pragma once
// Line and arc dialog ("ライン編集", "円弧の編集" for an arc): turret, line type, name or
// dimension text with its display switch, arrows and dots at both ends, for one item or several.
// It edits working copies and hands them back on OK.

#include "libui/ItemDialog.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/services/ItemDialogs.h"

class CSpinButton;
class CTriStateCheck;
class QComboBox;
class QLineEdit;

class CDlgLine : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 307,
        IdTurret = 1618,
        IdTurretSpin = 1619,
        IdLineType = 1563,
        IdDisplay = 1539,
        IdValue = 1562,
        IdLength = 1576,
        IdAngle = 1577,
        IdStartArrow = 1568,
        IdEndArrow = 1569,
        IdStartDot = 1571,
        IdEndDot = 1573,
        IdLengthText = 1566,
        IdAngleText = 1567
    };

    explicit CDlgLine(QWidget* parent = nullptr);

    CLine m_line;
    CArc m_arc;
    int m_editKind = ID_INPUT_LINE;
    bool m_multiple = false;
    QString m_value; // the name or dimension text
    int m_turret = 0;
    int m_endArrow = 0, m_endDot = 0, m_startArrow = 0, m_startDot = 0, m_display = 0;
    int m_lineType = -1; // combo index
    QString m_lengthText, m_angleText;

    void accept() override;

    static bool Run(LineDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    bool IsArc() const { return m_editKind == ID_INPUT_ARC; }
    CItemBase& Edited();
    void SetNameBits(int bits);
    void OnAutoText(const QString& text, int bits);
    void ApplyName();

    QLineEdit* m_turretEdit;
    CSpinButton* m_turretSpin;
    QComboBox* m_typeCombo;
    CTriStateCheck* m_displayCheck;
    QLineEdit* m_valueEdit;
    CTriStateCheck* m_startArrowCheck;
    CTriStateCheck* m_endArrowCheck;
    CTriStateCheck* m_startDotCheck;
    CTriStateCheck* m_endDotCheck;
    QLineEdit* m_lengthEdit;
    QLineEdit* m_angleEdit;
    bool m_loading = false;
};
