#include "dialogs/DlgLayer.h"

#include "controls/GfxListCtrl.h"
#include "dialogs/CustomColors.h"
#include "dialogs/DlgPatternRegist.h"
#include "dialogs/TableImages.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {

const std::string& ModeNameAt(int index)
{
    static const std::string names[8] = {_J("幅なし"),        _J("幅付き"),      _J("ベタ塗り"),
                                         _J("ＨＩＣ"),        _J("幅なし/反転"), _J("幅付き/反転"),
                                         _J("ベタ塗り/反転"), _J("ＨＩＣ/反転")};
    return names[index];
}

void SetShown(tagLAYER& layer, int display, int enable)
{
    layer.display = static_cast<std::uint8_t>(display);
    layer.enable = static_cast<std::uint8_t>(enable);
}

} // namespace

CDlgLayer::CDlgLayer(QWidget* parent)
    : CTableDialog(IDD, QString::fromUtf8("レイヤ設定"), IdList, 194, true, parent),
      m_modeFont(ProportionalGothic())
{
    CDialogBuilder& b = Builder();
    m_patternList = b.Add(IdPatterns, new QListWidget(this), 0, 0, 2, 1);
    m_patternList->setFixedHeight(64);
    b.Add(IdList, m_list, 2, 0, 8, 1);
    m_list->setMinimumSize(680, 360);
    b.OkCancel(0, 1);
    b.Button(IdAllOrOne, QString::fromUtf8("全/単レイヤ(&3)"), 2, 1);
    b.Button(IdPartLayers, QString::fromUtf8("部品レイヤ(&2)"), 3, 1);
    b.Button(IdComponentSide, QString::fromUtf8("部品面部品(&1)"), 4, 1);
    m_reverse = b.Check(IdReverse, QString::fromUtf8("逆順表示(&R)"), 5, 1);
    m_addMode = b.Check(IdAddMode, QString::fromUtf8("追加設定(&A)"), 6, 1);
    b.Button(IdRegister, QString::fromUtf8("登録(&S)"), 7, 1);
    Grid()->setRowStretch(9, 1);
    AddResizeRule(ResizeRow{IdPatterns,
                            {RuleFixed, 0, EdgeLeft},
                            {RuleFixed, 0, EdgeTop},
                            {RuleFixed, 0, EdgeRight},
                            {RuleKeepHeight, 0, 0}});

    connect(m_list, &CGfxListCtrl::cellClicked, this, &CDlgLayer::OnClick);
    connect(m_list, &CGfxListCtrl::cellRightClicked, this, &CDlgLayer::OnRightClick);
    connect(m_list, &CGfxListCtrl::cellDoubleClicked, this, &CDlgLayer::OnDoubleClick);
    connect(m_list, &CGfxListCtrl::cellActivated, this, &CDlgLayer::OnActivated);
    connect(m_list, &CGfxListCtrl::columnClicked, this, &CDlgLayer::OnHeaderClick);
    connect(FindControl<QPushButton>(this, IdAllOrOne), &QPushButton::clicked, this, &CDlgLayer::OnAllOrOne);
    connect(FindControl<QPushButton>(this, IdPartLayers), &QPushButton::clicked, this,
            [this] { ShowTypedLayers(kPartLayerBits, 0); });
    connect(FindControl<QPushButton>(this, IdComponentSide), &QPushButton::clicked, this,
            [this] { ShowTypedLayers(kPartLayerBits, 0x2); });
    connect(FindControl<QPushButton>(this, IdRegister), &QPushButton::clicked, this, &CDlgLayer::OnRegister);
    connect(m_patternList, &QListWidget::itemSelectionChanged, this, &CDlgLayer::OnPatternChosen);
}

std::string CDlgLayer::ModeName(int mode, int reversed)
{
    for (int i = 0; i < 4; ++i)
        if (mode == (1 << i))
            return ModeNameAt(i + (reversed ? 4 : 0));
    return std::string();
}

int CDlgLayer::DisplayState(int layer) const
{
    if (layer == m_nCurrent)
        return TABLEIMG_CURRENT;
    const tagLAYER& record = m_layers[static_cast<std::size_t>(layer)];
    if (!record.display)
        return TABLEIMG_OFF;
    return record.enable ? TABLEIMG_ON : TABLEIMG_SHOWN;
}

