#include "model/text/TrueTypeFont.h"

#include "platform/Cp932.h"
#include "platform/Fixed.h"

#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>

namespace {

// Hinted as for black-and-white output, with the face's own hints only; outlines, never bitmaps.
constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO | FT_LOAD_NO_AUTOHINT;

// 16.16 coordinates keep 15 bits of whole pixels, so glyphs of about an em and a half must fit.
constexpr int MAX_EM = 16383;
constexpr std::int32_t DEFAULT_CELL_HEIGHT = 16;

// Sizes kept for reuse; zooming makes new heights, so the oldest unused ones are dropped.
constexpr std::size_t SIZE_CACHE_LIMIT = 64;

// Slant of a made italic (about 12 degrees) in 16.16.
constexpr FT_Fixed SYNTHETIC_SLANT = 0x0366A;

std::int32_t Saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// 26.6 to 16.16.
std::int32_t ToFixedLong(FT_Pos v)
{
    return Saturate(static_cast<std::int64_t>(v) * 1024);
}

POINTFX ToPointFx(std::int32_t x, std::int32_t y)
{
    POINTFX p;
    p.x = platform::LongToFixed(x);
    p.y = platform::LongToFixed(y);
    return p;
}

POINTFX ToPointFx(const FT_Vector& v)
{
    return ToPointFx(ToFixedLong(v.x), ToFixedLong(v.y));
}

POINTFX ToPointFx(double x26, double y26)
{
    return ToPointFx(Saturate(std::llround(x26 * 1024.0)), Saturate(std::llround(y26 * 1024.0)));
}

std::int32_t RoundPixels(FT_Pos v26)
{
    return Saturate((static_cast<std::int64_t>(v26) + 32) >> 6);
}

struct Vec
{
    double x;
    double y;
};
Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y};
}
Vec operator*(double k, Vec a)
{
    return {k * a.x, k * a.y};
}
Vec Lerp(Vec a, Vec b, double t)
{
    return a + t * (b - a);
}

// A cubic piece p0 c1 c2 p3 (26.6) as quadratic pieces, each one spline record of a control
// point and an end point. The piece count keeps the error under 1/16 pixel.
void AppendCubic(std::vector<TrueTypeCurve>& curves, Vec p0, Vec c1, Vec c2, Vec p3, const POINTFX& end)
{
    const Vec d = p3 - 3.0 * c2 + 3.0 * c1 - p0;
    const double error = std::sqrt(3.0) / 36.0 * std::hypot(d.x, d.y);
    constexpr double TOLERANCE = 4.0; // 1/16 pixel in 26.6
    const int n = std::clamp(static_cast<int>(std::ceil(std::cbrt(error / TOLERANCE))), 1, 32);
    const auto at = [&](double t) {
        const Vec a = Lerp(p0, c1, t), b = Lerp(c1, c2, t), c = Lerp(c2, p3, t);
        const Vec ab = Lerp(a, b, t), bc = Lerp(b, c, t);
        return std::array<Vec, 4>{Lerp(ab, bc, t), bc, c, p3};
    };
    for (int i = 0; i < n; ++i) {
        // The part of the cubic from t0 to t1: split at t0, then the rest at the relative t1.
        const double t0 = double(i) / n;
        const double t1 = double(i + 1) / n;
        const std::array<Vec, 4> tail = at(t0);
        const double u = (t1 - t0) / (1.0 - t0);
        const Vec a = Lerp(tail[0], tail[1], u), b = Lerp(tail[1], tail[2], u), c = Lerp(tail[2], tail[3], u);
        const Vec ab = Lerp(a, b, u), bc = Lerp(b, c, u);
        const Vec q0 = tail[0], q1 = a, q2 = ab, q3 = Lerp(ab, bc, u);
        const Vec control = 0.25 * (3.0 * (q1 + q2) - q0 - q3);
        TrueTypeCurve curve;
        curve.wType = TT_PRIM_QSPLINE;
        curve.apfx.push_back(ToPointFx(control.x, control.y));
        curve.apfx.push_back(i + 1 == n ? end : ToPointFx(q3.x, q3.y));
        curves.push_back(std::move(curve));
    }
}

