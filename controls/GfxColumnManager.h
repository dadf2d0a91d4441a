#pragma once
// The column definitions of a grid (id, caption, alignment, width, behaviour flags) and their
// display order. The manager inserts the columns into a grid and derives the grid's per-column
// masks from the flags; the owner reads the user's column order and widths back into it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CGfxListCtrl;

// Column alignment.
enum GfxColumnFormat
{
    LVCFMT_LEFT = 0,
    LVCFMT_RIGHT = 1,
    LVCFMT_CENTER = 2
};

// Column behaviour flags.
enum GfxColumnFlag : std::uint32_t
{
    GFXCOL_DROPLIST = 0x001, // drop-down list editor: choices only
    GFXCOL_DROPEDIT = 0x002, // editable drop-down editor
    GFXCOL_TEXTEDIT = 0x004, // text editor
    GFXCOL_SORTINT = 0x008,  // sorts as integers
    GFXCOL_SORTREAL = 0x010, // sorts as real numbers
    GFXCOL_SORTABLE = 0x020, // sorts by header click, descending first
    GFXCOL_IMAGE = 0x040,    // the text is an image number
    GFXCOL_NOSORTMARK = 0x080,
    GFXCOL_FIXEDWIDTH = 0x100,
    GFXCOL_HEADERIMAGE = 0x200 // the header shows the column's image instead of its caption
};

// Bit of a column id in the masks; ids above 31 share bits.
constexpr std::uint32_t GfxColumnBit(int id)
{
    return 1u << (static_cast<unsigned>(id) & 31u);
}

struct CGfxColumn
{
    int id = 0;
    int format = LVCFMT_LEFT;
    int width = 0;
    int image = -1;
    std::uint32_t flags = 0;
    std::string caption; // CP932
    std::string text2;   // kept, not shown
    std::string imageText;
};

// What the grid and its header take from the definitions, one mask bit per column id.
struct GfxColumnMasks
{
    std::uint32_t dropList = 0;
    std::uint32_t dropEdit = 0;
    std::uint32_t textEdit = 0;
    std::uint32_t intSort = 0;
    std::uint32_t realSort = 0;
    std::uint32_t image = 0;
    std::uint32_t sortState = 0;  // header: last sort ascending
    std::uint32_t noMark = 0;     // header
    std::uint32_t fixedWidth = 0; // header
};

struct GfxColumnLayout
{
    std::vector<CGfxColumn> columns; // in display order; header text "%d__" for image captions
    GfxColumnMasks masks;
};

class CGfxColumnManager
{
public:
    virtual ~CGfxColumnManager() = default;

    // Returns the index of the new definition.
    int AddColumn(int id, const std::string& caption, const std::string& text2, int format, int width,
                  std::uint32_t flags, int image = -1, const std::string& imageText = std::string());
    int FindColumn(int id) const;
    // false and an empty order when count is below 1.
    bool SetColumnOrder(int count, const int* ids);

    // The columns of the display order that have a definition, with the masks of their flags.
    GfxColumnLayout BuildLayout() const;
    // Replaces the grid's columns by the layout; false when the grid has no header.
    bool InsertColumns(CGfxListCtrl* list) const;
    // Reads the grid's current column order and widths back; false without a header.
    bool ReadHeaderLayout(const CGfxListCtrl* list);
    // The same from (column id, width) pairs in display order.
    void ReadLayout(const std::vector<std::pair<int, int>>& idWidths);

    const std::vector<CGfxColumn>& GetColumns() const { return m_columns; }
    const std::vector<int>& GetOrder() const { return m_order; }

private:
    std::vector<CGfxColumn> m_columns;
    std::vector<int> m_order;
};
