// Text item: construction, comparison, sort order, text lines and binary records.

#include "model/items/Text.h"

#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// Little-endian record bytes, built field by field as the board file lays them out.
class Bytes
{
public:
    Bytes& I32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    Bytes& F64(double v)
    {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            data.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    Bytes& Str(const std::string& s) // short form: one length byte
    {
        data.push_back(static_cast<std::uint8_t>(s.size()));
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Raw(const std::uint8_t* p, std::size_t n)
    {
        data.insert(data.end(), p, p + n);
        return *this;
    }
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> Write(CText& text)
{
    CArchive ar(CArchive::store);
    text.Serialize(ar, 6);
    return ar.Data();
}

CText Read(const std::vector<std::uint8_t>& bytes, int version)
{
    CArchive ar(CArchive::load, bytes);
    CText text;
    text.Serialize(ar, version);
    EXPECT_EQ(ar.Remaining(), 0u);
    return text;
}

LOGFONTA StrokeFont(int height, int width, int space, int table = 0)
{
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = space;
    lf.lfCharSet = static_cast<std::uint8_t>(table);
    return lf;
}

// A stroke text "AB": 2 mm high, 2 mm wide double-byte cells, 0.5 mm spacing, turned 90 degrees.
CText StrokeText()
{
    CText text("AB", CDPoint(1.5, -2.25), 4);
    text.SetFontRecord(StrokeFont(200, 200, 50));
    text.SetAngle(kPi / 2);
    text.SetLayerNo(3);
    text.SetID(0x105);
    return text;
}

class TextTest : public ::testing::Test
{
protected:
    TextTest() : frame(&doc)
    {
        for (int i = 0; i <= TURRET_MAX; ++i)
            doc.turretTable[i] = tagTURRET{TURRET_ROUND, 0.1 * i, 0.0};
    }
    FakeDocument doc;
    FakeFrameServices frame;
};

TEST_F(TextTest, ConstructorsSetTheirDefaults)
{
    CText plain;
    EXPECT_EQ(plain.GetKind(), KIND_TEXT);
    EXPECT_EQ(plain.GetType(), 8);
    EXPECT_EQ(plain.GetSize(), 200);
    EXPECT_EQ(plain.GetName(), "");
    EXPECT_EQ(plain.GetTurretNo(), -1);
    EXPECT_EQ(plain.GetLayerNo(), -1);
    EXPECT_EQ(plain.IsPointChecked(), 0);
    EXPECT_EQ(*plain.GetFont(), LOGFONTA());

    CText stroke("R1", CDPoint(3, 4), 7);
    EXPECT_EQ(stroke.GetType(), 8 | TEXT_STROKE);
    EXPECT_EQ(stroke.GetTurretNo(), 7);
    EXPECT_DOUBLE_EQ(stroke.GetLineWidth(), 0.7);
    EXPECT_EQ(stroke.GetSize(), 50);
    EXPECT_EQ(stroke.GetFont()->lfHeight, 0); // dimensions are the caller's to set

    CText trueType("R1", CDPoint(3, 4), 0);
    EXPECT_EQ(trueType.GetType(), 8);
    EXPECT_EQ(trueType.GetTurretNo(), -1);

    CText copy(stroke);
    EXPECT_TRUE(copy == stroke);
    EXPECT_EQ(copy.GetTurretNo(), 7);
}

TEST_F(TextTest, AssignmentCopiesFontAndParent)
{
    CText owner;
    CText a = StrokeText();
    a.SetParent(&owner);
    CText b;
    b = a;
    EXPECT_EQ(b.GetName(), "AB");
    EXPECT_EQ(b.GetFont()->lfWidth, 200);
    EXPECT_EQ(b.GetParent(), &owner);
    EXPECT_EQ(b.GetLayerNo(), 3);
}

TEST_F(TextTest, EqualityComparesTheDefiningFieldsOnly)
{
    CText empty1("", CDPoint(0, 0), 0);
    CText empty2("", CDPoint(9, 9), 3);
    EXPECT_TRUE(empty1 == empty2);
    CText named("X", CDPoint(0, 0), 0);
    EXPECT_FALSE(empty1 == named);
    EXPECT_FALSE(named == empty1);

    CText a = StrokeText();
    CText b = a;
    b.ModifyType(TEXT_SELECTED, 0);
    b.SetAngle(1.0);
    b.SetLayerNo(9);
    b.SetFontRecord(StrokeFont(1, 2, 3));
    b.SetPoint(CDPoint(1.5 + 5e-7, -2.25));
    EXPECT_TRUE(a == b);

    CText c = a;
    c.SetSize(51);
    EXPECT_FALSE(a == c);
    c = a;
    c.SetTurretNo(5, false);
    EXPECT_FALSE(a == c);
    c = a;
    c.SetOrign(TEXT_ORG_CENTER);
    EXPECT_FALSE(a == c);
    c = a;
    c.SetName(std::string("AC"));
    EXPECT_FALSE(a == c);
}

TEST_F(TextTest, SortsTopToBottomThenLeftToRight)
{
    CText high("a", CDPoint(5, 10), 0);
    CText low("b", CDPoint(0, 9), 0);
    EXPECT_TRUE(high < low);
    EXPECT_FALSE(low < high);

    CText left("c", CDPoint(1, 5), 0);
    CText right("d", CDPoint(2, 5 + 1e-7), 0);
    EXPECT_TRUE(left < right);
    EXPECT_FALSE(right < left);
}

TEST_F(TextTest, AccessorsReadTheirBits)
{
    CText t("x", CDPoint(0, 0), 0);
    t.SetType(TEXT_FRAME | TEXT_MIRROR | TEXT_OWN_FONT | (12 << 16) | TEXT_ORG_CENTER);
    EXPECT_EQ(t.GetOrign(), 30);
    EXPECT_DOUBLE_EQ(t.GetFrameDist(), 1.2);
    EXPECT_EQ(t.IsFrame(), 1);
    EXPECT_EQ(t.IsMirror(), 1);
    EXPECT_EQ(t.IsSPFont(), 1);
    EXPECT_EQ(t.IsStroke(), 0);
    t.SetOrign(TEXT_ORG_TOP_RIGHT);
    EXPECT_EQ(t.GetType(), TEXT_FRAME | TEXT_MIRROR | TEXT_OWN_FONT | (12 << 16) | TEXT_ORG_TOP_RIGHT);

    t.Disp(0);
    EXPECT_EQ(t.IsDisp(), 0);
    t.Disp(1);
    EXPECT_EQ(t.IsDisp(), 1);
    t.Print(0);
    EXPECT_EQ(t.IsPrint(), 0);
    EXPECT_EQ(t.GetFont()->lfStrikeOut, 1); // an own font follows the printable switch
    t.Print(1);
    EXPECT_EQ(t.GetFont()->lfStrikeOut, 0);

    t.SetFontRecord(StrokeFont(250, 200, 50, 4));
    EXPECT_DOUBLE_EQ(t.GetHeight(), 2.5);
    EXPECT_EQ(t.GetTable(), 4);
    t.MakePoint();
    EXPECT_EQ(t.IsPointChecked(), 1);
}

// --- Text lines ---

TEST_F(TextTest, StrokeTextWritesItsTextAndFontLines)
{
    CText t = StrokeText();
    t.ModifyType(TEXT_SELECTED, 0);
    EXPECT_EQ(t.GetTextLines(1), "Text \"AB\" 1.500000 -2.250000 50 520 90.000000 4 3 261\n"
                                 "Font \"\" 200 200 50 0 0 0 0 0 0 0 0\n");
    EXPECT_EQ(t.IsTextSel(), 0);
    EXPECT_EQ(t.GetTextLines(0), "\"AB\" 1.500000 -2.250000 50 520 90.000000 4 3 261\n"
                                 "Font \"\" 200 200 50 0 0 0 0 0 0 0 0\n");

    CArchive ar(CArchive::store);
    t.SerializeText(ar, 1);
    const std::string written(ar.Data().begin(), ar.Data().end());
    EXPECT_EQ(written, t.GetTextLines(1));
}

TEST_F(TextTest, TrueTypeTextWithoutOwnFontWritesNoFontLine)
{
    CText t("Hello", CDPoint(-1, 0.125), 0);
    t.SetSize(250);
    t.SetLayerNo(0);
    t.SetID(0xFFFFFFFF);
    EXPECT_EQ(t.GetTextLines(1), "Text \"Hello\" -1.000000 0.125000 250 8 0.000000 -1 0 -1\n");
    CText back(t.GetTextLines(1).c_str());
    EXPECT_EQ(back.GetID(), 0xFFFFFFFFu);
}

TEST_F(TextTest, OwnFontLineCarriesStyleNumberAndBytes)
{
    CText t("x", CDPoint(0, 0), 0);
    t.SetType(TEXT_OWN_FONT | 8);
    LOGFONTA lf;
    lf.SetFaceName("Arial");
    lf.lfHeight = -200;
    lf.lfWeight = 700;
    lf.lfEscapement = 900;
    lf.lfItalic = 1;
    lf.lfStrikeOut = 1;
    lf.lfCharSet = 128;
    lf.lfOutPrecision = 4;
    lf.lfClipPrecision = 16;
    lf.lfQuality = 2;
    lf.lfPitchAndFamily = 34;
    t.SetFontRecord(lf);
    EXPECT_EQ(t.GetTextLines(0), "\"x\" 0.000000 0.000000 50 8200 0.000000 -1 -1 0\n"
                                 "Font \"Arial\" -200 0 700 900 0 5 128 4 16 2 34\n");
}

TEST_F(TextTest, QuotedAndJapaneseStringsAreWrittenUnchanged)
{
    CText quoted("say \"hi\"", CDPoint(0, 0), 0);
    EXPECT_EQ(quoted.GetTextLines(1), "Text \"say \"hi\"\" 0.000000 0.000000 50 8 0.000000 -1 -1 0\n");

    const std::string japanese = _J("日本語テキスト×");
    CText jp(japanese, CDPoint(2, 3), 0);
    EXPECT_EQ(jp.GetTextLines(1), "Text \"" + japanese + "\" 2.000000 3.000000 50 8 0.000000 -1 -1 0\n");

    // Both read back to the same strings.
    CText back1(quoted.GetTextLines(1).c_str());
    EXPECT_EQ(back1.GetName(), "say \"hi\"");
    CText back2(jp.GetTextLines(1).c_str());
    EXPECT_EQ(back2.GetName(), japanese);
    EXPECT_DOUBLE_EQ(back2.GetPoint().y, 3.0);
    EXPECT_EQ(back2.GetSize(), 50);
}

TEST_F(TextTest, TextLineWithInnerQuoteReadsEveryField)
{
    CText t("Text \"A\"B\" 1 2 200 8 90 0 3 5");
    EXPECT_EQ(t.GetName(), "A\"B");
    EXPECT_EQ(t.GetLength(), 3);
    EXPECT_DOUBLE_EQ(t.GetPoint().x, 1.0);
    EXPECT_DOUBLE_EQ(t.GetPoint().y, 2.0);
    EXPECT_EQ(t.GetSize(), 200);
    EXPECT_EQ(t.GetType(), 8);
    EXPECT_DOUBLE_EQ(t.GetAngle(), kPi / 2);
    EXPECT_EQ(t.GetTurretNo(), 0);
    EXPECT_EQ(t.GetLayerNo(), 3);
    EXPECT_EQ(t.GetID(), 5u);
}

TEST_F(TextTest, TextLineTurretAppliesToStrokeTextsOnly)
{
    CText stroke("\"S\" 0 0 50 520 0 7 1 0");
    EXPECT_EQ(stroke.GetTurretNo(), 7);
    EXPECT_DOUBLE_EQ(stroke.GetLineWidth(), 0.7);
    CText trueType("\"T\" 0 0 50 8 0 7 1 0");
    EXPECT_EQ(trueType.GetTurretNo(), 0);
    // The selected bit never survives a read; a negative angle is kept as written.
    CText sel("\"U\" 0 0 50 1032 -90 0 1 0");
    EXPECT_EQ(sel.GetType(), 8);
    EXPECT_DOUBLE_EQ(sel.GetAngle(), -kPi / 2);
}

TEST_F(TextTest, TextLineEdgeForms)
{
    CText t("\"Keep\" 1 2 300 10 45 0 4 9");
    t.SetName("");
    EXPECT_EQ(t.GetName(), "Keep"); // an empty line changes nothing

    t.SetName("no quotes here 1 2 3");
    EXPECT_EQ(t.GetName(), "no quotes here 1 2 3");
    EXPECT_EQ(t.GetSize(), 300);
    EXPECT_EQ(t.GetLayerNo(), 4);

    // Fewer numbers: what is there is taken; angle and turret become 0, the rest stays.
    t.SetName("\"Short\" 5 6");
    EXPECT_EQ(t.GetName(), "Short");
    EXPECT_DOUBLE_EQ(t.GetPoint().x, 5.0);
    EXPECT_DOUBLE_EQ(t.GetPoint().y, 6.0);
    EXPECT_EQ(t.GetSize(), 300);
    EXPECT_EQ(t.GetType(), 10);
    EXPECT_EQ(t.GetLayerNo(), 4);
    EXPECT_EQ(t.GetID(), 9u);
    EXPECT_DOUBLE_EQ(t.GetAngle(), 0.0);

    // A line ending at its only quote gives an empty string and no crash.
    t.SetName("Text \"");
    EXPECT_EQ(t.GetName(), "");
}

TEST_F(TextTest, FontLineReading)
{
    CText own("\"x\" 0 0 200 8200 0 0 0 0");
    own.SetFont("Font \"Arial\" -200 0 700 900 0 6 128 4 16 2 34");
    const LOGFONTA* lf = own.GetFont();
    EXPECT_EQ(lf->FaceName(), "Arial");
    EXPECT_EQ(lf->lfHeight, -200);
    EXPECT_EQ(lf->lfWidth, 0);
    EXPECT_EQ(lf->lfWeight, 700);
    EXPECT_EQ(lf->lfEscapement, 900);
    EXPECT_EQ(lf->lfOrientation, 0);
    EXPECT_EQ(lf->lfItalic, 1);
    EXPECT_EQ(lf->lfUnderline, 1);
    EXPECT_EQ(lf->lfStrikeOut, 0);
    EXPECT_EQ(lf->lfCharSet, 128);
    EXPECT_EQ(lf->lfOutPrecision, 4);
    EXPECT_EQ(lf->lfClipPrecision, 16);
    EXPECT_EQ(lf->lfQuality, 2);
    EXPECT_EQ(lf->lfPitchAndFamily, 34);

    // Missing numbers are 0; a long face name is cut to 31 bytes; no quotes: the whole line.
    own.SetFont("Font \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\" 100 20");
    EXPECT_EQ(own.GetFont()->FaceName(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(own.GetFont()->lfHeight, 100);
    EXPECT_EQ(own.GetFont()->lfWidth, 20);
    EXPECT_EQ(own.GetFont()->lfWeight, 0);
    EXPECT_EQ(own.GetFont()->lfPitchAndFamily, 0);
    own.SetFont("Courier");
    EXPECT_EQ(own.GetFont()->FaceName(), "Courier");
    EXPECT_EQ(own.GetFont()->lfHeight, 0);

    // A text with neither the stroke nor the own-font bit ignores Font lines.
    CText plain("\"y\" 0 0 200 8 0 0 0 0");
    plain.SetFont("Font \"Arial\" -200 0 700 0 0 0 0 0 0 0 0");
    EXPECT_EQ(*plain.GetFont(), LOGFONTA());
}

TEST_F(TextTest, TextLinesRoundTrip)
{
    CText stroke = StrokeText();
    const std::string lines = stroke.GetTextLines(1);
    const std::size_t split = lines.find('\n') + 1;
    CText back(lines.substr(0, split - 1).c_str());
    back.SetFont(lines.substr(split, lines.size() - split - 1).c_str());
    EXPECT_EQ(back.GetTextLines(1), lines);
    EXPECT_EQ(back.GetFont()->lfWidth, 200);
}

// --- Binary records ---

TEST_F(TextTest, StrokeRecordIsByteExactAndRoundTrips)
{
    CText t = StrokeText();
    t.GetBoundingRect(); // frame corners: 3 mm along the turned baseline, 2 mm high
    t.ModifyType(TEXT_SELECTED, 0);

    const LOGFONTA::Bytes font = StrokeFont(200, 200, 50).ToBytes();
    Bytes expected;
    expected.I32(0x105).I32(4).I32(3).I32(0).Str("AB").F64(1.5).F64(-2.25).I32(0x208).F64(kPi / 2).I32(50);
    expected.F64(1.5).F64(-2.25).F64(1.5).F64(0.75).F64(-0.5).F64(0.75).F64(-0.5).F64(-2.25);
    expected.Raw(font.data(), font.size());

    const std::vector<std::uint8_t> bytes = Write(t);
    EXPECT_EQ(bytes, expected.data);
    EXPECT_EQ(t.IsTextSel(), 0); // cleared in memory too

    CText back = Read(bytes, 6);
    EXPECT_EQ(back.GetID(), 0x105u);
    EXPECT_EQ(back.GetTurretNo(), 4);
    EXPECT_DOUBLE_EQ(back.GetLineWidth(), 0.4);
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetName(), "AB");
    EXPECT_EQ(back.GetType(), 0x208);
    EXPECT_EQ(back.GetSize(), 50);
    EXPECT_EQ(*back.GetFont(), *t.GetFont());
    EXPECT_TRUE(back == t);
    EXPECT_EQ(Write(back), bytes);
    EXPECT_DOUBLE_EQ(back.GetAngle(), kPi / 2);
}

TEST_F(TextTest, TrueTypeRecordWithoutOwnFontHasNoFontBytes)
{
    CText t("Z", CDPoint(0, 0), 0);
    t.SetTurretNo(-2, false); // a negative turret is written as 0
    const std::vector<std::uint8_t> bytes = Write(t);
    Bytes expected;
    expected.I32(0).I32(0).I32(-1).I32(0).Str("Z").F64(0).F64(0).I32(8).F64(0).I32(50);
    for (int i = 0; i < 8; ++i)
        expected.F64(0);
    EXPECT_EQ(bytes, expected.data);
}

TEST_F(TextTest, RecordReadRulesByVersion)
{
    struct Case
    {
        int version;
        int type;
        int turret;
        std::uint32_t expectId;
        int expectTurret;
    };
    const Case cases[] = {
        {2, 0x208, 4, 0, 5},   // old records: ID dropped, turret numbered from 1
        {1, 0x208, 120, 0, 0}, // 121 after the shift is out of range
        {3, 0x208, 4, 77, 4},  {6, 0x208, 121, 77, 0},
        {6, 0x208, -3, 77, 0}, {6, 0x008, 9, 77, -1}, // a TrueType text does not take the stored turret
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version * 1000 + c.turret);
        Bytes b;
        b.I32(77).I32(c.turret).I32(2).I32(0x7777).Str("T").F64(1).F64(2).I32(c.type).F64(0).I32(50);
        for (int i = 0; i < 8; ++i)
            b.F64(0);
        if (c.type & TEXT_STROKE) {
            const LOGFONTA::Bytes font = StrokeFont(200, 200, 50).ToBytes();
            b.Raw(font.data(), font.size());
        }
        CText t = Read(b.data, c.version);
        EXPECT_EQ(t.GetID(), c.expectId);
        EXPECT_EQ(t.GetTurretNo(), c.expectTurret);
        EXPECT_EQ(t.GetLayerNo(), 2);
    }
}

TEST_F(TextTest, RecordReadNormalisesAngleAndClearsSelection)
{
    Bytes b;
    b.I32(0).I32(0).I32(1).I32(0).Str("N").F64(0).F64(0).I32(8 | TEXT_SELECTED).F64(-kPi / 2).I32(50);
    for (int i = 0; i < 8; ++i)
        b.F64(0);
    CText t = Read(b.data, 6);
    EXPECT_EQ(t.GetType(), 8);
    EXPECT_DOUBLE_EQ(t.GetAngle(), 1.5 * kPi);

    // A text with an empty string keeps the angle it had.
    Bytes e;
    e.I32(0).I32(0).I32(1).I32(0).Str("").F64(0).F64(0).I32(8).F64(1.0).I32(50);
    for (int i = 0; i < 8; ++i)
        e.F64(0);
    CArchive ar(CArchive::load, e.data);
    CText keep;
    keep.SetAngle(0.25);
    keep.Serialize(ar, 6);
    EXPECT_DOUBLE_EQ(keep.GetAngle(), 0.25);
}

TEST_F(TextTest, StrokeTextFollowsItsTextSizeEntry)
{
    frame.textSizes[3] = tagTEXTSIZE{0, 3.5, 2.5, 0.7};
    auto record = [](int table) {
        Bytes b;
        b.I32(0).I32(1).I32(1).I32(0).Str("S").F64(0).F64(0).I32(0x208).F64(0).I32(50);
        for (int i = 0; i < 8; ++i)
            b.F64(0);
        const LOGFONTA::Bytes font = StrokeFont(111, 222, 33, table).ToBytes();
        b.Raw(font.data(), font.size());
        return b.data;
    };
    CText t = Read(record(3), 6);
    EXPECT_EQ(t.GetFont()->lfHeight, 350);
    EXPECT_EQ(t.GetFont()->lfWidth, 250);
    EXPECT_EQ(t.GetFont()->lfWeight, 70);
    EXPECT_EQ(t.GetTable(), 3);

    // No entry, or a number beyond the 17-entry table: the stored dimensions stand.
    for (int table : {0, 17, 200}) {
        CText u = Read(record(table), 6);
        EXPECT_EQ(u.GetFont()->lfHeight, 111);
        EXPECT_EQ(u.GetFont()->lfWidth, 222);
        EXPECT_EQ(u.GetFont()->lfWeight, 33);
    }
}

TEST_F(TextTest, OwnFontRecordKeepsEveryByte)
{
    CText t("F", CDPoint(0, 0), 0);
    t.SetType(TEXT_OWN_FONT | 8);
    LOGFONTA::Bytes raw;
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t>(0xA0 + i);
    raw[28] = 'A';
    raw[29] = 0; // bytes after the face name's end survive too
    t.SetFontRecord(LOGFONTA::FromBytes(raw));
    const std::vector<std::uint8_t> bytes = Write(t);
    ASSERT_GE(bytes.size(), 60u);
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), bytes.end() - 60));
    CText back = Read(bytes, 6);
    EXPECT_EQ(back.GetFont()->ToBytes(), raw);
}

TEST_F(TextTest, EveryTruncationOfARecordIsRefused)
{
    CText stroke = StrokeText();
    CText plain(_J("日本"), CDPoint(7, 8), 0);
    for (CText* source : {&stroke, &plain}) {
        const std::vector<std::uint8_t> bytes = Write(*source);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            SCOPED_TRACE(n);
            CArchive ar(CArchive::load, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
            CText target("\"Before\" 1 1 100 8 0 0 2 3");
            EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
            EXPECT_EQ(target.GetName(), "Before");
            EXPECT_DOUBLE_EQ(target.GetPoint().x, 1.0);
            EXPECT_EQ(target.GetSize(), 100);
            EXPECT_EQ(target.GetID(), 3u);
        }
    }
}

} // namespace
