// The net-list dialects: reading one net's text (CNet::MakeNet) and writing a file's header, one
// net and the trailer. Columns are counted in CP932 bytes, as the other tools count them, and
// every separator is searched character by character so that a trail byte never splits a text.

#include "model/net/NetDialect.h"

#include "model/net/Net.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::size_t npos = std::string::npos;

bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Trail bytes are never white space or one of the separators trimmed below, so trimming by bytes
// is safe for CP932 text.
void TrimLeft(std::string& s)
{
    std::size_t b = 0;
    while (b < s.size() && IsWhite(s[b]))
        ++b;
    s.erase(0, b);
}

// The writers trim blanks, tabs and line feeds, or the characters of a given set.
void TrimRight(std::string& s, std::string_view set = " \t\n")
{
    while (!s.empty() && set.find(s.back()) != std::string_view::npos)
        s.pop_back();
}

void ReplaceLastChar(std::string& s, char c)
{
    const std::size_t last = platform::LastCharPos(s);
    if (last != npos)
        s.replace(last, s.size() - last, 1, c);
}

// Whether the text holds the word as whole characters (not inside a double-byte character).
bool Contains(std::string_view s, std::string_view word)
{
    for (const platform::Cp932Char c : platform::Chars(s)) {
        if (s.substr(c.pos, word.size()) == word)
            return true;
    }
    return false;
}

// The reference up to and including its last digit, or whole when it has no digit (digits are
// never trail bytes).
std::string RefUpToLastDigit(const std::string& ref)
{
    const std::size_t last = ref.find_last_of("0123456789");
    return last == npos ? ref : ref.substr(0, last + 1);
}

std::string Blanks(std::size_t n)
{
    return std::string(n, ' ');
}

// Splits off the text before the first separator: the head goes to `head`, the text after the
// separator stays in `text`. False (both unchanged) when the separator is missing.
bool SplitAt(std::string& text, char separator, std::string& head)
{
    const std::size_t k = platform::FindByte(text, separator);
    if (k == npos)
        return false;
    head = text.substr(0, k);
    text.erase(0, k + 1);
    return true;
}

// As SplitAt, but a missing separator gives an empty head and leaves the text whole.
std::string TakeWord(std::string& text)
{
    std::string word;
    SplitAt(text, ' ', word);
    return word;
}

const char* const kTitle = " VELTA Reverse Net List File";
const char* const kFileLine = "   File : %s";
const char* const kDateLine = "   Date : %s";

} // namespace

