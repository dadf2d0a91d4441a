// The hole chart command: a symbol beside every hole whose size has one, the hole-to-hole
// clearance check with its marks, and the chart of sizes, counts and plating, all drawn as texts
// and lines on layers of the board.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/NumberText.h"
#include "model/items/Hole.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kHoleDataCommand = 32846;
constexpr double kSizeTolerance = 1e-6;

bool Same(double a, double b)
{
    return std::fabs(a - b) <= kSizeTolerance;
}

// The first row whose symbol is set, whose plating is the hole's and whose tool has the hole's size.
const tagHOLEENTRY* SymbolRow(const tagHOLEDATA& data, const std::array<tagTCODE, 100>& tools, CHole* hole)
{
    const int rows = std::min(data.holeCount, HOLE_ENTRY_MAX);
    for (int i = 0; i < rows; ++i) {
        const tagHOLEENTRY& row = data.holes[static_cast<std::size_t>(i)];
        const tagTCODE& tool = tools[static_cast<std::size_t>(i)];
        if (tool.hitCount == 0 || row.name.empty() ||
            (row.kind & HOLE_THROUGH) != (hole->GetType() & HOLE_THROUGH))
            continue;
        if (!Same(tool.diameter, hole->GetHoleDia()))
            continue;
        if (!hole->IsHole() &&
            (!Same(tool.width, hole->GetHoleWidth()) || !Same(tool.radius, hole->GetHoleRadius())))
            continue;
        return &row;
    }
    return nullptr;
}

