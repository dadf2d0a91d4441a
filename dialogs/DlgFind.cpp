#include "dialogs/DlgFind.h"

#include "libui/DlgLayerSel.h"
#include "libui/RadioGroup.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kSection = "Find";

struct KindControl
{
    int id;
    const char* caption;
    int bit;
};
// In the order of the dialog.
constexpr KindControl kKinds[] = {
    {CDlgFind::IdPartNames, "部品名(&P)", CDlgFind::TargetPartName},
    {CDlgFind::IdReferences, "参照番号(&R)", CDlgFind::TargetReference},
    {CDlgFind::IdValues, "部品値(&V)", CDlgFind::TargetValue},
    {CDlgFind::IdPartTexts, "部品内文字(&X)", CDlgFind::TargetPartText},
    {CDlgFind::IdTexts, "文字列(&T)", CDlgFind::TargetText},
    {CDlgFind::IdDimensions, "寸法値(&Z)", CDlgFind::TargetDimension},
};

std::string TrimRight(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

// The whole number a list field starts with (atoi), 0 when it starts with none.
int FieldNumber(const std::string& field)
{
    const long value = std::strtol(field.c_str(), nullptr, 10);
    return value < 0 || value > 100000 ? 0 : static_cast<int>(value);
}

} // namespace

CDlgFind::CDlgFind(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("検索"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("検索(&S)"), 0, 0);
    m_text = b.Add(IdText, new QComboBox(this), 0, 1, 1, 2);
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMinimumWidth(280);

    QGridLayout* kinds = AddGroup(QString::fromUtf8("対象"), 1, 0, 1, 2);
    for (std::size_t i = 0; i < m_kinds.size(); ++i) {
        m_kinds[i] = Put(kinds, b.Check(kKinds[i].id, QString::fromUtf8(kKinds[i].caption), -1, 0),
                         static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    QGridLayout* layers = AddGroup(QString::fromUtf8("レイヤ"), 1, 2, 1, 1);
    m_mode = new CRadioGroup(this);
    m_mode->Add(
        Put(layers, b.Radio(nullptr, IdWriteLayer, QString::fromUtf8("書込みレイヤ(&I)"), -1, 0), 0, 0, 1, 2),
        ModeWriteLayer);
    m_mode->Add(
        Put(layers, b.Radio(nullptr, IdDisplayed, QString::fromUtf8("表示レイヤ(&D)"), -1, 0), 1, 0, 1, 2),
        ModeDisplayed);
    m_mode->Add(
        Put(layers, b.Radio(nullptr, IdAllLayers, QString::fromUtf8("全レイヤ(&L)"), -1, 0), 2, 0, 1, 2),
        ModeAll);
    m_mode->Add(
        Put(layers, b.Radio(nullptr, IdListed, QString::fromUtf8("指定レイヤ(&E)"), -1, 0), 3, 0, 1, 2),
        ModeListed);
    m_layer = Put(layers, b.Add(IdLayerList, new QLineEdit(this), -1, 0), 4, 0);
    m_layer->setReadOnly(true);
    NoInputMethod(m_layer);
    QPushButton* pick = Put(layers, b.Button(IdLayerButton, QString(), -1, 0), 4, 1);
    pick->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    pick->setToolTip(QString::fromUtf8("レイヤ選択"));

    m_matchCase = b.Check(IdMatchCase, QString::fromUtf8("大文字と小文字を区別する(&C)"), 2, 0, 1, 3);
    m_word = b.Check(IdWord, QString::fromUtf8("単語単位で検索する(&W)"), 3, 0, 1, 3);
    m_hide = b.Check(IdHide, QString::fromUtf8("非表示文字も検索する(&H)"), 4, 0, 1, 3);
    m_allSheet = b.Check(IdAllSheet, QString::fromUtf8("開いている図面全部を対象にする(&A)"), 5, 0, 1, 3);
    m_selectItem = b.Check(IdSelectItem, QString::fromUtf8("対象アイテムを選択状態にする(&M)"), 6, 0, 1, 3);
    b.OkCancel(0, 3);
    // Cancel sits under OK, not in the middle of the tall row beside it.
    Grid()->setAlignment(FindControl(this, CDialogBuilder::IdCancel), Qt::AlignTop);

    connect(m_selectItem, &QCheckBox::clicked, this, [this] { UpdateData(true); });
    connect(m_mode, &CRadioGroup::choiceClicked, this, [this] { UpdateData(true); });
    connect(pick, &QPushButton::clicked, this, &CDlgFind::OnLayerButton);
}

void CDlgFind::LoadProfile()
{
    const platform::Profile& p = platform::GetProfile();
    m_nTarget = p.GetInt(kSection, "Target", 514);
    bool* flags[] = {&m_bPartName, &m_bReference, &m_bValue, &m_bPartText, &m_bText, &m_bDimension};
    for (std::size_t i = 0; i < std::size(kKinds); ++i)
        *flags[i] = (m_nTarget & kKinds[i].bit) != 0;
    m_bMatchCase = p.GetInt(kSection, "MatchCase", 0) != 0;
    m_bHide = p.GetInt(kSection, "Hide", 0) != 0;
    m_bAllSheet = p.GetInt(kSection, "AllSheet", 1) != 0;
    m_bSelectItem = p.GetInt(kSection, "SelectItem", 0) != 0;
    m_bWord = p.GetInt(kSection, "Word", 0) != 0;
    m_nLayMode = p.GetInt(kSection, "LayMode", ModeWriteLayer);
    if (m_nLayMode < ModeWriteLayer || m_nLayMode > ModeListed)
        m_nLayMode = ModeWriteLayer;
    for (int i = 0; i < kHistory; ++i)
        m_history[static_cast<std::size_t>(i)] = p.GetString(kSection, platform::Format("Find%d", i + 1));
    m_strText = m_history[0];

    std::string layer = p.GetString(kSection, "Layer");
    layer.erase(0, layer.find_first_not_of(" \t"));
    m_strLayer = layer;
    // Fields that are no layer number take no position; a layer keeps its first one.
    m_order.fill(0);
    int next = 0;
    for (const std::string& field : platform::Split(layer, ',')) {
        const int number = FieldNumber(field);
        if (number >= 1 && number <= kLayers && m_order[static_cast<std::size_t>(number - 1)] == 0)
            m_order[static_cast<std::size_t>(number - 1)] = ++next;
    }
}

void CDlgFind::SaveProfile()
{
    const bool flags[] = {m_bPartName, m_bReference, m_bValue, m_bPartText, m_bText, m_bDimension};
    m_nTarget = 0;
    for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (flags[i])
            m_nTarget |= kKinds[i].bit;
    }
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "Target", m_nTarget);
    p.SetInt(kSection, "MatchCase", m_bMatchCase);
    p.SetInt(kSection, "Hide", m_bHide);
    p.SetInt(kSection, "AllSheet", m_bAllSheet);
    p.SetInt(kSection, "SelectItem", m_bSelectItem);
    p.SetInt(kSection, "Word", m_bWord);
    for (int i = 0; i < m_text->count(); ++i) {
        const std::string entry = platform::QStringToCp932(m_text->itemText(i)).value_or(std::string());
        p.SetString(kSection, platform::Format("Find%d", i + 1), entry);
    }
    p.SetString(kSection, "Layer", m_strLayer);
    p.SetInt(kSection, "LayMode", m_nLayMode);
}

