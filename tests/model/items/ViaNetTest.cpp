// A via joining the runs of connected copper-group ids.

#include "model/items/Via.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Ids = std::vector<std::uint32_t>;

struct ViaNetCase
{
    const char* name;
    Ids layerIds; // per wiring position 1, 2, ...; 0 = none
    int layers;   // positions looked at
    Ids before;
    int result;
    Ids after;
};

TEST(ViaNetTest, CheckNetJoinsTheViasIdsIntoTheRuns)
{
    FakeDocument doc;
    FakeFrameServices frame(&doc);
    const std::vector<ViaNetCase> cases = {
        {"shares with a run: the missing id joins it", {7, 9}, 2, {7, 5, 0}, 1, {7, 5, 9, 0}},
        {"one id, no run holds it: nothing", {9}, 1, {7, 5, 0}, 0, {7, 5, 0}},
        {"two ids, no run holds them: a new run", {9, 11}, 2, {7, 5, 0}, 1, {7, 5, 0, 9, 11, 0}},
        {"all present: the list stays", {7, 5}, 2, {7, 5, 0}, 1, {7, 5, 0}},
        {"the first sharing run takes them", {5, 8}, 2, {1, 0, 5, 0, 8, 0}, 1, {1, 0, 5, 8, 0, 8, 0}},
        {"positions beyond the count are not looked at", {9, 0, 11}, 2, {}, 0, {}},
        {"no ids at all", {0, 0}, 2, {7, 0}, 0, {7, 0}},
        {"an id on two layers counts once", {9, 9}, 2, {}, 0, {}},
        {"a part header's values are not ids",
         {3, 9},
         2,
         {0xFFFFFFFFu, 3, 4, 6, 0},
         1,
         {0xFFFFFFFFu, 3, 4, 6, 0, 3, 9, 0}},
    };
    for (const ViaNetCase& c : cases) {
        CVia via(CDPoint(0, 0), 1, &doc, 0);
        for (std::size_t k = 0; k < c.layerIds.size(); ++k)
            via.SetLayerID(c.layerIds[k], static_cast<int>(k) + 1);
        Ids groups = c.before;
        EXPECT_EQ(via.CheckNet(c.layers, &groups), c.result) << c.name;
        EXPECT_EQ(groups, c.after) << c.name;
    }
    CVia via;
    EXPECT_EQ(via.CheckNet(2, nullptr), 0);
}

} // namespace
