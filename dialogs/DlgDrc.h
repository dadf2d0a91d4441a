#pragma once
// Design rule check dialog ("デザインルールチェック"): the copper clearance check on all or listed
// layers, the part clearance check per side, where the error markers go, the net-list output with
// its dialect, the net compare and the pin count check. The caller fills the members and reads
// them back after OK; the dialog itself writes only "Tool"/"DRCView", "DRCLayer" and "NetType".

#include "libui/ItemDialog.h"

#include <array>
#include <string>

class CNumEdit;
class CVELTADoc;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgDrc : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 176,
        IdViewFiles = 1289,
        IdShowLayers = 1290,
        IdReverseNet = 1283,
        IdReverseIndex = 1285,
        IdNetFormat = 1286,
        IdNetCompare = 1287,
        IdCopperClearance = 1313,
        IdAllLayers = 1314,
        IdListedLayers = 1315,
        IdPartClearance = 1316,
        IdErrorLayer = 1319,
        IdLayerList = 1320,
        IdPerLayer = 1321,
        IdComponentSide = 1365,
        IdSolderSide = 1366,
        IdPinCount = 1367
    };
    // Copper check modes.
    enum
    {
        CopperOff = 0,
        CopperAll = 1,
        CopperListed = 2
    };
    static constexpr int kCheckLayers = 32;
    static constexpr int kNetFormats = 18;
    // The net-list dialects in the order of the format list (the dialect index).
    static const char* const kNetFormatNames[kNetFormats];

    explicit CDlgDrc(CVELTADoc* doc, QWidget* parent = nullptr);

    int m_nCopperMode = CopperOff;
    std::array<int, kCheckLayers> m_layers{}; // layers 1..32: 1 = check
    double m_dCopperClearance = 0.1;          // mm
    double m_dPartClearance = 0.5;            // mm
    int m_nErrorLayer = 0;                    // 0-based
    int m_nErrorLayerCount = 0;               // layers per-layer output needs (the caller's)
    int m_nNetFormat = 0;
    std::string m_strLayers; // comma list of 1-based layer numbers, CP932
    int m_bReverseNet = 0;
    int m_bReverseIndex = 0;
    int m_bViewFiles = 1;
    int m_bPerLayer = 0;
    int m_bShowLayers = 1;
    int m_bComponentSide = 0;
    int m_bSolderSide = 0;
    int m_bPinCount = 0;
    int m_bNetCompare = 0;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void ToggleMode(int mode);
    bool Refuse(const char* message);

    CVELTADoc* m_pDoc;
    QCheckBox* m_all;
    QCheckBox* m_listed;
    QLineEdit* m_layerList;
    CNumEdit* m_copper;
    CNumEdit* m_part;
    QComboBox* m_errorLayer;
    QComboBox* m_netFormat;
    QCheckBox* m_perLayer;
    QCheckBox* m_showLayers;
    QCheckBox* m_reverseNet;
    QCheckBox* m_reverseIndex;
    QCheckBox* m_netCompare;
    QCheckBox* m_viewFiles;
    QCheckBox* m_componentSide;
    QCheckBox* m_solderSide;
    QCheckBox* m_pinCount;
};
