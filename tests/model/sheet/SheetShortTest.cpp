// The copper clearance check of a sheet against its plain pairwise form on random boards, and
// the cases that show what is compared with what: runs of shorted ids, grown rectangles, plane
// mode, plane lands of vias, markers.

#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/TerminalLinks.h"
#include "tests/support/ContactFixture.h"
#include "tests/support/ErrorPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kViaNo = 1;
constexpr int kTopW = 1, kPlaneW = 2;
constexpr int kTopBits = 0x3;   // wiring, first layer
constexpr int kPlaneBits = 0x9; // wiring, negative
constexpr int kTermA = 20, kTermB = 21;

bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

CDRect GrownBy(CDRect r, double d)
{
    r.InflateRect(d);
    return r;
}

std::vector<CNetLine*> GroupsOf(CSheet& sheet)
{
    std::vector<CNetLine*> lines;
    for (auto pos = sheet.GetFirstNetLinePos(); pos;)
        lines.push_back(sheet.GetNextNetLine(pos));
    return lines;
}

std::vector<CPart*> PartsOf(CSheet& viaPart)
{
    std::vector<CPart*> parts;
    for (POSITION pos = viaPart.GetFirstPartPos(); pos;)
        parts.push_back(viaPart.GetNextPart(pos));
    return parts;
}

template <class T, class F> void Each(CSheet& sheet, int kind, F&& f)
{
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
        f(static_cast<T*>(sheet.GetNextItem(kind, pos)));
}

class SheetShortTest : public ContactTest
{
protected:
    SheetShortTest()
    {
        tagVIA via;
        via.drill = 0.6;
        via.lands[0] = via.lands[10] = T_PAD1;
        via.lands[1] = via.lands[11] = T_PAD;
        via.lands[5] = T_PAD1;
        via.lands[6] = T_PAD;
        via.lands[8] = T_THERMAL; // plane, wired
        via.lands[9] = T_MM;      // plane, clearance
        doc.viaTable[kViaNo] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        doc.SetPartLayer(PL_TERM, kTermA, kTermB);
        top.SetSheetType(SHEET_BOARD);
        plane.SetSheetType(SHEET_BOARD);
        viaPart.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[0] = &top;
        doc.boardSheets[1] = &plane;
        doc.boardSheets[LAYER_MAX] = &viaPart;
        doc.layerTypeWords[1] = kPlaneBits;
        doc.currentLayer = 5; // no hole sheet
        rule.partClearance = 0.25;
    }

    // A part whose pads (on both layers) are its terminals 1..pads; its net count follows them.
    CPart* AddPart(const std::vector<CDPoint>& pads, int turret, int planeTurret)
    {
        CPart part;
        for (std::size_t i = 0; i < pads.size(); ++i) {
            const std::string number = std::to_string(i + 1);
            part.NewLand(pads[i], turret)->SetLayerNo(0);
            part.NewLand(pads[i], planeTurret)->SetLayerNo(1);
            part.NewTer(pads[i], CText(number, pads[i], 0))->SetLayerNo(kTermA);
        }
        CPart* stored = viaPart.NewPart(part);
        stored->ReCalcTerID(&doc);
        EXPECT_EQ(stored->GetNetCount(), pads.size());
        stored->CalcNetBoundRect(&doc);
        return stored;
    }

