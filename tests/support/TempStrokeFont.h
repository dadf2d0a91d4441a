#pragma once
// A stroke font file of a few characters, written to a temporary folder of its own and opened as
// the program's stroke font for one test; Close() shuts it and removes the folder.

#include "model/startup/Startup.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

// A font file holding only "A", in the cell of a single-byte character (x 0..16, y 0..32): move to
// (1, 0), set x 8 and draw to y 32, set x 15 and draw to y 0, move to (4, 12), draw to x 12.
inline const std::string kStrokeFontA = std::string("41   ") + "!\xA0h\xE0o\xC0$\xACL" + "\r\n";

class TempStrokeFont
{
public:
    ~TempStrokeFont() { Close(); }

    // Writes `lines` as the font file (the folder's name carries `tag`, the process and the test)
    // and opens it; false when the font does not open.
    bool Open(const std::string& tag, const std::string& lines)
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("velta-" + tag + "-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir / "VELTA0.FNT", std::ios::binary) << lines;
        return GetStrokeFontFile().Open(m_dir / "VELTA0.FNT");
    }

    void Close()
    {
        if (m_dir.empty())
            return;
        GetStrokeFontFile().Close();
        std::filesystem::remove_all(m_dir);
        m_dir.clear();
    }

private:
    std::filesystem::path m_dir;
};

} // namespace testing_support
