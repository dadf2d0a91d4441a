#include "dialogs/DlgMakePart.h"

#include "libui/RadioGroup.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <climits>

namespace {

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsTypeKind(int value)
{
    return value >= 0 && value <= 3;
}

} // namespace

const std::string& CDlgMakePart::Message(int id)
{
    switch (id) {
    case 2001:
        return _J("部品名を入力して下さい");
    case 2002:
        return _J("参照番号が設定されていません");
    case 2003:
        return _J("参照番号の先頭に?は設定できません");
    case 2004:
        return _J("参照番号の文字には?が１つ必要です");
    case 2005:
        return _J("参照番号の中の？は1つのみです");
    default:
        return _J("ブロック番号がブロック数より小さいか、ブロック番号が０です");
    }
}

int CDlgMakePart::PartTypeWord(int type, int kind, bool polarity, bool scale)
{
    static constexpr int kKindBits[] = {0x4, 0x8, 0xC, 0x0};
    const int low = type + (IsTypeKind(kind) ? kKindBits[kind] : 0);
    const int high = (polarity ? 0x2 : 0) | (scale ? 0x1 : 0);
    return low | (high << 8);
}

CDlgMakePart::CDlgMakePart(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("部品化"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("部品名(&Name)"), 0, 0);
    b.Add(IdName, new QLineEdit(this), 0, 1, 1, 2);
    b.Label(QString::fromUtf8("参照番号(&Ref)"), 1, 0);
    b.Add(IdReference, new QLineEdit(this), 1, 1, 1, 2);
    b.Label(QString::fromUtf8("初期値(&Val)"), 2, 0);
    b.Add(IdValue, new QLineEdit(this), 2, 1, 1, 2);

    QGridLayout* block = AddGroup(QString::fromUtf8("ブロック"), 3, 0, 1, 3);
    Put(block, b.Label(QString::fromUtf8("番号(&B)"), -1, 0), 0, 0);
    auto* number = Put(block, b.Add(IdBlockNumber, new QLineEdit(this), -1, 0), 0, 1);
    Put(block, b.Label(QString::fromUtf8("総数(&T)"), -1, 0), 0, 2);
    auto* count = Put(block, b.Add(IdBlockCount, new QLineEdit(this), -1, 0), 0, 3);
    for (QLineEdit* field : {number, count}) {
        NoInputMethod(field);
        SetDigitsOnly(field, true);
        field->setFixedWidth(56);
    }

    QGridLayout* types = AddGroup(QString::fromUtf8("タイプ"), 4, 0, 1, 2);
    m_type = new CRadioGroup(this);
    const char* typeCaptions[] = {"挿入部品(&DIP)", "表面実装部品(&SMD)", "カードエッジ(&C)",
                                  "非回路部品(&E)"};
    for (int i = 0; i < 4; ++i)
        m_type->Add(Put(types, b.Radio(nullptr, IdDip + i, QString::fromUtf8(typeCaptions[i]), -1, 0), i, 0),
                    i);
    QGridLayout* kinds = AddGroup(QString::fromUtf8("種類"), 4, 2, 1, 1);
    m_kind = new CRadioGroup(this);
    const char* kindCaptions[] = {"モジュール(&M)", "ディスクリート(&I)", "コネクタ(&O)", "未定義(&U)"};
    for (int i = 0; i < 4; ++i)
        m_kind->Add(
            Put(kinds, b.Radio(nullptr, IdModule + i, QString::fromUtf8(kindCaptions[i]), -1, 0), i, 0), i);

    b.Check(IdPolarity, QString::fromUtf8("極性部品(&P)"), 5, 0);
    b.Check(IdScale, QString::fromUtf8("スケール可変(&L)"), 5, 1, 1, 2);
    b.Label(QString::fromUtf8("選択端子数"), 6, 0);
    auto* terminals = b.Add(IdTerminals, new QLabel(this), 6, 1);
    terminals->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    terminals->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    b.OkCancel(0, 3);
    // Carries no behaviour: shown disabled.
    b.Button(IdProperty, QString::fromUtf8("プロパティ(&Y)"), 2, 3)->setEnabled(false);
}

