// Reading a photo-plot (RS-274-X, or RS-274-D with the board's aperture table) or an NC drill file
// into the layer: draws become lines and arcs, flashes lands, regions surfaces and drill hits
// holes. Coordinates are kept in unmirrored millimetres while reading; the mirror applies to each
// item as it is made, rotation and offset to the whole sheet at the end.

#include "model/cam/CamBlockReader.h"
#include "model/cam/CamReadResult.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr double kInch = 25.4;
constexpr double kSameTolerance = 1e-6;
constexpr double kLimitMm = 10000.0;     // ±10 m: beyond it a coordinate or size is not a board's
constexpr int kRepeatLimit = 10000;      // drill repeat hits of one block
constexpr int kStepLimit = 10000;        // copies of one step-and-repeat block
constexpr long kStepItemLimit = 5000000; // items that step-and-repeat copies may make in all

// Thrown when the file cannot be read on; the reading ends with its reason.
struct Malformed
{
    std::string reason;
};

// A number field after a code letter: an optional sign, digits with at most one point.
struct NumberField
{
    bool negative = false;
    bool point = false;
    std::string_view whole;    // digits before the point (all digits without one)
    std::string_view fraction; // digits after the point
    std::size_t end = 0;       // index after the field
    bool HasDigits() const { return !whole.empty() || !fraction.empty(); }
    // The digits as a decimal number's text, "0" standing for no whole digits.
    std::string DecimalText() const
    {
        std::string text(whole.empty() ? std::string_view("0") : whole);
        text += '.';
        text += fraction;
        return text;
    }
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsNumber(char c)
{
    return IsDigit(c) || c == '+' || c == '-' || c == '.';
}

NumberField ReadNumber(std::string_view text, std::size_t at)
{
    NumberField n;
    while (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-')
            n.negative = !n.negative;
        ++at;
    }
    // The field's text stays where it is: the views point into it.
    const auto digitsFrom = [&text](std::size_t& at) {
        const std::size_t first = at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        return text.substr(first, at - first);
    };
    n.whole = digitsFrom(at);
    if (at < text.size() && text[at] == '.') {
        n.point = true;
        ++at;
        n.fraction = digitsFrom(at);
    }
    n.end = at;
    return n;
}

// The next code letter with its number from at on (bytes that start no field are passed over);
// at moves past the number. False when the block holds no further field.
bool NextCodeField(std::string_view block, std::size_t& at, char& letter, NumberField& n)
{
    for (; at < block.size(); ++at) {
        const char c = block[at];
        if (c < 'A' || c > 'Z' || at + 1 >= block.size() || !StartsNumber(block[at + 1]))
            continue;
        n = ReadNumber(block, at + 1);
        if (!n.HasDigits())
            continue;
        letter = c;
        at = n.end;
        return true;
    }
    return false;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool Same(const CDPoint& a, const CDPoint& b)
{
    return std::fabs(a.x - b.x) <= kSameTolerance && std::fabs(a.y - b.y) <= kSameTolerance;
}

// Where the shapes of an aperture macro reach, about the flash point: the farthest distance and
// the farthest |x| and |y|, in the file's unit.
struct MacroReach
{
    double radius = 0.0;
    double halfX = 0.0;
    double halfY = 0.0;

    // A disc of radius r centred on (x, y) turned by the angle in degrees about the flash point
    // (a corner is a disc of radius 0).
    void Add(double x, double y, double r, double degrees)
    {
        const double a = degrees * std::numbers::pi / 180.0;
        const double rx = x * std::cos(a) - y * std::sin(a);
        const double ry = x * std::sin(a) + y * std::cos(a);
        radius = std::max(radius, std::hypot(rx, ry) + r);
        halfX = std::max(halfX, std::fabs(rx) + r);
        halfY = std::max(halfY, std::fabs(ry) + r);
    }
};

// One field of a macro primitive: a number or a "$n" parameter of the aperture. False for an
// expression, which the reader does not evaluate.
bool MacroValue(std::string_view field, const std::vector<double>& params, double& value)
{
    field = Trim(field);
    if (field.empty())
        return false;
    if (field[0] == '$') {
        const NumberField n = ReadNumber(field, 1);
        if (n.end != field.size() || n.point || n.negative || n.whole.empty() || n.whole.size() > 3)
            return false;
        const std::size_t index = static_cast<std::size_t>(std::stoi(std::string(n.whole)));
        value = index >= 1 && index <= params.size() ? params[index - 1] : 0.0;
        return true;
    }
    const NumberField n = ReadNumber(field, 0);
    if (n.end != field.size() || !n.HasDigits() || n.whole.size() > 10)
        return false;
    value = std::strtod(n.DecimalText().c_str(), nullptr);
    if (n.negative)
        value = -value;
    return true;
}

// Measures the exposed primitives of a macro body ("code,field,...*code,..."). False when a
// primitive cannot be measured (expressions, variable definitions, unknown codes).
bool MeasureMacro(std::string_view body, const std::vector<double>& params, MacroReach& reach)
{
    bool any = false;
    while (!body.empty()) {
        std::size_t end = body.find('*');
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view primitive = Trim(body.substr(0, end));
        body.remove_prefix(std::min(end + 1, body.size()));
        if (primitive.empty())
            continue;
        std::vector<double> f;
        bool comment = false;
        for (std::size_t at = 0; at <= primitive.size();) {
            std::size_t comma = primitive.find(',', at);
            if (comma == std::string_view::npos)
                comma = primitive.size();
            double value = 0.0;
            if (f.empty() && Trim(primitive.substr(at, comma - at)) == "0") {
                comment = true;
                break;
            }
            if (!MacroValue(primitive.substr(at, comma - at), params, value))
                return false;
            f.push_back(value);
            at = comma + 1;
        }
        if (comment)
            continue;
        if (!(f[0] >= 1.0 && f[0] <= 99.0))
            return false;
        const int code = static_cast<int>(f[0]);
        auto field = [&f](std::size_t i) { return i < f.size() ? f[i] : 0.0; };
        if ((code == 1 || code == 20 || code == 21 || code == 4 || code == 5) && field(1) == 0.0)
            continue; // an exposure-off shape only clears
        switch (code) {
        case 1: // circle: exposure, diameter, centre, rotation
            reach.Add(field(3), field(4), std::fabs(field(2)) / 2.0, field(5));
            break;
        case 20: { // vector line: exposure, width, start, end, rotation
            const double dx = field(5) - field(3), dy = field(6) - field(4);
            const double length = std::hypot(dx, dy);
            const double w = std::fabs(field(2)) / 2.0;
            const double nx = length > 0.0 ? -dy / length * w : 0.0, ny = length > 0.0 ? dx / length * w : w;
            for (const double side : {-1.0, 1.0}) {
                reach.Add(field(3) + side * nx, field(4) + side * ny, 0.0, field(7));
                reach.Add(field(5) + side * nx, field(6) + side * ny, 0.0, field(7));
            }
            break;
        }
        case 21: // centre line: exposure, width, height, centre, rotation
            for (const double sx : {-1.0, 1.0})
                for (const double sy : {-1.0, 1.0})
                    reach.Add(field(4) + sx * std::fabs(field(2)) / 2.0,
                              field(5) + sy * std::fabs(field(3)) / 2.0, 0.0, field(6));
            break;
        case 4: { // outline: exposure, vertices, points, rotation
            if (!(field(2) >= 1.0 && field(2) * 2.0 + 6.0 <= static_cast<double>(f.size()) + 1.0))
                return false;
            const int count = static_cast<int>(field(2));
            const double rotation = field(5 + 2 * static_cast<std::size_t>(count));
            for (int k = 0; k <= count; ++k)
                reach.Add(field(3 + 2 * static_cast<std::size_t>(k)),
                          field(4 + 2 * static_cast<std::size_t>(k)), 0.0, rotation);
            break;
        }
        case 5: // polygon: exposure, vertices, centre, diameter, rotation
            reach.Add(field(3), field(4), std::fabs(field(5)) / 2.0, field(6));
            break;
        case 6: // moire: centre, outer diameter, ..., cross hair length, rotation
            reach.Add(field(1), field(2), std::max(std::fabs(field(3)), std::fabs(field(8))) / 2.0, field(9));
            break;
        case 7: // thermal: centre, outer diameter, ..., rotation
            reach.Add(field(1), field(2), std::fabs(field(3)) / 2.0, field(6));
            break;
        default:
            return false;
        }
        any = true;
    }
    return any;
}

class GerberReading
{
public:
    GerberReading(CSheet& sheet, tagGERBAR& g, CamReadResult& result)
        : m_sheet(sheet), m_target(&sheet), m_g(g), m_result(result), m_doc(sheet.GetDocument())
    {
        if (m_g.divisor <= 0.0)
            m_g.divisor = 1.0;
        m_decDigits = static_cast<int>(std::lround(std::log10(m_g.divisor)));
        const double factor = m_g.fileUnitFactor > 0.0 ? m_g.fileUnitFactor : (m_g.metric ? 1.0 : kInch);
        // One unit state: the factor in millimetres, from which the inch factor follows.
        m_metricFactor = m_g.metric ? factor : factor / kInch;
        m_g.fileUnitFactor = factor;
        m_g.darkPolarity = 1;
        m_g.inRegion = 0;
        m_g.inParameter = 0;
        m_g.penDown = 0;
        m_g.lastGCode = 0;
        if (!m_g.photo && m_g.intDigits >= 1 && m_g.intDigits <= 4) {
            // Until a header states the format, the dialog's integer digits mean trailing zeros
            // left out.
            m_trailingOmitted = true;
            m_intDigits = m_g.intDigits;
            m_dialogDigits = true;
        }
    }

    void Run(CArchive& ar)
    {
        CamBlockReader blocks(ar, m_g, m_g.photo != 0);
        CamBlockReader::Block block;
        try {
            for (;;) {
                const CamBlockReader::Status status = blocks.Next(block);
                if (status == CamBlockReader::kEnd)
                    break;
                if (status == CamBlockReader::kMalformed) {
                    Fail(blocks.FailLine(), blocks.FailReason());
                    break;
                }
                m_blockStart = block.start;
                if (block.parameter) {
                    m_g.inParameter = 1;
                    Parameter(block.text);
                    m_g.inParameter = 0;
                } else if (m_g.photo) {
                    PhotoBlock(block.text);
                } else {
                    DrillBlock(block.text);
                }
                if (m_lastM == 0 || m_lastM == 2 || m_lastM == 30)
                    break;
            }
        } catch (const Malformed& m) {
            Fail(blocks.LineAt(m_blockStart), m.reason);
        }
        Finish(blocks);
    }

private:
    void Fail(int line, const std::string& reason)
    {
        m_result.wellFormed = false;
        m_result.line = line;
        m_result.reason = reason;
    }

    double Factor() const { return m_g.metric ? m_metricFactor : m_metricFactor * kInch; }
    void SetMetric(bool metric)
    {
        m_g.metric = metric ? 1 : 0;
        m_g.fileUnitFactor = Factor();
    }

    // --- Numbers ---

    // The value of a run of decimal digits, refused beyond 32 bits.
    std::int64_t Digits(std::string_view digits) const
    {
        std::size_t first = 0;
        while (first < digits.size() && digits[first] == '0')
            ++first;
        if (digits.size() - first > 10)
            throw Malformed{platform::Format(_J("数値 %s が 32 ビットを超えています").c_str(),
                                             std::string(digits).c_str())};
        std::int64_t value = 0;
        for (std::size_t i = first; i < digits.size(); ++i)
            value = value * 10 + (digits[i] - '0');
        if (value > 2147483647LL)
            throw Malformed{platform::Format(_J("数値 %s が 32 ビットを超えています").c_str(),
                                             std::string(digits).c_str())};
        return value;
    }

    int Code(const NumberField& n) const
    {
        const int value = static_cast<int>(Digits(n.whole));
        return n.negative ? -value : value;
    }

    // A coordinate or offset in millimetres: decimal values as they stand in the file's unit,
    // integers by the digit format and its zero omission.
    double Value(const NumberField& n) const
    {
        double value = 0.0;
        if (n.point) {
            const std::string text = n.DecimalText();
            if (n.whole.size() > 10)
                throw Malformed{
                    platform::Format(_J("数値 %s が 32 ビットを超えています").c_str(), text.c_str())};
            value = std::strtod(text.c_str(), nullptr);
        } else if (m_trailingOmitted && m_intDigits > 0) {
            std::string digits(n.whole);
            const std::size_t width = static_cast<std::size_t>(m_intDigits + m_decDigits);
            if (digits.size() < width)
                digits.append(width - digits.size(), '0');
            value = static_cast<double>(Digits(digits)) / std::pow(10.0, m_decDigits);
        } else {
            value = static_cast<double>(Digits(n.whole)) / m_g.divisor;
        }
        value *= Factor();
        if (n.negative)
            value = -value;
        CheckRange(value);
        return value;
    }

    static void CheckRange(double mm)
    {
        if (!(std::fabs(mm) <= kLimitMm))
            throw Malformed{_J("座標が ±10 m を超えています")};
    }

    void SetAxis(double& axis, const NumberField& n)
    {
        const double value = Value(n);
        axis = m_g.absolute ? value + (&axis == &m_raw.x ? m_zero.x : m_zero.y) : axis + value;
        CheckRange(axis);
    }

    // --- Items ---

    CDPoint Board(const CDPoint& p) const
    {
        return CDPoint(m_g.mirrorX ? -p.x : p.x, m_g.mirrorY ? -p.y : p.y);
    }

    void CountClear() { ++m_clearItems; }

    // Stores an item made for the target sheet as it is (the sheet's NewLine and the like would
    // store a copy of a temporary).
    template <typename Item, typename... Args> void Store(Args&&... args)
    {
        m_target->StoreItem(std::make_unique<Item>(std::forward<Args>(args)...));
    }

    void AddLine(const CDPoint& from, const CDPoint& to, int turret)
    {
        if (m_g.inRegion) {
            m_regionLines.push_back(std::make_unique<CLine>(Board(from), Board(to), 0, 0));
            return;
        }
        if (!m_g.darkPolarity) {
            CountClear();
            return;
        }
        Store<CLine>(Board(from), Board(to), turret < 0 ? 0 : turret, 0);
    }

    void AddLand(const CDPoint& at, int turret)
    {
        if (!m_g.darkPolarity && !m_g.inRegion) {
            CountClear();
            return;
        }
        Store<CLand>(Board(at), turret);
    }

    void Report(const std::string& text) { m_result.AddMessage(text); }

    // --- Photo-plot parameters ---

    void Parameter(std::string_view text)
    {
        std::size_t at = 0;
        while (at < text.size()) {
            while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '*'))
                ++at;
            if (at >= text.size())
                break;
            std::size_t end = text.find('*', at);
            if (end == std::string_view::npos)
                end = text.size();
            const std::string_view command = text.substr(at, end - at);
            if (StartsWith(command, "AM")) {
                // The rest of the block is the macro's body.
                std::string body(end < text.size() ? text.substr(end + 1) : std::string_view());
                while (!body.empty() && (body.back() == '*' || body.back() == ' '))
                    body.pop_back();
                m_macros.push_back(std::string(command.substr(2)) + "," + body);
                return;
            }
            Command(command);
            at = end + 1;
        }
    }

