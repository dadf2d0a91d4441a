#pragma once
// Layer settings ("レイヤ設定"): the board's 128 layer records in a table (shown and enabled state,
// name, colour, display mode, priority, item count) with the current (write) layer, quick
// selections of layers, and the 16 layer patterns applied from a list and registered anew.

#include "dialogs/TableDialog.h"
#include "document/BoardRecords.h"
#include "model/services/Records.h"

#include <array>
#include <string>

class LXHDREX;
class QCheckBox;
class QListWidget;

class CDlgLayer : public CTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 142,
        IdList = 1001,
        IdReverse = 1146,
        IdAllOrOne = 1176,
        IdPartLayers = 1177,
        IdComponentSide = 1178,
        IdPatterns = 1261,
        IdRegister = 1262,
        IdAddMode = 1263
    };
    // Column ids.
    enum
    {
        ColNo = 1,
        ColState = 2,
        ColName = 3,
        ColColour = 4,
        ColMode = 5,
        ColPriority = 6,
        ColItems = 7,
        ColType = 8
    };
    static constexpr int kLayers = 128;
    static constexpr int kPatterns = 16;
    static constexpr int kPartLayerBits = static_cast<int>(0xFFFF0001u);

    explicit CDlgLayer(QWidget* parent = nullptr);

    std::array<tagLAYER, kLayers> m_layers{};
    std::array<int, kLayers> m_counts{}; // items per layer
    std::array<int, kLayers> m_types{};  // layer sheets' type flags
    std::array<tagLAYERPATTERN, kPatterns> m_patterns{};
    int m_nCurrent = 0;
    int m_bReverse = 0;
    int m_nPattern = -1; // selected row of the pattern list
    int m_bAddMode = 0;

    // The display state image of a layer: 0 hidden, 1 shown and enabled, 2 shown only, 5 current.
    int DisplayState(int layer) const;
    // The name of a display mode (mode byte 1, 2, 4 or 8 and the reversed flag); empty for another.
    static std::string ModeName(int mode, int reversed);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    tagLAYER* RowLayer(int item);
    void CellText(int column, int layer, std::string& out) const;
    int OnCellRequest(LXHDREX* request);
    void FillPatternList(int select);
    void CycleState(int layer);
    void MakeCurrent(int layer);
    void ChooseColour(int layer);
    void OnClick(int item, int column);
    void OnRightClick(int item, int column);
    void OnDoubleClick(int item, int column);
    void OnActivated(int column);
    void OnHeaderClick(int column);
    void OnAllOrOne();
    // Shows and enables exactly the layers whose type flags have a bit of mask (and of also).
    void ShowTypedLayers(int mask, int also);
    void AfterQuickSelection();
    void OnPatternChosen();
    void OnRegister();

    QListWidget* m_patternList;
    QCheckBox* m_reverse;
    QCheckBox* m_addMode;
    QFont m_modeFont;
};
