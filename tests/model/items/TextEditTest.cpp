// Text editing through the text dialog, numbering, search and property texts.

#include "model/items/Text.h"

#include "model/services/ItemDialogs.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class TextEditTest : public ::testing::Test
{
protected:
    TextEditTest() : frame(&doc)
    {
        for (int i = 0; i <= TURRET_MAX; ++i)
            doc.turretTable[i] = tagTURRET{TURRET_ROUND, 0.1 * i, 0.0};
        doc.userOriginX = 1.0;
        doc.userOriginY = 2.0;
        frame.textSizes[0] = tagTEXTSIZE{3, 1.5, 1.2, 0.0};
        frame.textSizes[5] = tagTEXTSIZE{6, 4.0, 3.0, 1.0};
    }

    // A stroke text "R1" at (10, 20), bottom centre, mirrored, framed, turned to 270 degrees.
    CText StrokeText()
    {
        CText t("R1", CDPoint(10, 20), 4);
        LOGFONTA lf;
        lf.lfHeight = 250;
        lf.lfWidth = 200;
        lf.lfWeight = 0;
        lf.lfCharSet = 5;
        t.SetFontRecord(lf);
        t.SetType(TEXT_STROKE | TEXT_MIRROR | TEXT_FRAME | TEXT_ORG_BOTTOM_CENTER);
        t.SetAngle(1.5 * kPi);
        return t;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    FakeItemDialogs dialogs;
};

// --- Origin from the keypad ---

TEST_F(TextEditTest, SetOrgFromKeypadOrCode)
{
    const std::pair<int, int> cases[] = {{97, 8},  {98, 14}, {99, 10}, {100, 24}, {101, 30}, {102, 26},
                                         {103, 0}, {104, 6}, {105, 2}, {30, 30},  {10, 10}};
    for (const auto& [key, origin] : cases) {
        SCOPED_TRACE(key);
        CText t("A", CDPoint(0, 0), 0);
        t.ModifyType(TEXT_FRAME, 0);
        t.SetOrg(key);
        EXPECT_EQ(t.GetOrign(), origin);
        EXPECT_EQ(t.IsFrame(), 1);
    }
    CText hidden("A", CDPoint(0, 0), 0);
    hidden.Disp(0);
    hidden.SetOrg(101);
    EXPECT_EQ(hidden.GetOrign(), 8);
    CText empty("", CDPoint(0, 0), 0);
    empty.SetOrg(101);
    EXPECT_EQ(empty.GetOrign(), 8);
}

// --- Numbering ---

TEST_F(TextEditTest, IncNameTable)
{
    const std::string fw9 = _J("９"), fw1 = _J("１"), fw0 = _J("０"), fw2 = _J("２");
    const std::string res = _J("抵抗");
    const struct
    {
        std::string before;
        int step;
        std::string after;
    } cases[] = {
        {"R9", 1, "R10"},
        {"R09", 1, "R10"},
        {"R009", 1, "R010"},
        {"R1", 5, "R6"},
        {"A5", -7, "A"},
        {"A05", -7, "A0"},
        {"A10", -3, "A7"},
        {"A10", -10, "A0"},
        {"U1~", 1, "U2~"},
        {"~CS1~", 1, "~CS2~"},
        {"R", 1, "R1"},
        {"R", 12, "R12"},
        {"R", -1, "R"},
        {"R?", 1, "R?"},
        {"R1", 0, "R1"},
        {"", 1, ""},
        {"5", -7, "5"}, // nothing would be left: the old name stays
        {"~5", -9, "~5"},
        {"12", 1, "13"},
        {"C1A", 1, "C1A1"},
        // Full-width digits stay full-width.
        {res + fw9, 1, res + fw1 + fw0},
        {res + fw0 + fw9, 1, res + fw1 + fw0},
        {res + fw1, 1, res + fw2},
        {res, 2, res + fw2},
        {res + fw1, -5, res},
        // An ASCII run before a double-byte ending is not the trailing number.
        {"1" + res, 1, "1" + res + fw1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before + " " + std::to_string(c.step));
        CText t(c.before, CDPoint(0, 0), 0);
        t.IncName(c.step);
        EXPECT_EQ(t.GetName(), c.after);
    }
}

// --- Search ---

TEST_F(TextEditTest, FindByPatternCaseWholeAndHidden)
{
    CText t("Resistor R12", CDPoint(3, 4), 0);
    CDPoint found(0, 0);
    EXPECT_EQ(t.Find(found, "R12", 1, 0, 0), 1);
    EXPECT_EQ(found.x, 3.0);
    EXPECT_EQ(found.y, 4.0);
    EXPECT_EQ(t.Find(found, "resistor", 1, 0, 0), 0);
    EXPECT_EQ(t.Find(found, "resistor", 0, 0, 0), 1);
    EXPECT_EQ(t.Find(found, "R12", 0, 1, 0), 0);
    EXPECT_EQ(t.Find(found, "resistor r12", 0, 1, 0), 1);

    t.Disp(0);
    EXPECT_EQ(t.Find(found, "R12", 1, 0, 0), 0);
    EXPECT_EQ(t.Find(found, "R12", 1, 0, 1), 1);

    CText empty("", CDPoint(0, 0), 0);
    EXPECT_EQ(empty.Find(found, "", 1, 1, 1), 0);

    // A pattern never matches from the middle of a double-byte character: the trail byte of
    // "ソ" is '\'.
    CText jp(_J("ソ") + "A", CDPoint(0, 0), 0);
    EXPECT_EQ(jp.Find(found, "\\A", 1, 0, 0), 0);
    EXPECT_EQ(jp.Find(found, "A", 1, 0, 0), 1);
    // Upper-casing touches single-byte letters only: "ａ" (full-width) does not become "Ａ".
    CText fw(_J("ａ"), CDPoint(0, 0), 0);
    EXPECT_EQ(fw.Find(found, _J("ａ"), 0, 1, 0), 1);
}

// --- Property texts ---

TEST_F(TextEditTest, PropertyTexts)
{
    CText coc("&COC&1.0 2.0", CDPoint(0, 0), 0);
    EXPECT_TRUE(coc.IsPropaty());
    EXPECT_EQ(coc.GetPropatyName(), "COC");
    EXPECT_EQ(coc.GetPropatyVal(), "1.0 2.0");

    CText spaced("& NAME &  value ", CDPoint(0, 0), 0);
    EXPECT_TRUE(spaced.IsPropaty());
    EXPECT_EQ(spaced.GetPropatyName(), "NAME");
    EXPECT_EQ(spaced.GetPropatyVal(), "value");

    for (const char* no : {"&COC&", "&&value", "COC&1&", "&abc", "&a&", "&&&&"}) {
        SCOPED_TRACE(no);
        CText t(no, CDPoint(0, 0), 0);
        EXPECT_FALSE(t.IsPropaty());
        EXPECT_EQ(t.GetPropatyName(), "");
        EXPECT_EQ(t.GetPropatyVal(), "");
    }
    CText a("&a&b", CDPoint(0, 0), 0);
    EXPECT_TRUE(a.IsPropaty());

    CText set("x", CDPoint(0, 0), 0);
    set.SetPropaty("  COC ", " 0.5 1.5 ");
    EXPECT_EQ(set.GetName(), "&COC&0.5 1.5");
    EXPECT_EQ(set.IsDisp(), 0);
    EXPECT_TRUE(set.IsPropaty());
}

// --- Text dialog ---

TEST_F(TextEditTest, InputTextFillsTheDialog)
{
    CText t = StrokeText();
    dialogs.answer = false;
    EXPECT_EQ(t.InputText(&doc, true, 0), 0);
    const TextDialogData& d = dialogs.lastText;
    EXPECT_EQ(d.text, "R1");
    EXPECT_TRUE(d.displayed);
    EXPECT_TRUE(d.printable);
    EXPECT_NEAR(d.angleDeg, -90.0, 1e-9);
    EXPECT_TRUE(d.mirror);
    EXPECT_DOUBLE_EQ(d.x, 9.0); // user coordinates
    EXPECT_DOUBLE_EQ(d.y, 18.0);
    EXPECT_EQ(d.flag, 1);
    EXPECT_FALSE(d.multiEdit);
    EXPECT_DOUBLE_EQ(d.sizes[5].height, 4.0);
    EXPECT_EQ(d.sizes[0].turret, 3);
    EXPECT_EQ(d.turret, 4);
    EXPECT_DOUBLE_EQ(d.ttSize, 0.5);
    EXPECT_DOUBLE_EQ(d.strokeHeight, 2.5);
    EXPECT_DOUBLE_EQ(d.strokeWidth, 2.0);
    EXPECT_DOUBLE_EQ(d.strokeSpace, 2.0); // no spacing: the width stands in
    EXPECT_EQ(d.sizeTable, 5);
    EXPECT_EQ(d.hAlign, 1);
    EXPECT_EQ(d.vAlign, 2);
    EXPECT_EQ(d.ownFont, 0);
    EXPECT_EQ(d.fontKind, 1);
    EXPECT_EQ(d.frame, 1);
    EXPECT_DOUBLE_EQ(d.frameDistance, 0.5); // no stored distance: the default
    // Cancel changed nothing.
    EXPECT_EQ(t.GetName(), "R1");
    EXPECT_EQ(t.GetType(), TEXT_STROKE | TEXT_MIRROR | TEXT_FRAME | TEXT_ORG_BOTTOM_CENTER);

    // An own-font text shows the stroke dimensions of text-size entry 0.
    CText own("O", CDPoint(0, 0), 0);
    own.SetType(TEXT_OWN_FONT | 8);
    own.InputText(nullptr, false, 0);
    EXPECT_DOUBLE_EQ(dialogs.lastText.strokeHeight, 1.5);
    EXPECT_DOUBLE_EQ(dialogs.lastText.strokeSpace, 1.2);
    EXPECT_EQ(dialogs.lastText.sizeTable, 0);
    EXPECT_EQ(dialogs.lastText.ownFont, 1);
}

TEST_F(TextEditTest, InputTextReturnsTwoOnlyWhenMoved)
{
    const struct
    {
        double dx;
        int result;
    } cases[] = {{0.0, 1}, {5e-7, 1}, {2e-6, 2}, {1.0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dx);
        CText t = StrokeText();
        dialogs.onText = [&](TextDialogData& d) { d.x += c.dx; };
        EXPECT_EQ(t.InputText(&doc, false, 0), c.result);
        EXPECT_NEAR(t.GetPoint().x, c.result == 2 ? 10 + c.dx : 10, 1e-6);
        EXPECT_DOUBLE_EQ(t.GetPoint().y, 20.0);
        // Accepting unchanged keeps the attributes (the frame now at the default 0.5 mm).
        EXPECT_EQ(t.GetType(), TEXT_STROKE | TEXT_MIRROR | TEXT_FRAME | TEXT_ORG_BOTTOM_CENTER | (5 << 16));
        EXPECT_EQ(t.GetFont()->lfHeight, 250);
        EXPECT_EQ(t.GetFont()->lfWeight, 200);
        EXPECT_NEAR(t.GetAngle(), -0.5 * kPi, 1e-12);
    }
}

TEST_F(TextEditTest, InputTextSingleAppliesTheChoices)
{
    // Stroke to TrueType with its own font, hidden, not printable, top right, no frame.
    CText t = StrokeText();
    LOGFONTA chosen;
    chosen.SetFaceName("Arial");
    chosen.lfWeight = 700;
    dialogs.onText = [&](TextDialogData& d) {
        d.text = "C7";
        d.displayed = false;
        d.printable = false;
        d.mirror = false;
        d.frame = 0;
        d.hAlign = 2;
        d.vAlign = 0;
        d.fontKind = 0;
        d.ownFont = 1;
        d.logFont = chosen.ToBytes();
        d.ttSize = 2.29;
        d.angleDeg = 30;
    };
    EXPECT_EQ(t.InputText(&doc, false, 0), 1);
    EXPECT_EQ(t.GetName(), "C7");
    EXPECT_EQ(t.GetType(), TEXT_HIDDEN | TEXT_NOT_PRINTABLE | TEXT_OWN_FONT | TEXT_ORG_TOP_RIGHT);
    EXPECT_EQ(t.GetSize(), 229);
    EXPECT_EQ(t.GetTurretNo(), 0);
    EXPECT_EQ(t.GetFont()->FaceName(), "Arial");
    EXPECT_EQ(t.GetFont()->lfWeight, 700);
    EXPECT_EQ(t.GetFont()->lfStrikeOut, 1);

    // TrueType without own font: the record is cleared.
    dialogs.onText = [](TextDialogData& d) {
        d.fontKind = 0;
        d.ownFont = 0;
        d.frame = 1;
        d.frameDistance = 1.3;
    };
    t.InputText(&doc, false, 0);
    EXPECT_EQ(*t.GetFont(), LOGFONTA());
    EXPECT_EQ(t.GetType() & ~TEXT_ORIGIN_MASK, TEXT_HIDDEN | TEXT_NOT_PRINTABLE | TEXT_FRAME | (13 << 16));

    // Back to stroke: dimensions, table and pen from the dialog.
    dialogs.onText = [](TextDialogData& d) {
        d.fontKind = 1;
        d.strokeHeight = 0.29;
        d.strokeWidth = 1.8;
        d.strokeSpace = 0.3;
        d.sizeTable = 2;
        d.turret = 9;
        d.displayed = true;
        d.printable = true;
    };
    t.InputText(&doc, false, 0);
    EXPECT_EQ(t.GetType() & (TEXT_STROKE | TEXT_OWN_FONT | TEXT_HIDDEN | TEXT_NOT_PRINTABLE), TEXT_STROKE);
    EXPECT_EQ(t.GetFont()->lfHeight, 29);
    EXPECT_EQ(t.GetFont()->lfWidth, 180);
    EXPECT_EQ(t.GetFont()->lfWeight, 30);
    EXPECT_EQ(t.GetTable(), 2);
    EXPECT_EQ(t.GetFont()->lfOutPrecision, 32);
    EXPECT_EQ(t.GetFont()->lfClipPrecision, 32);
    EXPECT_EQ(t.GetTurretNo(), 9);
    EXPECT_DOUBLE_EQ(t.GetLineWidth(), 0.9);
}

TEST_F(TextEditTest, InputTextMultiEditPacksTheChoices)
{
    CText tmpl("", CDPoint(0, 0), 0);
    tmpl.SetAngle(0.25);
    dialogs.onText = [](TextDialogData& d) {
        d.text = "*";
        d.frameDistance = 0.7;
        d.hAlign = 2;
        d.vAlign = 1;
        d.angleChoice = 7;
        d.printableChoice = 2;
        d.mirrorChoice = 1;
        d.frame = 2;
        d.fontKind = 0;
        d.ownFont = 2;
        d.sizeTable = 3;
        d.ttSize = 1.5;
    };
    EXPECT_EQ(tmpl.InputText(&doc, false, 1), 1);
    EXPECT_TRUE(dialogs.lastText.multiEdit);
    EXPECT_DOUBLE_EQ(dialogs.lastText.frameDistance, 0.0);
    EXPECT_EQ(tmpl.GetName(), "*");
    EXPECT_EQ(tmpl.GetType(), 7 << 16);
    EXPECT_DOUBLE_EQ(tmpl.GetAngle(), 0.25); // angle choice 7 keeps it
    const int packed = 2 | 1 << 2 | 7 << 4 | 2 << 7 | 1 << 9 | 2 << 11 | 0 << 13 | 3 << 15;
    EXPECT_EQ(tmpl.GetPoint().y, packed);
    EXPECT_EQ(tmpl.GetSize(), 150);
    EXPECT_EQ(tmpl.GetFont()->lfHeight, -1);

    dialogs.onText = [](TextDialogData& d) {
        d.angleChoice = 1;
        d.angleDeg = 90;
        d.fontKind = 1;
        d.strokeHeight = 2;
        d.strokeWidth = 1;
        d.strokeSpace = 0.5;
        d.turret = 6;
    };
    tmpl.InputText(&doc, false, 1);
    EXPECT_NEAR(tmpl.GetAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(tmpl.GetFont()->lfHeight, 200);
    EXPECT_EQ(tmpl.GetFont()->lfWidth, 100);
    EXPECT_EQ(tmpl.GetFont()->lfWeight, 50);
    EXPECT_EQ(tmpl.GetTurretNo(), 6);
}

TEST_F(TextEditTest, SetAttributeSavesWithoutShowingTheDialog)
{
    CText t = StrokeText();
    t.SetAttribute();
    EXPECT_EQ(dialogs.calls, 0);
    EXPECT_EQ(dialogs.savedTextCount, 1);
    EXPECT_DOUBLE_EQ(dialogs.savedText.strokeHeight, 2.5);
    EXPECT_EQ(dialogs.savedText.fontKind, 1);
    EXPECT_EQ(dialogs.savedText.hAlign, 1);
    EXPECT_DOUBLE_EQ(dialogs.savedText.x, 10.0); // no user origin here

    CText tt("T", CDPoint(0, 0), 0);
    tt.SetSize(350);
    tt.SetAttribute();
    EXPECT_DOUBLE_EQ(dialogs.savedText.ttSize, 3.5);
    EXPECT_EQ(dialogs.savedText.fontKind, 0);
}

} // namespace
