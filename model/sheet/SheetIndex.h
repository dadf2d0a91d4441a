#pragma once
// A grid over the items of a layer sheet by their bounding rectangles, one grid per item kind, so
// that drawing a view of a big board visits the items in view rather than every item. The sheet
// keeps one (CSheet::GetItemsIn) and builds it again after any change; this class only indexes
// the items as they were when it was made.

#include "model/geometry/DRect.h"
#include "model/sheet/SheetKinds.h"

#include <array>
#include <cstdint>
#include <vector>

class CItemBase;
class CSheet;

namespace platform {
class DrawContext;
}

class CSheetIndex
{
public:
    // Indexes every item of the sheet by its bounding rectangle (brought up to date first).
    explicit CSheetIndex(CSheet& sheet);

    // Appends the items of the kinds (a mask of kind bits) whose rectangles meet rect, edges
    // included: kind by kind in the order of the kind bits, each kind in the order of its list.
    // Items whose rectangles are not finite are always given, and left to decide for themselves.
    void Query(int kinds, const CDRect& rect, std::vector<CItemBase*>& out) const;

    // The part of the board, in millimetres, that an item must meet to put a pixel into what the
    // context can draw on: its clip box, grown by what items draw beyond their bounding rectangles
    // (the 4 mm a line tests around itself, a few units and a device pixel of rounding).
    static CDRect DrawArea(const platform::DrawContext& dc);

private:
    struct Entry
    {
        CItemBase* item;
        // The rectangle rounded outward to floats: left, top, right, bottom.
        float l, t, r, b;
    };
    // The items of one kind in list order, and a grid of cells over their extent listing them.
    struct Grid
    {
        std::vector<Entry> entries;
        std::vector<std::uint32_t> always; // entries without a finite rectangle: every query
        std::vector<std::uint32_t> large;  // entries over too many cells: tested one by one
        double x0 = 0, y0 = 0, cell = 1;   // origin and side of the cells
        int cols = 0, rows = 0;
        std::vector<std::uint32_t> starts; // cells x rows + 1 offsets into cells
        std::vector<std::uint32_t> cells;  // entry numbers by cell, ascending within a cell
        CDRect extent;

        void Build();
        void Query(const CDRect& rect, std::vector<CItemBase*>& out) const;
        int Col(double x) const;
        int Row(double y) const;
    };

    std::array<Grid, SHEET_KIND_COUNT> m_grids;
};
