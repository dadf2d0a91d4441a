#include "dialogs/OptLayer.h"

#include "controls/GfxColumnManager.h"
#include "controls/GfxListCtrl.h"
#include "document/SettingSections.h"
#include "document/VELTADoc.h"
#include "libui/DlgLayerSel.h"
#include "libui/RadioGroup.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/RangeText.h"
#include "platform/qt/QtText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <optional>

namespace {

constexpr int kLayerMax = 128;
constexpr int kNegativeRole = 0x8; // layer-sheet type bit of a plane layer

struct PartRow
{
    const char* keyword;
    int bit;
};
constexpr PartRow kPartRowTable[PART_LAYER_COUNT] = {
    {"HOLE", 16},     {"SILKLINE", 17},   {"SILKTEXT", 18},   {"METALMASK", 19}, {"RESIST", 20},
    {"NOWIRING", 21}, {"NOVIA", 30},      {"COCAREA", 22},    {"TERM", 23},      {"DIMS", 24},
    {"ORIGIN", 25},   {"DIPOUTLINE", 26}, {"SMDOUTLINE", 29}, {"CIRCUIT", 27}};

enum Column
{
    ColNone = 0,
    ColId = 1,
    ColFirst = 2,
    ColSecond = 3,
    ColComment = 4
};

// The layer numbers of a list text ("%3d" items joined by commas); nullopt when an item is not a
// whole number from 1 to 128.
std::optional<std::vector<int>> ParseList(const std::string& text)
{
    std::vector<int> layers;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = settings::Trim(text.substr(start, end - start));
        if (!item.empty()) {
            int value = 0;
            if (!platform::ParseProfileInt(item, value) || value < 1 || value > kLayerMax)
                return std::nullopt;
            layers.push_back(value);
        } else if (end < text.size()) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return layers;
}

// The check order of the layer selection dialog for a list: the n-th listed layer is n-th.
std::array<int, 128> OrderOf(const std::string& text)
{
    std::array<int, 128> order{};
    int n = 0;
    for (int layer : ParseList(text).value_or(std::vector<int>()))
        if (order[static_cast<std::size_t>(layer - 1)] == 0)
            order[static_cast<std::size_t>(layer - 1)] = ++n;
    return order;
}

// A typed layer number 1 to 128, or nullopt.
std::optional<int> LayerNumber(const std::string& text)
{
    int value = 0;
    if (!platform::ParseProfileInt(text, value) || value < 1 || value > kLayerMax)
        return std::nullopt;
    return value;
}

} // namespace

const char* COptLayer::PartRowKeyword(int row)
{
    return kPartRowTable[row].keyword;
}

std::uint32_t COptLayer::PartRowCode(int row)
{
    return 1u << kPartRowTable[row].bit;
}

