#pragma once
// A list of item pointers that does not own them: the owner deletes its items. Positions stay
// valid while other elements are added or removed; a null position ends an iteration:
//
//     for (auto pos = list.GetHeadPosition(); pos;) {
//         CItemBase* item = list.GetNext(pos);
//         ...
//     }

#include <cstddef>
#include <iterator>
#include <list>

class CItemBase;

// Where an element stands in one std::list based container of Owner; null (default) is no
// position. Only the owner reaches the element through it.
template <class Storage, class Owner> class ListPosition
{
public:
    ListPosition() = default;
    ListPosition(std::nullptr_t) {}
    explicit operator bool() const { return m_valid; }
    bool operator==(const ListPosition& o) const
    {
        return m_valid == o.m_valid && (!m_valid || m_it == o.m_it);
    }
    bool operator==(std::nullptr_t) const { return !m_valid; }

private:
    friend Owner;
    explicit ListPosition(typename Storage::iterator it) : m_it(it), m_valid(true) {}
    typename Storage::iterator m_it{};
    bool m_valid = false;
};

class CItemBaseList
{
    using Storage = std::list<CItemBase*>;

public:
    using POSITION = ListPosition<Storage, CItemBaseList>;

    int GetCount() const { return static_cast<int>(m_items.size()); }
    int GetSize() const { return GetCount(); }
    bool IsEmpty() const { return m_items.empty(); }

    POSITION GetHeadPosition() { return m_items.empty() ? POSITION() : POSITION(m_items.begin()); }
    POSITION GetTailPosition() { return m_items.empty() ? POSITION() : POSITION(std::prev(m_items.end())); }

    // The element at pos; pos moves to the next one, or becomes null after the last.
    CItemBase*& GetNext(POSITION& pos)
    {
        CItemBase*& item = *pos.m_it;
        pos = Step(pos, true);
        return item;
    }
    // The element at pos; pos moves to the previous one, or becomes null before the first.
    CItemBase*& GetPrev(POSITION& pos)
    {
        CItemBase*& item = *pos.m_it;
        pos = Step(pos, false);
        return item;
    }
    CItemBase*& GetAt(POSITION pos) { return *pos.m_it; }
    void SetAt(POSITION pos, CItemBase* item) { *pos.m_it = item; }

    CItemBase*& GetHead() { return m_items.front(); }
    CItemBase*& GetTail() { return m_items.back(); }

    POSITION AddHead(CItemBase* item)
    {
        m_items.push_front(item);
        return POSITION(m_items.begin());
    }
    POSITION AddTail(CItemBase* item)
    {
        m_items.push_back(item);
        return POSITION(std::prev(m_items.end()));
    }
    // Appends the other list's pointers (the other list is unchanged).
    void AddTail(const CItemBaseList& other)
    {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    }
    void AddHead(const CItemBaseList& other)
    {
        m_items.insert(m_items.begin(), other.m_items.begin(), other.m_items.end());
    }
    // A null position inserts at the head / at the tail.
    POSITION InsertBefore(POSITION pos, CItemBase* item)
    {
        return POSITION(m_items.insert(pos ? pos.m_it : m_items.begin(), item));
    }
    POSITION InsertAfter(POSITION pos, CItemBase* item)
    {
        return POSITION(m_items.insert(pos ? std::next(pos.m_it) : m_items.end(), item));
    }

    CItemBase* RemoveHead()
    {
        CItemBase* item = m_items.front();
        m_items.pop_front();
        return item;
    }
    CItemBase* RemoveTail()
    {
        CItemBase* item = m_items.back();
        m_items.pop_back();
        return item;
    }
    // Removes the element at pos (the item itself is not deleted); pos is invalid afterwards.
    void RemoveAt(POSITION pos) { m_items.erase(pos.m_it); }
    void RemoveAll() { m_items.clear(); }

    // The first position after startAfter (from the head when null) that holds item, or null.
    POSITION Find(const CItemBase* item) { return Find(item, nullptr); }
    POSITION Find(const CItemBase* item, POSITION startAfter)
    {
        auto it = startAfter ? std::next(startAfter.m_it) : m_items.begin();
        for (; it != m_items.end(); ++it)
            if (*it == item)
                return POSITION(it);
        return POSITION();
    }
    // The position of the index-th element (0-based), or null when out of range.
    POSITION FindIndex(int index)
    {
        if (index < 0 || index >= GetCount())
            return POSITION();
        return POSITION(std::next(m_items.begin(), index));
    }

    // Range access for range-for loops.
    Storage::iterator begin() { return m_items.begin(); }
    Storage::iterator end() { return m_items.end(); }
    Storage::const_iterator begin() const { return m_items.begin(); }
    Storage::const_iterator end() const { return m_items.end(); }

private:
    POSITION Step(POSITION pos, bool forward)
    {
        if (forward) {
            auto next = std::next(pos.m_it);
            return next == m_items.end() ? POSITION() : POSITION(next);
        }
        return pos.m_it == m_items.begin() ? POSITION() : POSITION(std::prev(pos.m_it));
    }

    Storage m_items;
};
