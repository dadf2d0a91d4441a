// The Gerber round-trip layer drawn by the layer itself, for a look beside the Gerber viewer's
// picture of its file (model_tests write /tmp/velta-gerber-layer-gerbv.png): the drawing goes to
// /tmp/velta-gerber-layer-draw.png, and the copper sits where the file puts it.

#include "model/sheet/Sheet.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/model/sheet/SheetGerberLayer.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

constexpr int kPixelsPerMm = 20;

TEST(SheetGerberImageTest, LayerDrawingToLookAtBesideTheViewersPicture)
{
    platform::MemoryProfile profile;
    platform::SetProfile(&profile);
    const int scale = CDPoint::GetScale();
    CDPoint::SetScale(100);
    FakeDocument doc;
    FakeFrameServices frame(&doc);
    CSheet viaParts(0, 0, LAYER_MAX, &doc);
    CSheet layer(0, 0x1, 0, &doc);
    layer.SetSheetType(SHEET_BOARD);
    gerber_test::BuildLayer(doc, layer, viaParts);
    tagLAYER record;
    record.color = RGB(220, 40, 40);
    record.drawClass = 4;
    layer.SetLayer(record);

    QImage image(36 * kPixelsPerMm, 20 * kPixelsPerMm, QImage::Format_RGB32);
    image.fill(qRgb(0x20, 0x30, 0x40));
    QPainter painter(&image);
    {
        platform::QPainterDrawContext dc(&painter, platform::QPainterDrawContext::None);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(100, 100));
        dc.SetViewportExt(CSize(kPixelsPerMm, -kPixelsPerMm));
        dc.SetViewportOrg(CPoint(0, image.height()));
        layer.DrawSheet(&dc);
    }
    painter.end();
    image.save("/tmp/velta-gerber-layer-draw.png");
    // The land at (12, 7) is drawn in the layer's colour.
    EXPECT_EQ(image.pixel(12 * kPixelsPerMm, image.height() - 7 * kPixelsPerMm), qRgb(220, 40, 40));
    CDPoint::SetScale(scale);
    platform::SetProfile(nullptr);
}

} // namespace
