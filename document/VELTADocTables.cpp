// Sections of the board settings file that fill the document's tables: apertures, vias, layers
// and their roles, grids, patterns, board size, part layers, dimension style, text sizes and the
// default items.
#include "document/SettingSections.h"
#include "document/VELTADoc.h"

#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using settings::Next;
using settings::Trim;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int ROLE_WIRING = 0x1;
constexpr int ROLE_SIDE1 = 0x2;
constexpr int ROLE_SIDE2 = 0x4;
constexpr int ROLE_NEGATIVE = 0x8;
constexpr int ROLE_CONTOUR = 0x10;
constexpr int ROLE_LIST1 = 0x20;
constexpr int ROLE_LIST2 = 0x40;
constexpr int ROLE_LIST3 = 0x80;
constexpr int ROLE_PART_CODES = static_cast<int>(0xFFFF0000u);

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

int Number(const std::string& field)
{
    return platform::Atoi(field);
}

double Value(const std::string& field)
{
    return platform::Atof(field);
}

// Hundredths of a millimetre of a millimetre field.
int Hundredths(const std::string& field)
{
    return static_cast<int>(std::lround(Value(field) * 100.0));
}

} // namespace

void CVELTADoc::ApplyLayerRecord(int layer, const tagLAYER& record)
{
    const auto index = static_cast<std::size_t>(layer);
    m_boardSheets[index].SetLayer(record);
    m_selSheets[index].SetLayer(record);
    m_repSheets[index].SetLayer(record);
}

// --- TURRET_TABLE ---

void CVELTADoc::ReadTurretTable()
{
    m_turrets.fill(tagTURRET{});
    settings::ForEachEntry(m_settingFile, "TURRET_TABLE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() < 3)
            return settings::Error(m_settingFile, i);
        const int number = Number(f[0]);
        if (!InRange(number, 1, TURRET_MAX))
            return settings::Error(m_settingFile, i);
        tagTURRET& turret = m_turrets[static_cast<std::size_t>(number)];
        bool badShape = false;
        int shape = TURRET_ROUND;
        if (!f[1].empty()) {
            switch (std::toupper(static_cast<unsigned char>(f[1][0]))) {
            case 'C':
                shape = TURRET_ROUND;
                break;
            case 'S':
                shape = TURRET_SQUARE;
                break;
            case 'D':
                shape = TURRET_DONUT;
                break;
            case 'T':
                shape = TURRET_THERMAL;
                break;
            default:
                badShape = true;
                break;
            }
        }
        turret.size1 = Value(f[2]);
        if (badShape)
            return settings::Error(m_settingFile, i);
        turret.shape = shape;
        turret.size2 = 0.0;
        if (shape == TURRET_DONUT || shape == TURRET_THERMAL) {
            turret.size2 = turret.size1 * 0.5;
            if (f.size() > 3 && !f[3].empty()) {
                const double inner = Value(f[3]);
                if (inner >= turret.size1)
                    return settings::Error(m_settingFile, i);
                turret.size2 = inner;
            }
        }
        return Next::Go;
    });
}

bool CVELTADoc::WriteTurretTable()
{
    static constexpr char kLetters[] = {'C', 'S', 'D', 'T'};
    std::string body;
    for (int n = 1; n <= TURRET_MAX; ++n) {
        const tagTURRET& t = m_turrets[static_cast<std::size_t>(n)];
        const char letter = InRange(t.shape, 0, 3) ? kLetters[t.shape] : 'C';
        if (t.shape == TURRET_DONUT || t.shape == TURRET_THERMAL)
            body += platform::Format("%3d : %c : %.4f : %.4f ;\r\n", n, letter, t.size1, t.size2);
        else
            body += platform::Format("%3d : %c : %.4f ;\r\n", n, letter, t.size1);
    }
    return settings::Write(m_settingFile, "TURRET_TABLE", body);
}

// --- VIA_TABLE ---

