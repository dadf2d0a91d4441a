#pragma once
// Hole: a drilled round hole, a long hole (slot) or a rectangular hole with rounded corners, the
// last two turned by the item's angle about the position. Besides its shape a hole keeps, for each
// of the 32 wiring layers, the id of the copper group it joins there, and in its type word whether
// it is plated through, a test coupon or a dummy hole, and the drill tool number of the NC output.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class DrawContext;
}
class CArchive;
class CLine;
class CSheet;
class DocumentServices;
struct tagDRCSPEC;
struct tagGERBAR;

// Type word bits of a hole (the rest of the word is the item base's).
enum HoleType : int
{
    HOLE_THROUGH = 0x1,     // wired on at least one layer
    HOLE_TEST = 0x2,        // test coupon
    HOLE_CHECK = 0x4,       // dummy hole, left out of the drill output
    HOLE_KIND_MASK = 0x0F,  // the hole kind nibble
    HOLE_SHAPE_MASK = 0xF0, // 0 round
    HOLE_LONG = 0x10,
    HOLE_RECT = 0x20,
    HOLE_TOOL_SHIFT = 16,
    HOLE_TOOL_MASK = 0xFF0000 // drill tool number
};

// Number of wiring layers that a hole records a copper-group id for (layers 1..32).
constexpr int HOLE_WIRE_LAYERS = 32;

class CHole : public CItemBase
{
public:
    // Kind hole, all wire ids 0, position and sizes 0.
    CHole();
    // Values stored unchanged; the type word becomes 0 (round), else 0x10 when the corner radius is
    // half the diameter (long hole), else 0x20 (rectangular).
    CHole(const CDPoint& position, double diameter, bool round, double width, double cornerRadius,
          double angle);
    // From a "Hole" text line. The wire ids stay 0.
    explicit CHole(const char* line);
    CHole(const CHole& other);
    ~CHole() override;

    // The item base, then position, sizes and the 32 wire ids.
    CHole& operator=(const CHole& other);
    // Positions and diameters within 1e-6 and the type words in the bits 0xFF00FFFE (the through bit
    // and the tool number are ignored); long and rectangular holes also compare width, corner radius
    // and angle.
    bool operator==(const CHole& other) const;
    // The sheet's hole order: shape, through holes first, diameter, (width, corner radius), x + y.
    bool operator<(const CHole& other) const;
    // The tolerance of both: |a - b| <= 1e-6.
    static bool SizesNear(double a, double b);

    // --- Position and shape ---
    const CDPoint& GetPoint() const { return m_ptPoint; }
    void SetPoint(const CDPoint& p);
    double GetHoleDia() const { return m_dDia; }
    void SetHoleDia(double diameter);
    double GetHoleWidth() const { return m_dWidth; }
    double GetHoleRadius() const { return m_dRadius; }
    // Diameter (height), width, corner radius and angle (bounds brought up to date first).
    void GetSHoleData(double& diameter, double& width, double& radius, double& angle);
    // Sets the four values; the type bits stay.
    void SetSHoleData(double diameter, double width, double radius, double angle);
    // The unturned box of a long or rectangular hole.
    void GetHoleWH(CDRect& rect) const;

    int GetHoleShape() const { return m_nType & HOLE_SHAPE_MASK; }
    // A round hole (no shape bits).
    bool IsHole() const { return GetHoleShape() == 0; }
    bool IsHoleRect() const { return (m_nType & HOLE_RECT) != 0; }
    int GetHoleType() const { return m_nType & HOLE_KIND_MASK; }
    bool IsThroughHole() const { return (m_nType & HOLE_THROUGH) != 0; }
    bool IsTestHole() const { return (m_nType & HOLE_TEST) != 0; }
    bool IsCheckHole() const { return (m_nType & HOLE_CHECK) != 0; }
    int GetToolNo() const { return (m_nType & HOLE_TOOL_MASK) >> HOLE_TOOL_SHIFT; }
    // Bits 16 to 23 := tool (a number beyond eight bits keeps only its low eight).
    void SetToolNo(int tool) { ModifyType((tool << HOLE_TOOL_SHIFT) & HOLE_TOOL_MASK, HOLE_TOOL_MASK); }

