#include "dialogs/DlgHoleData.h"

#include "controls/GfxListCtrl.h"
#include "controls/WidestItemWidth.h"
#include "document/NumberText.h"
#include "document/SettingSections.h"
#include "document/VELTADoc.h"
#include "libui/DlgLayerSel.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <cmath>

namespace {

constexpr int kErrorRow = -1; // row data of the error-code row

bool SameKind(const CDlgHoleData::HoleKind& a, const CDlgHoleData::HoleKind& b)
{
    return a.flags == b.flags && std::fabs(a.size1 - b.size1) <= 1e-6 &&
           std::fabs(a.size2 - b.size2) <= 1e-6 && std::fabs(a.radius - b.radius) <= 1e-6;
}

// A height read at OK: exactly 0 passes, anything else must lie in the range.
bool ReadHeight(CNumEdit* edit, double& value)
{
    bool ok = false;
    if (edit->text().trimmed().toDouble(&ok) == 0.0 && ok) {
        value = 0.0;
        return true;
    }
    return CheckNumberRange(edit, 0.6, 30.0, value);
}

// The edit's own form for a value in its range; a value outside it is shown as it is.
void ShowValue(CNumEdit* edit, double value)
{
    if (!edit->SetValue(value))
        edit->setText(platform::Cp932ToQString(FormatNumber(value)));
}

} // namespace

CDlgHoleData::CDlgHoleData(QWidget* parent)
    : CTableDialog(IDD, QString::fromUtf8("ホール径データ作成"), IdList, 0, false, parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("対象穴レイヤリスト"), 0, 0);
    m_layerText = b.Add(IdLayers, new QLineEdit(this), 0, 1);
    m_layerText->setReadOnly(true);
    m_layerText->setFocusPolicy(Qt::NoFocus);
    b.Button(IdLayerButton, QString::fromUtf8("レイヤ選択(&L)"), 0, 2);

    QGridLayout* symbols = AddGroup(QString::fromUtf8("記号"), 1, 0, 1, 3);
    Put(symbols, b.Label(QString::fromUtf8("レイヤ(&A)"), -1, 0), 0, 0);
    m_symbolLayer = Put(symbols, b.Add(IdSymbolLayer, new QComboBox(this), -1, 0), 0, 1, 1, 3);
    Put(symbols, b.Label(QString::fromUtf8("高さ(&H)"), -1, 0), 1, 0);
    m_symbolHeight = AddNumField(symbols, IdSymbolHeight, IdSymbolHeightSpin, m_spins[0], 1, 1);
    Put(symbols, b.Label(QString::fromUtf8("角度(&G)"), -1, 0), 1, 2);
    m_symbolAngle = AddNumField(symbols, IdSymbolAngle, IdSymbolAngleSpin, m_spins[1], 1, 3);
    Put(symbols, b.Label(QStringLiteral("&X"), -1, 0), 2, 0);
    m_symbolX = AddNumField(symbols, IdSymbolX, IdSymbolXSpin, m_spins[2], 2, 1);
    Put(symbols, b.Label(QStringLiteral("&Y"), -1, 0), 2, 2);
    m_symbolY = AddNumField(symbols, IdSymbolY, IdSymbolYSpin, m_spins[3], 2, 3);

    QGridLayout* table = AddGroup(QString::fromUtf8("表"), 2, 0, 1, 3);
    Put(table, b.Label(QString::fromUtf8("レイヤ(&R)"), -1, 0), 0, 0);
    m_tableLayer = Put(table, b.Add(IdTableLayer, new QComboBox(this), -1, 0), 0, 1, 1, 3);
    Put(table, b.Label(QString::fromUtf8("高さ(&Z)"), -1, 0), 1, 0);
    m_tableHeight = AddNumField(table, IdTableHeight, IdTableHeightSpin, m_spins[4], 1, 1);
    Put(table, b.Label(QStringLiteral("X"), -1, 0), 2, 0);
    m_tableX = AddNumField(table, IdTableX, IdTableXSpin, m_spins[5], 2, 1);
    Put(table, b.Label(QStringLiteral("Y"), -1, 0), 2, 2);
    m_tableY = AddNumField(table, IdTableY, IdTableYSpin, m_spins[6], 2, 3);

    b.Add(IdList, m_list, 3, 0, 1, 3);
    m_list->setMinimumSize(260, 200);
    m_errorCheck = b.Check(IdErrorCheck, QString::fromUtf8("エラーチェック(&E)"), 4, 0);
    QGridLayout* check = new QGridLayout;
    Grid()->addLayout(check, 4, 1, 1, 2);
    Put(check, b.Label(QString::fromUtf8("距離(&C)"), -1, 0), 0, 0);
    m_distance = Put(check, b.Add(IdDistance, new CNumEdit(this), -1, 0), 0, 1);
    NoInputMethod(m_distance);
    m_distance->setFixedWidth(60);
    Put(check, b.Label(QStringLiteral("mm"), -1, 0), 0, 2);
    Put(check, b.Label(QString::fromUtf8("合計"), -1, 0), 0, 3);
    m_total = Put(check, b.Add(IdTotal, new QLineEdit(this), -1, 0), 0, 4);
    m_total->setReadOnly(true);
    m_total->setFocusPolicy(Qt::NoFocus);
    m_total->setFixedWidth(60);
    m_total->setAlignment(Qt::AlignRight);
    b.OkCancel(0, 3);
    FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(QString::fromUtf8("作成(&M)"));

    connect(FindControl<QPushButton>(this, IdLayerButton), &QPushButton::clicked, this,
            &CDlgHoleData::OnLayerButton);
    connect(m_errorCheck, &QCheckBox::clicked, this, &CDlgHoleData::OnErrorCheck);
}

