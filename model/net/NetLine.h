#pragma once
// Copper group: the copper items of one layer that touch each other (tracks, lands, arcs, surfaces,
// texts, holes, vias) and the part terminals lying on them. A group refers to its members; sheets
// and parts own them, except the members expressly given to the group to own (AdoptItem), which it
// frees. Lines, lands, arcs, surfaces and texts carry the group id in their own id; a via carries it
// in its per-layer id of the group's W-layer, a hole in its wire id of that layer; a terminal is
// linked both ways (it keeps a list of its groups).
//
// The id's low byte is the work layer; ids made by MakeNetID step by 256.

#include "model/geometry/DRect.h"
#include "model/items/ItemBase.h"
#include "model/items/ItemBaseList.h"
#include "model/net/PointerCounts.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CArc;
class CHole;
class CLand;
class CLine;
class CSur;
class CTer;
class CText;
class CVia;
class DocumentServices;
class NetMemberIndex;
struct tagDRCSPEC;

// Attribute bits of a group (the type word of the layer sheet it lies on).
enum NetLineAttr : int
{
    NETLINE_WIRING = 0x1,  // with W-layer 0 a via takes the group id as its own id
    NETLINE_NEGATIVE = 0x8 // the group lies on a negative (plane) layer
};

class CNetLine
{
public:
    using POSITION = CItemBaseList::POSITION;

    // Id 0, attribute 0, W-layer 0, empty lists and bounds.
    CNetLine();
    CNetLine(std::uint32_t id, int wLayer, int attr);
    // Empties this group, takes the other's id, attribute and W-layer, then merges the other in
    // (operator+=, which stamps this id on the other's members).
    CNetLine(CNetLine& other);
    CNetLine& operator=(CNetLine& other);
    // Frees the lists without deleting the members it does not own (those it owns go with it);
    // terminals still linked to the group are unlinked, so that none keeps a pointer to a freed
    // group.
    ~CNetLine();

    std::uint32_t GetID() const { return m_nID; }
    int GetAttr() const { return m_nAttr; }
    void SetAttr(int attr) { m_nAttr = attr; }
    int GetWLayer() const { return m_nWLayer; }
    void SetWLayer(int wLayer) { m_nWLayer = wLayer; }
    const CDRect& GetBoundingRect() const
    {
        // Taking terminals out leaves the bounds to be made again when next asked for: a part's
        // reset takes each of its terminals out of a board-wide group one by one.
        if (m_boundsStale)
            const_cast<CNetLine*>(this)->CalcBoundingRect();
        return m_rcBound;
    }
    // 1 when the ids are equal.
    int operator==(const CNetLine& other) const { return m_nID == other.m_nID; }

    // Merge: the other's members take this id and join this group; its terminals are linked here.
    // The other keeps its lists; its owner discards it. The members the other owns are owned here
    // from now on (copying a group merges it, so the copy takes them too).
    CNetLine& operator+=(CNetLine& other);
    // Stamps the id on the group and its members. Id 0 also clears the own ids of the vias and
    // holes, unlinks every terminal, resets its part's ids and empties the terminal list.
    void SetID(std::uint32_t id);
    // Room for this many more members, so that adding a large set does not grow the lookup table
    // step by step.
    void ReserveMembers(std::size_t more) { m_members.Reserve(more); }
    // Adds a member: lines, lands, arcs, surfaces and texts take the group id (no repeat check);
    // vias and holes take it on the W-layer (once in the list); terminals are linked both ways.
    // Other kinds are ignored.
    void AddItem(CItemBase* item);
    // Merges a group (operator+=).
    void AddItem(CNetLine* group) { *this += *group; }
    // Where the item stands in the list of its kind; null when it is not a member.
    POSITION FindItem(const CItemBase* item);
    // Whether the item is a member (as FindItem finds it), without a walk of its list: a board-wide
    // group has thousands of terminals.
    bool HasItem(const CItemBase* item) const { return item && Holds(item); }
    // Takes the item out of the list of its kind (nothing when absent), then recomputes the bounds.
    // A terminal also drops this group from its own list.
    void RemoveItem(CItemBase* item);
    // Takes a terminal out of the group both ways (nothing when it is not a member); the bounds stay,
    // terminals not counting in them.
    void RemoveTer(CTer* ter);
    // Empties every list (terminals are unlinked first); the members are not deleted.
    void DeleteContents();
    // Adds a member that the group owns from now on (see AddItem). A group owns only the members
    // given to it so; every other member belongs to a sheet, a part or the caller, parent or not.
    void AdoptItem(std::unique_ptr<CItemBase> item);
    // Deletes the members the group owns, each once, then empties the group. Members it does not
    // own are left to their owners.
    void DeleteAllItem();
    // No lines, lands, arcs, surfaces, texts, vias or holes (terminals are not counted).
    int IsEmpty() const;

    // Files the members in a grid for a pass of contact or clearance tests against this group (see
    // NetMemberIndex), built on first use. It is kept up to date as members join and merges
    // happen, and dropped when a member leaves; the items must stay put while it is kept, so the
    // pass releases it when done.
    NetMemberIndex& KeepMemberIndex();
    // The kept index, or null.
    NetMemberIndex* GetMemberIndex() { return m_index.get(); }
    void ReleaseMemberIndex();

