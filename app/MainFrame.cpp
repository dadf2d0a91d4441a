#include "app/MainFrame.h"

#include "app/CamCommands.h"
#include "app/ChildFrame.h"
#include "app/CommandTable.h"
#include "app/EnvironmentSheet.h"
#include "app/RecentFileList.h"
#include "app/ToolBarArt.h"
#include "app/VELTAApp.h"
#include "app/VELTAView.h"
#include "app/ViewCommands.h"
#include "app/WindowPlacement.h"
#include "controls/GfxPopupMenu.h"
#include "dialogs/DlgFind.h"
#include "document/ExternalTool.h"
#include "document/FrameHelpers.h"
#include "document/VELTADoc.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

using platform::Cp932ToQString;
using platform::QStringToCp932;

namespace {

// The maker's web site; the support link is its "bbs/" page.
const char* const kHomePage = "https://velta.example.org/";

constexpr int kPaneCount = 9;
constexpr int kSheetSizePane = 2;
constexpr int kScrollPane = 6;
constexpr int kDatePane = 7;
constexpr int kTimePane = 8;

constexpr int kBarOrder[] = {128, 135, 131, 132, 133, 134};

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

int IdOf(const QAction* action)
{
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

ViewCommands* ViewOf(const CChildFrame* child)
{
    return child ? dynamic_cast<ViewCommands*>(child->GetView()) : nullptr;
}

bool EndsWithNoCase(const QString& text, const char* suffix)
{
    return text.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

int BarOfToggle(int id)
{
    switch (id) {
    case 32789:
        return 131;
    case 32790:
        return 132;
    case 32791:
        return 133;
    case 32792:
        return 134;
    case 32793:
        return 135;
    default:
        return 0;
    }
}

// Menu commands the board document carries out itself, with the query that enables each (none:
// always enabled while a board is open).
struct DocumentCommand
{
    int id;
    bool (CVELTADoc::*enabled)();
    void (CVELTADoc::*run)();
};

constexpr DocumentCommand kDocumentCommands[] = {
    {32795, &CVELTADoc::CanMakePart, &CVELTADoc::OnMakePart},
    {32806, &CVELTADoc::CanExplodePart, &CVELTADoc::OnExplodePart},
    {32961, &CVELTADoc::CanMergeSplitPart, &CVELTADoc::OnMergeSplitPart},
    {32845, &CVELTADoc::CanResetPartNumbers, &CVELTADoc::OnResetPartNumbers},
    {ID_WORK_AREA, nullptr, &CVELTADoc::OnWorkArea},
    {32958, nullptr, &CVELTADoc::OnPartManager},
    {32960, nullptr, &CVELTADoc::OnNetManager},
    {ID_LAYER_SWAP, nullptr, &CVELTADoc::OnLayerSwap},
    {32955, &CVELTADoc::OnUpdateToolCommand, &CVELTADoc::OnPartList},
    {32956, &CVELTADoc::OnUpdateToolCommand, &CVELTADoc::OnCleanUp},
    {32846, &CVELTADoc::OnUpdateToolCommand, &CVELTADoc::OnHoleData},

    // CAM input
    {32832, nullptr, &CVELTADoc::OnCamDataInput},

    // The design rule check.
    {32940, nullptr, &CVELTADoc::OnDesignRuleCheck},
};

const DocumentCommand* FindDocumentCommand(int id)
{
    for (const DocumentCommand& command : kDocumentCommands)
        if (command.id == id)
            return &command;
    return nullptr;
}

// Commands the frame or application carry out with no board open.
bool IsAlwaysEnabled(int id)
{
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_ENVIRONMENT:
    case ID_HOME_PAGE:
    case ID_SUPPORT_PAGE:
    case ID_STATUS_BAR:
    case ID_PROJECT:
        return true;
    default:
        return false;
    }
}

} // namespace

CMainFrame::CMainFrame(CVELTAApp& app) : m_app(app)
{
    setObjectName("VELTA Class");
    setWindowTitle("VELTA");
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    RegisterToolBarImages();
    ReloadMenuLook();
    m_nZoomPercent = platform::GetProfile().GetInt("Sheet", "ZoomAspect", 20);
    m_bAutoSave = platform::GetProfile().GetInt("FileSave", "AutoSave", 0) != 0;

    m_pMdi = new QMdiArea(this);
    m_pMdi->setObjectName("mdiArea");
    m_pMdi->setBackground(QColor(128, 128, 128));
    setCentralWidget(m_pMdi);
    connect(m_pMdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateActions();
    CreateToolBars();
    CreateStatusBar();
    BuildMenuBar(false);
    menuBar()->installEventFilter(this);

    m_pAutoSaveTimer = new QTimer(this);
    connect(m_pAutoSaveTimer, &QTimer::timeout, this, &CMainFrame::OnAutoSaveTimer);
    m_pClock = new QTimer(this);
    connect(m_pClock, &QTimer::timeout, this, &CMainFrame::OnTimerTick);
    m_pClock->start(1000);
    // Tool-bar buttons follow the state of their commands the way idle updates did.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateToolBarStates);
    idle->start(250);
    OnTimerTick();
    resize(1024, 768);
    SetFrameServices(this);
}

CMainFrame::~CMainFrame()
{
    if (GetFrameServices() == this)
        SetFrameServices(nullptr);
    // Board windows go first: their documents may still talk to the frame while closing.
    disconnect(m_pMdi, nullptr, this, nullptr);
    // Closed windows still waiting for deletion are children too.
    for (CChildFrame* child : findChildren<CChildFrame*>())
        delete child;
}

// ---------------------------------------------------------------------------------------------
// Frame services

tagTURRET CMainFrame::GetTurret(int number)
{
    tagTURRET t;
    if (number < 0) {
        t.shape = TURRET_ROUND;
        t.size1 = 0.01;
        return t;
    }
    if (!m_pCurrentDoc || number > TURRET_MAX)
        return t;
    return m_pCurrentDoc->GetTurretEntry(number);
}

tagVIA CMainFrame::GetVia(int number)
{
    if (!m_pCurrentDoc || number < 0 || number > VIA_MAX)
        return {};
    return m_pCurrentDoc->GetViaEntry(number);
}

tagLAYER CMainFrame::GetLayer(int layer)
{
    if (!m_pCurrentDoc || layer < 0 || layer >= LAYER_MAX)
        return {};
    return m_pCurrentDoc->GetLayer(layer);
}

void CMainFrame::GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int kind)
{
    const std::uint32_t question = flags[0];
    if (question == 0) {
        flags.fill(1);
        return;
    }
    if (!m_pCurrentDoc || question > 3)
        return;
    for (int i = 0; i < LAYER_MAX; ++i) {
        std::uint32_t& f = flags[static_cast<std::size_t>(i)];
        if (question == 1) {
            f = m_pCurrentDoc->CountLayerItems(i, kind) > 0 ? 1 : 0;
        } else {
            const tagLAYER layer = m_pCurrentDoc->GetLayer(i);
            f = question == 2 ? layer.display : layer.enable;
        }
    }
}

int CMainFrame::GetWireLayerCount()
{
    return m_pCurrentDoc ? m_pCurrentDoc->GetWireLayerCount() : 0;
}

int CMainFrame::GetTurretDCode(int turret)
{
    return m_pCurrentDoc ? m_pCurrentDoc->GetTurretDCode(turret) : 0;
}

tagTEXTSIZE CMainFrame::GetTextSize(int index)
{
    if (!m_pCurrentDoc || index > TEXT_SIZE_COUNT)
        return {};
    return m_pCurrentDoc->GetTextSize(std::max(index, 0));
}

tagDIMS CMainFrame::GetDimensionStyle()
{
    return m_pCurrentDoc ? m_pCurrentDoc->GetDims() : tagDIMS{};
}

int CMainFrame::GetCoordScale()
{
    return m_pCurrentDoc ? m_pCurrentDoc->GetCoordScale() : 100;
}

bool CMainFrame::IsLayerDisplayed(int layer)
{
    if (!m_pCurrentDoc || layer < 0 || layer >= LAYER_MAX)
        return false;
    return (m_pCurrentDoc->GetLayer(layer).display & 0xFF) != 0;
}

DocumentServices* CMainFrame::GetCurrentDocument()
{
    return m_pCurrentDoc;
}

void CMainFrame::SetCurrentDoc(CVELTADoc* doc)
{
    m_pCurrentDoc = doc;
}

// ---------------------------------------------------------------------------------------------
// Board windows

CChildFrame* CMainFrame::ActiveChild() const
{
    return dynamic_cast<CChildFrame*>(m_pMdi->activeSubWindow());
}

CVELTADoc* CMainFrame::ActiveDocument() const
{
    CChildFrame* child = ActiveChild();
    return child ? child->GetDocument() : nullptr;
}

std::vector<CChildFrame*> CMainFrame::Children() const
{
    std::vector<CChildFrame*> children;
    for (QMdiSubWindow* w : m_pMdi->subWindowList())
        if (auto* child = dynamic_cast<CChildFrame*>(w))
            children.push_back(child);
    return children;
}

void CMainFrame::AddChild(CChildFrame* child)
{
    m_pMdi->addSubWindow(child);
    child->show();
    m_pMdi->setActiveSubWindow(child);
    OnSubWindowActivated(child);
}

void CMainFrame::CloseAllBoards()
{
    for (QMdiSubWindow* active = m_pMdi->activeSubWindow(); active;) {
        active->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QMdiSubWindow* next = m_pMdi->activeSubWindow();
        if (!next && !m_pMdi->subWindowList().isEmpty()) {
            m_pMdi->activateNextSubWindow();
            next = m_pMdi->activeSubWindow();
        }
        if (next == active)
            break; // the user kept this board
        active = next;
    }
}

CVELTADoc* CMainFrame::MarkActiveDocument(bool clearOnly)
{
    for (CChildFrame* child : Children())
        child->GetDocument()->SetNewBoardMark(false);
    if (clearOnly)
        return nullptr;
    CVELTADoc* doc = ActiveDocument();
    if (doc)
        doc->SetNewBoardMark(true);
    return doc;
}

bool CMainFrame::IsAnyDocumentMarked() const
{
    for (CChildFrame* child : Children())
        if (child->GetDocument()->IsNewBoardMarked())
            return true;
    return false;
}

bool CMainFrame::TakeAutoSaveFlag()
{
    const bool flag = m_bAutoSave;
    m_bAutoSave = false;
    return flag;
}

bool CMainFrame::ReadAutoSaveFlag()
{
    m_bAutoSave = platform::GetProfile().GetInt("FileSave", "AutoSave", 0) != 0;
    return m_bAutoSave;
}

void CMainFrame::OnChildClosed()
{
    if (Children().empty()) {
        ReadAutoSaveFlag();
        m_pCurrentDoc = nullptr;
        BuildMenuBar(false);
    }
    UpdateCaption();
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window)
{
    auto* child = dynamic_cast<CChildFrame*>(window);
    if (child) {
        m_pCurrentDoc = child->GetDocument();
    } else {
        // The current board stays current while the program is in the background, if it is open.
        const std::vector<CChildFrame*> open = Children();
        if (std::none_of(open.begin(), open.end(),
                         [this](CChildFrame* c) { return c->GetDocument() == m_pCurrentDoc; }))
            m_pCurrentDoc = nullptr;
    }
    BuildMenuBar(child != nullptr || !Children().empty());
    const bool board = m_pCurrentDoc != nullptr;
    EnableCombo(m_pLayerCombo, board && m_pLayerCombo->count() > 0);
    EnableCombo(m_pTurretCombo, board && m_pTurretCombo->count() > 0);
    UpdateCaption();
    UpdateToolBarStates();
    UpdateStatusPanes();

    // The board window that became active refreshes its lists and restarts its net-file watch.
    ActivateBoardView(child ? child->GetView() : nullptr);
}

// ---------------------------------------------------------------------------------------------
// Actions, menus, tool bars

void CMainFrame::CreateActions()
{
    for (const CommandInfo& info : GetCommandTable()) {
        auto* action = new QAction(Utf8(info.caption), this);
        action->setData(info.id);
        if (info.key[0] && !info.viewKey) {
            action->setShortcut(QKeySequence(QString::fromLatin1(info.key)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (info.tip[0]) {
            action->setStatusTip(Utf8(info.tip));
            action->setToolTip(QString(Utf8(info.caption)).remove('&').remove("..."));
        }
        if (BarOfToggle(info.id) != 0 || info.id == ID_STATUS_BAR)
            action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, id = info.id] { OnCommand(id); });
        m_actions[info.id] = action;
        addAction(action); // shortcuts work whichever menu is shown
    }
    // External tools: Ctrl+F1 to Ctrl+F12.
    for (int id = ID_TOOL_FIRST; id <= ID_TOOL_LAST; ++id) {
        auto* action = new QAction(this);
        action->setData(id);
        action->setShortcut(QKeySequence(QString("Ctrl+F%1").arg(id - ID_TOOL_FIRST + 1)));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
        addAction(action);
    }
}

QAction* CMainFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QToolBar* CMainFrame::ToolBar(int barId) const
{
    const auto it = m_toolBars.find(barId);
    return it == m_toolBars.end() ? nullptr : it->second;
}

QToolButton* CMainFrame::ToolButton(int id) const
{
    for (const auto& [bar, toolBar] : m_toolBars)
        if (QAction* action = Action(id))
            if (auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action)))
                return button;
    return nullptr;
}

