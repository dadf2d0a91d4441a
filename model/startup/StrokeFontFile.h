#pragma once
// The stroke-font file: one character per line, the code in hexadecimal from the first column,
// the stroke bytes from the sixth column to the end of the line, lines sorted by code. The file
// is read as bytes (stroke commands use 0x80-0xFF).
//
// The file is read once, when it is opened, into an immutable table; what happens to the file on
// disk afterwards changes nothing. A reader over the table behaves as a reader walking the file
// line by line would: it remembers the last code it found and where that line stood, so a string
// in ascending code order is read in one forward pass, and a file that is not in order gives the
// same hits and misses as such a walk. Look-ups are binary searches, not scans.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The lines of a stroke-font file that carry strokes, in file order.
class StrokeFontTable
{
public:
    // Index of the first stroke byte in a line.
    static constexpr std::size_t kStrokeColumn = 5;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The table of a file's bytes. A line ends at LF; a CR just before the LF goes with the line
    // end; the last line may have none. Lines without a stroke byte are dropped.
    static std::shared_ptr<const StrokeFontTable> Parse(std::string_view bytes);

    // The index of the first line at or after `from` with the code, or npos.
    std::size_t Find(unsigned code, std::size_t from) const;
    std::string_view Strokes(std::size_t index) const
    {
        return std::string_view(m_strokes).substr(m_lines[index].offset, m_lines[index].length);
    }
    std::size_t LineCount() const { return m_lines.size(); }

    // The code at the start of a line: hexadecimal digits from the first column.
    static unsigned ParseCode(std::string_view line);

private:
    struct Line
    {
        unsigned code = 0;
        std::size_t offset = 0; // the stroke bytes in m_strokes
        std::size_t length = 0;
    };

    std::string m_strokes; // every line's stroke bytes, one after the other
    std::vector<Line> m_lines;
    // (code, line index), sorted: the lines of a code in file order.
    std::vector<std::pair<unsigned, std::uint32_t>> m_index;
};

class StrokeFontFile
{
public:
    // Index of the first stroke byte in a line.
    static constexpr std::size_t kStrokeColumn = StrokeFontTable::kStrokeColumn;

    StrokeFontFile() = default;
    ~StrokeFontFile();
    StrokeFontFile(const StrokeFontFile&) = delete;
    StrokeFontFile& operator=(const StrokeFontFile&) = delete;

    // Reads the file into its table, closing any file open before. Fails when the file cannot be
    // read or another process holds a write lock on it. The file stays open with a shared lock
    // until Close, so that writers who respect locks are shut out while the program runs.
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return m_table != nullptr; }

    // The stroke bytes of a character (single-byte value, or lead byte * 256 + trail byte).
    // The space 0x20 and the full-width space 0x8140 have no strokes and are never looked up.
    // A code not above the last one found restarts from the beginning of the file; a code not in
    // the rest of the file is a miss, which forgets the last code and goes back to the beginning.
    bool GetStrokeData(unsigned code, std::string& strokes);

    // The code of the last character found; none before the first and after a miss.
    std::optional<unsigned> LastCode() const { return m_lastCode; }
    // Forgets the last code, so the next look-up starts from the beginning (text drawing does this
    // before each string).
    void ClearLastCode() { m_lastCode.reset(); }

    // The code at the start of a line: hexadecimal digits from the first column.
    static unsigned ParseCode(const std::string& line) { return StrokeFontTable::ParseCode(line); }

private:
    std::shared_ptr<const StrokeFontTable> m_table;
    int m_lockFd = -1;
    std::size_t m_next = 0; // the line after the last one found
    std::optional<unsigned> m_lastCode;
};