    void Command(std::string_view command)
    {
        const std::string_view code = command.substr(0, 2);
        const std::string_view rest = command.substr(code.size());
        if (code == "FS") {
            Format(rest);
        } else if (code == "MO") {
            SetMetric(!rest.empty() && rest[0] == 'M');
        } else if (code == "AD") {
            Aperture(std::string(Trim(rest)));
        } else if (code == "LP") {
            if (!rest.empty() && rest[0] == 'D') {
                m_g.darkPolarity = 1;
                m_lastDark = nullptr;
            } else {
                m_g.darkPolarity = 0;
            }
        } else if (code == "SR") {
            StepAndRepeat(rest);
        } else if (code == "OF" || code == "MI" || code == "SF" || code == "IR") {
            // Only the identity is read; anything else is left aside and said once.
            const double identity = code == "SF" ? 1.0 : 0.0;
            bool plain = true;
            for (std::size_t i = 0; i < rest.size(); ++i) {
                if (StartsNumber(rest[i]) && (i == 0 || !StartsNumber(rest[i - 1]))) {
                    const NumberField n = ReadNumber(rest, i);
                    const std::string text = n.DecimalText();
                    if (std::fabs(std::strtod(text.c_str(), nullptr) - identity) > 1e-9)
                        plain = false;
                }
            }
            if (!plain)
                Report(platform::Format(_J("パラメータ %s は読み込みでは無視します").c_str(),
                                        std::string(code).c_str()));
        }
        // IP, IN, LN, the attributes TF, TA, TO, TD and the rest change nothing here.
    }

