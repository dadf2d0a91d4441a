// The board view's side of the input machine: Qt mouse, wheel, key and focus events turned into
// button flags, client pixels and key codes, and the ViewPort services the machine calls back.

#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/VELTAView.h"
#include "app/ViewFrame.h"
#include "document/VELTADoc.h"
#include "model/services/FrameServices.h"
#include "platform/Profile.h"
#include "platform/qt/QPainterDrawContext.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace {

// Qt key codes to the key codes the input machine and the key commands take.
int KeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 0x60 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_Asterisk:
        return keypad ? 0x6A : 0;
    case Qt::Key_Plus:
        return keypad ? 0x6B : 0;
    case Qt::Key_Minus:
        return keypad ? 0x6D : 0;
    case Qt::Key_Period:
        return keypad ? 0x6E : 0;
    case Qt::Key_Slash:
        return keypad ? 0x6F : 0;

    // Keyboard commands: Shift alone, the auto-pan key.
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_ScrollLock:
        return 0x91;
    default:
        return 0;
    }
}

CPoint ToCPoint(QPointF p)
{
    return CPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

} // namespace

int CVELTAView::ButtonFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    int flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= BoardInput::MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= BoardInput::MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= BoardInput::MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= BoardInput::MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= BoardInput::MK_CONTROL;
    return flags;
}

void CVELTAView::SetUpInput()
{
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    for (std::size_t i = 0; i < m_timers.size(); ++i) {
        auto* timer = new QTimer(this);
        const int which = static_cast<int>(i);
        connect(timer, &QTimer::timeout, this, [this, which] { m_input->OnTimer(which); });
        m_timers[i] = timer;
    }
    m_timers[ViewPort::kFocusTimer]->setSingleShot(true);
    BoardInput& input = *m_input;
    input.SetAutoPan(platform::GetProfile().GetInt("Sheet", "AutoPan", 0) != 0);
}

bool CVELTAView::OnInputViewCommand(int id)
{
    BoardInput& input = *m_input;
    if (id >= BoardInput::kLine && id <= BoardInput::kCutter) {
        input.OnInputCommand(id);
        return true;
    }
    switch (id) {
    case BoardInput::kCancel:
        input.EndCommand();
        return true;
    case BoardInput::kEditMove:
    case BoardInput::kEditCopy:
    case BoardInput::kAttrMove:
        input.OnEditMove(id);
        return true;
    case BoardInput::kSelectAll:
        input.OnSelectAll();
        return true;
    case BoardInput::kLayerSaveRestore:
        if (document_)
            document_->OnLayerSaveRestore();
        return document_ != nullptr;
    default:
        return false;
    }
}

bool CVELTAView::OnUpdateInputViewCommand(int id, bool& enabled, bool& checked)
{
    if (id >= BoardInput::kLine && id <= BoardInput::kCutter) {
        m_input->OnUpdateInputCommand(id, enabled, checked);
        return true;
    }
    if (id == BoardInput::kSelectAll) {
        enabled = m_input->CanSelectAll();
        return true;
    }
    if (id == BoardInput::kCancel) {
        enabled = true;
        return true;
    }
    return false;
}

// --- Qt events -------------------------------------------------------------------------------------

void CVELTAView::mousePressEvent(QMouseEvent* event)
{
    const int flags = ButtonFlags(event->buttons(), event->modifiers());
    const CPoint p = ToCPoint(event->position());
    switch (event->button()) {
    case Qt::LeftButton:
        m_input->OnLButtonDown(flags, p);
        break;
    case Qt::RightButton:
        m_input->OnRButtonDown(flags, p);
        break;
    case Qt::MiddleButton:
        m_input->OnMButtonDown(flags, p);
        break;
    default:
        break;
    }
    event->accept();
}

