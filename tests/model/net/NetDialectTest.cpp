// Net-list dialects: every writer's file for a two-net list byte for byte, read back net by net
// after the file is cut into nets as the importer cuts it; the readers' separators, failures and
// malformed lists; column widths in CP932 bytes.

#include "model/net/NetDialect.h"
#include "model/net/Net.h"

#include "platform/J.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Nodes = std::vector<std::pair<std::string, std::string>>;

struct TestNet : CNet
{
    using CNet::CNet;
    using CNet::SetRefPin;
};

TestNet MakeNetOf(const std::string& name, const Nodes& nodes)
{
    TestNet net(name);
    for (const auto& [ref, pin] : nodes)
        net.SetRefPin(ref, pin);
    return net;
}

Nodes NodesOf(const CNet& net)
{
    Nodes nodes;
    for (const auto& n : net.GetNodes())
        nodes.emplace_back(n->GetRefName(), n->GetPinName());
    return nodes;
}

const Nodes kNet1 = {{"U1", "1"}, {"U2", "3"}};
const Nodes kNet2 = {{"U1", "7"}, {"U2", "7"}, {"U3", "7"}, {"U4", "7"},    {"U5", "7"},
                     {"U6", "7"}, {"U7", "7"}, {"U8", "7"}, {"IC10", "14"}, {"R100", "2"}};

// --- The importer's cutting of a file into nets, applied to the nets between header and trailer ---

void ReplaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
}

void CollapseBlanks(std::string& s)
{
    for (std::size_t p = s.find("  "); p != std::string::npos; p = s.find("  "))
        s.erase(p, 1);
}

void NormalizeBlanks(std::string& s)
{
    for (char& c : s) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    CollapseBlanks(s);
}

std::string TrimmedLeft(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b);
}

// One chunk per line; the text after the last line feed is read too.
std::vector<std::string> Chunks(const std::string& text)
{
    std::vector<std::string> chunks;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string chunk = TrimmedLeft(text.substr(start, end - start));
        if (!chunk.empty() && chunk[0] != '#')
            chunks.push_back(chunk);
        start = end;
    }
    return chunks;
}

// Lines of net name, reference and pin; consecutive lines of one name form a net.
std::vector<std::string> CadlusChunks(std::string text)
{
    NormalizeBlanks(text);
    text = TrimmedLeft(text) + " ";
    std::vector<std::string> chunks;
    std::string name;
    std::string nodes;
    auto token = [&text]() {
        const std::size_t k = text.find(' ');
        std::string t = text.substr(0, k + 1);
        text.erase(0, k + 1);
        return t;
    };
    while (text.find(' ') != std::string::npos && text.find(' ') >= 2) {
        const std::string c = token();
        if (c != name && !name.empty()) {
            chunks.push_back(name + nodes);
            nodes.clear();
        }
        name = c;
        nodes += token();
        nodes += token();
    }
    if (!name.empty())
        chunks.push_back(name + nodes);
    return chunks;
}

