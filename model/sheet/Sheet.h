#pragma once
// One layer of a board (or a selection, replaced-items, undo or work sheet): the container of the
// layer's items in ten lists, with the layer record that says how the layer is drawn. Items are
// stored by copy: a New operation allocates an item, assigns the given one to it, makes the sheet
// its parent and appends it; the caller keeps its own item. The sheet owns and frees its items.
//
// The operations that treat every kind alike (storing a copy, deleting by equality, counting,
// merging, emptying, bounds, moving, mirroring and rotating the whole sheet) live in Sheet.cpp and
// reach the item classes only through the per-kind entries of SheetKinds.h. The typed operations
// of one kind (NewLine, DeleteLine, GetFirstLinePos, GetNextLine, ...) are declared here and
// defined in that kind's own file, model/sheet/Sheet<Kind>.cpp (SheetLine.cpp, SheetLand.cpp, ...,
// SheetNetLine.cpp), which also registers the kind's entry; until a kind's file exists its typed
// operations are simply not defined.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/items/ItemBaseList.h"
#include "model/services/Records.h"
#include "model/sheet/ItemList.h"
#include "model/sheet/NetLineList.h"
#include "model/sheet/SheetKinds.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CArchive;
class DocumentServices;
class CLine;
class CLand;
class CVia;
class CHole;
class CText;
class CArc;
class CPart;
class CSur;
class CTer;
class CNetLine;
namespace platform {
class DrawContext;
}
class CSheetIndex;

// Roles of a sheet (its sheet type).
enum SheetType
{
    SHEET_BOARD = 0,          // board layer sheet
    SHEET_SELECTION = 2,      // selection sheet of a layer
    SHEET_WORK = 3,           // work sheet, or a sheet just constructed
    SHEET_BOARD_VIAPART = 4,  // via and part sheet of the board (layer 128)
    SHEET_REPLACED = 5,       // replaced-items sheet of a layer
    SHEET_SELECT_VIAPART = 6, // via and part sheet of the selection
    SHEET_REPLACED_VIAPART = 7,
    SHEET_UNDO = 12,
    SHEET_REDO = 13
};

// Bits of GetSheetBitType.
enum SheetBits
{
    SHEETBIT_BOARD = 0x1,      // board sheet (carries net ids)
    SHEETBIT_SELECTION = 0x2,  // selection sheet
    SHEETBIT_REPLACED = 0x4,   // replaced-items sheet
    SHEETBIT_OWN_LAYERS = 0x8, // stored items keep their own layers (vias and parts of all layers)
    SHEETBIT_DOCWORK = 0x10    // document work sheet
};

class CSheet : public CItemBase
{
public:
    // A sheet without a document: layer -1, W-layer 0, empty lists, default layer record.
    explicit CSheet(int sheetType = SHEET_WORK);
    // A layer sheet of a document: W-layer, type word and layer number as given, sheet type 3.
    CSheet(int wLayer, int typeFlags, int layer, DocumentServices* doc);
    // Empties the sheet (DeleteContents) and frees its items.
    ~CSheet() override;

    CSheet(const CSheet&) = delete;
    // Copies the base, document, cross-layer name, type, W-layer and layer record, then the items
    // (defined with the rest of the layer sheet).
    CSheet& operator=(CSheet& other);
    // Whole-sheet comparison (defined with the rest of the layer sheet).
    int operator==(CSheet& other);

