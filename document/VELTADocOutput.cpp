// Sections of the board settings file for the manufacturing output, printing, the hole chart, the
// design-rule check and the part list.
#include "document/DocumentHost.h"
#include "document/NumberText.h"
#include "document/SettingSections.h"
#include "document/VELTADoc.h"

#include "model/sheet/Sheet.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cctype>
#include <optional>

using settings::Next;

namespace {

int Number(const std::string& field)
{
    return platform::Atoi(field);
}

double Value(const std::string& field)
{
    return platform::Atof(field);
}

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return platform::MbsICmp(a, b) == 0;
}

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// CAM lines: yes when the field begins with YES.
bool IsYes(const std::string& field)
{
    return settings::StartsWithNoCase(field, "YES");
}

const char* YesNo(bool yes)
{
    return yes ? "YES" : "NO";
}

// Check and part-list lines: on when the field is ON.
bool IsOn(const std::string& field)
{
    return EqualsNoCase(field, "ON");
}

const char* OnOff(bool on)
{
    return on ? "ON" : "OFF";
}

char Key(const std::vector<std::string>& f)
{
    return f.empty() || f[0].empty() ? '\0'
                                     : static_cast<char>(std::toupper(static_cast<unsigned char>(f[0][0])));
}

// A list line as it is kept: flag, first text padded to 14 bytes, second to 13, normalised list.
std::string ListLine(const std::vector<std::string>& f)
{
    std::string list = f[3];
    CBoardSettingFile::NormalizeLayerList(list);
    return f[0] + ":" + platform::PadRight(f[1], 14) + ": " + platform::PadRight(f[2], 13) + ":" + list;
}

std::string ListLines(const std::vector<std::string>& lines)
{
    std::string body;
    for (const std::string& line : lines)
        body += line + " ;\r\n";
    return body;
}

// Leading and trailing '.' and '"' removed.
std::string StripDotsAndQuotes(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(".\"");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(".\"") - first + 1);
}

constexpr const char* kTapeCodes[] = {"ASC", "EBC", "EIA", "ISO"};
constexpr const char* kEndOfBlock[] = {"*", "LF", "CR"};

// The lines both output kinds share: A, B, C and the list lines. Stop or go when it took the
// line; none when the line is another kind's.
std::optional<Next> ReadCommonCamLine(CBoardSettingFile& file, const std::vector<std::string>& f, int i,
                                      tagCAMOUTKIND& kind, bool photo)
{
    switch (Key(f)) {
    case '0':
    case '1':
        if (f.size() != 4)
            return settings::Error(file, i);
        kind.outputs.push_back(ListLine(f));
        return Next::Go;
    case 'A':
        if (f.size() == 2)
            kind.folder = f[1];
        else if (photo && f.size() == 3)
            kind.folder = f[1] + ":" + f[2]; // an unquoted drive path split at its colon
        else
            return settings::Error(file, i);
        return Next::Go;
    case 'B': {
        if (f.size() != 5)
            return settings::Error(file, i);
        const std::string tape = platform::ToUpperAscii(f[1]);
        int code = -1;
        for (int k = 0; k < 4 && code < 0; ++k) {
            if (Contains(tape, kTapeCodes[k]))
                code = k;
        }
        if (code < 0)
            return settings::Error(file, i);
        kind.tapeCode = code;
        const std::string end = platform::ToUpperAscii(f[2]);
        kind.endOfBlock = Contains(end, "CR") ? 2 : Contains(end, "LF") ? 1 : 0;
        const int number = Number(f[4]);
        if (!InRange(number, 0, 5)) {
            kind.number = 4;
            return settings::Error(file, i);
        }
        kind.number = number;
        return Next::Go;
    }
    case 'C': {
        if (f.size() != 9)
            return settings::Error(file, i);
        kind.inch = Contains(platform::ToLowerAscii(f[1]), "i");
        kind.incremental = Contains(platform::ToLowerAscii(f[2]), "inc");
        for (std::size_t k = 0; k < 3; ++k)
            kind.values[k] = Value(f[3 + k]);
        kind.ints[0] = Number(f[6]);
        kind.ints[1] = Number(f[7]);
        const int rotation = Number(f[8]);
        if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270)
            return settings::Error(file, i);
        kind.rotation = rotation / 90;
        return Next::Go;
    }
    default:
        return std::nullopt;
    }
}

