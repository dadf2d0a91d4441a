// The layer settings dialog: display states by clicks and header clicks, in-place edits of name,
// display mode and priority, the colour dialog with the shared custom colours, the quick
// selections, and patterns applied and registered.

#include "dialogs/DlgLayer.h"
#include "dialogs/DlgPatternRegist.h"
#include "platform/J.h"
#include "tests/dialogs/TableDialogFixture.h"

#include <QColorDialog>
#include <QListWidget>

namespace {

class DlgLayerTest : public TableDialogFixture
{
protected:
    void SetUp() override
    {
        TableDialogFixture::SetUp();
        for (int i = 0; i < CDlgLayer::kLayers; ++i) {
            tagLAYER& l = dialog.m_layers[static_cast<std::size_t>(i)];
            l.name = "L" + std::to_string(i + 1);
            l.color = 0x00FF00;
            l.drawClass = 2;
            l.order = static_cast<std::uint8_t>(i);
        }
        dialog.m_nCurrent = 4;
        dialog.m_layers[4].display = dialog.m_layers[4].enable = 1;
    }
    CGfxListCtrl* List() { return dialog.List(); }
    QString State(int layer) { return Cell(List(), layer, CDlgLayer::ColState); }
    std::vector<int> Shown() const
    {
        std::vector<int> out;
        for (int i = 0; i < CDlgLayer::kLayers; ++i)
            if (dialog.m_layers[static_cast<std::size_t>(i)].display)
                out.push_back(i + 1);
        return out;
    }
    QListWidget* Patterns() { return FindControl<QListWidget>(&dialog, CDlgLayer::IdPatterns); }

