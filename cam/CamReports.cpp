#include "cam/CamReports.h"

#include "cam/ReportTemplate.h"
#include "document/BoardFileSupport.h"
#include "document/NumberText.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/sheet/Sheet.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>

namespace {

using Strings = std::vector<std::string>;

constexpr int kTurrets = 121;
constexpr double kSame = 1e-6;

// The words of a report, English or Japanese as the template asks.
const std::string& Word(bool english, const std::string& en, const std::string& ja)
{
    return english ? en : ja;
}

std::string Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64] = {};
    std::strftime(text, sizeof text, "%Y/%m/%d  %H:%M:%S", &local);
    return text;
}

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LayerList(const std::vector<int>& layers)
{
    std::string list;
    for (int layer : layers) {
        if (layer < 0)
            break;
        list += platform::Format("%3d, ", layer + 1);
    }
    while (!list.empty() && (list.back() == ',' || list.back() == ' '))
        list.pop_back();
    return list;
}

std::string Mirror(const tagGERBAR& g)
{
    if (g.mirrorX && g.mirrorY)
        return "XY";
    if (g.mirrorX)
        return "X";
    return g.mirrorY ? "Y" : "Off";
}

std::string Rotation(double radians)
{
    const double degrees = radians * 180.0 * 0.3183098861837907;
    for (int right : {0, 90, 180, 270}) {
        if (std::fabs(degrees - right) < kSame)
            return std::to_string(right);
    }
    return platform::Format("%.2f", degrees);
}

std::string TapeCode(int code)
{
    switch (code) {
    case 1:
        return "EBCDIC";
    case 2:
        return "EIA";
    case 3:
        return "ISO";
    default:
        return "ASCII";
    }
}

std::string EndOfBlock(char eob)
{
    return eob == '\n' ? "LF" : (eob == '\r' ? "CR" : "*");
}

std::string NumberFormat(double factor)
{
    if (factor == 0.0)
        return "X000Y000";
    const long digits = static_cast<long>(factor);
    std::string text = platform::Format("X000%ldY000%ld", digits, digits);
    for (char& c : text) {
        if (c == '1')
            c = 'V';
    }
    return text;
}

// The common frame and the output settings every report shows.
void FillCommon(CReportTemplate& report, CVELTADoc& doc, const tagGERBAR& g, const std::vector<int>& layers,
                const std::string& dataName, const std::string& dataPath, bool photo)
{
    const bool en = report.IsEnglish();
    report.ReplaceCommon({"$TITLE$", "$DATE$", "$PCBNAME$", "$PCBFILE$"},
                         {photo ? Word(en, "Phot report", _J("フォト出力レポート"))
                                : Word(en, "Drill report", _J("ドリル出力レポート")),
                          Now(), _J("　"), doc.GetDocPathName()});
    Strings keys = {"$BLOCKTITLE$", "$DATANAME$", "$DATAFILE$", "$LAYERLIST$", "$MIRROR$",
                    "$ROTATE$",     "$SCALE$",    "$ORIGINX$",  "$ORIGINY$",   "$CHARCODE$",
                    "$EOB$",        "$UNIT$",     "$VFORMAT$",  "$ABSINC$"};
    Strings values = {photo ? Word(en, "Phot Data List", _J("アパーチャリスト"))
                            : Word(en, "Drill Data List", _J("ドリルデータリスト")),
                      dataName,
                      FileName(dataPath),
                      LayerList(layers),
                      Mirror(g),
                      Rotation(g.angle),
                      platform::Format("%.4f", g.scale),
                      platform::Format("%.4f", g.offsetX),
                      platform::Format("%.4f", g.offsetY),
                      TapeCode(g.codeType),
                      EndOfBlock(g.endOfBlock),
                      g.metric ? Word(en, "mm", _J("ミリ")) : Word(en, "inch", _J("インチ")),
                      NumberFormat(g.outputFactor),
                      g.absolute ? Word(en, "Absolute", _J("絶対座標"))
                                 : Word(en, "Incremental", _J("相対座標"))};
    if (!photo) {
        static const char* const english[] = {"CR Hit Type", "G81 Hit Type", "M05 Hit Type", "D03 Hit Type"};
        const std::string* const japanese[] = {&_J("CRヒットタイプ"), &_J("G81ヒットタイプ"),
                                               &_J("M05ヒットタイプ"), &_J("D03ヒットタイプ")};
        const int hit = g.hitType >= 0 && g.hitType < 4 ? g.hitType : 0;
        keys.push_back("$HITFORMAT$");
        values.push_back(en ? std::string(english[hit]) : *japanese[hit]);
    }
    report.AddValues(keys, values, false);
}

