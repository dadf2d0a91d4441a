#include "controls/GfxInPlaceEdit.h"

#include "controls/GfxListCtrl.h"
#include "controls/GfxPopupMenu.h"
#include "platform/qt/QtText.h"

#include <QKeyEvent>

CGfxInPlaceEdit::CGfxInPlaceEdit(CGfxListCtrl* grid, int item, int column, const QString& text)
    : QLineEdit(text, grid->viewport()), m_pGrid(grid), m_nItem(item), m_nColumn(column), m_strInitial(text)
{
    setObjectName(QStringLiteral("103"));
    setFrame(false);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QLineEdit::textChanged, this, &CGfxInPlaceEdit::Widen);
}

void CGfxInPlaceEdit::CommitEdit()
{
    if (m_bCommitted || m_bCancelled)
        return;
    m_bCommitted = true;
    if (text() == m_strInitial)
        return;
    // Text CP932 cannot hold is not stored; the cell keeps the owner's text.
    if (const auto bytes = platform::QStringToCp932(text()))
        m_pGrid->OnEndLabelEdit(m_nItem, m_nColumn, &*bytes);
}

void CGfxInPlaceEdit::EndEdit(bool commit)
{
    if (commit)
        CommitEdit();
    else
        m_bCancelled = true;
    Close();
}

void CGfxInPlaceEdit::Close()
{
    if (m_bDone)
        return;
    m_bDone = true;
    hide();
    deleteLater();
}

void CGfxInPlaceEdit::Navigate(int code)
{
    CommitEdit();
    Close();
    m_pGrid->setFocus();
    m_pGrid->OnEditNavigate(code, m_nItem, m_nColumn);
}

bool CGfxInPlaceEdit::event(QEvent* event)
{
    // Tab moves the editing, not the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            Navigate(back ? GFXNAV_PREV : GFXNAV_NEXT);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CGfxInPlaceEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        if (cursorPosition() == 0 && !hasSelectedText())
            return Navigate(GFXNAV_LEFT);
        break;
    case Qt::Key_Right:
        if (cursorPosition() == text().size() && !hasSelectedText())
            return Navigate(GFXNAV_RIGHT);
        break;
    case Qt::Key_Up:
        return Navigate(GFXNAV_UP);
    case Qt::Key_Down:
        return Navigate(GFXNAV_DOWN);
    case Qt::Key_Escape:
        m_bCancelled = true;
        m_pGrid->setFocus();
        Close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CommitEdit();
        m_pGrid->setFocus();
        Close();
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void CGfxInPlaceEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu of our own takes the focus for a while; the edit goes on.
    if (m_bDone || event->reason() == Qt::PopupFocusReason)
        return;
    CommitEdit();
    Close();
}

void CGfxInPlaceEdit::Widen()
{
    const int needed = fontMetrics().horizontalAdvance(text()) + 5;
    if (needed <= width())
        return;
    const int right = std::max(m_pGrid->viewport()->width(), x() + needed);
    resize(right - x(), height());
}

CGfxPopupMenu* CGfxInPlaceEdit::CreateContextMenu()
{
    return CGfxPopupMenu::CreateEditMenu(this, m_pGrid->GetFlavour() == GfxFlavour::Library);
}

void CGfxInPlaceEdit::contextMenuEvent(QContextMenuEvent* event)
{
    CGfxPopupMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CGfxInPlaceEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    m_pGrid->EditorDoubleClicked();
}
