#pragma once
// Hole-diameter data ("ホール径データ作成"): the hole kinds of the chosen hole layers with their
// counts, a symbol for each kind, the layer, height, position and angle of the symbols and of the
// table, and the hole clearance error check with its distance and error code. The hole kinds
// come from a callable the caller binds to the board's drill tool table.

#include "dialogs/TableDialog.h"
#include "model/services/Records.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class CNumEdit;
class CNumSpinCtrl;
class CVELTADoc;
class LXHDREX;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgHoleData : public CTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 168,
        IdLayerButton = 1097,
        IdLayers = 1161,
        IdSymbolLayer = 1192,
        IdSymbolHeight = 1193,
        IdSymbolY = 1194,
        IdSymbolX = 1195,
        IdSymbolHeightSpin = 1196,
        IdSymbolXSpin = 1197,
        IdSymbolYSpin = 1198,
        IdTableLayer = 1199,
        IdTableHeight = 1200,
        IdTableY = 1201,
        IdTableX = 1202,
        IdTableHeightSpin = 1203,
        IdTableXSpin = 1204,
        IdTableYSpin = 1205,
        IdSymbolAngle = 1206,
        IdList = 1207,
        IdSymbolAngleSpin = 1208,
        IdErrorCheck = 1297,
        IdDistance = 1299,
        IdTotal = 1364
    };
    // Column ids.
    enum
    {
        ColSize = 1,
        ColPlating = 2,
        ColSymbol = 3,
        ColCount = 4
    };
    static constexpr int kLayers = 128;
    static constexpr int kRows = 100;
    static constexpr int kAllKinds = 240;
    static constexpr int kHoleCommand = 32916;

    // One hole kind: flags (bit 0 through hole; 0x10 slot, 0x20 rectangle, else circular), first
    // size, second size, corner radius, hits and the symbol (CP932).
    struct HoleKind
    {
        int flags = -1;
        double size1 = 0.0;
        double size2 = 0.0;
        double radius = 0.0;
        int hits = 0;
        std::string symbol;
    };
    // The drill tool table of the holes of the flagged layers (128 ints) of the kinds in the mask.
    using HoleKindSource =
        std::function<std::vector<tagTCODE>(const std::array<int, kLayers>& layerFlags, int kindMask)>;

    explicit CDlgHoleData(QWidget* parent = nullptr);

    CVELTADoc* m_pDoc = nullptr; // observed: layer names and kinds for the two layer lists
    HoleKindSource m_holeKinds;

    std::array<int, kLayers> m_layers{}; // non-zero: a target hole layer
    std::string m_strLayers;             // " %d," of each target layer, last comma cut
    std::array<HoleKind, kRows> m_rows;  // the hole kinds shown
    std::array<HoleKind, kRows> m_saved; // the symbols chosen last time
    int m_nKinds = 0;
    std::string m_strErrorCode;
    int m_bErrorCheck = 0;
    double m_dCheckDistance = 0.5;
    int m_nSymbolLayer = 0; // 0-based
    int m_nTableLayer = -1; // -1: no table
    double m_dSymbolHeight = 2.0;
    double m_dSymbolX = 0.0;
    double m_dSymbolY = 0.0;
    double m_dSymbolAngle = 0.0;
    double m_dTableHeight = 2.0;
    double m_dTableX = 0.0;
    double m_dTableY = 0.0;

    // The text of a kind's size cell ("径/高x幅(隅)").
    static std::string SizeText(const HoleKind& kind);
    // " %d," of each flagged layer (1-based), the last comma cut.
    static std::string LayerListText(const std::array<int, kLayers>& layers);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void AskHoleKinds();
    void FillRows();
    void RefillGrid();
    void CellText(int column, int row, std::string& out) const;
    int OnCellRequest(LXHDREX* request);
    void OnLayerButton();
    void OnErrorCheck();
    void FillLayerList(QComboBox* combo, bool withNone, int selected);
    bool ReadPlacement();

    std::vector<tagTCODE> m_kinds; // the last answer of m_holeKinds
    int m_nTotal = 0;
    QLineEdit* m_layerText;
    QComboBox* m_symbolLayer;
    QComboBox* m_tableLayer;
    CNumEdit* m_symbolHeight;
    CNumEdit* m_symbolAngle;
    CNumEdit* m_symbolX;
    CNumEdit* m_symbolY;
    CNumEdit* m_tableHeight;
    CNumEdit* m_tableX;
    CNumEdit* m_tableY;
    CNumSpinCtrl* m_spins[7] = {};
    QCheckBox* m_errorCheck;
    CNumEdit* m_distance;
    QLineEdit* m_total;
};