void CVELTADoc::ReadViaTable()
{
    m_vias.fill(tagVIA{});
    settings::ForEachEntry(m_settingFile, "VIA_TABLE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 5)
            return Next::Go;
        const int number = Number(f[0]);
        if (!InRange(number, 1, VIA_MAX))
            return settings::Error(m_settingFile, i);
        tagVIA& via = m_vias[static_cast<std::size_t>(number)];
        via.drill = Value(f[1]);
        for (std::size_t g = 0; g < 3; ++g) {
            const std::vector<std::string> parts = platform::Split(f[2 + g], ',');
            if (parts.size() != 5)
                return settings::Error(m_settingFile, i);
            std::array<int, 5> lands{};
            for (std::size_t k = 0; k < 5; ++k) {
                lands[k] = Number(parts[k]);
                if (!InRange(lands[k], 0, TURRET_MAX))
                    return settings::Skip(m_settingFile, i);
            }
            for (std::size_t k = 0; k < 5; ++k)
                via.lands[g * 5 + k] = static_cast<std::uint8_t>(lands[k]);
        }
        return Next::Go;
    });
}

bool CVELTADoc::WriteViaTable()
{
    std::string body;
    for (int n = 1; n <= VIA_MAX; ++n) {
        const tagVIA& v = m_vias[static_cast<std::size_t>(n)];
        const auto& l = v.lands;
        body += platform::Format(
            "%3d : %.2f :%3d,%3d,%3d,%3d,%3d :%3d,%3d,%3d,%3d,%3d :%3d,%3d,%3d,%3d,%3d ;\r\n", n, v.drill,
            l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8], l[9], l[10], l[11], l[12], l[13], l[14]);
    }
    return settings::Write(m_settingFile, "VIA_TABLE", body);
}

// --- LAYER_TABLE ---

void CVELTADoc::ReadLayerTable()
{
    settings::ForEachEntry(m_settingFile, "LAYER_TABLE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 7)
            return settings::Error(m_settingFile, i);
        const int layer = Number(f[0]);
        if (!InRange(layer, 1, LAYER_MAX))
            return Next::Go;
        tagLAYER rec = m_boardSheets[static_cast<std::size_t>(layer - 1)].GetLayer();
        const int use = Number(f[1]);
        const bool badUse = !InRange(use, 0, 2);
        if (!badUse) {
            rec.display = use >= 1 ? 1 : 0;
            rec.enable = use == 2 ? 1 : 0;
        }
        rec.order = static_cast<std::uint8_t>(Number(f[2]));
        rec.color = static_cast<COLORREF>(std::strtoul(f[3].c_str(), nullptr, 16));
        const int drawClass = Number(f[4]);
        const bool badClass = !InRange(drawClass, 0, 3);
        if (!badClass)
            rec.drawClass = static_cast<std::uint8_t>(1 << drawClass);
        rec.mirror = Number(f[5]) != 0 ? 1 : 0;
        rec.name = f[6];
        ApplyLayerRecord(layer - 1, rec);
        if (badUse || badClass)
            return settings::Error(m_settingFile, i);
        return Next::Go;
    });
}

bool CVELTADoc::WriteLayerTable()
{
    std::string body;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        const tagLAYER rec = m_boardSheets[static_cast<std::size_t>(layer)].GetLayer();
        const int use = (rec.display && rec.enable) ? 2 : (rec.display ? 1 : 0);
        const int drawClass = rec.drawClass == 1 ? 0 : rec.drawClass == 4 ? 2 : rec.drawClass == 8 ? 3 : 1;
        body += platform::Format("%3d:%d:%3d:0x%06x:%d:%d:\"%s\";\r\n", layer + 1, use, rec.order,
                                 static_cast<unsigned>(rec.color), drawClass, rec.mirror, rec.name.c_str());
    }
    return settings::Write(m_settingFile, "LAYER_TABLE", body);
}

// --- DISP_LAYER ---

void CVELTADoc::ReadDispLayer()
{
    SetCurrentLayer(0);
    m_bReverseOrder = false;
    m_nDispNumber = 0;
    settings::ForEachEntry(m_settingFile, "DISP_LAYER", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 4)
            return settings::Error(m_settingFile, i);
        const int layer = Number(f[1]);
        if (!InRange(layer, 1, LAYER_MAX))
            return settings::Error(m_settingFile, i);
        SetCurrentLayer(layer - 1);
        m_bReverseOrder = Number(f[2]) != 0;
        m_nDispNumber = Number(f[3]);
        return Next::Go;
    });
}

bool CVELTADoc::WriteDispLayer()
{
    return settings::Write(m_settingFile, "DISP_LAYER",
                           platform::Format("  1 : %d : %d : %d ;\r\n", m_nCurrentLayer + 1,
                                            m_bReverseOrder ? 1 : 0, m_nDispNumber));
}

