#pragma once
// Byte rules and conversions for the Japanese Windows code page (CP932) held in std::string.
//
// Text outside the Qt layers stays in the bytes the files hold. A character is one byte, or a lead
// byte (0x81-0x9F, 0xE0-0xFC) followed by a trail byte (0x40-0x7E, 0x80-0xFC). A lead byte at the
// end of the text, or followed by a byte that cannot be a trail byte, counts as a one-byte character
// of its own, so walking a string never loses or merges bytes. Trail bytes include '\\' (0x5C),
// '~' (0x7E) and ASCII letters, so every search for a separator or a letter walks by characters.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsLeadByte(char c)
{
    return IsLeadByte(static_cast<unsigned char>(c));
}

constexpr bool IsTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}
constexpr bool IsTrailByte(char c)
{
    return IsTrailByte(static_cast<unsigned char>(c));
}

// Half-width katakana and punctuation (0xA1-0xDF): single-byte characters that need a Japanese face.
constexpr bool IsHalfWidthKana(unsigned char c)
{
    return c >= 0xA1 && c <= 0xDF;
}
constexpr bool IsHalfWidthKana(char c)
{
    return IsHalfWidthKana(static_cast<unsigned char>(c));
}

// One character of a CP932 string: where it starts, its byte width (1 or 2) and its code
// (the byte value, or lead byte * 256 + trail byte).
struct Cp932Char
{
    std::size_t pos = 0;
    std::size_t width = 0;
    unsigned code = 0;
    bool IsDoubleByte() const { return width == 2; }
    bool operator==(const Cp932Char&) const = default;
};

// The character starting at pos (pos < s.size()); width 0 and code 0 at or past the end.
constexpr Cp932Char CharAt(std::string_view s, std::size_t pos)
{
    if (pos >= s.size())
        return {pos, 0, 0};
    const auto lead = static_cast<unsigned char>(s[pos]);
    if (IsLeadByte(lead) && pos + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(s[pos + 1])))
        return {pos, 2, (unsigned(lead) << 8) | static_cast<unsigned char>(s[pos + 1])};
    return {pos, 1, lead};
}

// Range over the characters of a string: for (Cp932Char c : Chars(s)) ...
class Chars
{
public:
    class iterator
    {
    public:
        using value_type = Cp932Char;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        iterator(std::string_view s, std::size_t pos) : m_s(s), m_c(CharAt(s, pos)) {}
        const Cp932Char& operator*() const { return m_c; }
        const Cp932Char* operator->() const { return &m_c; }
        iterator& operator++()
        {
            m_c = CharAt(m_s, m_c.pos + m_c.width);
            return *this;
        }
        iterator operator++(int)
        {
            iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const iterator& o) const { return m_c.pos == o.m_c.pos; }

    private:
        std::string_view m_s;
        Cp932Char m_c;
    };

    explicit Chars(std::string_view s) : m_s(s) {}
    iterator begin() const { return iterator(m_s, 0); }
    iterator end() const { return iterator(m_s, m_s.size()); }

private:
    std::string_view m_s;
};

// Number of characters (a double-byte character counts once).
std::size_t CharCount(std::string_view s);

// Start of the character that ends the string (npos for an empty string). Walks from the start,
// since a trail byte cannot be told from a lead or single byte by looking backwards.
std::size_t LastCharPos(std::string_view s);

// _mbscmp: compares character codes (a single byte sorts before every double-byte character).
// Negative, zero or positive as a is less than, equal to or greater than b.
int MbsCmp(std::string_view a, std::string_view b);

// _mbsicmp: as MbsCmp after folding single-byte ASCII letters to lower case (so "[\]^_" sort
// before the letters) and full-width Latin, Greek and Cyrillic capitals to their small letters.
int MbsICmp(std::string_view a, std::string_view b);

// The lower-case form that MbsICmp compares a character code in.
unsigned FoldCaseCode(unsigned code);

// First / last position of byte c that is a character of its own (never a trail byte), from
// position `from` on; npos when none.
std::size_t FindByte(std::string_view s, char c, std::size_t from = 0);
std::size_t FindLastByte(std::string_view s, char c);

// Pieces between the separator bytes found by FindByte: n separators give n + 1 pieces (an empty
// string gives one empty piece).
std::vector<std::string> Split(std::string_view s, char separator);

// Padded with blanks to at least `width` bytes, as printf's "%-*s" (PadRight) and "%*s" (PadLeft).
std::string PadRight(std::string_view s, std::size_t width);
std::string PadLeft(std::string_view s, std::size_t width);

// Upper / lower case of single-byte ASCII letters only; trail bytes and kana stay untouched.
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);

// --- Conversions (tables built from glibc iconv "CP932" on first use) ---

// Unicode code point of one character code (byte value or lead * 256 + trail); none for bytes and
// codes the code page does not define (0x80, 0xA0, 0xFD-0xFF, unassigned double-byte codes).
std::optional<char32_t> Cp932ToUnicode(unsigned code);

// The code of a Unicode character; none when CP932 cannot express it. Where several codes stand
// for one character (NEC and IBM duplicates) the one canonical code is given. A few characters
// also map one way onto the code of their usual Japanese form (U+301C WAVE DASH to 0x8160, U+2212
// MINUS SIGN to 0x817C, U+00A5 YEN SIGN to 0x5C, ...), as iconv does.
std::optional<unsigned> UnicodeToCp932(char32_t cp);

// CP932 text as UTF-8. A byte or code the code page does not define becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 text as CP932; none when the text is not valid UTF-8 or holds a character CP932 cannot
// express (nothing is replaced by '?').
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Appends the UTF-8 form of a code point (used by the converters and tests).
void AppendUtf8(std::string& out, char32_t cp);

} // namespace platform
