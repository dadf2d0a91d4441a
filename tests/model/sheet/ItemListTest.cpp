#include "model/sheet/ItemList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

int g_alive = 0;

class Counted : public CItemBase
{
public:
    explicit Counted(int t) : CItemBase(KIND_LINE), tag(t) { ++g_alive; }
    ~Counted() override { --g_alive; }
    int tag;

protected:
    void CalcBoundingRect() override {}
};

int Tag(CItemBase* item)
{
    return static_cast<Counted*>(item)->tag;
}

std::vector<int> Tags(CItemList& list)
{
    std::vector<int> tags;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        tags.push_back(Tag(list.GetNext(pos)));
    return tags;
}

TEST(ItemListTest, OwnsItsItemsAndKeepsPositionsWhenItemsAreExchanged)
{
    g_alive = 0;
    {
        CItemList list;
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.GetTail(), nullptr);
        const POSITION first = list.AddTail(std::make_unique<Counted>(0));
        list.AddTail(std::make_unique<Counted>(1));
        const POSITION third = list.AddTail(std::make_unique<Counted>(2));
        EXPECT_EQ(g_alive, 3);

        // Sorting exchanges items between nodes; the positions still name the same places.
        list.SwapAt(first, third);
        EXPECT_EQ(Tags(list), (std::vector<int>{2, 1, 0}));
        EXPECT_EQ(Tag(list.GetAt(first)), 2);
        POSITION pos = third;
        EXPECT_EQ(Tag(list.GetPrev(pos)), 0);
        EXPECT_EQ(Tag(list.GetAt(pos)), 1);

        // Detach hands the item over; RemoveAt frees it.
        std::unique_ptr<CItemBase> taken = list.Detach(first);
        EXPECT_EQ(Tag(taken.get()), 2);
        EXPECT_EQ(g_alive, 3);
        list.RemoveAt(list.Find(list.GetHead()));
        EXPECT_EQ(g_alive, 2);
        EXPECT_EQ(Tags(list), (std::vector<int>{0}));
        EXPECT_FALSE(list.FindIndex(1));
        list.AddTail(std::make_unique<Counted>(3));
    }
    // The list frees what it still holds; the detached item went with its owner.
    EXPECT_EQ(g_alive, 0);
}

} // namespace
