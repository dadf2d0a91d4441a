// The part sections of a reverse net list: what the dialect engine of the nets does not write —
// the list of parts for the dialects that have one, and the per-part net section of "PCAD".

#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/net/Net.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr const char* kSymbolNumber = "{NORVA:SYMNO}";

// At most `bytes` bytes, never ending inside a double-byte character.
std::string CutBytes(const std::string& text, std::size_t bytes)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = platform::IsLeadByte(text[end]) && end + 1 < text.size() ? 2 : 1;
        if (end + width > bytes)
            break;
        end += width;
    }
    return text.substr(0, end);
}

struct PartValues
{
    std::string reference;
    std::string name;
    std::string value;
    std::string property;
};

PartValues ValuesOf(const CPart& part, const std::string& pcb)
{
    PartValues v;
    // A multi-section package is listed under its reference without the section letter.
    v.reference = part.GetPackageMax() < 2 ? part.GetRefName() : part.GetRefNameA();
    v.name = part.GetPartName();
    v.value = part.GetValName().empty() ? v.name : part.GetValName();
    v.property = part.GetProperty(pcb.c_str());
    if (v.property.empty())
        v.property = pcb;
    return v;
}

std::string PartEntry(int dialect, const PartValues& v)
{
    using platform::Format;
    switch (dialect) {
    case 1:
        return Format(".ADD_COM   %s   %s\n", v.reference.c_str(), v.name.c_str());
    case 4:
        return Format("[\n%s\n%s\n%s\n\n\n\n]\n", v.reference.c_str(), v.property.c_str(), v.value.c_str());
    case 10:
        return Format("%-6s %s\n", v.reference.c_str(), v.value.c_str());
    case 12: {
        const std::string cut = CutBytes(v.value, 17);
        return Format("%-17s %-15s %s\n", cut.c_str(), CutBytes(cut, 15).c_str(), v.reference.c_str());
    }
    case 13:
        return Format("            %-19s [%-20s]={%-9s,,,,};\n", v.reference.c_str(), v.value.c_str(),
                      v.property.c_str());
    case 15:
        return Format("%-20s%-20s%-20s000     000     0\n", v.value.c_str(), v.reference.c_str(),
                      v.property.c_str());
    case 16:
        return Format("%s, %s, %s, 0, 0, 270.00, %s;\n", v.reference.c_str(), v.value.c_str(),
                      v.property.c_str(), v.name.c_str());
    case 18:
        return Format("%-15s    PART %-20s  %s\n", v.reference.c_str(), v.name.c_str(), v.property.c_str());
    default:
        return std::string();
    }
}

const char* SectionHead(int dialect)
{
    switch (dialect) {
    case 10:
        return "*PART*\n";
    case 12:
        return "PART LIST\n\n";
    case 13:
        return "\tcomp {\n";
    case 16:
        return "* VERSION 4 1\n";
    case 18:
        return "# NORVA Formatted Netlist for MENTOR\n# Reference        Value      PCB Property\n";
    default:
        return "";
    }
}

const char* SectionTail(int dialect)
{
    switch (dialect) {
    case 10:
        return "\n";
    case 12:
        return "EOS\n";
    case 13:
        return "\t}\n\tnets {\n";
    case 15:
        return "\n\n";
    default:
        return "";
    }
}

// A terminal's pin: its number, or its item id when it has none.
std::string PinOf(const CTer& ter)
{
    if (!ter.GetNo().empty())
        return ter.GetNo();
    return ter.GetID() != 0 ? std::to_string(ter.GetID()) : std::string();
}

} // namespace

void CVELTADoc::WriteNetListParts(int dialect, std::string& out, const std::vector<CNet*>* nets)
{
    const std::string pcb = platform::GetProfile().GetString("Tool", "PCB");

    if (dialect == -17) {
        std::unordered_map<std::uint32_t, const CNet*> byId;
        if (nets) {
            for (const CNet* net : *nets)
                byId.emplace(net->GetID(), net);
        }
        out += "{SUBCOMP\n";
        for (CPart* part : m_partList) {
            const PartValues v = ValuesOf(*part, pcb);
            const std::string property =
                v.property.find('.') == std::string::npos ? v.property + ".PRT" : v.property;
            out += platform::Format("{I %s %s\n", property.c_str(), v.reference.c_str());
            out += "{CN\n";
            for (POSITION pos = part->GetFirstTerPos(); pos;) {
                const CTer* ter = part->GetNextTer(pos);
                const auto found = byId.find(ter->GetDisNetID());
                const std::string name = found == byId.end() ? std::string("?") : found->second->GetNetName();
                out += platform::Format("%6s %s\n", ter->GetNo().c_str(), name.c_str());
            }
            out += "}\n}\n";
        }
        out += "}\n";
        return;
    }

    // The symbol numbers the "FutureNet(NETC)" section gives the parts are one undo step.
    CSheet before(SHEET_WORK);
    if (dialect == 8)
        for (CPart* part : m_partList)
            before.NewPart(*part);

    out += SectionHead(dialect);
    std::string last;
    bool first = true;
    int group = 0;
    std::vector<std::string> pins;
    for (CPart* part : m_partList) {
        const PartValues v = ValuesOf(*part, pcb);
        // The sections of one package appear once, under the first of them.
        const bool repeated = !first && platform::MbsICmp(v.reference, last) == 0;
        if (dialect == 8) {
            if (!repeated) {
                if (!first)
                    out += ")\n";
                ++group;
                out += platform::Format("(SYM,1-1,%d\n", group);
                // A part exported before has its number replaced, never a second one added.
                part->DeleteText(kSymbolNumber);
                part->NewText(CText(kSymbolNumber + std::to_string(group), CDPoint(), 0));
                out += platform::Format("DATA,2,%s\n", v.reference.c_str());
                out += platform::Format("DATA,3,%s\n", v.name.c_str());
                out += platform::Format("DATA,4,%s\n", v.value.c_str());
                pins.clear();
            }
            for (POSITION pos = part->GetFirstTerPos(); pos;) {
                const std::string pin = PinOf(*part->GetNextTer(pos));
                if (pin.empty() || std::find(pins.begin(), pins.end(), pin) != pins.end())
                    continue;
                out += platform::Format("DATA,%d,%s\n", 23, pin.c_str());
                pins.push_back(pin);
            }
        } else if (!repeated) {
            out += PartEntry(dialect, v);
        }
        if (!repeated)
            last = v.reference;
        first = false;
    }
    if (dialect == 8 && group > 0)
        out += ")\n";
    out += SectionTail(dialect);
    if (group > 0) {
        CSheet after(SHEET_WORK);
        for (CPart* part : m_partList)
            after.NewPart(*part);
        StoreUndoItem(&before, LAYER_MAX, 0, 3);
        StoreUndoItem(&after, LAYER_MAX, 0, 5);
        SetModifiedFlag();
    }
}