    void RandomBoard(unsigned seed)
    {
        std::mt19937 rng(seed);
        const double side = 10.0;
        auto grid = [&](double lo, double hi) {
            const int steps = static_cast<int>((hi - lo) / 0.25);
            return lo + 0.25 * static_cast<double>(rng() % static_cast<unsigned>(steps + 1));
        };
        auto point = [&] { return CDPoint(grid(0, side), grid(0, side)); };
        auto pick = [&](std::initializer_list<int> values) {
            return *(values.begin() + rng() % values.size());
        };
        // Every tenth board is dense: its groups grow large enough to be checked through indexes.
        const int density = seed % 10 == 0 ? 8 : 1;
        for (CSheet* sheet : {&top, &plane}) {
            const bool isPlane = sheet == &plane;
            for (int i = (6 + static_cast<int>(rng() % 14)) * density; i > 0; --i) {
                const CDPoint a = point();
                const CDPoint b(a.x + grid(-3, 3), a.y + grid(-3, 3));
                if (!(a == b))
                    sheet->NewLine(a, b, pick({T_LINE, T_FINE, T_SQLINE}), 0);
            }
            for (int i = static_cast<int>(rng() % 7); i > 0; --i)
                sheet->NewLand(point(), isPlane ? pick({T_PAD, T_THERMAL, 0, T_DONUT})
                                                : pick({T_PAD, T_SQUARE, T_MM}));
            for (int i = static_cast<int>(rng() % 4); i > 0; --i) {
                const double start = static_cast<double>(rng() % 8) * 0.785398163397448;
                const double sweep = static_cast<double>(1 + rng() % 6) * 0.785398163397448;
                sheet->NewArc(point(), grid(0.5, 2), start, start + sweep, 0, pick({T_LINE, T_FINE}));
            }
            for (int i = static_cast<int>(rng() % 3); i > 0; --i) {
                const CDPoint a = point();
                const double w = grid(0, 2), h = grid(0.5, 2); // some without width
                const CDPoint pts[4] = {a, CDPoint(a.x + w, a.y), CDPoint(a.x + w, a.y + h),
                                        CDPoint(a.x, a.y + h)};
                CSur sur;
                for (int k = 0; k < 4; ++k)
                    sur.AddLine(std::make_unique<CLine>(pts[k], pts[(k + 1) % 4], T_FINE, 0));
                sur.SetTurretNo(T_FINE, true);
                sheet->NewSur(sur);
            }
        }
        for (int i = static_cast<int>(rng() % 9) * density; i > 0; --i)
            viaPart.NewVia(point(), kViaNo, rng() % 2 ? 0x3 : 0x1);
        for (int p = 1 + static_cast<int>(rng() % 3); p > 0; --p) {
            std::vector<CDPoint> pads;
            for (int i = 2 + static_cast<int>(rng() % 3); i > 0; --i)
                pads.push_back(point());
            AddPart(pads, pick({T_PAD, T_PAD1, T_SQUARE}), pick({T_THERMAL, T_PAD}));
        }
    }

    // Connectivity of both layers as the design rule check builds it, the parts linked one by one
    // or all at once; the group array it makes.
    std::vector<std::uint32_t> Connect(bool atOnce)
    {
        for (CSheet* sheet : {&top, &plane, &viaPart})
            sheet->ResetNetID();
        std::vector<std::uint32_t> groups;
        for (CSheet* sheet : {&top, &plane}) {
            sheet->MakeGroup();
            sheet->CorrectID2NetLine();
            if (atOnce) {
                LinkPartTerminals(*sheet, PartsOf(viaPart), &groups);
                continue;
            }
            for (CPart* part : PartsOf(viaPart)) {
                if (sheet->IsNega())
                    sheet->SetTerNetIDNega(part, &groups);
                else
                    sheet->SetTerNetID(part, &groups);
            }
        }
        return groups;
    }

    // The group array of Connect with runs of random ids and a cut-short end added.
    std::vector<std::uint32_t> BuildGroups(std::mt19937& rng)
    {
        std::vector<std::uint32_t> groups = Connect(false);
        const std::vector<CNetLine*> lines = GroupsOf(top);
        auto anyId = [&] { return lines.empty() ? 0u : lines[rng() % lines.size()]->GetID(); };
        for (int i = static_cast<int>(rng() % 4); i > 0; --i) {
            if (rng() % 2)
                groups.insert(groups.end(), {0xFFFFFFFFu, 7u, 9u});
            for (int k = 1 + static_cast<int>(rng() % 3); k > 0; --k)
                groups.push_back(anyId());
            groups.push_back(0);
        }
        switch (rng() % 3) {
        case 0:
            groups.push_back(anyId()); // no final 0
            break;
        case 1:
            groups.insert(groups.end(), {0xFFFFFFFFu, 7u}); // a header cut short
            break;
        default:
            break;
        }
        return groups;
    }

