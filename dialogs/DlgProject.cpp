#include "dialogs/DlgProject.h"

#include "controls/EllipsisEdit.h"
#include "controls/WidestItemWidth.h"
#include "document/BoardFileSupport.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

#include <filesystem>

using platform::Cp932ToQString;

namespace {

const char* const kFormatNames[CDlgProject::kFormats] = {
    "CR3000",   "VISULA",    "ECAD",       "Computer Vision", "Tango",
    "TELESIS",  "WORK VIEW", "POWER VIEW", "FutureNet(NETC)", "PADS",
    "PADS-PCB", "PADS-2000", "Scicards",   "CADVANCE",        "CADLUS",
    "Calay",    "ultiBOARD", "PCAD"};

std::string ToCp932(const QString& text)
{
    return platform::QStringToCp932(text).value_or(std::string());
}

std::string Trimmed(const QString& text)
{
    return ToCp932(text.trimmed());
}

// The folder of a path with its trailing separator; empty when the path names none.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = platform::FindLastByte(path, '/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = platform::FindLastByte(path, '/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const std::string s = suffix;
    return text.size() >= s.size() && platform::MbsICmp(text.substr(text.size() - s.size()), s) == 0;
}

// The settings list, telling the dialog when it drops down.
class CDropCombo : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> onDropDown;
    void showPopup() override
    {
        if (onDropDown)
            onDropDown();
        QComboBox::showPopup();
    }
};

} // namespace

QStringList CDlgProject::Host::ChooseFiles(QWidget* parent, FileMode mode, const QString& folder,
                                           const QString& filter)
{
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == OpenMany  ? QFileDialog::ExistingFiles
                       : mode == OpenOne ? QFileDialog::ExistingFile
                                         : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

CDlgProject::CDlgProject(Host& host, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("プロジェクト"), parent), m_host(host)
{
    setAcceptDrops(true);
    CDialogBuilder& b = Builder();
    const QIcon browse = style()->standardIcon(QStyle::SP_DirOpenIcon);
    auto browseButton = [&](int id, QGridLayout* grid, int row, int column) {
        auto* button = b.Add(id, new QPushButton(this), -1, 0);
        button->setIcon(browse);
        button->setFixedWidth(32);
        button->setAutoDefault(false);
        Put(grid, button, row, column);
        return button;
    };

    b.Label(QString::fromUtf8("プロジェクトファイル(&P)"), 0, 0);
    m_project = b.Add(IdProject, new QComboBox(this), 0, 1);
    m_project->setEditable(true);
    auto* projectEdit = new CEllipsisEdit(true, m_project);
    m_project->setLineEdit(projectEdit);
    projectEdit->setReadOnly(true);
    m_project->setInsertPolicy(QComboBox::NoInsert);
    m_project->setMinimumWidth(320);
    QPushButton* projectBrowse = browseButton(IdProjectBrowse, Grid(), 0, 2);

    b.Label(QString::fromUtf8("NORVAプロジェクトファイル(&D)"), 1, 0);
    m_norva = b.Add(IdNorva, new CEllipsisEdit(true, this), 1, 1);
    QPushButton* norvaBrowse = browseButton(IdNorvaBrowse, Grid(), 1, 2);

    b.Label(QString::fromUtf8("基板設計ファイル(&BPF)"), 2, 0);
    auto* settings = new CDropCombo(this);
    m_settings = b.Add(IdSettings, static_cast<QComboBox*>(settings), 2, 1);
    settings->onDropDown = [this] {
        if (!m_strProject.empty())
            FillSettingsFileList();
    };

    b.Label(QString::fromUtf8("基板ファイル(&W)"), 3, 0);
    m_list = b.Add(IdWorks, new QListWidget(this), 4, 0, 4, 2);
    m_list->setMinimumHeight(120);
    m_add = b.Button(IdAdd, QString::fromUtf8("追加(&A)"), 4, 2);
    m_remove = b.Button(IdRemove, QString::fromUtf8("除外(&E)"), 5, 2);
    m_openAll = b.Button(IdOpenAll, QString::fromUtf8("全部開く(&L)"), 6, 2);
    m_open = b.Button(IdOpen, QString::fromUtf8("開く(&O)"), 7, 2);

    QGridLayout* net = AddGroup(QString::fromUtf8("ネット"), 8, 0, 1, 3);
    m_useNet = Put(net, b.Check(IdUseNet, QString::fromUtf8("ネットを使用する(&U)"), -1, 0), 0, 0, 1, 2);
    Put(net, b.Label(QString::fromUtf8("フォーマット形式(&F)"), -1, 0), 1, 0);
    m_format = Put(net, b.Add(IdFormat, new QComboBox(this), -1, 0), 1, 1);
    for (const char* name : kFormatNames)
        m_format->addItem(QString::fromUtf8(name));
    Put(net, b.Label(QString::fromUtf8("接続(&N)"), -1, 0), 2, 0);
    m_netFile = Put(net, b.Add(IdNetFile, new CEllipsisEdit(true, this), -1, 0), 2, 1);
    QPushButton* netBrowse = browseButton(IdNetBrowse, net, 2, 2);
    Put(net, b.Label(QString::fromUtf8("部品(&C)"), -1, 0), 3, 0);
    m_partFile = Put(net, b.Add(IdPartFile, new CEllipsisEdit(true, this), -1, 0), 3, 1);
    QPushButton* partBrowse = browseButton(IdPartBrowse, net, 3, 2);
    b.OkCancel(0, 3);
    for (QPushButton* button : {m_add, m_remove, m_openAll, m_open})
        button->setAutoDefault(false);

    connect(projectBrowse, &QPushButton::clicked, this, &CDlgProject::OnProjectBrowse);
    connect(m_project, &QComboBox::activated, this, &CDlgProject::OnProjectChosen);
    m_project->installEventFilter(this);
    projectEdit->installEventFilter(this);
    connect(norvaBrowse, &QPushButton::clicked, this, &CDlgProject::OnNorvaBrowse);
    connect(m_norva, &QLineEdit::editingFinished, this, &CDlgProject::OnNorvaLeft);
    connect(m_add, &QPushButton::clicked, this, &CDlgProject::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CDlgProject::OnRemove);
    connect(m_openAll, &QPushButton::clicked, this, &CDlgProject::OnOpenAll);
    connect(m_open, &QPushButton::clicked, this, &CDlgProject::OnOpen);
    connect(m_useNet, &QCheckBox::clicked, this, &CDlgProject::OnUseNet);
    connect(netBrowse, &QPushButton::clicked, this, [this] { OnFileBrowse(true); });
    connect(partBrowse, &QPushButton::clicked, this, [this] { OnFileBrowse(false); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_bFilling)
            OnWorkSelected();
    });
    connect(m_settings, &QComboBox::activated, this, [this] { UpdateData(true); });
    connect(m_format, &QComboBox::activated, this, [this] { UpdateData(true); });
}

