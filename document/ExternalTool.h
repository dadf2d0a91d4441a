#pragma once
// The external programs of the Tools menu: twelve entries of the profile ("Tool"/"ExtProg1" to
// "ExtProg12"), entry i run by command 107 + i and Ctrl+F(i + 1). The tool option page reads the
// same entries.

#include <string>

constexpr int EXTERNAL_TOOL_COUNT = 12;

// Entry `index` (0 to 11) as stored; empty outside that range.
std::string GetExtProg(int index);
// The name the menu shows for an entry: its file name without folder and extension; empty for an
// entry marked with '*' or naming no file (such an entry gets no menu item).
std::string ExternalToolName(const std::string& entry);
