#include "app/VELTAView.h"

#include "app/ViewFrame.h"
#include "app/ViewStatusText.h"
#include "document/VELTADoc.h"
#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetIndex.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kOutline = RGB(192, 0, 0);
constexpr int kMoveBasePoint = 22;
constexpr int kPartNumberClick = 32844;
constexpr int kCutter = 32919;
constexpr int kArc = 32914;
constexpr int kSurface = 32917;
constexpr int kTerminal = 32918;
constexpr int kNoSaveCommand = 32783;
// The grid's dots are never closer than this many pixels.
constexpr int kMinGridPixels = 4;
// Radius of the user-origin circle in board units.
constexpr int kOriginRadius = 25;

void SetDrawMode(int mode)
{
    if (FrameServices* frame = GetFrameServices())
        frame->SetDrawMode(mode);
}

int TruncInt(double v)
{
    return platform::TruncateToInt32(v);
}

} // namespace

CVELTAView::CVELTAView(CVELTADoc* document, QWidget* parent)
    : CZoomView(parent), document_(document), m_input(std::make_unique<BoardInput>(document, *this))
{
    SetUpInput();
    SetUpEditKeys();
    const int cursor = platform::GetProfile().GetInt("Sheet", "Cursor", 0);
    m_nCursorKind = cursor == 0 ? 1 : cursor == 1 ? 2 : 0;
    viewport()->setCursor(m_nCursorKind == 1 ? Qt::ArrowCursor : Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

CVELTAView::~CVELTAView() = default;

void CVELTAView::OnInitialUpdate()
{
    if (document_) {
        const CDSize size = document_->GetBoardSize();
        const int scale = document_->GetCoordScale();
        SetZoomSizes(TruncInt(size.cx * scale), TruncInt(size.cy * scale), 10, 10);
        ZoomToStoredView();
        // The board's net file is looked at every ten seconds.
        StartTimer(ViewPort::kNetTimer, 10000);
        m_input->m_bNetTimer = true;
    }
    m_tip.Create(viewport());
}

void CVELTAView::ZoomToStoredView()
{
    if (!document_)
        return;
    CDRect stored = document_->GetViewRect();
    stored.NormalizeRect();
    const CDSize board = document_->GetBoardSize();
    const bool onBoard =
        stored.right > 0.0 && stored.bottom > 0.0 && stored.left < board.cx && stored.top < board.cy;
    // An empty or off-board stored view shows the whole board.
    if (stored.IsRectEmpty() || !onBoard) {
        FitToWindow();
        return;
    }
    const int scale = document_->GetCoordScale();
    ZoomRect(TruncInt(stored.left * scale), TruncInt(stored.top * scale), TruncInt(stored.right * scale),
             TruncInt(stored.bottom * scale));
}

void CVELTAView::StoreVisibleRect()
{
    if (!document_)
        return;
    const QRectF visible = VisibleLogical();
    const double scale = document_->GetCoordScale();
    document_->SetViewRect(CDRect(visible.left() / scale, visible.top() / scale, visible.right() / scale,
                                  visible.bottom() / scale));
}

void CVELTAView::UpdateTrapDistance()
{
    if (!document_)
        return;
    const int pixels = platform::GetProfile().GetInt("Sheet", "Trap", 10);
    const double s = State().Scale();
    if (!(s > 0.0))
        return;
    document_->SetHitTolerance(pixels / s / document_->GetCoordScale());
}

void CVELTAView::InvalidateBoardRect(const CDRect& rect)
{
    if (!document_)
        return;
    const double scale = document_->GetCoordScale();
    const QTransform t = LogicalToDevice();
    const QRectF device = t.mapRect(
        QRectF(QPointF(rect.left * scale, rect.top * scale), QPointF(rect.right * scale, rect.bottom * scale))
            .normalized());
    const QRectF bounded = device.intersected(QRectF(viewport()->rect()).adjusted(-8, -8, 8, 8));
    if (bounded.isEmpty() && !device.isEmpty())
        return;
    viewport()->update(bounded.toAlignedRect().adjusted(-3, -3, 3, 3));
}

// --- Zoom commands -------------------------------------------------------------------------------

double CVELTAView::ZoomStep() const
{
    const int percent = m_frame ? m_frame->GetZoomPercent() : 20;
    return 1.0 + percent * 0.01;
}

void CVELTAView::WholeViewToggle(Qt::KeyboardModifiers modifiers, bool pageDownHeld)
{
    if (!document_)
        return;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    // Ctrl with Shift and PageDown, or Ctrl alone, remembers the view instead; Ctrl+PageDown,
    // the command's own key, toggles.
    if (ctrl && shift == pageDownHeld) {
        StoreVisibleRect();
        m_rcViews[0] = document_->GetViewRect();
        return;
    }
    const int scale = document_->GetCoordScale();
    if (m_rcViews[0].IsRectNull()) {
        WholeView();
        StoreVisibleRect();
        m_rcViews[0] = document_->GetViewRect();
    } else if (!(document_->GetViewRect() == m_rcViews[0])) {
        const CDRect& r = m_rcViews[0];
        ZoomRect(TruncInt(r.left * scale), TruncInt(r.top * scale), TruncInt(r.right * scale),
                 TruncInt(r.bottom * scale));
        StoreVisibleRect();
        m_rcViews[0] = document_->GetViewRect();
    } else {
        PreviousView();
    }
}

void CVELTAView::OnZoomCommand(int id, Qt::KeyboardModifiers modifiers, bool pageDownHeld)
{
    m_input->m_bZoomWindow = 0;
    switch (id) {
    case ID_ZOOM_IN:
        ZoomCentre(ZoomStep());
        break;
    case ID_ZOOM_OUT:
        ZoomCentre(1.0 / ZoomStep());
        break;
    case ID_ZOOM_CENTER:
        SaveCommand();
        m_input->m_nCommand = 3;
        return;
    case ID_ZOOM_PREVIOUS:
        PreviousView();
        break;
    case ID_ZOOM_WHOLE:
        WholeViewToggle(modifiers, pageDownHeld);
        break;
    case ID_ZOOM_WINDOW:
        m_input->m_bZoomWindow = 1;
        break;
    default:
        return;
    }
    UpdateTrapDistance();
    m_bViewChanged = 1;
    StoreVisibleRect();
}

void CVELTAView::ShowRange(int slot)
{
    if (!document_)
        return;
    const CDRect range = m_rcViews[static_cast<std::size_t>(slot)];
    const int scale = document_->GetCoordScale();
    if (range.IsRectNull() && !HasScrollBar(false) && !HasScrollBar(true)) {
        // Nothing stored and nothing to scroll to: the view stays.
    } else if (range.IsRectNull()) {
        // Nothing stored yet: centre on the user origin (display 1) or the board's far corner.
        const CDPoint at = slot == 1 ? document_->GetUserOrigin() : CDPoint(document_->GetBoardSize().cx,
                                                                          document_->GetBoardSize().cy);
        ZoomAt(CPoint(TruncInt(at.x * scale), TruncInt(at.y * scale)), 1.0, false);
        StoreVisibleRect();
    } else if (document_->GetViewRect() == range) {
        PreviousView();
        StoreVisibleRect();
    } else {
        ZoomRect(TruncInt(range.left * scale), TruncInt(range.top * scale), TruncInt(range.right * scale),
                 TruncInt(range.bottom * scale));
        document_->SetViewRect(range);
    }
    UpdateTrapDistance();
    m_bViewChanged = 1;
    SnapCursorAfterRange();
}

bool CVELTAView::OnViewCommand(int id)
{
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    if (id >= ID_ZOOM_IN && id <= ID_ZOOM_WINDOW) {
        OnZoomCommand(id, modifiers);
        return true;
    }
    if (id >= ID_COPY_BITMAP && id <= ID_COPY_BITMAP_MONO) {
        OnCopyImage(id, modifiers & Qt::ShiftModifier);
        return true;
    }
    switch (id) {
    case ID_SHOW_RANGE1:
    case ID_SHOW_RANGE2:
        ShowRange(id - ID_SHOW_RANGE1 + 1);
        return true;
    case ID_CLEAR_RANGES:
        m_rcViews.fill(CDRect());
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        OnFilePrint(id == ID_FILE_PRINT_PREVIEW);
        return true;
    default:
        break;
    }
    if (id >= ID_SET_WHOLE_RANGE && id <= ID_SET_RANGE2) {
        if (document_) {
            StoreVisibleRect();
            m_rcViews[static_cast<std::size_t>(id - ID_SET_WHOLE_RANGE)] = document_->GetViewRect();
        }
        return true;
    }

    // Edit commands of the selection.
    if (OnEditViewCommand(id))
        return true;
    // Table, layer-move, edit and display commands
    if (OnTableDisplayCommand(id))
        return true;
    return OnInputViewCommand(id);
}

bool CVELTAView::OnUpdateViewCommand(int id, bool& enabled, bool& checked)
{
    checked = false;
    if (OnUpdateInputViewCommand(id, enabled, checked))
        return true;
    if (id >= ID_ZOOM_IN && id <= ID_ZOOM_WINDOW) {
        enabled = document_ != nullptr;
        checked = (id == ID_ZOOM_WINDOW && m_input->m_bZoomWindow != 0) ||
                  (id == ID_ZOOM_CENTER && m_input->m_nCommand == 3);
        return true;
    }
    if (id >= ID_COPY_BITMAP && id <= ID_COPY_BITMAP_MONO) {
        enabled = CanCopyImage(id);
        return true;
    }
    if ((id >= ID_SHOW_RANGE1 && id <= ID_SET_RANGE2) || id == ID_FILE_PRINT || id == ID_FILE_PRINT_PREVIEW) {
        enabled = document_ != nullptr;
        return true;
    }

    // Edit commands of the selection.
    if (OnUpdateEditViewCommand(id, enabled, checked))
        return true;
    // Table, layer-move, edit and display commands
    if (OnUpdateTableDisplayCommand(id, enabled, checked))
        return true;
    return false;
}

bool CVELTAView::StoreVisibleRect(CDRect& rect)
{
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (w->isMinimized())
            return false;
    if (!document_)
        return false;
    StoreVisibleRect();
    rect = document_->GetViewRect();
    return true;
}

void CVELTAView::ShowStoredView()
{
    ZoomToStoredView();
    UpdateTrapDistance();
    StoreVisibleRect();
}

void CVELTAView::DoZoomAction(CPoint logical, int mode, CPoint dragStart)
{
    switch (mode) {
    case 1:
        ZoomCentre(ZoomStep());
        break;
    case 2:
        ZoomCentre(1.0 / ZoomStep());
        break;
    case 3:
        ZoomAt(logical, 1.0, true);
        CenterOnLogical(logical.x, logical.y);
        break;
    case 4:
        PreviousView();
        break;
    case 5:
        WholeViewToggle(Qt::NoModifier, false);
        break;
    case 7:
        m_bMarkerShown = 0;
        if (dragStart.x != logical.x && dragStart.y != logical.y)
            ZoomRect(dragStart.x, dragStart.y, logical.x, logical.y);
        break;
    case 8:
        CenterOnLogical(logical.x, logical.y);
        break;
    default:
        break;
    }
    if (mode != 3 && mode != 8)
        UpdateTrapDistance();
    RestoreCommand();
    if (mode >= 1 && mode <= 7) {
        m_input->m_nCommand = 0;
        m_input->m_bInputBusy = false;
        SaveCommand();
        RestoreCommand();
    }
    m_input->m_bZoomWindow = 0;
    m_bViewChanged = 1;
    if (mode != 5)
        StoreVisibleRect();
}

void CVELTAView::SaveCommand()
{
    m_input->SaveCommand();
}

void CVELTAView::RestoreCommand()
{
    m_input->RestoreCommand();
}

void CVELTAView::RestoreInputCommand()
{
    m_input->RestoreInputCommand();
}

int CVELTAView::GetCommand() const
{
    return m_input->m_nCommand;
}

void CVELTAView::SetCommand(int command)
{
    m_input->m_nCommand = command;
}

bool CVELTAView::IsZoomWindow() const
{
    return m_input->m_bZoomWindow != 0;
}

void CVELTAView::ViewMoved()
{
    m_tip.HideTip();
    m_input->RemapRubberPoints();
}

// --- Drawing -------------------------------------------------------------------------------------

std::vector<int> CVELTAView::DisplayedLayersBottomUp() const
{
    std::vector<int> layers;
    if (!document_)
        return layers;
    const auto& list = document_->GetDisplayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        layers.push_back(it->second);
    return layers;
}

void CVELTAView::OnDraw(platform::QPainterDrawContext& dc)
{
    SetDrawMode(0);
    if (m_bPrinting)
        return;
    DrawBoard(dc);
    PaintXor(dc);
}

void CVELTAView::DrawBoard(platform::QPainterDrawContext& dc)
{
    if (!document_)
        return;
    const int previousScale = CDPoint::GetScale();
    CDPoint::SetScale(document_->GetCoordScale());
    dc.SetBkMode(TRANSPARENT);
    DrawOutlines(dc);
    if (const CRect clip = dc.GetClipBox(); clip.left != clip.right && clip.top != clip.bottom) {
        DrawLayers(dc, false);
        DrawLayers(dc, true);
        DrawCutterLines(dc);
        if (m_input->m_bShowNets) {
            for (const auto& net : document_->GetNets())
                net->DrawNet(&dc);
        }
    }
    DrawGrid(dc);
    CDPoint::SetScale(previousScale);
}

void CVELTAView::DrawOutlines(platform::DrawContext& dc)
{
    const platform::Pen oldPen = dc.SelectPen(platform::Pen(PS_DASHDOTDOT, 0, kOutline));
    const platform::Brush oldBrush = dc.SelectStockBrush(HOLLOW_BRUSH);
    for (const CDRect& r : {document_->GetPageRect(), document_->GetPrintableRect()}) {
        if (!r.IsRectNull())
            dc.Rectangle(r.IntRect());
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CVELTAView::DrawPartsOn(platform::DrawContext& dc, CSheet& viaParts, CSheet& layerSheet,
                             const tagLAYER& record, COLORREF colour, int penWidth)
{
    // Parts draw on the layers of the wiring and of the part-layer codes only.
    const bool carriesParts =
        layerSheet.GetWLayer() != 0 || (static_cast<std::uint32_t>(layerSheet.GetType()) & 0xFFFF0000u) != 0;
    if (!carriesParts || !viaParts.GetFirstItemPos(KIND_PART))
        return;
    const platform::Pen oldPen = dc.SelectPen(platform::Pen(PS_SOLID, penWidth, colour));
    const platform::Brush oldBrush = dc.SelectBrush(platform::Brush::Solid(colour));
    const COLORREF oldText = dc.SetTextColor(colour);
    const int mode = record.drawClass + (record.mirror ? 0x80 : 0);
    std::vector<CItemBase*> parts;
    viaParts.GetItemsIn(KIND_PART, CSheetIndex::DrawArea(dc), parts);
    for (CItemBase* item : parts) {
        static_cast<CPart*>(item)->DrawPart(&dc, mode, layerSheet.GetLayerNo(), layerSheet.GetType(),
                                            layerSheet.GetWLayer());
    }
    dc.SetTextColor(oldText);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CVELTAView::DrawLayers(platform::DrawContext& dc, bool selection)
{
    CSheet* viaParts =
        selection ? document_->GetSelectionSheet(LAYER_MAX) : document_->GetBoardSheet(LAYER_MAX);
    for (int layer : DisplayedLayersBottomUp()) {
        CSheet* sheet = selection ? document_->GetSelectionSheet(layer) : document_->GetBoardSheet(layer);
        if (!sheet)
            continue;
        sheet->DrawSheet(&dc);
        if (viaParts && viaParts->GetLayer().display) {
            // The parts on a layer take the layer's colour, and white when selected.
            CSheet* boardSheet = document_->GetBoardSheet(layer);
            DrawPartsOn(dc, *viaParts, *boardSheet, boardSheet->GetLayer(),
                        selection ? kWhite : boardSheet->GetColor(), 1);
        }
    }
}

void CVELTAView::DrawCutterLines(platform::DrawContext& dc)
{
    const platform::Pen oldPen = dc.SelectStockPen(WHITE_PEN);
    for (CSheet* sheet : {document_->GetBoardSheet(LAYER_MAX), document_->GetSelectionSheet(LAYER_MAX)}) {
        if (!sheet)
            continue;
        for (POSITION pos = sheet->GetFirstItemPos(KIND_LINE); pos;)
            static_cast<CLine*>(sheet->GetNextItem(KIND_LINE, pos))->DrawLine(&dc, 0);
    }
    dc.SelectPen(oldPen);
}

void CVELTAView::DrawGridDots(platform::QPainterDrawContext& dc, const tagGRID& grid, double unitsPerMm,
                              const QRectF& area, QColor colour, int minPixels, bool mirrored)
{
    const auto& map = dc.GetMapping();
    const double s = std::abs(map.LPtoDPX(1.0) - map.LPtoDPX(0.0));
    double pitchX = grid.xPitch * unitsPerMm;
    double pitchY = grid.yPitch * unitsPerMm;
    if (!(pitchX > 0.0) || !(pitchY > 0.0))
        return;
    // Dots closer than the minimum become every fifth one, so the spacing stays on the grid.
    while (pitchX * s < minPixels)
        pitchX *= 5;
    while (pitchY * s < minPixels)
        pitchY *= 5;
    const double ox = grid.xOffset * unitsPerMm;
    const double oy = grid.yOffset * unitsPerMm;
    std::vector<int> xs;
    std::vector<int> ys;
    for (double k = std::ceil((area.left() - ox) / pitchX); ox + k * pitchX <= area.right(); k += 1.0) {
        const double x = ox + k * pitchX;
        xs.push_back(TruncInt(std::lround(map.LPtoDPX(mirrored ? -x : x))));
    }
    for (double k = std::ceil((area.top() - oy) / pitchY); oy + k * pitchY <= area.bottom(); k += 1.0)
        ys.push_back(TruncInt(std::lround(map.LPtoDPY(oy + k * pitchY))));
    if (xs.empty() || ys.empty())
        return;
    QPainter* painter = dc.Painter();
    // The context keeps its own pen on the painter: it is put back afterwards.
    painter->save();
    painter->setPen(QPen(colour, 0));
    std::vector<QPoint> dots;
    dots.reserve(xs.size());
    for (int y : ys) {
        dots.clear();
        for (int x : xs)
            dots.emplace_back(x, y);
        painter->drawPoints(dots.data(), static_cast<int>(dots.size()));
    }
    painter->restore();
}

void CVELTAView::DrawGrid(platform::QPainterDrawContext& dc)
{
    if (!document_->IsGridShown())
        return;
    const tagGRID grid = document_->GetGridPhase(-1);
    const double scale = document_->GetCoordScale();
    const auto& map = dc.GetMapping();
    const double s = std::abs(map.LPtoDPX(1.0) - map.LPtoDPX(0.0));
    // A pitch of no whole pixel shows neither dots nor the origin.
    if (TruncInt(grid.xPitch * scale * s) == 0 || TruncInt(grid.yPitch * scale * s) == 0)
        return;
    // The visible part of the board.
    const CDSize board = document_->GetBoardSize();
    const CRect clip = dc.GetClipBox();
    const QRectF visible =
        QRectF(QPointF(clip.left, clip.top), QPointF(clip.right, clip.bottom)).normalized();
    const QRectF area = visible.intersected(QRectF(0.0, 0.0, board.cx * scale, board.cy * scale));
    DrawGridDots(dc, grid, scale, area, Qt::white, kMinGridPixels, false);
    // The user origin: a small circle with a red centre pixel.
    const CDPoint origin = document_->GetUserOrigin();
    const CPoint o(TruncInt(origin.x * scale), TruncInt(origin.y * scale));
    const platform::Pen oldPen = dc.SelectStockPen(WHITE_PEN);
    const platform::Brush oldBrush = dc.SelectStockBrush(HOLLOW_BRUSH);
    dc.Ellipse(CRect(o.x - kOriginRadius, o.y + kOriginRadius, o.x + kOriginRadius, o.y - kOriginRadius));
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
    QPainter* painter = dc.Painter();
    painter->save();
    painter->setPen(QPen(QColor(255, 0, 0), 0));
    painter->drawPoint(
        QPoint(TruncInt(std::lround(map.LPtoDPX(o.x))), TruncInt(std::lround(map.LPtoDPY(o.y)))));
    painter->restore();
}

void CVELTAView::DrawSelectionXor(platform::DrawContext& dc, int mode)
{
    if (!document_)
        return;
    const int previousBk = dc.SetBkMode(TRANSPARENT);
    const std::vector<int> layers = DisplayedLayersBottomUp();
    if (mode == 10) {
        if (!layers.empty()) {
            if (CSheet* sheet = document_->GetSelectionSheet(layers.back()))
                sheet->DrawSheet(&dc);
        }
        if (CSheet* viaParts = document_->GetSelectionSheet(LAYER_MAX))
            viaParts->DrawSheet(&dc);
    } else if (mode != 0) {
        for (int layer : layers) {
            if (CSheet* sheet = document_->GetSelectionSheet(layer))
                sheet->DrawSheet(&dc);
        }
        if (CSheet* viaParts = document_->GetSelectionSheet(LAYER_MAX))
            viaParts->DrawSheet(&dc);
    } else {
        CSheet* viaParts = document_->GetBoardSheet(LAYER_MAX);
        for (int layer : layers) {
            CSheet* sheet = document_->GetBoardSheet(layer);
            if (!sheet || !sheet->GetLayer().display)
                continue;
            sheet->DrawSheet(&dc);
            if (viaParts && viaParts->GetLayer().display)
                DrawPartsOn(dc, *viaParts, *sheet, sheet->GetLayer(), sheet->GetColor(), 1);
        }
    }
    dc.SetBkMode(previousBk);
}

// --- Input queries ------------------------------------------------------------------------------

namespace {

// The items of a kind whose bounds hold the point.
template <class Item> std::vector<Item*> ItemsAt(CSheet& sheet, int kind, const CDPoint& p)
{
    std::vector<CItemBase*> found;
    sheet.GetItemsIn(kind, CDRect(p, 1e-6), found);
    std::vector<Item*> items;
    items.reserve(found.size());
    for (CItemBase* item : found)
        items.push_back(static_cast<Item*>(item));
    return items;
}

} // namespace

bool CVELTAView::IsSamePad(const CDPoint& a, const CDPoint& b, bool same)
{
    if (!document_ || a == b)
        return false;
    const int layer = document_->GetCurrentLayer();
    CSheet* sheet = document_->GetBoardSheet(layer);
    CSheet* viaParts = document_->GetBoardSheet(LAYER_MAX);
    if (!sheet || !viaParts)
        return false;
    const int wiring = sheet->GetWLayer();
    const int type = sheet->GetType();
    for (CVia* via : ItemsAt<CVia>(*viaParts, KIND_VIA, a)) {
        if (via->CheckPoint(wiring, type, a))
            return (via->CheckPoint(wiring, type, b) != 0) == same;
    }
    for (CPart* part : ItemsAt<CPart>(*viaParts, KIND_PART, a)) {
        if (!part->IsPlaced())
            continue;
        const std::uint32_t pad = part->GetPointItemID(a, layer, wiring, type);
        if (pad == 0)
            continue;
        const std::uint32_t other = part->GetPointItemID(b, layer, wiring, type);
        return same ? other == pad : other != pad;
    }
    return false;
}

bool CVELTAView::IsOnCopper(int wiringIndex, const CDPoint& p)
{
    if (!document_)
        return false;
    const std::vector<std::uint8_t>& wires = document_->GetWireLayerList();
    if (wiringIndex < 1 || wiringIndex > static_cast<int>(wires.size()))
        return false;
    CSheet* sheet = document_->GetBoardSheet(wires[static_cast<std::size_t>(wiringIndex - 1)]);
    CSheet* viaParts = document_->GetBoardSheet(LAYER_MAX);
    if (!sheet)
        return false;
    if (viaParts) {
        for (CVia* via : ItemsAt<CVia>(*viaParts, KIND_VIA, p)) {
            if (via->CheckPoint(sheet->GetWLayer(), sheet->GetType(), p))
                return true;
        }
    }
    for (CLand* land : ItemsAt<CLand>(*sheet, KIND_LAND, p)) {
        if (land->CheckPoint(p))
            return true;
    }
    for (CLine* line : ItemsAt<CLine>(*sheet, KIND_LINE, p)) {
        if (line->CheckPoint(p))
            return true;
    }
    for (CArc* arc : ItemsAt<CArc>(*sheet, KIND_ARC, p)) {
        if (arc->CheckPoint(p))
            return true;
    }
    for (CSur* sur : ItemsAt<CSur>(*sheet, KIND_SUR, p)) {
        if (sur->CheckPoint(p, false))
            return true;
    }
    return false;
}

// --- XOR overlay ---------------------------------------------------------------------------------

void CVELTAView::ToggleXor(const QString& key, std::function<void(platform::DrawContext&)> draw)
{
    const auto found =
        std::find_if(m_xor.begin(), m_xor.end(), [&](const XorEntry& e) { return e.key == key; });
    if (found != m_xor.end())
        m_xor.erase(found);
    else
        m_xor.push_back(XorEntry{key, std::move(draw)});
    viewport()->update();
}

void CVELTAView::PaintXor(platform::QPainterDrawContext& dc)
{
    for (const XorEntry& entry : m_xor) {
        PrepareDC(dc);
        const int rop = dc.SetROP2(R2_XORPEN);
        entry.draw(dc);
        dc.SetROP2(rop);
    }
    PrepareDC(dc);
}

void CVELTAView::DrawFocusRect(int l, int t, int r, int b)
{
    const QString key = QStringLiteral("focus %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b);
    ToggleXor(key, [l, t, r, b](platform::DrawContext& dc) {
        dc.SetMapMode(MM_TEXT);
        dc.SetViewportOrg(CPoint());
        dc.SetWindowOrg(CPoint());
        const platform::Pen oldPen = dc.SelectPen(platform::Pen(PS_DOT, 0, kWhite));
        const platform::Brush oldBrush = dc.SelectStockBrush(HOLLOW_BRUSH);
        dc.Rectangle(CRect(l, t, r, b));
        dc.SelectBrush(oldBrush);
        dc.SelectPen(oldPen);
    });
}

void CVELTAView::ToggleSelectionXor(int mode)
{
    ToggleXor(QStringLiteral("selection %1").arg(mode), [this, mode](platform::DrawContext& dc) {
        const int previousScale = CDPoint::GetScale();
        if (document_)
            CDPoint::SetScale(document_->GetCoordScale());
        DrawSelectionXor(dc, mode);
        CDPoint::SetScale(previousScale);
    });
}

// --- Status bar ----------------------------------------------------------------------------------

void CVELTAView::ShowStatusText(const CDPoint& cursor)
{
    if (!m_frame || !m_frame->IsStatusBarVisible() || !document_)
        return;
    const CDPoint origin = document_->GetUserOrigin();
    const double x = cursor.x - origin.x;
    const double y = cursor.y - origin.y;
    const double sx = m_input->m_ptCentre.x - origin.x;
    const double sy = m_input->m_ptCentre.y - origin.y;
    QString text;
    QString prompt;
    if (m_input->m_nCommand == kPartNumberClick) {
        text = ViewStatusText::PartNumberText(x, y, platform::Cp932ToQString(m_input->m_ref.prefix),
                                              m_input->m_ref.number, platform::Cp932ToQString(m_input->m_ref.suffix));
        prompt = QStringLiteral("部品番号クリック割付モード Ctrl＋クリックで基準部品取得 ＋－で番号増減");
    } else if ((m_input->m_nCommand == ID_INPUT_LINE || m_input->m_nCommand == kSurface ||
                m_input->m_nCommand == kCutter) &&
               m_input->m_bInputBusy) {
        text = ViewStatusText::LineText(sx, sy, x, y, m_bRelative != 0);
    } else if (m_input->m_nCommand == kArc && m_input->m_nArcStep > 0 && (m_input->m_nArcStep % 2) == 1) {
        text = ViewStatusText::ArcEndText(sx, sy, x, y, m_bRelative != 0);
        prompt = QStringLiteral("終点をクリック Shift:強制円入力、D:方向 L:ステップ角度 ");
    } else {
        CSheet* board = document_->GetBoardSheet(LAYER_MAX);
        CSheet* selection = document_->GetSelectionSheet(LAYER_MAX);
        text = ViewStatusText::DefaultText(
            document_->GetCurrentLayer(), document_->GetCurrentTurret(), document_->GetCurrentVia(), x, y,
            static_cast<unsigned>(m_input->m_nCommand), m_input->m_bInputBusy ? 1 : 0, 0,
            board ? board->GetItemCount() : 0, selection ? selection->GetItemCount() : 0, 0.0);
    }
    m_frame->SetPaneText(1, text);
    if (!prompt.isEmpty()) {
        m_prompt = prompt;
        if (m_frame->GetPaneText(0) != prompt)
            m_frame->SetPaneText(0, prompt);
    } else {
        ShowPrompt();
    }
}

void CVELTAView::ShowPrompt()
{
    if (!m_frame)
        return;
    const QString prompt =
        ViewStatusText::Prompt(m_input->m_nCommand, m_input->m_bInputBusy, m_input->m_nLockMode);
    if (m_frame->GetPaneText(0) != prompt)
        m_frame->SetPaneText(0, prompt);
}

// --- Events --------------------------------------------------------------------------------------

QString CVELTAView::TipTextAt(const CDPoint& point) const
{
    std::string text;
    if (!document_ || !document_->GetItemTipText(point, text))
        return QString();
    return platform::Cp932ToQString(text);
}
