#pragma once
// Edit field for values typed as formulas: one value or a comma-separated list, ".." typed for
// ",". A field showing "***" stands for a value left unchanged. It is also the line edit of the
// formula history combo boxes.

#include "model/input/FormulaParser.h"

#include <QLineEdit>
#include <string>

class CFormulaEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CFormulaEdit(QWidget* parent = nullptr);

    // The number of values; ".." in the field is rewritten to "," first, so the user sees it.
    int GetValueCount();
    // Evaluates up to `maximum` values into values[]; a failure is shown in one plain message box.
    // An empty field gives false without a message.
    bool GetValue(double* values, int maximum);
    // True unless the field shows "***".
    bool IsChanged() const;
    void SetValue(double value);
    // The field's text in CP932.
    std::string GetText() const;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    CFormulaParser m_parser;
    QString m_good; // the last text CP932 can hold
};
