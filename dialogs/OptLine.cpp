#include "dialogs/OptLine.h"

#include "platform/Profile.h"

#include <QCheckBox>

namespace {

constexpr const char* kSection = "Line";

// Each auto-switch check box enables its three mode radios.
struct ModeGroup
{
    int check;
    int firstRadio;
};
constexpr ModeGroup kGroups[] = {
    {COptLine::IdLineAuto, 1230}, {COptLine::IdSurAuto, 1242}, {COptLine::IdArcAuto, 1233}};

} // namespace

COptLine::COptLine(QWidget* parent) : COptPage(IDD, QString::fromUtf8("線入力"), parent)
{
    QGridLayout* line = AddGroup(QString::fromUtf8("ライン"), 0, 0);
    BoundCheck(line, IdLineAuto, "自動切換え(&L)", m_nLineAutoLock, 0, 0);
    BoundRadios(line, {{1230, "フリー(&1)"}, {1231, "４５度(&2)"}, {1232, "９０度(&3)"}}, m_nLineLockMode, 1,
                0);
    QGridLayout* sur = AddGroup(QString::fromUtf8("面"), 0, 1);
    BoundCheck(sur, IdSurAuto, "自動切換え(&S)", m_nSurAutoLock, 0, 0);
    BoundRadios(sur, {{1242, "フリー(&4)"}, {1243, "４５度(&5)"}, {1244, "９０度(&6)"}}, m_nSurLockMode, 1,
                0);
    QGridLayout* arc = AddGroup(QString::fromUtf8("円弧"), 0, 2);
    BoundCheck(arc, IdArcAuto, "自動切換え(&A)", m_nArcAutoLock, 0, 0);
    BoundRadios(arc, {{1233, "フリー(&7)"}, {1234, "１５度(&8)"}, {1235, "４５度(&9)"}}, m_nArcLockMode, 1,
                0);
    BoundCheck(Grid(), IdPathLine, "線入力時の右クリックは前の線に戻る(&R)", m_nPathLine, 1, 0, 3);
    BoundCheck(Grid(), IdMidLineLock, "マウスのセンターボタンで角度モード切替(&M)", m_nMidLineLock, 2, 0, 3);
    BoundCheck(Grid(), IdMouseLock, "マウスを２往復振ると角度モード切替(&V)", m_nMouseLock, 3, 0, 3);
    BoundCheck(Grid(), IdTerEnd, "配線入力は端子で区切る(&P)", m_nTerEnd, 4, 0, 3);
    for (const ModeGroup& group : kGroups)
        connect(FindControl<QCheckBox>(this, group.check), &QCheckBox::toggled, this,
                &COptLine::ApplyEnabling);
}

void COptLine::OnInitDialog()
{
    const platform::Profile& p = platform::GetProfile();
    m_nLineAutoLock = p.GetInt(kSection, "LineAutoLock", 0);
    m_nLineLockMode = p.GetInt(kSection, "LineLockMode", 1);
    m_nSurAutoLock = p.GetInt(kSection, "SurAutoLock", 0);
    m_nSurLockMode = p.GetInt(kSection, "SurLockMode", 1);
    m_nArcAutoLock = p.GetInt(kSection, "ArcAutoLock", 0);
    m_nArcLockMode = p.GetInt(kSection, "ArcLockMode", 0);
    m_nPathLine = p.GetInt(kSection, "PathLine", 0);
    m_nMidLineLock = p.GetInt(kSection, "MidLineLock", 0);
    m_nMouseLock = p.GetInt(kSection, "MouseLock", 0);
    m_nTerEnd = p.GetInt(kSection, "TerEnd", 0);
    UpdateData(false);
}

bool COptLine::DoDataExchange(bool save)
{
    ExchangeBound(save);
    ApplyEnabling();
    return true;
}

void COptLine::ApplyEnabling()
{
    for (const ModeGroup& group : kGroups) {
        const bool on = FindControl<QCheckBox>(this, group.check)->isChecked();
        for (int id = group.firstRadio; id < group.firstRadio + 3; ++id)
            FindControl(this, id)->setEnabled(on);
    }
}

void COptLine::OnOK()
{
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "LineAutoLock", m_nLineAutoLock);
    p.SetInt(kSection, "LineLockMode", m_nLineLockMode);
    p.SetInt(kSection, "SurAutoLock", m_nSurAutoLock);
    p.SetInt(kSection, "SurLockMode", m_nSurLockMode);
    p.SetInt(kSection, "ArcAutoLock", m_nArcAutoLock);
    p.SetInt(kSection, "ArcLockMode", m_nArcLockMode);
    p.SetInt(kSection, "PathLine", m_nPathLine);
    p.SetInt(kSection, "MidLineLock", m_nMidLineLock);
    p.SetInt(kSection, "MouseLock", m_nMouseLock);
    p.SetInt(kSection, "TerEnd", m_nTerEnd);
}
