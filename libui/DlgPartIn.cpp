#include "libui/DlgPartIn.h"

#include "libui/DlgLibList.h"
#include "libui/FormulaEdit.h"
#include "libui/HistoryCombo.h"
#include "libui/TriStateCheck.h"
#include "model/items/Part.h"
#include "model/services/StringTable.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <numbers>

namespace {

constexpr const char* kSection = "PartIn";
constexpr const char* kDispKey = "Disp";
constexpr int kDefaultDisp = 0x9000028;
constexpr unsigned kAllLayers = 0xFFFF0000u;

} // namespace

const std::vector<CDlgPartIn::MaskBox>& CDlgPartIn::MaskBoxes()
{
    // "部品外形" stands for both outline part layers.
    static const std::vector<MaskBox> boxes = {
        {1581, "部品取付穴", 0x10000},     {1582, "シルク図形", 0x20000},
        {1583, "シルク文字", 0x40000},     {1590, "メタルマスク", 0x80000},
        {1592, "レジスト", 0x100000},      {1584, "配線禁止領域", 0x200000},
        {1588, "部品高さ領域", 0x400000},  {1589, "部品寸法線", 0x1000000},
        {1591, "部品外形", 0x24000000},    {1593, "回路イメージ", 0x8000000},
        {1585, "ビア禁止領域", 0x40000000}};
    return boxes;
}

CDlgPartIn::CDlgPartIn(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("部品入力"), parent)
{
    CDialogBuilder& b = Builder();
    QGridLayout* grid = Grid();
    b.Label(QString::fromUtf8("部品名"), 0, 0);
    m_nameCombo = b.Add(IdPartName, new CHistoryCombo(false, this), 0, 1, 1, 2);
    m_nameCombo->setMinimumWidth(200);
    b.Button(IdLibrary, QString::fromUtf8("ライブラリ(&B)"), 0, 3);
    m_nameDispCheck = b.Check(IdPartNameDisp, QString::fromUtf8("部品名(&N)"), 1, 0);
    m_refDispCheck = b.Add(IdRefDisp, new CTriStateCheck(QString::fromUtf8("参照番号(&R)"), this), 2, 0);
    m_refEdit = b.Add(IdRef, new QLineEdit(this), 2, 1, 1, 2);
    m_valueDispCheck = b.Add(IdValueDisp, new CTriStateCheck(QString::fromUtf8("初期値(&V)"), this), 3, 0);
    m_valueCombo = b.Add(IdValue, new QComboBox(this), 3, 1, 1, 2);
    m_valueCombo->setEditable(true);
    m_refDispCheck->setTristate(true);
    m_valueDispCheck->setTristate(true);
    m_solderCheck = b.Check(IdSolderSide, QString::fromUtf8("半田面配置(&P)"), 4, 0, 1, 2);

    QGridLayout* position = AddGroup(QString::fromUtf8("位置指定"), 5, 0, 1, 3);
    Put(position, b.Label(QStringLiteral("&X"), -1, 0), 0, 0);
    m_xEdit = Put(position, b.Add(IdX, new CFormulaEdit(this), -1, 0), 0, 1);
    Put(position, b.Label(QStringLiteral("&Y"), -1, 0), 0, 2);
    m_yEdit = Put(position, b.Add(IdY, new CFormulaEdit(this), -1, 0), 0, 3);
    Put(position, b.Label(QString::fromUtf8("角度(&G)"), -1, 0), 1, 0, 1, 1);
    m_angleEdit = Put(position, b.Add(IdAngle, new CFormulaEdit(this), -1, 0), 1, 1);
    for (CFormulaEdit* edit : {m_xEdit, m_yEdit, m_angleEdit}) {
        NoInputMethod(edit);
        edit->setFixedWidth(90);
    }

    QGridLayout* layers = AddGroup(QString::fromUtf8("除外層"), 6, 0, 1, 4);
    int n = 0;
    for (const MaskBox& box : MaskBoxes()) {
        m_maskChecks.push_back(
            Put(layers, b.Check(box.id, QString::fromUtf8(box.caption), -1, 0), n / 3, n % 3));
        ++n;
    }
    QPushButton* all = Put(layers, b.Button(IdAll, QStringLiteral("ALL"), -1, 0), n / 3, 2);
    b.OkCancel(1, 3);
    grid->setRowStretch(7, 1);

    connect(all, &QPushButton::clicked, this, &CDlgPartIn::OnAll);
    connect(FindControl<QPushButton>(this, IdLibrary), &QPushButton::clicked, this, &CDlgPartIn::OnLibrary);
}

void CDlgPartIn::OnInitDialog()
{
    const int disp = platform::GetProfile().GetInt(kSection, kDispKey, kDefaultDisp);
    m_nMask = static_cast<unsigned>(disp) & kAllLayers;
    m_nRefDisp = (disp >> 2) & 3;
    m_nPartNameDisp = disp & 1;
    m_nValueDisp = (disp >> 4) & 3;
    for (CFormulaEdit* edit : {m_xEdit, m_yEdit, m_angleEdit})
        edit->setText(QStringLiteral("***"));
    m_nameCombo->SetMaxHistoryItems(16);
    m_nameCombo->LoadHistory("Recent Part List", "Part");
    UpdateData(false);
}

