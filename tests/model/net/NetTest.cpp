// Net: nodes and their equality, copies, the net compare and its report, repeated-node clean-up
// and the merge message, and the board-file record.

#include "model/net/Net.h"

#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/net/NetDialect.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Nodes = std::vector<std::pair<std::string, std::string>>;
using testing_support::Bytes;

struct TestNet : CNet
{
    using CNet::AddNode;
    using CNet::CNet;
    using CNet::SetRefPin;
};

std::unique_ptr<TestNet> MakeNetOf(const std::string& name, const Nodes& nodes)
{
    auto net = std::make_unique<TestNet>(name);
    for (const auto& [ref, pin] : nodes)
        net->SetRefPin(ref, pin);
    return net;
}

Nodes NodesOf(const CNet& net)
{
    Nodes nodes;
    for (const auto& n : net.GetNodes())
        nodes.emplace_back(n->GetRefName(), n->GetPinName());
    return nodes;
}

// Installs a recording message service for the test's lifetime.
struct NetMergeTest : ::testing::Test
{
    platform::RecordingMessages messages;
    void SetUp() override { platform::SetMessageService(&messages); }
    void TearDown() override { platform::SetMessageService(nullptr); }
};

TEST(NetTest, NewNetsStartEmpty)
{
    const CNet plain;
    const CNet named("VCC");
    for (const CNet* net : {&plain, &named}) {
        EXPECT_EQ(net->GetID(), 0u);
        EXPECT_EQ(net->GetType(), 0);
        EXPECT_EQ(net->GetNodeCount(), 0);
        EXPECT_TRUE(net->GetRubberLines().empty());
        EXPECT_EQ(net->IsMarked(), 0);
        EXPECT_FALSE(net->CheckNet());
    }
    EXPECT_EQ(named.GetNetName(), "VCC");
}

TEST(NetTest, NodesAreTrimmedAndEqualWithoutCase)
{
    auto net = MakeNetOf("N", {{"u1", "1"}});
    CNet::CNetNode* existing = net->GetNode(0);
    // The same node with blanks and another case is found, not added.
    EXPECT_EQ(net->SetRefPin(" U1 ", "1 "), existing);
    EXPECT_EQ(net->GetNodeCount(), 1);
    CNet::CNetNode* added = net->SetRefPin("\tU2", " a ");
    EXPECT_EQ(added->GetRefName(), "U2");
    EXPECT_EQ(added->GetPinName(), "a");
    EXPECT_EQ(net->GetNodeCount(), 2);
    EXPECT_TRUE(net->CheckNet());
    // Full-width letters fold too; reference and pin are compared apart.
    EXPECT_TRUE(CNet::CNetNode(_J("Ａ1"), "x") == CNet::CNetNode(_J("ａ1"), "X"));
    EXPECT_FALSE(CNet::CNetNode("U1", "12") == CNet::CNetNode("U11", "2"));

    std::string ref = "keep";
    std::string pin = "keep";
    net->GetNetNode(1, ref, pin);
    EXPECT_EQ(ref + "/" + pin, "U2/a");
    net->GetNetNode(2, ref, pin);
    EXPECT_EQ(ref + "/" + pin, "U2/a");
    EXPECT_EQ(net->GetNode(-1), nullptr);
}

TEST(NetTest, CopiesOwnTheirNodes)
{
    auto original = MakeNetOf("SIG", {{"U1", "1"}, {"U2", "2"}});
    original->SetID(7);
    original->SetColor(0x123456);
    original->SetMaker();
    CNet copy(*original);
    EXPECT_EQ(copy.GetID(), 7u);
    EXPECT_EQ(copy.GetNetName(), "SIG");
    EXPECT_EQ(NodesOf(copy), NodesOf(*original));
    EXPECT_NE(copy.GetNode(0), original->GetNode(0));
    EXPECT_EQ(copy.IsMarked(), 0);
    EXPECT_NE(copy.GetColor(), 0x123456u);

    auto other = MakeNetOf("OTHER", {{"R1", "1"}});
    other->SetColor(0x654321);
    *other = *original;
    original.reset(); // the copies must not refer to the freed nodes
    EXPECT_EQ(other->GetNetName(), "SIG");
    EXPECT_EQ(NodesOf(*other), (Nodes{{"U1", "1"}, {"U2", "2"}}));
    EXPECT_EQ(other->GetColor(), 0x654321u);
    EXPECT_EQ(NodesOf(copy), NodesOf(*other));
}

