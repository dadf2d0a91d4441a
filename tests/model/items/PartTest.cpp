// Part item: construction, copy and comparison, part-layer codes, the binary record with the board
// and library version rules, and the text form.

#include "model/items/Part.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "platform/Archive.h"
#include "tests/support/PartBoard.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;

// Layers of a side: the first of a pair for the component side, the second for the other.
struct Side
{
    bool top;
    int Pick(int a, int b) const { return top ? a : b; }
};

// A part with an item of every kind, copper on both wiring layers, on one side of the board.
std::unique_ptr<CPart> SamplePart(Side side)
{
    auto part = std::make_unique<CPart>(CDPoint(10, 20), CDRect(8, 18, 16, 24), 3, 0x640007, 0.0, 0);
    part->SetType(side.top ? 0 : PART_OTHER_SIDE);
    part->SetPartName("DIP8");
    part->SetRefName("U1");
    part->SetValue("74HC00");
    for (CText* t : {part->GetPartNameText(), part->GetRefNameText(), part->GetValNameText()})
        t->SetLayerNo(side.Pick(PartBoard::kSilkTextA, PartBoard::kSilkTextB));
    const int term = side.Pick(PartBoard::kTermA, PartBoard::kTermB);
    part->NewTer(CDPoint(10, 20), CText("1", CDPoint(10, 20), 0))->SetLayerNo(term);
    part->NewTer(CDPoint(12.54, 20), CText("2", CDPoint(12.54, 20), 0))->SetLayerNo(term);
    part->NewLand(CDPoint(10, 20), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
    part->NewLand(CDPoint(12.54, 20), PartBoard::kPad)->SetLayerNo(PartBoard::kBottom);
    part->NewLine(CDPoint(10, 20), CDPoint(10, 23), PartBoard::kTrack, 0)->SetLayerNo(PartBoard::kTop);
    part->NewLine(CDPoint(9, 19), CDPoint(13.5, 19), PartBoard::kTrack, 0)
        ->SetLayerNo(side.Pick(PartBoard::kSilkLineA, PartBoard::kSilkLineB));
    part->NewArc(CArc(CDPoint(12.54, 20), 0.5, 0.0, kPi, 0, PartBoard::kTrack))
        ->SetLayerNo(PartBoard::kBottom);
    part->NewHole(CDPoint(10, 20), 0.8, true, 0.0, 0.0, 0.0)
        ->SetLayerNo(side.Pick(PartBoard::kHoleA, PartBoard::kHoleB));
    // A free text on the opposite silk layer of the pair.
    part->NewText(CText("&MAKER&ACME", CDPoint(9, 23), 0))
        ->SetLayerNo(side.Pick(PartBoard::kSilkLineB, PartBoard::kSilkLineA));
    CLine edges[4] = {CLine(CDPoint(14, 22), CDPoint(15, 22), PartBoard::kTrack, 0),
                      CLine(CDPoint(15, 22), CDPoint(15, 23), PartBoard::kTrack, 0),
                      CLine(CDPoint(15, 23), CDPoint(14, 23), PartBoard::kTrack, 0),
                      CLine(CDPoint(14, 23), CDPoint(14, 22), PartBoard::kTrack, 0)};
    CItemBaseList lines, arcs, none, texts;
    for (CLine& l : edges)
        lines.AddTail(&l);
    part->NewSur(CSur(lines, arcs, none, texts))->SetLayerNo(PartBoard::kTop);
    part->NewVia(CVia(CDPoint(16, 20), 1, nullptr, 0x3));
    return part;
}

// The layer of every contained item, kind by kind, and of the named texts.
std::vector<int> Layers(CPart& part)
{
    std::vector<int> out;
    for (CText* t : {part.GetPartNameText(), part.GetRefNameText(), part.GetValNameText()})
        out.push_back(t->GetLayerNo());
    for (POSITION pos = part.GetFirstTerPos(); pos;) {
        CTer* ter = part.GetNextTer(pos);
        out.push_back(ter->GetLayerNo());
        out.push_back(ter->GetNoText()->GetLayerNo());
    }
    for (POSITION pos = part.GetFirstLandPos(); pos;)
        out.push_back(part.GetNextLand(pos)->GetLayerNo());
    for (POSITION pos = part.GetFirstLinePos(); pos;)
        out.push_back(part.GetNextLine(pos)->GetLayerNo());
    for (POSITION pos = part.GetFirstArcPos(); pos;)
        out.push_back(part.GetNextArc(pos)->GetLayerNo());
    for (POSITION pos = part.GetFirstHolePos(); pos;)
        out.push_back(part.GetNextHole(pos)->GetLayerNo());
    for (POSITION pos = part.GetFirstTextPos(); pos;)
        out.push_back(part.GetNextText(pos)->GetLayerNo());
    for (POSITION pos = part.GetFirstSurPos(); pos;) {
        CSur* sur = part.GetNextSur(pos);
        out.push_back(sur->GetLayerNo());
        for (POSITION l = sur->GetFirstLinePos(); l;)
            out.push_back(sur->GetNextLine(l)->GetLayerNo());
    }
    return out;
}

std::vector<std::uint8_t> Write(CPart& part, FakeDocument* doc, int version)
{
    CArchive ar(CArchive::store);
    ar.SetDocument(doc);
    part.Serialize(ar, version);
    return ar.Data();
}

std::size_t Read(CPart& part, FakeDocument* doc, const std::vector<std::uint8_t>& bytes, int version)
{
    CArchive ar(CArchive::load, bytes);
    ar.SetDocument(doc);
    part.Serialize(ar, version);
    return ar.Remaining();
}

class PartTest : public ::testing::Test
{
protected:
    PartBoard board;
};

TEST_F(PartTest, ConstructorsSetOriginAreaAndPackageWords)
{
    const CPart blank;
    EXPECT_EQ(blank.GetKind(), KIND_PART);
    EXPECT_EQ(blank.GetLayerNo(), -1);
    EXPECT_EQ(blank.GetTurretNo(), -1);
    EXPECT_EQ(blank.GetPartNameText()->GetParent(), &blank);

    CPart part(CDPoint(1, 2), CDRect(0, 1, 4, 3), 7, 0x00640005, 1.0, 0x13);
    EXPECT_EQ(part.GetOrg(), CDPoint(1, 2));
    EXPECT_EQ(part.GetPackageMax(), 7u);
    EXPECT_EQ(part.GetPackage(), 5u);
    EXPECT_EQ(part.GetScale(), 100u);
    EXPECT_EQ(part.GetNetCount(), 0u);
    // Angle and type are left to the caller.
    EXPECT_EQ(part.GetType(), 0);
    part.SetPackage(9);
    EXPECT_EQ(part.GetPackage(), 9u);
    EXPECT_EQ(part.GetScale(), 100u);
    part.SetScale(50);
    EXPECT_EQ(part.GetPackageScale(), 0x00320009u);
}

TEST_F(PartTest, TypeBitsAnswerTheTests)
{
    CPart part;
    struct Case
    {
        int type;
        bool dip, smd, edge, circuit, component;
    } cases[] = {{0x0, true, false, false, true, true},
                 {0x1, false, true, false, true, true},
                 {0x2, false, false, true, true, true},
                 {0x13, false, false, false, false, false}};
    for (const Case& c : cases) {
        part.SetType(c.type);
        EXPECT_EQ(part.IsDIP(), c.dip) << c.type;
        EXPECT_EQ(part.IsSMD(), c.smd) << c.type;
        EXPECT_EQ(part.IsCardEdge(), c.edge) << c.type;
        EXPECT_EQ(part.IsCircuit(), c.circuit) << c.type;
        EXPECT_EQ(part.IsPartSide(), c.component) << c.type;
    }
}

TEST_F(PartTest, CopyOwnsItsOwnItemsAndTexts)
{
    auto part = SamplePart({true});
    CPart copy(*part);
    EXPECT_TRUE(copy == *part);
    EXPECT_TRUE(copy.Compare(*part));
    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_VIA, KIND_TEXT, KIND_HOLE, KIND_SUR, KIND_TER})
        EXPECT_EQ(copy.GetKindCount(kind), part->GetKindCount(kind)) << kind;
    POSITION a = copy.GetFirstLinePos(), b = part->GetFirstLinePos();
    CLine* mine = copy.GetNextLine(a);
    EXPECT_NE(mine, part->GetNextLine(b));
    EXPECT_EQ(mine->GetParent(), &copy);
    EXPECT_EQ(copy.GetRefNameText()->GetParent(), &copy);

    // Assignment replaces the items.
    CPart other;
    other.NewLine(CDPoint(0, 0), CDPoint(1, 1), 2, 0);
    other = copy;
    EXPECT_EQ(other.GetKindCount(KIND_LINE), 2);
}