// One contour of a FreeType outline in the native form: the start is an on-curve point (the
// midpoint of the last and first points when every point is off the curve); runs of on-curve
// points make line records, runs of off-curve points with the next on-curve point spline records.
void AppendContour(const FT_Outline& o, int first, int n, TrueTypeOutline& out)
{
    struct Point
    {
        FT_Vector v;
        char tag;
    };
    const auto point = [&](int k) {
        const int i = first + k % n;
        return Point{o.points[i], static_cast<char>(FT_CURVE_TAG(o.tags[i]))};
    };
    int s = 0;
    while (s < n && point(s).tag != FT_CURVE_TAG_ON)
        ++s;

    TrueTypeContour contour;
    std::vector<Point> walk;
    Vec startVec;
    if (s < n) {
        const FT_Vector v = point(s).v;
        contour.pfxStart = ToPointFx(v);
        startVec = {double(v.x), double(v.y)};
        for (int k = 1; k < n; ++k)
            walk.push_back(point(s + k));
    } else {
        const FT_Vector a = point(n - 1).v, b = point(0).v;
        contour.pfxStart =
            ToPointFx(Saturate((std::int64_t(a.x) + b.x) * 512), Saturate((std::int64_t(a.y) + b.y) * 512));
        startVec = {(double(a.x) + b.x) / 2.0, (double(a.y) + b.y) / 2.0};
        for (int k = 0; k < n; ++k)
            walk.push_back({point(k).v, FT_CURVE_TAG_CONIC});
    }

    // Back to the start: written only as the end of a closing spline.
    const std::size_t count = walk.size();
    const auto endAt = [&](std::size_t i) { return i < count ? ToPointFx(walk[i].v) : contour.pfxStart; };
    const auto vecAt = [&](std::size_t i) {
        return i < count ? Vec{double(walk[i].v.x), double(walk[i].v.y)} : startVec;
    };
    Vec previous = startVec;
    std::size_t i = 0;
    while (i < count) {
        const char tag = walk[i].tag;
        if (tag == FT_CURVE_TAG_ON) {
            if (contour.curves.empty() || contour.curves.back().wType != TT_PRIM_LINE)
                contour.curves.push_back({TT_PRIM_LINE, {}});
            contour.curves.back().apfx.push_back(ToPointFx(walk[i].v));
            previous = vecAt(i);
            ++i;
        } else if (tag == FT_CURVE_TAG_CUBIC && i + 1 < count && walk[i + 1].tag == FT_CURVE_TAG_CUBIC) {
            AppendCubic(contour.curves, previous, vecAt(i), vecAt(i + 1), vecAt(i + 2), endAt(i + 2));
            previous = vecAt(i + 2);
            i += 3;
        } else {
            TrueTypeCurve curve;
            curve.wType = TT_PRIM_QSPLINE;
            while (i < count && walk[i].tag != FT_CURVE_TAG_ON)
                curve.apfx.push_back(ToPointFx(walk[i++].v));
            curve.apfx.push_back(endAt(i));
            previous = vecAt(i);
            ++i;
            contour.curves.push_back(std::move(curve));
        }
    }
    out.contours.push_back(std::move(contour));
}

} // namespace

TrueTypeOutline ConvertFreeTypeOutline(const FT_Outline& o)
{
    TrueTypeOutline out;
    int first = 0;
    for (int c = 0; c < o.n_contours; ++c) {
        const int last = o.contours[c];
        // A contour of one point encloses nothing.
        if (last - first + 1 >= 2)
            AppendContour(o, first, last - first + 1, out);
        first = last + 1;
    }
    return out;
}