    // The positive check as the pairwise text gives it.
    void PlainCheck(tagDRCSPEC& rules, CSheet& sheet, const std::vector<std::uint32_t>& groups)
    {
        rules.counter = 0;
        rules.sheet = &sheet;
        const std::vector<CNetLine*> lines = GroupsOf(sheet);
        // The run of the array that holds an id first: its ids.
        auto firstRun = [&](std::uint32_t id) {
            std::vector<std::uint32_t> run;
            std::size_t i = 0;
            while (i < groups.size()) {
                run.clear();
                std::size_t j = groups[i] == 0xFFFFFFFFu ? i + 3 : i;
                bool holds = false;
                for (; j < groups.size() && groups[j] != 0; ++j) {
                    run.push_back(groups[j]);
                    holds = holds || groups[j] == id;
                }
                if (holds)
                    return run;
                i = j + 1;
            }
            return std::vector<std::uint32_t>();
        };
        for (std::size_t m = 0; m < lines.size(); ++m) {
            const CDRect grown = GrownBy(lines[m]->GetBoundingRect(), rules.partClearance);
            const std::vector<std::uint32_t> run = firstRun(lines[m]->GetID());
            for (std::size_t t = m + 1; t < lines.size(); ++t) {
                if (std::find(run.begin(), run.end(), lines[t]->GetID()) != run.end())
                    continue;
                if (Meet(lines[t]->GetBoundingRect(), grown))
                    lines[m]->DRC_ShortCheck(&rules, lines[t]);
            }
        }
        const std::vector<CPart*> parts = PartsOf(viaPart);
        for (CPart* part : parts)
            part->DRC_ShortCheck(&rules, nullptr);
        for (std::size_t i = 0; i < parts.size(); ++i)
            for (std::size_t j = i + 1; j < parts.size(); ++j)
                parts[i]->DRC_ShortCheck(&rules, parts[j]);
        for (CPart* part : parts)
            for (POSITION pos = part->GetFirstTerPos(); pos;) {
                CTer* ter = part->GetNextTer(pos);
                CNetLine work(ter->GetID(), sheet.GetWLayer(), sheet.GetType());
                part->GetTerItem(sheet.GetLayerNo(), &work);
                const CDRect grown = GrownBy(work.GetBoundingRect(), rules.partClearance);
                for (CNetLine* line : lines)
                    if (!work.IsEmpty() && Meet(line->GetBoundingRect(), grown) && !ter->FindNetLine(line))
                        work.DRC_ShortCheck(&rules, line);
                work.DeleteContents();
            }
    }