void CMainFrame::CreateToolBars()
{
    const std::map<int, const char*> titles = {{128, "標準"},   {131, "入力"},     {132, "ズーム"},
                                               {133, "レイヤ"}, {134, "タレット"}, {135, "ツール"}};
    const std::vector<int> dropDowns = {32810, 32775, 32786, 32942, 32843};
    for (int barId : kBarOrder) {
        auto* bar = new QToolBar(Utf8(titles.at(barId)), this);
        bar->setObjectName(QString("ToolBar%1").arg(barId));
        bar->setIconSize(QSize(16, 15));
        bar->setProperty("barId", barId);
        for (int id : ToolBarButtons(barId)) {
            if (id == 0) {
                bar->addSeparator();
            } else if (id == ID_LAYER_COMBO || id == ID_TURRET_COMBO) {
                auto* combo = new QComboBox(bar);
                combo->setObjectName(QString::number(id));
                combo->setFixedWidth(id == ID_LAYER_COMBO ? 200 : 100);
                combo->setEnabled(false);
                combo->setProperty("comboId", id);
                combo->setMaxVisibleItems(14);
                QAction* holder = bar->addWidget(combo);
                holder->setData(id);
                holder->setEnabled(false);
                (id == ID_LAYER_COMBO ? m_pLayerCombo : m_pTurretCombo) = combo;
                connect(combo, qOverload<int>(&QComboBox::activated), this, [this, id, combo](int index) {
                    CVELTADoc* doc = ActiveDocument();
                    if (!doc)
                        return;
                    const int data = combo->itemData(index).toInt();
                    if (id == ID_LAYER_COMBO)
                        doc->OnLayerComboCloseUp(data);
                    else
                        doc->OnToolComboCloseUp(data);
                });
            } else {
                QAction* action = Action(id);
                action->setIcon(QIcon(CommandImage(id)));
                bar->addAction(action);
                if (std::find(dropDowns.begin(), dropDowns.end(), id) != dropDowns.end()) {
                    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
                    auto* menu = new QMenu(button);
                    button->setMenu(menu);
                    button->setPopupMode(QToolButton::MenuButtonPopup);
                    connect(menu, &QMenu::aboutToShow, this, [this, id, menu] { FillDropDown(id, menu); });
                }
            }
        }
        m_toolBars[barId] = bar;
    }
    // Two rows: main, tools, input and zoom; then layer and turret.
    addToolBar(Qt::TopToolBarArea, m_toolBars[128]);
    addToolBar(Qt::TopToolBarArea, m_toolBars[135]);
    addToolBar(Qt::TopToolBarArea, m_toolBars[131]);
    addToolBar(Qt::TopToolBarArea, m_toolBars[132]);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_toolBars[133]);
    addToolBar(Qt::TopToolBarArea, m_toolBars[134]);
    ApplyBarStyles();
}

