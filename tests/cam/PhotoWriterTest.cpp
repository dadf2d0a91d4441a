// The photo-plot file around the layer bodies: the statements of the extended format, the start
// and end blocks, the plain format's block ends, and gerbv reading every form.

#include "cam/PhotoWriter.h"
#include "platform/J.h"
#include "tests/cam/CamOutputFixture.h"
#include "tests/support/GerbvCheck.h"

#include <string>
#include <vector>

namespace {

using testing_support::CamFileFormat;
using testing_support::CheckWithGerbv;

class PhotoWriterTest : public CamOutputFixture
{
protected:
    void SetUp() override
    {
        CamOutputFixture::SetUp();
        AddLine(0, CDPoint(0, 0), CDPoint(10, 0)); // turret 2
        Land(0, CDPoint(10, 10), 1);
        Land(0, CDPoint(20, 10), kDonut);
        Land(0, CDPoint(30, 10), kThermal);
        Land(0, CDPoint(40, 10), kBareDonut);
        Land(0, CDPoint(50, 10), kSquare);
        Land(1, CDPoint(60, 10), 3); // another layer: not in this file
    }

    std::string Write(tagGERBAR& g, std::vector<int> layers, int decimals = 3)
    {
        layers.push_back(-1);
        doc->CountApertures(layers.data(), true);
        CArchive ar(CArchive::store);
        WritePhotoData(*doc, ar, g, layers.data(), decimals);
        return std::string(ar.Data().begin(), ar.Data().end());
    }
};

TEST_F(PhotoWriterTest, ExtendedFormatDefinesTheUsedAperturesOfItsLayersOnly)
{
    tagGERBAR g = Record(true);
    const std::string text = Write(g, {0});
    const std::string head = "G90*\r\nG71*\r\n"
                             "%FSLAX43Y43*%\r\n"
                             "%MOMM*%\r\n"
                             "%AMTHERMAL6*7,0,0,2.0000,1.2000,0.4000,45*%\r\n"
                             "%ADD11C,1.0000*%\r\n"
                             "%ADD12C,0.2000*%\r\n"
                             "%ADD14R,1.2000X1.2000*%\r\n"
                             "%ADD15C,2.0000X1.0000*%\r\n"
                             "%ADD16THERMAL6*%\r\n"
                             "%ADD17C,1.5000X0.0000*%\r\n"
                             "G75*\r\n"
                             "D02*\r\n"
                             "G01X0Y0*\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.find("ADD13"), std::string::npos); // turret 3 is used on layer 1 only
    const std::string tail = "D02*\r\nX0Y0*\r\nM02*\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(g.headerDone, 1);
    EXPECT_LT(g.minX, g.maxX);
    EXPECT_EQ(messages.Count(), 0u);

    CheckWithGerbv(InBoard("extended.gbr"), text, "png");
    std::filesystem::copy_file(InBoard("extended.gbr.png"), "/tmp/velta-cam-photo-gerbv.png",
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(PhotoWriterTest, InchesConvertTheSizesAndTheIncrementalFormatSaysSo)
{
    tagGERBAR g = Record(true);
    g.metric = 0;
    g.absolute = 0;
    g.outputFactor = 10000.0;
    const std::string text = Write(g, {0}, 4);
    EXPECT_EQ(text.rfind("G91*\r\nG70*\r\n%FSLIX44Y44*%\r\n%MOIN*%\r\n", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("%AMTHERMAL6*7,0,0,0.0787,0.0472,0.0157,45*%\r\n"), std::string::npos);
    EXPECT_NE(text.find("%ADD11C,0.0394*%\r\n"), std::string::npos);
    CheckWithGerbv(InBoard("inch.gbr"), text, "rs274x");
}

TEST_F(PhotoWriterTest, AnEmptyLayerListWritesTheFrameAlone)
{
    tagGERBAR g = Record(true);
    EXPECT_EQ(Write(g, {}),
              "G90*\r\nG71*\r\n%FSLAX43Y43*%\r\n%MOMM*%\r\nG75*\r\nD02*\r\nG01X0Y0*\r\nX0Y0*\r\nM02*\r\n");
}

TEST_F(PhotoWriterTest, HeaderAndEndTextsTakeTheBlockEnd)
{
    tagGERBAR g = Record(true);
    g.extended = 0;
    g.endOfBlock = '\n';
    g.headerText = "{EOB}{EOB}";
    g.endCode = "M02{EOB}M30";
    g.linearCode.clear();
    EXPECT_EQ(Write(g, {}), "\n\nD02\nX0Y0\nX0Y0\nM02\nM30\n");
}

TEST_F(PhotoWriterTest, CarriageReturnEndsKeepEveryBlockOfTheDefaultHeader)
{
    tagGERBAR g = Record(true);
    g.extended = 0;
    g.endOfBlock = '\r';
    const std::string text = Write(g, {0});
    EXPECT_EQ(text.rfind("G90\r\nG71\r\nD02\r\nG01X0Y0\r\n", 0), 0u);
}

TEST_F(PhotoWriterTest, ARingWithoutAHoleIsWrittenWithHalfItsSizeAndReported)
{
    doc->Turret(kDonut) = tagTURRET{2, 2.0, 2.5};
    tagGERBAR g = Record(true);
    const std::string text = Write(g, {0});
    EXPECT_NE(text.find("%ADD15C,2.0000X1.0000*%"), std::string::npos);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{_J("タレット 5 の内寸を外寸の半分で出力しました")});
    CheckWithGerbv(InBoard("ring.gbr"), text, "rs274x");
}

} // namespace
