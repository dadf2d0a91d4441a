#include "app/EnvironmentSheet.h"

#include "dialogs/OptCopyInc.h"
#include "dialogs/OptFileSave.h"
#include "dialogs/OptLayer.h"
#include "dialogs/OptLibrary.h"
#include "dialogs/OptLine.h"
#include "dialogs/OptTool.h"
#include "document/DocumentHost.h"
#include "document/SettingSections.h"
#include "document/VELTADoc.h"
#include "platform/Numbers.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QHBoxLayout>
#include <QVBoxLayout>

COptPage* CEnvironmentSheet::CreatePage(int templateId, QWidget* parent, CVELTADoc* doc,
                                        const RecentListHooks& hooks)
{
    switch (templateId) {
    case COptSheet::IDD:
        return new COptSheet(hooks, parent);
    case COptLibrary::IDD:
        return new COptLibrary(parent);
    case COptCopyInc::IDD:
        return new COptCopyInc(parent);
    case COptLine::IDD:
        return new COptLine(parent);
    case COptTool::IDD:
        return new COptTool(parent);
    case COptFileSave::IDD:
        return new COptFileSave(parent);
    case COptLayer::IDD:
        return new COptLayer(doc, parent);
    default:
        return nullptr;
    }
}

QString CEnvironmentSheet::PageCaption(int templateId)
{
    switch (templateId) {
    case 154:
        return QString::fromUtf8("全般");
    case 166:
        return QString::fromUtf8("部品ファイル");
    case 167:
        return QString::fromUtf8("コピー＆編集");
    case 171:
        return QString::fromUtf8("線入力");
    case 178:
        return QString::fromUtf8("ツール");
    case 153:
        return QString::fromUtf8("保存");
    case 156:
        return QString::fromUtf8("層属性");
    default:
        return QString::number(templateId);
    }
}

CEnvironmentSheet::CEnvironmentSheet(const std::vector<int>& pageIds, QWidget* parent, CVELTADoc* doc,
                                     RecentListHooks hooks)
    : QDialog(parent), m_pageIds(pageIds), m_pTabs(new QTabWidget(this))
{
    setWindowTitle(QString::fromUtf8("環境設定"));
    for (int id : m_pageIds) {
        QWidget* page = CreatePage(id, m_pTabs, doc, hooks);
        if (!page)
            page = new QWidget(m_pTabs);
        page->setObjectName(QString::number(id));
        m_pTabs->addTab(page, PageCaption(id));
    }
    // OK and Cancel are the sheet's own children with the standard ids, as in every dialog.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(CDialogBuilder::IdOk));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    cancel->setObjectName(QString::number(CDialogBuilder::IdCancel));
    connect(ok, &QPushButton::clicked, this, &CEnvironmentSheet::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CEnvironmentSheet::OnCurrentChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addLayout(buttons);
}

COptPage* CEnvironmentSheet::Page(int index) const
{
    return qobject_cast<COptPage*>(m_pTabs->widget(index));
}

COptLayer* CEnvironmentSheet::LayerPage() const
{
    for (int i = 0; i < m_pTabs->count(); ++i)
        if (auto* page = qobject_cast<COptLayer*>(m_pTabs->widget(i)))
            return page;
    return nullptr;
}

void CEnvironmentSheet::SetStartIndex(int index)
{
    if (index >= 0 && index < m_pTabs->count())
        m_pTabs->setCurrentIndex(index);
}

int CEnvironmentSheet::CurrentIndex() const
{
    return m_pTabs->currentIndex();
}

int CEnvironmentSheet::CurrentPageId() const
{
    const int index = m_pTabs->currentIndex();
    return index >= 0 && index < static_cast<int>(m_pageIds.size())
               ? m_pageIds[static_cast<std::size_t>(index)]
               : 154;
}

void CEnvironmentSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_nActive < 0)
        Activate(m_pTabs->currentIndex());
}

void CEnvironmentSheet::Activate(int index)
{
    m_nActive = index;
    if (COptPage* page = Page(index))
        page->OnSetActive();
}

void CEnvironmentSheet::OnCurrentChanged(int index)
{
    if (m_nActive < 0) {
        // Not shown yet: the start page is chosen before the sheet runs.
        return;
    }
    COptPage* leaving = Page(m_nActive);
    if (leaving && leaving->IsInitialised()) {
        // The page being left shows its message while it is still current.
        const int wanted = index;
        {
            const QSignalBlocker block(m_pTabs);
            m_pTabs->setCurrentIndex(m_nActive);
        }
        if (!leaving->OnKillActive())
            return;
        const QSignalBlocker block(m_pTabs);
        m_pTabs->setCurrentIndex(wanted);
    }
    Activate(index);
}

void CEnvironmentSheet::accept()
{
    if (COptPage* current = Page(m_pTabs->currentIndex()); current && current->IsInitialised())
        if (!current->OnKillActive())
            return;
    std::vector<COptPage*> shown;
    for (int i = 0; i < m_pTabs->count(); ++i)
        if (COptPage* page = Page(i); page && page->IsInitialised())
            shown.push_back(page);
    // Nothing is stored while a page still refuses its values.
    for (COptPage* page : shown) {
        if (page->CanApply())
            continue;
        const int index = m_pTabs->indexOf(page);
        if (index != m_pTabs->currentIndex()) {
            {
                const QSignalBlocker block(m_pTabs);
                m_pTabs->setCurrentIndex(index);
            }
            Activate(index);
        }
        return;
    }
    for (COptPage* page : shown)
        page->OnOK();
    QDialog::accept();
}

void CEnvironmentSheet::ApplyLayerPage()
{
    COptLayer* page = LayerPage();
    if (!page || !page->IsShown() || !page->GetDocument())
        return;
    CVELTADoc* doc = page->GetDocument();
    const std::pair<int, int> contour(page->m_nOutline - 1, page->m_nHole - 1);
    if (contour != doc->GetContourLayers())
        doc->WriteContourLayer(contour.first, contour.second);
    doc->WriteWireViaLayer(page->WireViaLines());
    // The count follows the lines it indexes, as the settings load reads them.
    settings::Write(doc->GetSettingFile(), "WIRE_LAY_COUNT", platform::Format("%d ;\r\n", page->m_nWireCount));
    doc->ReadWireLayCount();
    doc->WriteCrossLayer(page->CrossLayers());
    doc->BuildLayerLists();
    doc->FillLayerCombo(false);
    if (DocumentHost* host = doc->GetHost())
        host->UpdateAllViews(0, nullptr, nullptr);
}