// Indexes of the holes in sheet order that lie nearer to each other than the distance could allow,
// found through a grid: for hole i, the first later hole j that fails the clearance check.
int MarkTooClose(const std::vector<CHole*>& holes, double distance, const std::function<void(CHole*)>& mark)
{
    const std::size_t n = holes.size();
    std::vector<CDRect> rects(n);
    double largest = 0.0;
    double overhang = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        CDRect r = holes[i]->GetBoundingRect();
        r.NormalizeRect();
        rects[i] = r;
        largest = std::max({largest, r.Width(), r.Height()});
        if (!holes[i]->IsHole())
            overhang = std::max(overhang, holes[i]->GetHoleDia());
    }
    // The clearance of a shaped hole is measured from round holes at its ends, which may reach up
    // to half their diameter past its bounds on either hole: the reach covers both.
    const double reach = std::max(distance, 0.0) + 0.01 + overhang;
    // The grid spans the holes, in cells at least as wide as a hole and its reach (so a hole's
    // neighbours lie in the cells its grown bounds cover), and wider when the holes are so spread
    // out that the cells would outnumber them: larger cells only find more candidates.
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    bool any = false;
    for (const CDRect& r : rects) {
        if (!std::isfinite(r.left) || !std::isfinite(r.top) || !std::isfinite(r.right) ||
            !std::isfinite(r.bottom))
            continue;
        x0 = any ? std::min(x0, r.left) : r.left;
        y0 = any ? std::min(y0, r.top) : r.top;
        x1 = any ? std::max(x1, r.right) : r.right;
        y1 = any ? std::max(y1, r.bottom) : r.bottom;
        any = true;
    }
    const double most = 4.0 * static_cast<double>(n) + 1024.0;
    double cell = std::max(largest + reach, 0.1);
    if (!std::isfinite(cell) || !std::isfinite(x1 - x0) || !std::isfinite(y1 - y0))
        cell = std::numeric_limits<double>::infinity();
    else
        while ((std::floor((x1 - x0) / cell) + 1.0) * (std::floor((y1 - y0) / cell) + 1.0) > most)
            cell *= 2.0;
    const std::size_t nx =
        std::isfinite(cell) ? static_cast<std::size_t>(std::floor((x1 - x0) / cell)) + 1 : 1;
    const std::size_t ny =
        std::isfinite(cell) ? static_cast<std::size_t>(std::floor((y1 - y0) / cell)) + 1 : 1;
    // A cell index clamped into the grid (what lies outside has nothing in it to find).
    auto cellOf = [cell](double v, double origin, std::size_t cells) -> std::size_t {
        const double c = std::floor((v - origin) / cell);
        if (!(c > 0.0))
            return 0;
        return c >= static_cast<double>(cells - 1) ? cells - 1 : static_cast<std::size_t>(c);
    };
    struct Span
    {
        std::size_t fromX, toX, fromY, toY;
    };
    auto span = [&](const CDRect& r) {
        return Span{cellOf(r.left, x0, nx), cellOf(r.right, x0, nx), cellOf(r.top, y0, ny),
                    cellOf(r.bottom, y0, ny)};
    };
    // Every cell's holes in sheet order, the cells row by row in one array.
    std::vector<std::uint32_t> start(nx * ny + 1, 0);
    for (const CDRect& r : rects) {
        const Span s = span(r);
        for (std::size_t y = s.fromY; y <= s.toY; ++y)
            for (std::size_t x = s.fromX; x <= s.toX; ++x)
                ++start[y * nx + x + 1];
    }
    for (std::size_t c = 1; c < start.size(); ++c)
        start[c] += start[c - 1];
    std::vector<std::uint32_t> filed(start.back());
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            const Span s = span(rects[i]);
            for (std::size_t y = s.fromY; y <= s.toY; ++y)
                for (std::size_t x = s.fromX; x <= s.toX; ++x)
                    filed[next[y * nx + x]++] = static_cast<std::uint32_t>(i);
        }
    }
    // The later holes near hole i come out of the cells around it in sheet order by merging the
    // cells' tails past i. The walk stops at the first failing partner, so a stack of holes at one
    // place does not cost each of them the whole stack.
    struct Cursor
    {
        const std::uint32_t* at;
        const std::uint32_t* end;
    };
    int count = 0;
    std::vector<Cursor> cursors;
    for (std::size_t i = 0; i < n; ++i) {
        CDRect r = rects[i];
        r.InflateRect(reach);
        cursors.clear();
        const Span s = span(r);
        for (std::size_t y = s.fromY; y <= s.toY; ++y)
            for (std::size_t x = s.fromX; x <= s.toX; ++x) {
                const std::uint32_t* const begin = filed.data() + start[y * nx + x];
                const std::uint32_t* const end = filed.data() + start[y * nx + x + 1];
                if (const std::uint32_t* at = std::upper_bound(begin, end, static_cast<std::uint32_t>(i));
                    at != end)
                    cursors.push_back({at, end});
            }
        while (!cursors.empty()) {
            std::size_t j = *cursors.front().at;
            for (const Cursor& c : cursors)
                j = std::min<std::size_t>(j, *c.at);
            // A hole whose bounds stay beyond the reach is clear of this one.
            const CDRect& other = rects[j];
            const bool within = other.left <= r.right && other.right >= r.left && other.top <= r.bottom &&
                                other.bottom >= r.top;
            if (within && !holes[i]->CheckClearance(holes[j], distance)) {
                ++count;
                mark(holes[i]);
                break;
            }
            // A hole lying in several cells is met once.
            for (Cursor& c : cursors)
                if (*c.at == j)
                    ++c.at;
            std::erase_if(cursors, [](const Cursor& c) { return c.at == c.end; });
        }
    }
    return count;
}

// The size text of a chart row by its kind.
std::string ChartSizeText(const tagHOLEENTRY& row)
{
    if (row.kind & HOLE_RECT)
        return FormatNumber(row.size) + "x" + FormatNumber(row.width) + "(" + FormatNumber(row.third) + ")";
    if (row.kind & HOLE_LONG)
        return _J("φ") + FormatNumber(row.size) + "x" + FormatNumber(row.width);
    return FormatNumber(row.size);
}

} // namespace

