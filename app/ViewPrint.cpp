// Printing the board: the print dialog's choices, the printer's paper and orientation, the page's
// window origin in hundredths of a millimetre and the drawing of each page's layers.

#include "app/PaperSize.h"
#include "app/VELTAView.h"
#include "app/ViewPrintDialog.h"
#include "document/VELTADoc.h"
#include "model/net/Net.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kLastKind = KIND_TER;

ViewPrintChoice g_lastChoice;

// Rounded a * b / c, as the platform's MulDiv.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    return static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

void Tell(const char* utf8)
{
    platform::MessageBox(platform::JLiteral(utf8), platform::GetAppCaption(), 0);
}

} // namespace

bool CVELTAView::OnFilePrint(bool preview)
{
    if (!document_)
        return false;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        Tell("使用できるプリンターがありません");
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    tagPRINTSET settings;
    document_->ReadPrintSettings(settings);
    ViewPrintChoice choice;
    choice.portrait = settings.portrait;
    choice.paperCode = settings.paperCode;
    if (m_printDialog) {
        if (!m_printDialog->Run(settings, preview, choice))
            return false;
        document_->WritePrintSettings(settings);
        document_->LoadPrintSettings();
    }
    printer.setPageOrientation(choice.portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    if (choice.paperCode > 0) {
        const std::optional<QPageSize> size = PageSizeOf(choice.paperCode);
        bool supported = false;
        for (const QPageSize& s : info.supportedPageSizes())
            supported = supported || (size && s.id() == size->id());
        if (supported)
            printer.setPageSize(*size);
        else
            Tell("プリンターが用紙サイズに対応していません");
    }
    g_lastChoice = choice;
    if (preview) {
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
        dialog.exec();
        return true;
    }
    return PrintTo(printer);
}

bool CVELTAView::PrintDirect()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!document_)
        return false;
    if (info.isNull()) {
        Tell("使用できるプリンターがありません");
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    const tagPRINTSET& settings = document_->GetPrintValues();
    printer.setPageOrientation(settings.portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    if (const std::optional<QPageSize> size = PageSizeOf(settings.paperCode))
        printer.setPageSize(*size);
    g_lastChoice = ViewPrintChoice{};
    g_lastChoice.portrait = settings.portrait;
    return PrintTo(printer);
}

void CVELTAView::SetPrintChoice(const ViewPrintChoice& choice)
{
    g_lastChoice = choice;
}

bool CVELTAView::PrintTo(QPrinter& printer)
{
    if (!document_)
        return false;
    const ViewPrintChoice choice = g_lastChoice;
    QPainter painter;
    if (!painter.begin(&printer)) {
        Tell(printer.outputFormat() == QPrinter::PdfFormat ? "PDFファイルに書き込めません"
                                                           : "印刷を開始できません");
        return false;
    }
    // The window shows nothing new while the job draws.
    viewport()->setUpdatesEnabled(false);
    const int previousScale = CDPoint::GetScale();
    const int pages = std::max(1, choice.pageCount);
    bool pageLists = false;
    const QPageLayout layout = printer.pageLayout();
    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    const QRect paint = layout.paintRectPixels(printer.resolution());
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            printer.newPage();
        m_printLayers = {-1};
        const std::size_t index = static_cast<std::size_t>(page - 1);
        if (index < choice.pageLayers.size() && !choice.pageLayers[index].empty() &&
            choice.pageLayers[index].front() != -1) {
            m_printLayers = choice.pageLayers[index];
            m_printLayers.push_back(-1);
            pageLists = true;
        }
        platform::QPainterDrawContext dc(&painter, platform::QPainterDrawContext::Printing);
        dc.SetMapMode(MM_HIMETRIC);
        // The board is scaled about the user origin and moved by the print offset.
        const tagPRINTSET& print = document_->GetPrintValues();
        const CDPoint origin = document_->GetUserOrigin();
        int X = static_cast<int>(origin.x * (print.scale - 1.0) * 100.0) - print.a[0] * 100;
        const int Y = static_cast<int>(origin.y * (print.scale - 1.0) * 100.0) - print.a[1] * 100;
        // The painter's origin is the printable area's corner; the physical offsets are the page
        // layout's margins.
        int ox = paint.left();
        const int oy = paint.top() + paint.height();
        if (print.b[2] != 0) {
            ox = -(paint.width() + ox);
            X = -X;
        }
        dc.SetWindowOrg(CPoint(MulDiv(ox, 2540, dpiX) + X, MulDiv(oy, 2540, dpiY) + Y));
        std::vector<int> layers(m_printLayers.begin(), m_printLayers.end() - 1);
        DrawPrinted(dc, layers);
    }
    painter.end();
    if (pageLists)
        document_->ResetPartBoundRects(3);
    CDPoint::SetScale(previousScale);
    viewport()->setUpdatesEnabled(true);
    m_bPrinting = 0;
    return true;
}

