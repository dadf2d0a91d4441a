#include "model/cam/CamWriter.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {

constexpr char HT = 0x09;
constexpr char LF = 0x0A;
constexpr char CR = 0x0D;
constexpr char BS = 0x08;
constexpr char ETB = 0x17;

constexpr double kInch = 0.03937007874015748; // 1 / 25.4

struct CodeRun
{
    int code;   // first tape code
    char first; // character of the first code
    int count;  // consecutive codes standing for consecutive characters
};

constexpr TapeCodeTable MakeTable(std::initializer_list<CodeRun> runs)
{
    TapeCodeTable table{};
    for (auto& c : table)
        c = ' ';
    for (const CodeRun& run : runs)
        for (int i = 0; i < run.count; ++i)
            table[static_cast<std::size_t>(run.code + i)] = static_cast<char>(run.first + i);
    return table;
}

constexpr CodeRun One(int code, char c)
{
    return {code, c, 1};
}

// Large and non-finite values of GerbarIntValue, through the text "%.1f" itself; the largest
// double needs 309 digits before the point.
std::int32_t IntValueOfText(double value)
{
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    if (ec != std::errc())
        return platform::Atoi(platform::Format("%.1f", value));
    return platform::Atoi(std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

// GerbarIntValue, inlined into the block formatters here.
inline std::int32_t IntValue(double value)
{
    // The text "%.1f" would print, read as an integer: the integer part, one further away from
    // zero when the fraction rounds to a whole unit. Below 2^31 the fraction is exact, and it
    // rounds up exactly when it lies above 0.95: no double equals 0.95, and the double nearest to
    // it lies below it, so "above that double" is "above 0.95".
    if (!(std::fabs(value) < 2147483647.0))
        return IntValueOfText(value);
    const double whole = std::trunc(value);
    const double fraction = value - whole;
    auto result = static_cast<std::int32_t>(whole);
    if (fraction > 0.95)
        ++result;
    else if (fraction < -0.95)
        --result;
    return result;
}

// "%d" without the C library's formatter: coordinate blocks are most of a plot file.
void AppendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, end);
}

std::int32_t ClampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void Widen(tagGERBAR& g, double x, double y)
{
    g.maxX = std::max(g.maxX, x);
    g.maxY = std::max(g.maxY, y);
    g.minX = std::min(g.minX, x);
    g.minY = std::min(g.minY, y);
}

// Output values of one point: scaled, offset and converted to inches; extents widened.
std::pair<double, double> ToOutputUnits(tagGERBAR& g, double dx, double dy)
{
    double x = g.scale * (dx + g.offsetX);
    double y = g.scale * (dy + g.offsetY);
    if (!g.metric) {
        x *= kInch;
        y *= kInch;
    }
    Widen(g, x, y);
    return {x, y};
}

// The values a block carries for the output point (x, y): the integer coordinates, or in
// incremental mode their difference to those of the last block. Incremental values taken from
// consecutive absolute coordinates add up to the plotted position whatever the origin and offset.
std::pair<std::int32_t, std::int32_t> BlockValues(tagGERBAR& g, double x, double y)
{
    const std::int32_t ix = IntValue(x * g.outputFactor);
    const std::int32_t iy = IntValue(y * g.outputFactor);
    std::pair<std::int32_t, std::int32_t> values{ix, iy};
    if (!g.absolute) {
        values.first = ClampToInt32(std::int64_t{ix} - g.prevOutX);
        values.second = ClampToInt32(std::int64_t{iy} - g.prevOutY);
    }
    g.prevOutX = ix;
    g.prevOutY = iy;
    return values;
}

// Appends the axis letter and its value ("%c%d"); incremental blocks leave out an axis that does
// not move.
void AppendAxis(std::string& out, const tagGERBAR& g, char axis, std::int32_t value)
{
    if (!g.absolute && value == 0)
        return;
    out += axis;
    AppendInt(out, value);
}

// The same into a buffer with room for both axes of a block (2 x 12 bytes); returns the new end.
char* PutAxis(char* p, const tagGERBAR& g, char axis, std::int32_t value)
{
    if (!g.absolute && value == 0)
        return p;
    *p++ = axis;
    return std::to_chars(p, p + 11, value).ptr;
}

void MirrorAndRotate(const tagGERBAR& g, double& dx, double& dy)
{
    if (g.mirrorX)
        dx = -dx;
    if (g.mirrorY)
        dy = -dy;
    if (g.angle != 0.0) {
        const double c = std::cos(g.angle);
        const double s = std::sin(g.angle);
        const double x = dx * c - dy * s;
        const double y = dx * s + dy * c;
        dx = x;
        dy = y;
    }
}

// The tape code of each character under a code type (1 to 3), -1 for none; the lowest code
// where two stand for one character.
const std::array<int, 256>& TapeCodesOf(int codeType);

} // namespace

