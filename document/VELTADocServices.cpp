// The document services that the board model calls back, and the layer queries they share.
#include "document/VELTADoc.h"

#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/net/Net.h"
#include "model/net/NetLine.h"

#include <algorithm>

namespace {

// Raises x to y (x becomes y when it is not larger).
void Raise(double& x, double y)
{
    if (x <= y)
        x = y;
}

} // namespace

bool CVELTADoc::IsLayerEnabled(int layer) const
{
    return layer >= 0 && layer < LAYER_MAX && m_boardSheets[static_cast<std::size_t>(layer)].IsEnable();
}

bool CVELTADoc::IsLayerShown(int layer) const
{
    return layer >= 0 && layer < LAYER_MAX &&
           (m_boardSheets[static_cast<std::size_t>(layer)].IsDisp() || IsDisplayedLayer(layer));
}

double CVELTADoc::TurretSize(int turret) const
{
    return (turret >= 0 && turret <= TURRET_MAX) ? m_turrets[static_cast<std::size_t>(turret)].size1 : 0.0;
}

COLORREF CVELTADoc::GetNetColor(int netId)
{
    if (!m_bNetColoring)
        return 0xFFFFFF;
    for (const auto& net : m_nets) {
        if (net->GetID() == static_cast<std::uint32_t>(netId))
            return net->GetColor();
    }
    return 0xFFFFFF;
}

int CVELTADoc::GetDispLayers(std::vector<std::uint8_t>& out)
{
    for (const auto& entry : m_displayList)
        out.push_back(static_cast<std::uint8_t>(entry.second));
    return static_cast<int>(m_displayList.size());
}

CSheet* CVELTADoc::GetHoleSheet(int index)
{
    const tagPARTLAYER& hole = m_stack.partLayers[PL_HOLE];
    int layer = -1;
    if (index == 0) {
        layer = m_nCurrentLayer;
    } else if (index == 1 || index == 2) {
        int first = -1;
        if (hole.layerA != m_nCurrentLayer)
            first = hole.layerA;
        else if (hole.layerB != m_nCurrentLayer)
            first = hole.layerB;
        if (index == 1) {
            layer = first;
        } else {
            // The other layer of the pair, when it is neither the current one nor the first.
            const int other = (first == hole.layerA) ? hole.layerB : hole.layerA;
            if (first != -1 && other != m_nCurrentLayer && other != first)
                layer = other;
        }
    }
    if (layer < 0 || layer >= LAYER_MAX)
        return nullptr;
    return &m_boardSheets[static_cast<std::size_t>(layer)];
}

int CVELTADoc::GetWireLayerPos(int layer, bool withTerm)
{
    return m_stack.WireLayerPos(layer, withTerm, [this](int l) {
        return l >= 0 && l < LAYER_MAX && m_boardSheets[static_cast<std::size_t>(l)].IsNega();
    });
}

int CVELTADoc::GetWireLayer(int pos)
{
    return m_stack.WireLayer(pos);
}

int CVELTADoc::PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds)
{
    return m_stack.PartLayerToLayer(code, side, swapEnds);
}

std::uint32_t CVELTADoc::LayerToPartLayer(int layer, bool side)
{
    return m_stack.LayerToPartLayer(layer, side);
}

int CVELTADoc::CollectHoles(std::vector<CHole*>& list, bool withParts)
{
    for (int index = 0;; ++index) {
        CSheet* sheet = GetHoleSheet(index);
        if (!sheet)
            break;
        for (POSITION pos = sheet->GetFirstHolePos(); pos;)
            list.push_back(sheet->GetNextHole(pos));
    }
    if (withParts) {
        const tagPARTLAYER& hole = m_stack.partLayers[PL_HOLE];
        for (CPart* part : m_partList) {
            for (POSITION pos = part->GetFirstHolePos(); pos;) {
                CHole* item = part->GetNextHole(pos);
                const int layer = item->GetLayerNo();
                if (layer == m_nCurrentLayer || layer == hole.layerA || layer == hole.layerB)
                    list.push_back(item);
            }
        }
    }
    return static_cast<int>(list.size());
}

void CVELTADoc::ToUserOrigin(CDPoint& point, int)
{
    point.x -= m_userOrigin.x;
    point.y -= m_userOrigin.y;
}

void CVELTADoc::FromUserOrigin(CDPoint& point, int)
{
    point.x += m_userOrigin.x;
    point.y += m_userOrigin.y;
}

