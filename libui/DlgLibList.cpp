#include "libui/DlgLibList.h"

#include "model/library/Library.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/TextFile.h"
#include "platform/qt/ItemClipboard.h"
#include "platform/qt/QPainterDrawContext.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Display boxes: the part-layer class of each mask bit in the order the preview draws them; the
// boxes stand for the bits of their class (0 for the classes that are always shown).
struct DisplayBit
{
    unsigned bit;
    int partLayer;
};
constexpr DisplayBit kDisplayBits[] = {{0x10000, 0},    {0x20000, 1},    {0x40000, 2},    {0x80000, 3},
                                       {0x100000, 4},   {0x200000, 5},   {0x400000, 6},   {0x800000, 7},
                                       {0x1000000, 8},  {0x2000000, 9},  {0x4000000, 10}, {0x20000000, 11},
                                       {0x8000000, 12}, {0x40000000, 13}};

struct DisplayBox
{
    int id;
    const char* caption;
    unsigned bits;
};
constexpr DisplayBox kDisplayBoxes[] = {
    {1581, "部品取付穴", 0x10000},     {1582, "シルク図形", 0x20000},     {1583, "シルク文字", 0x40000},
    {1590, "メタルマスク", 0x80000},   {1592, "レジスト", 0x100000},      {1584, "配線禁止領域", 0x200000},
    {1588, "配置禁止領域", 0x400000},  {1589, "部品寸法線", 0x1000000},   {1591, "部品外形", 0x24000000},
    {1593, "回路イメージ", 0x8000000}, {1585, "ビア禁止領域", 0x40000000}};

// Icons of the tree, 16 x 15: closed library, open library, element, element with polarity,
// package, package whose elements have no reference, part count.
std::vector<QIcon> TreeIcons()
{
    std::vector<QIcon> icons;
    for (int i = 0; i < 7; ++i) {
        QPixmap pixmap(16, 15);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(40, 40, 40));
        switch (i) {
        case 0: // a closed book
            p.setBrush(QColor(70, 110, 190));
            p.drawRect(QRectF(3.5, 1.5, 9, 12));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5.5, 3.5, 5, 2));
            break;
        case 1: // an open book
            p.setBrush(QColor(250, 250, 240));
            p.drawPolygon(
                QPolygonF({QPointF(0.5, 3.5), QPointF(7.5, 5.5), QPointF(7.5, 13.5), QPointF(0.5, 11.5)}));
            p.drawPolygon(
                QPolygonF({QPointF(15.5, 3.5), QPointF(8.5, 5.5), QPointF(8.5, 13.5), QPointF(15.5, 11.5)}));
            p.setPen(QColor(70, 110, 190));
            p.drawLine(QPointF(2.5, 7), QPointF(6, 8));
            p.drawLine(QPointF(10, 8), QPointF(13.5, 7));
            break;
        case 2:
        case 3: // an element: a resistor body, with a polarity band
            p.setBrush(QColor(225, 190, 120));
            p.drawLine(QPointF(0.5, 7.5), QPointF(3.5, 7.5));
            p.drawLine(QPointF(12.5, 7.5), QPointF(15.5, 7.5));
            p.drawRoundedRect(QRectF(3.5, 4.5, 9, 6), 2, 2);
            if (i == 3) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(200, 30, 30));
                p.drawRect(QRectF(4, 5, 2.5, 5));
            }
            break;
        case 4:
        case 5: { // a package: a chip with its pins, hollow when its elements have no reference
            p.setBrush(i == 4 ? QColor(50, 50, 50) : QColor(170, 170, 170));
            p.drawRect(QRectF(3.5, 2.5, 9, 10));
            p.setPen(QColor(150, 150, 150));
            for (int y = 4; y <= 11; y += 3) {
                p.drawLine(QPointF(0.5, y), QPointF(3, y));
                p.drawLine(QPointF(13, y), QPointF(15.5, y));
            }
            break;
        }
        default: // the part count: a tally sheet
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 0.5, 11, 14));
            p.setPen(QColor(30, 120, 30));
            for (int y = 4; y <= 11; y += 3)
                p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
            break;
        }
        icons.emplace_back(pixmap);
    }
    return icons;
}

int DataOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, CDlgLibList::DataRole).toInt() : -1;
}

std::string BytesOf(const QTreeWidgetItem* item)
{
    const QByteArray bytes = item->data(0, CDlgLibList::BytesRole).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray ByteArray(const std::string& bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A tree item whose text is CP932 bytes.
void SetItem(QTreeWidgetItem* item, const std::string& text, int data, const QIcon* icon)
{
    item->setText(0, platform::Cp932ToQString(text));
    item->setData(0, CDlgLibList::DataRole, data);
    item->setData(0, CDlgLibList::BytesRole, ByteArray(text));
    if (icon)
        item->setIcon(0, *icon);
}

std::string CountText(int count)
{
    return " Part Count : " + std::to_string(count);
}

// A scratch sheet for library parts, bound to the board document.
std::unique_ptr<CSheet> ScratchSheet(DocumentServices* doc)
{
    return std::make_unique<CSheet>(0, 0, LAYER_MAX, doc);
}

std::vector<CPart*> PartsOf(CSheet& sheet)
{
    std::vector<CPart*> parts;
    for (POSITION pos = sheet.GetFirstItemPos(KIND_PART); pos;)
        parts.push_back(static_cast<CPart*>(sheet.GetNextItem(KIND_PART, pos)));
    return parts;
}

// The wait cursor while a library is read or changed.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

CDlgLibList::CDlgLibList(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("部品一覧"), parent), m_icons(TreeIcons())
{
    CDialogBuilder& b = Builder();
    QGridLayout* grid = Grid();
    m_tree = b.Add(IdTree, new QTreeWidget(this), 0, 0, 3, 1);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setMinimumSize(260, 380);
    m_tree->setIconSize(QSize(16, 15));
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_tree->installEventFilter(this);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);

    m_preview = b.Add(IdPreview, new QFrame(this), 0, 1, 1, 2);
    m_preview->setFixedSize(240, 200);
    m_preview->installEventFilter(this);

    QGridLayout* info = AddGroup(QString::fromUtf8("部品情報"), 1, 1);
    const auto infoField = [&](int id, const char* caption, int row) {
        Put(info, b.Label(QString::fromUtf8(caption), -1, 0), row, 0);
        QLineEdit* field = Put(info, b.Add(id, new QLineEdit(this), -1, 0), row, 1);
        field->setReadOnly(true);
        return field;
    };
    m_infoRef = infoField(IdRef, "参照番号", 0);
    m_infoValue = infoField(IdValue, "初期値", 1);
    m_infoType = infoField(IdType, "タイプ", 2);
    m_infoKind = infoField(IdKind, "種類", 3);
    m_infoOptions = infoField(IdOptions, "オプション", 4);
    m_infoTerminals = infoField(IdTerminals, "端子数", 5);
    info->setRowStretch(6, 1);

    QGridLayout* display = AddGroup(QString::fromUtf8("表示"), 1, 2);
    int row = 0;
    for (const DisplayBox& box : kDisplayBoxes) {
        QCheckBox* check = Put(display, b.Check(box.id, QString::fromUtf8(box.caption), -1, 0), row++, 0);
        m_dispChecks.push_back(check);
        connect(check, &QCheckBox::clicked, this, [this] {
            UpdateData(true);
            RefreshPreview();
        });
    }
    QPushButton* all = Put(display, b.Button(IdAll, QStringLiteral("ALL"), -1, 0), row, 0);
    display->setRowStretch(row + 1, 1);
    connect(all, &QPushButton::clicked, this, &CDlgLibList::OnAll);

    auto* buttons = new QHBoxLayout;
    b.OkCancel(-1, 0);
    buttons->addStretch();
    buttons->addWidget(FindControl<QPushButton>(this, CDialogBuilder::IdOk));
    buttons->addWidget(FindControl<QPushButton>(this, CDialogBuilder::IdCancel));
    grid->addLayout(buttons, 2, 1, 1, 2);

    connect(m_tree, &QTreeWidget::itemExpanded, this, &CDlgLibList::OnItemExpanded);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!item->parent())
            item->setIcon(0, m_icons[0]);
    });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CDlgLibList::OnSelectionChanged);
    connect(m_tree, &QTreeWidget::itemChanged, this, &CDlgLibList::OnItemChanged);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this] {
        if (DataOf(m_tree->currentItem()) == kCount)
            OnCopyLibrary();
    });
}