namespace {

std::int32_t FloorPixels(std::int32_t fx)
{
    return fx >> 16;
}
std::int32_t CeilPixels(std::int32_t fx)
{
    return static_cast<std::int32_t>((std::int64_t(fx) + 0xFFFF) >> 16);
}

GLYPHMETRICS MetricsOf(const TrueTypeOutline& outline, std::int32_t incX, std::int32_t incY)
{
    GLYPHMETRICS gm;
    gm.gmCellIncX = incX;
    gm.gmCellIncY = incY;
    bool any = false;
    std::int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    const auto add = [&](const POINTFX& p) {
        const std::int32_t x = platform::FixedToLong(p.x), y = platform::FixedToLong(p.y);
        if (!any) {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (const TrueTypeContour& c : outline.contours) {
        add(c.pfxStart);
        for (const TrueTypeCurve& curve : c.curves)
            for (const POINTFX& p : curve.apfx)
                add(p);
    }
    if (!any) {
        gm.gmBlackBoxX = gm.gmBlackBoxY = 1;
        return gm;
    }
    const std::int32_t left = FloorPixels(minX), right = CeilPixels(maxX);
    const std::int32_t bottom = FloorPixels(minY), top = CeilPixels(maxY);
    gm.gmBlackBoxX = static_cast<std::uint32_t>(std::max(1, right - left));
    gm.gmBlackBoxY = static_cast<std::uint32_t>(std::max(1, top - bottom));
    gm.gmptGlyphOrigin = CPoint(left, top);
    return gm;
}

struct Glyph
{
    bool ok = false;
    GLYPHMETRICS metrics;
    TrueTypeOutline outline;
};

} // namespace

// One face at one height: the FreeType size objects, the text metrics and every glyph measured.
struct TrueTypeSize
{
    TrueTypeFaceChoice choice;
    FT_Size size = nullptr;
    int em = 0;
    TEXTMETRICA metrics;

    // The Japanese Gothic face at the same em height, for characters the face lacks.
    bool fallbackTried = false;
    TrueTypeFaceChoice fallback;
    FT_Size fallbackSize = nullptr;

    std::array<std::unique_ptr<Glyph>, 256> singleByte;
    std::unordered_map<unsigned, Glyph> doubleByte;

    TrueTypeSize() = default;
    TrueTypeSize(const TrueTypeSize&) = delete;
    TrueTypeSize& operator=(const TrueTypeSize&) = delete;
    ~TrueTypeSize()
    {
        if (fallbackSize)
            FT_Done_Size(fallbackSize);
        if (size)
            FT_Done_Size(size);
    }

    static std::shared_ptr<TrueTypeSize> Make(const TrueTypeFaceChoice& choice, std::int32_t height);
    const Glyph& GlyphOf(unsigned code);

private:
    Glyph Load(unsigned code);
    static bool Render(const TrueTypeFaceChoice& choice, FT_Size size, FT_UInt index, Glyph& glyph);
};

namespace {

// Ascent and descent in font units as Windows lays out a cell (the OS/2 Windows metrics), or the
// face's own ascender and descender where a face has none.
std::pair<long, long> CellMetrics(FT_Face face)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return {os2->usWinAscent, os2->usWinDescent};
    return {face->ascender, -face->descender};
}

FT_Size NewSize(FT_Face face, int em)
{
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0)
        return nullptr;
    if (FT_Activate_Size(size) != 0 || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
        FT_Done_Size(size);
        return nullptr;
    }
    return size;
}

} // namespace

