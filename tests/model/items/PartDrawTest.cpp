// Part drawing on the recording context: the items of one layer in their order, hollow brushes
// for the outline classes, terminal numbers that would overlap left out, terminals in their net's
// colour, vias by the layer's type word, holes with the stock brush, visibility.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PartDrawTest : public ItemDrawFixture
{
protected:
    PartDrawTest()
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[5] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        tagVIA entry;
        entry.drill = 0.4;
        entry.lands.fill(1);
        doc.viaTable[1] = entry;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;

        part.SetRefName(Text("U1", CDPoint(1, 4), 1));
        part.SetValue(Text("74HC00", CDPoint(1, 5), 2)); // another layer
        part.NewLine(Layered(CLine(CDPoint(1, 1), CDPoint(3, 1), 5, 0), 1));
        part.NewLine(Layered(CLine(CDPoint(1, 8), CDPoint(3, 8), 5, 0), 2));
        part.NewLand(Layered(CLand(CDPoint(5, 5), 1), 1));
        part.NewLand(Layered(CLand(CDPoint(5, 8), 1), 2));
        part.NewHole(Layered(CHole(CDPoint(5, 5), 0.5, true, 0, 0, 0), 1));
        part.NewText(Text("FREE", CDPoint(1, 3), 1));
        // The numbers of the first two terminals overlap; the third stands apart.
        for (const auto& [x, number] : {std::pair{2.0, "1"}, std::pair{2.1, "2"}, std::pair{6.0, "3"}}) {
            CTer ter(CDPoint(x, 2), Text(number, CDPoint(x + 0.2, 2.2), 1), 0);
            ter.SetLayerNo(1);
            ter.SetNetID(7);
            part.NewTer(ter);
        }
        part.NewVia(CVia(CDPoint(7, 7), 1, &doc, 0b1));
    }

    template <class T> static T Layered(T item, int layer)
    {
        item.SetLayerNo(layer);
        return item;
    }
    static CText Text(const char* s, const CDPoint& at, int layer)
    {
        CText text(s, at, 0);
        text.SetLayerNo(layer);
        return text;
    }

    std::string Draw(int mode, int layer, int layerType, int viaArg = 1)
    {
        return Record([&] { part.DrawPart(&dc, mode, layer, layerType, viaArg); });
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& call : dc.CallsOf(Kind::TextOut))
            texts.push_back(call.text);
        return texts;
    }

    CPart part;
};

TEST_F(PartDrawTest, ItemsOfTheLayerInOrder)
{
    const std::string calls = Draw(1, 1, 0x1);
    // Named texts, terminal numbers (the second one left out), free texts.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"U1", "1", "3", "FREE"}));
    // Hollow brush around the named texts; the crosses of all three terminals; the line; the land
    // as a mark; the via's land; the hole filled with the black stock brush, which is put back.
    const std::string hollow = kNullBrush;
    EXPECT_EQ(calls.substr(0, hollow.size()), hollow);
    EXPECT_NE(calls.find("MoveTo(190,190)\nLineTo(210,210)"), std::string::npos);
    EXPECT_NE(calls.find("MoveTo(200,190)\nLineTo(220,210)"), std::string::npos);
    EXPECT_NE(calls.find("MoveTo(590,190)\nLineTo(610,210)"), std::string::npos);
    const std::size_t line = calls.find("MoveTo(100,100)\nLineTo(300,100)\n");
    const std::size_t land = calls.find("MoveTo(500,500)\nLineTo(500,550)\n");
    const std::size_t via = calls.find("MoveTo(700,700)\nLineTo(700,750)\n");
    const std::size_t hole =
        calls.find("SelectBrush(style=0, RGB(0,0,0))\nEllipse(475,475,525,525)\n" + std::string(kWhiteBrush));
    EXPECT_LT(calls.find("TextOut"), line);
    EXPECT_LT(line, land);
    EXPECT_LT(land, via);
    EXPECT_LT(via, hole);
    EXPECT_NE(hole, std::string::npos);
    // Nothing of layer 2.
    EXPECT_EQ(calls.find("MoveTo(100,800)"), std::string::npos);
    EXPECT_EQ(calls.find("MoveTo(500,800)"), std::string::npos);

    // Layer 2 has the value text, its line and land, and the vias again.
    Draw(1, 2, 0x1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"74HC00"}));
    EXPECT_EQ(dc.Count(Kind::Ellipse), 0u);

    // The filled class keeps the caller's brush for the texts.
    EXPECT_NE(Draw(4, 1, 0x1).rfind(hollow, 0), 0u);
}

TEST_F(PartDrawTest, VisibilityByTheLayerTypeWord)
{
    struct Case
    {
        const char* name;
        int layerType;
        bool via;
    };
    const Case cases[] = {
        {"wiring layer", 0x1, true}, {"resist layer", 0x100000, true}, {"drill view", 0x10000, true},
        {"other layer", 0x2, false}, {"no vias", 0x41, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Layer 3 holds nothing but the vias, which belong to every layer.
        Draw(4, 3, c.layerType);
        EXPECT_EQ(dc.Count(Kind::Ellipse) + dc.Count(Kind::Arc) > 0, c.via);
    }
}

TEST_F(PartDrawTest, PlacedTerminalsTakeTheirNetsColour)
{
    // Links kept on the terminals' side only: the groups here are stand-ins.
    const ScopedTerNetHooks oneWay{TerNetHooks{}};
    CSheet sheet(1, 0x1, 1, &doc);
    part.SetParent(&sheet);
    doc.netColors[7] = RGB(1, 2, 3);
    int group = 0;
    for (auto pos = part.GetFirstTerPos(); pos;)
        part.GetNextTer(pos)->AddTailNetLine(reinterpret_cast<CNetLine*>(&group));
    const std::string net = "SelectPen(style=0x0, width=0, RGB(1,2,3))\n";

    // Not placed: the caller's pen.
    EXPECT_EQ(Draw(1, 1, 0x1).find(net), std::string::npos);

    part.SetType(part.GetType() | PART_PLACED);
    const std::string calls = Draw(1, 1, 0x1);
    EXPECT_NE(calls.find(net + "MoveTo(190,190)"), std::string::npos);
    EXPECT_EQ(dc.CallsOf(Kind::SelectPen).size(), 6u); // three terminals, each put back

    // A terminal without copper links keeps the caller's pen.
    POSITION first = part.GetFirstTerPos();
    part.GetNextTer(first)->RemoveAllNetLine();
    EXPECT_EQ(Draw(1, 1, 0x1).find(net + "MoveTo(190,190)"), std::string::npos);
    // The stand-in links go while the stand-in hooks are in place.
    for (auto pos = part.GetFirstTerPos(); pos;)
        part.GetNextTer(pos)->RemoveAllNetLine();
    part.ResetParent();
}

TEST_F(PartDrawTest, NothingOutsideTheVisibleArea)
{
    dc.SetClipBox(CRect(740, 740, 800, 800));
    EXPECT_NE(Draw(1, 1, 0x1), "");
    dc.SetClipBox(CRect(900, 900, 1000, 1000));
    EXPECT_EQ(Draw(1, 1, 0x1), "");
}

} // namespace