COptLayer::COptLayer(CVELTADoc* doc, QWidget* parent)
    : COptPage(IDD, QString::fromUtf8("層属性"), parent), m_pDoc(doc)
{
    for (tagCROSSLAYER& pair : m_cross)
        pair = tagCROSSLAYER{255, 255, {}};
    for (int row = 0; row < kPartRows; ++row)
        m_partLayers[static_cast<std::size_t>(row)].code = static_cast<std::int32_t>(PartRowCode(row));

    CDialogBuilder& b = Builder();
    QGridLayout* board = AddGroup(QString::fromUtf8("層基板"), 0, 0, 1, 2);
    auto intEdit = [&](QGridLayout* grid, int id, const char* caption, int row, int column) {
        Put(grid, b.Label(QString::fromUtf8(caption), -1, 0), row, column);
        QLineEdit* edit = Put(grid, b.Add(id, new QLineEdit(this), -1, 0), row, column + 1);
        edit->setFixedWidth(44);
        NoInputMethod(edit);
        return edit;
    };
    m_wireCount = intEdit(board, IdWireCount, "配線層", 0, 0);
    m_outline = intEdit(board, IdOutline, "外形", 0, 2);
    m_hole = intEdit(board, IdHole, "穴", 0, 4);
    m_position = Put(board, b.Add(IdPosition, new QComboBox(this), -1, 0), 1, 0, 1, 2);
    m_polarity = new CRadioGroup(this);
    m_polarity->Add(Put(board, b.Radio(nullptr, IdPositive, QString::fromUtf8("ポジ"), -1, 0), 1, 2), 0);
    m_polarity->Add(Put(board, b.Radio(nullptr, IdNegative, QString::fromUtf8("ネガ"), -1, 0), 1, 3), 1);
    m_layerEdit = intEdit(board, IdPositionLayer, "レイヤ", 1, 4);

    QGridLayout* keepOut = AddGroup(QString::fromUtf8("禁止レイヤ"), 1, 0, 1, 2);
    const struct
    {
        List list;
        int edit, button;
        const char* caption;
    } lists[] = {{CompParts, IdCompPartList, IdCompPartButton, "部品面部品"},
                 {SolderParts, IdSolderPartList, IdSolderPartButton, "半田面部品"},
                 {Vias, IdViaList, IdViaButton, "ビア"},
                 {CompWiring, IdCompWireList, IdCompWireButton, "部品面配線"},
                 {SolderWiring, IdSolderWireList, IdSolderWireButton, "半田面配線"},
                 {InnerLayers, IdInnerList, IdInnerButton, "内層"}};
    int row = 0;
    for (const auto& l : lists) {
        if (l.list == InnerLayers) {
            Put(keepOut, b.Label(QString::fromUtf8(l.caption), -1, 0), row, 0);
            m_inner = Put(keepOut, b.Add(IdInner, new QComboBox(this), -1, 0), row, 1);
        } else {
            Put(keepOut, b.Label(QString::fromUtf8(l.caption), -1, 0), row, 0, 1, 2);
        }
        QLineEdit* edit = Put(keepOut, b.Add(l.edit, new QLineEdit(this), -1, 0), row, 2);
        edit->setMinimumWidth(180);
        NoInputMethod(edit);
        m_listEdits[l.list] = edit;
        QPushButton* button = Put(keepOut, b.Button(l.button, QStringLiteral("..."), -1, 0), row, 3);
        button->setFixedWidth(28);
        if (l.list == InnerLayers) {
            // The inner-layer list has no behaviour of its own yet.
            button->setEnabled(false);
            edit->setReadOnly(true);
        } else {
            connect(button, &QPushButton::clicked, this, [this, list = l.list] { OnChooseList(list); });
        }
        ++row;
    }

    Put(Grid(), b.Label(QString::fromUtf8("対称レイヤ(&C)"), -1, 0), 2, 0);
    m_crossGrid = Put(Grid(), b.Add(IdCrossGrid, new CGfxListCtrl(this), -1, 0), 3, 0);
    Put(Grid(), b.Label(QString::fromUtf8("部品レイヤ(&P)"), -1, 0), 2, 1);
    m_partGrid = Put(Grid(), b.Add(IdPartGrid, new CGfxListCtrl(this), -1, 0), 3, 1);
    for (CGfxListCtrl* grid : {m_crossGrid, m_partGrid})
        grid->setFixedHeight(190);
    m_crossGrid->m_nCtrlId = IdCrossGrid;
    m_partGrid->m_nCtrlId = IdPartGrid;

    connect(m_position, qOverload<int>(&QComboBox::activated), this, &COptLayer::OnPositionChanged);
    connect(m_polarity, &CRadioGroup::choiceClicked, this, [this] { StorePosition(); });
    connect(m_layerEdit, &QLineEdit::editingFinished, this, [this] { StorePosition(); });
    connect(m_wireCount, &QLineEdit::editingFinished, this, &COptLayer::OnWireCountEdited);
}

void COptLayer::OnInitDialog()
{
    if (m_pDoc) {
        m_nWireCount = std::clamp(m_pDoc->GetWireLayerCount(), 1, kMaxPositions);
        const auto [outline, hole] = m_pDoc->GetContourLayers();
        m_nOutline = outline + 1;
        m_nHole = hole + 1;
        const std::vector<std::uint8_t>& wiring = m_pDoc->GetWireLayerList();
        for (int p = 1; p <= m_nWireCount; ++p) {
            if (p > static_cast<int>(wiring.size()))
                break;
            const int layer = wiring[static_cast<std::size_t>(p - 1)];
            if (layer >= kLayerMax)
                continue;
            m_positionLayer[static_cast<std::size_t>(p - 1)] = layer + 1;
            CSheet* sheet = m_pDoc->GetBoardSheet(layer);
            m_negative[static_cast<std::size_t>(p - 1)] = sheet && (sheet->GetType() & kNegativeRole) ? 1 : 0;
        }
        m_lists[Vias] = m_pDoc->GetLayerListText(0, 64);
        m_lists[CompParts] = m_pDoc->GetLayerListText(1, 128);
        m_lists[SolderParts] = m_pDoc->GetLayerListText(m_nWireCount, 128);
        m_lists[CompWiring] = m_pDoc->GetLayerListText(1, 32);
        m_lists[SolderWiring] = m_pDoc->GetLayerListText(m_nWireCount, 32);
        for (int list = CompParts; list <= SolderWiring; ++list)
            m_checkOrder[static_cast<std::size_t>(list)] = OrderOf(m_lists[static_cast<std::size_t>(list)]);
        // Records naming a layer outside 1 to 128 are left out.
        std::size_t n = 0;
        for (const tagCROSSLAYER& pair : m_pDoc->GetCrossLayers()) {
            if (n >= m_cross.size())
                break;
            if (pair.layer1 < kLayerMax && pair.layer2 < kLayerMax)
                m_cross[n++] = pair;
        }
        // Each row edits the record of its own kind.
        for (int row = 0; row < kPartRows; ++row) {
            for (int index = 0; index < PART_LAYER_COUNT; ++index) {
                tagPARTLAYER record = m_pDoc->GetPartLayer(index);
                if (static_cast<std::uint32_t>(record.code) != PartRowCode(row))
                    continue;
                if (record.layerA >= kLayerMax)
                    record.layerA = 255;
                if (record.layerB >= kLayerMax)
                    record.layerB = 255;
                m_partLayers[static_cast<std::size_t>(row)] = record;
                break;
            }
        }
    }
    FillPositions();
    SetupGrids();
    if (!m_pDoc) {
        m_position->setEnabled(false);
        m_wireCount->setEnabled(false);
        m_outline->setEnabled(false);
    }
    UpdateData(false);
}

