#include "libui/DlgLayerSel.h"

#include "libui/CheckListBox.h"
#include "libui/RadioGroup.h"
#include "model/services/FrameServices.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CDlgLayerSel::CDlgLayerSel(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("レイヤ選択"), parent)
{
    CDialogBuilder& b = Builder();
    m_list = b.Add(IdList, new CCheckListBox(this), 0, 0, 4, 1);
    m_list->setMinimumSize(220, 260);
    QGridLayout* group = AddGroup(QString::fromUtf8("レイヤ"), 0, 1);
    m_filterGroup = new CRadioGroup(this);
    m_filterGroup->Add(Put(group, b.Radio(nullptr, IdAll, QString::fromUtf8("全部(&A)"), -1, 0), 0, 0), 0);
    m_filterGroup->Add(Put(group, b.Radio(nullptr, IdData, QString::fromUtf8("データ(&T)"), -1, 0), 1, 0), 1);
    m_filterGroup->Add(Put(group, b.Radio(nullptr, IdDisplayed, QString::fromUtf8("表示(&D)"), -1, 0), 2, 0),
                       2);
    QPushButton* clear = b.Button(IdClear, QString::fromUtf8("クリア(&C)"), 1, 1);
    m_text = b.Add(IdText, new QLineEdit(this), 4, 0, 1, 2);
    m_text->setReadOnly(true);
    b.OkCancel(2, 1);

    connect(m_list, &CCheckListBox::checkChanged, this, &CDlgLayerSel::OnCheckChange);
    connect(m_filterGroup, &CRadioGroup::choiceClicked, this, [this] { UpdateData(true); });
    connect(clear, &QPushButton::clicked, this, &CDlgLayerSel::OnClear);
}

void CDlgLayerSel::OnInitDialog()
{
    m_filter = m_dispMode >= 0 ? m_dispMode : platform::GetProfile().GetInt("Default", "LaySelMode", 0);
    if (m_filter < 0 || m_filter > 2)
        m_filter = 0;
    for (int& slot : m_order) {
        if (slot < 0)
            slot = 0;
    }
    if (!m_checkOrder)
        Renumber();
    m_text->setText(ListText());
    if (m_checkOrder)
        setWindowTitle(windowTitle() + QString::fromUtf8("(チェック順)"));
    UpdateData(false);
}

bool CDlgLayerSel::DoDataExchange(bool save)
{
    if (save)
        m_filter = std::max(m_filterGroup->Get(), 0);
    else
        m_filterGroup->Set(m_filter);

    m_list->clear();
    std::array<std::uint32_t, LAYER_MAX> flags{};
    flags[0] = static_cast<std::uint32_t>(m_filter);
    FrameServices* frame = GetFrameServices();
    if (!frame)
        return true;
    frame->GetLayerFlags(flags, m_dataKind);
    for (int layer = 0; layer < kLayers; ++layer) {
        if (!flags[static_cast<std::size_t>(layer)])
            continue;
        const tagLAYER record = frame->GetLayer(layer);
        const QString text = QString::asprintf("%3d ", layer + 1) + platform::Cp932ToQString(record.name);
        m_list->AddRow(text, layer, m_order[static_cast<std::size_t>(layer)] != 0 ? 1 : 0);
    }
    return true;
}

void CDlgLayerSel::Renumber()
{
    int next = 0;
    for (int& slot : m_order) {
        if (slot != 0)
            slot = ++next;
    }
}

QString CDlgLayerSel::ListText() const
{
    std::string text;
    for (int number = 1; number <= kLayers; ++number) {
        for (int layer = 0; layer < kLayers; ++layer) {
            if (m_order[static_cast<std::size_t>(layer)] == number) {
                char item[16];
                std::snprintf(item, sizeof item, "%3d,", layer + 1);
                text += item;
                break;
            }
        }
    }
    if (!text.empty())
        text.pop_back();
    return QString::fromLatin1(text.c_str());
}

std::string CDlgLayerSel::GetLayerList(int* order) const
{
    if (order)
        std::copy(m_order.begin(), m_order.end(), order);
    return ListText().toStdString();
}

void CDlgLayerSel::OnCheckChange(int row)
{
    const int layer = m_list->GetRowData(row);
    if (layer < 0 || layer >= kLayers)
        return;
    int& slot = m_order[static_cast<std::size_t>(layer)];
    const bool ticked = m_list->GetCheck(row) == 1;
    if (m_checkOrder) {
        if (ticked && slot == 0) {
            slot = static_cast<int>(
                       std::count_if(m_order.begin(), m_order.end(), [](int s) { return s != 0; })) +
                   1;
        } else if (!ticked && slot != 0) {
            const int removed = slot;
            slot = 0;
            for (int& other : m_order) {
                if (other > removed)
                    --other;
            }
        }
    } else {
        slot = ticked ? 1 : 0;
        Renumber();
    }
    m_text->setText(ListText());
}

void CDlgLayerSel::OnClear()
{
    m_order.fill(0);
    UpdateData(true);
    m_text->clear();
}

void CDlgLayerSel::accept()
{
    UpdateData(true);
    if (m_dispMode == -1)
        platform::GetProfile().SetInt("Default", "LaySelMode", m_filter);
    QDialog::accept();
}
