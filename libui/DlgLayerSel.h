#pragma once
// Layer selection dialog ("レイヤ選択"): ticks any set of the board's 128 layers and gives them
// back as per-layer order slots and as a text of layer numbers. With check-order mode the slots
// keep the order in which the layers were ticked.

#include "libui/ItemDialog.h"

#include <array>

class CCheckListBox;
class CRadioGroup;
class QLineEdit;

class CDlgLayerSel : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 306,
        IdList = 1561,
        IdAll = 1570,
        IdData = 1574,
        IdDisplayed = 1572,
        IdText = 1629,
        IdClear = 1630
    };
    static constexpr int kLayers = 128;

    explicit CDlgLayerSel(QWidget* parent = nullptr);

    // Slot per layer (index = layer number - 1): 0 not ticked, n > 0 the n-th ticked.
    std::array<int, kLayers> m_order{};

    // The Input-menu command id of the item kind the "データ(&T)" filter counts (0: every kind).
    void SetDataKind(int kind) { m_dataKind = kind; }
    // The filter to open with; -1 takes it from the profile and stores it back on OK.
    void SetDispMode(int mode) { m_dispMode = mode; }
    void SetOrder(bool order) { m_checkOrder = order; }
    // Copies the slots to order (128 ints) and gives the ticked layer numbers as "%3d" items
    // joined by commas, in slot order.
    std::string GetLayerList(int* order) const;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnCheckChange(int row);
    void OnClear();
    void Renumber();
    QString ListText() const;

    CCheckListBox* m_list;
    CRadioGroup* m_filterGroup;
    QLineEdit* m_text;
    int m_dataKind = 0;
    int m_dispMode = -1;
    bool m_checkOrder = false;
    int m_filter = 0;
};