CDlgLibList::~CDlgLibList()
{
    m_preview->removeEventFilter(this);
    m_tree->removeEventFilter(this);
}

void CDlgLibList::OnInitDialog()
{
    if (qobject_cast<QMainWindow*>(parentWidget())) {
        FindControl(this, CDialogBuilder::IdCancel)->hide();
        FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(QString::fromUtf8("閉じる"));
    }
    m_bFilling = true;
    CLibrary library;
    for (const std::string& path : library.ReadLibraryList()) {
        // "name.ext <full path>"
        const QString shown = platform::Cp932ToQString(path);
        const QFileInfo file(shown);
        auto* top = new QTreeWidgetItem(m_tree);
        top->setText(0, file.fileName() + QStringLiteral(" <") + shown + QStringLiteral(">"));
        top->setData(0, DataRole, kLibrary);
        top->setData(0, BytesRole, ByteArray(path));
        top->setIcon(0, m_icons[0]);
        auto* placeholder = new QTreeWidgetItem(top);
        SetItem(placeholder, path, kLibrary, nullptr);
    }
    m_bFilling = false;
    UpdateData(false);
    RefreshPreview();
}

bool CDlgLibList::DoDataExchange(bool save)
{
    if (save) {
        m_nDisp = kFixedLayers;
        for (std::size_t i = 0; i < m_dispChecks.size(); ++i)
            if (m_dispChecks[i]->isChecked())
                m_nDisp |= kDisplayBoxes[i].bits;
        return true;
    }
    for (std::size_t i = 0; i < m_dispChecks.size(); ++i)
        m_dispChecks[i]->setChecked((m_nDisp & kDisplayBoxes[i].bits) != 0);
    return true;
}

void CDlgLibList::OnAll()
{
    m_nDisp = m_nDisp == kFixedLayers ? kAllLayers : kFixedLayers;
    UpdateData(false);
    RefreshPreview();
}

CPart CDlgLibList::GetPart()
{
    m_part.GetPartNameText()->SetName(m_strPackage);
    CPart copy(m_part);
    copy.SetParent(nullptr); // the scratch sheet goes with the dialog
    return copy;
}

// ---------------------------------------------------------------------------------------------
// Reading libraries

bool CDlgLibList::ReadIndex(const std::string& indexPath, std::vector<IndexRecord>& records)
{
    records.clear();
    const std::optional<std::string> bytes = platform::ReadFileBytes(platform::Cp932ToPath(indexPath));
    if (!bytes)
        return false;
    CArchive ar(CArchive::load, std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
    try {
        std::string version;
        ar >> version;
        if (!CLibrary::CheckIndexVer(version))
            return false;
        std::int32_t count = 0;
        ar >> count;
        // Every record takes at least eight bytes: a count beyond that is a lie.
        if (count < 0 || static_cast<std::size_t>(count) > ar.Remaining() / 8)
            return false;
        records.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            IndexRecord record;
            std::int32_t packageMax = 0;
            ar >> record.package >> packageMax;
            record.packageMax = packageMax;
            if (packageMax > 1) {
                ar >> record.reference;
                if (!record.reference.empty()) {
                    std::int32_t type = 0;
                    ar >> type;
                    record.type = type;
                } else {
                    ar >> record.text;
                }
            }
            records.push_back(std::move(record));
        }
        // Bytes after the last record mean the count does not describe the file.
        if (ar.Remaining() != 0) {
            records.clear();
            return false;
        }
    } catch (const ArchiveError&) {
        records.clear();
        return false;
    }
    return true;
}

