#pragma once
// Placed part (a footprint) on a board or in a part library. A part owns its lines, arcs, lands,
// holes, vias, free texts, terminals and surfaces, and three named texts: the library package
// name, the reference designator (prefix, number, suffix; "?" marks an unnumbered part) and the
// value. While a part is stored (binary record, text form, part library) its items carry part-layer
// codes instead of board layers, so that one footprint can be placed on either side of any board;
// the board document converts both ways.
//
// Inside a part the copper of one terminal carries that terminal's id (1 .. net count): the
// terminal groups that net matching, terminal rectangles and the part's clearance check use.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/items/Text.h"
#include "model/sheet/ItemList.h"

#include <cstdint>
#include <string>
#include <vector>

class CArchive;
class CArc;
class CHole;
class CLand;
class CLine;
class CNetLine;
class CSheet;
class CSur;
class CTer;
class CVia;
class DocumentServices;
struct tagDCODE;
struct tagGERBAR;
namespace platform {
class DrawContext;
}

// Type word bits of a part.
enum PartType : int
{
    PART_MOUNT_MASK = 0x3, // 0 DIP (through-hole), 1 SMD, 2 card edge, 3 not a circuit part
    PART_DIP = 0x0,
    PART_SMD = 0x1,
    PART_CARD_EDGE = 0x2,
    PART_NOT_CIRCUIT = 0x3,
    PART_OTHER_SIDE = 0x10,  // lies on the solder side
    PART_ROTATE_LOCK = 0x40, // Rotate without force does nothing
    PART_MOVE_LOCK = 0x80,   // Offset and Scale without force do nothing
    PART_SCALABLE = 0x100,
    PART_MIRRORED = 0x1000, // mirrored once for the other side by the part edit
    PART_EXPLODED = 0x2000, // ExpItem removed items (their codes are ORed into the high half)
    PART_SCALED = 0x4000,
    PART_PLACED = 0x8000 // numbered and fixed
};

// Part-layer codes that contained items carry while the part is stored.
enum PartLayerCode : std::uint32_t
{
    PLC_WIRE_MAX = 0xFFFF, // 1 .. 0xFFFF: a 1-based wiring position
    PLC_HOLE = 0x10000,
    PLC_SILKLINE = 0x20000,
    PLC_SILKTEXT = 0x40000, // always the code of the name, reference and value texts
    PLC_METALMASK = 0x80000,
    PLC_RESIST = 0x100000,
    PLC_NOWIRING = 0x200000,
    PLC_COCAREA = 0x400000,
    PLC_TERM = 0x800000, // always the code of terminals and their number texts
    PLC_DIMS = 0x1000000,
    PLC_ORIGIN = 0x2000000,
    PLC_DIPOUTLINE = 0x4000000,
    PLC_CIRCUIT = 0x8000000,
    PLC_OTHER_SIDE = 0x10000000, // the same pair on the opposite board side
    PLC_SMDOUTLINE = 0x20000000,
    PLC_NOVIA = 0x40000000
};

class CPart : public CItemBase
{
public:
    // --- Construction and copy ---
    // Layer -1, turret -1, empty texts and lists; the three texts belong to the part.
    CPart();
    // Origin, area corners from the rectangle (0 (left, bottom), 1 (right, bottom), 2 (right, top),
    // 3 (left, top)), package max and the package-and-scale word. The angle and the last argument are
    // not stored: the caller sets angle and type afterwards where needed.
    CPart(const CDPoint& origin, const CDRect& area, unsigned packageMax, unsigned packageScale, double angle,
          int type);
    // From a "Part" text line; the named texts and items arrive with the following lines.
    explicit CPart(const char* line);
    CPart(const CPart& other);
    // Frees every contained item and the three texts.
    ~CPart() override;

    // The item base, origin, package words, the three texts and the net count; then every list is
    // replaced by copies of the other's items.
    CPart& operator=(const CPart& other);
    // List counts, origin (1e-6), package words, type, exact angle and the three named texts;
    // contained items are not compared.
    int operator==(const CPart& other) const;
    // operator== and, pair by pair, the free texts, the vias and the terminals taken in terminal
    // order (so the terminals' list order does not matter).
    int Compare(const CPart& other) const;

