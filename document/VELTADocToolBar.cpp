// The state behind the main frame's layer and tool combos, the current layer with the display
// and enable lists, the grid and layer-pattern menus and the tool-bar drop-downs. The frame shows
// what the document hands it (CommandData.h) and calls the handlers here.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/NumberText.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <algorithm>

namespace {

constexpr int ID_LAYER_SETTINGS = 32786;
constexpr int ID_GRID_SETTINGS = 32810;
constexpr int ID_GRID_FIRST = 32811;
constexpr int ID_GRID_OFF = 32827;
constexpr int ID_PATTERN_FIRST = 32920;
constexpr int ID_TOOL_SELECT = 32942;
constexpr int TOOLS_BAR_IMAGES = 135;
constexpr int TOOL_TERMINAL = 32918;
constexpr int TOOL_SURFACE = 32917;

// "%.4f" without trailing zeros and point, then ".0" when no point is left.
std::string SizeText(double value)
{
    std::string text = platform::TrimNumberText(platform::Format("%.4f", value));
    if (text.find('.') == std::string::npos)
        text += ".0";
    return text;
}

// The three label forms of the grid and layer-pattern menus.
std::string EntryLabel(int k, const std::string& name)
{
    if (k <= 8)
        return platform::Format(" &%d : %s", k + 1, name.c_str());
    if (k == 9)
        return platform::Format("1&0 : %s", name.c_str());
    return platform::Format("%d : %s\t&%X", k + 1, name.c_str(), static_cast<unsigned>(k));
}

MenuEntry Entry(int id, const std::string& text, bool checked = false, bool enabled = true)
{
    MenuEntry entry;
    entry.id = id;
    entry.text = text;
    entry.checked = checked;
    entry.enabled = enabled;
    return entry;
}

int IndexOfData(const ComboData& combo, int data)
{
    for (std::size_t i = 0; i < combo.entries.size(); ++i)
        if (combo.entries[i].data == data)
            return static_cast<int>(i);
    return -1;
}

// The repaint of one changed item before and after its change.
template <class Change> void RepaintAround(DocumentHost* host, CItemBase* item, Change change)
{
    if (host)
        host->UpdateAllViews(0, nullptr, item);
    change();
    item->ResetBounding();
    if (host)
        host->UpdateAllViews(0, nullptr, item);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Layer combo, current layer and the layer lists

void CVELTADoc::RecomputeViaPartFlags()
{
    constexpr int viaPartBits = 0x110001;
    bool onEnabled = false;
    bool onDisplayed = false;
    for (const CSheet& sheet : m_boardSheets) {
        if (!(sheet.GetType() & viaPartBits))
            continue;
        onEnabled = onEnabled || sheet.IsEnable();
        onDisplayed = onDisplayed || sheet.IsDisp();
    }
    m_bViaOnEnabled = m_bPartOnEnabled = onEnabled ? 1 : 0;
    m_bViaOnDisplayed = m_bPartOnDisplayed = (onDisplayed || onEnabled) ? 1 : 0;
}

void CVELTADoc::FillLayerCombo(bool all)
{
    RecomputeViaPartFlags();
    const int tool = m_pHost ? m_pHost->GetActiveTool() : 0;
    std::vector<int> layers;
    if (tool == TOOL_TERMINAL && !all) {
        const tagPARTLAYER& term = m_stack.partLayers[PL_TERM];
        for (int layer : {static_cast<int>(term.layerA), static_cast<int>(term.layerB)})
            if (layer < LAYER_MAX && m_boardSheets[static_cast<std::size_t>(layer)].IsEnable())
                layers.push_back(layer);
    } else if (tool == TOOL_SURFACE && !all && m_pHost && m_pHost->IsInputInProgress()) {
        layers.push_back(m_nCurrentLayer);
    } else {
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            if (m_boardSheets[static_cast<std::size_t>(layer)].IsEnable())
                layers.push_back(layer);
    }
    m_layerCombo = ComboData{};
    for (int layer : layers) {
        const std::string name = m_boardSheets[static_cast<std::size_t>(layer)].GetLayer().name;
        m_layerCombo.entries.push_back(
            ComboEntry{platform::Format("%3d : %s", layer + 1, name.c_str()), layer});
    }
    m_layerCombo.selected = IndexOfData(m_layerCombo, m_nCurrentLayer);
    if (m_pHost)
        m_pHost->SetLayerCombo(m_layerCombo);
}

void CVELTADoc::FillTurretCombo(bool turrets)
{
    static const char kShapes[] = {'C', 'S', 'D', 'T'};
    m_bTurretMode = turrets;
    m_toolCombo = ComboData{};
    if (turrets) {
        for (int n = 0; n <= TURRET_MAX; ++n) {
            const tagTURRET& t = m_turrets[static_cast<std::size_t>(n)];
            if (t.size1 == 0.0)
                continue;
            const char shape = (t.shape >= 0 && t.shape <= 3) ? kShapes[t.shape] : '?';
            m_toolCombo.entries.push_back(
                ComboEntry{platform::Format("%3d: %c ", n, shape) + SizeText(t.size1), n});
        }
        m_toolCombo.selected = IndexOfData(m_toolCombo, m_nCurrentTurret);
    } else {
        for (int n = 0; n <= VIA_MAX; ++n) {
            const tagVIA& v = m_vias[static_cast<std::size_t>(n)];
            // The connected land of the top group.
            const int land = v.lands[0];
            if (land == 0)
                continue;
            m_toolCombo.entries.push_back(
                ComboEntry{platform::Format("%2d: %s %3d", n, SizeText(v.drill).c_str(), land), n});
        }
        m_toolCombo.selected = IndexOfData(m_toolCombo, m_nCurrentVia);
    }
    if (m_pHost)
        m_pHost->SetToolCombo(m_toolCombo);
}

void CVELTADoc::SelectLayer(int layer)
{
    if (layer < 0 || layer >= LAYER_MAX)
        return;
    SetCurrentLayer(layer);
    const int index = IndexOfData(m_layerCombo, layer);
    if (index >= 0) {
        m_layerCombo.selected = index;
        if (m_pHost)
            m_pHost->SelectLayerComboItem(index);
    }
    auto isLayer = [layer](const std::pair<int, int>& e) { return e.second == layer; };
    const auto found = std::find_if(m_displayList.begin(), m_displayList.end(), isLayer);
    if (found != m_displayList.end() && found != m_displayList.begin()) {
        const std::pair<int, int> entry = *found;
        m_displayList.erase(found);
        const auto place = std::find_if(m_displayList.begin(), m_displayList.end(), [&](const auto& e) {
            return m_bReverseOrder ? e.first <= entry.first : e.first >= entry.first;
        });
        m_displayList.insert(place == m_displayList.end() ? m_displayList.begin() : place, entry);
    }
    const std::pair<int, int> enabled{m_boardSheets[static_cast<std::size_t>(layer)].GetLayer().order, layer};
    const auto inEnable = std::find_if(m_enableList.begin(), m_enableList.end(), isLayer);
    if (inEnable != m_enableList.end())
        m_enableList.erase(inEnable);
    m_enableList.insert(m_enableList.begin(), enabled);
    for (int set : {0, 2, 5})
        GetSetSheet(set, layer)->GetLayerPoint()->enable = 1;
}

void CVELTADoc::SwitchToCrossLayer()
{
    const int cross = m_boardSheets[static_cast<std::size_t>(m_nCurrentLayer)].GetCrossLayerNo();
    if (cross != m_nCurrentLayer && cross >= 0 && cross < LAYER_MAX &&
        m_boardSheets[static_cast<std::size_t>(cross)].IsEnable())
        SelectLayer(cross);
}

void CVELTADoc::OnLayerComboCloseUp(int data)
{
    if (data < 0 || data >= LAYER_MAX)
        return;
    if (SetCurrentLayer(data) != data) {
        BuildLayerLists();
        if (m_pHost) {
            m_pHost->LayerChanged();
            m_pHost->UpdateAllViews(3, nullptr, nullptr);
            m_pHost->FocusActiveView();
        }
    }
}

void CVELTADoc::OnLayerComboCancel()
{
    if (m_pHost)
        m_pHost->FocusActiveView();
}

// ---------------------------------------------------------------------------------------------
// Tool combo and the numbers of the selection

void CVELTADoc::ApplyTurretToSelection()
{
    for (const auto& entry : m_displayList)
        m_selSheets[static_cast<std::size_t>(entry.second)].ChangeTurret(m_nCurrentTurret, false);
}

void CVELTADoc::ApplyViaToSelection()
{
    m_selViaPartSheet.ChangeVia(m_nCurrentVia);
}

void CVELTADoc::OnToolComboCloseUp(int data)
{
    const CDRect before = GetItemsRect(2);
    if (m_bTurretMode) {
        if (data < 0 || data > TURRET_MAX)
            return;
        m_nCurrentTurret = data;
        ApplyTurretToSelection();
    } else {
        if (data < 1 || data > VIA_MAX)
            return;
        m_nCurrentVia = data;
        ApplyViaToSelection();
    }
    m_repaintRect = before;
    m_repaintRect |= GetItemsRect(2);
    if (m_pHost) {
        if (!m_repaintRect.IsRectNull())
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        m_pHost->FocusActiveView();
    }
}

void CVELTADoc::StepToolCombo(bool next, bool via)
{
    if (m_toolCombo.entries.empty())
        return;
    const int last = static_cast<int>(m_toolCombo.entries.size()) - 1;
    int index = std::clamp(m_toolCombo.selected, 0, last);
    if (m_toolCombo.selected >= 0)
        index = std::clamp(m_toolCombo.selected + (next ? 1 : -1), 0, last);
    m_toolCombo.selected = index;
    const int data = m_toolCombo.entries[static_cast<std::size_t>(index)].data;
    if (via)
        m_nCurrentVia = data;
    else
        m_nCurrentTurret = data;
    if (m_pHost)
        m_pHost->SelectToolComboItem(index);
}

void CVELTADoc::StepSelectionNumbers(int direction, bool ctrl)
{
    const bool up = direction >= 1;
    for (POSITION pos = m_selViaPartSheet.GetFirstViaPos(); pos;) {
        CVia* via = m_selViaPartSheet.GetNextVia(pos);
        const int number = via->GetViaNo();
        const int stepped =
            up ? (number < VIA_MAX ? number + 1 : number) : (number != 0 ? std::max(1, number - 1) : 0);
        if (stepped != number)
            RepaintAround(m_pHost, via, [&] { via->SetViaNo(stepped); });
        if (number != 0 || up)
            m_nCurrentVia = std::max(1, via->GetViaNo());
    }
    for (const auto& entry : m_displayList) {
        CSheet& sheet = m_selSheets[static_cast<std::size_t>(entry.second)];
        if (ctrl) {
            // Arrow sizes step by 10 within 50 to 250; a dot (negative code) is left as it is.
            auto stepArrow = [up](int size) {
                if (size <= 0)
                    return size;
                if (up)
                    return size < 250 ? std::min(250, size + 10) : size;
                return size < 60 ? 50 : size - 10;
            };
            auto arrows = [&](auto* item) {
                const int start = stepArrow(item->GetStartArrow());
                const int end = stepArrow(item->GetEndArrow());
                if (start != item->GetStartArrow() || end != item->GetEndArrow())
                    RepaintAround(m_pHost, item, [&] { item->SetArrow(start, end); });
            };
            for (POSITION pos = sheet.GetFirstLinePos(); pos;)
                arrows(sheet.GetNextLine(pos));
            for (POSITION pos = sheet.GetFirstArcPos(); pos;)
                arrows(sheet.GetNextArc(pos));
            continue;
        }
        // Apertures one up to 120 or one down to 0 (0 is not stepped down; a negative number on a
        // line or arc is left alone).
        auto stepTurret = [up](int number) {
            if (number < 0)
                return number;
            return up ? std::min(TURRET_MAX, number + 1) : std::max(0, number - 1);
        };
        auto stepKind = [&](int kind, auto apply) {
            for (POSITION pos = sheet.GetFirstItemPos(kind); pos;) {
                CItemBase* item = sheet.GetNextItem(kind, pos);
                const int n = stepTurret(item->GetTurretNo());
                if (n != item->GetTurretNo())
                    RepaintAround(m_pHost, item, [&] { apply(item, n); });
            }
        };
        stepKind(KIND_LINE, [this](CItemBase* item, int n) {
            CLine* line = static_cast<CLine*>(item);
            line->SetTurretNo(n);
            if (line->IsAutoDim())
                line->SetDimension(m_dims);
        });
        stepKind(KIND_ARC, [](CItemBase* item, int n) {
            CArc* arc = static_cast<CArc*>(item);
            arc->SetTurretNo(n);
            if (arc->IsAutoDim())
                arc->ChangeDimension();
        });
        stepKind(KIND_LAND, [](CItemBase* item, int n) { item->SetTurretNo(n); });
        stepKind(KIND_SUR, [](CItemBase* item, int n) { static_cast<CSur*>(item)->SetTurretNo(n); });
        // Holes by 0.2 mm within 0.2 to 20 mm; long holes both sizes.
        for (POSITION pos = sheet.GetFirstHolePos(); pos;) {
            CHole* hole = sheet.GetNextHole(pos);
            double diameter, width, radius, angle;
            hole->GetSHoleData(diameter, width, radius, angle);
            auto step = [up](double size) {
                if (up)
                    return size < 20.0 ? std::min(20.0, size + 0.2) : size;
                return size > 0.2 ? std::max(0.2, size - 0.2) : size;
            };
            const double d = step(diameter);
            const double w = hole->GetHoleShape() > 15 ? step(width) : width;
            if (d != diameter || w != width)
                RepaintAround(m_pHost, hole, [&] { hole->SetSHoleData(d, w, radius, angle); });
        }
        // Text heights by 5 (hundredths) within 20 to 3000.
        for (POSITION pos = sheet.GetFirstTextPos(); pos;) {
            CText* text = sheet.GetNextText(pos);
            LOGFONTA font = *text->GetFont();
            const int height = font.lfHeight;
            const int stepped = up ? (height < 3000 ? std::min(3000, height + 5) : height)
                                   : (height > 20 ? std::max(20, height - 5) : height);
            if (stepped == height)
                continue;
            font.lfHeight = stepped;
            RepaintAround(m_pHost, text, [&] { text->SetFontRecord(font); });
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Grids and layer patterns

void CVELTADoc::OnGridSettings()
{
    if (!m_pHost)
        return;
    std::array<tagGRID, 16> grids;
    std::copy(m_grids.begin(), m_grids.end(), grids.begin());
    int current = m_nCurrentGrid;
    bool shown = m_bGridShown;
    if (!m_pHost->RunGridDialog(grids, current, shown))
        return;
    std::copy(grids.begin(), grids.end(), m_grids.begin());
    m_nCurrentGrid = std::clamp(current, 0, GRID_COUNT - 1);
    m_bGridShown = shown;
    WriteGrid();
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

void CVELTADoc::OnGridList(int id)
{
    const int index = id - ID_GRID_FIRST;
    if (index < 0 || index >= GRID_COUNT)
        return;
    m_nCurrentGrid = index;
    WriteGrid();
    if (m_pHost)
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

void CVELTADoc::OnGridOff()
{
    m_bGridShown = !m_bGridShown;
    if (m_pHost)
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

MenuData CVELTADoc::BuildGridMenu() const
{
    MenuData menu;
    for (int k = 0; k < GRID_COUNT; ++k) {
        const tagGRID& grid = m_grids[static_cast<std::size_t>(k)];
        if (grid.marked)
            menu.push_back(Entry(ID_GRID_FIRST + k, EntryLabel(k, grid.name), k == m_nCurrentGrid));
    }
    if (menu.empty())
        return {Entry(ID_GRID_FIRST, _J("グリッド未登録"), false, false)};
    MenuEntry separator;
    separator.separator = true;
    menu.push_back(separator);
    menu.push_back(Entry(ID_GRID_OFF, _J("グリッド非表示(&H)"), !m_bGridShown));
    return menu;
}

// A pattern is checked when it is the present state: its layer enabled, and exactly its layers
// shown besides, each enabled as the pattern says.
bool CVELTADoc::IsPatternShown(const tagLAYERPATTERN& pattern) const
{
    if (pattern.layer >= LAYER_MAX || !m_boardSheets[pattern.layer].IsEnable() ||
        m_displayList.size() != pattern.layers.size() + 1)
        return false;
    for (std::size_t i = 0; i < pattern.layers.size(); ++i) {
        const int layer = pattern.layers[i];
        const bool enable = i < pattern.enables.size() && pattern.enables[i] != 0;
        if (layer >= LAYER_MAX || !m_boardSheets[static_cast<std::size_t>(layer)].IsDisp() ||
            m_boardSheets[static_cast<std::size_t>(layer)].IsEnable() != enable)
            return false;
    }
    return true;
}

MenuData CVELTADoc::BuildLayerPatternMenu() const
{
    MenuData menu;
    for (int k = 0; k < LAYER_PATTERN_COUNT; ++k) {
        const tagLAYERPATTERN& pattern = m_patterns[static_cast<std::size_t>(k)];
        if (!pattern.name.empty())
            menu.push_back(Entry(ID_PATTERN_FIRST + k, EntryLabel(k, pattern.name), IsPatternShown(pattern)));
    }
    if (menu.empty())
        return {Entry(ID_PATTERN_FIRST, _J("レイヤパターン未登録"), false, false)};
    return menu;
}

MenuData CVELTADoc::BuildToolsMenu()
{
    const bool empty = IsSelectionEmpty();
    const std::pair<int, const std::string*> items[] = {{32833, &_J("CAMデータ出力(&O)")},
                                                        {32832, &_J("CAMデータ入力(&I)")},
                                                        {32940, &_J("デザインルールチェック(&D)")},
                                                        {32846, &_J("ホール径データ作成(&H)")},
                                                        {32955, &_J("部品表作成(&L)")},
                                                        {32956, &_J("重複整理(&C)")}};
    MenuData menu;
    for (const auto& [id, text] : items)
        menu.push_back(Entry(id, *text, false, empty || (id != 32955 && id != 32846 && id != 32956)));
    return menu;
}

void CVELTADoc::OnToolBarDropDown(int buttonId)
{
    if (!m_pHost)
        return;
    switch (buttonId) {
    case ID_LAYER_SETTINGS:
        m_pHost->ShowDropDownMenu(buttonId, BuildLayerPatternMenu(), 0);
        return;
    case ID_GRID_SETTINGS:
        m_pHost->ShowDropDownMenu(buttonId, BuildGridMenu(), 0);
        return;
    case 32832:
    case 32833:
    case 32940:
    case 32846:
    case 32955:
    case 32956:
    case ID_TOOL_SELECT:
        m_pHost->ShowDropDownMenu(buttonId, BuildToolsMenu(), TOOLS_BAR_IMAGES);
        return;
    default:
        m_pHost->MainFrameDropDown(buttonId);
    }
}

void CVELTADoc::OnLayerPattern(int id)
{
    ApplyLayerPattern(id - ID_PATTERN_FIRST);
}

void CVELTADoc::ApplyLayerPattern(int index)
{
    if (index < 0 || index >= LAYER_PATTERN_COUNT)
        return;
    const tagLAYERPATTERN pattern = m_patterns[static_cast<std::size_t>(index)];
    if (pattern.name.empty() || pattern.layer >= LAYER_MAX)
        return;
    auto setBytes = [this](int layer, bool display, bool enable) {
        for (int set : {0, 2, 5}) {
            tagLAYER* record = GetSetSheet(set, layer)->GetLayerPoint();
            record->display = display ? 1 : 0;
            record->enable = enable ? 1 : 0;
        }
    };
    for (int layer = 0; layer < LAYER_MAX; ++layer)
        setBytes(layer, false, false);
    setBytes(pattern.layer, true, true);
    SetCurrentLayer(pattern.layer);
    for (std::size_t i = 0; i < pattern.layers.size(); ++i) {
        const int layer = pattern.layers[i];
        if (layer >= LAYER_MAX || layer == pattern.layer)
            continue;
        setBytes(layer, true, i < pattern.enables.size() && pattern.enables[i] != 0);
    }
    BuildLayerLists();
    FillLayerCombo(false);
    WriteDispLayer();
    WriteLayerTable();
    for (CSheet* sheet : {&m_viaPartSheet, &m_selViaPartSheet}) {
        tagLAYER* record = sheet->GetLayerPoint();
        record->display = record->enable = 1;
    }
    for (CSheet* sheet : {&m_viaPartSheet, &m_selViaPartSheet, &m_repViaPartSheet}) {
        sheet->ResetPartBoundRect();
        for (POSITION pos = sheet->GetFirstViaPos(); pos;)
            sheet->GetNextVia(pos)->ResetBounding();
    }
    if (m_pHost)
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
}
