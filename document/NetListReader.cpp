#include "document/NetListReader.h"

#include "model/net/Net.h"
#include "model/net/NetDialect.h"
#include "platform/Cp932.h"

#include <string_view>

namespace {

constexpr std::size_t npos = std::string::npos;

// The first place at or after `from` where the word starts on a character boundary.
std::size_t Find(std::string_view s, std::string_view word, std::size_t from = 0)
{
    if (from == npos)
        return npos;
    for (std::size_t pos = 0; pos < s.size();) {
        // The first byte is tried on its own: most places fail there.
        if (pos >= from && (word.empty() || (s[pos] == word.front() && s.compare(pos, word.size(), word) == 0)))
            return pos;
        pos += platform::CharAt(s, pos).width;
    }
    return npos;
}

// Every whole-character occurrence of the (non-empty) word replaced; the number of replacements.
std::size_t Replace(std::string& s, std::string_view word, std::string_view with)
{
    std::string out;
    out.reserve(s.size());
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < s.size();) {
        if (s[pos] == word.front() && s.compare(pos, word.size(), word) == 0) {
            out += with;
            pos += word.size();
            ++count;
            continue;
        }
        const std::size_t width = platform::CharAt(s, pos).width;
        out.append(s, pos, width);
        pos += width;
    }
    s.swap(out);
    return count;
}

// The control bytes and blanks below are never trail bytes, so these work byte by byte.
void TrimLeading(std::string& s)
{
    std::size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t' || s[b] == '\n' || s[b] == '\r'))
        ++b;
    s.erase(0, b);
}

void Translate(std::string& s, char from, char to)
{
    for (char& c : s)
        if (c == from)
            c = to;
}

void Remove(std::string& s, char c)
{
    std::erase(s, c);
}

// Runs of blanks become one blank; line feeds stay.
void CollapseBlanks(std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += c;
    }
    s.swap(out);
}

// The text from `begin` up to (not including) `end`.
std::string Cut(const std::string& text, std::size_t begin, std::size_t end)
{
    begin = std::min(begin, text.size());
    end = std::min(std::max(end, begin), text.size());
    return text.substr(begin, end - begin);
}

// WORK VIEW lines: a line that ends with a comma goes on on the next line, and every comma ends a
// net.
void PrepareWorkView(std::string& w)
{
    TrimLeading(w);
    Translate(w, '\n', ',');
    Remove(w, '\r');
    Translate(w, '\t', ' ');
    Replace(w, ",,", " ");
    CollapseBlanks(w);
    Replace(w, ",", "\n");
}

// Tango: a net is the text between a "(" that begins a line and the ")" that begins a later line.
std::string CutTangoNets(const std::string& text)
{
    std::string work;
    std::string body;
    bool open = false;
    bool closed = false;
    auto flush = [&] {
        CNetListReader::NormalizeBlanks(body);
        work += body;
        work += '\n';
        body.clear();
    };
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = platform::FindByte(text, '\n', pos);
        if (end == npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        std::size_t first = 0;
        while (first < line.size() && (line[first] == ' ' || line[first] == '\t' || line[first] == '\r'))
            ++first;
        if (first < line.size() && line[first] == '(') {
            if (open)
                flush();
            open = true;
            body = line.substr(first + 1) + ' ';
        } else if (first < line.size() && line[first] == ')') {
            if (open) {
                flush();
                closed = true;
            }
            open = false;
        } else if (open) {
            body += line;
            body += ' ';
        }
    }
    // A ")" must close the first net; a net left open at the end is still a net.
    if (!closed)
        return {};
    if (open)
        flush();
    return work;
}

// CADLUS: lines of net name, reference and pin; consecutive lines of one name are one net.
std::string CutCadlusNets(const std::string& text)
{
    std::string t = text;
    CNetListReader::NormalizeBlanks(t);
    TrimLeading(t);
    t += ' ';
    std::string work;
    std::string name;
    std::string nodes;
    for (std::size_t pos = 0;;) {
        const std::size_t b = platform::FindByte(t, ' ', pos);
        if (b == npos || b == pos)
            break;
        std::string token = t.substr(pos, b + 1 - pos);
        pos = b + 1;
        if (token != name && !name.empty()) {
            work += name + nodes + '\n';
            nodes.clear();
        }
        name = std::move(token);
        const std::size_t b1 = platform::FindByte(t, ' ', pos);
        const std::size_t b2 = b1 == npos ? npos : platform::FindByte(t, ' ', b1 + 1);
        if (b2 == npos)
            break;
        nodes.append(t, pos, b2 + 1 - pos);
        pos = b2 + 1;
    }
    // The last net has no line of another name after it.
    if (!name.empty() && !nodes.empty())
        work += name + nodes + '\n';
    return work;
}