// Puts the output's items into the layer's board sheet as one undo step (emptying the layer first
// when asked) and repaints what changed when the layer is shown.
void CVELTADoc::PlaceOnLayer(CSheet& output, int layer, bool empty)
{
    CSheet* sheet = GetBoardSheet(layer);
    if (!sheet)
        return;
    m_repaintRect = CDRect();
    const bool made = !output.IsEmpty();
    if (empty && made) {
        StoreUndoItem(sheet, layer, 0, 3);
        m_repaintRect = sheet->DeleteContents();
        StoreUndoItem(&output, layer, 0, 5);
    } else if (empty) {
        StoreUndoItem(sheet, layer, 0, 2);
        m_repaintRect = sheet->DeleteContents();
    } else if (made) {
        StoreUndoItem(&output, layer, 0, 1);
    }
    if (made)
        *sheet += output;
    if (IsDisplayedLayer(layer) && (made || empty)) {
        if (made)
            m_repaintRect |= output.GetBoundingRect();
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
}

void CVELTADoc::OnHoleData()
{
    SetToolButton(kHoleDataCommand);
    if (!m_pHost)
        return;
    tagHOLEDATA data;
    ReadHoleData(data);
    BuildPartList(true);
    if (!m_pHost->RunHoleDataDialog(data, *this))
        return;
    m_pHost->SaveProjectBoards();
    WriteHoleData(data);
    std::array<int, LAYER_MAX> flags{};
    for (int layer = 0; layer < LAYER_MAX; ++layer)
        flags[static_cast<std::size_t>(layer)] = data.input[static_cast<std::size_t>(layer)];
    CSheet holes(SHEET_WORK);
    if (MakeHoleList(flags.data(), &holes, 240) == 0)
        return;
    RunHoleChart(data, holes);
}

void CVELTADoc::RunHoleChart(const tagHOLEDATA& data, CSheet& holes)
{
    const double symbolX = data.code[1];
    const double symbolY = data.code[2];
    CText symbol("", CDPoint(), 0);
    symbol.SetSize(static_cast<int>(data.code[0] * 100.0));
    symbol.SetAngle(data.code[3] * std::numbers::pi / 180.0);

    CSheet* symbolSheet = GetBoardSheet(data.codeLayer);
    if (!symbolSheet)
        return;
    bool emptySymbols = false;
    if (!symbolSheet->IsEmpty()) {
        const int answer = AfxMessageBox(_J("記号出力先のレイヤにデータがあります。先に削除しますか？"),
                                         MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        emptySymbols = answer == IDYES;
    }

    std::vector<CHole*> list;
    for (POSITION pos = holes.GetFirstHolePos(); pos;)
        list.push_back(holes.GetNextHole(pos));
    CSheet output(SHEET_WORK);
    auto place = [&](const std::string& text, CHole* hole) {
        CText item(symbol);
        item.SetName(text);
        item.SetPoint(CDPoint(hole->GetPoint().x + symbolX, hole->GetPoint().y + symbolY));
        output.NewText(item);
    };
    for (CHole* hole : list)
        if (const tagHOLEENTRY* row = SymbolRow(data, m_tools, hole))
            place(row->name, hole);
    if (data.error) {
        const int errors =
            MarkTooClose(list, data.errorValue, [&](CHole* hole) { place(data.errorText, hole); });
        if (errors != 0)
            AfxMessageBox(platform::Format(_J("エラー箇所 %d").c_str(), errors), MB_OK | MB_ICONEXCLAMATION);
    }
    PlaceOnLayer(output, data.codeLayer, emptySymbols);

    if (data.tableLayer < 0 || data.tableLayer >= LAYER_MAX)
        return;
    output.DeleteContents();
    bool emptyTable = false;
    if (data.tableLayer != data.codeLayer && !GetBoardSheet(data.tableLayer)->IsEmpty()) {
        const int answer = AfxMessageBox(_J("表出力先のレイヤにデータがあります。先に削除しますか？"),
                                         MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        emptyTable = answer == IDYES;
    }
    MakeHoleChart(data, output);
    PlaceOnLayer(output, data.tableLayer, emptyTable);
}

void CVELTADoc::MakeHoleChart(const tagHOLEDATA& data, CSheet& chart)
{
    const int n = std::clamp(data.holeCount, 0, HOLE_ENTRY_MAX);
    const double h = data.table[0];
    const double x0 = data.table[1];
    const double y0 = data.table[2];
    const double pitch = h + 2.0;
    CText model("", CDPoint(), 0);
    model.SetSize(static_cast<int>(h * 100.0));
    model.SetAngle(0.0);
    auto text = [&model](const std::string& string) {
        CText item(model);
        item.SetName(string);
        return item;
    };
    auto width = [&text](const std::string& string) {
        CText item = text(string);
        CDRect r = item.GetBoundingRect();
        r.NormalizeRect();
        return r.Width();
    };

    bool slots = false;
    bool corners = false;
    std::vector<std::string> sizes(static_cast<std::size_t>(n));
    double w[4] = {width(_J("記号")), 0.0, width(_J("カウント")), std::max(width(_J("種類")), width("NTH"))};
    for (int i = 0; i < n; ++i) {
        const tagHOLEENTRY& row = data.holes[static_cast<std::size_t>(i)];
        slots = slots || (row.kind & (HOLE_LONG | HOLE_RECT)) != 0;
        corners = corners || (row.kind & HOLE_RECT) != 0;
        sizes[static_cast<std::size_t>(i)] = ChartSizeText(row);
        w[0] = std::max(w[0], width(row.name));
        w[1] = std::max(w[1], width(sizes[static_cast<std::size_t>(i)]));
        w[2] = std::max(w[2], width(platform::Format("%d", m_tools[static_cast<std::size_t>(i)].hitCount)));
    }
    std::string header = _J("径");
    if (slots)
        header += _J("/高x幅");
    if (corners)
        header += _J("(隅半径)");
    w[1] = std::max(w[1], width(header));
    const double x1 = x0 + w[0] + 3.0;
    const double x2 = x1 + w[1] + 3.0;
    const double x3 = x2 + w[2] + 3.0;
    const double x4 = x3 + w[3] + 3.0;
    const double top = y0 + (n + 1) * pitch;

    auto put = [&](const std::string& string, double x, double y, int origin) {
        CText item = text(string);
        item.SetOrign(origin);
        item.SetPoint(CDPoint(x, y));
        chart.NewText(item);
    };
    const double headerY = y0 + n * pitch + 1.0;
    put(_J("記号"), x0 + 1.5, headerY, TEXT_ORG_BOTTOM_LEFT);
    put(header, x1 + 1.5, headerY, TEXT_ORG_BOTTOM_LEFT);
    put(_J("カウント"), x3 - 1.5, headerY, TEXT_ORG_BOTTOM_RIGHT);
    put(_J("種類"), x3 + 1.5, headerY, TEXT_ORG_BOTTOM_LEFT);
    for (int i = 0; i < n; ++i) {
        const tagHOLEENTRY& row = data.holes[static_cast<std::size_t>(i)];
        const double y = y0 + (n - 1 - i) * pitch + 1.0;
        put(row.name, x0 + 1.5, y, TEXT_ORG_BOTTOM_LEFT);
        put(sizes[static_cast<std::size_t>(i)], x1 + 1.5, y, TEXT_ORG_BOTTOM_LEFT);
        put(platform::Format("%d", m_tools[static_cast<std::size_t>(i)].hitCount), x3 - 1.5, y,
            TEXT_ORG_BOTTOM_RIGHT);
        put((row.kind & HOLE_THROUGH) ? "TH" : "NTH", x3 + 1.5, y, TEXT_ORG_BOTTOM_LEFT);
    }

    auto line = [&chart](double ax, double ay, double bx, double by) {
        chart.NewLine(CLine(CDPoint(ax, ay), CDPoint(bx, by), 0, 0));
    };
    line(x0, y0, x4, y0);
    line(x4, y0, x4, top);
    line(x4, top, x0, top);
    line(x0, top, x0, y0);
    for (int k = 1; k <= n; ++k)
        line(x0, y0 + k * pitch, x4, y0 + k * pitch);
    for (double x : {x1, x2, x3})
        line(x, top, x, y0);
    // Table X and Y are user coordinates.
    chart.OffsetItem(m_userOrigin, 1);
}