    // --- Copper-group ids per wiring layer (1..32; other layers read 0 and are not stored) ---
    std::uint32_t GetLayerID(int layer) const;
    std::uint32_t CheckWire(int layer) const { return GetLayerID(layer); }
    // A non-zero id sets the through bit; 0 clears it unless another layer keeps an id.
    void SetLayerID(std::uint32_t id, int layer);
    // All ids 0 and the through bit cleared.
    void ResetAllWire();

    // --- Hit tests, contact and clearance ---
    // Round holes are circles; long holes two circles joined by a box; rectangular holes their
    // turned box (the corner radius plays no part).
    int CheckPoint(const CDPoint& p);
    // 1 when the hole lies in or meets the rectangle.
    int CheckPoint(const CDRect& r);
    // Snaps p to the position (long and rectangular holes also to their end centres) when within
    // the tolerance; a negative tolerance snaps only a point on the hole.
    int CheckItemPoint(CDPoint& p, double tolerance);
    // 1 when the hole touches the item (lines, lands, arcs, texts, surfaces and holes).
    int CheckShort(CItemBase* item);
    // Gap between this hole's edge and another hole's edge (negative when they overlap); -1.0
    // when it cannot be measured (not a hole, or two shaped holes whose outlines cross).
    double GetClearance(CItemBase* item);
    // 1 when GetClearance(item) >= distance.
    int CheckClearance(CItemBase* item, double distance);
    // 1 when a violation against the item was found; lands, arcs, texts and surfaces decide the
    // pairing themselves.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Merges the hole's wire ids of layers 1..layers into the runs of connected ids (each run
    // ended by a 0): 1 when the list took them, 0 when there were none.
    int CheckNet(int layers, std::vector<std::uint32_t>* groups);
    // Adds the outline grown by grow on every side to the sheet as lines and arcs of turret 0.
    void GetFrameData(CSheet* sheet, double grow);

    // --- Drawing ---
    // With mode bit 0x4 the outline, a round test coupon with a bar and a dummy hole with a cross
    // through it; without, the hole filled with the selected brush. The pen is the caller's.
    void DrawHole(platform::DrawContext* dc, int mode);

    // --- Drill output ---
    // Writes the hole's hits: one at the position for round holes and holes whose width is their
    // diameter, otherwise as the settings' long-hole drill mode says (the centre; both ends; both
    // ends and the centre; a row 0.1 apart from one end and the other end).
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g);

    // --- Transforms ---
    void Offset(const CDPoint& d);
    void Scale(const CDPoint& center, const CDSize& factor);
    void Rotate(const CDPoint& center, double angle);
    void MirrorX(double axis);
    void MirrorY(double axis);

    // --- Edit ---
    // Runs the hole dialog. 0 cancelled, 1 accepted, 2 accepted with a new position. With multiple
    // set the hole is the blank of a several-holes edit: its kind nibble carries the dialog's
    // choice states and an angle of -1.0 means "keep each hole's own".
    int InputHole(DocumentServices* doc, bool edit, int multiple);

    // --- Persistent forms ---
    // Binary record of a board file version (6 current, 5 old): DataRead when the archive loads,
    // else DataWrite. A truncated record throws ArchiveError and leaves the hole as it was.
    void Serialize(CArchive& ar, int version);
    // The "Hole" text line.
    void SerializeText(CArchive& ar);
    // The same line as bytes.
    std::string GetTextLine();
    // Holes have no exchange-format form: nothing is written.
    void SerializeDXF(CArchive& ar, int, int);

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar, int version);
    void DataRead(CArchive& ar, int version);

private:
    // The clearance of a line to this hole (the line case of DRC_ShortCheck).
    int CheckLineClearance(tagDRCSPEC* drc, CLine* line);

    CDPoint m_ptPoint;
    std::array<std::uint32_t, HOLE_WIRE_LAYERS> m_wireID{};
    double m_dDia = 0.0;
    double m_dWidth = 0.0;
    double m_dRadius = 0.0;
};
