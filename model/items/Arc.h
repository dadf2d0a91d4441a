#pragma once
// Arc item: a copper track drawn as an arc, a graphic arc or circle on any layer, or an angle or
// arc-length dimension with an owned name text. The arc runs from the start angle to the end angle
// counter-clockwise, clockwise when the type word has ARC_CW; it is a full circle when the two
// angles differ by less than 0.001. Besides the circle it keeps stretch marks for each end, an
// arrow code for each end (0 none, positive an arrow head whose barbs are code/100 mm long,
// negative a dot), a dimension value kept only with a line type, and the 16.16 position of a
// picked point within the sweep.

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
#include <vector>

class CArchive;
class CHole;
class CLand;
class CLine;
class CSheet;

// Type word bits that belong to an arc (the rest of the word is the item base's).
enum ArcType : int
{
    ARC_CW = 0x100,             // runs clockwise from the start to the end
    ARC_LINE_TYPE_MASK = 0xE00, // 0 solid; a non-zero line type also keeps the dimension value
    ARC_NAMED = 0x1000,         // the name text is valid
    ARC_AUTO_SIZE = 0x2000,     // the name shows the arc length (with ARC_NAMED)
    ARC_AUTO_ANGLE = 0x4000,    // the name shows the sweep in degrees (with ARC_NAMED)
    ARC_SWAPPED = 0x10000       // walked from the end to the start (surface outline chaining)
};

class CArc : public CItemBase
{
public:
    // Radius and angles 0, no marks, arrows or dimension value, an empty name text.
    CArc();
    CArc(const CArc& other);
    // Angles in radians (normalised), type stored as given, no arrows, empty name text.
    CArc(const CDPoint& centre, double radius, double startAngle, double endAngle, int type, int turret);
    // From an "Arc" text line (angles in degrees); a name comes afterwards through
    // SetName(const char*). Fields the line lacks stay zero.
    explicit CArc(const char* line);
    ~CArc() override;

    // Copies the item base (parent included), circle, arrows, marks, dimension value and picked
    // position; the name text only when the other arc has one. Both angles are normalised.
    CArc& operator=(const CArc& other);
    // Centre (1e-6), radius and angles exactly, type word, turret, arrows and dimension value;
    // then the name texts when both arcs are named.
    bool operator==(const CArc& other) const;
    // Geometry only: centre, radius and both angles each within 1e-6.
    bool CheckEq(const CArc& other) const;

    // --- Circle and measures ---
    const CDPoint& GetCenter() const { return m_ptCenter; }
    double GetRadius() const { return m_dRadius; }
    double GetStartAngle() const { return m_dStartAngle; }
    double GetEndAngle() const { return m_dEndAngle; }
    // Raw setters: the value is stored as given, not normalised, and the bounds are not marked.
    void SetRadius(double radius) { m_dRadius = radius; }
    void SetStartAngle(double angle) { m_dStartAngle = angle; }
    void SetEndAngle(double angle) { m_dEndAngle = angle; }
    int GetLineType() const { return m_nType & ARC_LINE_TYPE_MASK; }
    void SetLineType(int lineType) { ModifyType(lineType, ARC_LINE_TYPE_MASK); }
    int IsCW() const { return m_nType & ARC_CW; }
    bool IsCircle() const;
    // The sweep from the start to the end in the arc's direction, in [0, 2 pi).
    double GetSweep() const;
    // Sweep x radius; 2 pi x radius for a full circle.
    double GetLength() const;
    int GetDimension() const { return m_nDimension; }
    void SetDimensionValue(int value) { m_nDimension = value; }

    CDPoint GetStartPoint() const { return GetPoint(m_dStartAngle); }
    CDPoint GetEndPoint() const { return GetPoint(m_dEndAngle); }
    // Whether the angle lies within the sweep (always for a full circle).
    bool CheckAngle(double angle) const;

