// Rubber lines: grouping a net's bound terminals by the copper that joins them, and the unrouted
// connections between the groups; the copper length of a net.

#include "model/net/Net.h"

#include "model/items/Ter.h"
#include "model/net/NetLine.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace {

// Disjoint sets over 0 .. n-1.
class DisjointSets
{
public:
    explicit DisjointSets(std::size_t n) : m_parent(n) { std::iota(m_parent.begin(), m_parent.end(), 0); }
    std::size_t Find(std::size_t i)
    {
        while (m_parent[i] != i) {
            m_parent[i] = m_parent[m_parent[i]];
            i = m_parent[i];
        }
        return i;
    }
    // Whether the two were apart.
    bool Unite(std::size_t a, std::size_t b)
    {
        a = Find(a);
        b = Find(b);
        if (a == b)
            return false;
        m_parent[std::max(a, b)] = std::min(a, b);
        return true;
    }

private:
    std::vector<std::size_t> m_parent;
};

const CDPoint& PointOf(const CNet::CNetNode* node)
{
    return node->GetTer()->GetPoint();
}

// The closest pair between two sets of bound nodes, both walked in node order (the first pair wins
// ties); out is left alone when a set is empty.
void MinNodeBetween(const std::vector<CNet::CNetNode*>& a, const std::vector<CNet::CNetNode*>& b,
                    CNet::CRubberLine* out)
{
    double best = std::numeric_limits<double>::max();
    for (CNet::CNetNode* p : a) {
        for (CNet::CNetNode* r : b) {
            const double d = PointOf(p).GetMLength(PointOf(r));
            if (d < best) {
                best = d;
                out->from = p;
                out->to = r;
                out->length = d;
                out->fromPoint = PointOf(p);
                out->toPoint = PointOf(r);
            }
        }
    }
}

} // namespace

double CNet::GetNetLength() const
{
    if (m_Nodes.empty())
        return 0.0;
    double length = 0.0;
    for (CNetLine* group : m_Nodes.front()->GetNetLines())
        length += group->GetLength();
    return length;
}

void CNet::GetMinNode(int a, int b, CRubberLine* out) const
{
    if (!out)
        return;
    std::vector<CNetNode*> first;
    std::vector<CNetNode*> second;
    for (const auto& n : m_Nodes) {
        if (!n->GetTer())
            continue;
        if (n->GetGroup() == a)
            first.push_back(n.get());
        if (n->GetGroup() == b)
            second.push_back(n.get());
    }
    MinNodeBetween(first, second, out);
}

