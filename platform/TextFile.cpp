#include "platform/TextFile.h"

#include <fstream>
#include <iterator>

namespace platform {

TextLineReader::TextLineReader(std::string data, Nul nul) : m_data(std::move(data)), m_nul(nul) {}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return data;
}

std::optional<TextLineReader> TextLineReader::FromFile(const std::filesystem::path& path, Nul nul)
{
    std::optional<std::string> data = ReadFileBytes(path);
    if (!data)
        return std::nullopt;
    return TextLineReader(std::move(*data), nul);
}

bool TextLineReader::ReadLine(std::string& line)
{
    line.clear();
    if (m_ended || m_pos >= m_data.size())
        return false;
    const std::size_t start = m_pos;
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        if (c == '\n' || c == '\r' || c == '\0') {
            line.assign(m_data, start, m_pos - start);
            ++m_pos;
            if (c == '\r' && m_pos < m_data.size() && m_data[m_pos] == '\n')
                ++m_pos;
            else if (c == '\0' && m_nul == Nul::EndsText) {
                m_ended = true;
                return m_pos - 1 > start;
            }
            return true;
        }
        ++m_pos;
    }
    line.assign(m_data, start, m_pos - start);
    return true;
}

} // namespace platform
