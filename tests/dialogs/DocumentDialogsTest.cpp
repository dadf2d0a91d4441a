// The document's new board and open commands running the real dialogs through a host that shows
// them, as the program's frame does.

#include "dialogs/DlgBpfSel.h"
#include "dialogs/DlgNewFile.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/FakeDocumentHost.h"

namespace {

namespace fs = std::filesystem;

class DialogHost : public FakeDocumentHost
{
public:
    std::optional<NewDesignChoice> RunNewDesignDialog(const std::string& folder, CVELTADoc* doc) override
    {
        newDesignFolders.push_back(folder);
        return CDlgNewFile::Run(nullptr, folder, doc);
    }
    int RunSettingFileDialog(const std::string& folder, const std::vector<std::string>& names,
                             CVELTADoc* doc) override
    {
        return CDlgBpfSel::Run(nullptr, folder, names, doc);
    }
    std::vector<std::string> newDesignFolders;
};

class DocumentDialogsTest : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf", Program() / "velta.bpf");
        doc->SetHost(&host);
    }
    // Runs the dialogs' steps one after the other as each opens.
    void OnDialogs(std::vector<std::function<void(QDialog*)>> steps)
    {
        if (steps.empty())
            return;
        auto first = steps.front();
        steps.erase(steps.begin());
        OnDialog([this, first, steps](QDialog* d) {
            OnDialogs(steps);
            first(d);
        });
    }

    DialogHost host;
};

TEST_F(DocumentDialogsTest, ANewBoardTakesTheProjectCopyAndTheWorkArea)
{
    profile.SetString("Sheet", "WorkFolder", Root().string());
    OnDialog([](QDialog* d) {
        TypeInto(Combo(d, CDlgNewFile::IdProject)->lineEdit(), "board1");
        Type(d, CDlgNewFile::IdWidth, "160");
        Type(d, CDlgNewFile::IdHeight, "100");
        Type(d, CDlgNewFile::IdOriginX, "5");
        Type(d, CDlgNewFile::IdOriginY, "7.5");
        Ok(d);
    });
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(host.newDesignFolders, std::vector<std::string>{""});
    const fs::path copy = Root() / "board1" / "velta.bpf";
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(doc->GetSettingFile().GetPath(), copy);
    EXPECT_DOUBLE_EQ(doc->GetBoardSize().cx, 160.0);
    EXPECT_DOUBLE_EQ(doc->GetBoardSize().cy, 100.0);
    EXPECT_DOUBLE_EQ(doc->GetUserOrigin().y, 7.5);
    // The installed master is left as it was.
    EXPECT_EQ(ReadFile(Program() / "velta.bpf"),
              ReadFile(fs::path(VELTA_SOURCE_DIR) / "resources" / "velta.bpf"));

    OnDialog([](QDialog* d) { d->reject(); });
    CVELTADoc cancelled;
    cancelled.SetHost(&host);
    EXPECT_FALSE(cancelled.OnNewDocument());
}

TEST_F(DocumentDialogsTest, OpeningAnEmptyBoardAmongSeveralSettingFilesAsksForOneThenForTheDesign)
{
    const std::string master = ReadFile(Program() / "velta.bpf");
    WriteFile(Work() / "first.bpf", master);
    WriteFile(Work() / "second.bpf", master);
    WriteFile(Work() / "board.vbd", "");
    OnDialogs({[](QDialog* d) {
                   ASSERT_NE(qobject_cast<CDlgBpfSel*>(d), nullptr);
                   ChooseEntry(d, CDlgBpfSel::IdList, 1);
                   Ok(d);
               },
               [](QDialog* d) {
                   ASSERT_NE(qobject_cast<CDlgNewFile*>(d), nullptr);
                   // The folder is given: the board's folder names the project.
                   EXPECT_EQ(Combo(d, CDlgNewFile::IdProject)->currentText(), "work");
                   ChooseEntry(d, CDlgNewFile::IdList, 1);
                   Ok(d);
               }});
    ASSERT_TRUE(doc->OnOpenDocument((Work() / "board.vbd").string()));
    EXPECT_FALSE(stayedOpen);
    ASSERT_EQ(host.newDesignFolders.size(), 1u);
    EXPECT_EQ(host.newDesignFolders[0], Work().string());
    EXPECT_EQ(doc->GetSettingFile().GetPath(), Work() / "second.bpf");
}

} // namespace