    // The plane check as the text gives it, the parts' items gathered afresh for every pad.
    void PlainPlaneCheck(tagDRCSPEC& rules, CSheet& sheet)
    {
        rules.counter = 0;
        rules.sheet = &sheet;
        auto against = [&](CLand& pad, CSheet& on, const CItemBase* except) {
            const CDRect rect = pad.GetBoundingRect();
            for (int kind : {KIND_LINE, KIND_ARC, KIND_SUR, KIND_LAND, KIND_TEXT})
                Each<CItemBase>(on, kind, [&](CItemBase* other) {
                    if (other == except || !(kind == KIND_SUR || other->GetTurretNo() > 0) ||
                        !Meet(other->GetBoundingRect(), rect))
                        return;
                    tagPOINTFX at{};
                    if (pad.CheckTHShort(other, &at, rules.planeMode)) {
                        rules.errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(at.x)));
                        rules.errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(at.y)));
                        rules.errorPoints.push_back(contact::FixedWord(pad.GetPoint().x));
                        rules.errorPoints.push_back(contact::FixedWord(pad.GetPoint().y));
                    }
                });
        };
        auto check = [&](CItemBase* item) {
            CLand pad = item->GetKind() == KIND_VIA
                            ? static_cast<CVia*>(item)->GetLand(sheet.GetType(), sheet.GetWLayer(), 1)
                            : *static_cast<CLand*>(item);
            const CDRect rect = pad.GetBoundingRect();
            if (rect.IsRectEmpty())
                return;
            against(pad, sheet, item);
            CSheet vias;
            Each<CVia>(viaPart, KIND_VIA, [&](CVia* via) {
                CLand land = via->GetLand(sheet.GetType(), sheet.GetWLayer(), 1);
                if (via != item && land.GetTurretNo() != 0)
                    vias.NewLand(land);
            });
            against(pad, vias, nullptr);
            CSheet work(sheet.GetWLayer(), sheet.GetType(), sheet.GetLayerNo(), &doc);
            for (CPart* part : PartsOf(viaPart))
                part->GetItem(work, item);
            if (!work.IsEmpty())
                against(pad, work, nullptr);
        };
        Each<CLand>(sheet, KIND_LAND, [&](CLand* land) {
            if (land->IsTharmal())
                check(land);
        });
        Each<CVia>(viaPart, KIND_VIA, [&](CVia* via) {
            if (via->CheckWire(sheet.GetWLayer()))
                check(via);
        });
        for (CPart* part : PartsOf(viaPart)) {
            for (POSITION pos = part->GetFirstLandPos(); pos;) {
                CLand* land = part->GetNextLand(pos);
                if (land->GetLayerNo() == sheet.GetLayerNo() && land->IsTharmal())
                    check(land);
            }
            for (POSITION pos = part->GetFirstViaPos(); pos;) {
                CVia* via = part->GetNextVia(pos);
                if (via->CheckWire(sheet.GetWLayer()))
                    check(via);
            }
        }
    }

    // Every id the layers' copper carries.
    std::vector<std::uint32_t> Ids()
    {
        std::vector<std::uint32_t> ids;
        for (CSheet* sheet : {&top, &plane})
            for (int kind : {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR, KIND_TEXT})
                Each<CItemBase>(*sheet, kind, [&](CItemBase* item) { ids.push_back(item->GetID()); });
        Each<CVia>(viaPart, KIND_VIA, [&](CVia* via) {
            ids.insert(ids.end(), {via->GetID(), via->GetLayerID(kTopW), via->GetLayerID(kPlaneW)});
        });
        for (CPart* part : PartsOf(viaPart))
            for (POSITION pos = part->GetFirstTerPos(); pos;)
                ids.push_back(part->GetNextTer(pos)->GetDisNetID());
        return ids;
    }

    CSheet top{kTopW, kTopBits, 0, &doc};
    CSheet plane{kPlaneW, kPlaneBits, 1, &doc};
    CSheet viaPart{0, 0, LAYER_MAX, &doc};
};

TEST_F(SheetShortTest, ChecksOnRandomBoardsEqualTheirPairwiseForm)
{
    int found = 0, planeFound = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        for (CSheet* sheet : {&top, &plane, &viaPart})
            sheet->DeleteContents();
        RandomBoard(seed);
        std::mt19937 rng(seed * 7919u);
        std::vector<std::uint32_t> groups = BuildGroups(rng);
        const std::vector<std::uint32_t> ids = Ids();

        tagDRCSPEC checked = rule, plain = rule;
        checked.counter = plain.counter = 5;
        top.DRC_ShortCheck(&checked, &groups);
        EXPECT_EQ(Ids(), ids) << "the check changed ids";
        PlainCheck(plain, top, groups);
        ASSERT_EQ(checked.errorPoints, plain.errorPoints);
        EXPECT_EQ(checked.counter, 0);
        found += static_cast<int>(checked.errorPoints.size() / 4);

        tagDRCSPEC checkedPlane = rule, plainPlane = rule;
        checkedPlane.planeMode = plainPlane.planeMode = 1 + static_cast<int>(seed % 2);
        plane.DRC_ShortCheck(&checkedPlane, &groups);
        PlainPlaneCheck(plainPlane, plane);
        ASSERT_EQ(checkedPlane.errorPoints, plainPlane.errorPoints);
        planeFound += static_cast<int>(checkedPlane.errorPoints.size() / 4);
    }
    // The boards are dense enough that both checks find plenty.
    EXPECT_GT(found, 300);
    EXPECT_GT(planeFound, 100);
}