void CDlgProject::OnInitDialog()
{
    m_project->clear();
    const platform::Profile& profile = platform::GetProfile();
    for (int i = 1;; ++i) {
        const std::string entry = profile.GetString("Project File List", "File" + std::to_string(i));
        if (entry.empty())
            break;
        m_project->addItem(Cp932ToQString(entry));
    }
    m_strProject = profile.GetString("Project File List", "File1");
    if (!m_strProject.empty() && m_project->findText(Cp932ToQString(m_strProject)) < 0)
        m_project->insertItem(0, Cp932ToQString(m_strProject));
    m_project->setCurrentIndex(m_project->findText(Cp932ToQString(m_strProject)));
    LoadProject(false);
    UpdateData(false);
}

int CDlgProject::SelectedWork() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

bool CDlgProject::DoDataExchange(bool save)
{
    if (save) {
        m_strProject = Trimmed(m_project->currentText());
        m_nSettings = m_settings->currentIndex();
        m_strNorva = Trimmed(m_norva->text());
        // The net group's fields belong to the work they were shown for.
        if (m_nShownWork >= 0 && m_nShownWork < m_nWorks) {
            ProjectWork& work = m_works[static_cast<std::size_t>(m_nShownWork)];
            work.netFormat = m_format->currentIndex();
            work.useNet = m_useNet->isChecked() ? 1 : 0;
            work.netFile = Trimmed(m_netFile->text());
            work.partFile = Trimmed(m_partFile->text());
            if (m_nSettings >= 0)
                work.settingsFile = ToCp932(m_settings->itemText(m_nSettings));
        }
    } else {
        m_project->setEditText(Cp932ToQString(m_strProject));
        m_norva->setText(Cp932ToQString(m_strNorva));
        const int shown = m_nShownWork;
        if (shown >= 0 && shown < m_nWorks) {
            const ProjectWork& work = m_works[static_cast<std::size_t>(shown)];
            m_useNet->setChecked(work.useNet != 0);
            m_format->setCurrentIndex(work.netFormat >= 0 && work.netFormat < kFormats ? work.netFormat : -1);
            m_netFile->setText(Cp932ToQString(work.netFile));
            m_partFile->setText(Cp932ToQString(work.partFile));
            // A work that names no settings file yet keeps the one chosen, which OK gives it.
            if (!work.settingsFile.empty())
                m_nSettings = m_settings->findText(Cp932ToQString(work.settingsFile), Qt::MatchFixedString);
        } else {
            m_useNet->setChecked(false);
            m_format->setCurrentIndex(0);
            m_netFile->clear();
            m_partFile->clear();
        }
        m_settings->setCurrentIndex(m_nSettings);
        m_nSettings = m_settings->currentIndex();
    }
    EnableControls();
    m_settings->view()->setMinimumWidth(GetWidestItemWidth(*m_settings));
    m_project->view()->setMinimumWidth(GetWidestItemWidth(*m_project));
    return true;
}