std::vector<std::string> CutIntoNets(int code, std::string body)
{
    switch (code) {
    case 0:
        NormalizeBlanks(body);
        ReplaceAll(body, ";", "\n");
        break;
    case 1:
        ReplaceAll(body, ".TER", "");
        NormalizeBlanks(body);
        ReplaceAll(body, ".ADD_TER", "\n");
        break;
    case 2:
        NormalizeBlanks(body);
        ReplaceAll(body, ".", ",\n");
        break;
    case 3:
        ReplaceAll(body, "\r", " ");
        ReplaceAll(body, "\t", " ");
        CollapseBlanks(body);
        ReplaceAll(body, "\n", " \n");
        break;
    case 4:
        ReplaceAll(body, "(", "");
        NormalizeBlanks(body);
        ReplaceAll(body, ")", "\n");
        break;
    case 5:
    case 6:
        body = TrimmedLeft(body);
        ReplaceAll(body, "\n", ",");
        ReplaceAll(body, "\r", "");
        ReplaceAll(body, "\t", " ");
        ReplaceAll(body, ",,", " ");
        CollapseBlanks(body);
        ReplaceAll(body, ",", "\n");
        break;
    case 7:
        body = TrimmedLeft(body);
        ReplaceAll(body, "\r", "");
        ReplaceAll(body, "\t", " ");
        CollapseBlanks(body);
        ReplaceAll(body, ";", " ;");
        break;
    case 9:
        NormalizeBlanks(body);
        ReplaceAll(body, "*Sig", "\n");
        break;
    case 10:
    case 11:
        NormalizeBlanks(body);
        ReplaceAll(body, "*SIGNAL*", "\n");
        break;
    case 12:
        ReplaceAll(body, "$", "");
        NormalizeBlanks(body);
        ReplaceAll(body, "NODENAME", "\n");
        ReplaceAll(body, "NODE", "\n");
        break;
    case 13:
        ReplaceAll(body, "{", "");
        ReplaceAll(body, "}", "");
        NormalizeBlanks(body);
        ReplaceAll(body, ";", "\n");
        break;
    case 14:
        return CadlusChunks(body);
    case 15:
        ReplaceAll(body, ",", " ");
        ReplaceAll(body, "/", "");
        NormalizeBlanks(body);
        ReplaceAll(body, ";", "\n");
        break;
    case 16:
        NormalizeBlanks(body);
        ReplaceAll(body, "* ", "\n");
        break;
    default:
        return {};
    }
    return Chunks(body);
}

// --- The table ---

struct DialectCase
{
    int code;
    bool readable;
    std::string head; // as the caller formats it with "a.net" and "2026/01/02"
    std::string net1;
    std::string net2;
    std::string tail;
};

