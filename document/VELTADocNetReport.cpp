// The check reports of the design rule check, written beside the board: the reverse net list
// (.drn), the net compare (.crp), the pin count check (.log) and the reverse net index (.nix).

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/DrcSupportRun.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/net/Net.h"
#include "platform/Clock.h"
#include "platform/Numbers.h"

#include <ctime>
#include <unordered_map>

namespace {

constexpr int kPcadDialect = 17;
constexpr int kCompareDialect = -1;
constexpr int kItemsPerLine = 5;

// A dialect header is a format for the file name and the date: each "%s" takes the next of
// them, "%%" is a percent sign, anything else stays as it is.
std::string FillHeader(const std::string& format, const std::string& first, const std::string& second)
{
    std::string out;
    const std::string* args[] = {&first, &second};
    std::size_t used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (used < 2)
                out += *args[used++];
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

void TrimRight(std::string& text, const char* characters)
{
    const std::size_t end = text.find_last_not_of(characters);
    text.erase(end == std::string::npos ? 0 : end + 1);
}

} // namespace

void CVELTADoc::WriteDrcReports(DrcRun& run)
{
    const DrcChoice& choice = run.choice;
    // A board never saved has no place beside it for the reports.
    if (m_strPathName.empty())
        return;
    const std::tm now = platform::GetClock().LocalNow();
    char date[64] = {};
    std::strftime(date, sizeof date, "%Y/%m/%d  %H:%M:%S", &now);
    run.date = date;
    if (choice.reverseNet) {
        const std::string path = MakeOutputPath(".drn");
        WriteDrcReport(run, path, ReverseNetList(run, path));
    }
    if (choice.netCompare && IsNetsOn())
        WriteDrcReport(run, MakeOutputPath(".crp"), NetCompareReport(run));
    if (choice.pinCount) {
        const std::string path = MakeOutputPath(".log");
        WriteDrcReport(run, path, PinCountReport(path));
    }
    if (choice.reverseIndex) {
        const std::string path = MakeOutputPath(".nix");
        WriteDrcReport(run, path, NetIndexReport(run, path));
    }
}

bool CVELTADoc::WriteDrcReport(DrcRun& run, const std::string& path, const std::string& text)
{
    if (!WriteReportFile(path, text))
        return false;
    if (run.choice.viewFiles && m_pHost)
        m_pHost->OpenTextFile(path);
    return true;
}

std::string CVELTADoc::ReverseNetList(DrcRun& run, const std::string& path)
{
    const int format = run.choice.netFormat;
    std::string text = FillHeader(CNet::MakeHead(format), path, run.date);
    WriteNetListParts(format, text, nullptr);
    if (format == kPcadDialect) {
        WriteNetListParts(-kPcadDialect, text, &run.netList);
    } else {
        int number = 0;
        for (const CNet* net : run.netList)
            if (net->CheckNet())
                text += net->MakeString(format, ++number);
    }
    text += CNet::MakeTail(format);
    return text;
}

std::string CVELTADoc::NetCompareReport(DrcRun& run)
{
    std::string text = FillHeader(CNet::MakeHead(kCompareDialect), m_project.netFile, run.date);
    std::vector<CNet*> documentNets;
    for (const auto& net : m_nets)
        documentNets.push_back(net.get());
    for (CNet* net : run.netList)
        net->ResetMaker();
    for (CNet* net : documentNets)
        net->ResetMaker();
    drc::NetMatcher matcher(documentNets);
    for (CNet* net : run.netList)
        if (net->CheckNet())
            matcher.Match(*net);
    text += "<<< Nets assign information >>>\n";
    int unmatched = 0;
    for (const CNet* net : documentNets) {
        if (net->IsMarked())
            continue;
        std::vector<std::string> lines;
        net->GetSameNet(run.netList, lines);
        text += platform::Format("%9s ->\n", net->GetNetName().c_str());
        for (const std::string& line : lines)
            text += line + "\n";
        ++unmatched;
    }
    text += "<<< Net information >>>\n";
    text += platform::Format("Total Net Count(s) %9d\n", static_cast<int>(documentNets.size()));
    text += unmatched ? platform::Format("Unmatched Net Count(s) %9d\n", unmatched)
                      : std::string("All Net List Matching\n");
    return text;
}

std::string CVELTADoc::PinCountReport(const std::string& path)
{
    std::string text;
    WriteReportHeader(text, path);
    for (CPart* part : m_partList) {
        const int type = part->GetType();
        const int pins = part->GetTerCount();
        if (!(type & 0x4) || (type & 0x8) || (type & 0x3) == 3 || pins < 6 || pins % 2 != 0)
            continue;
        // A package whose last two pins touch no copper may have been placed with too many pins.
        POSITION pos = part->GetLastTerPos();
        const CTer* last = part->GetPrevTer(pos);
        const CTer* before = pos ? part->GetPrevTer(pos) : nullptr;
        if (last && before && last->GetDisNetID() == 0 && before->GetDisNetID() == 0)
            text += platform::Format("Pin counter warning! Check package %6s\n", part->GetRefName().c_str());
    }
    return text;
}

std::string CVELTADoc::NetIndexReport(DrcRun& run, const std::string& path)
{
    std::unordered_map<std::uint32_t, const CNet*> byId;
    for (const CNet* net : run.netList)
        byId.emplace(net->GetID(), net);
    std::string text;
    WriteReportHeader(text, path);
    for (CPart* part : m_partList) {
        std::string line = platform::Format("%6s : ", part->GetRefName().c_str());
        const int count = part->GetTerCount();
        int index = 0;
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            const CTer* ter = part->GetNextTer(pos);
            ++index;
            std::string name;
            if (ter->GetDisNetID() == 0) {
                name = "OPEN";
            } else if (const auto found = byId.find(ter->GetDisNetID()); found != byId.end()) {
                name = found->second->GetNetName();
            }
            line += platform::Format("%3s(%9s), ", ter->GetNo().c_str(), name.c_str());
            if (index % kItemsPerLine == 0 && index != count) {
                TrimRight(line, " ");
                line += "\n         ";
            }
        }
        TrimRight(line, " ,");
        text += line + ";\n\n";
    }
    return text;
}
