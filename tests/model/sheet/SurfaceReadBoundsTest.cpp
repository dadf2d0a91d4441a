// Surfaces read from files cost what a board can cost: a record of a few hundred bytes whose
// outline spans a kilometre is kept without fill instead of running for minutes and taking
// gigabytes, whichever reader meets it, and the load says so once. Each surface read is filled
// once. The work is checked through the scan lines and fill lines the fills report, not time.

#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/library/Library.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "tests/support/LibraryParts.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::PartBoard;
constexpr int kVersion = 6;
constexpr double kHuge = 1.0e6; // a square of 10^6 mm, hatched at the finest pitch (turret 0)

CSur Square(double x0, double y0, double x1, double y1, int turret)
{
    CSur sur;
    const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], turret, 0));
    sur.SetTurretNo(turret, true);
    return sur;
}

// The scan lines and fill lines of the fills run while f runs.
template <class F> CSur::FillWork WorkOf(F f)
{
    const CSur::FillWork before = CSur::FillWorkDone();
    f();
    const CSur::FillWork& after = CSur::FillWorkDone();
    return {after.scanLines - before.scanLines, after.fillLines - before.fillLines};
}

class SurfaceReadBoundsTest : public testing_support::LibraryFixture
{
protected:
    // A board layer sheet (its surfaces are filled when stored) or the via and part sheet.
    std::unique_ptr<CSheet> Place(int layer)
    {
        auto sheet = std::make_unique<CSheet>(layer == PartBoard::kTop ? 1 : 0, 0x3, layer, &board.doc);
        sheet->SetSheetType(layer == LAYER_MAX ? SHEET_BOARD_VIAPART : SHEET_BOARD);
        if (layer == LAYER_MAX)
            sheet->SetWLayer(0);
        return sheet;
    }

    // The layer record of a board sheet holding these surfaces, as the board file stores it.
    std::vector<std::uint8_t> LayerRecord(const std::vector<CSur>& surs)
    {
        std::unique_ptr<CSheet> sheet = Place(PartBoard::kTop);
        for (const CSur& sur : surs)
            sheet->NewSur(sur);
        CArchive ar(CArchive::store);
        sheet->DataWrite(ar, kVersion);
        return ar.Data();
    }

    std::string TooLargeMessage() const
    {
        return _J("塗り潰しが大きすぎる面があります。その面は塗り潰さずに読み込みました。");
    }

    // Every surface of the sheet (those of its parts too) is kept with its outline and no fill.
    static void ExpectKeptWithoutFill(CSheet& sheet, int count)
    {
        std::vector<CSur*> surs;
        for (POSITION pos = sheet.GetFirstSurPos(); pos;)
            surs.push_back(sheet.GetNextSur(pos));
        for (POSITION pos = sheet.GetFirstPartPos(); pos;) {
            CPart* part = sheet.GetNextPart(pos);
            for (POSITION p = part->GetFirstSurPos(); p;)
                surs.push_back(part->GetNextSur(p));
        }
        ASSERT_EQ(static_cast<int>(surs.size()), count);
        for (CSur* sur : surs) {
            EXPECT_EQ(sur->GetLineCount(), 4);
            EXPECT_EQ(sur->GetSurLineCount(), 0);
            EXPECT_TRUE(sur->IsFillTooLarge());
            EXPECT_NEAR(sur->GetBoundingRect().right - sur->GetBoundingRect().left, kHuge, 1.0);
        }
    }
};

TEST_F(SurfaceReadBoundsTest, AHugeSquareInTheBinaryLayerRecordIsKeptWithoutFillAndReportedOnce)
{
    const std::vector<std::uint8_t> one = LayerRecord({Square(0, 0, kHuge, kHuge, 0)});
    EXPECT_LE(one.size(), 300u);
    const std::vector<std::uint8_t> two =
        LayerRecord({Square(0, 0, kHuge, kHuge, 0), Square(-kHuge, 0, 0, kHuge, 0)});

    for (const auto& [record, count] : {std::pair{one, 1}, std::pair{two, 2}}) {
        messages.Clear();
        std::unique_ptr<CSheet> sheet = Place(PartBoard::kTop);
        CArchive ar(CArchive::load, record);
        ar.SetDocument(&board.doc);
        const CSur::FillWork work = WorkOf([&] { EXPECT_TRUE(sheet->DataRead(ar, kVersion)); });
        EXPECT_EQ(work.scanLines, 0);
        EXPECT_EQ(work.fillLines, 0);
        ExpectKeptWithoutFill(*sheet, count);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{TooLargeMessage()}) << count;
    }
}

