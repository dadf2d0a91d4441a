#include "dialogs/OptFileSave.h"

#include "controls/EllipsisEdit.h"
#include "dialogs/FolderBrowser.h"
#include "document/SettingSections.h"
#include "libui/RadioGroup.h"
#include "libui/SpinButton.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "FileSave";

bool IsAutoSaveFile(const fs::directory_entry& entry)
{
    std::error_code ec;
    if (!entry.is_regular_file(ec))
        return false;
    const std::string ext = platform::ToUpperAscii(entry.path().extension().string());
    return ext == ".BAK" || ext == ".VBD";
}

// The files of one folder matching "*.bak", then those matching "*.vbd".
void CollectFiles(const fs::path& folder, std::vector<fs::path>& out)
{
    std::vector<fs::path> bak;
    std::vector<fs::path> vbd;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!IsAutoSaveFile(*it))
            continue;
        const bool isBak = platform::ToUpperAscii(it->path().extension().string()) == ".BAK";
        (isBak ? bak : vbd).push_back(it->path());
    }
    std::sort(bak.begin(), bak.end());
    std::sort(vbd.begin(), vbd.end());
    out.insert(out.end(), bak.begin(), bak.end());
    out.insert(out.end(), vbd.begin(), vbd.end());
}

std::vector<fs::path> SubFolders(const fs::path& folder)
{
    std::vector<fs::path> folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code dirError;
        if (it->is_directory(dirError) && !it->is_symlink(dirError))
            folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

} // namespace

COptFileSave::COptFileSave(QWidget* parent) : COptPage(IDD, QString::fromUtf8("保存"), parent)
{
    CDialogBuilder& b = Builder();
    BoundCheck(Grid(), IdBackUp, "バックアップファイルを作成する (&BAK)", m_nBackUp, 0, 0);
    BoundCheck(Grid(), IdLibraryBackUp, "部品ファイルのバックアップを作成する(&LBK)", m_nLibraryBackUp, 1, 0);
    QGridLayout* autoSave = AddGroup(QString::fromUtf8("自動保存"), 2, 0);
    QCheckBox* autoCheck = BoundCheck(autoSave, IdAutoSave, "自動保存する (&A)", m_nAutoSave, 0, 0, 3);
    CRadioGroup* update = BoundRadios(
        autoSave,
        {{IdFileUpdate, "ファイルを更新する (&U)"}, {IdSaveToFolder, "指定フォルダに保存する (&H)"}},
        m_nFileUpdate, 1, 0, false);
    BoundCheck(autoSave, IdFloppy, "フロッピーの場合は自動保存しない (&F)", m_nFloppy, 2, 0, 3);
    Put(autoSave, b.Label(QString::fromUtf8("更新回数(&C)"), -1, 0), 3, 0);
    m_undoCount = AddIntField(autoSave, IdUndoCount, IdUndoSpin, m_undoSpin, 3, 1);
    Put(autoSave, b.Label(QString::fromUtf8("回"), -1, 0), 3, 2);
    Put(autoSave, b.Label(QString::fromUtf8("遅延(&D)"), -1, 0), 4, 0);
    m_delaySlider = Put(autoSave, b.Add(IdDelaySlider, new QSlider(Qt::Horizontal, this), -1, 0), 4, 1);
    m_delayTime = Put(autoSave, b.Add(IdDelayTime, new QLineEdit(this), -1, 0), 4, 2);
    m_delayTime->setFixedWidth(48);
    NoInputMethod(m_delayTime);
    Put(autoSave, b.Label(QString::fromUtf8("秒"), -1, 0), 4, 3);
    m_saveFolder = Put(autoSave, b.Add(IdSaveFolder, new CEllipsisEdit(true, this), -1, 0), 5, 0, 1, 3);
    m_saveFolder->setMinimumWidth(240);
    Put(autoSave, b.Button(IdBrowse, QString::fromUtf8("参照"), -1, 0), 5, 3);
    Put(autoSave, b.Button(IdDeleteFiles, QString::fromUtf8("自動保存ファイルの削除(&E)"), -1, 0), 6, 0, 1, 2,
        Qt::AlignLeft);
    QGridLayout* metafile = AddGroup(QString::fromUtf8("メタファイル"), 3, 0);
    BoundCheck(metafile, IdEmfBackDraw, "メタファイルは背景を含む(&M)", m_nEmfBackDraw, 0, 0);
    BoundCheck(metafile, IdEmfTextBug, "メタファイルの文字が逆(&T)", m_nEmfTextBug, 1, 0);
    BoundCheck(Grid(), IdOldSave, "Ｖｅｒ 0.2X 形式で保存", m_nOldSave, 4, 0);

    connect(autoCheck, &QCheckBox::toggled, this, &COptFileSave::ApplyEnabling);
    connect(update, &CRadioGroup::choiceClicked, this, &COptFileSave::ApplyEnabling);
    connect(m_saveFolder, &QLineEdit::textChanged, this, &COptFileSave::ApplyEnabling);
    connect(m_delaySlider, &QSlider::valueChanged, this,
            [this](int position) { m_delayTime->setText(QString::number(position)); });
    connect(FindControl<QPushButton>(this, IdBrowse), &QPushButton::clicked, this, &COptFileSave::OnBrowse);
    connect(FindControl<QPushButton>(this, IdDeleteFiles), &QPushButton::clicked, this,
            &COptFileSave::OnDeleteFiles);
}

