#pragma once
// Option page "層属性": the layer structure of the open board, on copies taken when the page is
// first shown: the wiring positions with their layers and plane (negative) flags, the outline and
// hole layers, the keep-out layer lists, the symmetric layer pairs and the part-layer records.
// The page stores nothing itself: after the sheet's OK the main frame writes the board's settings
// sections from it (WireViaLines and the members).

#include "dialogs/OptPage.h"
#include "document/BoardRecords.h"
#include "model/services/Records.h"

#include <array>
#include <string>
#include <vector>

class CGfxListCtrl;
class CRadioGroup;
class CVELTADoc;
class LXHDREX;
class QComboBox;
class QLineEdit;

class COptLayer : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 156,
        IdWireCount = 1081,
        IdOutline = 1082,
        IdCrossGrid = 1083,
        IdPosition = 1084,
        IdPositive = 1085,
        IdNegative = 1086,
        IdPositionLayer = 1087,
        IdInner = 1088,
        IdViaList = 1089,
        IdPartGrid = 1090,
        IdHole = 1091,
        IdCompPartList = 1219,
        IdSolderPartList = 1220,
        IdCompWireList = 1221,
        IdSolderWireList = 1222,
        IdCompPartButton = 1223,
        IdSolderPartButton = 1224,
        IdViaButton = 1225,
        IdCompWireButton = 1226,
        IdSolderWireButton = 1227,
        IdInnerButton = 1228,
        IdInnerList = 1229
    };
    // The keep-out lists, in the order of their buttons 1223 to 1227, then the inner-layer list.
    enum List
    {
        CompParts,
        SolderParts,
        Vias,
        CompWiring,
        SolderWiring,
        InnerLayers,
        ListCount
    };
    static constexpr int kMaxPositions = 32;
    static constexpr int kPartRows = PART_LAYER_COUNT;

    explicit COptLayer(CVELTADoc* doc, QWidget* parent = nullptr);

    // The part-layer kind of a grid row: keyword and code.
    static const char* PartRowKeyword(int row);
    static std::uint32_t PartRowCode(int row);

    // One line of the board's wiring and via section for wiring position p (1 to the count).
    std::string FormatWireViaLine(int position) const;
    // The lines of positions 1 to the wiring count.
    std::vector<std::string> WireViaLines() const;
    // The symmetric pairs that hold two layers.
    std::vector<tagCROSSLAYER> CrossLayers() const;
    bool IsShown() const { return m_bShown; }
    CVELTADoc* GetDocument() const { return m_pDoc; }

    CVELTADoc* m_pDoc;
    bool m_bShown = false;
    int m_nWireCount = 1;
    int m_nOutline = 1; // 1-based
    int m_nHole = 1;    // 1-based
    std::array<int, kMaxPositions> m_negative{};
    std::array<int, kMaxPositions> m_positionLayer{}; // 1-based; 0 for a position without a layer
    std::array<std::string, ListCount> m_lists;       // CP932, "%3d" items joined by commas
    std::array<std::array<int, 128>, 5> m_checkOrder{};
    std::array<tagCROSSLAYER, CROSS_LAYER_MAX> m_cross;      // layer1 255: empty
    std::array<tagPARTLAYER, PART_LAYER_COUNT> m_partLayers; // in grid row order

    void OnSetActive() override;
    bool CanApply() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void FillPositions();
    void ShowPosition();
    bool StorePosition();
    void OnPositionChanged(int index);
    void OnWireCountEdited();
    void OnChooseList(List list);
    void SetupGrids();
    void CrossCellText(int column, int row, std::string& out) const;
    void PartCellText(int column, int row, std::string& out) const;
    int OnCrossEndEdit(LXHDREX* request);
    int OnPartEndEdit(LXHDREX* request);

    QLineEdit* m_wireCount;
    QLineEdit* m_outline;
    QLineEdit* m_hole;
    QComboBox* m_position;
    QComboBox* m_inner;
    CRadioGroup* m_polarity;
    QLineEdit* m_layerEdit;
    std::array<QLineEdit*, ListCount> m_listEdits{};
    CGfxListCtrl* m_crossGrid;
    CGfxListCtrl* m_partGrid;
    int m_nShownPosition = -1; // index of the position the radios and layer edit show
};
