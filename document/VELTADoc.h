#pragma once
// The board document: one object per open board. It owns the three parallel sets of 128 layer
// sheets (board, selection, replaced items) with a via and part sheet per set, the work sheets of
// the edit, undo and part-input machinery, the tables of the board settings file, the nets and
// the board's size, origin and file times, and answers the model's document services.

#include "document/BoardRecords.h"
#include "document/BoardSettingFile.h"
#include "document/CommandData.h"
#include "document/DrcSupport.h"
#include "document/OutputSettings.h"
#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/services/DocumentServices.h"
#include "model/services/LayerStack.h"
#include "model/sheet/Sheet.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CArchive;
class CNet;
class CPart;
// Editing services
class CLine;
class CArc;
class CText;
class CSur;
class ItemFinder;
class DocumentHost;

// The project entry of a board: its board, net-list and part-attribute files.
struct ProjectWork
{
    std::string boardFile;
    std::string netFile;
    std::string partFile;
    // The rest of the work as the project file holds it.
    std::string settingsFile{};
    std::string schematicProject{};
    std::uint8_t spareFlag = 0;
    std::uint8_t useNet = 0;
    int netFormat = 0;
};

class CVELTADoc : public DocumentServices
{
public:
    CVELTADoc();
    ~CVELTADoc() override;
    CVELTADoc(const CVELTADoc&) = delete;
    CVELTADoc& operator=(const CVELTADoc&) = delete;

    void SetHost(DocumentHost* host) { m_pHost = host; }
    DocumentHost* GetHost() const { return m_pHost; }

    // The framework's document operations.
    bool IsModified() const { return m_bModified; }
    // true marks the board modified whatever the history says (the forced flag); false records
    // the present state as the saved one.
    void SetModifiedFlag(bool modified = true);

    // Layer record of board sheet `layer` (0..127).
    tagLAYER GetLayer(int layer) const;
    // Makes `layer` current and returns the previous current layer; 128 and above point the
    // current sheets at the via and part sheets and keep the current layer number.
    int SetCurrentLayer(int layer);
    // Rebuilds the display and enable lists from the layer records, in drawing order.
    void BuildLayerLists();