void COptLayer::FillPositions()
{
    const QSignalBlocker block(m_position);
    m_position->clear();
    m_inner->clear();
    for (int p = 1; p <= m_nWireCount; ++p) {
        QString text;
        if (p == 1)
            text = QString::fromUtf8(" 1:部品面");
        else if (p == m_nWireCount)
            text = QString::asprintf("%2d:", p) + QString::fromUtf8("半田面");
        else
            text = QString::asprintf("%2d:", p) + QString::fromUtf8("内層");
        m_position->addItem(text, p - 1);
        if (p != 1 && p != m_nWireCount)
            m_inner->addItem(QString::number(p), p);
    }
    m_position->setCurrentIndex(m_position->count() > 0 ? 0 : -1);
    m_inner->setCurrentIndex(m_inner->count() > 0 ? 0 : -1);
    m_nShownPosition = m_position->currentIndex();
}

void COptLayer::ShowPosition()
{
    m_nShownPosition = m_position->currentIndex();
    if (m_nShownPosition < 0) {
        m_polarity->Set(-1);
        m_layerEdit->clear();
        return;
    }
    const auto p = static_cast<std::size_t>(m_nShownPosition);
    m_polarity->Set(m_negative[p]);
    m_layerEdit->setText(m_positionLayer[p] > 0 ? QString::number(m_positionLayer[p]) : QString());
}

bool COptLayer::StorePosition()
{
    if (m_nShownPosition < 0)
        return true;
    const auto p = static_cast<std::size_t>(m_nShownPosition);
    m_negative[p] = m_polarity->Get() == 1 ? 1 : 0;
    int layer = 0;
    if (!CheckIntRange(m_layerEdit, 1, kLayerMax, layer))
        return false;
    m_positionLayer[p] = layer;
    return true;
}

void COptLayer::OnPositionChanged(int index)
{
    if (index == m_nShownPosition)
        return;
    if (!StorePosition()) {
        const QSignalBlocker block(m_position);
        m_position->setCurrentIndex(m_nShownPosition);
        return;
    }
    ShowPosition();
}

void COptLayer::OnWireCountEdited()
{
    int count = 0;
    bool ok = false;
    count = m_wireCount->text().trimmed().toInt(&ok);
    if (!ok || count < 1 || count > kMaxPositions || count == m_nWireCount)
        return;
    if (!StorePosition())
        return;
    m_nWireCount = count;
    FillPositions();
    ShowPosition();
}

bool COptLayer::DoDataExchange(bool save)
{
    if (!save) {
        m_wireCount->setText(QString::number(m_nWireCount));
        m_outline->setText(QString::number(m_nOutline));
        m_hole->setText(QString::number(m_nHole));
        for (std::size_t i = 0; i < m_listEdits.size(); ++i)
            m_listEdits[i]->setText(platform::Cp932ToQString(m_lists[i]));
        ShowPosition();
        return true;
    }
    int count = 0;
    int outline = 0;
    int hole = 0;
    // The wiring section holds 1 to 32 positions.
    if (!CheckIntRange(m_wireCount, 1, kMaxPositions, count) ||
        !CheckIntRange(m_outline, 1, kLayerMax, outline))
        return false;
    std::array<std::string, ListCount> lists;
    for (std::size_t i = 0; i < m_listEdits.size(); ++i) {
        if (!FieldText(m_listEdits[i], lists[i]))
            return false;
        if (!ParseList(lists[i])) {
            AfxMessageBox(platform::IntRangeText(1, kLayerMax), MB_OK | MB_ICONEXCLAMATION);
            m_listEdits[i]->setFocus();
            m_listEdits[i]->selectAll();
            return false;
        }
    }
    if (!CheckIntRange(m_hole, 1, kLayerMax, hole) || !StorePosition())
        return false;
    m_nOutline = outline;
    m_nHole = hole;
    m_lists = lists;
    if (count != m_nWireCount) {
        m_nWireCount = count;
        FillPositions();
        ShowPosition();
    }
    return true;
}

