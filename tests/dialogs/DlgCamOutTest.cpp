// CAM output dialog: what it shows per kind, the refusals at OK in their order with the focus they
// leave, the scale question only for an output involved, the template listing, the option and
// pattern buttons, and the writer records made from the settings.

#include "dialogs/DlgCamOut.h"
#include "dialogs/DlgCamOption.h"
#include "dialogs/DlgLayerPattern.h"
#include "libui/CheckListBox.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QGroupBox>
#include <QLineEdit>

#include <numbers>

namespace {

using D = CDlgCamOut;

const char* const kTemplateText = "$COMMON$\r\n<html>\r\n$BLOCKIN$\r\n</html>\r\n$COMMON$\r\n"
                                  "$PHOT$\r\n$BLOCKFOR$x$BLOCKNEXT$\r\n$PHOT$\r\n";

class DlgCamOutTest : public DialogFixture
{
protected:
    static CCheckListBox* List(QWidget* d) { return FindControl<CCheckListBox>(d, D::IdList); }

    // The master settings file's CAM sections with two photo and one drill entry.
    static CamOutChoice Standard()
    {
        CamOutChoice c;
        tagCAMOUT& s = c.settings;
        for (tagCAMOUTKIND* kind : {&s.photo, &s.drill}) {
            kind->values = {0.0, 0.0, 1.0};
            kind->ints = {3, 3};
            kind->number = 3;
        }
        s.drill.endOfBlock = 1;
        s.photoCodes = {"G54D", "D02", "D01", "D03", "G01", "G02", "G03"};
        s.photoI = "G04";
        s.photoJ = "M02";
        s.photo.outputs = {"1:TOP           : top.gbr      :1,16", "0:BOTTOM        : bot.gbr      :2"};
        s.drill.outputs = {"1:DRILL         : drill.drl    :1,2"};
        s.drillNumber = 0;
        c.boardFolder = "/tmp";
        return c;
    }
    void Open(D& dialog, const CamOutChoice& choice)
    {
        dialog.m_choice = choice;
        dialog.show();
        dialog.activateWindow();
    }
};

TEST_F(DlgCamOutTest, ShowsEachKindsSettingsAndSwitchesTheModeControls)
{
    D dialog;
    CamOutChoice c = Standard();
    c.settings.photo.rotation = 2;
    c.settings.photo.inch = true;
    c.settings.photoMode = 3;
    c.settings.drill.tapeCode = 2;
    c.settings.drillMode = 1;
    Open(dialog, c);
    Shot(&dialog, "cam-out-photo");
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("CAMデータ出力"));
    ASSERT_EQ(List(&dialog)->count(), 2);
    EXPECT_EQ(List(&dialog)->item(0)->text(), QString::fromUtf8("TOP           : top.gbr      :1,16"));
    EXPECT_EQ(List(&dialog)->GetCheck(0), 1);
    EXPECT_EQ(List(&dialog)->GetCheck(1), 0);
    EXPECT_TRUE(List(&dialog)->font().fixedPitch());
    EXPECT_EQ(State(&dialog, D::IdRotate0 + 2), Qt::Checked);
    EXPECT_EQ(State(&dialog, D::IdInch), Qt::Checked);
    EXPECT_EQ(State(&dialog, D::IdArcHalf), Qt::Checked);
    EXPECT_EQ(Combo(&dialog, D::IdPrecision)->currentText(), "3");
    EXPECT_FALSE(Enabled(&dialog, D::IdHitType));
    EXPECT_TRUE(FindControl(&dialog, D::IdArcStart)->isVisible());
    EXPECT_FALSE(FindControl(&dialog, D::IdRoundList)->isVisible());
    auto* group = FindControl<QGroupBox>(&dialog, D::IdArcGroup);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QString::fromUtf8("円弧処理"));
    EXPECT_EQ(FindControl<QAbstractButton>(&dialog, D::IdFormat)->text(), QString::fromUtf8("RS-274X形式"));

    // The extended format fixes the character code, the block end and the arc form.
    Click(&dialog, D::IdFormat);
    EXPECT_FALSE(Enabled(&dialog, D::IdCharCode));
    EXPECT_FALSE(Enabled(&dialog, D::IdEndOfBlock));
    EXPECT_FALSE(Enabled(&dialog, D::IdArcHalf));
    EXPECT_TRUE(Enabled(&dialog, D::IdArcLines));
    EXPECT_FALSE(Enabled(&dialog, D::IdTable));
    EXPECT_EQ(State(&dialog, D::IdArcStart), Qt::Checked);

    Click(&dialog, D::IdDrill);
    Shot(&dialog, "cam-out-drill");
    EXPECT_EQ(group->title(), QString::fromUtf8("座標リスト出力"));
    EXPECT_EQ(FindControl<QAbstractButton>(&dialog, D::IdFormat)->text(),
              QString::fromUtf8("Tコード自動割付"));
    EXPECT_EQ(State(&dialog, D::IdFormat), Qt::Unchecked);
    EXPECT_TRUE(Enabled(&dialog, D::IdHitType));
    EXPECT_EQ(Combo(&dialog, D::IdHitType)->currentIndex(), 1);
    EXPECT_EQ(Combo(&dialog, D::IdCharCode)->currentIndex(), 2);
    EXPECT_TRUE(Enabled(&dialog, D::IdCharCode));
    EXPECT_FALSE(FindControl(&dialog, D::IdArcStart)->isVisible());
    EXPECT_TRUE(FindControl(&dialog, D::IdRoundList)->isVisible());
    EXPECT_EQ(Text(&dialog, D::IdRoundExt), "hst");
    EXPECT_FALSE(Enabled(&dialog, D::IdRoundExt));
    Click(&dialog, D::IdRoundList);
    EXPECT_TRUE(Enabled(&dialog, D::IdRoundExt));
    ASSERT_EQ(List(&dialog)->count(), 1);

    // Back to photo: the photo set kept what was changed.
    Click(&dialog, D::IdPhoto);
    EXPECT_EQ(State(&dialog, D::IdFormat), Qt::Checked);
    EXPECT_TRUE(dialog.m_choice.settings.photoFlag);
    EXPECT_EQ(dialog.m_choice.settings.photoMode, 0);
    EXPECT_TRUE(dialog.m_choice.settings.drillYes1);
}

