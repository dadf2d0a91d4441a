#include "platform/FaceResolver.h"

#include "model/text/TrueTypeFont.h"
#include "platform/J.h"
#include "platform/qt/QPainterDrawContext.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <string>

using namespace platform;

namespace {

LogFont Font(const std::string& face, int height, std::uint8_t charSet, int weight = FW_NORMAL)
{
    LogFont f;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfCharSet = charSet;
    f.SetFaceName(face);
    return f;
}

// The text extent a drawing context on an image measures, one logical unit to the pixel.
CSize ContextExtent(const LogFont& font, const std::string& text)
{
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    QPainterDrawContext dc(&painter);
    dc.SelectFont(font);
    return dc.GetTextExtent(text);
}

// Swaps in a resolver for one test and puts the installed one back afterwards.
class ResolverSwap
{
public:
    explicit ResolverSwap(FaceResolver resolver) : m_previous(SetFaceResolver(resolver)) {}
    ~ResolverSwap() { SetFaceResolver(m_previous); }
    ResolverSwap(const ResolverSwap&) = delete;
    ResolverSwap& operator=(const ResolverSwap&) = delete;

private:
    FaceResolver m_previous;
};

} // namespace

TEST(FaceResolver, TheModelInstallsAResolverThatAnswersWithTheFacesItsGlyphsComeFrom)
{
    const FaceResolver resolver = GetFaceResolver();
    ASSERT_NE(resolver, nullptr);
    for (const LogFont& font :
         {Font("Arial", -20, ANSI_CHARSET), Font(_J("ＭＳ ゴシック"), -20, SHIFTJIS_CHARSET)}) {
        SCOPED_TRACE(font.FaceName());
        const auto face = resolver(font.FaceName(), font.lfCharSet, font.lfWeight, false);
        ASSERT_TRUE(face);
        const CTrueTypeFont model(font);
        ASSERT_TRUE(model.IsValid());
        EXPECT_EQ(face->file, model.GetFaceFile());
        EXPECT_EQ(face->family, model.GetFamilyName());
    }
}

TEST(FaceResolver, DrawnTextMeasuresAsTheModelsGlyphs)
{
    struct Case
    {
        std::string face;
        std::uint8_t charSet;
        std::string text;
        int weight;
    };
    const Case cases[] = {
        {"Arial", ANSI_CHARSET, "ABC", FW_NORMAL},
        {"Arial", ANSI_CHARSET, "Hg VELTA 42", FW_BOLD},
        {_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, _J("部品配置 Ab"), FW_NORMAL},
        {_J("ＭＳ Ｐゴシック"), SHIFTJIS_CHARSET, _J("部品配置"), FW_NORMAL},
        // A weight the face lacks is made from its outlines on both sides.
        {_J("ＭＳ ゴシック"), SHIFTJIS_CHARSET, _J("部品 Ab"), FW_BOLD},
        // Japanese characters the face lacks come from the Gothic face on both sides.
        {"Arial", ANSI_CHARSET, _J("A部品"), FW_NORMAL},
    };
    for (const Case& c : cases) {
        for (const int height : {-13, -20, -48}) {
            SCOPED_TRACE(c.text + " at " + std::to_string(height));
            const LogFont font = Font(c.face, height, c.charSet, c.weight);
            const CSize drawn = ContextExtent(font, c.text);
            const CSize measured = CTrueTypeFont(font).GetTextExtent(c.text);
            EXPECT_NEAR(drawn.cx, measured.cx, 1);
            EXPECT_NEAR(drawn.cy, measured.cy, 1);
        }
    }
}

TEST(FaceResolver, ContextsChooseTheirOwnFacesWhenNoResolverAnswers)
{
    const LogFont font = Font(_J("ＭＳ ゴシック"), -20, SHIFTJIS_CHARSET);
    const std::string text = _J("部品 ABC");
    const CSize resolved = ContextExtent(font, text);
    for (const FaceResolver resolver :
         {FaceResolver(nullptr),
          FaceResolver([](std::string_view, int, int, bool) -> std::optional<ResolvedFace> { return {}; })}) {
        const ResolverSwap swap(resolver);
        const CSize own = ContextExtent(font, text);
        EXPECT_GT(own.cx, 0);
        EXPECT_GT(own.cy, 0);
    }
    EXPECT_EQ(ContextExtent(font, text), resolved); // the installed resolver is back in use
}