    // --- Accessors ---
    CText* GetPartNameText() { return &m_PartName; }
    CText* GetRefNameText() { return &m_RefName; }
    CText* GetValNameText() { return &m_ValName; }
    const CText* GetPartNameText() const { return &m_PartName; }
    const CText* GetRefNameText() const { return &m_RefName; }
    const CText* GetValNameText() const { return &m_ValName; }
    const std::string& GetPartName() const { return m_PartName.GetName(); }
    const std::string& GetRefName() const { return m_RefName.GetName(); }
    const std::string& GetValName() const { return m_ValName.GetName(); }
    const CDPoint& GetOrg() const { return m_ptOrg; }
    // The origin only; the items do not move.
    void SetOrg(const CDPoint& p);
    // The package number: the low 16 bits of the package-and-scale word.
    unsigned GetPackage() const { return m_nPackageScale & 0xFFFF; }
    void SetPackage(unsigned package);
    unsigned GetScale() const { return m_nPackageScale >> 16; }
    void SetScale(int scale);
    unsigned GetPackageScale() const { return m_nPackageScale; }
    unsigned GetPackageMax() const { return m_nPackageMax; }
    void SetPackageMax(unsigned packageMax) { m_nPackageMax = packageMax; }
    const CDRect& GetARCBoundingRect() const { return m_rcARC; }
    int GetPinCount() const { return m_Ters.GetCount(); }
    int GetTerCount() const { return m_Ters.GetCount(); }
    unsigned GetNetCount() const { return m_nNetCount; }
    // Number of contained items of one kind bit (0 for anything else).
    int GetKindCount(int kind) const;

    int GetMountClass() const { return m_nType & PART_MOUNT_MASK; }
    bool IsDIP() const { return GetMountClass() == PART_DIP; }
    bool IsSMD() const { return GetMountClass() == PART_SMD; }
    bool IsCardEdge() const { return GetMountClass() == PART_CARD_EDGE; }
    bool IsCircuit() const { return GetMountClass() != PART_NOT_CIRCUIT; }
    // On the component side.
    bool IsPartSide() const { return (m_nType & PART_OTHER_SIDE) == 0; }
    bool IsScale() const { return (m_nType & PART_SCALABLE) != 0; }
    bool IsScaled() const { return (m_nType & PART_SCALED) != 0; }
    bool IsPlaced() const { return (m_nType & PART_PLACED) != 0; }

    // --- Persistent forms ---
    // Binary record of the board file (version 6, 5 for the older form) or of the part library.
    // DataRead when the archive loads, else DataWrite. A record cut short throws ArchiveError and
    // leaves the part as it was.
    void Serialize(CArchive& ar, int version);
    // Storing: the text form ("Part" line, "Name", "Ref", "Val", item lines, "PartEnd"). Loading:
    // finishes a part that the layer text reader has filled (board layers again, terminal ids).
    void SerializeText(CArchive& ar);
    // The storing text form as bytes; the items' layers are written as part-layer codes of doc.
    std::string GetTextLines(DocumentServices* doc);
    // Board layers of the contained items to part-layer codes and back. Without a document nothing
    // is converted. Mode 1 exchanges the first and the last wiring layer for a part on the other side
    // (older records).
    void PartLayToID(DocumentServices* doc);
    void IDToPartLay(DocumentServices* doc, int mode);