    // Accessors.
    int GetSheetType() const { return m_nSheetType; }
    void SetSheetType(int type) { m_nSheetType = type; }
    // 1 board, 2 selection, 4 replaced items, 8 items keep their own layers, 16 document work sheet.
    int GetSheetBitType() const;
    int GetWLayer() const { return m_nWLayer; }
    void SetWLayer(int wLayer) { m_nWLayer = wLayer; }
    DocumentServices* GetDocument() const { return m_pDoc; }
    void SetDocument(DocumentServices* doc) { m_pDoc = doc; }
    int GetCrossLayerNo() const { return m_nCrossLayer; }
    void SetCrossLayerNo(int layer) { m_nCrossLayer = layer; }
    const std::string& GetCrossLayerName() const { return m_strCrossLayer; }
    void SetCrossLayerName(const std::string& name) { m_strCrossLayer = name; }
    tagLAYER GetLayer() const { return m_layer; }
    tagLAYER* GetLayerPoint() { return &m_layer; }
    void SetLayer(const tagLAYER& layer) { m_layer = layer; }
    bool IsDisp() const { return m_layer.display != 0; }
    bool IsEnable() const { return m_layer.enable != 0; }
    bool IsNega() const { return (m_nType & 0x8) != 0; }
    bool IsEmpty() const { return m_nCount == 0; }
    // Number of items in the nine item lists (copper groups not counted).
    int GetItemCount() const { return m_nCount; }
    // The last net id given out on this sheet.
    std::uint32_t GetNetIDCounter() const { return m_nNetID; }
    void SetNetIDCounter(std::uint32_t id) { m_nNetID = id; }

    // Generic item access by kind bit; the typed operations of each kind are built on these.
    // Storing a copy: allocate through the kind's entry, make the sheet the parent, append, count,
    // take the sheet's layer unless the bit type has 0x8, run the kind's storing rules. Null for a
    // kind without an entry.
    CItemBase* StoreCopy(const CItemBase& item);
    // Stores an item made for this sheet as StoreCopy stores its copy. Null (the item freed) for a
    // kind without an entry.
    CItemBase* StoreItem(std::unique_ptr<CItemBase> item);
    // Frees the first item of the given one's kind that is equal to it (after taking it out of its
    // copper groups): 1, or 0 when none is equal.
    int DeleteEqualItem(const CItemBase& item);
    // Frees the item at a position of a kind's list (as a Delete operation frees it), for callers
    // that walk the sheet and know where the item stands: no search by equality.
    void DeleteItemAt(int kind, POSITION pos) { RemoveItemAt(kind, pos); }
    POSITION GetFirstItemPos(int kind);
    CItemBase* GetNextItem(int kind, POSITION& pos);
    POSITION GetLastItemPos(int kind);
    CItemBase* GetPrevItem(int kind, POSITION& pos);
    // Null for an empty list.
    CItemBase* GetHeadItem(int kind);
    // 0 and 1 the last item, n the one at index count - n; null when out of range.
    CItemBase* GetTailItem(int kind, int n);
    // 0-based; null when out of range.
    CItemBase* GetItemAt(int kind, int index);
    // Number of items of one kind bit (0 for anything else).
    int GetKindCount(int kind) const;

    // Item creation: each returns the stored item.
    CLine* NewLine(const CLine& line);
    CLine* NewLine(CDPoint start, CDPoint end, int turret, int flags);
    // A zero-length line at the point with the turret and type word of the sheet's last line.
    CLine* NewLine(CDPoint point);
    CLand* NewLand(const CLand& land);
    CLand* NewLand(CDPoint point, int turret);
    CVia* NewVia(const CVia& via);
    CVia* NewVia(CDPoint point, int viaNumber, int flags);
    CHole* NewHole(const CHole& hole);
    CHole* NewHole(CDPoint point, double diameter, bool round, double width, double radius, double angle);
    CText* NewText(const CText& text);
    CArc* NewArc(const CArc& arc);
    CArc* NewArc(CDPoint centre, double radius, double start, double end, int flags, int turret);
    // A full circle centred on one end of the line through its other end.
    CArc* NewArc(const CLine& line, bool atStart);
    CSur* NewSur(const CSur& sur);
    CSur* NewSur(CItemBaseList& lines, CItemBaseList& arcs, CItemBaseList& windows, CItemBaseList& texts);
    CSur* NewSur(CSheet* outline, bool reverse);
    // A surface made for this sheet stored as it is, where NewSur would store a copy of it: the
    // same storing rules, without copying its outline (photo-plot output of TrueType glyphs).
    CSur* NewSur(std::unique_ptr<CSur> sur);
    CTer* NewTer(const CTer& ter);
    CTer* NewTer(CDPoint point, const CText& number, int type);
    CPart* NewPart(const CPart& part);
    CPart* NewPart(CDPoint origin, CDPoint corner1, CDPoint corner2, unsigned packageMax,
                   unsigned packageScale, double angle, unsigned char type);
    CNetLine* NewNetLine(const CNetLine& group);

