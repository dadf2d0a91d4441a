#pragma once
// The project file (".vpj") as the application reads it: up to 64 works, each naming a board with
// its net list and part attribute files.

#include "document/VELTADoc.h"

#include <array>
#include <filesystem>

constexpr int PROJECT_WORK_MAX = 64;

using ProjectWorks = std::array<ProjectWork, PROJECT_WORK_MAX>;

// Reads the works of a project file in file order into `works`; the number read, or -1 when the
// file cannot be opened (the records are then untouched). Works past the 64th are not read.
int ReadProjectFile(const std::filesystem::path& path, ProjectWorks& works);

// The project file's bytes for the first `count` works: "Project File Ver 0.01", one block per
// work and "EndProjectList", every line ended by CR LF.
std::string FormatProjectFile(const ProjectWorks& works, int count);
// Writes the project file in one step (a temporary file renamed over it once complete). Nothing is
// written for an empty path or no works; a file that cannot be written is reported and false given.
bool WriteProjectFile(const std::filesystem::path& path, const ProjectWorks& works, int count);
