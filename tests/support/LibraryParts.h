#pragma once
// What the library tests share: the small footprint they store and read back, on the part board's
// layers, and a file's bytes.

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "tests/support/PartBoard.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

// A footprint on the component side with a land, a silk line, a terminal and a free text.
inline CPart MakePart(const std::string& name, const std::string& ref, double x, int type = 0)
{
    CPart part(CDPoint(x, 1), CDRect(x - 1, 0, x + 3, 2), 1, 0, 0.0, 0);
    part.SetType(type);
    part.SetPartName(name.c_str());
    part.GetPartNameText()->SetLayerNo(PartBoard::kSilkTextA);
    if (!ref.empty()) {
        part.SetRefName(ref.c_str());
        part.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
    }
    part.NewLand(CDPoint(x, 1), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    part.NewLine(CDPoint(x - 1, 0), CDPoint(x + 3, 0), PartBoard::kTrack, 0)
        ->SetLayerNo(PartBoard::kSilkLineA);
    part.NewTer(CDPoint(x, 1), CText("1", CDPoint(x, 1), 0))->SetLayerNo(PartBoard::kTermA);
    return part;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace testing_support