    // Deletion: 1 when an equal item was found and freed, else 0.
    int DeleteLine(const CLine& line);
    int DeleteLand(const CLand& land);
    int DeleteVia(const CVia& via);
    int DeleteHole(const CHole& hole);
    int DeleteText(const CText& text);
    int DeleteArc(const CArc& arc);
    int DeleteSur(const CSur& sur);
    int DeleteTer(const CTer& ter);
    int DeletePart(const CPart& part);

    // Iteration: the first position (null for an empty list), and the item at a position with the
    // position moved on (null after the last); the head item (null for an empty list).
    POSITION GetFirstLinePos();
    CLine* GetNextLine(POSITION& pos);
    CLine* GetHeadLine();
    // 0 and 1 the last line, n the line at index count - n.
    CLine* GetTailLine(int n);
    POSITION GetFirstLandPos();
    CLand* GetNextLand(POSITION& pos);
    CLand* GetHeadLand();
    POSITION GetFirstViaPos();
    CVia* GetNextVia(POSITION& pos);
    CVia* GetHeadVia();
    POSITION GetFirstHolePos();
    CHole* GetNextHole(POSITION& pos);
    CHole* GetHeadHole();
    POSITION GetFirstTextPos();
    CText* GetNextText(POSITION& pos);
    CText* GetHeadText();
    POSITION GetFirstArcPos();
    CArc* GetNextArc(POSITION& pos);
    CArc* GetHeadArc();
    POSITION GetFirstPartPos();
    CPart* GetNextPart(POSITION& pos);
    CPart* GetHeadPart();
    // 0-based; null when out of range.
    CPart* GetPart(int index);
    POSITION GetFirstSurPos();
    CSur* GetNextSur(POSITION& pos);
    CSur* GetHeadSur();
    POSITION GetFirstTerPos();
    CTer* GetNextTer(POSITION& pos);
    CTer* GetHeadTer();

    // Copper groups of the layer (not counted as items).
    CNetLineList::POSITION GetFirstNetLinePos() { return m_netLines.GetHeadPosition(); }
    CNetLine* GetNextNetLine(CNetLineList::POSITION& pos) { return m_netLines.GetNext(pos); }
    CNetLineList::POSITION GetLastNetLinePos() { return m_netLines.GetTailPosition(); }
    CNetLine* GetPrevNetLine(CNetLineList::POSITION& pos) { return m_netLines.GetPrev(pos); }
    CNetLine* GetHeadNetLine() { return m_netLines.GetHead(); }
    CNetLine* GetTailNetLine() { return m_netLines.GetTail(); }
    int GetNetLineCount() const { return m_netLines.GetCount(); }

    // Whole-sheet operations.
    // Items of one kind, given as an Input-menu command id (32910 line ... 32918 terminal); any other
    // value gives the item count.
    int GetCount(int commandId) const;
    // Adds 1 to counts[n] for each item of the kind (command id) with slot n (turret or via number);
    // slots outside 0..slots-1 are not counted.
    void GetCount(int commandId, unsigned* counts, int slots = TURRET_MAX + 1);
    // Sum of the parts' layer counts (defined with the parts).
    int GetPartLayerCount(int layer, int commandId);
    // Marks every part, every via inside a part and their parents stale (defined with the parts).
    void ResetPartBoundRect();

