#include "controls/GfxComboEdit.h"

#include "controls/GfxInPlaceCombo.h"
#include "controls/GfxListCtrl.h"
#include "controls/GfxPopupMenu.h"

#include <QKeyEvent>
#include <QTimer>

CGfxComboEdit::CGfxComboEdit(CGfxInPlaceCombo* combo, const QString& text)
    : QLineEdit(text, combo), m_pCombo(combo)
{
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, &CGfxComboEdit::Complete);
}

void CGfxComboEdit::Complete(const QString& typed)
{
    if (m_bSuppress) {
        m_bSuppress = false;
        return;
    }
    const int n = m_pCombo->FindChoicePrefix(-1, typed);
    if (n < 0)
        return;
    const QString choice = m_pCombo->Choices().at(n);
    if (choice == typed)
        return;
    setText(choice);
    setSelection(static_cast<int>(typed.size()), static_cast<int>(choice.size() - typed.size()));
}

bool CGfxComboEdit::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && m_pCombo->HandleKey(key))
            return true;
    }
    return QLineEdit::event(event);
}

void CGfxComboEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        m_bSuppress = true;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (m_pCombo->HandleKey(event))
            return;
        break;
    default:
        break;
    }
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    // A Backspace that removed nothing leaves completion on for the next key.
    if (m_bSuppress && text() == before)
        m_bSuppress = false;
}

void CGfxComboEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason)
        return;
    QTimer::singleShot(0, m_pCombo, &CGfxInPlaceCombo::CheckFocus);
}

CGfxPopupMenu* CGfxComboEdit::CreateContextMenu()
{
    auto* grid = qobject_cast<CGfxListCtrl*>(m_pCombo->parentWidget()->parentWidget());
    return CGfxPopupMenu::CreateEditMenu(this, grid && grid->GetFlavour() == GfxFlavour::Library);
}

void CGfxComboEdit::contextMenuEvent(QContextMenuEvent* event)
{
    CGfxPopupMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CGfxComboEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (auto* grid = qobject_cast<CGfxListCtrl*>(m_pCombo->parentWidget()->parentWidget()))
        grid->EditorDoubleClicked();
}