// --- CROSS_LAYER ---

void CVELTADoc::SetCrossPair(int layer1, int layer2, const std::string& name)
{
    for (auto [layer, other] : {std::pair{layer1, layer2}, std::pair{layer2, layer1}}) {
        for (CSheet* sheet : {&m_boardSheets[static_cast<std::size_t>(layer)],
                              &m_selSheets[static_cast<std::size_t>(layer)]}) {
            sheet->SetCrossLayerNo(other);
            sheet->SetCrossLayerName(name);
        }
    }
}

void CVELTADoc::ReadCrossLayer()
{
    ClearCrossPairs();
    settings::ForEachEntry(m_settingFile, "CROSS_LAYER", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 3 || m_crossLayers.size() >= CROSS_LAYER_MAX)
            return settings::Error(m_settingFile, i);
        const int layer1 = Number(f[0]);
        const int layer2 = Number(f[1]);
        if (!InRange(layer1, 1, LAYER_MAX) || !InRange(layer2, 1, LAYER_MAX) || layer1 == layer2)
            return settings::Error(m_settingFile, i);
        m_crossLayers.push_back(tagCROSSLAYER{static_cast<std::uint8_t>(layer1 - 1),
                                              static_cast<std::uint8_t>(layer2 - 1), f[2]});
        SetCrossPair(layer1 - 1, layer2 - 1, f[2]);
        return Next::Go;
    });
}

void CVELTADoc::ClearCrossPairs()
{
    for (const tagCROSSLAYER& pair : m_crossLayers) {
        for (int layer : {int(pair.layer1), int(pair.layer2)}) {
            for (CSheet* sheet : {&m_boardSheets[static_cast<std::size_t>(layer)],
                                  &m_selSheets[static_cast<std::size_t>(layer)]}) {
                sheet->SetCrossLayerNo(-1);
                sheet->SetCrossLayerName(std::string());
            }
        }
    }
    m_crossLayers.clear();
}

bool CVELTADoc::WriteCrossLayer(const std::vector<tagCROSSLAYER>& newRecords)
{
    const std::vector<tagCROSSLAYER> records = newRecords; // may be the document's own list
    ClearCrossPairs();
    std::string body;
    for (const tagCROSSLAYER& pair : records) {
        if (pair.layer1 >= LAYER_MAX || pair.layer2 >= LAYER_MAX || pair.layer1 == pair.layer2 ||
            m_crossLayers.size() >= CROSS_LAYER_MAX)
            continue;
        m_crossLayers.push_back(pair);
        SetCrossPair(pair.layer1, pair.layer2, pair.name);
        body +=
            platform::Format("%3d : %3d : \"%s\" ;\r\n", pair.layer1 + 1, pair.layer2 + 1, pair.name.c_str());
    }
    return settings::Write(m_settingFile, "CROSS_LAYER", body);
}

// --- WIRE_VIA_LAYER ---

