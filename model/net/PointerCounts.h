#pragma once
// How often each pointer stands in a collection, in one open-addressed table: no allocation per
// entry, so that filling a large copper group and emptying it again stays cheap.

#include <cstddef>
#include <cstdint>
#include <vector>

class PointerCounts
{
public:
    // The count of the key, 0 when it is absent.
    int Count(const void* key) const
    {
        if (m_slots.empty())
            return 0;
        for (std::size_t i = Home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[i];
            if (slot.key == key)
                return slot.count;
            if (slot.key == nullptr)
                return 0;
        }
    }
    void Add(const void* key)
    {
        if ((m_used + 1) * 4 > m_slots.size() * 3)
            Rehash(m_size * 2 + 16);
        std::size_t free = m_slots.size();
        for (std::size_t i = Home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[i];
            if (slot.key == key) {
                ++slot.count;
                return;
            }
            if (slot.key == Tomb() && free == m_slots.size())
                free = i;
            if (slot.key == nullptr) {
                if (free == m_slots.size()) {
                    free = i;
                    ++m_used;
                }
                m_slots[free] = Slot{key, 1};
                ++m_size;
                return;
            }
        }
    }
    // Lowers the key's count; a key that reaches 0 leaves the table.
    void Remove(const void* key)
    {
        if (m_slots.empty())
            return;
        for (std::size_t i = Home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[i];
            if (slot.key == key) {
                if (--slot.count <= 0) {
                    slot = Slot{Tomb(), 0};
                    --m_size;
                }
                return;
            }
            if (slot.key == nullptr)
                return;
        }
    }
    // Room for this many more keys without growing the table on the way.
    void Reserve(std::size_t more)
    {
        if ((m_used + more) * 4 > m_slots.size() * 3)
            Rehash(m_size + more);
    }
    void Clear()
    {
        m_slots.clear();
        m_slots.shrink_to_fit();
        m_used = m_size = 0;
    }
    // Keys present.
    std::size_t Size() const { return m_size; }

private:
    struct Slot
    {
        const void* key = nullptr;
        int count = 0;
    };
    // A removed key: probing goes on past it.
    static const void* Tomb() { return reinterpret_cast<const void*>(std::uintptr_t{1}); }
    std::size_t Home(const void* key) const
    {
        std::uint64_t h = reinterpret_cast<std::uintptr_t>(key);
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return static_cast<std::size_t>(h) & (m_slots.size() - 1);
    }
    void Rehash(std::size_t want)
    {
        std::size_t size = 16;
        while (size < want * 2)
            size *= 2;
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(size, Slot{});
        m_used = m_size = 0;
        for (const Slot& slot : old)
            if (slot.key != nullptr && slot.key != Tomb()) {
                for (std::size_t i = Home(slot.key);; i = (i + 1) & (m_slots.size() - 1))
                    if (m_slots[i].key == nullptr) {
                        m_slots[i] = slot;
                        break;
                    }
                ++m_used;
                ++m_size;
            }
    }

    std::vector<Slot> m_slots; // a power of two in size, or empty
    std::size_t m_used = 0;    // slots holding a key or a tomb
    std::size_t m_size = 0;    // slots holding a key
};
