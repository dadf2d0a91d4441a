#pragma once
// Cuts a photo-plot or drill file into its blocks. The whole rest of the archive is taken at once
// (tape codes translated, plain text upper-cased; viewed where the archive holds it unless that
// changes it, so the archive must outlive the reader) and handed out block by block with the
// position each block starts at. Photo-plot: a block runs to the end-of-block character, or from a
// '%' to the next '%' (a parameter block); line ends are dropped unless they end blocks. Drill:
// line ends always end blocks too and ';' starts a comment to the end of the line.

#include "model/services/Records.h"

#include <cstddef>
#include <string>
#include <string_view>

class CArchive;

class CamBlockReader
{
public:
    enum Status
    {
        kBlock,    // a block was taken
        kEnd,      // the file ended after its last complete block
        kMalformed // the file cannot be read on: FailLine and FailReason say why
    };

    struct Block
    {
        // Without the end-of-block character or the '%' around it; valid until the next block is
        // taken (it views the file's text, or own where line ends had to be dropped).
        std::string_view text;
        std::size_t start = 0; // where it starts in the file (LineAt gives the line)
        bool parameter = false;
        std::string own;
    };

    CamBlockReader(CArchive& ar, const tagGERBAR& g, bool photo);

    Status Next(Block& block);

    int FailLine() const { return m_failLine; }
    // The 1-based line of a position in the file; counted only when asked (for a failure).
    int LineAt(std::size_t pos);
    const std::string& FailReason() const { return m_failReason; }
    // The size of the file read.
    std::size_t Size() const { return m_data.size(); }

private:
    bool IsBlockEnd(char c) const;
    bool IsLineEnd(char c) const { return c == '\n' || c == '\r'; }
    Status Fail(std::size_t pos, const std::string& reason);

    std::string_view m_data; // the archive's bytes, or m_own
    std::string m_own;
    std::size_t m_pos = 0;
    char m_endOfBlock = '*';
    bool m_photo = true;
    bool m_failed = false;
    int m_failLine = 0;
    std::string m_failReason;
    std::size_t m_linePos = 0;
    int m_line = 1;
};
