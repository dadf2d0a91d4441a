#include "model/input/NumberRule.h"

#include "platform/Numbers.h"

#include <cmath>

namespace {

bool IsSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

} // namespace

bool CNumberRule::ParseValue(const std::string& text, double& value) const
{
    // A number with nothing but white space after it; hexadecimal, "inf" and "nan" are not numbers.
    if (text.find('\0') != std::string::npos)
        return false;
    const char* end = nullptr;
    const double v = platform::Strtod(text.c_str(), &end);
    if (end == text.c_str())
        return false;
    for (const char* p = end; *p; ++p) {
        if (!IsSpace(*p))
            return false;
    }
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

CNumberRule::Check CNumberRule::CheckText(const std::string& text, bool typing) const
{
    if (text == "+" || text == "-" || text == ".")
        return Partial;
    double value = 0.0;
    if (!ParseValue(text, value))
        return NotANumber;
    if (value > maximum)
        return OutOfRange;
    if (value < minimum && (!typing || value < 0.0))
        return OutOfRange;
    return Valid;
}

std::string CNumberRule::CheckMessage(Check check)
{
    switch (check) {
    case OutOfRange:
        return "Given value is out of range.\n";
    case NotANumber:
        return "Characters must be a number.\n";
    default:
        return std::string();
    }
}

std::string CNumberRule::GetFormat(double value)
{
    const std::string text = platform::Format("%G", value);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        const std::size_t count = text.size() - point - 1;
        if (count > decimals)
            decimals = static_cast<std::uint8_t>(count);
    }
    return platform::Format("%%.%df", static_cast<int>(decimals));
}

std::string CNumberRule::FormatValue(double value)
{
    GetFormat(value);
    return platform::Format("%.*f", static_cast<int>(decimals), value);
}

double CNumberRule::StepValue(double value, int count, bool wrap) const
{
    const double delta = count * step;
    double next = value == -delta ? 0.0 : value + delta;
    if (next > maximum)
        next = wrap ? minimum : maximum;
    else if (next < minimum)
        next = wrap ? maximum : minimum;
    return next;
}
