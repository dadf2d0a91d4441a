// Values at the ends of their stored range: the renumbering of old records, the most negative text
// size and the widest stroke font give results (and, in the sanitizer build, no overflow).

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Archive.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::PartBoard;

// The item's record written at version 6 with `stored` in place of its turret (or via number),
// the field at `offset` (the second field, but for an arc), then read as a record of `version`;
// the number read. A via reads its number only in a board's archive.
template <class Item>
int ReadWithNumber(Item& item, std::int32_t stored, int version, std::size_t offset = 4,
                   CDocument* doc = nullptr)
{
    CArchive out(CArchive::store);
    item.Serialize(out, 6);
    std::vector<std::uint8_t> bytes = out.Data();
    std::int32_t written = 0;
    std::memcpy(&written, bytes.data() + offset, 4);
    EXPECT_EQ(written, item.GetTurretNo());
    std::memcpy(bytes.data() + offset, &stored, 4);
    CArchive in(CArchive::load, bytes);
    in.SetDocument(doc);
    Item back;
    back.Serialize(in, version);
    return back.GetTurretNo();
}

class StoredValueLimitsTest : public ::testing::Test
{
protected:
    PartBoard board;
};

TEST_F(StoredValueLimitsTest, OldRecordsCountNumbersFromOneLowerUpToTheLargest)
{
    const struct
    {
        const char* kind;
        std::function<int(std::int32_t, int)> read;
    } kinds[] = {
        {"line",
         [](std::int32_t n, int v) {
             CLine item(CDPoint(0, 0), CDPoint(1, 0), PartBoard::kTrack, 0);
             return ReadWithNumber(item, n, v);
         }},
        {"arc",
         [](std::int32_t n, int v) {
             // After the id, centre, radius, angles and type.
             CArc item(CDPoint(0, 0), 1.0, 0.0, 1.0, 0, PartBoard::kTrack);
             return ReadWithNumber(item, n, v, 48);
         }},
        {"surface",
         [](std::int32_t n, int v) {
             CSur item(PartBoard::kTrack);
             return ReadWithNumber(item, n, v);
         }},
        {"via",
         [this](std::int32_t n, int v) {
             CVia item(CDPoint(0, 0), 1, &board.doc, 0x3);
             return ReadWithNumber(item, n, v, 4, &board.doc);
         }},
    };
    const struct
    {
        std::int32_t stored;
        int version, read;
    } cases[] = {
        {1, 2, 2}, // counted from 0 one lower
        {1, 3, 1}, // version 3 counts as stored
        {INT32_MAX - 1, 2, INT32_MAX},
        {INT32_MAX, 2, INT32_MAX}, // the largest stays
        {INT32_MAX, 6, INT32_MAX},
    };
    for (const auto& kind : kinds)
        for (const auto& c : cases)
            EXPECT_EQ(kind.read(c.stored, c.version), c.read)
                << kind.kind << " " << c.stored << " v" << c.version;
}

TEST_F(StoredValueLimitsTest, AnOldTextRecordOfTheLargestTurretTakesNone)
{
    // A text takes turrets up to the table's end only; anything else becomes 0.
    CText text("AB", CDPoint(1, 1), PartBoard::kTrack);
    EXPECT_EQ(ReadWithNumber(text, 1, 2), 2);
    EXPECT_EQ(ReadWithNumber(text, INT32_MAX, 2), 0);
}

TEST_F(StoredValueLimitsTest, TheMostNegativeTextSizeMeasuresAsTheLargest)
{
    // A TrueType text of the profile's face and one of its own face.
    for (const bool ownFont : {false, true}) {
        CText text("AB", CDPoint(0, 0), 0);
        if (ownFont) {
            LOGFONTA font{};
            font.SetFaceName("Liberation Sans");
            text.SetFontRecord(font);
            text.ModifyType(TEXT_OWN_FONT, TEXT_OWN_FONT | TEXT_STROKE);
        }
        text.SetSize(INT_MIN);
        EXPECT_EQ(CText::EmHeight(text.GetSize()), -INT32_MAX);
        const CDRect bounds = text.GetBoundingRect();
        EXPECT_TRUE(std::isfinite(bounds.left) && std::isfinite(bounds.right)) << ownFont;
    }
    EXPECT_EQ(CText::EmHeight(200), -200);
    EXPECT_EQ(CText::EmHeight(-200), 200);
}

TEST_F(StoredValueLimitsTest, AStrokeTextOfTheWidestFontMeasuresWithoutOverflow)
{
    // 2,000 characters of a font record at the largest width and spacing.
    CText text(std::string(2000, 'A'), CDPoint(0, 0), PartBoard::kTrack);
    LOGFONTA font{};
    font.lfHeight = 200;
    font.lfWidth = INT32_MAX;
    font.lfWeight = INT32_MAX;
    text.SetFontRecord(font);
    ASSERT_TRUE(text.IsStroke());
    const CDRect bounds = text.GetBoundingRect();
    const double expected = 2000.0 * INT32_MAX * 0.005 + 2000.0 * INT32_MAX * 0.01;
    EXPECT_NEAR(bounds.right - bounds.left, expected, expected * 1e-6);
}

} // namespace
