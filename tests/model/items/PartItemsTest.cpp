// Part item: the contained items, look-ups by id, compose and explode, removal of part layers,
// next origin, copies into sheets and the terminals' copper-group links.

#include "model/items/Part.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "tests/support/PartBoard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::PartBoard;

class PartItemsTest : public ::testing::Test
{
protected:
    PartBoard board;

    // Two pins on the component side: pads on layer 0, terminals on the TERM layer, a silk line, an
    // origin mark land and a via on the second pad; named texts on the silk-text layer.
    CPart TwoPins()
    {
        CPart part(CDPoint(0, 0), CDRect(-1, -1, 3.54, 1), 0, 0, 0.0, 0);
        part.SetPartName("R0805");
        part.GetPartNameText()->SetPoint(CDPoint(1, 2));
        part.SetRefName("R1");
        part.GetRefNameText()->SetPoint(CDPoint(1, 3));
        for (CText* t : {part.GetPartNameText(), part.GetRefNameText(), part.GetValNameText()})
            t->SetLayerNo(PartBoard::kSilkTextA);
        part.NewLand(CDPoint(0, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewLand(CDPoint(2.54, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewLand(CDPoint(0, 0), PartBoard::kPad)->SetLayerNo(PartBoard::kOriginA);
        part.NewTer(CDPoint(0, 0), CText("1", CDPoint(0, 0), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewTer(CDPoint(2.54, 0), CText("2", CDPoint(2.54, 0), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewLine(CDPoint(-1, -1), CDPoint(3.54, -1), PartBoard::kTrack, 0)
            ->SetLayerNo(PartBoard::kSilkLineA);
        part.NewVia(CVia(CDPoint(2.54, 0), 1, nullptr, 0x3));
        part.ReCalcTerID(&board.doc);
        return part;
    }
};

TEST_F(PartItemsTest, NewItemsBelongToThePartAndLoseTheirMarks)
{
    CPart part;
    CLine line(CDPoint(0, 0), CDPoint(1, 0), PartBoard::kTrack, 0);
    line.SetCheck(true);
    CLine* stored = part.NewLine(line);
    EXPECT_EQ(stored->GetParent(), &part);
    EXPECT_FALSE(stored->CheckSelect());
    CText text("A", CDPoint(0, 0), 0);
    text.SetTextSel(CDRect(-1, -1, 5, 5));
    ASSERT_TRUE(text.IsTextSel());
    EXPECT_FALSE(part.NewText(text)->IsTextSel());
    CArc* arc = part.NewArc(CDPoint(1, 1), 2u, 0, 3, PartBoard::kTrack);
    EXPECT_DOUBLE_EQ(arc->GetRadius(), 2.0);
    EXPECT_DOUBLE_EQ(arc->GetEndAngle(), 3.0);

    // Iteration in list order, forwards and backwards over the terminals.
    part.NewTer(CDPoint(0, 0), CText("1", CDPoint(0, 0), 0));
    part.NewTer(CDPoint(1, 0), CText("2", CDPoint(1, 0), 0));
    POSITION pos = part.GetLastTerPos();
    EXPECT_EQ(part.GetPrevTer(pos)->GetNo(), "2");
    EXPECT_EQ(part.GetPrevTer(pos)->GetNo(), "1");
    EXPECT_FALSE(pos);
}

TEST_F(PartItemsTest, TerminalsAndViasAreFoundByTheirIds)
{
    CPart part = TwoPins();
    EXPECT_EQ(part.GetTerName(2), "2");
    EXPECT_EQ(part.GetTerName(9), "");
    part.SetTerName(1, "A1");
    EXPECT_EQ(part.GetTerName(1), "A1");

    // After an id reset the number texts still carry the ids: the look-up repairs the terminal.
    POSITION pos = part.GetFirstTerPos();
    CTer* first = part.GetNextTer(pos);
    first->CItemBase::SetID(0);
    EXPECT_EQ(part.GetTer(1), first);
    EXPECT_EQ(first->GetID(), 1u);

    pos = part.GetFirstViaPos();
    CVia* via = part.GetNextVia(pos);
    via->SetID(40);
    EXPECT_EQ(part.GetVia(40), via);
    EXPECT_EQ(part.GetTerViaNo(40), 1);
    EXPECT_EQ(part.GetTerViaNo(41), 0);
    EXPECT_TRUE(part.IsViaTH(40, 1));
    part.SetViaTH(40, 1, 0);
    EXPECT_FALSE(part.IsViaTH(40, 1));
    part.SetViaTH(40, 1, 1);
    EXPECT_TRUE(part.IsViaTH(40, 1));
    EXPECT_FALSE(part.IsViaTH(41, 1));
}

TEST_F(PartItemsTest, IdAndNetResets)
{
    CPart part = TwoPins();
    part.SetID(7);
    POSITION pos = part.GetFirstViaPos();
    CVia* via = part.GetNextVia(pos);
    via->SetLayerID(0x105, 1);
    part.ResetID();
    EXPECT_EQ(part.GetID(), 0u);
    EXPECT_EQ(via->GetLayerID(1), 0u);

    pos = part.GetFirstTerPos();
    CTer* a = part.GetNextTer(pos);
    CTer* b = part.GetNextTer(pos);
    a->SetNetID(11);
    b->SetNetID(12);
    const std::vector<std::uint32_t> groups = {20, 11, 0, 30, 99, 12, 0};
    part.ResetTerDisNetID(&groups);
    EXPECT_EQ(a->GetNetID(), 20u);
    EXPECT_EQ(b->GetNetID(), 30u);
    a->SetNetCondition(1);
    part.ResetTerDisNetID();
    EXPECT_EQ(a->GetNetID(), 0u);
    EXPECT_FALSE(a->IsNetOn());

    part.NewText(CText("#note one", CDPoint(0, 0), 0));
    part.NewText(CText("keep #note", CDPoint(0, 0), 0));
    part.DeleteText("#note");
    EXPECT_EQ(part.GetKindCount(KIND_TEXT), 1);
}

TEST_F(PartItemsTest, ComposeTakesTheSheetButNotItsVias)
{
    CSheet sheet(0, 0, PartBoard::kTop, &board.doc);
    sheet.NewLand(CDPoint(2, 2), PartBoard::kPad)->SetID(0x205);
    sheet.NewLand(CDPoint(1, 1), PartBoard::kPad);
    sheet.NewLine(CDPoint(1, 1), CDPoint(2, 2), PartBoard::kTrack, 0);
    sheet.NewVia(CVia(CDPoint(4, 4), 1, nullptr, 0x3));
    CPart part;
    part.AddItem(sheet);
    EXPECT_EQ(part.GetKindCount(KIND_LAND), 2);
    EXPECT_EQ(part.GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(part.GetKindCount(KIND_VIA), 0);
    POSITION pos = part.GetFirstLandPos();
    EXPECT_EQ(part.GetNextLand(pos)->GetID(), 0u);

    // An ORIGIN sheet makes the first land after sorting the origin.
    CSheet origin(0, PLC_ORIGIN, PartBoard::kOriginA, &board.doc);
    origin.NewLand(CDPoint(3, 3), PartBoard::kPad);
    origin.NewLand(CDPoint(1, 0), PartBoard::kPad);
    part.AddItem(origin);
    EXPECT_EQ(part.GetOrg(), CDPoint(1, 0));

    // Nothing happens for an empty sheet.
    CSheet empty(0, PLC_ORIGIN, PartBoard::kOriginA, &board.doc);
    part.AddItem(empty);
    EXPECT_EQ(part.GetOrg(), CDPoint(1, 0));
}

TEST_F(PartItemsTest, ExplodeMovesTheLayersItemsAndTheOrigin)
{
    // A layer that holds none of the part's items changes nothing.
    CPart part = TwoPins();
    part.SetOrg(CDPoint(0, 0));
    CSheet unrelated(0, PLC_TERM, 77, &board.doc);
    part.BreakItem(unrelated);
    EXPECT_EQ(unrelated.GetItemCount(), 0);
    EXPECT_EQ(part.GetOrg(), CDPoint(0, 0));
    EXPECT_EQ(part.GetTerCount(), 2);

    // Exploding the TERM layer of a part whose ORIGIN land is gone puts the origin on the name.
    CPart noMark = TwoPins();
    noMark.ExpItem(PLC_ORIGIN, &board.doc);
    CSheet term(0, PLC_TERM, PartBoard::kTermA, &board.doc);
    noMark.BreakItem(term);
    EXPECT_EQ(term.GetCount(ID_INPUT_TER), 2);
    // The copper the terminals leave behind gets virtual terminals of its own.
    for (POSITION p = noMark.GetFirstTerPos(); p;)
        EXPECT_TRUE(noMark.GetNextTer(p)->IsVirtualTer());
    EXPECT_EQ(noMark.GetOrg(), CDPoint(1, 2));
    POSITION pos = term.GetFirstTerPos();
    EXPECT_EQ(term.GetNextTer(pos)->GetID(), 0u);

    // With the mark still there, the origin stays.
    CPart marked = TwoPins();
    CSheet term2(0, PLC_TERM, PartBoard::kTermA, &board.doc);
    marked.BreakItem(term2);
    EXPECT_EQ(marked.GetOrg(), CDPoint(0, 0));

    // Exploding the ORIGIN layer moves the origin to the first remaining terminal.
    CPart moved = TwoPins();
    moved.SetOrg(CDPoint(9, 9));
    CSheet origin(0, PLC_ORIGIN, PartBoard::kOriginA, &board.doc);
    moved.BreakItem(origin);
    EXPECT_EQ(origin.GetCount(ID_INPUT_LAND), 1);
    EXPECT_EQ(moved.GetOrg(), CDPoint(0, 0));
}

TEST_F(PartItemsTest, ExplodedNamedTextsAreCopiedAndHidden)
{
    CPart part = TwoPins();
    part.GetPartNameText()->Disp(0);
    CSheet silk(0, 0, PartBoard::kSilkTextA, &board.doc);
    part.BreakItem(silk);
    // The value is empty (so visible): it goes too, the hidden name does not.
    EXPECT_EQ(silk.GetCount(ID_INPUT_TEXT), 2);
    EXPECT_FALSE(part.GetRefNameText()->IsDisp());
    EXPECT_EQ(part.GetRefName(), "R1");
    POSITION pos = silk.GetFirstTextPos();
    EXPECT_EQ(silk.GetNextText(pos)->GetName(), "R1");
}

TEST_F(PartItemsTest, RemovingPartLayersCollectsTheirCodes)
{
    CPart part = TwoPins();
    const int type = part.GetType();
    part.ExpItem(0, &board.doc);
    EXPECT_EQ(part.GetType(), type);
    EXPECT_EQ(part.GetKindCount(KIND_LINE), 1);

    part.ExpItem(PLC_SILKLINE, &board.doc);
    EXPECT_EQ(part.GetKindCount(KIND_LINE), 0);
    EXPECT_EQ(part.GetType(), static_cast<int>(PART_EXPLODED | static_cast<int>(PLC_SILKLINE)));
    // Everything else stays on its board layer.
    POSITION pos = part.GetFirstLandPos();
    EXPECT_EQ(part.GetNextLand(pos)->GetLayerNo(), PartBoard::kTop);

    // A wiring position is compared for equality; its code is not collected.
    part.NewLand(CDPoint(1, 1), PartBoard::kPad)->SetLayerNo(PartBoard::kBottom);
    // The type keeps only its low half and what this removal collected.
    part.ExpItem(2, &board.doc);
    EXPECT_EQ(part.GetKindCount(KIND_LAND), 3);
    EXPECT_EQ(part.GetType(), static_cast<int>(PART_EXPLODED));
    part.ExpItem(1, &board.doc);
    EXPECT_EQ(part.GetKindCount(KIND_LAND), 1);

    // Virtual terminals stay.
    CPart withVirtual = TwoPins();
    withVirtual.NewLine(CDPoint(8, 8), CDPoint(9, 8), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    withVirtual.ReCalcTerID(&board.doc);
    ASSERT_EQ(withVirtual.GetTerCount(), 3);
    withVirtual.ExpItem(PLC_TERM, &board.doc);
    ASSERT_EQ(withVirtual.GetTerCount(), 1);
    POSITION v = withVirtual.GetFirstTerPos();
    EXPECT_TRUE(withVirtual.GetNextTer(v)->IsVirtualTer());
}

TEST_F(PartItemsTest, NextOriginWalksTheLandsOfTheLayer)
{
    CPart part = TwoPins();
    EXPECT_EQ(part.GetNextOrg(PartBoard::kTop), CDPoint(2.54, 0));
    EXPECT_EQ(part.GetNextOrg(PartBoard::kTop), CDPoint(0, 0));
    // One land on the layer: the origin stays.
    part.SetOrg(CDPoint(0, 0));
    EXPECT_EQ(part.GetNextOrg(PartBoard::kOriginA), CDPoint(0, 0));
    // No land on the origin: nothing moves.
    part.SetOrg(CDPoint(7, 7));
    EXPECT_EQ(part.GetNextOrg(PartBoard::kTop), CDPoint(7, 7));
}

TEST_F(PartItemsTest, CopiesOfOneLayerIntoSheets)
{
    CPart part = TwoPins();
    part.NewLand(CDPoint(6, 6), PartBoard::kThermal)->SetLayerNo(PartBoard::kTop);
    CSheet pads(0, 0x1, PartBoard::kTop, &board.doc);
    part.CorrectItem(&pads, 0, 1);
    EXPECT_EQ(pads.GetCount(ID_INPUT_LAND), 2);
    CSheet all(0, 0x1, PartBoard::kTop, &board.doc);
    part.CorrectItem(&all, 0, 0);
    EXPECT_EQ(all.GetCount(ID_INPUT_LAND), 3);
    // A sheet with a work layer also gets the via's land.
    CSheet wired(1, 0x3, PartBoard::kTop, &board.doc);
    part.CorrectItem(&wired, 0, 0);
    EXPECT_EQ(wired.GetCount(ID_INPUT_LAND), 4);

    CSheet except(0, 0, PartBoard::kTop, &board.doc);
    POSITION pos = part.GetFirstLandPos();
    part.GetItem(except, part.GetNextLand(pos));
    EXPECT_EQ(except.GetCount(ID_INPUT_LAND), 2);

    std::vector<CText*> texts;
    part.GetTextList(&texts, PartBoard::kSilkTextA);
    EXPECT_EQ(texts.size(), 3u);
    part.GetRefNameText()->Disp(0);
    texts.clear();
    part.GetTextList(&texts, PartBoard::kSilkTextA);
    EXPECT_EQ(texts.size(), 2u);
}

TEST_F(PartItemsTest, TerminalLinksFromTheSideBufferAndMerges)
{
    const ScopedTerNetHooks noGroups{TerNetHooks{}};
    int g1 = 0, g2 = 0, g3 = 0;
    CNetLine* a = reinterpret_cast<CNetLine*>(&g1);
    CNetLine* b = reinterpret_cast<CNetLine*>(&g2);
    CNetLine* c = reinterpret_cast<CNetLine*>(&g3);
    board.doc.findNetLine = [&](int id) -> CNetLine* { return id == 0x101 ? a : id == 0x201 ? b : nullptr; };

    CPart part = TwoPins();
    POSITION pos = part.GetFirstTerPos();
    CTer* first = part.GetNextTer(pos);
    CTer* second = part.GetNextTer(pos);
    first->ModifyType(TER_HAS_NETLINE, TER_HAS_NETLINE);
    CArchive side(CArchive::store);
    side << std::int32_t(3) << std::int32_t(0x101) << std::int32_t(0x301) << std::int32_t(0x201);
    CArchive in(CArchive::load, side.Data());
    in.SetDocument(&board.doc);
    part.SetTerNetLine(in);
    EXPECT_EQ(first->GetNetCount(), 2);
    EXPECT_EQ(second->GetNetCount(), 0);

    // Groups b and c are merged into a: links to them move to a, once.
    second->AddTailNetLine(c);
    std::vector<CNetLine*> merged = {a, b, c};
    part.ChangeTerNetLine(&merged);
    EXPECT_EQ(first->GetNetCount(), 1);
    EXPECT_EQ(first->GetHeadNetLine(), a);
    EXPECT_EQ(second->GetNetCount(), 1);
    EXPECT_EQ(second->GetHeadNetLine(), a);

    // A count the buffer cannot hold is refused.
    CArchive bad(CArchive::store);
    bad << std::int32_t(100);
    CArchive badIn(CArchive::load, bad.Data());
    EXPECT_THROW(part.SetTerNetLine(badIn), ArchiveError);
}

} // namespace
