// Writes the stroke-font file VELTA0.FNT.
//
//   velta_fontgen --hershey rowmans.jhf [--face IPAGothic|file.ttf] --out VELTA0.FNT
//
// Printable ASCII comes from the Hershey Roman simplex strokes. Half-width katakana and every
// double-byte character of JIS X 0208 are made from a Japanese Gothic TrueType face: each glyph is
// rendered, thinned to its centre lines, and the lines are followed as polylines and simplified
// onto the grid, so that each brush stroke becomes one pen stroke.
//
// Cell: 32 steps high with the body's bottom at y 0 (descenders stay above it); single-byte
// characters use x 0-16, double-byte characters x 0-31.

#include "Skeleton.h"
#include "Strokes.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace fontgen;

namespace {

constexpr int kRenderSize = 96;    // pixels per em when rendering TrueType glyphs
constexpr double kEmBottom = 0.12; // the cell's bottom lies this far below the baseline (em)
constexpr double kSpurLength = 0.08 * kRenderSize;
constexpr double kHatchStep = 2.0 * kRenderSize / 32; // solid areas: a line every two grid steps
constexpr double kTolerance = 0.4;                    // simplification, in grid steps
constexpr std::size_t kMaxStrokeBytes = 1016;         // a line holds at most 1022 characters with its end
constexpr double kHersheyWidth = 0.75;                // Hershey x units to grid steps

[[noreturn]] void Fail(const std::string& message)
{
    std::cerr << "velta_fontgen: " << message << "\n";
    std::exit(1);
}

// ---- Hershey Roman simplex ---------------------------------------------------------------

struct HersheyGlyph
{
    std::vector<std::vector<std::pair<int, int>>> strokes; // x right, y down, centred on 'R'
};

std::vector<HersheyGlyph> ReadHershey(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot read " + path.string());
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        text += line; // records may wrap onto continuation lines
    }
    std::vector<HersheyGlyph> glyphs;
    std::size_t pos = 0;
    while (pos + 8 <= text.size()) {
        const int count = std::atoi(text.substr(pos + 5, 3).c_str());
        if (count < 1 || pos + 8 + 2 * std::size_t(count) > text.size())
            Fail("malformed Hershey record in " + path.string());
        const std::string body = text.substr(pos + 8, 2 * std::size_t(count));
        pos += 8 + body.size();
        HersheyGlyph glyph;
        glyph.strokes.emplace_back();
        for (std::size_t k = 2; k + 1 < body.size(); k += 2) { // the first pair is the advance
            if (body[k] == ' ' && body[k + 1] == 'R') {
                glyph.strokes.emplace_back();
                continue;
            }
            glyph.strokes.back().push_back({body[k] - 'R', body[k + 1] - 'R'});
        }
        std::erase_if(glyph.strokes, [](const auto& s) { return s.empty(); });
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

std::string HersheyStrokes(const HersheyGlyph& glyph)
{
    int minX = 1000, maxX = -1000;
    for (const auto& stroke : glyph.strokes)
        for (const auto& [x, y] : stroke) {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
        }
    const double width = maxX - minX;
    const double scale = width * kHersheyWidth > 15.0 ? 15.0 / width : kHersheyWidth;
    const double centre = (minX + maxX) / 2.0;
    std::vector<GridPolyline> lines;
    for (const auto& stroke : glyph.strokes) {
        GridPolyline line;
        for (const auto& [x, y] : stroke) {
            // The Hershey body runs from y -16 (top) to 16 (bottom): exactly the cell.
            line.push_back({static_cast<int>(std::lround(8.0 + (x - centre) * scale)), 16 - y});
        }
        lines.push_back(std::move(line));
    }
    return EncodeStrokes(JoinPolylines(std::move(lines), false), 16);
}

// ---- Code page ---------------------------------------------------------------------------

class Converter
{
public:
    Converter(const char* from) : m_cd(iconv_open("UTF-32LE", from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            Fail(std::string("iconv cannot convert from ") + from);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The code point of one character given as bytes; 0 when the bytes are not one character.
    char32_t operator()(const std::string& bytes)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string in = bytes;
        char* inp = in.data();
        std::size_t inLeft = in.size();
        char out[16];
        char* outp = out;
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            outp - out != 4)
            return 0;
        std::uint32_t cp;
        std::memcpy(&cp, out, 4);
        return static_cast<char32_t>(cp);
    }

private:
    iconv_t m_cd;
};

struct Job
{
    unsigned code;
    bool halfWidth;
    std::vector<char32_t> candidates; // code points to try, in order
};

// Every double-byte character of JIS X 0208 but the ideographic space, and the half-width
// katakana, with the code points their glyphs are looked up by.
std::vector<Job> JapaneseJobs()
{
    Converter cp932("CP932");
    Converter eucJp("EUC-JP");
    std::vector<Job> jobs;
    for (unsigned code = 0xA1; code <= 0xDF; ++code) {
        const char32_t cp = cp932(std::string(1, static_cast<char>(code)));
        if (!cp)
            Fail("no code point for half-width katakana " + std::to_string(code));
        jobs.push_back({code, true, {cp}});
    }
    int count = 0;
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const std::string euc{static_cast<char>(0xA0 + row), static_cast<char>(0xA0 + cell)};
            const char32_t jis = eucJp(euc);
            if (!jis)
                continue; // not a character of JIS X 0208
            ++count;
            const unsigned lead = static_cast<unsigned>((row - 1) / 2 + (row <= 62 ? 0x81 : 0xC1));
            const unsigned trail =
                static_cast<unsigned>(row % 2 ? cell + 0x3F + (cell >= 64 ? 1 : 0) : cell + 0x9E);
            const unsigned code = lead << 8 | trail;
            if (code == 0x8140)
                continue;
            Job job{code, false, {}};
            if (const char32_t cp = cp932(std::string{static_cast<char>(lead), static_cast<char>(trail)}))
                job.candidates.push_back(cp);
            job.candidates.push_back(jis);
            jobs.push_back(std::move(job));
        }
    }
    if (count != 6879)
        Fail("expected the 6879 characters of JIS X 0208, found " + std::to_string(count));
    return jobs;
}