std::string CDlgHoleData::LayerListText(const std::array<int, kLayers>& layers)
{
    std::string text;
    for (int i = 0; i < kLayers; ++i)
        if (layers[static_cast<std::size_t>(i)])
            text += platform::Format(" %d,", i + 1);
    if (!text.empty())
        text.pop_back();
    return text;
}

std::string CDlgHoleData::SizeText(const HoleKind& kind)
{
    switch (kind.flags & 0xF0) {
    case 0x10:
        return _J("φ") + FormatNumber(kind.size1) + "x" + FormatNumber(kind.size2);
    case 0x20:
        return FormatNumber(kind.size1) + "x" + FormatNumber(kind.size2) + "(" + FormatNumber(kind.radius) +
               ")";
    default:
        return FormatNumber(kind.size1);
    }
}

void CDlgHoleData::FillLayerList(QComboBox* combo, bool withNone, int selected)
{
    combo->clear();
    if (withNone)
        combo->addItem(platform::Cp932ToQString(_J("--- 表出力なし")), -1);
    for (int layer = 0; m_pDoc && layer < kLayers; ++layer) {
        if (m_pDoc->IsWiringOrPartLayer(layer))
            continue;
        const std::string name = m_pDoc->GetLayer(layer).name;
        combo->addItem(platform::Cp932ToQString(platform::Format("%3d %s", layer + 1, name.c_str())), layer);
    }
    const int at = combo->findData(withNone && selected < 0 ? -1 : selected);
    combo->setCurrentIndex(std::max(at, 0));
    combo->view()->setMinimumWidth(GetWidestItemWidth(*combo));
}

