#pragma once
// A program folder, a per-user data folder and a board folder in a fresh temporary directory, with
// recorded message boxes: what the settings file tests and the document tests stand on.

#include "document/ProgramFolder.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

class SettingsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int counter = 0;
        m_root = std::filesystem::temp_directory_path() /
                 ("velta-doc-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_root);
        for (const char* sub : {"program", "user", "board"})
            std::filesystem::create_directories(m_root / sub);
        SetProgramFolders(m_root / "program", m_root / "user");
        platform::SetMessageService(&messages);
    }

    void TearDown() override
    {
        platform::SetMessageService(nullptr);
        SetProgramFolders({}, {});
        std::filesystem::remove_all(m_root);
    }

    std::filesystem::path Master() const { return m_root / "program" / "velta.bpf"; }
    std::filesystem::path UserMaster() const { return m_root / "user" / "velta.bpf"; }
    std::filesystem::path Board() const { return m_root / "board" / "board.bpf"; }

    static void WriteFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // A section as the writers write it.
    static std::string Section(const std::string& label, const std::string& body)
    {
        return "\r\n[" + label + "]\r\n{\r\n" + body + "}\r\n";
    }
    // The installed master of the source tree, copied into the program folder.
    void InstallMaster() const
    {
        std::filesystem::copy_file(std::filesystem::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf",
                                   Master(), std::filesystem::copy_options::overwrite_existing);
    }

    platform::RecordingMessages messages;

private:
    std::filesystem::path m_root;
};