    // --- Reference, value and name ---
    // The whole text item (position, size, font, flags, layer); the part becomes its parent.
    void SetPartName(const CText& text);
    void SetRefName(const CText& text);
    void SetValue(const CText& text);
    // The string (or a whole text line); the not-printable flag is cleared. A reference with "?"
    // also clears the placed flag.
    void SetPartName(const char* name);
    void SetRefName(const char* name);
    void SetValue(const char* name);
    // The reference up to and including its last digit; the whole reference when it has no digit.
    std::string GetRefNameA() const;
    // Splits the reference into prefix, number (the last run of digits) and suffix; 0 for an empty
    // reference (the outputs untouched), else 1.
    int GetRefName(std::string& prefix, std::string& suffix, int& number) const;
    // -1 for an empty or unnumbered reference, else the split's number.
    int GetRefNo() const;
    // No "?", a digit, and a non-empty prefix or suffix.
    bool RefCheck() const;
    // 0 makes the reference unnumbered (and unplaced); another number is taken when the reference is
    // unnumbered or force is set. An empty reference never changes.
    void SetRefNo(int number, int force);
    void IncRefName(int step);
    // Sets (only for a numbered reference; 0 otherwise) or clears the placed flag.
    int SetPlaced(int placed);
    // Prefix without case, then number, then suffix without case: negative, 0 or positive.
    int CompareRef(const CPart* other) const;
    // The given split (on the left) against this part's.
    int CompareRef(const std::string& prefix, const std::string& suffix, int number) const;
    // The first free text containing the key, with its first strlen(key) bytes cut off.
    std::string FindString(const char* key) const;
    // The value of the first property text of that name (case-insensitive).
    std::string GetProperty(const char* name) const;
    // Text search through CText::Find: mask 1 name, 2 reference, 4 value; only when none of them
    // hits, 0x20 free texts, then 0x100 the name texts of the lines.
    bool Find(CDPoint& point, const std::string& text, int matchCase, int whole, int hidden, int mask);
    // 1 shows, 0 hides, 2 leaves a text unchanged; empty texts are always shown.
    void SetDisp(int name, int ref, int value);

    // --- Contained items ---
    // Each makes the part the new item's parent and appends it.
    CLine* NewLine(const CLine& line);
    CLine* NewLine(const CDPoint& start, const CDPoint& end, int turret, int type);
    CArc* NewArc(const CArc& arc);
    CArc* NewArc(const CDPoint& centre, unsigned radius, int start, int end, int turret);
    CLand* NewLand(const CLand& land);
    CLand* NewLand(const CDPoint& point, int turret);
    CHole* NewHole(const CHole& hole);
    CHole* NewHole(const CDPoint& point, double diameter, bool round, double width, double radius,
                   double angle);
    CVia* NewVia(const CVia& via);
    CTer* NewTer(const CTer& ter);
    CTer* NewTer(const CDPoint& point, const CText& number);
    CText* NewText(const CText& text);
    CSur* NewSur(const CSur& sur);
    CSur* NewSur(int turret);

    POSITION GetFirstLinePos() { return m_Lines.GetHeadPosition(); }
    POSITION GetFirstArcPos() { return m_Arcs.GetHeadPosition(); }
    POSITION GetFirstLandPos() { return m_Lands.GetHeadPosition(); }
    POSITION GetFirstHolePos() { return m_Holes.GetHeadPosition(); }
    POSITION GetFirstViaPos() { return m_Vias.GetHeadPosition(); }
    POSITION GetFirstTextPos() { return m_Texts.GetHeadPosition(); }
    POSITION GetFirstSurPos() { return m_Surs.GetHeadPosition(); }
    POSITION GetFirstTerPos() { return m_Ters.GetHeadPosition(); }
    POSITION GetLastTerPos() { return m_Ters.GetTailPosition(); }
    CLine* GetNextLine(POSITION& pos);
    CArc* GetNextArc(POSITION& pos);
    CLand* GetNextLand(POSITION& pos);
    CHole* GetNextHole(POSITION& pos);
    CVia* GetNextVia(POSITION& pos);
    CText* GetNextText(POSITION& pos);
    CSur* GetNextSur(POSITION& pos);
    CTer* GetNextTer(POSITION& pos);
    CTer* GetPrevTer(POSITION& pos);