bool CDlgLibList::ReadLibrary(QTreeWidgetItem* libraryItem)
{
    const std::string path = BytesOf(libraryItem);
    CLibrary library;
    library.SetLibraryName(path);
    const std::filesystem::path file = platform::Cp932ToPath(library.GetLibraryName());
    const std::filesystem::path index = platform::Cp932ToPath(library.GetIndexName());

    std::vector<IndexRecord> records;
    std::error_code error;
    // An index older than its library no longer describes it.
    const bool current =
        std::filesystem::exists(index, error) && std::filesystem::exists(file, error) &&
        std::filesystem::last_write_time(index, error) >= std::filesystem::last_write_time(file, error);
    if (current && ReadIndex(library.GetIndexName(), records)) {
        AddRecords(libraryItem, records);
        return true;
    }

    if (!std::filesystem::exists(file, error)) {
        AfxMessageBox(library.GetLibraryName() + "\n" + _J("部品ファイルが見つかりません"), MB_OK);
        return false;
    }
    if (!library.ReadFile())
        return false;
    std::unique_ptr<CSheet> sheet = ScratchSheet(m_pDoc);
    library.ReadPartOutline(sheet.get());
    library.MakeIndex(*sheet);
    for (CPart* part : PartsOf(*sheet)) {
        IndexRecord record;
        record.package = part->GetPartName();
        record.packageMax = static_cast<int>(part->GetID());
        if (record.packageMax > 1) {
            record.reference = part->GetRefName();
            record.type = part->GetType();
            if (record.reference.empty()) {
                POSITION pos = part->GetFirstTextPos();
                const CText* text = pos ? part->GetNextText(pos) : nullptr;
                record.text = text ? text->GetName() : part->GetPartName();
            }
        }
        records.push_back(std::move(record));
    }
    AddRecords(libraryItem, records);
    return true;
}

void CDlgLibList::AddRecords(QTreeWidgetItem* libraryItem, const std::vector<IndexRecord>& records)
{
    m_bFilling = true;
    std::vector<QTreeWidgetItem*> packages;
    QTreeWidgetItem* package = nullptr;
    int element = 0;
    for (const IndexRecord& record : records) {
        if (!package || record.package != BytesOf(package)) {
            package = new QTreeWidgetItem;
            SetItem(package, record.package, kPackage, &m_icons[4]);
            packages.push_back(package);
            element = 0;
        }
        if (record.packageMax <= 1)
            continue;
        ++element;
        auto* item = new QTreeWidgetItem(package);
        if (!record.reference.empty()) {
            const bool polarity = (record.type & 0x200) != 0;
            SetItem(item, record.reference, element * 16 + kElementRef, &m_icons[polarity ? 3 : 2]);
        } else {
            SetItem(item, record.text.empty() ? record.package : record.text, element * 16 + kElementPlain,
                    &m_icons[4]);
            if (element == 1)
                package->setIcon(0, m_icons[5]);
        }
    }
    std::stable_sort(packages.begin(), packages.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return platform::MbsICmp(BytesOf(a), BytesOf(b)) < 0;
    });
    for (QTreeWidgetItem* item : packages)
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    libraryItem->addChildren(QList<QTreeWidgetItem*>(packages.begin(), packages.end()));
    auto* count = new QTreeWidgetItem(libraryItem);
    SetItem(count, CountText(static_cast<int>(records.size())), kCount, &m_icons[6]);
    m_bFilling = false;
}

void CDlgLibList::OnItemExpanded(QTreeWidgetItem* item)
{
    if (item->parent())
        return;
    item->setIcon(0, m_icons[1]);
    QTreeWidgetItem* first = item->child(0);
    if (item->childCount() != 1 || DataOf(first) != kLibrary)
        return;
    m_bFilling = true;
    delete item->takeChild(0);
    m_bFilling = false;
    WaitCursor wait;
    ReadLibrary(item);
}

std::string CDlgLibList::LibraryOf(QTreeWidgetItem* item) const
{
    if (!item || !item->parent())
        return std::string();
    while (item->parent())
        item = item->parent();
    return BytesOf(item);
}