    void Format(std::string_view rest)
    {
        std::size_t at = 0;
        bool trailing = false;
        if (at < rest.size() && (rest[at] == 'L' || rest[at] == 'T' || rest[at] == 'D')) {
            trailing = rest[at] == 'T';
            ++at;
        }
        if (at < rest.size())
            m_g.absolute = rest[at] == 'A' ? 1 : 0;
        const std::size_t x = rest.find('X', at);
        if (x == std::string_view::npos || x + 2 >= rest.size() ||
            !std::isdigit(static_cast<unsigned char>(rest[x + 1])) ||
            !std::isdigit(static_cast<unsigned char>(rest[x + 2])))
            return;
        m_trailingOmitted = trailing;
        m_intDigits = rest[x + 1] - '0';
        m_decDigits = rest[x + 2] - '0';
        m_g.divisor = std::pow(10.0, m_decDigits);
    }

    void Aperture(const std::string& definition)
    {
        if (definition.size() > 1 && definition[0] == 'D') {
            const NumberField n = ReadNumber(definition, 1);
            if (n.HasDigits() && Digits(n.whole) >= 1000)
                throw Malformed{platform::Format(_J("Dコード %d は範囲外です").c_str(),
                                                 static_cast<int>(Digits(n.whole)))};
            if (n.HasDigits() && !m_substitutes.empty())
                m_substitutes.erase(static_cast<int>(Digits(n.whole))); // defined anew
        }
        int turret = m_doc ? m_doc->AssignGerberAperture(definition, m_macros, &m_g) : -1;
        if (turret < 0)
            turret = SubstituteAperture(definition);
        m_drawTurret = turret < 0 ? 0 : turret;
        m_flashTurret = m_drawTurret ? m_drawTurret : 1;
    }

