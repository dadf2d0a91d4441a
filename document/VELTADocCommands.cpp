// The remaining board commands and queries: work area, part and net managers, layer save and
// restore, layer swap, finding text, the via placement test, text selection and layer lists.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

// Whether an item of the sheet lies at the point (bounds from the sheet's index, then the kind's
// own hit test).
bool ItemAt(CSheet& sheet, const CDPoint& point)
{
    std::vector<CItemBase*> found;
    sheet.GetItemsIn(0x1FF & ~(KIND_PART | KIND_VIA), CDRect(point.x, point.y, point.x, point.y), found);
    for (CItemBase* item : found) {
        switch (item->GetKind()) {
        case KIND_LINE:
            if (static_cast<CLine*>(item)->CheckPoint(point))
                return true;
            break;
        case KIND_ARC:
            if (static_cast<CArc*>(item)->CheckPoint(point))
                return true;
            break;
        case KIND_LAND:
            if (static_cast<CLand*>(item)->CheckPoint(point))
                return true;
            break;
        case KIND_HOLE:
            if (static_cast<CHole*>(item)->CheckPoint(point))
                return true;
            break;
        case KIND_TEXT:
            if (static_cast<CText*>(item)->CheckPoint(point))
                return true;
            break;
        case KIND_SUR:
            if (static_cast<CSur*>(item)->CheckPoint(point, false))
                return true;
            break;
        case KIND_TER:
            if (static_cast<CTer*>(item)->CheckPoint(point))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

bool ViaAt(CSheet& sheet, const CDPoint& point)
{
    std::vector<CItemBase*> found;
    sheet.GetItemsIn(KIND_VIA, CDRect(point.x, point.y, point.x, point.y), found);
    for (CItemBase* item : found)
        if (static_cast<CVia*>(item)->CheckPoint(point))
            return true;
    return false;
}

std::string ListText(std::set<int> layers)
{
    std::string text;
    for (int layer : layers)
        text += platform::Format("%3d,", layer + 1);
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Work area

void CVELTADoc::OnWorkArea()
{
    if (!m_pHost)
        return;
    CDSize size = m_boardSize;
    CDPoint origin = m_userOrigin;
    if (!m_pHost->RunWorkAreaDialog(size, origin))
        return;
    const bool sizeChanged = !(size == m_boardSize);
    const bool originChanged = !(origin == m_userOrigin);
    if (!sizeChanged && !originChanged)
        return;
    // The board is at least 100 mm each way, as the settings file reader keeps it, and the user
    // origin lies on the board.
    auto clampSide = [](double v) { return std::isfinite(v) && std::trunc(v) >= 100.0 ? v : 100.0; };
    size = CDSize(clampSide(size.cx), clampSide(size.cy));
    origin = CDPoint(std::clamp(std::isfinite(origin.x) ? origin.x : 0.0, 0.0, size.cx),
                     std::clamp(std::isfinite(origin.y) ? origin.y : 0.0, 0.0, size.cy));
    m_boardSize = size;
    m_userOrigin = origin;
    WriteSheetSize();
    if (!sizeChanged)
        return;
    m_nScale = std::max(1, static_cast<int>(32767.0 / std::max(size.cx, size.cy)));
    CDPoint::SetScale(m_nScale);
    const double width = m_boardSize.cx;
    const double height = m_boardSize.cy;
    if (m_viewRect.left > width || m_viewRect.right > width || m_viewRect.left < 0.0 ||
        m_viewRect.right < 0.0 || m_viewRect.top > height || m_viewRect.bottom > height ||
        m_viewRect.top < 0.0 || m_viewRect.bottom < 0.0)
        m_viewRect = CDRect(0.0, 0.0, width, height);
    m_pHost->UpdateAllViews(2, nullptr, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Part and net managers

void CVELTADoc::OnPartManager()
{
    if (!m_pHost)
        return;
    BuildPartList(true);
    CSheet edited(SHEET_WORK);
    edited.SetDocument(this);
    edited += m_viaPartSheet;
    if (!m_pHost->RunPartManagerDialog(edited))
        return;
    CSheet before(SHEET_WORK);
    CSheet after(SHEET_WORK);
    POSITION a = m_viaPartSheet.GetFirstPartPos();
    POSITION b = edited.GetFirstPartPos();
    while (a && b) {
        CPart* old = m_viaPartSheet.GetNextPart(a);
        CPart* now = edited.GetNextPart(b);
        if (!old->Compare(*now)) {
            before.NewPart(*old);
            after.NewPart(*now);
        }
    }
    if (before.IsEmpty())
        return;
    StoreUndoItem(&before, LAYER_MAX, 0, 3);
    StoreUndoItem(&after, LAYER_MAX, 0, 5);
    m_viaPartSheet.DeleteContents();
    m_viaPartSheet += edited;
    m_partList.clear();
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

void CVELTADoc::OnNetManager()
{
    if (!m_pHost)
        return;
    std::vector<COLORREF> colours;
    for (const auto& net : m_nets)
        colours.push_back(net->GetColor());
    if (!m_pHost->RunNetManagerDialog(colours))
        return;
    for (std::size_t i = 0; i < m_nets.size() && i < colours.size(); ++i)
        m_nets[i]->SetColor(colours[i]);
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Layer save and restore (F10)

void CVELTADoc::OnLayerSaveRestore()
{
    LayerSaveRestore(m_pHost && m_pHost->IsShiftDown());
}

void CVELTADoc::LayerSaveRestore(bool shift)
{
    auto setBytes = [this](int layer, bool display, bool enable) {
        for (int set : {0, 2, 5}) {
            tagLAYER* record = GetSetSheet(set, layer)->GetLayerPoint();
            record->display = display ? 1 : 0;
            record->enable = enable ? 1 : 0;
        }
    };
    auto viaPartBytes = [this](bool on) {
        for (int set : {0, 2, 5}) {
            tagLAYER* record = GetSetSheet(set, LAYER_MAX)->GetLayerPoint();
            record->display = on ? 1 : 0;
            record->enable = on ? 1 : 0;
        }
    };
    if (!m_bLayerSaved) {
        const int current = m_nCurrentLayer;
        const int currentOrder = m_boardSheets[static_cast<std::size_t>(current)].GetLayer().order;
        for (int layer = 0; layer < LAYER_MAX; ++layer) {
            const CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
            m_layerStates[static_cast<std::size_t>(layer)] = sheet.IsEnable() ? 2 : sheet.IsDisp() ? 1 : 0;
        }
        for (int layer = 0; layer < LAYER_MAX; ++layer) {
            if (layer != current &&
                m_boardSheets[static_cast<std::size_t>(layer)].GetLayer().order >= currentOrder)
                setBytes(layer, false, false);
        }
        BuildLayerLists();
        FillLayerCombo(false);
        viaPartBytes(!shift);
        ResetViaBounds();
        ResetPartBoundRects(3);
        if (m_pHost)
            m_pHost->UpdateAllViews(3, nullptr, nullptr);
        m_bLayerSaved = true;
        return;
    }
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        const int state = m_layerStates[static_cast<std::size_t>(layer)];
        if (state == 1)
            setBytes(layer, true, false);
        else if (state == 2)
            setBytes(layer, true, true);
    }
    BuildLayerLists();
    FillLayerCombo(false);
    viaPartBytes(true);
    if (m_displayList.size() > 1) {
        ResetViaBounds();
        ResetPartBoundRects(3);
        if (m_pHost)
            m_pHost->UpdateAllViews(3, nullptr, nullptr);
    }
    m_bLayerSaved = false;
}

bool CVELTADoc::CanLayerSaveRestore()
{
    bool onlyCurrent = true;
    for (int layer = 0; layer < LAYER_MAX && onlyCurrent; ++layer)
        if (layer != m_nCurrentLayer && !m_selSheets[static_cast<std::size_t>(layer)].IsEmpty())
            onlyCurrent = false;
    if (onlyCurrent && m_selViaPartSheet.IsEmpty())
        return true;
    if (!m_pCurrentSelSheet->IsEmpty() || m_selViaPartSheet.IsEmpty() || (m_pHost && m_pHost->IsShiftDown()))
        return false;
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;)
        if (m_selViaPartSheet.GetNextPart(pos)->GetLayerCount(m_nCurrentLayer, 0, 0) > 0)
            return true;
    return (m_pCurrentSheet->GetType() & 0x110001) != 0;
}

// ---------------------------------------------------------------------------------------------
// Layer swap

void CVELTADoc::SwapLayers(const int* first, const int* second, int count)
{
    int group = 0;
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < count; ++i) {
        const int a = first[i];
        const int b = second[i];
        // A layer swapped with itself stays as it is, and nothing is recorded.
        if (a == b || a < 0 || b < 0 || a >= LAYER_MAX || b >= LAYER_MAX)
            continue;
        pairs.emplace_back(a, b);
    }
    for (const auto& [a, b] : pairs) {
        StoreUndoItem(&m_boardSheets[static_cast<std::size_t>(a)], a, group, 3);
        StoreUndoItem(&m_boardSheets[static_cast<std::size_t>(b)], b, group + 1, 3);
        group += 2;
    }
    for (const auto& [a, b] : pairs) {
        CSheet& sheetA = m_boardSheets[static_cast<std::size_t>(a)];
        CSheet& sheetB = m_boardSheets[static_cast<std::size_t>(b)];
        CSheet held(SHEET_WORK);
        held += sheetA;
        sheetA.DeleteContents();
        sheetA += sheetB;
        sheetB.DeleteContents();
        sheetB += held;
    }
    group = 0;
    for (const auto& [a, b] : pairs) {
        StoreUndoItem(&m_boardSheets[static_cast<std::size_t>(a)], a, group, 5);
        StoreUndoItem(&m_boardSheets[static_cast<std::size_t>(b)], b, group + 1, 5);
        group += 2;
    }
}

void CVELTADoc::OnLayerSwap()
{
    if (!m_pHost)
        return;
    std::vector<tagLAYER> layers;
    for (const CSheet& sheet : m_boardSheets)
        layers.push_back(sheet.GetLayer());
    int first = 0, second = 0;
    if (!m_pHost->RunLayerExchangeDialog(layers, first, second))
        return;
    if (first == second || first < 0 || second < 0 || first >= LAYER_MAX || second >= LAYER_MAX)
        return;
    SwapLayers(&first, &second, 1);
    m_pHost->UpdateAllViews(0, nullptr, &m_boardSheets[static_cast<std::size_t>(first)]);
    m_pHost->UpdateAllViews(0, nullptr, &m_boardSheets[static_cast<std::size_t>(second)]);
}

// ---------------------------------------------------------------------------------------------
// Queries

bool CVELTADoc::CanPlaceVia(CDPoint at, bool needItem)
{
    for (std::uint8_t layer : m_viaList2) {
        if (layer >= LAYER_MAX)
            continue;
        if (ItemAt(m_boardSheets[layer], at) || ItemAt(m_selSheets[layer], at))
            return false;
    }
    const tagPARTLAYER noVia = m_stack.partLayers[PL_NOVIA];
    for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_viaPartSheet.GetNextPart(pos);
        if (!part->GetBoundingRect().PtInRect(at) && !(part->GetBoundingRect().right == at.x) &&
            !(part->GetBoundingRect().bottom == at.y))
            continue;
        if (part->CheckPoint(at, noVia.layerA) || part->CheckPoint(at, noVia.layerB))
            return false;
    }
    if (ViaAt(m_viaPartSheet, at) || ViaAt(m_selViaPartSheet, at))
        return false;
    if (!needItem)
        return true;
    for (std::uint8_t layer : m_stack.wireLayers) {
        if (layer >= LAYER_MAX || m_boardSheets[layer].IsNega())
            continue;
        if (ItemAt(m_boardSheets[layer], at) || ItemAt(m_selSheets[layer], at))
            return true;
    }
    return false;
}

void CVELTADoc::SetTextSelection(const CDRect& area)
{
    for (const auto& entry : m_displayList)
        if (CSheet* sheet = GetSetSheet(2, entry.second))
            sheet->SetTextSel(area);
    m_selViaPartSheet.SetTextSel(area);
}

void CVELTADoc::ResetTextSelection()
{
    for (const auto& entry : m_displayList)
        if (CSheet* sheet = GetSetSheet(2, entry.second))
            sheet->ResetTextSel();
    m_selViaPartSheet.ResetTextSel();
}

std::string CVELTADoc::GetLayerListText(int which, int kind)
{
    std::set<int> layers;
    switch (kind) {
    case 32:
        for (std::size_t i = 0; i + 1 < m_viaList1.size(); i += 2)
            if (m_viaList1[i] == which)
                layers.insert(m_viaList1[i + 1]);
        break;
    case 64:
        layers.insert(m_viaList2.begin(), m_viaList2.end());
        break;
    case 128: {
        const std::vector<std::uint8_t>& list = which == 1 ? m_viaList3First : m_viaList3Other;
        layers.insert(list.begin(), list.end());
        break;
    }
    default:
        break;
    }
    return ListText(layers);
}

void CVELTADoc::SetToolButton(unsigned id)
{
    if (m_pHost)
        m_pHost->SetToolButton(id);
}

// ---------------------------------------------------------------------------------------------
// Finding text

bool CVELTADoc::FindString(bool next)
{
    const platform::Profile& profile = platform::GetProfile();
    const char* section = "Find";
    std::string pattern = profile.GetString(section, "Find1");
    while (!pattern.empty() && pattern.back() == ' ')
        pattern.pop_back();
    const int target = profile.GetInt(section, "Target", 514);
    const int matchCase = profile.GetInt(section, "MatchCase", 0);
    const int hidden = profile.GetInt(section, "Hide", 0);
    const int whole = profile.GetInt(section, "Word", 0);
    const int selectAll = profile.GetInt(section, "SelectItem", 0);
    const int layerMode = profile.GetInt(section, "LayMode", 0);
    if (pattern.empty())
        return false;
    if (!matchCase)
        pattern = platform::ToUpperAscii(pattern);
    if (!next)
        m_nFindPosition = 0;

    if (selectAll) {
        std::vector<CPart*> parts;
        for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
            CPart* part = m_viaPartSheet.GetNextPart(pos);
            CDPoint at;
            if (part->Find(at, pattern, matchCase, whole, hidden, target))
                parts.push_back(part);
        }
        for (CPart* part : parts)
            SelectItem(part, LAYER_MAX);
        std::vector<CItemBase*> hits;
        for (POSITION pos = m_pCurrentSheet->GetFirstLinePos(); pos;) {
            CLine* line = m_pCurrentSheet->GetNextLine(pos);
            CDPoint at;
            if ((target & 0x100) && !line->IsNameEmpty() &&
                line->GetNameText()->Find(at, pattern, matchCase, whole, hidden))
                hits.push_back(line);
        }
        for (POSITION pos = m_pCurrentSheet->GetFirstTextPos(); pos;) {
            CText* text = m_pCurrentSheet->GetNextText(pos);
            CDPoint at;
            if ((target & 0x200) && text->Find(at, pattern, matchCase, whole, hidden))
                hits.push_back(text);
        }
        for (CItemBase* item : hits)
            SelectItem(item, m_nCurrentLayer);
        if (!IsSelectionEmpty() && m_pHost)
            m_pHost->SetActiveTool(22);
        return true;
    }

    std::vector<int> layers;
    if (layerMode == 0) {
        layers.push_back(m_nCurrentLayer);
    } else if (layerMode == 1) {
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            if (m_boardSheets[static_cast<std::size_t>(layer)].IsDisp())
                layers.push_back(layer);
    } else if (layerMode == 2) {
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            layers.push_back(layer);
    } else {
        std::set<int> listed;
        for (const std::string& field : platform::Split(profile.GetString(section, "Layer"), ',')) {
            const int n = std::atoi(field.c_str());
            if (n >= 1 && n <= LAYER_MAX)
                listed.insert(n - 1);
        }
        layers.assign(listed.begin(), listed.end());
    }

    int count = 0;
    bool found = false;
    CDPoint result;
    auto hit = [&](const CDPoint& at) {
        if (found)
            return;
        if (++count > m_nFindPosition) {
            found = true;
            result = at;
        }
    };
    const tagPARTLAYER silk = m_stack.partLayers[PL_SILKTEXT];
    for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos && !found;) {
        CPart* part = m_viaPartSheet.GetNextPart(pos);
        const int silkLayer = part->IsPartSide() ? silk.layerA : silk.layerB;
        const bool silkShown = IsDisplayedLayer(silkLayer);
        const struct
        {
            int bit;
            CText* text;
        } own[] = {{1, part->GetPartNameText()}, {2, part->GetRefNameText()}, {4, part->GetValNameText()}};
        for (const auto& entry : own) {
            CDPoint at;
            if ((target & entry.bit) && entry.text->Find(at, pattern, matchCase, whole, hidden))
                hit(silkShown ? at : part->GetOrg());
        }
        if (target & 0x20) {
            for (POSITION tp = part->GetFirstTextPos(); tp;) {
                CText* text = part->GetNextText(tp);
                CDPoint at;
                if (text->Find(at, pattern, matchCase, whole, hidden))
                    hit(IsDisplayedLayer(text->GetLayerNo()) ? at : part->GetOrg());
            }
        }
        if (target & 0x100) {
            for (POSITION lp = part->GetFirstLinePos(); lp;) {
                CLine* line = part->GetNextLine(lp);
                CDPoint at;
                if (!line->IsNameEmpty() && line->GetNameText()->Find(at, pattern, matchCase, whole, hidden))
                    hit(IsDisplayedLayer(line->GetLayerNo()) ? at : part->GetOrg());
            }
        }
    }
    if (target & 0x100) {
        for (int layer : layers) {
            CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
            for (POSITION pos = sheet.GetFirstLinePos(); pos && !found;) {
                CLine* line = sheet.GetNextLine(pos);
                CDPoint at;
                if (!line->IsNameEmpty() && line->GetNameText()->Find(at, pattern, matchCase, whole, hidden))
                    hit(at);
            }
        }
    }
    if (target & 0x200) {
        for (int layer : layers) {
            CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
            for (POSITION pos = sheet.GetFirstTextPos(); pos && !found;) {
                CDPoint at;
                if (sheet.GetNextText(pos)->Find(at, pattern, matchCase, whole, hidden))
                    hit(at);
            }
        }
    }
    if (!found) {
        m_nFindPosition = 0;
        return false;
    }
    if (m_pHost)
        m_pHost->ShowFoundPoint(result);
    ++m_nFindPosition;
    return true;
}
