#pragma once
// Radio buttons that stand for one number (the button's value). In multiple mode a group may be
// left empty, meaning "unchanged": there a click on the chosen button clears the group.

#include <QButtonGroup>

class CRadioGroup : public QButtonGroup
{
    Q_OBJECT
public:
    explicit CRadioGroup(QObject* parent = nullptr);

    void Add(QAbstractButton* button, int value);
    // The chosen value, -1 when none is chosen.
    int Get() const { return checkedId(); }
    // A value no button has clears the group.
    void Set(int value);
    void SetClearable(bool clearable) { m_clearable = clearable; }
    bool IsClearable() const { return m_clearable; }

signals:
    // After a click has been applied (also one that cleared the group).
    void choiceClicked(int value);

private:
    bool m_clearable = false;
    bool m_wasChecked = false;
};