void CDlgHoleData::OnInitDialog()
{
    struct Range
    {
        double minimum, maximum, step;
    };
    const Range ranges[7] = {{0.6, 30.0, 0.2},     {-180.0, 360.0, 10.0}, {-200.0, 400.0, 0.5},
                             {-200.0, 400.0, 0.5}, {0.6, 30.0, 0.2},      {-200.0, 400.0, 0.5},
                             {-200.0, 400.0, 0.5}};
    CNumEdit* edits[7] = {m_symbolHeight, m_symbolAngle, m_symbolX, m_symbolY,
                          m_tableHeight,  m_tableX,      m_tableY};
    const double values[7] = {m_dSymbolHeight, m_dSymbolAngle, m_dSymbolX, m_dSymbolY,
                              m_dTableHeight,  m_dTableX,      m_dTableY};
    for (int i = 0; i < 7; ++i) {
        m_spins[i]->SetRange(ranges[i].minimum, ranges[i].maximum);
        m_spins[i]->SetStep(ranges[i].step);
        // Shown as handed in: a value outside the range is refused at OK, not replaced silently.
        ShowValue(edits[i], values[i]);
    }
    m_distance->SetRange(0.0, 10.0);
    ShowValue(m_distance, m_dCheckDistance);
    m_strLayers = LayerListText(m_layers);
    FillLayerList(m_symbolLayer, false, m_nSymbolLayer);
    FillLayerList(m_tableLayer, true, m_nTableLayer);

    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(ColSize, _J("径/高x幅(隅)"), "", LVCFMT_RIGHT, 80, 0);
    columns->AddColumn(ColPlating, _J("種類"), "", LVCFMT_LEFT, 40, 0);
    columns->AddColumn(ColSymbol, _J("記号"), "", LVCFMT_RIGHT, 40, GFXCOL_TEXTEDIT);
    columns->AddColumn(ColCount, _J("数"), "", LVCFMT_RIGHT, 40, 0);
    const int order[] = {0, ColSize, ColPlating, ColSymbol, ColCount};
    columns->SetColumnOrder(5, order);
    m_list->ModifyGfxStyle(0, 0x06);
    m_list->SetupColumns();
    m_list->SetRowHeight(17, false);
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        CellText(m_list->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnCellRequest(request); };
    AskHoleKinds();
    UpdateData(false);
}

void CDlgHoleData::AskHoleKinds()
{
    m_kinds = m_holeKinds ? m_holeKinds(m_layers, kAllKinds) : std::vector<tagTCODE>();
    if (m_kinds.size() > static_cast<std::size_t>(kRows))
        m_kinds.resize(kRows);
    m_nKinds = static_cast<int>(m_kinds.size());
}

void CDlgHoleData::FillRows()
{
    m_nTotal = 0;
    for (int i = 0; i < kRows; ++i) {
        HoleKind& row = m_rows[static_cast<std::size_t>(i)];
        if (i >= m_nKinds) {
            row.hits = 0;
            continue;
        }
        const tagTCODE& code = m_kinds[static_cast<std::size_t>(i)];
        row.flags = code.holeType;
        row.size1 = code.diameter;
        row.size2 = code.width;
        row.radius = code.radius;
        row.hits = code.hitCount;
        m_nTotal += code.hitCount;
        row.symbol.clear();
        for (int s = 0; s < m_nKinds; ++s) {
            const HoleKind& saved = m_saved[static_cast<std::size_t>(s)];
            if (SameKind(saved, row)) {
                row.symbol = saved.symbol;
                break;
            }
        }
    }
    RefillGrid();
}

void CDlgHoleData::RefillGrid()
{
    m_list->DeleteAllItems();
    for (int i = 0; i < m_nKinds; ++i)
        m_list->InsertItemData(i, i);
    if (m_bErrorCheck)
        m_list->InsertItemData(m_nKinds, kErrorRow);
    FitColumns(true);
    m_list->viewport()->update();
}

bool CDlgHoleData::DoDataExchange(bool save)
{
    if (save) {
        m_bErrorCheck = m_errorCheck->isChecked() ? 1 : 0;
        return true;
    }
    FillRows();
    m_layerText->setText(platform::Cp932ToQString(m_strLayers));
    m_errorCheck->setChecked(m_bErrorCheck != 0);
    m_total->setText(QString::number(m_nTotal));
    m_distance->setEnabled(m_bErrorCheck != 0);
    return true;
}

