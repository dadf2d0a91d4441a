#include "platform/RangeText.h"

#include "platform/J.h"
#include "platform/Numbers.h"

namespace platform {

namespace {

std::string Fill(const std::string& pattern, const std::string& minimum, const std::string& maximum)
{
    std::string out = pattern;
    const std::size_t first = out.find("%1");
    out.replace(first, 2, minimum);
    const std::size_t second = out.find("%2", first + minimum.size());
    out.replace(second, 2, maximum);
    return out;
}

} // namespace

std::string IntRangeText(int minimum, int maximum)
{
    return Fill(_J("%1 から %2 までの整数を入力してください。"), Format("%d", minimum),
                Format("%d", maximum));
}

std::string NumberRangeText(double minimum, double maximum)
{
    return Fill(_J("%1 から %2 までの数値を入力してください。"), Format("%g", minimum),
                Format("%g", maximum));
}

} // namespace platform
