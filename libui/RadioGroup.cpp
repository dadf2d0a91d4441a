#include "libui/RadioGroup.h"

#include <QAbstractButton>

CRadioGroup::CRadioGroup(QObject* parent) : QButtonGroup(parent)
{
    connect(this, &QButtonGroup::buttonPressed, this,
            [this](QAbstractButton* button) { m_wasChecked = button->isChecked(); });
    connect(this, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* button) {
        if (m_clearable && m_wasChecked) {
            setExclusive(false);
            button->setChecked(false);
            setExclusive(true);
        }
        m_wasChecked = false;
        emit choiceClicked(Get());
    });
}

void CRadioGroup::Add(QAbstractButton* button, int value)
{
    addButton(button, value);
}

void CRadioGroup::Set(int value)
{
    if (QAbstractButton* chosen = value >= 0 ? button(value) : nullptr) {
        chosen->setChecked(true);
        return;
    }
    setExclusive(false);
    for (QAbstractButton* each : buttons())
        each->setChecked(false);
    setExclusive(true);
}