TEST(NetTest, AddNodeMergesWithoutRepeats)
{
    auto net = MakeNetOf("A", {{"U1", "1"}, {"U2", "1"}});
    auto other = MakeNetOf("B", {{"u2", "1"}, {"U3", "1"}});
    net->AddNode(other.get());
    EXPECT_EQ(NodesOf(*net), (Nodes{{"U1", "1"}, {"U2", "1"}, {"U3", "1"}}));
    EXPECT_EQ(other->GetNodeCount(), 2);
}

TEST(NetTest, CheckNetMatchesOnlyAnUnmarkedNetOfTheSameNodes)
{
    auto net = MakeNetOf("IMPORTED", {{"U1", "1"}, {"U2", "3"}});
    auto marked = MakeNetOf("MARKED", {{"U2", "3"}, {"U1", "1"}});
    marked->SetMaker();
    auto bigger = MakeNetOf("BIGGER", {{"U1", "1"}, {"U2", "3"}, {"U3", "1"}});
    auto differs = MakeNetOf("DIFFERS", {{"U1", "1"}, {"U2", "4"}});
    auto same = MakeNetOf("SAME", {{"u2", "3"}, {"U1", "1"}});
    auto later = MakeNetOf("LATER", {{"U1", "1"}, {"U2", "3"}});

    EXPECT_TRUE(net->CheckNet({marked.get(), bigger.get(), differs.get(), same.get(), later.get()}));
    EXPECT_EQ(net->IsMarked(), 1);
    EXPECT_EQ(same->IsMarked(), 1);
    EXPECT_EQ(later->IsMarked(), 0);
    EXPECT_EQ(bigger->IsMarked(), 0);
    EXPECT_EQ(differs->IsMarked(), 0);

    net->ResetMaker();
    EXPECT_FALSE(net->CheckNet({marked.get(), same.get(), bigger.get()}));
    EXPECT_EQ(net->IsMarked(), 0);

    // A net without nodes never matches, not even another empty one.
    CNet empty("E");
    CNet alsoEmpty("F");
    EXPECT_FALSE(empty.CheckNet({&alsoEmpty}));
}

TEST(NetTest, GetSameNetReportsOpenSharedAndOtherNodes)
{
    auto imported = MakeNetOf("SIG", {{"U1", "1"}, {"U9", "1"}, {"U2", "2"}, {"U3", "3"}});
    auto boardA = MakeNetOf("A", {{"U2", "2"}, {"R1", "1"}});
    auto boardB = MakeNetOf("B", {{"u1", "1"}, {"U3", "3"}});
    auto unrelated = MakeNetOf("C", {{"R5", "1"}});

    std::vector<std::string> report{"first line"};
    imported->GetSameNet({unrelated.get(), boardA.get(), boardB.get()}, report);
    // Nets in the order their nodes are first met: U1 is on B before U2 is on A.
    EXPECT_EQ(report, (std::vector<std::string>{
                          "first line",
                          "===          OPEN_NET ;\n",
                          "!!!                 B : u1(1) , U3(3) ;\n",
                          "!!!                 A : U2(2) ;\n",
                          "###                 A : R1(1) ;\n",
                      }));
    // The scratch lists only borrowed the nodes.
    EXPECT_EQ(imported->GetNodeCount(), 4);
    EXPECT_EQ(boardA->GetNodeCount(), 2);
}

