#include "dialogs/DlgPartRegist.h"

#include "controls/EllipsisEdit.h"
#include "controls/WidestItemWidth.h"
#include "model/library/Library.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {
const QString kEachOwnName = QStringLiteral("***");
}

CDlgPartRegist::CDlgPartRegist(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("部品ファイル登録"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("部品名"), 0, 0);
    m_name = b.Add(IdName, new QLineEdit(this), 0, 1);
    b.Label(QString::fromUtf8("部品ファイル名(&L)"), 1, 0);
    m_file = b.Add(IdFile, new QComboBox(this), 1, 1);
    m_file->setMinimumWidth(320);
    m_individual = b.Check(IdIndividual, QString::fromUtf8("個別に登録(&S)"), 2, 1);
    b.OkCancel(0, 2);
    connect(m_individual, &QCheckBox::clicked, this, &CDlgPartRegist::OnIndividual);
}

void CDlgPartRegist::OnInitDialog()
{
    const std::string last = platform::GetProfile().GetString("Library File List", "AddPart");
    CLibrary library;
    const std::vector<std::string>& files = library.ReadLibraryList();
    m_file->clear();
    int selected = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        m_file->addItem(platform::Cp932ToQString(files[i]));
        if (files[i] == last)
            selected = static_cast<int>(i);
    }
    if (m_file->count() > 0) {
        m_file->setCurrentIndex(selected);
        m_file->view()->setMinimumWidth(GetWidestItemWidth(*m_file));
    }
    // The chosen file is shown, not typed: a read-only field that shortens a long path.
    m_file->setEditable(true);
    auto* edit = new CEllipsisEdit(true, m_file);
    m_file->setLineEdit(edit);
    edit->setReadOnly(true);
    if (m_file->count() > 0)
        m_file->setCurrentIndex(selected);
    m_individual->setEnabled(m_bIndividual != 0);
    UpdateData(false);
}

bool CDlgPartRegist::DoDataExchange(bool save)
{
    if (save) {
        m_bIndividual = m_individual->isChecked();
        if (!m_bIndividual && !FieldText(m_name, m_strPartName))
            return false;
        m_strLibraryFile = platform::QStringToCp932(m_file->currentText()).value_or(std::string());
    } else {
        m_individual->setChecked(m_bIndividual != 0);
        m_name->setText(m_bIndividual ? kEachOwnName : platform::Cp932ToQString(m_strPartName));
    }
    m_name->setReadOnly(m_bIndividual != 0);
    return true;
}

void CDlgPartRegist::OnIndividual()
{
    // The name typed so far is kept while the field shows "***".
    if (!m_bIndividual && !FieldText(m_name, m_strPartName)) {
        m_individual->setChecked(false);
        return;
    }
    m_bIndividual = m_individual->isChecked();
    UpdateData(false);
}

void CDlgPartRegist::accept()
{
    if (!UpdateData(true))
        return;
    if (m_bIndividual)
        m_strPartName = kEachOwnName.toStdString();
    platform::GetProfile().SetString("Library File List", "AddPart", m_strLibraryFile);
    QDialog::accept();
}