const std::vector<DialectCase>& DialectCases()
{
    static const std::vector<DialectCase> cases = {
        {-1, false, "/*\n * VELTA Net Compare List File\n *   File : a.net\n *   Date : 2026/01/02\n */\n\n",
         "             NET1 : U1(1) , U2(3) ;\n",
         "              GND : U1(7) , U2(7) , U3(7) , U4(7) , U5(7) ,\n"
         "                    U6(7) , U7(7) , U8(7) , IC10(14) , R100(2) ;\n",
         ""},
        {0, true,
         "/*\n * VELTA Reverse Net List File\n *   File : a.net\n *   Date : 2026/01/02\n */\n\n"
         "$CCF\n{\n  NET {\n",
         "             NET1 : U1(1) , U2(3) ;\n",
         "              GND : U1(7) , U2(7) , U3(7) , U4(7) , U5(7) ,\n"
         "                    U6(7) , U7(7) , U8(7) , IC10(14) , R100(2) ;\n",
         "      }\n}\n\n"},
        {1, true,
         ".HEA\n.REM VELTA Reverse Net List File\n     File : a.net\n     Date : 2026/01/02\n.EOR\n\n",
         ".ADD_TER U1 1 NET1\n.TER   U2 3\n",
         ".ADD_TER U1 7 GND\n.TER   U2 7\n       U3 7\n       U4 7\n       U5 7\n       U6 7\n       U7 7\n"
         "       U8 7\n       IC10 14\n       R100 2\n",
         ".END\n"},
        {2, true, "", "     NET1 : U1-1 , U2-3 .\n",
         "      GND : U1-7 , U2-7 , U3-7 , U4-7 , U5-7 ,\n"
         "            U6-7 , U7-7 , U8-7 , IC10-14 , R100-2 .\n",
         ""},
        {3, true, "", "0001 NET1 U1-1 U2-3 \n",
         "0002 GND U1-7 U2-7 U3-7 U4-7 U5-7 U6-7 U7-7 U8-7 IC10-14 R100-2 \n", ""},
        {4, true, "#\n# VELTA Reverse Net List File\n#   File : a.net\n#\n\n", "(\nNET1\nU1,1\nU2,3\n)\n",
         "(\nGND\nU1,7\nU2,7\nU3,7\nU4,7\nU5,7\nU6,7\nU7,7\nU8,7\nIC10,14\nR100,2\n)\n", ""},
        {5, true, "$NETS\n", "     NET1 ; U1.1 U2.3\n",
         "      GND ; U1.7 U2.7 U3.7 U4.7 U5.7,\n            U6.7 U7.7 U8.7 IC10.14 R100.2\n", "$END\n"},
        {6, true, "", "     NET1 ; U1.1,\n            U2.3\n",
         "      GND ; U1.7,\n            U2.7,\n            U3.7,\n            U4.7,\n            U5.7,\n"
         "            U6.7,\n            U7.7,\n            U8.7,\n            IC10.14,\n            "
         "R100.2\n",
         ""},
        {7, true, "", "NET1;U1^1,U2^3\n", "GND;U1^7,U2^7,U3^7,U4^7,U5^7,U6^7,U7^7,U8^7,IC10^14,R100^2\n", ""},
        {8, false,
         "NETLIST,2\n(DRAWING,NORVA.NET,1-1\nDATA,50,NORVA Generate Netlist\nDATA,51,a.net\n"
         "DATA,54,Date 2026/01/02\n)\n",
         "(SIG,,NET1,1-1,5,NET1\nPIN,1-1,U1,23,1\nPIN,1-1,U2,23,3\n)\n",
         "(SIG,,GND,1-1,5,GND\nPIN,1-1,U1,23,7\nPIN,1-1,U2,23,7\nPIN,1-1,U3,23,7\nPIN,1-1,U4,23,7\n"
         "PIN,1-1,U5,23,7\nPIN,1-1,U6,23,7\nPIN,1-1,U7,23,7\nPIN,1-1,U8,23,7\nPIN,1-1,IC10,23,14\n"
         "PIN,1-1,R100,23,2\n)\n",
         ""},
        {9, true, "*PADS-PCB\n*Net\n", "*Sig NET1\n U1.1 U2.3\n",
         "*Sig GND\n U1.7 U2.7 U3.7 U4.7 U5.7 U6.7 U7.7 U8.7 IC10.14\n R100.2\n", "*End\n"},
        {10, true, "*PADS-PCB*\n*NET*\n", "*SIGNAL* NET1\n U1.1 U2.3\n",
         "*SIGNAL* GND\n U1.7 U2.7 U3.7 U4.7 U5.7 U6.7 U7.7 U8.7 IC10.14\n R100.2\n", "*END*\n"},
        {11, true, "*PADS2000*\n*NET*\n", "*SIGNAL* NET1\n U1.1 U2.3\n",
         "*SIGNAL* GND\n U1.7 U2.7 U3.7 U4.7 U5.7 U6.7 U7.7 U8.7 IC10.14\n R100.2\n", "*END*\n"},
        {12, true, "NETLIST\n\n", "NODENAME NET1             $\n    U1         1  U2         3  \n",
         "NODENAME GND              $\n"
         "    U1         7  U2         7  U3         7  U4         7   $\n"
         "    U5         7  U6         7  U7         7  U8         7   $\n"
         "    IC10      14  R100       2  \n",
         "EOS\n"},
        {13, true,
         "/*\n *  VELTA Reverse Net List File\n *    File : a.net\n *    Date : 2026/01/02\n */\n"
         "$NET_LIST [ MM ] {\n",
         "    NET1 = {U1-1 , U2-3};\n",
         "     GND = {U1-7 , U2-7 , U3-7 , U4-7 , U5-7 ,\n            U6-7 , U7-7 , U8-7 , IC10-14 , "
         "R100-2};\n",
         "\t}\n}\n"},
        {14, true, "", "NET1 U1 1\nNET1 U2 3\n",
         "GND U1 7\nGND U2 7\nGND U3 7\nGND U4 7\nGND U5 7\nGND U6 7\nGND U7 7\nGND U8 7\nGND IC10 14\n"
         "GND R100 2\n",
         ""},
        {15, true, "", "/NET1      U1(1) U2(3);\n",
         "/GND       U1(7) U2(7) U3(7) U4(7) U5(7) U6(7) U7(7) U8(7),\n           IC10(14) R100(2);\n", ""},
        {16, true, "++  VELTA Reverse Net List File\n++    File : a.net\n++    Date : 2026/01/02\n\n",
         "* NET1\nU1-1, U2-3,\n\n",
         "* GND\nU1-7, U2-7, U3-7, U4-7, U5-7, U6-7, U7-7, U8-7,\nIC10-14, R100-2,\n\n", ""},
        {17, false, "%  VELTA Reverse Net List File\n%    File : a.net\n%    Date : 2026/01/02\n", "", "",
         "}\n}\n"},
        {18, false, "#\n# VELTA Reverse Net List File\n#   File : a.net\n#\n\n", "", "", ""},
    };
    return cases;
}

