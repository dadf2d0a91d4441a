#pragma once
// CAM data input ("CAMデータ入力"): the photo-plot or drill file to read back into the board, the
// aperture or tool list that decodes it, the destination layer and how the file's coordinates are
// read. Each kind keeps its own settings in the profile section "CAMIn\Phot" or "CAMIn\Drill";
// OK writes them there and tells an extended Gerber file from a plain one.

#include "document/CommandData.h"
#include "libui/ItemDialog.h"
#include "model/services/Records.h"

#include <array>
#include <functional>
#include <string>

class CNumEdit;
class CNumSpinCtrl;
class CRadioGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
namespace platform {
class Profile;
}

class CDlgCamIn : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 147,
        IdPhoto = 1005,
        IdDrill = 1006,
        IdLayer = 1007,
        IdCode = 1008,
        IdMillimetre = 1009,
        IdInch = 1010,
        IdAbsolute = 1012,
        IdIncremental = 1013,
        IdMirrorX = 1015,
        IdMirrorY = 1016,
        IdRotate0 = 1017, // followed by 90, 180 and 270 (1018..1020)
        IdDataFile = 1024,
        IdEndOfBlock = 1025,
        IdTableFile = 1026,
        IdIntDigits = 1027,
        IdDecDigits = 1028,
        IdDataBrowse = 1029,
        IdTableBrowse = 1030,
        IdScaleSpin = 1031,
        IdXOffsetSpin = 1032,
        IdYOffsetSpin = 1033,
        IdOptions = 1034,
        IdArcOrigin = 1048,
        IdArcStart = 1049,
        IdArcQuarter = 1050,
        IdArcHalf = 1051,
        IdScale = 1164,
        IdXOffset = 1165,
        IdYOffset = 1167,
        IdHitType = 1179
    };
    static constexpr int kPhoto = 0;
    static constexpr int kDrill = 1;

    // One kind's settings, as the profile keeps them.
    struct Settings
    {
        std::string dataFile;  // CP932
        std::string tableFile; // CP932
        int layer = 0;         // the layer combo's item data
        double scale = 1.0;
        double xOffset = 0.0;
        double yOffset = 0.0;
        int rotation = 0; // quarter turns 0..3
        bool mirrorX = false;
        bool mirrorY = false;
        int unit = 0;        // 0 mm, 1 inch
        int coordinates = 0; // 0 absolute, 1 incremental
        int intDigits = 0;   // 0 AUTO, 1..4
        int decDigits = 0;   // 0..5
        int code = 0;        // ASCII, EBCDIC, EIA, ISO
        int endOfBlock = 0;  // '*', LF, CR
    };

    explicit CDlgCamIn(QWidget* parent = nullptr);

    // The profile sections of the two kinds and the packed keys.
    static std::string Section(int kind);
    static int PackMirror(const Settings& s)
    {
        return s.rotation * 4 + (s.mirrorX ? 1 : 0) + (s.mirrorY ? 2 : 0);
    }
    static int PackInt(const Settings& s) { return s.intDigits + s.decDigits * 16; }
    static int PackUnit(const Settings& s) { return s.unit + s.coordinates * 16; }
    static Settings LoadSettings(const platform::Profile& profile, int kind);
    static void SaveSettings(platform::Profile& profile, int kind, const Settings& s);
    // Whether a photo file is extended Gerber: a '%' parameter block naming FS, MO, AD or AM comes
    // before its first coordinate block. A file that cannot be read is not.
    static bool IsExtendedGerber(const std::string& path);
    // The file dialog filters of the data and table files of a kind.
    static QString DataFilter(int kind);
    static QString TableFilter(int kind);

    // Filled by the caller before running: the main frame's layer combo (text and item data, with
    // its current entry). After OK: the chosen kind, both settings and the extended flag.
    ComboData m_layerCombo;
    int m_nKind = kPhoto;
    std::array<Settings, 2> m_settings{};
    int m_nArc = 0; // photo: the arc handling
    int m_nHit = 0; // drill: the hit type
    bool m_bExtended = false;
    double m_dAreaX = 250.0; // the bounds of the offset spins
    double m_dAreaY = 250.0;
    // The output codes the option dialog edits.
    tagGERBAR m_photoOut;
    tagGERBAR m_drillOut;

    // The file chooser of the browse buttons (tests replace it): the chosen path, or empty.
    std::function<QString(QWidget* parent, const QString& start, const QString& filter)> chooseFile;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void SwitchKind(int kind);
    void Browse(bool table);
    void UpdateControls();

    CRadioGroup* m_kind;
    QLineEdit* m_dataFile;
    QLineEdit* m_tableFile;
    QComboBox* m_layer;
    CNumEdit* m_scale;
    CNumEdit* m_xOffset;
    CNumEdit* m_yOffset;
    CNumSpinCtrl* m_scaleSpin = nullptr;
    CNumSpinCtrl* m_xOffsetSpin = nullptr;
    CNumSpinCtrl* m_yOffsetSpin = nullptr;
    CRadioGroup* m_rotation;
    QCheckBox* m_mirrorX;
    QCheckBox* m_mirrorY;
    CRadioGroup* m_unit;
    CRadioGroup* m_coordinates;
    QComboBox* m_intDigits;
    QComboBox* m_decDigits;
    QComboBox* m_code;
    QComboBox* m_endOfBlock;
    CRadioGroup* m_arc;
    QComboBox* m_hitType;
    QPushButton* m_ok = nullptr;
};
