#include "document/NumberText.h"

#include "platform/Numbers.h"

#include <cstring>

std::string FormatNumber(double value)
{
    std::string s = platform::Format("%.8G", value);
    if (s.find('E') != std::string::npos)
        s = platform::TrimNumberText(platform::Format("%.8f", value));
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
