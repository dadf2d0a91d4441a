#pragma once
// The file stage of net-list import: the whole text of a schematic tool's net list is cut into one
// chunk per net by the rules of its dialect, and each chunk is read by CNet::MakeNet. Every search
// walks the text by CP932 characters, so a separator byte never matches inside a double-byte
// character (タ ends in '^', ソ in '\\').

#include <memory>
#include <string>
#include <vector>

class CNet;

class CNetListReader
{
public:
    using NetList = std::vector<std::unique_ptr<CNet>>;

    // The nets of the text in the dialect, IDs 1 to n in file order. Empty when the dialect's
    // markers are missing, when it has no reader (8, 17) or when no chunk makes a net.
    static NetList Read(const std::string& text, int format);
    // Whether the dialect has a reader of its own (every one but FutureNet, PCAD and unknown codes).
    static bool HasReader(int format);

    // Line feeds, carriage returns and tabs become blanks, and runs of blanks one blank.
    static void NormalizeBlanks(std::string& text);
    // Every chunk of the working text (the text up to and including a line feed, and the text
    // after the last line feed) that is not empty or a "#" comment is offered to CNet::MakeNet;
    // the nets it accepts are numbered on from the end of the list and appended.
    static void MakeNets(const std::string& work, int format, NetList& nets);
};
