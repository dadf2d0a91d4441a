// Board settings file chooser: the folder's settings files, their comments previewed without moving
// the document's own settings file, and the path handed back.

#include "dialogs/DlgBpfSel.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class DlgBpfSelTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        WriteSettings(Work() / "b.bpf", "second board");
        WriteSettings(Work() / "A.BPF", _J("最初の基板"));
        WriteFile(Work() / "notes.txt", "x");
        own = Root() / "own.bpf";
        WriteSettings(own, "own");
        doc->GetSettingFile().SetPath(own);
    }
    std::string Folder() const { return Work().string() + "/"; }

    std::filesystem::path own;
};

TEST_F(DlgBpfSelTest, PreviewsEachFileAndHandsBackTheChosenPath)
{
    CDlgBpfSel dialog(doc.get());
    dialog.m_strFolder = Folder();
    dialog.show();
    Shot(&dialog, "bpfsel");
    QComboBox* list = Combo(&dialog, CDlgBpfSel::IdList);
    ASSERT_EQ(list->count(), 2);
    // Matched without regard to case and sorted.
    EXPECT_EQ(list->itemText(0), "A.BPF");
    EXPECT_EQ(list->itemText(1), "b.bpf");
    EXPECT_EQ(PlainText(&dialog, CDlgBpfSel::IdComment), QString::fromUtf8("最初の基板"));
    EXPECT_EQ(doc->GetSettingFile().GetPath(), own);

    ChooseEntry(&dialog, CDlgBpfSel::IdList, 1);
    EXPECT_EQ(PlainText(&dialog, CDlgBpfSel::IdComment), "second board");
    EXPECT_EQ(doc->GetSettingFile().GetPath(), own);

    // A file that went away is not previewed: the comment stays.
    std::filesystem::remove(Work() / "A.BPF");
    ChooseEntry(&dialog, CDlgBpfSel::IdList, 0);
    EXPECT_EQ(PlainText(&dialog, CDlgBpfSel::IdComment), "second board");
    ChooseEntry(&dialog, CDlgBpfSel::IdList, 1);

    Ok(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strFolder, Folder() + "b.bpf");
    EXPECT_EQ(doc->GetSettingFile().GetPath(), own);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(DlgBpfSelTest, RunGivesTheIndexOfTheChoiceOrMinusOneOnCancel)
{
    const std::vector<std::string> names = {"A.BPF", "b.bpf"};
    OnDialog([](QDialog* d) {
        ChooseEntry(d, CDlgBpfSel::IdList, 1);
        Ok(d);
    });
    EXPECT_EQ(CDlgBpfSel::Run(nullptr, Work().string(), names, doc.get()), 1);
    EXPECT_FALSE(stayedOpen);

    OnDialog([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(CDlgBpfSel::Run(nullptr, Work().string(), names, doc.get()), -1);
    EXPECT_EQ(doc->GetSettingFile().GetPath(), own);
}

TEST_F(DlgBpfSelTest, AFolderWithoutSettingFilesSaysSoAndKeepsOkDisabled)
{
    std::filesystem::create_directories(Root() / "empty");
    CDlgBpfSel dialog(doc.get());
    dialog.m_strFolder = (Root() / "empty").string();
    dialog.show();
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("基板設計ファイルが見つかりません"));
    EXPECT_FALSE(Enabled(&dialog, CDialogBuilder::IdOk));
    EXPECT_EQ(Combo(&dialog, CDlgBpfSel::IdList)->count(), 0);
}

} // namespace