// clang-format off
const TapeCodeTable kTapeCodeEbcdic = MakeTable({
    One(0x05, HT), One(0x0D, CR), One(0x16, BS), One(0x25, LF), One(0x26, ETB),
    One(0x4B, '.'), One(0x4C, '<'), One(0x4D, '('), One(0x4E, '+'), One(0x50, '&'), One(0x56, ')'),
    One(0x5A, '!'), One(0x5B, '$'), One(0x5C, '*'), One(0x5E, ';'), One(0x60, '-'), One(0x61, '/'),
    One(0x6B, ','), One(0x6C, '%'), One(0x6D, '_'), One(0x6E, '>'), One(0x6F, '?'),
    One(0x7A, ':'), One(0x7B, '#'), One(0x7C, '@'), One(0x7D, '\''), One(0x7E, '='), One(0x7F, '"'),
    {0xC1, 'A', 9}, {0xD1, 'J', 9}, {0xE2, 'S', 8}, {0xF0, '0', 10},
});

const TapeCodeTable kTapeCodeEia = MakeTable({
    One(0x01, '1'), One(0x02, '2'), One(0x04, '4'), One(0x07, '7'), One(0x08, '8'), One(0x0E, '&'),
    One(0x13, '3'), One(0x15, '5'), One(0x16, '6'), One(0x19, '9'), One(0x20, '0'), One(0x23, 'T'),
    One(0x25, 'V'), One(0x26, 'W'), One(0x29, 'Z'), One(0x2A, BS), One(0x2B, ','), One(0x31, '/'),
    One(0x32, 'S'), One(0x34, 'U'), One(0x37, 'X'), One(0x38, 'Y'), One(0x3E, HT), One(0x40, '-'),
    One(0x43, 'L'), One(0x45, 'N'), One(0x46, 'O'), One(0x49, 'R'), One(0x51, 'J'), One(0x52, 'K'),
    One(0x54, 'M'), One(0x57, 'P'), One(0x58, 'Q'), One(0x5A, '%'), One(0x5C, '\\'), One(0x61, 'A'),
    One(0x62, 'B'), One(0x63, 'C'), One(0x64, 'D'), One(0x67, 'G'), One(0x68, 'H'), One(0x69, 'I'),
    One(0x6B, '.'), One(0x70, '+'), One(0x75, 'E'), One(0x76, 'F'), One(0x80, CR), One(0xFF, LF),
});

const TapeCodeTable kTapeCodeIso = MakeTable({
    One(0x09, HT), One(0x0A, LF), One(0x28, '('), One(0x2B, '+'), One(0x2D, '-'), One(0x2E, '.'),
    One(0x30, '0'), One(0x33, '3'), One(0x35, '5'), One(0x36, '6'), One(0x39, '9'), One(0x3A, ':'),
    One(0x41, 'A'), One(0x42, 'B'), One(0x44, 'D'), One(0x47, 'G'), One(0x48, 'H'), One(0x4B, 'K'),
    One(0x4D, 'M'), One(0x4E, 'N'), One(0x50, 'P'), One(0x53, 'S'), One(0x55, 'U'), One(0x56, 'V'),
    One(0x59, 'Y'), One(0x5A, 'Z'), One(0x80, CR), One(0x88, BS), One(0xA5, '%'), One(0xA9, ')'),
    One(0xAC, ','), One(0xAF, '/'), One(0xB1, '1'), One(0xB2, '2'), One(0xB4, '4'), One(0xB7, '7'),
    One(0xB8, '8'), One(0xC3, 'C'), One(0xC5, 'E'), One(0xC6, 'F'), One(0xC9, 'I'), One(0xCA, 'J'),
    One(0xCC, 'L'), One(0xCF, 'O'), One(0xD1, 'Q'), One(0xD2, 'R'), One(0xD4, 'T'), One(0xD7, 'W'),
    One(0xD8, 'X'), One(0xFF, ETB),
});
// clang-format on

namespace {

std::array<int, 256> InvertTable(const TapeCodeTable& table)
{
    std::array<int, 256> codeOf;
    codeOf.fill(-1);
    for (int code = 255; code >= 0; --code)
        codeOf[static_cast<unsigned char>(table[static_cast<std::size_t>(code)])] = code;
    return codeOf;
}

const std::array<int, 256>& TapeCodesOf(int codeType)
{
    static const std::array<std::array<int, 256>, 3> inverses = {
        InvertTable(kTapeCodeEbcdic), InvertTable(kTapeCodeEia), InvertTable(kTapeCodeIso)};
    return inverses[static_cast<std::size_t>(codeType - 1)];
}

} // namespace

const TapeCodeTable* GetTapeCodeTable(int codeType)
{
    switch (codeType) {
    case 1:
        return &kTapeCodeEbcdic;
    case 2:
        return &kTapeCodeEia;
    case 3:
        return &kTapeCodeIso;
    default:
        return nullptr;
    }
}

std::int32_t GerbarIntValue(double value)
{
    return IntValue(value);
}