std::string CommonCamLines(const tagCAMOUTKIND& kind)
{
    std::string body = platform::Format("A: \"%s\" ;\r\n", kind.folder.c_str());
    body += platform::Format("B: %s : %s : AUTO : %d ;\r\n",
                             kTapeCodes[InRange(kind.tapeCode, 0, 3) ? kind.tapeCode : 0],
                             kEndOfBlock[InRange(kind.endOfBlock, 0, 2) ? kind.endOfBlock : 0], kind.number);
    body += platform::Format("C: %s : %s : %.5f : %.5f : %.5f : %d : %d : %d ;\r\n", kind.inch ? "i" : "m",
                             kind.incremental ? "inc" : "abs", kind.values[0], kind.values[1], kind.values[2],
                             kind.ints[0], kind.ints[1], kind.rotation * 90);
    return body;
}

// Hole sizes as the hole chart writes them: d, d x w, or d x w (r).
std::string HoleSizeText(const tagHOLEENTRY& hole)
{
    if (hole.kind & 0x20)
        return FormatNumber(hole.size) + "x" + FormatNumber(hole.width) + "(" + FormatNumber(hole.third) +
               ")";
    if (hole.kind & 0x10)
        return FormatNumber(hole.size) + "x" + FormatNumber(hole.width);
    return FormatNumber(hole.size);
}

} // namespace

// --- CAM_REPORT, CAM_OUT_PHOT, CAM_OUT_DRIL ---

void CVELTADoc::ReadCamOut(tagCAMOUT& out)
{
    out.report = "VTHTML";
    m_settingFile.SetLabel("CAM_REPORT");
    if (m_settingFile.ReadSection()) {
        std::vector<std::string> f;
        m_settingFile.SplitEntry(0, f);
        if (m_settingFile.GetEntryCount() != 1 || f.size() != 1)
            m_settingFile.ReportFormatError(0);
        else
            out.report = f[0];
    }

    out.photo.outputs.clear();
    settings::ForEachEntry(m_settingFile, "CAM_OUT_PHOT", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        if (auto next = ReadCommonCamLine(m_settingFile, f, i, out.photo, true))
            return *next;
        switch (Key(f)) {
        case 'D': {
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            const int mode = Number(f[1]);
            out.photoMode = InRange(mode, 0, 4) ? mode : 0;
            return InRange(mode, 0, 4) ? Next::Go : settings::Error(m_settingFile, i);
        }
        case 'F':
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            out.photoFile = f[1];
            return Next::Go;
        case 'H':
            if (f.size() != 8)
                return settings::Error(m_settingFile, i);
            for (std::size_t k = 0; k < 7; ++k)
                out.photoCodes[k] = f[1 + k];
            return Next::Go;
        case 'I':
        case 'J':
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            (Key(f) == 'I' ? out.photoI : out.photoJ) = f[1];
            return Next::Go;
        case 'X':
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            out.photoFlag = Number(f[1]) > 0;
            return Next::Go;
        default:
            return settings::Error(m_settingFile, i);
        }
    });

    out.drill.outputs.clear();
    settings::ForEachEntry(m_settingFile, "CAM_OUT_DRIL", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        if (auto next = ReadCommonCamLine(m_settingFile, f, i, out.drill, false))
            return *next;
        switch (Key(f)) {
        case 'H': {
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            const int mode = Number(f[1]);
            if (!InRange(mode, 0, 3))
                return settings::Error(m_settingFile, i);
            out.drillMode = mode;
            return Next::Go;
        }
        case 'L':
            if (f.size() != 5)
                return settings::Error(m_settingFile, i);
            out.drillYes1 = IsYes(f[1]);
            out.drillText1 = StripDotsAndQuotes(f[2]);
            out.drillYes2 = IsYes(f[3]);
            out.drillText2 = StripDotsAndQuotes(f[4]);
            return Next::Go;
        case 'S': {
            if (f.size() != 4)
                return settings::Error(m_settingFile, i);
            const int number = Number(f[1]);
            if (!InRange(number, 1, 5))
                return settings::Error(m_settingFile, i);
            out.drillNumber = number - 1;
            out.drillYes3 = IsYes(f[2]);
            out.drillYes4 = IsYes(f[3]);
            return Next::Go;
        }
        case 'T':
            if (f.size() != 4)
                return settings::Error(m_settingFile, i);
            for (std::size_t k = 0; k < 3; ++k)
                out.drillInts[k] = Number(f[1 + k]);
            return Next::Go;
        case 'X': {
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            const int option = Number(f[1]);
            out.drillOption = std::clamp(option, 0, 3);
            out.drillOptionOn = out.drillOption != 0;
            return InRange(option, 0, 3) ? Next::Go : settings::Error(m_settingFile, i);
        }
        default:
            return settings::Error(m_settingFile, i);
        }
    });
}

