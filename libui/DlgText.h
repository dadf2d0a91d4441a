#pragma once
// Text dialog ("文字編集", "文字入力" for a new text): the string, its bases, direction,
// printing and mirror switches, frame, and its size as a TrueType font or as a stroke text with a
// text-size table entry and a turret, for one text or several. It remembers the last attributes
// in the profile.

#include "libui/ItemDialog.h"
#include "model/geometry/DPoint.h"
#include "model/services/ItemDialogs.h"
#include "platform/FontRecord.h"

#include <array>

class CFormulaEdit;
class CNumEdit;
class CNumSpinCtrl;
class CRadioGroup;
class CSpinButton;
class CTriStateCheck;
class QLineEdit;
class QPushButton;

class CDlgText : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 302,
        IdText = 1511,
        IdLeft = 1515,
        IdCentre = 1516,
        IdRight = 1517,
        IdTop = 1512,
        IdMiddle = 1514,
        IdBottom = 1513,
        IdDisplay = 1539,
        IdDir0 = 1534,
        IdDir90 = 1531,
        IdDir180 = 1532,
        IdDirMinus90 = 1533,
        IdDirAngle = 1527,
        IdAngle = 1529,
        IdAngleSpin = 1530,
        IdX = 1607,
        IdY = 1608,
        IdTrueType = 1621,
        IdStroke = 1622,
        IdOwnFont = 1522,
        IdFontHeight = 1518,
        IdFontHeightSpin = 1519,
        IdFont = 1523,
        IdTable = 1620,
        IdTableSpin = 1623,
        IdTurret = 1618,
        IdHeight = 1612,
        IdHeightSpin = 1615,
        IdWidth = 1613,
        IdWidthSpin = 1616,
        IdSpace = 1614,
        IdSpaceSpin = 1617,
        IdKeep = 1520,
        IdPrintable = 1521,
        IdMirror = 1524,
        IdFrame = 1611,
        IdDistance = 1626,
        IdDistanceSpin = 1627
    };

    explicit CDlgText(QWidget* parent = nullptr);

    QString m_text;
    int m_hBase = -1; // 0 left, 1 centre, 2 right; -1 none
    int m_vBase = -1; // 0 top, 1 middle, 2 bottom; -1 none
    int m_display = 0;
    int m_direction = -1; // 0 0°, 1 90°, 2 180°, 3 -90°, 4 the angle; -1 none
    int m_keep = 0;
    int m_printable = 1;
    int m_ownFont = 0;
    double m_angle = 0.0; // degrees
    int m_mirror = 0;
    int m_frame = 0;
    int m_table = 0;    // 0 none, 1..16; -1 unchanged
    int m_turret = 0;   // 0..120; -1 unchanged
    int m_fontType = 1; // 0 TrueType, 1 stroke; -1 none
    LOGFONTA m_font;
    bool m_edit = false;
    double m_fontHeight = 0.0;
    double m_textHeight = 2.0;
    double m_width = 0.0;
    double m_spacing = 0.0;
    double m_frameDistance = 0.5;
    std::array<tagTEXTSIZE, 17> m_sizes{};
    CDPoint m_point;
    bool m_imeFlag = false; // kept; the desktop opens and closes the input method
    bool m_multiple = false;

    // Remembers the attributes in the profile (nothing in multiple mode or while the profile's
    // "Remember Attr" is 0).
    void SaveAttribute();
    void accept() override;

    static bool Run(TextDialogData& data, QWidget* parent = nullptr);
    static void SaveAttribute(const TextDialogData& data);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void Fill(const TextDialogData& data);
    void LoadAttribute();
    void UpdateEnabling();
    void UpdateEscapement();
    void SetDirectionFromAngle();
    void OnDirection(int choice);
    void OnKeep();
    void OnOwnFont();
    void OnFontButton();
    void OnTableChanged(const QString& text);
    void ApplyTableEntry(bool withTurret);
    bool ReadPosition();
    bool TextHasWideCharacters() const;
    std::string FontE() const;
    std::string FontJ() const;

    QLineEdit* m_textEdit;
    CRadioGroup* m_hGroup;
    CRadioGroup* m_vGroup;
    CRadioGroup* m_dirGroup;
    CRadioGroup* m_typeGroup;
    CTriStateCheck* m_displayCheck;
    CNumEdit* m_angleEdit;
    CNumSpinCtrl* m_angleSpin;
    CFormulaEdit* m_xEdit;
    CFormulaEdit* m_yEdit;
    CTriStateCheck* m_ownFontCheck;
    CNumEdit* m_fontHeightEdit;
    CNumSpinCtrl* m_fontHeightSpin;
    QPushButton* m_fontButton;
    QLineEdit* m_tableEdit;
    CSpinButton* m_tableSpin;
    QLineEdit* m_turretEdit;
    CNumEdit* m_heightEdit;
    CNumSpinCtrl* m_heightSpin;
    CNumEdit* m_widthEdit;
    CNumSpinCtrl* m_widthSpin;
    CNumEdit* m_spaceEdit;
    CNumSpinCtrl* m_spaceSpin;
    CTriStateCheck* m_keepCheck;
    CTriStateCheck* m_printableCheck;
    CTriStateCheck* m_mirrorCheck;
    CTriStateCheck* m_frameCheck;
    CNumEdit* m_distanceEdit;
    CNumSpinCtrl* m_distanceSpin;
    bool m_loading = false;
};
