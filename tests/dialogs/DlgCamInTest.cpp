// CAM input dialog: the two kinds' settings from the profile and back (on OK only), the packed
// keys, the destination layer and its fall-back, the OK button's state, how an extended Gerber
// file is told from a plain one, and the browse filters.

#include "dialogs/DlgCamIn.h"
#include "libui/NumSpinCtrl.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QCheckBox>
#include <QRadioButton>

namespace {

using D = CDlgCamIn;
constexpr char kPhot[] = "CAMIn\\Phot";
constexpr char kDrill[] = "CAMIn\\Drill";

class DlgCamInTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        dialog = std::make_unique<D>();
        dialog->m_layerCombo.entries = {{"  1 L1", 0}, {"  3 L3", 2}, {"  6 Silk", 5}};
        dialog->m_layerCombo.selected = 1;
    }
    void Open()
    {
        dialog->show();
        QApplication::processEvents();
    }
    std::filesystem::path Data(const std::string& name, const std::string& text)
    {
        const auto path = Work() / name;
        WriteFile(path, text);
        return path;
    }
    bool Checked(int id) { return FindControl<QAbstractButton>(dialog.get(), id)->isChecked(); }

    std::unique_ptr<D> dialog;
};

TEST_F(DlgCamInTest, ProfileFillsTheControlsAndDefaultsAreAutoAndThreeDecimals)
{
    profile.SetInt(kDrill, "Int", 0x52);
    profile.SetInt(kDrill, "UNIT", 17);
    profile.SetInt(kDrill, "Mirror", 2 * 4 + 2);
    profile.SetString(kDrill, "Scale", "2.5f");
    profile.SetString(kDrill, "XOff", "-12.5");
    profile.SetInt(kDrill, "Layer", 5);
    profile.SetInt(kDrill, "EOB", 2);
    profile.SetInt(kDrill, "Code", 3);
    profile.SetInt(kDrill, "Hit", 2);
    profile.SetInt("CAMIn", "PhotDrill", 1);
    Open();
    EXPECT_TRUE(Checked(D::IdDrill));
    EXPECT_EQ(Combo(dialog.get(), D::IdIntDigits)->currentText(), "2");
    EXPECT_EQ(Combo(dialog.get(), D::IdDecDigits)->currentText(), "5");
    EXPECT_TRUE(Checked(D::IdInch));
    EXPECT_TRUE(Checked(D::IdIncremental));
    EXPECT_TRUE(Checked(D::IdRotate0 + 2));
    EXPECT_FALSE(Checked(D::IdMirrorX));
    EXPECT_TRUE(Checked(D::IdMirrorY));
    EXPECT_EQ(Combo(dialog.get(), D::IdLayer)->currentData().toInt(), 5);
    EXPECT_EQ(Combo(dialog.get(), D::IdEndOfBlock)->currentText(), "CR");
    EXPECT_EQ(Combo(dialog.get(), D::IdCode)->currentText(), "ISO");
    EXPECT_EQ(Combo(dialog.get(), D::IdHitType)->currentIndex(), 2);
    EXPECT_TRUE(Enabled(dialog.get(), D::IdHitType));
    EXPECT_FALSE(Enabled(dialog.get(), D::IdArcStart));
    EXPECT_NEAR(FindControl<CNumSpinCtrl>(dialog.get(), D::IdScaleSpin)->GetPos(), 2.5, 1e-9);
    EXPECT_NEAR(FindControl<CNumSpinCtrl>(dialog.get(), D::IdXOffsetSpin)->GetPos(), -12.5, 1e-9);

    // The photo kind has no stored settings: "Int" 48 shows AUTO and 3; the stored layer 0 is
    // offered.
    Click(dialog.get(), D::IdPhoto);
    EXPECT_EQ(Combo(dialog.get(), D::IdIntDigits)->currentText(), "AUTO");
    EXPECT_EQ(Combo(dialog.get(), D::IdDecDigits)->currentText(), "3");
    EXPECT_TRUE(Checked(D::IdMillimetre));
    EXPECT_TRUE(Enabled(dialog.get(), D::IdArcStart));
    EXPECT_FALSE(Enabled(dialog.get(), D::IdHitType));
    EXPECT_EQ(Combo(dialog.get(), D::IdLayer)->currentData().toInt(), 0);
}

