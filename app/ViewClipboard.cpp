// Pictures of the board for other programs: the client area as an image, and the board or the
// selection as SVG at its real size.

#include "app/VELTAView.h"
#include "document/VELTADoc.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>

namespace {

constexpr int kColourCopy = -3;
constexpr int kMonoCopy = -2;
constexpr int kMoveBasePoint = 22;
// SVG user units per millimetre: hundredths, as the printed page uses.
constexpr int kUnitsPerMm = 100;

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Sets the frame's drawing mode for a copy and puts the previous one back.
class DrawModeScope
{
public:
    explicit DrawModeScope(int mode) : m_frame(GetFrameServices())
    {
        if (m_frame) {
            m_previous = m_frame->GetDrawMode();
            m_frame->SetDrawMode(mode);
        }
    }
    ~DrawModeScope()
    {
        if (m_frame)
            m_frame->SetDrawMode(m_previous);
    }
    DrawModeScope(const DrawModeScope&) = delete;
    DrawModeScope& operator=(const DrawModeScope&) = delete;

private:
    FrameServices* m_frame;
    int m_previous = 0;
};

} // namespace

bool CVELTAView::CanCopyImage(int id) const
{
    if (!document_)
        return false;
    const bool empty = document_->IsSelectionEmpty();
    if (id == ID_COPY_BITMAP || id == ID_COPY_BITMAP_MONO)
        return empty;
    return empty || m_input->m_nCommand == kMoveBasePoint;
}

QImage CVELTAView::MakeBitmap(int id)
{
    const QSize size(State().ClientWidth(), State().ClientHeight());
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(id == ID_COPY_BITMAP_MONO ? Qt::white : Qt::black);
    const DrawModeScope mode(id == ID_COPY_BITMAP_MONO ? kMonoCopy : kColourCopy);
    QPainter painter(&image);
    platform::QPainterDrawContext dc(&painter);
    PrepareDC(dc);
    DrawBoard(dc);
    return image;
}

CRect CVELTAView::MetafileRect(bool shift) const
{
    const int previousScale = CDPoint::GetScale();
    CDPoint::SetScale(document_->GetCoordScale());
    CRect rect;
    if (document_->IsSelectionEmpty() || shift) {
        const CDSize size = document_->GetBoardSize();
        rect = CDRect(0.0, 0.0, size.cx, size.cy).IntRect();
    } else {
        rect = document_->GetItemsRect(2).IntRect();
    }
    CDPoint::SetScale(previousScale);
    return rect;
}

QByteArray CVELTAView::MakeMetafile(int id, bool shift, CRect* picture)
{
    QByteArray bytes;
    if (!document_)
        return bytes;
    const CRect rect = MetafileRect(shift);
    const int scale = std::max(1, document_->GetCoordScale());
    const int width = std::abs(rect.right - rect.left);
    const int height = std::abs(rect.bottom - rect.top);
    // The picture keeps the board's real size: logical units become hundredths of a millimetre.
    const double unitsPerLogical = static_cast<double>(kUnitsPerMm) / scale;
    const QSize svgSize(std::max(1, static_cast<int>(std::ceil(width * unitsPerLogical))),
                        std::max(1, static_cast<int>(std::ceil(height * unitsPerLogical))));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setTitle(QStringLiteral("VELTA"));
    svg.setDescription(QStringLiteral("VELTA"));
    svg.setResolution(static_cast<int>(std::lround(25.4 * kUnitsPerMm)));
    svg.setSize(svgSize);
    svg.setViewBox(QRect(QPoint(0, 0), svgSize));
    {
        QPainter painter(&svg);
        platform::QPainterDrawContext dc(&painter);
        // Y upward, the rectangle's upper edge at the top of the picture.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(scale, scale));
        dc.SetViewportExt(CSize(kUnitsPerMm, -kUnitsPerMm));
        dc.SetWindowOrg(CPoint(std::min(rect.left, rect.right), std::max(rect.top, rect.bottom)));
        dc.SetViewportOrg(CPoint());
        const bool mono = id == ID_COPY_METAFILE_MONO;
        if (platform::GetProfile().GetInt("FileSave", "EMFBackDraw", 1) != 0)
            painter.fillRect(QRect(QPoint(0, 0), svgSize), mono ? Qt::white : Qt::black);
        const DrawModeScope mode(mono ? kMonoCopy : kColourCopy);
        const int previousScale = CDPoint::GetScale();
        CDPoint::SetScale(scale);
        const int previousBk = dc.SetBkMode(TRANSPARENT);
        const bool selection = !document_->IsSelectionEmpty();
        CSheet* viaParts =
            selection ? document_->GetSelectionSheet(LAYER_MAX) : document_->GetBoardSheet(LAYER_MAX);
        const auto& list = document_->GetDisplayList();
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            const int layer = it->second;
            CSheet* sheet = selection ? document_->GetSelectionSheet(layer) : document_->GetBoardSheet(layer);
            if (!sheet)
                continue;
            sheet->DrawSheet(&dc);
            if (viaParts) {
                tagLAYER record = sheet->GetLayer();
                record.mirror = 0; // the picture takes the style byte alone
                DrawPartsOn(dc, *viaParts, *sheet, record, sheet->GetColor(), 0);
            }
        }
        dc.SetBkMode(previousBk);
        CDPoint::SetScale(previousScale);
    }
    buffer.close();
    if (picture)
        *picture = rect;
    return bytes;
}

void CVELTAView::OnCopyImage(int id, bool shift)
{
    if (!document_)
        return;
    const WaitCursor wait;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (id == ID_COPY_BITMAP || id == ID_COPY_BITMAP_MONO) {
        const QImage image = MakeBitmap(id);
        if (image.isNull()) {
            platform::MessageBox("Cannot make bitmap", platform::GetAppCaption(), 0);
            return;
        }
        clipboard->setImage(image);
        return;
    }
    if (id != ID_COPY_METAFILE && id != ID_COPY_METAFILE_MONO)
        return;
    const bool hadSelection = !document_->IsSelectionEmpty();
    auto* mime = new QMimeData; // the clipboard takes it
    mime->setData(QStringLiteral("image/svg+xml"), MakeMetafile(id, shift));
    clipboard->setMimeData(mime);
    if (hadSelection) {
        // The selection goes back onto the board.
        document_->MoveSetItems(2, 0, true, false);
        RestoreInputCommand();
        viewport()->update();
    }
}
