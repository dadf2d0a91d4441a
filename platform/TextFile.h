#pragma once
// Text lines as bytes, for the program's own text files (settings, project, net lists, lists).
// Nothing is converted: CP932 bytes and any other bytes pass through unchanged.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// The whole file as bytes; none when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Reads lines from bytes. A line ends at LF, at CR LF, or at a bare CR (the byte after a bare CR
// begins the next line, it is not swallowed). The last line needs no end. A NUL byte either ends
// the line like a line end (the default: no byte after it is lost) or ends the whole text, as a
// reader of a NUL-terminated buffer sees it.
class TextLineReader
{
public:
    enum class Nul
    {
        EndsLine,
        EndsText
    };

    explicit TextLineReader(std::string data, Nul nul = Nul::EndsLine);

    // Reads the whole file (ReadFileBytes); none when it cannot be read.
    static std::optional<TextLineReader> FromFile(const std::filesystem::path& path, Nul nul = Nul::EndsLine);

    // The next line without its end; false when no line is left.
    bool ReadLine(std::string& line);

    std::size_t Position() const { return m_pos; }
    const std::string& Data() const { return m_data; }

private:
    std::string m_data;
    std::size_t m_pos = 0;
    Nul m_nul;
    bool m_ended = false;
};

// Collects lines, each followed by the chosen line end (CR LF by default, as the Windows
// program's text-mode files had).
class TextLineWriter
{
public:
    explicit TextLineWriter(std::string lineEnd = "\r\n") : m_lineEnd(std::move(lineEnd)) {}

    void WriteLine(std::string_view line)
    {
        m_data.append(line);
        m_data.append(m_lineEnd);
    }
    const std::string& Data() const { return m_data; }

private:
    std::string m_lineEnd;
    std::string m_data;
};

} // namespace platform
