#include "libui/DlgPartTer.h"

#include "controls/GfxListCtrl.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <QPainter>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kColumnId = 1, kColumnName = 2, kColumnVia = 3, kFirstLayerColumn = 4;

QPixmap Transparent(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// 16 px cell images: an open ring for a via not wired on the layer, a filled pad for one wired.
std::vector<QPixmap> CellImages()
{
    std::vector<QPixmap> images;
    for (int wired = 0; wired < 2; ++wired) {
        QPixmap pixmap = Transparent(16);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(wired ? QColor(0, 110, 0) : QColor(140, 140, 140), 1.5));
        p.setBrush(wired ? QBrush(QColor(40, 190, 40)) : QBrush(Qt::NoBrush));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        if (wired) {
            p.setBrush(Qt::white);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
        }
        images.push_back(pixmap);
    }
    return images;
}

// 11 px header images: a layer plate, one shade per inner layer.
std::vector<QPixmap> HeaderImages()
{
    std::vector<QPixmap> images;
    for (int i = 0; i < 32; ++i) {
        QPixmap pixmap = Transparent(11);
        QPainter p(&pixmap);
        p.setPen(QColor(60, 60, 60));
        p.setBrush(QColor::fromHsv((i * 47) % 360, 140, 230));
        p.drawRect(1, 3, 8, 4);
        images.push_back(pixmap);
    }
    return images;
}

std::string Number(int value)
{
    return std::to_string(value);
}

} // namespace

CDlgPartTer::CDlgPartTer(QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("部品端子編集"), parent), m_cellImages(CellImages()),
      m_headerImages(HeaderImages()), m_font(QString::fromUtf8("IPAPGothic"))
{
    m_font.setPointSize(9);
    CDialogBuilder& b = Builder();
    m_list = b.Add(IdList, new CGfxListCtrl(this, GfxFlavour::Library), 0, 0, 3, 1);
    m_list->m_nCtrlId = IdList;
    m_list->setFont(m_font);
    m_list->setMinimumSize(300, 260);
    b.OkCancel(0, 1);
    Grid()->setRowStretch(2, 1);
    connect(m_list, &CGfxListCtrl::cellClicked, this, &CDlgPartTer::OnCellClicked);
}

CDlgPartTer::~CDlgPartTer() = default;

int CDlgPartTer::WireLayerCount() const
{
    if (FrameServices* frame = GetFrameServices())
        return frame->GetWireLayerCount();
    return m_pDoc ? m_pDoc->GetWireLayerCount() : 0;
}

