#include "platform/FilePath.h"

#include "platform/Cp932.h"

#include <system_error>

namespace platform {

std::filesystem::path Cp932ToPath(std::string_view cp932)
{
    return std::filesystem::path(Cp932ToUtf8(cp932));
}

std::optional<std::string> PathToCp932(const std::filesystem::path& path)
{
    const std::string& utf8 = path.native();
    std::optional<std::string> cp932 = Utf8ToCp932(utf8);
    // One-way mappings (U+00A5 to '\\', U+301C to 0x8160, ...) would give another name.
    if (!cp932 || Cp932ToUtf8(*cp932) != utf8)
        return std::nullopt;
    return cp932;
}

bool IsWindowsPath(std::string_view cp932)
{
    if (cp932.size() >= 2 && cp932[1] == ':' &&
        ((cp932[0] >= 'A' && cp932[0] <= 'Z') || (cp932[0] >= 'a' && cp932[0] <= 'z')))
        return true;
    return FindByte(cp932, '\\') != std::string_view::npos;
}

std::string StoredFileName(std::string_view cp932)
{
    std::size_t start = 0;
    if (cp932.size() >= 2 && cp932[1] == ':' &&
        ((cp932[0] >= 'A' && cp932[0] <= 'Z') || (cp932[0] >= 'a' && cp932[0] <= 'z')))
        start = 2;
    for (std::size_t pos = start; pos < cp932.size();) {
        const Cp932Char ch = CharAt(cp932, pos);
        pos += ch.width;
        if (ch.width == 1 && (ch.code == '\\' || ch.code == '/'))
            start = pos;
    }
    return std::string(cp932.substr(start));
}

std::filesystem::path ResolveStoredPath(std::string_view cp932, const std::filesystem::path& folder)
{
    if (cp932.empty())
        return {};
    std::filesystem::path path = Cp932ToPath(cp932);
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || !IsWindowsPath(cp932))
        return path;
    const std::string name = StoredFileName(cp932);
    if (name.empty()) // a folder, not a file: nothing to look for beside the project
        return path;
    return folder / Cp932ToPath(name);
}

} // namespace platform