TEST_F(PartTest, EqualityLooksAtCountsAndFieldsCompareAlsoAtTextsViasAndTerminals)
{
    auto part = SamplePart({true});
    CPart other(*part);
    other.SetAngle(0.5);
    EXPECT_FALSE(other == *part);

    CPart moved(*part);
    moved.SetOrg(CDPoint(10.0000005, 20));
    EXPECT_TRUE(moved == *part);

    // A different free text: equal, but not the same by Compare.
    CPart text(*part);
    POSITION first = text.GetFirstTextPos();
    text.GetNextText(first)->SetName(std::string("&MAKER&OTHER"));
    EXPECT_TRUE(text == *part);
    EXPECT_FALSE(text.Compare(*part));

    // The terminals' order does not matter to Compare. (Measuring gives texts without a turret
    // turret 0, so both parts are measured first.)
    part->GetBoundingRect();
    CPart reversed(*part);
    reversed.ExpItem(PLC_TERM, &board.doc);
    ASSERT_EQ(reversed.GetTerCount(), 0);
    for (POSITION pos = part->GetLastTerPos(); pos;)
        reversed.NewTer(*part->GetPrevTer(pos));
    reversed.SetType(part->GetType());
    EXPECT_TRUE(reversed.Compare(*part));
}

TEST_F(PartTest, LayerCodesFollowThePairsAndTheSide)
{
    for (const bool top : {true, false}) {
        auto part = SamplePart({top});
        const std::vector<int> before = Layers(*part);
        part->PartLayToID(&board.doc);
        POSITION pos = part->GetFirstLandPos();
        // Wiring layers are positions, the same from either side.
        EXPECT_EQ(part->GetNextLand(pos)->GetLayerNo(), 1);
        EXPECT_EQ(part->GetNextLand(pos)->GetLayerNo(), 2);
        EXPECT_EQ(part->GetRefNameText()->GetLayerNo(), static_cast<int>(PLC_SILKTEXT));
        pos = part->GetFirstTerPos();
        CTer* ter = part->GetNextTer(pos);
        EXPECT_EQ(ter->GetLayerNo(), static_cast<int>(PLC_TERM));
        EXPECT_EQ(ter->GetNoText()->GetLayerNo(), static_cast<int>(PLC_TERM));
        pos = part->GetFirstTextPos();
        EXPECT_EQ(part->GetNextText(pos)->GetLayerNo(), static_cast<int>(PLC_SILKLINE | PLC_OTHER_SIDE));
        pos = part->GetFirstSurPos();
        CSur* sur = part->GetNextSur(pos);
        POSITION l = sur->GetFirstLinePos();
        EXPECT_EQ(sur->GetNextLine(l)->GetLayerNo(), 1);
        part->IDToPartLay(&board.doc, 0);
        EXPECT_EQ(Layers(*part), before) << "side " << top;
    }
}

