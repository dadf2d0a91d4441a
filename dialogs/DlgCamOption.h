#pragma once
// CAM option dialog ("CAMオプション設定"): the codes of photo-plot output and the long-hole, tool-code,
// drill-life and test-coupon options of drill output. The caller copies its photo and drill records
// into m_photo and m_drill before running it and copies them back only after OK.

#include "libui/ItemDialog.h"
#include "model/services/Records.h"

#include <string>

class CRadioGroup;
class CSpinButton;
class QCheckBox;
class QLineEdit;

class CDlgCamOption : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 157,
        IdShutterOpen = 1098,
        IdShutterClose = 1099,
        IdFlash = 1102,
        IdLinear = 1104,
        IdClockwise = 1106,
        IdCounterClockwise = 1107,
        IdHeader = 1108,
        IdProgramStop = 1110,
        IdDCodePrefix = 1112,
        IdSlotRound = 1276, // followed by one point, two, three and N points (1277..1280)
        IdRectAsLong = 1281,
        IdSeparateSlots = 1282,
        IdToolDigits = 1294,
        IdToolDigitsSpin = 1295,
        IdDrillLife = 1296,
        IdCoupon = 1297,
        IdCouponEvery = 1298
    };
    static constexpr int kSlotMethods = 5;

    explicit CDlgCamOption(QWidget* parent = nullptr);

    // Runs the dialog on copies of the two records and copies them back only after OK; true then.
    static bool Edit(tagGERBAR& photo, tagGERBAR& drill, QWidget* parent = nullptr);

    tagGERBAR m_photo;
    tagGERBAR m_drill;
    int m_nToolDigits = 1; // edited here, stored into the drill record at OK

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    // The photo code fields with the record strings they edit, in the order of the dialog.
    // required: a code the writers put in every file, so it may not be left empty.
    struct CodeField
    {
        QLineEdit* edit;
        std::string tagGERBAR::*code;
        bool required;
    };
    static constexpr int kCodeFields = 9;
    CodeField m_codes[kCodeFields] = {};

    CRadioGroup* m_slotMethod;
    QCheckBox* m_rectAsLong;
    QCheckBox* m_separateSlots;
    QLineEdit* m_toolDigits;
    CSpinButton* m_toolDigitsSpin = nullptr;
    QLineEdit* m_drillLife;
    QLineEdit* m_coupon;
    QLineEdit* m_couponEvery;
};
