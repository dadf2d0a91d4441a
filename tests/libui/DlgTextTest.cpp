// Text dialog, run by the text's edit operations with the Qt dialogs installed.

#include "libui/DlgText.h"
#include "libui/NumEdit.h"
#include "model/items/Text.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/ItemDialogFixture.h"

#include <QFontDialog>
#include <numbers>

namespace {

class DlgTextTest : public ItemDialogFixture
{
protected:
    DlgTextTest() { frame.textSizes[3] = tagTEXTSIZE{7, 3.0, 2.5, 0.8}; }
    static double Value(QWidget* d, int id) { return Text(d, id).toDouble(); }
    static CText StrokeText(const char* string)
    {
        CText text(string, CDPoint(10, 10), 1);
        LOGFONTA font;
        font.lfHeight = 200;
        font.lfWidth = 180;
        font.lfWeight = 50;
        text.SetFontRecord(font);
        text.SetType(text.GetType() | TEXT_STROKE);
        return text;
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
};

TEST_F(DlgTextTest, NewTextOpensWithTheDefaultAttributes)
{
    CText text("", CDPoint(10, 10), 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("文字入力"));
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdHeight), 2.0);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdWidth), 2.0);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdSpace), 0.5);
        EXPECT_EQ(Text(d, CDlgText::IdTurret), "1");
        EXPECT_EQ(State(d, CDlgText::IdStroke), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdLeft), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdBottom), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdDir0), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdFrame), Qt::Unchecked);
        EXPECT_FALSE(Enabled(d, CDlgText::IdFontHeight));
        EXPECT_FALSE(Enabled(d, CDlgText::IdAngle));
        EXPECT_TRUE(Enabled(d, CDlgText::IdKeep));
        EXPECT_EQ(Text(d, CDlgText::IdX), "***");
        Type(d, CDlgText::IdText, QString::fromUtf8("部品 A1"));
        Shot(d, "text-new");
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, false, 0), 1);
    EXPECT_EQ(text.GetName(), _J("部品 A1"));
    EXPECT_TRUE(text.IsStroke());
    EXPECT_EQ(text.GetFont()->lfHeight, 200);
    EXPECT_EQ(text.GetFont()->lfWidth, 200);
    EXPECT_EQ(text.GetFont()->lfWeight, 50);
    EXPECT_EQ(text.GetTurretNo(), 1);
    EXPECT_EQ(text.GetType() & 0x7F, 8); // bottom-left
    EXPECT_EQ(text.GetPoint(), CDPoint(10, 10));
    // Without "Remember Attr" nothing is remembered.
    EXPECT_FALSE(profile.HasKey("Text", "Text Height"));
    EXPECT_EQ(profile.GetInt("Text", "Remember Attr", -1), 0);
}

TEST_F(DlgTextTest, RememberedAttributesOpenTheNextText)
{
    CText text("", CDPoint(10, 10), 0);
    OnDialog([](QDialog* d) {
        Click(d, CDlgText::IdKeep);
        EXPECT_EQ(State(d, CDlgText::IdKeep), Qt::Checked);
        Type(d, CDlgText::IdText, "A");
        Type(d, CDlgText::IdHeight, "1.5");
        Click(d, CDlgText::IdCentre);
        Click(d, CDlgText::IdDir90);
        Click(d, CDlgText::IdFrame);
        Type(d, CDlgText::IdDistance, "0.3");
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, false, 0), 1);
    EXPECT_EQ(profile.GetInt("Text", "Remember Attr", 0), 1);
    EXPECT_EQ(profile.GetInt("Text", "Text Height", 0), 150);
    EXPECT_EQ(profile.GetString("Text", "Frame"), " 3");
    EXPECT_EQ(profile.GetString("Text", "Text Direction"), "90.000");

    CText next("", CDPoint(), 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgText::IdKeep), Qt::Checked);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdHeight), 1.5);
        EXPECT_EQ(State(d, CDlgText::IdCentre), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdDir90), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdFrame), Qt::Checked);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdDistance), 0.3);
        // Unticking "keep" loads the defaults again (the frame always comes from "Text").
        Click(d, CDlgText::IdKeep);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdHeight), 2.0);
        EXPECT_EQ(State(d, CDlgText::IdLeft), Qt::Checked);
        Type(d, CDlgText::IdText, "B");
        Ok(d);
    });
    EXPECT_EQ(next.InputText(&doc, false, 0), 1);
    EXPECT_EQ(profile.GetInt("Text", "Remember Attr", 1), 0);
}

TEST_F(DlgTextTest, DirectionFollowsTheAngle)
{
    CText text = StrokeText("A");
    text.SetAngle(1.5 * std::numbers::pi);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("文字編集"));
        EXPECT_EQ(State(d, CDlgText::IdDirMinus90), Qt::Checked);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdAngle), -90.0);
        EXPECT_FALSE(Enabled(d, CDlgText::IdKeep));
        Click(d, CDlgText::IdDirAngle);
        EXPECT_TRUE(Enabled(d, CDlgText::IdAngle));
        Type(d, CDlgText::IdAngle, "45");
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, true, 0), 1);
    EXPECT_NEAR(text.GetAngle(), std::numbers::pi / 4, 1e-9);
}