void CVELTAView::mouseReleaseEvent(QMouseEvent* event)
{
    // The flags are those left after the release, as the machine expects.
    const int flags = ButtonFlags(event->buttons(), event->modifiers());
    const CPoint p = ToCPoint(event->position());
    switch (event->button()) {
    case Qt::LeftButton:
        m_input->OnLButtonUp(flags, p);
        break;
    case Qt::RightButton:
        m_input->OnRButtonUp(flags, p);
        break;
    case Qt::MiddleButton:
        m_input->OnMButtonUp(flags, p);
        break;
    default:
        break;
    }
    event->accept();
}

void CVELTAView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt's default would run the second click as a press too.
    if (event->button() == Qt::LeftButton)
        m_input->OnLButtonDblClk(ButtonFlags(event->buttons(), event->modifiers()),
                                 ToCPoint(event->position()));
    event->accept();
}

void CVELTAView::mouseMoveEvent(QMouseEvent* event)
{
    CZoomView::mouseMoveEvent(event);
    if (!document_)
        return;
    m_input->OnMouseMove(ButtonFlags(event->buttons(), event->modifiers()), ToCPoint(event->position()));
}

void CVELTAView::wheelEvent(QWheelEvent* event)
{
    // Wheel events reach the scroll area through its viewport: the position is the client's.
    HandleWheel(*event, event->position().toPoint());
}

void CVELTAView::HandleWheel(QWheelEvent& event, QPoint local)
{
    const QPoint angle = event.angleDelta();
    // Some platforms turn Shift+wheel into a horizontal wheel.
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    m_wheelRest += delta;
    const int whole = m_wheelRest / 120 * 120;
    event.accept();
    if (whole == 0)
        return;
    m_wheelRest -= whole;
    const QRect client = viewport()->rect();
    const bool inside = client.contains(local);
    const QRect grown = client.adjusted(-1, -1, ScrollBarExtent() + 1, ScrollBarExtent() + 1);
    const bool onBar = !inside && grown.contains(local);
    const bool verticalBar = local.y() <= client.bottom();
    m_input->OnMouseWheel(ButtonFlags(event.buttons(), event.modifiers()), whole,
                          CPoint(local.x(), local.y()), inside, onBar, verticalBar);
}

bool CVELTAView::eventFilter(QObject* watched, QEvent* event)
{
    // The wheel over the scroll bars is the view's too (zoom, scroll by the view's rules).
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        auto* bar = static_cast<QWidget*>(watched);
        HandleWheel(*wheel, viewport()->mapFromGlobal(bar->mapToGlobal(wheel->position().toPoint())));
        return true;
    }
    return CZoomView::eventFilter(watched, event);
}

void CVELTAView::keyPressEvent(QKeyEvent* event)
{
    m_tip.HideTip();
    const int key = KeyCode(*event);
    if (event->key() == Qt::Key_F10) {
        // F10 alone and Alt+F10 both save or restore the layer pattern.
        RunCommand(BoardInput::kLayerSaveRestore);
        event->accept();
        return;
    }
    int flags = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= BoardInput::MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= BoardInput::MK_CONTROL;
    if (event->isAutoRepeat())
        flags |= BoardInput::kAutoRepeat;
    bool taken = key != 0 && m_input->OnKeyDown(key, flags);
    const QString text = event->text();
    if (!(event->modifiers() & Qt::KeypadModifier) && text.size() == 1 && text[0].unicode() < 0x80)
        taken = m_input->OnChar(text[0].unicode(), false) || taken;
    if (taken) {
        event->accept();
        return;
    }
    CZoomView::keyPressEvent(event);
}

bool CVELTAView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu bar never takes F10 from the board.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10) {
            event->accept();
            return true;
        }
    }
    return CZoomView::event(event);
}

void CVELTAView::focusInEvent(QFocusEvent* event)
{
    CZoomView::focusInEvent(event);
    m_input->OnSetFocus(true);
}

void CVELTAView::focusOutEvent(QFocusEvent* event)
{
    m_input->OnKillFocus();
    CZoomView::focusOutEvent(event);
}

