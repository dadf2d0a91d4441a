#include "document/FrameHelpers.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int CountSeparators(const char* line, char sep)
{
    int count = 0;
    int quotes = 0;
    for (const char* p = line; p && *p && *p != '#'; ++p) {
        if (*p == '"')
            ++quotes;
        if (sep != ';' && *p == ';' && quotes % 2 == 0)
            break;
        if (*p == sep)
            ++count;
    }
    return count;
}

void RemoveDuplicateValues(std::vector<std::uint32_t>& values)
{
    std::vector<std::uint32_t> kept;
    kept.reserve(values.size());
    for (std::uint32_t v : values)
        if (std::find(kept.begin(), kept.end(), v) == kept.end())
            kept.push_back(v);
    if (kept.size() != values.size()) {
        kept.shrink_to_fit();
        values = std::move(kept);
    }
}

namespace {

using Group = std::vector<std::uint32_t>;


} // namespace

std::vector<std::vector<std::uint32_t>> SplitGroups(const std::vector<std::uint32_t>& values)
{
    std::vector<std::vector<std::uint32_t>> groups;
    std::vector<std::uint32_t> current;
    for (std::uint32_t v : values) {
        if (v == 0) {
            groups.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(v);
        }
    }
    return groups;
}

void MergeOverlappingGroups(std::vector<std::uint32_t>& values)
{
    std::vector<Group> groups = SplitGroups(values);
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t a = 0; a < groups.size() && !merged; ++a) {
            for (std::size_t b = a + 1; b < groups.size() && !merged; ++b) {
                const auto shared = std::find_if(groups[a].begin(), groups[a].end(), [&](std::uint32_t v) {
                    return std::find(groups[b].begin(), groups[b].end(), v) != groups[b].end();
                });
                if (shared == groups[a].end())
                    continue;
                // The first shared value of A goes; B joins A; the merged group moves to the end.
                Group result = groups[a];
                result.erase(result.begin() + (shared - groups[a].begin()));
                result.insert(result.end(), groups[b].begin(), groups[b].end());
                RemoveDuplicateValues(result);
                groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(b));
                groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(a));
                groups.push_back(std::move(result));
                merged = true;
            }
        }
    }
    values.clear();
    for (const Group& g : groups) {
        values.insert(values.end(), g.begin(), g.end());
        values.push_back(0);
    }
}

void FilterGroupsByLowByte(std::uint8_t key, const std::vector<std::uint32_t>& src,
                           std::vector<std::uint32_t>& dst)
{
    for (const Group& group : SplitGroups(src)) {
        Group picked;
        for (std::uint32_t v : group)
            if ((v & 0xFF) == key)
                picked.push_back(v);
        RemoveDuplicateValues(picked);
        if (picked.size() >= 2) {
            dst.insert(dst.end(), picked.begin(), picked.end());
            dst.push_back(0);
        }
    }
}

double NormalizeAngleDegrees(double a)
{
    constexpr double pi = std::numbers::pi;
    if (!std::isfinite(a))
        return 0.0;
    a = std::fmod(a, 2 * pi);
    while (a < 0)
        a += 2 * pi;
    if (a >= 2 * pi)
        a -= 2 * pi;
    if (std::fabs(a) < 1e-6 || std::fabs(a - 2 * pi) < 1e-6)
        return 0.0;
    if (std::fabs(a - pi) < 1e-6)
        return 180.0;
    double degrees = a * 180.0 / pi;
    if (degrees > 180.0)
        degrees -= 360.0;
    return degrees;
}

std::string FormatSheetSizeText(double a, double b, bool origin)
{
    return platform::Format(origin ? "%#5Gx%#5G" : "%#5G-%#5G", a, b);
}

namespace {
bool g_scrollLock = false;
}

void SetScrollLock(bool on)
{
    g_scrollLock = on;
}

bool IsScrollLockOn()
{
    return g_scrollLock;
}