void CDlgProject::EnableControls()
{
    const bool selected = SelectedWork() >= 0;
    const bool complete = !m_strProject.empty() && m_list->count() > 0 && m_nSettings >= 0;
    m_add->setEnabled(!m_strProject.empty());
    m_useNet->setEnabled(selected);
    m_remove->setEnabled(selected);
    m_openAll->setEnabled(complete);
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(complete);
    m_open->setEnabled(complete && selected);
    const bool net = selected && m_useNet->isChecked();
    for (QWidget* field : {static_cast<QWidget*>(m_netFile), static_cast<QWidget*>(m_partFile),
                           static_cast<QWidget*>(m_format)})
        field->setEnabled(net);
}

void CDlgProject::LoadProject(bool ask)
{
    // The list's own selection changes read nothing back while the project is being filled in.
    const bool filling = m_bFilling;
    m_bFilling = true;
    struct Restore
    {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{m_bFilling, filling};
    if (!m_strProject.empty()) {
        m_list->clear();
        m_strNorva.clear();
        for (ProjectWork& work : m_works) {
            const std::string settings = work.settingsFile;
            work = ProjectWork{};
            work.settingsFile = settings;
        }
        m_nWorks = 0;
        m_nShownWork = -1;
        ProjectWorks read = m_works;
        const int count = ReadProjectFile(platform::Cp932ToPath(m_strProject), read);
        if (count >= 0) {
            m_works = read;
            m_nWorks = count;
            FillWorkList();
            if (m_nWorks > 0)
                m_strNorva = m_works[0].schematicProject;
        } else if (ask) {
            if (AfxMessageBox(_J("プロジェクトファイルが存在しません\n履歴から除外しますか？"), MB_YESNO) ==
                IDYES) {
                const int index = m_project->findText(Cp932ToQString(m_strProject));
                if (index >= 0)
                    m_project->removeItem(index);
                m_strProject.clear();
                m_project->setEditText(QString());
            }
            UpdateData(false);
            return;
        }
    }
    FillSettingsFileList();
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
        ShowWork();
    }
    UpdateData(false);
}

void CDlgProject::FillWorkList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (int i = 0; i < m_nWorks; ++i) {
        const std::string& name = m_works[static_cast<std::size_t>(i)].boardFile;
        if (name.empty())
            continue;
        auto* item = new QListWidgetItem(Cp932ToQString(name), m_list);
        item->setData(Qt::UserRole, i);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(m_list->count() - 1);
}

void CDlgProject::ShowWork()
{
    m_nShownWork = SelectedWork();
    if (m_nShownWork < 0) {
        for (ProjectWork& work : m_works) {
            const std::string settings = work.settingsFile;
            work = ProjectWork{};
            work.settingsFile = settings;
        }
    }
}

void CDlgProject::FillSettingsFileList()
{
    const QString remembered = m_settings->currentText();
    m_settings->clear();
    if (!m_strProject.empty()) {
        for (const std::string& name :
             docfile::FindSettingFiles(platform::Cp932ToPath(FolderOf(m_strProject))))
            m_settings->addItem(Cp932ToQString(name));
    }
    const int index = m_settings->findText(remembered, Qt::MatchFixedString);
    m_nSettings = m_settings->count() == 0 ? 0 : std::max(index, 0);
    m_settings->setCurrentIndex(m_settings->count() == 0 ? -1 : m_nSettings);
}

bool CDlgProject::IsInProjectFolder(const std::string& reference, const std::string& path)
{
    if (platform::MbsICmp(FolderOf(reference), FolderOf(path)) == 0)
        return true;
    AfxMessageBox(_J("プロジェクトファイルと同じフォルダのファイルを選択してください。"));
    return false;
}

bool CDlgProject::WriteProjectFile()
{
    if (m_strProject.empty() || m_nWorks <= 0)
        return false;
    return ::WriteProjectFile(platform::Cp932ToPath(m_strProject), m_works, m_nWorks);
}

