#include "dialogs/DlgCamOption.h"

#include "document/SettingSections.h"
#include "libui/RadioGroup.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

CDlgCamOption::CDlgCamOption(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("CAMオプション設定"), parent)
{
    CDialogBuilder& b = Builder();

    QGridLayout* photo = AddGroup(QString::fromUtf8("フォトデータ"), 0, 0, 2, 1);
    const struct
    {
        int id;
        const char* caption;
        std::string tagGERBAR::*code;
        bool required;
    } codes[kCodeFields] = {
        {IdShutterOpen, "シャッターオープン(&O)", &tagGERBAR::drawCode, true},
        {IdShutterClose, "シャッタークローズ(&S)", &tagGERBAR::moveCode, true},
        {IdFlash, "フラッシュ(&F)", &tagGERBAR::flashCode, true},
        {IdLinear, "直線補間(&L)", &tagGERBAR::linearCode, true},
        {IdClockwise, "ＣＷ円弧補間(&C)", &tagGERBAR::cwCode, false},
        {IdCounterClockwise, "ＣＣＷ円弧補間(&W)", &tagGERBAR::ccwCode, false},
        {IdHeader, "ヘッダーコード(&E)", &tagGERBAR::headerText, false},
        {IdProgramStop, "プログラムストップ(&P)", &tagGERBAR::endCode, false},
        {IdDCodePrefix, "Ｄコード(&D)", &tagGERBAR::apertureCode, true},
    };
    for (int i = 0; i < kCodeFields; ++i) {
        Put(photo, b.Label(QString::fromUtf8(codes[i].caption), -1, 0), i, 0);
        QLineEdit* edit = Put(photo, b.Add(codes[i].id, new QLineEdit(this), -1, 0), i, 1);
        edit->setFixedWidth(i == 6 ? 160 : 80);
        m_codes[i] = {edit, codes[i].code, codes[i].required};
    }

    QGridLayout* drill = AddGroup(QString::fromUtf8("ドリルデータ"), 0, 1, 2, 1);
    QGridLayout* slotGroup = AddGroup(drill, QString::fromUtf8("長穴処理"), 0, 0, 1, 4);
    m_slotMethod = new CRadioGroup(this);
    const char* const methods[kSlotMethods] = {"丸穴代替(&0)", "１点出力(&1)", "２点出力(&2)", "３点出力(&3)",
                                               "Ｎ点出力(&N)"};
    for (int i = 0; i < kSlotMethods; ++i)
        m_slotMethod->Add(Put(slotGroup,
                              b.Radio(nullptr, IdSlotRound + i, QString::fromUtf8(methods[i]), -1, 0), i / 3,
                              i % 3),
                          i);
    m_rectAsLong =
        Put(drill, b.Check(IdRectAsLong, QString::fromUtf8("角穴は長穴で出力(R)"), -1, 0), 1, 0, 1, 4);
    m_separateSlots = Put(
        drill, b.Check(IdSeparateSlots, QString::fromUtf8("長穴は別ファイルで作成(&A)"), -1, 0), 2, 0, 1, 4);
    Put(drill, b.Label(QString::fromUtf8("Ｔコード最小桁数(&M)"), -1, 0), 3, 0);
    m_toolDigits = AddIntField(drill, IdToolDigits, IdToolDigitsSpin, m_toolDigitsSpin, 3, 1);
    auto numberField = [&](int id) {
        QLineEdit* edit = b.Add(id, new QLineEdit(this), -1, 0);
        NoInputMethod(edit);
        SetDigitsOnly(edit, true);
        edit->setFixedWidth(64);
        return edit;
    };
    Put(drill, b.Label(QString::fromUtf8("ドリル寿命(&I)"), -1, 0), 4, 0);
    m_drillLife = Put(drill, numberField(IdDrillLife), 4, 1);
    Put(drill, b.Label(QString::fromUtf8("テストクーポン(&T)"), -1, 0), 5, 0);
    auto* coupon = new QHBoxLayout;
    m_coupon = numberField(IdCoupon);
    m_couponEvery = numberField(IdCouponEvery);
    coupon->addWidget(m_coupon);
    coupon->addWidget(m_couponEvery);
    coupon->addWidget(b.Label(QString::fromUtf8("毎に"), -1, 0));
    coupon->addStretch();
    drill->addLayout(coupon, 5, 1, 1, 3);
    drill->setRowStretch(6, 1);

    b.OkCancel(0, 2);
    Grid()->setAlignment(FindControl(this, CDialogBuilder::IdCancel), Qt::AlignTop);

    // Only a slot method that keeps long holes can put them in a file of their own.
    connect(m_slotMethod, &CRadioGroup::choiceClicked, this,
            [this](int method) { m_separateSlots->setEnabled(method != 0); });
}

