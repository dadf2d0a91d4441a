#include "app/WindowPlacement.h"

#include "platform/Numbers.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

std::optional<WindowPlacement> ParseWindowPos(const std::string& text)
{
    std::vector<long> numbers;
    const char* p = text.c_str();
    while (true) {
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < -2147483648L || v > 4294967295L)
            return std::nullopt;
        numbers.push_back(v);
        p = end;
        while (*p == ' ')
            ++p;
        if (*p == '\0')
            break;
        if (*p != ',')
            return std::nullopt;
        ++p;
    }
    if (numbers.size() != 10)
        return std::nullopt;
    WindowPlacement w;
    w.flags = static_cast<unsigned>(numbers[0]);
    w.showCmd = static_cast<unsigned>(numbers[1]);
    int* fields[] = {&w.minX, &w.minY, &w.maxX, &w.maxY, &w.left, &w.top, &w.right, &w.bottom};
    for (int i = 0; i < 8; ++i)
        *fields[i] = static_cast<int>(numbers[static_cast<std::size_t>(i) + 2]);
    if (w.right <= w.left || w.bottom <= w.top)
        return std::nullopt;
    return w;
}

std::string FormatWindowPos(const WindowPlacement& w)
{
    return platform::Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", w.flags, w.showCmd, w.minX, w.minY, w.maxX,
                            w.maxY, w.left, w.top, w.right, w.bottom);
}
