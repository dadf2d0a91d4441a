#pragma once
// Linking every placed part's terminals to the copper groups of a layer sheet, as the design rule
// check does before its clearance check.

#include <cstdint>
#include <memory>
#include <vector>

class CPart;
class CSheet;

// CSheet::SetTerNetID (SetTerNetIDNega on a plane) for each part in order, with the same results,
// the large groups' members indexed for the whole run: linked one by one, each part's terminals
// would walk every member of a board-wide group.
void LinkPartTerminals(CSheet& sheet, const std::vector<CPart*>& parts, std::vector<std::uint32_t>* groups);

// While one lives, CSheet::GetShortItemID on its sheet looks only at the groups whose rectangles
// come near the group it is given, found through a grid of the groups' rectangles made once, in
// list order: the same groups as a walk of the list, without walking every group of the board for
// each terminal. The sheet's groups must neither change nor move meanwhile. A scope made inside
// another stands in for it until it ends.
class NearGroupsScope
{
public:
    explicit NearGroupsScope(CSheet& sheet);
    ~NearGroupsScope();
    NearGroupsScope(const NearGroupsScope&) = delete;
    NearGroupsScope& operator=(const NearGroupsScope&) = delete;

    class Groups;

private:
    std::unique_ptr<Groups> m_groups;
    Groups* m_outer;
};
