// Printing the board to PDF, checked on the pages rasterised by pdftoppm.

#include "tests/app/ViewFixture.h"

#include "app/ViewPrintDialog.h"
#include "model/items/Line.h"
#include "platform/J.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

namespace {

constexpr int kDpi = 100;

struct ViewPrintTest : ViewFixture
{
    // Prints with the given page layers and returns the rasterised pages.
    std::vector<QImage> Print(const std::vector<std::vector<int>>& pages)
    {
        ViewPrintChoice choice;
        choice.pageCount = static_cast<int>(std::max<std::size_t>(1, pages.size()));
        choice.pageLayers = pages;
        view->SetPrintChoice(choice);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath("board.pdf");
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        layout = printer.pageLayout();
        resolution = printer.resolution();
        if (!view->PrintTo(printer))
            return {};
        for (const QString& old : QDir(dir.path()).entryList({"page*.png"}, QDir::Files))
            QFile::remove(dir.filePath(old));
        QProcess run;
        run.start("pdftoppm", {"-r", QString::number(kDpi), "-png", pdf, dir.filePath("page")});
        run.waitForFinished(60000);
        std::vector<QImage> images;
        QStringList files = QDir(dir.path()).entryList({"page*.png"}, QDir::Files, QDir::Name);
        for (const QString& f : files)
            images.push_back(QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32));
        if (const char* keep = std::getenv("VELTA_PRINT_PNG"); keep && !images.empty())
            images.front().save(QString::fromLocal8Bit(keep));
        return images;
    }
    // A board point (mm) on the rasterised page at scale 1 and no offsets. The window origin
    // takes out the printable area's offset on x and puts y = 0 at the top offset plus the
    // printable height below the printable area's corner.
    QPoint PagePixel(double x, double y) const
    {
        const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
        const double pageY = 2 * paint.top() + paint.height() - y;
        return QPoint(static_cast<int>(std::lround(x * kDpi / 25.4)),
                      static_cast<int>(std::lround(pageY * kDpi / 25.4)));
    }

    // The print settings live in the board's settings file: a copy of the master here.
    bool SetPrintValues(const std::function<void(tagPRINTSET&)>& change)
    {
        const QString settings = dir.filePath("board.bpf");
        QFile::remove(settings);
        if (!QFile::copy(QString(VELTA_SOURCE_DIR) + "/resources/velta.bpf", settings))
            return false;
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        doc->GetSettingFile().SetPath(settings.toStdString());
        tagPRINTSET print;
        doc->ReadPrintSettings(print);
        change(print);
        if (!doc->WritePrintSettings(print))
            return false;
        doc->LoadPrintSettings();
        // Loading the page set-up reads the board size and origin too.
        doc->SetBoardSize(CDSize(100.0, 50.0));
        doc->SetUserOrigin(CDPoint(10.0, 10.0));
        return true;
    }

    QTemporaryDir dir;
    QPageLayout layout;
    int resolution = 0;
};

bool Dark(QRgb p)
{
    return qGray(p) < 128;
}

bool DarkNear(const QImage& image, QPoint at, int radius = 2)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && Dark(image.pixel(p)))
                return true;
        }
    }
    return false;
}

TEST_F(ViewPrintTest, PagesCarryTheirLayers)
{
    // A line on the component side and one on the solder side, at different heights.
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(40, 40), CDPoint(80, 40), 20, 0));
    doc->GetBoardSheet(1)->StoreCopy(CLine(CDPoint(40, 20), CDPoint(80, 20), 20, 0));
    const std::vector<QImage> pages = Print({{0}, {1}});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(DarkNear(pages[0], PagePixel(60, 40)));
    EXPECT_FALSE(DarkNear(pages[0], PagePixel(60, 20)));
    EXPECT_TRUE(DarkNear(pages[1], PagePixel(60, 20)));
    EXPECT_FALSE(DarkNear(pages[1], PagePixel(60, 40)));
    // A list starting with -1 prints the displayed layers.
    const std::vector<QImage> all = Print({{-1}});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(DarkNear(all[0], PagePixel(60, 40)));
    EXPECT_TRUE(DarkNear(all[0], PagePixel(60, 20)));
}

TEST_F(ViewPrintTest, BoardPointFromThePrintableCorner)
{
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(30, 50), CDPoint(30, 70), 20, 0));
    const std::vector<QImage> pages = Print({});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(DarkNear(pages[0], PagePixel(30, 60)));
    EXPECT_FALSE(DarkNear(pages[0], PagePixel(40, 60), 4));
}

TEST_F(ViewPrintTest, MirrorPrintingFlipsAboutThePrintableArea)
{
    ASSERT_TRUE(SetPrintValues([](tagPRINTSET& print) { print.b[2] = 1; }));
    ASSERT_NE(doc->GetPrintValues().b[2], 0);
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(30, 50), CDPoint(30, 70), 20, 0));
    const std::vector<QImage> pages = Print({});
    ASSERT_EQ(pages.size(), 1u);
    // x is measured from the other side: the printable width plus both offsets, less x.
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    const double mirroredX = paint.width() + 2 * paint.left() - 30.0;
    EXPECT_TRUE(DarkNear(pages[0], PagePixel(mirroredX, 60)));
    EXPECT_FALSE(DarkNear(pages[0], PagePixel(30, 60), 4));
    // The via and part sheet is mirrored back after the job.
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetLayer().mirror, 0);
}

TEST_F(ViewPrintTest, GridDotsOnTheGridPitch)
{
    tagGRID grid;
    grid.xPitch = grid.yPitch = 10.0;
    grid.xOffset = grid.yOffset = 0.0;
    doc->SetGrid(0, grid);
    doc->SetCurrentGrid(0);
    ASSERT_TRUE(SetPrintValues([](tagPRINTSET& print) { print.b[3] = 1; }));
    const std::vector<QImage> plain = Print({});
    ASSERT_EQ(plain.size(), 1u);
    // The grid runs through the user origin (10, 10): a dot at (50, 60), none half a pitch away.
    EXPECT_TRUE(DarkNear(plain[0], PagePixel(50, 60), 1));
    EXPECT_FALSE(DarkNear(plain[0], PagePixel(55, 65), 1));
    ASSERT_TRUE(SetPrintValues([](tagPRINTSET& print) { print.b[3] = 0; }));
    EXPECT_FALSE(DarkNear(Print({})[0], PagePixel(50, 60), 1));
}

TEST_F(ViewPrintTest, NoPrinterSaysSo)
{
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests' print server must show no printer";
    EXPECT_FALSE(view->OnFilePrint(false));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, platform::JLiteral("使用できるプリンターがありません"));
}

TEST_F(ViewPrintTest, UnwritablePdfIsReported)
{
    view->SetPrintChoice(ViewPrintChoice{});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/x/board.pdf");
    EXPECT_FALSE(view->PrintTo(printer));
    ASSERT_FALSE(messages.Count() == 0);
}

TEST_F(ViewPrintTest, PaintTwoFillsEveryLayer)
{
    // Every layer prints filled: the middle of a 3 mm dot is dark.
    doc->GetBoardSheet(0)->StoreCopy(CLine(CDPoint(50, 60), CDPoint(50.001, 60), 20, 0));
    profile.SetInt("Printer", "Paint", 2);
    const std::vector<QImage> pages = Print({});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(DarkNear(pages[0], PagePixel(50, 60), 0));
}

} // namespace
