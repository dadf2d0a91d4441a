// The board clean-up (empty, outside and duplicate items on chosen layers) with the parts' resist
// and metal-mask checks, and the enable rule of the board-wide Tools commands.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/WaitCursor.h"
#include "model/items/Part.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <array>
#include <map>

namespace {

constexpr unsigned kCleanUpCommand = 32956;

} // namespace

bool CVELTADoc::OnUpdateToolCommand()
{
    return IsSelectionEmpty();
}

bool CVELTADoc::CleanLayer(int layer, bool outside)
{
    CSheet* sheet = GetSetSheet(0, layer);
    if (!sheet)
        return false;
    bool changed = sheet->CleanNullItem() != 0;
    if (outside)
        changed = sheet->CleanOutSideItem(CDPoint(m_boardSize.cx, m_boardSize.cy)) != 0 || changed;
    changed = sheet->CleanDupItem() != 0 || changed;
    return changed;
}

std::array<bool, LAYER_MAX + 1> CVELTADoc::CleanUpLayers(int target)
{
    std::array<bool, LAYER_MAX + 1> flags{};
    flags[LAYER_MAX] = true;
    auto set = [&flags](int layer) {
        if (layer >= 0 && layer < LAYER_MAX)
            flags[static_cast<std::size_t>(layer)] = true;
    };
    switch (target) {
    case 0:
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            set(layer);
        break;
    case 1:
        for (std::uint8_t layer : m_stack.wireLayers)
            set(layer);
        set(m_nContourLayer1);
        for (int index = 0; index < PART_LAYER_COUNT; ++index) {
            const tagPARTLAYER record = GetPartLayer(index);
            if (static_cast<std::int32_t>(record.code) >= 0) {
                set(record.layerA);
                set(record.layerB);
            }
        }
        break;
    case 2:
        for (const auto& entry : m_displayList)
            set(entry.second);
        break;
    case 3:
        set(m_nCurrentLayer);
        break;
    default:
        break;
    }
    return flags;
}

void CVELTADoc::OnCleanUp()
{
    SetToolButton(kCleanUpCommand);
    CleanUpChoice choice;
    if (!m_pHost || !m_pHost->RunCleanUpDialog(choice))
        return;
    m_pHost->SaveProjectBoards();
    WaitCursor wait(m_pHost);

    // Each layer that changes is kept as it was, so that one undo step gives the board back.
    const std::array<bool, LAYER_MAX + 1> flags = CleanUpLayers(choice.target);
    std::map<int, std::unique_ptr<CSheet>> before;
    for (int layer = 0; layer <= LAYER_MAX; ++layer) {
        if (!flags[static_cast<std::size_t>(layer)])
            continue;
        CSheet* sheet = GetSetSheet(0, layer);
        auto copy = std::make_unique<CSheet>(SHEET_WORK);
        *copy += *sheet;
        bool changed = CleanLayer(layer, choice.outside != 0);
        if (choice.line)
            changed = sheet->CleanLine() != 0 || changed;
        if (changed)
            before[layer] = std::move(copy);
    }
    if (!before.empty()) {
        int group = 0;
        for (auto& [layer, sheet] : before)
            StoreUndoItem(sheet.get(), layer, group++, 3);
        group = 0;
        for (auto& [layer, sheet] : before)
            StoreUndoItem(GetSetSheet(0, layer), layer, group++, 5);
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
    }

    BuildPartList(true);
    std::vector<CPart*> resistErrors;
    std::vector<CPart*> metalErrors;
    for (CPart* part : m_partList) {
        if (choice.resist && part->CheckResist(this) == 0)
            resistErrors.push_back(part);
        if (choice.metal && part->CheckMetal(this) == 0)
            metalErrors.push_back(part);
    }
    std::string log;
    auto section = [&log](const std::string& heading, const std::vector<CPart*>& parts) {
        log += platform::Format(heading.c_str(), static_cast<int>(parts.size()));
        for (CPart* part : parts) {
            const CDPoint origin = part->GetOrg();
            log += platform::Format("%s\t%s\tX:%.3f Y:%.3f\n", part->GetRefName().c_str(),
                                    part->GetPartName().c_str(), origin.x, origin.y);
        }
    };
    section(_J("レジストエラー部品\t%7d\n"), resistErrors);
    section(_J("メタルマスクエラー部品\t%7d\n"), metalErrors);
    const std::string path = MakeOutputPath(".clean.log");
    if (WriteReportFile(path, log) && choice.view)
        m_pHost->OpenTextFile(path);
}