void CVELTADoc::ReadWireViaLayer()
{
    // Lists and role bits start empty, so that reading again never doubles them.
    for (std::uint8_t layer : m_stack.wireLayers) {
        if (layer < LAYER_MAX)
            m_boardSheets[layer].ModifyType(0, ROLE_WIRING | ROLE_SIDE1 | ROLE_SIDE2 | ROLE_NEGATIVE);
    }
    for (CSheet& sheet : m_boardSheets)
        sheet.ModifyType(0, ROLE_LIST1 | ROLE_LIST2 | ROLE_LIST3);
    m_stack.wireLayers.clear();
    m_viaList1.clear();
    m_viaList2.clear();
    m_viaList3First.clear();
    m_viaList3Other.clear();

    int lastWiring = -1;
    settings::ForEachEntry(m_settingFile, "WIRE_VIA_LAYER", [&](const std::vector<std::string>& f, int i) {
        if (f.size() != 6)
            return settings::Error(m_settingFile, i);
        const int side = Number(f[0]);
        const int layer = Number(f[1]);
        if (!InRange(side, 1, 32) || m_stack.wireLayers.size() >= 32)
            return settings::Skip(m_settingFile, i);
        const bool negative = !f[2].empty() && std::toupper(static_cast<unsigned char>(f[2][0])) == 'N';
        bool badList = false;
        for (int list = 0; list < 3; ++list) {
            for (int n : settings::ListNumbers(f[3 + static_cast<std::size_t>(list)])) {
                if (!InRange(n, 1, LAYER_MAX)) {
                    badList = true;
                    continue;
                }
                const auto l = static_cast<std::uint8_t>(n - 1);
                if (list == 0) {
                    m_viaList1.push_back(static_cast<std::uint8_t>(side));
                    m_viaList1.push_back(l);
                    m_boardSheets[l].ModifyType(ROLE_LIST1, 0);
                } else if (list == 1) {
                    m_viaList2.push_back(l);
                    m_boardSheets[l].ModifyType(ROLE_LIST2, 0);
                } else {
                    (side == 1 ? m_viaList3First : m_viaList3Other).push_back(l);
                    m_boardSheets[l].ModifyType(ROLE_LIST3, 0);
                }
            }
        }
        if (!InRange(layer, 1, LAYER_MAX))
            return settings::Error(m_settingFile, i);
        CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer - 1)];
        m_stack.wireLayers.push_back(static_cast<std::uint8_t>(layer - 1));
        sheet.SetWLayer(side);
        sheet.ResetNetID();
        const int bits = ROLE_WIRING | (side == 1 ? ROLE_SIDE1 : 0) | (negative ? ROLE_NEGATIVE : 0);
        sheet.ModifyType(bits, ROLE_WIRING | ROLE_SIDE1 | ROLE_NEGATIVE);
        lastWiring = layer - 1;
        if (badList)
            return settings::Error(m_settingFile, i);
        return Next::Go;
    });
    if (lastWiring >= 0)
        m_boardSheets[static_cast<std::size_t>(lastWiring)].ModifyType(ROLE_SIDE2, 0);
}

bool CVELTADoc::WriteWireViaLayer(const std::vector<std::string>& lines)
{
    std::string body;
    for (const std::string& line : lines)
        body += line + "\r\n";
    const bool replaced = settings::Write(m_settingFile, "WIRE_VIA_LAYER", body);
    ReadWireViaLayer();
    return replaced;
}

// --- WIRE_LAY_COUNT ---

void CVELTADoc::ReadWireLayCount()
{
    settings::ForEachEntry(m_settingFile, "WIRE_LAY_COUNT", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 1)
            return settings::Error(m_settingFile, i);
        const int count = Number(f[0]);
        if (!InRange(count, 1, 32))
            return settings::Error(m_settingFile, i);
        // Positions index the wiring-layer list: a count beyond it is refused.
        if (count > static_cast<int>(m_stack.wireLayers.size()))
            return settings::Skip(m_settingFile, i);
        m_stack.wireCount = count;
        return Next::Go;
    });
}

// --- CONTOUR_LAYER ---

void CVELTADoc::SetContourLayer(int& member, int layer)
{
    const int other = (&member == &m_nContourLayer1) ? m_nContourLayer2 : m_nContourLayer1;
    if (member != other)
        m_boardSheets[static_cast<std::size_t>(member)].ModifyType(0, ROLE_CONTOUR);
    member = layer;
    m_boardSheets[static_cast<std::size_t>(layer)].ModifyType(ROLE_CONTOUR, 0);
}

void CVELTADoc::ReadContourLayer()
{
    SetContourLayer(m_nContourLayer1, 0);
    SetContourLayer(m_nContourLayer2, 0);
    settings::ForEachEntry(m_settingFile, "CONTOUR_LAYER", [this](const std::vector<std::string>& f, int i) {
        if (f.empty())
            return settings::Error(m_settingFile, i);
        const int first = Number(f[0]);
        const bool badFirst = !InRange(first, 1, LAYER_MAX);
        if (!badFirst)
            SetContourLayer(m_nContourLayer1, first - 1);
        if (f.size() > 1) {
            const int second = Number(f[1]);
            if (!InRange(second, 1, LAYER_MAX))
                return settings::Error(m_settingFile, i);
            SetContourLayer(m_nContourLayer2, second - 1);
        }
        if (badFirst)
            return settings::Error(m_settingFile, i);
        return Next::Go;
    });
}