    // --- Name and dimension text ---
    const std::string& GetName() const { return m_Name.Peek().GetName(); }
    CText* GetNameText() { return &m_Name.Get(this); }
    const CText* GetNameText() const { return &m_Name.Get(const_cast<CArc*>(this)); }
    // The name text when one has been made, else null: for walks over every item that would
    // otherwise make a text for each (an unmade text reads as a fresh, empty one).
    CText* HeldNameText() { return m_Name.Has() ? &m_Name.Get(this) : nullptr; }
    int IsNameEmpty() const { return (m_nType & ARC_NAMED) == 0; }
    bool IsAutoDim() const { return (m_nType & ARC_NAMED) && (m_nType & (ARC_AUTO_SIZE | ARC_AUTO_ANGLE)); }
    bool IsAutoSize() const { return (m_nType & ARC_NAMED) && (m_nType & ARC_AUTO_SIZE); }
    bool IsAutoAng() const { return (m_nType & ARC_NAMED) && (m_nType & ARC_AUTO_ANGLE); }
    // The rest of a "Name" text line (a text record); an empty record removes the name.
    void SetName(const char* record);
    // A new name text of the given size, hidden unless visible, placed by ChangeDimension. An empty
    // text changes nothing.
    void SetName(const std::string& text, int size, bool visible);
    // Makes the arc an angle dimension with the style's text size.
    void SetDimension(const tagDIMS& style);
    // Measures an auto-angle or auto-size arc into its name text and places the text outside the
    // middle of the arc, reading along it.
    void ChangeDimension();

    // --- Arrows ---
    int GetStartArrow() const { return m_nStartArrow; }
    int GetEndArrow() const { return m_nEndArrow; }
    // 1 start arrow head, 4 start dot, 2 end arrow head, 8 end dot.
    int IsArrow() const;
    void SetArrow(int start, int end);
    // Toggles one end (1 start, 2 end; other values change nothing): off, or on as the style's
    // arrow head or, with dot, the style's dot.
    void SetArrow(int which, const tagDIMS& style, bool dot);
    // Tip, first barb end and second barb end of the arrow head at one end (1 the start, anything
    // else the end); the barbs leave the tip along the sweep, out of the arc.
    void CalcArrowPoint(int end, CDPoint* points) const;
    // The two strokes of that end's arrow head, from the tip to each barb end, with this arc's
    // turret and type 0.
    void GetStartArrowLine(CLine* first, CLine* second) const;
    void GetEndArrowLine(CLine* first, CLine* second) const;
    // The radius in millimetres of the dot that a negative arrow code draws.
    static double GetDotRadius(int code);

    // --- Stretch marks and picked position ---
    void SetCheck(bool check);
    // which: 1 start, 2 end, 3 both; other values change nothing.
    void SetCheck(int which, bool check);
    // Each mark = whether that end lies in the rectangle.
    void SetCheck(const CDRect& rect);
    bool CheckStartEdge() const { return m_bStartCheck; }
    bool CheckEndEdge() const { return m_bEndCheck; }
    // Exactly one end marked.
    bool CheckEdge() const { return m_bStartCheck != m_bEndCheck; }
    bool CheckSelect() const { return m_bStartCheck || m_bEndCheck; }
    // Makes a full circle: the start takes the end angle when only the start is marked, otherwise
    // the end takes the start angle.
    void SetCircle();
    std::int32_t GetFxRatio() const { return m_nFxRatio; }
    void SetFxRatioValue(std::int32_t ratio) { m_nFxRatio = ratio; }
    // Stores where p's angle lies within the sweep, as a 16.16 fraction of it.
    void SetFxRatio(const CDPoint& p);

