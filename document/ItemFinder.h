#pragma once
// Finds items of one layer sheet by their points, the first in list order, without walking the
// sheet for every question: the undo store takes back thousands of items by equality, and chain
// walks follow connected ends through whole boards. The finder indexes the sheet's items as they
// are when it is made; items leave it only through the finder (Delete, Forget), and the sheet must
// not gain or lose items otherwise while the finder is used.

#include "model/geometry/DPoint.h"
#include "model/sheet/Sheet.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class ItemFinder
{
public:
    enum Mode
    {
        EQUALITY, // each item under the point its class equality compares
        ENDS      // lines and arcs under both of their end points
    };

    // Indexes the items of the kinds (a mask of kind bits) in the order of the kind bits, each kind
    // in list order.
    ItemFinder(CSheet& sheet, int kinds, Mode mode);

    // The first item still indexed that is equal to the given one by its class's equality.
    CItemBase* FindEqual(CItemBase& given);
    // The first line, else the first arc, still indexed with an end within 1e-6 of the point on
    // both axes (ENDS mode).
    CItemBase* FindEnd(const CDPoint& point);
    // Frees an indexed item from the sheet.
    void Delete(CItemBase* item);
    // The item left the sheet some other way (or is to be left alone from now on).
    void Forget(CItemBase* item);
    CSheet& GetSheet() { return m_sheet; }

private:
    struct Slot
    {
        CItemBase* item;
        POSITION pos;
        int kind;
        bool alive;
    };

    void Add(std::uint32_t slot, const std::optional<CDPoint>& point);
    // Slots whose points may lie within reach of the point (a superset), or the slots without a
    // point when there is none.
    template <class F> void ForNear(const std::optional<CDPoint>& point, double reach, F f) const;
    static std::optional<std::uint64_t> CellKey(double x, double y);
    // The slot of an item still indexed, or -1.
    std::int64_t SlotOf(const CItemBase* item);

    CSheet& m_sheet;
    std::vector<Slot> m_slots;
    // (cell, slot) pairs sorted, so a cell's slots are one run in list order: one allocation for
    // the whole index, however many items.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> m_cells;
    std::vector<std::uint32_t> m_pointless; // slots without a finite point
    // The slot a Find answered last: the usual item of a following Delete or Forget.
    std::uint32_t m_lastFound = 0;
    // Built only when an item other than the last one found is deleted.
    std::unordered_map<const CItemBase*, std::uint32_t> m_slotOf;
};
