#include "dialogs/DlgLayerPattern.h"

#include "libui/DlgLayerSel.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>

namespace {

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool BadFileName(const std::string& file)
{
    return platform::FindByte(file, ':') != std::string::npos ||
           platform::FindByte(file, '\\') != std::string::npos;
}

} // namespace

CDlgLayerPattern::CDlgLayerPattern(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("レイヤパターン"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("名称(&N)"), 0, 0);
    b.Add(IdName, new QLineEdit(this), 0, 1);
    b.Label(QString::fromUtf8("ファイル名(&F)"), 1, 0);
    b.Add(IdFile, new QLineEdit(this), 1, 1);
    QPushButton* layers = b.Button(IdLayerButton, QString::fromUtf8("レイヤ選択(&L)"), 2, 0);
    QLineEdit* layerText = b.Add(IdLayers, new QLineEdit(this), 2, 1);
    layerText->setReadOnly(true);
    NoInputMethod(layerText);
    m_list = b.Add(IdList, new QListWidget(this), 3, 0, 4, 2);
    m_list->setMinimumSize(420, 180);
    // The padded fields line up only in a fixed-pitch face.
    QFont font(QStringLiteral("IPAGothic"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    m_list->setFont(font);
    // A long entry scrolls sideways rather than widening the dialog.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_add = b.Button(IdAdd, QString::fromUtf8("追加(&A)"), 3, 2);
    m_up = b.Button(IdUp, QString::fromUtf8("上に(&U)"), 4, 2);
    m_down = b.Button(IdDown, QString::fromUtf8("下に(&D)"), 5, 2);
    m_delete = b.Button(IdDelete, QString::fromUtf8("削除(&E)"), 6, 2, 1, 1);
    b.OkCancel(0, 2);

    connect(layers, &QPushButton::clicked, this, &CDlgLayerPattern::OnLayerButton);
    connect(m_add, &QPushButton::clicked, this, &CDlgLayerPattern::OnAdd);
    connect(m_delete, &QPushButton::clicked, this, &CDlgLayerPattern::OnDelete);
    connect(m_up, &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { OnMove(1); });
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CDlgLayerPattern::OnSelect);
    for (int id : {IdName, IdFile})
        connect(FindControl<QLineEdit>(this, id), &QLineEdit::textEdited, this,
                &CDlgLayerPattern::RefreshButtons);
}

std::string CDlgLayerPattern::FormatEntry(const std::string& name, const std::string& file,
                                          const std::string& layers)
{
    return platform::Format("%-14s: %-13s:", name.c_str(), file.c_str()) + layers;
}

void CDlgLayerPattern::ParseEntry(const std::string& entry, std::string& name, std::string& file,
                                  std::string& layers)
{
    const std::size_t first = entry.find(':');
    const std::size_t last = entry.rfind(':');
    if (first == std::string::npos) {
        name = Trim(entry);
        file.clear();
        layers.clear();
        return;
    }
    name = Trim(entry.substr(0, first));
    file = first == last ? std::string() : Trim(entry.substr(first + 1, last - first - 1));
    layers = entry.substr(last + 1);
}

void CDlgLayerPattern::InsertRow(int row, const std::string& entry)
{
    m_rows.insert(m_rows.begin() + row, entry);
    const QSignalBlocker block(m_list);
    m_list->insertItem(row, platform::Cp932ToQString(entry));
}

std::string CDlgLayerPattern::RowText(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<std::size_t>(row)]
                                                             : std::string();
}

void CDlgLayerPattern::OnInitDialog()
{
    m_list->clear();
    m_rows.clear();
    for (const std::string& entry : m_entries)
        InsertRow(static_cast<int>(m_rows.size()), entry);
    if (m_bPrinter) {
        m_strFile = "PRINTER";
        FindControl<QLineEdit>(this, IdFile)->setReadOnly(true);
    }
    UpdateData(false);
    RefreshButtons();
}

bool CDlgLayerPattern::DoDataExchange(bool save)
{
    auto* name = FindControl<QLineEdit>(this, IdName);
    auto* file = FindControl<QLineEdit>(this, IdFile);
    if (save) {
        std::string nameText;
        std::string fileText;
        if (!FieldText(name, nameText) || !FieldText(file, fileText))
            return false;
        m_strName = nameText;
        m_strFile = fileText;
    } else {
        name->setText(platform::Cp932ToQString(m_strName));
        file->setText(platform::Cp932ToQString(m_strFile));
        FindControl<QLineEdit>(this, IdLayers)->setText(platform::Cp932ToQString(m_strLayers));
    }
    return true;
}