bool CDlgCamOption::Edit(tagGERBAR& photo, tagGERBAR& drill, QWidget* parent)
{
    CDlgCamOption dialog(parent);
    dialog.m_photo = photo;
    dialog.m_drill = drill;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    photo = dialog.m_photo;
    drill = dialog.m_drill;
    return true;
}

void CDlgCamOption::OnInitDialog()
{
    m_nToolDigits = m_drill.toolDigits;
    UpdateData(false);
    // The up-down shows its position in the field, so a stored count outside 1..3 shows clamped.
    m_toolDigitsSpin->SetRange(1, 3);
    m_toolDigitsSpin->SetPosition(m_nToolDigits);
}

bool CDlgCamOption::DoDataExchange(bool save)
{
    const std::pair<QLineEdit*, int*> numbers[] = {{m_drillLife, &m_drill.drillLife},
                                                   {m_coupon, &m_drill.testCoupon},
                                                   {m_couponEvery, &m_drill.testCouponEvery}};
    if (!save) {
        for (const CodeField& field : m_codes)
            field.edit->setText(platform::Cp932ToQString(m_photo.*field.code));
        m_slotMethod->Set(m_drill.longHoleMode);
        m_rectAsLong->setChecked(m_drill.rectAsLong != 0);
        m_separateSlots->setChecked(m_drill.holeSplit != 0);
        m_toolDigits->setText(QString::number(m_nToolDigits));
        for (auto [edit, member] : numbers)
            edit->setText(QString::number(*member));
    } else {
        // Fields are read in the order of the dialog; the first refusal stops the exchange.
        std::string codes[kCodeFields];
        for (int i = 0; i < kCodeFields; ++i) {
            if (!FieldText(m_codes[i].edit, codes[i]))
                return false;
        }
        const int method = m_slotMethod->Get();
        int digits = 0;
        if (!CheckIntRange(m_toolDigits, 1, 3, digits))
            return false;
        int values[3] = {};
        const int maxima[3] = {50000, 50000, 20};
        for (int i = 0; i < 3; ++i) {
            if (!CheckIntRange(numbers[i].first, 0, maxima[i], values[i]))
                return false;
        }
        for (int i = 0; i < kCodeFields; ++i)
            m_photo.*m_codes[i].code = settings::Trim(codes[i]);
        // A stored method no button stands for stays as it was.
        if (method >= 0)
            m_drill.longHoleMode = method;
        m_drill.rectAsLong = m_rectAsLong->isChecked() ? 1 : 0;
        m_drill.holeSplit = m_separateSlots->isChecked() ? 1 : 0;
        m_nToolDigits = digits;
        for (int i = 0; i < 3; ++i)
            *numbers[i].second = values[i];
    }
    m_separateSlots->setEnabled(m_drill.longHoleMode != 0);
    return true;
}

void CDlgCamOption::accept()
{
    if (!UpdateData(true))
        return;
    for (const CodeField& field : m_codes) {
        if (!field.required || !(m_photo.*field.code).empty())
            continue;
        AfxMessageBox(_J("無効な空白があります。"), MB_OK | MB_ICONEXCLAMATION);
        field.edit->setFocus();
        return;
    }
    m_drill.toolDigits = static_cast<std::uint8_t>(m_nToolDigits);
    if (m_drill.longHoleMode == 0)
        m_drill.holeSplit = 0;
    QDialog::accept();
}
