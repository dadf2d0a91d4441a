#pragma once
// What the library tests share: the small footprint they store and read back, on the part board's
// layers, a file's bytes, and a fixture with messages, profile, board and a folder of its own.

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
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

// Recorded messages, an in-memory profile, the part board and an empty folder of the test's own,
// removed afterwards (files the test made read-only included).
class LibraryFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetMessageService(&messages);
        platform::SetProfile(&profile);
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() /
              ("velta-library-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        namespace fs = std::filesystem;
        platform::SetMessageService(nullptr);
        platform::SetProfile(nullptr);
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& entry : fs::directory_iterator(dir, ec))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }

    // A work sheet of the board holding copies of the parts.
    std::unique_ptr<CSheet> SheetOf(std::vector<CPart*> parts)
    {
        auto sheet = std::make_unique<CSheet>();
        sheet->SetDocument(&board.doc);
        for (CPart* p : parts)
            sheet->NewPart(*p);
        return sheet;
    }

    platform::RecordingMessages messages;
    platform::MemoryProfile profile;
    PartBoard board;
    std::filesystem::path dir;
};

} // namespace testing_support
