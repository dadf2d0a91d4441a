#pragma once
// Option page "保存": backups, automatic saving (in place or into a folder of its own), the undo
// count that triggers it, its delay and the metafile options (section "FileSave"). The page can
// also delete the automatic-save files of that folder.

#include "dialogs/OptPage.h"

#include <filesystem>
#include <string>
#include <vector>

class CEllipsisEdit;
class CSpinButton;
class QLineEdit;
class QSlider;

class COptFileSave : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 153,
        IdBackUp = 1053,
        IdAutoSave = 1054,
        IdFileUpdate = 1055,
        IdSaveToFolder = 1056,
        IdFloppy = 1057,
        IdDelaySlider = 1058,
        IdUndoCount = 1059,
        IdUndoSpin = 1060,
        IdDelayTime = 1061,
        IdSaveFolder = 1062,
        IdLibraryBackUp = 1063,
        IdEmfBackDraw = 1064,
        IdDeleteFiles = 1065,
        IdEmfTextBug = 1068,
        IdBrowse = 1209,
        IdOldSave = 1299
    };

    explicit COptFileSave(QWidget* parent = nullptr);

    // The automatic-save files of a folder: its own and its sub-folders' "*.bak" and "*.vbd"
    // files (any letter case), in deletion order.
    static std::vector<std::filesystem::path> AutoSaveFiles(const std::filesystem::path& folder);

    int m_nBackUp = 1;
    int m_nAutoSave = 0;
    int m_nFileUpdate = 0;
    int m_nFloppy = 1;
    int m_nUndoCount = 100;
    int m_nDelayTime = 5;
    std::string m_strSaveFolder; // CP932
    int m_nLibraryBackUp = 1;
    int m_nEmfBackDraw = 1;
    int m_nEmfTextBug = 0;
    int m_nOldSave = 0;

    bool CanApply() override;
    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void ApplyEnabling();
    void OnBrowse();
    void OnDeleteFiles();

    QLineEdit* m_undoCount;
    CSpinButton* m_undoSpin = nullptr;
    QSlider* m_delaySlider;
    QLineEdit* m_delayTime;
    CEllipsisEdit* m_saveFolder;
};
