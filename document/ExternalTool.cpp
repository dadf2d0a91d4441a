#include "document/ExternalTool.h"

#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

std::string GetExtProg(int index)
{
    if (index < 0 || index >= EXTERNAL_TOOL_COUNT)
        return {};
    return platform::GetProfile().GetString("Tool", platform::Format("ExtProg%d", index + 1));
}

std::string ExternalToolName(const std::string& entry)
{
    if (entry.find('*') != std::string::npos)
        return {};
    // Folders end at either separator; a trail byte 0x5C inside a character is no separator.
    std::string name = entry;
    for (char separator : {'\\', '/'}) {
        const std::size_t pos = platform::FindLastByte(name, separator);
        if (pos != std::string::npos)
            name.erase(0, pos + 1);
    }
    const std::size_t dot = platform::FindLastByte(name, '.');
    if (dot != std::string::npos)
        name.erase(dot);
    // Blanks round the command are not part of its name.
    while (!name.empty() && (name.back() == ' ' || name.back() == '"'))
        name.pop_back();
    while (!name.empty() && (name.front() == ' ' || name.front() == '"'))
        name.erase(0, 1);
    return name;
}
