#include "platform/Cp932.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

using namespace platform;

namespace {

// Walking a string by characters: (width, code) per character.
struct WalkCase
{
    const char* name;
    std::string bytes;
    std::vector<std::pair<std::size_t, unsigned>> chars;
};

std::string Str(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

} // namespace

TEST(Cp932Walk, TableOfStrings)
{
    const std::vector<WalkCase> cases = {
        {"empty", "", {}},
        {"ascii", "A\\~", {{1, 'A'}, {1, '\\'}, {1, '~'}}},
        {"kanji", Str({0x95, 0x94, 0x95, 0x69}), {{2, 0x9594}, {2, 0x9569}}},
        {"half-width katakana", Str({0xB1, 0xDF, 0xA1}), {{1, 0xB1}, {1, 0xDF}, {1, 0xA1}}},
        {"trail 0x5C (so, hyou, nou)",
         Str({0x83, 0x5C, 0x95, 0x5C, 0x94, 0x5C, 0x5C}),
         {{2, 0x835C}, {2, 0x955C}, {2, 0x945C}, {1, 0x5C}}},
        {"trail 0x7E (mi)", Str({0x83, 0x7E, 0x7E}), {{2, 0x837E}, {1, 0x7E}}},
        {"trail that is an ASCII letter", Str({0x83, 0x41, 0x41}), {{2, 0x8341}, {1, 'A'}}},
        {"lead as trail", Str({0x82, 0x82, 0xA0}), {{2, 0x8282}, {1, 0xA0}}},
        {"lead at the end", Str({'a', 0x82}), {{1, 'a'}, {1, 0x82}}},
        {"lead before blank", Str({0x82, 0x20, 'b'}), {{1, 0x82}, {1, 0x20}, {1, 'b'}}},
        {"lead before 0x7F", Str({0xE0, 0x7F}), {{1, 0xE0}, {1, 0x7F}}},
        {"lead before 0xFD", Str({0xFC, 0xFD, 0xFC, 0xFC}), {{1, 0xFC}, {1, 0xFD}, {2, 0xFCFC}}},
        {"lead before NUL", Str({0x81, 0x00, 0x81, 0x40}), {{1, 0x81}, {1, 0x00}, {2, 0x8140}}},
        {"bytes that never lead",
         Str({0x80, 0xA0, 0xFD, 0xFE, 0xFF}),
         {{1, 0x80}, {1, 0xA0}, {1, 0xFD}, {1, 0xFE}, {1, 0xFF}}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::size_t, unsigned>> got;
        std::size_t expectPos = 0;
        for (Cp932Char ch : Chars(c.bytes)) {
            EXPECT_EQ(ch.pos, expectPos);
            expectPos += ch.width;
            got.emplace_back(ch.width, ch.code);
        }
        EXPECT_EQ(got, c.chars);
        EXPECT_EQ(expectPos, c.bytes.size()); // no byte lost or added
        EXPECT_EQ(CharCount(c.bytes), c.chars.size());
        const std::size_t last = c.chars.empty() ? std::string::npos : c.bytes.size() - c.chars.back().first;
        EXPECT_EQ(LastCharPos(c.bytes), last);
    }
    EXPECT_EQ(CharAt("ab", 2).width, 0u);
    EXPECT_TRUE(IsLeadByte(char(0x81)) && IsLeadByte(char(0x9F)) && IsLeadByte(char(0xE0)) &&
                IsLeadByte(char(0xFC)));
    EXPECT_FALSE(IsLeadByte(char(0x80)) || IsLeadByte(char(0xA0)) || IsLeadByte(char(0xDF)) ||
                 IsLeadByte(char(0xFD)) || IsLeadByte('\\'));
    EXPECT_TRUE(IsHalfWidthKana(char(0xB1)));
    EXPECT_FALSE(IsHalfWidthKana(char(0xA0)) || IsHalfWidthKana(char(0xE0)));
}

TEST(Cp932Bytes, SplitAndFindNeverStopInsideACharacter)
{
    const std::string so = Str({0x83, 0x5C}), hyou = Str({0x95, 0x5C}), nou = Str({0x94, 0x5C});
    struct Case
    {
        std::string text;
        char sep;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {"", ',', {""}},
        {"abc", ',', {"abc"}},
        {"a,,b,", ',', {"a", "", "b", ""}},
        {"C:\\" + so + "\\" + hyou + nou + ".vbd", '\\', {"C:", so, hyou + nou + ".vbd"}},
        {so + hyou + nou, '\\', {so + hyou + nou}},
        {Str({0x83, 0x7E}) + "~x", '~', {Str({0x83, 0x7E}), "x"}},
        {"name" + so + ":file:1,2", ':', {"name" + so, "file", "1,2"}},
        {Str({0x82, ','}) + "b", ',', {Str({0x82}), "b"}}, // ',' cannot be a trail byte
        {Str({0x82, 0x82, ','}), ',', {Str({0x82, 0x82}), ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Split(c.text, c.sep), c.pieces);
    }
    const std::string path = so + "\\" + hyou + "\\" + nou;
    EXPECT_EQ(FindByte(path, '\\'), 2u);
    EXPECT_EQ(FindByte(path, '\\', 3), 5u);
    EXPECT_EQ(FindLastByte(path, '\\'), 5u);
    EXPECT_EQ(FindByte(so + hyou, '\\'), std::string::npos);
    EXPECT_EQ(FindLastByte(so + hyou, '\\'), std::string::npos);
    EXPECT_EQ(FindByte(Str({0x83, 0x41}), 'A'), std::string::npos);
}

TEST(Cp932Bytes, PadAndAsciiCase)
{
    const std::string kanji = Str({0x95, 0x94, 0x95, 0x69});
    EXPECT_EQ(PadRight(kanji, 6), kanji + "  "); // widths count bytes, as printf does
    EXPECT_EQ(PadLeft(kanji, 5), " " + kanji);
    EXPECT_EQ(PadRight("toolong", 3), "toolong");
    EXPECT_EQ(PadLeft("", 2), "  ");

    // 0x83 0x41 (a) and 0x83 0x61 (ya): a trail byte that reads as a letter keeps its case.
    const std::string mixed = Str({'a', 0x83, 0x41, 'Z', 0x83, 0x61, 0xB1, 0x82, 0x60});
    EXPECT_EQ(ToUpperAscii(mixed), Str({'A', 0x83, 0x41, 'Z', 0x83, 0x61, 0xB1, 0x82, 0x60}));
    EXPECT_EQ(ToLowerAscii(mixed), Str({'a', 0x83, 0x41, 'z', 0x83, 0x61, 0xB1, 0x82, 0x60}));
    EXPECT_EQ(ToUpperAscii("az[_]@"), "AZ[_]@");
}

TEST(Cp932Compare, CaseInsensitiveOrderOfAMixedList)
{
    const std::string fullA = Str({0x82, 0x60}), fullb = Str({0x82, 0x82}), kanaA = Str({0xB1});
    std::vector<std::string> list = {"b", "_", "A", "[", fullb, "Z", kanaA, fullA, "c", "^", "ab"};
    std::sort(list.begin(), list.end(), [](const auto& x, const auto& y) { return MbsICmp(x, y) < 0; });
    const std::vector<std::string> expected = {"[", "^", "_", "A", "ab", "b", "c", "Z", kanaA, fullA, fullb};
    EXPECT_EQ(list, expected);

    // Case-sensitive: capitals before '_' and small letters; single bytes before double bytes
    // although 0xB1 is a greater first byte than 0x82.
    std::sort(list.begin(), list.end(), [](const auto& x, const auto& y) { return MbsCmp(x, y) < 0; });
    const std::vector<std::string> expectedCase = {"A", "Z", "[",   "^",   "_",  "ab",
                                                   "b", "c", kanaA, fullA, fullb};
    EXPECT_EQ(list, expectedCase);
}

TEST(Cp932Compare, EqualityAndFolding)
{
    EXPECT_EQ(MbsICmp("u1/A", "U1/a"), 0);
    EXPECT_NE(MbsCmp("u1/A", "U1/a"), 0);
    EXPECT_EQ(MbsICmp(Str({0x82, 0x60}), Str({0x82, 0x81})), 0); // full-width A a
    EXPECT_EQ(MbsICmp(Str({0x83, 0x9F}), Str({0x83, 0xBF})), 0); // Greek Alpha alpha
    EXPECT_EQ(MbsICmp(Str({0x84, 0x46}), Str({0x84, 0x76})), 0); // Cyrillic Io io
    EXPECT_EQ(MbsICmp(Str({0x84, 0x60}), Str({0x84, 0x91})), 0); // Cyrillic Ya ya
    EXPECT_NE(MbsICmp(Str({0x83, 0x41}), Str({0x83, 0x61})), 0); // a and ya: trail bytes are no letters
    EXPECT_NE(MbsICmp(Str({0x82, 0x60}), "A"), 0);               // full-width is not half-width
    EXPECT_LT(MbsICmp("a", "ab"), 0);
    EXPECT_GT(MbsICmp("ab", "A"), 0);
    EXPECT_EQ(MbsICmp("", ""), 0);
    EXPECT_LT(MbsCmp(Str({0xB1}), Str({0x83, 0x41})), 0);
    EXPECT_LT(MbsCmp(Str({0x82}), Str({0x82, 0x40})), 0); // a lone lead byte is the byte 0x82
}

// The folded full-width letters are exactly the capitals of the three alphabets, checked against the
// code points the converter gives.
TEST(Cp932Compare, FoldingMatchesUnicodeCapitals)
{
    auto lower = [](char32_t u) -> char32_t {
        if ((u >= 0xFF21 && u <= 0xFF3A) || (u >= 0x391 && u <= 0x3A9) || (u >= 0x410 && u <= 0x42F))
            return u + 0x20;
        if (u >= 0x400 && u <= 0x40F)
            return u + 0x50;
        return u;
    };
    int folded = 0;
    for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
        if (CharAt(Str({int(code >> 8), int(code & 0xFF)}), 0).width != 2)
            continue;
        const auto u = Cp932ToUnicode(code);
        if (!u)
            continue;
        const unsigned f = FoldCaseCode(code);
        if (lower(*u) == *u) {
            EXPECT_EQ(f, code) << std::hex << code;
        } else {
            ++folded;
            EXPECT_EQ(Cp932ToUnicode(f), lower(*u)) << std::hex << code;
        }
    }
    EXPECT_EQ(folded, 26 + 24 + 33);
}

TEST(Cp932Convert, EveryCharacterRoundTrips)
{
    int singles = 0;
    int doubles = 0;
    std::map<unsigned, int> duplicatesByRow;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const bool dbcs = code > 0xFF;
        if (dbcs && CharAt(Str({int(code >> 8), int(code & 0xFF)}), 0).width != 2)
            continue;
        if (!dbcs && IsLeadByte(static_cast<unsigned char>(code)))
            continue;
        const auto u = Cp932ToUnicode(code);
        if (!u)
            continue;
        (dbcs ? doubles : singles)++;
        const auto back = UnicodeToCp932(*u);
        ASSERT_TRUE(back) << std::hex << code;
        EXPECT_EQ(Cp932ToUnicode(*back), *u);
        if (*back != code) {
            ++duplicatesByRow[code >> 8];
            // The canonical code of a duplicate: the JIS symbol for NEC row 13, the IBM extension
            // for its NEC-selected copy (the JIS symbol for the not sign), the JIS or NEC code for
            // the IBM extension.
            if ((code >> 8) == 0x87)
                EXPECT_EQ(*back >> 8, 0x81u) << std::hex << code;
            else if ((code >> 8) == 0xED || (code >> 8) == 0xEE)
                EXPECT_TRUE((*back >= 0xFA40 && *back <= 0xFC4B) || *back == 0x81CA) << std::hex << code;
            else
                EXPECT_TRUE((*back >> 8) == 0x81 || (*back >> 8) == 0x87) << std::hex << code;
        }
    }
    // ASCII and half-width katakana; JIS X 0208 (6879), NEC row 13 (83), NEC-selected IBM
    // extensions (374), IBM extensions (388), user-defined area (1880).
    EXPECT_EQ(singles, 128 + 63);
    EXPECT_EQ(doubles, 6879 + 83 + 374 + 388 + 1880);
    // Duplicates: nine NEC row 13 symbols, every NEC-selected IBM extension, fifteen IBM extensions.
    const std::map<unsigned, int> expected = {{0x87, 9}, {0xED, 188}, {0xEE, 186}, {0xFA, 15}};
    EXPECT_EQ(duplicatesByRow, expected);

    // Unicode -> CP932 -> Unicode for every character CP932 can express; the only exceptions are the
    // one-way mappings onto the usual Japanese form of a character.
    std::map<char32_t, unsigned> oneWay;
    int expressible = 0;
    for (char32_t u = 0; u < 0x110000; ++u) {
        const auto code = UnicodeToCp932(u);
        if (!code)
            continue;
        ++expressible;
        if (Cp932ToUnicode(*code) != u)
            oneWay[u] = *code;
    }
    const std::map<char32_t, unsigned> expectedOneWay = {
        {0xA2, 0x8191},   {0xA3, 0x8192}, {0xA5, 0x5C},     {0xAC, 0x81CA},   {0x2014, 0x815C},
        {0x2016, 0x8161}, {0x203E, 0x7E}, {0x2212, 0x817C}, {0x301C, 0x8160},
    };
    EXPECT_EQ(oneWay, expectedOneWay);
    EXPECT_EQ(expressible, singles + doubles - 398 + 9);
    EXPECT_FALSE(UnicodeToCp932(0xFFFD));
    EXPECT_FALSE(UnicodeToCp932(0x1F600));
    EXPECT_FALSE(Cp932ToUnicode(0x80));
    EXPECT_FALSE(Cp932ToUnicode(0x8540));         // unassigned double-byte code
    EXPECT_EQ(Cp932ToUnicode(0xF040), U'\uE000'); // user-defined area -> private use
}

TEST(Cp932Convert, Strings)
{
    const std::string buhin = Str({0x95, 0x94, 0x95, 0x69});
    EXPECT_EQ(Cp932ToUtf8(buhin), "部品");
    EXPECT_EQ(Utf8ToCp932("部品"), buhin);
    EXPECT_EQ(Utf8ToCp932("ｱ表A~\\"), Str({0xB1, 0x95, 0x5C, 'A', '~', '\\'}));
    EXPECT_EQ(Utf8ToCp932(""), "");
    EXPECT_EQ(Utf8ToCp932(std::string("a\0b", 3)), std::string("a\0b", 3));
    // Duplicates write the canonical code: NEC row 13 "≒" 0x8790 -> 0x81E0.
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(Str({0x87, 0x90}))), Str({0x81, 0xE0}));

    // Refused: characters CP932 has no code for, and malformed UTF-8.
    for (const std::string bad :
         {"ÿ", "a😀", "한", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE3\x81"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Utf8ToCp932(bad));
    }
    // Bytes without a character show as U+FFFD, one per character as the walk counts them.
    EXPECT_EQ(Cp932ToUtf8(Str({0x80, 'A', 0x85, 0x40, 0x82})), "\uFFFDA\uFFFD\uFFFD");
    EXPECT_EQ(Cp932ToUtf8(Str({0x82, 0x20})), "\uFFFD ");
}