// Texts meet many items in one check, which keeps each text's strokes for all its pairs: the
// check still equals the pairwise form that converts the text for every pair.
TEST_F(SheetShortTest, ChecksWithTextsOnRandomBoardsEqualTheirPairwiseForm)
{
    int found = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        for (CSheet* sheet : {&top, &plane, &viaPart})
            sheet->DeleteContents();
        RandomBoard(seed);
        std::mt19937 rng(seed * 104729u);
        for (int i = 3 + static_cast<int>(rng() % 6); i > 0; --i) {
            const CDPoint at(0.25 * static_cast<double>(rng() % 40), 0.25 * static_cast<double>(rng() % 40));
            CText text("T" + std::to_string(rng() % 1000), at, rng() % 3 == 0 ? 0 : T_LINE);
            text.SetSize(100 + 50 * static_cast<int>(rng() % 3));
            top.NewText(text);
        }
        std::vector<std::uint32_t> groups = BuildGroups(rng);
        tagDRCSPEC checked = rule, plain = rule;
        top.DRC_ShortCheck(&checked, &groups);
        PlainCheck(plain, top, groups);
        ASSERT_EQ(checked.errorPoints, plain.errorPoints);
        found += static_cast<int>(checked.errorPoints.size() / 4);
    }
    EXPECT_GT(found, 60);
}

// Terminals that share an id share their work group, whose points the check gives again for
// each of them: parts left unnumbered (every pad, drill and terminal id 0), and numbered parts
// whose pins are tied in pairs. Each board's check still equals the pairwise form that gathers
// every terminal's group afresh.
TEST_F(SheetShortTest, ChecksWithTerminalsSharingIdsEqualTheirPairwiseForm)
{
    enum class Numbering
    {
        Unnumbered,
        TiedInPairs
    };
    struct Case
    {
        const char* name;
        Numbering numbering;
    };
    const Case cases[] = {{"unnumbered", Numbering::Unnumbered}, {"tied in pairs", Numbering::TiedInPairs}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int found = 0;
        for (unsigned seed = 1; seed <= 80; ++seed) {
            SCOPED_TRACE(seed);
            for (CSheet* sheet : {&top, &plane, &viaPart})
                sheet->DeleteContents();
            RandomBoard(seed);
            std::mt19937 rng(seed * 65537u);
            for (int p = 1 + static_cast<int>(rng() % 3); p > 0; --p) {
                CPart part;
                const int pads = 3 + static_cast<int>(rng() % 4);
                for (int i = 0; i < pads; ++i) {
                    const CDPoint at(0.25 * static_cast<double>(rng() % 41),
                                     0.25 * static_cast<double>(rng() % 41));
                    part.NewLand(at, i % 2 ? T_PAD1 : T_SQUARE)->SetLayerNo(0);
                    part.NewLand(at, T_THERMAL)->SetLayerNo(1);
                    part.NewHole(at, 0.5, true, 0.0, 0.0, 0.0);
                    part.NewTer(at, CText(std::to_string(i + 1), at, 0))->SetLayerNo(kTermA);
                }
                CPart* stored = viaPart.NewPart(part);
                if (c.numbering == Numbering::TiedInPairs) {
                    stored->ReCalcTerID(&doc);
                    // Each even terminal takes the id of the one before it, with its pads.
                    std::vector<CTer*> ters;
                    for (POSITION pos = stored->GetFirstTerPos(); pos;)
                        ters.push_back(stored->GetNextTer(pos));
                    for (std::size_t i = 1; i < ters.size(); i += 2) {
                        const std::uint32_t from = ters[i]->GetID(), to = ters[i - 1]->GetID();
                        ters[i]->SetID(to);
                        for (POSITION pos = stored->GetFirstLandPos(); pos;) {
                            CLand* land = stored->GetNextLand(pos);
                            if (land->GetID() == from)
                                land->SetID(to);
                        }
                        for (POSITION pos = stored->GetFirstHolePos(); pos;) {
                            CHole* hole = stored->GetNextHole(pos);
                            if (hole->GetID() == from)
                                hole->SetID(to);
                        }
                    }
                }
                stored->CalcNetBoundRect(&doc);
            }
            std::vector<std::uint32_t> groups = BuildGroups(rng);
            const std::vector<std::uint32_t> ids = Ids();
            tagDRCSPEC checked = rule, plain = rule;
            top.DRC_ShortCheck(&checked, &groups);
            EXPECT_EQ(Ids(), ids) << "the check changed ids";
            PlainCheck(plain, top, groups);
            ASSERT_EQ(checked.errorPoints, plain.errorPoints);
            found += static_cast<int>(checked.errorPoints.size() / 4);
        }
        EXPECT_GT(found, 200);
    }
}

