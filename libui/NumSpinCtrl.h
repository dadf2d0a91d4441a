#pragma once
// Up-down control whose buddy is a numeric field: each click steps the field by its step. Its own
// position is kept near the middle of 0..1000 so that it never stops at an end.

#include "libui/SpinButton.h"

class CNumEdit;

class CNumSpinCtrl : public CSpinButton
{
    Q_OBJECT
public:
    explicit CNumSpinCtrl(QWidget* parent = nullptr);

    virtual void SetStep(double step);
    virtual double GetStep() const;
    // A numeric field as buddy starts at 0.
    virtual void SetBuddy(QWidget* buddy);
    virtual QWidget* GetBuddy() const { return GetBuddyWidget(); }
    virtual void GetRange(double& minimum, double& maximum) const;
    virtual void SetRange(double minimum, double maximum);
    virtual double GetPos() const;
    virtual void SetPos(double value);

protected:
    bool OnDeltapos(int& position, int delta) override;

private:
    CNumEdit* Edit() const;
};
