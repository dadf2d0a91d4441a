#pragma once
// The owning list of a layer sheet's copper groups. Groups are not items, and the sheet is built
// without knowing the group class, so each group is stored with the function that frees it (given
// where the group class is known). Positions stay valid while other groups are added or removed.

#include "model/items/ItemBaseList.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>
#include <utility>

class CNetLine;

class CNetLineList
{
    using Deleter = void (*)(CNetLine*);
    using Owned = std::unique_ptr<CNetLine, Deleter>;
    using Storage = std::list<Owned>;

public:
    // Where a group stands in the list; null (default) is no position.
    using POSITION = ListPosition<Storage, CNetLineList>;

    CNetLineList() = default;
    CNetLineList(const CNetLineList&) = delete;
    CNetLineList& operator=(const CNetLineList&) = delete;

    int GetCount() const { return static_cast<int>(m_groups.size()); }
    bool IsEmpty() const { return m_groups.empty(); }

    POSITION GetHeadPosition() { return m_groups.empty() ? POSITION() : POSITION(m_groups.begin()); }
    POSITION GetTailPosition() { return m_groups.empty() ? POSITION() : POSITION(std::prev(m_groups.end())); }
    // The group at pos; pos moves to the next one (null after the last).
    CNetLine* GetNext(POSITION& pos)
    {
        CNetLine* group = pos.m_it->get();
        auto next = std::next(pos.m_it);
        pos = next == m_groups.end() ? POSITION() : POSITION(next);
        return group;
    }
    // The group at pos; pos moves to the previous one (null before the first).
    CNetLine* GetPrev(POSITION& pos)
    {
        CNetLine* group = pos.m_it->get();
        pos = pos.m_it == m_groups.begin() ? POSITION() : POSITION(std::prev(pos.m_it));
        return group;
    }
    CNetLine* GetAt(POSITION pos) { return pos.m_it->get(); }
    // Null for an empty list.
    CNetLine* GetHead() { return m_groups.empty() ? nullptr : m_groups.front().get(); }
    CNetLine* GetTail() { return m_groups.empty() ? nullptr : m_groups.back().get(); }

    // Takes ownership of a group; the caller knows the group class, so the deleter is made there.
    template <class Group = CNetLine> POSITION AddTail(std::unique_ptr<Group> group)
    {
        m_groups.emplace_back(group.release(), [](CNetLine* p) { delete static_cast<Group*>(p); });
        return POSITION(std::prev(m_groups.end()));
    }
    // Frees the group at pos; pos is invalid afterwards.
    void RemoveAt(POSITION pos) { m_groups.erase(pos.m_it); }
    // Exchanges the groups of two positions; the nodes stay, so held positions stay valid.
    void SwapAt(POSITION a, POSITION b) { std::swap(*a.m_it, *b.m_it); }
    // Frees every group, head first.
    void RemoveAll()
    {
        while (!m_groups.empty())
            m_groups.pop_front();
    }

private:
    Storage m_groups;
};
