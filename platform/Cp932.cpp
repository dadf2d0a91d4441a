#include "platform/Cp932.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace platform {

std::size_t CharCount(std::string_view s)
{
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += CharAt(s, pos).width)
        ++n;
    return n;
}

std::size_t LastCharPos(std::string_view s)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t pos = 0; pos < s.size(); pos += CharAt(s, pos).width)
        last = pos;
    return last;
}

unsigned FoldCaseCode(unsigned code)
{
    if (code >= 'A' && code <= 'Z')
        return code + ('a' - 'A');
    if (code >= 0x8260 && code <= 0x8279) // full-width Latin capitals -> 0x8281..0x829A
        return code + 0x21;
    if (code >= 0x839F && code <= 0x83B6) // Greek capitals -> 0x83BF..0x83D6
        return code + 0x20;
    if (code >= 0x8440 && code <= 0x844E) // Cyrillic capitals -> 0x8470..0x847E
        return code + 0x30;
    if (code >= 0x844F && code <= 0x8460) // the small letters skip 0x847F -> 0x8480..0x8491
        return code + 0x31;
    return code;
}

namespace {

template <bool Fold> int Compare(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const Cp932Char ca = CharAt(a, i);
        const Cp932Char cb = CharAt(b, j);
        unsigned x = ca.code;
        unsigned y = cb.code;
        if constexpr (Fold) {
            x = FoldCaseCode(x);
            y = FoldCaseCode(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
        i += ca.width;
        j += cb.width;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

int MbsCmp(std::string_view a, std::string_view b)
{
    return Compare<false>(a, b);
}
int MbsICmp(std::string_view a, std::string_view b)
{
    return Compare<true>(a, b);
}

std::size_t FindByte(std::string_view s, char c, std::size_t from)
{
    for (std::size_t pos = from; pos < s.size();) {
        const Cp932Char ch = CharAt(s, pos);
        if (ch.width == 1 && s[pos] == c)
            return pos;
        pos += ch.width;
    }
    return std::string_view::npos;
}

std::size_t FindLastByte(std::string_view s, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < s.size();) {
        const Cp932Char ch = CharAt(s, pos);
        if (ch.width == 1 && s[pos] == c)
            found = pos;
        pos += ch.width;
    }
    return found;
}

std::vector<std::string> Split(std::string_view s, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = FindByte(s, separator, start);
        if (at == std::string_view::npos) {
            pieces.emplace_back(s.substr(start));
            return pieces;
        }
        pieces.emplace_back(s.substr(start, at - start));
        start = at + 1;
    }
}

std::string PadRight(std::string_view s, std::size_t width)
{
    std::string out(s);
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

std::string PadLeft(std::string_view s, std::size_t width)
{
    std::string out;
    if (s.size() < width)
        out.assign(width - s.size(), ' ');
    out.append(s);
    return out;
}

namespace {

template <char From, char To> std::string MapAsciiLetters(std::string_view s)
{
    std::string out(s);
    for (std::size_t pos = 0; pos < out.size();) {
        const Cp932Char ch = CharAt(out, pos);
        if (ch.width == 1 && out[pos] >= From && out[pos] <= From + 25)
            out[pos] = static_cast<char>(out[pos] - From + To);
        pos += ch.width;
    }
    return out;
}

} // namespace

std::string ToUpperAscii(std::string_view s)
{
    return MapAsciiLetters<'a', 'A'>(s);
}
std::string ToLowerAscii(std::string_view s)
{
    return MapAsciiLetters<'A', 'a'>(s);
}

// --- Conversions ---

namespace {

constexpr std::uint16_t kNone = 0xFFFF; // neither a code point CP932 uses nor a valid code

// Both directions over the 16-bit code space: every CP932 character is in the Basic Multilingual
// Plane and every code fits 16 bits. Filled once from iconv so that the mapping, including the
// canonical choice among duplicates, is exactly the system converter's.
struct Tables
{
    std::array<std::uint16_t, 0x10000> toUnicode;
    std::array<std::uint16_t, 0x10000> fromUnicode;
};

class Iconv
{
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts the whole input; the number of output bytes, or -1 when iconv refuses it.
    long Convert(const char* in, std::size_t inSize, char* out, std::size_t outSize)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* ip = const_cast<char*>(in);
        char* op = out;
        std::size_t il = inSize;
        std::size_t ol = outSize;
        if (iconv(m_cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
            return -1;
        return static_cast<long>(op - out);
    }

private:
    iconv_t m_cd;
};

std::unique_ptr<Tables> BuildTables()
{
    auto t = std::make_unique<Tables>();
    t->toUnicode.fill(kNone);
    t->fromUnicode.fill(kNone);

    Iconv toU("UTF-32LE", "CP932");
    auto decode = [&](const char* in, std::size_t n) -> long {
        unsigned char out[8];
        if (toU.Convert(in, n, reinterpret_cast<char*>(out), sizeof out) != 4)
            return -1;
        const std::uint32_t cp = out[0] | (out[1] << 8) | (out[2] << 16) | (std::uint32_t(out[3]) << 24);
        return cp < 0xFFFF ? static_cast<long>(cp) : -1;
    };
    for (unsigned c = 0; c < 0x100; ++c) {
        if (IsLeadByte(static_cast<unsigned char>(c)))
            continue;
        const char in[1] = {static_cast<char>(c)};
        const long u = decode(in, 1);
        if (u >= 0)
            t->toUnicode[c] = static_cast<std::uint16_t>(u);
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const long u = decode(in, 2);
            if (u >= 0)
                t->toUnicode[(lead << 8) | trail] = static_cast<std::uint16_t>(u);
        }
    }

    // Every BMP character once, so that iconv's canonical codes and its one-way mappings both land
    // in the table. Surrogates are not characters.
    Iconv fromU("CP932", "UTF-32LE");
    for (std::uint32_t cp = 0; cp < 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8), 0,
                                     0};
        unsigned char out[8];
        const long n =
            fromU.Convert(reinterpret_cast<const char*>(in), 4, reinterpret_cast<char*>(out), sizeof out);
        unsigned code;
        if (n == 1)
            code = out[0];
        else if (n == 2 && IsLeadByte(out[0]) && IsTrailByte(out[1]))
            code = (unsigned(out[0]) << 8) | out[1];
        else
            continue;
        // Only codes that decode to a character: a code iconv writes must read back.
        if (t->toUnicode[code] != kNone)
            t->fromUnicode[cp] = static_cast<std::uint16_t>(code);
    }
    return t;
}

const Tables& GetTables()
{
    static const std::unique_ptr<Tables> tables = BuildTables();
    return *tables;
}

// Decodes one UTF-8 sequence at s[pos]; advances pos. -1 for a malformed sequence (overlong forms,
// surrogates and values past U+10FFFF included).
long DecodeUtf8(std::string_view s, std::size_t& pos)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    std::size_t len;
    std::uint32_t cp;
    std::uint32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return -1;
    }
    if (s.size() - pos < len)
        return -1;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[pos + k]);
        if ((b & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    pos += len;
    return static_cast<long>(cp);
}

} // namespace