// The extents and size of the written data, then the report beside the data file.
void Finish(CReportTemplate& report, const tagGERBAR& g, Strings keys, Strings values,
            const std::string& dataPath, std::uint64_t dataLength, bool keepExtension)
{
    keys.push_back("$DATAAREA$");
    values.push_back(
        g.maxX < g.minX && g.maxY < g.minY
            ? std::string("min (--.----, --.----) max (--.----, --.----)")
            : platform::Format("min (%.4f, %.4f)  max (%.4f, %.4f)", g.minX, g.minY, g.maxX, g.maxY));
    keys.push_back("$DATASIZE$");
    values.push_back(std::to_string(dataLength));
    report.AddValues(keys, values, false);
    report.Write(platform::Cp932ToPath(keepExtension ? dataPath : CutExtension(dataPath)));
}

const char* const kSeparator =
    "===========================================================================\n";

double Degrees(double radians)
{
    double degrees = std::fmod(radians * 180.0 / M_PI, 360.0);
    if (degrees <= -180.0)
        degrees += 360.0;
    else if (degrees > 180.0)
        degrees -= 360.0;
    return degrees;
}

// Text right-aligned in `width`, as printf pads a field: spaces before it, nothing cut.
void AppendRightAligned(std::string& out, const char* text, std::size_t length, std::size_t width)
{
    if (length < width)
        out.append(width - length, ' ');
    out.append(text, length);
}

// A number as "%*d" prints it: right-aligned in `width`.
bool AppendPadded(std::string& out, int value, std::size_t width)
{
    char digits[16];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    if (error != std::errc())
        return false;
    AppendRightAligned(out, digits, static_cast<std::size_t>(end - digits), width);
    return true;
}

// A finite number as "% *.*f" prints it: a space where a minus would go, right-aligned in
// `width`. The fixed form with a precision is the exact value rounded as printf rounds it (to the
// nearest, an exact half to even). False, and nothing added, for a number printf has to write.
bool AppendFixed(std::string& out, double value, std::size_t width, int precision)
{
    if (!std::isfinite(value))
        return false;
    char digits[48];
    char* at = digits;
    if (!std::signbit(value))
        *at++ = ' ';
    const auto [end, error] =
        std::to_chars(at, digits + sizeof digits, value, std::chars_format::fixed, precision);
    if (error != std::errc())
        return false;
    AppendRightAligned(out, digits, static_cast<std::size_t>(end - digits), width);
    return true;
}

// One drill-list form: round holes three to a line, or shaped holes two to a line with their angle,
// in groups of equal size and plating, each under a header between separator lines.
void HoleList(CVELTADoc& doc, CSheet& holes, bool circular, std::string& out)
{
    const int perLine = circular ? 3 : 2;
    int count = 0;
    const CHole* group = nullptr;
    auto differs = [](double a, double b) { return std::fabs(a - b) > kSame; };
    POSITION pos = holes.GetFirstHolePos();
    while (pos) {
        CHole* hole = holes.GetNextHole(pos);
        if (!hole || (hole->GetHoleShape() == 0) != circular)
            continue;
        if (!group || differs(hole->GetHoleDia(), group->GetHoleDia()) ||
            hole->IsThroughHole() != group->IsThroughHole() ||
            (!circular && (differs(hole->GetHoleWidth(), group->GetHoleWidth()) ||
                           differs(hole->GetHoleRadius(), group->GetHoleRadius())))) {
            if (count > 0) {
                out += "\n";
                if (count % perLine != 0)
                    out += "\n";
            }
            group = hole;
            count = 0;
            const char* plating = hole->IsThroughHole() ? "Through hole\n" : "Non-Through hole\n";
            out += kSeparator;
            if (circular)
                out += platform::Format(" Hole Diameter = %.2f mm for ", hole->GetHoleDia());
            else if (hole->IsHoleRect())
                out += "Rectangle Width " + FormatNumber(hole->GetHoleWidth()) + "mm  Hight " +
                       FormatNumber(hole->GetHoleDia()) + "mm  Corner " +
                       FormatNumber(hole->GetHoleRadius()) + "mm for ";
            else
                out += "Oval Width " + FormatNumber(hole->GetHoleWidth()) + "mm  Hight " +
                       FormatNumber(hole->GetHoleDia()) + "mm for ";
            out += plating;
            out += kSeparator;
        }
        CDPoint at = hole->GetPoint();
        doc.ToUserOrigin(at, 0);
        // "[%3d] % 8.3f,% 8.3f " and for shaped holes "% 6.2f    ", made in place.
        ++count;
        const double angle = circular ? 0.0 : Degrees(hole->GetAngle());
        const std::size_t rowStart = out.size();
        out += '[';
        bool made = AppendPadded(out, count, 3);
        out += "] ";
        made = made && AppendFixed(out, at.x, 8, 3);
        out += ',';
        made = made && AppendFixed(out, at.y, 8, 3);
        out += ' ';
        if (!circular) {
            made = made && AppendFixed(out, angle, 6, 2);
            out += "    ";
        }
        if (!made) {
            out.resize(rowStart);
            out += platform::Format("[%3d] % 8.3f,% 8.3f ", count, at.x, at.y);
            if (!circular)
                out += platform::Format("% 6.2f    ", angle);
        }
        if (count % perLine == 0)
            out += '\n';
    }
}

} // namespace