QTreeWidgetItem* CDlgLibList::CountItem(QTreeWidgetItem* library) const
{
    for (int i = library->childCount() - 1; i >= 0; --i)
        if (DataOf(library->child(i)) == kCount)
            return library->child(i);
    return nullptr;
}

void CDlgLibList::AddToCount(QTreeWidgetItem* library, int delta)
{
    QTreeWidgetItem* count = CountItem(library);
    if (!count)
        return;
    const std::string text = BytesOf(count);
    const std::size_t colon = text.find(':');
    const int number = colon == std::string::npos ? 0 : std::atoi(text.c_str() + colon + 1);
    m_bFilling = true;
    SetItem(count, CountText(std::max(0, number + delta)), kCount, nullptr);
    m_bFilling = false;
}

// ---------------------------------------------------------------------------------------------
// Selection and preview

void CDlgLibList::OnSelectionChanged()
{
    if (m_bFilling)
        return;
    QTreeWidgetItem* item = m_tree->currentItem();
    const int data = DataOf(item);
    m_strElement.clear();
    if (data == kPackage) {
        m_strPackage = BytesOf(item);
        m_strElement = item->childCount() ? BytesOf(item->child(0)) : std::string();
    } else if (item && item->parent() && item->parent()->parent() && (data & 15) == kElementPlain) {
        m_strPackage = BytesOf(item->parent());
    } else if (item && item->parent() && item->parent()->parent() && (data & 15) == kElementRef) {
        m_strElement = BytesOf(item);
        m_strPackage = BytesOf(item->parent());
    } else {
        m_strPackage.clear();
        m_part.GetPartNameText()->SetName(std::string());
    }
    const std::string library = LibraryOf(item);
    if (!library.empty() && !m_strPackage.empty()) {
        WaitCursor wait;
        CLibrary reader;
        std::unique_ptr<CSheet> work = ScratchSheet(m_pDoc);
        if (std::unique_ptr<CPart> part = reader.GetPart(library, m_strPackage, data / 16, work.get())) {
            m_part = *part;
            // The part lies on no sheet; it measures and draws with the board's tables through a
            // scratch sheet bound to the document.
            if (!m_scratch || m_scratch->GetDocument() != m_pDoc)
                m_scratch = ScratchSheet(m_pDoc);
            m_part.SetParent(m_scratch.get());
            const CDRect bounds = m_part.GetBoundingRect();
            m_part.Offset(CDPoint(-bounds.left, -bounds.top), true);
            m_part.ResetBounding();
        }
    }
    RefreshPreview();
}

void CDlgLibList::RefreshPreview()
{
    m_preview->update();
    ShowInfo();
}

void CDlgLibList::ShowInfo()
{
    if (m_part.GetPartName().empty()) {
        for (QLineEdit* field :
             {m_infoRef, m_infoValue, m_infoType, m_infoKind, m_infoOptions, m_infoTerminals})
            field->clear();
        return;
    }
    static const char* const kTypes[] = {"DIP 挿入実装部品", "SMD 表面実装部品", "EDGE エッジ部品",
                                         "非回路部品"};
    static const char* const kKinds[] = {"未定義", "モジュール", "ディスクリュート", "コネクタ"};
    const int type = m_part.GetType();
    m_infoRef->setText(platform::Cp932ToQString(m_part.GetRefName()));
    m_infoValue->setText(platform::Cp932ToQString(m_part.GetValName()));
    m_infoType->setText(QString::fromUtf8(kTypes[type & 3]));
    m_infoKind->setText(QString::fromUtf8(kKinds[(type >> 2) & 3]));
    QString options;
    if (type & 0x100)
        options += QString::fromUtf8("スケール ");
    if (type & 0x200)
        options += QString::fromUtf8("極性 ");
    m_infoOptions->setText(options);
    m_infoTerminals->setText(QString::number(m_part.GetTerCount()));
}

