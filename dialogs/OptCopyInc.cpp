#include "dialogs/OptCopyInc.h"

#include "libui/SpinButton.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <climits>

namespace {

constexpr const char* kSection = "CopyIncrement";
constexpr int kSpinMin = -10;
constexpr int kSpinMax = 10;

} // namespace

COptCopyInc::COptCopyInc(QWidget* parent) : COptPage(IDD, QString::fromUtf8("コピー＆編集"), parent)
{
    QGridLayout* copy = AddGroup(QString::fromUtf8("コピー時の増分"), 0, 0);
    const struct
    {
        int check, edit, spin;
        const char* caption;
        int* enable;
        int* value;
    } rows[] = {{IdPartRefEnable, IdPartRef, IdPartRefSpin, "部品番号(&R)", &m_nPartRefEnable, &m_nPartRef},
                {IdTerNoEnable, IdTerNo, IdTerNoSpin, "端子番号(&E)", &m_nTerNoEnable, &m_nTerNo},
                {IdTextEnable, IdText, IdTextSpin, "文字(&T)", &m_nTextEnable, &m_nText}};
    int row = 0;
    for (const auto& r : rows) {
        QCheckBox* check = BoundCheck(copy, r.check, r.caption, *r.enable, row, 0);
        CSpinButton* spin = nullptr;
        QLineEdit* edit = AddIntField(copy, r.edit, r.spin, spin, row, 1);
        m_fields[row] = {edit, spin, r.value};
        connect(check, &QCheckBox::toggled, this, &COptCopyInc::ApplyEnabling);
        ++row;
    }
    QGridLayout* order = AddGroup(QString::fromUtf8("部品番号クリック割付"), 1, 0);
    QCheckBox* orderRef = BoundCheck(order, IdOrderRef, "参照記号を無視(&G)", m_nOrderRef, 0, 0);
    BoundCheck(order, IdOrderRef2, "参照記号も変更(&C)", m_nOrderRef2, 1, 0);
    Put(order, Builder().Label(QString::fromUtf8("オフセット(&O)"), -1, 0), 2, 0);
    CSpinButton* spin = nullptr;
    QLineEdit* offset = AddIntField(order, IdOrderOff, IdOrderOffSpin, spin, 2, 1);
    m_fields[3] = {offset, spin, &m_nOrderOff};
    connect(orderRef, &QCheckBox::clicked, this, &COptCopyInc::OnOrderRef);
}

void COptCopyInc::OnInitDialog()
{
    const platform::Profile& p = platform::GetProfile();
    m_nPartRefEnable = p.GetInt(kSection, "PartRefEnable", 1);
    m_nPartRef = p.GetInt(kSection, "PartRef", 1);
    m_nTerNoEnable = p.GetInt(kSection, "TerNoEnable", 1);
    m_nTerNo = p.GetInt(kSection, "TerNo", 1);
    m_nTextEnable = p.GetInt(kSection, "TextEnable", 0);
    m_nText = p.GetInt(kSection, "Text", 1);
    m_nOrderRef = p.GetInt(kSection, "OrderRef", 0);
    m_nOrderRef2 = p.GetInt(kSection, "OrderRef2", 0);
    m_nOrderOff = p.GetInt(kSection, "OrderOff", 1);
    for (Field& field : m_fields)
        field.spin->SetRange(kSpinMin, kSpinMax);
    UpdateData(false);
}

bool COptCopyInc::DoDataExchange(bool save)
{
    if (save) {
        int values[4] = {};
        for (int i = 0; i < 4; ++i)
            if (!CheckIntRange(m_fields[i].edit, INT_MIN, INT_MAX, values[i]))
                return false;
        for (int i = 0; i < 4; ++i)
            *m_fields[i].value = values[i];
        ExchangeBound(true);
    }
    if (m_nOrderRef == 0)
        m_nOrderRef2 = 0;
    if (!save) {
        ExchangeBound(false);
        for (Field& field : m_fields) {
            // The edit takes any whole number; the up-down follows only within its own range.
            if (*field.value >= kSpinMin && *field.value <= kSpinMax)
                field.spin->SetPosition(*field.value);
            field.edit->setText(QString::number(*field.value));
        }
    }
    ApplyEnabling();
    return true;
}

void COptCopyInc::ApplyEnabling()
{
    for (int i = 0; i < 3; ++i) {
        const bool on = FindControl<QCheckBox>(this, IdPartRefEnable + i)->isChecked();
        m_fields[i].edit->setEnabled(on);
        m_fields[i].spin->setEnabled(on);
    }
    FindControl(this, IdOrderRef2)->setEnabled(FindControl<QCheckBox>(this, IdOrderRef)->isChecked());
}

void COptCopyInc::OnOrderRef()
{
    // Only the two check boxes: a half-typed number elsewhere is read at OK.
    m_nOrderRef = FindControl<QCheckBox>(this, IdOrderRef)->isChecked() ? 1 : 0;
    m_nOrderRef2 = m_nOrderRef ? (FindControl<QCheckBox>(this, IdOrderRef2)->isChecked() ? 1 : 0) : 0;
    FindControl<QCheckBox>(this, IdOrderRef2)->setChecked(m_nOrderRef2 != 0);
    ApplyEnabling();
}

void COptCopyInc::OnOK()
{
    if (m_nOrderRef == 0)
        m_nOrderRef2 = 0;
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "PartRefEnable", m_nPartRefEnable);
    p.SetInt(kSection, "PartRef", m_nPartRef);
    p.SetInt(kSection, "TerNoEnable", m_nTerNoEnable);
    p.SetInt(kSection, "TerNo", m_nTerNo);
    p.SetInt(kSection, "TextEnable", m_nTextEnable);
    p.SetInt(kSection, "Text", m_nText);
    p.SetInt(kSection, "OrderRef", m_nOrderRef);
    p.SetInt(kSection, "OrderRef2", m_nOrderRef2);
    p.SetInt(kSection, "OrderOff", m_nOrderOff);
}
