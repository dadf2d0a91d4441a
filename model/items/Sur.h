#pragma once
// Surface item: a filled area of a layer (a copper pour, a filled graphic area or a region read
// from a photo-plot). Its shape is a closed outline of line and arc items minus any number of
// cut-outs (windows), each itself a surface. The interior is hatched by fill lines that the surface
// generates from its outline at a pitch that follows its turret's width, in the direction of its
// angle. Named attributes are kept as property texts ("&name&value"); the system itself sets only
// "COC", a height attribute "top bottom" in millimetres.
//
// The surface owns everything in its five lists: outline lines, outline arcs, windows, fill lines
// and property texts. Fill lines are derived data: never stored, copied or compared.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/items/ItemBaseList.h"
#include "model/sheet/ItemList.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class DrawContext;
struct Region;
} // namespace platform
class CArchive;
class CArc;
class CLine;
class CSheet;
class CText;
struct tagDCODE;
struct tagGERBAR;

// Type word bits of a surface (the rest of the word is stored and compared unchanged).
enum SurType : int
{
    SUR_NEGA = 0x2,      // negative surface: the fill makes strips between every pair of crossings
    SUR_EDGE = 0x2000,   // stretch mode: some outline item has exactly one end marked
    SUR_FILLED = 0x4000, // the fill lines are current (a non-forced fill does nothing)
    SUR_NOFILL = 0x8000, // no fill lines drawn or made by a non-forced fill
    SUR_TRANSIENT = SUR_EDGE | SUR_FILLED // never in the binary record, ignored by comparison
};

// Marks that outline chaining puts on outline lines and arcs until ResetModify.
enum SurChainMark : int
{
    SUR_CHAIN_REVERSED = 0x10000, // a line swapped end for end, an arc walked from its end angle
    SUR_CHAIN_FIRST = 0x20000     // first item of a loop in the chained list
};

class CSur : public CItemBase
{
public:
    // Layer -1, turret -1, angle 0, type 0, empty lists.
    CSur();
    // An empty surface assigned from the other (operator=).
    CSur(const CSur& other);
    // An empty surface with that turret (and so an empty, generated fill).
    explicit CSur(int turret);
    // Copies of the given lines and arcs become the outline (arrows and end marks cleared), copies
    // of the texts its property texts; then the ends are snapped together and the turret of the
    // first line (else of the first arc) is taken. The third list is not used: every caller passes
    // it empty. The lists hold CLine, CArc and CText items respectively.
    CSur(const CItemBaseList& lines, const CItemBaseList& arcs, const CItemBaseList& unused,
         const CItemBaseList& texts);
    // From a "Sur " or "Wnd " header line: turret, type, angle in degrees, layer, id.
    explicit CSur(const char* line);
    ~CSur() override;

    // Copies the item base, then APPENDS copies of the other's outline lines and arcs (end marks
    // cleared), windows and property texts; fill lines are not copied. Clears the edge and
    // fill-made bits. The target's own items stay in front of the copies.
    CSur& operator=(const CSur& other);
    // Turret, type apart from the edge and fill-made bits, and pairwise in list order the outline
    // lines, outline arcs, windows and property texts. Layer, angle, id and fill are not compared.
    bool operator==(const CSur& other) const;
    int Compare(const CSur&) const { return 0; }

    // --- Contents ---
    // Takes the item itself as an outline line or arc; the surface becomes its parent.
    CLine* AddLine(std::unique_ptr<CLine> line);
    CArc* AddArc(std::unique_ptr<CArc> arc);
    // Copies (parent = this surface), returned.
    CArc* NewArc(const CArc& arc);
    CText* NewText(const CText& text);
    // A copy of the given surface becomes a window: its arcs are cut down to the outer boundary of
    // overlapping circles, duplicates dropped, and this surface's fill is deleted.
    CSur* NewWindow(const CSur& window);
    // Deletes every item of all five lists.
    void Delete();
    // Deletes the outline line or arc that is this very object, searching the windows too;
    // property texts and fill lines are not searched. 1 when found.
    int DeleteItem(const CItemBase* item);
    // Marks the outline ends inside the rectangle (windows too) and sets the edge bit when some
    // outline item, or a window, has exactly one end marked. The bit is never cleared here.
    void SetCheck(const CDRect& rect);

    // --- Accessors ---
    int IsNega() const { return m_nType & SUR_NEGA; }
    int CheckEdge() const { return m_nType & SUR_EDGE; }
    int IsNoCont() const { return m_nType & SUR_NOFILL; }