    // Sorting (selection sorts that exchange the items of two nodes, so held positions stay
    // valid): 0 for an empty list, else 1.
    // Lands by CLand::operator<.
    int SortLand();
    // Union of the items' rectangles (the null rectangle for an empty sheet), computed afresh.
    CDRect GetBoundingRect();
    // The same union, kept as the sheet's own rectangle.
    void CalcBoundingRect() override;
    // Adds copies of all items of the other sheet (the other keeps its items).
    CSheet& operator+=(CSheet& other);
    // As += followed by emptying the other sheet, but the items themselves move (no copies): for a
    // work sheet outside any copper group, such as a check's markers.
    void TakeItems(CSheet& other);
    // A copy of any item through its kind's storing; a sheet is merged with += and this sheet is
    // returned; null for an unknown kind.
    CItemBase* AddItem(CItemBase* item);
    // Deletes the item equal to the given one (1, or 0 when none); a given sheet is emptied.
    int DeleteItem(CItemBase* item);
    // 1 when the sheet holds an item equal to the given one.
    int CheckItem(CItemBase* item);
    // Frees every item and copper group; returns the rectangle the items covered. The net-id
    // counter goes back to the W-layer.
    CDRect DeleteContents();
    // Moves the last counts[k] items of each kind into dest (for undo): counts[0] the total, [1] to
    // [9] lines, lands, parts, arcs, vias, texts, holes, surfaces, terminals.
    void GetItemTail(const unsigned* counts, CSheet& dest);

    // Outline crossing: each line of this sheet against each line, then each arc, of the other;
    // then each arc of this sheet against each line and each arc of the other. The first crossing
    // gives 1 and its point in at (when given); none gives 0.
    int CheckFrameShort(CSheet* other, tagPOINTFX* at);

    // --- Items by place (SheetIndex.cpp) ---
    // Appends the items of the kinds (a mask of kind bits) whose bounding rectangles meet rect
    // (millimetres, edges included): kind by kind in the order of the kind bits, each kind in list
    // order. Answered from a spatial index built on first use and again after any change: storing,
    // deleting or sorting items, and any change of an item that leaves its bounds stale.
    void GetItemsIn(int kinds, const CDRect& rect, std::vector<CItemBase*>& out);
    // For code that changes items in a way that does not mark their bounds stale: the index is
    // built again on its next use.
    void InvalidateIndex() { ++m_nChanges; }

