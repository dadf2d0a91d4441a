#include "bench/SyntheticBoard.h"

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/startup/Startup.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace bench {

namespace {

// Track directions: the eight 45-degree steps.
constexpr double kDirs[8][2] = {{1, 0},  {0.70710678118654752, 0.70710678118654752},
                                {0, 1},  {-0.70710678118654752, 0.70710678118654752},
                                {-1, 0}, {-0.70710678118654752, -0.70710678118654752},
                                {0, -1}, {0.70710678118654752, -0.70710678118654752}};

// Every this many items one is a copy (every second copy reversed for tracks).
constexpr int kDuplicateEvery = 40;

} // namespace

SyntheticBoard::SyntheticBoard(int scale, unsigned seed)
{
    // The sheets need the item kinds and copper-group steps that the program's start-up installs.
    InstallQuarnHooks();
    scale = std::max(scale, 1);
    m_counts.tracks *= scale;
    m_counts.vias *= scale;
    m_counts.lands *= scale;
    m_counts.texts *= scale;
    m_counts.parts *= scale;
    m_side = 300.0 * std::sqrt(static_cast<double>(scale));

    m_stack.wireLayers = {kTop, kBottom};
    m_stack.wireCount = 2;
    auto pair = [this](int index, int a, int b) {
        m_stack.partLayers[static_cast<std::size_t>(index)].layerA = static_cast<std::uint8_t>(a);
        m_stack.partLayers[static_cast<std::size_t>(index)].layerB = static_cast<std::uint8_t>(b);
    };
    pair(PL_HOLE, kHoleA, kHoleB);
    pair(PL_SILKLINE, kSilkA, kSilkB);
    pair(PL_SILKTEXT, kSilkA, kSilkB);
    pair(PL_TERM, kTermA, kTermB);
    m_turrets[kTrack] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
    m_turrets[kWideTrack] = tagTURRET{TURRET_ROUND, 0.3, 0.0};
    m_turrets[kPad] = tagTURRET{TURRET_ROUND, 1.2, 0.0};
    m_turrets[kSquarePad] = tagTURRET{TURRET_SQUARE, 1.6, 0.0};
    tagVIA via;
    via.drill = 0.4;
    via.lands.fill(kPad);
    m_vias[1] = via;

    m_previousFrame = GetFrameServices();
    SetFrameServices(this);

    auto top = std::make_unique<CSheet>(1, 0x3, kTop, this);
    top->SetSheetType(SHEET_BOARD);
    auto bottom = std::make_unique<CSheet>(2, 0x5, kBottom, this);
    bottom->SetSheetType(SHEET_BOARD);
    auto viaParts = std::make_unique<CSheet>(0, 0, LAYER_MAX, this);
    viaParts->SetSheetType(SHEET_BOARD_VIAPART);
    m_sheets.push_back(std::move(top));
    m_sheets.push_back(std::move(bottom));
    m_sheets.push_back(std::move(viaParts));
    Build(seed);
}

SyntheticBoard::~SyntheticBoard()
{
    m_sheets.clear();
    SetFrameServices(m_previousFrame);
}

void SyntheticBoard::Build(unsigned seed)
{
    std::mt19937 rng(seed);
    auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // Points on a 0.05 mm grid, as a router places them.
    auto snap = [](double v) { return std::round(v * 20.0) / 20.0; };
    auto point = [&]() {
        return CDPoint(snap(uniform(1.0, m_side - 1.0)), snap(uniform(1.0, m_side - 1.0)));
    };
    auto inside = [this](const CDPoint& p) {
        return p.x > 0.5 && p.y > 0.5 && p.x < m_side - 0.5 && p.y < m_side - 0.5;
    };

    // Tracks: chains of 45-degree segments sharing their ends.
    for (int made = 0; made < m_counts.tracks;) {
        CSheet& sheet = Layer(made % 2 == 0 ? kTop : kBottom);
        const int turret = pick(4) == 0 ? kWideTrack : kTrack;
        CDPoint at = point();
        const int segments = 3 + pick(8);
        for (int s = 0; s < segments && made < m_counts.tracks; ++s) {
            const int dir = pick(8);
            const double length = 0.5 + pick(40) * 0.1;
            CDPoint next(snap(at.x + kDirs[dir][0] * length), snap(at.y + kDirs[dir][1] * length));
            if (!inside(next) || next == at)
                continue;
            sheet.NewLine(at, next, turret, 0);
            ++made;
            if (made % kDuplicateEvery == 0 && made < m_counts.tracks) {
                CLine copy(*sheet.GetTailLine(0));
                if ((made / kDuplicateEvery) % 2)
                    copy.Swap();
                sheet.NewLine(copy);
                ++made;
            }
            at = next;
        }
    }

    for (int i = 0; i < m_counts.lands; ++i) {
        CSheet& sheet = Layer(i % 2 == 0 ? kTop : kBottom);
        if (i % kDuplicateEvery == kDuplicateEvery - 1 && sheet.GetCount(ID_INPUT_LAND) > 0)
            sheet.NewLand(*sheet.GetHeadLand());
        else
            sheet.NewLand(point(), pick(2) ? kPad : kSquarePad);
    }

    for (int i = 0; i < m_counts.texts; ++i) {
        CSheet& sheet = Layer(i % 2 == 0 ? kTop : kBottom);
        const std::string name = platform::Format("TP%d", i);
        CText text(name, point(), i % 3 == 0 ? kTrack : 0);
        if (text.IsStroke()) {
            LOGFONTA font{};
            font.lfHeight = 150;
            font.lfWidth = 120;
            font.lfWeight = 30;
            text.SetFontRecord(font);
        }
        text.SetSize(100);
        sheet.NewText(text);
    }

    CSheet& viaParts = ViaParts();
    for (int i = 0; i < m_counts.vias; ++i) {
        if (i % kDuplicateEvery == kDuplicateEvery - 1 && viaParts.GetCount(ID_INPUT_VIA) > 0)
            viaParts.NewVia(*viaParts.GetHeadVia());
        else
            viaParts.NewVia(CVia(point(), 1, this, 0x3));
    }

    // Parts: an eight-pin footprint with its pads on both sides, drills, outline and names,
    // placed on a grid over the board.
    CPart proto(CDPoint(0, 0), CDRect(-1.5, -1.5, 9.12, 9.12), 8, 0, 0.0, 0);
    proto.SetPartName("DIP8");
    proto.SetRefName("U1");
    proto.SetValue("74HC00");
    for (CText* t : {proto.GetPartNameText(), proto.GetRefNameText(), proto.GetValNameText()})
        t->SetLayerNo(kSilkA);
    for (int pin = 0; pin < 8; ++pin) {
        const CDPoint p((pin % 4) * 2.54, (pin / 4) * 7.62);
        proto.NewTer(p, CText(std::to_string(pin + 1), p, 0))->SetLayerNo(kTermA);
        proto.NewLand(p, kPad)->SetLayerNo(kTop);
        proto.NewLand(p, kPad)->SetLayerNo(kBottom);
        proto.NewHole(p, 0.8, true, 0.0, 0.0, 0.0)->SetLayerNo(kHoleA);
    }
    const CDPoint corners[4] = {CDPoint(-1, -1), CDPoint(8.62, -1), CDPoint(8.62, 8.62), CDPoint(-1, 8.62)};
    for (int i = 0; i < 4; ++i)
        proto.NewLine(corners[i], corners[(i + 1) % 4], kTrack, 0)->SetLayerNo(kSilkA);
    const int perRow = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(m_counts.parts))));
    const double pitch = (m_side - 20.0) / perRow;
    for (int i = 0; i < m_counts.parts; ++i) {
        CPart part(proto);
        part.Offset(CDPoint(10.0 + (i % perRow) * pitch, 10.0 + (i / perRow) * pitch), true);
        part.SetRefName(platform::Format("U%d", i + 1).c_str());
        viaParts.NewPart(part);
    }
}

