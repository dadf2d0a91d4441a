#include "model/cam/CamBlockReader.h"

#include "model/cam/CamWriter.h"
#include "platform/Archive.h"
#include "platform/J.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Bytes that no text file holds: controls other than tab, line ends, form feed and the old
// end-of-file mark. Without branches, so that the scans below take many bytes at a time.
unsigned IsBinary(char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    return static_cast<unsigned>(c < 0x20) & static_cast<unsigned>(static_cast<unsigned char>(c - '\t') > 4) &
           static_cast<unsigned>(c != 0x1A);
}

unsigned IsLower(char c)
{
    return static_cast<unsigned>(static_cast<unsigned char>(c - 'a') < 26);
}

// Where the first byte that `test` accepts is, or the size. Runs of bytes are tested whole and only
// a run that holds one is searched byte by byte.
template <typename Test> std::size_t FindFirst(std::string_view data, Test test)
{
    constexpr std::size_t kRun = 64;
    std::size_t i = 0;
    for (; i + kRun <= data.size(); i += kRun) {
        unsigned any = 0;
        for (std::size_t j = 0; j < kRun; ++j)
            any |= test(data[i + j]);
        if (any)
            break;
    }
    for (; i < data.size(); ++i) {
        if (test(data[i]))
            return i;
    }
    return data.size();
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == 0x1A;
}

} // namespace

CamBlockReader::CamBlockReader(CArchive& ar, const tagGERBAR& g, bool photo)
    : m_endOfBlock(g.endOfBlock ? g.endOfBlock : '*'), m_photo(photo)
{
    // The file's text is viewed where the archive holds it; a copy is made only when it must be
    // changed (tape codes translated, lower case upper-cased).
    m_data = ar.ReadRestView();
    if (GetTapeCodeTable(g.codeType)) {
        m_own.assign(m_data);
        ConvertInputCode(m_own.data(), m_own.size(), g);
        m_data = m_own;
        return;
    }
    // A file with a byte no text holds is not read on, and what is before that byte is only
    // counted in lines, so then nothing needs upper-casing.
    const std::size_t binary = FindFirst(m_data, [](char c) { return IsBinary(c); });
    if (binary < m_data.size()) {
        Fail(binary, _J("テキストファイルではありません"));
        return;
    }
    if (FindFirst(m_data, [](char c) { return IsLower(c); }) < m_data.size()) {
        m_own.assign(m_data);
        for (char& c : m_own)
            c = static_cast<char>(c - (IsLower(c) ? 'a' - 'A' : 0));
        m_data = m_own;
    }
}

bool CamBlockReader::IsBlockEnd(char c) const
{
    return c == m_endOfBlock || (!m_photo && IsLineEnd(c));
}

int CamBlockReader::LineAt(std::size_t pos)
{
    if (pos < m_linePos) {
        m_linePos = 0;
        m_line = 1;
    }
    for (; m_linePos < pos && m_linePos < m_data.size(); ++m_linePos) {
        const char c = m_data[m_linePos];
        if (c == '\n' || (c == '\r' && (m_linePos + 1 >= m_data.size() || m_data[m_linePos + 1] != '\n')))
            ++m_line;
    }
    return m_line;
}

CamBlockReader::Status CamBlockReader::Fail(std::size_t pos, const std::string& reason)
{
    m_failed = true;
    m_failLine = LineAt(pos);
    m_failReason = reason;
    return kMalformed;
}

CamBlockReader::Status CamBlockReader::Next(Block& block)
{
    if (m_failed)
        return kMalformed;
    const std::size_t size = m_data.size();
    for (;;) {
        // Blanks and line ends between blocks.
        while (m_pos < size && (IsBlank(m_data[m_pos]) || IsLineEnd(m_data[m_pos]) ||
                                (m_data[m_pos] == m_endOfBlock && m_photo)))
            ++m_pos;
        if (m_pos >= size)
            return kEnd;
        const std::size_t start = m_pos;
        const std::string_view data(m_data);
        block.text = std::string_view();
        block.parameter = false;
        block.start = start;

        if (!m_photo) {
            std::size_t end = start;
            while (end < size && !IsBlockEnd(m_data[end]))
                ++end;
            std::size_t cut = start;
            while (cut < end && m_data[cut] != ';')
                ++cut;
            if (cut < end) {
                // A comment runs to the end of its line, past any end-of-block character in it.
                while (end < size && !IsLineEnd(m_data[end]))
                    ++end;
            }
            block.text = data.substr(start, cut - start);
            m_pos = end < size ? end + 1 : end;
            while (!block.text.empty() && IsBlank(block.text.back()))
                block.text.remove_suffix(1);
            if (block.text.empty())
                continue;
            return kBlock;
        }

        if (m_data[start] == '%') {
            const std::size_t close = m_data.find('%', start + 1);
            if (close == std::string::npos)
                return Fail(start, _J("パラメータブロックが % で閉じられていません"));
            block.own.clear();
            for (std::size_t i = start + 1; i < close; ++i) {
                const char c = m_data[i];
                if (!IsLineEnd(c) || c == m_endOfBlock)
                    block.own += c;
            }
            block.text = block.own;
            block.parameter = true;
            m_pos = close + 1;
            return kBlock;
        }

        // One pass to the block's end, noting line ends on the way: blocks are short.
        std::size_t end = start;
        bool lineEnds = false;
        for (; end < size && m_data[end] != m_endOfBlock; ++end)
            lineEnds |= IsLineEnd(m_data[end]);
        if (end >= size)
            return Fail(start, _J("ブロックの途中でファイルが終わっています"));
        // Line ends inside a block are dropped; most blocks have none.
        block.text = data.substr(start, end - start);
        if (lineEnds) {
            block.own.assign(block.text);
            std::erase_if(block.own, [this](char c) { return IsLineEnd(c); });
            block.text = block.own;
        }
        m_pos = end + 1;
        return kBlock;
    }
}