TEST_F(DlgCamInTest, StoredLayerNoLongerOfferedFallsBackToTheFramesCurrentLayer)
{
    profile.SetInt(kPhot, "Layer", 40);
    Open();
    EXPECT_EQ(Combo(dialog.get(), D::IdLayer)->currentData().toInt(), 2);
}

TEST_F(DlgCamInTest, OkIsEnabledByTheFilesTheKindNeeds)
{
    Open();
    EXPECT_FALSE(Enabled(dialog.get(), CDialogBuilder::IdOk));
    EXPECT_EQ(FindControl<QAbstractButton>(dialog.get(), CDialogBuilder::IdOk)->text(),
              QString::fromUtf8("実行(&E)"));
    Type(dialog.get(), D::IdDataFile, "a.gbr");
    EXPECT_TRUE(Enabled(dialog.get(), CDialogBuilder::IdOk));
    Click(dialog.get(), D::IdDrill);
    Type(dialog.get(), D::IdDataFile, "a.drl");
    EXPECT_FALSE(Enabled(dialog.get(), CDialogBuilder::IdOk));
    Type(dialog.get(), D::IdTableFile, "vtdril.txt");
    EXPECT_TRUE(Enabled(dialog.get(), CDialogBuilder::IdOk));
    // The photo kind kept its own file.
    Click(dialog.get(), D::IdPhoto);
    EXPECT_EQ(Text(dialog.get(), D::IdDataFile), "a.gbr");
}

TEST_F(DlgCamInTest, OkWritesBothKindsPackedKeysOnlyOnOk)
{
    const auto drill = Data("board.drl", "M48\nMETRIC\nT1C0.8\n%\nT1\nX1000Y1000\nM30\n");
    Open();
    Click(dialog.get(), D::IdDrill);
    Type(dialog.get(), D::IdDataFile, Q(drill));
    Type(dialog.get(), D::IdTableFile, Q(Work() / "vtdril.txt"));
    Click(dialog.get(), D::IdInch);
    Click(dialog.get(), D::IdIncremental);
    Click(dialog.get(), D::IdRotate0 + 3);
    Click(dialog.get(), D::IdMirrorX);
    ChooseEntry(dialog.get(), D::IdIntDigits, 4);
    ChooseEntry(dialog.get(), D::IdDecDigits, 2);
    ChooseEntry(dialog.get(), D::IdLayer, 2);
    ChooseEntry(dialog.get(), D::IdHitType, 3);
    Type(dialog.get(), D::IdScale, "1.5");
    EXPECT_FALSE(profile.HasKey(kDrill, "Mirror"));
    dialog->reject();
    EXPECT_FALSE(profile.HasKey(kDrill, "Mirror"));

    Open();
    Ok(dialog.get());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->m_bExtended);
    EXPECT_EQ(profile.GetInt("CAMIn", "PhotDrill", -1), 1);
    EXPECT_EQ(profile.GetInt(kDrill, "Mirror", -1), 3 * 4 + 1);
    EXPECT_EQ(profile.GetInt(kDrill, "Int", -1), 4 + 2 * 16);
    EXPECT_EQ(profile.GetInt(kDrill, "UNIT", -1), 1 + 16);
    EXPECT_EQ(profile.GetInt(kDrill, "Layer", -1), 5);
    EXPECT_EQ(profile.GetInt(kDrill, "Hit", -1), 3);
    EXPECT_EQ(profile.GetString(kDrill, "Scale", ""), "1.500000");
    EXPECT_EQ(profile.GetString(kDrill, "Data1", ""), drill.string());
    EXPECT_FALSE(profile.HasKey(kPhot, "Data1"));
}

TEST_F(DlgCamInTest, ExtendedGerberIsFoundByItsParameterBlockBeforeTheFirstCoordinate)
{
    const struct
    {
        const char* text;
        bool extended;
    } cases[] = {
        {"%FSLAX24Y24*%\n%MOIN*%\n%ADD10C,0.01*%\nD10*\nX0Y0D03*\nM02*\n", true}, // two '%' on line 1
        {"%\nG04 plain file started by a rewind stop*\nX0Y0D03*\nM02*\n", false}, // a single '%'
        {"%FSLAX24Y24*%", true},                                                  // shorter than 255 bytes
        {"G04 a long header comment with X1 and Y2 in it*\nG04 more*\n%MOMM*%\nX0Y0D03*\n", true},
        {"G90*\nX100Y100D02*\n%FSLAX24Y24*%\n", false}, // a coordinate comes first
        {"%IPPOS*%\n%LNCOPPER*%\nX0Y0D03*\n", false},   // parameters that do not define the format
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(D::IsExtendedGerber(Data("f.gbr", c.text).string()), c.extended);
    }
    EXPECT_FALSE(D::IsExtendedGerber((Work() / "none.gbr").string()));
}

