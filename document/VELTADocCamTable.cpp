// The board's CAM code tables: which D codes stand for which turret and how much each turret is
// used, the drill tools with their codes and hits, and the D-code strokes that CAM input uses to
// draw rectangular and oblong flashes with square and round turrets. The tables live with the
// board and are rebuilt by every CAM run; they are never saved.

#include "document/NumberText.h"
#include "document/VELTADoc.h"

#include "model/items/Hole.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr double kSizeTolerance = 1e-6;
constexpr int kFirstDCode = 10;
constexpr int kLastDCode = 999;
constexpr int kMaxToolNumber = 999;
constexpr int kThrough = 0x1;
constexpr int kLong = 0x10;
constexpr int kShapeCircle = 0;
constexpr int kShapeSquare = 1;
constexpr int kShapeDonut = 2;
constexpr int kShapeThermal = 3;
constexpr double kInch = 25.4;

bool IsFieldSeparator(char c)
{
    return c == ' ' || c == ',' || c == '\t';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void TrimLeft(std::string& s, bool (*drop)(char))
{
    std::size_t at = 0;
    while (at < s.size() && drop(s[at]))
        ++at;
    s.erase(0, at);
}

void TrimRight(std::string& s)
{
    while (!s.empty() && IsBlank(s.back()))
        s.pop_back();
}

std::size_t FindSeparator(const std::string& s, std::size_t from)
{
    for (std::size_t i = from; i < s.size(); ++i)
        if (IsFieldSeparator(s[i]))
            return i;
    return std::string::npos;
}

// The three fields of a list-file line (after the comment and the blanks are gone).
struct ListFields
{
    std::string first, second, third;
};

ListFields SplitListLine(const std::string& line)
{
    ListFields f;
    const std::size_t sep = FindSeparator(line, 0);
    f.first = line.substr(0, sep);
    TrimRight(f.first);
    if (sep == std::string::npos)
        return f;
    f.second = line.substr(sep + 1);
    TrimLeft(f.second, IsFieldSeparator);
    const std::size_t next = f.second.empty() ? std::string::npos : FindSeparator(f.second, 1);
    if (next != std::string::npos) {
        f.third = f.second.substr(next + 1);
        TrimLeft(f.third, IsFieldSeparator);
    }
    return f;
}

} // namespace

const char* CVELTADoc::ToolKindName(int kind)
{
    switch (kind & (kThrough | kLong)) {
    case kThrough:
        return "TH";
    case kLong | kThrough:
        return "LTH";
    case kLong:
        return "LNTH";
    default:
        return "NTH";
    }
}

void CVELTADoc::CamMessage(const std::string& text)
{
    if (m_pCamMessages)
        m_pCamMessages->push_back(text);
    else
        AfxMessageBox(text, MB_OK);
}

void CVELTADoc::ClearCamTables()
{
    m_apertures.fill(tagDCODE{});
    m_tools.fill(tagTCODE{});
    m_nToolCount = 0;
}

void CVELTADoc::ClearDCodeLists()
{
    for (tagDCODE& entry : m_apertures) {
        entry.codeCount = 0;
        entry.dcodes.fill(0);
    }
}

void CVELTADoc::ResetDCodeStrokes()
{
    m_dStrokes.fill(tagDSTROKE{});
}

bool CVELTADoc::AddTurretDCode(int turret, int dcode)
{
    if (turret < 0 || turret >= APERTURE_MAX)
        return false;
    tagDCODE& entry = m_apertures[static_cast<std::size_t>(turret)];
    if (entry.codeCount >= entry.dcodes.size()) {
        CamMessage(platform::Format(_J("Dコード %d は範囲外です").c_str(), dcode));
        return false;
    }
    entry.dcodes[entry.codeCount++] = static_cast<std::uint16_t>(dcode);
    return true;
}

tagDSTROKE CVELTADoc::GetDCodeStroke(int dcode)
{
    if (dcode < 0 || dcode >= DCODE_MAX)
        return tagDSTROKE{};
    return m_dStrokes[static_cast<std::size_t>(dcode)];
}

tagTCODE CVELTADoc::GetToolEntry(int index)
{
    if (index < 0 || index >= TOOL_TABLE_MAX)
        return tagTCODE{};
    return m_tools[static_cast<std::size_t>(index)];
}