    // --- Construction from points ---
    // Centre as given; angles of the two points about it (normalised); radius to the start point.
    void SetArcPoint(const CDPoint& centre, const CDPoint& start, const CDPoint& end);
    // The same with the angles taken by acos from the x offsets, not normalised further.
    void SetArcPoint2(const CDPoint& centre, const CDPoint& start, const CDPoint& end);
    // Keeps both end points and moves the centre along the chord's perpendicular bisector to where
    // the parallel to the chord through p meets it.
    void SetCenter(const CDPoint& p);
    // The centre of the arc of that radius through p1 and p2, on the side the arc's direction
    // gives; the chord midpoint when the radius is 0 or does not reach.
    CDPoint CalcCenterPoint(const CDPoint& p1, const CDPoint& p2, double radius) const;
    // Moves one end toward p, the new sweep rounded to 15 (snap 1) or 45 (snap 2) degrees.
    void SetStartAngle(const CDPoint& p, int snap);
    void SetEndAngle(const CDPoint& p, int snap);

    // --- Crossings ---
    // Puts p onto the arc when its angle lies within the sweep: 1 when the new point is neither
    // end, 0 otherwise (p unchanged when outside the sweep).
    int CrossPoint(CDPoint* p);
    // Crossings of the two whole circles into out[0..1]; their count.
    int CrossPoint(CArc* other, CDPoint* out);
    // Whether the two arcs cross or touch within their sweeps.
    bool CrossAPoint(CArc other);

    // --- Hit tests ---
    // Whether p lies on the arc drawn with its width and round ends (width 0 counts as 0.05).
    bool CheckPoint(const CDPoint& p);
    // Whether the drawn arc (its stroke with round ends), or its name text, meets the rectangle.
    bool CheckPoint(const CDRect& r);
    // Snaps p to the nearer end when within distance and near the arc; 1 when snapped.
    int CheckItemPoint(CDPoint& p, double distance);

    // --- Copper contact, clearance and outline ---
    // Non-zero when the arc's copper touches the item's: lines, lands, arcs, holes and surfaces;
    // every other kind 0.
    int CheckShort(CItemBase* item);
    // The tests of one kind (the dispatch above picks them).
    int CheckShort(CLand* land);
    int CheckShort(CHole* hole);
    int CheckShort(CArc* other);
    // Non-zero when the arc or its arrow strokes come closer to the item than the rule allows
    // without touching it; the violation's two positions go to the rule's error points.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Adds the outline of the stroke grown by grow to the sheet as arcs and lines of turret 0: the
    // outer arc, and with flag 0 also the inner arc and the two end caps; then the arrow outlines.
    void GetFrameData(CSheet* sheet, int flag, double grow);

    // --- Trimming and overlap ---
    // Cuts the arc at p1 (or p2) keeping the part that holds the picked point: 1 start moved,
    // 2 end moved, 3 full circle opened.
    int TrimPoint(const CDPoint& p1, const CDPoint& p2);
    // Makes both arcs the outer boundary of their two overlapping circles: 3, or 0 when the circles
    // do not cross.
    int TrimArc(CArc* other);
    // Reduces the arc to the overlap of its sweep with the other's (both taken counter-clockwise on
    // one circle): 0 no overlap, 1 one piece (this), 2 two pieces (this and the other).
    int AndArc(CArc* other);

    // --- Transforms ---
    // Only the start marked: the start moves toward p; only the end marked: the end moves toward p;
    // otherwise the whole arc moves by p.
    void Offset(const CDPoint& p, int snap);
    // With exactly one end marked, that end moves by d; otherwise the whole arc.
    void OffsetInc(const CDPoint& d);
    void Rotate(const CDPoint& center, double angle);
    // The mirrors turn the direction; a named arc becomes an angle dimension again.
    void MirrorX(double x);
    void MirrorY(double y);
    // Centre scaled about o; radius to the scaled start point; angles kept.
    void Scale(const CDPoint& origin, const CDSize& factors);