// ---- TrueType glyphs as centre lines -----------------------------------------------------

fs::path FindFace(const std::string& name)
{
    if (fs::exists(name))
        return name;
    if (!FcInit())
        Fail("fontconfig cannot start");
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    fs::path path;
    FcChar8* file = nullptr;
    FcCharSet* charset = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
        FcCharSetHasChar(charset, 0x6F22) && FcCharSetHasChar(charset, 0x30AB))
        path = reinterpret_cast<const char*>(file);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (path.empty())
        Fail("no Japanese face found for \"" + name + "\"");
    return path;
}

bool IsDot(const GridPolyline& line)
{
    return std::all_of(line.begin(), line.end(), [&](const GridPoint& g) { return g == line.front(); });
}

// A stroke that shrank to one grid point is kept as a dot only where no other stroke passes:
// junction links and tiny hooks vanish, a lone dot stays.
void DropInkedDots(std::vector<GridPolyline>& lines)
{
    std::vector<GridPolyline> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsDot(lines[i])) {
            kept.push_back(lines[i]);
            continue;
        }
        const GridPoint d = lines[i].front();
        bool inked = false;
        for (std::size_t j = 0; j < lines.size() && !inked; ++j) {
            if (j == i || (IsDot(lines[j]) && j > i))
                continue;
            for (const GridPoint& p : lines[j])
                inked = inked || (std::abs(p.x - d.x) <= 1 && std::abs(p.y - d.y) <= 1);
        }
        if (!inked)
            kept.push_back({d});
    }
    lines = std::move(kept);
}

class GlyphTracer
{
public:
    explicit GlyphTracer(const fs::path& face)
    {
        if (FT_Init_FreeType(&m_library) || FT_New_Face(m_library, face.c_str(), 0, &m_face))
            Fail("FreeType cannot open " + face.string());
        FT_Set_Pixel_Sizes(m_face, kRenderSize, kRenderSize);
    }
    ~GlyphTracer()
    {
        FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
    }
    GlyphTracer(const GlyphTracer&) = delete;
    GlyphTracer& operator=(const GlyphTracer&) = delete;

    // The stroke bytes of a job's glyph; empty when the face has none.
    std::string Strokes(const Job& job)
    {
        FT_UInt index = 0;
        for (char32_t cp : job.candidates)
            if ((index = FT_Get_Char_Index(m_face, cp)) != 0)
                break;
        if (!index || FT_Load_Glyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP))
            return {};
        const FT_GlyphSlot slot = m_face->glyph;
        const FT_Bitmap& bm = slot->bitmap;