bool CVELTADoc::WriteCamOut(int kind, const tagCAMOUT& out)
{
    const bool report =
        settings::Write(m_settingFile, "CAM_REPORT", platform::Format(" %s ;\r\n", out.report.c_str()));
    std::string body;
    if (kind == 0) {
        body = CommonCamLines(out.photo);
        body += platform::Format("D: %d ;\r\n", out.photoMode);
        body += platform::Format("F: \"%s\" ;\r\n", out.photoFile.c_str());
        const auto& h = out.photoCodes;
        body += platform::Format("H: %s : %s : %s : %s : %s : %s : %s ;\r\n", h[0].c_str(), h[1].c_str(),
                                 h[2].c_str(), h[3].c_str(), h[4].c_str(), h[5].c_str(), h[6].c_str());
        body += platform::Format("I: %s ;\r\n", out.photoI.c_str());
        body += platform::Format("J: %s ;\r\n", out.photoJ.c_str());
        body += platform::Format("X: %d ;\r\n", out.photoFlag ? 1 : 0);
        body += ListLines(out.photo.outputs);
        return settings::Write(m_settingFile, "CAM_OUT_PHOT", body) && report;
    }
    body = CommonCamLines(out.drill);
    body += platform::Format("H: %d ;\r\n", out.drillMode);
    body += platform::Format("L: %s : \"%s\" : %s : \"%s\" ;\r\n", YesNo(out.drillYes1),
                             out.drillText1.c_str(), YesNo(out.drillYes2), out.drillText2.c_str());
    body += platform::Format("S: %d : %s : %s ;\r\n", out.drillNumber + 1, YesNo(out.drillYes3),
                             YesNo(out.drillYes4));
    body += platform::Format("T: %d : %d : %d ;\r\n", out.drillInts[0], out.drillInts[1], out.drillInts[2]);
    body += platform::Format("X: %d ;\r\n", out.drillOptionOn ? out.drillOption : 0);
    body += ListLines(out.drill.outputs);
    return settings::Write(m_settingFile, "CAM_OUT_DRIL", body) && report;
}

// --- PRINT ---

void CVELTADoc::ReadPrintSettings(tagPRINTSET& print)
{
    print.a = {0, 0};
    print.scale = 1.0;
    print.b = {0, 0, 0, 0};
    print.c = {0, 128};
    print.layers.clear();
    settings::ForEachEntry(m_settingFile, "PRINT", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        switch (Key(f)) {
        case '0':
        case '1':
            if (f.size() != 4)
                return settings::Error(m_settingFile, i);
            print.layers.push_back(ListLine(f));
            return Next::Go;
        case 'A':
        case 'C':
            if (f.size() != 3)
                return settings::Error(m_settingFile, i);
            (Key(f) == 'A' ? print.a : print.c) = {Number(f[1]), Number(f[2])};
            return Next::Go;
        case 'B':
            if (f.size() != 6)
                return settings::Error(m_settingFile, i);
            print.scale = Value(f[1]);
            for (std::size_t k = 0; k < 4; ++k)
                print.b[k] = Number(f[2 + k]);
            return Next::Go;
        case 'D':
            if (f.size() != 3)
                return settings::Error(m_settingFile, i);
            for (int index = 0; index < PAPER_COUNT; ++index) {
                if (EqualsNoCase(f[1], GetPaperName(index))) {
                    print.paperIndex = index;
                    print.paperCode = GetPaperCode(index);
                    break;
                }
            }
            print.portrait = !Contains(platform::ToUpperAscii(f[2]), "L");
            return Next::Go;
        default:
            return settings::Error(m_settingFile, i);
        }
    });
    m_print.a = print.a;
    m_print.scale = print.scale;
    m_print.b = print.b;
    m_print.c = print.c;
}