std::string CutExtension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    // A dot inside a folder name, or the first character of the name, starts no extension.
    if (dot == std::string::npos || dot == 0 || (slash != std::string::npos && dot <= slash + 1))
        return path;
    return path.substr(0, dot);
}

void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, bool keepExtension)
{
    WritePhotoReport(doc, settings, layers, dataName, reportName, dataPath, dataLength, doc.GetDCodeTable(),
                     keepExtension);
}

void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, const ApertureUsage& usage, bool keepExtension)
{
    CReportTemplate report;
    if (!report.Load(reportName, "$PHOT$"))
        return;
    FillCommon(report, doc, settings, layers, dataName, dataPath, true);
    const bool en = report.IsEnglish();
    static const char* const english[] = {"Circle ", "Square ", "Dounat ", "Thermal"};
    const std::string* const japanese[] = {&_J("  円形  "), &_J("  角形  "), &_J("円形中抜"),
                                           &_J("サーマル")};
    long lands = 0, lines = 0;
    double length = 0.0;
    for (int turret = 0; turret < kTurrets; ++turret) {
        const tagDCODE& use = usage[static_cast<std::size_t>(turret)];
        if (use.drawCount == 0 && use.flashCount == 0)
            continue;
        const tagTURRET entry = doc.GetTurretEntry(turret);
        const int shape = entry.shape >= 0 && entry.shape < 4 ? entry.shape : 0;
        const bool hollow = shape == 2 || shape == 3;
        const int dcode = use.codeCount > 0 ? use.dcodes[0] : doc.GetTurretDCode(turret);
        report.AddValues(
            {"$TURRET$", "$DCODE$", "$TTYPE$", "$TOUTSIZE$", "$TINSIZE$", "$LANDCOUNT$", "$LINECOUNT$",
             "$LINELEN$"},
            {platform::Format("%3d", turret), platform::Format("%3d", dcode),
             en ? std::string(english[shape]) : *japanese[shape], platform::Format("%.4f", entry.size1),
             hollow && use.flashCount != 0 ? platform::Format("%.4f", entry.size2) : "------",
             platform::Format("%8ld", static_cast<long>(use.flashCount)),
             platform::Format("%8ld", static_cast<long>(use.drawCount)),
             use.drawCount != 0 ? platform::Format("%12.4f", use.drawnLength) : std::string(12, ' ')},
            true);
        lands += use.flashCount;
        lines += use.drawCount;
        length += use.drawnLength;
    }
    Finish(report, settings, {"$LANDTOTAL$", "$LINETOTAL$", "$LINELENTOTAL$"},
           {std::to_string(lands), std::to_string(lines), platform::Format("%.4f", length)}, dataPath,
           dataLength, keepExtension);
}

void WriteDrillReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, bool keepExtension)
{
    CReportTemplate report;
    if (!report.Load(reportName, "$DRILL$"))
        return;
    FillCommon(report, doc, settings, layers, dataName, dataPath, false);
    const bool en = report.IsEnglish();
    static const char* const english[] = {"Center", "Edges", "Edges+Center", "N Point"};
    const std::string* const japanese[] = {&_J("中心"), &_J("両端"), &_J("両端＋中心"), &_J("Ｎ点")};
    long hits = 0;
    for (const tagTCODE& tool : doc.GetTCodeTable()) {
        if (tool.hitCount <= 0)
            continue;
        std::string comment;
        const int method = settings.longHoleMode;
        if ((tool.holeType & HOLE_LONG) != 0 && method >= 1 && method <= 4)
            comment = en ? "for Oval (" + std::string(english[method - 1]) + ")"
                         : _J("長穴用 （") + *japanese[method - 1] + _J("）");
        const std::string code(tool.toolCode.data(), strnlen(tool.toolCode.data(), tool.toolCode.size()));
        report.AddValues({"$TOOLNO$", "$HOLESIZE$", "$HOLECOUNT$", "$HOLETYPE$", "$HOLECOMMENT$"},
                         {code, platform::Format("%5.2f", tool.diameter),
                          platform::Format("%8ld", static_cast<long>(tool.hitCount)),
                          (tool.holeType & HOLE_THROUGH) != 0 ? "TH " : "NTH", comment},
                         true);
        hits += tool.hitCount;
    }
    Finish(report, settings, {"$HOLETOTAL$"}, {std::to_string(hits)}, dataPath, dataLength, keepExtension);
}

void WriteDrillList(CVELTADoc& doc, CSheet& holes, const std::string& dataPath, const std::string& listName,
                    bool circular, bool append)
{
    // Without a name the list would overwrite the drill file itself; it takes the dialog's default.
    const std::string path =
        CutExtension(dataPath) + "." + (listName.empty() ? std::string("hst") : listName);
    std::string text;
    HoleList(doc, holes, circular, text);
    text += "\n";
    std::ofstream out(platform::Cp932ToPath(path),
                      std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (out)
        out << docfile::TextModeBytes(text);
    out.close();
    if (!out)
        AfxMessageBox(platform::Format("Drill List File %s cannot open", path.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
}
