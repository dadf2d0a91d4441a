#pragma once
// Line item: a copper track on a wiring layer, a graphic line on any other layer, or a dimension
// line with arrow heads and a measured text. Besides the two ends it keeps stretch marks for each
// end, an arrow code for each end (0 none, positive an arrow head whose barbs are code/100 mm
// long, negative a dot of radius -(code >> 1)/100 mm), a dimension attribute kept only with a line
// type, the 16.16 position of a picked point along the line and an owned name text.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/items/NameText.h"
#include "model/items/Text.h"
#include "model/services/Records.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>

class CArchive;
namespace platform {
class DrawContext;
}
class CArc;
class CHole;
class CLand;
class CSheet;

// Type word bits that belong to a line (the rest of the word is the item base's).
enum LineType : int
{
    LINE_TYPE_MASK = 0xE00, // 0 solid; a non-zero line type also keeps the dimension field
    LINE_DOTTED = 0x200,
    LINE_DASHED = 0x400,
    LINE_DASHDOT = 0x600,
    LINE_DASHDOTDOT = 0x800,
    LINE_NAMED = 0x1000,      // the name text is valid
    LINE_AUTO_SIZE = 0x2000,  // the name shows the length (with LINE_NAMED)
    LINE_AUTO_ANGLE = 0x4000, // the name shows the direction in degrees (with LINE_NAMED)
    LINE_SWAPPED = 0x10000    // set by the surface outline processing, never by the line
};

// A number's text shortened for display: exponent forms printed again in fixed point, then
// trailing zeros and a trailing decimal point removed ("1.500" -> "1.5", "-0.000" -> "0").
std::string TrimNumberString(const std::string& text);

class CLine : public CItemBase
{
public:
    CLine();
    // Bits 0x7F000 of type are dropped: a line made this way has no name and no swapped mark.
    CLine(const CDPoint& start, const CDPoint& end, int turret, int type);
    // From a "Line" text line; a name comes afterwards through SetName(const char*).
    explicit CLine(const char* line);
    CLine(const CLine& other);
    ~CLine() override;

    // Copies the item base (parent included), ends, marks, arrows, dimension and the picked
    // position; the name text only when the other line has one.
    CLine& operator=(const CLine& other);
    // Ends (1e-6, start with start), type word, turret, arrows and dimension; layer, id, marks,
    // picked position and name text are not compared.
    bool operator==(const CLine& other) const;
    // The sheet's sort order: angle + midpoint x - midpoint y.
    bool operator<(CLine& other);

    // --- Ends and measures ---
    const CDPoint& GetStartPoint() const { return m_ptStart; }
    const CDPoint& GetEndPoint() const { return m_ptEnd; }
    void SetStartPoint(const CDPoint& p);
    void SetEndPoint(const CDPoint& p);
    // Start and end from a two-point array.
    void SetPoint(const CDPoint* points);
    double GetLength() const;
    // The drawn length for aperture statistics: the line plus two barbs per arrow head.
    double GetGerbarLength() const;
    // With vertical 0: exactly horizontal and not a point; otherwise exactly vertical.
    bool IsHVLine(int vertical) const;
    // Exchanges the ends with their marks and arrows (not the picked position, not the swapped bit).
    void Swap();
    // Swap when the start lies right of the end, or else above it.
    void NormalizeX();

    int GetLineType() const { return m_nType & LINE_TYPE_MASK; }
    void SetLineType(int lineType) { ModifyType(lineType, LINE_TYPE_MASK); }
    int GetDimension() const { return m_nDimension; }
    void SetDimensionValue(int value) { m_nDimension = value; }
    int IsSwap() const { return m_nType & LINE_SWAPPED; }

    // --- Name and dimension text ---
    const std::string& GetName() const { return m_Name.Peek().GetName(); }
    CText* GetNameText() { return &m_Name.Get(this); }
    const CText* GetNameText() const { return &m_Name.Get(const_cast<CLine*>(this)); }
    // The name text when one has been made, else null: for walks over every item that would
    // otherwise make a text for each (an unmade text reads as a fresh, empty one).
    CText* HeldNameText() { return m_Name.Has() ? &m_Name.Get(this) : nullptr; }
    int IsNameEmpty() const { return (m_nType & LINE_NAMED) == 0; }
    bool IsAutoDim() const
    {
        return (m_nType & LINE_NAMED) && (m_nType & (LINE_AUTO_SIZE | LINE_AUTO_ANGLE));
    }
    bool IsAutoSize() const { return (m_nType & LINE_NAMED) && (m_nType & LINE_AUTO_SIZE); }
    bool IsAutoAng() const { return (m_nType & LINE_NAMED) && (m_nType & LINE_AUTO_ANGLE); }
    // The rest of a "Name" text line (a text record); an empty record removes the name.
    void SetName(const char* record);
    // A new name text at the midpoint, along the line, bottom-centred, of the given size; hidden
    // unless visible. An empty text changes nothing.
    void SetName(const std::string& text, int size, bool visible);
    // Measures an auto-size or auto-angle line into its name text and places the text beside it.
    void SetDimension(const tagDIMS& style);