bool CVELTADoc::WriteContourLayer(int layer1, int layer2)
{
    if (InRange(layer1, 0, LAYER_MAX - 1))
        SetContourLayer(m_nContourLayer1, layer1);
    if (InRange(layer2, 0, LAYER_MAX - 1))
        SetContourLayer(m_nContourLayer2, layer2);
    return settings::Write(m_settingFile, "CONTOUR_LAYER",
                           platform::Format("%3d:%3d ;\r\n", m_nContourLayer1 + 1, m_nContourLayer2 + 1));
}

// --- GRID ---

void CVELTADoc::ReadGrid()
{
    m_grids.fill(tagGRID{});
    m_nCurrentGrid = m_nMarkedGrid1 = m_nMarkedGrid2 = 0;
    settings::ForEachEntry(m_settingFile, "GRID", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 8)
            return Next::Go;
        const int number = Number(f[0]);
        if (!InRange(number, 1, GRID_COUNT))
            return settings::Error(m_settingFile, i);
        const int index = number - 1;
        tagGRID& grid = m_grids[static_cast<std::size_t>(index)];
        grid.kind = static_cast<std::uint8_t>(Number(f[1]));
        grid.xPitch = Value(f[2]);
        grid.yPitch = Value(f[3]);
        grid.xOffset = Value(f[4]);
        grid.yOffset = Value(f[5]);
        const int flags = Number(f[6]);
        if ((flags & 3) == 2)
            m_nCurrentGrid = index;
        if (flags & 0x10)
            m_nMarkedGrid1 = index;
        if (flags & 0x20)
            m_nMarkedGrid2 = index;
        grid.marked = flags != 0 ? 1 : 0;
        grid.name = f[7];
        return Next::Go;
    });
}

bool CVELTADoc::WriteGrid()
{
    std::string body;
    for (int index = 0; index < GRID_COUNT; ++index) {
        const tagGRID& g = m_grids[static_cast<std::size_t>(index)];
        int flags = index == m_nCurrentGrid ? 2 : g.marked;
        if (index == m_nMarkedGrid1)
            flags |= 0x10;
        if (index == m_nMarkedGrid2)
            flags |= 0x20;
        body += platform::Format("%3d : %d : %.5f : %.5f : %.5f : %.5f : %d : \"%s\" ;\r\n", index + 1,
                                 g.kind, g.xPitch, g.yPitch, g.xOffset, g.yOffset, flags, g.name.c_str());
    }
    return settings::Write(m_settingFile, "GRID", body);
}

// --- LAYER_PATTERN ---

void CVELTADoc::ReadLayerPattern()
{
    m_patterns.fill(tagLAYERPATTERN{});
    settings::ForEachEntry(m_settingFile, "LAYER_PATTERN", [this](const std::vector<std::string>& f, int i) {
        if (f.size() < 5)
            return settings::Error(m_settingFile, i);
        const int number = Number(f[0]);
        if (!InRange(number, 1, LAYER_PATTERN_COUNT))
            return Next::Go;
        tagLAYERPATTERN pattern;
        const int current = Number(f[1]);
        const bool badLayer = !InRange(current, 1, LAYER_MAX);
        pattern.layer = badLayer ? 0 : static_cast<std::uint8_t>(current - 1);
        for (int n : settings::ListNumbers(f[2])) {
            const int layer = std::abs(n);
            if (!InRange(layer, 1, LAYER_MAX) || layer == current)
                continue;
            pattern.layers.push_back(static_cast<std::uint8_t>(layer - 1));
            pattern.enables.push_back(n > 0 ? 1 : 0);
        }
        pattern.option = Number(f[3]) != 0 ? 1 : 0;
        pattern.name = f[4];
        m_patterns[static_cast<std::size_t>(number - 1)] = pattern;
        if (badLayer || pattern.name.empty())
            return settings::Error(m_settingFile, i);
        return Next::Go;
    });
}

bool CVELTADoc::WriteLayerPattern()
{
    std::string body;
    for (int index = 0; index < LAYER_PATTERN_COUNT; ++index) {
        const tagLAYERPATTERN& p = m_patterns[static_cast<std::size_t>(index)];
        if (p.name.empty())
            continue;
        std::string list;
        for (std::size_t k = 0; k < p.layers.size(); ++k) {
            const int n = p.layers[k] + 1;
            const bool shown = k < p.enables.size() && p.enables[k] != 0;
            list += platform::Format("%d,", shown ? n : -n);
        }
        if (!list.empty())
            list.pop_back();
        body += platform::Format("%3d : %d : %s : %d: \"%s\" ;\r\n", index + 1, p.layer + 1, list.c_str(),
                                 p.option, p.name.c_str());
    }
    return settings::Write(m_settingFile, "LAYER_PATTERN", body);
}

