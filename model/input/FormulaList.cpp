#include "model/input/FormulaList.h"

#include "model/items/Line.h"
#include "platform/Numbers.h"

#include <algorithm>

std::string CFormulaList::Normalize(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' && i + 1 < text.size() && text[i + 1] == '.') {
            out += ',';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CFormulaList::TrimCommas(const std::string& text)
{
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ',')
        --end;
    return text.substr(0, end);
}

int CFormulaList::Count(const std::string& text)
{
    const std::string trimmed = TrimCommas(text);
    if (trimmed.empty())
        return 0;
    int count = 1;
    for (char ch : trimmed)
        count += ch == ',' ? 1 : 0;
    return count;
}

bool CFormulaList::Evaluate(CFormulaParser& parser, const std::string& text, double* values, int maximum,
                            std::string& message)
{
    message.clear();
    int n = Count(text);
    if (n == 0 || maximum < 1)
        return false;
    const std::string trimmed = TrimCommas(text);
    std::size_t position = 0;
    if (n == 1) {
        const double value = parser.Calculation(trimmed, position, message);
        if (message.empty())
            values[0] = value;
        return message.empty();
    }
    n = std::min(n, maximum);
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        std::size_t comma = trimmed.find(',', start);
        if (comma == std::string::npos)
            comma = trimmed.size();
        const double value = parser.Calculation(trimmed.substr(start, comma - start), position, message);
        if (!message.empty())
            break;
        values[i] = value;
        start = comma + 1;
    }
    return message.empty();
}

std::size_t CFormulaList::CommaPosition(const std::string& text, int n)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ',' && --n == 0)
            return i + 1;
    }
    return 0;
}

std::string CFormulaList::Format(double value)
{
    return TrimNumberString(platform::Format("%.8G", value));
}