    int GetLineCount() const { return m_Lines.GetCount(); }
    int GetArcCount() const { return m_Arcs.GetCount(); }
    int GetWndCount() const { return m_Windows.GetCount(); }
    int GetSurLineCount() const { return m_SurLines.GetCount(); }
    int GetTextCount() const { return m_Texts.GetCount(); }
    // Walks over one list: the first position (null when empty), then the item at a position with
    // the position moved on (null after the last).
    POSITION GetFirstLinePos() { return m_Lines.GetHeadPosition(); }
    CLine* GetNextLine(POSITION& pos);
    POSITION GetFirstArcPos() { return m_Arcs.GetHeadPosition(); }
    CArc* GetNextArc(POSITION& pos);
    POSITION GetFirstWndPos() { return m_Windows.GetHeadPosition(); }
    CSur* GetNextWnd(POSITION& pos);
    POSITION GetFirstSurLinePos() { return m_SurLines.GetHeadPosition(); }
    CLine* GetNextSurLine(POSITION& pos);
    POSITION GetFirstTextPos() { return m_Texts.GetHeadPosition(); }
    CText* GetNextText(POSITION& pos);
    // The first outline arc (null when there is none).
    CArc* GetHeadArc();
    // The start of the first outline line, else the start point of the first outline arc; (0, 0)
    // for a surface without outline.
    CDPoint GetPoint();

    // --- Properties ("&name&value" texts; names compare case-insensitively) ---
    std::string GetProperty(const char* name) const;
    void DeleteProperty(const char* name);
    // An empty value only deletes the property.
    void SetProperty(const char* name, const char* value);

    // Runs the surface dialog; true when accepted. With several, this is a blank scratch surface
    // that returns the choices: its turret (negative: leave unchanged), its "COC" property, and as
    // its layer number the "COC" check state x 4 + the no-fill check state (0 clear, 1 ticked,
    // 2 undetermined).
    bool EditSur(bool several);

    // --- Attributes and bounds ---
    // Sets the turret of every outline item and window and its own, then regenerates the fill.
    // With refresh false nothing happens when the number is already the surface's.
    void SetTurretNo(int turret, bool refresh = false);
    // Sets the layer of every outline item and window and its own (fill lines keep theirs).
    void SetLayerNo(int layer);

    // --- Fill and outline housekeeping ---
    // The hatch pitch of a turret width: 0.05 below 0.1, w - 0.02 below 0.2, 0.9 w up to 5.0,
    // w - 0.5 above.
    static double FillPitch(double width);
    // Regenerates the fill lines. Without force nothing happens while the fill is current or the
    // surface has no fill; a non-forced run marks the fill current. A fill that would take more
    // scan lines, fill lines or crossing tests than any board needs is not made: the surface is
    // kept without fill lines and says so (IsFillTooLarge) until the next fill.
    void MakeSurLine(bool force);
    // Whether the last fill was refused as too large.
    bool IsFillTooLarge() const { return m_bFillTooLarge; }
    // When the last fill was refused as too large, tells the user, once per archive (a load).
    void ReportFillTooLarge(CArchive& ar) const;
    // Tells the user that a surface read was kept without its fill, which was too large.
    static void ShowFillTooLarge();
    // Work done by the fills of this thread so far: scan lines run and fill lines made.
    struct FillWork
    {
        long long scanLines = 0;
        long long fillLines = 0;
    };
    static FillWork& FillWorkDone();
    // Deletes the fill lines and marks the fill out of date.
    void DeleteSurLine();
    // Snaps outline ends lying within 0.01 of each other together (lines adapt to arcs, later lines
    // to earlier ones), windows too.
    void Normalize();
    // Removes zero-length outline lines and arcs without radius (windows too); 1 when it removed
    // anything (the surface is then normalized).
    int CleanNullItem();
    // 1 when the surface is exactly one full-circle outline arc.
    int IsCircle() const;
    // Appends the outline lines and arcs (not the windows) to the list in chained order: each loop
    // is a run that begins with an item marked SUR_CHAIN_FIRST; lines are swapped and arcs marked
    // SUR_CHAIN_REVERSED where they run backwards. Call ResetModify afterwards.
    void CalcLineList(CItemBaseList& list);
    // Continues a chain from a point (the end of the item appended last).
    void CalcLineListSub(CItemBaseList& list, const CDPoint& end);
    // Undoes the chaining marks (windows too), swapping marked lines back.
    void ResetModify();
    // Gives every fill line with id 0 the id of its connected group (counter + 256, + 512, ...);
    // returns the number of groups made.
    int MakeSurLineGroup(unsigned int counter);
    // Floods the seed's id over the fill lines connected to it.
    void MakeSurLineGroupSub(CLine* seed);
    // Whether two fill lines (ends[0], ends[1] the first, ends[2], ends[3] the second) connect.
    int MakeSurLineGroupChk(const CDPoint* ends);

    // --- Transforms (windows too; none regenerates the fill) ---
    // In stretch mode only marked ends move and the fill lines stay.
    void Offset(const CDPoint& d);
    // Nothing for an angle of 0 or in stretch mode. With fill, the fill lines turn too unless the
    // surface has no fill. The surface's own angle is not changed.
    void Rotate(const CDPoint& centre, double angle, bool fill);
    void MirrorX(double x, bool fill);
    void MirrorY(double y, bool fill);
    // Arcs stay arcs under equal factors; otherwise each becomes scaled line segments.
    void Scale(const CDPoint& origin, const CDSize& factors);

