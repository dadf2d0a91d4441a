#include "document/NumberText.h"

#include "platform/Numbers.h"

#include <cstring>

std::string TrimNumberText(const std::string& text)
{
    if (text.find('.') == std::string::npos)
        return text;
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    if (s.empty() || s == "-0")
        return "0";
    return s;
}

std::string FormatNumber(double value)
{
    std::string s = platform::Format("%.8G", value);
    if (s.find('E') != std::string::npos)
        s = TrimNumberText(platform::Format("%.8f", value));
    if (s.find('.') == std::string::npos)
        s += ".0";
    return s;
}

void FormatNumberToBuffer(char* buffer, double value)
{
    const std::string s = FormatNumber(value);
    std::memcpy(buffer, s.c_str(), s.size() + 1);
}

void FormatPointText(char* buffer, double x, double y)
{
    const std::string s = FormatNumber(x) + ", " + FormatNumber(y);
    std::memcpy(buffer, s.c_str(), s.size() + 1);
}