bool CDlgPartIn::DoDataExchange(bool save)
{
    if (save) {
        m_partName = m_nameCombo->currentText();
        m_reference = m_refEdit->text();
        m_value = m_valueCombo->currentText();
        m_nPartNameDisp = m_nameDispCheck->isChecked() ? 1 : 0;
        m_nRefDisp = m_refDispCheck->GetState();
        m_nValueDisp = m_valueDispCheck->GetState();
        m_nSolder = m_solderCheck->isChecked() ? 1 : 0;
        m_nMask = 0;
        for (std::size_t i = 0; i < m_maskChecks.size(); ++i)
            if (m_maskChecks[i]->isChecked())
                m_nMask |= MaskBoxes()[i].bits;
        return true;
    }
    m_nameCombo->setEditText(m_partName);
    m_refEdit->setText(m_reference);
    m_valueCombo->setEditText(m_value);
    m_nameDispCheck->setChecked(m_nPartNameDisp != 0);
    m_refDispCheck->SetState(m_nRefDisp);
    m_valueDispCheck->SetState(m_nValueDisp);
    m_solderCheck->setChecked(m_nSolder != 0);
    for (std::size_t i = 0; i < m_maskChecks.size(); ++i)
        m_maskChecks[i]->setChecked((m_nMask & MaskBoxes()[i].bits) != 0);
    return true;
}

void CDlgPartIn::OnAll()
{
    UpdateData(true);
    m_nMask = m_nMask == 0 ? kAllLayers : 0;
    UpdateData(false);
}

void CDlgPartIn::OnLibrary()
{
    CDlgLibList browser(this);
    browser.SetDocument(m_pDoc);
    if (browser.DoModal() != QDialog::Accepted)
        return;
    UpdateData(true);
    const CPart part = browser.GetPart();
    if (!part.GetPartName().empty()) {
        m_partName = platform::Cp932ToQString(part.GetPartName());
        if (m_reference.isEmpty())
            m_reference = platform::Cp932ToQString(part.GetRefName());
        if (m_value.isEmpty())
            m_value = platform::Cp932ToQString(part.GetValName());
    }
    UpdateData(false);
}

void CDlgPartIn::accept()
{
    if (!UpdateData(true))
        return;
    if (m_partName.isEmpty()) {
        AfxMessageBox(LoadQuarnString(IDS_PART_NAME_MISSING), MB_OK | MB_ICONEXCLAMATION);
        m_nameCombo->setFocus();
        return;
    }
    const std::pair<const QString*, QWidget*> texts[] = {
        {&m_partName, m_nameCombo}, {&m_reference, m_refEdit}, {&m_value, m_valueCombo}};
    for (const auto& [text, field] : texts) {
        if (!platform::QStringToCp932(*text)) {
            AfxMessageBox(_J("この文字列には使用できない文字が含まれています。"), MB_OK | MB_ICONEXCLAMATION);
            field->setFocus();
            return;
        }
    }
    platform::GetProfile().SetInt(
        kSection, kDispKey, m_nPartNameDisp + m_nRefDisp * 4 + m_nValueDisp * 16 + static_cast<int>(m_nMask));
    CDPoint point = m_point;
    double angle = m_dAngle;
    const bool xGiven = m_xEdit->IsChanged(), yGiven = m_yEdit->IsChanged(),
               angleGiven = m_angleEdit->IsChanged();
    if (xGiven && !m_xEdit->GetValue(&point.x, 1)) {
        m_xEdit->setFocus();
        return;
    }
    if (yGiven && !m_yEdit->GetValue(&point.y, 1)) {
        m_yEdit->setFocus();
        return;
    }
    if (angleGiven) {
        double degrees = 0.0;
        if (!m_angleEdit->GetValue(&degrees, 1)) {
            m_angleEdit->setFocus();
            return;
        }
        angle = degrees * std::numbers::pi / 180.0;
    }
    m_point = point;
    m_dAngle = angle;
    m_bXGiven = xGiven;
    m_bYGiven = yGiven;
    m_bAngleGiven = angleGiven;
    QDialog::accept();
}

bool CDlgPartIn::Run(PartInDialogData& data, QWidget* parent)
{
    CDlgPartIn dialog(parent);
    dialog.m_reference = platform::Cp932ToQString(data.reference);
    dialog.m_value = platform::Cp932ToQString(data.value);
    dialog.m_partName = platform::Cp932ToQString(data.partName);
    dialog.m_pDoc = data.doc;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    // Text the caller handed in keeps its own bytes unless the user changed it.
    const auto bytes = [](const QString& shown, const std::string& original) {
        if (shown == platform::Cp932ToQString(original))
            return original;
        return platform::QStringToCp932(shown).value_or(std::string());
    };
    PartInDialogData result = data;
    result.partName = bytes(dialog.m_partName, data.partName);
    result.reference = bytes(dialog.m_reference, data.reference);
    result.value = bytes(dialog.m_value, data.value);
    result.partNameDisplay = dialog.m_nPartNameDisp;
    result.referenceDisplay = dialog.m_nRefDisp;
    result.valueDisplay = dialog.m_nValueDisp;
    result.solderSide = dialog.m_nSolder;
    result.excludedLayers = static_cast<int>(dialog.m_nMask);
    result.position = dialog.m_point;
    result.angle = dialog.m_dAngle;
    result.xGiven = dialog.m_bXGiven;
    result.yGiven = dialog.m_bYGiven;
    result.angleGiven = dialog.m_bAngleGiven;
    data = result;
    return true;
}
