// The files of tests/data/cam, written by other tools and by hand after the published format
// examples, read into a layer: each gives the same flashes, draws, arcs, surfaces and holes as the
// Gerber viewer's re-export of it (tests/data/cam/gerbv), within the coarser file's resolution.
// The viewer renumbers D codes and macros, so apertures are matched by their shape and size.

#include "model/sheet/Sheet.h"
#include "platform/Messages.h"
#include "tests/model/sheet/SheetGerberItems.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string CorpusFile(const std::string& name)
{
    std::ifstream in(std::string(VELTA_SOURCE_DIR) + "/tests/data/cam/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A board whose apertures are numbered by shape and size (in 10 micrometre steps, as the
// viewer rounds sizes to 0.1 mil), whatever their D code,
// and whose macro apertures are numbered by the macro's first primitive.
class ShapeTurrets : public FakeDocument
{
public:
    int AssignGerberAperture(const std::string& def, const std::vector<std::string>& macros,
                             tagGERBAR* g) override
    {
        FakeDocument::AssignGerberAperture(def, macros, g);
        const int dcode = std::atoi(def.c_str() + 1);
        const std::size_t comma = def.find(',');
        std::string key;
        if (comma == std::string::npos) {
            std::size_t name = 1;
            while (name < def.size() && std::isdigit(static_cast<unsigned char>(def[name])))
                ++name;
            for (const std::string& macro : macros)
                if (macro.compare(0, def.size() - name, def, name) == 0)
                    key = "M" + macro.substr(macro.find(',') + 1, 2);
        } else {
            const double factor = g && !g->metric ? 25.4 : 1.0;
            key = def.substr(comma - 1, 1);
            for (const char* at = def.c_str() + comma + 1; *at;) {
                char* end = nullptr;
                key += "/" + std::to_string(std::lround(std::strtod(at, &end) * factor * 100.0));
                at = *end == 'X' ? end + 1 : end + std::strlen(end);
            }
        }
        const auto [it, added] = m_keys.emplace(key, static_cast<int>(m_keys.size()) + 1);
        dcodeTurrets[dcode] = it->second;
        return it->second;
    }

private:
    std::map<std::string, int> m_keys;
};

// One item as numbers: kind, turret (or diameter), then its points.
struct Shape
{
    std::string kind;
    int turret = 0;
    std::vector<double> v;
};

std::vector<Shape> Shapes(CSheet& sheet)
{
    std::vector<Shape> out;
    for (POSITION p = sheet.GetFirstLinePos(); p;) {
        CLine* l = sheet.GetNextLine(p);
        CDPoint a = l->GetStartPoint(), b = l->GetEndPoint();
        if (b.x < a.x || (b.x == a.x && b.y < a.y))
            std::swap(a, b); // a draw and its reverse are the same copper
        out.push_back({"L", l->GetTurretNo(), {a.x, a.y, b.x, b.y}});
    }
    for (POSITION p = sheet.GetFirstLandPos(); p;) {
        CLand* l = sheet.GetNextLand(p);
        out.push_back({"P", l->GetTurretNo(), {l->GetPoint().x, l->GetPoint().y}});
    }
    for (POSITION p = sheet.GetFirstArcPos(); p;) {
        CArc* a = sheet.GetNextArc(p);
        out.push_back({"A", a->GetTurretNo(), {a->GetCenter().x, a->GetCenter().y, a->GetRadius()}});
    }
    for (POSITION p = sheet.GetFirstHolePos(); p;) {
        CHole* h = sheet.GetNextHole(p);
        out.push_back({h->GetHoleShape() ? "LH" : "H", 0, {h->GetPoint().x, h->GetPoint().y}});
    }
    for (POSITION p = sheet.GetFirstSurPos(); p;) {
        CSur* s = sheet.GetNextSur(p);
        const CDRect r = s->GetBoundingRect();
        out.push_back({"S" + std::to_string(s->GetLineCount()) + "/" + std::to_string(s->GetArcCount()) +
                           "w" + std::to_string(s->GetWndCount()),
                       0,
                       {r.left, r.bottom, r.right, r.top}});
    }
    std::sort(out.begin(), out.end(), [](const Shape& a, const Shape& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        for (std::size_t i = 0; i < std::min(a.v.size(), b.v.size()); ++i)
            if (std::fabs(a.v[i] - b.v[i]) > 0.05)
                return a.v[i] < b.v[i];
        return false;
    });
    return out;
}

struct CorpusCase
{
    const char* file;
    const char* reexport;
    bool photo;
    double tolerance; // millimetres: the resolution of the coarser of the two files
    int lines, lands, arcs, surfaces, holes;
};

class SheetGerberReadCorpusTest : public ::testing::TestWithParam<CorpusCase>
{
protected:
    SheetGerberReadCorpusTest() { platform::SetMessageService(&messages); }
    ~SheetGerberReadCorpusTest() override { platform::SetMessageService(nullptr); }

    std::vector<Shape> Read(const std::string& name, CamReadResult& result)
    {
        CSheet sheet(0, 0, 5, &doc);
        tagGERBAR g = GetParam().photo ? gerber_test::PhotoSettings() : gerber_test::DrillSettings();
        result = gerber_test::Read(sheet, g, CorpusFile(name));
        EXPECT_TRUE(result.wellFormed) << name << " " << result.line << ": " << result.reason;
        return Shapes(sheet);
    }

    platform::RecordingMessages messages;
    ShapeTurrets doc;
    FakeFrameServices frame{&doc};
};

TEST_P(SheetGerberReadCorpusTest, ReadsAsTheViewersReExport)
{
    const CorpusCase& c = GetParam();
    CamReadResult own;
    CamReadResult viewers;
    const std::vector<Shape> original = Read(c.file, own);
    const std::vector<Shape> reexport = Read(std::string("gerbv/") + c.reexport, viewers);
    auto count = [&](const char* kind) {
        return std::count_if(original.begin(), original.end(), [&](const Shape& s) {
            return s.kind == kind || (kind[0] == 'S' && s.kind[0] == 'S');
        });
    };
    EXPECT_EQ(count("L"), c.lines);
    EXPECT_EQ(count("P"), c.lands);
    EXPECT_EQ(count("A"), c.arcs);
    EXPECT_EQ(count("S"), c.surfaces);
    EXPECT_EQ(count("H") + count("LH"), c.holes);
    // The own file's comments and the viewer's are not messages.
    ASSERT_EQ(original.size(), reexport.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        const Shape& a = original[i];
        const Shape& b = reexport[i];
        EXPECT_EQ(a.kind, b.kind) << i;
        EXPECT_EQ(a.turret, b.turret) << a.kind << " " << i;
        ASSERT_EQ(a.v.size(), b.v.size());
        for (std::size_t k = 0; k < a.v.size(); ++k)
            EXPECT_NEAR(a.v[k], b.v[k], c.tolerance) << a.kind << " " << i << " value " << k;
    }
    EXPECT_EQ(own.messages, viewers.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, SheetGerberReadCorpusTest,
    ::testing::Values(CorpusCase{"boxes.gbr", "boxes.gbr", true, 1e-4, 8, 0, 0, 0, 0},
                      CorpusCase{"apertures.gbr", "apertures.gbr", true, 1e-4, 2, 5, 2, 0, 0},
                      CorpusCase{"regions.gbr", "regions.gbr", true, 1e-3, 1, 0, 0, 2, 0},
                      CorpusCase{"macros.gbr", "macros.gbr", true, 1e-4, 1, 4, 0, 0, 0},
                      CorpusCase{"pcbrnd-top.gbr", "pcbrnd-top.gbr", true, 1e-3, 2, 2, 1, 1, 0},
                      CorpusCase{"pcbrnd-bottom.gbr", "pcbrnd-bottom.gbr", true, 1e-3, 1, 2, 0, 0, 0},
                      CorpusCase{"drill-metric.drl", "drill-metric.drl", false, 3e-3, 0, 0, 0, 0, 9},
                      CorpusCase{"drill-inch-lz.drl", "drill-inch-lz.drl", false, 3e-3, 0, 0, 0, 0, 4},
                      CorpusCase{"pcbrnd-plated.cnc", "pcbrnd-plated.drl", false, 3e-3, 0, 0, 0, 0, 2}),
    [](const ::testing::TestParamInfo<CorpusCase>& info) {
        std::string name = info.param.file;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace

namespace {

// Every cut of a corpus file, at every offset: refused or read up to the cut, never more items
// than the whole file gives.
TEST(SheetGerberReadCorpusCuts, EveryCutIsRefusedOrReadToTheCut)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    ShapeTurrets doc;
    FakeFrameServices frame{&doc};
    for (const char* name : {"pcbrnd-top.gbr", "gerbv/macros.gbr", "drill-metric.drl"}) {
        const std::string text = CorpusFile(name);
        const bool photo = std::string(name).find(".drl") == std::string::npos;
        auto read = [&](const std::string& part, CamReadResult& result) {
            CSheet sheet(0, 0, 5, &doc);
            tagGERBAR g = photo ? gerber_test::PhotoSettings() : gerber_test::DrillSettings();
            result = gerber_test::Read(sheet, g, part);
            return sheet.GetItemCount();
        };
        CamReadResult whole;
        const int all = read(text, whole);
        ASSERT_TRUE(whole.wellFormed) << name;
        int refused = 0;
        for (std::size_t cut = 0; cut < text.size(); ++cut) {
            CamReadResult result;
            EXPECT_LE(read(text.substr(0, cut), result), all) << name << " cut at " << cut;
            refused += result.wellFormed ? 0 : 1;
        }
        // Only '*' blocks show a cut inside them; a drill line is whole wherever it ends.
        if (photo) {
            EXPECT_GT(refused, 0) << name;
        }
    }
    platform::SetMessageService(nullptr);
}

// A step-and-repeat block of three by two copies gives six of each of its items, spaced by the
// repeat distances.
TEST(SheetGerberReadCorpusSteps, StepAndRepeatCopiesTheBlock)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    ShapeTurrets doc;
    FakeFrameServices frame{&doc};
    CSheet sheet(0, 0, 5, &doc);
    tagGERBAR g = gerber_test::PhotoSettings();
    const CamReadResult result = gerber_test::Read(sheet, g, CorpusFile("stepped.gbr"));
    platform::SetMessageService(nullptr);
    ASSERT_TRUE(result.wellFormed) << result.reason;
    EXPECT_EQ(sheet.GetKindCount(KIND_LAND), 6);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 6);
    std::set<long> xs, ys;
    for (POSITION p = sheet.GetFirstLandPos(); p;) {
        const CDPoint at = sheet.GetNextLand(p)->GetPoint();
        xs.insert(std::lround(at.x * 100.0));
        ys.insert(std::lround(at.y * 100.0));
    }
    EXPECT_EQ(xs, (std::set<long>{0, 1270, 2540})); // 0.5 inch apart
    EXPECT_EQ(ys, (std::set<long>{0, 1016}));       // 0.4 inch apart
}

} // namespace
