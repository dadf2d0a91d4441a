#pragma once
// List of rows with check boxes, each row carrying a number. Rows of a three-state list cycle
// clear -> set -> indeterminate -> clear when their box is clicked or Space is pressed; states are
// the records' numbers (0, 1, 2). checkChanged tells of the user's changes only.

#include <QListWidget>

class CCheckListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit CCheckListBox(QWidget* parent = nullptr);

    void SetTriState(bool triState) { m_triState = triState; }
    bool IsTriState() const { return m_triState; }
    int AddRow(const QString& text, int data, int state);
    int GetCheck(int row) const;
    void SetCheck(int row, int state);
    int GetRowData(int row) const;
    // The next state of a click on a row's box.
    int NextState(int state) const;
    // Toggles the row as a click on its box does, and tells of it.
    void CycleRow(int row);
    // The width the widest row needs, with its box and a vertical scroll bar.
    int WidestRowWidth() const;

signals:
    void checkChanged(int row);

private:
    bool m_triState = false;
};