TEST_F(PartTest, BoardRecordRoundTripsItemsOnBothSides)
{
    for (const bool top : {true, false}) {
        auto part = SamplePart({top});
        // Copper that no terminal claims has virtual terminals; reading makes them again.
        part->ReCalcTerID(&board.doc);
        part->SetID(0x1234);
        part->GetRefNameText()->Print(0);
        const std::vector<int> before = Layers(*part);
        const std::vector<std::uint8_t> bytes = Write(*part, &board.doc, 6);
        // Writing leaves the part on its board layers again.
        EXPECT_EQ(Layers(*part), before);
        EXPECT_TRUE(part->GetRefNameText()->IsPrint());

        CPart read;
        EXPECT_EQ(Read(read, &board.doc, bytes, 6), 0u);
        EXPECT_TRUE(read.Compare(*part)) << "side " << top;
        EXPECT_EQ(Layers(read), before) << "side " << top;
        EXPECT_EQ(read.GetID(), 0x1234u);
        EXPECT_EQ(read.GetNetCount(), part->GetNetCount());
        POSITION pos = read.GetFirstLinePos();
        EXPECT_EQ(read.GetNextLine(pos)->GetParent(), &read);
    }
}

TEST_F(PartTest, BoardRecordBeginsWithTheFieldsAndStoresPartLayerCodes)
{
    CPart part(CDPoint(1, 2), CDRect(0, 1, 4, 3), 7, 0x640005, 0.0, 0);
    part.SetAngle(kPi / 2);
    part.SetType(PART_SMD);
    part.SetID(9);
    const std::vector<std::uint8_t> bytes = Write(part, &board.doc, 6);
    testing_support::Bytes expected;
    expected.Point(1, 2).Point(0, 3).Point(4, 1).I32(7).U32(0x640005).F64(kPi / 2).I32(PART_SMD).U32(9).I32(
        0);
    for (int i = 0; i < 8; ++i)
        expected.I32(0);
    EXPECT_EQ(bytes, expected.v);

    // The codes carry the items to the same roles on a board with other layer numbers.
    auto sample = SamplePart({true});
    const std::vector<std::uint8_t> record = Write(*sample, &board.doc, 6);
    PartBoard other;
    other.doc.SetWireLayers({40, 41});
    other.doc.SetPartLayer(PL_SILKTEXT, 50, 51);
    other.doc.SetPartLayer(PL_TERM, 60, 61);
    CPart moved;
    Read(moved, &other.doc, record, 6);
    EXPECT_EQ(moved.GetRefNameText()->GetLayerNo(), 50);
    POSITION pos = moved.GetFirstLandPos();
    EXPECT_EQ(moved.GetNextLand(pos)->GetLayerNo(), 40);
    EXPECT_EQ(moved.GetNextLand(pos)->GetLayerNo(), 41);
    pos = moved.GetFirstTerPos();
    EXPECT_EQ(moved.GetNextTer(pos)->GetLayerNo(), 60);
}