    // The terminal with that id; failing that, the one whose number text carries it (which then
    // takes it as its own id); else null.
    CTer* GetTer(unsigned id);
    std::string GetTerName(int id);
    void SetTerName(int id, const std::string& number);
    CVia* GetVia(unsigned id);
    int GetTerViaNo(int id);
    bool IsViaTH(int id, int layer);
    void SetViaTH(int id, int layer, int on);
    // Id 0, the vias' per-layer ids 0, the holes' wiring marks cleared.
    void ResetID();
    // Every terminal's net id and net condition 0.
    void ResetTerDisNetID();
    // groups: runs of a new id followed by old ids, each run ended by 0.
    void ResetTerDisNetID(const std::vector<std::uint32_t>* groups);
    // Deletes every free text whose string begins with start.
    void DeleteText(const char* start);

    // Compose: copies of the sheet's lines, arcs, lands, texts, surfaces, terminals and holes join
    // the part (ids 0); vias and parts stay out.
    void AddItem(CSheet& sheet);
    // Explode: the part's items on the sheet's layer go into the sheet (vias stay in the part).
    void BreakItem(CSheet& sheet);
    // Removes the items whose part-layer code meets the mask (virtual terminals stay).
    void ExpItem(int mask, DocumentServices* doc);
    // The origin moves to the next land on the layer after the land that stands on it.
    CDPoint GetNextOrg(int layer);
    // Copies of the items on the sheet's layer into the sheet, with via lands of its work layer.
    void CorrectItem(CSheet* sheet, int viaMode, int padsOnly);
    // Copies of the items on the sheet's layer except one, through CSheet::AddItem.
    void GetItem(CSheet& sheet, CItemBase* except);
    // The visible texts on the layer: named texts, line and arc name texts, free texts.
    void GetTextList(std::vector<CText*>* list, int layer);

    // --- Copper groups ---
    // The items on the layer into the group; whether it is not empty.
    bool GetItem(int layer, CNetLine* group);
    // The items of the group's id on the layer (vias and holes of any layer).
    bool GetTerItem(int layer, CNetLine* group);
    // Links the line to each terminal whose copper touches it; the number of links made.
    int CheckTerNetLine(CNetLine* line, int layer);
    // Reads each linked terminal's group ids and links the groups the document finds.
    void SetTerNetLine(CArchive& ar);
    // The first group replaces the others in the terminals' links.
    void ChangeTerNetLine(std::vector<CNetLine*>* groups);

    // --- Geometry ---
    // Nothing when move-locked and not forced; otherwise the part moves with everything it holds.
    void Offset(const CDPoint& delta, bool force = false);
    // The whole part moves so that its origin scales about centre; the items keep their size.
    void Scale(const CDPoint& centre, const CDSize& factors, bool force = false);
    // Lines, arcs, surfaces and land positions scale about the origin.
    void Scale(double factor);
    // Nothing when rotation-locked and not forced.
    void Rotate(const CDPoint& centre, double angle, bool force = false);
    // About the origin, without force.
    void Rotate(int angle);
    void MirrorX(double x);
    void MirrorY(double y);
    // Only texts that carry the partial-selection flag.
    void RotateText(const CDPoint& centre, double angle);
    void MirrorXText(double x);
    void MirrorYText(double y);

    // The bounds over the document's displayed layers.
    void CalcBoundRect(DocumentServices* doc);
    // The bounds over the listed layers, vias always.
    void CalcBoundRect(const std::vector<std::uint8_t>& layers);
    // The union of the terminals' rectangles (rebuilt when empty).
    const CDRect& GetNetBoundingRect();
    // Each terminal's rectangle from its group on every wiring layer; then the net rectangle.
    void CalcNetBoundRect(DocumentServices* doc);
    // The outline rectangle of the items on the layers (list ended by a negative number).
    void CalcARCBoundRect(const int* layers);
    // The grown outlines of the items on the layers into the sheet.
    void GetOutLineData(const int* layers, CSheet& sheet, double grow);
    // The orientation that the terminals give.
    double GetAngleTer();

    // --- Hit tests ---
    int CheckPoint(const CDPoint& p, int layer);
    int CheckPoint(const CDRect& r, int layer);
    int CheckItemPoint(CDPoint& p, int layer, double distance);
    std::uint32_t GetPointItemID(const CDPoint& p, int layer, int viaPos, int viaMode);

