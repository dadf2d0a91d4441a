// The hole chart command: symbols by row and plating within the size tolerance, the clearance
// marks, the layer questions, the chart's headers and layout, and undo.

#include "model/items/Hole.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "tests/document/ToolCommandHost.h"
#include "tests/support/TestFonts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <set>

namespace {

constexpr int kHoleLayer = 2;
constexpr int kSymbolLayer = 5;
constexpr int kTableLayer = 6;

// Answers as the hole-data dialog does: the tool table of the target layers, one row per tool with
// the symbol the test gives for it.
void AnswerAsTheDialog(const tagHOLEDATA& settings, const std::vector<std::string>& symbols,
                       const std::function<void(CVELTADoc&)>& afterTable, tagHOLEDATA& data, CVELTADoc& doc)
{
    data = settings;
    std::array<int, LAYER_MAX> flags{};
    for (int layer = 0; layer < LAYER_MAX; ++layer)
        flags[static_cast<std::size_t>(layer)] = data.input[static_cast<std::size_t>(layer)];
    const int tools = doc.MakeTCodeTable(flags.data(), 240);
    data.holeCount = tools;
    for (int i = 0; i < tools; ++i) {
        const tagTCODE& tool = doc.GetTCodeTable()[static_cast<std::size_t>(i)];
        tagHOLEENTRY& row = data.holes[static_cast<std::size_t>(i)];
        row.size = tool.diameter;
        row.width = tool.width;
        row.third = tool.radius;
        row.kind = tool.holeType & 0x31;
        row.name = i < static_cast<int>(symbols.size()) ? symbols[static_cast<std::size_t>(i)] : "";
    }
    if (afterTable)
        afterTable(doc);
}

struct ChartAnswers
{
    tagHOLEDATA settings;
    std::vector<std::string> symbols;
    std::function<void(CVELTADoc&)> afterTable;
};

class HoleChartTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        WriteFile(Board(), Section("GRID", "") + Section("DISP_LAYER", "") + Section("LAYER_TABLE", "") +
                               Section("HOLE_DATA", "ERROR : OFF : x : 0.000 ;\r\n"));
        doc->SetHost(&chartHost);
        chartHost.holeData = [this](tagHOLEDATA& data, CVELTADoc& d) {
            AnswerAsTheDialog(chart.settings, chart.symbols, chart.afterTable, data, d);
        };
        doc->GetBoardSheet(0)->SetWLayer(1);
        doc->GetBoardSheet(1)->SetWLayer(2);
        doc->GetBoardSheet(kHoleLayer)->ModifyType(0x10000, 0);
        doc->SetUserOrigin(CDPoint(0.0, 0.0));
        tagHOLEDATA& s = chart.settings;
        s.input[kHoleLayer] = 1;
        s.codeLayer = kSymbolLayer;
        s.code = {1.0, 0.5, 0.25, 0.0};
        s.tableLayer = kTableLayer;
        s.table = {2.0, 100.0, 50.0};
    }

    CHole* AddHole(CDPoint at, double size, int shape = 0)
    {
        CHole hole(at, size, shape == 0, shape == 0 ? 0.0 : size * 2.0, shape == HOLE_LONG ? size * 0.5 : 0.1,
                   0.0);
        hole.ModifyType(shape, HOLE_SHAPE_MASK);
        return doc->GetBoardSheet(kHoleLayer)->NewHole(hole);
    }
    std::vector<CText*> Texts(int layer)
    {
        std::vector<CText*> out;
        CSheet* sheet = doc->GetBoardSheet(layer);
        for (POSITION pos = sheet->GetFirstTextPos(); pos;)
            out.push_back(sheet->GetNextText(pos));
        return out;
    }
    CText* Find(int layer, const std::string& name)
    {
        for (CText* text : Texts(layer))
            if (text->GetName() == name)
                return text;
        return nullptr;
    }
    static double Width(const std::string& name, double height)
    {
        CText text(name, CDPoint(), 0);
        text.SetSize(static_cast<int>(height * 100.0));
        CDRect r = text.GetBoundingRect();
        r.NormalizeRect();
        return r.Width();
    }

    ToolCommandHost chartHost;
    ChartAnswers chart;
};

TEST_F(HoleChartTest, SymbolsFollowTheRowOfTheHolesSizeAndPlating)
{
    AddLand(0, CDPoint(10, 10));
    AddHole(CDPoint(10, 10), 0.8); // plated
    AddHole(CDPoint(30, 10), 0.8);
    chart.symbols = {"A", "B"};
    chart.settings.tableLayer = -1;
    doc->OnHoleData();
    CText* a = Find(kSymbolLayer, "A");
    CText* b = Find(kSymbolLayer, "B");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetPoint(), CDPoint(10.5, 10.25));
    EXPECT_EQ(b->GetPoint(), CDPoint(30.5, 10.25));
    EXPECT_EQ(a->GetSize(), 100);
    EXPECT_TRUE(Texts(kTableLayer).empty());
}

