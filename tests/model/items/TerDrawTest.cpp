// Terminal drawing on the recording context: the cross, the number on request, virtual terminals
// and visibility.

#include "model/items/Ter.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TerDrawTest : public ItemDrawFixture
{
protected:
    std::string Draw(CTer& ter, int withText)
    {
        return Record([&] { ter.DrawTer(&dc, withText); });
    }
};

TEST_F(TerDrawTest, CrossAndNumber)
{
    CTer ter(CDPoint(5, 5), CText("12", CDPoint(5, 5), 0), 0);
    const std::string cross = "MoveTo(490,490)\nLineTo(510,510)\nMoveTo(510,490)\nLineTo(490,510)\n";
    EXPECT_EQ(Draw(ter, 0), cross);

    const std::string withNumber = Draw(ter, 1);
    EXPECT_EQ(withNumber.substr(0, cross.size()), cross);
    const auto texts = dc.CallsOf(Kind::TextOut);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "12");

    ter.SetVirtualTer();
    EXPECT_EQ(Draw(ter, 1), "");
}

TEST_F(TerDrawTest, NothingOutsideTheVisibleArea)
{
    CTer ter(CDPoint(5, 5), CText("", CDPoint(5, 5), 0), 0);
    // The bounds are the 0.2 mm square: 490..510.
    dc.SetClipBox(CRect(505, 505, 600, 600));
    EXPECT_NE(Draw(ter, 0), "");
    dc.SetClipBox(CRect(520, 520, 600, 600));
    EXPECT_EQ(Draw(ter, 0), "");
}

} // namespace