void CMainFrame::ApplyBarStyles()
{
    const platform::Profile& profile = platform::GetProfile();
    const bool flat = profile.GetInt("Sheet", "FlatButton", 0) != 0;
    const bool gripper = profile.GetInt("Sheet", "BarGrid", 0) != 0;
    for (const auto& [id, bar] : m_toolBars) {
        bar->setMovable(gripper);
        bar->setStyleSheet(flat ? QString()
                                : QString("QToolButton { border: 1px outset palette(mid); "
                                          "border-radius: 2px; padding: 1px; margin: 1px; }"
                                          "QToolButton:pressed, QToolButton:checked "
                                          "{ border-style: inset; }"));
    }
}

QMenu* CMainFrame::BuildMenu(const MenuItemDef& def, QWidget* parent)
{
    auto* menu = new QMenu(Utf8(def.caption), parent);
    for (const MenuItemDef& item : def.items) {
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id < 0) {
            QMenu* sub = BuildMenu(item, menu);
            menu->addMenu(sub);
            if (std::any_of(item.items.begin(), item.items.end(),
                            [](const MenuItemDef& d) { return d.id == 151; }))
                connect(sub, &QMenu::aboutToShow, this, [this, sub] { FillRecentProjectMenu(sub); });
        } else if (item.id == ID_FILE_MRU_FIRST) {
            // The recent boards, rebuilt whenever the menu opens.
            QAction* marker = menu->addSeparator();
            marker->setData(ID_FILE_MRU_FIRST);
            marker->setVisible(false);
        } else if (item.id == 151) {
            QAction* placeholder = menu->addAction(Utf8("使用したプロジェクトなし"));
            placeholder->setData(151);
            placeholder->setEnabled(false);
        } else if (item.id == ID_TOOL_FIRST) {
            QAction* marker = menu->addAction(Utf8("外部プログラム"));
            marker->setData(ID_TOOL_FIRST);
            marker->setEnabled(false);
        } else if (QAction* action = Action(item.id)) {
            // The shortcut shows after a tab, bound or handled by the view.
            const CommandInfo* info = FindCommand(item.id);
            if (info && info->key[0] && info->viewKey)
                action->setText(
                    Utf8(info->caption) + "\t" +
                    QKeySequence(QString::fromLatin1(info->key)).toString(QKeySequence::NativeText));
            menu->addAction(action);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        // Rebuild the dynamic parts, then the states, as the update handlers did.
        const QList<QAction*> actions = menu->actions();
        for (QAction* a : actions) {
            if (IdOf(a) != ID_FILE_MRU_FIRST || !a->isSeparator())
                continue;
            for (QAction* old : actions)
                if (old->property("mruEntry").toBool()) {
                    menu->removeAction(old);
                    old->deleteLater();
                }
            CRecentFileList& recent = m_app.RecentFiles();
            recent.ReadList();
            const qsizetype at = actions.indexOf(a);
            QAction* before = at + 1 < actions.size() ? actions[at + 1] : nullptr;
            while (before && before->property("mruEntry").toBool()) {
                const qsizetype next = actions.indexOf(before) + 1;
                before = next < actions.size() ? actions[next] : nullptr;
            }
            if (recent.GetCount() == 0) {
                auto* none = new QAction(Utf8("最近使ったファイル"), menu);
                none->setProperty("mruEntry", true);
                none->setEnabled(false);
                menu->insertAction(before, none);
            }
            for (int i = 0; i < recent.GetCount(); ++i) {
                auto* entry = new QAction(QString("&%1 ").arg((i + 1) % 10) +
                                              Cp932ToQString(recent.GetDisplayName(i)).replace("&", "&&"),
                                          menu);
                entry->setData(ID_FILE_MRU_FIRST + i);
                entry->setProperty("mruEntry", true);
                connect(entry, &QAction::triggered, this, [this, i] { OnCommand(ID_FILE_MRU_FIRST + i); });
                menu->insertAction(before, entry);
            }
        }
        if (std::any_of(actions.begin(), actions.end(),
                        [](QAction* x) { return IdOf(x) >= ID_TOOL_FIRST && IdOf(x) <= ID_TOOL_LAST; }))
            FillToolsMenu(menu);
        CGfxPopupMenu::UpdateCommandStates(
            menu, [this](int id, QAction* action) { return UpdateCommand(id, action); });
        m_pPainter->MakeOwnerDraw(menu);
    });
    return menu;
}