TEST_F(HoleChartTest, ASizeMatchesWithinTheToleranceOnly)
{
    AddHole(CDPoint(30, 10), 0.8);
    chart.symbols = {"A"};
    chart.settings.tableLayer = -1;
    for (double tool : {0.8000005, 0.8001}) {
        doc->GetBoardSheet(kSymbolLayer)->DeleteContents();
        chart.afterTable = [tool](CVELTADoc& d) { d.GetTCodeTable()[0].diameter = tool; };
        doc->OnHoleData();
        EXPECT_EQ(Find(kSymbolLayer, "A") != nullptr, tool < 0.8001) << tool;
    }
}

TEST_F(HoleChartTest, NoHoleEndsSilentlyAndCancelChangesNothing)
{
    doc->OnHoleData();
    EXPECT_TRUE(Texts(kTableLayer).empty());
    EXPECT_EQ(messages.Count(), 0u);
    chartHost.holeData = nullptr;
    AddHole(CDPoint(30, 10), 0.8);
    doc->OnHoleData();
    EXPECT_TRUE(Texts(kTableLayer).empty());
}

TEST_F(HoleChartTest, HoleTooCloseToALaterHoleIsMarkedAndCounted)
{
    for (int i = 0; i < 4; ++i)
        AddHole(CDPoint(10.0 + 0.5 * i, 10.0), 0.3);
    AddHole(CDPoint(40.0, 40.0), 0.3);
    tagHOLEDATA& s = chart.settings;
    s.error = true;
    s.errorText = "ERR";
    s.errorValue = 0.5;
    s.tableLayer = -1;
    doc->OnHoleData();
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("エラー箇所 3"));
    std::set<double> marked;
    for (CText* text : Texts(kSymbolLayer))
        if (text->GetName() == "ERR")
            marked.insert(text->GetPoint().x - 0.5);
    EXPECT_EQ(marked, (std::set<double>{10.0, 10.5, 11.0}));
}

// The grid's walk against the check of every later hole in sheet order, on random holes of every
// shape, stacked, scattered and far apart, and clearances from none to wider than the largest hole.
TEST_F(HoleChartTest, GridMarksTheHolesTheCheckOfEveryLaterHoleMarks)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const double span = 5.0 + 40.0 * unit(rng);
        CSheet holes(SHEET_WORK);
        const int count = 150 + static_cast<int>(rng() % 250);
        for (int k = 0; k < count; ++k) {
            CDPoint at(span * unit(rng) - span / 2, span * unit(rng));
            if (k > 0 && rng() % 4 == 0) // a stack: at or beside an earlier hole
                at = CDPoint(std::floor(at.x / 3.0) * 3.0, std::floor(at.y / 3.0) * 3.0 + 0.05 * (rng() % 3));
            const double size = 0.2 + 1.8 * unit(rng);
            const int shape = std::array<int, 4>{0, 0, HOLE_LONG, HOLE_RECT}[rng() % 4];
            CHole hole(at, size, shape == 0, shape == 0 ? 0.0 : size * (1.0 + 2.0 * unit(rng)),
                       shape == HOLE_LONG ? size * 0.5 : 0.1, shape == 0 ? 0.0 : unit(rng) * 3.14159);
            hole.ModifyType(shape, HOLE_SHAPE_MASK);
            holes.NewHole(hole);
        }
        if (seed % 3 == 0) // one hole far off: the grid's cells widen to stay few
            holes.NewHole(CHole(CDPoint(5000.0, -3000.0), 0.5, true, 0.0, 0.1, 0.0));
        tagHOLEDATA data = chart.settings;
        data.holeCount = 0;
        data.tableLayer = -1;
        data.error = true;
        data.errorText = "ERR";
        data.errorValue = std::array{0.0, 0.3, 1.0, 4.0}[seed % 4];
        doc->GetBoardSheet(kSymbolLayer)->DeleteContents();
        messages.Clear();

        std::vector<CHole*> list;
        for (POSITION pos = holes.GetFirstHolePos(); pos;)
            list.push_back(holes.GetNextHole(pos));
        std::vector<std::pair<double, double>> expected;
        for (std::size_t i = 0; i < list.size(); ++i)
            for (std::size_t j = i + 1; j < list.size(); ++j)
                if (!list[i]->CheckClearance(list[j], data.errorValue)) {
                    expected.emplace_back(list[i]->GetPoint().x + data.code[1],
                                          list[i]->GetPoint().y + data.code[2]);
                    break;
                }
        ASSERT_FALSE(expected.empty()) << seed;

        doc->RunHoleChart(data, holes);
        std::vector<std::pair<double, double>> marked;
        for (CText* text : Texts(kSymbolLayer))
            if (text->GetName() == "ERR")
                marked.emplace_back(text->GetPoint().x, text->GetPoint().y);
        EXPECT_EQ(marked, expected) << seed;
        ASSERT_EQ(messages.Count(), 1u) << seed;
        EXPECT_EQ(messages.Last().text,
                  platform::Format(_J("エラー箇所 %d").c_str(), static_cast<int>(expected.size())));
    }
}