    // --- Copper groups and net ids (SheetNet.cpp) ---
    // A net id's low byte is the sheet's W-layer; ids step by 256 from the counter. On a wiring layer
    // (type word 0x1) the vias of the via and part sheet and the holes of the document's hole sheets
    // carry per-layer ids of the W-layer.
    // Gives ids to the sheet's copper without one: each set of touching items one id. Returns the
    // counter; on a negative sheet with fewer than two connection candidates, their count.
    std::uint32_t MakeGroup();
    // counter += 256 and the item (land, part, via, hole or surface) takes it as its id; a sheet
    // given instead sets the counter to 0.
    void SetNextNetID(CItemBase* item);
    // Builds the copper groups of the items without an id, merging them into the groups they touch,
    // and links the placed parts' terminals to them.
    void MakeRubberGroup();
    // Links the part's terminals with the groups they touch on this layer and records in groups the
    // ids shorted together through them (runs of ids ended by 0; a run may start -1, part id, index).
    void SetTerNetID(CPart* part, std::vector<std::uint32_t>* groups);
    // The same for a negative sheet, from the per-layer ids of the part's vias and holes.
    void SetTerNetIDNega(CPart* part, std::vector<std::uint32_t>* groups);
    // Net on for every terminal of the placed parts with the terminal's net id (and for the terminal
    // itself when there was any).
    void CalcNetCondition(CTer* ter);
    // Rebuilds the copper groups from the ids the items carry (after loading).
    void CorrectID2NetLine();
    // Renumbers the groups W-layer + 256, + 512, ... when there are more than 10 and ids were
    // skipped.
    void GerbageNetLine();
    // Orders the groups by id (selection sort; positions stay valid): 0 when there are none, else 1.
    int SortNetLine();
    // The low byte of the first id among the lines, arcs, lands, surfaces and texts that has one; 0
    // when none has; the W-layer when these lists are empty.
    std::uint32_t GetWLayerFromID();
    // Clears every id of the sheet, unlinks its parts' terminals, deletes its groups; the counter
    // goes back to the W-layer.
    void ResetNetID();
    // The same for one item by its kind bit.
    void ResetNetID(CItemBase* item, int kind);
    // Whether the hole touches the copper of this sheet (with withVias, the vias' lands and the
    // placed parts' items too).
    bool CheckHoleOnItem(CHole* hole, bool withVias);
    // The via's land on this sheet.
    CLand GetLandImage(CVia* via, bool photo);
    // Whether a surface, line, arc or land of the sheet covers the point.
    bool CheckPoint(CDPoint point);
    // Takes the item out of every group of this sheet with that id that holds it.
    void RemoveNetLineItem(std::uint32_t id, CItemBase* item);
    // Deletes the first group with that id whole (its members lose the id).
    void DeleteNetLineItem(std::uint32_t id);

    // --- Copper clearance check and plane layers (SheetShort.cpp, SheetPlane.cpp) ---
    // The rule's sheet and counter are set, then the sheet is checked: on a positive sheet the
    // groups pairwise (except ids of one run of groups), the placed parts alone and in pairs, and
    // the parts' terminal groups against the groups they are not linked to; on a negative sheet,
    // only with a plane mode, the plane's connection lands and the vias wired on it. Violations go
    // to the rule's error points.
    void DRC_ShortCheck(tagDRCSPEC* rules, std::vector<std::uint32_t>* groups);
    // One terminal's group against the sheet's groups not linked to the terminal (all with none).
    void DRC_ShortCheck(tagDRCSPEC* rules, CTer* ter, CNetLine* group);
    // Plane check of one land or via (a via by its land on this plane).
    void DRC_ShortCheckNega(tagDRCSPEC* rules, CItemBase* item);
    // A land of the turret at every error point; the union of their rectangles (empty for none).
    CDRect SetMark(tagDRCSPEC* rules, int turret);
    // Into the frame sheet, the copper regions of the plane whose items this work sheet holds: one
    // surface whose fill lines carry the region ids; the number of regions.
    int CalcNegaFrame(CSheet* frame);
    // The plane items of this sheet and of the via and part sheet, through CalcNegaFrame.
    void CalcNegaFrame2(CSheet* frame);
    // Copies the items that cut this plane into the target.
    void GetNegaLayerItem(CSheet* target);
    // On a frame sheet: the id (with this sheet's W-layer) of the region under the point, or 0.
    std::uint32_t GetNegaTharmal(CDPoint point);
    // Windows into result around the lands, via lands and part lands lying in the surface.
    void MakeWindow(CSur* surface, CSur& result);
    // CheckHoleOnItem with the placed parts' items on this layer gathered once by the caller (on a
    // sheet like this one); null gathers them here.
    bool CheckHoleOnItem(CHole* hole, bool withVias, CSheet* partItems);
    // MakeGroup on a plane with enough connection candidates: ids from the plane's regions.
    std::uint32_t MakeGroupNega();
    // The placed parts' items on this layer, copied into a sheet like this one.
    void GetPartItems(CSheet& target, int padsOnly);

    // Whole-sheet transforms.
    // Nothing on an empty sheet or a delta of exactly (0, 0); arcs whose two end checks differ
    // move only when allArcs is non-zero.
    void OffsetItem(const CDPoint& delta, int allArcs);
    void MirrorX(double x);
    void MirrorY(double y);
    void Rotate(const CDPoint& centre, double angle);