bool CDlgProject::ListHolds(const std::string& name, bool prefix) const
{
    for (int row = 0; row < m_list->count(); ++row) {
        const std::string entry = ToCp932(m_list->item(row)->text());
        const std::string head = prefix ? entry.substr(0, name.size()) : entry;
        if (platform::MbsICmp(head, name) == 0)
            return true;
    }
    return false;
}

void CDlgProject::AddWork(const std::string& name)
{
    ProjectWork& work = m_works[static_cast<std::size_t>(m_nWorks++)];
    const std::string settings = work.settingsFile;
    work = ProjectWork{};
    work.settingsFile = settings;
    work.boardFile = name;
}

void CDlgProject::OnProjectBrowse()
{
    const QString filter = QString::fromUtf8("VELTAプロジェクト (*.vpj);;すべてのファイル (*)");
    // An empty work folder stands for the user's documents folder.
    QString start = Cp932ToQString(platform::GetProfile().GetString("Sheet", "WorkFolder")).trimmed();
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QStringList chosen = m_host.ChooseFiles(this, Host::OpenOrCreate, start, filter);
    if (chosen.isEmpty())
        return;
    UpdateData(true);
    m_strProject = ToCp932(chosen.front());
    if (EndsWithNoCase(m_strProject, ".vbd") || EndsWithNoCase(m_strProject, ".bpf") ||
        EndsWithNoCase(m_strProject, ".bak")) {
        AfxMessageBox(_J("指定されたファイルのファイル拡張子は使用できません。"));
        m_strProject.clear();
    } else {
        ProjectWorks scratch;
        if (ReadProjectFile(platform::Cp932ToPath(m_strProject), scratch) < 0 &&
            !EndsWithNoCase(m_strProject, ".vpj"))
            m_strProject += ".vpj";
        const QString path = Cp932ToQString(m_strProject);
        if (m_project->findText(path) < 0) {
            m_project->insertItem(0, path);
            const int size = m_host.GetRecentSize();
            if (size > 0 && m_project->count() > size)
                m_project->removeItem(size - 1);
        }
        m_project->setCurrentIndex(m_project->findText(path));
    }
    UpdateData(false);
    if (!m_strProject.empty())
        LoadProject(false);
}

void CDlgProject::OnProjectChosen(int index)
{
    WriteProjectFile();
    if (index < 0)
        return;
    m_strProject = ToCp932(m_project->itemText(index));
    LoadProject(true);
    FindControl(this, CDialogBuilder::IdOk)->setFocus();
}

bool CDlgProject::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == m_project || watched == m_project->lineEdit()) &&
        !m_project->hasFocus() && isVisible()) {
        UpdateData(true);
        WriteProjectFile();
    }
    return CItemDialog::eventFilter(watched, event);
}

void CDlgProject::OnAdd()
{
    if (m_strProject.empty() || m_nWorks >= PROJECT_WORK_MAX)
        return;
    UpdateData(true);
    const QStringList chosen =
        m_host.ChooseFiles(this, Host::OpenMany, Cp932ToQString(FolderOf(m_strProject)),
                           QString::fromUtf8("基板ファイル (*.vbd);;すべてのファイル (*)"));
    if (chosen.isEmpty())
        return;
    for (const QString& file : chosen) {
        const std::string path = ToCp932(file);
        if (!IsInProjectFolder(m_strProject, path))
            break;
        const std::string name = NameOf(path);
        if (m_nWorks >= PROJECT_WORK_MAX)
            break;
        if (!ListHolds(name, true)) {
            AddWork(name);
            FillWorkList();
        }
    }
    FillWorkList();
    ShowWork();
    UpdateData(false);
}

void CDlgProject::OnRemove()
{
    const int row = m_list->currentRow();
    const int work = SelectedWork();
    if (work < 0)
        return;
    for (int i = work; i + 1 < m_nWorks; ++i)
        m_works[static_cast<std::size_t>(i)] = m_works[static_cast<std::size_t>(i + 1)];
    --m_nWorks;
    m_works[static_cast<std::size_t>(m_nWorks)] = ProjectWork{};
    FillWorkList();
    if (m_list->count() > 0) {
        const QSignalBlocker quiet(m_list);
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    }
    ShowWork();
    UpdateData(false);
}

