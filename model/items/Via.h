#pragma once
// Via item: joins wiring layers through the board at one point. It carries the number of its
// via-table entry (1..64; 0 = an entry of its own, kept in the item) with a copy of that 24-byte
// entry, a wiring mask with one bit per wiring position and, for each of up to 32 wiring
// positions, the id of the copper group it touches there. On each layer it is a land whose
// aperture is one of the entry's fifteen turret bytes, chosen by the layer's kind and by whether
// the via is wired there, and a hole of the entry's drill diameter.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/services/Records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class DrawContext;
}
class CArchive;
class CHole;
class CLand;
class DocumentServices;

// Type word bits of a via (shared with holes).
enum ViaType : int
{
    VIA_HOLE_KIND_MASK = 0xF, // hole kind
    VIA_TEST_HOLE = 0x2,
    VIA_CHECK_HOLE = 0x4,
    VIA_TOOL_SHIFT = 16, // bits 16-23: drill tool number
    VIA_TOOL_MASK = 0xFF0000
};

// Layer-sheet type bits that choose a via's land.
enum ViaSheetBits : int
{
    VIA_SHEET_GROUP1 = 0x2,     // first group of land turrets
    VIA_SHEET_GROUP3 = 0x4,     // third group of land turrets
    VIA_SHEET_WIRING = 0x8,     // wiring (negative) pair of the group
    VIA_SHEET_RESIST = 0x100000 // the group's resist land
};

constexpr int VIA_WIRE_MAX = 32; // wiring positions with a mask bit and a copper-group id

class CVia : public CItemBase
{
public:
    // Via number -1, no wiring.
    CVia();
    CVia(const CVia& other);
    // The entry of the number comes from the frame's via table; the given entry and document are
    // not used.
    CVia(const CDPoint& point, int number, const tagVIA& entry, DocumentServices* doc, int mask);
    CVia(const CDPoint& point, int number, DocumentServices* doc, int mask);
    // From a "Via" text line.
    CVia(const char* line, DocumentServices* doc);
    ~CVia() override;

    // Base fields (table entry included), position, wiring mask, sizes and copper-group ids.
    CVia& operator=(const CVia& other);
    // Same via number, position (1e-6), wiring mask and type word.
    bool operator==(const CVia& other) const;
    // Same id.
    int Compare(const CVia& other) const { return m_nID == other.m_nID; }

    // --- Position and wiring ---
    const CDPoint& GetPoint() const { return m_ptPoint; }
    void SetPoint(const CDPoint& p);
    int GetWireLay() const { return m_nWireLay; }
    // Wiring positions are 1-based: position k is mask bit k - 1. Positions outside 1..32 are
    // never wired and change nothing.
    int CheckWire(int k) const;
    // Group id of position k, and its mask bit (the via is marked stale when the bit was clear).
    void SetWire(int k, std::uint32_t id);
    void ResetWire(int k);
    void ResetAllWire();
    // Toggles the mask bit of position k (counted modulo 32); the ids stay.
    void InvertWire(int k);
    std::uint32_t GetLayerID(int k) const;
    void SetLayerID(std::uint32_t id, int k);
    void ResetLayerID();

    // --- Hole ---
    int IsHole() const { return 1; }
    int IsLand() const { return 1; }
    int GetHoleType() const { return m_nType & VIA_HOLE_KIND_MASK; }
    int IsTestHole() const { return (m_nType & VIA_TEST_HOLE) != 0; }
    int IsCheckHole() const { return (m_nType & VIA_CHECK_HOLE) != 0; }
    int GetToolNo() const { return (m_nType >> VIA_TOOL_SHIFT) & 0xFF; }
    void SetToolNo(int n) { ModifyType(n * 65536, VIA_TOOL_MASK); }

