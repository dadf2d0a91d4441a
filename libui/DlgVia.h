#pragma once
// Via dialog ("ビア編集"): via-table number, the two hole marks and the thermal lands on the
// negative (plane) wiring layers, for one via or several.

#include "libui/ItemDialog.h"
#include "model/services/ItemDialogs.h"

#include <array>

class CCheckListBox;
class CSpinButton;
class CTriStateCheck;
class QLineEdit;

class CDlgVia : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 305,
        IdViaNo = 1557,
        IdViaSpin = 1558,
        IdThermal = 1555,
        IdCoupon = 1624,
        IdDummy = 1625
    };
    static constexpr int kMaxPositions = 32;

    explicit CDlgVia(QWidget* parent = nullptr);

    int m_multiple = 0;
    int m_viaNo = 0;      // 1..64; 0 unchanged
    int m_typeFlags = 0;  // in: 0x4 dummy hole, 0x2 test coupon
    int m_typeResult = 0; // out
    int m_wireCount = 0;
    std::array<int, kMaxPositions> m_layers{};
    std::array<int, kMaxPositions> m_layerFlags{}; // 0x8: negative layer
    int m_thermal = 0;                             // bit i: thermal land on wiring position i + 1
    int m_keepMask = 0; // out, several vias: bits of m_thermal to leave as they are

    void accept() override;

    static bool Run(ViaDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnTypeClicked(CTriStateCheck* clicked, CTriStateCheck* other);

    QLineEdit* m_viaEdit;
    CSpinButton* m_viaSpin;
    CCheckListBox* m_list;
    CTriStateCheck* m_couponCheck;
    CTriStateCheck* m_dummyCheck;
    int m_dummy = 0; // check states
    int m_coupon = 0;
};