TEST_F(DlgCamInTest, ScaleAndOffsetsOutsideTheirRangesAreRefused)
{
    profile.SetString(kPhot, "Scale", "10.0");
    const auto extended = Data("x.gbr", "%FSLAX24Y24*%\n%MOIN*%\nM02*\n");
    Open();
    // A stored scale beyond the range shows clamped.
    EXPECT_NEAR(FindControl<CNumSpinCtrl>(dialog.get(), D::IdScaleSpin)->GetPos(), 5.0, 1e-9);
    Type(dialog.get(), D::IdDataFile, Q(extended));
    for (const auto& [id, text] : {std::pair{D::IdScale, "5.5"}, std::pair{D::IdYOffset, "-250.5"}}) {
        Edit(dialog.get(), id)->setText(text); // as pasted
        messages.Clear();
        Ok(dialog.get());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(messages.Count(), 1u);
        Edit(dialog.get(), id)->setText(id == D::IdScale ? "0.5" : "-250");
    }
    Ok(dialog.get());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(profile.GetString(kPhot, "Scale", ""), "0.500000");
    EXPECT_EQ(profile.GetString(kPhot, "YOff", ""), "-250.000000");
}

TEST_F(DlgCamInTest, PlainPhotoFileWithoutTableIsRefusedWithAMessage)
{
    const auto plain = Data("plain.pho", "G90*\nD10*\nX0Y0D03*\nM02*\n");
    Open();
    Type(dialog.get(), D::IdDataFile, Q(plain));
    Ok(dialog.get());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(LastMessage(), QString::fromUtf8("変換テーブルを指定してください"));
    EXPECT_FALSE(profile.HasKey(kPhot, "Data1"));
    Type(dialog.get(), D::IdTableFile, Q(Work() / "vtphot.txt"));
    Ok(dialog.get());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->m_bExtended);

    const auto extended = Data("x.gbr", "%FSLAX24Y24*%\n%MOIN*%\nM02*\n");
    D second;
    second.m_layerCombo = dialog->m_layerCombo;
    second.show();
    Type(&second, D::IdDataFile, Q(extended));
    Type(&second, D::IdTableFile, "");
    Ok(&second);
    EXPECT_FALSE(second.isVisible());
    EXPECT_TRUE(second.m_bExtended);
}

TEST_F(DlgCamInTest, BrowseOffersTheKindsFiltersAndTakesTheChosenFile)
{
    QStringList filters;
    dialog->chooseFile = [&](QWidget*, const QString&, const QString& filter) {
        filters << filter;
        return QStringLiteral("/boards/top.GBR");
    };
    Open();
    Shot(dialog.get(), "cam-in");
    Click(dialog.get(), D::IdDataBrowse);
    Click(dialog.get(), D::IdTableBrowse);
    Click(dialog.get(), D::IdDrill);
    Click(dialog.get(), D::IdDataBrowse);
    Click(dialog.get(), D::IdTableBrowse);
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].startsWith(QString::fromUtf8("ガーバーファイル (*.pho *.pht *.g*)")));
    EXPECT_TRUE(filters[1].startsWith(QString::fromUtf8("アパーチャーリスト (*.apt *.lst *.txt)")));
    EXPECT_TRUE(filters[2].startsWith(QString::fromUtf8("ドリルファイル (*.d*)")));
    EXPECT_TRUE(filters[3].startsWith(QString::fromUtf8("ツールリスト (*.drt *.txt)")));
    EXPECT_TRUE(filters[3].endsWith(QString::fromUtf8("全てのファイル (*)")));
    EXPECT_EQ(Text(dialog.get(), D::IdDataFile), "/boards/top.GBR");
}

} // namespace