    // An aperture the tables have no shape for (a macro other than the thermal, a polygon) takes
    // the smallest round or square turret that covers where its shapes reach, said once for each
    // macro or definition; without one it is said to be left without a turret. The reading keeps
    // the D code's turret itself, so that selecting it is no unknown code. -1 when none covers.
    int SubstituteAperture(const std::string& definition)
    {
        std::size_t run = 1;
        while (run < definition.size() && std::isdigit(static_cast<unsigned char>(definition[run])))
            ++run;
        if (run == 1 || run >= definition.size())
            return -1;
        const int dcode = static_cast<int>(Digits(definition.substr(1, run - 1)));
        const std::size_t comma = definition.find(',', run);
        std::string name =
            definition.substr(run, comma == std::string::npos ? std::string::npos : comma - run);
        std::vector<double> params;
        if (comma != std::string::npos) {
            std::string_view rest = std::string_view(definition).substr(comma + 1);
            while (!rest.empty()) {
                const std::size_t x = rest.find('X');
                double value = 0.0;
                if (!MacroValue(rest.substr(0, x), {}, value))
                    break;
                params.push_back(value);
                rest.remove_prefix(x == std::string_view::npos ? rest.size() : x + 1);
            }
        }
        MacroReach reach;
        bool measured = false;
        bool macro = false;
        if (name == "P" && comma != std::string::npos) {
            if (!params.empty()) {
                reach.Add(0.0, 0.0, std::fabs(params[0]) / 2.0, 0.0);
                measured = true;
            }
        } else if (name.size() == 1 && comma != std::string::npos) {
            return -1; // the standard shapes: the tables said what they had to
        } else {
            macro = true;
            for (const std::string& body : m_macros) {
                if (body.size() > name.size() && body.compare(0, name.size(), name) == 0 &&
                    body[name.size()] == ',') {
                    measured = MeasureMacro(std::string_view(body).substr(name.size() + 1), params, reach);
                    break;
                }
            }
        }
        const double unit = m_g.metric ? 1.0 : kInch;
        int best = -1;
        double bestSize = 0.0;
        for (int t = 0; measured && m_doc && t <= TURRET_MAX; ++t) {
            const tagTURRET turret = m_doc->GetTurretEntry(t);
            const double half = turret.size1 / 2.0 + kSameTolerance;
            const bool covers = turret.shape == TURRET_ROUND ? half >= reach.radius * unit
                                : turret.shape == TURRET_SQUARE
                                    ? half >= std::max(reach.halfX, reach.halfY) * unit
                                    : false;
            if (covers && turret.size1 > 0.0 && (best < 0 || turret.size1 < bestSize)) {
                best = t;
                bestSize = turret.size1;
            }
        }
        const std::string what = macro ? name : definition;
        if (m_reportedApertures.insert(what).second) {
            if (best >= 0)
                Report(platform::Format(_J("アパーチャ %s にはタレット%dを使用しました").c_str(),
                                        what.c_str(), best));
            else
                Report(
                    platform::Format(_J("アパーチャ %s に合うタレットがありません").c_str(), what.c_str()));
        }
        m_substitutes[dcode] = best < 0 ? 0 : best;
        return best;
    }

