// The markers of the design rule check on random boards under the settings that change where and
// how they are put: output layer, per-layer output, the answer to the question, a wiring layer as
// output. Each case pins what the check has always left: every field of every marker on the output
// layers and in the undo store, the undo records, the repaint areas, the messages, and the layers
// once the marking is undone and redone.

#include "platform/J.h"
#include "tests/document/DrcTestHost.h"

#include <cstring>
#include <random>
#include <string>

namespace {

struct MarksCase
{
    const char* name;
    unsigned seed;
    int errorLayer;       // first output layer
    int perLayer;
    int answer;           // to the question when the output layers hold something; 0: empty
    int copperMode;       // 1 every wiring layer, 2 positions 1 and 3
    bool sides;           // part clearance on both sides
    std::uint32_t pinned; // what the check gives
};

class DrcMarksTest : public DrcFixture, public ::testing::WithParamInterface<MarksCase>
{
protected:
    void Add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 16777619u;
    }
    template <class T> void AddValue(const T& value) { Add(&value, sizeof value); }
    void AddSheet(CSheet& sheet)
    {
        AddValue(sheet.GetItemCount());
        for (POSITION pos = sheet.GetFirstLandPos(); pos;) {
            CLand* land = sheet.GetNextLand(pos);
            const tagTURRET turret = land->GetTurret();
            AddValue(land->GetPoint().x);
            AddValue(land->GetPoint().y);
            AddValue(land->GetID());
            AddValue(land->GetTurretNo());
            AddValue(land->GetLayerNo());
            AddValue(land->GetType());
            AddValue(turret.shape);
            AddValue(turret.size1);
            AddValue(turret.size2);
            AddValue(land->GetParent() == &sheet);
            const CDRect bounds = land->GetBoundingRect();
            AddValue(bounds.left);
            AddValue(bounds.top);
            AddValue(bounds.right);
            AddValue(bounds.bottom);
            AddValue(land->GetAngle());
        }
    }
    void AddLayers()
    {
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            if (layer >= 100 || layer < 3)
                AddSheet(*doc->GetBoardSheet(layer));
    }

    std::uint32_t hash = 2166136261u;
};

TEST_P(DrcMarksTest, MarkersUndoAndRepaintsAreThePinnedOnes)
{
    const MarksCase& c = GetParam();
    std::mt19937 random(c.seed);
    auto at = [&](double side) { return static_cast<double>(random() % 10000u) * side / 10000.0; };
    for (int i = 0; i < 240; ++i) {
        const int layer = i % 3;
        const CDPoint a(at(30.0), at(30.0));
        AddLine(layer, a, CDPoint(a.x + at(4.0) - 2.0, a.y + at(4.0) - 2.0));
        if (i % 5 == 0)
            AddLand(layer, CDPoint(at(30.0), at(30.0)));
    }
    for (int i = 0; i < 10; ++i)
        AddPart("U" + std::to_string(i + 1), CDPoint(at(30.0), at(30.0)), 0.5 + at(1.0),
                {CDPoint(-0.6, 0), CDPoint(0.6, 0), CDPoint(0, 0.8)});
    if (c.answer != 0) {
        // Something on every layer the run may mark, so the question comes.
        for (int layer = c.errorLayer; layer < c.errorLayer + 4 && layer < LAYER_MAX; ++layer)
            AddLand(layer, CDPoint(40.0 + layer, 40.0));
        messages.QueueAnswer(c.answer);
    }
    Run([&c](DrcChoice& choice) {
        choice.errorLayer = c.errorLayer;
        choice.perLayer = c.perLayer;
        choice.copperMode = c.copperMode;
        if (c.copperMode == 2) {
            choice.layers.fill(0);
            choice.layers[0] = choice.layers[2] = 1;
        }
        choice.componentSide = choice.solderSide = c.sides ? 1 : 0;
        choice.pinCount = 0;
    });

    AddLayers();
    AddSheet(*doc->GetUndoSheet());
    Add(doc->GetUndoHistory().data(), doc->GetUndoHistory().size() * sizeof(unsigned));
    for (const FakeDocumentHost::Repaint& r : drcHost.repaints) {
        AddValue(r.hint);
        AddValue(r.withArea);
        AddValue(r.area.left);
        AddValue(r.area.top);
        AddValue(r.area.right);
        AddValue(r.area.bottom);
    }
    for (const auto& m : messages.Entries()) {
        Add(m.text.data(), m.text.size());
        AddValue(m.type);
    }
    // The marking taken back step by step and put again.
    int steps = 0;
    for (; doc->CanUndo() && steps < 8; ++steps) {
        doc->OnEditUndo();
        AddLayers();
    }
    for (; doc->CanRedo() && steps > 0; --steps)
        doc->OnEditRedo();
    AddLayers();
    AddSheet(*doc->GetRedoSheet());

    ASSERT_EQ(messages.Count(), c.answer != 0 ? 2u : 1u);
    if (c.answer != 0) {
        EXPECT_EQ(messages.Entries()[0].text, _J("出力先のレイヤにはデータがあります。先に削除しますか？"));
    }
    EXPECT_NE(messages.Last().text.find(_J("エラー個所")), std::string::npos) << messages.Last().text;
    EXPECT_EQ(hash, c.pinned) << messages.Last().text;
}

const MarksCase kMarksCases[] = {
    {"PerLayerOnEmptyLayers", 1u, 114, 1, 0, 1, true, 1301438923u},
    {"PerLayerOnEmptyLayersOtherBoard", 2u, 114, 1, 0, 1, true, 3735527254u},
    {"OneLayerForAll", 3u, 114, 0, 0, 1, true, 484633669u},
    {"YesEmptiesEachLayerFirst", 4u, 114, 1, IDYES, 1, true, 4106618425u},
    {"YesOneLayerEmptiedOnce", 5u, 114, 0, IDYES, 1, true, 2911323997u},
    {"NoKeepsWhatTheLayersHold", 6u, 114, 1, IDNO, 1, true, 3758622967u},
    {"PositionsOneAndThreeOnly", 7u, 60, 1, 0, 2, false, 793046650u},
    {"LastLayersStopAtTheEnd", 8u, LAYER_MAX - 2, 1, IDYES, 1, true, 4168745146u},
    {"AWiringLayerAsOutput", 9u, 1, 1, IDNO, 1, true, 3345815706u},
    {"AWiringLayerAsOutputAfterYes", 10u, 0, 0, IDYES, 1, false, 2086026679u},
};

INSTANTIATE_TEST_SUITE_P(Boards, DrcMarksTest, ::testing::ValuesIn(kMarksCases),
                         [](const ::testing::TestParamInfo<MarksCase>& info) { return std::string(info.param.name); });

} // namespace
