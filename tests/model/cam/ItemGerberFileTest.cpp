// A small RS-274-X file written by the items' photo-plot writers between a header and a trailer
// of the test's own: every selected aperture is defined, and a Gerber viewer (gerbv, which
// tools/setup installs) reads it without a complaint.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/startup/Startup.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::GerberOutput;

constexpr double kPi = std::numbers::pi;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HaveGerbv()
{
    return std::system("command -v gerbv >/dev/null 2>&1") == 0;
}

class ItemGerberFileTest : public ::testing::Test
{
protected:
    ItemGerberFileTest() : frame(&doc)
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[7] = tagTURRET{TURRET_SQUARE, 1.6, 0.0};
        doc.turretTable[8] = tagTURRET{TURRET_ROUND, 1.6, 0.0};
    }
    void SetUp() override
    {
        ASSERT_TRUE(GetStrokeFontFile().Open(VELTA_BINARY_DIR "/VELTA0.FNT"));
        m_dir = fs::temp_directory_path() / ("velta-itemgerber-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        GetStrokeFontFile().Close();
        fs::remove_all(m_dir);
    }

    FakeDocument doc;
    FakeFrameServices frame;
    fs::path m_dir;
};

TEST_F(ItemGerberFileTest, ItemsMakeAFileThatAGerberViewerReads)
{
    GerberOutput out(0); // arc centres relative to the start, as RS-274-X reads them with G75
    out.g.lineBreak = 1;
    out.ar.WriteString("%FSLAX33Y33*%\r\n%MOMM*%\r\n"
                       "%ADD11C,0.200*%\r\n%ADD12C,0.500*%\r\n%ADD17R,1.600X1.600*%\r\n%ADD18C,1.600*%\r\n"
                       "G75*\r\nG01*\r\nD02*\r\n");

    // A track of two chained lines, a land at its end with a stroke from the flash point, an arc
    // each way and a circle, a hatched surface with a window, a framed stroke text.
    CLine(CDPoint(0, 0), CDPoint(10, 0), 1, 0).DataWriteGerbar(out.ar, out.g, false);
    CLine(CDPoint(10, 0), CDPoint(10, 5), 1, 0).DataWriteGerbar(out.ar, out.g, false);
    CLand(CDPoint(10, 5), 7).DataWriteGerbar(out.ar, out.g);
    CLand(CDPoint(0, 5), 8).DataWriteGerbar(out.ar, out.g);
    CLine(CDPoint(0, 5), CDPoint(0, 10), 8, 0).DataWriteGerbar(out.ar, out.g, false);
    CArc(CDPoint(5, 10), 5, kPi, 0, ARC_CW, 2).DataWriteGerbar(out.ar, out.g, false);
    CArc(CDPoint(15, 10), 5, kPi, 0, 0, 2).DataWriteGerbar(out.ar, out.g, false);
    CArc(CDPoint(30, 10), 3, 0, 0, 0, 1).DataWriteGerbar(out.ar, out.g, false);
    CSur sur;
    const CDPoint outer[4] = {CDPoint(40, 0), CDPoint(50, 0), CDPoint(50, 10), CDPoint(40, 10)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(outer[i], outer[(i + 1) % 4], 1, 0));
    CSur window;
    window.AddArc(std::make_unique<CArc>(CDPoint(45, 5), 2, 0, 0, 0, 1));
    sur.NewWindow(window);
    sur.SetTurretNo(1, true);
    ASSERT_GT(sur.GetSurLineCount(), 0);
    sur.DataWriteGerbar(out.ar, out.g);
    CText text("A1", CDPoint(0, 15), 1);
    LOGFONTA lf;
    lf.lfHeight = 300;
    lf.lfWidth = 300;
    lf.lfWeight = 60;
    text.SetFontRecord(lf);
    text.SetType(text.GetType() | TEXT_FRAME);
    text.DataWriteGerbar(out.ar, out.g, false);
    out.ar.WriteString("M02*\r\n");

    const std::string body = out.Text();
    // Every aperture selected is one the header defines.
    const std::set<std::string> defined{"11", "12", "17", "18"};
    for (std::size_t at = body.find("G54D"); at != std::string::npos; at = body.find("G54D", at + 1)) {
        const std::string code = body.substr(at + 4, body.find('*', at) - at - 4);
        EXPECT_TRUE(defined.count(code)) << "D" << code;
    }
    // No coordinate block right after a flash: the move code comes first.
    EXPECT_EQ(body.find("D03*\r\nX"), std::string::npos);

    const fs::path file = m_dir / "items.gbr";
    std::ofstream(file, std::ios::binary) << body;
    ASSERT_TRUE(HaveGerbv()) << "gerbv is not installed (tools/setup installs it)";
    const fs::path png = m_dir / "items.png";
    const fs::path log = m_dir / "gerbv.log";
    const std::string command = "gerbv --export=png --dpi=100 --output='" + png.string() + "' '" +
                                file.string() + "' >'" + log.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string messages = ReadFile(log);
    EXPECT_EQ(messages.find("CRITICAL"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("WARNING"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("rror"), std::string::npos) << messages;
    ASSERT_TRUE(fs::exists(png));
    EXPECT_GT(fs::file_size(png), 0u);
}

} // namespace
