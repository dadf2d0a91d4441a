#include "app/FrameDocumentHost.h"

#include "app/BoardInput.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/PaperSize.h"
#include "app/VELTAApp.h"
#include "app/VELTAView.h"
#include "app/ViewCommands.h"
#include "dialogs/DlgBpfSel.h"
#include "dialogs/DlgCamOut.h"
#include "dialogs/DlgClean.h"
#include "dialogs/DlgDrc.h"
#include "dialogs/DlgGrid.h"
#include "dialogs/DlgHoleData.h"
#include "dialogs/DlgLayer.h"
#include "dialogs/DlgLayerMove.h"
#include "dialogs/DlgLayerSwap.h"
#include "dialogs/DlgMakePart.h"
#include "dialogs/DlgNetManager.h"
#include "dialogs/DlgNewFile.h"
#include "dialogs/DlgPartList.h"
#include "dialogs/DlgPartManager.h"
#include "dialogs/DlgPartRegist.h"
#include "dialogs/DlgTurretTable.h"
#include "dialogs/DlgViaTable.h"
#include "dialogs/DlgWorkArea.h"
#include "document/VELTADoc.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

#include <algorithm>
#include <cmath>

using platform::Cp932ToQString;
using platform::QStringToCp932;

FrameDocumentHost::FrameDocumentHost(CVELTAApp& app, CMainFrame& frame, CVELTADoc& document)
    : m_app(app), m_frame(frame), m_document(document)
{
}

void FrameDocumentHost::UpdateAllViews(int hint, const CDRect* area, CItemBase* item)
{
    if (m_pChild && m_pChild->GetView())
        m_pChild->GetView()->OnUpdate(hint, area, item);
}

std::optional<PrinterPage> FrameDocumentHost::GetDefaultPrinterPage(bool portrait, int paperCode)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return std::nullopt;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    if (const std::optional<QPageSize> size = PageSizeOf(paperCode))
        printer.setPageSize(*size);
    PrinterPage page;
    const QRect full = printer.pageLayout().fullRectPixels(printer.resolution());
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    page.pageWidth = full.width();
    page.pageHeight = full.height();
    page.offsetX = paint.left();
    page.offsetY = paint.top();
    page.printableWidth = paint.width();
    page.printableHeight = paint.height();
    page.dpiX = printer.logicalDpiX();
    page.dpiY = printer.logicalDpiY();
    return page;
}

bool FrameDocumentHost::IsFrameMinimised()
{
    return m_pChild && m_pChild->isMinimized();
}

void FrameDocumentHost::TitleChanged(const std::string& title)
{
    if (m_pChild)
        m_pChild->ShowTitle(title);
}

void FrameDocumentHost::PostMainMessage(int message, int wParam, int /*lParam*/)
{
    if (message != 1027)
        return;
    CMainFrame* frame = &m_frame;
    QTimer::singleShot(0, frame, [frame, wParam] { frame->OnAutoSaveMessage(wParam); });
}

