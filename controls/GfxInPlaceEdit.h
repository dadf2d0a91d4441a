#pragma once
// The one-line editor the grid opens over a text cell. It reports a changed text once, when the
// edit ends, and asks the grid to move the editing on Tab, Shift+Tab and the arrow keys.

#include <QLineEdit>

class CGfxListCtrl;
class CGfxPopupMenu;

class CGfxInPlaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    CGfxInPlaceEdit(CGfxListCtrl* grid, int item, int column, const QString& text);

    int GetItem() const { return m_nItem; }
    int GetColumn() const { return m_nColumn; }
    bool IsCancelled() const { return m_bCancelled; }
    // Reports the text to the grid when it differs from the text the editor opened with; once.
    void CommitEdit();
    // Ends the edit, reporting the text first when commit is set; the editor goes away.
    void EndEdit(bool commit);
    // The edit menu of the right button, its items enabled for the present state.
    CGfxPopupMenu* CreateContextMenu();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Navigate(int code);
    void Close();
    void Widen();

    CGfxListCtrl* m_pGrid;
    int m_nItem, m_nColumn;
    QString m_strInitial;
    bool m_bCancelled = false;
    bool m_bCommitted = false;
    bool m_bDone = false;
};
