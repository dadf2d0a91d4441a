#pragma once
// What one reading of a photo-plot or drill file gives its caller besides the items: whether the
// file was well formed (else the line and the reason it was not) and the messages the reading
// collected, each text once and in the order met, to be shown together when the reading ends.

#include <algorithm>
#include <string>
#include <vector>

struct CamReadResult
{
    bool wellFormed = true;
    int line = 0;       // 1-based line where a malformed file failed
    std::string reason; // CP932
    std::vector<std::string> messages;

    void AddMessage(const std::string& text)
    {
        if (std::find(messages.begin(), messages.end(), text) == messages.end())
            messages.push_back(text);
    }
};