    // --- Lands ---
    // The land turret on a layer sheet with these type bits at wiring position layer; photo
    // non-zero for photo-plot output (then unwired lands count too).
    int GetTurret(int bits, int layer, int photo) const;
    // That land at the via's position (turret 0: no land on that layer).
    CLand GetLand(int bits, int layer, int photo) const;
    // A round hole of the entry's drill diameter at the position, typed with the via's type word
    // and the through bit.
    CHole GetHole() const;

    // --- Bounds ---
    // The square of the connectivity half-size around the position.
    CDRect GetNetBoundingRect() const { return CDRect(m_ptPoint, m_dNetHalf); }
    double GetLandRadius() const { return m_dLandRadius; }

    // --- Hit tests (the bounds are brought up to date first) ---
    int CheckPoint(const CDPoint& p);
    int CheckPoint(const CDRect& q);
    // The land of that layer (sheet type bits, wiring position) hit at p.
    int CheckPoint(int layer, int bits, const CDPoint& p) const;
    // Copper contact of the via's land on that layer (its photo turret) with the item; another
    // via is taken by its own land on the same layer. No land: 0.
    int CheckShort(int layer, int bits, CItemBase* other) const;
    // Merges the via's ids of wiring positions 1..layers into the runs of connected ids (each run
    // ended by a 0): 1 when the list took them, 0 when it did not change.
    int CheckNet(int layers, std::vector<std::uint32_t>* groups) const;
    // Snaps p to the position when it lies within d.
    int CheckItemPoint(CDPoint& p, double d) const;

    // --- Drawing ---
    // On a layer sheet with these type bits at wiring position layer: the land the via has there
    // (CLand::DrawLand in the mode), or in drill view (bits 0x10000) the drilled hole, filled
    // unless the mode fills, with a bar for a test hole and a cross for a check hole. With force
    // the via is drawn even when its area is not visible.
    void DrawVia(platform::DrawContext* dc, int bits, int layer, int mode, bool force);

    // --- Photo-plot output and aperture usage ---
    // The flash of the via's photo land on a layer sheet with these type bits at wiring position
    // layer; nothing when it has no land there or its land byte lies beyond the aperture table.
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g, int bits, int layer);
    // One flash of that land's turret in the usage table (none for turret 0 or beyond the table).
    void CheckTurret(tagDCODE* table, int bits, int layer) const;

    // --- Edit ---
    // Runs the via dialog; multiple: the via is a blank for several vias and *out receives the
    // dialog's mask of wiring positions to leave alone. True on OK.
    bool EditVia(bool multiple, int* out);

    // --- Transforms ---
    void Offset(const CDPoint& d);
    void Rotate(const CDPoint& center, double angle);
    void MirrorX(double x);
    void MirrorY(double y);
    // The position only; nothing is marked stale.
    void Scale(const CDPoint& origin, const CDSize& factors);

    // --- Persistent forms ---
    // Binary record. A record cut short throws ArchiveError and leaves the via as it was.
    void Serialize(CArchive& ar, int version);
    // The "Via" text line.
    void SerializeText(CArchive& ar);
    std::string GetTextLines() const;
    // No exchange-format form: nothing is written.
    void SerializeDXF(CArchive&, int, int) {}

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar, int version);
    void DataRead(CArchive& ar, int version);

private:
    // Land turret i (0..14) of the via's entry: t0-t4 for sheets with 0x2, t10-t14 for sheets
    // with 0x4, t5-t9 for the others; 0 means no land.
    int LandTurret(int i) const { return m_entry[8 + i]; }
    // The side of a square aperture (the unwired lands t1, t11, t6 may be square), or -1 for any
    // other shape and for turret 0 (no land).
    double SquareSide(int turret) const;
    void MarkDirty() { ResetBounding(); }

    CDPoint m_ptPoint;
    std::int32_t m_nWireLay = 0;
    std::array<std::uint32_t, VIA_WIRE_MAX> m_layerIds{}; // index k - 1 for position k
    double m_dLandRadius = 0.0;                           // hit-test radius
    double m_dBoundsHalf = 0.0;                           // half side of the bounding square
    double m_dNetHalf = 0.0;                              // half side of the connectivity square
};
