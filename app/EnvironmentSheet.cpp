#include "app/EnvironmentSheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

std::map<int, CEnvironmentSheet::PageFactory>& Factories()
{
    static std::map<int, CEnvironmentSheet::PageFactory> factories;
    return factories;
}

} // namespace

void CEnvironmentSheet::RegisterPage(int templateId, PageFactory factory)
{
    Factories()[templateId] = std::move(factory);
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

CEnvironmentSheet::CEnvironmentSheet(const std::vector<int>& pageIds, QWidget* parent)
    : QDialog(parent), m_pageIds(pageIds), m_pTabs(new QTabWidget(this))
{
    setWindowTitle(QString::fromUtf8("環境設定"));
    for (int id : m_pageIds) {
        QWidget* page = nullptr;
        if (auto it = Factories().find(id); it != Factories().end())
            page = it->second(m_pTabs);
        if (!page)
            page = new QWidget(m_pTabs);
        page->setObjectName(QString::number(id));
        m_pTabs->addTab(page, PageCaption(id));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
    resize(460, 420);
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
