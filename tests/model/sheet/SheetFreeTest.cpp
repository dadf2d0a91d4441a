// Freeing a sheet measures nothing: at shutdown what measuring uses (fonts, the frame) may already
// be gone. Measuring is seen in the TrueType face look-ups (a face never asked for before) and in
// the frame's turret look-ups (an item without a turret takes turret 0 when it is measured).

#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/text/TrueTypeFaces.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class CountingFrame : public FakeFrameServices
{
public:
    tagTURRET GetTurret(int number) override
    {
        ++turretCalls;
        return FakeFrameServices::GetTurret(number);
    }
    int turretCalls = 0;
};

// Texts in a TrueType face of their own and lines without a turret, all not yet measured.
std::unique_ptr<CSheet> DirtySheet(const std::string& face)
{
    auto sheet = std::make_unique<CSheet>(0, 0x1, 3, nullptr);
    for (int i = 0; i < 20; ++i) {
        CText text("AB", CDPoint(i, 0), 0);
        LOGFONTA font;
        font.lfHeight = -200;
        font.SetFaceName(face);
        text.SetFontRecord(font);
        text.SetType(text.GetType() | TEXT_OWN_FONT);
        sheet->NewText(text);
        sheet->NewLine(CLine(CDPoint(i, 1), CDPoint(i, 2), -1, 0));
    }
    return sheet;
}

TEST(SheetFreeTest, FreeingMeasuresNothingWhileEmptyingMeasures)
{
    // Faces of their own for each run, so that no earlier look-up is cached.
    static int run = 0;
    ++run;
    CountingFrame frame;
    CTrueTypeFaces& faces = CTrueTypeFaces::Instance();

    std::unique_ptr<CSheet> freed = DirtySheet("FreedSheetFace" + std::to_string(run));
    const std::size_t queries = faces.QueryCount();
    const int turretCalls = frame.turretCalls;
    freed.reset();
    EXPECT_EQ(faces.QueryCount(), queries);
    EXPECT_EQ(frame.turretCalls, turretCalls);

    // Emptying a sheet gives the rectangle its items covered, which takes measuring: the counts
    // above would have seen it.
    std::unique_ptr<CSheet> emptied = DirtySheet("EmptiedSheetFace" + std::to_string(run));
    const std::size_t queriesBefore = faces.QueryCount();
    const int turretCallsBefore = frame.turretCalls;
    const CDRect covered = emptied->DeleteContents();
    EXPECT_GT(faces.QueryCount(), queriesBefore);
    EXPECT_GT(frame.turretCalls, turretCallsBefore);
    EXPECT_GT(covered.Width(), 19.0);
}

} // namespace
