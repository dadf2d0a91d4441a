// A layer with clearance violations checked, its markers placed with SetMark, and both drawn
// offscreen: every marker lies on copper where two groups come too close. The image is written
// to /tmp/velta-copper-check.png for a look.

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/net/NetLine.h"
#include "model/sheet/Sheet.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <vector>

using platform::QPainterDrawContext;

namespace {

constexpr int kPixelsPerMm = 20;
constexpr int kSize = 400;
constexpr COLORREF kCopper = RGB(200, 60, 40);
constexpr COLORREF kMarker = RGB(255, 230, 0); // the sheet draws in its own colour mode

class CopperCheckImageTest : public ::testing::Test
{
protected:
    CopperCheckImageTest() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.4, 0.0}; // tracks
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 1.6, 0.0}; // pads
        doc.turretTable[3] = tagTURRET{TURRET_DONUT, 0.8, 0.5}; // markers
        doc.SetWireLayers({0});
        viaParts.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[LAYER_MAX] = &viaParts;
        sheet.SetSheetType(SHEET_BOARD);
        doc.boardSheets[0] = &sheet;
    }
    ~CopperCheckImageTest() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    void Draw(CSheet& layer, QPainter& painter, COLORREF colour, int drawClass)
    {
        tagLAYER record;
        record.color = colour;
        record.drawClass = static_cast<std::uint8_t>(drawClass);
        layer.SetLayer(record);
        QPainterDrawContext dc(&painter, QPainterDrawContext::None);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(100, 100));
        dc.SetViewportExt(CSize(kPixelsPerMm, -kPixelsPerMm));
        dc.SetViewportOrg(CPoint(0, kSize));
        layer.DrawSheet(&dc);
    }

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    CSheet sheet{1, 0x1, 0, &doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};
    CSheet marks{1, 0x1, 0, &doc};

private:
    int m_scale = 0;
};

TEST_F(CopperCheckImageTest, EveryMarkerSitsOnAViolation)
{
    // Two tracks 0.2 apart (edges), a pad 0.3 from a third track, a track crossing nothing, and
    // two tracks well apart.
    sheet.NewLine(CDPoint(2, 4), CDPoint(12, 4), 1, 0);
    sheet.NewLine(CDPoint(4, 4.6), CDPoint(16, 4.6), 1, 0);
    sheet.NewLine(CDPoint(3, 10), CDPoint(3, 17), 1, 0);
    sheet.NewLand(CDPoint(4.3, 14), 2);
    sheet.NewLine(CDPoint(10, 10), CDPoint(17, 17), 1, 0);
    sheet.NewLine(CDPoint(12, 8), CDPoint(18, 8), 1, 0);
    sheet.ResetNetID();
    sheet.MakeGroup();
    sheet.CorrectID2NetLine();
    ASSERT_EQ(sheet.GetNetLineCount(), 6);

    tagDRCSPEC rule;
    rule.holeToHole = rule.plainClearance = rule.netClearance = rule.holeMargin = 0.5;
    rule.partClearance = 0.5;
    std::vector<std::uint32_t> groups;
    sheet.DRC_ShortCheck(&rule, &groups);
    ASSERT_EQ(rule.errorPoints.size(), 8u) << "two violations, two points each";
    const CDRect marked = marks.SetMark(&rule, 3);
    EXPECT_FALSE(marked.IsRectEmpty());

    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(qRgb(20, 30, 40));
    QPainter painter(&image);
    Draw(sheet, painter, kCopper, 4);
    Draw(marks, painter, kMarker, 2);
    painter.end();
    image.save("/tmp/velta-copper-check.png");

    // Each marker lies on copper of one of the two groups that come too close, within the
    // tracks' or pad's reach of the place.
    const std::vector<CDPoint> places = {CDPoint(4, 4.3), CDPoint(3.8, 14)};
    for (POSITION pos = marks.GetFirstLandPos(); pos;) {
        const CDPoint at = marks.GetNextLand(pos)->GetPoint();
        double nearest = 1e9;
        for (const CDPoint& place : places)
            nearest = std::min(nearest, at.GetLength(place));
        EXPECT_LT(nearest, 1.0) << at.x << ", " << at.y;
        EXPECT_TRUE(sheet.CheckPoint(at)) << "a marker off the copper at " << at.x << ", " << at.y;
        const int px = static_cast<int>(at.x * kPixelsPerMm);
        const int py = static_cast<int>(kSize - at.y * kPixelsPerMm);
        // The marker's ring crosses the row and the column through its place.
        auto ring = [&](int x, int y) {
            const QRgb c = image.pixel(x, y);
            return c != qRgb(20, 30, 40) && c != qRgb(200, 60, 40);
        };
        bool drawn = false;
        for (int d = -8; d <= 8 && !drawn; ++d)
            drawn = ring(px + d, py) || ring(px, py + d);
        EXPECT_TRUE(drawn) << "no marker drawn at " << at.x << ", " << at.y;
    }
}

} // namespace