bool CVELTADoc::WritePrintSettings(const tagPRINTSET& print)
{
    std::string body = platform::Format("A: %d : %d ;\r\n", print.a[0], print.a[1]);
    body += platform::Format("B: %.5f : %d : %d : %d : %d;\r\n", print.scale, print.b[0], print.b[1],
                             print.b[2], print.b[3]);
    body += platform::Format("C: %d : %d ;\r\n", print.c[0], print.c[1]);
    body += platform::Format("D: %s : %c ;\r\n", GetPaperName(print.paperIndex).c_str(),
                             print.portrait ? 'P' : 'L');
    body += ListLines(print.layers);
    const bool replaced = settings::Write(m_settingFile, "PRINT", body);
    LoadPrintSettings();
    return replaced;
}

// --- HOLE_DATA ---

void CVELTADoc::ReadHoleData(tagHOLEDATA& data)
{
    settings::ForEachEntry(m_settingFile, "HOLE_DATA", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        const std::string& key = f[0];
        if (EqualsNoCase(key, "INPUT")) {
            if (f.size() != 2)
                return settings::Error(m_settingFile, i);
            bool bad = false;
            for (int n : settings::ListNumbers(f[1])) {
                if (InRange(n, 1, LAYER_MAX))
                    data.input[static_cast<std::size_t>(n - 1)] = 1;
                else
                    bad = true;
            }
            return bad ? settings::Error(m_settingFile, i) : Next::Go;
        }
        if (EqualsNoCase(key, "CODE") || EqualsNoCase(key, "TABLE")) {
            const bool code = EqualsNoCase(key, "CODE");
            if (f.size() != (code ? 6u : 5u))
                return settings::Error(m_settingFile, i);
            const int layer = Number(f[1]);
            // The chart's "no table" choice is written as layer 0.
            if (!InRange(layer, code ? 1 : 0, LAYER_MAX))
                return settings::Error(m_settingFile, i);
            (code ? data.codeLayer : data.tableLayer) = layer - 1;
            for (std::size_t k = 0; k < (code ? 4u : 3u); ++k)
                (code ? data.code[k] : data.table[k]) = Value(f[2 + k]);
            return Next::Go;
        }
        if (EqualsNoCase(key, "ERROR")) {
            if (f.size() != 4)
                return settings::Error(m_settingFile, i);
            data.error = IsOn(f[1]);
            data.errorText = f[2];
            data.errorValue = Value(f[3]);
            return Next::Go;
        }
        if (key.compare(0, 2, "TD") == 0) {
            const int n = Number(key.substr(2));
            if (f.size() != 4 || !InRange(n, 1, HOLE_ENTRY_MAX))
                return settings::Error(m_settingFile, i);
            tagHOLEENTRY hole;
            const char* text = f[1].c_str();
            const char* end = nullptr;
            hole.size = platform::Strtod(text, &end);
            if (*end == 'x' || *end == 'X') {
                hole.width = platform::Strtod(end + 1, &end);
                hole.kind = 0x10;
                hole.third = hole.size * 0.5;
                if (*end == '(') {
                    hole.third = platform::Strtod(end + 1, &end);
                    hole.kind = 0x20;
                }
            }
            if (EqualsNoCase(f[2], "TH"))
                hole.kind |= 0x1;
            hole.name = f[3];
            data.holes[static_cast<std::size_t>(n - 1)] = hole;
            data.holeCount = std::max(data.holeCount, n);
            return Next::Go;
        }
        return settings::Error(m_settingFile, i);
    });
}

