#pragma once
// The owning list of one item kind of a layer sheet. Positions are those of CItemBaseList, so a
// position held by a caller stays valid while other items are added or removed; exchanging items
// between two positions keeps the nodes where they are. Removing an item frees it, except through
// Detach, which hands it back to the caller.

#include "model/items/ItemBase.h"
#include "model/items/ItemBaseList.h"

#include <memory>
#include <utility>

// Position in an item list; null ends an iteration.
using POSITION = CItemBaseList::POSITION;

class CItemList
{
public:
    CItemList() = default;
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;
    ~CItemList() { RemoveAll(); }

    int GetCount() const { return m_items.GetCount(); }
    bool IsEmpty() const { return m_items.IsEmpty(); }

    POSITION GetHeadPosition() { return m_items.GetHeadPosition(); }
    POSITION GetTailPosition() { return m_items.GetTailPosition(); }
    // The item at pos; pos moves to the next one (null after the last).
    CItemBase* GetNext(POSITION& pos) { return m_items.GetNext(pos); }
    // The item at pos; pos moves to the previous one (null before the first).
    CItemBase* GetPrev(POSITION& pos) { return m_items.GetPrev(pos); }
    CItemBase* GetAt(POSITION pos) { return m_items.GetAt(pos); }
    // Null for an empty list.
    CItemBase* GetHead() { return IsEmpty() ? nullptr : m_items.GetHead(); }
    CItemBase* GetTail() { return IsEmpty() ? nullptr : m_items.GetTail(); }
    // The position of the index-th item (0-based), or null when out of range.
    POSITION FindIndex(int index) { return m_items.FindIndex(index); }
    // The position that holds this very item, or null.
    POSITION Find(const CItemBase* item) { return m_items.Find(item); }

    POSITION AddTail(std::unique_ptr<CItemBase> item) { return m_items.AddTail(item.release()); }
    // Takes the item at pos out of the list without freeing it; pos is invalid afterwards.
    std::unique_ptr<CItemBase> Detach(POSITION pos)
    {
        std::unique_ptr<CItemBase> item(m_items.GetAt(pos));
        m_items.RemoveAt(pos);
        return item;
    }
    // Frees the item at pos; pos is invalid afterwards.
    void RemoveAt(POSITION pos) { Detach(pos); }
    // Frees every item, head first.
    void RemoveAll()
    {
        while (!m_items.IsEmpty())
            delete m_items.RemoveHead();
    }
    // Exchanges the items of two positions; the nodes stay, so held positions stay valid.
    void SwapAt(POSITION a, POSITION b) { std::swap(m_items.GetAt(a), m_items.GetAt(b)); }

    // Read-only range access to the item pointers.
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    CItemBaseList m_items;
};