    // --- Polyline ---
    // The arc as points whose chords stay within 0.05 of it, ending on the end point. With a null
    // pointer the number of points to allocate; otherwise the number written. 0 when the radius is
    // below 0.05.
    int MakePoint(tagDPOINT* out) const;
    // The same points in drawing units; an ARC_SWAPPED arc is walked from its end to its start.
    int MakeIntPoint(CPoint* out) const;
    // The points that stand for the arc as segments: MakePoint's, or for an arc too small for any
    // point its start and end.
    std::vector<CDPoint> GetSegmentPoints() const;
    // Adds the arc to the sheet as lines of its turret (the segments with the arc's id, a closing
    // line to the end with id 0); true when the sheet gained items.
    bool ConvertLine(CSheet& sheet) const;
    // The drawn length for aperture statistics: the arc plus two barbs per arrow head.
    double GetGerbarLength() const;

    // --- Drawing (mode: the layer's display class; bit 0x80 is ignored) ---
    // 1 the centre line in the line type, 2 and 8 the outline of the stroke, 4 the stroke with a
    // pen of the line width; then the arrow heads or dots and the name text.
    void DrawArc(platform::DrawContext* dc, int mode);

    // --- Edit ---
    // Runs the line and arc dialog on a copy; true when accepted. With multiple the dialog packs
    // its check states into the start angle.
    bool InputText(bool multiple);

    // --- Photo-plot output ---
    // Writes the arc (a record, records split at quarter or half turns, or line segments, as the
    // arc mode says), its arrow strokes and its name text (flag: the name text's mirror argument).
    // Nothing when the radius comes to less than one output unit. The arc is taken as already
    // mirrored and turned for the output: nothing is transformed again.
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool flag);
    // How the arcs of a sheet, part or surface are written: when the output mirrors or turns, a
    // copy mirrored about the output origin (x, then y) and turned about it by the output angle;
    // otherwise the arc itself.
    void DataWriteGerbarCopy(CArchive& ar, tagGERBAR& g, bool flag);

    // --- Persistent forms ---
    // Binary record: DataRead when the archive loads, else DataWrite. A truncated record throws
    // ArchiveError and leaves the arc as it was.
    void Serialize(CArchive& ar, int version);
    // The "Arc" text line, and a "Name" line when the arc has a name.
    void SerializeText(CArchive& ar);
    // The same lines as bytes.
    std::string GetTextLines();

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar);
    void DataRead(CArchive& ar, int version);
    // Exchanges the angles, the marks and the arrows; the direction bit stays.
    void ChangeDirection();

private:
    CDPoint GetPoint(double angle) const { return GetPoint(angle, m_dRadius); }
    CDPoint GetPoint(double angle, double radius) const;
    void ResetAngle();
    // Walks the polyline in the arc's direction (or the other way round); each point goes to put.
    template <class Put> int WalkPoints(bool reverse, Put put) const;
    // The dimension style of the item's own board (the frame's for an item on no board), zeros
    // without either.
    tagDIMS DimensionStyle() const;
    // The arrow strokes (CLine::DrawLine in the mode) or dot circles of both ends.
    void DrawArrow(platform::DrawContext* dc, int mode);
    // The records from the previous point to the end split at the half and quarter turns.
    void DataWriteGerbarHalf(CArchive& ar, tagGERBAR& g, bool first);
    void DataWriteGerbarQuater(CArchive& ar, tagGERBAR& g, bool first);
    void DataWriteGerbarSplit(CArchive& ar, tagGERBAR& g, double step, bool half, bool first);
    void MarkDirty() { ResetBounding(); }

    bool m_bStartCheck = false;
    bool m_bEndCheck = false;
    CDPoint m_ptCenter;
    double m_dRadius = 0.0;
    double m_dStartAngle = 0.0;
    double m_dEndAngle = 0.0;
    int m_nStartArrow = 0;
    int m_nEndArrow = 0;
    int m_nDimension = 0;
    std::int32_t m_nFxRatio = 0;
    CText& Name() { return m_Name.Get(this); }

    CNameText m_Name;
};