void CDlgLayer::OnInitDialog()
{
    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(ColNo, "No", "", LVCFMT_RIGHT, 40, 0xA8);
    columns->AddColumn(ColState, "", "", LVCFMT_CENTER, 16, 0x350, 1, "Image 1");
    columns->AddColumn(ColName, _J("レイヤ名"), "", LVCFMT_LEFT, 200, 0x4);
    columns->AddColumn(ColColour, _J("色"), "", LVCFMT_RIGHT, 60, 0x80);
    columns->AddColumn(ColMode, _J("表示モード"), "", LVCFMT_LEFT, 120, 0x1);
    columns->AddColumn(ColPriority, _J("優先度"), "", LVCFMT_RIGHT, 60, 0x14);
    columns->AddColumn(ColItems, _J("アイテム"), "", LVCFMT_RIGHT, 80, 0xB0);
    columns->AddColumn(ColType, _J("タイプ"), "", LVCFMT_LEFT, 80, 0x1);
    const int order[] = {0, ColNo, ColState, ColName, ColColour, ColMode, ColPriority, ColItems, ColType};
    columns->SetColumnOrder(9, order);
    UseTableImages();
    m_list->ModifyGfxStyle(0, 0x0F);
    m_list->SetupColumns();
    for (int i = 0; i < kLayers; ++i)
        m_list->InsertItemData(i, i);
    m_list->SetRowHeight(17, false);
    m_list->m_dwFormatColumns = 0x1FF;
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        CellText(m_list->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnCellRequest(request); };
    FitColumns(true);
    m_nCurrent = std::clamp(m_nCurrent, 0, kLayers - 1);
    FillPatternList(-1);
    UpdateData(false);
}

bool CDlgLayer::DoDataExchange(bool save)
{
    if (save) {
        const QListWidgetItem* item = m_patternList->currentItem();
        m_nPattern = item && item->isSelected() ? m_patternList->currentRow() : -1;
        m_bReverse = m_reverse->isChecked() ? 1 : 0;
        m_bAddMode = m_addMode->isChecked() ? 1 : 0;
        return true;
    }
    {
        const QSignalBlocker block(m_patternList);
        if (m_nPattern >= 0 && m_nPattern < m_patternList->count())
            m_patternList->setCurrentRow(m_nPattern);
        else
            m_patternList->clearSelection();
    }
    m_reverse->setChecked(m_bReverse != 0);
    m_addMode->setChecked(m_bAddMode != 0);
    return true;
}

void CDlgLayer::accept()
{
    if (UpdateData(true))
        CTableDialog::accept();
}

tagLAYER* CDlgLayer::RowLayer(int item)
{
    if (item < 0 || item >= m_list->GetItemCount())
        return nullptr;
    const auto layer = m_list->GetItemData(item);
    return layer >= 0 && layer < kLayers ? &m_layers[static_cast<std::size_t>(layer)] : nullptr;
}

void CDlgLayer::CellText(int column, int layer, std::string& out) const
{
    out.clear();
    if (layer < 0 || layer >= kLayers)
        return;
    const tagLAYER& record = m_layers[static_cast<std::size_t>(layer)];
    switch (column) {
    case ColNo:
        out = platform::Format("%3d", layer + 1);
        break;
    case ColState:
        out = std::to_string(DisplayState(layer));
        break;
    case ColName:
        out = record.name;
        break;
    case ColColour:
        out = platform::Format("%06X", static_cast<unsigned>(record.color));
        break;
    case ColMode:
        out = ModeName(record.drawClass, record.mirror);
        break;
    case ColPriority:
        out = platform::Format("%3d", record.order);
        break;
    case ColItems:
        if (const int count = m_counts[static_cast<std::size_t>(layer)])
            out = platform::Format("%d", count);
        break;
    default:
        break;
    }
}

