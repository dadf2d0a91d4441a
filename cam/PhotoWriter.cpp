// The photo-plot file around the layer bodies that the layer sheets write.

#include "cam/PhotoWriter.h"

#include "document/VELTADoc.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <limits>
#include <string>

namespace {

constexpr double kPerInch = 0.03937007874015748;
constexpr int kThermal = 3;
constexpr int kDonut = 2;
constexpr int kSquare = 1;
constexpr int kThermalRotation = 45;

bool Used(const tagDCODE& entry)
{
    return entry.drawCount != 0 || entry.flashCount != 0;
}

// The aperture statements of the extended format: the thermal macros, then one definition per
// used turret with its first D code.
std::string ApertureStatements(CVELTADoc& doc, const tagGERBAR& g)
{
    const double unit = g.metric ? 1.0 : kPerInch;
    auto& apertures = doc.GetDCodeTable();
    std::string macros;
    std::string definitions;
    for (int t = 0; t < CVELTADoc::APERTURE_MAX; ++t) {
        const tagDCODE& entry = apertures[static_cast<std::size_t>(t)];
        if (!Used(entry))
            continue;
        const tagTURRET turret = doc.GetTurretEntry(t);
        double outer = turret.size1;
        double inner = turret.size2;
        // Only a hand-edited settings file holds a ring whose hole is not smaller than the ring;
        // such a ring is written as the turret dialog would have kept it.
        if ((turret.shape == kDonut || turret.shape == kThermal) && inner >= outer && outer > 0.0) {
            inner = outer * 0.5;
            AfxMessageBox(platform::Format(_J("タレット %d の内寸を外寸の半分で出力しました").c_str(), t),
                          MB_OK);
        }
        outer *= unit;
        inner *= unit;
        const int dcode = entry.codeCount > 0 ? entry.dcodes[0] : doc.GetTurretDCode(t);
        switch (turret.shape) {
        case kThermal:
            macros += platform::Format("%%AMTHERMAL%d*7,0,0,%.4f,%.4f,%.4f,%d*%%\r\n", t, outer, inner,
                                       (outer - inner) * 0.5, kThermalRotation);
            definitions += platform::Format("%%ADD%dTHERMAL%d*%%\r\n", dcode, t);
            break;
        case kDonut:
            definitions += platform::Format("%%ADD%dC,%.4fX%.4f*%%\r\n", dcode, outer, inner);
            break;
        case kSquare:
            definitions += platform::Format("%%ADD%dR,%.4fX%.4f*%%\r\n", dcode, outer, outer);
            break;
        default:
            definitions += platform::Format("%%ADD%dC,%.4f*%%\r\n", dcode, outer);
            break;
        }
    }
    return macros + definitions;
}

} // namespace

std::string ReplaceEobMarks(const std::string& text, char eob)
{
    static const std::string mark = "{EOB}";
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t hit; (hit = text.find(mark, at)) != std::string::npos; at = hit + mark.size()) {
        out.append(text, at, hit - at);
        out += eob;
    }
    out.append(text, at, std::string::npos);
    return out;
}

void ResetOutputExtents(tagGERBAR& g)
{
    g.prevX = g.prevY = 0.0;
    g.prevOutX = g.prevOutY = 0;
    g.maxX = g.maxY = std::numeric_limits<double>::lowest();
    g.minX = g.minY = std::numeric_limits<double>::max();
}

void WriteConverted(CArchive& ar, const tagGERBAR& g, std::string block)
{
    CSheet::CodeConv(block, g);
    ar.WriteString(block);
}

void WriteStartBlocks(CArchive& ar, tagGERBAR& g, bool extendedStatements, const std::string& statements)
{
    const char eob = g.endOfBlock;
    if (!g.headerText.empty()) {
        const std::string header = ReplaceEobMarks(g.headerText, eob);
        if (!header.empty())
            WriteConverted(ar, g, header);
    } else {
        WriteConverted(ar, g,
                       std::string(g.absolute ? "G90" : "G91") + eob + (g.metric ? "G71" : "G70") + eob);
    }
    if (extendedStatements) {
        ar.WriteString(statements);
        // Multi-quadrant arcs, so that full circles and long arcs read as drawn.
        WriteConverted(ar, g, std::string("G75") + eob);
    }
    WriteConverted(ar, g, g.moveCode + eob);
    g.headerDone = 1;
    // The linear code shares its block with the "X0Y0" that follows.
    if (!g.linearCode.empty())
        WriteConverted(ar, g, g.linearCode);
    g.interpolation = g.linearCode.empty() ? 0 : 1;
    WriteConverted(ar, g, std::string("X0Y0") + eob);
}

void WritePhotoData(CVELTADoc& doc, CArchive& ar, tagGERBAR& g, const int* layers, int decimals)
{
    g.currentAperture = -1;
    g.pendingExposure = 0;
    g.headerDone = 0;
    if (g.extended)
        g.lineBreak = 1;
    const char eob = g.endOfBlock;

    std::string statements;
    if (g.extended) {
        statements = g.absolute ? "%FSLA" : "%FSLI";
        statements += platform::Format("X4%dY4%d*%%\r\n", decimals, decimals);
        statements += g.metric ? "%MOMM*%\r\n" : "%MOIN*%\r\n";
        statements += ApertureStatements(doc, g);
    }
    WriteStartBlocks(ar, g, g.extended != 0, statements);
    ResetOutputExtents(g);

    for (const int* layer = layers; layer && *layer >= 0; ++layer) {
        if (*layer >= LAYER_MAX)
            continue;
        if (CSheet* sheet = doc.GetCamOutputSheet(*layer))
            sheet->SerializeGerbar(ar, g);
    }

    if (g.pendingExposure)
        WriteConverted(ar, g, g.moveCode + eob);
    WriteConverted(ar, g, std::string("X0Y0") + eob);
    const std::string end = ReplaceEobMarks(g.endCode, eob);
    if (!end.empty())
        WriteConverted(ar, g, end + eob);
}
