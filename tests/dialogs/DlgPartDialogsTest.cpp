// Part registration and make part dialogs: the library chosen last, "***" for individual names,
// the reference and block checks, the part type word and "PartType".

#include "dialogs/DlgMakePart.h"
#include "dialogs/DlgPartRegist.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class DlgPartDialogsTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        profile.SetString("Library File List", "File1", "/lib/std.vlb");
        profile.SetString("Library File List", "File2",
                          "/home/user/very/long/folder/names/of/parts/connectors.vlb");
        profile.SetString("Library File List", "File3", "/lib/ic.vlb");
    }
};

TEST_F(DlgPartDialogsTest, RegistrationStartsAtTheLibraryUsedLastAndRemembersTheChoice)
{
    profile.SetString("Library File List", "AddPart", "/lib/ic.vlb");
    CDlgPartRegist dialog;
    dialog.m_strPartName = "DIP14";
    dialog.show();
    Shot(&dialog, "partregist");
    QComboBox* files = Combo(&dialog, CDlgPartRegist::IdFile);
    ASSERT_EQ(files->count(), 3);
    EXPECT_EQ(files->currentIndex(), 2);
    EXPECT_TRUE(files->lineEdit()->isReadOnly());
    EXPECT_FALSE(Enabled(&dialog, CDlgPartRegist::IdIndividual));
    EXPECT_EQ(Text(&dialog, CDlgPartRegist::IdName), "DIP14");
    ChooseEntry(&dialog, CDlgPartRegist::IdFile, 1);
    Shot(&dialog, "partregist-long");
    ChooseEntry(&dialog, CDlgPartRegist::IdFile, 0);
    Type(&dialog, CDlgPartRegist::IdName, "DIP16");
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strPartName, "DIP16");
    EXPECT_EQ(dialog.m_strLibraryFile, "/lib/std.vlb");
    EXPECT_EQ(profile.GetString("Library File List", "AddPart"), "/lib/std.vlb");

    // An unknown last library starts at the first.
    profile.SetString("Library File List", "AddPart", "/gone.vlb");
    CDlgPartRegist second;
    second.show();
    EXPECT_EQ(Combo(&second, CDlgPartRegist::IdFile)->currentIndex(), 0);
    second.reject();
    EXPECT_EQ(profile.GetString("Library File List", "AddPart"), "/gone.vlb");
}

TEST_F(DlgPartDialogsTest, IndividualNamesShowStarsUntilTurnedOff)
{
    CDlgPartRegist dialog;
    dialog.m_strPartName = "SOP8";
    dialog.m_bIndividual = 1;
    dialog.show();
    EXPECT_TRUE(Enabled(&dialog, CDlgPartRegist::IdIndividual));
    EXPECT_EQ(Text(&dialog, CDlgPartRegist::IdName), "***");
    Click(&dialog, CDlgPartRegist::IdIndividual);
    EXPECT_EQ(Text(&dialog, CDlgPartRegist::IdName), "SOP8");
    Click(&dialog, CDlgPartRegist::IdIndividual);
    EXPECT_EQ(Text(&dialog, CDlgPartRegist::IdName), "***");
    Click(&dialog, CDlgPartRegist::IdIndividual);
    Ok(&dialog);
    EXPECT_EQ(dialog.m_bIndividual, 0);
    EXPECT_EQ(dialog.m_strPartName, "SOP8");

    CDlgPartRegist each;
    each.m_strPartName = "SOP8";
    each.m_bIndividual = 1;
    each.show();
    Ok(&each);
    EXPECT_EQ(each.m_strPartName, "***");
}

TEST_F(DlgPartDialogsTest, MakePartChecksNameBlocksAndReference)
{
    struct Row
    {
        const char* name;
        const char* reference;
        const char* number;
        const char* count;
        int message; // 0: accepted
        int focus;
    };
    const Row rows[] = {
        {"IC1", "U?", "0", "0", 0, 0},
        {"IC1", "?U", "0", "0", 2003, CDlgMakePart::IdReference},
        {"IC1", "U??", "0", "0", 2005, CDlgMakePart::IdReference},
        {"IC1", "U", "0", "0", 2004, CDlgMakePart::IdReference},
        {"IC1", " ", "0", "0", 2002, CDlgMakePart::IdReference},
        {"  ", "U?", "0", "0", 2001, CDlgMakePart::IdName},
        {"IC1", "U?", "2", "1", 2006, CDlgMakePart::IdBlockNumber},
        {"IC1", "U?", "0", "3", 2006, CDlgMakePart::IdBlockNumber},
        {"IC1", "U?", "2", "4", 0, 0},
    };
    for (const Row& row : rows) {
        messages.Clear();
        CDlgMakePart dialog;
        dialog.m_strReference = "R1";
        dialog.m_nTerminals = 14;
        dialog.show();
        Type(&dialog, CDlgMakePart::IdName, row.name);
        Type(&dialog, CDlgMakePart::IdReference, row.reference);
        Type(&dialog, CDlgMakePart::IdBlockNumber, row.number);
        Type(&dialog, CDlgMakePart::IdBlockCount, row.count);
        Ok(&dialog);
        const std::string context = std::string(row.name) + "/" + row.reference + "/" + row.number;
        if (row.message == 0) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << context;
            EXPECT_EQ(messages.Count(), 0u) << context;
        } else {
            EXPECT_TRUE(dialog.isVisible()) << context;
            ASSERT_EQ(messages.Count(), 1u) << context;
            EXPECT_EQ(messages.Last().text, CDlgMakePart::Message(row.message)) << context;
            EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, row.focus)) << context;
        }
    }
    EXPECT_EQ(CDlgMakePart::Message(2003), _J("参照番号の先頭に?は設定できません"));
}