TEST_F(NetMergeTest, DupCorrectionMergesAnOverlappingNetAndSaysSo)
{
    auto net = MakeNetOf("VCC", {{"U1", "14"}, {"C1", "1"}});
    auto other = MakeNetOf("+5V", {{"C2", "1"}, {"u1", "14"}, {"C1", "1"}});
    auto apart = MakeNetOf("GND", {{"U1", "7"}});

    EXPECT_FALSE(net->DupCorrection(apart.get()));
    EXPECT_EQ(messages.Count(), 0u);

    EXPECT_TRUE(net->DupCorrection(other.get()));
    ASSERT_EQ(messages.Count(), 1u);
    // The first node of this net that the other holds names the place.
    EXPECT_EQ(messages.Last().text, _J("VCCと+5VがU1(14)で同じネットになりました"));
    EXPECT_EQ(messages.Last().type & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(NodesOf(*net), (Nodes{{"U1", "14"}, {"C1", "1"}, {"C2", "1"}}));
}

// Parts with terminals on a board.
class NetTerTest : public ::testing::Test
{
protected:
    NetTerTest() : frame(&doc) {}

    CTer* Pin(const std::string& ref, const std::string& number)
    {
        parts.push_back(std::make_unique<CPart>());
        parts.back()->SetRefName(ref.c_str());
        return parts.back()->NewTer(CDPoint(1, 2), CText(number, CDPoint(1, 2), 0));
    }

    FakeDocument doc;
    FakeFrameServices frame;
    std::vector<std::unique_ptr<CPart>> parts;
};

TEST_F(NetTerTest, NodesBindToTheTerminalsOfTheirPartAndPin)
{
    CTer* u12 = Pin("U12A", "3");
    CTer* other = Pin("U12A", "4");
    CNet net;
    net.SetID(17);
    ASSERT_TRUE(net.MakeNet(NETDIALECT_TANGO, "SIG u12a,3 U5,1"));
    EXPECT_TRUE(net.SetPartTer(u12));
    EXPECT_EQ(net.GetNode(0)->GetTer(), u12);
    EXPECT_EQ(u12->GetNetID(), 17u);
    other->SetNetID(5);
    EXPECT_FALSE(net.SetPartTer(other));
    EXPECT_EQ(other->GetNetID(), 5u);
    EXPECT_EQ(net.GetNode(1)->GetTer(), nullptr);

    // The writers name the part's reference and the terminal's number; an unbound node keeps its own.
    EXPECT_EQ(net.MakeString(NETDIALECT_VISULA, 1), ".ADD_TER U12 3 SIG\n.TER   U5 1\n");
    EXPECT_EQ(net.MakeString(NETDIALECT_CADLUS, 1), "SIG U12A 3\nSIG U5 1\n");

    net.ResetPartTer();
    EXPECT_EQ(net.GetNode(0)->GetTer(), nullptr);
    EXPECT_EQ(net.MakeString(NETDIALECT_CADLUS, 1), "SIG u12a 3\nSIG U5 1\n");
    // A copy is bound to the same terminals.
    net.SetPartTer(u12);
    EXPECT_EQ(CNet(net).GetNode(0)->GetTer(), u12);
}

TEST_F(NetTerTest, NodesMadeFromTerminalsAreAppendedAndRepeatsRemoved)
{
    CNet net;
    net.AddTailPartTer(Pin("U1", "1"));
    net.AddTailPartTer(Pin("u1", "1"));
    net.AddTailPartTer(Pin("U2", "1"));
    ASSERT_EQ(NodesOf(net), (Nodes{{"U1", "1"}, {"u1", "1"}, {"U2", "1"}}));
    EXPECT_NE(net.GetNode(1)->GetTer(), nullptr);
    EXPECT_TRUE(net.DupCorrection());
    EXPECT_EQ(NodesOf(net), (Nodes{{"U1", "1"}, {"U2", "1"}}));
    EXPECT_FALSE(net.DupCorrection());

    // Every later repeat goes, however many there are.
    CNet many;
    for (int i = 0; i < 4; ++i)
        many.AddTailPartTer(Pin(i % 2 ? "R1" : "r1", "2"));
    EXPECT_TRUE(many.DupCorrection());
    EXPECT_EQ(NodesOf(many), (Nodes{{"r1", "2"}}));
}

TEST(NetTest, RecordHoldsIdTypeAndName)
{
    CNet net(_J("電源"));
    net.SetID(0x80000001u);
    const std::vector<std::uint8_t> expected =
        Bytes().I32(static_cast<std::int32_t>(0x80000001u)).I32(0).Str(_J("電源")).v;
    EXPECT_EQ(testing_support::WriteRecord(net, 1), expected);

    CNet read;
    EXPECT_EQ(testing_support::ReadRecord(read, Bytes().I32(42).I32(1).Str("SIG").v, 1), 0u);
    EXPECT_EQ(read.GetID(), 42u);
    EXPECT_EQ(read.GetType(), 1);
    EXPECT_EQ(read.GetNetName(), "SIG");

    // A record cut short is refused and leaves the net as it was.
    testing_support::ExpectEveryTruncationRefused(expected, [&read](CArchive& ar) {
        CNet copy(read);
        try {
            copy.Serialize(ar, 1);
        } catch (const ArchiveError&) {
            EXPECT_EQ(copy.GetID(), 42u);
            EXPECT_EQ(copy.GetType(), 1);
            EXPECT_EQ(copy.GetNetName(), "SIG");
            throw;
        }
    });
}

// The key table files two nodes under one number exactly when the node comparison finds them
// equal: case and full-width letters folded, double-byte characters whose trail byte is a letter
// kept apart from single bytes, the cut between reference and pin kept, a lone lead byte kept.
TEST(NetTest, NodeKeysNumberNodesAsTheNodeComparisonMatchesThem)
{
    const std::vector<std::string> pieces = {"u", "U", "a", "A", "1", "12", "-", _J("Ａ"), _J("ａ"), _J("ア"),
                                             _J("ソ"), "\\", "\x83", "A\x83", "\xB1", "", " "};
    std::mt19937 random(7);
    auto text = [&] {
        std::string s;
        for (std::size_t n = random() % 4; n > 0; --n)
            s += pieces[random() % pieces.size()];
        return s;
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<CNet::CNetNode> nodes;
        for (int i = 0; i < 300; ++i)
            nodes.emplace_back(text(), text());
        CNetNodeKeys keys(round % 2 ? nodes.size() : 0); // unsized, the table grows
        std::vector<std::uint32_t> numbers;
        for (const CNet::CNetNode& node : nodes) {
            const std::size_t before = keys.Size();
            const auto [number, added] = keys.Add(node.GetRefName(), node.GetPinName());
            ASSERT_EQ(added, keys.Size() == before + 1);
            ASSERT_EQ(added, number == before);
            numbers.push_back(number);
        }
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            ASSERT_EQ(keys.Find(nodes[i].GetRefName(), nodes[i].GetPinName()), numbers[i]);
            for (std::size_t j = 0; j < i; ++j)
                ASSERT_EQ(numbers[i] == numbers[j], nodes[i] == nodes[j])
                    << "'" << nodes[i].GetRefName() << "/" << nodes[i].GetPinName() << "' and '"
                    << nodes[j].GetRefName() << "/" << nodes[j].GetPinName() << "'";
        }
        // Numbers count from 0 in the order keys first came.
        std::uint32_t next = 0;
        for (const std::uint32_t n : numbers)
            if (n == next)
                ++next;
            else
                ASSERT_LT(n, next);
        EXPECT_EQ(next, keys.Size());
        // Queued a few nodes ahead, the same numbers come back in the same order.
        CNetNodeKeys queued;
        std::size_t ahead = 0;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            for (; ahead < nodes.size() && ahead <= i + 1 + round % 5; ++ahead)
                queued.Queue(nodes[ahead].GetRefName(), nodes[ahead].GetPinName());
            ASSERT_EQ(queued.AddQueued().first, numbers[i]) << i;
        }
        EXPECT_EQ(queued.Size(), keys.Size());
        EXPECT_EQ(keys.Find("NO", "SUCH"), CNetNodeKeys::npos);
        keys.Clear();
        EXPECT_EQ(keys.Size(), 0u);
        EXPECT_EQ(keys.Find(nodes[0].GetRefName(), nodes[0].GetPinName()), CNetNodeKeys::npos);
    }
    // A long run through the queue, which drops the keys already taken now and then: added and
    // then found through the queue, the numbers are those of Add.
    CNetNodeKeys direct, queued;
    std::vector<std::pair<std::string, std::string>> run;
    for (int i = 0; i < 5000; ++i)
        run.emplace_back((i % 3 ? "U" : "u") + std::to_string(i % 1700), std::to_string(i % 11));
    for (int pass = 0; pass < 2; ++pass) {
        std::size_t ahead = 0;
        for (std::size_t i = 0; i < run.size(); ++i) {
            for (; ahead < run.size() && ahead < i + 16; ++ahead)
                queued.Queue(run[ahead].first, run[ahead].second);
            const std::uint32_t expected = direct.Add(run[i].first, run[i].second).first;
            ASSERT_EQ(pass == 0 ? queued.AddQueued().first : queued.FindQueued(), expected) << pass << " " << i;
        }
    }
    EXPECT_EQ(queued.Size(), direct.Size());
}

} // namespace