std::optional<char32_t> Cp932ToUnicode(unsigned code)
{
    if (code > 0xFFFF)
        return std::nullopt;
    const std::uint16_t u = GetTables().toUnicode[code];
    if (u == kNone)
        return std::nullopt;
    return static_cast<char32_t>(u);
}

std::optional<unsigned> UnicodeToCp932(char32_t cp)
{
    if (cp >= 0xFFFF)
        return std::nullopt;
    const std::uint16_t code = GetTables().fromUnicode[cp];
    if (code == kNone)
        return std::nullopt;
    return code;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    const Tables& t = GetTables();
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    for (std::size_t pos = 0; pos < cp932.size();) {
        const Cp932Char ch = CharAt(cp932, pos);
        const std::uint16_t u = t.toUnicode[ch.code];
        AppendUtf8(out, u == kNone ? char32_t(0xFFFD) : char32_t(u));
        pos += ch.width;
    }
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8)
{
    const Tables& t = GetTables();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const long cp = DecodeUtf8(utf8, pos);
        if (cp < 0 || cp >= 0xFFFF)
            return std::nullopt;
        const std::uint16_t code = t.fromUnicode[static_cast<std::size_t>(cp)];
        if (code == kNone)
            return std::nullopt;
        if (code > 0xFF)
            out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

} // namespace platform