TEST_F(DlgPartDialogsTest, PartTypeIsRememberedAndGivesTheReference)
{
    CDlgMakePart dialog;
    dialog.m_strReference = "R1";
    dialog.m_strValue = "10k";
    dialog.m_nTerminals = 3;
    dialog.show();
    Shot(&dialog, "makepart");
    // Nothing stored: the handed-in type and kind (undefined keeps the reference).
    EXPECT_EQ(Text(&dialog, CDlgMakePart::IdReference), "R1");
    EXPECT_FALSE(Enabled(&dialog, CDlgMakePart::IdProperty));
    EXPECT_FALSE(Enabled(&dialog, CDlgMakePart::IdNonCircuit));
    EXPECT_TRUE(Enabled(&dialog, CDlgMakePart::IdConnector));
    Type(&dialog, CDlgMakePart::IdName, "HDR");
    Type(&dialog, CDlgMakePart::IdReference, "J?");
    Click(&dialog, CDlgMakePart::IdSmd);
    Click(&dialog, CDlgMakePart::IdConnector);
    Click(&dialog, CDlgMakePart::IdPolarity);
    Type(&dialog, CDlgMakePart::IdValue, "VAL");
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(profile.GetInt("Default", "PartType", -1), 1 + 2 * 16);
    EXPECT_EQ(dialog.m_nPartType, 0x0201 | 0xC);
    // "val" in any case takes the part name.
    EXPECT_EQ(dialog.m_strValue, "HDR");

    CDlgMakePart next;
    next.m_strReference = "R5";
    next.show();
    EXPECT_EQ(Text(&next, CDlgMakePart::IdReference), "CN?");
    EXPECT_EQ(State(&next, CDlgMakePart::IdSmd), Qt::Checked);
    EXPECT_EQ(State(&next, CDlgMakePart::IdConnector), Qt::Checked);
    EXPECT_FALSE(Enabled(&next, CDlgMakePart::IdValue));

    profile.SetInt("Default", "PartType", 0 + 1 * 16);
    CDlgMakePart discrete;
    discrete.m_strReference = "Q1";
    discrete.show();
    EXPECT_EQ(Text(&discrete, CDlgMakePart::IdReference), "U?");

    // Without a reference: non-circuit, undefined, and the reference is not checked.
    CDlgMakePart plain;
    plain.show();
    EXPECT_EQ(State(&plain, CDlgMakePart::IdNonCircuit), Qt::Checked);
    EXPECT_EQ(State(&plain, CDlgMakePart::IdUndefined), Qt::Checked);
    EXPECT_FALSE(Enabled(&plain, CDlgMakePart::IdReference));
    EXPECT_FALSE(Enabled(&plain, CDlgMakePart::IdDip));
    Type(&plain, CDlgMakePart::IdName, "LOGO");
    Ok(&plain);
    EXPECT_EQ(plain.result(), QDialog::Accepted);
    EXPECT_EQ(plain.m_nPartType, 3);
    EXPECT_EQ(profile.GetInt("Default", "PartType", -1), 3 + 3 * 16);
}

TEST_F(DlgPartDialogsTest, JunkPartTypeFallsBackToTheHandedInOne)
{
    for (const char* junk : {"abc", "999", "-5"}) {
        profile.SetString("Default", "PartType", junk);
        CDlgMakePart dialog;
        dialog.m_strReference = "R1";
        dialog.m_nType = 1;
        dialog.m_nKind = 0;
        dialog.show();
        EXPECT_EQ(State(&dialog, CDlgMakePart::IdSmd), Qt::Checked) << junk;
        EXPECT_EQ(State(&dialog, CDlgMakePart::IdModule), Qt::Checked) << junk;
        EXPECT_EQ(Text(&dialog, CDlgMakePart::IdReference), "U?") << junk;
    }
}

} // namespace