int CVELTAView::ExecPopup(QMenu& menu, const QPoint& global)
{
    QAction* chosen = menu.exec(global);
    return chosen ? chosen->data().toInt() : 0;
}

// --- ViewPort ----------------------------------------------------------------------------------------

CDPoint CVELTAView::DeviceToBoard(CPoint device) const
{
    const QPointF logical = DeviceToLogical(QPointF(device.x, device.y));
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    return CDPoint(logical.x() / scale, logical.y() / scale);
}

CPoint CVELTAView::BoardToDevice(const CDPoint& board) const
{
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    const QPointF p = LogicalToDevice().map(QPointF(board.x * scale, board.y * scale));
    return CPoint(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
}

CRect CVELTAView::ClientRect() const
{
    return CRect(0, 0, viewport()->width(), viewport()->height());
}

CDRect CVELTAView::VisibleBoardRect() const
{
    const QRectF visible = VisibleLogical().normalized();
    const double scale = document_ ? document_->GetCoordScale() : 1.0;
    return CDRect(visible.left() / scale, visible.top() / scale, visible.right() / scale,
                  visible.bottom() / scale);
}

bool CVELTAView::HasScrollBar(bool vertical) const
{
    const QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    return bar && bar->isVisible();
}

int CVELTAView::ScrollBarExtent() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void CVELTAView::InvalidateAll()
{
    viewport()->update();
}

void CVELTAView::ToggleRubberRect(const CRect& rect)
{
    DrawFocusRect(rect.left, rect.top, rect.right, rect.bottom);
}

void CVELTAView::ToggleCrosshair(CPoint device)
{
    const int w = viewport()->width();
    const int h = viewport()->height();
    ToggleXor(QStringLiteral("crosshair %1 %2").arg(device.x).arg(device.y),
              [device, w, h](platform::DrawContext& dc) {
                  dc.SetMapMode(MM_TEXT);
                  dc.SetViewportOrg(CPoint());
                  dc.SetWindowOrg(CPoint());
                  const platform::Pen oldPen = dc.SelectPen(platform::Pen(PS_SOLID, 1, RGB(255, 255, 255)));
                  dc.MoveTo(CPoint(0, device.y));
                  dc.LineTo(CPoint(w, device.y));
                  dc.MoveTo(CPoint(device.x, 0));
                  dc.LineTo(CPoint(device.x, h));
                  dc.SelectPen(oldPen);
              });
}

bool CVELTAView::IsCrosshairUsed() const
{
    return m_nCursorKind == 0;
}

bool CVELTAView::IsStatusBarVisible() const
{
    return m_frame && m_frame->IsStatusBarVisible();
}

void CVELTAView::SetPrompt(const std::string& utf8)
{
    if (!m_frame)
        return;
    const QString text = QString::fromUtf8(utf8.c_str());
    m_prompt = text;
    if (m_frame->GetPaneText(0) != text)
        m_frame->SetPaneText(0, text);
}

void CVELTAView::ShowTip(CPoint device, const std::string& text)
{
    m_tip.HideTip();
    m_tip.SetTipText(platform::Cp932ToQString(text));
    m_tip.StartTip(QPoint(device.x, device.y));
}

void CVELTAView::HideTip()
{
    m_tip.HideTip();
}

void CVELTAView::CapturePointer(bool capture)
{
    // Qt keeps the mouse with the widget a button went down on; nothing more to do.
    (void)capture;
}

CPoint CVELTAView::CursorPoint() const
{
    const QPoint p = CursorPos();
    return CPoint(p.x(), p.y());
}

bool CVELTAView::ScrollLine(int dx, int dy)
{
    bool moved = false;
    auto step = [&moved](QScrollBar* bar, int d) {
        if (d == 0 || !bar || !bar->isVisible())
            return;
        const int before = bar->value();
        bar->triggerAction(d > 0 ? QAbstractSlider::SliderSingleStepAdd
                                 : QAbstractSlider::SliderSingleStepSub);
        moved = moved || bar->value() != before;
    };
    step(horizontalScrollBar(), dx);
    step(verticalScrollBar(), dy);
    return moved;
}

void CVELTAView::ZoomAtDevice(CPoint device, double factor)
{
    const QPointF logical = DeviceToLogical(QPointF(device.x, device.y));
    ZoomAt(CPoint(static_cast<int>(logical.x()), static_cast<int>(logical.y())), factor, true);
}

void CVELTAView::ZoomAboutCentre(double factor)
{
    ZoomCentre(factor);
}

void CVELTAView::ZoomAction(int mode, CPoint device, CPoint press)
{
    const QPointF at = DeviceToLogical(QPointF(device.x, device.y));
    const QPointF from = DeviceToLogical(QPointF(press.x, press.y));
    DoZoomAction(CPoint(static_cast<int>(at.x()), static_cast<int>(at.y())), mode,
                 CPoint(static_cast<int>(from.x()), static_cast<int>(from.y())));
}

double CVELTAView::ZoomFactor() const
{
    return State().Scale();
}

void CVELTAView::ViewChanged()
{
    UpdateTrapDistance();
    StoreVisibleRect();
    viewport()->update();
}

void CVELTAView::StartTimer(int timer, int milliseconds)
{
    if (timer < 0 || timer >= static_cast<int>(m_timers.size()))
        return;
    m_timers[static_cast<std::size_t>(timer)]->start(milliseconds);
}

void CVELTAView::KillTimer(int timer)
{
    if (timer < 0 || timer >= static_cast<int>(m_timers.size()))
        return;
    m_timers[static_cast<std::size_t>(timer)]->stop();
}

namespace {

void AddItems(QMenu& menu, const std::vector<MenuItemDef>& items, const ViewPort::PopupChoice& choice)
{
    for (const MenuItemDef& item : items) {
        if (std::find(choice.removed.begin(), choice.removed.end(), item.id) != choice.removed.end())
            continue;
        if (item.id == 0 && item.items.empty()) {
            menu.addSeparator();
            continue;
        }
        QString caption;
        if (item.caption)
            caption = QString::fromUtf8(item.caption);
        else if (const CommandInfo* info = FindCommand(item.id))
            caption = QString::fromUtf8(info->caption);
        if (!item.items.empty()) {
            QMenu* sub = menu.addMenu(caption);
            AddItems(*sub, item.items, choice);
            continue;
        }
        QAction* action = menu.addAction(caption);
        action->setData(item.id);
        if (item.id == choice.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (item.id == BoardInput::kCutter && choice.cutterSubmenu) {
            // The cutter edits hang under the cutter entry.
            QMenu* sub = menu.addMenu(QStringLiteral("カッター編集"));
            ViewPort::PopupChoice cutter;
            cutter.removed = {BoardInput::kCancel, 32970, 0};
            const std::vector<MenuItemDef> layout = GetMenuLayout(197);
            if (!layout.empty())
                AddItems(*sub, layout.front().items, cutter);
        }
    }
}

} // namespace

void CVELTAView::ShowPopup(CPoint device, const PopupChoice& choice)
{
    const std::vector<MenuItemDef> layout = GetMenuLayout(choice.menuId);
    if (layout.empty())
        return;
    QMenu menu(this);
    AddItems(menu, layout.front().items, choice);
    const int id = ExecPopup(menu, viewport()->mapToGlobal(QPoint(device.x, device.y)));
    if (id != 0)
        RunCommand(id);
}

bool CVELTAView::RunCommand(int id)
{
    if (OnViewCommand(id))
        return true;
    if (id == BoardInput::kLayerSaveRestore && document_) {
        document_->OnLayerSaveRestore();
        return true;
    }
    return false;
}

void CVELTAView::MakeDocumentCurrent()
{
    if (auto* main = dynamic_cast<CMainFrame*>(GetFrameServices()))
        main->SetCurrentDoc(document_);
}
