#pragma once
// Option page "線入力": the angle modes of line, surface and arc input (section "Line"), each with
// a switch that turns automatic mode changes on, and the mouse habits of line input.

#include "dialogs/OptPage.h"

class COptLine : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 171,
        IdLineAuto = 1239,
        IdSurAuto = 1241,
        IdArcAuto = 1240,
        IdPathLine = 1236,
        IdMidLineLock = 1237,
        IdMouseLock = 1245,
        IdTerEnd = 1238
    };

    explicit COptLine(QWidget* parent = nullptr);

    int m_nLineAutoLock = 0;
    int m_nLineLockMode = 1;
    int m_nSurAutoLock = 0;
    int m_nSurLockMode = 1;
    int m_nArcAutoLock = 0;
    int m_nArcLockMode = 0;
    int m_nPathLine = 0;
    int m_nMidLineLock = 0;
    int m_nMouseLock = 0;
    int m_nTerEnd = 0;

    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void ApplyEnabling();
};