void CDlgLibList::DrawPreview(QPainter& painter, const QRect& area)
{
    if (!m_pDoc)
        return;
    painter.fillRect(area, Qt::black);
    if (m_part.GetPartName().empty())
        return;
    CRect bounds = m_part.GetBoundingRect().IntRect();
    bounds = CRect(bounds.left - 2, bounds.top - 2, bounds.right + 2, bounds.bottom + 2);
    const int width = area.width() - 2, height = area.height() - 2;
    if (width <= 0 || height <= 0)
        return;
    platform::QPainterDrawContext dc(&painter);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(CSize(std::max(1, bounds.right - bounds.left), std::max(1, bounds.bottom - bounds.top)));
    dc.SetViewportExt(CSize(width, -height));
    // The isotropic mapping may shrink one side: the part is centred in the rest.
    const CSize used = dc.GetViewportExt();
    dc.SetWindowOrg(CPoint(bounds.left, bounds.top));
    dc.SetViewportOrg(CPoint(area.left() + 1 + (width - std::abs(used.cx)) / 2,
                             area.top() + 1 + height - (height - std::abs(used.cy)) / 2));
    if (FrameServices* frame = GetFrameServices())
        frame->SetDrawMode(0);
    dc.SetBkMode(TRANSPARENT);
    LOGFONTA font;
    font.lfHeight = -50;
    std::strncpy(font.lfFaceName, "Arial", sizeof font.lfFaceName - 1);
    dc.SelectFont(font);

    const auto drawLayer = [&](int layer) {
        if (layer < 0 || layer >= LAYER_MAX)
            return;
        CSheet* sheet = m_pDoc->GetBoardSheet(layer);
        if (!sheet)
            return;
        const tagLAYER info = sheet->GetLayer();
        const platform::Pen pen = dc.SelectPen(platform::Pen(PS_SOLID, 0, info.color));
        const platform::Brush brush = dc.SelectBrush(platform::Brush::Solid(info.color));
        dc.SetTextColor(info.color);
        m_part.DrawPart(&dc, info.drawClass | (sheet->IsDisp() ? 0x80 : 0), layer, sheet->GetType(),
                        sheet->GetWLayer());
        dc.SelectBrush(brush);
        dc.SelectPen(pen);
    };
    for (const DisplayBit& entry : kDisplayBits) {
        if (!(m_nDisp & entry.bit))
            continue;
        const tagPARTLAYER pair = m_pDoc->GetPartLayer(entry.partLayer);
        drawLayer(pair.layerA);
        drawLayer(pair.layerB);
    }
    // The wiring layers last, so that copper lies over the rest.
    std::vector<std::uint8_t> order;
    m_pDoc->GetDispLayers(order);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        CSheet* sheet = m_pDoc->GetBoardSheet(*it);
        if (sheet && (sheet->GetType() & 0x6))
            drawLayer(*it);
    }
}

bool CDlgLibList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_preview && event->type() == QEvent::Paint) {
        QPainter painter(m_preview);
        DrawPreview(painter, m_preview->rect());
        return true;
    }
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            OnDelete();
            return true;
        }
    }
    return CItemDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Rename, delete, copy

