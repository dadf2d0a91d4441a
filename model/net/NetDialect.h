#pragma once
// The net-list dialects the board exchanges with other tools. A dialect's code is its index in the
// program's format list; the same code picks CNet::MakeNet's reader and the CNet::MakeHead,
// MakeString and MakeTail writer (their bodies are in NetDialect.cpp).

#include <string>

enum NetDialect : int
{
    NETDIALECT_COMPARE = -1, // the net-compare list (written only)
    NETDIALECT_CR3000 = 0,
    NETDIALECT_VISULA = 1,
    NETDIALECT_ECAD = 2,
    NETDIALECT_COMPUTER_VISION = 3,
    NETDIALECT_TANGO = 4,
    NETDIALECT_TELESIS = 5,
    NETDIALECT_WORK_VIEW = 6,
    NETDIALECT_POWER_VIEW = 7,
    NETDIALECT_FUTURENET = 8, // written only
    NETDIALECT_PADS = 9,
    NETDIALECT_PADS_PCB = 10,
    NETDIALECT_PADS_2000 = 11,
    NETDIALECT_SCICARDS = 12,
    NETDIALECT_CADVANCE = 13,
    NETDIALECT_CADLUS = 14,
    NETDIALECT_CALAY = 15,
    NETDIALECT_ULTIBOARD = 16,
    NETDIALECT_PCAD = 17,  // written only, and only its header and trailer
    NETDIALECT_MENTOR = 18 // written only: a header
};

// The dialect's name as the format lists show it ("CR3000", ...); empty for the net-compare list
// and for unknown codes.
const char* GetNetDialectName(int code);

// The text without the white space at its ends, as node names and net names are kept. Trail
// bytes of CP932 are never white space, so trimming by bytes is safe.
std::string TrimNetText(const std::string& s);