    // 1 when the other group touches this one.
    int CheckShortItem(CNetLine* other);
    // The first member that touches the item, or null.
    CItemBase* CheckShortItem(CItemBase* item);
    // Clearance check of the other group's members against this group; findings go to the rule.
    void DRC_ShortCheck(tagDRCSPEC* drc, CNetLine* other);
    // Clearance check of one item against this group's members.
    void DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);

    // Gives ids first, first + 256, ... to the sets of touching members that have none: seeds are the
    // lines, arcs, lands, surfaces and texts without an id in that order, then the vias without an id
    // on the W-layer; holes join by contact only. Returns the number of ids made.
    int MakeNetID(std::uint32_t first);
    // MakeNetID over members given as lists, each item once, without building a group: the own-id
    // pieces in seeding order, the vias (seen as their lands of a group of this attribute on the
    // W-layer), the holes.
    static int MakeNetID(std::uint32_t first, const std::vector<CItemBase*>& pieces,
                         const std::vector<CItemBase*>& vias, const std::vector<CItemBase*>& holes, int attr,
                         int wLayer);
    // Adds the source's members that carry this group's id (vias and holes on the source's W-layer);
    // returns the bounds.
    CDRect GetSameIDItem(CNetLine* source);
    // Members of one list: 1 lines, 2 lands, 4 arcs, 5 vias, 6 texts, 7 holes, 8 surfaces,
    // 9 terminals; any other code the sum of all eight.
    std::uint32_t GetCount(int code) const;
    // Appends this group (when absent) and every group of any layer reachable from it through the
    // vias and holes, each once, in depth-first order.
    void GetAllNetLine(DocumentServices* doc, std::vector<CNetLine*>* list);

    // Member iteration: the head position (null for an empty list), then the member at a position
    // with the position moved on (null after the last).
    POSITION GetFirstLinePos() { return m_Lines.GetHeadPosition(); }
    POSITION GetFirstLandPos() { return m_Lands.GetHeadPosition(); }
    POSITION GetFirstArcPos() { return m_Arcs.GetHeadPosition(); }
    POSITION GetFirstSurPos() { return m_Surs.GetHeadPosition(); }
    POSITION GetFirstTextPos() { return m_Texts.GetHeadPosition(); }
    POSITION GetFirstHolePos() { return m_Holes.GetHeadPosition(); }
    POSITION GetFirstViaPos() { return m_Vias.GetHeadPosition(); }
    POSITION GetFirstTerPos() { return m_Ters.GetHeadPosition(); }
    CLine* GetNextLine(POSITION& pos);
    CLand* GetNextLand(POSITION& pos);
    CArc* GetNextArc(POSITION& pos);
    CSur* GetNextSur(POSITION& pos);
    CText* GetNextText(POSITION& pos);
    CHole* GetNextHole(POSITION& pos);
    CVia* GetNextVia(POSITION& pos);
    CTer* GetNextTer(POSITION& pos);
    // Null for a group without terminals.
    CTer* GetFirstTer();
    // The first member of the first non-empty list in the order lands, lines, texts, arcs, holes,
    // surfaces, vias, terminals; null for an empty group.
    CItemBase* GetHeadItem();
    // Copper length: the lines' lengths plus the arcs' (radius x sweep, a full circle 2 pi r).
    double GetLength();

protected:
    // Bounds = the union of the members' rectangles (a via by its land on the W-layer, or its drill
    // hole when it has no land there); terminals do not count.
    void CalcBoundingRect();

private:
    // The list of a kind bit (lines for an unknown kind).
    CItemBaseList& ListOf(int kind);
    void Append(CItemBaseList& list, CItemBase* item);
    void Unlink(CItemBaseList& list, POSITION pos);
    bool Holds(const CItemBase* item) const;
    CLand ViaLand(const CVia& via, int layer) const;
    std::unique_ptr<NetMemberIndex> BuildMemberIndex();
    CItemBase* CheckShortPositive(CItemBase* item, const CDRect& rect);
    CItemBase* CheckShortNegative(CItemBase* item, const CDRect& rect);
    // The clearance check of an item against the members near it, through the kept index.
    void CheckNearMembers(tagDRCSPEC* drc, CItemBase* tested, const CDRect& rect, double viaGrow,
                          double copperGrow);

    std::uint32_t m_nID = 0;
    int m_nAttr = 0;
    int m_nWLayer = 0;
    CDRect m_rcBound;
    bool m_boundsStale = false;
    CItemBaseList m_Lines;
    CItemBaseList m_Lands;
    CItemBaseList m_Arcs;
    CItemBaseList m_Surs;
    CItemBaseList m_Texts;
    CItemBaseList m_Holes;
    CItemBaseList m_Vias;
    CItemBaseList m_Ters;
    // How often each item stands in the lists, so that membership tests need no list walk.
    PointerCounts m_members;
    std::unique_ptr<NetMemberIndex> m_index;
    // The members this group owns (AdoptItem), freed with it or by DeleteAllItem.
    std::vector<std::unique_ptr<CItemBase>> m_owned;
    // Where each terminal stands in its list: a part's reset takes its terminals out of board-wide
    // groups with thousands of them one by one.
    std::unordered_map<const CItemBase*, POSITION> m_terAt;
};