void CMainFrame::ReloadMenuLook()
{
    const bool flat = platform::GetProfile().GetInt("Sheet", "MenuStyle", 0) != 0;
    m_pPainter = std::make_unique<CGfxPopupMenu>(flat, nullptr);
    for (int bar : {128, 135, 131, 132, 136, 134, 133})
        m_pPainter->LoadToolBar(bar);
    if (m_bMenuBuilt) {
        m_bMenuBuilt = false;
        BuildMenuBar(m_bMenuBoard);
    }
}

void CMainFrame::BuildMenuBar(bool board)
{
    if (m_bMenuBuilt && m_bMenuBoard == board)
        return;
    m_bMenuBuilt = true;
    m_bMenuBoard = board;
    QMenuBar* bar = menuBar();
    for (QAction* a : bar->actions())
        if (QMenu* m = a->menu())
            m->deleteLater();
    bar->clear();
    for (const MenuItemDef& top : GetMenuLayout(board ? 129 : 128))
        bar->addMenu(BuildMenu(top, bar));
}

void CMainFrame::FillRecentProjectMenu(QMenu* menu)
{
    for (QAction* a : menu->actions())
        if (IdOf(a) >= ID_PROJECT_FIRST && IdOf(a) <= ID_PROJECT_LAST) {
            menu->removeAction(a);
            a->deleteLater();
        }
    CRecentFileList& projects = m_app.RecentProjects();
    projects.ReadList();
    std::string folder = platform::GetProfile().GetString("Sheet", "WorkFolder");
    if (folder.empty() || folder == "\\")
        folder = QStringToCp932(QDir::currentPath()).value_or(std::string());
    for (int i = 0; i < projects.GetCount() && i <= ID_PROJECT_LAST - ID_PROJECT_FIRST; ++i) {
        auto* item = menu->addAction(Cp932ToQString(RecentProjectMenuText(i, projects.GetEntry(i), folder)));
        item->setData(ID_PROJECT_FIRST + i);
        connect(item, &QAction::triggered, this, [this, i] { OnCommand(ID_PROJECT_FIRST + i); });
    }
    if (projects.GetCount() == 0) {
        QAction* none = menu->addAction(Utf8("使用したプロジェクトなし"));
        none->setData(ID_PROJECT_FIRST);
        none->setEnabled(false);
    }
    m_pPainter->MakeOwnerDraw(menu);
}

void CMainFrame::FillToolsMenu(QMenu* menu)
{
    QAction* before = nullptr;
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        const int id = IdOf(actions[i]);
        if (id >= ID_TOOL_FIRST && id <= ID_TOOL_LAST) {
            before = i + 1 < actions.size() ? actions[i + 1] : nullptr;
            menu->removeAction(actions[i]);
            if (actions[i]->parent() == menu)
                actions[i]->deleteLater();
        }
    }
    bool any = false;
    for (int i = 0; i < EXTERNAL_TOOL_COUNT; ++i) {
        const std::string name = ExternalToolName(GetExtProg(i));
        if (name.empty())
            continue;
        auto* item = new QAction(Cp932ToQString(name) + QString("\tCtrl+F%1").arg(i + 1), menu);
        item->setData(ID_TOOL_FIRST + i);
        connect(item, &QAction::triggered, this, [this, i] { OnCommand(ID_TOOL_FIRST + i); });
        menu->insertAction(before, item);
        any = true;
    }
    if (!any) {
        auto* item = new QAction(Utf8("外部プログラム"), menu);
        item->setData(ID_TOOL_FIRST);
        item->setEnabled(false);
        menu->insertAction(before, item);
    }
}

