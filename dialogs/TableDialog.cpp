#include "dialogs/TableDialog.h"

#include "controls/GfxListCtrl.h"
#include "dialogs/TableImages.h"
#include "platform/qt/QtText.h"

#include <QFontMetrics>
#include <algorithm>

#include <QEvent>
#include <QLayout>
#include <QWindowStateChangeEvent>

CTableDialog::CTableDialog(int templateId, const QString& caption, int listId, int iconId, bool resizable,
                           QWidget* parent)
    : CItemDialog(templateId, caption, parent), m_resizable(resizable)
{
    m_list = new CGfxListCtrl(this);
    m_list->m_nCtrlId = listId;
    // The grid draws its cells in fonts it derives from its own once; they follow the face here.
    m_list->setFont(ProportionalGothic());
    m_list->m_fontNormal = m_list->m_fontUnderline = m_list->m_fontBold = m_list->m_fontItalic =
        m_list->font();
    m_list->m_fontUnderline.setUnderline(true);
    m_list->m_fontBold.setBold(true);
    m_list->m_fontItalic.setItalic(true);
    if (iconId)
        setWindowIcon(TableDialogIcon(iconId));
    if (m_resizable) {
        Grid()->setSizeConstraint(QLayout::SetDefaultConstraint);
        const ResizeBorder left{RuleFixed, 0, EdgeLeft}, top{RuleFixed, 0, EdgeTop},
            right{RuleFixed, 0, EdgeRight}, bottom{RuleFixed, 0, EdgeBottom};
        m_rules.push_back(ResizeRow{listId, left, top, right, bottom});
        m_gripper = new CGripper(this);
        m_gripper->hide();
    }
}

CTableDialog::~CTableDialog() = default;

QFont CTableDialog::ProportionalGothic()
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSize(9);
    return font;
}

void CTableDialog::UseTableImages()
{
    m_list->m_pCellImages = &TableCellImages();
    m_list->SetHeaderImageList(&TableHeaderImages());
}

void CTableDialog::FitColumns(bool texts)
{
    CGfxColumnManager* columns = m_list->GetColumnManager();
    if (!columns)
        return;
    const QFontMetrics metrics(m_list->font());
    constexpr int Margin = 14; // the cell's text margins and the header's sort mark
    for (int c = 0; c < m_list->GetColumnCount(); ++c) {
        const int def = columns->FindColumn(m_list->GetColumnSubItem(c));
        if (def < 0)
            continue;
        const CGfxColumn& column = columns->GetColumns()[static_cast<std::size_t>(def)];
        if (column.width <= 0 || (column.flags & (GFXCOL_HEADERIMAGE | GFXCOL_IMAGE)))
            continue;
        int needed = metrics.horizontalAdvance(platform::Cp932ToQString(column.caption));
        // The first rows stand for the rest: a big board's part list is not measured whole.
        for (int row = 0; texts && row < std::min(m_list->GetItemCount(), 200); ++row) {
            std::string text;
            m_list->GetCellText(row, c, text);
            needed = std::max(needed, metrics.horizontalAdvance(platform::Cp932ToQString(text)));
        }
        if (needed + Margin > m_list->GetColumnWidth(c))
            m_list->SetColumnWidth(c, needed + Margin);
    }
}

void CTableDialog::showEvent(QShowEvent* event)
{
    CItemDialog::showEvent(event);
    if (!m_resizable || m_laidOut)
        return;
    m_laidOut = true;
    // The rows and columns are in now: the layout places the controls once, then the rules take over.
    if (layout())
        layout()->activate();
    resize(size().expandedTo(sizeHint()));
    if (layout())
        layout()->setGeometry(rect());
    m_resizer.Init(this, nullptr, m_rules.data(), static_cast<int>(m_rules.size()), false);
    m_initialSize = size();
    setMinimumSize(m_initialSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_gripper->Create(this);
    m_gripper->raise();
}

void CTableDialog::resizeEvent(QResizeEvent* event)
{
    CItemDialog::resizeEvent(event);
    if (!m_laidOut)
        return;
    m_resizer.Move();
    m_gripper->CalcParentSize();
}

void CTableDialog::changeEvent(QEvent* event)
{
    CItemDialog::changeEvent(event);
    // A minimised modal dialog would hide its own owner's only way back: restore the initial size.
    if (m_laidOut && event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        m_resizer.ResetSize();
    }
}

void CTableDialog::done(int result)
{
    if (m_list->GetCategoryManager())
        m_list->EnableCategories(false);
    if (CGfxColumnManager* columns = m_list->GetColumnManager())
        columns->ReadHeaderLayout(m_list);
    CItemDialog::done(result);
}