bool CVELTADoc::WriteHoleData(const tagHOLEDATA& data)
{
    std::string list;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        if (data.input[static_cast<std::size_t>(layer)])
            list += platform::Format("%3d,", layer + 1);
    }
    if (!list.empty())
        list.pop_back();
    std::string body = "INPUT : " + list + " ;\r\n";
    body += platform::Format("CODE  : % 3d : %.2f : %.3f : %.3f : %.3f ;\r\n", data.codeLayer + 1,
                             data.code[0], data.code[1], data.code[2], data.code[3]);
    body += platform::Format("TABLE : % 3d : %.2f : %.3f : %.3f ;\r\n", data.tableLayer + 1, data.table[0],
                             data.table[1], data.table[2]);
    body += platform::Format("ERROR : %s : %s : %.3f ;\r\n", data.error ? "ON " : "OFF",
                             data.errorText.c_str(), data.errorValue);
    for (int n = 0; n < HOLE_ENTRY_MAX; ++n) {
        const tagHOLEENTRY& hole = data.holes[static_cast<std::size_t>(n)];
        if (hole.name.empty())
            continue;
        body += platform::Format("TD%d : %s : %s : \"%s\" ;\r\n", n + 1, HoleSizeText(hole).c_str(),
                                 (hole.kind & 0x1) ? "TH" : "NTH", hole.name.c_str());
    }
    return settings::Write(m_settingFile, "HOLE_DATA", body);
}

// --- DRC_CHECK ---

void CVELTADoc::ReadDrcCheck(tagDRCSET& drc)
{
    drc = tagDRCSET{};
    settings::ForEachEntry(m_settingFile, "DRC_CHECK", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        const std::string& key = f[0];
        if (EqualsNoCase(key, "MODE") && f.size() == 3) {
            const int mode = Number(f[1]);
            if (InRange(mode, 0, 2))
                drc.mode = mode;
            if (mode == 2)
                drc.modeText = f[2];
        } else if (EqualsNoCase(key, "SIZE") && f.size() == 2) {
            if (Value(f[1]) >= 0.0)
                drc.size = Value(f[1]);
        } else if (EqualsNoCase(key, "OUTPUT") && f.size() == 4) {
            if (Number(f[1]) == 0)
                drc.output = false;
            if (InRange(Number(f[2]), 1, LAYER_MAX))
                drc.outputLayer = Number(f[2]) - 1;
            if (InRange(Number(f[3]), 2, TURRET_MAX + 1))
                drc.outputAperture = Number(f[3]) - 1;
        } else if (EqualsNoCase(key, "NEGA") && f.size() == 2) {
            if (InRange(Number(f[1]), 0, 2))
                drc.nega = Number(f[1]);
        } else if (EqualsNoCase(key, "ARC") && f.size() == 5) {
            if (Value(f[1]) >= 0.0)
                drc.arc = Value(f[1]);
            drc.arcFlag1 = IsOn(f[2]);
            drc.arcFlag2 = IsOn(f[3]);
            if (InRange(Number(f[4]), 1, TURRET_MAX + 1))
                drc.arcAperture = Number(f[4]) - 1;
        } else if (EqualsNoCase(key, "PINCOUNT") && f.size() == 2) {
            drc.pinCount = IsOn(f[1]);
        } else {
            return settings::Error(m_settingFile, i);
        }
        return Next::Go;
    });
}

bool CVELTADoc::WriteDrcCheck(const tagDRCSET& drc)
{
    std::string body = platform::Format("MODE : %d : %s ;\r\n", drc.mode, drc.modeText.c_str());
    body += platform::Format("SIZE : %G ;\r\n", drc.size);
    body += platform::Format("OUTPUT: %d : %d : %d ;\r\n", drc.output ? 1 : 0, drc.outputLayer + 1,
                             drc.outputAperture + 1);
    body += platform::Format("NEGA : %d ;\r\n", drc.nega);
    body += platform::Format("ARC : %G : %s : %s : %d ;\r\n", drc.arc, OnOff(drc.arcFlag1),
                             OnOff(drc.arcFlag2), drc.arcAperture + 1);
    body += platform::Format("PINCOUNT : %s ;\r\n", OnOff(drc.pinCount));
    return settings::Write(m_settingFile, "DRC_CHECK", body);
}

// --- PART_LIST ---