TEST_F(DlgTextTest, TableEntryFillsAndLocksTheSizes)
{
    CText text = StrokeText("A");
    OnDialog([](QDialog* d) {
        Type(d, CDlgText::IdTable, "3");
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdHeight), 3.0);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdWidth), 2.5);
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdSpace), 0.8);
        EXPECT_EQ(Text(d, CDlgText::IdTurret), "7");
        EXPECT_TRUE(Edit(d, CDlgText::IdHeight)->isReadOnly());
        EXPECT_FALSE(Enabled(d, CDlgText::IdHeightSpin));
        Shot(d, "text-table");
        Type(d, CDlgText::IdTable, "0");
        EXPECT_FALSE(Edit(d, CDlgText::IdHeight)->isReadOnly());
        EXPECT_TRUE(Enabled(d, CDlgText::IdHeightSpin));
        Type(d, CDlgText::IdTable, "3");
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, true, 0), 1);
    EXPECT_EQ(text.GetTurretNo(), 7);
    EXPECT_EQ(text.GetFont()->lfHeight, 300);
    EXPECT_EQ(text.GetFont()->lfCharSet, 3); // the table number
}

TEST_F(DlgTextTest, SizeErrorsKeepTheDialogOpen)
{
    CText trueType("A", CDPoint(), 0);
    trueType.SetType(trueType.GetType() & ~TEXT_STROKE);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgText::IdTrueType), Qt::Checked);
        EXPECT_FALSE(Enabled(d, CDlgText::IdTable));
        EXPECT_TRUE(Enabled(d, CDlgText::IdFontHeight));
        EXPECT_FALSE(Enabled(d, CDlgText::IdFont)); // only with an own font
        Type(d, CDlgText::IdFontHeight, "0.05");
        Shot(d, "text-truetype");
        Ok(d);
    });
    EXPECT_EQ(trueType.InputText(&doc, true, 0), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("フォント高さエラー"));

    CText stroke = StrokeText("A");
    OnDialog([](QDialog* d) {
        Type(d, CDlgText::IdWidth, "0");
        Ok(d);
    });
    EXPECT_EQ(stroke.InputText(&doc, true, 0), 0);
    EXPECT_EQ(messages.Last().text, _J("高さ，幅の設定エラー"));

    // Text the code page cannot hold is refused; an empty text is a Cancel.
    OnDialog([](QDialog* d) {
        Type(d, CDlgText::IdText, QString::fromUtf8("é"));
        Ok(d);
    });
    EXPECT_EQ(stroke.InputText(&doc, true, 0), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("この文字列には使用できない文字が含まれています。"));
    OnDialog([](QDialog* d) {
        Type(d, CDlgText::IdText, "");
        Ok(d);
    });
    EXPECT_EQ(stroke.InputText(&doc, true, 0), 0);
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(stroke.GetName(), "A");
}

TEST_F(DlgTextTest, StoredFrameOpensFramed)
{
    profile.SetString("Text", "Frame", "15");
    CText text("", CDPoint(), 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgText::IdFrame), Qt::Checked);
        EXPECT_TRUE(Enabled(d, CDlgText::IdDistance));
        EXPECT_DOUBLE_EQ(Value(d, CDlgText::IdDistance), 1.5);
        Type(d, CDlgText::IdText, "F");
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, false, 0), 1);
    EXPECT_TRUE(text.IsFrame());
    EXPECT_DOUBLE_EQ(text.GetFrameDist(), 1.5);

    // Junk in the profile opens without a frame.
    profile.SetString("Text", "Frame", "xx");
    profile.SetInt("Default", "Text Table", 40);
    CText junk("", CDPoint(), 0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgText::IdFrame), Qt::Unchecked);
        EXPECT_EQ(Text(d, CDlgText::IdTable), "0");
    });
    EXPECT_EQ(junk.InputText(&doc, false, 0), 0);
}

TEST_F(DlgTextTest, OwnFontEscapementFollowsTheAngle)
{
    CText text("A", CDPoint(), 0);
    LOGFONTA font;
    font.SetFaceName("Courier");
    font.lfWeight = 400;
    text.SetFontRecord(font);
    text.SetType((text.GetType() & ~TEXT_STROKE) | TEXT_OWN_FONT);
    text.SetAngle(30.0 * std::numbers::pi / 180.0);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgText::IdDirAngle), Qt::Checked);
        EXPECT_EQ(State(d, CDlgText::IdOwnFont), Qt::Checked);
        EXPECT_TRUE(Enabled(d, CDlgText::IdFont));
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, true, 0), 1);
    EXPECT_TRUE(text.IsSPFont());
    EXPECT_EQ(text.GetFont()->lfEscapement, 3300);
    EXPECT_EQ(text.GetFont()->FaceName(), "Courier");

    // Unticking the own font falls back to the profile's face for the text.
    CText japanese(_J("部品"), CDPoint(), 0);
    japanese.SetFontRecord(font);
    japanese.SetType((japanese.GetType() & ~TEXT_STROKE) | TEXT_OWN_FONT);
    OnDialog([](QDialog* d) {
        Click(d, CDlgText::IdOwnFont);
        EXPECT_FALSE(Enabled(d, CDlgText::IdFont));
        Ok(d);
    });
    EXPECT_EQ(japanese.InputText(&doc, true, 0), 1);
    EXPECT_FALSE(japanese.IsSPFont());
}