int CVELTADoc::FindTurretByDCode(int dcode)
{
    for (int turret = 0; turret < APERTURE_MAX; ++turret) {
        const tagDCODE& entry = m_apertures[static_cast<std::size_t>(turret)];
        for (int i = 0; i < entry.codeCount; ++i)
            if (entry.dcodes[static_cast<std::size_t>(i)] == dcode)
                return turret;
    }
    return -1;
}

double CVELTADoc::GetTCodeSize(int tcode)
{
    for (const tagTCODE& tool : m_tools) {
        if (tool.toolCode[0] == '\0')
            continue;
        if (platform::Atoi(std::string_view(tool.toolCode.data() + 1)) == tcode)
            return tool.diameter;
    }
    return 0.0;
}

int CVELTADoc::FindTCode(CHole* hole, bool quiet)
{
    if (!hole)
        return 0;
    int kind = hole->IsThroughHole() ? kThrough : 0;
    double diameter = hole->GetHoleDia();
    if (hole->GetHoleShape() != 0) {
        const bool square =
            hole->IsHoleRect() && std::fabs(hole->GetHoleWidth() - diameter) <= kSizeTolerance;
        if (square)
            diameter = std::trunc(diameter * 142.0 + 1e-9) * 0.01;
        else
            kind |= kLong;
    }
    for (int i = 0; i < TOOL_TABLE_MAX; ++i) {
        const tagTCODE& tool = m_tools[static_cast<std::size_t>(i)];
        if (std::fabs(tool.diameter - diameter) <= kSizeTolerance && tool.holeType == kind)
            return i;
    }
    if (!quiet)
        CamMessage(_J("穴径 ") + FormatNumber(diameter) + "mm " + ToolKindName(kind) +
                   _J("のTコードが定義されていません"));
    return 0;
}

int CVELTADoc::GetTurretDCode(int turret)
{
    if (turret < 0 || turret >= APERTURE_MAX)
        return turret + kFirstDCode;
    tagDCODE& entry = m_apertures[static_cast<std::size_t>(turret)];
    if (entry.codeCount > 0)
        return entry.dcodes[0];
    // Automatic tables give every turret its default code as it is first written; a table read
    // from a file that forgot a used turret is worth a word.
    if (m_bWarnMissingDCode)
        CamMessage(platform::Format(_J("タレット %d のDコードが定義されていません").c_str(), turret));
    AddTurretDCode(turret, turret + kFirstDCode);
    return turret + kFirstDCode;
}

void CVELTADoc::ReadCodeTable(CArchive& file, bool photo)
{
    ClearCamTables();
    std::string line;
    while (file.ReadString(line)) {
        TrimLeft(line, IsBlank);
        line = platform::ToUpperAscii(line);
        const std::size_t hash = platform::FindByte(line, '#');
        if (hash != std::string::npos)
            line.erase(hash);
        TrimRight(line);
        if (line.empty())
            continue;
        const ListFields f = SplitListLine(line);
        if (photo) {
            int dcode = 0;
            int turret = 0;
            const std::size_t inFirst = f.first.find('D');
            const std::size_t inSecond = f.second.find('D');
            if (inFirst != std::string::npos) {
                dcode = platform::Atoi(std::string_view(f.first).substr(inFirst + 1));
                turret = platform::Atoi(f.second);
            } else if (inSecond != std::string::npos) {
                dcode = platform::Atoi(std::string_view(f.second).substr(inSecond + 1));
                turret = platform::Atoi(f.first);
            } else {
                continue;
            }
            if (dcode < kFirstDCode || dcode > kLastDCode)
                CamMessage(platform::Format(_J("Dコード %d は範囲外です").c_str(), dcode));
            else if (turret < 0 || turret >= APERTURE_MAX)
                CamMessage(platform::Format(_J("タレット番号 %d は範囲外です").c_str(), turret));
            else
                AddTurretDCode(turret, dcode);
            continue;
        }
        if (f.first.size() < 2 || f.first.size() > 4 || (f.first[0] != 'T' && f.first[0] != 'D'))
            continue;
        const int number = platform::Atoi(std::string_view(f.first).substr(1));
        if (number < 1 || number > kMaxToolNumber || m_nToolCount >= TOOL_TABLE_MAX) {
            CamMessage(platform::Format(_J("Tコード %d は範囲外です").c_str(), number));
            continue;
        }
        tagTCODE& tool = m_tools[static_cast<std::size_t>(m_nToolCount++)];
        tool = tagTCODE{};
        std::snprintf(tool.toolCode.data(), tool.toolCode.size(), "%s", f.first.c_str());
        tool.diameter = platform::Atof(f.second);
        tool.holeType = kThrough;
        if (f.third.find("LNTH") != std::string::npos)
            tool.holeType = kLong;
        else if (f.third.find("LTH") != std::string::npos)
            tool.holeType = kLong | kThrough;
        else if (f.third.find("NTH") != std::string::npos)
            tool.holeType = 0;
    }
}

