#pragma once
// File names that stand in files are CP932 text; the operating system wants std::filesystem::path
// (UTF-8 bytes here). These are the only conversions between the two.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The path that CP932 text names. The bytes are converted as they are: no separator is changed
// (a stored Windows path goes through ResolveStoredPath). A byte the code page does not define
// becomes U+FFFD, so such a name does not match a file by accident.
std::filesystem::path Cp932ToPath(std::string_view cp932);

// The CP932 text of a path; none when a character of it has no CP932 code of its own (the text
// would name another file when converted back).
std::optional<std::string> PathToCp932(const std::filesystem::path& path);

// True for a path written by the Windows program: a drive ("C:"), a UNC prefix ("\\\\"), or a
// backslash separator outside double-byte characters.
bool IsWindowsPath(std::string_view cp932);

// The last component of a stored path: the text after the last '\\' or '/' that is not a trail byte
// and after a drive "X:"; the whole text when there is none.
std::string StoredFileName(std::string_view cp932);

// Where a path stored in a project or settings file leads. The text as a path when that exists;
// otherwise a Windows path resolves to the same file name beside `folder` (the folder of the
// project or board), existing or not, so that it never names a file literally called "C:\...".
// Any other path is returned as it is. An empty text gives an empty path.
std::filesystem::path ResolveStoredPath(std::string_view cp932, const std::filesystem::path& folder);

} // namespace platform