TEST_F(DlgCamOutTest, RefusalsAtOkInOrderWithTheirFocus)
{
    D dialog;
    CamOutChoice c = Standard();
    c.settings.photo.outputs = {"0:TOP           : top.gbr      :1"};
    Open(dialog, c);
    Ok(&dialog);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("出力リストがありません"));
    EXPECT_TRUE(dialog.isVisible());

    List(&dialog)->CycleRow(0);
    // The number fields undo a keystroke that leaves no number, so an empty field comes from the
    // program side (as a paste of nothing would leave it).
    Edit(&dialog, D::IdOffsetY)->setText("");
    Ok(&dialog);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("オフセット値が不正です"));
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, D::IdOffsetY));
    Edit(&dialog, D::IdOffsetX)->setText("");
    Ok(&dialog);
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, D::IdOffsetX));
    Type(&dialog, D::IdOffsetX, "1");
    Type(&dialog, D::IdOffsetY, "2");

    Edit(&dialog, D::IdScale)->setText("");
    Ok(&dialog);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("倍率が不正です"));
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, D::IdScale));

    // A scale off 1.0 asks; No (the default button) keeps the dialog open.
    Type(&dialog, D::IdScale, "2");
    const std::size_t before = messages.Count();
    Ok(&dialog);
    ASSERT_EQ(messages.Count(), before + 1);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("倍率かオフセットが標準値でありません。実行しますか？"));
    EXPECT_EQ(messages.Last().type & MB_DEFBUTTON2, MB_DEFBUTTON2);
    EXPECT_TRUE(dialog.isVisible());
    messages.QueueAnswer(IDYES);
    Ok(&dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(dialog.m_choice.records[0].scale, 2.0);
    EXPECT_DOUBLE_EQ(dialog.m_choice.records[0].offsetX, 1.0);
    EXPECT_DOUBLE_EQ(dialog.m_choice.records[0].offsetY, 2.0);
    EXPECT_EQ(dialog.m_choice.settings.photo.outputs[0].substr(0, 4), "1 : ");
    EXPECT_EQ(profile.GetInt("CAMOut", "SameOut", -1), 1);
}

