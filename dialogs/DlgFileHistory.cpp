#include "dialogs/DlgFileHistory.h"

#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CDlgFileHistory::CDlgFileHistory(std::function<void(bool projects)> clearRecentList, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("ファイル履歴"), parent),
      m_clearRecentList(std::move(clearRecentList))
{
    CDialogBuilder& b = Builder();
    auto addList = [&](int row, const char* caption, const char* label, int editId, int spinId, int clearId,
                       CSpinButton*& spin, QPushButton*& clear) {
        QGridLayout* group = AddGroup(QString::fromUtf8(caption), row, 0);
        Put(group, b.Label(QString::fromUtf8(label), -1, 0), 0, 0);
        QLineEdit* edit = AddIntField(group, editId, spinId, spin, 0, 1);
        clear = Put(group, b.Button(clearId, QString::fromUtf8("履歴削除"), -1, 0), 0, 2);
        return edit;
    };
    m_fileCount = addList(0, "最近使ったファイル", "表示数(&F)", IdFileCount, IdFileSpin, IdClearFiles,
                          m_fileSpin, m_clearFiles);
    m_projectCount = addList(1, "最近使ったプロジェクト", "表示数(&P)", IdProjectCount, IdProjectSpin,
                             IdClearProjects, m_projectSpin, m_clearProjects);
    b.OkCancel(0, 1);
    // Cancel sits under OK, not in the middle of the tall row beside it.
    Grid()->setAlignment(FindControl(this, CDialogBuilder::IdCancel), Qt::AlignTop);
    connect(m_clearFiles, &QPushButton::clicked, this, [this] { OnClear(false); });
    connect(m_clearProjects, &QPushButton::clicked, this, [this] { OnClear(true); });
}

void CDlgFileHistory::OnInitDialog()
{
    const platform::Profile& profile = platform::GetProfile();
    m_clearFiles->setEnabled(!profile.GetString("Recent File List", "File1").empty());
    m_clearProjects->setEnabled(!profile.GetString("Project File List", "File1").empty());
    m_fileSpin->SetRange(1, 16);
    m_projectSpin->SetRange(1, 16);
    UpdateData(false);
}

bool CDlgFileHistory::DoDataExchange(bool save)
{
    if (!save) {
        m_fileCount->setText(QString::number(m_nFileCount));
        m_projectCount->setText(QString::number(m_nProjectCount));
        return true;
    }
    int files = 0;
    int projects = 0;
    if (!CheckIntRange(m_fileCount, 1, 16, files) || !CheckIntRange(m_projectCount, 1, 16, projects))
        return false;
    m_nFileCount = files;
    m_nProjectCount = projects;
    return true;
}

void CDlgFileHistory::OnClear(bool projects)
{
    if (AfxMessageBox(_J("履歴を削除します"), MB_OKCANCEL) != IDOK)
        return;
    // The list is emptied at once: Cancel does not bring it back.
    if (m_clearRecentList)
        m_clearRecentList(projects);
    (projects ? m_clearProjects : m_clearFiles)->setEnabled(false);
    FindControl(this, CDialogBuilder::IdOk)->setFocus();
}

void CDlgFileHistory::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}
