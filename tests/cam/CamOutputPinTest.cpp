// The whole CAM output of random boards pinned byte for byte: data files, list files, drill lists,
// reports, the messages, and the plating the drill side leaves on the board (and its undo). The
// driver is tuned for speed; each row runs one kind under other settings on three seeded boards,
// and the hashes were taken from the driver before it was tuned.

#include "cam/CamOutput.h"
#include "model/items/Arc.h"
#include "model/items/Part.h"
#include "platform/Numbers.h"
#include "tests/cam/CamOutputFixture.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <functional>
#include <numbers>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

class Fnv
{
public:
    void Add(const std::string& bytes)
    {
        for (const char c : bytes)
            m_hash = (m_hash ^ static_cast<unsigned char>(c)) * 16777619u;
        m_hash = (m_hash ^ 0xFFu) * 16777619u; // a field end, so that fields cannot slide
    }
    std::uint32_t Value() const { return m_hash; }

private:
    std::uint32_t m_hash = 2166136261u;
};

struct CamPinRow
{
    const char* name;
    int kind; // 0 photo, 1 drill
    std::function<void(CamOutChoice&)> settings;
    std::uint32_t hash;
};

void PrintTo(const CamPinRow& row, std::ostream* os)
{
    *os << row.name;
}

// Random boards for the pins, their holes' plating and the masks of what differs between runs.
class CamPinBoard : public CamOutputFixture
{
protected:
    // Tracks, lands of every turret shape, arcs, vias, and round, oblong and rectangular holes,
    // some on copper and some not, some marked plated that are not (the drill side changes them).
    void Build(unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> coordinate(-20.0, 120.0);
        std::uniform_int_distribution<int> pick(0, 1000);
        auto point = [&] { return CDPoint(coordinate(random), coordinate(random)); };
        std::vector<CDPoint> copper;
        for (int i = 0; i < 120; ++i) {
            const int layer = i % 2;
            const CDPoint a = point();
            const CDPoint b = pick(random) % 3 == 0 ? CDPoint(a.x + 2.5, a.y) : point();
            doc->GetBoardSheet(layer)->NewLine(a, b, 1 + pick(random) % 2, 0);
        }
        const int turrets[] = {1, 3, kSquare, kDonut, kThermal, kBareDonut};
        for (int i = 0; i < 60; ++i) {
            const CDPoint at = point();
            Land(i % 2, at, turrets[pick(random) % 6]);
            copper.push_back(at);
        }
        for (int i = 0; i < 6; ++i)
            doc->GetBoardSheet(i % 2)->NewArc(
                CArc(point(), 2.0 + i, std::numbers::pi / (1 + i), 0.0, i % 2 ? ARC_CW : 0, 1 + i % 2));
        for (int i = 0; i < 25; ++i)
            AddVia(point());
        const double sizes[] = {0.8, 1.0, 0.8, 1.2, 0.6};
        for (int i = 0; i < 70; ++i) {
            const int form = pick(random) % 5;
            const CDPoint at = i % 3 == 0 ? copper[static_cast<std::size_t>(i) % copper.size()] : point();
            const double dia = sizes[pick(random) % 5];
            CHole* hole = form < 3   ? Hole(at, dia)
                          : form < 4 ? Hole(at, dia, HOLE_LONG, dia + 1.0, 0.3 * (i % 4))
                                     : Hole(at, dia, HOLE_RECT, i % 2 ? dia : dia + 0.5, 0.0);
            if (pick(random) % 4 == 0)
                hole->ModifyType(HOLE_THROUGH, HOLE_THROUGH);
        }
        // Placed parts whose holes lie on their own lands, on nothing, or are marked plated
        // without copper: the part, not the layer, decides their plating.
        for (int p = 0; p < 4; ++p) {
            CPart part;
            for (int i = 0; i < 6; ++i) {
                const CDPoint at = point();
                if (i % 2 == 0) {
                    CLand land(at, 1 + i % 3);
                    land.SetLayerNo(p % 2);
                    part.NewLand(land);
                }
                const int form = pick(random) % 3;
                CHole hole(at, sizes[pick(random) % 5], form == 0, form == 0 ? 0.0 : 1.5, 0.0, 0.0);
                hole.ModifyType((form == 1 ? HOLE_LONG : form == 2 ? HOLE_RECT : 0) |
                                    (i % 3 == 1 ? HOLE_THROUGH : 0),
                                HOLE_SHAPE_MASK | HOLE_THROUGH);
                hole.SetLayerNo(kHoleLayer);
                part.NewHole(hole);
            }
            part.ModifyType(PART_PLACED, 0);
            doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
        }
        doc->BuildPartList(true);
    }