std::vector<CSheet*> SyntheticBoard::Sheets()
{
    std::vector<CSheet*> out;
    for (auto& sheet : m_sheets)
        out.push_back(sheet.get());
    return out;
}

std::unique_ptr<CSheet> SyntheticBoard::EmptyLike(CSheet& sheet)
{
    auto copy = std::make_unique<CSheet>(sheet.GetWLayer(), sheet.GetType(), sheet.GetLayerNo(), this);
    copy->SetSheetType(sheet.GetSheetType());
    return copy;
}

long SyntheticBoard::ItemCount()
{
    long n = 0;
    for (auto& sheet : m_sheets)
        n += sheet->GetItemCount();
    return n;
}

int SyntheticBoard::GetDispLayers(std::vector<std::uint8_t>& out)
{
    for (int layer : {kTop, kBottom, kSilkA, kSilkB, kTermA, kTermB, kHoleA, kHoleB})
        out.push_back(static_cast<std::uint8_t>(layer));
    return 8;
}

int SyntheticBoard::GetWireLayerPos(int layer, bool withTerm)
{
    return m_stack.WireLayerPos(layer, withTerm, [](int) { return false; });
}

double SyntheticBoard::CalcViaSize(int, int, double* displayRadius, double* outerRadius)
{
    if (displayRadius)
        *displayRadius = 0.6;
    if (outerRadius)
        *outerRadius = 0.6;
    return 0.6;
}

void SyntheticBoard::GetFileTime(int, std::time_t* out)
{
    if (out)
        *out = 0;
}

CSheet* SyntheticBoard::GetBoardSheet(int layer)
{
    if (layer == kTop || layer == kBottom)
        return m_sheets[static_cast<std::size_t>(layer)].get();
    if (layer == LAYER_MAX)
        return m_sheets[2].get();
    return nullptr;
}

tagPARTLAYER SyntheticBoard::GetPartLayer(int index)
{
    return (index >= 0 && index < PART_LAYER_COUNT) ? m_stack.partLayers[static_cast<std::size_t>(index)]
                                                    : tagPARTLAYER{};
}

tagVIA SyntheticBoard::GetViaEntry(int number)
{
    return (number >= 0 && number <= VIA_MAX) ? m_vias[static_cast<std::size_t>(number)] : tagVIA{};
}

tagTURRET SyntheticBoard::GetTurretEntry(int number)
{
    return (number >= 0 && number <= TURRET_MAX) ? m_turrets[static_cast<std::size_t>(number)] : tagTURRET{};
}

} // namespace bench
