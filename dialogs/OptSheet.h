#pragma once
// Option page "全般": the general settings of section "Sheet" (zoom step, pick distance, scrolling,
// cursor, work folder, bar and menu looks, sizes of the two recent lists).

#include "dialogs/OptPage.h"

#include <functional>
#include <string>

class CSpinButton;
class CEllipsisEdit;
class QLineEdit;
class QSlider;

// What the page needs of the application's recent lists.
struct RecentListHooks
{
    std::function<void()> writeLists;                    // both lists to the profile
    std::function<void(int files, int projects)> resize; // new sizes after OK
    std::function<void(bool projects)> clearList;        // a list emptied at once
};

class COptSheet : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 154,
        IdZoomSlider = 1011,
        IdZoomEdit = 1067,
        IdFullPath = 1066,
        IdTipHelp = 1071,
        IdWheelScroll = 1072,
        IdTrap = 1115,
        IdTrapSpin = 1116,
        IdWorkFolder = 1138,
        IdChangeFolder = 1139,
        IdAutoLoad = 1143,
        IdDispMax = 1144,
        IdFlatButton = 1159,
        IdBarGrid = 1160,
        IdMenuStyle = 1322,
        IdFileHistory = 1323
    };

    explicit COptSheet(RecentListHooks hooks, QWidget* parent = nullptr);

    // The section into the members.
    void LoadProfile();

    int m_nZoomAspect = 20;
    int m_nGridSize = 7;
    int m_nFullPath = 1;
    int m_nScroll = 0;
    int m_nAttrMove = 0;
    int m_nTipHelp = 0;
    int m_nWheelScroll = 0;
    int m_nTrap = 10;
    int m_nAutoLoad = 1;
    int m_nDispMax = 1;
    std::string m_strWorkFolder; // CP932
    int m_nCursor = 0;
    int m_nFlatButton = 0;
    int m_nBarGrid = 0;
    int m_nMenuStyle = 0;
    int m_nFileMRU = 16;
    int m_nProjectMRU = 16;

    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnChangeFolder();
    void OnFileHistory();

    RecentListHooks m_hooks;
    QSlider* m_zoomSlider;
    QLineEdit* m_zoomEdit;
    QLineEdit* m_trap;
    CSpinButton* m_trapSpin = nullptr;
    CEllipsisEdit* m_workFolder;
};