CSheet* CVELTADoc::GetCamOutputSheet(int layer)
{
    CSheet* selection = GetSelectionSheet(layer);
    if (selection && selection->GetCount(0) > 0)
        return selection;
    return GetBoardSheet(layer);
}

void CVELTADoc::CountApertures(const int* layers, bool clear)
{
    if (clear) {
        for (tagDCODE& entry : m_apertures) {
            entry.drawCount = 0;
            entry.flashCount = 0;
            entry.drawnLength = 0.0;
        }
    }
    for (const int* layer = layers; layer && *layer >= 0; ++layer) {
        if (*layer >= LAYER_MAX)
            continue;
        if (CSheet* sheet = GetCamOutputSheet(*layer))
            sheet->CheckTurret(m_apertures.data());
    }
}

void CVELTADoc::CollectTools(const int* layers, int holeKind, bool clear)
{
    if (clear) {
        std::array<int, LAYER_MAX> flags{};
        for (const int* layer = layers; layer && *layer >= 0; ++layer)
            if (*layer < LAYER_MAX)
                flags[static_cast<std::size_t>(*layer)] = 1;
        // Finds the plating of the listed layers' holes before their tools are told apart.
        UpdateHolePlating(flags.data());
        m_tools.fill(tagTCODE{});
        m_nToolCount = 0;
    }
    for (const int* layer = layers; layer && *layer >= 0; ++layer) {
        if (*layer >= LAYER_MAX)
            continue;
        if (CSheet* sheet = GetBoardSheet(*layer))
            sheet->CheckHole(m_tools.data(), holeKind, &m_nToolCount);
    }
    if (m_stack.wireCount < 2)
        for (tagTCODE& tool : m_tools)
            tool.holeType &= ~kThrough;
}

void CVELTADoc::CountToolHits(CSheet& sheet)
{
    int previous = -1;
    int run = 0;
    for (POSITION pos = sheet.GetFirstHolePos(); pos;) {
        CHole* hole = sheet.GetNextHole(pos);
        const int tool = FindTCode(hole, true);
        tagTCODE& entry = m_tools[static_cast<std::size_t>(tool)];
        if (!hole->IsCheckHole()) {
            ++entry.hitCount;
        } else if (run == 0) {
            ++entry.hitCount;
            ++run;
        }
        if (tool != previous) {
            run = 0;
            previous = tool;
        }
    }
}

int CVELTADoc::AssignApertureTurret(const std::string& def, int, tagGERBAR* g)
{
    return AssignApertureTurret(def, std::vector<std::string>{}, g);
}

int CVELTADoc::AssignGerberAperture(const std::string& apertureDef, const std::vector<std::string>& macros,
                                    tagGERBAR* gerbar)
{
    return AssignApertureTurret(apertureDef, macros, gerbar);
}

