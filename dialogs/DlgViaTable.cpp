#include "dialogs/DlgViaTable.h"

#include "controls/GfxListCtrl.h"
#include "libui/SpinButton.h"
#include "platform/Numbers.h"

#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <vector>

namespace {

enum Column
{
    ColNone,
    ColNumber,
    ColDrill,
    ColLand1,
    ColLand2,
    ColLand3,
    ColResist1,
    ColThermal,
    ColResist3,
    ColClearance
};

// Positions of a via's fifteen turret bytes: group g (0 component, 1 inner, 2 solder), position p
// (0 and 1 land, 2 resist, 3 thermal, 4 clearance).
constexpr int At(int group, int position)
{
    return group * 5 + position;
}

// The bytes a column shows (the first) and sets (all of them).
std::vector<int> ColumnBytes(int column)
{
    switch (column) {
    case ColLand1:
        return {At(0, 0), At(0, 1)};
    case ColLand2:
        return {At(1, 0), At(1, 1)};
    case ColLand3:
        return {At(2, 0), At(2, 1)};
    case ColResist1:
        return {At(0, 2)};
    case ColResist3:
        return {At(2, 2)};
    case ColThermal:
        return {At(1, 3), At(0, 3), At(2, 3)};
    case ColClearance:
        return {At(1, 4), At(0, 4), At(2, 4)};
    default:
        return {};
    }
}

} // namespace

CDlgViaTable::CDlgViaTable(QWidget* parent)
    : CNumberedTableDialog(IDD, QString::fromUtf8("ビアテーブル"), IdGrid, parent)
{
    CDialogBuilder& b = Builder();
    QGridLayout* numbers = AddGroup(QString(), 0, 0);
    Put(numbers, b.Label(QString::fromUtf8("入力初期値(&D)"), -1, 0), 0, 0);
    m_default = AddIntField(numbers, IdDefault, IdDefaultSpin, m_defaultSpin, 0, 1);
    Put(numbers, b.Label(QString::fromUtf8("自動発生ビア(&A)"), -1, 0), 0, 2);
    m_auto = AddIntField(numbers, IdAuto, IdAutoSpin, m_autoSpin, 0, 3);
    b.OkCancel(0, 1, Qt::Horizontal);
    AddGrid(1, 3);
}

void CDlgViaTable::OnInitDialog()
{
    SetupGrid({{ColNone, "", LVCFMT_LEFT, 0, 0x180},
               {ColNumber, "No", LVCFMT_RIGHT, 30, 0xA8},
               {ColDrill, "穴径", LVCFMT_CENTER, 40, 0x14},
               {ColLand1, "部品", LVCFMT_RIGHT, 40, 0x4},
               {ColLand2, "内層", LVCFMT_RIGHT, 40, 0x4},
               {ColLand3, "半田", LVCFMT_RIGHT, 40, 0x4},
               {ColResist1, "部Ｒ", LVCFMT_RIGHT, 40, 0x4},
               {ColThermal, "内Ｔ", LVCFMT_RIGHT, 40, 0x4},
               {ColResist3, "半Ｒ", LVCFMT_RIGHT, 40, 0x4},
               {ColClearance, "内Ｃ", LVCFMT_RIGHT, 40, 0x4}},
              {0, 1, 2, 3, 6, 4, 7, 9, 5, 8}, kRows, 0x3FF);
    for (CSpinButton* spin : {m_defaultSpin, m_autoSpin})
        spin->SetRange(0, VIA_MAX);
    UpdateData(false);
}

bool CDlgViaTable::DoDataExchange(bool save)
{
    if (save)
        return CheckIntRange(m_default, 1, VIA_MAX, m_nDefaultVia) &&
               CheckIntRange(m_auto, 1, VIA_MAX, m_nAutoVia);
    m_defaultSpin->SetPosition(m_nDefaultVia);
    m_autoSpin->SetPosition(m_nAutoVia);
    m_default->setText(QString::number(m_nDefaultVia));
    m_auto->setText(QString::number(m_nAutoVia));
    return true;
}

void CDlgViaTable::CellText(int id, int row, std::string& out)
{
    if (row < 0 || row >= kRows)
        return;
    const tagVIA& via = m_vias[static_cast<std::size_t>(row + 1)];
    if (id == ColNumber)
        out = platform::Format("%3d", row + 1);
    else if (id == ColDrill)
        out = platform::Format("%.2f", via.drill);
    else if (const std::vector<int> bytes = ColumnBytes(id); !bytes.empty())
        out = platform::Format("%3d", via.lands[static_cast<std::size_t>(bytes.front())]);
}

int CDlgViaTable::CellRequest(LXHDREX* request)
{
    const int row = static_cast<int>(request->lParam);
    if (request->nCode != GFXREQ_ENDEDIT || row < 0 || row >= kRows)
        return 0;
    tagVIA& via = m_vias[static_cast<std::size_t>(row + 1)];
    const std::string& text = request->strText;
    if (request->nSubItem == ColDrill) {
        const char* end = nullptr;
        const double value = platform::Strtod(text.c_str(), &end);
        if (end != text.c_str() && std::isfinite(value) && value >= 0.0 && value <= 300.0)
            via.drill = value;
    } else if (const std::vector<int> bytes = ColumnBytes(request->nSubItem); !bytes.empty()) {
        // 0 only when typed as "0": any other text that reads as 0 is no number.
        const int value = platform::Atoi(text);
        if ((value != 0 || text == "0") && value >= 0 && value <= TURRET_MAX)
            for (int at : bytes)
                via.lands[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
    }
    // The cells show the stored values, asked of the dialog.
    List()->viewport()->update();
    return 0;
}

void CDlgViaTable::accept()
{
    if (!UpdateData(true))
        return;
    CNumberedTableDialog::accept();
}
