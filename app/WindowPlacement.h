#pragma once
// The main window's stored placement ("Settings"/"WindowPos"): ten numbers, flags, show command,
// minimised position, maximised position and the normal rectangle (left, top, right, bottom).

#include <optional>
#include <string>

struct WindowPlacement
{
    unsigned flags = 0;   // 2: restore to maximised
    unsigned showCmd = 1; // 1 normal, 2 minimised, 3 maximised
    int minX = 0, minY = 0;
    int maxX = 0, maxY = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
};

constexpr unsigned WPF_RESTORETOMAXIMIZED = 2;
constexpr unsigned SW_SHOWNORMAL = 1;
constexpr unsigned SW_SHOWMINIMIZED = 2;
constexpr unsigned SW_SHOWMAXIMIZED = 3;

// Exactly ten comma-separated numbers, else none (a damaged value is ignored).
std::optional<WindowPlacement> ParseWindowPos(const std::string& text);
std::string FormatWindowPos(const WindowPlacement& placement);
