#pragma once
// Find dialog ("検索"): the text to find among part names, references, values, texts and dimension
// values, how to match it and on which layers. Its settings and a history of 16 texts live in the
// profile section "Find"; the find-next command loads them without showing the dialog.

#include "libui/ItemDialog.h"

#include <array>
#include <string>

class CRadioGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgFind : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 172,
        IdText = 1240,
        IdMatchCase = 1241,
        IdWord = 1242,
        IdHide = 1243,
        IdAllSheet = 1244,
        IdSelectItem = 1245,
        IdTexts = 1246,
        IdDimensions = 1247,
        IdPartNames = 1248,
        IdReferences = 1249,
        IdValues = 1250,
        IdPartTexts = 1251,
        IdAllLayers = 1252,
        IdDisplayed = 1253,
        IdWriteLayer = 1254,
        IdListed = 1255,
        IdLayerList = 1256,
        IdLayerButton = 1257
    };
    // Target bits, one per kind of text searched.
    enum : int
    {
        TargetPartName = 0x001,
        TargetReference = 0x002,
        TargetValue = 0x004,
        TargetPartText = 0x020,
        TargetDimension = 0x100,
        TargetText = 0x200
    };
    // Layer modes, in the order of the radio buttons.
    enum
    {
        ModeWriteLayer = 0,
        ModeDisplayed = 1,
        ModeAll = 2,
        ModeListed = 3
    };
    static constexpr int kHistory = 16;
    static constexpr int kLayers = 128;

    explicit CDlgFind(QWidget* parent = nullptr);

    std::string m_strText; // CP932, trailing blanks cut
    int m_nTarget = 514;
    bool m_bPartName = false;
    bool m_bReference = true;
    bool m_bValue = false;
    bool m_bPartText = false;
    bool m_bDimension = false;
    bool m_bText = true;
    int m_bMatchCase = 0;
    int m_bWord = 0;
    int m_bHide = 0;
    int m_bAllSheet = 1;
    int m_bSelectItem = 0;
    int m_nLayMode = ModeWriteLayer;
    std::string m_strLayer;                      // comma list of 1-based layer numbers
    std::array<int, kLayers> m_order{};          // n-th layer of the list holds n, others 0
    std::array<std::string, kHistory> m_history; // "Find1".."Find16", newest first

    void LoadProfile();
    void SaveProfile();
    // 128 flags: all 1 for all layers, the layer order for listed layers, all 0 for the write layer
    // and the displayed layers (the caller resolves those).
    void GetSearchLayers(int* layers) const;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnLayerButton();
    void RefreshStates();

    QComboBox* m_text;
    std::array<QCheckBox*, 6> m_kinds{};
    QCheckBox* m_matchCase;
    QCheckBox* m_word;
    QCheckBox* m_hide;
    QCheckBox* m_allSheet;
    QCheckBox* m_selectItem;
    CRadioGroup* m_mode;
    QLineEdit* m_layer;
};