void CVELTAView::DrawPrinted(platform::QPainterDrawContext& dc, const std::vector<int>& pageLayers)
{
    m_bPrinting = 1;
    const tagPRINTSET& print = document_->GetPrintValues();
    CDPoint::SetScale(static_cast<int>(print.scale * 100.0));
    const int previousBk = dc.SetBkMode(TRANSPARENT);
    const int grey = document_->GetGreyLevel();
    CSheet* viaParts = document_->GetBoardSheet(LAYER_MAX);
    document_->MirrorPrintSheet(viaParts);

    std::vector<int> layers = pageLayers;
    if (layers.empty()) {
        const auto& list = document_->GetDisplayList();
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            if (document_->GetLayer(it->second).display)
                layers.push_back(it->second);
        }
    }
    const int paint = platform::GetProfile().GetInt("Printer", "Paint", 0);
    for (int layer : layers) {
        if (layer < 0 || layer >= LAYER_MAX)
            continue;
        CSheet* source = document_->GetBoardSheet(layer);
        // A copy is mirrored and drawn with the layer record printing asks for.
        CSheet copy(source->GetWLayer(), source->GetType(), source->GetLayerNo(), document_);
        for (int kind = 1; kind <= kLastKind; kind <<= 1) {
            for (POSITION pos = source->GetFirstItemPos(kind); pos;)
                copy.StoreCopy(*source->GetNextItem(kind, pos));
        }
        tagLAYER record = source->GetLayer();
        document_->MirrorPrintSheet(&copy);
        record.mirror = copy.GetLayer().mirror;
        if (paint == 2 || (paint == 1 && !(record.drawClass & 0x2)))
            record.drawClass = 4;
        copy.SetLayer(record);
        copy.DrawSheet(&dc);
        if (viaParts && viaParts->GetLayer().display) {
            COLORREF colour = RGB(0, 0, 0);
            if (document_->IsGreyPrint())
                colour = (record.color & 0xFFFFFF) == kWhite ? RGB(grey, grey, grey) : record.color;
            DrawPartsOn(dc, *viaParts, copy, record, colour, 1);
        }
    }
    if (m_input->m_bShowNets) {
        for (const auto& net : document_->GetNets())
            net->DrawNet(&dc);
    }
    document_->MirrorPrintSheet(viaParts);
    if (print.b[3] != 0) {
        // The grid across the printed page, in the print scale.
        const CRect clip = dc.GetClipBox();
        QRectF area = QRectF(QPointF(clip.left, clip.top), QPointF(clip.right, clip.bottom)).normalized();
        const bool mirrored = print.b[2] != 0;
        if (mirrored)
            area = QRectF(QPointF(-area.right(), area.top()), QPointF(-area.left(), area.bottom()));
        DrawGridDots(dc, document_->GetGridPhase(-1), CDPoint::GetScale(), area, Qt::black, 1, mirrored);
    }
    dc.SetBkMode(previousBk);
    m_bPrinting = 0;
}