TEST(NetDialectTest, EveryWriterMatchesItsFormatAndEveryReaderReadsItBack)
{
    const TestNet net1 = MakeNetOf("NET1", kNet1);
    const TestNet net2 = MakeNetOf("GND", kNet2);
    const TestNet empty("EMPTY");
    for (const DialectCase& c : DialectCases()) {
        SCOPED_TRACE("dialect " + std::to_string(c.code));
        // The writer's driver: header formatted with file name and date, the nets, the trailer.
        const std::string head = platform::Format(CNet::MakeHead(c.code).c_str(), "a.net", "2026/01/02");
        const std::string file = head + net1.MakeString(c.code, 1) + empty.MakeString(c.code, 2) +
                                 net2.MakeString(c.code, 2) + CNet::MakeTail(c.code);
        ASSERT_EQ(file, c.head + c.net1 + c.net2 + c.tail);
        if (!c.readable)
            continue;

        const std::vector<std::string> chunks =
            CutIntoNets(c.code, file.substr(c.head.size(), file.size() - c.head.size() - c.tail.size()));
        ASSERT_EQ(chunks.size(), 2u);
        CNet read1;
        CNet read2;
        EXPECT_TRUE(read1.MakeNet(c.code, chunks[0])) << chunks[0];
        EXPECT_TRUE(read2.MakeNet(c.code, chunks[1])) << chunks[1];
        EXPECT_EQ(read1.GetNetName(), "NET1");
        EXPECT_EQ(NodesOf(read1), kNet1);
        EXPECT_EQ(read2.GetNetName(), "GND");
        EXPECT_EQ(NodesOf(read2), kNet2);
    }
}

TEST(NetDialectTest, NamesOfTheDialects)
{
    EXPECT_STREQ(GetNetDialectName(NETDIALECT_CR3000), "CR3000");
    EXPECT_STREQ(GetNetDialectName(NETDIALECT_FUTURENET), "FutureNet(NETC)");
    EXPECT_STREQ(GetNetDialectName(NETDIALECT_ULTIBOARD), "ultiBOARD");
    EXPECT_STREQ(GetNetDialectName(NETDIALECT_PCAD), "PCAD");
    EXPECT_STREQ(GetNetDialectName(NETDIALECT_COMPARE), "");
    EXPECT_STREQ(GetNetDialectName(19), "");
}

struct ReadCase
{
    int code;
    std::string text;
    bool result;
    std::string name;
    Nodes nodes;
};