    // --- Checks ---
    // Solder resist over every terminal: 1 passes, 0 fails.
    int CheckResist(DocumentServices* doc);
    int CheckMetal(DocumentServices* doc);
    // The "COC" top height of the first surface on the layer and its rectangle.
    double GetCOCArea(int layer, CDRect& rect);
    // Copper clearance between terminal groups of this part and another (or of this part alone).
    void DRC_ShortCheck(tagDRCSPEC* drc, CPart* other);

    // --- Terminal ids ---
    void ReCalcTerID(DocumentServices* doc);
    // Selection sort of the terminals by CTer::operator<.
    void SortTer();
    void ResetTerID(DocumentServices* doc);
    // Whether the part's copper touches the hole (plated through).
    bool CheckTH(CHole* hole, DocumentServices* doc);
    // Every line, arc, land, surface, free text, via and hole with id from takes id to.
    void ChangeID(std::uint32_t from, std::uint32_t to);
    int GetLayerCount(int layer, int flags, int kind);

    // --- Drawing ---
    // The part's items on the layer in the mode (the layer's display class): the name, reference and
    // value texts, the terminals (in their net's colour once placed and linked; a number that would
    // overlap the one drawn before is left out), free texts, lines, arcs, surfaces and lands; the
    // vias on a layer whose type word admits them (layerType and viaArg go to CVia::DrawVia); and
    // the holes filled black on screen, white when printing.
    void DrawPart(platform::DrawContext* dc, int mode, int layer, int layerType, int viaArg);

    // --- Photo-plot output and aperture usage ---
    // Adds the usage of the part's items on the layer: named texts, lands (flashes), lines and
    // arcs (strokes and lengths, with their name texts), surfaces and free texts; and the vias'
    // lands on a layer whose type word meets 0x100001 without 0x40 (layerType and viaArg go to
    // CVia::CheckTurret).
    void CheckTurret(tagDCODE* table, int layer, int layerType, int viaArg);
    // Writes the part's items on the layer: lands, lines, arcs (as copies transformed for the
    // output), surfaces, the vias on a layer that shows them (after the writer's pending line),
    // then the named and free texts (textArg: their mirror argument).
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g, int layer, int layerType, int viaArg, bool textArg);

    // --- Edit ---
    // Runs the part dialog: 0 cancelled or unchanged, 1 changed, 2 changed and moved or turned.
    // With multiple the part is the blank of several parts: it takes the dialog's answers as they
    // come (1 on OK), partName letting the dialog change the part name.
    int EditPart(DocumentServices* doc, bool multiple, bool partName);

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar, int version);
    void DataRead(CArchive& ar, int version);

private:
    struct FloodArray;

    // The name, reference and value texts belong to this part.
    void AdoptNameTexts();
    void CopyNameTexts(const CPart& other);

    // The work list of one wiring layer for the terminal-id flood.
    void GetItemPtr(FloodArray& array, int layer, int holeLayer);
    std::uint32_t MakeGroup(FloodArray& array, std::uint32_t next);
    void SetIDSub(CItemBase* item, FloodArray& array);

    // Takes over the other's fields and items (the other is left empty).
    void TakeContents(CPart& other);
    // Frees every contained item.
    void DeleteItems();
    void MarkDirty() { ResetBounding(); }
    CItemList* ListOf(int kind);
    const CItemList* ListOf(int kind) const;

    CDPoint m_ptOrg;
    CDRect m_rcNet;
    CDRect m_rcARC;
    std::uint32_t m_nPackageMax = 0;
    std::uint32_t m_nPackageScale = 0;
    std::uint32_t m_nNetCount = 0;
    CText m_PartName;
    CText m_RefName;
    CText m_ValName;
    CItemList m_Vias;  // CVia
    CItemList m_Holes; // CHole
    CItemList m_Lands; // CLand
    CItemList m_Texts; // CText
    CItemList m_Lines; // CLine
    CItemList m_Arcs;  // CArc
    CItemList m_Ters;  // CTer
    CItemList m_Surs;  // CSur
};