bool COptLayer::CanApply()
{
    if (!m_pDoc)
        return true;
    // Every position of the count needs its layer before the board's section can be written.
    for (int p = 0; p < m_nWireCount; ++p) {
        if (m_positionLayer[static_cast<std::size_t>(p)] > 0)
            continue;
        m_position->setCurrentIndex(p);
        ShowPosition();
        AfxMessageBox(platform::IntRangeText(1, kLayerMax), MB_OK | MB_ICONEXCLAMATION);
        m_layerEdit->setFocus();
        return false;
    }
    return true;
}

void COptLayer::OnSetActive()
{
    COptPage::OnSetActive();
    m_bShown = true;
}

void COptLayer::OnChooseList(List list)
{
    CDlgLayerSel dialog(this);
    dialog.SetOrder(true);
    dialog.m_order = m_checkOrder[static_cast<std::size_t>(list)];
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    auto& order = m_checkOrder[static_cast<std::size_t>(list)];
    m_lists[static_cast<std::size_t>(list)] = dialog.GetLayerList(order.data());
    m_listEdits[static_cast<std::size_t>(list)]->setText(
        platform::Cp932ToQString(m_lists[static_cast<std::size_t>(list)]));
}

std::string COptLayer::FormatWireViaLine(int position) const
{
    const bool first = position == 1;
    const bool last = position == m_nWireCount;
    // Inner positions carry blanks as wide as the longer outer list, so that the fields line up.
    auto sideList = [&](List comp, List solder) {
        std::string text;
        if (first)
            text = m_lists[comp];
        else if (last)
            text = m_lists[solder];
        else
            text.assign(std::max(m_lists[comp].size(), m_lists[solder].size()), ' ');
        return text.empty() ? std::string("   ") : text;
    };
    const std::string wiring = sideList(CompWiring, SolderWiring);
    const std::string vias = m_lists[Vias].empty() ? std::string("  ") : m_lists[Vias];
    const std::string parts = sideList(CompParts, SolderParts);
    const std::string comment = first  ? _J("        # 先頭が部品面")
                                : last ? _J("        # 最後が半田面")
                                       : std::string();
    const auto p = static_cast<std::size_t>(std::clamp(position, 1, kMaxPositions) - 1);
    return platform::Format("%d:%3d : %s :%s :%s :%s ;%s", position, m_positionLayer[p],
                            m_negative[p] ? "N" : "P", wiring.c_str(), vias.c_str(), parts.c_str(),
                            comment.c_str());
}

std::vector<std::string> COptLayer::WireViaLines() const
{
    std::vector<std::string> lines;
    for (int p = 1; p <= m_nWireCount; ++p)
        lines.push_back(FormatWireViaLine(p));
    return lines;
}

std::vector<tagCROSSLAYER> COptLayer::CrossLayers() const
{
    std::vector<tagCROSSLAYER> pairs;
    for (const tagCROSSLAYER& pair : m_cross)
        if (pair.layer1 < kLayerMax && pair.layer2 < kLayerMax)
            pairs.push_back(pair);
    return pairs;
}

// ---------------------------------------------------------------------------------------------
// Grids

