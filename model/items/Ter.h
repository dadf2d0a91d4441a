#pragma once
// Terminal item: a pin of a placed part (or a loose one on a layer sheet). A point with a number
// text such as "1" or "A10", the id of the net it belongs to and the copper groups that touch it.
// Terminals sort by their numbers (prefix without case, then the trailing number), are hit inside
// a 0.2 mm square around the point and are stored as a "Ter" line with a "No" line, or as a
// record in the board file whose copper-group ids go to the loading archive's side buffer.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "model/items/Text.h"

#include <cstdint>
#include <list>
#include <string>

namespace platform {
class DrawContext;
}
class CArchive;
class CNetLine;
class CTer;

// Type word bits of a terminal.
enum TerType : int
{
    TER_NET_ON = 0x1,      // IsNetOn
    TER_HAS_NETLINE = 0x2, // the record carries copper-group ids; recomputed by every record write
    TER_VIRTUAL = 0x2000   // never drawn or written as text, sorted after every real terminal
};

// What a terminal needs of the copper groups, which are built on top of the items. The group code
// installs these; until then a terminal keeps its links one way only and writes none of them.
struct TerNetHooks
{
    // The group's id, as the terminal's record stores it.
    std::uint32_t (*groupId)(const CNetLine* group) = nullptr;
    // Whether the group holds the terminal.
    bool (*groupHolds)(const CNetLine* group, const CTer* ter) = nullptr;
    // Adds the terminal to the group; the group links back through CTer::AddTailNetLine.
    void (*groupAdd)(CNetLine* group, CTer* ter) = nullptr;
    // Takes the terminal out of the group's list (nothing when it is not there), so that the group
    // keeps no pointer to a terminal that leaves it or goes away.
    void (*groupRemove)(CNetLine* group, CTer* ter) = nullptr;
};

const TerNetHooks& GetTerNetHooks();
void SetTerNetHooks(const TerNetHooks& hooks);
// Installs the group code's hooks (defined with the copper groups; called at start-up).
void InstallTerNetHooks();

// Installs hooks for its lifetime and restores the previous ones after.
class ScopedTerNetHooks
{
public:
    explicit ScopedTerNetHooks(const TerNetHooks& hooks);
    ~ScopedTerNetHooks();
    ScopedTerNetHooks(const ScopedTerNetHooks&) = delete;
    ScopedTerNetHooks& operator=(const ScopedTerNetHooks&) = delete;

private:
    TerNetHooks m_previous;
};

class CTer : public CItemBase
{
    using NetLines = std::list<CNetLine*>;

public:
    // Where a copper group stands in the terminal's list; null (default) is no position.
    class NetLinePos
    {
    public:
        NetLinePos() = default;
        NetLinePos(std::nullptr_t) {}
        explicit operator bool() const { return m_valid; }
        bool operator==(const NetLinePos& o) const
        {
            return m_valid == o.m_valid && (!m_valid || m_it == o.m_it);
        }
        bool operator==(std::nullptr_t) const { return !m_valid; }

    private:
        friend class CTer;
        explicit NetLinePos(NetLines::iterator it) : m_it(it), m_valid(true) {}
        NetLines::iterator m_it{};
        bool m_valid = false;
    };

    CTer();
    // Copies as operator= does.
    CTer(const CTer& other);
    // The number text is taken from the given one and belongs to this terminal; net id 0.
    CTer(const CDPoint& point, const CText& number, int type);
    // From a "Ter" text line; the number arrives afterwards with the "No" line (SetName).
    explicit CTer(const char* line);
    // Leaves every copper group it is linked to (the groups are not owned and stay).
    ~CTer() override;

    // Base fields, position, number text (belonging to this terminal), net id, item bounding
    // rectangle and the same copper groups, linked both ways: this terminal leaves the groups it was
    // in and the other's groups list it too, so that a group that goes away unlinks it like any
    // other. The display net id is not copied.
    CTer& operator=(const CTer& other);
    // Same position (1e-6) and equal number texts.
    bool operator==(const CTer& other) const;
    int Compare(const CTer& other) const { return *this == other; }
    // Real terminals before virtual ones; then the number's prefix without case (CP932 rules),
    // then its trailing number: a1 < A9 < A10 < B2.
    bool operator<(const CTer& other) const;