// --- SHEET_SIZE ---

void CVELTADoc::ReadSheetSize()
{
    m_boardSize = CDSize(327.0, 327.0);
    m_nScale = 100;
    m_userOrigin = CDPoint(25.4, 25.4);
    settings::ForEachEntry(m_settingFile, "SHEET_SIZE", [this](const std::vector<std::string>& f, int) {
        if (f.size() != 2)
            return Next::Go;
        auto pair = [](const std::string& field) {
            const std::vector<std::string> parts = platform::Split(field, ',');
            const double first = Value(parts[0]);
            return std::pair<double, double>(first, parts.size() > 1 ? Value(parts[1]) : first);
        };
        auto [width, height] = pair(f[0]);
        // The board is at least 100 mm each way; the scale keeps its larger side within the
        // 16-bit drawing range.
        if (std::trunc(width) < 100.0 || !std::isfinite(width))
            width = 100.0;
        if (std::trunc(height) < 100.0 || !std::isfinite(height))
            height = 100.0;
        m_boardSize = CDSize(width, height);
        m_nScale = std::max(1, static_cast<int>(32767.0 / std::max(width, height)));
        auto [x, y] = pair(f[1]);
        auto place = [](double v, double extent) {
            if (!(v >= 0.0))
                v = 0.0;
            if (v > extent / 2.0)
                v /= 2.0;
            return std::min(v, extent);
        };
        m_userOrigin = CDPoint(place(x, width), place(y, height));
        return Next::Go;
    });
    CDPoint::SetScale(m_nScale);
}

bool CVELTADoc::WriteSheetSize()
{
    const bool replaced = settings::Write(m_settingFile, "SHEET_SIZE",
                                          platform::Format("%.2f, %.2f : %.2f, %.2f ;\r\n", m_boardSize.cx,
                                                           m_boardSize.cy, m_userOrigin.x, m_userOrigin.y));
    LoadPrintSettings();
    return replaced;
}

// --- PART_LAYER ---

void CVELTADoc::ReadPartLayerInto(std::array<tagPARTLAYER, PART_LAYER_COUNT>& records, bool setBits,
                                  bool fromMaster)
{
    // Keywords in the order they are tried, with their records.
    static constexpr int kTryOrder[PART_LAYER_COUNT] = {
        PL_HOLE,    PL_SILKLINE, PL_SILKTEXT, PL_METALMASK, PL_RESIST,     PL_NOVIA,      PL_NOWIRING,
        PL_COCAREA, PL_TERM,     PL_DIMS,     PL_ORIGIN,    PL_DIPOUTLINE, PL_SMDOUTLINE, PL_CIRCUIT};
    for (tagPARTLAYER& rec : records)
        rec = tagPARTLAYER{};
    CBoardSettingFile masterFile;
    CBoardSettingFile& file = fromMaster ? masterFile : m_settingFile;
    if (fromMaster)
        masterFile.SetPath(CBoardSettingFile::InstalledMasterPath());
    settings::ForEachEntry(file, "PART_LAYER", [&](const std::vector<std::string>& f, int i) {
        if (f.size() != 4)
            return settings::Error(file, i);
        std::string keyword = platform::ToUpperAscii(f[0]);
        for (auto [from, to] : {std::pair<std::string, std::string>{"SYLK", "SILK"}, {"REGIST", "RESIST"}}) {
            for (std::size_t pos = keyword.find(from); pos != std::string::npos;
                 pos = keyword.find(from, pos))
                keyword.replace(pos, from.size(), to);
        }
        int index = -1;
        for (int candidate : kTryOrder) {
            if (settings::StartsWithNoCase(keyword,
                                           kPartLayerKeywords[static_cast<std::size_t>(candidate)])) {
                index = candidate;
                break;
            }
        }
        if (index < 0)
            return settings::Skip(file, i);
        tagPARTLAYER& rec = records[static_cast<std::size_t>(index)];
        rec.code = static_cast<std::int32_t>(kPartLayerCodes[static_cast<std::size_t>(index)]);
        const int a = Number(f[1]);
        const int b = Number(f[2]);
        rec.layerA = InRange(a, 1, LAYER_MAX) ? static_cast<std::uint8_t>(a - 1) : 255;
        rec.layerB = InRange(b, 1, LAYER_MAX) ? static_cast<std::uint8_t>(b - 1) : 255;
        rec.name = f[3];
        if (setBits) {
            if (rec.layerA != 255)
                m_boardSheets[rec.layerA].ModifyType(rec.code | ROLE_SIDE1, 0);
            if (rec.layerB != 255)
                m_boardSheets[rec.layerB].ModifyType(rec.code | ROLE_SIDE2, 0);
        }
        return Next::Go;
    });
}