void CDlgPartTer::OnInitDialog()
{
    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(kColumnId, "ID", "", LVCFMT_RIGHT, 30, 0xA8);
    columns->AddColumn(kColumnName, _J("端子"), "", LVCFMT_LEFT, 40, 0x04);
    std::vector<int> order = {0, kColumnId, kColumnName};
    const bool throughHole = m_part.GetMountClass() == PART_DIP;
    if (throughHole) {
        columns->AddColumn(kColumnVia, _J("ビア"), "", LVCFMT_RIGHT, 40, 0x8C);
        order.push_back(kColumnVia);
        // One column for each inner layer 2 .. n-1; ids stay below the net column's.
        const int layers = std::min(WireLayerCount(), ColumnNet - kFirstLayerColumn + 2);
        for (int layer = 2; layer <= layers - 1; ++layer) {
            const int id = layer + 2;
            char image[24];
            std::snprintf(image, sizeof image, "Image %d", id - 1);
            columns->AddColumn(id, Number(layer), "", LVCFMT_CENTER, 18, 0x50, id - 2, image);
            order.push_back(id);
            ++m_nLayerColumns;
        }
    }
    if (m_pDoc && m_pDoc->IsNetOn()) {
        columns->AddColumn(ColumnNet, _J("ネット"), "", LVCFMT_LEFT, 80, 0);
        order.push_back(ColumnNet);
    }
    m_nColumns = static_cast<int>(order.size());
    columns->SetColumnOrder(m_nColumns, order.data());

    m_list->m_pCellImages = &m_cellImages;
    m_list->SetHeaderImageList(&m_headerImages);
    m_list->ModifyGfxStyle(0, 0x000F);
    m_list->SetupColumns();

    // The rows carry the terminals' own ids; virtual terminals are not listed.
    m_rowIds.clear();
    for (POSITION pos = m_part.GetFirstTerPos(); pos;) {
        CTer* ter = m_part.GetNextTer(pos);
        if (!ter->IsVirtualTer())
            m_rowIds.push_back(static_cast<int>(ter->GetID()));
    }
    std::sort(m_rowIds.begin(), m_rowIds.end());
    m_nRows = static_cast<int>(m_rowIds.size());
    for (int row = 0; row < m_nRows; ++row)
        m_list->InsertItemData(row, m_rowIds[static_cast<std::size_t>(row)]);
    m_list->SetRowHeight(17, false);
    for (int i = 0; i < m_nColumns; ++i)
        m_list->m_dwFormatColumns |= GfxColumnBit(order[static_cast<std::size_t>(i)]);
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        CellText(m_list->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return GetExInfoCallback(request); };
    int width = 0;
    for (int i = 0; i < m_nColumns; ++i)
        width += m_list->GetColumnWidth(i);
    m_list->setMinimumWidth(std::max(300, width + 24));
}

void CDlgPartTer::CellText(int column, int terId, std::string& out)
{
    out.clear();
    if (column == kColumnId) {
        out = Number(terId);
    } else if (column == kColumnName) {
        out = m_part.GetTerName(terId);
    } else if (column == kColumnVia) {
        out = m_part.GetVia(static_cast<unsigned>(terId)) ? Number(m_part.GetTerViaNo(terId)) : "--";
    } else if (column >= kFirstLayerColumn && column < ColumnNet) {
        if (m_part.GetVia(static_cast<unsigned>(terId)))
            out = m_part.IsViaTH(terId, column - 2) ? "1" : "0";
    }
}

int CDlgPartTer::GetExInfoCallback(LXHDREX* request)
{
    if (request->nCode != GFXREQ_ENDEDIT)
        return 0;
    const int terId = static_cast<int>(request->lParam);
    if (request->nSubItem == kColumnName) {
        std::string text = request->strText;
        const std::size_t first = text.find_first_not_of(" \t");
        const std::size_t last = text.find_last_not_of(" \t");
        text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        if (!text.empty())
            m_part.SetTerName(terId, text);
        request->strText = m_part.GetTerName(terId);
    } else if (request->nSubItem == kColumnVia) {
        CVia* via = m_part.GetVia(static_cast<unsigned>(terId));
        int number = 0;
        const std::string& text = request->strText;
        const bool whole = !text.empty() && text.size() <= 3 &&
                           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (whole)
            number = std::stoi(text);
        if (via && number >= 1 && number <= 64)
            via->SetViaNo(number, false);
        request->strText = via ? Number(via->GetViaNo()) : "--";
    }
    return 1;
}

void CDlgPartTer::OnCellClicked(int item, int column)
{
    if (item < 0 || item >= m_nRows)
        return;
    const int id = m_list->GetColumnSubItem(column);
    if (id < kFirstLayerColumn || id >= kFirstLayerColumn + m_nLayerColumns)
        return;
    CVia* via = m_part.GetVia(static_cast<unsigned>(m_list->GetItemData(item)));
    if (!via)
        return;
    via->InvertWire(id - 2);
    m_list->viewport()->update();
}

bool CDlgPartTer::Run(CPart& part, DocumentServices* doc, QWidget* parent)
{
    CDlgPartTer dialog(parent);
    dialog.m_part = part;
    dialog.m_pDoc = doc;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    part = dialog.m_part;
    return true;
}
