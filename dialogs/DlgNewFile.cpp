#include "dialogs/DlgNewFile.h"

#include "controls/EllipsisEdit.h"
#include "controls/FolderCombo.h"
#include "controls/WidestItemWidth.h"
#include "dialogs/FolderBrowser.h"
#include "dialogs/SettingPathRedirect.h"
#include "dialogs/WorkAreaFields.h"
#include "document/BoardFileSupport.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

namespace fs = std::filesystem;

namespace {

// The project list, telling the dialog when it drops down.
class CProjectCombo : public CFolderCombo
{
public:
    using CFolderCombo::CFolderCombo;
    std::function<void()> onDropDown;
    void showPopup() override
    {
        if (onDropDown)
            onDropDown();
        CFolderCombo::showPopup();
    }
};

QString FromPath(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

fs::path ToPath(const QString& text)
{
    return fs::path(text.toStdString());
}

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QString WithoutTrailingSeparators(QString text)
{
    while (text.size() > 1 && IsSeparator(text.back()))
        text.chop(1);
    return text;
}

QString WithTrailingSeparator(const QString& text)
{
    return text.isEmpty() || IsSeparator(text.back()) ? text : text + QLatin1Char('/');
}

// "Sheet"/"WorkFolder" as the view options keep it: trailing blanks and one separator removed;
// empty stands for the user's documents folder.
QString ProfileWorkFolder()
{
    QString folder =
        platform::Cp932ToQString(platform::GetProfile().GetString("Sheet", "WorkFolder")).trimmed();
    if (folder.size() > 1 && IsSeparator(folder.back()))
        folder.chop(1);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // A desktop without a documents folder: the project folder goes under the home folder
        // rather than failing to be made one level below a folder that is not there.
        if (!QFileInfo(folder).isDir())
            folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    }
    return folder;
}

bool Refuse(const std::string& message)
{
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

} // namespace

CDlgNewFile::CDlgNewFile(CVELTADoc* doc, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("新規設計ファイル"), parent), m_pDoc(doc)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("プロジェクト名(&P)"), 0, 0);
    auto* project = new CProjectCombo(this);
    m_project = b.Add(IdProject, static_cast<CFolderCombo*>(project), 0, 1, 1, 2);
    m_project->lineEdit()->setMaxLength(kProjectNameLength);
    b.Label(QString::fromUtf8("基板設計ファイル(&BPF)"), 1, 0);
    m_list = b.Add(IdList, new QComboBox(this), 1, 1, 1, 2);
    Grid()->setAlignment(b.Label(QString::fromUtf8("コメント(&C)"), 2, 0, 1, 1), Qt::AlignTop);
    m_commentEdit = b.Add(IdComment, new QPlainTextEdit(this), 2, 1, 2, 2);
    m_commentEdit->setFixedHeight(96);
    b.Label(QString::fromUtf8("作業フォルダ(&W)"), 4, 0);
    m_workEdit = b.Add(IdWorkFolder, new CEllipsisEdit(true, this), 4, 1);
    m_workEdit->setMinimumWidth(300);
    m_changeBase = b.Button(IdChangeBase, QString::fromUtf8("基準変更(&G)"), 4, 2);

    QGridLayout* area = AddGroup(QString::fromUtf8("作業領域"), 5, 0, 1, 3);
    auto addField = [&](const char* label, int id, int spinId, CNumSpinCtrl*& spin, int row, int column) {
        Put(area, b.Label(QString::fromUtf8(label), -1, 0), row, column);
        CNumEdit* edit = AddNumField(area, id, spinId, spin, row, column + 1);
        NoInputMethod(edit);
        return edit;
    };
    m_width = addField("幅(&D)", IdWidth, IdWidthSpin, m_widthSpin, 0, 0);
    m_height = addField("高さ(&E)", IdHeight, IdHeightSpin, m_heightSpin, 0, 2);
    m_originX = addField("原点&X", IdOriginX, IdOriginXSpin, m_originXSpin, 1, 0);
    m_originY = addField("原点&Y", IdOriginY, IdOriginYSpin, m_originYSpin, 1, 2);
    b.OkCancel(0, 3);

    project->onDropDown = [this] {
        if (m_bFolderGiven)
            return;
        m_workFolder = m_baseFolder;
        m_workEdit->setText(m_workFolder);
    };
    connect(m_project, &QComboBox::editTextChanged, this, [this] {
        if (!m_bShowing)
            OnProjectEdited();
    });
    connect(m_project, &QComboBox::activated, this, [this] { OnProjectEdited(); });
    connect(m_list, &QComboBox::activated, this, &CDlgNewFile::OnSelChange);
    connect(m_changeBase, &QPushButton::clicked, this, &CDlgNewFile::OnChangeBase);
    connect(m_workEdit, &QLineEdit::editingFinished, this, &CDlgNewFile::OnWorkFolderEdited);
}

