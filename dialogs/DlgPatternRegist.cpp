#include "dialogs/DlgPatternRegist.h"

#include "libui/SpinButton.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <iterator>

namespace {
constexpr char kBadChars[] = ",.:;{}";
}

CDlgPatternRegist::CDlgPatternRegist(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("レイヤパターン登録"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("登録先(&N)"), 0, 0);
    m_number = AddIntField(Grid(), IdNumber, IdSpin, m_spin, 0, 1);
    b.Label(QString::fromUtf8("パターン名"), 1, 0);
    m_name = b.Add(IdName, new QLineEdit(this), 1, 1);
    m_name->setMinimumWidth(200);
    m_menuCheck = b.Check(IdMenu, QString::fromUtf8("メニューに表示する(&M)"), 2, 0, 1, 2);
    b.OkCancel(0, 2);
    connect(m_number, &QLineEdit::textChanged, this, &CDlgPatternRegist::OnNumberEdited);
}

void CDlgPatternRegist::ShowPattern()
{
    const auto index = static_cast<std::size_t>(m_nNumber - 1);
    m_strName = m_names[index];
    m_bMenu = m_menu[index] != 0;
    UpdateData(false);
}

void CDlgPatternRegist::OnInitDialog()
{
    m_spin->SetRange(1, kPatterns);
    if (m_nNumber < 1 || m_nNumber > kPatterns)
        m_nNumber = 1;
    ShowPattern();
}

bool CDlgPatternRegist::DoDataExchange(bool save)
{
    if (!save) {
        const QSignalBlocker block(m_number);
        m_number->setText(QString::number(m_nNumber));
        m_name->setText(platform::Cp932ToQString(m_strName));
        m_menuCheck->setChecked(m_bMenu != 0);
        return true;
    }
    int number = 0;
    if (!CheckIntRange(m_number, 1, kPatterns, number))
        return false;
    std::string name;
    if (!FieldText(m_name, name))
        return false;
    m_nNumber = number;
    m_strName = name;
    m_bMenu = m_menuCheck->isChecked();
    return true;
}

void CDlgPatternRegist::OnNumberEdited()
{
    if (!IsInitialised() || m_number->text().isEmpty())
        return;
    if (UpdateData(true))
        ShowPattern();
}

void CDlgPatternRegist::accept()
{
    if (!UpdateData(true))
        return;
    if (m_strName.empty()) {
        AfxMessageBox(_J("パターン名は省略できません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // '{' and '}' are also trail bytes of double-byte characters, which do not count.
    const bool bad = std::any_of(std::begin(kBadChars), std::end(kBadChars) - 1, [this](char c) {
        return platform::FindByte(m_strName, c) != std::string::npos;
    });
    if (bad) {
        AfxMessageBox(_J("パターン名に使用できない文字があります"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QDialog::accept();
}
