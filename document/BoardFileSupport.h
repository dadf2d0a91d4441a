#pragma once
// File-system rules shared by open, save and auto-save of a board: read-only tests, settings-file
// look-up, the ".bak" move and the framework's three failure messages.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace docfile {

// CP932 text of the document and file-system paths.
std::filesystem::path ToPath(const std::string& cp932);
std::string ToCp932(const std::filesystem::path& path);

// A file is read-only when it carries no write permission at all (as the Windows attribute):
// the test holds for every user, the super-user included.
bool IsReadOnly(const std::filesystem::path& file);
// Whether the file opens for reading; reason: the system's word when not.
bool CanRead(const std::filesystem::path& file, std::string& reason);
// Whether a new file can replace the target: the target is not read-only and not a folder, and its
// folder exists and takes new files.
bool CanCreate(const std::filesystem::path& target, std::string& reason);

// The settings files (*.bpf, letters in any case) of a folder, as CP932 names in _mbsicmp order.
std::vector<std::string> FindSettingFiles(const std::filesystem::path& folder);

// The board path without its last four characters, followed by ".bak".
std::filesystem::path BackupPath(const std::filesystem::path& board);
// Keeps the file about to be replaced as the backup: a read-only backup stays as it is (false);
// another one is replaced. The board file itself is left in place for the rename that follows.
bool MoveToBackup(const std::filesystem::path& board, const std::filesystem::path& backup);

enum class FileError
{
    Open,   // "%s を開けませんでした。"
    Create, // "%s に書き込めません。"
    Save    // "%s を保存できませんでした。"
};
// The framework's message for the path (CP932) with the system's reason on a second line.
void ReportFileError(FileError kind, const std::string& path, const std::string& reason);

// Writes text as a text-mode file (every line feed as CR LF), the whole file in one step; the
// system's reason when it cannot be written.
std::optional<std::string> WriteTextFile(const std::filesystem::path& file, const std::string& text);


// Listings and text-mode bytes of the CAM output.
// The files of a folder whose names end in `extension` (lower case, letters of the name in any
// case), as CP932 names in _mbsicmp order.
std::vector<std::string> FindFilesByExtension(const std::filesystem::path& folder, const std::string& extension);
// The bytes of text written in text mode: every line feed as CR LF.
std::string TextModeBytes(const std::string& text);

} // namespace docfile