void CMainFrame::FillDropDown(int buttonId, QMenu* menu)
{
    menu->clear();
    if (buttonId == 32775) {
        for (int id : {32775, 32849, 32850, 0, 32852, 32853, 32854, 32851}) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
        CGfxPopupMenu::UpdateCommandStates(menu, [this](int id, QAction* a) { return UpdateCommand(id, a); });
    } else if (buttonId == ID_PROJECT) {
        FillRecentProjectMenu(menu);
    } else if (CVELTADoc* doc = ActiveDocument()) {
        m_pDropDownTarget = menu;
        doc->OnToolBarDropDown(buttonId);
        m_pDropDownTarget = nullptr;
    }
    m_pPainter->MakeOwnerDraw(menu);
}

void CMainFrame::ShowDropDownMenu(int buttonId, const MenuData& data, int images)
{
    (void)images; // every command's image is known to the painter
    QMenu* menu = m_pDropDownTarget;
    std::unique_ptr<QMenu> own;
    if (!menu) {
        own = std::make_unique<QMenu>(this);
        menu = own.get();
    }
    for (const MenuEntry& entry : data) {
        if (entry.separator || entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(Cp932ToQString(entry.text));
        a->setData(entry.id);
        a->setCheckable(entry.checked);
        a->setChecked(entry.checked);
        a->setEnabled(entry.enabled);
        connect(a, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); });
    }
    if (own) {
        m_pPainter->MakeOwnerDraw(menu);
        QToolButton* button = ToolButton(buttonId);
        const QPoint at =
            button && button->isVisible() ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
        menu->exec(at);
    }
}

bool CMainFrame::UpdateCommand(int id, QAction* action)
{
    CVELTADoc* doc = ActiveDocument();
    CChildFrame* child = ActiveChild();
    bool enabled = false;
    bool checked = false;
    if (const int bar = BarOfToggle(id)) {
        enabled = true;
        checked = ToolBar(bar)->isVisible();
    } else if (id == ID_STATUS_BAR) {
        enabled = true;
        checked = statusBar()->isVisible();
    } else if (IsAlwaysEnabled(id)) {
        enabled = true;
    } else if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) {
        enabled = true;
    } else if (id >= ID_PROJECT_FIRST && id <= ID_PROJECT_LAST) {
        enabled = action->isEnabled() || id != ID_PROJECT_FIRST || m_app.RecentProjects().GetCount() > 0;
    } else if (id >= ID_TOOL_FIRST && id <= ID_TOOL_LAST) {
        enabled = !ExternalToolName(GetExtProg(id - ID_TOOL_FIRST)).empty();
    } else if (ViewCommands* view = ViewOf(child); view && view->OnUpdateViewCommand(id, enabled, checked)) {
        // the view decided
    } else if (doc) {
        switch (id) {
        case ID_FILE_SAVE:
        case ID_FILE_SAVE_AS:
        case ID_CLOSE:
        case ID_CLOSE_ALL:
        case ID_SAVE_ALL:
        case ID_WINDOW_CASCADE:
        case ID_WINDOW_TILE:
        case ID_WINDOW_ARRANGE:
        case 32810:
            enabled = true;
            break;
        case ID_FIND:
            enabled = true;
            break;
        case ID_REGISTER_PART:
            enabled = doc->CanRegisterPart();
            break;

        case ID_FIND_NEXT:
            enabled = !platform::GetProfile().GetString("Find", "Find1").empty();
            break;
        case 57643:
            enabled = doc->CanUndo();
            break;
        case 57644:
            enabled = doc->CanRedo();
            break;
        case 32827:
            enabled = true;
            checked = !doc->IsGridShown();
            break;

        // CAM output
        case ID_CAM_DATA_OUTPUT:
            enabled = true;
            break;
        default:
            if (const DocumentCommand* command = FindDocumentCommand(id)) {
                enabled = !command->enabled || (doc->*command->enabled)();
                break;
            }
            // Commands of dialogs and view input that are not there yet stay disabled.
            enabled = (id >= 32811 && id <= 32826) || (id >= 32920 && id <= 32935);
            break;
        }
    }
    if (action) {
        action->setEnabled(enabled);
        if (action->isCheckable() || checked) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
    return enabled;
}

void CMainFrame::UpdateToolBarStates()
{
    for (const auto& [barId, bar] : m_toolBars)
        for (QAction* action : bar->actions())
            if (const int id = IdOf(action);
                id != 0 && id != ID_LAYER_COMBO && id != ID_TURRET_COMBO && !action->isSeparator())
                UpdateCommand(id, action);
    // Shortcuts of commands that are on no bar follow their state too.
    for (const auto& [id, action] : m_actions)
        if (!action->shortcut().isEmpty())
            UpdateCommand(id, action);
}