        const int width = job.halfWidth ? kRenderSize / 2 : kRenderSize;
        Bitmap canvas(width, kRenderSize);
        const int baseline = kRenderSize - static_cast<int>(std::lround(kEmBottom * kRenderSize));
        for (unsigned r = 0; r < bm.rows; ++r) {
            for (unsigned c = 0; c < bm.width; ++c) {
                const unsigned char value = bm.buffer[static_cast<long>(r) * bm.pitch + c];
                const int x = slot->bitmap_left + static_cast<int>(c);
                const int y = baseline - slot->bitmap_top + static_cast<int>(r);
                if (value >= 128 && x >= 0 && x < width && y >= 0 && y < kRenderSize)
                    canvas.at(x, y) = 1;
            }
        }
        const std::vector<Polyline> traced = TraceCentreLines(canvas, kSpurLength, kHatchStep);

        // Pixels to grid steps: y up from the cell's bottom; x 0..16 or 0..31.
        const double sx = job.halfWidth ? 32.0 / kRenderSize : 31.0 / kRenderSize;
        const double sy = 32.0 / kRenderSize;
        const int maxX = job.halfWidth ? 16 : kMaxDrawX;
        std::string strokes;
        for (double tolerance = kTolerance;; tolerance *= 1.5) {
            std::vector<GridPolyline> lines;
            for (const Polyline& pixels : traced) {
                Polyline cell;
                for (const Point& p : pixels)
                    cell.push_back({(p.x + 0.5) * sx, (kRenderSize - p.y - 0.5) * sy});
                GridPolyline grid;
                for (const Point& p : Simplify(cell, tolerance))
                    grid.push_back({static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))});
                lines.push_back(std::move(grid));
            }
            DropInkedDots(lines);
            strokes = EncodeStrokes(JoinPolylines(std::move(lines), true), maxX);
            if (strokes.size() <= kMaxStrokeBytes)
                break;
        }
        return strokes;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

// ---- Output ------------------------------------------------------------------------------

void WriteFont(const fs::path& out, const std::map<unsigned, std::string>& glyphs)
{
    std::string data;
    for (const auto& [code, strokes] : glyphs) {
        char head[8];
        std::snprintf(head, sizeof head, code > 0xFF ? "%04X " : "%02X   ", code);
        data += head;
        data += strokes;
        data += '\n';
    }
    const fs::path temp = out.string() + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!file.flush())
            Fail("cannot write " + temp.string());
    }
    fs::rename(temp, out);
}

} // namespace

int main(int argc, char** argv)
{
    std::string hershey, face = "IPAGothic", out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--hershey")
            hershey = argv[i + 1];
        else if (option == "--face")
            face = argv[i + 1];
        else if (option == "--out")
            out = argv[i + 1];
        else
            Fail("unknown option " + option);
    }
    if (hershey.empty() || out.empty())
        Fail("usage: velta_fontgen --hershey rowmans.jhf [--face name|file] --out VELTA0.FNT");

    std::map<unsigned, std::string> glyphs;

    // Roman simplex records follow the ASCII order from the space.
    const std::vector<HersheyGlyph> roman = ReadHershey(hershey);
    if (roman.size() < 95)
        Fail(hershey + " does not hold the printable ASCII characters");
    for (unsigned code = 0x21; code <= 0x7E; ++code)
        glyphs[code] = HersheyStrokes(roman[code - 0x20]);

    const fs::path facePath = FindFace(face);
    const std::vector<Job> jobs = JapaneseJobs();
    std::vector<std::string> results(jobs.size());
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            GlyphTracer tracer(facePath);
            for (std::size_t i = t; i < jobs.size(); i += threads)
                results[i] = tracer.Strokes(jobs[i]);
        });
    }
    for (std::thread& w : workers)
        w.join();
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (results[i].empty()) {
            char code[8];
            std::snprintf(code, sizeof code, "%X", jobs[i].code);
            Fail(std::string("no strokes for character ") + code + " in " + facePath.string());
        }
        glyphs[jobs[i].code] = std::move(results[i]);
    }

    for (const auto& [code, strokes] : glyphs)
        if (strokes.empty() || strokes.size() > kMaxStrokeBytes)
            Fail("character " + std::to_string(code) + " has no strokes or too many");
    WriteFont(out, glyphs);
    return 0;
}