std::shared_ptr<TrueTypeSize> TrueTypeSize::Make(const TrueTypeFaceChoice& choice, std::int32_t height)
{
    if (!choice.face)
        return nullptr;
    FT_Face face = choice.face->face;
    const long upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const auto [ascent, descent] = CellMetrics(face);

    std::int64_t em = 0;
    if (height == 0)
        height = DEFAULT_CELL_HEIGHT;
    if (height < 0)
        em = -static_cast<std::int64_t>(height);
    else if (ascent + descent > 0)
        em = std::llround(double(height) * double(upem) / double(ascent + descent));
    else
        em = height;

    auto s = std::make_shared<TrueTypeSize>();
    s->choice = choice;
    s->em = static_cast<int>(std::clamp<std::int64_t>(em, 1, MAX_EM));
    s->size = NewSize(face, s->em);
    if (!s->size)
        return nullptr;

    const double scale = double(s->em) / double(upem);
    TEXTMETRICA& tm = s->metrics;
    tm.tmAscent = static_cast<std::int32_t>(std::lround(ascent * scale));
    tm.tmDescent = static_cast<std::int32_t>(std::lround(descent * scale));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - s->em;
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (hhea) {
        const long gap = hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender));
        tm.tmExternalLeading = static_cast<std::int32_t>(std::lround(std::max(0L, gap) * scale));
    }
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF)
        tm.tmAveCharWidth = static_cast<std::int32_t>(std::lround(os2->xAvgCharWidth * scale));
    tm.tmMaxCharWidth = static_cast<std::int32_t>(std::lround(face->max_advance_width * scale));
    tm.tmWeight = choice.syntheticBold ? choice.weight : choice.face->weight;
    tm.tmItalic = choice.italic || choice.face->italic ? 1 : 0;
    return s;
}

const Glyph& TrueTypeSize::GlyphOf(unsigned code)
{
    if (code < 256) {
        auto& slot = singleByte[code];
        if (!slot)
            slot = std::make_unique<Glyph>(Load(code));
        return *slot;
    }
    auto it = doubleByte.find(code);
    if (it == doubleByte.end())
        it = doubleByte.emplace(code, Load(code)).first;
    return it->second;
}

Glyph TrueTypeSize::Load(unsigned code)
{
    FT_Face face = choice.face->face;
    const auto unicode = platform::Cp932ToUnicode(code);
    FT_UInt index = unicode ? FT_Get_Char_Index(face, *unicode) : 0;
    Glyph glyph;
    if (index == 0 && unicode && *unicode >= 0x80) {
        if (!fallbackTried) {
            fallbackTried = true;
            fallback = CTrueTypeFaces::Instance().Fallback(choice.weight, choice.italic);
            if (fallback.face && fallback.face != choice.face)
                fallbackSize = NewSize(fallback.face->face, em);
        }
        if (fallbackSize)
            if (const FT_UInt other = FT_Get_Char_Index(fallback.face->face, *unicode); other != 0)
                if (Render(fallback, fallbackSize, other, glyph))
                    return glyph;
    }
    // A character without a glyph shows the face's missing-character glyph.
    if (!Render(choice, size, index, glyph) && index != 0)
        Render(choice, size, 0, glyph);
    return glyph;
}

bool TrueTypeSize::Render(const TrueTypeFaceChoice& choice, FT_Size size, FT_UInt index, Glyph& glyph)
{
    FT_Face face = choice.face->face;
    if (FT_Activate_Size(size) != 0 || FT_Load_Glyph(face, index, LOAD_FLAGS) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Pos advance = slot->advance.x;
    if (choice.syntheticItalic) {
        FT_Matrix slant{0x10000, SYNTHETIC_SLANT, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &slant);
    }
    if (choice.syntheticBold) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, size->metrics.y_scale) / 24;
        FT_Outline_EmboldenXY(&slot->outline, strength, strength);
        advance += strength;
    }
    glyph.outline = ConvertFreeTypeOutline(slot->outline);
    glyph.metrics = MetricsOf(glyph.outline, RoundPixels(advance), 0);
    glyph.ok = true;
    return true;
}

namespace {

// Sizes shared by all font objects, by face, synthesis and height.
class SizeCache
{
public:
    std::shared_ptr<TrueTypeSize> Get(const TrueTypeFaceChoice& choice, std::int32_t height)
    {
        if (!choice.face)
            return nullptr;
        const Key key{choice.face.get(), choice.syntheticBold, choice.syntheticItalic,
                      choice.weight,     choice.italic,        height};
        ++m_tick;
        if (auto it = m_entries.find(key); it != m_entries.end()) {
            it->second.lastUse = m_tick;
            return it->second.size;
        }
        auto size = TrueTypeSize::Make(choice, height);
        if (!size)
            return nullptr;
        if (m_entries.size() >= SIZE_CACHE_LIMIT) {
            auto oldest =
                std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
                    return a.second.lastUse < b.second.lastUse;
                });
            m_entries.erase(oldest);
        }
        m_entries.emplace(key, Entry{size, m_tick});
        return size;
    }

