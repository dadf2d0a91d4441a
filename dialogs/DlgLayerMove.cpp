#include "dialogs/DlgLayerMove.h"

#include "libui/DlgLayerSel.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cctype>
#include <cstdlib>

namespace {

// A list field's layer number, or 0 for anything that is none (too large included).
int LayerNumber(const std::string& field)
{
    const long value = std::strtol(field.c_str(), nullptr, 10);
    return value >= 1 && value <= CDlgLayerMove::kLayers ? static_cast<int>(value) : 0;
}

} // namespace

CDlgLayerMove::CDlgLayerMove(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("レイヤ移動/コピー"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("移動元レイヤ(&F)"), 0, 0);
    m_source = b.Add(IdSource, new QLineEdit(this), 0, 1);
    m_source->setReadOnly(true);
    m_source->setMinimumWidth(240);
    b.Label(QString::fromUtf8("移動先レイヤ(&T)"), 1, 0);
    m_target = b.Add(IdTarget, new QLineEdit(this), 1, 1);
    NoInputMethod(m_target);
    QPushButton* pick = b.Button(IdLayerButton, QString::fromUtf8("レイヤ選択(&L)"), 2, 1);
    m_copy = b.Check(IdCopy, QString::fromUtf8("コピーする(&C)"), 2, 0);
    b.OkCancel(0, 2);
    connect(pick, &QPushButton::clicked, this, &CDlgLayerMove::OnLayerButton);
}

void CDlgLayerMove::OnInitDialog()
{
    m_strSource.clear();
    for (int i = 0; i < m_nCount && i < kLayers; ++i)
        m_strSource += platform::Format("%3d,", m_layers[static_cast<std::size_t>(i)] + 1);
    while (!m_strSource.empty() && (m_strSource.back() == ' ' || m_strSource.back() == ','))
        m_strSource.pop_back();
    UpdateData(false);
}

bool CDlgLayerMove::DoDataExchange(bool save)
{
    if (save) {
        m_bCopy = m_copy->isChecked();
        return FieldText(m_target, m_strTarget);
    }
    m_copy->setChecked(m_bCopy != 0);
    m_source->setText(platform::Cp932ToQString(m_strSource));
    m_target->setText(platform::Cp932ToQString(m_strTarget));
    return true;
}

void CDlgLayerMove::OnLayerButton()
{
    if (!UpdateData(true))
        return;
    std::array<int, kLayers> order{};
    std::string text = m_strTarget;
    text.erase(0, text.find_first_not_of(" \t"));
    for (char& c : text) {
        if (c == '.')
            c = ',';
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == ','))
        text.pop_back();
    int next = 0;
    for (const std::string& field : platform::Split(text, ',')) {
        const int number = LayerNumber(field);
        if (number != 0 && order[static_cast<std::size_t>(number - 1)] == 0)
            order[static_cast<std::size_t>(number - 1)] = ++next;
    }
    CDlgLayerSel dialog(this);
    dialog.m_order = order;
    dialog.SetOrder(true);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_strTarget = dialog.GetLayerList(nullptr);
    UpdateData(false);
}

void CDlgLayerMove::accept()
{
    if (!UpdateData(true))
        return;
    // Any run of other characters separates two numbers.
    std::string digits;
    for (char c : m_strTarget)
        digits += std::isdigit(static_cast<unsigned char>(c)) ? c : ' ';
    std::vector<std::string> targets;
    for (std::size_t pos = 0; pos < digits.size();) {
        const std::size_t start = digits.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const std::size_t end = std::min(digits.find(' ', start), digits.size());
        targets.push_back(digits.substr(start, end - start));
        pos = end;
    }
    m_strTarget.clear();
    for (const std::string& t : targets)
        m_strTarget += (m_strTarget.empty() ? "" : ",") + t;
    if (targets.empty()) {
        reject();
        return;
    }
    if (m_nCount > 1 && targets.size() == 1) {
        const std::string& question =
            m_bCopy ? _J("１つのレイヤにコピーしますか") : _J("１つのレイヤに移動しますか");
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        targets.assign(static_cast<std::size_t>(m_nCount), targets.front());
    }
    // The dialog may stay open: nothing is handed back until it closes.
    const bool oneToMany = m_bCopy && m_nCount == 1;
    if (!oneToMany && static_cast<int>(targets.size()) != m_nCount)
        return;
    if (targets.size() > static_cast<std::size_t>(kLayers))
        return;
    const int count = oneToMany ? static_cast<int>(targets.size()) : m_nCount;
    std::array<int, kLayers> layers = m_layers;
    for (int i = 0; i < count; ++i) {
        const int number = LayerNumber(targets[static_cast<std::size_t>(i)]);
        if (number == 0) {
            AfxMessageBox(_J("レイヤは１から１２８を指定してください"), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        layers[static_cast<std::size_t>(i)] = number - 1;
    }
    m_bOneToMany = oneToMany;
    m_nCount = count;
    m_layers = layers;
    QDialog::accept();
}