double CVELTADoc::CalcViaSize(int viaNo, int wiringMask, double* displayRadius, double* outerRadius)
{
    const tagVIA via = GetViaEntry(viaNo);
    auto t = [this, &via](int k) { return TurretSize(via.lands[static_cast<std::size_t>(k)]); };
    enum
    {
        CONNECTED = 0,
        UNCONNECTED = 1,
        RESIST = 2,
        THERMAL = 3,
        CLEARANCE = 4
    };
    constexpr int TOP = 0, INNER = 5, BOTTOM = 10;

    const double d = via.drill;
    double r = 0.0, s = 0.0, outer = d;
    const int holeLayer = m_stack.partLayers[PL_HOLE].layerA;
    if (IsLayerEnabled(holeLayer)) {
        s = d;
        r = d;
    } else if (IsLayerShown(holeLayer)) {
        s = d;
    }

    const tagPARTLAYER& resist = m_stack.partLayers[PL_RESIST];
    const std::pair<int, int> resistSides[] = {{resist.layerA, TOP + RESIST},
                                               {resist.layerB, BOTTOM + RESIST}};
    for (auto [layer, k] : resistSides) {
        if (IsLayerEnabled(layer)) {
            Raise(r, t(k));
            Raise(s, r);
        } else if (IsLayerShown(layer)) {
            Raise(s, t(k));
        }
    }

    const int count = std::min<int>(m_stack.wireCount, static_cast<int>(m_stack.wireLayers.size()));
    for (int i = 1; i <= count; ++i) {
        const int layer = m_stack.wireLayers[static_cast<std::size_t>(i - 1)];
        const int group = (i == 1) ? TOP : (i == m_stack.wireCount ? BOTTOM : INNER);
        const bool neg = layer < LAYER_MAX && m_boardSheets[static_cast<std::size_t>(layer)].IsNega();
        const bool conn = i <= 32 && (static_cast<std::uint32_t>(wiringMask) >> (i - 1) & 1u) != 0;
        Raise(outer, t(group + (neg ? THERMAL : CONNECTED)));
        const int k = group + (neg ? (conn ? THERMAL : CLEARANCE) : (conn ? CONNECTED : UNCONNECTED));
        if (IsLayerEnabled(layer)) {
            Raise(r, t(k));
            Raise(s, r);
        } else if (IsLayerShown(layer)) {
            if (i == 1 && neg && !conn)
                r = std::max(s, t(TOP + CLEARANCE));
            else
                Raise(s, t(k));
        }
    }
    if (displayRadius)
        *displayRadius = s / 2.0;
    if (outerRadius)
        *outerRadius = outer / 2.0;
    return r / 2.0;
}

CNetLine* CVELTADoc::FindNetLine(int id)
{
    const int pos = id & 0xFF;
    if (pos == 0 || pos > m_stack.wireCount || pos > static_cast<int>(m_stack.wireLayers.size()))
        return nullptr;
    const int layer = m_stack.wireLayers[static_cast<std::size_t>(pos - 1)];
    if (layer >= LAYER_MAX)
        return nullptr;
    CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
    for (auto p = sheet.GetFirstNetLinePos(); p;) {
        CNetLine* group = sheet.GetNextNetLine(p);
        if (group->GetID() == static_cast<std::uint32_t>(id))
            return group;
    }
    return nullptr;
}

void CVELTADoc::GetFileTime(int which, std::time_t* out)
{
    if (out && which >= 0 && which <= 2)
        *out = m_fileTimes[static_cast<std::size_t>(which)];
}

tagPARTLAYER CVELTADoc::GetPartLayer(int index)
{
    return (index >= 0 && index < PART_LAYER_COUNT) ? m_stack.partLayers[static_cast<std::size_t>(index)]
                                                    : tagPARTLAYER{};
}

tagVIA CVELTADoc::GetViaEntry(int number)
{
    return (number >= 0 && number <= VIA_MAX) ? m_vias[static_cast<std::size_t>(number)] : tagVIA{};
}

tagTURRET CVELTADoc::GetTurretEntry(int number)
{
    return (number >= 0 && number <= TURRET_MAX) ? m_turrets[static_cast<std::size_t>(number)] : tagTURRET{};
}

bool CVELTADoc::IsComponentSideLayer(int layer) const
{
    const auto& list = m_stack.wireLayers;
    if (!list.empty() && list.front() == layer)
        return true;
    if (!list.empty() && list.back() == layer)
        return false;
    for (const tagPARTLAYER& rec : m_stack.partLayers) {
        if (rec.layerA == layer)
            return true;
    }
    return false;
}

bool CVELTADoc::IsDisplayedLayer(int layer) const
{
    return std::any_of(m_displayList.begin(), m_displayList.end(),
                       [layer](const std::pair<int, int>& e) { return e.second == layer; });
}

bool CVELTADoc::IsWiringOrPartLayer(int layer) const
{
    if (layer < 0 || layer >= LAYER_MAX)
        return false;
    const CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
    return sheet.GetWLayer() != 0 || (sheet.GetType() & 0x11) != 0 ||
           (static_cast<std::uint32_t>(sheet.GetType()) & 0xFFFF0000u) != 0;
}

tagTEXTSIZE CVELTADoc::GetTextSizeEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(m_textSizes.size()))
        index = 0;
    return m_textSizes[static_cast<std::size_t>(index)];
}

void CVELTADoc::GetBoardSize(double& width, double& height)
{
    width = m_boardSize.cx;
    height = m_boardSize.cy;
}

void CVELTADoc::GetUserOrigin(double& x, double& y)
{
    x = m_userOrigin.x;
    y = m_userOrigin.y;
}
