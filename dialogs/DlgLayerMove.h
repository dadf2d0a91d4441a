#pragma once
// Layer move and copy dialog ("レイヤ移動/コピー"): to which layers the selected items go. The
// caller hands in the source layers; the dialog pairs each with a target typed as a list or picked
// in tick order, and hands back the targets, their count and whether one layer is copied to many.

#include "libui/ItemDialog.h"

#include <array>
#include <string>

class QCheckBox;
class QLineEdit;

class CDlgLayerMove : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 175,
        IdLayerButton = 1097,
        IdCopy = 1268,
        IdSource = 1269,
        IdTarget = 1270
    };
    static constexpr int kLayers = 128;

    explicit CDlgLayerMove(QWidget* parent = nullptr);

    // In: the source layers (0-based) and their number. After OK: the target layers (0-based), the
    // i-th belonging to the i-th source, and their number.
    std::array<int, kLayers> m_layers{};
    int m_nCount = 0;
    int m_bOneToMany = 0;
    int m_bCopy = 0;
    std::string m_strSource;
    std::string m_strTarget;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnLayerButton();

    QCheckBox* m_copy;
    QLineEdit* m_source;
    QLineEdit* m_target;
};
