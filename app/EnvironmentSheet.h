#pragma once
// The environment settings sheet "環境設定": one tab per option page, OK and Cancel, no Apply.
// Pages are made by template id through a factory the option pages register; an id without a
// registered page shows an empty page.

#include <QDialog>

#include <functional>
#include <map>
#include <vector>

class QTabWidget;

class CEnvironmentSheet : public QDialog
{
    Q_OBJECT

public:
    using PageFactory = std::function<QWidget*(QWidget* parent)>;

    CEnvironmentSheet(const std::vector<int>& pageIds, QWidget* parent);

    // Makes the page of a template id (the option pages register theirs).
    static void RegisterPage(int templateId, PageFactory factory);
    static QString PageCaption(int templateId);

    void SetStartIndex(int index);
    int CurrentIndex() const;
    int CurrentPageId() const;
    QTabWidget* Tabs() const { return m_pTabs; }

private:
    std::vector<int> m_pageIds;
    QTabWidget* m_pTabs;
};