int CVELTADoc::AssignApertureTurret(const std::string& def, const std::vector<std::string>& macros,
                                    tagGERBAR* g)
{
    if (def.empty() || def[0] != 'D')
        return -1;
    const bool inch = g && g->metric == 0;
    const double unit = inch ? kInch : 1.0;
    const std::size_t comma = def.find(',');
    auto turretAt = [this](int t) { return m_turrets[static_cast<std::size_t>(t)]; };
    // The turret of a shape at the least distance (the first on ties); -1 when the shape has none.
    auto nearest = [&turretAt](int shape, auto distance, double& bestGap) {
        int best = -1;
        bestGap = std::numeric_limits<double>::max();
        for (int t = 0; t < APERTURE_MAX; ++t) {
            const tagTURRET turret = turretAt(t);
            if (turret.shape != shape)
                continue;
            const double gap = distance(turret);
            if (gap < bestGap) {
                bestGap = gap;
                best = t;
            }
        }
        return best;
    };

    if (comma != std::string::npos) {
        const int dcode = platform::Atoi(std::string_view(def).substr(1, comma - 1));
        const char letter = comma > 0 ? def[comma - 1] : '\0';
        int shape = -1;
        bool twoSizes = false;
        if (letter == 'C') {
            shape = def.find('X') != std::string::npos ? kShapeDonut : kShapeCircle;
            twoSizes = shape == kShapeDonut;
        } else if (letter == 'R') {
            shape = kShapeSquare;
            twoSizes = true;
        } else if (letter == 'O') {
            shape = kShapeCircle;
            twoSizes = true;
        }
        if (shape < 0 || dcode < kFirstDCode)
            return -1;
        const std::string sizes = def.substr(comma + 1);
        double a = 0.0;
        double b = 0.0;
        if (twoSizes) {
            if (platform::Scan(sizes.c_str(), "%lfX%lf", &a, &b) < 1)
                a = 0.0;
        } else {
            platform::Scan(sizes.c_str(), "%lf", &a);
        }
        a *= unit;
        b *= unit;

        auto announce = [&](int turret, double size, bool exact) {
            if (!exact)
                CamMessage(platform::Format(_J("%s にタレット%d(%f)を使用しました").c_str(), def.c_str(),
                                            turret, size));
        };

        if ((letter == 'R' || letter == 'O') && b > 0.0) {
            // A rectangle or oblong is flashed as a stroke of the square or round turret that
            // fits its smaller side.
            const double side = std::min(a, b);
            double bestGap = 0.0;
            const int best = nearest(
                shape, [side](const tagTURRET& t) { return std::fabs(t.size1 - side); }, bestGap);
            if (best < 0) {
                CamMessage(sizes + _J("タレットが見つかりません。"));
                return -1;
            }
            const double size = turretAt(best).size1;
            double factor = g && g->divisor > 0.0 ? g->divisor : 0.0;
            if (factor <= 0.0)
                factor = g && g->outputFactor > 0.0 ? g->outputFactor : 1000.0;
            const double ia = std::trunc(a * factor);
            const double ib = std::trunc(b * factor);
            if (dcode < DCODE_MAX) {
                tagDSTROKE& stroke = m_dStrokes[static_cast<std::size_t>(dcode)];
                if (ia < ib)
                    stroke = tagDSTROKE{best, 2, (b - size) * 0.5};
                else if (ib < ia)
                    stroke = tagDSTROKE{best, 1, (a - size) * 0.5};
            }
            AddTurretDCode(best, dcode);
            announce(best, size, bestGap <= kSizeTolerance);
            return best;
        }

        double bestGap = 0.0;
        const int best = nearest(
            shape, [a, b](const tagTURRET& t) { return std::fabs(t.size1 - a) + std::fabs(t.size2 - b); },
            bestGap);
        if (best < 0) {
            CamMessage(sizes + _J("タレットが見つかりません。"));
            return -1;
        }
        AddTurretDCode(best, dcode);
        announce(best, turretAt(best).size1, bestGap <= kSizeTolerance);
        return best;
    }

    // A macro aperture: "D<digits><name>".
    std::size_t run = 1;
    while (run < def.size() && (def[run] == 'D' || std::isdigit(static_cast<unsigned char>(def[run]))))
        ++run;
    std::size_t codeEnd = run;
    if (codeEnd > 1 && def[codeEnd - 1] == 'D')
        --codeEnd;
    const int dcode = platform::Atoi(std::string_view(def).substr(1, codeEnd - 1));
    const std::string name = def.substr(codeEnd);
    for (const std::string& macro : macros) {
        if (macro.find(name) == std::string::npos)
            continue;
        const std::size_t body = name.size() + 1;
        if (body > macro.size() || macro.compare(body, 6, "7,0,0,") != 0)
            return -1;
        double outer = 0.0;
        double inner = 0.0;
        double gap = 0.0;
        int rotation = 0;
        platform::Scan(macro.c_str() + body + 6, "%lf,%lf,%lf,%d", &outer, &inner, &gap, &rotation);
        outer *= unit;
        inner *= unit;
        double bestGap = 0.0;
        const int best = nearest(
            kShapeThermal,
            [inner, outer](const tagTURRET& t) {
                return std::fabs(t.size2 - inner) + std::fabs(t.size1 - outer);
            },
            bestGap);
        if (best < 0)
            return -1;
        AddTurretDCode(best, dcode);
        if (bestGap > kSizeTolerance)
            CamMessage(platform::Format(_J("%s にタレット%dを使用しました").c_str(), def.c_str(), best));
        return best;
    }
    return -1;
}