TEST_F(HoleChartTest, HeaderNamesTheSizeFormsOfTheRows)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    struct Case
    {
        std::vector<int> shapes;
        std::string header;
    } cases[] = {{{0}, _J("径")}, {{0, HOLE_LONG}, _J("径/高x幅")}, {{0, HOLE_RECT}, _J("径/高x幅(隅半径)")}};
    for (const Case& c : cases) {
        doc->GetBoardSheet(kHoleLayer)->DeleteContents();
        doc->GetBoardSheet(kTableLayer)->DeleteContents();
        double x = 10.0;
        for (int shape : c.shapes)
            AddHole(CDPoint(x += 10.0, 10.0), 0.8, shape);
        messages.SetDefaultAnswer(IDYES);
        doc->OnHoleData();
        EXPECT_NE(Find(kTableLayer, c.header), nullptr) << platform::Format("%zu", c.shapes.size());
    }
}

TEST_F(HoleChartTest, ChartBordersFollowTheMeasuredTextsAndRowsThePitch)
{
    ASSERT_NO_FATAL_FAILURE(testing_support::RequireArial());
    doc->SetUserOrigin(CDPoint(1.0, 2.0));
    AddHole(CDPoint(20, 10), 1.2);
    AddHole(CDPoint(30, 10), 0.8);
    AddHole(CDPoint(35, 10), 0.8);
    chart.symbols = {"WIDE-SYMBOL", "b"};
    doc->OnHoleData();
    // Vertical borders, from left to right, and horizontal lines, from bottom to top.
    std::vector<double> xs, ys;
    CSheet* sheet = doc->GetBoardSheet(kTableLayer);
    for (POSITION pos = sheet->GetFirstLinePos(); pos;) {
        CLine* line = sheet->GetNextLine(pos);
        if (std::fabs(line->GetStartPoint().x - line->GetEndPoint().x) < 1e-9)
            xs.push_back(line->GetStartPoint().x);
        else
            ys.push_back(line->GetStartPoint().y);
        EXPECT_EQ(line->GetTurretNo(), 0);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    ASSERT_EQ(xs.size(), 5u);
    ASSERT_EQ(ys.size(), 4u); // bottom, two row lines, top
    const double x0 = 100.0 + 1.0;
    const double w1 = std::max(Width(_J("記号"), 2.0), Width("WIDE-SYMBOL", 2.0));
    EXPECT_NEAR(xs[0], x0, 1e-9);
    EXPECT_NEAR(xs[1], x0 + w1 + 3.0, 1e-9);
    const double y0 = 50.0 + 2.0;
    for (std::size_t k = 0; k < ys.size(); ++k)
        EXPECT_NEAR(ys[k], y0 + k * 4.0, 1e-9);
    // The counts, right-aligned on the third border.
    CText* two = Find(kTableLayer, "2");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->GetOrign(), TEXT_ORG_BOTTOM_RIGHT);
    EXPECT_NEAR(two->GetPoint().x, xs[3] - 1.5, 1e-9);
    EXPECT_NE(Find(kTableLayer, "NTH"), nullptr);
    EXPECT_NE(Find(kTableLayer, "1.2"), nullptr);
}

TEST_F(HoleChartTest, SameLayerAsksOnceEmptiesOnceAndUndoRemovesChartAndSymbols)
{
    chart.settings.tableLayer = kSymbolLayer;
    doc->GetBoardSheet(kSymbolLayer)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    AddHole(CDPoint(20, 10), 1.2);
    chart.symbols = {"A"};
    messages.SetDefaultAnswer(IDYES);
    doc->OnHoleData();
    EXPECT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("記号出力先のレイヤにデータがあります。先に削除しますか？"));
    EXPECT_NE(Find(kSymbolLayer, "A"), nullptr);
    EXPECT_NE(Find(kSymbolLayer, _J("記号")), nullptr);
    // The old line went; the chart's lines are new ones of turret 0.
    CSheet* sheet = doc->GetBoardSheet(kSymbolLayer);
    for (POSITION pos = sheet->GetFirstLinePos(); pos;)
        EXPECT_EQ(sheet->GetNextLine(pos)->GetTurretNo(), 0);
    doc->OnEditUndo();
    doc->OnEditUndo();
    EXPECT_TRUE(Texts(kSymbolLayer).empty());
    EXPECT_EQ(sheet->GetItemCount(), 1);
}

TEST_F(HoleChartTest, CancelAtTheChartQuestionKeepsTheSymbols)
{
    doc->GetBoardSheet(kTableLayer)->NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    AddHole(CDPoint(20, 10), 1.2);
    chart.symbols = {"A"};
    messages.QueueAnswer(IDCANCEL);
    doc->OnHoleData();
    EXPECT_EQ(messages.Last().text, _J("表出力先のレイヤにデータがあります。先に削除しますか？"));
    EXPECT_NE(Find(kSymbolLayer, "A"), nullptr);
    EXPECT_EQ(doc->GetBoardSheet(kTableLayer)->GetItemCount(), 1);
}

} // namespace
