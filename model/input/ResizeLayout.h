#pragma once
// Re-layout of a resized dialog by a static rule table: each ruled control's four edges are tied
// to an edge of the dialog's client area or of a control earlier in the table, by a fixed
// distance, a proportion, or the control's own width or height. Rectangles are in dialog client
// coordinates with exclusive right and bottom edges.

#include "platform/Types.h"

#include <vector>

// An edge of a rectangle.
enum ResizeEdge
{
    EdgeLeft = 1,
    EdgeTop = 2,
    EdgeRight = 3,
    EdgeBottom = 4,
    EdgeCentreX = 5, // (left + right) / 2
    EdgeCentreY = 6  // (top + bottom) / 2
};

// The rule of one edge: type, reference control id (0 for the dialog) and the reference's edge.
struct ResizeBorder
{
    int type = 0;
    int id = 0;
    int edge = 0;
};

// One row of a rule table: the control and the rules of its left, top, right and bottom edges.
struct ResizeRow
{
    int id = 0;
    ResizeBorder left, top, right, bottom;
};

enum ResizeRule
{
    RuleFixed = 1,        // the reference's edge plus the initial distance
    RuleProportional = 2, // the reference's edge plus the initial distance scaled with its size
    RuleKeepWidth = 3,    // new left plus the initial width
    RuleKeepHeight = 4    // new top plus the initial height
};

class CResizeLayout
{
public:
    struct Result
    {
        int id = 0;
        CRect rect;
        bool candidate = false; // may be hidden by an earlier control it overlaps
        bool hidden = false;
    };

    // The initial dialog rectangle, the rule rows and each row's initial rectangle.
    void Init(const CRect& dialog, const std::vector<ResizeRow>& rows, const std::vector<CRect>& initial);

    // New rectangles for the dialog's client rectangle `client`. current[i] is row i's rectangle
    // now (an edge whose rule names an unknown or later control stays there); visible[i] marks the
    // rows shown. With hideOverlapped, a visible row whose rectangle meets an earlier visible
    // row's is hidden and its rectangle made empty.
    std::vector<Result> Compute(const CRect& client, const std::vector<CRect>& current,
                                const std::vector<bool>& visible, bool hideOverlapped) const;

    // Where a window outside the table goes when the dialog's top right corner moves.
    static CRect FollowTopRight(const CRect& rect, const CRect& previousClient, const CRect& client);

    static int Coord(const CRect& rect, int edge);
    // The width for horizontal edges, the height for vertical ones, 0 for others.
    static int Size(const CRect& rect, int edge);
    static bool Intersects(const CRect& a, const CRect& b);

    const std::vector<ResizeRow>& Rows() const { return m_rows; }
    const std::vector<CRect>& Initial() const { return m_initial; }
    const CRect& InitialDialog() const { return m_dialog; }
    int Find(int id) const;

private:
    std::vector<ResizeRow> m_rows;
    std::vector<CRect> m_initial;
    CRect m_dialog;
};
