#include "document/VELTADoc.h"

#include "model/net/Net.h"
#include "platform/J.h"

#include <algorithm>

CVELTADoc::CVELTADoc()
{
    m_textSizes.fill(tagTEXTSIZE{2, 2.0, 2.0, 0.5});
    m_dims = tagDIMS{200, 15.0 * 3.14159265358979323846 / 180.0, 0, 100, 250};
    m_stack.wireCount = 2; // a plain two-sided board until the settings say otherwise
    SetupSheets();
    CDPoint::SetScale(m_nScale);
    SetCurrentLayer(0);
}

void CVELTADoc::SetupSheets()
{
    for (int i = 0; i < LAYER_MAX; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const std::pair<CSheet*, int> sets[] = {
            {&m_boardSheets[index], SHEET_BOARD},
            {&m_selSheets[index], SHEET_SELECTION},
            {&m_repSheets[index], SHEET_REPLACED},
        };
        for (auto [sheet, type] : sets) {
            sheet->SetLayerNo(i);
            sheet->SetCrossLayerNo(i);
            sheet->SetDocument(this);
            sheet->SetSheetType(type);
        }
    }
    tagLAYER parts;
    parts.order = 0;
    parts.color = 0;
    parts.drawClass = 0;
    parts.name = _J("部品");
    const std::pair<CSheet*, int> viaParts[] = {
        {&m_viaPartSheet, SHEET_BOARD_VIAPART},
        {&m_selViaPartSheet, SHEET_SELECT_VIAPART},
        {&m_repViaPartSheet, SHEET_REPLACED_VIAPART},
    };
    for (auto [sheet, type] : viaParts) {
        sheet->SetLayerNo(LAYER_MAX);
        sheet->SetDocument(this);
        sheet->SetSheetType(type);
        parts.display = parts.enable = (type == SHEET_REPLACED_VIAPART) ? 0 : 1;
        sheet->SetLayer(parts);
    }
    m_undoSheet.SetDocument(this);
    m_undoSheet.SetSheetType(SHEET_UNDO);
    m_redoSheet.SetDocument(this);
    m_redoSheet.SetSheetType(SHEET_REDO);
    m_partInputSheet.SetDocument(this);
}

CVELTADoc::~CVELTADoc()
{
    // Nets first: they point at items of the sheets.
    m_nets.clear();
    m_partList.clear();
    // The wiring layers' board sheets and the board's vias and parts go before the other sheets,
    // while the copper groups that their items belong to still exist.
    for (std::uint8_t layer : m_stack.wireLayers) {
        if (layer >= LAYER_MAX)
            continue;
        CSheet& sheet = m_boardSheets[layer];
        if ((sheet.GetType() & 0x810010) == 0)
            sheet.DeleteContents();
    }
    m_viaPartSheet.DeleteContents();
    // The other members go in reverse order of declaration; each sheet frees its items.
}

tagLAYER CVELTADoc::GetLayer(int layer) const
{
    return m_boardSheets.at(static_cast<std::size_t>(layer)).GetLayer();
}

int CVELTADoc::SetCurrentLayer(int layer)
{
    const int previous = m_nCurrentLayer;
    if (layer >= LAYER_MAX) {
        m_pCurrentSheet = &m_viaPartSheet;
        m_pCurrentSelSheet = &m_selViaPartSheet;
        m_pCurrentRepSheet = &m_repViaPartSheet;
        return previous;
    }
    if (layer < 0)
        layer = 0;
    m_nCurrentLayer = layer;
    const auto index = static_cast<std::size_t>(layer);
    m_pCurrentSheet = &m_boardSheets[index];
    m_pCurrentSelSheet = &m_selSheets[index];
    m_pCurrentRepSheet = &m_repSheets[index];
    return previous;
}

void CVELTADoc::BuildLayerLists()
{
    m_displayList.clear();
    m_enableList.clear();
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        const tagLAYER rec = m_boardSheets[static_cast<std::size_t>(layer)].GetLayer();
        if (rec.display)
            m_displayList.emplace_back(rec.order, layer);
        if (rec.enable)
            m_enableList.emplace_back(rec.order, layer);
    }
    auto key = [](const std::pair<int, int>& e) { return e.first * 128 + e.second; };
    auto order = [this, key](const std::pair<int, int>& a, const std::pair<int, int>& b) {
        return m_bReverseOrder ? key(a) > key(b) : key(a) < key(b);
    };
    std::stable_sort(m_displayList.begin(), m_displayList.end(), order);
    std::stable_sort(m_enableList.begin(), m_enableList.end(), order);
    // Whether shown and enabled layers carry vias and parts follows the same records.
    RecomputeViaPartFlags();
    SelectLayer(m_nCurrentLayer);
}

CSheet* CVELTADoc::GetBoardSheet(int layer)
{
    if (layer == LAYER_MAX)
        return &m_viaPartSheet;
    return (layer >= 0 && layer < LAYER_MAX) ? &m_boardSheets[static_cast<std::size_t>(layer)] : nullptr;
}

CSheet* CVELTADoc::GetSelectionSheet(int layer)
{
    if (layer == LAYER_MAX)
        return &m_selViaPartSheet;
    return (layer >= 0 && layer < LAYER_MAX) ? &m_selSheets[static_cast<std::size_t>(layer)] : nullptr;
}

CSheet* CVELTADoc::GetReplacedSheet(int layer)
{
    if (layer == LAYER_MAX)
        return &m_repViaPartSheet;
    return (layer >= 0 && layer < LAYER_MAX) ? &m_repSheets[static_cast<std::size_t>(layer)] : nullptr;
}

tagGRID CVELTADoc::GetGrid(int index) const
{
    if (index < 0 || index >= GRID_COUNT)
        index = m_nCurrentGrid;
    return m_grids[static_cast<std::size_t>(index)];
}

void CVELTADoc::SetMarkedGrids(int first, int second)
{
    m_nMarkedGrid1 = first;
    m_nMarkedGrid2 = second;
}

CNet* CVELTADoc::AddNet(std::unique_ptr<CNet> net)
{
    m_nets.push_back(std::move(net));
    return m_nets.back().get();
}

void CVELTADoc::SetFileTime(int which, std::time_t time)
{
    if (which >= 0 && which <= 2)
        m_fileTimes[static_cast<std::size_t>(which)] = time;
}
