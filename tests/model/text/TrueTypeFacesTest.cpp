#include "model/text/TrueTypeFaces.h"

#include "platform/FontRecord.h"
#include "model/text/TrueTypeFont.h"
#include "platform/J.h"

#include <gtest/gtest.h>

namespace {

// Faces the expectations below are made for, with the Debian packages that install them.
struct RequiredFace
{
    const char* family;
    const char* package;
} const REQUIRED_FACES[] = {
    {"Liberation Sans", "fonts-liberation2"}, {"Liberation Serif", "fonts-liberation2"},
    {"Liberation Mono", "fonts-liberation2"}, {"IPAGothic", "fonts-ipafont-gothic"},
    {"IPAPGothic", "fonts-ipafont-gothic"},   {"IPAMincho", "fonts-ipafont-mincho"},
    {"DejaVu Sans", "fonts-dejavu-core"},
};

void RequireFaces()
{
    for (const RequiredFace& f : REQUIRED_FACES) {
        const TrueTypeFaceChoice& c =
            CTrueTypeFaces::Instance().Resolve(f.family, ANSI_CHARSET, FW_NORMAL, false);
        ASSERT_TRUE(c.face && c.face->family == f.family)
            << "the face " << f.family << " is not installed (Debian package " << f.package << ")";
    }
}

class TrueTypeFacesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(RequireFaces()); }
};

bool HasHiragana(const TrueTypeFaceChoice& c)
{
    return FT_Get_Char_Index(c.face->face, U'\u3042') != 0;
}

} // namespace

TEST_F(TrueTypeFacesTest, WindowsFaceNamesMapOntoInstalledFaces)
{
    struct Case
    {
        std::string name;
        int charSet;
        int weight;
        bool italic;
        const char* family;
        bool syntheticBold;
        bool syntheticItalic;
    } const cases[] = {
        {"Arial", ANSI_CHARSET, FW_NORMAL, false, "Liberation Sans", false, false},
        {"ARIAL", ANSI_CHARSET, 0, false, "Liberation Sans", false, false},
        {"Arial", ANSI_CHARSET, FW_BOLD, false, "Liberation Sans", false, false},
        {"Arial", ANSI_CHARSET, FW_NORMAL, true, "Liberation Sans", false, false},
        {"Arial", SHIFTJIS_CHARSET, FW_NORMAL, false, "Liberation Sans", false, false},
        {"Times New Roman", ANSI_CHARSET, FW_NORMAL, false, "Liberation Serif", false, false},
        {"Courier New", ANSI_CHARSET, FW_NORMAL, false, "Liberation Mono", false, false},
        {_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, FW_NORMAL, false, "IPAGothic", false, false},
        {_J("ＭＳゴシック"), SHIFTJIS_CHARSET, FW_NORMAL, false, "IPAGothic", false, false},
        {"MS Gothic", ANSI_CHARSET, FW_NORMAL, false, "IPAGothic", false, false},
        {_J("ＭＳ Ｐゴシック"), SHIFTJIS_CHARSET, FW_NORMAL, false, "IPAPGothic", false, false},
        {_J("ＨＧゴシックＥ"), SHIFTJIS_CHARSET, FW_NORMAL, false, "IPAGothic", false, false},
        {_J("ＭＳ 明朝"), SHIFTJIS_CHARSET, FW_NORMAL, false, "IPAMincho", false, false},
        {_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, FW_BOLD, false, "IPAGothic", true, false},
        {_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, FW_NORMAL, true, "IPAGothic", false, true},
        {"DejaVu Sans", ANSI_CHARSET, FW_NORMAL, false, "DejaVu Sans", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.charSet) + " " + std::to_string(c.weight));
        const TrueTypeFaceChoice& r =
            CTrueTypeFaces::Instance().Resolve(c.name, c.charSet, c.weight, c.italic);
        ASSERT_TRUE(r.face);
        EXPECT_EQ(r.face->family, c.family);
        EXPECT_EQ(r.syntheticBold, c.syntheticBold);
        EXPECT_EQ(r.syntheticItalic, c.syntheticItalic);
        if (c.weight >= FW_BOLD && !c.syntheticBold) {
            EXPECT_GE(r.face->weight, FW_BOLD) << r.face->file;
        }
        if (c.italic && !c.syntheticItalic) {
            EXPECT_TRUE(r.face->italic) << r.face->file;
        }
    }
}

TEST_F(TrueTypeFacesTest, UnknownJapaneseFacesGetAFaceWithJapaneseCharacters)
{
    for (const std::string& name : {std::string("No Such Face"), std::string()}) {
        const TrueTypeFaceChoice& r =
            CTrueTypeFaces::Instance().Resolve(name, SHIFTJIS_CHARSET, FW_NORMAL, false);
        ASSERT_TRUE(r.face) << name;
        EXPECT_TRUE(HasHiragana(r)) << name << " -> " << r.face->family;
    }
    const TrueTypeFaceChoice& latin =
        CTrueTypeFaces::Instance().Resolve("No Such Face", ANSI_CHARSET, FW_NORMAL, false);
    EXPECT_TRUE(latin.face);
}

TEST_F(TrueTypeFacesTest, FaceNameEndsAtItsTerminator)
{
    const std::string raw("Arial\0Times New Roman", 21);
    const TrueTypeFaceChoice& a = CTrueTypeFaces::Instance().Resolve(raw, ANSI_CHARSET, FW_NORMAL, false);
    EXPECT_EQ(&a, &CTrueTypeFaces::Instance().Resolve("Arial", ANSI_CHARSET, FW_NORMAL, false));
}

TEST_F(TrueTypeFacesTest, ResolvedFacesAndFontsNeedNoFurtherLookUps)
{
    LOGFONTA lf;
    lf.SetFaceName(_J("ＭＳ ゴシック"));
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfHeight = -200;
    CTrueTypeFont(lf).GetTextExtent(_J("漢字"));
    LOGFONTA arial;
    arial.SetFaceName("Arial");
    arial.lfHeight = -200;
    CTrueTypeFont(arial).GetTextExtent(_J("A漢"));

    const std::size_t queries = CTrueTypeFaces::Instance().QueryCount();
    for (int h = 10; h < 300; h += 7) {
        lf.lfHeight = -h;
        arial.lfHeight = h;
        EXPECT_GT(CTrueTypeFont(lf).GetTextExtent(_J("漢字A")).cx, 0);
        EXPECT_GT(CTrueTypeFont(arial).GetTextExtent(_J("A漢")).cx, 0);
    }
    EXPECT_EQ(CTrueTypeFaces::Instance().QueryCount(), queries);
}

TEST(TrueTypeFaces, OpenGivesOneFacePerFileAndRefusesWhatIsNoFont)
{
    EXPECT_EQ(CTrueTypeFaces::Instance().Open(VELTA_SOURCE_DIR "/CMakeLists.txt", 0), nullptr);
    EXPECT_EQ(CTrueTypeFaces::Instance().Open("/no/such/file.ttf", 0), nullptr);
    const auto& arial = CTrueTypeFaces::Instance().Resolve("Arial", ANSI_CHARSET, FW_NORMAL, false);
    ASSERT_TRUE(arial.face);
    EXPECT_EQ(CTrueTypeFaces::Instance().Open(arial.face->file, arial.face->index), arial.face);
}