void CMainFrame::OnCommand(int id)
{
    if (QAction* action = Action(id); action && !UpdateCommand(id, action) && id != ID_STATUS_BAR)
        return;
    CChildFrame* child = ActiveChild();
    CVELTADoc* doc = ActiveDocument();
    if (const int bar = BarOfToggle(id)) {
        ToolBar(bar)->setVisible(!ToolBar(bar)->isVisible());
        return;
    }
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) {
        CRecentFileList& recent = m_app.RecentFiles();
        recent.ReadList();
        const int index = id - ID_FILE_MRU_FIRST;
        if (index < recent.GetCount() && !m_app.OpenDocumentFile(recent.GetEntry(index))) {
            recent.Remove(index);
            recent.WriteList();
        }
        return;
    }
    if (id >= ID_PROJECT_FIRST && id <= ID_PROJECT_LAST) {
        ReadAutoSaveFlag();
        const std::string entry = platform::GetProfile().GetString(
            "Project File List", platform::Format("File%d", id - ID_PROJECT_FIRST + 1));
        if (!entry.empty()) {
            m_app.SetProjectPath(entry);
            m_app.OpenCurrentProject();
        }
        return;
    }
    if (id >= ID_TOOL_FIRST && id <= ID_TOOL_LAST) {
        RunExternalTool(id);
        return;
    }
    if (ViewCommands* view = ViewOf(child); view && view->OnViewCommand(id))
        return;
    switch (id) {
    case ID_FILE_NEW:
        m_app.OnFileNew();
        return;
    case ID_FILE_OPEN:
        m_app.OnFileOpen();
        return;
    case ID_FILE_PRINT_SETUP:
        m_app.OnFilePrintSetup();
        return;
    case ID_APP_EXIT:
        close();
        return;
    case ID_APP_ABOUT:
        OnAbout();
        return;
    case ID_ENVIRONMENT:
        RunEnvironmentSheet();
        return;
    case ID_PROJECT:
        m_app.OnProject();
        return;
    case ID_HOME_PAGE:
        OpenWebLink(false);
        return;
    case ID_SUPPORT_PAGE:
        OpenWebLink(true);
        return;
    case ID_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisible());
        return;
    case ID_CLOSE:
        if (child)
            child->close();
        return;
    case ID_CLOSE_ALL:
        CloseAllBoards();
        return;
    case ID_SAVE_ALL:
        for (CChildFrame* c : Children())
            c->GetDocument()->DoFileSave();
        return;
    case ID_WINDOW_CASCADE:
        m_pMdi->cascadeSubWindows();
        return;
    case ID_WINDOW_TILE:
        m_pMdi->tileSubWindows();
        return;
    case ID_WINDOW_ARRANGE:
        return;
    default:
        break;
    }
    if (!doc)
        return;
    if (const DocumentCommand* command = FindDocumentCommand(id)) {
        (doc->*command->run)();
        return;
    }

    // CAM output
    if (id == ID_CAM_DATA_OUTPUT) {
        OnCamDataOutput(*doc);
        return;
    }
    switch (id) {
    case ID_FILE_SAVE:
        doc->DoFileSave();
        return;
    case ID_FILE_SAVE_AS:
        doc->DoSave(std::string(), true);
        return;
    case ID_FIND:
    case ID_FIND_NEXT:
        FindText(id == ID_FIND_NEXT);
        return;
    case ID_REGISTER_PART:
        doc->OnRegisterPart();
        return;
    case 57643:
        doc->OnEditUndo();
        return;
    case 57644:
        doc->OnEditRedo();
        return;
    case 32810:
        doc->OnGridSettings();
        return;
    case 32827:
        doc->OnGridOff();
        return;
    default:
        if (id >= 32811 && id <= 32826)
            doc->OnGridList(id);
        else if (id >= 32920 && id <= 32935)
            doc->OnLayerPattern(id);
        return;
    }
}

void CMainFrame::FindText(bool next)
{
    CVELTADoc* doc = ActiveDocument();
    if (!doc)
        return;
    if (!next) {
        CDlgFind dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    const platform::Profile& profile = platform::GetProfile();
    if (doc->FindString(next) || profile.GetInt("Find", "SelectItem", 0) != 0)
        return;
    // A miss goes on through the other boards, each from its start, back to the first one.
    const std::vector<CChildFrame*> children = Children();
    if (profile.GetInt("Find", "AllSheet", 1) != 0 && children.size() > 1) {
        QMdiSubWindow* first = m_pMdi->activeSubWindow();
        for (std::size_t i = 1; i < children.size(); ++i) {
            m_pMdi->activateNextSubWindow();
            if (m_pMdi->activeSubWindow() == first)
                break;
            if (CVELTADoc* other = ActiveDocument(); other && other->FindString(false))
                return;
        }
        m_pMdi->setActiveSubWindow(first);
    }
    std::string text = profile.GetString("Find", "Find1");
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    platform::MessageBox(text + _J(" は見つかりません"), platform::GetAppCaption(), MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::RunExternalTool(int id)
{
    if (Children().empty())
        return;
    const int index = id - ID_TOOL_FIRST;
    std::string entry = GetExtProg(index);
    if (!entry.empty() && entry.front() == '*')
        entry.erase(0, 1);
    while (!entry.empty() && (entry.back() == ' ' || entry.back() == '\t'))
        entry.pop_back();
    while (!entry.empty() && (entry.front() == ' ' || entry.front() == '\t'))
        entry.erase(0, 1);
    if (entry.empty()) {
        // Two empty entries have built-in actions: close the board, next board.
        if (id == 110) {
            if (CChildFrame* child = ActiveChild())
                child->close();
        } else if (id == 112) {
            m_pMdi->activateNextSubWindow();
        }
        return;
    }
    // A program (with its arguments) runs; any other file opens in its associated program.
    const QString text = Cp932ToQString(entry);
    const QStringList words = QProcess::splitCommand(text);
    const QFileInfo first(words.isEmpty() ? QString() : words.front());
    const bool program = !words.isEmpty() && ((first.isExecutable() && !first.isDir()) ||
                                              !QStandardPaths::findExecutable(words.front()).isEmpty());
    const bool ok = program ? QProcess::startDetached(words.front(), words.mid(1))
                            : QDesktopServices::openUrl(QUrl::fromLocalFile(text));
    if (!ok) {
        QApplication::beep();
        QMessageBox::warning(this, "VELTA", Utf8("実行できません\n %1").arg(text));
    }
}

void CMainFrame::OpenWebLink(bool support)
{
    QString address = kHomePage;
    if (support)
        address += "bbs/";
    if (!QDesktopServices::openUrl(QUrl(address)))
        QApplication::beep();
}

void CMainFrame::OnAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(Utf8("VELTA のバージョン情報"));
    box.setIconPixmap(QPixmap::fromImage(ProgramIconImage(48)));
    box.setText(
        Utf8("VELTA Version %1\nプリント基板レイアウトエディタ").arg(QApplication::applicationVersion()));
    box.exec();
}

// ---------------------------------------------------------------------------------------------
// Combos and status bar

namespace {

void FillCombo(QComboBox* combo, const ComboData& data)
{
    combo->clear();
    for (const ComboEntry& entry : data.entries)
        combo->addItem(Cp932ToQString(entry.text), entry.data);
    combo->setCurrentIndex(data.selected);
}

} // namespace

void CMainFrame::EnableCombo(QComboBox* combo, bool enabled)
{
    // The bar's holder action decides the combo's state whenever the bar is shown.
    for (const auto& [barId, bar] : m_toolBars)
        for (QAction* action : bar->actions())
            if (IdOf(action) == combo->property("comboId").toInt())
                action->setEnabled(enabled);
    combo->setEnabled(enabled);
}

void CMainFrame::SetLayerCombo(const ComboData& combo)
{
    FillCombo(m_pLayerCombo, combo);
    EnableCombo(m_pLayerCombo, !combo.entries.empty());
}

void CMainFrame::SetToolCombo(const ComboData& combo)
{
    FillCombo(m_pTurretCombo, combo);
    EnableCombo(m_pTurretCombo, !combo.entries.empty());
}

void CMainFrame::SelectLayerComboItem(int index)
{
    m_pLayerCombo->setCurrentIndex(index);
}

void CMainFrame::SelectToolComboItem(int index)
{
    m_pTurretCombo->setCurrentIndex(index);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    const char* names[kPaneCount] = {"message", "blank",  "SheetSize", "Kana", "Caps",
                                     "Num",     "Scroll", "Date",      "Time"};
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(names[i]);
        if (i == 0) {
            bar->addWidget(label, 1);
            label->setText(Utf8("レディ"));
        } else {
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
            label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(label);
        }
        m_panes.push_back(label);
    }
    const QFontMetrics metrics(bar->font());
    m_panes[kSheetSizePane]->setMinimumWidth(15 * metrics.horizontalAdvance('8'));
    for (int i : {3, 4, 5, 6})
        m_panes[static_cast<std::size_t>(i)]->setMinimumWidth(metrics.horizontalAdvance("SCRL") + 8);
    // Prompts of the menus and buttons go into the first pane.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        m_panes[0]->setText(message.isEmpty() ? Utf8("レディ") : message);
    });
}