void CDlgLayerPattern::RefreshButtons()
{
    const int row = m_list->currentRow();
    const int count = m_list->count();
    const bool selected =
        row >= 0 && row < count && m_list->currentItem() && m_list->currentItem()->isSelected();
    m_up->setEnabled(selected && row > 0);
    m_down->setEnabled(selected && row < count - 1);
    m_delete->setEnabled(count > 0 && selected);
    m_add->setEnabled(!FindControl<QLineEdit>(this, IdFile)->text().isEmpty() &&
                      !FindControl<QLineEdit>(this, IdName)->text().isEmpty() && !m_strLayers.empty());
}

void CDlgLayerPattern::ShowEntry(int row)
{
    std::string layers;
    ParseEntry(RowText(row), m_strName, m_strFile, layers);
    // Layer numbers outside 1..128 (a hand-edited entry) are left out; a layer keeps its first place.
    m_order.fill(0);
    m_strLayers.clear();
    int next = 0;
    for (const std::string& field : platform::Split(layers, ',')) {
        const long number = std::strtol(field.c_str(), nullptr, 10);
        if (number < 1 || number > kLayers || m_order[static_cast<std::size_t>(number - 1)] != 0)
            continue;
        m_order[static_cast<std::size_t>(number - 1)] = ++next;
        m_strLayers += platform::Format("%3d,", static_cast<int>(number));
    }
    if (!m_strLayers.empty())
        m_strLayers.pop_back();
    UpdateData(false);
}

void CDlgLayerPattern::OnSelect()
{
    const int row = m_list->currentRow();
    if (row >= 0 && m_list->currentItem()->isSelected())
        ShowEntry(row);
    RefreshButtons();
}

void CDlgLayerPattern::OnLayerButton()
{
    UpdateData(true);
    CDlgLayerSel dialog(this);
    dialog.m_order = m_order;
    dialog.SetOrder(m_bPrinter);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_strLayers = dialog.GetLayerList(m_order.data());
    UpdateData(false);
    RefreshButtons();
}

void CDlgLayerPattern::OnAdd()
{
    if (!UpdateData(true))
        return;
    if (!m_bPrinter && BadFileName(m_strFile)) {
        AfxMessageBox(_J("ファイル名が不正です"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    int row = static_cast<int>(m_rows.size());
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        std::string name, file, layers;
        ParseEntry(m_rows[static_cast<std::size_t>(i)], name, file, layers);
        const std::string& key = m_bPrinter ? name : file;
        if (platform::MbsICmp(key, m_bPrinter ? m_strName : m_strFile) == 0) {
            row = i;
            m_rows.erase(m_rows.begin() + i);
            const QSignalBlocker block(m_list);
            delete m_list->takeItem(i);
            break;
        }
    }
    InsertRow(row, FormatEntry(m_strName, m_strFile, m_strLayers));
    m_list->setCurrentRow(row);
    ShowEntry(row);
    RefreshButtons();
}

void CDlgLayerPattern::OnDelete()
{
    int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + row);
    {
        const QSignalBlocker block(m_list);
        delete m_list->takeItem(row);
    }
    if (!m_rows.empty()) {
        row = std::min(row, static_cast<int>(m_rows.size()) - 1);
        m_list->setCurrentRow(row);
        ShowEntry(row);
    } else {
        m_strName.clear();
        m_strLayers.clear();
        m_order.fill(0);
        if (!m_bPrinter)
            m_strFile.clear();
        UpdateData(false);
    }
    RefreshButtons();
}

void CDlgLayerPattern::OnMove(int delta)
{
    const int row = m_list->currentRow();
    const int other = row + delta;
    if (row < 0 || other < 0 || other >= static_cast<int>(m_rows.size()))
        return;
    std::swap(m_rows[static_cast<std::size_t>(row)], m_rows[static_cast<std::size_t>(other)]);
    {
        const QSignalBlocker block(m_list);
        m_list->item(row)->setText(platform::Cp932ToQString(m_rows[static_cast<std::size_t>(row)]));
        m_list->item(other)->setText(platform::Cp932ToQString(m_rows[static_cast<std::size_t>(other)]));
        m_list->setCurrentRow(other);
    }
    ShowEntry(other);
    RefreshButtons();
}

void CDlgLayerPattern::accept()
{
    if (!UpdateData(true))
        return;
    if (BadFileName(m_strFile)) {
        AfxMessageBox(_J("ファイル名が不正です"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_entries.clear();
    for (const std::string& row : m_rows)
        m_entries.push_back(Trim(row));
    QDialog::accept();
}