int CDlgLayer::OnCellRequest(LXHDREX* request)
{
    const auto layer = request->lParam;
    if (layer < 0 || layer >= kLayers)
        return 0;
    tagLAYER& record = m_layers[static_cast<std::size_t>(layer)];
    const auto colourFill = [&] {
        request->cFormat = GFXFMT_BKCOLOR;
        request->crBack = record.color;
        return 1;
    };
    switch (request->nCode) {
    case GFXREQ_FORMAT:
        if (request->nSubItem == ColMode) {
            request->font = m_modeFont;
            request->cFormat = GFXFMT_FONT;
            return 1;
        }
        return request->nSubItem == ColColour ? colourFill() : 0;
    case GFXREQ_CHOICES:
        if (request->nSubItem != ColMode)
            return 0;
        if (request->pChoices)
            for (int i = 0; i < 8; ++i)
                request->pChoices->push_back(ModeNameAt(i));
        return 1;
    case GFXREQ_ENDEDIT:
        switch (request->nSubItem) {
        case ColName:
            record.name = request->strText;
            return 1;
        case ColMode:
            for (int i = 0; i < 8; ++i)
                if (request->strText == ModeNameAt(i)) {
                    record.drawClass = static_cast<std::uint8_t>(1 << (i % 4));
                    record.mirror = i > 3 ? 1 : 0;
                }
            return 1;
        case ColPriority:
            record.order = static_cast<std::uint8_t>(platform::Atoi(request->strText));
            return 1;
        case ColColour:
            return colourFill();
        default:
            return 1;
        }
    default:
        return 0;
    }
}

void CDlgLayer::FillPatternList(int select)
{
    const QSignalBlocker block(m_patternList);
    m_patternList->clear();
    for (int i = 0; i < kPatterns; ++i) {
        const tagLAYERPATTERN& pattern = m_patterns[static_cast<std::size_t>(i)];
        if (pattern.name.empty())
            continue;
        auto* item = new QListWidgetItem(
            platform::Cp932ToQString(platform::Format("%2d :%s", i + 1, pattern.name.c_str())),
            m_patternList);
        item->setData(Qt::UserRole, i);
        if (i == select)
            m_patternList->setCurrentItem(item);
    }
}

void CDlgLayer::CycleState(int layer)
{
    if (layer < 0 || layer >= kLayers || layer == m_nCurrent)
        return;
    tagLAYER& record = m_layers[static_cast<std::size_t>(layer)];
    if (!record.display)
        SetShown(record, 1, record.enable ? 0 : 1);
    else if (record.enable)
        SetShown(record, 1, 0);
    else
        SetShown(record, 0, 0);
    m_list->viewport()->update();
}

void CDlgLayer::MakeCurrent(int layer)
{
    if (layer < 0 || layer >= kLayers)
        return;
    m_nCurrent = layer;
    SetShown(m_layers[static_cast<std::size_t>(layer)], 1, 1);
    m_list->viewport()->update();
}

void CDlgLayer::ChooseColour(int layer)
{
    if (layer < 0 || layer >= kLayers)
        return;
    tagLAYER& record = m_layers[static_cast<std::size_t>(layer)];
    if (const std::optional<COLORREF> colour = ChooseSolidColour(this, record.color))
        record.color = *colour;
    m_list->viewport()->update();
}

void CDlgLayer::OnClick(int item, int column)
{
    if (!RowLayer(item))
        return;
    const int layer = static_cast<int>(m_list->GetItemData(item));
    const int id = m_list->GetColumnSubItem(column);
    if (id == ColState)
        CycleState(layer);
    else if (id == ColColour)
        ChooseColour(layer);
}

void CDlgLayer::OnRightClick(int item, int column)
{
    if (RowLayer(item) && m_list->GetColumnSubItem(column) == ColState)
        MakeCurrent(static_cast<int>(m_list->GetItemData(item)));
}

void CDlgLayer::OnDoubleClick(int item, int column)
{
    if (m_list->GetColumnSubItem(column) == ColState &&
        (QApplication::keyboardModifiers() & Qt::ShiftModifier))
        OnRightClick(item, column);
    else
        OnClick(item, column);
}

void CDlgLayer::OnActivated(int column)
{
    // Enter or Space: the first selected row.
    const std::vector<int> rows = m_list->GetSelectedRows();
    if (!rows.empty())
        OnDoubleClick(rows.front(), column);
}

