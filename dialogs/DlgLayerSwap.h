#pragma once
// Layer exchange dialog ("レイヤ交換"): two layers whose contents and settings the board swaps.

#include "libui/ItemDialog.h"
#include "model/services/Records.h"

#include <vector>

class QComboBox;

class CDlgLayerSwap : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 199,
        IdLayerA = 1369,
        IdLayerB = 1370
    };
    static constexpr int kLayers = 128;

    explicit CDlgLayerSwap(QWidget* parent = nullptr);

    std::vector<tagLAYER> m_layers; // the board's 128 layer records; only the names are shown
    int m_nLayerA = -1;             // 0-based
    int m_nLayerB = -1;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    QComboBox* m_layerA;
    QComboBox* m_layerB;
};
