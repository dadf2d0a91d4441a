#pragma once
// The drop-down editor the grid opens over a choice cell: a text part (typed text with completion
// when editable, a painted text otherwise), a drop button and, while open, a drop-down list placed
// inside the grid. It reports a changed text once, when the edit ends.

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class CGfxListCtrl;
class CGfxComboEdit;
class CGfxComboStatic;

class CGfxComboList : public QListWidget
{
    Q_OBJECT

public:
    CGfxComboList(class CGfxInPlaceCombo* combo, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGfxInPlaceCombo* m_pCombo;
};

class CGfxInPlaceCombo : public QWidget
{
    Q_OBJECT

public:
    CGfxInPlaceCombo(CGfxListCtrl* grid, int item, int column, const QString& text,
                     const QStringList& choices, bool editable, bool flat);

    int GetItem() const { return m_nItem; }
    int GetColumn() const { return m_nColumn; }
    bool IsEditable() const { return m_bEditable; }
    bool IsCancelled() const { return m_bCancelled; }
    QString Text() const;
    int GetCurrentChoice() const { return m_nCurrent; }
    const QStringList& Choices() const { return m_choices; }
    CGfxComboEdit* EditPart() const { return m_pEdit; }
    CGfxComboList* DropList() const { return m_pList; }
    void SetTextColor(const QColor& colour);

    void CommitEdit();
    // Ends the edit, reporting the text first when commit is set; the editor goes away.
    void EndEdit(bool commit);
    void SelectChoice(int n);
    int FindChoiceExact(const QString& text) const;
    int FindChoicePrefix(int from, const QString& text) const;
    QString FindChoiceByInitial(QChar ch);
    // Shows the text; a choice index of 0 or more becomes the current choice.
    void SetChoiceText(int index, const QString& text);

    QRect ButtonRect() const;
    void DropDown();
    void CloseList(bool focusBack);
    void PickFromList();
    // Keys shared by the combo and its text part; true when handled.
    bool HandleKey(QKeyEvent* event);
    // After a part lost the focus: ends the edit when the focus left the combo and its list.
    void CheckFocus();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Navigate(int code);
    void Close();

    CGfxListCtrl* m_pGrid;
    int m_nItem, m_nColumn;
    QString m_strInitial;
    QStringList m_choices;
    bool m_bEditable;
    bool m_bFlat;
    int m_nCurrent = -1;
    bool m_bCancelled = false, m_bCommitted = false, m_bDone = false;
    CGfxComboEdit* m_pEdit = nullptr;
    CGfxComboStatic* m_pStatic = nullptr;
    QPointer<CGfxComboList> m_pList;
};