void CDlgLibList::OnItemChanged(QTreeWidgetItem* item, int)
{
    if (m_bFilling || DataOf(item) != kPackage)
        return;
    const std::string old = BytesOf(item);
    const std::optional<std::string> typed = platform::QStringToCp932(item->text(0));
    const auto restore = [&] {
        m_bFilling = true;
        item->setText(0, platform::Cp932ToQString(old));
        m_bFilling = false;
    };
    if (!typed) {
        restore();
        AfxMessageBox(_J("この文字列には使用できない文字が含まれています。"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (typed->empty() || *typed == old) {
        restore();
        return;
    }
    RenamePackage(item, *typed);
    if (BytesOf(item) != *typed)
        restore();
}

void CDlgLibList::RenamePackage(QTreeWidgetItem* item, const std::string& newName)
{
    const std::string path = LibraryOf(item);
    const std::string old = BytesOf(item);
    // The parts are read into a sheet and written back: without a board their items cannot be.
    if (path.empty() || !m_pDoc)
        return;
    WaitCursor wait;
    CLibrary library;
    library.SetLibraryName(path);
    if (!library.ReadFile())
        return;
    std::unique_ptr<CSheet> probe = ScratchSheet(m_pDoc);
    library.SetPackageName(newName);
    if (library.ReadPart(probe.get()))
        return; // a package of that name exists: nothing changes
    std::unique_ptr<CSheet> parts = ScratchSheet(m_pDoc);
    library.SetPackageName(old);
    if (!library.ReadPart(parts.get()))
        return;
    for (CPart* part : PartsOf(*parts))
        part->GetPartNameText()->SetName(newName);
    if (!library.DelPart(false, false))
        return;
    library.SetPackageName(newName);
    if (!library.WritePart(parts.get(), 0))
        return;
    m_bFilling = true;
    SetItem(item, newName, kPackage, nullptr);
    m_bFilling = false;
    m_strPackage = newName;
    OnSelectionChanged();
}

void CDlgLibList::OnDelete()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    const int data = DataOf(item);
    const bool isPackage = data == kPackage;
    const bool isElement = item && item->parent() && item->parent()->parent() && (data & 15) == kElementPlain;
    if ((!isPackage && !isElement) || m_strPackage.empty())
        return;
    const std::string path = LibraryOf(item);
    if (path.empty())
        return;
    const std::string question = (isPackage ? m_strPackage : BytesOf(item)) + _J("を削除します[復活不可]");
    if (AfxMessageBox(question, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;

    WaitCursor wait;
    CLibrary library;
    library.SetLibraryName(path);
    if (!library.ReadFile())
        return;
    QTreeWidgetItem* top = item;
    while (top->parent())
        top = top->parent();
    QTreeWidgetItem* package = isPackage ? item : item->parent();

    if (isPackage) {
        library.SetPackageName(BytesOf(package));
        if (!library.DelPart(false, false) || !library.WriteFile())
            return;
        const int removed = std::max(1, package->childCount());
        m_bFilling = true;
        delete top->takeChild(top->indexOfChild(package));
        m_bFilling = false;
        AddToCount(top, -removed);
    } else {
        // The element's part goes; the others are written back under the package's name.
        if (!m_pDoc)
            return;
        std::unique_ptr<CSheet> parts = ScratchSheet(m_pDoc);
        library.SetPackageName(BytesOf(package));
        if (!library.ReadPart(parts.get()))
            return;
        CPart* gone = parts->GetPart(data / 16 - 1);
        if (!gone)
            return;
        parts->DeleteItem(gone);
        const bool remaining = parts->GetFirstItemPos(KIND_PART) != nullptr;
        if (!library.DelPart(false, false))
            return;
        if (remaining ? !library.WritePart(parts.get(), 0) : !library.WriteFile())
            return;
        m_bFilling = true;
        delete package->takeChild(package->indexOfChild(item));
        if (package->childCount() == 0) {
            delete top->takeChild(top->indexOfChild(package));
        } else if (package->childCount() == 1) {
            SetItem(package, BytesOf(package), kPackage, &m_icons[4]);
            delete package->takeChild(0);
        } else {
            // Renumbered 1, 2, ..., each keeping its kind.
            for (int i = 0; i < package->childCount(); ++i) {
                QTreeWidgetItem* child = package->child(i);
                child->setData(0, DataRole, (i + 1) * 16 + (DataOf(child) & 15));
            }
        }
        m_bFilling = false;
        AddToCount(top, -1);
    }
    OnSelectionChanged();
}

void CDlgLibList::OnCopyLibrary()
{
    const std::string path = LibraryOf(m_tree->currentItem());
    if (path.empty() || !m_pDoc)
        return;
    WaitCursor wait;
    CLibrary library;
    std::unique_ptr<CSheet> sheet = ScratchSheet(m_pDoc);
    library.GetPart(path, std::string(), 0, sheet.get());
    if (!sheet->GetFirstItemPos(KIND_PART))
        return;
    CArchive ar(CArchive::store);
    sheet->SerializeText(ar);
    const std::vector<std::uint8_t>& bytes = ar.Data();
    platform::WriteItemClipboard(std::string(bytes.begin(), bytes.end()));
}
