#pragma once
// Linking every placed part's terminals to the copper groups of a layer sheet, as the design rule
// check does before its clearance check.

#include <cstdint>
#include <vector>

class CPart;
class CSheet;

// CSheet::SetTerNetID (SetTerNetIDNega on a plane) for each part in order, with the same results,
// the large groups' members indexed for the whole run: linked one by one, each part's terminals
// would walk every member of a board-wide group.
void LinkPartTerminals(CSheet& sheet, const std::vector<CPart*>& parts, std::vector<std::uint32_t>* groups);
