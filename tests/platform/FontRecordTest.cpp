#include "platform/FontRecord.h"

#include "platform/J.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(FontRecord, FieldsSitWhereTheFileHasThem)
{
    LOGFONTA lf;
    lf.lfHeight = -200;
    lf.lfWidth = 0x01020304;
    lf.lfEscapement = 900;
    lf.lfOrientation = -1;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfUnderline = 2;
    lf.lfStrikeOut = 3;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = CLIP_LH_ANGLES;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = FF_SWISS;
    lf.SetFaceName("Arial");

    const LOGFONTA::Bytes b = lf.ToBytes();
    const LOGFONTA::Bytes expected{0x38, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x84, 0x03, 0x00, 0x00,
                                   0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x02, 0x00, 0x00, 1,    2,    3,    128,
                                   4,    0x10, 2,    0x20, 'A',  'r',  'i',  'a',  'l',  0};
    EXPECT_EQ(b, expected);
    EXPECT_EQ(LOGFONTA::FromBytes(b), lf);
    EXPECT_EQ(LOGFONTA::FromBytes(b).lfHeight, -200);
    EXPECT_EQ(LOGFONTA::FromBytes(b).FaceName(), "Arial");
}

TEST(FontRecord, EveryByteSurvivesARoundTrip)
{
    // Bytes after the face name's terminator are kept too: texts write back what they read.
    LOGFONTA::Bytes raw;
    std::iota(raw.begin(), raw.end(), std::uint8_t(0xC4));
    raw[28] = 'X';
    raw[29] = 0;
    const LOGFONTA lf = LOGFONTA::FromBytes(raw);
    EXPECT_EQ(lf.ToBytes(), raw);
    EXPECT_EQ(lf.FaceName(), "X");
}

TEST(FontRecord, FaceNameOfThirtyTwoBytesHasNoTerminator)
{
    LOGFONTA::Bytes raw{};
    for (std::size_t i = 28; i < raw.size(); ++i)
        raw[i] = 'a';
    EXPECT_EQ(LOGFONTA::FromBytes(raw).FaceName(), std::string(32, 'a'));
}

TEST(FontRecord, SetFaceNameKeepsATerminatorAndWholeCharacters)
{
    const std::string kanji = _J("漢");
    std::string fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen += kanji;
    struct Case
    {
        std::string in;
        std::string out;
    } cases[] = {
        {_J("ＭＳ ゴシック"), _J("ＭＳ ゴシック")},
        {std::string(40, 'x'), std::string(31, 'x')},
        {"A" + fifteen + kanji, "A" + fifteen},         // 31 bytes fit exactly
        {"AB" + fifteen, "AB" + fifteen.substr(0, 28)}, // the 15th kanji would need byte 32
        {"", ""},
    };
    for (const Case& c : cases) {
        LOGFONTA lf;
        std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), 'z');
        lf.SetFaceName(c.in);
        EXPECT_EQ(lf.FaceName(), c.out) << c.in;
        EXPECT_EQ(lf.lfFaceName[LF_FACESIZE - 1], '\0');
    }
}