TEST_F(DlgCamOutTest, TheScaleQuestionOnlyForAnInvolvedKind)
{
    const struct
    {
        int kind;
        bool sameOut;
        double photoScale, drillScale;
        bool asked;
    } rows[] = {
        {1, false, 2.0, 1.0, false}, // drill shown alone: the photo scale does not matter
        {1, true, 2.0, 1.0, true},   // both written together
        {0, false, 2.0, 1.0, true},  {0, false, 1.0, 3.0, false}, {1, false, 1.0, 3.0, true},
        {0, false, 1.0, 1.0, false}, // offsets 0 and scale 1.0 close without a question
    };
    for (const auto& row : rows) {
        profile.SetInt("CAMOut", "SameOut", row.sameOut ? 1 : 0);
        D dialog;
        CamOutChoice c = Standard();
        c.kind = row.kind;
        c.settings.photo.values[2] = row.photoScale;
        c.settings.drill.values[2] = row.drillScale;
        Open(dialog, c);
        const std::size_t before = messages.Count();
        messages.QueueAnswer(IDYES);
        Ok(&dialog);
        EXPECT_EQ(messages.Count() - before, row.asked ? 1u : 0u) << row.kind << row.sameOut;
        if (!row.asked)
            messages = platform::RecordingMessages();
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(DlgCamOutTest, DrillListExtensionsAreRequiredOnlyInDrillMode)
{
    D dialog;
    CamOutChoice c = Standard();
    c.kind = 1;
    c.settings.drillYes1 = false;
    c.settings.drillYes2 = true;
    c.settings.drillText2 = "\".lst\"";
    Open(dialog, c);
    EXPECT_EQ(Text(&dialog, D::IdSlotExt), "lst");
    Click(&dialog, D::IdRoundList);
    Type(&dialog, D::IdRoundExt, "");
    Type(&dialog, D::IdSlotExt, "");
    Ok(&dialog);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("ファイル拡張子を指定してください"));
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, D::IdRoundExt));
    Type(&dialog, D::IdRoundExt, " ..cir ");
    Ok(&dialog);
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, D::IdSlotExt));
    Type(&dialog, D::IdSlotExt, "lng");
    Ok(&dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.m_choice.settings.drillText1, "cir");
    EXPECT_EQ(dialog.m_choice.settings.drillText2, "lng");

    // In photo mode an empty extension of a ticked list closes, with the default extension.
    D photo;
    c.kind = 0;
    c.settings.drillText2 = "";
    Open(photo, c);
    Click(&photo, D::IdDrill);
    Type(&photo, D::IdSlotExt, "");
    Click(&photo, D::IdPhoto);
    messages = platform::RecordingMessages();
    Ok(&photo);
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_FALSE(photo.isVisible());
    EXPECT_EQ(photo.m_choice.settings.drillText2, "hst");
}

TEST_F(DlgCamOutTest, TemplatesOfBothFoldersAreListedAndTheCurrentOneChosen)
{
    const std::string full =
        std::string(kTemplateText) + std::string(600, ' ') + "$DRILL$\r\nx$BLOCKFOR$$BLOCKNEXT$$DRILL$\r\n";
    WriteFile(Program() / "VTHTML.dat", full);
    WriteFile(Program() / "late.DAT", full); // upper-case extension, drill section far down
    WriteFile(Program() / "nodrill.dat", kTemplateText);
    WriteFile(Program() / "other.txt", full);
    WriteFile(Root() / "user" / "Mine.dat", full);
    EXPECT_EQ(D::ListReportTemplates(), (std::vector<std::string>{"late", "Mine", "VTHTML"}));

    D dialog;
    CamOutChoice c = Standard();
    c.settings.report = "vthtml";
    Open(dialog, c);
    EXPECT_EQ(Combo(&dialog, D::IdReport)->count(), 3);
    EXPECT_EQ(Combo(&dialog, D::IdReport)->currentText(), "VTHTML");
    ChooseEntry(&dialog, D::IdReport, 1);
    Ok(&dialog);
    EXPECT_EQ(dialog.m_choice.settings.report, "Mine");

    D unknown;
    c.settings.report = "gone";
    Open(unknown, c);
    EXPECT_EQ(Combo(&unknown, D::IdReport)->currentText(), "late");
}

