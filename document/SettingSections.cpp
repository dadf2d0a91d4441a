#include "document/SettingSections.h"

#include "platform/Cp932.h"
#include "platform/Numbers.h"

namespace settings {

std::vector<int> ListNumbers(const std::string& list)
{
    std::vector<int> numbers;
    for (const std::string& piece : platform::Split(list, ',')) {
        if (Trim(piece).empty())
            continue;
        numbers.push_back(platform::Atoi(piece));
    }
    return numbers;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           platform::ToUpperAscii(text.substr(0, prefix.size())) == platform::ToUpperAscii(prefix);
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Output and print list entries.

std::string TrimLeft(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string AfterFirstColon(const std::string& entry)
{
    const std::size_t colon = entry.find(':');
    return colon == std::string::npos ? entry : entry.substr(colon + 1);
}

} // namespace settings