void CDlgHoleData::CellText(int column, int row, std::string& out) const
{
    out.clear();
    if (row == kErrorRow) {
        switch (column) {
        case ColSize:
            out = _J("エラーコード");
            break;
        case ColPlating:
        case ColCount:
            out = "---";
            break;
        case ColSymbol:
            out = m_strErrorCode;
            break;
        default:
            break;
        }
        return;
    }
    if (row < 0 || row >= kRows)
        return;
    const HoleKind& kind = m_rows[static_cast<std::size_t>(row)];
    if (kind.hits == 0)
        return;
    switch (column) {
    case ColSize:
        out = SizeText(kind);
        break;
    case ColPlating:
        out = (kind.flags & 1) ? "TH" : "NTH";
        break;
    case ColSymbol:
        out = kind.symbol;
        break;
    case ColCount:
        out = platform::Format("%3d", kind.hits);
        break;
    default:
        break;
    }
}

int CDlgHoleData::OnCellRequest(LXHDREX* request)
{
    if (request->nCode != GFXREQ_ENDEDIT)
        return 0;
    if (request->nSubItem != ColSymbol)
        return 1;
    const int row = static_cast<int>(request->lParam);
    if (row == kErrorRow) {
        m_strErrorCode = request->strText;
    } else if (row >= 0 && row < kRows) {
        const std::string trimmed = settings::Trim(request->strText);
        m_rows[static_cast<std::size_t>(row)].symbol = trimmed;
        if (trimmed.size() != request->strText.size())
            request->strText = trimmed;
    }
    m_list->viewport()->update();
    return 1;
}

void CDlgHoleData::OnLayerButton()
{
    CDlgLayerSel dialog(this);
    for (int i = 0; i < kLayers; ++i)
        dialog.m_order[static_cast<std::size_t>(i)] = m_layers[static_cast<std::size_t>(i)] ? 1 : 0;
    dialog.SetDataKind(kHoleCommand);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    for (int i = 0; i < kLayers; ++i)
        m_layers[static_cast<std::size_t>(i)] = dialog.m_order[static_cast<std::size_t>(i)] != 0 ? 1 : 0;
    m_strLayers = LayerListText(m_layers);
    m_layerText->setText(platform::Cp932ToQString(m_strLayers));
    AskHoleKinds();
    FillRows();
    m_total->setText(QString::number(m_nTotal));
}

void CDlgHoleData::OnErrorCheck()
{
    UpdateData(true);
    m_distance->setEnabled(m_bErrorCheck != 0);
    RefillGrid();
}

bool CDlgHoleData::ReadPlacement()
{
    double angle = 0.0;
    if (!ReadHeight(m_symbolHeight, m_dSymbolHeight) ||
        !CheckNumberRange(m_symbolX, -200.0, 400.0, m_dSymbolX) ||
        !CheckNumberRange(m_symbolY, -200.0, 400.0, m_dSymbolY) ||
        !CheckNumberRange(m_symbolAngle, -180.0, 360.0, angle) ||
        !ReadHeight(m_tableHeight, m_dTableHeight) || !CheckNumberRange(m_tableX, -200.0, 400.0, m_dTableX) ||
        !CheckNumberRange(m_tableY, -200.0, 400.0, m_dTableY))
        return false;
    angle += 360.0;
    while (angle >= 360.0)
        angle -= 360.0;
    m_dSymbolAngle = angle;
    m_nSymbolLayer = m_symbolLayer->currentIndex() >= 0 ? m_symbolLayer->currentData().toInt() : 0;
    m_nTableLayer = m_tableLayer->currentIndex() >= 0 ? m_tableLayer->currentData().toInt() : -1;
    return true;
}

void CDlgHoleData::accept()
{
    if (!UpdateData(true) || !ReadPlacement())
        return;
    if (m_nKinds == 0) {
        AfxMessageBox(_J("ホールがありません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_strErrorCode = settings::Trim(m_strErrorCode);
    if (m_bErrorCheck && m_strErrorCode.empty()) {
        AfxMessageBox(_J("エラーコードが設定されていません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!CheckNumberRange(m_distance, 0.0, 10.0, m_dCheckDistance))
        return;
    bool anySymbol = m_bErrorCheck != 0;
    for (int i = 0; i < m_nKinds && !anySymbol; ++i)
        anySymbol = !m_rows[static_cast<std::size_t>(i)].symbol.empty();
    if (!anySymbol) {
        AfxMessageBox(_J("記号が１つも設定されていません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CTableDialog::accept();
}