void COptFileSave::OnInitDialog()
{
    const platform::Profile& p = platform::GetProfile();
    m_nBackUp = p.GetInt(kSection, "BackUp", 1);
    m_nAutoSave = p.GetInt(kSection, "AutoSave", 0);
    m_nFileUpdate = p.GetInt(kSection, "FileUpdate", 0);
    m_nFloppy = p.GetInt(kSection, "Floppy", 1);
    m_nUndoCount = p.GetInt(kSection, "UndoCount", 100);
    m_nDelayTime = p.GetInt(kSection, "DelayTime", 5);
    m_strSaveFolder = TrimFolder(settings::Trim(p.GetString(kSection, "SaveFolder")));
    m_nLibraryBackUp = p.GetInt(kSection, "LibraryBackUp", 1);
    m_nEmfBackDraw = p.GetInt(kSection, "EMFBackDraw", 1);
    m_nEmfTextBug = p.GetInt(kSection, "EMFTextBUG", 0);
    m_nOldSave = p.GetInt(kSection, "OldSave", 0);
    m_delaySlider->setRange(1, 300);
    m_delaySlider->setTickPosition(QSlider::TicksBelow);
    m_delaySlider->setTickInterval(20);
    m_delaySlider->setPageStep(20);
    m_delaySlider->setSingleStep(1);
    m_undoSpin->SetRange(10, 32767);
    UpdateData(false);
}

bool COptFileSave::DoDataExchange(bool save)
{
    if (!save) {
        ExchangeBound(false);
        m_undoCount->setText(QString::number(m_nUndoCount));
        m_delayTime->setText(QString::number(m_nDelayTime));
        {
            const QSignalBlocker block(m_delaySlider);
            m_delaySlider->setValue(m_nDelayTime);
        }
        m_saveFolder->setText(platform::Cp932ToQString(m_strSaveFolder));
        ApplyEnabling();
        return true;
    }
    int undo = 0;
    int delay = 0;
    std::string folder;
    if (!CheckIntRange(m_undoCount, 10, 32767, undo) || !CheckIntRange(m_delayTime, 1, 300, delay) ||
        !FieldText(m_saveFolder, folder))
        return false;
    ExchangeBound(true);
    m_nUndoCount = undo;
    m_nDelayTime = delay;
    m_strSaveFolder = TrimFolder(settings::Trim(folder));
    ApplyEnabling();
    return true;
}