void COptLayer::SetupGrids()
{
    struct Setup
    {
        CGfxListCtrl* grid;
        const char* firstTitle;
        int firstAlign, firstWidth;
        std::uint32_t firstFlags;
        int commentWidth, rows;
    };
    const Setup setups[] = {{m_crossGrid, "No", LVCFMT_RIGHT, 30, 0x108, 90, CROSS_LAYER_MAX},
                            {m_partGrid, "ID", LVCFMT_LEFT, 78, 0x8, 85, kPartRows}};
    // The widths were made for a smaller system font: scaled so that "%3d" and the longest kind
    // name fit.
    auto width = [](int w) { return w * 4 / 3; };
    for (const Setup& s : setups) {
        CGfxColumnManager* columns = s.grid->CreateColumnManager();
        columns->AddColumn(ColNone, "", "", LVCFMT_LEFT, 0, 0x180);
        columns->AddColumn(ColId, s.firstTitle, "", s.firstAlign, width(s.firstWidth), s.firstFlags);
        columns->AddColumn(ColFirst, _J("部"), "", LVCFMT_RIGHT, width(30), 0x104);
        columns->AddColumn(ColSecond, _J("半"), "", LVCFMT_RIGHT, width(30), 0x104);
        columns->AddColumn(ColComment, _J("コメント"), "", LVCFMT_LEFT, width(s.commentWidth), 0x4);
        const int order[] = {ColNone, ColId, ColFirst, ColSecond, ColComment};
        columns->SetColumnOrder(5, order);
        s.grid->ModifyGfxStyle(0, 0x06);
        s.grid->SetupColumns();
        for (int row = 0; row < s.rows; ++row)
            s.grid->InsertItemData(row, row);
        s.grid->SetRowHeight(17, false);
        int total = 0;
        for (int i = 0; i < s.grid->GetColumnCount(); ++i)
            total += s.grid->GetColumnWidth(i);
        s.grid->setMinimumWidth(total + 24);
    }
    m_crossGrid->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        CrossCellText(m_crossGrid->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_partGrid->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        PartCellText(m_partGrid->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_crossGrid->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnCrossEndEdit(request); };
    m_partGrid->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnPartEndEdit(request); };
}

void COptLayer::CrossCellText(int column, int row, std::string& out) const
{
    out.clear();
    if (row < 0 || row >= CROSS_LAYER_MAX)
        return;
    const tagCROSSLAYER& pair = m_cross[static_cast<std::size_t>(row)];
    if (column == ColId) {
        out = platform::Format("%2d", row + 1);
        return;
    }
    // A pair is shown whenever its first layer is set, layer 1 included.
    if (pair.layer1 == 255)
        return;
    if (column == ColFirst)
        out = platform::Format("%3d", pair.layer1 + 1);
    else if (column == ColSecond && pair.layer2 != 255)
        out = platform::Format("%3d", pair.layer2 + 1);
    else if (column == ColComment)
        out = pair.name;
}

void COptLayer::PartCellText(int column, int row, std::string& out) const
{
    out.clear();
    if (row < 0 || row >= kPartRows)
        return;
    const tagPARTLAYER& record = m_partLayers[static_cast<std::size_t>(row)];
    if (column == ColId)
        out = PartRowKeyword(row);
    else if (column == ColFirst && record.layerA != 255)
        out = platform::Format("%3d", record.layerA + 1);
    else if (column == ColSecond && record.layerB != 255)
        out = platform::Format("%3d", record.layerB + 1);
    else if (column == ColComment)
        out = record.name;
}

int COptLayer::OnCrossEndEdit(LXHDREX* request)
{
    if (request->nCode != GFXREQ_ENDEDIT)
        return 0;
    const auto row = static_cast<std::size_t>(request->lParam);
    if (row >= m_cross.size())
        return 0;
    tagCROSSLAYER& pair = m_cross[row];
    const std::string text = settings::Trim(request->strText);
    if (request->nSubItem == ColFirst || request->nSubItem == ColSecond) {
        std::uint8_t& layer = request->nSubItem == ColFirst ? pair.layer1 : pair.layer2;
        if (const std::optional<int> value = LayerNumber(text))
            layer = static_cast<std::uint8_t>(*value - 1);
        else if (text.empty())
            pair = tagCROSSLAYER{255, 255, {}};
    } else if (request->nSubItem == ColComment) {
        pair.name = text;
    }
    // Nothing is kept in the grid: every cell of the row shows the record as it now is.
    m_crossGrid->viewport()->update();
    return 0;
}

int COptLayer::OnPartEndEdit(LXHDREX* request)
{
    if (request->nCode != GFXREQ_ENDEDIT)
        return 0;
    const auto row = static_cast<std::size_t>(request->lParam);
    if (row >= m_partLayers.size())
        return 0;
    tagPARTLAYER& record = m_partLayers[row];
    const std::string text = settings::Trim(request->strText);
    if (request->nSubItem == ColFirst || request->nSubItem == ColSecond) {
        std::uint8_t& layer = request->nSubItem == ColFirst ? record.layerA : record.layerB;
        if (const std::optional<int> value = LayerNumber(text)) {
            layer = static_cast<std::uint8_t>(*value - 1);
        } else if (text.empty()) {
            record.layerA = record.layerB = 255;
            record.name.clear();
        }
    } else if (request->nSubItem == ColComment) {
        record.name = text;
    }
    m_partGrid->viewport()->update();
    return 0;
}