TEST_F(DlgCamOutTest, OptionsAndPatternButtons)
{
    D dialog;
    Open(dialog, Standard());
    OnDialog([&](QDialog* d) {
        auto* option = qobject_cast<CDlgCamOption*>(d);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(Text(d, CDlgCamOption::IdDCodePrefix), "G54D");
        EXPECT_EQ(Text(d, CDlgCamOption::IdShutterOpen), "D01");
        EXPECT_EQ(Text(d, CDlgCamOption::IdHeader), "G04");
        Type(d, CDlgCamOption::IdProgramStop, "M30");
        Click(d, CDlgCamOption::IdSlotRound + 2);
        Ok(d);
    });
    Click(&dialog, D::IdOptions);
    EXPECT_EQ(dialog.m_choice.settings.photoJ, "M30");
    EXPECT_EQ(dialog.m_choice.settings.drillNumber, 2);

    // Cancel keeps them.
    OnDialog([&](QDialog* d) {
        Type(d, CDlgCamOption::IdProgramStop, "M99");
        d->reject();
    });
    Click(&dialog, D::IdOptions);
    EXPECT_EQ(dialog.m_choice.settings.photoJ, "M30");

    std::vector<std::string> handed;
    OnDialog([&](QDialog* d) {
        auto* pattern = qobject_cast<CDlgLayerPattern*>(d);
        ASSERT_NE(pattern, nullptr);
        handed = pattern->m_entries;
        pattern->m_entries = {CDlgLayerPattern::FormatEntry("SILK", "silk.gbr", "3")};
        d->QDialog::accept();
    });
    Click(&dialog, D::IdPattern);
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0], "TOP           : top.gbr      :1,16");
    ASSERT_EQ(dialog.m_choice.settings.photo.outputs.size(), 1u);
    EXPECT_EQ(dialog.m_choice.settings.photo.outputs[0].substr(0, 4), "0 : ");
    EXPECT_EQ(List(&dialog)->GetCheck(0), 0);
    EXPECT_EQ(dialog.m_choice.settings.drill.outputs.size(), 1u);
}