// Linking all parts at once, with the large groups indexed, gives what linking them one by one
// gives: the group array, every id and each terminal's groups in order.
TEST_F(SheetShortTest, LinkingAllPartsAtOnceEqualsLinkingThemOneByOne)
{
    // Each from the board as made: linking leaves display ids that a second linking builds on.
    auto state = [&](unsigned seed, bool atOnce) {
        for (CSheet* sheet : {&top, &plane, &viaPart})
            sheet->DeleteContents();
        RandomBoard(seed);
        std::vector<std::uint32_t> all = Connect(atOnce);
        const std::vector<std::uint32_t> ids = Ids();
        all.insert(all.end(), ids.begin(), ids.end());
        for (CPart* part : PartsOf(viaPart))
            for (POSITION pos = part->GetFirstTerPos(); pos;) {
                CTer* ter = part->GetNextTer(pos);
                all.push_back(0xEEEEEEEEu);
                for (CTer::NetLinePos at = ter->GetFirstNetLinePos(); at;)
                    all.push_back(ter->GetNextNetLine(at)->GetID());
            }
        return all;
    };
    for (unsigned seed = 1; seed <= 100; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<std::uint32_t> oneByOne = state(seed, false);
        ASSERT_EQ(state(seed, true), oneByOne);
    }
}

// Two overlapping tracks far closer than the item rule allows, given ids 0x101 and 0x201.
class TwoGroupsTest : public SheetShortTest
{
protected:
    void Build(double gap)
    {
        top.NewLine({0, 0}, {5, 0}, T_LINE, 0);
        top.NewLine({0, 0.25 + gap}, {5, 0.25 + gap}, T_LINE, 0);
        top.ResetNetID();
        top.MakeGroup();
        top.CorrectID2NetLine();
        ASSERT_EQ(top.GetNetLineCount(), 2);
    }
};

TEST_F(TwoGroupsTest, IdsOfOneRunAreNeverCompared)
{
    Build(0.1);
    rule.netClearance = rule.plainClearance = 0.5;
    std::vector<std::uint32_t> none;
    tagDRCSPEC alone = rule;
    top.DRC_ShortCheck(&alone, &none);
    EXPECT_FALSE(alone.errorPoints.empty());

    // As a run of their own, after a run that names only one of them, and behind a header.
    for (const std::vector<std::uint32_t>& groups :
         {std::vector<std::uint32_t>{0x101, 0x201, 0},
          std::vector<std::uint32_t>{0xFFFFFFFFu, 3, 4, 0x201, 0x101}}) {
        tagDRCSPEC rules = rule;
        std::vector<std::uint32_t> array = groups;
        top.DRC_ShortCheck(&rules, &array);
        EXPECT_TRUE(rules.errorPoints.empty());
    }
    // Only the first run holding the first group's id counts.
    std::vector<std::uint32_t> later{0x101, 0x999, 0, 0x101, 0x201, 0};
    tagDRCSPEC rules = rule;
    top.DRC_ShortCheck(&rules, &later);
    EXPECT_EQ(rules.errorPoints, alone.errorPoints);
}

