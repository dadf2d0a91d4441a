#include "platform/qt/QPainterDrawContext.h"

#include "platform/FaceResolver.h"
#include "platform/qt/QtText.h"

#include <QBitmap>
#include <QFontDatabase>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <numbers>
#include <tuple>
#include <utility>

namespace platform {

namespace {

// Far enough out to stand for "no limit" and still leave room for arithmetic.
constexpr std::int32_t Unbounded = 1 << 30;

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

std::int32_t ToInt(double v)
{
    if (!(v > -Unbounded))
        return -Unbounded;
    if (!(v < Unbounded))
        return Unbounded;
    return static_cast<std::int32_t>(std::llround(v));
}

QPainter::CompositionMode RopMode(int rop)
{
    switch (rop) {
    case R2_BLACK:
        return QPainter::RasterOp_ClearDestination;
    case R2_NOTMERGEPEN:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN:
        return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN:
        return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT:
        return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN:
        return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_NOP:
        return QPainter::CompositionMode_Destination;
    case R2_MERGENOTPEN:
        return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT:
        return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN:
        return QPainter::RasterOp_SourceOrDestination;
    case R2_WHITE:
        return QPainter::RasterOp_SetDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// Raster operations that leave a pixel alone where the source is transparent (all bits clear),
// so a layer can be combined whole.
bool RopKeepsUnderClear(int rop)
{
    return rop == R2_XORPEN || rop == R2_MERGEPEN || rop == R2_NOP;
}

// The Qt family of a face the resolver chose: its file is handed to Qt once, so that Qt draws
// with that very file even where Qt's own matching would have preferred another face.
QString FamilyOfFile(const ResolvedFace& face)
{
    static std::map<std::string, QStringList> files; // families Qt found in each file added
    auto it = files.find(face.file);
    if (it == files.end()) {
        const int id = QFontDatabase::addApplicationFont(QString::fromStdString(face.file));
        it = files.emplace(face.file, id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id))
                 .first;
    }
    const QString own = QString::fromStdString(face.family);
    // Qt knows the face by its own family name, which also tells the faces of a collection apart;
    // the names Qt read from the file serve when the face has none.
    if (!own.isEmpty())
        return own;
    return it->second.isEmpty() ? QString() : it->second.front();
}

// The families to draw a logical font's text with: the face the installed resolver chose, then
// the Japanese Gothic face for characters the first lacks (as the model's glyph outlines take
// them). Empty when no resolver answers. Answers are kept per face name, character set, weight and
// italic, so that a font is resolved once per process.
QStringList ResolvedFamilies(const LogFont& font)
{
    const FaceResolver resolver = GetFaceResolver();
    if (!resolver)
        return {};
    const int weight = font.lfWeight > 0 ? std::min<int>(font.lfWeight, 1000) : FW_NORMAL;
    const bool italic = font.lfItalic != 0;
    using Key = std::tuple<FaceResolver, std::string, int, int, bool>;
    static std::mutex mutex;
    static std::map<Key, QStringList> resolved;
    const std::lock_guard lock(mutex);
    Key key(resolver, font.FaceName(), font.lfCharSet, weight, italic);
    if (auto it = resolved.find(key); it != resolved.end())
        return it->second;
    QStringList families;
    const auto add = [&](std::string_view face, int charSet) {
        if (const auto found = resolver(face, charSet, weight, italic)) {
            const QString family = FamilyOfFile(*found);
            if (!family.isEmpty() && !families.contains(family))
                families.append(family);
        }
    };
    add(std::get<1>(key), font.lfCharSet);
    if (!families.isEmpty())
        add("MS Gothic", SHIFTJIS_CHARSET);
    return resolved.emplace(std::move(key), std::move(families)).first->second;
}

// Stamps are kept per thread for every context on it: a view redraws with a new context each time.
// Shapes seen once are only remembered, so that a drawing of shapes that never repeat pays no
// stamp making. An open-addressed table over one array that holds each stamp's key followed by
// its pixels, as runs along rows of its rectangle: two numbers a run, row, start and length
// packed in one, and the pixel.
class StampCache
{
public:
    static constexpr std::uint32_t SeenOnly = 0xFFFFFFFFu;
    // A stamp's runs follow its key.
    struct Slot
    {
        std::uint32_t hash = 0; // 0: empty
        std::uint32_t key = 0;
        std::uint32_t keyLength = 0;
        std::uint32_t runCount = SeenOnly;
        // The slot looked up two after this one last time, and where its key was: a drawing drawn
        // again asks for its figures in the same order, so they are fetched ahead of their turn.
        std::uint32_t next = 0;
        std::uint32_t nextKey = 0;

        std::uint32_t Run() const { return key + keyLength; }
    };

    static std::uint32_t Hash(const std::vector<std::int32_t>& key)
    {
        // Two numbers a step: the steps depend on one another, and a figure's key is a few dozen.
        std::uint64_t h = 0x243F6A8885A308D3ull ^ key.size();
        const std::size_t n = key.size();
        std::size_t i = 0;
        for (; i + 1 < n; i += 2) {
            const std::uint64_t v =
                static_cast<std::uint32_t>(key[i]) | std::uint64_t(static_cast<std::uint32_t>(key[i + 1])) << 32;
            h = (h ^ v) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        if (i < n) {
            h = (h ^ static_cast<std::uint32_t>(key[i])) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return static_cast<std::uint32_t>(h ^ (h >> 32)) | 1;
    }

    // The slot of key: found, or the empty one where it would go (hash 0).
    Slot& Find(const std::vector<std::int32_t>& key, std::uint32_t hash)
    {
        if (m_slots.empty())
            m_slots.resize(std::size_t(1) << 12);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = static_cast<std::size_t>(hash >> 1) & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.hash == 0 || (slot.hash == hash && slot.keyLength == key.size() &&
                                   std::equal(key.begin(), key.end(), data.begin() + slot.key))) {
                Follow(i, mask);
                return slot;
            }
        }
    }

    // Fills the empty slot Find gave.
    void Add(Slot& slot, const std::vector<std::int32_t>& key, std::uint32_t hash)
    {
        slot.hash = hash;
        slot.keyLength = static_cast<std::uint32_t>(key.size());
        AddKey(slot, key);
        if (++m_used * 2 <= m_slots.size())
            return;
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& s : old) {
            if (s.hash == 0)
                continue;
            std::size_t i = static_cast<std::size_t>(s.hash >> 1) & mask;
            while (m_slots[i].hash != 0)
                i = (i + 1) & mask;
            m_slots[i] = s;
        }
    }

    // Puts a copy of the key at the end of the data, where the stamp's runs then follow it.
    void AddKey(Slot& slot, const std::vector<std::int32_t>& key)
    {
        slot.key = static_cast<std::uint32_t>(data.size());
        data.insert(data.end(), key.begin(), key.end());
    }

    void Clear()
    {
        m_slots.assign(m_slots.size(), Slot());
        data.clear();
        m_used = 0;
        m_last = m_before = 0;
    }
    bool Full() const { return data.size() > DataLimit; }

    std::vector<std::int32_t> data;
    QImage canvas;

private:
    // About 32 MB; past that the cache starts again.
    static constexpr std::size_t DataLimit = std::size_t(1) << 23;
    // Notes slot i as the one two after the slot looked up before the last, and fetches the slot
    // and key that came two after i last time. Only a hint: a table grown or cleared since leaves
    // it pointing anywhere, which costs a wasted fetch and nothing else.
    void Follow(std::size_t i, std::size_t mask)
    {
        Slot& before = m_slots[m_before & mask];
        before.next = static_cast<std::uint32_t>(i);
        before.nextKey = m_slots[i].key;
        m_before = m_last;
        m_last = i;
        const Slot& slot = m_slots[i];
        __builtin_prefetch(&m_slots[slot.next & mask]);
        if (slot.nextKey < data.size())
            __builtin_prefetch(data.data() + slot.nextKey);
    }

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
    std::size_t m_last = 0;
    std::size_t m_before = 0;
};

// Stamps bigger than this are not made; figures that big are few.
constexpr int StampSide = 256;

StampCache& Stamps()
{
    thread_local StampCache cache;
    return cache;
}

// Figure kinds in a stamp key.
enum StampKind : std::int32_t
{
    StampPath = 1,
    StampRect,
    StampEllipse,
    StampPolygon,
    StampLine,
    StampRecord,
    StampArc,
};

} // namespace

QPainterDrawContext::QPainterDrawContext(QPainter* painter, unsigned flags)
    : m_painter(painter), m_flags(flags), m_metrics(QFont())
{
    m_painter->save();
    // The device context draws aliased; raster operations would not undo blended edges.
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_base = m_painter->transform();
    if (const QPaintDevice* device = m_painter->device())
        m_mapping.SetResolution(device->logicalDpiX(), device->logicalDpiY());
    TakeMapping();
    const QPaintEngine* engine = m_painter->paintEngine();
    // Only pixel engines combine pixels; vector engines (SVG among them) may claim the feature
    // and then fall back to embedding images.
    m_ropSupported = engine && engine->hasFeature(QPaintEngine::RasterOpModes) &&
                     (engine->type() == QPaintEngine::Raster || engine->type() == QPaintEngine::OpenGL2);
    m_painter->setBackground(QBrush(ToQColor(m_bkColor)));
    m_textPen = QPen(ToQColor(m_textColor));
    UpdateClip();
}

QPainterDrawContext::~QPainterDrawContext()
{
    m_painter->restore();
}

void QPainterDrawContext::UpdateClip()
{
    const double big = Unbounded;
    QRectF area(-big, -big, 2 * big, 2 * big);
    const QPaintDevice* device = m_painter->device();
    if (device && device->width() > 0 && device->height() > 0)
        area = m_base.inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    if (const QPaintEngine* engine = m_painter->paintEngine()) {
        const QRegion system = engine->systemClip();
        if (!system.isEmpty())
            area &= m_painter->deviceTransform().inverted().mapRect(QRectF(system.boundingRect()));
    }
    if (m_painter->hasClipping())
        area &= m_painter->clipBoundingRect();
    if (area.isEmpty()) {
        m_clip = CRect();
        m_stampBits = nullptr;
        return;
    }
    m_clip = CRect(ToInt(std::floor(area.left())), ToInt(std::floor(area.top())),
                   ToInt(std::ceil(area.right())), ToInt(std::ceil(area.bottom())));
    UpdateStampTarget();
}

void QPainterDrawContext::UpdateStampTarget()
{
    // Stamps are written straight into a raster image with 32-bit pixels (an image painted on, or
    // the backing store of a widget), moved from device units by whole pixels only, under a clip
    // that is one rectangle at most.
    m_stampBits = nullptr;
    if (m_flags & (Printing | NoStamps))
        return;
    QPaintEngine* engine = m_painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    QImage* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return;
    const QTransform toImage = m_painter->deviceTransform();
    if (toImage.type() > QTransform::TxTranslate || m_painter->opacity() != 1.0)
        return;
    const double dx = toImage.dx();
    const double dy = toImage.dy();
    if (dx != std::floor(dx) || dy != std::floor(dy) || std::abs(dx) > Unbounded || std::abs(dy) > Unbounded)
        return;
    if (m_painter->hasClipping() && m_painter->clipRegion().rectCount() > 1)
        return;
    if (engine->systemClip().rectCount() > 1)
        return;
    m_stampOffset = QPoint(static_cast<int>(dx), static_cast<int>(dy));
    const QRect clip(QPoint(m_clip.left, m_clip.top), QPoint(m_clip.right - 1, m_clip.bottom - 1));
    // The painter cuts a figure at the clip pixel by pixel, as a stamp's runs are cut below, but
    // cuts lines at the image's edges before it draws them, which can move the pixels left inside:
    // stamps are written only a pixel clear of the image's edges, and cut at the clip.
    m_stampClip = clip.translated(m_stampOffset).intersected(image->rect());
    m_stampImage = image->rect().adjusted(1, 1, -1, -1);
    m_stampArea = m_stampClip.adjusted(1, 1, -1, -1);
    if (m_stampArea.isEmpty())
        return;
    m_stampStride = image->bytesPerLine();
    // The very buffer the paint engine writes into: asking for it writable would detach a shared
    // image from it.
    m_stampBits = const_cast<uchar*>(image->constBits());
}

// --- Mapping.

CRect QPainterDrawContext::DevBox(const CRect& r) const
{
    const CPoint a = DevPoint(CPoint(r.left, r.top));
    const CPoint b = DevPoint(CPoint(r.right, r.bottom));
    return CRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

double QPainterDrawContext::ScaleX() const
{
    return std::abs(static_cast<double>(m_mapping.GetViewportExt().cx)) /
           std::abs(static_cast<double>(m_mapping.GetWindowExt().cx));
}

double QPainterDrawContext::ScaleY() const
{
    return std::abs(static_cast<double>(m_mapping.GetViewportExt().cy)) /
           std::abs(static_cast<double>(m_mapping.GetWindowExt().cy));
}

void QPainterDrawContext::DeviceMapping::Take(const Mapping& mapping)
{
    constexpr double range = 1 << 26;
    const CPoint win = mapping.GetWindowOrg();
    const CPoint to = mapping.GetViewportOrg();
    const CSize winExt = mapping.GetWindowExt();
    const CSize vpExt = mapping.GetViewportExt();
    m_winX = win.x;
    m_winY = win.y;
    m_toX = to.x;
    m_toY = to.y;
    // As the mapping scales: the viewport extent over the window extent.
    m_scaleX = vpExt.cx / static_cast<double>(winExt.cx);
    m_scaleY = vpExt.cy / static_cast<double>(winExt.cy);
    m_toInRange = to.x < range && to.x > -range && to.y < range && to.y > -range;
#ifdef __SSE2__
    m_win2 = _mm_setr_pd(m_winX, m_winY);
    m_to2 = _mm_setr_pd(m_toX, m_toY);
    m_scale2 = _mm_setr_pd(m_scaleX, m_scaleY);
#endif
}

CPoint QPainterDrawContext::SetWindowOrg(CPoint org)
{
    const CPoint previous = DrawContext::SetWindowOrg(org);
    TakeMapping();
    return previous;
}

CPoint QPainterDrawContext::SetViewportOrg(CPoint org)
{
    const CPoint previous = DrawContext::SetViewportOrg(org);
    TakeMapping();
    return previous;
}

void QPainterDrawContext::MappingChanged()
{
    TakeMapping();
    // Pen widths and font sizes are taken in device units.
    if (++m_generation == 0)
        ++m_generation;
    m_penReal = nullptr;
    m_fontReal = false;
}

int QPainterDrawContext::SetMapMode(int mode)
{
    const int previous = DrawContext::SetMapMode(mode);
    MappingChanged();
    return previous;
}

CSize QPainterDrawContext::SetWindowExt(CSize ext)
{
    const CSize previous = DrawContext::SetWindowExt(ext);
    MappingChanged();
    return previous;
}

CSize QPainterDrawContext::SetViewportExt(CSize ext)
{
    const CSize previous = DrawContext::SetViewportExt(ext);
    MappingChanged();
    return previous;
}

// --- Selected objects and modes.

Pen QPainterDrawContext::SelectPen(const Pen& pen)
{
    return std::exchange(m_pen, pen);
}

Brush QPainterDrawContext::SelectBrush(const Brush& brush)
{
    return std::exchange(m_brush, brush);
}

LogFont QPainterDrawContext::SelectFont(const LogFont& font)
{
    const LogFont previous = m_font;
    if (!(font == m_font)) {
        m_font = font;
        m_fontReal = false;
    }
    return previous;
}

int QPainterDrawContext::SetROP2(int rop)
{
    if (rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    return std::exchange(m_rop, rop);
}

COLORREF QPainterDrawContext::SetTextColor(COLORREF color)
{
    if (color != m_textColor)
        m_textPen = QPen(ToQColor(color));
    return std::exchange(m_textColor, color);
}

COLORREF QPainterDrawContext::SetBkColor(COLORREF color)
{
    if (color != m_bkColor)
        m_painter->setBackground(QBrush(ToQColor(color)));
    return std::exchange(m_bkColor, color);
}

int QPainterDrawContext::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_bkMode, mode);
}

unsigned QPainterDrawContext::SetTextAlign(unsigned align)
{
    return std::exchange(m_textAlign, align);
}

int QPainterDrawContext::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_fillMode, mode);
}

