#pragma once
// The typed text part of an editable drop-down cell editor: completes the typed beginning to the
// first matching choice, except right after Backspace or Delete.

#include <QLineEdit>

class CGfxInPlaceCombo;
class CGfxPopupMenu;

class CGfxComboEdit : public QLineEdit
{
    Q_OBJECT

public:
    CGfxComboEdit(CGfxInPlaceCombo* combo, const QString& text);
    CGfxPopupMenu* CreateContextMenu();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Complete(const QString& typed);

    CGfxInPlaceCombo* m_pCombo;
    bool m_bSuppress = false;
};