    // --- Binary record of the board file (SheetBinary.cpp) ---
    // Sheet type, layer and item count, then each kind's count and records: lines, arcs, lands,
    // holes, texts, terminals, surfaces, vias, parts. Copper groups are not written.
    void DataWrite(CArchive& ar, int version);
    // Reads a record into this (empty) sheet through the New operations, so the storing rules
    // apply. The sheet keeps its own type and layer: false when the record names others. A record
    // cut short throws ArchiveError and leaves the sheet empty.
    bool DataRead(CArchive& ar, int version);

    // --- Item text form, also the clipboard's text (SheetTextForm.cpp) ---
    // Storing: "Layer n t", the items' lines (arcs, holes, lands, lines, surfaces, terminals,
    // texts, parts, vias) and "LayerEnd n", with n = layer + 1; nothing for an empty sheet; -1.
    // Loading: reads up to and including the next "LayerEnd " line into this sheet and returns the
    // layer index of its "Layer " line (128 and above: the via and part sheet); -1 when the text
    // ends first (the items read so far stay).
    int SerializeText(CArchive& ar);
    // One line of the text without its end (LF, CR LF or a bare CR) into buffer: its length + 1,
    // or 0 at the end of the text (a zero byte or the end of the data, which also sets atEnd).
    int SerazileSub(CArchive& ar, std::string& buffer, bool& atEnd);

    // --- Whole-sheet changes and conversions (SheetTransform.cpp) ---
    // Lines, lands, arcs, surfaces and stroke texts take the turret (CItemBase::SetTurretNo).
    void ChangeTurret(int turret, bool refresh);
    // Every via takes the via number.
    void ChangeVia(int via);
    // Both end marks of every line and arc.
    void SetCheck(bool check);
    // Moves the attribute texts that are marked selected: line and arc names, free texts, the
    // parts' texts; the parts' bounds are recomputed.
    void OffsetAttr(const CDPoint& delta);
    // Lines, arcs, surfaces and parts scale; vias, lands, texts, terminals and holes move with the
    // scale. Under unequal factors every arc becomes line segments.
    void ScaleItem(const CDPoint& origin, const CDSize& factors);
    // Name texts of lines and arcs, free texts, and the parts' selected texts.
    void RotateText(const CDPoint& centre, double angle);
    // Free texts and the parts' texts that are marked selected.
    void MirrorXText(double x);
    void MirrorYText(double y);
    // Copies this work sheet's items into the part (texts "Name", "Ref" and "Val" left out); the
    // sheet keeps its items.
    void MakePart(CPart& part);
    // Lines become their outlines; arcs, surfaces and texts add their segments and stay. The number
    // of items converted.
    int ConvertLine();

    // --- Sorting (SheetOrder.cpp); selection sorts as SortLand ---
    // Terminals by the leading number of their number text (none counts 0).
    int SortTerNo();
    int SortHole();
    int SortLine();
    int SortText();
    // The lines in the order in which the reference line, from its start, crosses them (each
    // line's recorded crossing, CLine::SetFxRatio): 0 without lines, else 1.
    int SortLinebyFxPoint(const CLine& reference);

