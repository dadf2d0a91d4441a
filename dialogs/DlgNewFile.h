#pragma once
// New design file dialog ("新規設計ファイル"): names the project folder of a new board, picks the
// board settings file it starts from (with its comment and work area), and sets the work area and
// user origin. With no folder given, OK creates the project folder and copies the settings file
// into it; with a folder given, the board uses a settings file of that folder.

#include "document/DocumentHost.h"
#include "libui/ItemDialog.h"

#include <optional>
#include <string>

class CEllipsisEdit;
class CFolderCombo;
class CNumEdit;
class CNumSpinCtrl;
class CVELTADoc;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

class CDlgNewFile : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 161,
        IdWorkFolder = 1138,
        IdChangeBase = 1139,
        IdList = 1140,
        IdComment = 1142,
        IdProject = 1145,
        IdWidth = 1306,
        IdHeight = 1307,
        IdOriginX = 1308,
        IdOriginY = 1309,
        IdWidthSpin = 1310,
        IdHeightSpin = 1311,
        IdOriginXSpin = 1312,
        IdOriginYSpin = 1313
    };
    static constexpr int kProjectNameLength = 32;

    explicit CDlgNewFile(CVELTADoc* doc, QWidget* parent = nullptr);

    // In: the board's folder (empty: none given). After OK: the project folder, without a trailing
    // separator.
    QString m_workFolder;
    QString m_baseFolder; // with its trailing separator
    QString m_projectName;
    QString m_comment;
    double m_dWidth = 327.0;
    double m_dHeight = 327.0;
    double m_dOriginX = 25.4;
    double m_dOriginY = 25.4;
    QString m_result; // after OK: the settings file the new board uses

    bool IsFolderGiven() const { return m_bFolderGiven; }

    // The document's new design dialog on the proposed folder (CP932, may be empty).
    static std::optional<NewDesignChoice> Run(QWidget* parent, const std::string& folder, CVELTADoc* doc);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void ListSettingFiles(const QString& folder);
    void TakeSheetSize();
    void OnSelChange();
    void OnChangeBase();
    void OnWorkFolderEdited();
    void OnProjectEdited();
    void ShowWorkFolder();
    QString SettingFolder() const;
    bool CheckValues();
    bool MakeProjectCopy(const QString& name, QString& target, bool& existing);

    CVELTADoc* m_pDoc;
    bool m_bFolderGiven = false;
    CFolderCombo* m_project;
    QComboBox* m_list;
    QPlainTextEdit* m_commentEdit;
    CEllipsisEdit* m_workEdit;
    QPushButton* m_changeBase;
    CNumEdit* m_width;
    CNumEdit* m_height;
    CNumEdit* m_originX;
    CNumEdit* m_originY;
    CNumSpinCtrl* m_widthSpin = nullptr;
    CNumSpinCtrl* m_heightSpin = nullptr;
    CNumSpinCtrl* m_originXSpin = nullptr;
    CNumSpinCtrl* m_originYSpin = nullptr;
    bool m_bShowing = false; // controls being filled: their change signals are not the user's
};