    // --- Document services, in their fixed order ---
    COLORREF GetNetColor(int netId) override;
    int GetDispLayers(std::vector<std::uint8_t>& out) override;
    CSheet* GetHoleSheet(int index) override;
    int GetWireLayerPos(int layer, bool withTerm) override;
    int GetWireLayer(int pos) override;
    int PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) override;
    std::uint32_t LayerToPartLayer(int layer, bool side) override;
    int FindTurretByDCode(int dcode) override;
    double GetTCodeSize(int tcode) override;
    int FindTCode(CHole* hole, bool quiet) override;
    int CollectHoles(std::vector<CHole*>& list, bool withParts) override;
    void ToUserOrigin(CDPoint& point, int unused) override;
    void FromUserOrigin(CDPoint& point, int unused) override;
    int AssignApertureTurret(const std::string& apertureDef, int arg, tagGERBAR* gerbar) override;
    double CalcViaSize(int viaNo, int wiringMask, double* displayRadius, double* outerRadius) override;
    CNetLine* FindNetLine(int id) override;
    void GetFileTime(int which, std::time_t* out) override;

    int GetWireLayerCount() override { return m_stack.wireCount; }
    const std::vector<std::uint8_t>& GetWireLayerList() override { return m_stack.wireLayers; }
    CSheet* GetBoardSheet(int layer) override;
    CSheet* GetSelectionSheet(int layer) override;
    tagPARTLAYER GetPartLayer(int index) override;
    tagVIA GetViaEntry(int number) override;
    tagTURRET GetTurretEntry(int number) override;
    int GetCurrentLayer() override { return m_nCurrentLayer; }
    int GetTurretDCode(int turret) override;
    tagTEXTSIZE GetTextSizeEntry(int index) override;
    tagDIMS GetDimensionStyle() override { return m_dims; }
    std::string GetDocTitle() override { return m_strTitle; }
    std::string GetDocPathName() override { return m_strPathName; }
    void GetBoardSize(double& width, double& height) override;
    void GetUserOrigin(double& x, double& y) override;
    bool IsGreyPrint() override { return m_print.c[0] != 0; }
    int GetGreyLevel() override { return m_print.c[1] & 0xFF; }

    // A net list is loaded while nets colour the board (the part terminal dialog's net column).
    bool IsNetOn() override { return m_bNetColoring; }

    // --- Layer queries ---
    bool IsComponentSideLayer(int layer) const;
    bool IsDisplayedLayer(int layer) const;
    bool IsWiringOrPartLayer(int layer) const;
    CSheet* GetReplacedSheet(int layer);
    CSheet* GetPartInputSheet() { return &m_partInputSheet; }
    CSheet* GetUndoSheet() { return &m_undoSheet; }
    CSheet* GetRedoSheet() { return &m_redoSheet; }
    CSheet* GetCurrentBoardSheet() const { return m_pCurrentSheet; }
    CSheet* GetCurrentSelectionSheet() const { return m_pCurrentSelSheet; }
    CSheet* GetCurrentReplacedSheet() const { return m_pCurrentRepSheet; }

    // --- Board settings sections: tables and layers ---
    void ReadTurretTable();
    void ReadViaTable();
    void ReadLayerTable();
    void ReadDispLayer();
    void ReadCrossLayer();
    void ReadWireViaLayer();
    void ReadWireLayCount();
    void ReadContourLayer();
    void ReadGrid();
    void ReadLayerPattern();
    void ReadSheetSize();
    void ReadPartLayer();
    void ReadDim();
    void ReadTextTable();
    void ReadDefItems();
    std::string ReadComment();
    bool WriteTurretTable();
    bool WriteViaTable();
    bool WriteLayerTable();
    bool WriteDispLayer();
    // The new pairs (0-based layers) replace the current ones.
    bool WriteCrossLayer(const std::vector<tagCROSSLAYER>& records);
    bool WriteWireViaLayer(const std::vector<std::string>& lines);
    bool WriteContourLayer(int layer1, int layer2);
    bool WriteGrid();
    bool WriteLayerPattern();
    bool WriteSheetSize();
    bool WriteDefItems();
    bool WriteComment(const std::string& text);

    // --- Board settings sections: output, print and checks ---
    void ReadCamOut(tagCAMOUT& out);
    bool WriteCamOut(int kind, const tagCAMOUT& out);
    void ReadPrintSettings(tagPRINTSET& print);
    bool WritePrintSettings(const tagPRINTSET& print);
    void ReadHoleData(tagHOLEDATA& data);
    bool WriteHoleData(const tagHOLEDATA& data);
    void ReadDrcCheck(tagDRCSET& drc);
    bool WriteDrcCheck(const tagDRCSET& drc);
    void ReadPartList(tagPARTLISTSET& list);
    bool WritePartList(const tagPARTLISTSET& list);

    // Reads PRINT and SHEET_SIZE and works out the printed page and printable area on the board
    // from the default printer.
    void LoadPrintSettings();

    // --- Tables and values ---
    CBoardSettingFile& GetSettingFile() { return m_settingFile; }
    LayerStack& GetLayerStack() { return m_stack; }
    tagTURRET& Turret(int number) { return m_turrets.at(static_cast<std::size_t>(number)); }
    tagVIA& Via(int number) { return m_vias.at(static_cast<std::size_t>(number)); }
    tagGRID GetGrid(int index) const;
    void SetGrid(int index, const tagGRID& grid) { m_grids.at(static_cast<std::size_t>(index)) = grid; }
    int GetCurrentGrid() const { return m_nCurrentGrid; }
    void SetCurrentGrid(int index) { m_nCurrentGrid = index; }
    std::pair<int, int> GetMarkedGrids() const { return {m_nMarkedGrid1, m_nMarkedGrid2}; }
    void SetMarkedGrids(int first, int second);
    tagLAYERPATTERN GetLayerPattern(int index) const
    {
        return m_patterns.at(static_cast<std::size_t>(index));
    }
    void SetLayerPattern(int index, const tagLAYERPATTERN& pattern)
    {
        m_patterns.at(static_cast<std::size_t>(index)) = pattern;
    }
    const std::vector<tagCROSSLAYER>& GetCrossLayers() const { return m_crossLayers; }
    const tagDIMS& GetDims() const { return m_dims; }
    const tagTEXTSIZE& GetTextSize(int index) const
    {
        return m_textSizes.at(static_cast<std::size_t>(index));
    }
    const std::vector<std::uint8_t>& GetViaList1() const { return m_viaList1; } // (side, layer) pairs
    const std::vector<std::uint8_t>& GetViaList2() const { return m_viaList2; }
    const std::vector<std::uint8_t>& GetViaList3First() const { return m_viaList3First; }
    const std::vector<std::uint8_t>& GetViaList3Other() const { return m_viaList3Other; }
    std::pair<int, int> GetContourLayers() const { return {m_nContourLayer1, m_nContourLayer2}; }
    const std::vector<std::pair<int, int>>& GetDisplayList() const { return m_displayList; } // (order, layer)
    const std::vector<std::pair<int, int>>& GetEnableList() const { return m_enableList; }
    bool IsReverseOrder() const { return m_bReverseOrder; }
    int GetDispLayerNumber() const { return m_nDispNumber; }

    CDSize GetBoardSize() const { return m_boardSize; }
    void SetBoardSize(const CDSize& size) { m_boardSize = size; }
    CDPoint GetUserOrigin() const { return m_userOrigin; }
    void SetUserOrigin(const CDPoint& origin) { m_userOrigin = origin; }
    int GetCoordScale() const { return m_nScale; }
    CDRect GetViewRect() const { return m_viewRect; }
    void SetViewRect(const CDRect& rect) { m_viewRect = rect; }
    double GetHitTolerance() const { return m_hitTolerance; }
    void SetHitTolerance(double tolerance) { m_hitTolerance = tolerance; }
    CDRect GetPageRect() const { return m_pageRect; }
    CDRect GetPrintableRect() const { return m_printableRect; }
    const tagPRINTSET& GetPrintValues() const { return m_print; }
    const std::string& GetFolder() const { return m_strFolder; }
    // The title with " (更新)" while modified (see the undo and redo store).
    void SetTitle(const std::string& text);
    void SetPathName(const std::string& path) { m_strPathName = path; }
    void SetFolder(const std::string& folder) { m_strFolder = folder; }
    ProjectWork& GetProjectWork() { return m_project; }

    int GetCurrentTurret() const { return m_nCurrentTurret; }
    void SetCurrentTurret(int turret) { m_nCurrentTurret = turret; }
    int GetCurrentVia() const { return m_nCurrentVia; }
    void SetCurrentVia(int via) { m_nCurrentVia = via; }
    int GetDefaultVia() const { return m_nDefaultVia; }
    int GetDefaultVia2() const { return m_nDefaultVia2; }
    std::uint32_t GetViaLayerMask() const { return m_viaLayerMask; }
    int GetDefaultLineTurret() const { return m_nDefLineTurret; }
    int GetCurrentLineTurret() const { return m_nCurLineTurret; }
    int GetDefaultSurTurret() const { return m_nDefSurTurret; }
    int GetSurHatchAngle() const { return m_nSurAngle; }
    int GetDefaultLandTurret() const { return m_nDefLandTurret; }
    double GetDefaultHoleDiameter() const { return m_defHoleDiameter; }

    // Nets: the document owns them.
    CNet* AddNet(std::unique_ptr<CNet> net);
    const std::vector<std::unique_ptr<CNet>>& GetNets() const { return m_nets; }
    void SetNetColoring(bool on) { m_bNetColoring = on; }
    bool IsNetColoring() const { return m_bNetColoring; }
    std::vector<CPart*>& GetPartList() { return m_partList; }
    void SetFileTime(int which, std::time_t time);
    // The part section of a reverse net list in a dialect (none for most), appended to `out`;
    // dialect -17 writes the per-part net section of "PCAD" with the connectivity nets. Reads the
    // part list as built; the "FutureNet(NETC)" section gives each part its symbol number text.
    void WriteNetListParts(int dialect, std::string& out, const std::vector<CNet*>* nets = nullptr);

    // --- Snapping, hit test and selection by rectangle ---
    // The item snap point when toItem and one is found, else the point on the current grid.
    CDPoint SnapToGrid(CDPoint point, bool toItem);
    // The snap used while attribute texts move (profile Sheet/AttrMove: 0 grid, 1 attribute grid).
    CDPoint SnapAttrPoint(CDPoint point, bool toItem);
    // The nearest item snap point within the hit tolerance (of at most 10 candidates).
    bool SnapToItem(CDPoint& point);
    // Toggles what the rectangle touches on every enabled layer; the number of enabled layers.
    int SelectInRect(CDRect rect);
    void ToggleLayerInRect(CDRect rect, int layer);
    // Selects the texts the rectangle touches, with the lines, arcs and parts that carry them.
    void SelectTextsInRect(CDRect rect);
    // The equal item leaves the current selection sheet for its board sheet.
    int DeselectLine(CLine line);
    void DeselectArc(CArc arc);
    void DeselectText(CText text);
    void DeselectSur(CSur sur);
    void DeselectPart(CPart part);
    CDRect GetRepaintRect() const { return m_repaintRect; }
    void SetRepaintRect(const CDRect& rect) { m_repaintRect = rect; }

    // --- Selection and edit services ---
    // Sets: 0 board, 2 selection, 5 replaced items (6 as a source: only the selection's via and
    // part sheet; 4 as a target: only the board's; 3 as a target: none).
    void MoveAllSheets(int from, int to);
    // True when nothing changed.
    bool MoveSetItems(int from, int to, bool remove, bool all);
    void MoveSetItemsOtherLayers(int from, int to, bool remove);
    // Kind bits in skipMask stay.
    void MoveLayerItems(int skipMask, int from, int to, bool remove);
    // Lines and arcs of closed outlines stay.
    void MoveLayerItemsInFrame(int from, int to, bool remove);
    void OffsetSelection(const CDPoint& offset, int mode, bool allLayers);
    void OffsetSelectionAttr(const CDPoint& offset);
    void ScaleSelection(const CDPoint& base, const CDSize& factors);
    bool IsSelectionMarked(bool checkMarks);
    // Items of a kind (an Input-menu command id; anything else: all) on the board or (set 2) the
    // selection.
    int CountItems(int set, int commandId);
    int CountLayerItems(int layer, int commandId);
    bool IsSelectionEmpty();
    bool IsSelectionUnchanged();
    // Flags 0x1 lines, 0x8 arcs that the cutter path crosses go to the current selection sheet.
    void SelectCutterTargets(int flags);
    CDRect GetItemsRect(int set);
    void RotateSelection(const CDPoint& centre, double angle);
    void RotateSelectionText(const CDPoint& centre, double angle);
    void MirrorSelectionX(double axis);
    void MirrorSelectionY(double axis);
    void MirrorSelectionXText(double axis);
    void MirrorSelectionYText(double axis);
    void MirrorPrintSheet(CSheet* sheet);
    void SetSelectionCheck();
    // Layer -1 the current layer, 128 vias and parts; the copy now in the selection.
    CItemBase* SelectItem(CItemBase* item, int layer = -1);
    void DeselectItem(CItemBase* item, int layer = -1);
    void DeleteSelectedItem(CItemBase* item);
    // Set 0 board, 5 replaced items, anything else the selection.
    void ClearSheets(int set, bool allLayers);
    bool SelectChain(const CDPoint& point, int layer, bool followCross);
    bool DeselectChain(const CDPoint& point, int layer, bool followCross);
    CSheet* GetSetSheet(int set, int layer);

    // --- Undo and redo store ---
    // Step types: 1 added, 2 deleted, 3 items before a change, 5 their replacements.
    void StoreUndo(int set, int type);
    void StoreUndoForItem(CItemBase* item, int type);
    // An item or a whole sheet; type 0 adds to the step without closing it.
    void StoreUndoItem(CItemBase* item, int layer, int group, int type);
    // Copies of one item, remade by prepare(i) before the i-th copy, as count StoreUndoItem calls
    // of which the last closes the step; the redo store is emptied once.
    void StoreUndoItems(CItemBase& item, std::size_t count, const std::function<void(std::size_t)>& prepare,
                        int layer, int group, int type);
    void StoreRedoItem(CItemBase* item, int layer, int group, int type);
    int GetLastUndoClass() const;
    int GetLastUndoLayer() const;
    // The type now on top (see the store), or -1 for an empty history or a deletion step.
    int PopUndoStep(bool restore, bool viaParts);
    void RestoreStep(CSheet& popped, int layer);
    void CountEdit();
    // Sets the modified flag from the history, then asks the framework's question.
    bool SaveModified();
    const std::vector<unsigned>& GetUndoHistory() const { return m_undoHistory; }
    const std::vector<unsigned>& GetRedoHistory() const { return m_redoHistory; }
    unsigned GetEditCount() const { return m_nEditCount; }
    void ResetEditCount() { m_nEditCount = 0; }
    // Undo (57643) and redo (57644) with their enable tests.
    void OnEditUndo();
    void OnEditRedo();
    bool CanUndo();
    bool CanRedo();

    // --- Tool-bar selections and current layer ---
    void FillLayerCombo(bool all);
    void FillTurretCombo(bool turrets);
    const ComboData& GetLayerCombo() const { return m_layerCombo; }
    const ComboData& GetToolCombo() const { return m_toolCombo; }
    bool IsTurretMode() const { return m_bTurretMode; }
    void SelectLayer(int layer);
    void SwitchToCrossLayer();
    // Layer combo closed up on the entry with this data; selection cancelled.
    void OnLayerComboCloseUp(int data);
    void OnLayerComboCancel();
    void OnToolComboCloseUp(int data);
    void StepToolCombo(bool next, bool via);
    void StepSelectionNumbers(int direction, bool ctrl);
    tagGRID GetGridPhase(int index) const;
    bool IsGridShown() const { return m_bGridShown; }
    int GetAttrGrid() const { return m_nAttrGrid; }
    void SetAttrGrid(int index) { m_nAttrGrid = index; }
    bool HasViaOnEnabled() const { return m_bViaOnEnabled != 0; }
    bool HasPartOnEnabled() const { return m_bPartOnEnabled != 0; }
    // Grid settings (32810), grid list (32811..32826), grid off (32827), layer patterns
    // (32920..32935).
    void OnGridSettings();
    void OnGridList(int id);
    void OnGridOff();
    void OnLayerPattern(int id);
    MenuData BuildGridMenu() const;
    MenuData BuildLayerPatternMenu() const;
    MenuData BuildToolsMenu();
    void OnToolBarDropDown(int buttonId);
    // --- Board file: create, open, save, auto-save ---
    // Loads every section of the board settings file into the document and refreshes the tables
    // that hang on them.
    void LoadSettings();
    // The board file. Writing changes nothing but the view rectangle and the sheets' cached
    // bounds; reading loads the settings file, then the sheets, and repairs the copper groups:
    // false for an unsupported version or a missing settings file (after the message), an
    // ArchiveError for a damaged file.
    void WriteBoardFile(CArchive& ar);
    bool ReadBoardFile(CArchive& ar);
    // The framework's document operations (paths are CP932).
    bool OnNewDocument();
    bool OnOpenDocument(const std::string& path);
    bool OnSaveDocument(const std::string& path);
    void OnCloseDocument();
    bool DoSave(const std::string& path, bool replace);
    bool DoFileSave();
    // Writes the board again when it has been edited often enough (see the profile's FileSave).
    bool AutoSave();
    // The framework's path name: the title becomes the file name, the recent list may take it.
    void SetPathName(const std::string& path, bool addToRecent);
    const std::vector<std::string>& GetTextProperties() const { return m_textProperties; }
    void SetEditCount(unsigned count) { m_nEditCount = count; }
    bool IsNewBoardMarked() const { return m_bNewBoard != 0; }
    void SetNewBoardMark(bool mark) { m_bNewBoard = mark ? 1 : 0; }
    bool IsProjectNetList() const { return m_bProjectNet != 0; }
    // The cached part list: placed parts of the board (plain: all of them).
    void BuildPartList(bool plain);
    void SortPartsByRef();
    // Part bounds stale on the via and part sheet of a set: 0 board, 2 or 6 selection, 5 replaced,
    // 3 all three.
    void ResetPartBoundRects(int set);
    void ResetViaBounds();
    // Net list of the project (filled with the net-list commands).
    void ReloadNetFile(bool force);
    void SetNetTerminals();

    // --- Document commands: splitting, copy increments, tips, parts, cutter, other commands ---
    // Makes the selection a drag starts from: an end of a line or arc marked, or the item (or a
    // surface's outline element) cut in two at the point. False when nothing was selected.
    bool SplitItemAtPoint(CItemBase* item, CDPoint point, int layer);
    // Step 0: the copy-increment settings for a single selected part, text or terminal.
    void IncrementCopyNames(int step);
    // Describes the item under the point; false when there is none.
    bool GetItemTipText(CDPoint point, std::string& text);

    // Part commands with their enable tests.
    bool CanMakePart();
    bool CanExplodePart();
    bool CanMergeSplitPart();
    bool CanResetPartNumbers();
    void OnMakePart();
    void OnExplodePart();
    void OnMergeSplitPart();
    void OnResetPartNumbers();

    // Part input: 0 nothing done, 1 placed at the clicked point, 2 at typed coordinates, -1 the
    // part cannot be read or shown.
    int InputPart(CDPoint at, const std::string& reference, const std::string& value);
    bool LoadPart(const std::string& name, CPart* out, int excludedLayers);
    bool ReadLibraryPart(const std::string& name, const std::string& library);
    void AddRecentPart(const std::string& name);
    void RemoveRecentPart(const std::string& name);
    // The "Recent Part List" names, most recent first.
    static std::vector<std::string> ReadRecentParts();
    void RegisterPartInLibrary(const std::string& package, const std::string& library, bool several);
    bool CanRegisterPart();
    void OnRegisterPart();

    // Cutter edits (command ids 32964..32968) and convert to line (32962).
    bool CanCutterEdit();
    void OnCutterEdit(int commandId);
    void DeleteCutterPath(bool selectionOnly);
    double GetSelectionLength();
    bool CanConvertToLine();
    void OnConvertToLine();

    // Other commands and queries.
    void OnWorkArea();
    void OnPartManager();
    void OnNetManager();
    void OnLayerSaveRestore();
    bool CanLayerSaveRestore();
    bool IsLayerStateSaved() const { return m_bLayerSaved; }
    void OnLayerSwap();
    void SwapLayers(const int* first, const int* second, int count);
    bool FindString(bool next);
    bool CanPlaceVia(CDPoint at, bool needItem);
    void SetTextSelection(const CDRect& area);
    void ResetTextSelection();
    std::string GetLayerListText(int which, int kind);
    void SetToolButton(unsigned id);