std::string TrimNetText(const std::string& s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsWhite(s[b]))
        ++b;
    while (e > b && IsWhite(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

const char* GetNetDialectName(int code)
{
    static const char* const names[] = {"CR3000",   "VISULA",    "ECAD",       "Computer Vision", "Tango",
                                        "TELESIS",  "WORK VIEW", "POWER VIEW", "FutureNet(NETC)", "PADS",
                                        "PADS-PCB", "PADS-2000", "Scicards",   "CADVANCE",        "CADLUS",
                                        "Calay",    "ultiBOARD", "PCAD",       "MENTOR"};
    if (code < 0 || code >= static_cast<int>(std::size(names)))
        return "";
    return names[code];
}

// --- Reading ---

// The nodes read so far by key, in one table kept for every read of the thread so that reading a
// net allocates nothing but its nodes.
struct CNet::NodeIndex
{
    explicit NodeIndex(std::size_t expected) : keys(Table()) { keys.Clear(expected); }

    static CNetNodeKeys& Table()
    {
        thread_local CNetNodeKeys table;
        return table;
    }

    CNetNodeKeys& keys;
    std::vector<CNetNode*> nodes; // by key number
};

CNet::CNetNode* CNet::AddRefPin(NodeIndex& index, const std::string& ref, const std::string& pin)
{
    std::string r = TrimNetText(ref);
    std::string p = TrimNetText(pin);
    const auto [key, added] = index.keys.Add(r, p);
    if (added) {
        m_Nodes.push_back(std::make_unique<CNetNode>(std::move(r), std::move(p)));
        index.nodes.push_back(m_Nodes.back().get());
    }
    return index.nodes[key];
}

// The list readers walk their text with a position instead of cutting consumed text off its front,
// so that a net of many nodes reads in linear time. Every position they search from follows a
// single-byte separator, so it is always a character boundary.

void CNet::MakeNetSub(NodeIndex& index, char s, char e, std::string rest)
{
    TrimLeft(rest);
    rest += e;
    for (std::size_t pos = 0;;) {
        const std::size_t k = platform::FindByte(rest, e, pos);
        if (k == npos || k - pos <= 1)
            break;
        const std::size_t j = platform::FindByte(rest, s, pos);
        if (j == npos || j >= k)
            break;
        AddRefPin(index, rest.substr(pos, j - pos), rest.substr(j + 1, k - j - 1));
        pos = k + 1;
    }
}

void CNet::ReadPairList(NodeIndex& index, std::string rest)
{
    rest += ' ';
    for (std::size_t pos = 0;;) {
        const std::size_t k = platform::FindByte(rest, ' ', pos);
        if (k == npos || k - pos <= 1)
            break;
        const std::string ref = rest.substr(pos, k - pos);
        pos = k + 1;
        // A missing blank after the pin gives an empty pin and leaves the text where it is.
        std::string pin;
        const std::size_t w = platform::FindByte(rest, ' ', pos);
        if (w != npos) {
            pin = rest.substr(pos, w - pos);
            pos = w + 1;
        }
        AddRefPin(index, ref, pin);
    }
}

void CNet::ReadParenList(NodeIndex& index, std::string rest, char terminator)
{
    rest += terminator;
    for (std::size_t pos = 0;;) {
        const std::size_t o = platform::FindByte(rest, '(', pos);
        if (o == npos || o - pos <= 1)
            break;
        const std::size_t c = platform::FindByte(rest, ')', o + 1);
        if (c == npos)
            break;
        AddRefPin(index, rest.substr(pos, o - pos), rest.substr(o + 1, c - o - 1));
        // The rest ends in the appended terminator, so one is always found.
        pos = platform::FindByte(rest, terminator, pos) + 1;
    }
}

void CNet::ReadDashList(NodeIndex& index, std::string rest)
{
    // The last node needs no comma after it.
    if (!rest.empty() && rest.back() != ',')
        rest += ',';
    for (std::size_t pos = 0;;) {
        const std::size_t k = platform::FindByte(rest, ',', pos);
        if (k == npos || k - pos <= 1)
            break;
        const std::size_t j = platform::FindByte(rest, '-', pos);
        if (j == npos || j > k)
            break;
        AddRefPin(index, rest.substr(pos, j - pos), rest.substr(j + 1, k - j - 1));
        pos = k + 1;
    }
}

bool CNet::MakeNet(int code, const std::string& textIn)
{
    std::string text = TrimNetText(textIn);
    std::string name;
    NodeIndex index(m_Nodes.size());
    for (const auto& n : m_Nodes)
        if (index.keys.Add(n->GetRefName(), n->GetPinName()).second)
            index.nodes.push_back(n.get());
    switch (code) {
    case NETDIALECT_CR3000: {
        const std::size_t k = platform::FindByte(text, ':');
        if (k != npos && k > 1) {
            m_strName = text.substr(0, k);
            ReadParenList(index, text.substr(k + 1), ',');
        }
        break;
    }
    case NETDIALECT_VISULA: {
        // The first node comes before the name and is taken whatever it holds.
        const std::string ref = TakeWord(text);
        const std::string pin = TakeWord(text);
        AddRefPin(index, ref, pin);
        m_strName = TakeWord(text);
        ReadPairList(index, text);
        break;
    }
    case NETDIALECT_ECAD:
    case NETDIALECT_ULTIBOARD:
        if (!SplitAt(text, code == NETDIALECT_ECAD ? ':' : ' ', name))
            return false;
        m_strName = name;
        ReadDashList(index, text);
        break;
    case NETDIALECT_COMPUTER_VISION: {
        std::string first;
        if (!SplitAt(text, ' ', first) || !SplitAt(text, ' ', name))
            return false;
        m_strName = name;
        MakeNetSub(index, '-', ' ', text);
        break;
    }
    case NETDIALECT_TANGO:
        if (!SplitAt(text, ' ', name))
            return false;
        m_strName = name;
        MakeNetSub(index, ',', ' ', text);
        break;
    case NETDIALECT_TELESIS:
    case NETDIALECT_WORK_VIEW:
        if (!SplitAt(text, ';', name))
            return false;
        m_strName = name;
        MakeNetSub(index, '.', ' ', text);
        break;
    case NETDIALECT_POWER_VIEW:
        if (!SplitAt(text, ';', name))
            return false;
        m_strName = name;
        MakeNetSub(index, '^', ',', text);
        break;
    case NETDIALECT_PADS:
    case NETDIALECT_PADS_PCB:
    case NETDIALECT_PADS_2000:
        if (!SplitAt(text, ' ', name))
            return false;
        m_strName = name;
        MakeNetSub(index, '.', ' ', text);
        break;
    case NETDIALECT_SCICARDS:
    case NETDIALECT_CADLUS:
        if (!SplitAt(text, ' ', name))
            return false;
        m_strName = name;
        TrimLeft(text);
        ReadPairList(index, text);
        break;
    case NETDIALECT_CADVANCE:
        if (!SplitAt(text, '=', name))
            return false;
        m_strName = name;
        MakeNetSub(index, '-', ',', text);
        break;
    case NETDIALECT_CALAY: {
        const std::size_t k = platform::FindByte(text, ' ');
        if (k != npos && k > 1) {
            m_strName = text.substr(0, k);
            ReadParenList(index, text.substr(k + 1), ' ');
        }
        break;
    }
    default:
        // FutureNet, PCAD and unknown codes have no reader.
        break;
    }
    m_strName = TrimNetText(m_strName);
    return !m_strName.empty();
}

// --- Writing ---

std::string CNet::MakeHead(int code)
{
    using platform::Format;
    switch (code) {
    case NETDIALECT_COMPARE:
        return Format("/*\n * VELTA Net Compare List File\n *%s\n *%s\n */\n\n", kFileLine, kDateLine);
    case NETDIALECT_CR3000:
        return Format("/*\n *%s\n *%s\n *%s\n */\n\n$CCF\n{\n  NET {\n", kTitle, kFileLine, kDateLine);
    case NETDIALECT_VISULA:
        return Format(".HEA\n.REM%s\n  %s\n  %s\n.EOR\n\n", kTitle, kFileLine, kDateLine);
    case NETDIALECT_TANGO:
    case NETDIALECT_MENTOR:
        return Format("#\n#%s\n#%s\n#\n\n", kTitle, kFileLine);
    case NETDIALECT_TELESIS:
        return "$NETS\n";
    case NETDIALECT_FUTURENET:
        // Handed over as it stands: both placeholders are the caller's.
        return "NETLIST,2\n(DRAWING,NORVA.NET,1-1\nDATA,50,NORVA Generate Netlist\nDATA,51,%s\nDATA,54,Date "
               "%s\n)\n";
    case NETDIALECT_PADS:
        return "*PADS-PCB\n*Net\n";
    case NETDIALECT_PADS_PCB:
        return "*PADS-PCB*\n*NET*\n";
    case NETDIALECT_PADS_2000:
        return "*PADS2000*\n*NET*\n";
    case NETDIALECT_SCICARDS:
        return "NETLIST\n\n";
    case NETDIALECT_CADVANCE:
        return Format("/*\n * %s\n * %s\n * %s\n */\n$NET_LIST [ MM ] {\n", kTitle, kFileLine, kDateLine);
    case NETDIALECT_ULTIBOARD:
        return Format("++ %s\n++ %s\n++ %s\n\n", kTitle, kFileLine, kDateLine);
    case NETDIALECT_PCAD:
        return Format("%%%% %s\n%%%% %s\n%%%% %s\n", kTitle, kFileLine, kDateLine);
    default:
        return {};
    }
}

std::string CNet::MakeTail(int code)
{
    switch (code) {
    case NETDIALECT_CR3000:
        return "      }\n}\n\n";
    case NETDIALECT_VISULA:
        return ".END\n";
    case NETDIALECT_TELESIS:
        return "$END\n";
    case NETDIALECT_PADS:
        return "*End\n";
    case NETDIALECT_PADS_PCB:
    case NETDIALECT_PADS_2000:
        return "*END*\n";
    case NETDIALECT_SCICARDS:
        return "EOS\n";
    case NETDIALECT_CADVANCE:
        return "\t}\n}\n";
    case NETDIALECT_PCAD:
        return "}\n}\n";
    default:
        return {};
    }
}

std::string CNet::MakeString(int code, int number) const
{
    std::vector<const CNetNode*> nodes;
    nodes.reserve(m_Nodes.size());
    for (const auto& n : m_Nodes)
        nodes.push_back(n.get());
    return FormatNet(code, number, m_strName, nodes);
}

std::string CNet::FormatNet(int code, int number, const std::string& name,
                            const std::vector<const CNetNode*>& nodes)
{
    using platform::Format;
    // A net without nodes is not written in any dialect.
    if (nodes.empty())
        return {};
    const char* const n = name.c_str();
    std::string s;
    std::size_t i = 0; // 1-based index of the node being written
    switch (code) {
    case NETDIALECT_COMPARE:
    case NETDIALECT_CR3000:
        s = Format("        %9s : ", n);
        if (!Contains(name, "OPEN_NET")) {
            for (const CNetNode* node : nodes) {
                s += Format("%s(%s) , ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
                if (++i % 5 == 0) {
                    TrimRight(s);
                    s += "\n" + Blanks(20);
                }
            }
        }
        TrimRight(s);
        ReplaceLastChar(s, ';');
        s += '\n';
        break;
    case NETDIALECT_VISULA:
        for (const CNetNode* node : nodes) {
            const std::string ref = node->GetTerRefName();
            const std::string pin = node->GetTerPinName();
            if (++i == 1)
                s += Format(".ADD_TER %s %s %s\n", RefUpToLastDigit(ref).c_str(), pin.c_str(), n);
            else
                s += (i == 2 ? ".TER   " : Blanks(7)) + Format("%s %s\n", ref.c_str(), pin.c_str());
        }
        break;
    case NETDIALECT_ECAD: {
        s = Format("%9s : ", n);
        for (const CNetNode* node : nodes) {
            s += Format("%s-%s , ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            if (++i % 5 == 0) {
                TrimRight(s);
                s += "\n" + Blanks(12);
            }
        }
        TrimRight(s);
        const std::size_t comma = platform::FindLastByte(s, ',');
        if (comma != npos)
            s[comma] = '.';
        s += '\n';
        break;
    }
    case NETDIALECT_COMPUTER_VISION:
        s = Format("%04d %s ", number, n);
        for (const CNetNode* node : nodes)
            s += Format("%s-%s ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
        s += '\n';
        break;
    case NETDIALECT_TANGO:
        s = Format("(\n%s\n", n);
        for (const CNetNode* node : nodes)
            s += Format("%s,%s\n", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
        s += ")\n";
        break;
    case NETDIALECT_TELESIS:
        s = Format("%9s ; ", n);
        for (const CNetNode* node : nodes) {
            s += Format("%s.%s ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            if (++i % 5 == 0) {
                TrimRight(s);
                s += ",\n" + Blanks(12);
            }
        }
        TrimRight(s);
        if (!s.empty() && s.back() == ',')
            s.pop_back();
        TrimRight(s);
        s += '\n';
        break;
    case NETDIALECT_WORK_VIEW:
        for (const CNetNode* node : nodes) {
            const std::string ref = node->GetTerRefName();
            const std::string pin = node->GetTerPinName();
            if (++i == 1)
                s = Format("%s ; %s.%s,", Format("%9s", n).c_str(), RefUpToLastDigit(ref).c_str(),
                           pin.c_str()) +
                    "\n" + Blanks(12);
            else
                s += Format("%s.%s", ref.c_str(), pin.c_str()) + ",\n" + Blanks(12);
        }
        TrimRight(s, ",\n ");
        s += '\n';
        break;
    case NETDIALECT_POWER_VIEW:
        s = Format("%s;", n);
        for (const CNetNode* node : nodes)
            s += Format("%s^%s,", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
        TrimRight(s, ",");
        s += '\n';
        break;
    case NETDIALECT_FUTURENET:
        s = Format("(SIG,,%s,1-1,5,%s\n", n, n);
        for (const CNetNode* node : nodes)
            s += Format("PIN,1-1,%s,%d,%s\n", node->GetTerRefName().c_str(), 23,
                        node->GetTerPinName().c_str());
        s += ")\n";
        break;
    case NETDIALECT_PADS:
    case NETDIALECT_PADS_PCB:
    case NETDIALECT_PADS_2000: {
        s = (code == NETDIALECT_PADS ? "*Sig " : "*SIGNAL* ") + Format("%s\n", n);
        std::size_t count = 0;
        for (const CNetNode* node : nodes) {
            const std::string text =
                Format(" %s.%s", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            count += text.size();
            if (count > 50) {
                s += '\n';
                count = 0;
            }
            s += text;
        }
        TrimRight(s);
        s += '\n';
        break;
    }
    case NETDIALECT_SCICARDS: {
        s = Format("NODENAME %-16s $\n", n);
        bool lineStart = true;
        for (const CNetNode* node : nodes) {
            const std::string ref = node->GetTerRefName();
            const std::string pin = node->GetTerPinName();
            if (lineStart)
                s += Blanks(4);
            const std::size_t used = ref.size() + pin.size();
            s += ref + Blanks(used < 12 ? 12 - used : 1) + pin + "  ";
            lineStart = ++i % 4 == 0;
            if (lineStart)
                s += " $\n";
        }
        if (s.size() >= 2 && s[s.size() - 2] == '$')
            s.erase(s.size() - 2);
        s += '\n';
        break;
    }
    case NETDIALECT_CADVANCE:
        s = Format("%8s = {", n);
        for (const CNetNode* node : nodes) {
            s += Format("%s-%s , ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            if (++i % 5 == 0) {
                TrimRight(s);
                s += "\n" + Blanks(12);
            }
        }
        TrimRight(s, "\n, ");
        s += "};\n";
        break;
    case NETDIALECT_CADLUS:
        for (const CNetNode* node : nodes)
            s += name + " " + Format("%s %s\n", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
        break;
    case NETDIALECT_CALAY:
        s = Format("/%-9s ", n);
        for (const CNetNode* node : nodes) {
            s += Format("%s(%s) ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            if (++i % 8 == 0) {
                TrimRight(s);
                s += ",\n" + Blanks(11);
            }
        }
        TrimRight(s, "\n, ");
        s += ";\n";
        break;
    case NETDIALECT_ULTIBOARD: {
        std::string body;
        std::size_t length = 0;
        std::size_t k = 1; // index of the node on its line
        for (const CNetNode* node : nodes) {
            const std::string text =
                Format("%s-%s, ", node->GetTerRefName().c_str(), node->GetTerPinName().c_str());
            length += text.size();
            if (length < 82) {
                body += text;
            } else {
                TrimRight(body);
                body += '\n';
                body += text;
                k = 1;
                length = text.size();
            }
            if (k % 8 == 0) {
                TrimRight(body);
                body += '\n';
                length = 0;
            }
            ++k;
        }
        TrimRight(body);
        if (k % 8 != 0)
            body += '\n';
        s = Format("* %s\n", n) + body + "\n";
        break;
    }
    default:
        // PCAD, MENTOR and unknown codes: the writer's driver writes these net sections itself.
        break;
    }
    return s;
}
