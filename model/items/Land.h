#pragma once
// Land (pad): a copper flash at a point. The land keeps only its position; its shape and size come
// from the copy of its turret entry in the item base (round, square, donut or thermal). The type
// word is stored and written but means nothing to the land.

#include "model/geometry/DPoint.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "platform/Types.h"

#include <string>

namespace platform {
class DrawContext;
}
class CArchive;
class CHole;
class CSheet;
struct tagDRCSPEC;
struct tagGERBAR;

class CLand : public CItemBase
{
public:
    // Turret -1, layer -1, type 0, id 0, position (0, 0).
    CLand();
    CLand(const CDPoint& position, int turret);
    // From a "Land" text line; the turret number is taken as it stands.
    explicit CLand(const char* line);
    CLand(const CLand& other);
    ~CLand() override;

    // The item base (turret number and entry included), then the position.
    CLand& operator=(const CLand& other);
    // 1 when turret numbers agree and positions are equal within 1e-6; layer, type and id are not
    // compared.
    int operator==(const CLand& other) const;
    // The sheet's land order: by turret number, then by x + y of the position.
    bool operator<(const CLand& other) const;

    const CDPoint& GetPoint() const { return m_ptPoint; }
    void SetPoint(const CDPoint& p);

    // 1 when the land is thermal: turret 0, or a turret entry of the thermal shape.
    int IsTharmal() const;

    // --- Hit tests, contact, clearance and outline ---
    // 1 when p lies on the pad (only the ring of a donut or thermal pad counts).
    int CheckPoint(const CDPoint& p);
    // 1 when the pad lies in or meets the rectangle.
    int CheckPoint(const CDRect& r);
    // Snaps p to the position when within the tolerance (a negative tolerance acts as its
    // absolute value).
    int CheckItemPoint(CDPoint& p, double tolerance) const;
    // 1 when the pad touches the item (lines, lands, arcs, texts, holes and surfaces).
    int CheckShort(CItemBase* item);
    int CheckShort(CLand* other);
    int CheckShort(CHole* hole);
    // Plane contact: 1 when the pad reaches the item (a line, land, arc or surface); where gets a
    // contact point. With mode 1 only an item covering the position counts.
    int CheckTHShort(CItemBase* item, tagPOINTFX* where, int mode);
    // 1 when the land comes closer to the item than the rule allows (lands and holes here; lines,
    // arcs, texts and surfaces decide the pairing themselves); the two positions go to the rule's
    // error points.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Adds the pad's outline grown by grow to the sheet as lines and arcs of turret 0.
    void GetFrameData(CSheet* sheet, double grow);

    // --- Drawing (mode: the layer's display class in the low four bits, 1 marks, 2 and 8 outlined,
    // 4 filled, anything else nothing; bit 0x80 turns the mark of a round land upside down) ---
    // Draws the pad with the selected pen; only a filled pad uses the selected brush.
    void DrawLand(platform::DrawContext* dc, int mode);

    // --- Photo-plot output ---
    // Flashes the pad's aperture at the position: ends an open stroke first, selects the aperture
    // when another is current, and leaves the output on moves afterwards.
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g);

    // --- Transforms (the pad itself never turns or scales) ---
    void Offset(const CDPoint& d);
    void Rotate(const CDPoint& center, double angle);
    void Scale(const CDPoint& center, const CDSize& factor);
    void MirrorX(double axis);
    void MirrorY(double axis);

    // --- Edit ---
    // Runs the land dialog on the turret number (several lands: starting at 0); true when accepted.
    bool EditLand(bool multiple);

    // --- Persistent forms ---
    // Binary record: DataRead when the archive loads, else DataWrite. A truncated record throws
    // ArchiveError and leaves the land as it was.
    void Serialize(CArchive& ar, int version);
    // The "Land" text line.
    void SerializeText(CArchive& ar);
    // The same line as bytes.
    std::string GetTextLine();
    // Lands have no exchange-format form: nothing is written.
    void SerializeDXF(CArchive& ar, int, int);

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar);
    void DataRead(CArchive& ar, int version);

private:
    // One ring sector between the two radii, centred on 45 degrees of its own frame turned by turn,
    // kept halfGap away from its frame's axes: a closed figure of two arcs and two edges.
    void DrawTurmalSub(platform::DrawContext* dc, double outer, double inner, double turn,
                       double halfGap) const;

    CDPoint m_ptPoint;
};