void CMainFrame::SetStatusPaneText(int pane, const QString& text)
{
    if (pane >= 0 && pane < kPaneCount)
        m_panes[static_cast<std::size_t>(pane)]->setText(text);
}

QString CMainFrame::StatusPaneText(int pane) const
{
    return pane >= 0 && pane < kPaneCount ? m_panes[static_cast<std::size_t>(pane)]->text() : QString();
}

void CMainFrame::UpdateStatusPanes()
{
    QLabel* size = m_panes[kSheetSizePane];
    if (!m_pCurrentDoc) {
        size->clear();
        size->setEnabled(false);
    } else {
        size->setEnabled(true);
        const bool shift = QApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
        const CDSize board = m_pCurrentDoc->GetBoardSize();
        const CDPoint origin = m_pCurrentDoc->GetUserOrigin();
        size->setText(QString::fromStdString(shift ? FormatSheetSizeText(origin.x, origin.y, true)
                                                   : FormatSheetSizeText(board.cx, board.cy, false)));
    }
    m_panes[kScrollPane]->setText(IsScrollLockOn() ? "SCRL" : QString());
    // Date and time in the user's form; numbers elsewhere stay in the "C" form.
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    m_panes[kDatePane]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove('t');
    m_panes[kTimePane]->setText(now.time().toString(timeFormat.trimmed()));
}

void CMainFrame::OnTimerTick()
{
    UpdateStatusPanes();
}

// ---------------------------------------------------------------------------------------------
// Window position, bars, environment sheet

void CMainFrame::ShowAtStartup(bool shiftHeld)
{
    platform::Profile& profile = platform::GetProfile();
    const std::optional<WindowPlacement> placement =
        ParseWindowPos(profile.GetString("Settings", "WindowPos"));
    bool maximised = false;
    if (placement) {
        QRect rect(QPoint(placement->left, placement->top),
                   QPoint(placement->right - 1, placement->bottom - 1));
        // A rectangle off the present screens moves onto the screen it overlaps most and shrinks to fit.
        QScreen* best = QGuiApplication::primaryScreen();
        int bestArea = 0;
        for (QScreen* screen : QGuiApplication::screens()) {
            const QRect overlap = screen->availableGeometry().intersected(rect);
            if (overlap.width() * overlap.height() > bestArea) {
                bestArea = overlap.width() * overlap.height();
                best = screen;
            }
        }
        if (best) {
            const QRect area = best->availableGeometry();
            if (!area.contains(rect)) {
                rect.setWidth(std::min(rect.width(), area.width()));
                rect.setHeight(std::min(rect.height(), area.height()));
                rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
                rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
            }
        }
        setGeometry(rect);
        maximised = placement->showCmd == SW_SHOWMAXIMIZED ||
                    (placement->showCmd == SW_SHOWMINIMIZED && (placement->flags & WPF_RESTORETOMAXIMIZED));
    }
    if (!shiftHeld && profile.GetInt("Settings", "BarVer", 0) == 1) {
        std::vector<std::uint8_t> state;
        if (profile.GetBinary("ToolBar", "State", state))
            restoreState(QByteArray(reinterpret_cast<const char*>(state.data()),
                                    static_cast<qsizetype>(state.size())));
    }
    if (maximised)
        showMaximized();
    else
        show();
}

void CMainFrame::SavePlacement()
{
    if (isMinimized())
        return;
    platform::Profile& profile = platform::GetProfile();
    const QByteArray state = saveState();
    profile.SetBinary("ToolBar", "State", std::vector<std::uint8_t>(state.begin(), state.end()));
    profile.SetInt("Settings", "BarVer", 1);
    WindowPlacement w;
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    w.flags = isMaximized() ? WPF_RESTORETOMAXIMIZED : 0;
    w.showCmd = isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    w.minX = w.minY = w.maxX = w.maxY = -1;
    w.left = normal.left();
    w.top = normal.top();
    w.right = normal.right() + 1;
    w.bottom = normal.bottom() + 1;
    profile.SetString("Settings", "WindowPos", FormatWindowPos(w));
    profile.Flush();
}