void CDlgFind::GetSearchLayers(int* layers) const
{
    for (int i = 0; i < kLayers; ++i) {
        if (m_nLayMode == ModeAll)
            layers[i] = 1;
        else if (m_nLayMode == ModeListed)
            layers[i] = m_order[static_cast<std::size_t>(i)];
        else
            layers[i] = 0;
    }
}

void CDlgFind::OnInitDialog()
{
    LoadProfile();
    m_text->clear();
    for (const std::string& entry : m_history) {
        if (TrimRight(entry).empty())
            break;
        m_text->addItem(platform::Cp932ToQString(entry));
    }
    UpdateData(false);
}

void CDlgFind::RefreshStates()
{
    m_allSheet->setEnabled(!m_bSelectItem);
    m_selectItem->setEnabled(m_nLayMode == ModeWriteLayer);
}

bool CDlgFind::DoDataExchange(bool save)
{
    bool* flags[] = {&m_bPartName, &m_bReference, &m_bValue, &m_bPartText, &m_bText, &m_bDimension};
    if (save) {
        for (std::size_t i = 0; i < m_kinds.size(); ++i)
            *flags[i] = m_kinds[i]->isChecked();
        m_bMatchCase = m_matchCase->isChecked();
        m_bWord = m_word->isChecked();
        m_bHide = m_hide->isChecked();
        m_bAllSheet = m_allSheet->isChecked();
        m_bSelectItem = m_selectItem->isChecked();
        m_nLayMode = std::max(m_mode->Get(), 0);
        std::string text;
        if (!FieldText(m_text->lineEdit(), text))
            return false;
        m_strText = TrimRight(text);
    } else {
        for (std::size_t i = 0; i < m_kinds.size(); ++i)
            m_kinds[i]->setChecked(*flags[i]);
        m_matchCase->setChecked(m_bMatchCase);
        m_word->setChecked(m_bWord);
        m_hide->setChecked(m_bHide);
        m_allSheet->setChecked(m_bAllSheet);
        m_selectItem->setChecked(m_bSelectItem);
        m_mode->Set(m_nLayMode);
        m_text->setEditText(platform::Cp932ToQString(m_strText));
        m_layer->setText(platform::Cp932ToQString(m_strLayer));
    }
    RefreshStates();
    return true;
}

void CDlgFind::OnLayerButton()
{
    UpdateData(true);
    CDlgLayerSel dialog(this);
    dialog.m_order = m_order;
    dialog.SetDispMode(0);
    dialog.SetOrder(false);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_strLayer = dialog.GetLayerList(m_order.data());
    UpdateData(false);
}

void CDlgFind::accept()
{
    if (!UpdateData(true))
        return;
    if (m_nLayMode != ModeWriteLayer)
        m_bSelectItem = 0;
    if (m_strText.empty()) {
        AfxMessageBox(_J("検索文字列を入力して下さい。"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<std::string> list;
    for (int i = 0; i < m_text->count(); ++i)
        list.push_back(platform::QStringToCp932(m_text->itemText(i)).value_or(std::string()));
    std::array<std::string, kHistory> history;
    std::size_t next = 0;
    history[next++] = m_strText;
    for (const std::string& entry : list) {
        if (next == history.size())
            break;
        if (entry != m_strText && !entry.empty())
            history[next++] = entry;
    }
    m_history = history;
    m_text->clear();
    for (const std::string& entry : m_history)
        m_text->addItem(platform::Cp932ToQString(entry));
    SaveProfile();
    QDialog::accept();
}
