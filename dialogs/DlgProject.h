#pragma once
// Project dialog ("プロジェクト"): picks or creates a project file, adds and removes its works
// (boards of the project folder), sets each work's net list, chooses the board settings file of
// the folder, opens one or all boards and writes the project file on OK.

#include "document/ProjectFile.h"
#include "libui/ItemDialog.h"

#include <QStringList>

#include <string>

class CEllipsisEdit;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

class CDlgProject : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 162,
        IdAdd = 1128,
        IdRemove = 1129,
        IdOpenAll = 1130,
        IdOpen = 1131,
        IdSettings = 1140,
        IdWorks = 1148,
        IdProject = 1149,
        IdUseNet = 1150,
        IdFormat = 1156,
        IdNetFile = 1157,
        IdPartFile = 1158,
        IdNorva = 1159,
        IdProjectBrowse = 1209,
        IdNetBrowse = 1210,
        IdPartBrowse = 1211,
        IdNorvaBrowse = 1212
    };
    static constexpr int kFormats = 18;

    // What the dialog needs of the application: the project history, the current project and
    // opening boards, the sibling program's save folder and the file choosers.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual int GetRecentSize() = 0;
        virtual void ClearRecent() = 0;
        virtual void AddRecent(const std::string& path) = 0; // at the top
        virtual void WriteRecent() = 0;
        virtual void SetProjectPath(const std::string& path) = 0;
        virtual void OpenCurrentProject() = 0;
        virtual void OpenBoardFile(const std::string& path) = 0;
        // "SaveBase" of the sibling program's "FileSave" section (CP932), empty when absent.
        virtual std::string GetNorvaSaveBase() = 0;

        enum FileMode
        {
            OpenOrCreate, // one file, which need not exist
            OpenOne,      // one existing file
            OpenMany      // several existing files
        };
        // A file dialog; the chosen paths, empty on Cancel. filter is a Qt filter string.
        virtual QStringList ChooseFiles(QWidget* parent, FileMode mode, const QString& folder,
                                        const QString& filter);
    };

    explicit CDlgProject(Host& host, QWidget* parent = nullptr);

    ProjectWorks m_works{};
    int m_nWorks = 0;
    std::string m_strProject; // CP932, the project file path
    std::string m_strNorva;   // CP932, the NORVA project path
    int m_nSettings = -1;

    // The work whose fields the net group shows (an index of m_works), -1 for none.
    int ShownWork() const { return m_nShownWork; }

    void LoadProject(bool ask);
    void FillWorkList();
    void ShowWork();
    void FillSettingsFileList();
    // Whether path lies in the folder of reference (letter case aside); the message otherwise.
    static bool IsInProjectFolder(const std::string& reference, const std::string& path);
    bool WriteProjectFile();

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int SelectedWork() const;
    void EnableControls();
    bool ListHolds(const std::string& name, bool prefix) const;
    void AddWork(const std::string& name);
    void OnProjectBrowse();
    void OnProjectChosen(int index);
    void OnAdd();
    void OnRemove();
    void OnFileBrowse(bool net);
    void OnNorvaBrowse();
    void OnNorvaLeft();
    void OnUseNet();
    void OnWorkSelected();
    void OnOpen();
    void OnOpenAll();

    Host& m_host;
    QComboBox* m_project;
    CEllipsisEdit* m_norva;
    QComboBox* m_settings;
    QListWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_openAll;
    QPushButton* m_open;
    QCheckBox* m_useNet;
    QComboBox* m_format;
    CEllipsisEdit* m_netFile;
    CEllipsisEdit* m_partFile;
    int m_nShownWork = -1;
    bool m_bFilling = false;
};
