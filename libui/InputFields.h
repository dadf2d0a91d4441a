#pragma once
// Pieces the point and number input dialogs share: the unit radio group, the formula field in a
// history combo box, and the reading of one or two values.

#include <QButtonGroup>

class CDialogBuilder;
class CFormulaEdit;
class CHistoryCombo;

// The four unit buttons ("&mm", "i&nch", "m&ill", "&Grid") in one row from (row, column).
QButtonGroup* AddUnitButtons(CDialogBuilder& builder, int row, int column);
// The button id of a unit (0..3) and the unit of a button id (millimetres for any other).
int UnitButtonId(int unit);
int UnitOfButton(int id);
// A formula field as the combo box's line edit.
CFormulaEdit* AttachFormulaEdit(CHistoryCombo* combo);
// One or two values of the field: their count (1 or 2), or 0 when the field is empty, does not
// evaluate (the message has been shown) or holds more than `maximum` values (shown as a read stopped at the
// comma after the last one).
int ReadValues(CFormulaEdit* edit, double* values, int maximum);
