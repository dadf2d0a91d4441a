#pragma once
// Option page "ツール": saving the project's boards after a tool, the part-placement state, shell
// registration, the text editor and the twelve external programs of the Tools menu (section
// "Tool", and "Settings"/"Shell").

#include "dialogs/OptPage.h"

#include <array>
#include <string>

class CEllipsisEdit;
class QCheckBox;
class QLineEdit;

class COptTool : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 178,
        IdAutoSave = 1290,
        IdEditor = 1291,
        IdChooseEditor = 1292,
        IdFirstExtProg = 1293, // 1293 to 1304
        IdShell = 1305,
        IdPartCheck = 1330,
        IdPartPlace = 1332
    };

    explicit COptTool(QWidget* parent = nullptr);

    // The section into the members.
    void LoadProfile();
    // External program entry `index` (0 to 11) as stored.
    static std::string GetExtProg(int index);
    // The editor command as stored: trimmed, a placeholder "%f" after the program enclosed in
    // double quotes unless it already is.
    static std::string EditorCommand(const std::string& typed);

    int m_nAutoSave = 0;
    int m_nPartPlace = 1;
    int m_nShell = 1;
    std::string m_strEditor; // CP932; empty: the desktop's associated program
    std::array<std::string, 12> m_strExtProg;

    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnChooseEditor();
    void ShowPartPlace();

    QCheckBox* m_partPlace;
    QCheckBox* m_partCheck;
    CEllipsisEdit* m_editor;
    std::array<QLineEdit*, 12> m_extProg{};
};
