// The board view's edit commands: cut, copy and paste of items through the clipboard (the item
// text form, see platform/qt/ItemClipboard.h), delete, flip and rotate, and the numeric move with
// the coordinate dialog. The work on the selection is the input machine's.

#include "app/VELTAView.h"
#include "document/VELTADoc.h"
#include "model/services/ItemDialogs.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/qt/ItemClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QShortcut>

#include <string>

namespace {

class PasteWaitCursor
{
public:
    PasteWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~PasteWaitCursor() { QApplication::restoreOverrideCursor(); }
    PasteWaitCursor(const PasteWaitCursor&) = delete;
    PasteWaitCursor& operator=(const PasteWaitCursor&) = delete;
};

bool ClipboardHoldsText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasFormat(QString::fromLatin1(platform::kItemMimeType)) || data->hasText());
}

void ReportPaste(const std::string& text)
{
    platform::MessageBox(text, platform::GetAppCaption(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void CVELTAView::SetUpEditKeys()
{
    // The menu's paste (Ctrl+V) keeps the items' layers; so does Shift+Insert, while Ctrl+Shift+V
    // puts everything onto the current layer.
    auto* insert = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert), this);
    insert->setContext(Qt::WidgetWithChildrenShortcut);
    connect(insert, &QShortcut::activated, this, [this] { OnEditPaste(true, true); });
    auto* current = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), this);
    current->setContext(Qt::WidgetWithChildrenShortcut);
    connect(current, &QShortcut::activated, this, [this] { OnEditPaste(true, false); });
}

bool CVELTAView::OnEditViewCommand(int id)
{
    const bool shift = (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
    switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
        OnEditCutCopy(id == ID_EDIT_CUT);
        return true;
    case ID_EDIT_PASTE:
        OnEditPaste(shift, false);
        return true;
    case ID_EDIT_DELETE:
        m_input->DeleteSelection();
        return true;
    case ID_FLIP_X:
    case ID_FLIP_Y:
    case ID_ROTATE:
        OnFlipRotate(id, shift);
        return true;
    case ID_NUMERIC_MOVE:
        OnNumericMove();
        return true;
    default:
        return false;
    }
}

bool CVELTAView::OnUpdateEditViewCommand(int id, bool& enabled, bool& checked)
{
    checked = false;
    switch (id) {
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case BoardInput::kEditMove:
    case BoardInput::kEditCopy:
    case BoardInput::kAttrMove:
        enabled = m_input->CanEditSelection();
        return true;
    case ID_EDIT_DELETE:
        enabled = m_input->CanDeleteSelection();
        return true;
    case ID_EDIT_PASTE:
        enabled = CanPaste();
        return true;
    case ID_FLIP_X:
    case ID_FLIP_Y:
    case ID_ROTATE:
    case ID_NUMERIC_MOVE:
        enabled = m_input->CanFlipRotate();
        return true;
    default:
        return false;
    }
}

bool CVELTAView::CanPaste() const
{
    return m_input->CanPaste() && ClipboardHoldsText();
}

void CVELTAView::OnEditCutCopy(bool cut)
{
    if (!document_ || document_->IsSelectionEmpty())
        return;
    const int command = m_input->m_nCommand;
    const bool allowed = command == BoardInput::kMoveBase || command == BoardInput::kCopyBase ||
                         (!cut && command == BoardInput::kAttrMove);
    if (!allowed)
        return;
    const std::string text = m_input->SelectionText();
    platform::WriteItemClipboard(text);
    m_input->EndClipboardWrite(cut, true);
}

void CVELTAView::OnEditPaste(bool shift, bool fromShiftInsert)
{
    if (!document_ || !m_input->CanPaste())
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || (!data->hasFormat(QString::fromLatin1(platform::kItemMimeType)) && !data->hasText()))
        return;
    const std::optional<std::string> text = platform::ReadItemClipboard();
    if (!text) {
        ReportPaste(_J("クリップボードのテキストにはシフトJISで表せない文字があるため貼り付けできません"));
        return;
    }
    bool pasted = false;
    {
        const PasteWaitCursor wait;
        pasted = m_input->PasteText(*text, PasteKeepsLayers(shift, fromShiftInsert));
    }
    if (!pasted) {
        ReportPaste(_J("クリップボードのデータを読み込めません"));
        return;
    }
    // The pasted items hang on the cursor: it goes to their snapped centre.
    const CDPoint centre = m_input->m_ptCentre;
    const int scale = document_->GetCoordScale();
    MoveCursorToPoint(CPoint(platform::TruncateToInt32(centre.x * scale), platform::TruncateToInt32(centre.y * scale)));
    m_input->m_ptCursor = centre;
    ShowStatusText(centre);
}

void CVELTAView::OnFlipRotate(int id, bool shift)
{
    m_input->FlipRotate(id, shift);
}

void CVELTAView::OnNumericMove()
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!document_ || !dialogs || !m_input->CanFlipRotate())
        return;
    PointInDialogData data;
    data.copy = m_input->m_nCommand == BoardInput::kCopying;
    data.grid = document_->GetGrid(-1);
    data.hasGrid = true;
    if (!dialogs->RunPointInDialog(data))
        return;
    BoardInput::NumericMoveValues values;
    values.point = CDPoint(data.x, data.y);
    values.angleDeg = data.angleDeg;
    values.relative = data.moveAction;
    values.repeat = data.repeat;
    values.nameStep = data.count;
    values.scale = data.scale;
    m_input->NumericMove(values);
}