private:
    friend class CVELTADocTest;

    void SetupSheets();
    void ApplyLayerRecord(int layer, const tagLAYER& record);
    void SetCrossPair(int layer1, int layer2, const std::string& name);
    void ClearCrossPairs();
    bool IsLayerEnabled(int layer) const;
    bool IsLayerShown(int layer) const;
    double TurretSize(int turret) const;
    void SetContourLayer(int& member, int layer);
    void ReadPartLayerInto(std::array<tagPARTLAYER, PART_LAYER_COUNT>& records, bool setBits,
                           bool fromMaster);

    DocumentHost* m_pHost = nullptr;

    CBoardSettingFile m_settingFile;
    ProjectWork m_project;
    LayerStack m_stack;                   // wiring-layer list and count, part-layer table
    std::vector<std::uint8_t> m_viaList1; // (side, layer) pairs
    std::vector<std::uint8_t> m_viaList2;
    std::vector<std::uint8_t> m_viaList3First;
    std::vector<std::uint8_t> m_viaList3Other;
    std::array<tagTURRET, TURRET_MAX + 1> m_turrets{};
    std::array<tagVIA, VIA_MAX + 1> m_vias{};
    std::array<tagTEXTSIZE, TEXT_SIZE_COUNT + 1> m_textSizes{};
    tagDIMS m_dims;
    std::vector<std::pair<int, int>> m_displayList; // (order, layer) in display order
    std::vector<std::pair<int, int>> m_enableList;
    bool m_bReverseOrder = false;
    int m_nDispNumber = 0;
    std::vector<std::unique_ptr<CNet>> m_nets;
    std::vector<CPart*> m_partList;
    std::string m_strFolder;
    std::string m_strTitle;    // CP932; the file name once saved or opened
    std::string m_strPathName; // CP932; empty until saved
    int m_nCurrentTurret = 0;
    int m_nCurrentVia = 1;
    int m_nCurrentGrid = 0;
    int m_nMarkedGrid1 = 0;
    int m_nMarkedGrid2 = 0;
    int m_nAttrGrid = 0;
    bool m_bGridShown = true;
    std::array<tagGRID, GRID_COUNT> m_grids{};
    std::array<tagLAYERPATTERN, LAYER_PATTERN_COUNT> m_patterns{};
    int m_nCurrentLayer = 0;
    CSheet* m_pCurrentSheet = nullptr;
    CSheet* m_pCurrentSelSheet = nullptr;
    CSheet* m_pCurrentRepSheet = nullptr;
    CSheet m_viaPartSheet;
    CSheet m_selViaPartSheet;
    CSheet m_repViaPartSheet;
    std::array<CSheet, LAYER_MAX> m_selSheets;
    std::array<CSheet, LAYER_MAX> m_repSheets;
    std::array<CSheet, LAYER_MAX> m_boardSheets;
    CSheet m_partInputSheet;
    CDRect m_repaintRect;
    CDRect m_pageRect;
    CDRect m_printableRect;
    CSheet m_undoSheet;
    CSheet m_redoSheet;
    std::vector<unsigned> m_undoHistory;
    std::array<int, 10> m_undoCounters{};
    std::vector<unsigned> m_redoHistory;
    std::array<int, 10> m_redoCounters{};
    int m_nSavedUndoPos = 0;
    unsigned m_nEditCount = 0;
    std::vector<std::string> m_textProperties;
    int m_nScale = 100;
    double m_hitTolerance = -1.0;
    std::uint8_t m_bForceModified = 0;
    std::uint8_t m_bNewBoard = 0;
    std::uint8_t m_bViaOnEnabled = 0;
    std::uint8_t m_bPartOnEnabled = 0;
    std::uint8_t m_bViaOnDisplayed = 0;
    std::uint8_t m_bPartOnDisplayed = 0;
    std::uint8_t m_bProjectNet = 0;
    std::vector<tagCROSSLAYER> m_crossLayers;
    CDRect m_rubberRect;
    std::array<std::time_t, 3> m_fileTimes{}; // last write, last access, creation (GetFileTime order)
    CDSize m_boardSize{327.0, 327.0};
    CDRect m_viewRect{0.0, 0.0, 327.0, 327.0};
    CDPoint m_userOrigin{25.4, 25.4};

    // Values of the settings sections.
    int m_nContourLayer1 = 0;
    int m_nContourLayer2 = 0;
    int m_nDefaultVia = 1;
    int m_nDefaultVia2 = 1;
    std::uint32_t m_viaLayerMask = 0;
    int m_nDefLineTurret = 0;
    int m_nCurLineTurret = 0;
    int m_nDefSurTurret = 0;
    int m_nSurAngle = 0;
    int m_nDefLandTurret = 0;
    double m_defHoleDiameter = 0.8;
    tagPRINTSET m_print; // the A, B and C values printing reads
    bool m_bNetColoring = false;
    bool m_bModified = false;

    // Snapping and selection
    void MoveItemsOfKind(CSheet& from, CSheet* to, int kind, bool remove, CDRect& covered);
    void MoveViaPartItems(CSheet& from, CSheet& to, bool remove, bool all);
    bool IsPartLayer(int layer) const;
    bool WalkChain(const CDPoint& point, int layer, bool followCross, bool select);
    CItemBase* SelectItemWith(CItemBase* item, int layer, ItemFinder* boardFinder);
    void DeselectItemWith(CItemBase* item, int layer, ItemFinder* selFinder, ItemFinder* repFinder);

    // Undo and redo store
    void StoreItem(bool redo, CItemBase* item, int layer, int group, int type);
    void CloseStep(bool redo, int layer, int group, int type);
    void ReplayStep(bool redo);
    void DeleteEqualBoardItems(CSheet& items, int layer);
    std::uint64_t CurrentGeneration() const;
    bool IsHistoryModified() const;
    std::vector<std::uint64_t> m_undoGenerations; // one per undo record: the board state it made
    std::vector<std::uint64_t> m_redoGenerations; // the state each redo record gives back
    std::uint64_t m_nextGeneration = 1;
    std::uint64_t m_savedGeneration = 0;
    unsigned m_nUndoGroup = 0; // group of the undo or redo chain being replayed
    unsigned m_nRedoGroup = 0;
    bool m_bReplaying = false;
    std::uint64_t m_replayGeneration = 0; // the generation the redo record being closed gives back

    // Tool-bar selections
    void ApplyTurretToSelection();
    void ApplyViaToSelection();
    void ApplyLayerPattern(int index);
    bool IsPatternShown(const tagLAYERPATTERN& pattern) const;
    void RecomputeViaPartFlags();
    ComboData m_layerCombo;
    ComboData m_toolCombo;
    bool m_bTurretMode = true;
    // Board file: create, open, save, auto-save
    enum class WriteOutcome
    {
        Written,
        CannotCreate, // reported with the framework's cannot-create message
        Failed        // reported with the framework's failed-to-save message
    };
    // Writes the board through a temporary file beside target; with backup the file being replaced
    // becomes backupPath once the new one is complete (a read-only backup is left alone).
    WriteOutcome WriteBoardTo(const std::string& target, bool backup, bool* backedUp);
    void ClearModifiedAfterSave();
    void StoreFileTimes(const std::string& path, bool keepCreation);
    std::string TitleWithoutMark() const;
    long m_nAutoSaveNumber = 0; // the untitled auto-save name's number, given on first use
    // Document commands
    void SplitMarkEnd(CItemBase* item, int layer);
    void LayerSaveRestore(bool shift);
    void EndEdit();
    bool IsMakePartTool() const;
    std::array<int, LAYER_MAX> m_layerStates{}; // F10: 0 hidden, 1 displayed, 2 displayed and enabled
    bool m_bLayerSaved = false;
    std::array<int, 3> m_partInputDisp{0, 2, 2}; // the part-name, reference and value displays
    int m_nFindPosition = 0;

    // Nets: the project's net-list file, the reader's common tail, rubber lines and net queries