void ConvertInputCode(char* block, std::size_t length, const tagGERBAR& g)
{
    if (const TapeCodeTable* table = GetTapeCodeTable(g.codeType)) {
        for (std::size_t i = 0; i < length; ++i)
            block[i] = (*table)[static_cast<unsigned char>(block[i])];
        return;
    }
    for (std::size_t i = 0; i < length && block[i] != '\0'; ++i)
        if (block[i] >= 'a' && block[i] <= 'z')
            block[i] = static_cast<char>(block[i] - 'a' + 'A');
}

void ConvertOutputCode(std::string& line, const tagGERBAR& g)
{
    if (g.endOfBlock == CR) {
        // Every block ended by CR gets its LF, so a line of several blocks keeps them all.
        for (std::size_t i = 0; i < line.size(); ++i)
            if (line[i] == CR && (i + 1 == line.size() || line[i + 1] != LF))
                line.insert(i + 1, 1, LF);
    }
    if (GetTapeCodeTable(g.codeType)) {
        const std::array<int, 256>& codeOf = TapeCodesOf(g.codeType);
        for (char& c : line) {
            const int code = codeOf[static_cast<unsigned char>(c)];
            if (code >= 0)
                c = static_cast<char>(code);
        }
        return;
    }
    if (g.lineBreak) {
        // In place, from the back: most blocks go through here, and their buffer has the room.
        const std::size_t stars = static_cast<std::size_t>(std::count(line.begin(), line.end(), '*'));
        if (stars == 0)
            return;
        std::size_t from = line.size();
        std::size_t to = from + 2 * stars;
        line.resize(to);
        while (from > 0) {
            const char c = line[--from];
            if (c == '*') {
                line[--to] = LF;
                line[--to] = CR;
            }
            line[--to] = c;
        }
    }
}

std::size_t FormatGerbarPointBlock(char (&block)[kGerbarPointBlockSize], tagGERBAR& g, double x, double y,
                                   bool transform)
{
    double dx = x - g.originX;
    double dy = y - g.originY;
    if (transform)
        MirrorAndRotate(g, dx, dy);
    const auto [ox, oy] = ToOutputUnits(g, dx, dy);
    const auto [vx, vy] = BlockValues(g, ox, oy);
    char* end = block;
    if (vx != 0 || vy != 0) {
        end = PutAxis(end, g, 'X', vx);
        end = PutAxis(end, g, 'Y', vy);
    } else {
        for (const char c : {'X', '0', 'Y', '0'})
            *end++ = c;
    }
    *end++ = g.endOfBlock;
    g.prevX = x;
    g.prevY = y;
    return static_cast<std::size_t>(end - block);
}

std::string& FormatGerbarPoint(std::string& out, tagGERBAR& g, double x, double y, bool transform)
{
    // Built in place and copied once: most of a plot file is these blocks.
    char block[kGerbarPointBlockSize];
    const std::size_t size = FormatGerbarPointBlock(block, g, x, y, transform);
    out.assign(block, size);
    ConvertOutputCode(out, g);
    return out;
}

std::string& FormatGerbarArc(std::string& out, tagGERBAR& g, double x, double y, double cx, double cy)
{
    double i = 0.0;
    double j = 0.0;
    switch (g.arcMode) {
    case 0:
        i = cx - g.prevX;
        j = cy - g.prevY;
        break;
    case 1:
        i = cx - g.originX + g.offsetX;
        j = cy - g.originY + g.offsetY;
        break;
    case 2:
        i = std::fabs(cx - g.prevX);
        j = std::fabs(cy - g.prevY);
        break;
    default: // 3: the radius form passes its value in cx
        i = cx;
        j = cy;
        break;
    }
    double ci = g.outputFactor * g.scale * i;
    double cj = g.outputFactor * g.scale * j;
    if (!g.metric) {
        ci *= kInch;
        cj *= kInch;
    }

    const auto [ox, oy] = ToOutputUnits(g, x - g.originX, y - g.originY);
    const auto [vx, vy] = BlockValues(g, ox, oy);
    out.clear();
    AppendAxis(out, g, 'X', vx);
    AppendAxis(out, g, 'Y', vy);
    out += 'I';
    AppendInt(out, IntValue(ci));
    if (g.arcMode != 3) {
        out += 'J';
        AppendInt(out, IntValue(cj));
    }
    out += g.endOfBlock;
    ConvertOutputCode(out, g);
    g.prevX = x;
    g.prevY = y;
    return out;
}

std::string& FormatDrillPoint(std::string& out, tagGERBAR& g, double x, double y)
{
    double dx = x;
    double dy = y;
    MirrorAndRotate(g, dx, dy);
    const auto [ox, oy] = ToOutputUnits(g, dx, dy);
    const auto [vx, vy] = BlockValues(g, ox, oy);
    out.clear();
    AppendAxis(out, g, 'X', vx);
    AppendAxis(out, g, 'Y', vy);
    switch (g.hitType) {
    case 2:
        out += "M05";
        out += g.endOfBlock;
        break;
    case 3:
        out += g.endOfBlock;
        out += "D03";
        out += g.endOfBlock;
        break;
    default:
        out += g.endOfBlock;
        break;
    }
    ConvertOutputCode(out, g);
    g.prevX = x;
    g.prevY = y;
    return out;
}