void CDlgNewFile::ListSettingFiles(const QString& folder)
{
    m_list->clear();
    for (const std::string& name : docfile::FindSettingFiles(ToPath(folder)))
        m_list->addItem(platform::Cp932ToQString(name));
    if (m_list->count() == 0) {
        AfxMessageBox(_J("基板設計ファイルが見つかりません"));
        return;
    }
    m_list->view()->setMinimumWidth(GetWidestItemWidth(*m_list));
    m_list->setCurrentIndex(0);
}

void CDlgNewFile::TakeSheetSize()
{
    const CDSize size = m_pDoc->GetBoardSize();
    const CDPoint origin = m_pDoc->GetUserOrigin();
    m_dWidth = size.cx;
    m_dHeight = size.cy;
    m_dOriginX = origin.x;
    m_dOriginY = origin.y;
}

QString CDlgNewFile::SettingFolder() const
{
    return m_bFolderGiven ? WithTrailingSeparator(m_workFolder) : FromPath(GetProgramFolder());
}

void CDlgNewFile::OnInitDialog()
{
    m_bShowing = true;
    m_project->clear();
    m_bFolderGiven = !m_workFolder.isEmpty();
    if (m_bFolderGiven) {
        ListSettingFiles(m_workFolder);
        if (m_list->count() > 0 && m_pDoc)
            m_comment = platform::Cp932ToQString(m_pDoc->ReadComment());
        const QString folder = WithoutTrailingSeparators(m_workFolder);
        m_project->SetBaseFolder(folder);
        m_projectName = folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
        m_baseFolder = m_workFolder;
        m_workFolder = folder;
        m_workEdit->setReadOnly(true);
        m_changeBase->setEnabled(false);
        m_project->addItem(m_projectName);
        m_project->lineEdit()->setReadOnly(true);
    } else {
        ListSettingFiles(FromPath(GetProgramFolder()));
        // The comment shown is the one OK writes into the copy, so it is the listed file's own.
        if (m_list->count() > 0 && m_pDoc) {
            CSettingPathRedirect redirect(*m_pDoc, GetProgramFolder() / ToPath(m_list->itemText(0)));
            m_comment = platform::Cp932ToQString(m_pDoc->ReadComment());
        }
        const QString base = ProfileWorkFolder();
        m_project->SetBaseFolder(base);
        const QString backup =
            platform::Cp932ToQString(platform::GetProfile().GetString("FileSave", "SaveFolder")).trimmed();
        if (!backup.isEmpty())
            m_project->m_exclusions.append(backup);
        m_baseFolder = WithTrailingSeparator(base);
        m_workFolder = m_baseFolder;
    }
    if (m_pDoc && !m_pDoc->GetSettingFile().GetPath().empty()) {
        m_pDoc->ReadSheetSize();
        TakeSheetSize();
    }
    SetupWorkAreaSpins({m_widthSpin, m_heightSpin, m_originXSpin, m_originYSpin});
    m_bShowing = false;
    UpdateData(false);
}

bool CDlgNewFile::DoDataExchange(bool save)
{
    if (save) {
        m_projectName = m_project->currentText().left(kProjectNameLength).trimmed();
        m_comment = m_commentEdit->toPlainText();
        m_workFolder = m_workEdit->text();
        m_dWidth = ReadWorkAreaNumber(m_width);
        m_dHeight = ReadWorkAreaNumber(m_height);
        m_dOriginX = ReadWorkAreaNumber(m_originX);
        m_dOriginY = ReadWorkAreaNumber(m_originY);
    } else {
        m_bShowing = true;
        m_project->setEditText(m_projectName);
        m_commentEdit->setPlainText(m_comment);
        m_workEdit->setText(m_workFolder);
        ShowWorkAreaNumber(m_width, m_dWidth);
        ShowWorkAreaNumber(m_height, m_dHeight);
        ShowWorkAreaNumber(m_originX, m_dOriginX);
        ShowWorkAreaNumber(m_originY, m_dOriginY);
        m_bShowing = false;
    }
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(!m_projectName.isEmpty() && m_list->count() > 0);
    return true;
}

void CDlgNewFile::ShowWorkFolder()
{
    m_workFolder = m_baseFolder + m_projectName;
    m_workEdit->setText(m_workFolder);
}

void CDlgNewFile::OnProjectEdited()
{
    m_projectName = m_project->currentText().left(kProjectNameLength).trimmed();
    if (!m_bFolderGiven)
        ShowWorkFolder();
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(!m_projectName.isEmpty() && m_list->count() > 0);
}

void CDlgNewFile::OnWorkFolderEdited()
{
    if (m_bFolderGiven)
        return;
    const QString text = m_workEdit->text();
    const QString tail = QLatin1Char('/') + m_projectName;
    if (!m_projectName.isEmpty() && text.endsWith(tail, Qt::CaseInsensitive))
        m_baseFolder = text.left(text.size() - m_projectName.size());
    else
        m_baseFolder = text;
    m_baseFolder = WithTrailingSeparator(m_baseFolder);
    m_project->SetBaseFolder(WithoutTrailingSeparators(m_baseFolder));
    ShowWorkFolder();
}