int QPainterDrawContext::SetArcDirection(int direction)
{
    if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)
        return 0;
    return std::exchange(m_arcDirection, direction);
}

// --- Realised pens and brushes.

const QPainterDrawContext::PenEntry& QPainterDrawContext::RealPen()
{
    if (m_penReal && m_penReal->generation == m_generation && m_penReal->key == m_pen)
        return *m_penReal;
    for (const PenEntry& e : m_pens) {
        if (e.generation == m_generation && e.key == m_pen) {
            m_penReal = &e;
            return e;
        }
    }
    PenEntry& e = m_pens[m_penNext];
    m_penNext = (m_penNext + 1) % m_pens.size();
    if (m_painterPen == &e)
        m_painterPen = nullptr;
    e.key = m_pen;
    e.generation = m_generation;
    e.dashed = false;

    const int style = m_pen.Style();
    const double exact = std::abs(static_cast<double>(m_pen.width)) * ScaleX();
    e.width = std::clamp(ToInt(exact), 1, 1 << 20);
    const QColor color = ToQColor(m_pen.color);
    if (style == PS_NULL) {
        e.pen = QPen(Qt::NoPen);
    } else if (e.width <= 1) {
        // One device unit: the cosmetic line, which leaves out its last pixel.
        QPen pen(color, 0);
        pen.setCapStyle(Qt::FlatCap);
        switch (style) {
        case PS_DASH:
            pen.setDashPattern({18, 6});
            break;
        case PS_DOT:
            pen.setDashPattern({3, 3});
            break;
        case PS_DASHDOT:
            pen.setDashPattern({9, 6, 3, 6});
            break;
        case PS_DASHDOTDOT:
            pen.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
        e.dashed = style >= PS_DASH && style <= PS_DASHDOTDOT;
        e.pen = pen;
    } else {
        QPen pen(color, e.width);
        if (m_pen.IsGeometric()) {
            switch (m_pen.EndCap()) {
            case PS_ENDCAP_SQUARE:
                pen.setCapStyle(Qt::SquareCap);
                break;
            case PS_ENDCAP_FLAT:
                pen.setCapStyle(Qt::FlatCap);
                break;
            default:
                pen.setCapStyle(Qt::RoundCap);
                break;
            }
            switch (m_pen.Join()) {
            case PS_JOIN_BEVEL:
                pen.setJoinStyle(Qt::BevelJoin);
                break;
            case PS_JOIN_MITER:
                pen.setJoinStyle(Qt::MiterJoin);
                pen.setMiterLimit(10);
                break;
            default:
                pen.setJoinStyle(Qt::RoundJoin);
                break;
            }
            switch (style) {
            case PS_DASH:
                pen.setStyle(Qt::DashLine);
                break;
            case PS_DOT:
                pen.setStyle(Qt::DotLine);
                break;
            case PS_DASHDOT:
                pen.setStyle(Qt::DashDotLine);
                break;
            case PS_DASHDOTDOT:
                pen.setStyle(Qt::DashDotDotLine);
                break;
            default:
                break;
            }
            e.dashed = style >= PS_DASH && style <= PS_DASHDOTDOT;
        } else {
            // A wide cosmetic pen draws solid with round ends and joins.
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        e.pen = pen;
    }
    m_penReal = &e;
    return e;
}

const QPainterDrawContext::BrushEntry& QPainterDrawContext::RealBrush(const Brush& brush)
{
    for (const BrushEntry& e : m_brushes) {
        if (e.used && e.key == brush)
            return e;
    }
    BrushEntry& e = m_brushes[m_brushNext];
    m_brushNext = (m_brushNext + 1) % m_brushes.size();
    if (m_painterBrush == &e)
        m_painterBrush = nullptr;
    e.key = brush;
    e.used = true;
    if (brush.style == BS_NULL)
        e.brush = QBrush(Qt::NoBrush);
    else if (brush.style == BS_PATTERN)
        e.brush = QBrush(ToQColor(brush.color), Qt::Dense4Pattern); // every other pixel
    else
        e.brush = QBrush(ToQColor(brush.color));
    return e;
}

void QPainterDrawContext::SetPainterRop(int rop)
{
    if (!m_ropSupported)
        rop = R2_COPYPEN;
    if (rop != m_painterRop) {
        m_painter->setCompositionMode(RopMode(rop));
        m_painterRop = rop;
    }
}

bool QPainterDrawContext::Prepare(bool stroke, const Brush* fill, bool noBrush)
{
    if (m_rop == R2_NOP)
        return false;
    SetPainterRop(m_rop);
    bool dashed = false;
    if (stroke) {
        const PenEntry& e = RealPen();
        if (m_painterPen != &e) {
            m_painter->setPen(e.pen);
            m_painterPen = &e;
            m_painterNoPen = false;
        }
        dashed = e.dashed;
    } else if (!m_painterNoPen) {
        m_painter->setPen(Qt::NoPen);
        m_painterNoPen = true;
        m_painterPen = nullptr;
    }
    bool pattern = false;
    if (fill) {
        const BrushEntry& b = RealBrush(*fill);
        if (m_painterBrush != &b) {
            m_painter->setBrush(b.brush);
            m_painterBrush = &b;
            m_painterNoBrush = false;
        }
        pattern = fill->style == BS_PATTERN;
    } else if (noBrush && !m_painterNoBrush) {
        m_painter->setBrush(Qt::NoBrush);
        m_painterNoBrush = true;
        m_painterBrush = nullptr;
    }
    // The background fills the gaps of styled lines; the halftone brush leaves its gaps alone.
    const int opaque = m_bkMode == OPAQUE && dashed && !pattern ? 1 : 0;
    if (opaque != m_painterOpaque) {
        m_painter->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
        m_painterOpaque = opaque;
    }
    return true;
}

void QPainterDrawContext::PrepareOn(QPainter& painter, const Brush& fill)
{
    const PenEntry& e = RealPen();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(e.pen);
    painter.setBrush(RealBrush(fill).brush);
    painter.setBackground(QBrush(ToQColor(m_bkColor)));
    const bool opaque = m_bkMode == OPAQUE && e.dashed && fill.style != BS_PATTERN;
    painter.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

template <class BoundsFn, class DrawFn>
void QPainterDrawContext::Figure(const BoundsFn& bounds, bool fill, bool stroke, const Brush& brush,
                                 DrawFn&& draw, bool keyed)
{
    fill = fill && BrushVisible(brush);
    stroke = stroke && PenVisible();
    if ((!fill && !stroke) || m_rop == R2_NOP)
        return;
    if (fill && stroke && m_rop != R2_COPYPEN && m_ropSupported) {
        Layered(bounds(), brush, draw);
        return;
    }
    if (keyed && m_stampBits && Stamped(bounds(), fill, stroke, brush, draw))
        return;
    Prepare(stroke, fill ? &brush : nullptr);
    draw(*m_painter, stroke);
}

template <class DrawFn>
bool QPainterDrawContext::Stamped(const QRect& bounds, bool fill, bool stroke, const Brush& brush,
                                  DrawFn&& draw)
{
    if (m_rop != R2_COPYPEN || (fill && brush.style != BS_SOLID))
        return false;
    const PenEntry* pen = stroke ? &RealPen() : nullptr;
    if (pen && pen->dashed)
        return false;
    // Room for the outline and a pixel either way, so that the stamp holds every pixel made.
    const int margin = (pen ? pen->width : 0) + 2;
    const QRect area = bounds.adjusted(-margin, -margin, margin, margin);
    const QRect onImage = area.translated(m_stampOffset);
    if (area.width() > StampSide || area.height() > StampSide || !m_stampImage.contains(onImage) ||
        !m_stampClip.intersects(onImage))
        return false;
    const std::size_t shape = m_key.size();
    m_key.resize(shape + 6);
    std::int32_t* tail = m_key.data() + shape;
    tail[0] = stroke ? m_pen.style : -1;
    tail[1] = stroke ? pen->width : 0;
    tail[2] = stroke ? static_cast<std::int32_t>(m_pen.color) : 0;
    tail[3] = fill ? static_cast<std::int32_t>(brush.color) : -1;
    tail[4] = area.width();
    tail[5] = area.height();

    StampCache& cache = Stamps();
    const std::uint32_t hash = StampCache::Hash(m_key);
    StampCache::Slot* slot = &cache.Find(m_key, hash);
    if (slot->hash == 0) {
        if (cache.Full()) {
            cache.Clear();
            slot = &cache.Find(m_key, hash);
        }
        cache.Add(*slot, m_key, hash);
        return false; // first seen: drawn through the painter
    }
    if (slot->runCount == StampCache::SeenOnly) {
        QImage& canvas = cache.canvas;
        if (canvas.isNull())
            canvas = QImage(StampSide, StampSide, QImage::Format_ARGB32_Premultiplied);
        const QRect source(QPoint(0, 0), area.size());
        {
            QPainter painter(&canvas);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(source, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setBackgroundMode(Qt::TransparentMode);
            painter.setPen(pen ? pen->pen : QPen(Qt::NoPen));
            painter.setBrush(fill ? RealBrush(brush).brush : QBrush(Qt::NoBrush));
            painter.translate(-area.left(), -area.top());
            draw(painter, stroke);
        }
        cache.AddKey(*slot, m_key);
        for (int y = 0; y < area.height(); ++y) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(canvas.constScanLine(y));
            for (int x = 0; x < area.width();) {
                const std::uint32_t pixel = line[x];
                int end = x + 1;
                while (end < area.width() && line[end] == pixel)
                    ++end;
                if (pixel != 0)
                    cache.data.insert(cache.data.end(),
                                      {(y << 20) | (x << 10) | (end - x), static_cast<std::int32_t>(pixel)});
                x = end;
            }
        }
        slot->runCount = static_cast<std::uint32_t>(cache.data.size() - slot->Run()) / 2;
    }
    const QPoint at = onImage.topLeft();
    const std::int32_t* run = cache.data.data() + slot->Run();
    const std::int32_t* const end = run + 2 * slot->runCount;
    if (m_stampArea.contains(onImage)) [[likely]] {
        for (; run != end; run += 2) {
            const int row = run[0] >> 20;
            const int x = (run[0] >> 10) & 0x3FF;
            auto* line = reinterpret_cast<std::uint32_t*>(m_stampBits + (at.y() + row) * m_stampStride);
            std::fill_n(line + at.x() + x, run[0] & 0x3FF, static_cast<std::uint32_t>(run[1]));
        }
        return true;
    }
    // Across the clip's edge: each run cut to the clip.
    const int left = m_stampClip.left(), right = m_stampClip.right() + 1;
    for (; run != end; run += 2) {
        const int y = at.y() + (run[0] >> 20);
        if (y < m_stampClip.top() || y > m_stampClip.bottom())
            continue;
        const int x = at.x() + ((run[0] >> 10) & 0x3FF);
        const int from = std::max(x, left);
        const int to = std::min(x + (run[0] & 0x3FF), right);
        if (from >= to)
            continue;
        auto* line = reinterpret_cast<std::uint32_t*>(m_stampBits + y * m_stampStride);
        std::fill(line + from, line + to, static_cast<std::uint32_t>(run[1]));
    }
    return true;
}

bool QPainterDrawContext::PathKey(const QPainterPath& path, QPoint origin)
{
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.x != std::floor(e.x) || e.y != std::floor(e.y))
            return false;
        // Each element in one number: its type and its place (under StampSide each way).
        const auto x = static_cast<std::int32_t>(e.x) - origin.x();
        const auto y = static_cast<std::int32_t>(e.y) - origin.y();
        if (x < 0 || y < 0 || x >= StampSide || y >= StampSide)
            return false;
        m_key.push_back((static_cast<std::int32_t>(e.type) << 20) | (x << 10) | y);
    }
    return true;
}

template <class DrawFn>
void QPainterDrawContext::Layered(const QRect& bounds, const Brush& brush, DrawFn&& draw)
{
    // The outline is drawn over the fill on a clear layer, and the layer is then combined with
    // the device once, where it is not clear.
    const int margin = RealPen().width + 2;
    const QRect clip(QPoint(m_clip.left, m_clip.top), QPoint(m_clip.right - 1, m_clip.bottom - 1));
    const QRect area = bounds.adjusted(-margin, -margin, margin, margin) & clip;
    if (area.isEmpty())
        return;
    if (m_layer.width() < area.width() || m_layer.height() < area.height()) {
        m_layer = QImage(std::max(m_layer.width(), area.width()), std::max(m_layer.height(), area.height()),
                         QImage::Format_ARGB32_Premultiplied);
    }
    const QRect source(QPoint(0, 0), area.size());
    {
        QPainter layer(&m_layer);
        layer.setCompositionMode(QPainter::CompositionMode_Source);
        layer.fillRect(source, Qt::transparent);
        layer.setCompositionMode(QPainter::CompositionMode_SourceOver);
        layer.setClipRect(source);
        layer.translate(-area.left(), -area.top());
        PrepareOn(layer, brush);
        draw(layer, true);
    }
    SetPainterRop(m_rop);
    if (RopKeepsUnderClear(m_rop)) {
        m_painter->drawImage(area.topLeft(), m_layer, source);
        return;
    }
    const QRegion covered(QBitmap::fromImage(m_layer.copy(source).createAlphaMask()));
    m_painter->save();
    m_painter->setClipRegion(covered.translated(area.topLeft()), Qt::IntersectClip);
    m_painter->drawImage(area.topLeft(), m_layer, source);
    m_painter->restore();
}

// --- Lines and figures.

CPoint QPainterDrawContext::MoveTo(CPoint p)
{
    if (m_pathOpen)
        m_figureOpen = false;
    return std::exchange(m_position, p);
}

void QPainterDrawContext::LineTo(CPoint p)
{
    // A step of a path (glyph outlines make many) stays clear of the drawing's set-up.
    if (m_pathOpen) {
        PathFigureStart();
        PathAdd(QPainterPath::LineToElement, Dev(p));
    } else if (PenVisible()) {
        DrawLineTo(p);
    }
    m_position = p;
}

void QPainterDrawContext::DrawLineTo(CPoint p)
{
    const QPoint a = Dev(m_position);
    const QPoint b = Dev(p);
    const auto draw = [&](QPainter& painter, bool) { painter.drawLine(a, b); };
    bool stamped = false;
    if (m_stampBits) {
        const QRect bounds(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                           QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
        m_key.assign({StampLine, a.x() - bounds.left(), a.y() - bounds.top(), b.x() - bounds.left(),
                      b.y() - bounds.top()});
        stamped = Stamped(bounds, false, true, m_brush, draw);
    }
    if (!stamped && Prepare(true, nullptr, false))
        draw(*m_painter, true);
}

void QPainterDrawContext::Polyline(std::span<const CPoint> points)
{
    if (points.size() < 2)
        return;
    if (m_pathOpen) {
        PathAdd(QPainterPath::MoveToElement, Dev(points[0]));
        for (std::size_t i = 1; i < points.size(); ++i)
            PathAdd(QPainterPath::LineToElement, Dev(points[i]));
        m_figureOpen = false;
        return;
    }
    if (!PenVisible() || !Prepare(true, nullptr, false))
        return;
    m_points.clear();
    for (const CPoint& p : points)
        m_points.push_back(Dev(p));
    m_painter->drawPolyline(m_points.data(), static_cast<int>(m_points.size()));
}

void QPainterDrawContext::Polygon(std::span<const CPoint> points)
{
    if (points.size() < 2)
        return;
    m_points.clear();
    QPoint lo = Dev(points[0]);
    QPoint hi = lo;
    for (const CPoint& p : points) {
        const QPoint d = Dev(p);
        lo = QPoint(std::min(lo.x(), d.x()), std::min(lo.y(), d.y()));
        hi = QPoint(std::max(hi.x(), d.x()), std::max(hi.y(), d.y()));
        m_points.push_back(d);
    }
    if (m_pathOpen) {
        PathAdd(QPainterPath::MoveToElement, m_points[0]);
        for (std::size_t i = 1; i < m_points.size(); ++i)
            PathAdd(QPainterPath::LineToElement, m_points[i]);
        PathClose();
        m_figureOpen = false;
        return;
    }
    const Qt::FillRule rule = m_fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    const int count = static_cast<int>(m_points.size());
    if (m_stampBits) {
        m_key.assign({StampPolygon, rule});
        for (const QPoint& d : m_points) {
            m_key.push_back(d.x() - lo.x());
            m_key.push_back(d.y() - lo.y());
        }
    }
    Figure([&] { return QRect(lo, hi); }, true, true, m_brush,
           [&](QPainter& painter, bool) { painter.drawPolygon(m_points.data(), count, rule); }, m_stampBits);
}

void QPainterDrawContext::PolyBezierTo(std::span<const CPoint> points)
{
    const std::size_t n = points.size() / 3 * 3;
    if (n == 0)
        return;
    if (m_pathOpen) {
        PathFigureStart();
        for (std::size_t i = 0; i < n; i += 3) {
            PathAdd(QPainterPath::CurveToElement, Dev(points[i]));
            PathAdd(QPainterPath::CurveToDataElement, Dev(points[i + 1]));
            PathAdd(QPainterPath::CurveToDataElement, Dev(points[i + 2]));
        }
        m_position = points[n - 1];
        return;
    }
    m_scratch.clear();
    m_scratch.moveTo(Dev(m_position));
    for (std::size_t i = 0; i < n; i += 3)
        m_scratch.cubicTo(Dev(points[i]), Dev(points[i + 1]), Dev(points[i + 2]));
    m_position = points[n - 1];
    DrawPath(m_scratch, false, true, m_brush);
}

QRectF QPainterDrawContext::OutlineBox(const CRect& b)
{
    // A one-unit outline runs through the box's outermost pixels; a wide one is centred on them,
    // except an inside-frame one, which stays within the box.
    if (PenVisible() && m_pen.Style() == PS_INSIDEFRAME) {
        const int w = std::min({RealPen().width, b.Width(), b.Height()});
        if (w > 1)
            return QRectF(b.left + w / 2.0, b.top + w / 2.0, b.Width() - w, b.Height() - w);
    }
    return QRectF(b.left, b.top, b.Width() - 1, b.Height() - 1);
}

void QPainterDrawContext::Rectangle(const CRect& r)
{
    BoxFigure(r, false);
}

void QPainterDrawContext::Ellipse(const CRect& r)
{
    BoxFigure(r, true);
}

// Rectangles and ellipses fill the box less its right and bottom edge; their outline runs as
// OutlineBox says. Inside a path they only add their figure.
void QPainterDrawContext::BoxFigure(const CRect& r, bool ellipse)
{
    const CRect b = DevBox(r);
    if (b.Width() <= 0 || b.Height() <= 0)
        return;
    if (m_pathOpen) {
        const QRectF inner(b.left, b.top, b.Width() - 1, b.Height() - 1);
        RealisePath();
        ellipse ? m_path.addEllipse(inner) : m_path.addRect(inner);
        m_figureOpen = false;
        return;
    }
    const QRectF outline = OutlineBox(b);
    const QRect full(b.left, b.top, b.Width(), b.Height());
    // The outline follows from the box's size and the pen, which the stamp key holds.
    if (m_stampBits)
        m_key.assign({ellipse ? StampEllipse : StampRect, b.Width(), b.Height()});
    Figure([&] { return full; }, true, true, m_brush,
           [&](QPainter& painter, bool stroked) {
               if (ellipse) {
                   stroked ? painter.drawEllipse(outline) : painter.drawEllipse(QRectF(full));
               } else {
                   stroked ? painter.drawRect(outline) : painter.drawRect(full);
               }
           },
           m_stampBits);
}

void QPainterDrawContext::AddArc(QPainterPath& path, const CRect& box, CPoint start, CPoint end) const
{
    const CRect b = DevBox(box);
    const QRectF e(b.left, b.top, b.Width() - 1, b.Height() - 1);
    if (e.width() <= 0 || e.height() <= 0)
        return;
    // Qt takes angles on the circle that the ellipse is stretched from; the rays through the
    // given points are turned into those, counter-clockwise on the device being positive.
    const QPointF c = e.center();
    const double rx = e.width() / 2;
    const double ry = e.height() / 2;
    const auto angle = [&](CPoint p) {
        const QPoint d = Dev(p);
        return std::atan2(-(d.y() - c.y()) / ry, (d.x() - c.x()) / rx) * 180 / std::numbers::pi;
    };
    const double a0 = angle(start);
    const double a1 = angle(end);
    double sweep = std::fmod(m_arcDirection == AD_CLOCKWISE ? a0 - a1 : a1 - a0, 360.0);
    if (sweep < 0)
        sweep += 360;
    if (sweep < 1e-9)
        sweep = 360; // the same ray: the whole ellipse
    if (m_arcDirection == AD_CLOCKWISE)
        sweep = -sweep;
    path.arcMoveTo(e, a0);
    path.arcTo(e, a0, sweep);
}

void QPainterDrawContext::Arc(const CRect& box, CPoint start, CPoint end)
{
    if (m_pathOpen) {
        RealisePath();
        AddArc(m_path, box, start, end);
        m_figureOpen = false;
        return;
    }
    const CRect b = DevBox(box);
    // What AddArc leaves empty.
    if (b.Width() <= 1 || b.Height() <= 1)
        return;
    const auto draw = [&](QPainter& painter, bool) {
        m_scratch.clear();
        AddArc(m_scratch, box, start, end);
        painter.drawPath(m_scratch);
    };
    if (m_stampBits && PenVisible()) {
        // The arc's path follows from its box's size, its rays' points relative to the box and the
        // direction: the same key, the same path moved by whole units. It is made only when drawn.
        const QPoint s = Dev(start);
        const QPoint e = Dev(end);
        m_key.assign({StampArc, b.Width(), b.Height(), s.x() - b.left, s.y() - b.top, e.x() - b.left,
                      e.y() - b.top, m_arcDirection});
        const QRect full(b.left, b.top, b.Width(), b.Height());
        Figure([&] { return full; }, false, true, m_brush, draw, true);
        return;
    }
    m_scratch.clear();
    AddArc(m_scratch, box, start, end);
    if (!m_scratch.isEmpty())
        DrawPath(m_scratch, false, true, m_brush);
}

// --- Paths.

void QPainterDrawContext::PathAddReal(int type, QPoint p)
{
    switch (type) {
    case QPainterPath::MoveToElement:
        m_path.moveTo(p);
        break;
    case QPainterPath::LineToElement:
        m_path.lineTo(p);
        break;
    case QPainterPath::CurveToElement:
        m_pendingCurve = 1;
        m_curve[0] = p;
        break;
    default:
        m_curve[m_pendingCurve++] = p;
        if (m_pendingCurve == 3) {
            m_path.cubicTo(m_curve[0], m_curve[1], m_curve[2]);
            m_pendingCurve = 0;
        }
        break;
    }
}

void QPainterDrawContext::PathClose()
{
    if (m_pathReal)
        m_path.closeSubpath();
    else
        m_record.push_back(PathOp{PathCloseOp, QPoint()});
}

void QPainterDrawContext::RealisePath()
{
    if (m_pathReal)
        return;
    m_pathReal = true;
    m_pendingCurve = 0;
    for (const PathOp& op : m_record) {
        if (op.type == PathCloseOp)
            m_path.closeSubpath();
        else
            PathAdd(op.type, op.p);
    }
    m_record.clear();
}

bool QPainterDrawContext::RecordKey(Qt::FillRule rule, QRect& bounds)
{
    // Only a path of whole-unit lines and curves, small enough for a stamp.
    bool drawn = false;
    QPoint lo(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    QPoint hi(std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
    for (const PathOp& op : m_record) {
        if (op.type == PathCloseOp)
            continue;
        drawn = drawn || op.type != QPainterPath::MoveToElement;
        lo = QPoint(std::min(lo.x(), op.p.x()), std::min(lo.y(), op.p.y()));
        hi = QPoint(std::max(hi.x(), op.p.x()), std::max(hi.y(), op.p.y()));
    }
    if (!drawn || hi.x() - lo.x() >= StampSide || hi.y() - lo.y() >= StampSide)
        return false;
    bounds = QRect(lo, hi);
    // Each step in one number: its kind and its place in the stamp.
    m_key.resize(2 + m_record.size());
    std::int32_t* key = m_key.data();
    *key++ = StampRecord;
    *key++ = rule == Qt::WindingFill ? 1 : 0;
    for (const PathOp& op : m_record) {
        if (op.type == PathCloseOp)
            *key++ = PathCloseOp << 20;
        else
            *key++ = (op.type << 20) | ((op.p.x() - lo.x()) << 10) | (op.p.y() - lo.y());
    }
    return true;
}

void QPainterDrawContext::BeginPath()
{
    // Only a realised path holds elements; clearing an empty one still costs a call.
    if (m_pathReal)
        m_path.clear();
    m_record.clear();
    m_pathReal = false;
    m_pathOpen = true;
    m_pathEnded = false;
    m_figureOpen = false;
}

void QPainterDrawContext::EndPath()
{
    if (m_pathOpen) {
        m_pathOpen = false;
        m_pathEnded = true;
    }
}

void QPainterDrawContext::AbortPath()
{
    // Only a realised path holds elements; clearing an empty one still costs a call.
    if (m_pathReal)
        m_path.clear();
    m_record.clear();
    m_pathReal = false;
    m_pathOpen = m_pathEnded = m_figureOpen = false;
}

void QPainterDrawContext::CloseFigure()
{
    if (m_pathOpen && m_figureOpen) {
        PathClose();
        m_figureOpen = false; // what follows starts a new figure at the current position
    }
}

void QPainterDrawContext::UsePath(bool fill, bool stroke)
{
    // Only a path that has been ended is drawn, as the device context does.
    const Qt::FillRule rule = m_fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    QRect bounds;
    if (!m_pathEnded) {
        // nothing is drawn
    } else if (!m_pathReal && m_stampBits && RecordKey(rule, bounds)) {
        // The path is made only when the painter draws it.
        Figure([&] { return bounds; }, fill, stroke, m_brush,
               [&](QPainter& painter, bool) {
                   RealisePath();
                   m_path.setFillRule(rule);
                   painter.drawPath(m_path);
               },
               true);
    } else {
        RealisePath();
        if (!m_path.isEmpty()) {
            m_path.setFillRule(rule);
            DrawPath(m_path, fill, stroke, m_brush, true);
        }
    }
    // Only a realised path holds elements; clearing an empty one still costs a call.
    if (m_pathReal)
        m_path.clear();
    m_record.clear();
    m_pathReal = false;
    m_pathOpen = m_pathEnded = m_figureOpen = false;
}

void QPainterDrawContext::StrokePath()
{
    UsePath(false, true);
}

void QPainterDrawContext::FillPath()
{
    UsePath(true, false);
}

void QPainterDrawContext::StrokeAndFillPath()
{
    UsePath(true, true);
}

void QPainterDrawContext::DrawPath(const QPainterPath& path, bool fill, bool stroke, const Brush& brush,
                                   bool keyed)
{
    const QRect bounds = path.controlPointRect().toAlignedRect();
    if (keyed && m_stampBits) {
        m_key.assign({StampPath, path.fillRule() == Qt::WindingFill ? 1 : 0});
        keyed = PathKey(path, bounds.topLeft());
    }
    Figure([&] { return bounds; }, fill, stroke, brush,
           [&](QPainter& painter, bool) { painter.drawPath(path); }, keyed && m_stampBits);
}

// --- Regions.

void QPainterDrawContext::FillRegion(const Region& region, const Brush& brush)
{
    if (region.IsEmpty() || !BrushVisible(brush))
        return;
    // Each polygon is reduced to its outline under the winding rule; the outlines together under
    // the even-odd rule then combine the polygons by exclusive or.
    m_scratch.clear();
    m_scratch.setFillRule(Qt::OddEvenFill);
    QPolygonF polygon;
    for (const auto& points : region.polygons) {
        if (points.size() < 3)
            continue;
        polygon.clear();
        for (const CPoint& p : points)
            polygon.append(QPointF(Dev(p)));
        QPainterPath one;
        one.setFillRule(Qt::WindingFill);
        one.addPolygon(polygon);
        one.closeSubpath();
        m_scratch.addPath(one.simplified());
    }
    DrawPath(m_scratch, true, false, brush);
}

void QPainterDrawContext::PaintRegion(const Region& region)
{
    FillRegion(region, m_brush);
}

// --- Text.

void QPainterDrawContext::RealiseFont() const
{
    if (m_fontReal)
        return;
    const QPaintDevice* device = m_painter->device();
    QFont font;
    if (const QStringList families = ResolvedFamilies(m_font); !families.isEmpty()) {
        font.setFamilies(families);
    } else if (const std::string face = m_font.FaceName(); !face.empty()) {
        font.setFamilies({Cp932ToQString(face)});
    }
    // Advances as the model measures and outlines glyphs: hinted for black-and-white output, each
    // rounded to whole pixels, and no kerning between characters.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setItalic(m_font.lfItalic != 0);
    font.setUnderline(m_font.lfUnderline != 0);
    font.setStrikeOut(m_font.lfStrikeOut != 0);
    font.setWeight(m_font.lfWeight > 0 ? static_cast<QFont::Weight>(std::clamp<int>(m_font.lfWeight, 1, 1000))
                                       : QFont::Normal);

    constexpr int maxPixels = 1 << 16;
    const double height =
        std::min(std::abs(static_cast<double>(m_font.lfHeight)) * ScaleY(), double(maxPixels));
    int pixels = 0;
    if (m_font.lfHeight < 0) {
        pixels = ToInt(height); // the em height
    } else if (m_font.lfHeight > 0) {
        // The cell height (ascent and descent): the em is found from the face's proportions.
        constexpr int probe = 1024;
        font.setPixelSize(probe);
        const QFontMetricsF probeMetrics(font, device);
        const double cell = probeMetrics.ascent() + probeMetrics.descent();
        pixels = cell > 0 ? ToInt(height * probe / cell) : ToInt(height);
    } else {
        pixels = ToInt(m_mapping.DpiY() * 12.0 / 72.0); // twelve points when no height is asked
    }
    pixels = std::clamp(pixels, 1, maxPixels);
    font.setPixelSize(pixels);
    if (m_font.lfWidth != 0) {
        const double average = QFontMetricsF(font, device).averageCharWidth();
        const double wanted = std::abs(static_cast<double>(m_font.lfWidth)) * ScaleX();
        if (average > 0)
            font.setStretch(std::clamp(ToInt(100 * wanted / average), 1, 4000));
    }
    m_qfont = font;
    m_metrics = QFontMetricsF(m_qfont, device);
    m_fontPixels = pixels;
    m_fontReal = true;
    m_painterFont = false;
}

void QPainterDrawContext::TextOut(CPoint p, const std::string& text)
{
    if (text.empty())
        return;
    RealiseFont();
    const QString s = Cp932ToQString(text);
    const bool update = (m_textAlign & TA_UPDATECP) != 0;
    const QPoint ref = Dev(update ? m_position : p);
    const double width = m_metrics.horizontalAdvance(s);

    double x = 0;
    double along = width; // how far the current position moves along the baseline
    if ((m_textAlign & TA_CENTER) == TA_CENTER) {
        x = -width / 2;
        along = 0;
    } else if ((m_textAlign & TA_CENTER) == TA_RIGHT) {
        x = -width;
        along = -width;
    }
    double y = m_metrics.ascent();
    if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
        y = 0;
    else if ((m_textAlign & TA_BASELINE) == TA_BOTTOM)
        y = -m_metrics.descent();

    // Text takes no raster operation; an opaque background fills the text's cell.
    SetPainterRop(R2_COPYPEN);
    m_painter->setPen(m_textPen);
    m_painterPen = nullptr;
    m_painterNoPen = false;
    if (!m_painterFont) {
        m_painter->setFont(m_qfont);
        m_painterFont = true;
    }
    const int opaque = m_bkMode == OPAQUE ? 1 : 0;
    if (opaque != m_painterOpaque) {
        m_painter->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
        m_painterOpaque = opaque;
    }

    // The escapement, in tenths of a degree, turns the text counter-clockwise on the device;
    // a font asking for angles relative to the coordinate system's handedness turns the other way
    // where the mapping flips one axis (as a mapping with y upward does), so that its escapement
    // counts clockwise on the device there.
    const double degrees = EscapementOnDevice();
    if (m_font.lfEscapement % 3600 != 0) {
        QTransform turned = m_base;
        turned.translate(ref.x(), ref.y());
        turned.rotate(-degrees);
        m_painter->setTransform(turned);
        m_painter->drawText(QPointF(x, y), s);
        m_painter->setTransform(m_base);
    } else {
        m_painter->drawText(QPointF(ref.x() + x, ref.y() + y), s);
    }

    if (update && along != 0) {
        const double radians = degrees * std::numbers::pi / 180;
        const CPoint moved(ToInt(ref.x() + along * std::cos(radians)),
                           ToInt(ref.y() - along * std::sin(radians)));
        m_position = m_mapping.DPtoLP(moved);
    }
}

double QPainterDrawContext::EscapementOnDevice() const
{
    const double degrees = m_font.lfEscapement / 10.0;
    if (!(m_font.lfClipPrecision & CLIP_LH_ANGLES))
        return degrees;
    const CSize w = m_mapping.GetWindowExt();
    const CSize v = m_mapping.GetViewportExt();
    const bool flipX = (w.cx < 0) != (v.cx < 0);
    const bool flipY = (w.cy < 0) != (v.cy < 0);
    return flipX != flipY ? -degrees : degrees;
}

CSize QPainterDrawContext::GetTextExtent(const std::string& text) const
{
    RealiseFont();
    const double width = text.empty() ? 0.0 : m_metrics.horizontalAdvance(Cp932ToQString(text));
    // The height as the metrics give it, ascent and descent each taken whole.
    const double sy = ScaleY();
    return CSize(ToInt(width / ScaleX()), ToInt(m_metrics.ascent() / sy) + ToInt(m_metrics.descent() / sy));
}

TextMetrics QPainterDrawContext::GetTextMetrics() const
{
    RealiseFont();
    const double sx = ScaleX();
    const double sy = ScaleY();
    TextMetrics tm;
    tm.tmAscent = ToInt(m_metrics.ascent() / sy);
    tm.tmDescent = ToInt(m_metrics.descent() / sy);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, ToInt((m_metrics.ascent() + m_metrics.descent() - m_fontPixels) / sy));
    tm.tmExternalLeading = std::max(0, ToInt(m_metrics.leading() / sy));
    tm.tmAveCharWidth = ToInt(m_metrics.averageCharWidth() / sx);
    tm.tmMaxCharWidth = ToInt(m_metrics.maxWidth() / sx);
    return tm;
}

// --- Visibility.

CRect QPainterDrawContext::GetClipBox() const
{
    const CPoint a = m_mapping.DPtoLP(CPoint(m_clip.left, m_clip.top));
    const CPoint b = m_mapping.DPtoLP(CPoint(m_clip.right, m_clip.bottom));
    return CRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

bool QPainterDrawContext::RectVisible(const CRect& r) const
{
    // Most items asked about lie well inside the view or well outside it.
    if (const int decided = m_fast.Visible(r, m_clip); decided >= 0)
        return decided == 1;
    // As on the recording context: right and bottom edges excluded, and a rectangle of no width
    // or height taken as one unit wide so that a bare line can still be seen.
    const CRect d = DevBox(r);
    const std::int64_t right = std::max<std::int64_t>(d.right, std::int64_t(d.left) + 1);
    const std::int64_t bottom = std::max<std::int64_t>(d.bottom, std::int64_t(d.top) + 1);
    return d.left < m_clip.right && m_clip.left < right && d.top < m_clip.bottom && m_clip.top < bottom;
}

} // namespace platform
