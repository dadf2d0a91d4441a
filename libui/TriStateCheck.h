#pragma once
// Check box of the item dialogs. Its state is the records' number: 0 clear, 1 set, 2 indeterminate
// (the value is left unchanged on every selected item). A three-state box cycles clear -> set ->
// indeterminate -> clear on each click, as the automatic three-state boxes the records come from.

#include <QCheckBox>

class CTriStateCheck : public QCheckBox
{
    Q_OBJECT
public:
    explicit CTriStateCheck(const QString& caption, QWidget* parent = nullptr);

    int GetState() const;
    // Any value but 0 and 1 is the indeterminate state on a three-state box, and clear otherwise.
    void SetState(int state);

protected:
    void nextCheckState() override;
};