    void StepAndRepeat(std::string_view rest)
    {
        EndRepeat();
        int counts[2] = {1, 1};
        double steps[2] = {0.0, 0.0};
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const char c = rest[i];
            if ((c != 'X' && c != 'Y' && c != 'I' && c != 'J') || i + 1 >= rest.size() ||
                !StartsNumber(rest[i + 1]))
                continue;
            const NumberField n = ReadNumber(rest, i + 1);
            if (c == 'X' || c == 'Y') {
                counts[c == 'Y'] = Code(n);
            } else {
                const std::string text = n.DecimalText();
                steps[c == 'J'] = std::strtod(text.c_str(), nullptr) * Factor() * (n.negative ? -1.0 : 1.0);
                CheckRange(steps[c == 'J']);
            }
            i = n.end - 1;
        }
        if (counts[0] < 1 || counts[1] < 1 || static_cast<long>(counts[0]) * counts[1] > kStepLimit)
            throw Malformed{_J("ステップ・アンド・リピートの回数が多すぎます")};
        if (counts[0] * counts[1] == 1)
            return;
        m_repeat = std::make_unique<CSheet>(SHEET_WORK);
        m_repeat->SetDocument(m_sheet.GetDocument());
        m_target = m_repeat.get();
        m_repeatCount[0] = counts[0];
        m_repeatCount[1] = counts[1];
        m_repeatStep = CDPoint(steps[0], steps[1]);
        m_lastDark = nullptr;
    }

    // Copies the items of the open step-and-repeat block to each of its places.
    void EndRepeat()
    {
        if (!m_repeat)
            return;
        const std::unique_ptr<CSheet> block = std::move(m_repeat);
        m_target = &m_sheet;
        m_lastDark = nullptr;
        m_copiedItems += static_cast<long>(block->GetItemCount()) * m_repeatCount[0] * m_repeatCount[1];
        if (m_copiedItems > kStepItemLimit)
            throw Malformed{_J("ステップ・アンド・リピートの回数が多すぎます")};
        const CDPoint step = Board(m_repeatStep);
        CDPoint placed(0.0, 0.0);
        for (int row = 0; row < m_repeatCount[1]; ++row) {
            for (int column = 0; column < m_repeatCount[0]; ++column) {
                const CDPoint place(step.x * column, step.y * row);
                block->OffsetItem(CDPoint(place.x - placed.x, place.y - placed.y), 1);
                placed = place;
                m_sheet += *block;
            }
        }
    }

    // --- Photo-plot blocks ---

    void PhotoBlock(std::string_view block)
    {
        bool hasX = false, hasY = false, hasD = false;
        int d = 0;
        m_hasArcOffsets = false;
        char c = 0;
        NumberField n;
        for (std::size_t at = 0; NextCodeField(block, at, c, n);) {
            switch (c) {
            case 'G': {
                const int code = Code(n);
                m_g.lastGCode = code;
                if (code == 4) {
                    // Comments are the writing tool's notes (titles, dates, section marks), not
                    // something the user must be told of.
                    m_modalD = 0;
                    return;
                }
                GCode(code);
                break;
            }
            case 'M':
                m_lastM = Code(n);
                break;
            case 'X':
                hasX = true;
                SetAxis(m_raw.x, n);
                break;
            case 'Y':
                hasY = true;
                SetAxis(m_raw.y, n);
                break;
            case 'I':
                m_i = Value(n);
                m_hasArcOffsets = true;
                break;
            case 'J':
                m_j = Value(n);
                m_hasArcOffsets = true;
                break;
            case 'D':
                hasD = true;
                d = Code(n);
                break;
            default: // sequence numbers and the like
                break;
            }
        }
        const bool moved = hasX || hasY;
        if (hasD) {
            if (d >= 1000 || d < 0)
                throw Malformed{platform::Format(_J("Dコード %d は範囲外です").c_str(), d)};
            if (d >= 10) {
                SelectAperture(d);
                if (moved)
                    m_prev = m_raw;
                return;
            }
            m_modalD = d;
        } else if (!moved && !m_hasArcOffsets) {
            // A block of codes alone (G37, M02, G01, ...) repeats no draw or flash: only
            // coordinates make the modal D code act again.
            return;
        }
        switch (m_modalD) {
        case 1:
            Draw();
            break;
        case 2:
            m_prev = m_raw;
            m_g.penDown = 0;
            if (m_g.inRegion)
                CloseContour();
            break;
        case 3:
            Flash();
            break;
        default:
            if (moved)
                m_prev = m_raw;
            break;
        }
    }

    void GCode(int code)
    {
        switch (code) {
        case 1:
        case 2:
        case 3:
            m_interpolation = code;
            break;
        case 20:
        case 70:
            SetMetric(false);
            break;
        case 21:
        case 71:
            SetMetric(true);
            break;
        case 36:
            m_g.inRegion = 1;
            break;
        case 37:
            CloseContour();
            m_g.inRegion = 0;
            break;
        case 74:
            m_g.arcMode = 2; // quadrant arcs: unsigned offsets
            break;
        case 75:
            m_g.arcMode = 0;
            break;
        case 90:
            m_g.absolute = 1;
            break;
        case 91:
            m_g.absolute = 0;
            break;
        default: // 54, 55 and the rest only stand as the last G code
            break;
        }
    }

    void SelectAperture(int d)
    {
        const auto substitute = m_substitutes.find(d);
        int turret = substitute != m_substitutes.end() ? substitute->second
                     : m_doc                           ? m_doc->FindTurretByDCode(d)
                                                       : -1;
        if (turret < 0) {
            Report(platform::Format(_J("D%02d コードはテーブルにありません").c_str(), d));
            turret = 0;
        }
        m_drawTurret = turret;
        m_flashTurret = turret ? turret : 1;
        m_stroke = m_doc ? m_doc->GetDCodeStroke(d) : tagDSTROKE{};
        m_modalD = m_g.penDown ? 1 : 2;
    }

    void Draw()
    {
        if (m_interpolation == 2 || m_interpolation == 3) {
            if (m_hasArcOffsets)
                AddArc();
            m_g.penDown = 1;
            return;
        }
        if (!Same(m_prev, m_raw))
            AddLine(m_prev, m_raw, m_drawTurret);
        else if (m_g.penDown && !m_g.inRegion)
            AddLand(m_raw, m_flashTurret);
        m_prev = m_raw;
        m_g.penDown = 1;
    }

    // The arc from the previous to the current point. Its centre is found in the file's own
    // orientation (where the offsets and the direction mean what the file says) and then
    // mirrored with the ends.
    void AddArc()
    {
        const bool cw = m_interpolation == 2;
        const CDPoint s = m_prev;
        const CDPoint e = m_raw;
        CDPoint centre;
        switch (m_g.arcMode) {
        case 1:
            centre = CDPoint(m_i, m_j);
            break;
        case 2: {
            const double i = std::fabs(m_i), j = std::fabs(m_j);
            const bool iNegative = cw ? e.y < s.y : e.y > s.y;
            const bool jNegative = cw ? e.x > s.x : e.x < s.x;
            centre = CDPoint(s.x + (iNegative ? -i : i), s.y + (jNegative ? -j : j));
            break;
        }
        case 3: {
            CArc probe;
            probe.SetType(cw ? ARC_CW : 0);
            centre = probe.CalcCenterPoint(s, e, std::fabs(m_i));
            break;
        }
        default:
            centre = CDPoint(s.x + m_i, s.y + m_j);
            break;
        }
        m_i = m_j = 0.0;
        m_prev = m_raw;
        if (std::hypot(s.x - centre.x, s.y - centre.y) < kSameTolerance) {
            // No radius: what the file drew is at most the chord.
            if (!Same(s, e))
                AddLine(s, e, m_drawTurret);
            return;
        }
        const bool swap = (m_g.mirrorX != 0) != (m_g.mirrorY != 0);
        CArc arc;
        arc.SetType(cw ? ARC_CW : 0);
        arc.SetTurretNo(m_g.inRegion ? 0 : (m_drawTurret < 0 ? 0 : m_drawTurret));
        arc.SetArcPoint(Board(centre), Board(swap ? e : s), Board(swap ? s : e));
        if (m_g.inRegion) {
            m_regionArcs.push_back(std::make_unique<CArc>(arc));
            return;
        }
        if (!m_g.darkPolarity) {
            CountClear();
            return;
        }
        Store<CArc>(std::move(arc));
    }

    void Flash()
    {
        if (m_stroke.mode == 1 || m_stroke.mode == 2) {
            const double h = m_stroke.halfLength;
            const CDPoint along = m_stroke.mode == 1 ? CDPoint(h, 0.0) : CDPoint(0.0, h);
            const int turret = m_stroke.turret >= 0 ? m_stroke.turret : m_drawTurret;
            if (!m_g.darkPolarity && !m_g.inRegion)
                CountClear();
            else
                Store<CLine>(Board(CDPoint(m_raw.x - along.x, m_raw.y - along.y)),
                             Board(CDPoint(m_raw.x + along.x, m_raw.y + along.y)), turret, 0);
        } else {
            AddLand(m_raw, m_flashTurret);
        }
        m_prev = m_raw;
        m_g.penDown = 0;
        m_modalD = 2;
    }

    // Ends the outline collected in a region: a dark one becomes a surface, a clear one a window
    // of the last dark surface (or, with none, is left out and counted).
    void CloseContour()
    {
        if (m_regionLines.empty() && m_regionArcs.empty())
            return;
        CItemBaseList lines, arcs, none;
        for (const auto& line : m_regionLines)
            lines.AddTail(line.get());
        for (const auto& arc : m_regionArcs)
            arcs.AddTail(arc.get());
        if (m_g.darkPolarity) {
            if (CSur* sur = m_target->NewSur(lines, arcs, none, none)) {
                sur->SetType(sur->GetType() | SUR_NOFILL);
                m_lastDark = sur;
            }
        } else if (m_lastDark) {
            const CSur window(lines, arcs, none, none);
            m_lastDark->NewWindow(window);
        } else {
            CountClear();
        }
        m_regionLines.clear();
        m_regionArcs.clear();
    }

    // --- Drill blocks ---

    void DrillUnits(std::string_view block)
    {
        SetMetric(StartsWith(block, "METRIC"));
        // Leading zeros kept means trailing zeros left out, and the other way round. A header
        // that says neither leaves leading zeros out, whatever the dialog's digits said.
        if (block.find("LZ") != std::string_view::npos)
            m_trailingOmitted = true;
        else if (block.find("TZ") != std::string_view::npos || m_dialogDigits)
            m_trailingOmitted = false;
        m_dialogDigits = false;
        const std::size_t point = block.find('.');
        if (point != std::string_view::npos) {
            std::size_t first = point;
            while (first > 0 && block[first - 1] == '0')
                --first;
            std::size_t last = point + 1;
            while (last < block.size() && block[last] == '0')
                ++last;
            if (point > first && last > point + 1) {
                m_intDigits = static_cast<int>(point - first);
                m_decDigits = static_cast<int>(last - point - 1);
                m_g.divisor = std::pow(10.0, m_decDigits);
                return;
            }
        }
        // No digit format: the usual one of the unit, 2.4 in inches and 3.3 in millimetres.
        m_intDigits = m_g.metric ? 3 : 2;
        m_decDigits = m_g.metric ? 3 : 4;
        m_g.divisor = std::pow(10.0, m_decDigits);
    }

    void SelectTool(int number, bool byD)
    {
        if (number == 0 && !byD) {
            m_diameter = -1.0; // unloaded
            return;
        }
        const auto defined = m_tools.find(number);
        double size =
            defined != m_tools.end() ? defined->second : (m_doc ? m_doc->GetTCodeSize(number) : 0.0);
        if (!(size > 0.0)) {
            size = 1.0;
            Report(platform::Format(byD ? _J("D%02d コードはテーブルにありません").c_str()
                                        : _J("T%d コードはテーブルにありません").c_str(),
                                    number));
        }
        m_diameter = size;
    }

    void AddHole(const CDPoint& at)
    {
        if (!(m_diameter > 0.0))
            return;
        if (Same(at, m_lastHole) && std::fabs(m_diameter - m_lastHoleDiameter) <= kSameTolerance)
            return;
        Store<CHole>(Board(at), m_diameter, true, 0.0, 0.0, 0.0);
        m_lastHole = at;
        m_lastHoleDiameter = m_diameter;
    }

    // A slot cut from one point to another: one long hole of the tool's diameter.
    void AddSlot(const CDPoint& from, const CDPoint& to)
    {
        if (!(m_diameter > 0.0))
            return;
        const CDPoint a = Board(from), b = Board(to);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length < kSameTolerance) {
            AddHole(to);
            return;
        }
        Store<CHole>(CDPoint((a.x + b.x) / 2.0, (a.y + b.y) / 2.0), m_diameter, false, length + m_diameter,
                     m_diameter / 2.0, std::atan2(b.y - a.y, b.x - a.x));
        m_lastHole = to;
        m_lastHoleDiameter = m_diameter;
    }

    void DrillBlock(std::string_view text)
    {
        std::string_view block = Trim(text);
        if (!block.empty() && block[0] == '%') {
            m_inHeader = false;
            block = Trim(block.substr(1));
        }
        if (block.empty())
            return;
        if (StartsWith(block, "INCH") || StartsWith(block, "METRIC")) {
            DrillUnits(block);
            return;
        }
        // Header words and comments (FMAT, VER, ICI, ...): a letter followed by letters.
        if (block.size() >= 2 && std::isalpha(static_cast<unsigned char>(block[0])) &&
            std::isalpha(static_cast<unsigned char>(block[1])))
            return;

        const CDPoint before = m_raw;
        bool hasX = false, hasY = false, hasT = false, hasC = false, hasD = false, hasR = false, slot = false,
             zeroSet = false;
        int tool = 0, d = 0, repeat = 0;
        double size = 0.0;
        CDPoint slotStart, delta;
        char c = 0;
        NumberField n;
        for (std::size_t at = 0; NextCodeField(block, at, c, n);) {
            switch (c) {
            case 'G': {
                const int code = Code(n);
                m_g.lastGCode = code;
                switch (code) {
                case 0:
                    m_routing = true;
                    break;
                case 5:
                    m_routing = false;
                    break;
                case 85:
                    slot = true;
                    slotStart = m_raw;
                    break;
                case 90:
                    m_g.absolute = 1;
                    break;
                case 91:
                    m_g.absolute = 0;
                    break;
                case 93:
                    zeroSet = true;
                    break;
                case 20:
                case 70:
                    SetMetric(false);
                    break;
                case 21:
                case 71:
                    SetMetric(true);
                    break;
                default:
                    break;
                }
                break;
            }
            case 'M': {
                const int code = Code(n);
                m_lastM = code;
                if (code == 48)
                    m_inHeader = true;
                else if (code == 95)
                    m_inHeader = false;
                else if (code == 71)
                    SetMetric(true);
                else if (code == 72)
                    SetMetric(false);
                else if (code == 15 || code == 16)
                    m_routing = true;
                break;
            }
            case 'T':
                hasT = true;
                tool = Code(n);
                break;
            case 'C':
                hasC = true;
                size = std::fabs(Value(n));
                break;
            case 'D':
                hasD = true;
                d = Code(n);
                break;
            case 'R':
                hasR = true;
                repeat = Code(n);
                break;
            case 'X':
            case 'Y': {
                double& axis = c == 'X' ? m_raw.x : m_raw.y;
                (c == 'X' ? hasX : hasY) = true;
                if (zeroSet) {
                    axis = Value(n);
                } else if (hasR) {
                    (c == 'X' ? delta.x : delta.y) = Value(n);
                } else {
                    SetAxis(axis, n);
                }
                break;
            }
            default: // feeds, speeds and the rest
                break;
            }
        }
        const bool moved = hasX || hasY;
        if (hasT) {
            if (hasC)
                m_tools[tool] = size;
            if (!m_inHeader)
                SelectTool(tool, false);
            return;
        }
        if (m_inHeader)
            return;
        if (zeroSet) {
            m_zero = m_raw;
            return;
        }
        if (m_routing) {
            if (moved || m_lastM == 15 || m_lastM == 16)
                Report(_J("ルート加工のデータは読み込みません"));
            return;
        }
        if (slot) {
            AddSlot(slotStart, m_raw);
            return;
        }
        if (hasR) {
            if (repeat < 0 || repeat > kRepeatLimit)
                throw Malformed{platform::Format(_J("繰り返し回数 %d が多すぎます").c_str(), repeat)};
            m_raw = before;
            for (int k = 0; k < repeat; ++k) {
                m_raw = CDPoint(m_raw.x + delta.x, m_raw.y + delta.y);
                CheckRange(m_raw.x);
                CheckRange(m_raw.y);
                if (m_diameter > 0.0) {
                    Store<CHole>(Board(m_raw), m_diameter, true, 0.0, 0.0, 0.0);
                    m_lastHole = m_raw;
                    m_lastHoleDiameter = m_diameter;
                }
            }
            return;
        }
        if (m_g.hitType == 2) {
            if (m_lastM == 5) {
                AddHole(m_raw);
                m_lastM = -1;
            }
            return;
        }
        if (hasD) {
            if (m_g.hitType == 3) {
                if (d == 3)
                    AddHole(m_raw);
                else if (d >= 10)
                    SelectTool(d, true);
            }
            return;
        }
        if (moved && (m_g.hitType == 0 || (m_g.hitType == 1 && m_g.lastGCode == 81)))
            AddHole(m_raw);
    }

    // --- End of the reading ---

    void Finish(CamBlockReader& blocks)
    {
        if (m_result.wellFormed) {
            try {
                EndRepeat();
            } catch (const Malformed& m) {
                Fail(blocks.LineAt(m_blockStart), m.reason);
            }
        }
        m_repeat.reset();
        m_target = &m_sheet;
        if (m_g.inRegion) {
            if (m_result.wellFormed)
                Report(_J("G36 の領域が G37 で閉じられていません"));
            m_regionLines.clear();
            m_regionArcs.clear();
            m_g.inRegion = 0;
        }
        if (m_clearItems > 0)
            Report(
                platform::Format(_J("クリア極性の図形 %d 個は読み込みませんでした").c_str(), m_clearItems));
        if (m_g.angle != 0.0)
            m_sheet.Rotate(CDPoint(0.0, 0.0), m_g.angle);
        m_sheet.OffsetItem(CDPoint(m_g.offsetX, m_g.offsetY), 1);
        const double factor = Factor();
        m_g.prevX = factor > 0.0 ? m_raw.x / factor : 0.0;
        m_g.prevY = factor > 0.0 ? m_raw.y / factor : 0.0;
    }

    CSheet& m_sheet;
    CSheet* m_target;
    tagGERBAR& m_g;
    CamReadResult& m_result;
    DocumentServices* m_doc;
    std::size_t m_blockStart = 0; // where the block being read starts in the file

    double m_metricFactor = 1.0;
    bool m_trailingOmitted = false;
    bool m_dialogDigits = false; // the zero omission is the dialog's, not the file's
    int m_intDigits = 0;
    int m_decDigits = 0;

    CDPoint m_raw{0.0, 0.0};  // current point
    CDPoint m_prev{0.0, 0.0}; // previous point
    CDPoint m_zero{0.0, 0.0}; // drill zero point (G93)
    double m_i = 0.0, m_j = 0.0;
    bool m_hasArcOffsets = false;
    int m_interpolation = 1;
    int m_modalD = 0;
    int m_lastM = -1;
    int m_drawTurret = -1;
    int m_flashTurret = 1; // a flash before any aperture uses turret 1
    tagDSTROKE m_stroke;
    std::vector<std::string> m_macros;
    std::map<int, int> m_substitutes;          // D codes of substituted apertures and their turrets
    std::set<std::string> m_reportedApertures; // macros and definitions said to be substituted

    std::vector<std::unique_ptr<CLine>> m_regionLines;
    std::vector<std::unique_ptr<CArc>> m_regionArcs;
    CSur* m_lastDark = nullptr;
    int m_clearItems = 0;

    std::unique_ptr<CSheet> m_repeat;
    int m_repeatCount[2] = {1, 1};
    CDPoint m_repeatStep;
    long m_copiedItems = 0;

    double m_diameter = -1.0;
    double m_lastHoleDiameter = -1.0;
    CDPoint m_lastHole{0.0, 0.0};
    std::map<int, double> m_tools; // tools the file defines, millimetres
    bool m_inHeader = false;
    bool m_routing = false;
};

} // namespace

void CSheet::ReadGerbar(CArchive& ar, tagGERBAR& g, CamReadResult& result)
{
    result = CamReadResult{};
    GerberReading reading(*this, g, result);
    reading.Run(ar);
}