CDRect CNet::MakeTour(DocumentServices* doc)
{
    // 1. The bound nodes and every copper group their terminals reach, on any layer.
    std::vector<CNetNode*> bound;
    for (const auto& n : m_Nodes) {
        n->SetGroup(0);
        n->GetNetLines().clear();
        CTer* ter = n->GetTer();
        if (!ter)
            continue;
        bound.push_back(n.get());
        std::vector<CNetLine*>& lines = n->GetNetLines();
        for (CTer::NetLinePos pos = ter->GetFirstNetLinePos(); pos;) {
            CNetLine* group = ter->GetNextNetLine(pos);
            if (!group)
                continue;
            if (doc)
                group->GetAllNetLine(doc, &lines);
            else if (std::find(lines.begin(), lines.end(), group) == lines.end())
                lines.push_back(group);
        }
    }

    // 2. Nodes that share a copper group, directly or through other nodes, form one group; groups
    // are numbered from 1 in the order of their first node.
    DisjointSets sets(bound.size());
    std::unordered_map<const CNetLine*, std::size_t> firstHolder;
    for (std::size_t i = 0; i < bound.size(); ++i) {
        for (const CNetLine* line : bound[i]->GetNetLines()) {
            const auto [it, added] = firstHolder.emplace(line, i);
            if (!added)
                sets.Unite(i, it->second);
        }
    }
    int count = 0;
    std::vector<int> numberOfRoot(bound.size(), 0);
    for (std::size_t i = 0; i < bound.size(); ++i) {
        int& number = numberOfRoot[sets.Find(i)];
        if (number == 0)
            number = ++count;
        bound[i]->SetGroup(number);
    }

    // 3. The old rubber lines go.
    DeleteRubberLines();

    // 4. New ones.
    const std::size_t n = static_cast<std::size_t>(count);
    if (n == 1) {
        m_nType = 1;
    } else if (n >= 2 && n == bound.size()) {
        // No two terminals joined: a nearest-neighbour tour from the terminal nearest the origin.
        m_nType = 0;
        std::vector<bool> visited(n, false);
        std::size_t current = 0;
        for (std::size_t i = 1; i < n; ++i) {
            const CDPoint& p = PointOf(bound[i]);
            const CDPoint& c = PointOf(bound[current]);
            if (p.x + p.y < c.x + c.y)
                current = i;
        }
        visited[current] = true;
        for (std::size_t step = 1; step < n; ++step) {
            std::size_t next = n;
            double best = 0.0;
            for (std::size_t i = 0; i < n; ++i) {
                if (visited[i])
                    continue;
                const double d = PointOf(bound[current]).GetMLength(PointOf(bound[i]));
                if (next == n || d < best) {
                    next = i;
                    best = d;
                }
            }
            auto line = std::make_unique<CRubberLine>();
            line->chosen = 0;
            line->from = bound[current];
            line->to = bound[next];
            line->fromPoint = PointOf(bound[current]);
            line->toPoint = PointOf(bound[next]);
            m_RubberLines.push_back(std::move(line));
            visited[next] = true;
            current = next;
        }
    } else if (n >= 2) {
        std::vector<std::vector<CNetNode*>> members(n + 1);
        for (CNetNode* node : bound)
            members[static_cast<std::size_t>(node->GetGroup())].push_back(node);
        // Candidates for every pair of groups, a = 1 .. n-1, b = a+1 .. n.
        std::vector<std::unique_ptr<CRubberLine>> candidates;
        std::vector<std::pair<std::size_t, std::size_t>> pairs;
        candidates.reserve(n * (n - 1) / 2);
        for (std::size_t a = 1; a < n; ++a) {
            for (std::size_t b = a + 1; b <= n; ++b) {
                auto line = std::make_unique<CRubberLine>();
                line->chosen = 1;
                MinNodeBetween(members[a], members[b], line.get());
                candidates.push_back(std::move(line));
                pairs.emplace_back(a, b);
            }
        }
        std::vector<bool> chosen(candidates.size(), false);
        if (n == 2) {
            chosen[0] = true;
        } else {
            // Each group k = 1 .. n-1 takes its shortest candidate not yet taken (the first on ties).
            // The index of pair (a, b) is the count of pairs before row a plus b - a - 1.
            auto index = [n](std::size_t a, std::size_t b) {
                return (a - 1) * n - (a - 1) * a / 2 + (b - a - 1);
            };
            for (std::size_t k = 1; k < n; ++k) {
                std::size_t best = candidates.size();
                auto consider = [&](std::size_t i) {
                    if (!chosen[i] &&
                        (best == candidates.size() || candidates[i]->length < candidates[best]->length))
                        best = i;
                };
                for (std::size_t a = 1; a < k; ++a)
                    consider(index(a, k));
                for (std::size_t b = k + 1; b <= n; ++b)
                    consider(index(k, b));
                chosen[best] = true;
            }
            // That rule can close a loop and leave a group out. Then the lines become a minimum
            // spanning tree over the same candidates instead, shorter first, candidate order on ties.
            DisjointSets joined(n + 1);
            std::size_t unions = 0;
            for (std::size_t i = 0; i < candidates.size(); ++i) {
                if (chosen[i] && joined.Unite(pairs[i].first, pairs[i].second))
                    ++unions;
            }
            if (unions != n - 1) {
                std::vector<std::size_t> order(candidates.size());
                std::iota(order.begin(), order.end(), 0);
                std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
                    return candidates[x]->length < candidates[y]->length;
                });
                std::fill(chosen.begin(), chosen.end(), false);
                DisjointSets tree(n + 1);
                for (std::size_t i : order) {
                    if (tree.Unite(pairs[i].first, pairs[i].second))
                        chosen[i] = true;
                }
            }
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (chosen[i])
                m_RubberLines.push_back(std::move(candidates[i]));
        }
    }

    // 5. Bounds of the lines, grown a little so that they are never empty.
    m_rcBound.SetRectEmpty();
    for (const auto& line : m_RubberLines) {
        CDRect r(line->fromPoint, line->toPoint);
        r.NormalizeRect();
        m_rcBound |= r;
    }
    m_rcBound.InflateRect(0.2);
    return m_rcBound;
}