TEST_F(SurfaceReadBoundsTest, AHugeSquareInTheItemTextFormIsKeptWithoutFillAndReportedOnce)
{
    std::string text = "Layer 1 0\n";
    for (const double x0 : {0.0, -kHuge}) {
        const double x1 = x0 + kHuge;
        text += "Sur 0 0 0.000000 0 0\n";
        const double xs[5] = {x0, x1, x1, x0, x0};
        const double ys[5] = {0, 0, kHuge, kHuge, 0};
        for (int i = 0; i < 4; ++i)
            text += platform::Format("Line %f %f %f %f 0 0 0 0 0 0 0\n", xs[i], ys[i], xs[i + 1], ys[i + 1]);
        text += "SurEnd\n";
    }
    text += "LayerEnd 1\n";
    EXPECT_LE(text.size(), 640u); // two surfaces of about 300 bytes

    std::unique_ptr<CSheet> sheet = Place(PartBoard::kTop);
    CArchive ar(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
    ar.SetDocument(&board.doc);
    const CSur::FillWork work = WorkOf([&] { EXPECT_EQ(sheet->SerializeText(ar), 0); });
    EXPECT_EQ(work.scanLines, 0);
    EXPECT_EQ(work.fillLines, 0);
    ExpectKeptWithoutFill(*sheet, 2);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{TooLargeMessage()});
}

TEST_F(SurfaceReadBoundsTest, AHugeSquareInALibraryPartIsKeptWithoutFillAndReportedOnce)
{
    CPart part = testing_support::MakePart("PLANE", "X1", 1);
    CSur& sur = *part.NewSur(Square(0, 0, kHuge, kHuge, 0));
    sur.SetLayerNo(PartBoard::kTop);
    CLibrary writer;
    writer.SetLibraryName(PathOf("plane.vlb"));
    writer.SetPackageName("PLANE");
    ASSERT_TRUE(writer.WritePart(SheetOf({&part}).get(), 0));
    messages.Clear();

    CLibrary reader;
    reader.SetLibraryName(PathOf("plane.vlb"));
    ASSERT_EQ(reader.ReadFile(), 1);
    // Parts stored into the via and part sheet have their surfaces filled there.
    for (const bool board : {false, true}) {
        messages.Clear();
        std::unique_ptr<CSheet> sheet = board ? Place(LAYER_MAX) : std::make_unique<CSheet>();
        if (!board)
            sheet->SetDocument(&this->board.doc);
        reader.SetPackageName("PLANE");
        const CSur::FillWork work = WorkOf([&] { EXPECT_EQ(reader.ReadPart(sheet.get()), 1); });
        EXPECT_EQ(work.scanLines, 0);
        EXPECT_EQ(work.fillLines, 0);
        ASSERT_EQ(sheet->GetHeadPart()->GetKindCount(KIND_SUR), 1);
        POSITION pos = sheet->GetHeadPart()->GetFirstSurPos();
        CSur* read = sheet->GetHeadPart()->GetNextSur(pos);
        EXPECT_EQ(read->GetLineCount(), 4);
        EXPECT_EQ(read->GetSurLineCount(), 0);
        EXPECT_EQ(read->IsFillTooLarge(), board);
        EXPECT_EQ(messages.Count(), board ? 1u : 0u);
    }
}

TEST_F(SurfaceReadBoundsTest, TheScanLineCapLiesBeyondAnyBoard)
{
    // Turret 1 is 1.0 wide: pitch 0.9, and the bounds grow by half the width.
    const struct
    {
        double height;
        bool filled;
    } cases[] = {
        {500.0, true},     // a large board
        {89'990.0, true},  // just under 100,000 scan lines
        {90'010.0, false}, // just over
        {kHuge, false},
    };
    for (const auto& c : cases) {
        CSur sur = Square(0, 0, 1, c.height, PartBoard::kPad);
        const CSur::FillWork work = WorkOf([&] { sur.MakeSurLine(true); });
        EXPECT_EQ(sur.IsFillTooLarge(), !c.filled) << c.height;
        EXPECT_EQ(sur.GetSurLineCount() > 0, c.filled) << c.height;
        EXPECT_LE(work.scanLines, 100'000) << c.height;
        EXPECT_EQ(work.fillLines, sur.GetSurLineCount()) << c.height;
        if (!c.filled) {
            EXPECT_EQ(work.scanLines, 0) << c.height;
        }
    }
}

TEST_F(SurfaceReadBoundsTest, ASurfaceOfTheBinaryLayerRecordIsFilledOnce)
{
    // A 10 mm square of the 1.0 turret: 11 scan lines at pitch 0.9.
    CSur square = Square(0, 0, 10, 10, PartBoard::kPad);
    const long long oneFill = WorkOf([&] { square.MakeSurLine(true); }).scanLines;
    ASSERT_GT(oneFill, 0);

    const std::vector<std::uint8_t> record = LayerRecord({square});
    std::unique_ptr<CSheet> sheet = Place(PartBoard::kTop);
    CArchive ar(CArchive::load, record);
    ar.SetDocument(&board.doc);
    EXPECT_EQ(WorkOf([&] { sheet->DataRead(ar, kVersion); }).scanLines, oneFill);
    EXPECT_EQ(sheet->GetHeadSur()->GetSurLineCount(), square.GetSurLineCount());
    EXPECT_TRUE(messages.Entries().empty());
}

} // namespace