    CDlgLayer dialog;
};

TEST_F(DlgLayerTest, ClicksCycleTheStateButNeverOnTheCurrentLayer)
{
    dialog.m_layers[9].enable = 1; // enabled only
    dialog.m_counts[1] = 42;
    Show(dialog);
    ASSERT_EQ(List()->GetItemCount(), 128);
    EXPECT_EQ(Cell(List(), 1, CDlgLayer::ColNo), "  2");
    EXPECT_EQ(Cell(List(), 1, CDlgLayer::ColItems), "42");
    EXPECT_EQ(Cell(List(), 2, CDlgLayer::ColItems), "");
    EXPECT_EQ(Cell(List(), 1, CDlgLayer::ColColour), "00FF00");
    EXPECT_EQ(Cell(List(), 1, CDlgLayer::ColMode), QString::fromUtf8("幅付き"));
    EXPECT_EQ(Cell(List(), 7, CDlgLayer::ColPriority), "  7");
    EXPECT_EQ(State(4), "5");
    ClickCell(List(), 4, CDlgLayer::ColState);
    EXPECT_EQ(State(4), "5");
    EXPECT_EQ(dialog.m_layers[4].display, 1);
    for (const char* expected : {"1", "2", "0", "1"}) {
        ClickCell(List(), 2, CDlgLayer::ColState);
        EXPECT_EQ(State(2), expected);
    }
    ClickCell(List(), 9, CDlgLayer::ColState);
    EXPECT_EQ(State(9), "2");
    // A right click moves the current layer; the old one shows its own state again.
    ClickCell(List(), 20, CDlgLayer::ColState, Qt::RightButton);
    EXPECT_EQ(dialog.m_nCurrent, 20);
    EXPECT_EQ(State(20), "5");
    EXPECT_EQ(State(4), "1");
}

TEST_F(DlgLayerTest, ThreeHeaderClicksShowEnableThenShowOnlyThenHide)
{
    Show(dialog);
    const auto all = [this](int display, int enable) {
        for (int i = 0; i < CDlgLayer::kLayers; ++i) {
            const tagLAYER& l = dialog.m_layers[static_cast<std::size_t>(i)];
            if (i != 4 && (l.display != display || l.enable != enable))
                return false;
        }
        return dialog.m_layers[4].display == 1 && dialog.m_layers[4].enable == 1;
    };
    ASSERT_TRUE(all(0, 0));
    ClickHeader(List(), CDlgLayer::ColState);
    EXPECT_TRUE(all(1, 1));
    ClickHeader(List(), CDlgLayer::ColState);
    EXPECT_TRUE(all(1, 0));
    ClickHeader(List(), CDlgLayer::ColState);
    EXPECT_TRUE(all(0, 0));
}

TEST_F(DlgLayerTest, NameModeAndPriorityAreEditedInPlace)
{
    Show(dialog);
    EditCell(List(), 3, CDlgLayer::ColName, QString::fromUtf8("部品面シルク"));
    EXPECT_EQ(dialog.m_layers[3].name, _J("部品面シルク"));
    ChooseInCell(List(), 3, CDlgLayer::ColMode, QString::fromUtf8("ＨＩＣ/反転"));
    EXPECT_EQ(dialog.m_layers[3].drawClass, 8);
    EXPECT_EQ(dialog.m_layers[3].mirror, 1);
    EXPECT_EQ(Cell(List(), 3, CDlgLayer::ColMode), QString::fromUtf8("ＨＩＣ/反転"));
    ChooseInCell(List(), 3, CDlgLayer::ColMode, QString::fromUtf8("ベタ塗り"));
    EXPECT_EQ(dialog.m_layers[3].drawClass, 4);
    EXPECT_EQ(dialog.m_layers[3].mirror, 0);
    EditCell(List(), 3, CDlgLayer::ColPriority, "12");
    EXPECT_EQ(dialog.m_layers[3].order, 12);
    EditCell(List(), 3, CDlgLayer::ColPriority, "xy");
    EXPECT_EQ(dialog.m_layers[3].order, 0);
    // A stored mode that is none of the four shows no name.
    EXPECT_EQ(CDlgLayer::ModeName(3, 0), "");
}

TEST_F(DlgLayerTest, TheColourDialogKeepsTheSixteenCustomColoursInTheProfile)
{
    std::vector<std::uint8_t> stored;
    for (int i = 0; i < 16; ++i)
        for (std::uint8_t b :
             {static_cast<std::uint8_t>(i * 10), std::uint8_t(0x20), std::uint8_t(0x30), std::uint8_t(0)})
            stored.push_back(b);
    profile.SetBinary("Color", "Custom", stored);
    Show(dialog);
    QColor seen;
    OnDialog([&seen](QDialog* d) {
        auto* colours = qobject_cast<QColorDialog*>(d);
        ASSERT_NE(colours, nullptr);
        seen = QColorDialog::customColor(3);
        colours->setCurrentColor(QColor(0x12, 0x34, 0x56));
        colours->accept();
    });
    ClickCell(List(), 6, CDlgLayer::ColColour);
    EXPECT_TRUE(opened);
    EXPECT_EQ(seen, QColor(30, 0x20, 0x30));
    EXPECT_EQ(dialog.m_layers[6].color, 0x563412u);
    EXPECT_EQ(Cell(List(), 6, CDlgLayer::ColColour), "563412");
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(profile.GetBinary("Color", "Custom", after));
    EXPECT_EQ(after, stored);
    // The colour cell is filled with the layer's colour.
    LXHDREX format;
    format.nCode = GFXREQ_FORMAT;
    format.nSubItem = CDlgLayer::ColColour;
    format.lParam = 6;
    ASSERT_EQ(List()->RequestCell(&format), 1);
    EXPECT_EQ(format.cFormat, GFXFMT_BKCOLOR);
    EXPECT_EQ(format.crBack, 0x563412u);

    // A value of another length is ignored and replaced by a whole one on OK.
    profile.SetBinary("Color", "Custom", {1, 2, 3});
    OnDialog([](QDialog* d) { d->accept(); });
    ClickCell(List(), 6, CDlgLayer::ColColour);
    ASSERT_TRUE(profile.GetBinary("Color", "Custom", after));
    EXPECT_EQ(after, stored);
    // Cancel keeps the layer's colour.
    OnDialog([](QDialog* d) {
        qobject_cast<QColorDialog*>(d)->setCurrentColor(Qt::white);
        d->reject();
    });
    ClickCell(List(), 6, CDlgLayer::ColColour);
    EXPECT_EQ(dialog.m_layers[6].color, 0x563412u);
}

TEST_F(DlgLayerTest, QuickSelectionsKeepTheCurrentLayerShown)
{
    dialog.m_counts[10] = 3;
    dialog.m_counts[11] = 1;
    dialog.m_types[20] = 0x10000;
    dialog.m_types[21] = 0x10000 | 0x2;
    dialog.m_types[22] = 0x1;
    Show(dialog);
    // Only the current layer is shown: every layer holding items comes on.
    Click(&dialog, CDlgLayer::IdAllOrOne);
    EXPECT_EQ(Shown(), (std::vector<int>{5, 11, 12}));
    Click(&dialog, CDlgLayer::IdAllOrOne);
    EXPECT_EQ(Shown(), (std::vector<int>{5}));
    Click(&dialog, CDlgLayer::IdPartLayers);
    EXPECT_EQ(Shown(), (std::vector<int>{5, 21, 22, 23}));
    Click(&dialog, CDlgLayer::IdComponentSide);
    EXPECT_EQ(Shown(), (std::vector<int>{5, 22}));
    EXPECT_EQ(dialog.m_layers[21].enable, 1);
}

TEST_F(DlgLayerTest, APatternRegisteredIsAppliedWithoutAddMode)
{
    dialog.m_patterns[0].name = "first";
    dialog.m_patterns[0].layer = 1;
    dialog.m_patterns[0].layers = {7, 200}; // a damaged entry is passed over
    dialog.m_patterns[0].enables = {0};
    Show(dialog);
    ASSERT_EQ(Patterns()->count(), 1);
    EXPECT_EQ(Patterns()->item(0)->text(), QString::fromUtf8(" 1 :first"));

    for (int layer : {3, 7}) {
        dialog.m_layers[static_cast<std::size_t>(layer - 1)].display = 1;
        dialog.m_layers[static_cast<std::size_t>(layer - 1)].enable = layer == 3;
    }
    OnDialog([](QDialog* d) {
        ASSERT_NE(qobject_cast<CDlgPatternRegist*>(d), nullptr);
        EXPECT_EQ(Text(d, CDlgPatternRegist::IdNumber), "1");
        Type(d, CDlgPatternRegist::IdNumber, "4");
        Type(d, CDlgPatternRegist::IdName, QString::fromUtf8("配線"));
        Ok(d);
    });
    Click(&dialog, CDlgLayer::IdRegister);
    const tagLAYERPATTERN& p = dialog.m_patterns[3];
    EXPECT_EQ(p.name, _J("配線"));
    EXPECT_EQ(p.layer, 4);
    EXPECT_EQ(p.layers, (std::vector<std::uint8_t>{2, 6}));
    EXPECT_EQ(p.enables, (std::vector<std::uint8_t>{1, 0}));
    ASSERT_EQ(Patterns()->count(), 2);
    EXPECT_EQ(Patterns()->currentItem()->text(), QString::fromUtf8(" 4 :配線"));

    // The first pattern: layers hidden but its own, layer 2 current.
    for (int layer : {30, 40})
        dialog.m_layers[static_cast<std::size_t>(layer)].display = 1;
    QTest::mouseClick(Patterns()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Patterns()->visualItemRect(Patterns()->item(0)).center());
    EXPECT_EQ(Shown(), (std::vector<int>{2, 8}));
    EXPECT_EQ(dialog.m_nCurrent, 1);
    EXPECT_EQ(dialog.m_layers[7].enable, 0);
    // Back to the registered one.
    QTest::mouseClick(Patterns()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Patterns()->visualItemRect(Patterns()->item(1)).center());
    EXPECT_EQ(Shown(), (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(dialog.m_nCurrent, 4);
    EXPECT_EQ(State(4), "5");
    EXPECT_EQ(State(2), "1");
    EXPECT_EQ(State(6), "2");

    // With add mode the shown layers stay and the current layer does not move.
    Click(&dialog, CDlgLayer::IdAddMode);
    QTest::mouseClick(Patterns()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Patterns()->visualItemRect(Patterns()->item(0)).center());
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 5, 7, 8}));
    EXPECT_EQ(dialog.m_nCurrent, 4);
    Shot(&dialog, "DlgLayer");
}

TEST_F(DlgLayerTest, ThePatternListKeepsItsHeightWhileTheGridGrows)
{
    Show(dialog);
    const QSize initial = dialog.size();
    const QRect list = Patterns()->geometry();
    const QRect grid = List()->geometry();
    dialog.resize(initial + QSize(60, 90));
    QApplication::processEvents();
    EXPECT_EQ(Patterns()->geometry(), list.adjusted(0, 0, 60, 0));
    EXPECT_EQ(List()->geometry(), grid.adjusted(0, 0, 60, 90));
    dialog.resize(initial - QSize(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), initial);
}

} // namespace