void CDlgLayer::OnHeaderClick(int column)
{
    if (m_list->GetColumnSubItem(column) != ColState)
        return;
    bool allEnabled = true;
    bool anyShown = false;
    for (int i = 0; i < kLayers; ++i) {
        if (i == m_nCurrent)
            continue;
        allEnabled = allEnabled && m_layers[static_cast<std::size_t>(i)].enable;
        anyShown = anyShown || m_layers[static_cast<std::size_t>(i)].display;
    }
    for (int i = 0; i < kLayers; ++i) {
        if (i == m_nCurrent)
            continue;
        tagLAYER& record = m_layers[static_cast<std::size_t>(i)];
        if (allEnabled)
            record.enable = 0;
        else
            SetShown(record, anyShown ? 0 : 1, anyShown ? 0 : 1);
    }
    m_list->viewport()->update();
}

void CDlgLayer::OnAllOrOne()
{
    const auto shown = std::count_if(m_layers.begin(), m_layers.end(),
                                     [](const tagLAYER& record) { return record.display || record.enable; });
    for (int i = 0; i < kLayers; ++i) {
        tagLAYER& record = m_layers[static_cast<std::size_t>(i)];
        if (shown != 1)
            SetShown(record, 0, 0);
        else if (m_counts[static_cast<std::size_t>(i)] != 0)
            SetShown(record, 1, 1);
    }
    AfterQuickSelection();
}

void CDlgLayer::ShowTypedLayers(int mask, int also)
{
    for (int i = 0; i < kLayers; ++i) {
        const int type = m_types[static_cast<std::size_t>(i)];
        const bool on = (type & mask) && (!also || (type & also));
        SetShown(m_layers[static_cast<std::size_t>(i)], on, on);
    }
    AfterQuickSelection();
}

void CDlgLayer::AfterQuickSelection()
{
    SetShown(m_layers[static_cast<std::size_t>(m_nCurrent)], 1, 1);
    m_list->viewport()->update();
}

void CDlgLayer::OnPatternChosen()
{
    UpdateData(true);
    if (m_nPattern < 0)
        return;
    const int index = m_patternList->item(m_nPattern)->data(Qt::UserRole).toInt();
    if (index < 0 || index >= kPatterns)
        return;
    const tagLAYERPATTERN& pattern = m_patterns[static_cast<std::size_t>(index)];
    if (!m_bAddMode)
        for (tagLAYER& record : m_layers)
            SetShown(record, 0, 0);
    if (pattern.layer < kLayers) {
        SetShown(m_layers[pattern.layer], 1, 1);
        if (!m_bAddMode)
            m_nCurrent = pattern.layer;
    }
    // A stored list may be damaged: layers past the table and a short flag list are passed over.
    for (std::size_t i = 0; i < pattern.layers.size(); ++i) {
        const int layer = pattern.layers[i];
        if (layer >= kLayers)
            continue;
        const int enable = i < pattern.enables.size() ? (pattern.enables[i] ? 1 : 0) : 0;
        SetShown(m_layers[static_cast<std::size_t>(layer)], 1, enable);
    }
    m_list->viewport()->update();
}

void CDlgLayer::OnRegister()
{
    UpdateData(true);
    CDlgPatternRegist dialog(this);
    for (int i = 0; i < kPatterns; ++i) {
        dialog.m_names[static_cast<std::size_t>(i)] = m_patterns[static_cast<std::size_t>(i)].name;
        dialog.m_menu[static_cast<std::size_t>(i)] = m_patterns[static_cast<std::size_t>(i)].option;
    }
    const int selected = m_nPattern >= 0 ? m_patternList->item(m_nPattern)->data(Qt::UserRole).toInt() : -1;
    dialog.m_nNumber = selected >= 0 ? selected + 1 : 1;
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const int n = dialog.m_nNumber;
    if (n < 1 || n > kPatterns)
        return;
    tagLAYERPATTERN& pattern = m_patterns[static_cast<std::size_t>(n - 1)];
    pattern.name = dialog.m_strName;
    pattern.option = dialog.m_bMenu ? 1 : 0;
    pattern.layers.clear();
    pattern.enables.clear();
    for (int i = 0; i < kLayers; ++i) {
        const tagLAYER& record = m_layers[static_cast<std::size_t>(i)];
        if (i == m_nCurrent || !record.display)
            continue;
        pattern.layers.push_back(static_cast<std::uint8_t>(i));
        pattern.enables.push_back(record.enable ? 1 : 0);
    }
    pattern.layer = static_cast<std::uint8_t>(m_nCurrent);
    FillPatternList(n - 1);
    m_nPattern = m_patternList->currentRow();
}