    // --- Point, number and ids ---
    const CDPoint& GetPoint() const { return m_ptPoint; }
    // Moves the number text along so that its position becomes the point.
    void SetPoint(const CDPoint& p);
    // Id and layer of the terminal and of its number text.
    void SetID(std::uint32_t id);
    void SetLayerNo(int layer);
    const std::string& GetNo() const { return m_NoText.GetName(); }
    // Splits the number into the text before its trailing decimal digits and their value (0 when
    // there are none); 0 for an empty number, else 1.
    int GetNo(std::string& prefix, int* number) const;
    void SetNo(const CText& number);
    // The number text's string, or a whole text line (CText::SetName).
    void SetName(const char* line);
    CText* GetNoText() { return &m_NoText; }
    const CText* GetNoText() const { return &m_NoText; }

    std::uint32_t GetNetID() const { return m_nNetID; }
    void SetNetID(std::uint32_t id) { m_nNetID = id; }
    std::uint32_t GetDisNetID() const { return m_nDisNetID; }
    void SetDisNetID(std::uint32_t id) { m_nDisNetID = id; }

    int IsNetOn() const { return m_nType & TER_NET_ON; }
    int IsNetLineHave() const { return (m_nType >> 1) & 1; }
    // Bit 0x1 takes v's bit 0; v's other bits are added.
    void SetNetCondition(int v) { ModifyType(v, TER_NET_ON); }
    int IsVirtualTer() const { return (m_nType >> 13) & 1; }
    // Virtual, and net off.
    void SetVirtualTer() { SetNetCondition(TER_VIRTUAL); }

    // --- Copper groups (not owned) ---
    int IsNetEmpty() const { return m_netLines.empty(); }
    int GetNetCount() const { return static_cast<int>(m_netLines.size()); }
    // Null for an empty list.
    CNetLine* GetHeadNetLine() const { return m_netLines.empty() ? nullptr : m_netLines.front(); }
    CNetLine* GetTailNetLine() const { return m_netLines.empty() ? nullptr : m_netLines.back(); }
    NetLinePos GetFirstNetLinePos()
    {
        return m_netLines.empty() ? NetLinePos() : NetLinePos(m_netLines.begin());
    }
    // The group at pos; pos moves on (null after the last).
    CNetLine* GetNextNetLine(NetLinePos& pos);
    NetLinePos FindNetLine(const CNetLine* group);
    // Links terminal and group both ways: a group that does not hold the terminal yet adds it
    // (and links back through here); otherwise the group is appended unless already listed.
    void AddTailNetLine(CNetLine* group);
    // Takes the group out of this list only; the group is not changed.
    void RemoveNetLine(const CNetLine* group);
    // Empties the list, each group letting the terminal go too.
    void RemoveAllNetLine() { LeaveNetLines(); }

    const CDRect& GetItemBoundingRect() const { return m_rcItem; }
    void SetItemBoundingRect(const CDRect& r) { m_rcItem = r; }

    // --- Hit tests ---
    // Inside the 0.2 mm square around the point (left and top edges in), else the number text.
    int CheckPoint(const CDPoint& p);
    int CheckPoint(const CDRect& r);
    // Snaps p to the point when p lies in the square.
    int CheckItemPoint(CDPoint& p) const;

    // --- Drawing ---
    // A small cross at the point in the selected pen, and with withText the number text; nothing
    // for a virtual terminal or one outside the visible area.
    void DrawTer(platform::DrawContext* dc, int withText);

    // --- Transforms ---
    void Offset(const CDPoint& d);
    // The point and the item bounding rectangle turn; the number text moves to its turned place
    // without turning.
    void Rotate(const CDPoint& center, double angle);
    void MirrorX(double x);
    void MirrorY(double y);
    // The point only; nothing is marked stale.
    void Scale(const CDPoint& origin, const CDSize& factors);

    // --- Persistent forms ---
    // The terminal's record, then the number text's record. A record cut short throws
    // ArchiveError and leaves the terminal (and the side buffer) as they were.
    void Serialize(CArchive& ar, int version);
    // "Ter" line and "No" line; nothing for a virtual terminal.
    void SerializeText(CArchive& ar);
    // The same lines as bytes.
    std::string GetTextLines();
    // No exchange-format form: nothing is written.
    void SerializeDXF(CArchive&, int, int) {}

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar, int version);
    void DataRead(CArchive& ar, int version);

private:
    // The 0.2 mm square around the point.
    CDRect HitSquare() const { return CDRect(m_ptPoint, 0.1); }
    void MarkDirty() { ResetBounding(); }
    // Empties the list and takes the terminal out of every group of it.
    void LeaveNetLines();

    CDPoint m_ptPoint;
    CText m_NoText;
    std::uint32_t m_nDisNetID = 0;
    std::uint32_t m_nNetID = 0;
    NetLines m_netLines;
    CDRect m_rcItem;
};