bool FrameDocumentHost::AskSaveModified()
{
    const QString name = Cp932ToQString(m_document.GetDocTitle());
    const auto answer =
        QMessageBox::question(m_pChild ? static_cast<QWidget*>(m_pChild) : &m_frame, "VELTA",
                              QString::fromUtf8("%1 への変更を保存しますか?").arg(name),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
        return m_document.DoFileSave();
    return true;
}

void FrameDocumentHost::FocusActiveView()
{
    if (CChildFrame* child = m_frame.ActiveChild(); child && child->GetView())
        child->GetView()->setFocus();
}

void FrameDocumentHost::SetLayerCombo(const ComboData& combo)
{
    m_frame.SetLayerCombo(combo);
}

void FrameDocumentHost::SetToolCombo(const ComboData& combo)
{
    m_frame.SetToolCombo(combo);
}

void FrameDocumentHost::SelectLayerComboItem(int index)
{
    m_frame.SelectLayerComboItem(index);
}

void FrameDocumentHost::SelectToolComboItem(int index)
{
    m_frame.SelectToolComboItem(index);
}

void FrameDocumentHost::ShowDropDownMenu(int buttonId, const MenuData& menu, int images)
{
    m_frame.ShowDropDownMenu(buttonId, menu, images);
}

void FrameDocumentHost::MainFrameDropDown(int /*buttonId*/)
{
    // The frame fills its own drop-downs (zoom, recent projects) before asking the document.
}

void FrameDocumentHost::SetCurrentDocument(CVELTADoc* doc)
{
    m_frame.SetCurrentDoc(doc);
}

int FrameDocumentHost::RunSettingFileDialog(const std::string& folder, const std::vector<std::string>& names,
                                            CVELTADoc* doc)
{
    return CDlgBpfSel::Run(&m_frame, folder, names, doc);
}

std::optional<NewDesignChoice> FrameDocumentHost::RunNewDesignDialog(const std::string& folder,
                                                                     CVELTADoc* doc)
{
    return CDlgNewFile::Run(&m_frame, folder, doc);
}

bool FrameDocumentHost::RunRegisterPartDialog(std::string& package, std::string& library, bool several)
{
    CDlgPartRegist dialog(&m_frame);
    dialog.m_strPartName = package;
    dialog.m_bIndividual = several ? 1 : 0;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    package = dialog.m_strPartName;
    library = dialog.m_strLibraryFile;
    return true;
}

bool FrameDocumentHost::RunMakePartDialog(MakePartChoice& choice)
{
    CDlgMakePart dialog(&m_frame);
    dialog.m_strName = choice.name;
    dialog.m_strReference = choice.reference.value_or(std::string());
    dialog.m_strValue = choice.value.value_or(std::string());
    dialog.m_nTerminals = choice.terminals;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.name = dialog.m_strName;
    if (choice.reference)
        choice.reference = dialog.m_strReference;
    if (choice.value)
        choice.value = dialog.m_strValue;
    choice.blockNumber = dialog.m_nBlockNumber;
    choice.blockCount = dialog.m_nBlockCount;
    choice.typeWord = dialog.m_nPartType;
    return true;
}

void FrameDocumentHost::ShowFoundPoint(const CDPoint& point)
{
    if (!m_pChild || !m_pChild->GetView())
        return;
    if (m_pChild->isMinimized())
        m_pChild->showNormal();
    CVELTAView* view = m_pChild->GetView();
    const double scale = m_document.GetCoordScale();
    const CPoint logical(static_cast<int>(std::lround(point.x * scale)),
                         static_cast<int>(std::lround(point.y * scale)));
    // A point already in sight only takes the cursor; otherwise the view scrolls to it.
    if (!view->VisibleLogical().contains(QPointF(logical.x, logical.y)))
        view->CenterOnLogical(logical.x, logical.y);
    view->MoveCursorToPoint(logical);
    view->viewport()->update();
}

std::optional<std::string> FrameDocumentHost::RunSaveAsDialog(const std::string& proposed)
{
    return m_app.PromptProjectFileName(proposed, false, true);
}

void FrameDocumentHost::BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void FrameDocumentHost::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void FrameDocumentHost::SetStatusPaneText(int pane, const std::string& text)
{
    m_frame.SetStatusPaneText(pane, Cp932ToQString(text));
}

bool FrameDocumentHost::IsAnyDocumentMarked()
{
    return m_frame.IsAnyDocumentMarked();
}

void FrameDocumentHost::MarkActiveDocument(bool clearAll)
{
    m_frame.MarkActiveDocument(clearAll);
}

bool FrameDocumentHost::TakeAutoSaveFlag()
{
    return m_frame.TakeAutoSaveFlag();
}

void FrameDocumentHost::SendMainFrameMessage(unsigned message, unsigned wParam, long /*lParam*/)
{
    if (message == 1027)
        m_frame.OnAutoSaveMessage(static_cast<int>(wParam));
}

bool FrameDocumentHost::IsProjectOpen()
{
    return !m_app.GetProjectPath().empty();
}

std::optional<ProjectWorkEntry> FrameDocumentHost::FindProjectWork(const std::string& boardFileName)
{
    ProjectWork work;
    if (!m_app.FindProjectWork(work, boardFileName))
        return std::nullopt;
    ProjectWorkEntry entry;
    entry.boardFile = work.boardFile;
    entry.settingFile = work.settingsFile;
    entry.netFile = work.netFile;
    entry.partFile = work.partFile;
    entry.useNetList = work.useNet != 0;
    entry.schematicProject = work.schematicProject;
    entry.netFormat = work.netFormat;
    entry.spareFlag = work.spareFlag != 0;
    return entry;
}

void FrameDocumentHost::AddToRecentFileList(const std::string& path)
{
    m_app.AddToRecentFileList(path);
}

void FrameDocumentHost::RemoveProjectDocument(const std::string& path)
{
    m_app.RemoveProjectDocument(path);
}

void FrameDocumentHost::ClearActiveDocument(CVELTADoc* doc)
{
    if (m_frame.GetCurrentDoc() == doc)
        m_frame.SetCurrentDoc(nullptr);
}

bool FrameDocumentHost::StoreVisibleRect(CDRect& rect)
{
    ViewCommands* view = m_pChild ? dynamic_cast<ViewCommands*>(m_pChild->GetView()) : nullptr;
    return view && view->StoreVisibleRect(rect);
}

bool FrameDocumentHost::RunGridDialog(std::array<tagGRID, 16>& grids, int& current, bool& shown)
{
    CDlgGrid dialog(&m_frame);
    dialog.m_grids = grids;
    dialog.m_nCurrent = current;
    const auto [basic, attr] = m_document.GetMarkedGrids();
    dialog.m_nBaseGrid = basic + 1;
    dialog.m_nAttrGrid = attr + 1;
    dialog.m_bHide = shown ? 0 : 1;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    grids = dialog.m_grids;
    current = dialog.m_nCurrent;
    shown = dialog.m_bHide == 0;
    m_document.SetMarkedGrids(dialog.m_nBaseGrid - 1, dialog.m_nAttrGrid - 1);
    return true;
}

bool FrameDocumentHost::RunPartManagerDialog(CSheet& parts)
{
    CDlgPartManager dialog(&m_frame);
    dialog.m_pDoc = &m_document;
    dialog.m_sheet += parts;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    parts.DeleteContents();
    parts += dialog.m_sheet;
    return true;
}

bool FrameDocumentHost::RunWorkAreaDialog(CDSize& size, CDPoint& origin)
{
    CDlgWorkArea dialog(&m_frame);
    dialog.m_dWidth = size.cx;
    dialog.m_dHeight = size.cy;
    dialog.m_dOriginX = origin.x;
    dialog.m_dOriginY = origin.y;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    size = CDSize(dialog.m_dWidth, dialog.m_dHeight);
    origin = CDPoint(dialog.m_dOriginX, dialog.m_dOriginY);
    return true;
}

bool FrameDocumentHost::RunLayerExchangeDialog(std::vector<tagLAYER>& layers, int& first, int& second)
{
    CDlgLayerSwap dialog(&m_frame);
    dialog.m_layers = layers;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    first = dialog.m_nLayerA;
    second = dialog.m_nLayerB;
    return true;
}

bool FrameDocumentHost::RunNetManagerDialog(std::vector<COLORREF>& colours)
{
    return CDlgNetManager::Run(&m_document, colours, &m_frame);
}

bool FrameDocumentHost::RunHoleDataDialog(tagHOLEDATA& data, CVELTADoc& doc)
{
    CDlgHoleData dialog(&m_frame);
    dialog.m_pDoc = &doc;
    // The hole-size rows are the document's drill tool table of the chosen layers.
    dialog.m_holeKinds = [&doc](const std::array<int, CDlgHoleData::kLayers>& flags, int kinds) {
        const int count = std::clamp(doc.MakeTCodeTable(flags.data(), kinds), 0, CVELTADoc::TOOL_TABLE_MAX);
        const auto& tools = doc.GetTCodeTable();
        return std::vector<tagTCODE>(tools.begin(), tools.begin() + count);
    };
    for (int layer = 0; layer < CDlgHoleData::kLayers; ++layer)
        dialog.m_layers[static_cast<std::size_t>(layer)] = data.input[static_cast<std::size_t>(layer)];
    dialog.m_strLayers = CDlgHoleData::LayerListText(dialog.m_layers);
    for (int i = 0; i < std::min(data.holeCount, HOLE_ENTRY_MAX); ++i) {
        const tagHOLEENTRY& entry = data.holes[static_cast<std::size_t>(i)];
        CDlgHoleData::HoleKind& saved = dialog.m_saved[static_cast<std::size_t>(i)];
        saved.flags = entry.kind;
        saved.size1 = entry.size;
        saved.size2 = entry.width;
        saved.radius = entry.third;
        saved.symbol = entry.name;
    }
    dialog.m_bErrorCheck = data.error ? 1 : 0;
    dialog.m_strErrorCode = data.errorText;
    dialog.m_dCheckDistance = data.errorValue;
    dialog.m_nSymbolLayer = data.codeLayer;
    dialog.m_dSymbolHeight = data.code[0];
    dialog.m_dSymbolX = data.code[1];
    dialog.m_dSymbolY = data.code[2];
    dialog.m_dSymbolAngle = data.code[3];
    dialog.m_nTableLayer = data.tableLayer;
    dialog.m_dTableHeight = data.table[0];
    dialog.m_dTableX = data.table[1];
    dialog.m_dTableY = data.table[2];
    if (dialog.DoModal() != QDialog::Accepted)
        return false;

    for (int layer = 0; layer < CDlgHoleData::kLayers; ++layer)
        data.input[static_cast<std::size_t>(layer)] =
            dialog.m_layers[static_cast<std::size_t>(layer)] != 0 ? 1 : 0;
    data.error = dialog.m_bErrorCheck != 0;
    data.errorText = dialog.m_strErrorCode;
    data.errorValue = dialog.m_dCheckDistance;
    data.codeLayer = dialog.m_nSymbolLayer;
    data.code = {dialog.m_dSymbolHeight, dialog.m_dSymbolX, dialog.m_dSymbolY, dialog.m_dSymbolAngle};
    data.tableLayer = dialog.m_nTableLayer;
    data.table = {dialog.m_dTableHeight, dialog.m_dTableX, dialog.m_dTableY};
    // The rows stay in step with the tool table the dialog asked for last.
    data.holeCount = std::min(dialog.m_nKinds, HOLE_ENTRY_MAX);
    for (int i = 0; i < data.holeCount; ++i) {
        const CDlgHoleData::HoleKind& row = dialog.m_rows[static_cast<std::size_t>(i)];
        data.holes[static_cast<std::size_t>(i)] =
            tagHOLEENTRY{row.size1, row.size2, row.radius, row.flags, row.symbol};
    }
    return true;
}

BoardInput* FrameDocumentHost::Input() const
{
    return m_pChild && m_pChild->GetView() ? &m_pChild->GetView()->Input() : nullptr;
}

int FrameDocumentHost::GetActiveTool()
{
    const BoardInput* input = Input();
    return input ? input->m_nCommand : 0;
}

bool FrameDocumentHost::IsInputInProgress()
{
    const BoardInput* input = Input();
    return input && input->m_bInputBusy;
}

void FrameDocumentHost::EndCommand()
{
    if (BoardInput* input = Input())
        input->EndCommand();
}

void FrameDocumentHost::SetActiveTool(int tool)
{
    if (BoardInput* input = Input())
        input->OnInputCommand(tool);
}

bool FrameDocumentHost::IsShiftDown()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void FrameDocumentHost::SaveProjectBoards()
{
    m_app.SaveProjectBoards();
}

void FrameDocumentHost::OpenTextFile(const std::string& path)
{
    m_app.OpenTextFile(path);
}

namespace {

// A dialog that takes its values in and hands them back through its record m_data.
template <class Dialog, class Data> bool RunDataDialog(QWidget* parent, Data& data)
{
    Dialog dialog(parent);
    dialog.m_data = data;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    data = dialog.m_data;
    return true;
}

} // namespace

bool FrameDocumentHost::RunPartListDialog(PartListChoice& choice)
{
    return RunDataDialog<CDlgPartList>(&m_frame, choice);
}

bool FrameDocumentHost::RunCleanUpDialog(CleanUpChoice& choice)
{
    return RunDataDialog<CDlgClean>(&m_frame, choice);
}

// CAM input: the dialog offers the main frame's layer combo as it stands.
#include "dialogs/DlgCamIn.h"
#include "document/CamInChoice.h"

#include <QComboBox>

bool FrameDocumentHost::RunCamInDialog(CamInChoice& choice)
{
    CDlgCamIn dialog(&m_frame);
    if (QComboBox* combo = m_frame.LayerCombo()) {
        for (int i = 0; i < combo->count(); ++i)
            dialog.m_layerCombo.entries.push_back(
                {platform::QStringToCp932(combo->itemText(i)).value_or(std::string()), combo->itemData(i).toInt()});
        dialog.m_layerCombo.selected = combo->currentIndex();
    }
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    const CDlgCamIn::Settings& s = dialog.m_settings[static_cast<std::size_t>(dialog.m_nKind)];
    choice.kind = dialog.m_nKind;
    choice.layer = s.layer;
    choice.dataFile = s.dataFile;
    choice.tableFile = s.tableFile;
    choice.extended = dialog.m_bExtended;
    return true;
}

// CAM output

bool FrameDocumentHost::RunCamOutDialog(CamOutChoice& choice, CVELTADoc&)
{
    CDlgCamOut dialog(&m_frame);
    dialog.m_choice = choice;
    dialog.m_strProjectFolder = m_app.GetProjectFolder();
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    choice = dialog.m_choice;
    return true;
}

// --- The view's table and layer-move dialogs ---

bool FrameDocumentHost::RunTurretTableDialog(TurretTableChoice& choice)
{
    CDlgTurretTable dialog(&m_frame);
    dialog.m_turrets = choice.turrets;
    dialog.m_usage = choice.usage;
    dialog.m_nLandTurret = choice.landTurret;
    dialog.m_nLineTurret = choice.lineTurret;
    dialog.m_nCurrent = choice.current;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    choice.turrets = dialog.m_turrets;
    choice.landTurret = dialog.m_nLandTurret;
    choice.lineTurret = dialog.m_nLineTurret;
    choice.current = dialog.m_nCurrent;
    return true;
}

bool FrameDocumentHost::RunViaTableDialog(ViaTableChoice& choice)
{
    CDlgViaTable dialog(&m_frame);
    dialog.m_vias = choice.vias;
    dialog.m_nCurrent = choice.current;
    dialog.m_nDefaultVia = choice.defaultVia;
    dialog.m_nAutoVia = choice.autoVia;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    choice.vias = dialog.m_vias;
    choice.current = dialog.m_nCurrent;
    choice.defaultVia = dialog.m_nDefaultVia;
    choice.autoVia = dialog.m_nAutoVia;
    return true;
}

bool FrameDocumentHost::RunLayerTableDialog(LayerTableChoice& choice)
{
    CDlgLayer dialog(&m_frame);
    dialog.m_layers = choice.layers;
    dialog.m_counts = choice.counts;
    dialog.m_types = choice.types;
    dialog.m_nCurrent = choice.current;
    dialog.m_bReverse = choice.reverse;
    dialog.m_patterns = choice.patterns;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    choice.layers = dialog.m_layers;
    choice.current = dialog.m_nCurrent;
    choice.reverse = dialog.m_bReverse;
    choice.patterns = dialog.m_patterns;
    return true;
}

bool FrameDocumentHost::RunLayerMoveDialog(LayerMoveChoice& choice)
{
    CDlgLayerMove dialog(&m_frame);
    const int sources = std::min<int>(static_cast<int>(choice.sources.size()), CDlgLayerMove::kLayers);
    for (int i = 0; i < sources; ++i)
        dialog.m_layers[static_cast<std::size_t>(i)] = choice.sources[static_cast<std::size_t>(i)];
    dialog.m_nCount = sources;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    const int targets = std::clamp(dialog.m_nCount, 0, CDlgLayerMove::kLayers);
    choice.targets.assign(dialog.m_layers.begin(), dialog.m_layers.begin() + targets);
    choice.copy = dialog.m_bCopy != 0;
    choice.allTargets = dialog.m_bOneToMany != 0;
    return true;
}

void FrameDocumentHost::LayerChanged()
{
    if (m_pChild && m_pChild->GetView())
        m_pChild->GetView()->MoveInputToCurrentLayer();
}

// The design rule check dialog on the run's settings.
bool FrameDocumentHost::RunDrcDialog(DrcChoice& choice, CVELTADoc& doc)
{
    CDlgDrc dialog(&doc, &m_frame);
    dialog.m_nCopperMode = choice.copperMode;
    dialog.m_layers = choice.layers;
    dialog.m_dCopperClearance = choice.copperClearance;
    dialog.m_dPartClearance = choice.partClearance;
    dialog.m_nErrorLayer = choice.errorLayer;
    dialog.m_nErrorLayerCount = choice.errorLayerCount;
    dialog.m_nNetFormat = choice.netFormat;
    dialog.m_strLayers = choice.layerText;
    dialog.m_bReverseNet = choice.reverseNet;
    dialog.m_bReverseIndex = choice.reverseIndex;
    dialog.m_bViewFiles = choice.viewFiles;
    dialog.m_bPerLayer = choice.perLayer;
    dialog.m_bShowLayers = choice.showLayers;
    dialog.m_bComponentSide = choice.componentSide;
    dialog.m_bSolderSide = choice.solderSide;
    dialog.m_bPinCount = choice.pinCount;
    dialog.m_bNetCompare = choice.netCompare;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    choice.copperMode = dialog.m_nCopperMode;
    choice.layers = dialog.m_layers;
    choice.copperClearance = dialog.m_dCopperClearance;
    choice.partClearance = dialog.m_dPartClearance;
    choice.errorLayer = dialog.m_nErrorLayer;
    choice.netFormat = dialog.m_nNetFormat;
    choice.layerText = dialog.m_strLayers;
    choice.reverseNet = dialog.m_bReverseNet;
    choice.reverseIndex = dialog.m_bReverseIndex;
    choice.viewFiles = dialog.m_bViewFiles;
    choice.perLayer = dialog.m_bPerLayer;
    choice.showLayers = dialog.m_bShowLayers;
    choice.componentSide = dialog.m_bComponentSide;
    choice.solderSide = dialog.m_bSolderSide;
    choice.pinCount = dialog.m_bPinCount;
    choice.netCompare = dialog.m_bNetCompare;
    return true;
}