void CDlgMakePart::OnInitDialog()
{
    const int stored = platform::GetProfile().GetInt("Default", "PartType", m_nType + m_nKind * 16);
    if (IsTypeKind(stored & 0xF) && IsTypeKind(stored >> 4)) {
        m_nType = stored & 0xF;
        m_nKind = stored >> 4;
    }
    if (!IsTypeKind(m_nType))
        m_nType = 0;
    if (!IsTypeKind(m_nKind))
        m_nKind = 3;
    const bool reference = !m_strReference.empty();
    FindControl(this, IdReference)->setEnabled(reference);
    for (int i = 0; i < 4; ++i) {
        FindControl(this, IdDip + i)->setEnabled(reference && i < 3);
        FindControl(this, IdModule + i)->setEnabled(reference && i < 3);
    }
    if (reference) {
        if (m_nKind == 0 || m_nKind == 1)
            m_strReference = "U?";
        else if (m_nKind == 2)
            m_strReference = "CN?";
    } else {
        m_nType = 3;
        m_nKind = 3;
    }
    FindControl(this, IdValue)->setEnabled(!m_strValue.empty());
    UpdateData(false);
}

bool CDlgMakePart::DoDataExchange(bool save)
{
    auto* name = FindControl<QLineEdit>(this, IdName);
    auto* reference = FindControl<QLineEdit>(this, IdReference);
    auto* value = FindControl<QLineEdit>(this, IdValue);
    auto* number = FindControl<QLineEdit>(this, IdBlockNumber);
    auto* count = FindControl<QLineEdit>(this, IdBlockCount);
    auto* polarity = FindControl<QCheckBox>(this, IdPolarity);
    auto* scale = FindControl<QCheckBox>(this, IdScale);
    if (save) {
        std::string nameText, referenceText, valueText;
        if (!FieldText(name, nameText) || !FieldText(reference, referenceText) ||
            !FieldText(value, valueText))
            return false;
        int blockNumber = 0;
        int blockCount = 0;
        if (!CheckIntRange(number, 0, INT_MAX, blockNumber) || !CheckIntRange(count, 0, INT_MAX, blockCount))
            return false;
        m_strName = Trim(nameText);
        m_strReference = Trim(referenceText);
        m_strValue = valueText;
        m_nBlockNumber = static_cast<unsigned>(blockNumber);
        m_nBlockCount = blockCount;
        m_nType = std::max(m_type->Get(), 0);
        m_nKind = std::max(m_kind->Get(), 0);
        m_bPolarity = polarity->isChecked();
        m_bScale = scale->isChecked();
    } else {
        name->setText(platform::Cp932ToQString(m_strName));
        reference->setText(platform::Cp932ToQString(m_strReference));
        value->setText(platform::Cp932ToQString(m_strValue));
        number->setText(QString::number(m_nBlockNumber));
        count->setText(QString::number(m_nBlockCount));
        m_type->Set(m_nType);
        m_kind->Set(m_nKind);
        polarity->setChecked(m_bPolarity != 0);
        scale->setChecked(m_bScale != 0);
        FindControl<QLabel>(this, IdTerminals)->setText(QString::number(m_nTerminals));
    }
    m_nPartType = PartTypeWord(m_nType, m_nKind, m_bPolarity != 0, m_bScale != 0);
    return true;
}

bool CDlgMakePart::Refuse(int message, int focus)
{
    AfxMessageBox(Message(message), MB_OK | MB_ICONEXCLAMATION);
    auto* field = FindControl<QLineEdit>(this, focus);
    field->setFocus();
    field->selectAll();
    return false;
}

void CDlgMakePart::accept()
{
    if (!UpdateData(true))
        return;
    if (m_strName.empty()) {
        Refuse(2001, IdName);
        return;
    }
    if (static_cast<unsigned>(m_nBlockCount) < m_nBlockNumber ||
        (m_nBlockNumber == 0 && m_nBlockCount != 0)) {
        Refuse(2006, IdBlockNumber);
        return;
    }
    if (FindControl(this, IdReference)->isEnabled()) {
        if (m_strReference.empty()) {
            Refuse(2002, IdReference);
            return;
        }
        if (m_strReference.front() == '?') {
            Refuse(2003, IdReference);
            return;
        }
        // '?' (0x3F) is never a trail byte, so counting bytes counts characters.
        const auto marks = std::count(m_strReference.begin(), m_strReference.end(), '?');
        if (marks != 1) {
            Refuse(marks == 0 ? 2004 : 2005, IdReference);
            return;
        }
    }
    platform::GetProfile().SetInt("Default", "PartType", m_nType + m_nKind * 16);
    if (FindControl(this, IdValue)->isEnabled() && platform::ToLowerAscii(m_strValue) == "val")
        m_strValue = m_strName;
    QDialog::accept();
}
