#pragma once
// CAM data output dialog ("CAMデータ出力"): the photo-plot and drill settings of the board, one set
// per kind shown by the kind radios, the ticked output entries, the output folder, the report
// template and the CAM option codes. OK checks the entries and values, makes the writer records
// and hands everything back in m_choice.

#include "document/CamOutChoice.h"
#include "libui/ItemDialog.h"

#include <string>
#include <vector>

class CCheckListBox;
class CFolderCombo;
class CNumEdit;
class CNumSpinCtrl;
class CRadioGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class CDlgCamOut : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 159,
        IdPhoto = 1005,
        IdDrill = 1006,
        IdCharCode = 1008,
        IdMetric = 1009,
        IdInch = 1010,
        IdAbsolute = 1012,
        IdIncremental = 1013,
        IdMirrorX = 1015,
        IdMirrorY = 1016,
        IdRotate0 = 1017, // followed by 90, 180 and 270 (1018..1020)
        IdEndOfBlock = 1025,
        IdTable = 1026,
        IdPrecision = 1028,
        IdBrowse = 1030,
        IdScaleSpin = 1031,
        IdOffsetXSpin = 1032,
        IdOffsetYSpin = 1033,
        IdOptions = 1034,
        IdArcOrigin = 1048,
        IdArcStart = 1049,
        IdArcQuarter = 1050,
        IdArcHalf = 1051,
        IdArcLines = 1052,
        IdList = 1119,
        IdPattern = 1126,
        IdScale = 1164,
        IdOffsetX = 1165,
        IdOffsetY = 1167,
        IdHitType = 1179,
        IdFormat = 1259,
        IdReport = 1260,
        IdArcGroup = 1271,
        IdRoundList = 1272,
        IdSlotList = 1273,
        IdRoundExt = 1274,
        IdSlotExt = 1275,
        IdSameOut = 1312,
        IdFolder = 1346
    };

    explicit CDlgCamOut(QWidget* parent = nullptr);

    CamOutChoice m_choice;          // the settings in, the edited settings and records out
    std::string m_strProjectFolder; // where the table file chooser starts (CP932)
    double m_dWorkWidth = 250.0;    // the offsets' limits, mm
    double m_dWorkHeight = 250.0;

    // The report templates of the per-user and program folders, by name (file name less ".dat").
    static std::vector<std::string> ListReportTemplates();
    // True when the current kind has no code table file and its format flag is off.
    bool NeedsCodeTable() const;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    tagCAMOUTKIND& Kind() { return m_choice.kind == 0 ? m_choice.settings.photo : m_choice.settings.drill; }
    std::string& TableFile();
    bool& FormatFlag();
    void ShowMode();
    void OnKind(int kind);
    void OnFormat();
    void OnBrowse();
    void OnOptions();
    void OnPattern();

    CRadioGroup* m_kind;
    QLineEdit* m_table;
    QPushButton* m_browse;
    CCheckListBox* m_list;
    CRadioGroup* m_rotation;
    CRadioGroup* m_unit;
    CRadioGroup* m_coordinates;
    QCheckBox* m_mirrorX;
    QCheckBox* m_mirrorY;
    QComboBox* m_precision;
    QComboBox* m_charCode;
    QComboBox* m_endOfBlock;
    CNumEdit* m_scale;
    CNumSpinCtrl* m_scaleSpin = nullptr;
    CNumEdit* m_offsetX;
    CNumSpinCtrl* m_offsetXSpin = nullptr;
    CNumEdit* m_offsetY;
    CNumSpinCtrl* m_offsetYSpin = nullptr;
    QCheckBox* m_format;
    QGroupBox* m_arcGroup = nullptr;
    CRadioGroup* m_arc;
    QComboBox* m_hitType;
    QCheckBox* m_roundList;
    QCheckBox* m_slotList;
    QLineEdit* m_roundExt;
    QLineEdit* m_slotExt;
    CFolderCombo* m_folder;
    QCheckBox* m_sameOut;
    QComboBox* m_report;
    // The photo and drill code records the option dialog edits.
    tagGERBAR m_photoCodes;
    tagGERBAR m_drillCodes;
};