private:
    using Key = std::tuple<const TrueTypeFace*, bool, bool, int, bool, std::int32_t>;
    struct Entry
    {
        std::shared_ptr<TrueTypeSize> size;
        std::uint64_t lastUse = 0;
    };
    std::map<Key, Entry> m_entries;
    std::uint64_t m_tick = 0;
};

SizeCache& Sizes()
{
    static SizeCache cache;
    return cache;
}

const TEXTMETRICA& NoMetrics()
{
    static const TEXTMETRICA none;
    return none;
}

} // namespace

CTrueTypeFont::CTrueTypeFont(const LOGFONTA& lf)
    : CTrueTypeFont(CTrueTypeFaces::Instance().Resolve(std::string_view(lf.lfFaceName, LF_FACESIZE),
                                                       lf.lfCharSet, lf.lfWeight, lf.lfItalic != 0),
                    lf.lfHeight)
{
}

CTrueTypeFont::CTrueTypeFont(const TrueTypeFaceChoice& face, std::int32_t height)
    : m_size(Sizes().Get(face, height))
{
}

std::string CTrueTypeFont::GetFamilyName() const
{
    return m_size ? m_size->choice.face->family : std::string();
}

std::string CTrueTypeFont::GetFaceFile() const
{
    return m_size ? m_size->choice.face->file : std::string();
}

int CTrueTypeFont::GetEmHeight() const
{
    return m_size ? m_size->em : 0;
}

const TEXTMETRICA& CTrueTypeFont::GetTextMetrics() const
{
    return m_size ? m_size->metrics : NoMetrics();
}

bool CTrueTypeFont::GetGlyphMetrics(unsigned code, GLYPHMETRICS& metrics) const
{
    metrics = {};
    if (!m_size)
        return false;
    const Glyph& glyph = m_size->GlyphOf(code);
    metrics = glyph.metrics;
    return glyph.ok;
}

bool CTrueTypeFont::GetGlyphOutline(unsigned code, const MAT2& matrix, GLYPHMETRICS& metrics,
                                    TrueTypeOutline* outline) const
{
    metrics = {};
    if (outline)
        outline->contours.clear();
    if (!m_size)
        return false;
    const Glyph& glyph = m_size->GlyphOf(code);
    if (!glyph.ok)
        return false;
    if (IsIdentity(matrix)) {
        metrics = glyph.metrics;
        if (outline)
            *outline = glyph.outline;
        return true;
    }
    TrueTypeOutline turned = glyph.outline;
    for (TrueTypeContour& c : turned.contours) {
        c.pfxStart = TransformPoint(matrix, c.pfxStart);
        for (TrueTypeCurve& curve : c.curves)
            for (POINTFX& p : curve.apfx)
                p = TransformPoint(matrix, p);
    }
    const std::int64_t advance = glyph.metrics.gmCellIncX;
    const auto incX = Saturate((platform::FixedToLong(matrix.eM11) * advance + 0x8000) >> 16);
    const auto incY = Saturate((platform::FixedToLong(matrix.eM12) * advance + 0x8000) >> 16);
    metrics = MetricsOf(turned, incX, incY);
    if (outline)
        *outline = std::move(turned);
    return true;
}

std::int32_t CTrueTypeFont::GetCharAdvance(unsigned code) const
{
    return m_size ? m_size->GlyphOf(code).metrics.gmCellIncX : 0;
}

CSize CTrueTypeFont::GetTextExtent(std::string_view cp932) const
{
    if (!m_size)
        return {};
    std::int64_t width = 0;
    for (const platform::Cp932Char c : platform::Chars(cp932))
        width += m_size->GlyphOf(c.code).metrics.gmCellIncX;
    return CSize(Saturate(width), m_size->metrics.tmHeight);
}