    // --- Clean-up, duplicates, text selection and outlines (SheetClean.cpp) ---
    // Marks as selected every text (names, free texts, terminal numbers, parts' texts) that the
    // rectangle touches; ResetTextSel clears the mark on all of them.
    void SetTextSel(const CDRect& rect);
    void ResetTextSel();
    // Deletes the lines whose ends coincide.
    void CleanZeroLine();
    // Deletes zero-length lines (those with a turret only when another line of that turret covers
    // their point), arcs without radius, empty texts and surfaces left without outline: 1 when
    // anything was deleted.
    int CleanNullItem();
    // Deletes the items lying wholly outside the board from the origin to extent: 1 when anything
    // was deleted.
    int CleanOutSideItem(const CDPoint& extent);
    // Whether a land, via, hole or terminal (kind: its input command id) at the item's position is
    // already there (holes and terminals also in the parts of the board's via and part sheet); with
    // adopt the item takes over the found one's turret, via, hole or number.
    int IsDup(CItemBase* item, int kind, bool adopt);
    // Deletes every item equal to an earlier one of its list (lines also when reversed; a
    // surviving line without a name takes the deleted one's): 1 when anything was deleted.
    int CleanDupItem();
    // A step of the board clean-up that has nothing to do: 0.
    int CleanLine();
    // With a null item: marks the ends of the lines and arcs that meet other lines or arcs, taking
    // open chains out into excluded until only closed outlines stay marked; true when any line or
    // arc is left. With an item: marks, from that item's end (1 start, 2 end) at point, every end
    // reached through coinciding ends; true when anything met it.
    bool FrameCheck(CItemBase* item, int end, CDPoint* point, std::vector<CItemBase*>* excluded);

    // --- Manufacturing tables (SheetCam.cpp) ---
    // The via and part sheet of the document's same set: the selection's for a selection sheet,
    // else the board's; null without a document.
    CSheet* GetViaPartSheet() const;
    // Adds the drill tools of the sheet's holes (and, on a hole layer, of the vias and the parts'
    // holes on this layer and vias) to the table of 100; toolCount counts the tools in it. A hit
    // limit of 0 puts no limit on the holes of one tool.
    void CheckHole(tagTCODE* tools, int hitLimit, int* toolCount);
    // Adds the sheet's flashes, draws and drawn lengths to the 121 aperture entries.
    void CheckTurret(tagDCODE* apertures);

    // --- Gerber and drill files of the layer (SheetGerber*.cpp) ---
    // Storing: the layer's photo-plot body (photo flag set) or drill body; the caller writes header
    // and trailer. Loading: reads a photo-plot or drill file into the sheet (ReadGerbar) and shows
    // what the reading reported in one message at its end.
    void SerializeGerbar(CArchive& ar, tagGERBAR& g);
    // Reads a file into the sheet; the result says whether it was well formed and holds the
    // messages of the reading. Nothing is shown.
    void ReadGerbar(CArchive& ar, tagGERBAR& g, struct CamReadResult& result);
    // Finishes one header or trailer line of the output side as the item writers' lines are.
    static void CodeConv(std::string& text, tagGERBAR g);
    // The two bodies of SerializeGerbar.
    void WriteGerbarPhoto(CArchive& ar, tagGERBAR& g);
    void WriteGerbarDrill(CArchive& ar, tagGERBAR& g);

    // --- Editing through the item dialogs (SheetEdit.cpp) ---
    // Runs the edit dialog of the selected items' kind: one item is edited by its own dialog,
    // several by a blank item in the dialog's multiple mode, of which only the fields the user set
    // are copied to every item. 1 when anything changed (one item: the dialog's answer).
    int EditItem();
    int EditVia();
    int EditHole();
    int EditLand();
    int EditSur();
    int EditLine();
    int EditText();
    int EditPart();
    // Applies the answers of a blank text to the texts of the list: 1 when any changed.
    int EditTextSub(CText* blank, std::vector<CText*>* texts);
    // Every free text takes the origin; with alsoSelected, also the selected terminal numbers and
    // part texts.
    void ChangeTextOrg(int origin, int alsoSelected);
    // Takes a numbering suffix ("++", "--", "+=n", "-=n") off the name: the step.
    static int ParseIncrementSuffix(std::string& name);
    // Trims trailing blanks off the name: the length in bytes of its trailing digits (full-width
    // digits count two bytes each).
    static int GetTrailingDigits(std::string& name);

