// Part input from the libraries, the recent-part list and registering parts in a library.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "model/items/Part.h"
#include "model/library/Library.h"
#include "model/services/ItemDialogs.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>

namespace {

constexpr const char* kRecentSection = "Recent Part List";
constexpr int kRecentMax = 16;

bool SameName(const std::string& a, const std::string& b)
{
    return platform::MbsICmp(a, b) == 0;
}

void WriteRecentParts(const std::vector<std::string>& names)
{
    platform::Profile& profile = platform::GetProfile();
    profile.DeleteSection(kRecentSection);
    const int count = std::min(static_cast<int>(names.size()), kRecentMax);
    for (int i = 0; i < count; ++i)
        profile.SetString(kRecentSection, platform::Format("Part%d", i), names[static_cast<std::size_t>(i)]);
}

// Reads the library file and the named package into the sheet: 1 when the package was found.
int ReadPackage(CLibrary& library, const std::string& path, const std::string& name, CSheet& sheet)
{
    library.SetLibraryName(path);
    library.SetPackageName(name);
    sheet.DeleteContents();
    if (!library.ReadFile())
        return 0;
    return library.ReadPart(&sheet);
}

} // namespace

std::vector<std::string> CVELTADoc::ReadRecentParts()
{
    const platform::Profile& profile = platform::GetProfile();
    std::vector<std::string> names;
    for (int i = 0; i < kRecentMax; ++i) {
        std::string name = profile.GetString(kRecentSection, platform::Format("Part%d", i));
        if (name.empty())
            break;
        names.push_back(std::move(name));
    }
    return names;
}

void CVELTADoc::AddRecentPart(const std::string& name)
{
    if (name.empty())
        return;
    std::vector<std::string> names = ReadRecentParts();
    if (!names.empty() && SameName(names.front(), name))
        return;
    names.erase(
        std::remove_if(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); }),
        names.end());
    names.insert(names.begin(), name);
    WriteRecentParts(names);
}

