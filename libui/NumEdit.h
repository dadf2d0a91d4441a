#pragma once
// Edit field holding one number within a range. Typing, pasting and dropping are checked as
// they happen: a change that does not leave a valid number (or a lone "+", "-" or ".") is undone,
// the text selected, and the keys already waiting are dropped.

#include "model/input/NumberRule.h"

#include <QLineEdit>
#include <string>

class CNumEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CNumEdit(QWidget* parent = nullptr);

    virtual void Step(int count, bool wrap);
    virtual double GetStep() const { return m_rule.step; }
    virtual void SetStep(double step) { m_rule.step = step; }
    virtual void GetRange(double& minimum, double& maximum) const;
    virtual void SetRange(double minimum, double maximum);
    virtual bool GetShowErrors() const { return m_showErrors; }
    virtual void SetShowErrors(bool show) { m_showErrors = show; }
    // 0 valid, 1 out of range, 2 not a number, 3 an entry still being typed; a message box with
    // the stop icon for 1 and 2 when errors are shown.
    virtual int CheckText(const std::string& text);
    // As CheckText for the field's own text, where a number below the minimum that is 0 or more
    // still counts as valid (it may grow into the range).
    virtual int CheckWindowText();
    virtual void SetUnchangedValue(double value) { m_rule.unchangedValue = value; }
    virtual double GetUnchangedValue() const { return m_rule.unchangedValue; }
    // False, and nothing changes, for a value outside the range.
    virtual bool SetValue(double value);
    // The value of the text; for a text that is not a valid number the minimum, with *valid false.
    virtual double GetValue(bool* valid = nullptr) const;
    virtual bool IsChanged() const;
    virtual std::string GetFormat(double value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnEdited(const QString& text);
    int ShowCheck(int check);

    CNumberRule m_rule;
    bool m_showErrors = false;
    QString m_accepted;       // the text before the change being checked
    bool m_typedStar = false; // the change is a typed "*"
    bool m_dropKeys = false;  // keys are dropped until the event loop has run
};
