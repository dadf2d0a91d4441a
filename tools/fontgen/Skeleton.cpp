#include "Skeleton.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace fontgen {

namespace {

// Neighbour offsets P2..P9: N, NE, E, SE, S, SW, W, NW.
constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// Zhang-Suen thinning. The bitmap has a clear border of one pixel.
void Thin(Bitmap& b)
{
    std::vector<int> ink;
    for (int y = 1; y < b.height - 1; ++y)
        for (int x = 1; x < b.width - 1; ++x)
            if (b.at(x, y))
                ink.push_back(y * b.width + x);
    std::vector<int> remove;
    for (bool changed = true; changed;) {
        changed = false;
        for (int pass = 0; pass < 2; ++pass) {
            remove.clear();
            for (int idx : ink) {
                const int x = idx % b.width;
                const int y = idx / b.width;
                if (!b.at(x, y))
                    continue;
                int p[8];
                int count = 0;
                for (int k = 0; k < 8; ++k) {
                    p[k] = b.at(x + kDx[k], y + kDy[k]);
                    count += p[k];
                }
                if (count < 3 || count > 6) // 3, not 2: two-pixel diagonals keep their ends
                    continue;
                int transitions = 0;
                for (int k = 0; k < 8; ++k)
                    transitions += !p[k] && p[(k + 1) % 8];
                if (transitions != 1)
                    continue;
                // p[0] N, p[2] E, p[4] S, p[6] W
                if (pass == 0 ? (p[0] && p[2] && p[4]) || (p[2] && p[4] && p[6])
                              : (p[0] && p[2] && p[6]) || (p[0] && p[4] && p[6]))
                    continue;
                remove.push_back(idx);
            }
            for (int idx : remove)
                b.pixels[static_cast<std::size_t>(idx)] = 0;
            changed = changed || !remove.empty();
        }
        std::erase_if(ink, [&](int idx) { return !b.pixels[static_cast<std::size_t>(idx)]; });
    }
}

// Neighbours under mixed adjacency: a diagonal neighbour counts only when neither pixel between
// the two is ink, so a staircase is a simple chain and not a row of triangles.
int Neighbours(const Bitmap& b, int idx, int out[8])
{
    const int x = idx % b.width;
    const int y = idx / b.width;
    int n = 0;
    for (int k = 0; k < 8; ++k) {
        const int nx = x + kDx[k];
        const int ny = y + kDy[k];
        if (!b.at(nx, ny))
            continue;
        if (kDx[k] != 0 && kDy[k] != 0 && (b.at(nx, y) || b.at(x, ny)))
            continue;
        out[n++] = ny * b.width + nx;
    }
    return n;
}

struct Path
{
    Polyline points;
    int startNode = -1; // node of each end; -1 for a closed loop
    int endNode = -1;
    bool removed = false;
};

double Length(const Polyline& line)
{
    double length = 0.0;
    for (std::size_t k = 1; k < line.size(); ++k)
        length += std::hypot(line[k].x - line[k - 1].x, line[k].y - line[k - 1].y);
    return length;
}

int Find(std::vector<int>& parent, int i)
{
    while (parent[static_cast<std::size_t>(i)] != i) {
        parent[static_cast<std::size_t>(i)] =
            parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

// Component labels of the ink (8-connected); 0 = background.
std::vector<int> Components(const Bitmap& b, int& count)
{
    std::vector<int> label(b.pixels.size(), 0);
    count = 0;
    std::vector<int> stack;
    for (std::size_t i = 0; i < b.pixels.size(); ++i) {
        if (!b.pixels[i] || label[i])
            continue;
        label[i] = ++count;
        stack.push_back(static_cast<int>(i));
        while (!stack.empty()) {
            const int idx = stack.back();
            stack.pop_back();
            const int x = idx % b.width;
            const int y = idx / b.width;
            for (int k = 0; k < 8; ++k) {
                const int n = (y + kDy[k]) * b.width + x + kDx[k];
                if (b.pixels[static_cast<std::size_t>(n)] && !label[static_cast<std::size_t>(n)]) {
                    label[static_cast<std::size_t>(n)] = count;
                    stack.push_back(n);
                }
            }
        }
    }
    return label;
}

} // namespace

std::vector<Polyline> TraceCentreLines(const Bitmap& glyph, double spurLength, double hatchStep)
{
    // Work on a copy with a clear border.
    Bitmap b(glyph.width + 2, glyph.height + 2);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            b.at(x + 1, y + 1) = glyph.at(x, y) ? 1 : 0;
    int componentCount = 0;
    const std::vector<int> component = Components(b, componentCount);
    Thin(b);

    auto centre = [&](int idx) { return Point{double(idx % b.width - 1), double(idx / b.width - 1)}; };

    // Solid areas: ink far thicker than its skeleton is long (a filled circle thins to a point).
    // They are filled with horizontal lines instead of being followed.
    const std::size_t labels = static_cast<std::size_t>(componentCount) + 1;
    std::vector<int> area(labels, 0), skeleton(labels, 0), top(labels, b.height), bottom(labels, -1);
    for (std::size_t i = 0; i < b.pixels.size(); ++i) {
        const auto c = static_cast<std::size_t>(component[i]);
        if (!c)
            continue;
        ++area[c];
        skeleton[c] += b.pixels[i];
        top[c] = std::min(top[c], static_cast<int>(i) / b.width);
        bottom[c] = std::max(bottom[c], static_cast<int>(i) / b.width);
    }
    std::vector<bool> solid(labels, false);
    std::vector<Polyline> hatches;
    for (std::size_t c = 1; c < labels; ++c) {
        if (area[c] < 16 * hatchStep * hatchStep || area[c] < 15 * std::max(skeleton[c], 1))
            continue;
        solid[c] = true;
        const int rows = static_cast<int>((bottom[c] - top[c]) / hatchStep) + 1;
        const double first = (top[c] + bottom[c]) / 2.0 - (rows - 1) * hatchStep / 2.0;
        for (int r = 0; r < rows; ++r) {
            const int y = static_cast<int>(std::lround(first + r * hatchStep));
            for (int x = 0; x < b.width; ++x) {
                if (component[static_cast<std::size_t>(y * b.width + x)] != static_cast<int>(c))
                    continue;
                const int from = x;
                while (x + 1 < b.width &&
                       component[static_cast<std::size_t>(y * b.width + x + 1)] == static_cast<int>(c))
                    ++x;
                hatches.push_back({centre(y * b.width + from), centre(y * b.width + x)});
            }
        }
    }
    for (std::size_t i = 0; i < b.pixels.size(); ++i)
        if (solid[static_cast<std::size_t>(component[i])])
            b.pixels[i] = 0;

    // Follow the skeleton between pixels that are not simple chain links.
    std::vector<int> degree(b.pixels.size(), 0);
    int nb[8];
    for (std::size_t i = 0; i < b.pixels.size(); ++i)
        if (b.pixels[i])
            degree[i] = Neighbours(b, static_cast<int>(i), nb);
    std::vector<std::vector<int>> pixelPaths;
    std::vector<bool> visited(b.pixels.size(), false); // chain pixels already followed
    auto follow = [&](int from, int next) {
        std::vector<int> path{from, next};
        int prev = from;
        int cur = next;
        while (degree[static_cast<std::size_t>(cur)] == 2 && cur != from) {
            visited[static_cast<std::size_t>(cur)] = true;
            if (Neighbours(b, cur, nb) < 2)
                break;
            const int step = nb[0] == prev ? nb[1] : nb[0];
            prev = cur;
            cur = step;
            path.push_back(cur);
        }
        return path;
    };
    for (std::size_t i = 0; i < b.pixels.size(); ++i) {
        if (!b.pixels[i] || degree[i] == 2)
            continue;
        const int idx = static_cast<int>(i);
        if (degree[i] == 0) {
            pixelPaths.push_back({idx});
            continue;
        }
        const int n = Neighbours(b, idx, nb);
        const std::vector<int> starts(nb, nb + n);
        for (int next : starts) {
            if (visited[static_cast<std::size_t>(next)])
                continue;
            // A link between two node pixels is followed once, from the lower index.
            if (degree[static_cast<std::size_t>(next)] != 2 && next < idx)
                continue;
            pixelPaths.push_back(follow(idx, next));
        }
    }
    // Closed loops without a node.
    for (std::size_t i = 0; i < b.pixels.size(); ++i) {
        if (!b.pixels[i] || degree[i] != 2 || visited[i])
            continue;
        const int idx = static_cast<int>(i);
        visited[i] = true;
        Neighbours(b, idx, nb);
        std::vector<int> path = follow(idx, nb[0]);
        pixelPaths.push_back(std::move(path));
    }

    // Ink that thinning removed whole becomes a dot.
    std::vector<bool> kept(static_cast<std::size_t>(componentCount) + 1, false);
    for (std::size_t i = 0; i < b.pixels.size(); ++i)
        if (b.pixels[i])
            kept[static_cast<std::size_t>(component[i])] = true;
    std::vector<Path> paths;
    for (int c = 1; c <= componentCount; ++c) {
        if (kept[static_cast<std::size_t>(c)] || solid[static_cast<std::size_t>(c)])
            continue;
        double sx = 0.0, sy = 0.0;
        int n = 0;
        for (std::size_t i = 0; i < component.size(); ++i) {
            if (component[i] == c) {
                const Point p = centre(static_cast<int>(i));
                sx += p.x;
                sy += p.y;
                ++n;
            }
        }
        paths.push_back({{Point{sx / n, sy / n}}, -1, -1, false});
    }

    // Ends closer than a pixel diagonal form one node.
    std::vector<Point> ends;
    std::vector<Path> traced;
    for (const std::vector<int>& pp : pixelPaths) {
        Path path;
        for (int idx : pp)
            path.points.push_back(centre(idx));
        const bool loop = pp.size() > 2 && pp.front() == pp.back();
        if (!loop) {
            path.startNode = static_cast<int>(ends.size());
            ends.push_back(path.points.front());
            path.endNode = static_cast<int>(ends.size());
            ends.push_back(path.points.back());
        }
        traced.push_back(std::move(path));
    }
    std::vector<int> parent(ends.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (std::size_t a = 0; a < ends.size(); ++a)
        for (std::size_t c = a + 1; c < ends.size(); ++c)
            if (std::hypot(ends[a].x - ends[c].x, ends[a].y - ends[c].y) < 1.5)
                parent[static_cast<std::size_t>(Find(parent, int(a)))] = Find(parent, int(c));
    std::vector<Point> nodeSum(ends.size(), Point{});
    std::vector<int> nodeCount(ends.size(), 0);
    for (std::size_t a = 0; a < ends.size(); ++a) {
        const int r = Find(parent, int(a));
        nodeSum[static_cast<std::size_t>(r)].x += ends[a].x;
        nodeSum[static_cast<std::size_t>(r)].y += ends[a].y;
        ++nodeCount[static_cast<std::size_t>(r)];
    }
    std::vector<int> nodeDegree(ends.size(), 0);
    auto countDegrees = [&] {
        std::fill(nodeDegree.begin(), nodeDegree.end(), 0);
        for (const Path& path : traced) {
            if (path.removed || path.startNode < 0)
                continue;
            ++nodeDegree[static_cast<std::size_t>(path.startNode)];
            ++nodeDegree[static_cast<std::size_t>(path.endNode)];
        }
    };
    for (Path& path : traced) {
        if (path.startNode < 0)
            continue;
        path.startNode = Find(parent, path.startNode);
        path.endNode = Find(parent, path.endNode);
    }
    // Links inside a junction's cluster of pixels go; a short piece standing alone stays.
    countDegrees();
    for (Path& path : traced)
        if (path.startNode >= 0 && path.startNode == path.endNode && path.points.size() > 1 &&
            path.points.size() <= 3 && nodeDegree[static_cast<std::size_t>(path.startNode)] > 2)
            path.removed = true;

    // Spurs: short branches from a junction to a free end. Two rounds, as removing a fork at the
    // end of a stroke leaves that stroke's own end free.
    for (int round = 0; round < 2; ++round) {
        countDegrees();
        std::vector<std::size_t> spurs;
        for (std::size_t i = 0; i < traced.size(); ++i) {
            const Path& path = traced[i];
            if (path.removed || path.startNode < 0 || path.startNode == path.endNode)
                continue;
            const int ds = nodeDegree[static_cast<std::size_t>(path.startNode)];
            const int de = nodeDegree[static_cast<std::size_t>(path.endNode)];
            if (((ds == 1 && de >= 3) || (de == 1 && ds >= 3)) && Length(path.points) < spurLength)
                spurs.push_back(i);
        }
        for (std::size_t i : spurs)
            traced[i].removed = true;
    }

    // Ends of one node meet in its centre.
    for (Path& path : traced) {
        if (path.removed)
            continue;
        if (path.startNode < 0) { // a closed loop
            paths.push_back(path);
            continue;
        }
        const auto node = [&](int n) {
            const std::size_t k = static_cast<std::size_t>(n);
            return Point{nodeSum[k].x / nodeCount[k], nodeSum[k].y / nodeCount[k]};
        };
        if (path.points.size() == 1) {
            path.points.front() = node(path.startNode);
            continue;
        }
        path.points.front() = node(path.startNode);
        path.points.back() = node(path.endNode);
        paths.push_back(path);
    }
    for (Path& path : traced)
        if (!path.removed && path.points.size() == 1)
            paths.push_back(path);

    std::vector<Polyline> out = std::move(hatches);
    for (Path& path : paths)
        out.push_back(std::move(path.points));
    return out;
}

} // namespace fontgen