void CVELTADoc::RemoveRecentPart(const std::string& name)
{
    std::vector<std::string> names = ReadRecentParts();
    const auto found =
        std::find_if(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
    if (found == names.end())
        return;
    names.erase(found);
    WriteRecentParts(names);
}

bool CVELTADoc::ReadLibraryPart(const std::string& name, const std::string& library)
{
    CLibrary reader;
    return ReadPackage(reader, library, name, m_partInputSheet) != 0 && m_partInputSheet.GetHeadPart();
}

bool CVELTADoc::LoadPart(const std::string& name, CPart* out, int excludedLayers)
{
    m_selViaPartSheet.DeleteContents();
    m_partList.clear();
    CLibrary libraries;
    const std::vector<std::string> list = libraries.ReadLibraryList();
    for (const std::string& library : list) {
        if (!ReadLibraryPart(name, library))
            continue;
        if (out) {
            *out = *m_partInputSheet.GetHeadPart();
            out->ExpItem(excludedLayers, this);
        }
        return true;
    }
    return false;
}

int CVELTADoc::InputPart(CDPoint at, const std::string& reference, const std::string& value)
{
    // Loading empties the via and part selection, which would destroy selected vias.
    if (!m_selViaPartSheet.IsEmpty())
        return 0;
    if (!m_bPartOnDisplayed) {
        AfxMessageBox(_J("部品表示可能なレイヤ表示に設定してください"));
        return 0;
    }
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return 0;
    PartInDialogData data;
    data.reference = reference;
    data.value = value;
    data.partNameDisplay = m_partInputDisp[0];
    data.referenceDisplay = m_partInputDisp[1];
    data.valueDisplay = m_partInputDisp[2];
    data.doc = this;
    if (!dialogs->RunPartInDialog(data))
        return 0;
    m_partInputDisp = {data.partNameDisplay, data.referenceDisplay, data.valueDisplay};

    CPart part;
    if (!LoadPart(data.partName, &part, data.excludedLayers)) {
        AfxMessageBox(data.partName + _J("が見つかりません"));
        RemoveRecentPart(data.partName);
        return -1;
    }
    if (!data.reference.empty())
        part.SetRefName(data.reference.c_str());
    if (!data.value.empty())
        part.SetValue(data.value.c_str());
    if (data.solderSide && !(part.GetType() & 0x10)) {
        // Codes while the side changes, then the layers of the solder side.
        part.PartLayToID(this);
        if (!(part.GetType() & 0x1000))
            part.MirrorX(part.GetOrg().x);
        part.ModifyType(0x1010, 0);
        part.IDToPartLay(this, 1);
    }
    part.SetDisp(data.partNameDisplay, data.referenceDisplay, data.valueDisplay);
    const bool typed = data.xGiven || data.yGiven;
    if (typed) {
        CDPoint clicked = at;
        ToUserOrigin(clicked, 0);
        CDPoint target(data.xGiven ? data.position.x : clicked.x, data.yGiven ? data.position.y : clicked.y);
        FromUserOrigin(target, 0);
        CDPoint delta = target;
        delta -= part.GetOrg();
        part.Offset(delta);
    }
    if (data.angleGiven)
        part.Rotate(part.GetOrg(), data.angle);
    std::vector<std::uint8_t> layers;
    GetDispLayers(layers);
    part.CalcBoundRect(layers);
    AddRecentPart(data.partName);
    const CDRect bounds = part.GetBoundingRect();
    if (bounds.IsRectNull()) {
        AfxMessageBox(_J("部品を表示できません。\n") + _J("部品を表示可能なレイヤ設定にするか、") +
                      _J("部品入力時の配置面、除外層の設定を確認してください。"));
        m_partInputSheet.DeleteContents();
        return -1;
    }
    m_selViaPartSheet.NewPart(part);
    m_partInputSheet.DeleteContents();
    return typed ? 2 : 1;
}

// ---------------------------------------------------------------------------------------------
// Registration in a library

void CVELTADoc::RegisterPartInLibrary(const std::string& package, const std::string& library, bool several)
{
    CLibrary writer;
    writer.SetLibraryName(library);
    writer.SetPackageName(package);
    if (!writer.ReadFile())
        return;
    if (!writer.DelPart(true, false))
        return;
    CSheet copy(SHEET_WORK);
    copy.SetDocument(this);
    copy += m_selViaPartSheet;
    for (POSITION pos = copy.GetFirstPartPos(); pos;) {
        CPart* part = copy.GetNextPart(pos);
        std::string prefix, suffix;
        int number = 0;
        if (part->GetRefName(prefix, suffix, number) && !prefix.empty())
            part->SetRefName((prefix + "?" + suffix).c_str());
        part->SetPlaced(0);
        part->ResetBounding();
        // A solder-side part is stored as a component-side one.
        if (part->GetType() & 0x10) {
            part->PartLayToID(this);
            part->IDToPartLay(this, 1);
            part->PartLayToID(this);
            part->ModifyType(0, 0x10);
            part->IDToPartLay(this, 0);
        }
        if (part->GetType() & 0x1000) {
            part->ModifyType(0, 0x1000);
            part->MirrorX(part->GetOrg().x);
        }
        part->ModifyType(0, static_cast<int>(0xFFFF20E0u));
    }
    writer.WritePart(&copy, several ? 1 : 0);
}

bool CVELTADoc::CanRegisterPart()
{
    const int tool = m_pHost ? m_pHost->GetActiveTool() : 0;
    if (m_selViaPartSheet.GetKindCount(KIND_PART) == 0 || (tool != 0 && tool != 22))
        return false;
    CLibrary libraries;
    return !libraries.ReadLibraryList().empty();
}

void CVELTADoc::OnRegisterPart()
{
    if (!m_pHost || !CanRegisterPart())
        return;
    std::string package = m_selViaPartSheet.GetHeadPart()->GetPartName();
    std::string library;
    const bool several = CountItems(2, 0) > 1;
    if (m_pHost->RunRegisterPartDialog(package, library, several))
        RegisterPartInLibrary(package, library, several);
    m_pHost->EndCommand();
}
