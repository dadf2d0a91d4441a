#include "dialogs/DlgClean.h"

#include "libui/RadioGroup.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QRadioButton>

namespace {

constexpr const char* kSection = "CleanSection";

} // namespace

CDlgClean::CDlgClean(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("重複整理"), parent)
{
    CDialogBuilder& b = Builder();
    QGridLayout* layers = AddGroup(QString::fromUtf8("対象レイヤ"), 0, 0, 4, 1);
    m_target = new CRadioGroup(this);
    const struct
    {
        int id;
        const char* caption;
    } targets[] = {{IdAllLayers, "全レイヤ"},
                   {IdWiringLayers, "配線、部品関連レイヤ"},
                   {IdShownLayers, "表示レイヤ"},
                   {IdWriteLayer, "書込みレイヤ"}};
    for (int k = 0; k < 4; ++k)
        m_target->Add(
            Put(layers, b.Radio(nullptr, targets[k].id, QString::fromUtf8(targets[k].caption), -1, 0), k, 0),
            k);

    m_outside = b.Check(IdOutside, QString::fromUtf8("作業エリア範囲外アイテムを削除(&W)"), 0, 1);
    m_surface = b.Check(IdSurface, QString::fromUtf8("面内不要アイテムを削除(&S)"), 1, 1);
    m_hole = b.Check(IdHole, QString::fromUtf8("ホール内不要アイテムを削除(&H)"), 2, 1);
    m_partDup = b.Check(IdPartDup, QString::fromUtf8("部品内アイテムの重複チェックを行なう(&P)"), 3, 1);
    m_line = b.Check(IdLine, QString::fromUtf8("線整理を行なう(&L)"), 4, 1);
    m_resist = b.Check(IdResist, QString::fromUtf8("レジストチェック(&R)"), 5, 1);
    m_metal = b.Check(IdMetal, QString::fromUtf8("メタルマスクチェック(&M)"), 6, 1);
    m_view = b.Check(IdView, QString::fromUtf8("作成したファイルを見る(&V)"), 7, 1);
    b.OkCancel(0, 2);
    // The clean-up does not act on these; they are shown as the dialog has them, but not offered.
    for (QCheckBox* unused : {m_surface, m_hole, m_partDup})
        unused->setEnabled(false);
}

void CDlgClean::OnInitDialog()
{
    const platform::Profile& profile = platform::GetProfile();
    m_data.view = profile.GetInt(kSection, "View", 1);
    m_data.resist = profile.GetInt(kSection, "Resist", 1);
    m_data.metal = profile.GetInt(kSection, "Metal", 1);
    UpdateData(false);
}

bool CDlgClean::DoDataExchange(bool save)
{
    QCheckBox* const checks[] = {m_outside, m_surface, m_hole, m_partDup, m_line, m_view, m_resist, m_metal};
    int* const flags[] = {&m_data.outside, &m_data.surface, &m_data.hole,   &m_data.partDup,
                          &m_data.line,    &m_data.view,    &m_data.resist, &m_data.metal};
    if (save) {
        m_data.target = m_target->Get();
        for (std::size_t k = 0; k < std::size(checks); ++k)
            *flags[k] = checks[k]->isChecked() ? 1 : 0;
    } else {
        m_target->Set(m_data.target);
        for (std::size_t k = 0; k < std::size(checks); ++k)
            checks[k]->setChecked(*flags[k] != 0);
    }
    return true;
}

void CDlgClean::accept()
{
    if (!UpdateData(true))
        return;
    platform::Profile& profile = platform::GetProfile();
    profile.SetInt(kSection, "View", m_data.view);
    profile.SetInt(kSection, "Resist", m_data.resist);
    profile.SetInt(kSection, "Metal", m_data.metal);
    QDialog::accept();
}