void COptFileSave::ApplyEnabling()
{
    const bool autoSave = FindControl<QCheckBox>(this, IdAutoSave)->isChecked();
    const bool toFolder = autoSave && FindControl<QRadioButton>(this, IdSaveToFolder)->isChecked();
    for (int id :
         {IdFileUpdate, IdSaveToFolder, IdFloppy, IdDelaySlider, IdUndoCount, IdUndoSpin, IdDelayTime})
        FindControl(this, id)->setEnabled(autoSave);
    m_saveFolder->setEnabled(toFolder);
    FindControl(this, IdBrowse)->setEnabled(toFolder);
    FindControl(this, IdDeleteFiles)->setEnabled(toFolder && !m_saveFolder->text().trimmed().isEmpty());
}

void COptFileSave::OnBrowse()
{
    QString chosen;
    if (!BrowseForFolder(this, QString::fromUtf8("バックアップ先のフォルダを選択してください"),
                         m_saveFolder->text(), chosen, FolderTrim::OneSeparator))
        return;
    if (!chosen.endsWith(QLatin1Char('/')))
        chosen += QLatin1Char('/');
    m_saveFolder->setText(chosen);
    ApplyEnabling();
}

std::vector<fs::path> COptFileSave::AutoSaveFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    CollectFiles(folder, files);
    for (const fs::path& sub : SubFolders(folder))
        CollectFiles(sub, files);
    return files;
}

void COptFileSave::OnDeleteFiles()
{
    std::string typed;
    if (!FieldText(m_saveFolder, typed))
        return;
    const std::string folderText = TrimFolder(settings::Trim(typed));
    if (folderText.empty())
        return;
    const fs::path folder = platform::Cp932ToPath(folderText);
    const std::vector<fs::path> files = AutoSaveFiles(folder);
    // The prompt says where and how much, since nothing comes back.
    const std::string prompt =
        _J("バックアップファイルを削除します。復活不可") + std::string("\n") + folderText +
        platform::Format(_J("\n%d 個のファイル").c_str(), static_cast<int>(files.size()));
    if (AfxMessageBox(prompt, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (const fs::path& file : files) {
        std::error_code ec;
        if (!fs::remove(file, ec) || ec)
            AfxMessageBox(_J("削除できません。\n") + platform::PathToCp932(file).value_or(file.string()),
                          MB_OK | MB_ICONEXCLAMATION);
    }
    // Sub-folders left empty go too; the others stay, silently.
    for (const fs::path& sub : SubFolders(folder)) {
        std::error_code ec;
        fs::remove(sub, ec);
    }
}

bool COptFileSave::CanApply()
{
    if (m_nFileUpdate == 1 &&
        (m_strSaveFolder.empty() || !platform::Cp932ToPath(m_strSaveFolder).is_absolute())) {
        AfxMessageBox(_J("フォルダを絶対パスで指定して下さい。"), MB_OK | MB_ICONEXCLAMATION);
        m_saveFolder->setFocus();
        return false;
    }
    return true;
}

void COptFileSave::OnOK()
{
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "BackUp", m_nBackUp);
    p.SetInt(kSection, "AutoSave", m_nAutoSave);
    p.SetInt(kSection, "FileUpdate", m_nFileUpdate);
    p.SetInt(kSection, "Floppy", m_nFloppy);
    p.SetInt(kSection, "UndoCount", m_nUndoCount);
    p.SetInt(kSection, "DelayTime", m_nDelayTime);
    p.SetString(kSection, "SaveFolder", m_strSaveFolder);
    p.SetInt(kSection, "LibraryBackUp", m_nLibraryBackUp);
    p.SetInt(kSection, "EMFBackDraw", m_nEmfBackDraw);
    p.SetInt(kSection, "EMFTextBUG", m_nEmfTextBug);
    p.SetInt(kSection, "OldSave", m_nOldSave);
}