TEST(NetDialectTest, ReadersTakeNameAndNodesAndStopAtTheFirstBrokenToken)
{
    const std::vector<ReadCase> cases = {
        {0, "NET1:U1(1),U2(3)", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {0, " GND : U1(7), U2(7) \r\n", true, "GND", {{"U1", "7"}, {"U2", "7"}}},
        // The colon must stand at index 2 or later.
        {0, "N:U1(1)", false, "", {}},
        {0, "NET1", false, "", {}},
        {0, "GND:U1(7)", true, "GND", {{"U1", "7"}}},
        // A "(" at index 1 of what follows the colon ends the list before it starts.
        {0, "GND:U(7)", true, "GND", {}},
        {1, "U1 1 NET1 U2 3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        // Nothing after the name: no blank follows it, so the name stays empty.
        {1, "U1 1 NET1", false, "", {{"U1", "1"}, {"NET1", ""}}},
        // The last node needs no comma; a token without "-" ends the list.
        {2, "NET1:U1-1,U2-3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {2, "NET1:U1-1,U2,U3-3,", true, "NET1", {{"U1", "1"}}},
        {2, "NET1 U1-1,", false, "", {}},
        {3, "NET", false, "", {}},
        {3, "0001 NET1", false, "", {}},
        {3, "NET NET1 U1-1 U2-3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        // A doubled blank ends a blank-separated list.
        {4, "NET1 U1,1  U2,3", true, "NET1", {{"U1", "1"}}},
        {4, "NET1", false, "", {}},
        {5, "NET1; U1.1 U2.3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {6, "NET1 U1.1", false, "", {}},
        {7, "NET1;U1^1,U2^3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {8, "NET1 U1.1", false, "", {}},
        {17, "NET1 U1.1", false, "", {}},
        {99, "NET1 U1.1", false, "", {}},
        {9, "NET1 U1.1 U2.3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {12, "NET1   U1 1 U2 3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {14, "NET1 U1 1 U2 3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {13, "NET1=U1-1,U2-3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {13, "NET1 U1-1", false, "", {}},
        {15, "NET1 U1(1) U2(3)", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        {15, "N U1(1)", false, "", {}},
        {16, "NET1 U1-1,U2-3", true, "NET1", {{"U1", "1"}, {"U2", "3"}}},
        // Repeated nodes, whatever their case, are stored once.
        {4, "NET1 U1,1 u1,1 U1,1", true, "NET1", {{"U1", "1"}}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE("dialect " + std::to_string(c.code) + ": " + c.text);
        CNet net;
        EXPECT_EQ(net.MakeNet(c.code, c.text), c.result);
        EXPECT_EQ(net.GetNetName(), c.name);
        EXPECT_EQ(NodesOf(net), c.nodes);
    }
}

TEST(NetDialectTest, SeparatorsAreNeverFoundInsideADoubleByteCharacter)
{
    // The trail byte of this katakana is '^', the separator of the dialect.
    const std::string ta = _J("タ");
    ASSERT_EQ(ta, std::string("\x83\x5E"));
    CNet net;
    EXPECT_TRUE(net.MakeNet(NETDIALECT_POWER_VIEW, _J("電源") + ";" + ta + "1^2," + ta + "2^3"));
    EXPECT_EQ(net.GetNetName(), _J("電源"));
    EXPECT_EQ(NodesOf(net), (Nodes{{ta + "1", "2"}, {ta + "2", "3"}}));
}

TEST(NetDialectTest, ColumnsAreCountedInBytes)
{
    // A four-byte name in a nine-wide column gets five blanks.
    const TestNet net = MakeNetOf(_J("電源"), {{"U1", "1"}, {"U2", "2"}});
    EXPECT_EQ(net.MakeString(NETDIALECT_ECAD, 1), "     " + _J("電源") + " : U1-1 , U2-2 .\n");
    // Reference and pin of twelve bytes together still get one blank between them.
    const TestNet wide = MakeNetOf("N", {{"ABCDEFGH", "1234"}, {_J("抵抗") + "1", "1"}});
    EXPECT_EQ(wide.MakeString(NETDIALECT_SCICARDS, 1), "NODENAME N" + std::string(16, ' ') +
                                                           "$\n    ABCDEFGH 1234  " + _J("抵抗") + "1" +
                                                           std::string(6, ' ') + "1  \n");
}

TEST(NetDialectTest, WritersOfHeaderOnlyDialectsAndEmptyPieces)
{
    const TestNet net = MakeNetOf("NET1", kNet1);
    EXPECT_EQ(net.MakeString(NETDIALECT_PCAD, 1), "");
    EXPECT_EQ(net.MakeString(NETDIALECT_MENTOR, 1), "");
    EXPECT_EQ(net.MakeString(42, 1), "");
    EXPECT_EQ(CNet::MakeHead(NETDIALECT_ECAD), "");
    EXPECT_EQ(CNet::MakeTail(NETDIALECT_TANGO), "");
    // The header is a format: the PCAD percent signs survive the caller's formatting once.
    EXPECT_EQ(CNet::MakeHead(NETDIALECT_PCAD),
              "%%  VELTA Reverse Net List File\n%%    File : %s\n%%    Date : %s\n");
    // A net without nodes is written in no dialect.
    for (int code = -1; code <= 18; ++code)
        EXPECT_EQ(TestNet("EMPTY").MakeString(code, 1), "") << code;
}

TEST(NetDialectTest, NetCompareFormWritesNoNodesForAnOpenNet)
{
    const TestNet open = MakeNetOf("OPEN_NET", kNet1);
    EXPECT_EQ(open.MakeString(NETDIALECT_COMPARE, 0), "         OPEN_NET ;\n");
    // Exactly five nodes: the line break after the fifth is trimmed away again.
    const TestNet five = MakeNetOf("N5", {{"A", "1"}, {"B", "1"}, {"C", "1"}, {"D", "1"}, {"E", "1"}});
    EXPECT_EQ(five.MakeString(NETDIALECT_CR3000, 1),
              "               N5 : A(1) , B(1) , C(1) , D(1) , E(1) ;\n");
}

} // namespace

// A long net keeps the first of each set of equal nodes (equal without case, full-width letters
// too) in reading order, whichever list reader reads it.
TEST(NetDialectTest, LongListsKeepTheFirstOfEqualNodesInOrder)
{
    struct Row
    {
        int code;
        std::string head;          // the name and what precedes the list
        std::string ref, sep, end; // one node: ref sep pin end
    };
    const std::string wideA = _J("Ａ"), wideLowA = _J("ａ");
    const std::vector<Row> rows = {
        {NETDIALECT_CR3000, "NET:", "", "(", "),"},    {NETDIALECT_ECAD, "NET:", "", "-", ","},
        {NETDIALECT_TANGO, "NET ", "", ",", " "},      {NETDIALECT_PADS, "NET ", "", ".", " "},
        {NETDIALECT_SCICARDS, "NET ", "", " ", " "},   {NETDIALECT_CALAY, "NET ", "", "(", ") "},
        {NETDIALECT_POWER_VIEW, "NET;", "", "^", ","},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("dialect " + std::to_string(r.code));
        std::string text = r.head;
        Nodes expected;
        for (int i = 0; i < 3000; ++i) {
            // Every third node repeats an earlier one in the other case.
            const int n = i % 3 == 2 ? i - 2 : i;
            const bool repeat = n != i;
            const std::string ref =
                (n % 2 ? (repeat ? wideLowA : wideA) : std::string(repeat ? "u" : "U")) + std::to_string(n);
            text += ref + r.sep + "P" + std::to_string(n % 7) + r.end;
            if (!repeat)
                expected.emplace_back(ref, "P" + std::to_string(n % 7));
        }
        CNet net;
        ASSERT_TRUE(net.MakeNet(r.code, text));
        EXPECT_EQ(net.GetNetName(), "NET");
        EXPECT_EQ(NodesOf(net), expected);
    }
}
