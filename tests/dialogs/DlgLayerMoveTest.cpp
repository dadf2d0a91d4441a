// Layer move and copy dialog: targets typed with any separators or picked in tick order, the
// one-target question, one-to-many copies and the layer range.

#include "dialogs/DlgLayerMove.h"
#include "libui/CheckListBox.h"
#include "libui/DlgLayerSel.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

namespace {

class DlgLayerMoveTest : public DialogFixture
{
protected:
    FakeDocument fakeDoc;
    FakeFrameServices frame{&fakeDoc};
};

TEST_F(DlgLayerMoveTest, TargetsPairWithSources)
{
    enum Outcome
    {
        Accepted,
        Open,
        Cancelled
    };
    struct Row
    {
        std::vector<int> sources; // 1-based
        bool copy;
        const char* target;
        int answer; // to the one-target question, 0: none expected
        const char* message;
        Outcome outcome;
        std::vector<int> targets; // 1-based
        bool oneToMany;
    };
    const Row rows[] = {
        {{1, 2, 3}, false, "5;6 7", 0, nullptr, Accepted, {5, 6, 7}, false},
        {{1, 2, 3}, true, " 5.6,,7 ", 0, nullptr, Accepted, {5, 6, 7}, false},
        {{1, 2}, false, "9", IDYES, nullptr, Accepted, {9, 9}, false},
        {{1, 2}, true, "9", IDNO, nullptr, Open, {}, false},
        {{1}, true, "4,5,6", 0, nullptr, Accepted, {4, 5, 6}, true},
        {{1}, false, "4,5,6", 0, nullptr, Open, {}, false},
        {{1, 2}, false, "128,1", 0, nullptr, Accepted, {128, 1}, false},
        {{1}, false, "0", 0, "レイヤは１から１２８を指定してください", Open, {}, false},
        {{1}, false, "129", 0, "レイヤは１から１２８を指定してください", Open, {}, false},
        {{1}, false, "99999999999", 0, "レイヤは１から１２８を指定してください", Open, {}, false},
        {{1, 2}, false, "", 0, nullptr, Cancelled, {}, false},
        {{1, 2}, false, "abc", 0, nullptr, Cancelled, {}, false},
    };
    for (const Row& row : rows) {
        messages.Clear();
        CDlgLayerMove dialog;
        dialog.m_nCount = static_cast<int>(row.sources.size());
        for (std::size_t i = 0; i < row.sources.size(); ++i)
            dialog.m_layers[i] = row.sources[i] - 1;
        dialog.show();
        if (row.copy)
            Click(&dialog, CDlgLayerMove::IdCopy);
        Type(&dialog, CDlgLayerMove::IdTarget, row.target);
        if (row.answer)
            messages.QueueAnswer(row.answer);
        Ok(&dialog);
        const std::string context = row.target;
        if (row.answer) {
            ASSERT_GE(messages.Count(), 1u) << context;
            EXPECT_EQ(messages.Entries()[0].text,
                      row.copy ? _J("１つのレイヤにコピーしますか") : _J("１つのレイヤに移動しますか"));
        } else if (row.message) {
            ASSERT_EQ(messages.Count(), 1u) << context;
            EXPECT_EQ(messages.Last().text, platform::JLiteral(row.message));
        } else {
            EXPECT_EQ(messages.Count(), 0u) << context;
        }
        switch (row.outcome) {
        case Accepted:
            ASSERT_EQ(dialog.result(), QDialog::Accepted) << context;
            ASSERT_EQ(dialog.m_nCount, static_cast<int>(row.targets.size())) << context;
            for (std::size_t i = 0; i < row.targets.size(); ++i)
                EXPECT_EQ(dialog.m_layers[i], row.targets[i] - 1) << context;
            EXPECT_EQ(dialog.m_bOneToMany != 0, row.oneToMany) << context;
            EXPECT_EQ(dialog.m_bCopy != 0, row.copy);
            break;
        case Open:
            EXPECT_TRUE(dialog.isVisible()) << context;
            // Nothing is handed back while the dialog stays open.
            EXPECT_EQ(dialog.m_nCount, static_cast<int>(row.sources.size())) << context;
            EXPECT_EQ(dialog.m_layers[0], row.sources[0] - 1) << context;
            break;
        case Cancelled:
            EXPECT_FALSE(dialog.isVisible()) << context;
            EXPECT_EQ(dialog.result(), QDialog::Rejected) << context;
            break;
        }
    }
}

TEST_F(DlgLayerMoveTest, SourcesAreShownAndTargetsPickedInTickOrder)
{
    CDlgLayerMove dialog;
    dialog.m_nCount = 3;
    dialog.m_layers[0] = 0;
    dialog.m_layers[1] = 11;
    dialog.m_layers[2] = 127;
    dialog.show();
    Shot(&dialog, "layermove");
    EXPECT_EQ(Text(&dialog, CDlgLayerMove::IdSource), "  1, 12,128");
    EXPECT_FALSE(Edit(&dialog, CDlgLayerMove::IdTarget)->testAttribute(Qt::WA_InputMethodEnabled));
    Type(&dialog, CDlgLayerMove::IdTarget, "7.3 ,200,");
    std::array<int, 128> seen{};
    OnDialog([&seen](QDialog* d) {
        auto* sel = qobject_cast<CDlgLayerSel*>(d);
        seen = sel->m_order;
        auto* list = FindControl<CCheckListBox>(d, CDlgLayerSel::IdList);
        list->CycleRow(1);
        Ok(d);
    });
    Click(&dialog, CDlgLayerMove::IdLayerButton);
    EXPECT_EQ(seen[6], 1);
    EXPECT_EQ(seen[2], 2);
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](int s) { return s != 0; }), 2);
    EXPECT_EQ(Text(&dialog, CDlgLayerMove::IdTarget), "  7,  3,  2");
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_layers[0], 6);
    EXPECT_EQ(dialog.m_layers[1], 2);
    EXPECT_EQ(dialog.m_layers[2], 1);
}

} // namespace
