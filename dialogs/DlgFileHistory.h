#pragma once
// File history dialog ("ファイル履歴"): how many recent boards and recent projects the program lists
// (1 to 16 each), with a button per list that empties it at once.

#include "libui/ItemDialog.h"

#include <functional>

class CSpinButton;
class QLineEdit;
class QPushButton;

class CDlgFileHistory : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 181,
        IdFileCount = 1324,
        IdProjectCount = 1325,
        IdClearFiles = 1326,
        IdClearProjects = 1327,
        IdFileSpin = 1328,
        IdProjectSpin = 1329
    };

    // clearRecentList empties the application's recent-file list (false) or project list (true)
    // and writes it to the profile.
    explicit CDlgFileHistory(std::function<void(bool projects)> clearRecentList, QWidget* parent = nullptr);

    int m_nFileCount = 4;
    int m_nProjectCount = 4;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnClear(bool projects);

    std::function<void(bool)> m_clearRecentList;
    QLineEdit* m_fileCount;
    QLineEdit* m_projectCount;
    CSpinButton* m_fileSpin = nullptr;
    CSpinButton* m_projectSpin = nullptr;
    QPushButton* m_clearFiles;
    QPushButton* m_clearProjects;
};