    // --- Hit tests and snapping (the bounds are brought up to date first) ---
    // On an outline stroke or on a window's outline stroke; unless frameOnly, also on a fill line.
    bool CheckPoint(const CDPoint& p, bool frameOnly);
    // On the stroke of an outline line or arc (windows not included).
    bool CheckFramePoint(const CDPoint& p);
    // On the outline stroke of a window; false as soon as p lies inside a window instead.
    bool CheckWindowPoint(const CDPoint& p);
    // 1 when a fill line, made afresh for the test, meets the rectangle (a surface without fill
    // is left without fill lines again).
    int CheckPoint(const CDRect& r);
    // The outline line or arc under p (windows searched after the surface's own), or null.
    CItemBase* GetFrameItem(const CDPoint& p);
    // Snaps p to the outline end nearest to it among those within distance; 1 when snapped.
    int CheckItemPoint(CDPoint& p, double distance);

    // --- Copper contact, clearance and outline ---
    // 1 when an outline stroke (windows one level down) or a fill line touches the item (lines,
    // lands, holes, arcs, texts and surfaces).
    int CheckShort(CItemBase* item);
    // 1 when the outline (windows one level down) comes closer to the item than the rule allows
    // without the surface touching it; every violation's positions go to the rule's error points.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Adds the outline grown by grow to the sheet as lines and arcs of turret 0, windows included.
    void GetFrameData(CSheet* sheet, double grow);
    // Removes the fill lines whose middle lies on the item (lines, lands, arcs, texts, holes and
    // surfaces). With no item, removes the fill lines that reach the left or right extreme.
    void CutSurLine(CItemBase* item);

    // --- Conversion ---
    // Adds copies of the outline lines and arcs, windows included, to the sheet.
    void BreakItem(CSheet& sheet);
    // Adds the outline lines, the outline arcs as line segments and the fill lines, windows
    // included, to the sheet; always 1.
    int ConvertLine(CSheet& sheet);

    // --- Drawing (mode: the layer's display class) ---
    // The outline lines and arcs, windows' too, in the mode. With 4 the area itself as a region
    // (halftone in the pen's colour on screen, the selected brush when printing); otherwise the fill
    // lines, every i-th of them only where their pitch would come closer than 8 device units (not
    // in class 8).
    void DrawSur(platform::DrawContext* dc, int mode);
    // Adds the loops of a chained list (CalcLineList) to the region as polygons in drawing units: a
    // line gives its start, an arc its polyline. Loops combine by exclusive or, so that windows
    // and nested loops become holes.
    static void CalcDrawRgn(platform::Region& region, CItemBaseList& list);

    // --- Photo-plot output and aperture usage ---
    // Writes the outline lines, the outline arcs (as transformed copies when the output mirrors or
    // turns), the windows' outlines (never a window's fill: it lies in the cut-out) and the fill
    // lines as they stand (none with SUR_NOFILL), each as strokes of its aperture.
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g);
    // Counts the strokes and their lengths per turret: outline, windows' outlines, and the fill
    // that a regeneration would make, except for a surface without fill (SUR_NOFILL).
    void CheckTurret(tagDCODE* table);

    // --- Persistent forms ---
    // Binary record: DataRead when the archive loads, else DataWrite. With keep 0 a loaded record is
    // read and dropped. A truncated or malformed record throws ArchiveError and leaves the surface
    // as it was. A loaded surface's fill is out of date: it is made once, where the surface is
    // stored or first asked for it.
    void Serialize(CArchive& ar, int version, int keep = 1);
    // The "Sur " block (or "Wnd " block for a window) of the item text form.
    void SerializeText(CArchive& ar, bool window = false);
    std::string GetTextLines(bool window = false);

protected:
    // Union of the outline lines' and arcs' rectangles (windows and fill lines do not count).
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar);
    void DataRead(CArchive& ar, int version, int keep);

private:
    struct ChainState;
    struct GroupIndex;

    // The record's fields and contents read into this fresh surface, without generating a fill;
    // depth counts the enclosing windows.
    void ReadRecord(CArchive& ar, int version, int keep, int depth);
    // The angle given to itself and to its windows at every depth.
    void SetHatchAngle(double angle);
    // The turret given to every outline item and window and to itself, without a fill.
    void PushTurret(int turret, bool refresh);
    // Adds the crossings test of the connector with every outline item of this surface and of its
    // windows (one level) whose rectangle meets the connector's.
    bool ConnectorCrossesOutline(const CDPoint& from, const CDPoint& to);
    void RotateFillLines(const CDPoint& centre, double angle);
    void MarkDirty() { ResetBounding(); }

    CItemList m_Lines;                   // CLine
    CItemList m_Arcs;                    // CArc
    CItemList m_Windows;                 // CSur
    CItemList m_SurLines;                // CLine, generated
    CItemList m_Texts;                   // CText
    GroupIndex* m_pGroupIndex = nullptr; // only while MakeSurLineGroup runs
    bool m_bFillTooLarge = false;        // the last fill was refused (never stored or copied)
};
