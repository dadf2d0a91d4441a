// Pictures of the board on the clipboard: the client area as an image, the board or the selection
// as SVG at real size.

#include "tests/app/ViewFixture.h"

#include "model/items/Line.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>

namespace {

using ViewClipboardTest = ViewFixture;

QString Attribute(const QByteArray& svg, const char* name)
{
    const QRegularExpression re(QStringLiteral("<svg[^>]*\\s%1=\"([^\"]*)\"").arg(QLatin1String(name)));
    return re.match(QString::fromUtf8(svg)).captured(1);
}

TEST_F(ViewClipboardTest, BitmapIsTheClientOnItsBackground)
{
    const QImage colour = view->MakeBitmap(CVELTAView::ID_COPY_BITMAP);
    EXPECT_EQ(colour.size(), QSize(1000, 500));
    EXPECT_EQ(colour.pixel(990, 5), qRgb(0, 0, 0));
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(80, 30), 10, 0));
    const QImage mono = view->MakeBitmap(CVELTAView::ID_COPY_BITMAP_MONO);
    EXPECT_EQ(mono.pixel(990, 5), qRgb(255, 255, 255));
    EXPECT_EQ(mono.pixel(Pixel(50, 30)), qRgb(0, 0, 0)); // black on white
    EXPECT_EQ(frame->drawMode, 0);                       // the frame's mode is given back
    view->OnCopyImage(CVELTAView::ID_COPY_BITMAP, false);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(1000, 500));
}

TEST_F(ViewClipboardTest, MetafileHasTheBoardsRealSize)
{
    const QByteArray svg = view->MakeMetafile(CVELTAView::ID_COPY_METAFILE, false);
    EXPECT_EQ(Attribute(svg, "width"), "100mm");
    EXPECT_EQ(Attribute(svg, "height"), "50mm");
    EXPECT_TRUE(svg.contains("<title>VELTA</title>"));
    // A black background by default, none with EMFBackDraw 0.
    EXPECT_TRUE(svg.contains("fill=\"#000000\""));
    profile.SetInt("FileSave", "EMFBackDraw", 0);
    EXPECT_FALSE(view->MakeMetafile(CVELTAView::ID_COPY_METAFILE, false).contains("fill=\"#000000\""));
}

TEST_F(ViewClipboardTest, SelectionCopyHoldsOnlyTheSelectionAndReturnsIt)
{
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(10, 10), CDPoint(90, 10), 10, 0));
    doc->GetSelectionSheet(0)->StoreCopy(CLine(CDPoint(20, 30), CDPoint(40, 30), 10, 0));
    EXPECT_FALSE(view->CanCopyImage(CVELTAView::ID_COPY_BITMAP));
    EXPECT_FALSE(view->CanCopyImage(CVELTAView::ID_COPY_METAFILE));
    view->SetCommand(22);
    EXPECT_TRUE(view->CanCopyImage(CVELTAView::ID_COPY_METAFILE));
    CRect picture;
    const QByteArray svg = view->MakeMetafile(CVELTAView::ID_COPY_METAFILE_MONO, false, &picture);
    // The picture is the selection's bounds: about 20 mm wide, not the board.
    EXPECT_LT(std::abs(picture.right - picture.left), 2500);
    EXPECT_NE(Attribute(svg, "width"), "100mm");
    // Shift pictures the whole board size.
    CRect whole;
    view->MakeMetafile(CVELTAView::ID_COPY_METAFILE_MONO, true, &whole);
    EXPECT_EQ(whole, CRect(0, 0, 10000, 5000));
    view->OnCopyImage(CVELTAView::ID_COPY_METAFILE, false);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat("image/svg+xml"));
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(doc->GetBoardSheet(0)->GetItemCount(), 2);
}

} // namespace