void CDlgNewFile::OnChangeBase()
{
    UpdateData(true);
    m_workFolder = m_baseFolder;
    QString chosen;
    if (!BrowseForFolder(this, QString::fromUtf8("プロジェクトフォルダの基準を選択してください。"),
                         m_workFolder, chosen))
        return;
    m_project->SetBaseFolder(chosen);
    m_baseFolder = WithTrailingSeparator(chosen);
    ShowWorkFolder();
}

void CDlgNewFile::OnSelChange()
{
    UpdateData(true);
    const QString name = m_list->currentText();
    if (name.isEmpty() || !m_pDoc)
        return;
    std::error_code ec;
    const fs::path file = ToPath(SettingFolder() + name);
    if (!fs::is_regular_file(file, ec))
        return;
    {
        CSettingPathRedirect redirect(*m_pDoc, file);
        m_comment = platform::Cp932ToQString(m_pDoc->ReadComment());
        m_pDoc->ReadSheetSize();
        TakeSheetSize();
    }
    // The document holds its own work area again.
    m_pDoc->ReadSheetSize();
    UpdateData(false);
}

bool CDlgNewFile::CheckValues()
{
    return CheckWorkArea(m_dWidth, m_dHeight, m_dOriginX, m_dOriginY);
}

bool CDlgNewFile::MakeProjectCopy(const QString& name, QString& target, bool& existing)
{
    // A project name is one folder below the base folder.
    if (m_projectName.contains(QLatin1Char('/')) || m_projectName.contains(QLatin1Char('\\')) ||
        m_projectName == QLatin1String(".") || m_projectName == QLatin1String(".."))
        return Refuse(_J("プロジェクトフォルダ作成に失敗しました"));
    fs::path source = GetProgramFolder() / ToPath(name);
    // The master as the user edited it (its per-user copy), as its comment was shown.
    if (source.lexically_normal() == CBoardSettingFile::InstalledMasterPath().lexically_normal())
        source = CBoardSettingFile::MasterReadPath();
    const fs::path folder = ToPath(m_workFolder);
    const fs::path file = folder / ToPath(name);
    target = FromPath(file);
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        if (fs::exists(file, ec)) {
            if (AfxMessageBox(_J("既存のプロジェクトフォルダに追加しますか？"), MB_YESNO | MB_ICONQUESTION) !=
                IDYES)
                return false;
            existing = true;
            return true;
        }
    } else if (!fs::create_directory(folder, ec) || ec) {
        return Refuse(_J("プロジェクトフォルダ作成に失敗しました"));
    }
    if (!fs::copy_file(source, file, fs::copy_options::none, ec) || ec)
        return Refuse(_J("基板設計ファイルのコピーに失敗しました"));
    // A read-only master gives a copy the user can edit.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    return true;
}

void CDlgNewFile::accept()
{
    UpdateData(true);
    if (!CheckValues())
        return;
    const QString name = m_list->currentText();
    if (name.isEmpty() || m_projectName.isEmpty())
        return;
    const std::optional<std::string> comment = platform::QStringToCp932(m_comment);
    if (!comment || !platform::QStringToCp932(m_projectName) || !platform::QStringToCp932(m_workFolder)) {
        Refuse(_J("この文字列には使用できない文字が含まれています。"));
        return;
    }
    QString target;
    bool existing = false;
    if (m_bFolderGiven) {
        target = WithTrailingSeparator(m_workFolder) + name;
    } else if (!MakeProjectCopy(name, target, existing)) {
        return;
    }
    // A project's own settings file that the user chose to add to keeps its contents.
    if (m_pDoc && !existing) {
        CSettingPathRedirect redirect(*m_pDoc, ToPath(target));
        m_pDoc->WriteComment(*comment);
    }
    m_result = target;
    QDialog::accept();
}

std::optional<NewDesignChoice> CDlgNewFile::Run(QWidget* parent, const std::string& folder, CVELTADoc* doc)
{
    CDlgNewFile dialog(doc, parent);
    dialog.m_workFolder = FromPath(platform::Cp932ToPath(folder));
    if (dialog.DoModal() != QDialog::Accepted)
        return std::nullopt;
    NewDesignChoice choice;
    choice.folder =
        platform::PathToCp932(ToPath(WithoutTrailingSeparators(dialog.m_workFolder))).value_or("");
    choice.settingFile = platform::PathToCp932(ToPath(dialog.m_result)).value_or("");
    choice.size = CDSize(dialog.m_dWidth, dialog.m_dHeight);
    choice.origin = CDPoint(dialog.m_dOriginX, dialog.m_dOriginY);
    return choice;
}
