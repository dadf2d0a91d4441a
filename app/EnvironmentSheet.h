#pragma once
// The environment settings sheet "環境設定": one tab per option page, OK and Cancel, no Apply.
// Pages are made by template id. A page is asked to read its controls back before another page
// becomes current and at OK; a refusal keeps it current. At OK every page that was shown checks
// and then stores its settings; the layer page is applied to the board by the frame afterwards.

#include "dialogs/OptSheet.h"

#include <QDialog>

#include <vector>

class COptLayer;
class COptPage;
class CVELTADoc;
class QTabWidget;

class CEnvironmentSheet : public QDialog
{
    Q_OBJECT

public:
    // doc: the active board (the layer page works on it); hooks: the application's recent lists.
    CEnvironmentSheet(const std::vector<int>& pageIds, QWidget* parent, CVELTADoc* doc = nullptr,
                      RecentListHooks hooks = {});

    // The page of a template id; null for an id without one.
    static COptPage* CreatePage(int templateId, QWidget* parent, CVELTADoc* doc, const RecentListHooks& hooks);
    static QString PageCaption(int templateId);

    void SetStartIndex(int index);
    int CurrentIndex() const;
    int CurrentPageId() const;
    QTabWidget* Tabs() const { return m_pTabs; }
    // The page at a tab, or null.
    COptPage* Page(int index) const;
    COptLayer* LayerPage() const;

    // After OK: writes the layer page's structure into the board's settings, when the page was
    // shown.
    void ApplyLayerPage();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnCurrentChanged(int index);
    void Activate(int index);

    std::vector<int> m_pageIds;
    QTabWidget* m_pTabs;
    int m_nActive = -1;
};
