// The part sections of reverse net lists: entries per dialect, packages listed once, the value
// falling back to the part name, the PCB property, FutureNet groups and the PCAD net section.

#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/net/Net.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class PartSectionsTest : public ::testing::Test
{
protected:
    void SetUp() override { platform::SetProfile(&profile); }
    void TearDown() override { platform::SetProfile(nullptr); }

    // A placed part in the part list with the given pins (their display net ids from `nets`).
    CPart* Add(const char* ref, const char* name, const char* value, std::vector<const char*> pins,
               unsigned sections = 1, std::vector<std::uint32_t> nets = {})
    {
        CPart part(CDPoint(0, 0), CDRect(-1, -1, 1, 1), 1, 0, 0.0, 0);
        part.SetRefName(ref);
        part.SetPartName(name);
        part.SetValue(value);
        part.SetPackageMax(sections);
        for (const char* pin : pins)
            part.NewTer(CDPoint(0, 0), CText(pin, CDPoint(0, 0), 0));
        CPart* placed = doc.GetBoardSheet(LAYER_MAX)->NewPart(part);
        std::size_t i = 0;
        for (POSITION pos = placed->GetFirstTerPos(); pos; ++i)
            placed->GetNextTer(pos)->SetDisNetID(i < nets.size() ? nets[i] : 0);
        doc.GetPartList().push_back(placed);
        return placed;
    }
    std::string Write(int dialect, const std::vector<CNet*>* nets = nullptr)
    {
        std::string out;
        doc.WriteNetListParts(dialect, out, nets);
        return out;
    }

    platform::MemoryProfile profile;
    CVELTADoc doc;
};

TEST_F(PartSectionsTest, EntriesPerDialect)
{
    profile.SetString("Tool", "PCB", "FP");
    CPart* u1 = Add("U1A", "LM358", "", {"1", "2"}, 2);
    CText property("&FP&SO8", CDPoint(0, 0), 0);
    u1->NewText(property);
    Add("u1b", "LM358", "", {"5", "6"}, 2);
    Add("R1", "RES", "10k", {"1", "2"});
    struct Row
    {
        int dialect;
        const char* text;
    };
    const Row rows[] = {
        {1, ".ADD_COM   U1   LM358\n.ADD_COM   R1   RES\n"},
        {4, "[\nU1\nSO8\nLM358\n\n\n\n]\n[\nR1\nFP\n10k\n\n\n\n]\n"},
        {10, "*PART*\nU1     LM358\nR1     10k\n\n"},
        {12,
         "PART LIST\n\nLM358             LM358           U1\n10k               10k             R1\nEOS\n"},
        {13, "\tcomp {\n            U1                  [LM358               ]={SO8      ,,,,};\n"
             "            R1                  [10k                 ]={FP       ,,,,};\n\t}\n\tnets {\n"},
        {15, "LM358               U1                  SO8                 000     000     0\n"
             "10k                 R1                  FP                  000     000     0\n\n\n"},
        {16, "* VERSION 4 1\nU1, LM358, SO8, 0, 0, 270.00, LM358;\nR1, 10k, FP, 0, 0, 270.00, RES;\n"},
        {18, "# NORVA Formatted Netlist for MENTOR\n# Reference        Value      PCB Property\n"
             "U1                 PART LM358                 SO8\nR1                 PART RES                 "
             "  FP\n"},
        {9, ""},
        {0, ""},
        {17, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Write(row.dialect), row.text) << row.dialect;
}

TEST_F(PartSectionsTest, FutureNetGroupsAPackageAndNumbersTheParts)
{
    Add("U1A", "LM358", "OPAMP", {"1", "2", "4"}, 2);
    Add("U1B", "LM358", "OPAMP", {"5", "4"}, 2);
    CPart* r = Add("R1", "RES", "", {"", "2"});
    EXPECT_EQ(Write(8), "(SYM,1-1,1\nDATA,2,U1\nDATA,3,LM358\nDATA,4,OPAMP\n"
                        "DATA,23,1\nDATA,23,2\nDATA,23,4\nDATA,23,5\n)\n"
                        "(SYM,1-1,2\nDATA,2,R1\nDATA,3,RES\nDATA,4,RES\nDATA,23,2\n)\n");
    // The unnumbered pin has no item id either, so it is left out; the part carries its symbol.
    bool found = false;
    for (POSITION pos = r->GetFirstTextPos(); pos;)
        found |= r->GetNextText(pos)->GetName() == "{NORVA:SYMNO}2";
    EXPECT_TRUE(found);
}

TEST_F(PartSectionsTest, ASecondFutureNetExportReplacesTheSymbolNumberAsOneUndoStep)
{
    Add("R1", "RES", "1k", {"1"});
    CPart* r2 = Add("R2", "RES", "1k", {"1"});
    Write(8);
    EXPECT_TRUE(doc.IsModified());
    const std::size_t steps = doc.GetUndoHistory().size();
    // R1 leaves the list: R2 becomes symbol 1 and keeps one number text.
    doc.GetPartList().erase(doc.GetPartList().begin());
    Write(8);
    EXPECT_GT(doc.GetUndoHistory().size(), steps);
    std::vector<std::string> numbers;
    for (POSITION pos = r2->GetFirstTextPos(); pos;) {
        const std::string& name = r2->GetNextText(pos)->GetName();
        if (name.rfind("{NORVA:SYMNO}", 0) == 0)
            numbers.push_back(name);
    }
    EXPECT_EQ(numbers, std::vector<std::string>{"{NORVA:SYMNO}1"});
}

TEST_F(PartSectionsTest, PcadNetSectionNamesEachPinsNet)
{
    profile.SetString("Tool", "PCB", "DIP14");
    Add("U1", "7400", "", {"1", "2"}, 1, {5, 0});
    CPart* u2 = Add("U2", "7400", "", {"1"}, 1, {5});
    u2->NewText(CText("&DIP14&DIP14.X", CDPoint(0, 0), 0));
    CNet gnd("GND");
    gnd.SetID(5);
    std::vector<CNet*> nets{&gnd};
    EXPECT_EQ(Write(-17, &nets), "{SUBCOMP\n"
                                 "{I DIP14.PRT U1\n{CN\n     1 GND\n     2 ?\n}\n}\n"
                                 "{I DIP14.X U2\n{CN\n     1 GND\n}\n}\n"
                                 "}\n");
}

TEST_F(PartSectionsTest, LongValuesAreCutOnWholeCharacters)
{
    // 16 single bytes and a double-byte character: the cut at 17 keeps the character out whole.
    Add("R1", "RES", "ABCDEFGHIJKLMNOP\x83\x5E", {"1"});
    EXPECT_EQ(Write(12), "PART LIST\n\nABCDEFGHIJKLMNOP  ABCDEFGHIJKLMNO R1\nEOS\n");
}

} // namespace