TEST_F(DlgTextTest, FontDialogChoosesTheOwnFont)
{
    CText text = StrokeText("A");
    text.SetType(text.GetType() & ~TEXT_STROKE);
    profile.SetString("Default", "FontE", "NoSuchFace"); // whatever the dialog offers is an own font
    QString chosenFamily;
    int chosenWeight = 0;
    OnDialog([&chosenFamily, &chosenWeight](QDialog* d) {
        Click(d, CDlgText::IdOwnFont);
        ASSERT_TRUE(Enabled(d, CDlgText::IdFont));
        QTimer::singleShot(0, [&chosenFamily, &chosenWeight] {
            auto* fonts = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(fonts, nullptr);
            QFont font = fonts->currentFont();
            font.setBold(true);
            fonts->setCurrentFont(font);
            chosenFamily = fonts->currentFont().family();
            chosenWeight = fonts->currentFont().weight();
            fonts->accept();
        });
        Click(d, CDlgText::IdFont);
        EXPECT_EQ(State(d, CDlgText::IdOwnFont), Qt::Checked);
        Ok(d);
    });
    EXPECT_EQ(text.InputText(&doc, true, 0), 1);
    EXPECT_TRUE(text.IsSPFont());
    EXPECT_EQ(text.GetFont()->lfWeight, chosenWeight);
    EXPECT_EQ(text.GetFont()->lfHeight, 200); // the text height in hundredths
    EXPECT_EQ(platform::Cp932ToQString(text.GetFont()->FaceName()), chosenFamily);
}

TEST_F(DlgTextTest, SeveralTextsLeftUntouchedStayUnchanged)
{
    TextDialogData data;
    data.text = "***";
    data.multiEdit = true;
    data.flag = 1;
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgText::IdTurret), "***");
        EXPECT_EQ(Text(d, CDlgText::IdTable), "***");
        EXPECT_FALSE(Enabled(d, CDlgText::IdKeep));
        EXPECT_FALSE(Enabled(d, CDlgText::IdX));
        EXPECT_EQ(State(d, CDlgText::IdMirror), Qt::PartiallyChecked);
        EXPECT_EQ(State(d, CDlgText::IdLeft), Qt::Unchecked);
        EXPECT_FALSE(Enabled(d, CDlgText::IdHeight));
        // A click on the chosen button of a group clears it again.
        Click(d, CDlgText::IdRight);
        Click(d, CDlgText::IdRight);
        EXPECT_EQ(State(d, CDlgText::IdRight), Qt::Unchecked);
        Shot(d, "text-multiple");
        Ok(d);
    });
    EXPECT_TRUE(dialogs.RunTextDialog(data));
    EXPECT_EQ(data.turret, -1);
    EXPECT_EQ(data.sizeTable, -1);
    EXPECT_EQ(data.hAlign, 3);
    EXPECT_EQ(data.vAlign, 3);
    EXPECT_EQ(data.fontKind, 3);
    EXPECT_EQ(data.angleChoice, 7);
    EXPECT_EQ(data.printableChoice, 2);
    EXPECT_EQ(data.mirrorChoice, 2);
    EXPECT_EQ(data.frame, 2);
    EXPECT_EQ(data.ownFont, 2);

    // Through the model: the choices land in the blank's y.
    CText blank("***", CDPoint(), 0);
    OnDialog([](QDialog* d) { Ok(d); });
    EXPECT_EQ(blank.InputText(&doc, true, 1), 1);
    const int code = static_cast<int>(blank.GetPoint().y);
    EXPECT_EQ(code & 3, 3);
    EXPECT_EQ((code >> 4) & 7, 7);
    EXPECT_EQ((code >> 13) & 3, 3);
}

TEST_F(DlgTextTest, SetAttributeRemembersTheText)
{
    CText text = StrokeText("A");
    text.SetFontRecord([] {
        LOGFONTA f;
        f.lfHeight = 120;
        f.lfWidth = 110;
        f.lfWeight = 30;
        return f;
    }());
    text.SetType(text.GetType() | TEXT_STROKE);
    text.SetAttribute();
    EXPECT_FALSE(profile.HasKey("Text", "Text Height")); // "Remember Attr" is 0

    profile.SetInt("Text", "Remember Attr", 1);
    text.SetAttribute();
    EXPECT_EQ(profile.GetInt("Text", "Text Height", 0), 120);
    EXPECT_EQ(profile.GetInt("Text", "Text Width", 0), 110);
    EXPECT_EQ(profile.GetInt("Text", "Text Space", 0), 30);
    EXPECT_EQ(profile.GetInt("Text", "Font Type", -1), 1);
    EXPECT_EQ(profile.GetString("Text", "Frame"), "N");
}

} // namespace