TEST_F(PartTest, RecordVersionsDecideIdAndLayerSwap)
{
    auto part = SamplePart({false});
    part->SetID(77);
    const std::vector<std::uint8_t> v6 = Write(*part, &board.doc, 6);

    CPart keep;
    Read(keep, &board.doc, v6, 6);
    EXPECT_EQ(keep.GetID(), 77u);

    // The library writes with version 1 and reads with 3: the id field is read and dropped, and a
    // part of the other side has its outer wiring layers exchanged.
    const std::vector<std::uint8_t> lib = Write(*part, &board.doc, 1);
    CPart fromLibrary;
    EXPECT_EQ(Read(fromLibrary, &board.doc, lib, 3), 0u);
    EXPECT_EQ(fromLibrary.GetID(), 0u);
    POSITION pos = fromLibrary.GetFirstLandPos();
    EXPECT_EQ(fromLibrary.GetNextLand(pos)->GetLayerNo(), PartBoard::kBottom);
    EXPECT_EQ(fromLibrary.GetNextLand(pos)->GetLayerNo(), PartBoard::kTop);

    // Version 1 has no id field at all: the same bytes less the id read as version 1.
    CPart plain(CDPoint(1, 2), CDRect(0, 1, 4, 3), 7, 5, 0.0, 0);
    plain.SetID(5);
    std::vector<std::uint8_t> bytes = Write(plain, &board.doc, 1);
    bytes.erase(bytes.begin() + 68, bytes.begin() + 72);
    CPart v1;
    EXPECT_EQ(Read(v1, &board.doc, bytes, 1), 0u);
    EXPECT_EQ(v1.GetPackage(), 5u);
    EXPECT_EQ(v1.GetID(), 0u);

    CPart v2;
    Read(v2, &board.doc, Write(plain, &board.doc, 2), 2);
    EXPECT_EQ(v2.GetID(), 0u);
}

TEST_F(PartTest, EveryTruncatedRecordIsRefusedAndLeavesThePart)
{
    auto part = SamplePart({true});
    for (const int version : {6, 3}) {
        const std::vector<std::uint8_t> bytes = Write(*part, &board.doc, version == 3 ? 1 : version);
        CPart target(*part);
        testing_support::ExpectEveryTruncationRefused(bytes, [&](CArchive& ar) {
            ar.SetDocument(&board.doc);
            CPart read(CDPoint(5, 5), CDRect(0, 0, 1, 1), 1, 1, 0.0, 0);
            read.NewLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0);
            try {
                read.Serialize(ar, version);
            } catch (const ArchiveError&) {
                // A refused record leaves the part as it was.
                EXPECT_EQ(read.GetOrg(), CDPoint(5, 5));
                EXPECT_EQ(read.GetKindCount(KIND_LINE), 1);
                throw;
            }
        });
    }
}