    // The plating of the hole layer's holes and of the parts' holes, in order.
    std::string Plating()
    {
        std::string flags;
        CSheet* holes = doc->GetBoardSheet(kHoleLayer);
        for (POSITION pos = holes->GetFirstHolePos(); pos;)
            flags += holes->GetNextHole(pos)->IsThroughHole() ? '1' : '0';
        flags += '|';
        CSheet* viaParts = doc->GetBoardSheet(LAYER_MAX);
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;) {
            CPart* part = viaParts->GetNextPart(pos);
            for (POSITION hp = part->GetFirstHolePos(); hp;)
                flags += part->GetNextHole(hp)->IsThroughHole() ? '1' : '0';
        }
        return flags;
    }

    void Clear()
    {
        for (int layer : {0, 1, kHoleLayer, LAYER_MAX})
            doc->GetBoardSheet(layer)->DeleteContents();
        doc->BuildPartList(true);
    }

    std::string Masked(std::string text) const
    {
        const std::string folder = BoardFolder();
        for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
            text.replace(at, folder.size(), "<folder>");
        const std::string program = Master().parent_path().string();
        for (std::size_t at; (at = text.find(program)) != std::string::npos;)
            text.replace(at, program.size(), "<program>");
        // The reports' date and time: "dddd/dd/dd  dd:dd:dd".
        const std::string shape = "0000/00/00  00:00:00";
        for (std::size_t at = 0; at + shape.size() <= text.size(); ++at) {
            bool date = true;
            for (std::size_t k = 0; k < shape.size() && date; ++k) {
                const unsigned char c = static_cast<unsigned char>(text[at + k]);
                date = shape[k] == '0' ? std::isdigit(c) != 0 : c == static_cast<unsigned char>(shape[k]);
            }
            if (date)
                text.replace(at, shape.size(), "<date>");
        }
        return text;
    }

};

class CamOutputPinTest : public CamPinBoard, public ::testing::WithParamInterface<CamPinRow>
{
protected:
    // Every file the output wrote beside the board, by name, then the messages and the holes'
    // plating, then the plating once the output's undo step is undone.
    std::uint32_t Output(const CamPinRow& row)
    {
        CamOutChoice choice = Choice();
        choice.settings.report = "VTHTML";
        row.settings(choice);
        messages.Clear();
        OutputCamData(*doc, row.kind, choice);

        Fnv hash;
        std::vector<std::filesystem::path> files;
        std::uintmax_t bytes = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Board().parent_path()))
            if (entry.is_regular_file() && entry.path() != Board() && entry.path().extension() != ".dat")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const std::filesystem::path& file : files) {
            bytes += std::filesystem::file_size(file);
            hash.Add(file.filename().string());
            hash.Add(Masked(ReadFile(file)));
            std::filesystem::remove(file);
        }
        // Data, list and report files of some size: the hash stands for a real output.
        EXPECT_GE(files.size(), row.kind == 0 ? 7u : 4u);
        EXPECT_GT(bytes, 5000u);
        for (const std::string& text : messages.Texts())
            hash.Add(Masked(text));
        hash.Add(Plating());
        hash.Add(std::to_string(doc->GetUndoHistory().size()));
        // Holes marked plated that touch no copper, and holes on lands: the drill side changes
        // their plating as one undo step.
        EXPECT_EQ(doc->CanUndo(), row.kind == 1);
        if (doc->CanUndo()) {
            doc->OnEditUndo();
            hash.Add(Plating());
        }
        return hash.Value();
    }
};

TEST_P(CamOutputPinTest, EveryFileKeepsItsBytes)
{
    const CamPinRow& row = GetParam();
    Fnv seeds;
    for (unsigned seed : {3u, 17u, 101u}) {
        SCOPED_TRACE(seed);
        Clear();
        Build(seed);
        seeds.Add(std::to_string(Output(row)));
    }
    EXPECT_EQ(seeds.Value(), row.hash) << platform::Format("0x%08x", seeds.Value());
}

// The plating pass of the drill tools finds, keeps and undoes the plating exactly as making the
// tool table does (holes of the layer and of placed parts, of all three kinds).
TEST_F(CamPinBoard, PlatingAloneIsTheToolTablesPlatingAndUndoStep)
{
    std::array<int, LAYER_MAX> flags{};
    flags[0] = 1;
    flags[kHoleLayer] = 1;
    for (unsigned seed : {3u, 17u, 101u, 555u}) {
        SCOPED_TRACE(seed);
        struct Result
        {
            std::string found, undone;
            std::size_t steps;
        };
        auto run = [&](auto pass) {
            Clear();
            Build(seed);
            const std::size_t steps = doc->GetUndoHistory().size();
            pass();
            Result result{Plating(), std::string(), doc->GetUndoHistory().size() - steps};
            if (doc->CanUndo()) {
                doc->OnEditUndo();
                result.undone = Plating();
            }
            return result;
        };
        Clear();
        Build(seed);
        const std::string before = Plating();
        const Result alone = run([&] { doc->UpdateHolePlating(flags.data()); });
        const Result table = run([&] { doc->MakeTCodeTable(flags.data(), 240); });
        EXPECT_NE(alone.found, before);
        EXPECT_GT(alone.steps, 0u);
        EXPECT_EQ(alone.found, table.found);
        EXPECT_EQ(alone.steps, table.steps);
        EXPECT_EQ(alone.undone, table.undone);
    }
}