TEST_F(TwoGroupsTest, GroupsApartByMoreThanTheClearanceAreNotCompared)
{
    // 0.3 mm of copper between them: the items' rule (0.5) would report them, but the groups'
    // rectangles grown by 0.2 do not meet.
    Build(0.3);
    rule.netClearance = rule.plainClearance = 0.5;
    std::vector<std::uint32_t> none;
    rule.partClearance = 0.2;
    tagDRCSPEC apart = rule;
    top.DRC_ShortCheck(&apart, &none);
    EXPECT_TRUE(apart.errorPoints.empty());
    rule.partClearance = 0.4;
    tagDRCSPEC near = rule;
    top.DRC_ShortCheck(&near, &none);
    EXPECT_FALSE(near.errorPoints.empty());
}

TEST_F(SheetShortTest, APlaneIsCheckedOnlyWithAPlaneModeAndAViaByItsPlaneLand)
{
    // A via wired on the plane: its plane land is the 2 mm thermal, its wiring land 1 mm. A track
    // drawn 0.75 from the via's centre crosses the thermal only.
    viaPart.NewVia({5, 5}, kViaNo, 0x3);
    plane.NewLine({5.75, 3}, {5.75, 7}, T_FINE, 0);
    std::vector<std::uint32_t> none;
    tagDRCSPEC off = rule;
    off.planeMode = 0;
    off.errorPoints = {1, 2};
    plane.DRC_ShortCheck(&off, &none);
    EXPECT_EQ(off.errorPoints, (std::vector<std::uint32_t>{1, 2}));

    tagDRCSPEC on = rule;
    on.planeMode = 2;
    plane.DRC_ShortCheck(&on, &none);
    ASSERT_EQ(on.errorPoints.size(), 4u);
    EXPECT_EQ(ErrorPointsOf(on)[1], CDPoint(5, 5));

    // Moved to 1.25 away the track is off the thermal (which its wiring land never reached).
    plane.DeleteContents();
    plane.NewLine({6.25, 3}, {6.25, 7}, T_FINE, 0);
    tagDRCSPEC clear = rule;
    clear.planeMode = 2;
    plane.DRC_ShortCheck(&clear, &none);
    EXPECT_TRUE(clear.errorPoints.empty());
}

TEST_F(SheetShortTest, SetMarkPlacesALandAtEveryPointOfWholePairs)
{
    tagDRCSPEC rules = rule;
    CSheet marks;
    CDRect none = marks.SetMark(&rules, T_PAD);
    EXPECT_TRUE(none.IsRectNull());
    EXPECT_TRUE(marks.IsEmpty());

    rules.errorPoints = {0xFFFF8000u, 0x00018000u, 0x00020000u, 0x00030000u, 0x00050000u};
    const CDRect rect = marks.SetMark(&rules, T_PAD);
    ASSERT_EQ(marks.GetCount(ID_INPUT_LAND), 2);
    EXPECT_EQ(marks.GetHeadLand()->GetPoint(), CDPoint(-0.5, 1.5));
    EXPECT_EQ(marks.GetHeadLand()->GetTurretNo(), T_PAD);
    EXPECT_EQ(rect, CDRect(-0.75, 1.25, 2.25, 3.25));

    // Points beyond the 16.16 range were stored saturated; they mark at the range's edge.
    tagDRCSPEC far = rule;
    CSheet work;
    contact::AppendErrorPoints(&far, CDPoint(40000.0, -40000.0), CDPoint(1, 1));
    work.SetMark(&far, T_PAD);
    EXPECT_NEAR(work.GetHeadLand()->GetPoint().x, 32768.0, 1e-3);
    EXPECT_NEAR(work.GetHeadLand()->GetPoint().y, -32768.0, 1e-3);
}

} // namespace
