#pragma once
// The stroke-font file: one character per line, the code in hexadecimal from the first column,
// the stroke bytes from the sixth column to the end of the line, lines sorted by code. The file
// is read as bytes (stroke commands use 0x80-0xFF). The reader remembers the last code it found
// and keeps its file position, so a string in ascending code order is read in one forward pass.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

class StrokeFontFile
{
public:
    // Index of the first stroke byte in a line.
    static constexpr std::size_t kStrokeColumn = 5;

    StrokeFontFile() = default;
    ~StrokeFontFile();
    StrokeFontFile(const StrokeFontFile&) = delete;
    StrokeFontFile& operator=(const StrokeFontFile&) = delete;

    // Opens the file for reading, closing any file open before. Fails when the file cannot be read
    // or another process holds a write lock on it (writers are shut out while it is open).
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // The stroke bytes of a character (single-byte value, or lead byte * 256 + trail byte).
    // The space 0x20 and the full-width space 0x8140 have no strokes and are never looked up.
    // A code not above the last one found restarts from the beginning of the file; a code not in
    // the file reads to its end, forgets the last code and rewinds.
    bool GetStrokeData(unsigned code, std::string& strokes);

    // The code of the last character found; none before the first and after a miss.
    std::optional<unsigned> LastCode() const { return m_lastCode; }
    // Forgets the last code, so the next look-up starts from the beginning (text drawing does this
    // before each string).
    void ClearLastCode() { m_lastCode.reset(); }

    // The code at the start of a line: hexadecimal digits from the first column.
    static unsigned ParseCode(const std::string& line);

private:
    // The next line without its line end (LF, or CR LF); false at the end of the file.
    bool ReadLine(std::string& line);
    void Rewind();

    std::FILE* m_file = nullptr;
    std::optional<unsigned> m_lastCode;
};
