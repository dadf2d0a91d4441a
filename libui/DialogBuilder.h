#pragma once
// Builds a dialog's controls in code: each control gets its id as object name (so FindControl
// and the tests address it by id), its caption, its place in the dialog's grid layout and, when a
// mnemonic label was added just before it, that label's buddy. Controls are children of the
// dialog itself, in the order added, which is also the tab order.

#include <QGridLayout>
#include <QString>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The id a control was given (0 for none).
int ControlId(const QWidget* control);

// The dialog's control with the id, or null.
QWidget* FindControl(const QWidget* dialog, int id);
template <typename T> T* FindControl(const QWidget* dialog, int id)
{
    return qobject_cast<T*>(FindControl(dialog, id));
}

// The range check of a dialog's field at OK: the text of the field must be a whole number
// (a number) from minimum to maximum. Otherwise the range message is shown, the field takes the
// focus with its text selected, and false is given.
bool CheckIntRange(QLineEdit* field, int minimum, int maximum, int& value);
bool CheckNumberRange(QLineEdit* field, double minimum, double maximum, double& value);

class CDialogBuilder
{
public:
    // Standard ids of the OK and Cancel buttons.
    static constexpr int IdOk = 1;
    static constexpr int IdCancel = 2;

    explicit CDialogBuilder(QWidget* dialog);

    QGridLayout* Grid() const { return m_grid; }

    // Places a control created by the caller (parent set to the dialog) and names it.
    template <typename T>
    T* Add(int id, T* control, int row, int column, int rowSpan = 1, int columnSpan = 1,
           Qt::Alignment alignment = Qt::Alignment())
    {
        Place(id, control, row, column, rowSpan, columnSpan, alignment);
        return control;
    }
    // A label; with a mnemonic ("&") it becomes the buddy of the next control added.
    QLabel* Label(const QString& caption, int row, int column, int rowSpan = 1, int columnSpan = 1);
    QPushButton* Button(int id, const QString& caption, int row, int column, int rowSpan = 1,
                        int columnSpan = 1);
    QRadioButton* Radio(QButtonGroup* group, int id, const QString& caption, int row, int column,
                        int rowSpan = 1, int columnSpan = 1);
    QCheckBox* Check(int id, const QString& caption, int row, int column, int rowSpan = 1,
                     int columnSpan = 1);
    // OK (default) and Cancel, wired to the dialog's accept and reject when it is a QDialog.
    void OkCancel(int row, int column, Qt::Orientation orientation = Qt::Vertical);

    QWidget* Dialog() const { return m_dialog; }

private:
    void Place(int id, QWidget* control, int row, int column, int rowSpan, int columnSpan,
               Qt::Alignment alignment);

    QWidget* m_dialog;
    QGridLayout* m_grid;
    QLabel* m_pendingLabel = nullptr;
};