    // --- Arrows ---
    int GetStartArrow() const { return m_nStartArrow; }
    int GetEndArrow() const { return m_nEndArrow; }
    // 1 start arrow head, 4 start dot, 2 end arrow head, 8 end dot.
    int IsArrow() const;
    void SetArrow(int start, int end);
    // Toggles one end (1 the start, anything else the end): off, or on as the style's arrow head
    // or, with dot, the style's dot.
    void SetArrow(int which, const tagDIMS& style, bool dot);
    // points[0] is the tip and points[1] the other end of the line on entry; points[1] and
    // points[2] become the two barb ends of an arrow head of the given code, with the arrow angle
    // of the frame's dimension style or the given one (a line's own board's: DimensionStyle).
    static void CalcArrowPoint(CDPoint* points, int code);
    static void CalcArrowPoint(CDPoint* points, int code, double arrowAngle);
    // The two barb strokes of the start (end) arrow: from the tip to each barb end, with this
    // line's turret and type 0.
    void GetStartArrowLine(CLine* first, CLine* second) const;
    void GetEndArrowLine(CLine* first, CLine* second) const;

    // --- Stretch marks and picked position ---
    void SetCheck(bool check);
    // which: 1 start, 2 end, 3 both; other values change nothing.
    void SetCheck(int which, bool check);
    // The end's mark when p is the end, otherwise the start's.
    void SetCheck(const CDPoint& p, bool check);
    // Each mark = whether that end lies in the rectangle.
    void SetCheck(const CDRect& rect);
    bool CheckStartEdge() const { return m_bStartCheck; }
    bool CheckEndEdge() const { return m_bEndCheck; }
    // Exactly one end marked.
    bool CheckEdge() const { return m_bStartCheck != m_bEndCheck; }
    bool CheckSelect() const { return m_bStartCheck || m_bEndCheck; }
    std::uint32_t GetFxRatio() const { return m_nFxRatio; }
    void SetFxRatioValue(std::uint32_t ratio) { m_nFxRatio = ratio; }
    // The ratio of p's distance from the start to the length, as 16.16 (the line must not be a point).
    void SetFxRatio(const CDPoint& p);
    // The x coordinate of the point at the stored ratio, as 16.16.
    FIXED GetFxRatioX() const;

    // The bend point of a two-segment path from the start to p whose first segment runs in one of
    // the eight 45-degree directions.
    CDPoint LockPoint(const CDPoint& p);

    // --- Hit tests ---
    int CheckPoint(const CDPoint& p);
    bool CheckPoint(const CDRect& r);
    // Snaps p to the nearer end when within distance; 1 when snapped.
    int CheckItemPoint(CDPoint& p, double distance);

    // --- Crossings ---
    // Moves p onto the line (when not already there); 1 when the foot lies within the segment.
    int CrossPoint(CDPoint* p);
    // Crossing of the two infinite lines; 0 when parallel.
    int CrossPoint(CLine other, CDPoint* out);
    // Crossing of this segment with the other segment.
    int CrossAPoint(CLine other, CDPoint* out);
    int CrossAPoint(CLine other);
    // Crossing of the other segment with this line taken as horizontal (x1 <= x2); only out->x
    // is meaningful.
    int CrossXPoint(CLine other, CDPoint* out);
    // Crossings of the infinite line with the arc's whole circle into out[0..1]: 0, 1 (tangent)
    // or 2. The sweep and the segment's ends are not tested.
    int CrossPoint(CArc* arc, CDPoint* out);
    // Whether the segment crosses the arc within its sweep.
    int CrossAPoint(CArc arc);
    // Crossings of the segment with the arc into out[0..1], as bits 1 and 2.
    int CrossAPoint(CArc arc, CDPoint* out);
    // Crossings of this line taken as horizontal (x1 <= x2) with the arc, as bits 1 and 2; both
    // outputs get the line's y.
    int CrossXPoint(CArc arc, CDPoint* out);

