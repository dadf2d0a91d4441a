#include "Strokes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace fontgen {

namespace {

struct End
{
    std::size_t line;
    bool front;
};

bool IsLoop(const GridPolyline& line)
{
    return line.size() > 2 && line.front() == line.back();
}

// Unit direction from an end of the line into the line, taken a few steps away so that the grid
// does not decide it.
std::pair<double, double> Outward(const GridPolyline& line, bool front)
{
    const GridPoint& from = front ? line.front() : line.back();
    GridPoint to = from;
    for (std::size_t k = 1; k < line.size(); ++k) {
        to = front ? line[k] : line[line.size() - 1 - k];
        if (std::hypot(to.x - from.x, to.y - from.y) >= 3.0)
            break;
    }
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double len = std::hypot(dx, dy);
    if (len == 0.0)
        return {0.0, 0.0};
    return {dx / len, dy / len};
}

GridPolyline Reversed(GridPolyline line)
{
    std::reverse(line.begin(), line.end());
    return line;
}

// Removes repeated points and points in the middle of a straight run.
GridPolyline Tidy(const GridPolyline& line)
{
    GridPolyline out;
    for (const GridPoint& p : line) {
        if (!out.empty() && out.back() == p)
            continue;
        if (out.size() >= 2) {
            const GridPoint& a = out[out.size() - 2];
            const GridPoint& b = out.back();
            const long cross = long(b.x - a.x) * (p.y - b.y) - long(b.y - a.y) * (p.x - b.x);
            const long dot = long(b.x - a.x) * (p.x - b.x) + long(b.y - a.y) * (p.y - b.y);
            if (cross == 0 && dot > 0) {
                out.back() = p;
                continue;
            }
        }
        out.push_back(p);
    }
    return out;
}

double DistanceToSegment(const Point& p, const Point& a, const Point& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

std::vector<GridPolyline> JoinPolylines(std::vector<GridPolyline> lines, bool straightOnly)
{
    for (;;) {
        std::map<std::pair<int, int>, std::vector<End>> nodes;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].empty() || IsLoop(lines[i]))
                continue;
            nodes[{lines[i].front().x, lines[i].front().y}].push_back({i, true});
            if (lines[i].size() > 1)
                nodes[{lines[i].back().x, lines[i].back().y}].push_back({i, false});
        }
        bool joined = false;
        for (auto& [at, ends] : nodes) {
            if (ends.size() < 2)
                continue;
            // The pair that continues most nearly straight.
            double best = std::numeric_limits<double>::max();
            std::pair<End, End> pair{};
            for (std::size_t a = 0; a < ends.size(); ++a) {
                for (std::size_t b = a + 1; b < ends.size(); ++b) {
                    if (ends[a].line == ends[b].line)
                        continue;
                    const auto da = Outward(lines[ends[a].line], ends[a].front);
                    const auto db = Outward(lines[ends[b].line], ends[b].front);
                    const double c = da.first * db.first + da.second * db.second;
                    if (c < best) {
                        best = c;
                        pair = {ends[a], ends[b]};
                    }
                }
            }
            if (best == std::numeric_limits<double>::max())
                continue;
            if (straightOnly && ends.size() > 2 && best > -0.7)
                continue;
            GridPolyline first = lines[pair.first.line];
            GridPolyline second = lines[pair.second.line];
            if (pair.first.front)
                first = Reversed(std::move(first));
            if (!pair.second.front)
                second = Reversed(std::move(second));
            first.insert(first.end(), second.begin() + 1, second.end());
            lines[pair.first.line] = std::move(first);
            lines[pair.second.line].clear();
            joined = true;
            break;
        }
        if (!joined)
            break;
    }
    std::erase_if(lines, [](const GridPolyline& l) { return l.empty(); });
    return lines;
}

std::string EncodeStrokes(std::vector<GridPolyline> lines, int maxX)
{
    // Into the cell, without repeated or straight-run points.
    std::vector<GridPolyline> ready;
    for (GridPolyline& line : lines) {
        for (GridPoint& p : line) {
            p.x = std::clamp(p.x, 0, maxX);
            p.y = std::clamp(p.y, 0, kMaxDrawY);
        }
        line = Tidy(line);
        if (line.empty())
            continue;
        if (line.front().y <= kMaxMoveY || line.back().y <= kMaxMoveY) {
            ready.push_back(std::move(line));
            continue;
        }
        // Neither end can be reached with the pen up: begin at the lowest point instead.
        const auto lowest = std::min_element(
            line.begin(), line.end(), [](const GridPoint& a, const GridPoint& b) { return a.y < b.y; });
        if (lowest->y <= kMaxMoveY) {
            GridPolyline head(line.begin(), lowest + 1);
            GridPolyline tail(lowest, line.end());
            ready.push_back(Reversed(std::move(head)));
            ready.push_back(std::move(tail));
        } else {
            const int drop = lowest->y - kMaxMoveY;
            for (GridPoint& p : line)
                p.y -= drop;
            ready.push_back(std::move(line));
        }
    }

    std::string out;
    GridPoint pen{0, 0};
    std::vector<bool> done(ready.size(), false);
    for (std::size_t n = 0; n < ready.size(); ++n) {
        // Next: the polyline whose reachable end is nearest to the pen.
        std::size_t pick = 0;
        bool reverse = false;
        long best = std::numeric_limits<long>::max();
        for (std::size_t i = 0; i < ready.size(); ++i) {
            if (done[i])
                continue;
            for (int r = 0; r < 2; ++r) {
                const GridPoint& s = r ? ready[i].back() : ready[i].front();
                if (s.y > kMaxMoveY)
                    continue;
                const long d = long(s.x - pen.x) * (s.x - pen.x) + long(s.y - pen.y) * (s.y - pen.y);
                if (d < best) {
                    best = d;
                    pick = i;
                    reverse = r != 0;
                }
            }
        }
        done[pick] = true;
        const GridPolyline line = reverse ? Reversed(ready[pick]) : ready[pick];

        const GridPoint& start = line.front();
        if (start.x != pen.x)
            out.push_back(static_cast<char>(32 + start.x));
        if (start.y != pen.y)
            out.push_back(static_cast<char>(160 + start.y));
        pen = start;
        if (line.size() == 1)
            out.push_back(static_cast<char>(64 + start.x)); // a dot
        for (std::size_t k = 1; k < line.size(); ++k) {
            const GridPoint& q = line[k];
            if (q.y == pen.y) {
                out.push_back(static_cast<char>(64 + q.x));
            } else {
                if (q.x != pen.x)
                    out.push_back(static_cast<char>(96 + q.x));
                out.push_back(static_cast<char>(192 + q.y));
            }
            pen = q;
        }
    }
    return out;
}

Polyline Simplify(const Polyline& line, double tolerance)
{
    if (line.size() <= 2)
        return line;
    std::vector<bool> keep(line.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> work{{0, line.size() - 1}};
    while (!work.empty()) {
        const auto [a, b] = work.back();
        work.pop_back();
        double worst = -1.0;
        std::size_t at = a;
        for (std::size_t k = a + 1; k < b; ++k) {
            const double d = DistanceToSegment(line[k], line[a], line[b]);
            if (d > worst) {
                worst = d;
                at = k;
            }
        }
        if (worst > tolerance) {
            keep[at] = true;
            work.push_back({a, at});
            work.push_back({at, b});
        }
    }
    Polyline out;
    for (std::size_t k = 0; k < line.size(); ++k)
        if (keep[k])
            out.push_back(line[k]);
    return out;
}

} // namespace fontgen