int CMainFrame::EnvironmentStartIndex(const std::vector<int>& pageIds, int storedPage)
{
    const auto it = std::find(pageIds.begin(), pageIds.end(), storedPage);
    return it != pageIds.end() ? static_cast<int>(it - pageIds.begin()) : 1;
}

std::vector<int> CMainFrame::EnvironmentPageIds() const
{
    std::vector<int> ids = {154, 166, 167, 171, 178, 153};
    if (ActiveDocument())
        ids.push_back(156);
    return ids;
}

void CMainFrame::RunEnvironmentSheet()
{
    platform::Profile& profile = platform::GetProfile();
    const int flat = profile.GetInt("Sheet", "FlatButton", 0);
    const int gripper = profile.GetInt("Sheet", "BarGrid", 0);
    const int fullPath = profile.GetInt("Sheet", "FullPath", 1);
    const int menuStyle = profile.GetInt("Sheet", "MenuStyle", 0);
    const int autoSave = profile.GetInt("FileSave", "AutoSave", 0);
    const bool scrollLock = IsScrollLockOn();

    RecentListHooks hooks;
    hooks.writeLists = [this] {
        m_app.WriteRecentList(false);
        m_app.WriteRecentList(true);
    };
    hooks.resize = [this](int files, int projects) {
        m_app.ResizeRecentList(false, files);
        m_app.ResizeRecentList(true, projects);
    };
    hooks.clearList = [this](bool projects) { m_app.ClearRecentList(projects); };
    CEnvironmentSheet sheet(EnvironmentPageIds(), this, ActiveDocument(), hooks);
    sheet.SetStartIndex(
        EnvironmentStartIndex(EnvironmentPageIds(), profile.GetInt("Settings", "EnvPage", 154)));
    const bool ok = sheet.exec() == QDialog::Accepted;
    profile.SetInt("Settings", "EnvPage", sheet.CurrentPageId());
    if (ok) {
        sheet.ApplyLayerPage();
        m_nZoomPercent = profile.GetInt("Sheet", "ZoomAspect", 20);
        if (flat != profile.GetInt("Sheet", "FlatButton", 0) ||
            gripper != profile.GetInt("Sheet", "BarGrid", 0))
            ApplyBarStyles();
        if (fullPath != profile.GetInt("Sheet", "FullPath", 1))
            for (CChildFrame* child : Children())
                child->GetDocument()->SetTitle(std::string());
        if (menuStyle != profile.GetInt("Sheet", "MenuStyle", 0))
            ReloadMenuLook();
        SetScrollLock(scrollLock);
        if (autoSave != profile.GetInt("FileSave", "AutoSave", 0))
            ReadAutoSaveFlag();
    }
}

// ---------------------------------------------------------------------------------------------
// Auto-save timer

void CMainFrame::OnAutoSaveMessage(int wParam)
{
    m_pAutoSaveTimer->stop();
    if (wParam == 1)
        return;
    const int seconds = platform::GetProfile().GetInt("FileSave", "DelayTime", 5);
    m_pAutoSaveTimer->start(std::max(1, seconds) * 1000);
}

bool CMainFrame::IsAutoSaveTimerRunning() const
{
    return m_pAutoSaveTimer->isActive();
}

void CMainFrame::OnAutoSaveTimer()
{
    const QString saved = StatusPaneText(0);
    for (CChildFrame* child : Children())
        child->GetDocument()->AutoSave();
    SetStatusPaneText(0, saved);
}

// ---------------------------------------------------------------------------------------------
// Window events

void CMainFrame::OpenDroppedFiles(const QStringList& paths)
{
    activateWindow();
    for (const QString& path : paths) {
        const std::optional<std::string> name = QStringToCp932(path);
        if (!name)
            continue;
        if (EndsWithNoCase(path, ".vpj"))
            m_app.OpenProjectWithFallback(*name);
        else
            m_app.OpenDocumentFile(*name);
    }
}

void CMainFrame::UpdateCaption(bool overMenuBar)
{
    const std::string project = m_app.GetProjectPath();
    CChildFrame* child = ActiveChild();
    QString caption = "VELTA";
    if (overMenuBar && !project.empty()) {
        const bool fullPath = platform::GetProfile().GetInt("Sheet", "FullPath", 1) != 0;
        caption = fullPath ? Cp932ToQString(project) : QFileInfo(Cp932ToQString(project)).completeBaseName();
        if (child && !child->isMaximized())
            caption += QString(" - %1").arg(child->windowTitle());
    } else if (child) {
        caption = QString("VELTA - %1").arg(child->windowTitle());
    }
    setWindowTitle(caption);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SavePlacement();
    CloseAllBoards();
    if (!Children().empty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        platform::Profile& profile = platform::GetProfile();
        if (isActiveWindow()) {
            SetScrollLock(profile.GetInt("Sheet", "AutoPan", 0) != 0);
        } else if (!QApplication::activeWindow()) {
            // Leaving the program (not opening one of its own dialogs).
            profile.SetInt("Sheet", "AutoPan", IsScrollLockOn() ? 1 : 0);
            SetScrollLock(false);
            UpdateCaption();
        }
        if (Children().empty())
            ReadAutoSaveFlag();
        UpdateStatusPanes();
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    OpenDroppedFiles(paths);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menuBar()) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::HoverEnter)
            UpdateCaption(true);
        else if (event->type() == QEvent::Leave || event->type() == QEvent::HoverLeave)
            UpdateCaption(false);
    }
    return QMainWindow::eventFilter(watched, event);
}

// The board view activation ---------------------------------------------------------------------

void CMainFrame::ActivateBoardView(CVELTAView* view)
{
    if (view == m_pActiveView)
        return;
    if (m_pActiveView)
        m_pActiveView->OnActivateView(false);
    m_pActiveView = view;
    if (view)
        view->OnActivateView(true);
}
