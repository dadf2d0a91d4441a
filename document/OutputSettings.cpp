#include "document/OutputSettings.h"

#include "platform/J.h"

const std::string& GetPaperName(int index)
{
    static const std::string kNames[PAPER_COUNT] = {"A6", "A5", "A4", "A3",        "A2",
                                                    "B6", "B5", "B4", _J("既定値")};
    static const std::string kNone;
    return (index >= 0 && index < PAPER_COUNT) ? kNames[index] : kNone;
}

int GetPaperCode(int index)
{
    static constexpr int kCodes[PAPER_COUNT] = {70, 11, 9, 8, 66, 88, 13, 12, 0};
    return (index >= 0 && index < PAPER_COUNT) ? kCodes[index] : 0;
}
