// The board view's table commands on the document: turret table, via table and layer settings.
// The dialogs run through the host; only what the user changed reaches the items.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/TableChoices.h"

#include <algorithm>

namespace {

// Input-menu ids of the kinds the turret table counts, in the dialog's column order.
constexpr std::array<int, 5> kUsageKinds = {32910, 32914, 32917, 32911, 32912};
constexpr int kViaInputCommand = 32915;

bool SameTurret(const tagTURRET& a, const tagTURRET& b)
{
    return a.shape == b.shape && a.size1 == b.size1 && a.size2 == b.size2;
}

} // namespace

std::array<std::array<int, 5>, TURRET_MAX + 1> CVELTADoc::CountTurretUsage()
{
    std::array<std::array<int, 5>, TURRET_MAX + 1> usage{};
    std::array<unsigned, TURRET_MAX + 1> counts{};
    for (std::size_t kind = 0; kind < kUsageKinds.size(); ++kind) {
        counts.fill(0);
        for (int layer = 0; layer < LAYER_MAX; ++layer) {
            const auto index = static_cast<std::size_t>(layer);
            m_boardSheets[index].GetCount(kUsageKinds[kind], counts.data(), TURRET_MAX + 1);
            m_selSheets[index].GetCount(kUsageKinds[kind], counts.data(), TURRET_MAX + 1);
        }
        for (std::size_t n = 0; n < counts.size(); ++n)
            usage[n][kind] = static_cast<int>(counts[n]);
    }
    return usage;
}

bool CVELTADoc::OnTurretTable()
{
    if (!m_pHost)
        return false;
    TurretTableChoice choice;
    choice.turrets = m_turrets;
    choice.usage = CountTurretUsage();
    choice.landTurret = m_nDefLandTurret;
    choice.lineTurret = m_nDefLineTurret;
    choice.current = m_nCurrentTurret - 1;
    if (!m_pHost->RunTurretTableDialog(choice))
        return false;

    // The shape counts as much as the sizes: an item drawn round keeps no square pad's entry.
    for (int n = 0; n <= TURRET_MAX; ++n) {
        const auto index = static_cast<std::size_t>(n);
        if (SameTurret(m_turrets[index], choice.turrets[index]))
            continue;
        m_turrets[index] = choice.turrets[index];
        for (int layer = 0; layer < LAYER_MAX; ++layer) {
            m_boardSheets[static_cast<std::size_t>(layer)].ChangeTurret(n, true);
            m_selSheets[static_cast<std::size_t>(layer)].ChangeTurret(n, true);
        }
        m_viaPartSheet.ChangeTurret(n, true);
        m_selViaPartSheet.ChangeTurret(n, true);
    }
    m_nCurrentTurret = std::clamp(choice.current + 1, 0, TURRET_MAX);
    FillTurretCombo(m_pHost->GetActiveTool() != kViaInputCommand);
    if (!IsSelectionEmpty()) {
        m_repaintRect = GetItemsRect(2);
        ApplyTurretToSelection();
        m_repaintRect |= GetItemsRect(2);
        if (!m_repaintRect.IsRectNull())
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
    m_nDefLandTurret = std::clamp(choice.landTurret, 0, TURRET_MAX);
    m_nDefLineTurret = std::clamp(choice.lineTurret, 0, TURRET_MAX);
    WriteTurretTable();
    WriteDefItems();
    // Changed pads are drawn with their new sizes everywhere.
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
    return true;
}

bool CVELTADoc::OnViaTable()
{
    if (!m_pHost)
        return false;
    ViaTableChoice choice;
    choice.vias = m_vias;
    choice.current = m_nCurrentVia - 1;
    choice.defaultVia = m_nDefaultVia;
    choice.autoVia = m_nDefaultVia2;
    if (!m_pHost->RunViaTableDialog(choice))
        return false;

    m_vias = choice.vias;
    m_nCurrentVia = std::clamp(choice.current + 1, 1, VIA_MAX);
    m_nDefaultVia = std::clamp(choice.defaultVia, 1, VIA_MAX);
    m_nDefaultVia2 = std::clamp(choice.autoVia, 1, VIA_MAX);
    // The combo keeps what it shows: turrets outside via input.
    FillTurretCombo(m_bTurretMode);
    ResetViaBounds();
    if (!IsSelectionEmpty()) {
        m_repaintRect = GetItemsRect(2);
        ApplyViaToSelection();
        m_repaintRect |= GetItemsRect(2);
        if (!m_repaintRect.IsRectNull())
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
    WriteViaTable();
    WriteDefItems();
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
    return true;
}

bool CVELTADoc::OnLayerTable()
{
    if (!m_pHost)
        return false;
    LayerTableChoice choice;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        const auto index = static_cast<std::size_t>(layer);
        choice.layers[index] = m_boardSheets[index].GetLayer();
        choice.counts[index] = CountLayerItems(layer, 0);
        choice.types[index] = m_boardSheets[index].GetType();
    }
    choice.current = m_nCurrentLayer;
    choice.reverse = m_bReverseOrder ? 1 : 0;
    choice.patterns = m_patterns;
    if (!m_pHost->RunLayerTableDialog(choice))
        return false;

    for (int layer = 0; layer < LAYER_MAX; ++layer)
        ApplyLayerRecord(layer, choice.layers[static_cast<std::size_t>(layer)]);
    m_patterns = choice.patterns;
    SetCurrentLayer(std::clamp(choice.current, 0, LAYER_MAX - 1));
    m_bReverseOrder = choice.reverse != 0;
    BuildLayerLists();
    FillLayerCombo(false);
    WriteDispLayer();
    WriteLayerTable();
    WriteLayerPattern();
    // Vias and parts are never hidden by the layer table.
    for (CSheet* sheet : {&m_viaPartSheet, &m_selViaPartSheet, &m_repViaPartSheet}) {
        sheet->GetLayerPoint()->display = 1;
        sheet->GetLayerPoint()->enable = 1;
    }
    ResetViaBounds();
    m_pHost->UpdateAllViews(3, nullptr, nullptr);
    return true;
}
