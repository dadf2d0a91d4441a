#pragma once
// Where the program's installed data lies (the folder of the running program) and where the
// program keeps what it writes for the user (the per-user data folder).

#include <filesystem>

// The folder of the running program, with its trailing separator.
std::filesystem::path GetProgramFolder();
// The per-user data folder (created when needed by whoever writes into it).
std::filesystem::path GetUserDataFolder();
// Replaces both folders for the rest of the run (start-up and tests); an empty path restores the
// folder that is found by default.
void SetProgramFolders(const std::filesystem::path& programFolder,
                       const std::filesystem::path& userDataFolder);
