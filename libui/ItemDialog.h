#pragma once
// Base of the library's item dialogs. The dialog holds copies of the values; UpdateData moves
// them between the members and the controls in both directions (the subclass's DoDataExchange),
// and a save that meets a value out of range has shown its message and answers false. Controls
// are direct children of the dialog named by their ids, laid out in the dialog's grid or in the
// grid of a group frame.

#include "libui/DialogBuilder.h"

#include <QDialog>
#include <memory>
#include <string>

class CNumEdit;
class CDPoint;
class CFormulaEdit;
class CNumSpinCtrl;
class CSpinButton;
class QAbstractButton;
class QLineEdit;

// The rule of the turret and table fields while the user types: the text's whole number is taken
// when it is negative (the "unchanged" marker), or when it lies in 0..maximum and the text is not
// empty once leading '*', blanks and tabs are removed; a larger number is left for the check at OK.
bool ReadTableField(const QString& text, int maximum, int& value);
// The check of such a field at OK: in multiple mode a field still showing only "***" gives -1;
// anything else must be a whole number from minimum to maximum (the range message otherwise).
bool CheckTableField(QLineEdit* field, bool multiple, int minimum, int maximum, int& value);

// The field's text in CP932; a character CP932 cannot hold is refused with a message and the field
// takes the focus.
bool FieldText(QLineEdit* field, std::string& text);

// The position fields at OK: a new item needs both coordinates or neither changed ("座標指定エラー");
// each changed field must hold a value (an empty one gives the same message). point keeps the
// coordinates whose fields are unchanged.
bool ReadPositionFields(CFormulaEdit* x, CFormulaEdit* y, bool editing, CDPoint& point);

class CItemDialog : public QDialog
{
    Q_OBJECT
public:
    CItemDialog(int templateId, const QString& caption, QWidget* parent);
    ~CItemDialog() override;

    // save: controls to members (false when a value was refused); otherwise members to controls.
    bool UpdateData(bool save = true);
    // Fills the controls (once) and runs the dialog modally.
    int DoModal();
    bool IsInitialised() const { return m_initialised; }

protected:
    virtual void OnInitDialog() {}
    virtual bool DoDataExchange(bool save) = 0;
    void showEvent(QShowEvent* event) override;

    CDialogBuilder& Builder() { return *m_builder; }
    // The mode handler: a click on the button runs UpdateData(true).
    void ExchangeOnClick(QAbstractButton* button);
    // Coordinate, numeric and turret fields take no input method.
    static void NoInputMethod(QWidget* field);
    // A frame with a caption around a grid of its own, placed in the dialog's grid.
    QGridLayout* AddGroup(const QString& caption, int row, int column, int rowSpan = 1, int columnSpan = 1);
    // Places a control the builder made (with row -1) into a grid.
    template <typename T>
    T* Put(QGridLayout* grid, T* control, int row, int column, int rowSpan = 1, int columnSpan = 1,
           Qt::Alignment alignment = Qt::Alignment())
    {
        grid->addWidget(control, row, column, rowSpan, columnSpan, alignment);
        return control;
    }
    // A numeric field with its up-down in one cell.
    CNumEdit* AddNumField(QGridLayout* grid, int id, int spinId, CNumSpinCtrl*& spin, int row, int column);
    // A whole-number field with its up-down in one cell (input methods off).
    QLineEdit* AddIntField(QGridLayout* grid, int id, int spinId, CSpinButton*& spin, int row, int column);
    // Digits only (single mode) or any character (multiple mode, where "***" may stand).
    static void SetDigitsOnly(QLineEdit* field, bool digitsOnly);
    QGridLayout* Grid() { return m_builder->Grid(); }


    // The same frame inside another group's grid.
    QGridLayout* AddGroup(QGridLayout* outer, const QString& caption, int row, int column,
                          int rowSpan = 1, int columnSpan = 1);

private:
    std::unique_ptr<CDialogBuilder> m_builder;
    bool m_initialised = false;
};