void CVELTADoc::ReadPartLayer()
{
    // The codes of an earlier reading leave the layers first.
    for (std::size_t layer = 0; layer < LAYER_MAX; ++layer) {
        CSheet& sheet = m_boardSheets[layer];
        int clear = ROLE_PART_CODES;
        if ((sheet.GetType() & ROLE_PART_CODES) != 0 && (sheet.GetType() & ROLE_WIRING) == 0)
            clear |= ROLE_SIDE1 | ROLE_SIDE2;
        sheet.ModifyType(0, clear);
    }
    ReadPartLayerInto(m_stack.partLayers, true, false);

    bool missing = false;
    for (const tagPARTLAYER& rec : m_stack.partLayers)
        missing = missing || rec.code == -1;
    if (!missing)
        return;
    // Records the board's file lacks come from the master's table alone: no bits on this board's
    // layers, and the master is not asked again for what it lacks itself.
    std::array<tagPARTLAYER, PART_LAYER_COUNT> master;
    ReadPartLayerInto(master, false, true);
    m_settingFile.SetLabel("PART_LAYER");
    for (int index = 0; index < PART_LAYER_COUNT; ++index) {
        tagPARTLAYER& rec = m_stack.partLayers[static_cast<std::size_t>(index)];
        if (rec.code != -1)
            continue;
        rec = master[static_cast<std::size_t>(index)];
        if (rec.code == -1)
            m_settingFile.ReportFormatError(index);
    }
}

// --- DIM ---

void CVELTADoc::ReadDim()
{
    m_dims = tagDIMS{200, 15.0, 0, 100, 250};
    settings::ForEachEntry(m_settingFile, "DIM", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 5)
            return settings::Error(m_settingFile, i);
        const int first = Hundredths(f[0]);
        if (first < 1)
            return settings::Error(m_settingFile, i);
        m_dims.arrowLength = first;
        int angle = Number(f[1]);
        if (angle > 360)
            angle = (angle - 1) % 360 + 1;
        else if (angle < 0)
            angle = (angle % 360 + 360) % 360;
        m_dims.arrowAngle = angle;
        const int second = Hundredths(f[2]);
        if (second < 0)
            return settings::Error(m_settingFile, i);
        m_dims.spare = second;
        const int third = Hundredths(f[3]);
        if (third < 1)
            return settings::Error(m_settingFile, i);
        m_dims.dotSize = third;
        const int fourth = Hundredths(f[4]);
        if (fourth < 1)
            return settings::Error(m_settingFile, i);
        m_dims.textSize = fourth;
        return Next::Go;
    });
    m_dims.arrowAngle = m_dims.arrowAngle * kPi / 180.0;
}

// --- TEXT_TABLE ---

void CVELTADoc::ReadTextTable()
{
    for (int n = 1; n <= TEXT_SIZE_COUNT; ++n)
        m_textSizes[static_cast<std::size_t>(n)] = m_textSizes[0];
    settings::ForEachEntry(m_settingFile, "TEXT_TABLE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 5)
            return settings::Error(m_settingFile, i);
        const int number = Number(f[0]);
        if (!InRange(number, 1, TEXT_SIZE_COUNT))
            return settings::Error(m_settingFile, i);
        tagTEXTSIZE& size = m_textSizes[static_cast<std::size_t>(number)];
        bool bad = false;
        const int turret = Number(f[1]);
        if (InRange(turret, 0, TURRET_MAX))
            size.turret = turret;
        else
            bad = true;
        const double height = Value(f[2]);
        if (height > 0.0)
            size.height = height;
        else
            bad = true;
        const double width = Value(f[3]);
        if (width > 0.0)
            size.width = width;
        else
            bad = true;
        size.space = Value(f[4]);
        return bad ? settings::Error(m_settingFile, i) : Next::Go;
    });
}