public:
    // Reads the text of a net-list file (path: CP932, for the message) in the dialect into a new
    // net list that replaces the document's only when it holds nets; then merges shared nodes,
    // binds the terminals and builds the rubber lines. False, with a message, when no net was found.
    bool ReadNetList(const std::string& text, int format, const std::string& path);
    // Merges every later net that shares a node (reference and pin, without case) into the earlier
    // one, with a message per merge.
    void MergeSharedNets();
    // Copper groups, net ids and the rubber lines of every net, while nets are on.
    void MakeRubberLines();
    // The net at a 0-based position of the list, or null.
    CNet* GetNetAt(int index) const;
    // The name of the first net with the id, or "未定義".
    std::string GetNetName(int id) const;
    void SetNetFileTime(std::time_t time) { m_netFileTime = time; }
    bool IsNetFileNewer(std::time_t time) const { return time > m_netFileTime; }
    // Where the board's net-list file is looked for (beside the schematic project or the board).
    std::string GetNetFilePath() const;
    // Nets on: the last reload that found the board's work saw a net list in use.
    bool IsNetsOn() const { return m_bProjectNet != 0; }
    // Set while a reload or another long operation runs: a reload then does nothing.
    bool IsBusy() const { return m_bBusy != 0; }
    void SetBusy(bool busy) { m_bBusy = busy ? 1 : 0; }
    // The busy flag for a scope (a reload, the part list command), cleared on every way out.
    class BusyScope
    {
    public:
        explicit BusyScope(CVELTADoc& doc) : m_doc(doc) { m_doc.SetBusy(true); }
        ~BusyScope() { m_doc.SetBusy(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CVELTADoc& m_doc;
    };
    const CDRect& GetRubberRect() const { return m_rubberRect; }

private:
    void SetNetsOn(bool on);
    // The common tail of a read on the document's present list.
    void BindNets();
    std::time_t m_netFileTime = 0; // whole seconds
    std::uint8_t m_bBusy = 0;
    // Lists, clean-up checks and hole chart
public:
    // Entries of the document's drill tool table.
    static constexpr int TOOL_TABLE_MAX = 100;
    // Copies of the holes of one kind (0 round, 16 slot, 32 rectangular, 240 all) on the flagged
    // layers (128 flags) into out, plated through where copper touches them, sorted: the number
    // of holes in out. The selection is gathered when anything is selected. The board's own holes
    // keep the plating found; a change of it is one undo step.
    int MakeHoleList(const int* layers, CSheet* out, int kind);
    // The same when the plating of these holes was found since the board last changed: the
    // holes are copied with the plating they have.
    int CopyHoleList(const int* layers, CSheet* out, int kind);
    // The drill tool table of the flagged layers' holes of one kind (240: round, slot, then
    // rectangular tools): the number of tools.
    int MakeTCodeTable(const int* layers, int kind);
    // The plating of the flagged layers' holes, found and kept as MakeTCodeTable(layers, 240)
    // finds and keeps it (a change is one undo step), without the table.
    void UpdateHolePlating(const int* layers);
    // The document's drill tool table (TOOL_TABLE_MAX entries; the first without hits ends it).
    std::array<tagTCODE, TOOL_TABLE_MAX>& GetTCodeTable() { return m_tools; }
    int GetTCodeCount() const { return m_nToolCount; }
    void SetTCodeCount(int count) { m_nToolCount = count; }

    // Names and files of the text reports beside the board (paths CP932): the board's path with a
    // final ".vbd" (any case) replaced by the extension; the same name in a folder (none: beside
    // the board); the "# File / # Date" header; the whole text written with CR LF line ends, a
    // failure reported (false).
    std::string MakeOutputPath(const std::string& extension);
    std::string MakeOutputPathIn(const std::string& folder, const std::string& extension);
    void WriteReportHeader(std::string& report, const std::string& path);
    bool WriteReportFile(const std::string& path, const std::string& text);
    // Tools commands: part list (32955), clean-up (32956), hole chart (32846), enabled only while
    // nothing is selected.
    void OnPartList();
    void OnCleanUp();
    // Empty, (with outside) outside and duplicate items of a board layer (128: vias and parts):
    // true when anything changed.
    bool CleanLayer(int layer, bool outside);
    bool OnUpdateToolCommand();
    // The hole chart: symbols by the hole-size rows, the clearance marks and the chart, from the
    // hole-data dialog's settings.
    void OnHoleData();
    // Its drawing part on gathered holes (sorted, plating found) and the settings.
    void RunHoleChart(const tagHOLEDATA& data, CSheet& holes);

private:
    struct PlatingChanges;
    int GatherHoles(const int* layers, CSheet* out, int kind, PlatingChanges* changes);
    void RecordPlatingChanges(PlatingChanges& changes);
    std::array<tagTCODE, TOOL_TABLE_MAX> m_tools{};
    int m_nToolCount = 0;
    struct PlacementRow;
    bool IsListedPart(CPart* part, const PartListChoice& choice) const;
    std::vector<PlacementRow> PlacementRows(const PartListChoice& choice);
    void WritePlacementLists(const std::string& folder, const PartListChoice& choice);
    void WriteBillOfMaterials(const std::string& folder, const PartListChoice& choice);
    std::array<bool, LAYER_MAX + 1> CleanUpLayers(int target);
    void PlaceOnLayer(CSheet& output, int layer, bool empty);
    void MakeHoleChart(const tagHOLEDATA& data, CSheet& chart);

    // CAM input
public:
    // Tools command 32832: reads a photo-plot or drill file into a layer as the CAM input dialog
    // chose, one undo step for the new items (and one for old ones deleted on request).
    void OnCamDataInput();
    // The reading settings of a kind (0 photo, 1 drill) from the profile section "CAMIn\Phot" or
    // "CAMIn\Drill"; an extended Gerber file always has '*' blocks, plain text and centre mode 0.
    static tagGERBAR MakeCamInRecord(int kind, bool extended);

private:
    // Reads the data file into a work sheet with the record; false (said to the user) when the
    // file cannot be opened or is malformed. The messages gathered so far and the reading's are
    // shown once, together.
    bool ReadCamInFile(const std::string& path, tagGERBAR& g, CSheet& work, std::vector<std::string>& messages);
    // A data or table file opened for reading; null when it cannot be.
    static std::unique_ptr<CArchive> OpenCamInFile(const std::string& path);

    // View table and layer-move commands: each runs its dialog through the host and answers
    // false on Cancel, when nothing was written.
public:
    // Per turret, the lines, arcs, surfaces, lands and texts of the board and selection sheets of
    // the 128 layers that use it.
    std::array<std::array<int, 5>, TURRET_MAX + 1> CountTurretUsage();
    // Changed turret entries reach the items that use them; the defaults and the current turret
    // are taken, the tool combo refilled, the selection given the current turret and the turret
    // and default-item sections written.
    bool OnTurretTable();
    bool OnViaTable();
    // The layer records, patterns, current layer and display order; the via and part layer stays
    // displayed and enabled.
    bool OnLayerTable();
    // Layers 0..127 whose selection sheet holds items, ascending.
    std::vector<int> GetSelectedLayers();
    // The selection's layers go to the dialog; on OK the selection moves or is copied to its
    // targets and is emptied.
    bool OnLayerMove();
    void MoveSelectionToLayers(const struct LayerMoveChoice& choice);

    // Design rule check
public:
    // Command 32940: connectivity from scratch, connectivity nets, the check reports, copper and
    // part clearance with markers on output layers, and the counts in one message.
    void OnDesignRuleCheck();
    // The dialog's data as the settings file, the profile and the board's project work give it.
    DrcChoice ReadDrcChoice();

private:
    struct DrcRun;
    // Wiring positions the copper check can test: 1 to this.
    int CheckedPositions();
    void RebuildConnectivity(std::vector<std::uint32_t>& groups);
    void MakeConnectivityNets(DrcRun& run);
    void WriteDrcReports(DrcRun& run);
    bool WriteDrcReport(DrcRun& run, const std::string& path, const std::string& text);
    std::string ReverseNetList(DrcRun& run, const std::string& path);
    std::string NetCompareReport(DrcRun& run);
    std::string PinCountReport(const std::string& path);
    std::string NetIndexReport(DrcRun& run, const std::string& path);
    void CheckCopperClearance(DrcRun& run, const std::vector<std::uint32_t>& groups);
    void CheckPartClearance(DrcRun& run, bool solderSide);
    void PutDrcMarks(DrcRun& run, CSheet& marks, int layer, bool emptyWhenClean);
    void PutDrcPointMarks(DrcRun& run, const std::vector<std::uint32_t>& points, int layer);
    // CAM code tables: apertures by turret, drill tools, and the D-code strokes of CAM input
public:
    static constexpr int APERTURE_MAX = 121;
    static constexpr int DCODE_MAX = 1000;
    std::array<tagDCODE, APERTURE_MAX>& GetDCodeTable() { return m_apertures; }
    // Both the aperture table (D-code lists and counts) and the tool table, emptied.
    void ClearCamTables();
    // Every turret's D-code list emptied; the counts stay.
    void ClearDCodeLists();
    // The stroke table back to plain flashes (turret -1, mode 0).
    void ResetDCodeStrokes();
    // Appends a D code to a turret's list; a full list refuses it with the range message.
    bool AddTurretDCode(int turret, int dcode);
    // Fills the aperture table (photo) or the tool table (drill) from a list file, both emptied
    // first; one message per bad line.
    void ReadCodeTable(CArchive& file, bool photo);
    // Aperture use of the listed layers (0-based, ended by a negative number) on the sheets the
    // photo writer writes: a layer's selection sheet when it holds items, else its board sheet.
    void CountApertures(const int* layers, bool clear);
    CSheet* GetCamOutputSheet(int layer);
    // The drill tools of the listed layers' holes (plating found first).
    void CollectTools(const int* layers, int holeKind, bool clear);
    // Adds the sheet's holes to the tools' hit counts (a run of dummy holes on one tool counts once).
    void CountToolHits(CSheet& sheet);
    // The turret of an aperture definition read by CAM input, with the file's macro definitions
    // ("name,body"); -1 when none fits.
    int AssignApertureTurret(const std::string& def, const std::vector<std::string>& macros, tagGERBAR* g);
    // While a sink is set, the messages of the table operations are added to it instead of being
    // shown (CAM input shows them together at the end of a reading).
    void SetCamMessageSink(std::vector<std::string>* sink) { m_pCamMessages = sink; }
    // Whether GetTurretDCode warns when it gives a turret without a D code its default code.
    void SetWarnMissingDCode(bool warn) { m_bWarnMissingDCode = warn; }
    // Kind names of the tool table: "TH", "NTH", "LTH", "LNTH".
    static const char* ToolKindName(int kind);

    tagDSTROKE GetDCodeStroke(int dcode) override;
    tagTCODE GetToolEntry(int index) override;
    int AssignGerberAperture(const std::string& apertureDef, const std::vector<std::string>& macros,
                             tagGERBAR* gerbar) override;

private:
    void CamMessage(const std::string& text);
    std::array<tagDCODE, APERTURE_MAX> m_apertures{};
    std::array<tagDSTROKE, DCODE_MAX> m_dStrokes{};
    std::vector<std::string>* m_pCamMessages = nullptr;
    bool m_bWarnMissingDCode = false;
};
