// A layer written as an RS-274-X file and read back gives the same items within the format's
// resolution; the file loads in a Gerber viewer (gerbv, installed by tools/setup) without a
// message. The viewer's picture is left at /tmp/velta-gerber-layer-gerbv.png for a look beside
// the layer's own drawing (gui_tests, /tmp/velta-gerber-layer-draw.png).

#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "platform/Messages.h"
#include "tests/model/sheet/SheetGerberItems.h"
#include "tests/model/sheet/SheetGerberLayer.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/GerberOutput.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Strings Sorted(Strings items)
{
    std::sort(items.begin(), items.end());
    return items;
}

class SheetGerberFileTest : public ::testing::Test
{
protected:
    SheetGerberFileTest()
    {
        platform::SetMessageService(&messages);
        gerber_test::BuildLayer(doc, layer, viaParts);
        doc.apertureTurrets = {{11, 1}, {12, 2}, {17, 7}, {18, 8}};
    }
    ~SheetGerberFileTest() override { platform::SetMessageService(nullptr); }

    std::string WriteFile()
    {
        testing_support::GerberOutput out(0);
        out.g.photo = 1;
        out.g.lineBreak = 1;
        out.ar.WriteString(gerber_test::LayerHeader());
        layer.SerializeGerbar(out.ar, out.g);
        out.ar.WriteString("M02*\r\n");
        return out.Text();
    }

    platform::RecordingMessages messages;
    FakeDocument doc;
    FakeFrameServices frame{&doc};
    CSheet viaParts{0, 0, LAYER_MAX, &doc};
    CSheet layer{0, 0x1, 0, &doc};
};

TEST_F(SheetGerberFileTest, LayerReadsBackAsItWasWritten)
{
    const std::string file = WriteFile();
    CSheet back(0, 0, 1, &doc);
    tagGERBAR g = gerber_test::PhotoSettings();
    const CamReadResult result = gerber_test::Read(back, g, file);
    ASSERT_TRUE(result.wellFormed) << result.line << ": " << result.reason;
    EXPECT_TRUE(result.messages.empty());
    Strings expected = gerber_test::Items(layer);
    expected.push_back("P(20,2)#8"); // the via's land on this layer
    EXPECT_EQ(Sorted(gerber_test::Items(back)), Sorted(expected)) << file;
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(SheetGerberFileTest, GerberViewerReadsTheLayerWithoutMessages)
{
    const fs::path dir = fs::temp_directory_path() / ("velta-gerberlayer-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "layer.gbr";
    std::ofstream(file, std::ios::binary) << WriteFile();
    ASSERT_EQ(std::system("command -v gerbv >/dev/null 2>&1"), 0)
        << "gerbv is not installed (tools/setup installs it)";
    const fs::path png = "/tmp/velta-gerber-layer-gerbv.png";
    const fs::path log = dir / "gerbv.log";
    const std::string command =
        "gerbv -x png --dpi=300 --border=5 --background=#203040 --foreground=#dc2828 -o '" + png.string() +
        "' '" + file.string() + "' >'" + log.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string messages = ReadText(log);
    EXPECT_EQ(messages.find("CRITICAL"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("WARNING"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("rror"), std::string::npos) << messages;
    ASSERT_TRUE(fs::exists(png));
    EXPECT_GT(fs::file_size(png), 0u);
    fs::remove_all(dir);
}

} // namespace