// --- DEF_ sections ---

void CVELTADoc::ReadDefItems()
{
    m_defHoleDiameter = 0.8;
    settings::ForEachEntry(m_settingFile, "DEF_HOLE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 5)
            return settings::Error(m_settingFile, i);
        const double diameter = Value(f[1]);
        if (!(diameter > 0.0 && diameter <= 300.0))
            return settings::Error(m_settingFile, i);
        m_defHoleDiameter = diameter;
        return Next::Go;
    });

    m_nDefLandTurret = 0;
    settings::ForEachEntry(m_settingFile, "DEF_LAND", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 1 || !InRange(Number(f[0]), 0, TURRET_MAX))
            return settings::Error(m_settingFile, i);
        m_nDefLandTurret = Number(f[0]);
        return Next::Go;
    });

    m_nDefSurTurret = 0;
    m_nSurAngle = 0;
    settings::ForEachEntry(m_settingFile, "DEF_SURF", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 4 || !InRange(Number(f[0]), 0, TURRET_MAX))
            return settings::Error(m_settingFile, i);
        m_nDefSurTurret = Number(f[0]);
        int angle = Number(f[3]);
        if (angle >= 180)
            angle %= 180;
        else if (angle < -179)
            angle = -((-angle) % 180);
        m_nSurAngle = angle;
        return Next::Go;
    });

    m_nDefLineTurret = m_nCurLineTurret = 0;
    settings::ForEachEntry(m_settingFile, "DEF_LINE", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 1)
            return Next::Go;
        if (!InRange(Number(f[0]), 0, TURRET_MAX))
            return settings::Error(m_settingFile, i);
        m_nDefLineTurret = m_nCurLineTurret = Number(f[0]);
        return Next::Go;
    });

    m_nDefaultVia = m_nDefaultVia2 = 1;
    settings::ForEachEntry(m_settingFile, "DEF_VIA", [this](const std::vector<std::string>& f, int i) {
        if (f.size() != 2)
            return settings::Error(m_settingFile, i);
        const int first = Number(f[0]);
        const int second = Number(f[1]);
        if (!InRange(first, 1, VIA_MAX) || !InRange(second, 1, VIA_MAX))
            return settings::Error(m_settingFile, i);
        m_nDefaultVia = m_nCurrentVia = first;
        m_nDefaultVia2 = second;
        return Next::Go;
    });
    // Vias run from the first to the last wiring layer.
    const int count = std::clamp(m_stack.wireCount, 1, 32);
    m_viaLayerMask = (1u << (count - 1)) | 1u;
}

bool CVELTADoc::WriteDefItems()
{
    bool replaced = settings::Write(m_settingFile, "DEF_VIA",
                                    platform::Format("%d : %d ;\r\n", m_nDefaultVia, m_nDefaultVia2));
    replaced = settings::Write(m_settingFile, "DEF_LINE", platform::Format("%d ;\r\n", m_nDefLineTurret)) &&
               replaced;
    replaced = settings::Write(m_settingFile, "DEF_SURF",
                               platform::Format("%d : %d : POSI : %d ;\r\n", m_nDefSurTurret, m_nDefSurTurret,
                                                m_nSurAngle)) &&
               replaced;
    replaced = settings::Write(m_settingFile, "DEF_LAND", platform::Format("%d ;\r\n", m_nDefLandTurret)) &&
               replaced;
    return replaced;
}

// --- COMMENT ---

std::string CVELTADoc::ReadComment()
{
    std::string text;
    settings::ForEachEntry(m_settingFile, "COMMENT", [&text](const std::vector<std::string>& f, int) {
        if (f.size() == 1)
            text += f[0] + "\n";
        return Next::Go;
    });
    if (!text.empty())
        text.pop_back();
    return text;
}

bool CVELTADoc::WriteComment(const std::string& text)
{
    // One entry per line, so that the reader's lines give the text back.
    std::string body;
    for (const std::string& line : platform::Split(Trim(text), '\n')) {
        std::string piece = line;
        if (!piece.empty() && piece.back() == '\r')
            piece.pop_back();
        body += platform::Format("\"%s\";\r\n", piece.c_str());
    }
    return settings::Write(m_settingFile, "COMMENT", body);
}