namespace {

const std::string& DefaultArgument(const std::string& s = _J("既定値"))
{
    return s;
}

template <typename T> std::string InTemplate(T n)
{
    return _J("層") + std::to_string(n);
}

} // namespace

TEST(Cp932J, LiteralsGiveCp932BytesOnce)
{
    EXPECT_EQ(_J("部品"), Str({0x95, 0x94, 0x95, 0x69}));
    EXPECT_EQ(_J(u8"部品"), Str({0x95, 0x94, 0x95, 0x69}));
    EXPECT_EQ(_J("ASCII"), "ASCII");
    EXPECT_EQ(_J(""), "");

    // One conversion per call site: the same object every time.
    const std::string* first = nullptr;
    for (int i = 0; i < 3; ++i) {
        const std::string& s = _J("ソ");
        if (first) {
            EXPECT_EQ(&s, first);
        }
        first = &s;
        EXPECT_EQ(s, Str({0x83, 0x5C}));
    }
    // Any expression context.
    EXPECT_EQ(DefaultArgument(), Utf8ToCp932("既定値"));
    EXPECT_EQ(InTemplate(3), Str({0x91, 0x77, '3'}));
    const bool flag = true;
    EXPECT_EQ(flag ? _J("表") : _J("能"), Str({0x95, 0x5C}));
    EXPECT_EQ(MbsICmp(_J("Ａ"), _J("ａ")), 0);

    EXPECT_THROW(JLiteral("😀"), std::logic_error);
}