TEST_F(PartTest, RecordWithoutADocumentIsReadAndKeepsNoItems)
{
    auto part = SamplePart({true});
    std::vector<std::uint8_t> bytes = Write(*part, &board.doc, 6);
    bytes.push_back(0xAB);
    CPart read;
    EXPECT_EQ(Read(read, nullptr, bytes, 6), 1u);
    EXPECT_EQ(read.GetRefName(), "U1");
    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_VIA, KIND_TEXT, KIND_HOLE, KIND_SUR, KIND_TER})
        EXPECT_EQ(read.GetKindCount(kind), 0) << kind;
}

TEST_F(PartTest, LibraryTextsAndEmptyNamesAreNotStored)
{
    CPart part;
    part.NewText(CText("{VELTA index}", CDPoint(0, 0), 0))->SetLayerNo(PartBoard::kSilkLineA);
    part.NewText(CText("kept", CDPoint(0, 0), 0))->SetLayerNo(PartBoard::kSilkLineA);
    const std::vector<std::uint8_t> bytes = Write(part, &board.doc, 6);
    // Presence mask 0: no text records follow it.
    EXPECT_EQ(bytes[72], 0);
    CPart read;
    Read(read, &board.doc, bytes, 6);
    ASSERT_EQ(read.GetKindCount(KIND_TEXT), 1);
    POSITION pos = read.GetFirstTextPos();
    EXPECT_EQ(read.GetNextText(pos)->GetName(), "kept");

    // An angle outside [0, 2 pi) comes back normalised.
    part.SetAngle(-kPi / 2);
    CPart turned;
    Read(turned, &board.doc, Write(part, &board.doc, 6), 6);
    EXPECT_NEAR(turned.GetAngle(), 3 * kPi / 2, 1e-12);
}

TEST_F(PartTest, TextFormWritesCodesAndReadsBack)
{
    CPart part(CDPoint(1, 2), CDRect(0, 1, 4, 3), 7, 5, 0.0, 0);
    part.SetAngle(kPi);
    part.SetType(PART_SMD);
    part.SetID(3);
    part.SetRefName("R1");
    part.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
    part.NewLand(CDPoint(1, 2), PartBoard::kPad)->SetLayerNo(PartBoard::kBottom);
    part.NewTer(CDPoint(1, 2), CText("1", CDPoint(1, 2), 0))->SetLayerNo(PartBoard::kTermA);

    const std::string text = part.GetTextLines(&board.doc);
    const std::string head =
        "Part 1.000000 2.000000 0.000000 3.000000 4.000000 1.000000 7 5 180.000000 1 3\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\nName \"\""), std::string::npos);
    EXPECT_NE(text.find("\nRef \"R1\""), std::string::npos);
    EXPECT_EQ(text.find("\nVal "), std::string::npos);
    EXPECT_NE(text.find("Land "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 8), "PartEnd\n");
    // The part itself stays on its board layers.
    EXPECT_EQ(part.GetRefNameText()->GetLayerNo(), PartBoard::kSilkTextA);

    // Read back the way the layer text reader does.
    CPart read(head.c_str());
    EXPECT_EQ(read.GetOrg(), CDPoint(1, 2));
    EXPECT_NEAR(read.GetAngle(), kPi, 1e-12);
    EXPECT_EQ(read.GetType(), PART_SMD);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    CTer* lastTer = nullptr;
    for (const std::string& line : lines) {
        if (line.rfind("Ref ", 0) == 0)
            read.SetRefName(line.c_str() + 4);
        else if (line.rfind("Land ", 0) == 0)
            read.NewLand(CLand(line.c_str()));
        else if (line.rfind("Ter ", 0) == 0)
            lastTer = read.NewTer(CTer(line.c_str()));
        else if (line.rfind("No ", 0) == 0)
            lastTer->SetName(line.c_str() + 3);
    }
    CArchive ar(CArchive::load);
    ar.SetDocument(&board.doc);
    read.SerializeText(ar);
    EXPECT_EQ(read.GetRefName(), "R1");
    EXPECT_EQ(read.GetRefNameText()->GetLayerNo(), PartBoard::kSilkTextA);
    POSITION pos = read.GetFirstLandPos();
    EXPECT_EQ(read.GetNextLand(pos)->GetLayerNo(), PartBoard::kBottom);
    pos = read.GetFirstTerPos();
    CTer* ter = read.GetNextTer(pos);
    EXPECT_EQ(ter->GetNo(), "1");
    EXPECT_EQ(ter->GetLayerNo(), PartBoard::kTermA);
    EXPECT_EQ(ter->GetNoText()->GetLayerNo(), PartBoard::kTermA);
}

} // namespace