// The PADS family: the nets between the first signal marker and the end marker.
bool CutPadsNets(const std::string& text, int format, std::string& w)
{
    const bool plain = format == NETDIALECT_PADS;
    const std::string_view head = plain ? "*PADS-PCB" : (format == NETDIALECT_PADS_PCB ? "*PADS-PCB*" : "*PADS2000*");
    const std::string_view netWord = plain ? "*Net" : "*NET*";
    const std::string_view sigWord = plain ? "*Sig" : "*SIGNAL*";
    const std::string_view endWord = plain ? "*End" : "*END*";
    std::size_t h = Find(text, head);
    // Newer PADS files begin with a "!PADS-...!" line instead.
    if (h == npos && !plain && text.compare(0, 6, "!PADS-") == 0)
        h = 0;
    const std::size_t n = Find(text, netWord, h);
    const std::size_t s = Find(text, sigWord, n);
    const std::size_t e = s == npos ? npos : Find(text, endWord, std::min(text.size(), s + (plain ? 8 : 16)));
    if (e == npos)
        return false;
    w = Cut(text, s + sigWord.size(), e + endWord.size() + 1);
    CNetListReader::NormalizeBlanks(w);
    Replace(w, sigWord, "\n");
    Replace(w, endWord, "\n");
    return true;
}

