// File history dialog: the two counts and their range, and the buttons that empty a list at once.

#include "dialogs/DlgFileHistory.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/DialogFixture.h"

#include <cstdlib>

namespace {

class DlgFileHistoryTest : public DialogFixture
{
protected:
    std::vector<bool> cleared; // the lists emptied, true for projects
    std::function<void(bool)> Clear()
    {
        return [this](bool projects) { cleared.push_back(projects); };
    }
};

TEST_F(DlgFileHistoryTest, CountsFrom1To16PassOthersAreRefused)
{
    struct Row
    {
        const char* files;
        const char* projects;
        bool accepted;
    };
    const Row rows[] = {
        {"1", "16", true}, {"0", "4", false}, {"4", "17", false}, {"16", "1", true}, {"", "3", false}};
    for (const Row& row : rows) {
        messages.Clear();
        CDlgFileHistory dialog(Clear());
        dialog.m_nFileCount = 8;
        dialog.m_nProjectCount = 9;
        dialog.show();
        EXPECT_EQ(Text(&dialog, CDlgFileHistory::IdFileCount), "8");
        Type(&dialog, CDlgFileHistory::IdFileCount, row.files);
        Type(&dialog, CDlgFileHistory::IdProjectCount, row.projects);
        Ok(&dialog);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.accepted) << row.files << " " << row.projects;
        EXPECT_EQ(messages.Count(), row.accepted ? 0u : 1u);
        if (row.accepted) {
            EXPECT_EQ(dialog.m_nFileCount, atoi(row.files));
            EXPECT_EQ(dialog.m_nProjectCount, atoi(row.projects));
        } else {
            EXPECT_EQ(messages.Last().text, platform::IntRangeText(1, 16));
        }
    }
}

TEST_F(DlgFileHistoryTest, TheSpinStepsWithinTheRange)
{
    CDlgFileHistory dialog(Clear());
    dialog.m_nFileCount = 15;
    dialog.show();
    auto* spin = FindControl<CSpinButton>(&dialog, CDlgFileHistory::IdFileSpin);
    spin->Click(1);
    spin->Click(1);
    EXPECT_EQ(Text(&dialog, CDlgFileHistory::IdFileCount), "16");
}

TEST_F(DlgFileHistoryTest, EmptyingAListTakesEffectAtOnceEvenOnCancel)
{
    profile.SetString("Project File List", "File1", "/boards/p.vpj");
    CDlgFileHistory dialog(Clear());
    dialog.show();
    Shot(&dialog, "filehistory");
    // The file history is empty: its button starts disabled.
    EXPECT_FALSE(Enabled(&dialog, CDlgFileHistory::IdClearFiles));
    ASSERT_TRUE(Enabled(&dialog, CDlgFileHistory::IdClearProjects));

    messages.QueueAnswer(IDCANCEL);
    Click(&dialog, CDlgFileHistory::IdClearProjects);
    EXPECT_TRUE(cleared.empty());
    EXPECT_TRUE(Enabled(&dialog, CDlgFileHistory::IdClearProjects));

    messages.QueueAnswer(IDOK);
    Click(&dialog, CDlgFileHistory::IdClearProjects);
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Last().text, _J("履歴を削除します"));
    EXPECT_EQ(messages.Last().type & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(cleared, std::vector<bool>{true});
    EXPECT_FALSE(Enabled(&dialog, CDlgFileHistory::IdClearProjects));
    EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, CDialogBuilder::IdOk));
    dialog.reject();
    EXPECT_EQ(cleared, std::vector<bool>{true});
}

} // namespace