TEST(CamRecordsTest, SettingsBecomeWriterRecords)
{
    const struct
    {
        int number;
        double factor;
        int rotation;
        double angle;
        int eob;
        char eobChar;
    } rows[] = {
        {0, 1.0, 0, 0.0, 0, '*'},
        {3, 1000.0, 1, std::numbers::pi / 2, 1, '\n'},
        {4, 10000.0, 2, std::numbers::pi, 2, '\r'},
        {5, 100000.0, 3, 3 * std::numbers::pi / 2, 7, '*'},
        {9, 100000.0, 8, 3 * std::numbers::pi / 2, -1, '*'}, // hand-edited values stay inside the tables
    };
    for (const auto& row : rows) {
        CamOutChoice c;
        c.settings.photo.number = row.number;
        c.settings.photo.rotation = row.rotation;
        c.settings.photo.endOfBlock = row.eob;
        c.settings.drill = c.settings.photo;
        c.settings.photo.values = {1.5, -2.5, 2.0};
        c.settings.photo.tapeCode = 3;
        c.settings.photo.inch = true;
        c.settings.drill.incremental = true;
        c.mirrorX[0] = true;
        c.mirrorY[1] = true;
        MakeCamRecords(c);
        for (const tagGERBAR& g : c.records) {
            EXPECT_DOUBLE_EQ(g.outputFactor, row.factor) << row.number;
            EXPECT_DOUBLE_EQ(g.angle, row.angle) << row.rotation;
            EXPECT_EQ(g.endOfBlock, row.eobChar) << row.eob;
        }
        const tagGERBAR& photo = c.records[0];
        const tagGERBAR& drill = c.records[1];
        EXPECT_EQ(photo.photo, 1);
        EXPECT_EQ(drill.photo, 0);
        EXPECT_DOUBLE_EQ(photo.offsetX, 1.5);
        EXPECT_DOUBLE_EQ(photo.offsetY, -2.5);
        EXPECT_DOUBLE_EQ(photo.scale, 2.0);
        EXPECT_EQ(photo.codeType, 3);
        EXPECT_EQ(photo.metric, 0);
        EXPECT_EQ(photo.absolute, 1);
        EXPECT_EQ(drill.metric, 1);
        EXPECT_EQ(drill.absolute, 0);
        EXPECT_EQ(photo.mirrorX, 1);
        EXPECT_EQ(photo.mirrorY, 0);
        EXPECT_EQ(drill.mirrorX, 0);
        EXPECT_EQ(drill.mirrorY, 1);
        // Settings without code lines give the standard codes.
        EXPECT_EQ(photo.apertureCode, "D");
        EXPECT_EQ(photo.drawCode, "D01");
        EXPECT_EQ(photo.flashCode, "D03");
        EXPECT_EQ(photo.headerText, "");
        EXPECT_EQ(photo.endCode, "M00");
    }

    CamOutChoice c;
    c.settings.photo.endOfBlock = 1;
    c.settings.photo.tapeCode = 2;
    c.settings.photoFlag = true;
    c.settings.photoMode = 4;
    c.settings.photoCodes = {" G54D", "D02", "D01", "D03", "G01", "G02", "G03 "};
    c.settings.photoI = "G04";
    c.settings.photoJ = "M02";
    c.settings.drillMode = 3;
    c.settings.drillNumber = 2;
    c.settings.drillYes3 = true;
    c.settings.drillYes4 = true;
    c.settings.drillInts = {3000, 100, 5};
    c.settings.drillOptionOn = true;
    c.settings.drillOption = 0;
    MakeCamRecords(c);
    const tagGERBAR& photo = c.records[0];
    EXPECT_EQ(photo.endOfBlock, '*');
    EXPECT_EQ(photo.codeType, 0);
    EXPECT_EQ(photo.arcMode, 4);
    EXPECT_EQ(photo.apertureCode, "G54D");
    EXPECT_EQ(photo.moveCode, "D02");
    EXPECT_EQ(photo.drawCode, "D01");
    EXPECT_EQ(photo.flashCode, "D03");
    EXPECT_EQ(photo.ccwCode, "G03");
    EXPECT_EQ(photo.headerText, "G04");
    EXPECT_EQ(photo.endCode, "M02");
    const tagGERBAR& drill = c.records[1];
    EXPECT_EQ(drill.hitType, 3);
    EXPECT_EQ(drill.longHoleMode, 2);
    EXPECT_EQ(drill.rectAsLong, 1);
    EXPECT_EQ(drill.holeSplit, 1);
    EXPECT_EQ(drill.drillLife, 3000);
    EXPECT_EQ(drill.testCouponEvery, 5);
    EXPECT_EQ(drill.toolDigits, 1);
    EXPECT_EQ(c.settings.drillOption, 1);
}

TEST(CamRecordsTest, EntryFields)
{
    const std::string entry = "1 : TOP           : top.gbr      :1, 16,200, x,3 ;";
    EXPECT_EQ(GetEntryName(entry), "TOP");
    EXPECT_EQ(GetEntryFile(entry), "top.gbr");
    EXPECT_EQ(GetEntryLayers(entry), (std::vector<int>{0, 15, 2, -1}));
    EXPECT_EQ(GetEntryLayers("0:A:b"), (std::vector<int>{-1}));
}

} // namespace