// The working text of a dialect, its nets one per line; false when a marker is missing.
bool CutNets(const std::string& text, int format, std::string& w)
{
    switch (format) {
    case NETDIALECT_CR3000: {
        const std::size_t ccf = Find(text, "$CCF");
        const std::size_t net = Find(text, "NET", ccf);
        const std::size_t open = Find(text, "{", net);
        const std::size_t close = open == npos ? npos : Find(text, "}", open + 1);
        if (close == npos)
            return false;
        w = Cut(text, open + 1, close);
        CNetListReader::NormalizeBlanks(w);
        Replace(w, ";", "\n");
        return true;
    }
    case NETDIALECT_VISULA: {
        const std::size_t end = Find(text, ".END");
        const std::size_t add = Find(text, ".ADD_TER");
        if (end == npos || add == npos || end < add + 8)
            return false;
        w = Cut(text, add + 8, end);
        Replace(w, ".TER", "");
        CNetListReader::NormalizeBlanks(w);
        Replace(w, ".ADD_TER", "\n");
        return true;
    }
    case NETDIALECT_ECAD:
        w = text;
        CNetListReader::NormalizeBlanks(w);
        Replace(w, ".", ",\n");
        return true;
    case NETDIALECT_COMPUTER_VISION:
        w = text;
        Translate(w, '\r', ' ');
        Translate(w, '\t', ' ');
        CollapseBlanks(w);
        Replace(w, "\n", " \n");
        return true;
    case NETDIALECT_TANGO:
        w = CutTangoNets(text);
        return !w.empty();
    case NETDIALECT_TELESIS: {
        const std::size_t nets = Find(text, "$NETS");
        const std::size_t end = Find(text, "$END", nets);
        if (end == npos)
            return false;
        w = Cut(text, nets + 5, end);
        PrepareWorkView(w);
        return true;
    }
    case NETDIALECT_WORK_VIEW:
        w = text;
        PrepareWorkView(w);
        return true;
    case NETDIALECT_POWER_VIEW:
        w = text;
        TrimLeading(w);
        Remove(w, '\r');
        Translate(w, '\t', ' ');
        CollapseBlanks(w);
        Replace(w, ";", " ;");
        return true;
    case NETDIALECT_PADS:
    case NETDIALECT_PADS_PCB:
    case NETDIALECT_PADS_2000:
        return CutPadsNets(text, format, w);
    case NETDIALECT_SCICARDS: {
        // The program's own export writes "NETLIST".
        std::size_t list = Find(text, "NET LIST");
        if (list == npos)
            list = Find(text, "NETLIST");
        const std::size_t node = Find(text, "NODE", list);
        const std::size_t eos = node == npos ? npos : Find(text, "EOS", node + 4);
        if (eos == npos)
            return false;
        w = Cut(text, node, eos);
        Remove(w, '$');
        CNetListReader::NormalizeBlanks(w);
        Replace(w, "NODENAME", "\n");
        Replace(w, "NODE", "\n");
        if (!w.empty() && w.front() == '\n')
            w.erase(0, 1);
        return true;
    }
    case NETDIALECT_CADVANCE: {
        const std::size_t list = Find(text, "$NET_LIST");
        std::size_t start = npos;
        if (const std::size_t nets = Find(text, "nets", list); nets != npos)
            start = nets + 4;
        else if (const std::size_t open = Find(text, "{", list); open != npos)
            start = open + 1; // the program's own export has no "nets" word
        if (start == npos)
            return false;
        w = Cut(text, start, text.size());
        Remove(w, '{');
        Remove(w, '}');
        CNetListReader::NormalizeBlanks(w);
        Replace(w, ";", "\n");
        return true;
    }
    case NETDIALECT_CADLUS:
        w = CutCadlusNets(text);
        return true;
    case NETDIALECT_CALAY: {
        std::size_t start = 0;
        if (text.empty() || text.front() != '/') {
            start = Find(text, "\n/");
            if (start == npos)
                start = Find(text, "\r/");
            if (start == npos)
                return false;
        }
        w = Cut(text, start, text.size());
        Translate(w, ',', ' ');
        // Only the "/" that begins a net goes: hierarchical references keep theirs.
        std::string out;
        out.reserve(w.size());
        for (std::size_t i = 0; i < w.size(); ++i) {
            if (w[i] == '/' && (i == 0 || w[i - 1] == '\n' || w[i - 1] == '\r'))
                continue;
            out += w[i];
        }
        w.swap(out);
        CNetListReader::NormalizeBlanks(w);
        Replace(w, ";", "\n");
        return true;
    }
    case NETDIALECT_ULTIBOARD: {
        std::size_t version = Find(text, "* VERSION");
        std::size_t start = npos;
        if (version == npos && text.compare(0, 2, "* ") == 0) {
            start = 2;
        } else {
            if (version == npos)
                version = 0;
            std::size_t mark = Find(text, "\n* ", version);
            if (mark == npos)
                mark = Find(text, "\r* ");
            if (mark != npos)
                start = mark + 3;
        }
        if (start == npos)
            return false;
        w = Cut(text, start, text.size());
        CNetListReader::NormalizeBlanks(w);
        Replace(w, "* ", "\n");
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool CNetListReader::HasReader(int format)
{
    return format >= NETDIALECT_CR3000 && format <= NETDIALECT_ULTIBOARD && format != NETDIALECT_FUTURENET;
}

void CNetListReader::NormalizeBlanks(std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
        if (c == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += c;
    }
    text.swap(out);
}

void CNetListReader::MakeNets(const std::string& work, int format, NetList& nets)
{
    for (std::size_t pos = 0; pos < work.size();) {
        std::size_t end = work.find('\n', pos);
        end = end == npos ? work.size() : end + 1;
        std::size_t first = pos;
        while (first < end && (work[first] == ' ' || work[first] == '\t' || work[first] == '\n' ||
                               work[first] == '\r'))
            ++first;
        if (first < end && work[first] != '#') {
            auto net = std::make_unique<CNet>();
            if (net->MakeNet(format, work.substr(first, end - first))) {
                net->SetID(static_cast<std::uint32_t>(nets.size() + 1));
                nets.push_back(std::move(net));
            }
        }
        pos = end;
    }
}

CNetListReader::NetList CNetListReader::Read(const std::string& text, int format)
{
    NetList nets;
    if (!HasReader(format))
        return nets;
    std::string work;
    if (CutNets(text, format, work))
        MakeNets(work, format, nets);
    return nets;
}