void CVELTADoc::ReadPartList(tagPARTLISTSET& list)
{
    const std::string folder = list.folder;
    list = tagPARTLISTSET{};
    list.folder = folder;
    settings::ForEachEntry(m_settingFile, "PART_LIST", [&](const std::vector<std::string>& f, int i) {
        if (f.size() < 2)
            return settings::Error(m_settingFile, i);
        const std::string& key = f[0];
        if (EqualsNoCase(key, "PLACE") && f.size() == 2) {
            list.place = Number(f[1]) != 0;
        } else if (EqualsNoCase(key, "ORG_P") && f.size() == 3) {
            list.partOriginX = Value(f[1]);
            list.partOriginY = Value(f[2]);
        } else if (EqualsNoCase(key, "ORG_S") && f.size() == 4) {
            list.sheetOriginX = Value(f[1]);
            list.sheetOriginY = Value(f[2]);
            const std::string letters = platform::ToUpperAscii(f[3]);
            if (Contains(letters, "X"))
                list.xFlag = true;
            if (Contains(letters, "Y"))
                list.yFlag = true;
        } else if (EqualsNoCase(key, "OUTPUT") && f.size() == 2) {
            std::string path = f[1];
            while (!path.empty() && path.front() == '\\')
                path.erase(0, 1);
            while (!path.empty() && platform::LastCharPos(path) == path.size() - 1 && path.back() == '\\')
                path.pop_back();
            list.folder = path;
        } else if (EqualsNoCase(key, "OUTPART") && f.size() == 3) {
            list.outPart1 = Contains(platform::ToUpperAscii(f[1]), "ON");
            list.outPart2 = Contains(platform::ToUpperAscii(f[2]), "ON");
        } else {
            return settings::Error(m_settingFile, i);
        }
        return Next::Go;
    });
}

bool CVELTADoc::WritePartList(const tagPARTLISTSET& list)
{
    std::string body = platform::Format("PLACE : %d ;\r\n", list.place ? 1 : 0);
    body += platform::Format("ORG_P : %.3f : %.3f ;\r\n", list.partOriginX, list.partOriginY);
    const char* letters = list.xFlag ? (list.yFlag ? "XY" : "X") : (list.yFlag ? "Y" : "OFF");
    body += platform::Format("ORG_S : %.3f : %.3f : %s ;\r\n", list.sheetOriginX, list.sheetOriginY, letters);
    body += platform::Format("OUTPUT : \"%s\" ;\r\n", list.folder.c_str());
    body += std::string("OUTPART : ") + OnOff(list.outPart1) + (list.outPart2 ? ": ON ;\r\n" : ": OFF ;\r\n");
    return settings::Write(m_settingFile, "PART_LIST", body);
}

// --- Print page ---

void CVELTADoc::LoadPrintSettings()
{
    tagPRINTSET print = m_print;
    ReadPrintSettings(print);
    m_print = print;
    ReadSheetSize();
    m_pageRect = CDRect();
    m_printableRect = CDRect();
    if (m_pHost) {
        if (std::optional<PrinterPage> page = m_pHost->GetDefaultPrinterPage(print.portrait, print.paperCode);
            page && page->dpiX > 0 && page->dpiY > 0) {
            // Device pixels to millimetres; the paper's own coordinates run from the printable
            // area's lower-left corner upward, as the board is printed.
            const double mmX = 25.4 / page->dpiX;
            const double mmY = 25.4 / page->dpiY;
            const double printableW = page->printableWidth * mmX;
            const double printableH = page->printableHeight * mmY;
            const double offX = page->offsetX * mmX;
            const double offTop = page->offsetY * mmY;
            const double scale = print.scale > 0.0 ? print.scale : 1.0;
            // The board is printed at the print scale about the user origin, moved by the print
            // offsets: a paper point p shows board point origin + (p - offset - origin) / scale.
            auto toBoard = [&](double paperX, double paperY) {
                return CDPoint(m_userOrigin.x + (paperX - print.a[0] - m_userOrigin.x) / scale,
                               m_userOrigin.y + (paperY - print.a[1] - m_userOrigin.y) / scale);
            };
            const CDPoint p0 = toBoard(0.0, 0.0);
            const CDPoint p1 = toBoard(printableW, printableH);
            m_printableRect = CDRect(p0.x, p0.y, p1.x, p1.y);
            const CDPoint q0 = toBoard(-offX, printableH + offTop - page->pageHeight * mmY);
            const CDPoint q1 = toBoard(page->pageWidth * mmX - offX, printableH + offTop);
            m_pageRect = CDRect(q0.x, q0.y, q1.x, q1.y);
        }
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
    }
}