// Once the plating is found, copying the holes as they are gives what gathering them with the
// plating test gives: the same holes in the same order, and no plating change or undo step.
TEST_F(CamPinBoard, CopiedHolesAreTheGatheredHolesOnceThePlatingIsFound)
{
    std::array<int, LAYER_MAX> flags{};
    flags[0] = 1;
    flags[kHoleLayer] = 1;
    auto describe = [](CSheet& holes) {
        std::string text;
        for (POSITION pos = holes.GetFirstHolePos(); pos;) {
            CHole* hole = holes.GetNextHole(pos);
            text += platform::Format("%.17g,%.17g,%.17g,%.17g,%.17g,%x;", hole->GetPoint().x, hole->GetPoint().y,
                                     hole->GetHoleDia(), hole->GetHoleWidth(), hole->GetAngle(),
                                     static_cast<unsigned>(hole->GetType()));
        }
        return text;
    };
    for (unsigned seed : {3u, 17u, 101u, 555u}) {
        SCOPED_TRACE(seed);
        Clear();
        Build(seed);
        doc->UpdateHolePlating(flags.data());
        const std::string plating = Plating();
        const std::size_t steps = doc->GetUndoHistory().size();
        for (const int kind : {0, int{HOLE_LONG}, int{HOLE_RECT}, 240}) {
            SCOPED_TRACE(kind);
            CSheet copied(0, 0, 0, doc.get());
            CSheet gathered(0, 0, 0, doc.get());
            const int copiedCount = doc->CopyHoleList(flags.data(), &copied, kind);
            EXPECT_EQ(copiedCount, doc->MakeHoleList(flags.data(), &gathered, kind));
            EXPECT_EQ(describe(copied), describe(gathered));
            EXPECT_EQ(Plating(), plating);
            EXPECT_EQ(doc->GetUndoHistory().size(), steps);
        }
    }
}

void Photo(CamOutChoice& c)
{
    c.settings.photo.outputs = {"1:top:top.gbr:1", "1:bottom:bottom.gbr:2", "1:both:both.gbr:1,2",
                                "0:off:off.gbr:1"};
}

void Drill(CamOutChoice& c)
{
    c.settings.drillYes1 = true;
    c.settings.drillText1 = "hst";
    c.settings.drillYes2 = true;
    c.settings.drillText2 = "hst";
}

const CamPinRow kRows[] = {
    {"PhotoSequential", 0, [](CamOutChoice& c) { Photo(c); }, 0x2c72b71a},
    {"PhotoAutomatic", 0,
     [](CamOutChoice& c) {
         Photo(c);
         c.records[0].extended = 0;
     },
     0xa0152c63},
    {"PhotoInchIncrementalTurned", 0,
     [](CamOutChoice& c) {
         Photo(c);
         c.records[0].metric = 0;
         c.records[0].absolute = 0;
         c.records[0].mirrorX = 1;
         c.records[0].angle = std::numbers::pi / 2;
         c.records[0].offsetX = 3.25;
         c.settings.photo.number = 4;
     },
     0x263f78f1},
    {"DrillAutomatic", 1, [](CamOutChoice& c) { Drill(c); }, 0x8c295025},
    {"DrillSequentialG81", 1,
     [](CamOutChoice& c) {
         Drill(c);
         c.records[1].sequential = 1;
         c.records[1].hitType = 1;
         c.settings.drillText2 = "lst";
     },
     0x0ca06bfa},
    {"DrillLongKeptRectAsLong", 1,
     [](CamOutChoice& c) {
         Drill(c);
         c.records[1].longHoleMode = 1;
         c.records[1].rectAsLong = 1;
         c.records[1].hitType = 2;
     },
     0x2effe81b},
    {"DrillSplitRoundD03Inch", 1,
     [](CamOutChoice& c) {
         Drill(c);
         c.records[1].holeSplit = 1;
         c.records[1].hitType = 3;
         c.records[1].metric = 0;
         c.records[1].toolDigits = 3;
     },
     0x033b7a8b},
    {"DrillSplitLongFile", 1,
     [](CamOutChoice& c) {
         c.records[1].holeSplit = 2;
         c.records[1].longHoleMode = 1;
         c.records[1].absolute = 0;
         c.settings.drill.outputs = {"1:drill:board.drl:3", "1:again:again.drl:1,3"};
     },
     0x33614c4d},
};

INSTANTIATE_TEST_SUITE_P(Settings, CamOutputPinTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