    // --- Copper contact, clearance and outline ---
    // 1 when the line's copper touches the item: lines, lands, arcs, holes and surfaces; every
    // other kind 0.
    int CheckShort(CItemBase* item);
    // The tests of one kind (the dispatch above picks them).
    int CheckShort(CLine* other);
    int CheckShort(CLand* land);
    int CheckShort(CHole* hole);
    int CheckShort(CArc* arc);
    // 1 when the line touches the polyline of the points: n > 1 points in a row, or -n points
    // closed into a ring; anything else 0.
    int CheckShort(const CDPoint* points, int n);
    // 1 when the item (or an arrow of either) comes closer to this line than the rule allows
    // without touching it; each violation appends its two positions to the rule's error points.
    // Arcs, texts, holes and surfaces decide the pairing themselves.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Adds the outline of the drawn line grown by grow to the sheet as lines and arcs of turret 0
    // and type 0, then the outlines of its arrow barbs.
    void GetFrameData(CSheet* sheet, double grow);
    // The outline at grow 0; always 1.
    int ConvertLine(CSheet& sheet);

    // --- Trimming and joining ---
    // Moves one end to p (then length back toward the other end); 1 start, 2 end.
    int TrimPoint(const CDPoint& p, double length);
    // Joins a collinear line of the same turret into this one.
    bool TrimLine(CLine* other);

    // --- Transforms (only the marked end moves when exactly one end is marked) ---
    void Offset(const CDPoint& d);
    void Scale(const CDPoint& origin, const CDSize& factors);
    void Rotate(const CDPoint& center, double angle);
    void MirrorX(double x);
    void MirrorY(double y);

    // --- Drawing (mode: the layer's display class; bit 0x80 is ignored) ---
    // The line in the context's current pen (1 thin, in its line type; 2 and 8 the outline; 4 the
    // outline filled), then its arrows and its name text. Nothing when off the visible area.
    void DrawLine(platform::DrawContext* dc, int mode);
    // Rubber band: the line from its start to `to` in XOR with a white pen; drawing it twice
    // erases it.
    void DrawLine(platform::DrawContext* dc, CDPoint to, int mode);
    // Only the name text.
    void DrawName(platform::DrawContext* dc);

    // --- Edit ---
    // Runs the line dialog on a copy; true when accepted. With multiple the line is the blank of
    // several lines and arcs, which keeps the dialog's codes as they come.
    bool InputText(bool multiple);

    // --- Photo-plot output ---
    // Writes the line as a stroke of its aperture (continuing the open stroke when that ends on
    // one of its ends), then the barbs of its arrow heads and its name text (textFlag: the name
    // text's mirror argument).
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool textFlag);

    // --- Persistent forms ---
    // Binary record: DataRead when the archive loads, else DataWrite. A truncated record throws
    // ArchiveError and leaves the line as it was.
    void Serialize(CArchive& ar, int version);
    // The "Line" text line, and a "Name" line when the line has a name.
    void SerializeText(CArchive& ar);
    // The same lines as bytes.
    std::string GetTextLines();

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar);
    void DataRead(CArchive& ar, int version);

private:
    // The arrow heads (barb lines in the mode) or dots of the start and of the given end.
    void DrawArrow(platform::DrawContext* dc, CDPoint end, int mode);
    // The outline of the stroke from `from` to `to` as a path figure: the hull of the end squares
    // for a square turret, else two sides and two half circles of Bezier quarters.
    void AddOutlinePath(platform::DrawContext* dc, const CDPoint& from, const CDPoint& to) const;
    // Whether the line's copper covers p, edges included on every side.
    bool Covers(const CDPoint& p);
    // The clearance of a land to this line (the land case of DRC_ShortCheck).
    int CheckLandClearance(tagDRCSPEC* drc, CLand* land);
    // Half the line width, or 0.025 for a line without width, so that hairlines can be hit.
    double GetHitHalfWidth() const;
    CDPoint GetCenterPoint() const;
    // The bounds of the line and its arrows, without the name text.
    CDRect CalcBodyRect() const;
    // The end rotated about the start by minus the line's angle (the bounds are current).
    CDPoint FrameEnd(double angle) const;
    bool CheckPointBody(const CDPoint& p);
    bool CheckRectBody(const CDRect& r);
    // The dimension style of the item's own board (the frame's for an item on no board), zeros
    // without either.
    tagDIMS DimensionStyle() const;
    // The ends after a turn about c, with a nearly horizontal or vertical result made exact.
    static void RotateEnds(CDPoint& start, CDPoint& end, const CDPoint& c, double angle);
    void MarkDirty() { ResetBounding(); }

    bool m_bStartCheck = false;
    bool m_bEndCheck = false;
    CDPoint m_ptStart;
    CDPoint m_ptEnd;
    int m_nStartArrow = 0;
    int m_nEndArrow = 0;
    int m_nDimension = 0;
    std::uint32_t m_nFxRatio = 0;
    CText& Name() { return m_Name.Get(this); }

    CNameText m_Name;
};
