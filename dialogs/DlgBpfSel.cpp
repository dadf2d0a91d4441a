#include "dialogs/DlgBpfSel.h"

#include "controls/WidestItemWidth.h"
#include "dialogs/SettingPathRedirect.h"
#include "document/BoardFileSupport.h"
#include "document/VELTADoc.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

CDlgBpfSel::CDlgBpfSel(CVELTADoc* doc, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("基板設定ファイルの選択"), parent), m_pDoc(doc)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("基板設計ファイル(&BPF)"), 0, 0);
    m_list = b.Add(IdList, new QComboBox(this), 1, 0);
    m_list->setMinimumWidth(240);
    b.Label(QString::fromUtf8("コメント(&C)"), 2, 0);
    m_comment = b.Add(IdComment, new QPlainTextEdit(this), 3, 0, 3, 1);
    m_comment->setReadOnly(true);
    m_comment->setFixedSize(320, 120);
    QPushButton* ok = b.Button(CDialogBuilder::IdOk, QStringLiteral("OK"), 1, 1);
    QPushButton* cancel = b.Button(CDialogBuilder::IdCancel, QString::fromUtf8("ｷｬﾝｾﾙ"), 2, 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgBpfSel::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgBpfSel::reject);
    connect(m_list, &QComboBox::activated, this, &CDlgBpfSel::OnSelChange);
}

std::string CDlgBpfSel::Folder() const
{
    std::string folder = m_strFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

void CDlgBpfSel::OnInitDialog()
{
    const std::vector<std::string> names = docfile::FindSettingFiles(platform::Cp932ToPath(m_strFolder));
    m_list->clear();
    for (const std::string& name : names)
        m_list->addItem(platform::Cp932ToQString(name));
    if (names.empty()) {
        AfxMessageBox(_J("基板設計ファイルが見つかりません"));
    } else {
        m_list->view()->setMinimumWidth(GetWidestItemWidth(*m_list));
        m_list->setCurrentIndex(0);
        Preview(names.front());
    }
    UpdateData(false);
}

bool CDlgBpfSel::DoDataExchange(bool save)
{
    if (!save)
        m_comment->setPlainText(platform::Cp932ToQString(m_strComment));
    // OK hands back a file only when there is one to choose.
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(m_list->count() > 0);
    return true;
}

void CDlgBpfSel::Preview(const std::string& name)
{
    if (!m_pDoc)
        return;
    CSettingPathRedirect redirect(*m_pDoc, platform::Cp932ToPath(Folder() + name));
    m_strComment = m_pDoc->ReadComment();
}

void CDlgBpfSel::OnSelChange()
{
    UpdateData(true);
    const std::optional<std::string> name = platform::QStringToCp932(m_list->currentText());
    if (!name || name->empty())
        return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(platform::Cp932ToPath(Folder() + *name), ec))
        return;
    Preview(*name);
    UpdateData(false);
}

void CDlgBpfSel::accept()
{
    UpdateData(true);
    const std::optional<std::string> name = platform::QStringToCp932(m_list->currentText());
    if (!name || name->empty())
        return;
    m_strFolder = Folder() + *name;
    QDialog::accept();
}

int CDlgBpfSel::Run(QWidget* parent, const std::string& folder, const std::vector<std::string>& names,
                    CVELTADoc* doc)
{
    CDlgBpfSel dialog(doc, parent);
    dialog.m_strFolder = folder;
    if (dialog.DoModal() != QDialog::Accepted)
        return -1;
    const std::string chosen = platform::StoredFileName(dialog.m_strFolder);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == chosen)
            return static_cast<int>(i);
    }
    return -1;
}
