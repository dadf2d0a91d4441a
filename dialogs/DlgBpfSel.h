#pragma once
// Board settings file chooser ("基板設定ファイルの選択"): lists the settings files of a board's
// folder, shows the comment of the one selected, and hands back the chosen file's full path.

#include "libui/ItemDialog.h"

#include <string>
#include <vector>

class CVELTADoc;
class QComboBox;
class QPlainTextEdit;

class CDlgBpfSel : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 196,
        IdList = 1140,
        IdComment = 1142
    };

    explicit CDlgBpfSel(CVELTADoc* doc, QWidget* parent = nullptr);

    // In: the folder (CP932, with or without its trailing separator). After OK: the folder with the
    // chosen file name, the settings file to use.
    std::string m_strFolder;
    std::string m_strComment; // CP932

    // The document's choice among the names (CP932 file names of the folder): the index of the
    // file chosen, or -1 on Cancel.
    static int Run(QWidget* parent, const std::string& folder, const std::vector<std::string>& names,
                   CVELTADoc* doc);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnSelChange();
    void Preview(const std::string& name);
    std::string Folder() const;

    CVELTADoc* m_pDoc;
    QComboBox* m_list;
    QPlainTextEdit* m_comment;
};