    // --- Cutter edits on the lines the cutter path crosses (SheetCutter.cpp) ---
    // Chamfers each pair of crossed lines: second 0 makes first the chamfer's length, else the two
    // are the distances cut back on the first and the second line.
    void CornerItem(double first, double second);
    // Rounds each pair of crossed lines with an arc of the radius.
    void CornerRoundItem(double radius);
    // Divides arcs (and a lone line) into abs(count) pieces; a count below 0 also draws
    // abs(count) - 1 lines between each pair of crossed lines.
    void DivideItem(int count);
    // abs(count) concentric copies of every arc and parallel copies of every line crossed twice,
    // spaced by the distance (a positive count measures from the item's edge).
    void OffsetItem(double distance, int count);
    // Makes each crossed pair of lines and arcs meet.
    void TrimItem();

    // --- Drawing (SheetDraw.cpp) ---
    // The drawing colour under the frame's drawing mode.
    COLORREF GetColor();
    // Surfaces, lines, arcs, lands, texts, terminals, vias and holes, in that order.
    void DrawSheet(platform::DrawContext* dc);
    // The string printed for a text: the print keys replaced; empty: not printed.
    std::string GetPrintProperty(CText* text);

protected:
    // Assigns one hole to a tool of the table: true when it opened a new tool.
    bool CheckHoleSub(tagTCODE* tools, unsigned long hitLimit, CHole* hole);
    // Frees the item at pos of a kind's list after taking it out of its copper groups; the count
    // and the bounds follow.
    void RemoveItemAt(int kind, POSITION pos);
    // DeleteContents; the rectangle goes to covered. Without covered (the destructor's way)
    // nothing is measured and no ancestor is touched: freeing must not reach text measuring, nor
    // what it uses, which may already be gone while the program shuts down.
    void FreeContents(CDRect* covered);

    // Copper-group helpers (SheetNet.cpp).
    // Renames an id: on the vias of the via and part sheet (vias non-zero), else on the sheet's
    // lines, arcs, lands, surfaces and texts.
    void ChangeID(std::uint32_t oldId, std::uint32_t newId, int vias);
    // Appends every group of the sheet not yet listed that touches the group; the number appended.
    int GetShortItemID(CNetLine* group, std::vector<CNetLine*>* found);
    // 1 when the id occurs in the array (a -1 header is skipped with the two values after it).
    static int CheckID(const std::vector<std::uint32_t>* ids, std::uint32_t id);
    // Joins a and b in the runs of ids; 1 when the array's size changed.
    static int CheckAndSetID(std::vector<std::uint32_t>* groups, std::uint32_t a, std::uint32_t b, int add);
    // Adds the id to the run headed -1, part, index (made at the end when missing).
    static void CheckAndSetID(std::vector<std::uint32_t>* groups, std::uint32_t part, std::uint32_t index,
                              std::uint32_t id);
    // Puts the item into the group of that id, made when missing.
    void CorrectID2NetLineSub(CItemBase* item, std::uint32_t id);
    // Writes the W-layer into the low byte of every line, arc, land, surface and text id.
    void SetWLayerToID();

    // The list of a kind bit, or null.
    CItemList* ListOf(int kind);
    const CItemList* ListOf(int kind) const;

    DocumentServices* m_pDoc = nullptr;
    CNetLineList m_netLines;
    std::array<CItemList, SHEET_KIND_COUNT> m_lists; // indexed by SheetKindIndex
    tagLAYER m_layer;
    int m_nCrossLayer = 0;
    std::string m_strCrossLayer;
    int m_nWLayer = 0;
    int m_nCount = 0;
    std::uint32_t m_nNetID = 0;
    int m_nSheetType = SHEET_WORK;
    CDPoint m_point;

    // The spatial index and the change count it was built at.
    std::shared_ptr<CSheetIndex> m_index;
    std::uint64_t m_nChanges = 0;
    std::uint64_t m_nIndexChanges = 0;
};