void CDlgProject::OnFileBrowse(bool net)
{
    UpdateData(true);
    const int work = SelectedWork();
    if (work < 0)
        return;
    const std::string start = m_strNorva.empty() ? m_strProject : m_strNorva;
    const QString filter = net ? QString::fromUtf8("ネットリスト (*.net);;すべてのファイル (*)")
                               : QString::fromUtf8("部品属性ファイル (*.cmp);;すべてのファイル (*)");
    const QStringList chosen =
        m_host.ChooseFiles(this, Host::OpenOne, Cp932ToQString(FolderOf(start)), filter);
    if (chosen.isEmpty())
        return;
    const std::string path = ToCp932(chosen.front());
    if (!IsInProjectFolder(start, path))
        return;
    ProjectWork& record = m_works[static_cast<std::size_t>(work)];
    (net ? record.netFile : record.partFile) = NameOf(path);
    UpdateData(false);
}

void CDlgProject::OnNorvaBrowse()
{
    if (m_strProject.empty() || m_nWorks >= PROJECT_WORK_MAX)
        return;
    UpdateData(true);
    const QStringList chosen =
        m_host.ChooseFiles(this, Host::OpenOne, Cp932ToQString(m_host.GetNorvaSaveBase()),
                           QString::fromUtf8("NORVAプロジェクト (*.npj);;すべてのファイル (*)"));
    if (chosen.isEmpty())
        return;
    m_strNorva = ToCp932(chosen.front());
    UpdateData(false);
}

void CDlgProject::OnNorvaLeft()
{
    UpdateData(true);
    std::error_code ec;
    if (!m_strNorva.empty() && !std::filesystem::exists(platform::Cp932ToPath(m_strNorva), ec))
        AfxMessageBox(_J("ＮＯＲＶＡプロジェクトファイルが見つかりません。"));
}

void CDlgProject::OnUseNet()
{
    const bool checked = m_useNet->isChecked();
    UpdateData(true);
    const int work = SelectedWork();
    m_works[static_cast<std::size_t>(work >= 0 ? work : 0)].useNet = checked ? 1 : 0;
    EnableControls();
}

void CDlgProject::OnWorkSelected()
{
    UpdateData(true);
    ShowWork();
    UpdateData(false);
}

void CDlgProject::OnOpen()
{
    if (SelectedWork() < 0)
        return;
    m_host.OpenBoardFile(FolderOf(m_strProject) + ToCp932(m_list->currentItem()->text()));
}

void CDlgProject::OnOpenAll()
{
    UpdateData(true);
    if (m_strProject.empty()) {
        AfxMessageBox(_J("プロジェクトファイル名を指定して下さい"));
        return;
    }
    accept();
    if (result() != QDialog::Accepted || m_strProject.empty())
        return;
    m_host.SetProjectPath(m_strProject);
    m_host.OpenCurrentProject();
}

void CDlgProject::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CDlgProject::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    if (m_strProject.empty())
        return;
    UpdateData(true);
    for (const QUrl& url : event->mimeData()->urls()) {
        const std::string path = ToCp932(url.toLocalFile());
        if (!IsInProjectFolder(m_strProject, path))
            break;
        const std::string name = NameOf(path);
        if (EndsWithNoCase(name, ".vbd") && !ListHolds(name, false) && m_nWorks < PROJECT_WORK_MAX) {
            AddWork(name);
            FillWorkList();
        }
    }
    FillWorkList();
    ShowWork();
    UpdateData(false);
}

void CDlgProject::accept()
{
    UpdateData(true);
    if (m_strProject.empty() || m_list->count() == 0 || m_nSettings < 0)
        return;
    const QString project = Cp932ToQString(m_strProject);
    if (m_project->currentIndex() >= 0) {
        m_project->removeItem(m_project->currentIndex());
        m_project->insertItem(0, project);
    }
    // Entries that are no project file (any more) leave the history.
    for (int i = m_project->count() - 1; i >= 0; --i) {
        ProjectWorks scratch;
        if (ReadProjectFile(platform::Cp932ToPath(ToCp932(m_project->itemText(i))), scratch) < 0)
            m_project->removeItem(i);
    }
    m_host.ClearRecent();
    if (m_project->findText(project) < 0)
        m_project->insertItem(0, project);
    const int n = std::min(m_host.GetRecentSize(), m_project->count());
    for (int i = n - 1; i >= 0; --i)
        m_host.AddRecent(ToCp932(m_project->itemText(i)));
    m_host.WriteRecent();
    const std::string settings = ToCp932(m_settings->itemText(m_nSettings));
    for (int i = 0; i < m_nWorks; ++i) {
        m_works[static_cast<std::size_t>(i)].settingsFile = settings;
        m_works[static_cast<std::size_t>(i)].schematicProject = m_strNorva;
    }
    // A project file that cannot be written has been reported; the dialog stays for another try.
    if (!WriteProjectFile())
        return;
    QDialog::accept();
}
