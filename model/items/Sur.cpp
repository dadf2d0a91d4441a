// Surface item: construction, ownership, copy and comparison, properties, the edit dialog and the
// two persistent forms.

#include "model/items/Sur.h"

#include "model/geometry/Geometry.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/RecordSupport.h"
#include "model/items/Text.h"
#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double kRadToDeg = 180.0 / std::numbers::pi;
constexpr double kDegToRad = std::numbers::pi / 180.0;

// Windows inside windows are rare; a record nested deeper than this is damaged, and reading it
// would recurse as deep as the file asks.
constexpr int kMaxWindowDepth = 64;

constexpr const char* kCocName = "COC";

template <class T> T* As(CItemBase* item)
{
    return static_cast<T*>(item);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

CSur::CSur() : CItemBase(KIND_SUR) {}

CSur::CSur(const CSur& other) : CItemBase(KIND_SUR)
{
    *this = other;
}

CSur::CSur(int turret) : CItemBase(KIND_SUR)
{
    SetTurretNo(turret, false);
}

CSur::CSur(const CItemBaseList& lines, const CItemBaseList& arcs, const CItemBaseList&,
           const CItemBaseList& texts)
    : CItemBase(KIND_SUR)
{
    int turret = m_nTurret;
    if (!lines.IsEmpty())
        turret = (*lines.begin())->GetTurretNo();
    else if (!arcs.IsEmpty())
        turret = (*arcs.begin())->GetTurretNo();
    for (CItemBase* item : lines) {
        if (!item || item->GetKind() != KIND_LINE)
            continue;
        auto copy = std::make_unique<CLine>(*As<CLine>(item));
        copy->SetArrow(0, 0);
        copy->SetCheck(false);
        copy->SetParent(this);
        m_Lines.AddTail(std::move(copy));
    }
    for (CItemBase* item : arcs) {
        if (!item || item->GetKind() != KIND_ARC)
            continue;
        auto copy = std::make_unique<CArc>(*As<CArc>(item));
        copy->SetArrow(0, 0);
        copy->SetCheck(false);
        copy->SetParent(this);
        m_Arcs.AddTail(std::move(copy));
    }
    for (CItemBase* item : texts) {
        if (!item || item->GetKind() != KIND_TEXT)
            continue;
        auto copy = std::make_unique<CText>(*As<CText>(item));
        copy->SetParent(this);
        m_Texts.AddTail(std::move(copy));
    }
    Normalize();
    SetTurretNo(turret, false);
}

CSur::CSur(const char* line) : CItemBase(KIND_SUR)
{
    int turret = -1, type = 0, layer = -1;
    double degrees = 0.0;
    long id = 0;
    platform::Scan(line ? line : "", "%*s %d %d %lf %d %ld", &turret, &type, &degrees, &layer, &id);
    m_nType = type & ~SUR_EDGE;
    m_dAngle = degrees * kDegToRad;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    MarkDirty();
    SetTurretNo(turret, false);
}

CSur::~CSur()
{
    Delete();
}

// ---------------------------------------------------------------------------------------------
// Copy and comparison

CSur& CSur::operator=(const CSur& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    for (CItemBase* item : other.m_Lines) {
        auto copy = std::make_unique<CLine>(*As<CLine>(item));
        copy->SetCheck(false);
        copy->SetParent(this);
        m_Lines.AddTail(std::move(copy));
    }
    for (CItemBase* item : other.m_Arcs) {
        auto copy = std::make_unique<CArc>(*As<CArc>(item));
        copy->SetCheck(false);
        copy->SetParent(this);
        m_Arcs.AddTail(std::move(copy));
    }
    for (CItemBase* item : other.m_Windows) {
        auto copy = std::make_unique<CSur>();
        *copy = *As<CSur>(item);
        copy->SetParent(this);
        m_Windows.AddTail(std::move(copy));
    }
    for (CItemBase* item : other.m_Texts) {
        auto copy = std::make_unique<CText>(*As<CText>(item));
        copy->SetParent(this);
        m_Texts.AddTail(std::move(copy));
    }
    m_nType &= ~SUR_TRANSIENT;
    MarkDirty();
    return *this;
}

namespace {

// Pairwise equality of two lists of one item class, in list order.
template <class T> bool ListsEqual(const CItemList& a, const CItemList& b)
{
    if (a.GetCount() != b.GetCount())
        return false;
    auto j = b.begin();
    for (auto i = a.begin(); i != a.end(); ++i, ++j)
        if (!(*static_cast<const T*>(*i) == *static_cast<const T*>(*j)))
            return false;
    return true;
}

} // namespace

bool CSur::operator==(const CSur& other) const
{
    if (m_nTurret != other.m_nTurret || ((m_nType ^ other.m_nType) & ~SUR_TRANSIENT) != 0)
        return false;
    if (m_Lines.GetCount() != other.m_Lines.GetCount() || m_Arcs.GetCount() != other.m_Arcs.GetCount() ||
        m_Windows.GetCount() != other.m_Windows.GetCount() || m_Texts.GetCount() != other.m_Texts.GetCount())
        return false;
    return ListsEqual<CLine>(m_Lines, other.m_Lines) && ListsEqual<CArc>(m_Arcs, other.m_Arcs) &&
           ListsEqual<CSur>(m_Windows, other.m_Windows) && ListsEqual<CText>(m_Texts, other.m_Texts);
}

// ---------------------------------------------------------------------------------------------
// Contents

CLine* CSur::AddLine(std::unique_ptr<CLine> line)
{
    if (!line)
        return nullptr;
    CLine* raw = line.get();
    raw->SetParent(this);
    m_Lines.AddTail(std::move(line));
    MarkDirty();
    return raw;
}

CArc* CSur::AddArc(std::unique_ptr<CArc> arc)
{
    if (!arc)
        return nullptr;
    CArc* raw = arc.get();
    raw->SetParent(this);
    m_Arcs.AddTail(std::move(arc));
    MarkDirty();
    return raw;
}

CArc* CSur::NewArc(const CArc& arc)
{
    return AddArc(std::make_unique<CArc>(arc));
}

CText* CSur::NewText(const CText& text)
{
    auto copy = std::make_unique<CText>(text);
    CText* raw = copy.get();
    raw->SetParent(this);
    m_Texts.AddTail(std::move(copy));
    return raw;
}

CSur* CSur::NewWindow(const CSur& source)
{
    auto owned = std::make_unique<CSur>();
    CSur* window = owned.get();
    *window = source;
    window->SetParent(this);
    CItemList& arcs = window->m_Arcs;

    // Overlapping circles of a window are cut down to their common outer boundary. Each cut may
    // delete an arc (and the pass starts again) or add the second piece of a split arc; a damaged
    // outline must not keep that going for ever.
    long budget = 100000L + 4L * arcs.GetCount() * arcs.GetCount();
    for (POSITION posA = arcs.GetHeadPosition(); posA && budget > 0;) {
        CArc* arcA = As<CArc>(arcs.GetAt(posA));
        bool restarted = false;
        POSITION posB = posA;
        arcs.GetNext(posB);
        while (posB && budget-- > 0) {
            const POSITION hereB = posB;
            CArc* arcB = As<CArc>(arcs.GetNext(posB));
            const CDPoint& ca = arcA->GetCenter();
            const CDPoint& cb = arcB->GetCenter();
            if (std::fabs(ca.x - cb.x) < GEOM_TOLERANCE && std::fabs(ca.y - cb.y) < GEOM_TOLERANCE)
                continue;
            CArc a(*arcA);
            CArc b(*arcB);
            if (!b.TrimArc(&a))
                continue;
            const int resultA = arcA->AndArc(&a);
            if (resultA == 2) {
                window->NewArc(a);
            } else if (resultA == 0) {
                arcs.RemoveAt(posA);
                restarted = true;
                break;
            }
            const int resultB = arcB->AndArc(&b);
            if (resultB == 2) {
                window->NewArc(b);
            } else if (resultB == 0) {
                arcs.RemoveAt(hereB);
                // On with the window's first arc and the arc after it.
                posA = arcs.GetHeadPosition();
                arcA = As<CArc>(arcs.GetAt(posA));
                posB = posA;
                arcs.GetNext(posB);
            }
        }
        if (restarted)
            posA = arcs.GetHeadPosition();
        else
            arcs.GetNext(posA);
    }

    // Duplicates left by the cuts.
    for (POSITION pos = arcs.GetHeadPosition(); pos;) {
        CArc* arc = As<CArc>(arcs.GetNext(pos));
        for (POSITION later = pos; later;) {
            const POSITION here = later;
            CArc* other = As<CArc>(arcs.GetNext(later));
            if (arc->CheckEq(*other)) {
                if (here == pos)
                    pos = later;
                arcs.RemoveAt(here);
            }
        }
    }
    for (CItemBase* arc : arcs)
        arc->ModifyType(0x3, 0x3);

    m_Windows.AddTail(std::move(owned));
    DeleteSurLine();
    return window;
}

void CSur::Delete()
{
    m_Lines.RemoveAll();
    m_Arcs.RemoveAll();
    m_Windows.RemoveAll();
    m_SurLines.RemoveAll();
    m_Texts.RemoveAll();
    MarkDirty();
}

int CSur::DeleteItem(const CItemBase* item)
{
    if (!item)
        return 0;
    if (const POSITION pos = m_Lines.Find(item)) {
        m_Lines.RemoveAt(pos);
        MarkDirty();
        return 1;
    }
    if (const POSITION pos = m_Arcs.Find(item)) {
        m_Arcs.RemoveAt(pos);
        MarkDirty();
        return 1;
    }
    for (CItemBase* window : m_Windows)
        if (As<CSur>(window)->DeleteItem(item))
            return 1;
    return 0;
}

void CSur::SetCheck(const CDRect& rect)
{
    bool edge = false;
    for (CItemBase* item : m_Lines) {
        CLine* line = As<CLine>(item);
        line->SetCheck(rect);
        edge = edge || line->CheckEdge();
    }
    for (CItemBase* item : m_Arcs) {
        CArc* arc = As<CArc>(item);
        arc->SetCheck(rect);
        edge = edge || arc->CheckEdge();
    }
    for (CItemBase* item : m_Windows) {
        CSur* window = As<CSur>(item);
        window->SetCheck(rect);
        edge = edge || window->CheckEdge();
    }
    if (edge) {
        m_nType |= SUR_EDGE;
        MarkDirty();
    }
}

// ---------------------------------------------------------------------------------------------
// Accessors

CLine* CSur::GetNextLine(POSITION& pos)
{
    return pos ? As<CLine>(m_Lines.GetNext(pos)) : nullptr;
}

CArc* CSur::GetNextArc(POSITION& pos)
{
    return pos ? As<CArc>(m_Arcs.GetNext(pos)) : nullptr;
}

CSur* CSur::GetNextWnd(POSITION& pos)
{
    return pos ? As<CSur>(m_Windows.GetNext(pos)) : nullptr;
}

CLine* CSur::GetNextSurLine(POSITION& pos)
{
    return pos ? As<CLine>(m_SurLines.GetNext(pos)) : nullptr;
}

CText* CSur::GetNextText(POSITION& pos)
{
    return pos ? As<CText>(m_Texts.GetNext(pos)) : nullptr;
}

CArc* CSur::GetHeadArc()
{
    return As<CArc>(m_Arcs.GetHead());
}

CDPoint CSur::GetPoint()
{
    if (CItemBase* line = m_Lines.GetHead())
        return As<CLine>(line)->GetStartPoint();
    if (CItemBase* arc = m_Arcs.GetHead())
        return As<CArc>(arc)->GetStartPoint();
    return CDPoint();
}

// ---------------------------------------------------------------------------------------------
// Properties

std::string CSur::GetProperty(const char* name) const
{
    const std::string_view wanted = name ? name : "";
    for (CItemBase* item : m_Texts) {
        const CText* text = As<CText>(item);
        if (text->IsPropaty() && platform::MbsICmp(text->GetPropatyName(), wanted) == 0)
            return text->GetPropatyVal();
    }
    return std::string();
}

void CSur::DeleteProperty(const char* name)
{
    const std::string_view wanted = name ? name : "";
    for (POSITION pos = m_Texts.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        const CText* text = As<CText>(m_Texts.GetNext(pos));
        if (text->IsPropaty() && platform::MbsICmp(text->GetPropatyName(), wanted) == 0) {
            m_Texts.RemoveAt(here);
            return;
        }
    }
}

void CSur::SetProperty(const char* name, const char* value)
{
    DeleteProperty(name);
    if (!value || !*value)
        return;
    CText text;
    text.SetPropaty(name ? name : "", value);
    NewText(text);
}

// ---------------------------------------------------------------------------------------------
// Edit dialog

bool CSur::EditSur(bool several)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return false;
    SurDialogData data;
    data.multiple = several;
    if (several) {
        // Everything starts undetermined: the caller applies only what the user chose.
        data.turret = -1;
        data.noFill = 2;
        data.coc = 2;
    } else {
        data.turret = m_nTurret;
        data.noFill = IsNoCont() ? 1 : 0;
        const std::string coc = GetProperty(kCocName);
        if (!coc.empty()) {
            data.coc = 1;
            platform::Scan(coc.c_str(), "%lf %lf", &data.cocTop, &data.cocBottom);
        }
    }
    if (!dialogs->RunSurDialog(data))
        return false;

    DeleteProperty(kCocName);
    SetTurretNo(data.turret, false);
    if (!several) {
        m_nType = (m_nType & ~SUR_NOFILL) | (data.noFill ? SUR_NOFILL : 0);
        MarkDirty();
    }
    if (data.coc == 1)
        SetProperty(kCocName, platform::Format("%.1f %.1f", data.cocTop, data.cocBottom).c_str());
    if (several)
        SetLayerNo(data.coc * 4 + data.noFill);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CSur::Serialize(CArchive& ar, int version, int keep)
{
    if (ar.IsLoading())
        DataRead(ar, version, keep);
    else
        DataWrite(ar);
}

void CSur::DataWrite(CArchive& ar)
{
    ar << static_cast<std::uint32_t>(m_nID) << static_cast<std::int32_t>(m_nTurret)
       << static_cast<std::int32_t>(m_nType & ~SUR_TRANSIENT) << static_cast<std::int32_t>(m_nLayer)
       << m_dAngle;
    ar << static_cast<std::uint32_t>(m_Lines.GetCount());
    for (CItemBase* item : m_Lines)
        As<CLine>(item)->Serialize(ar, 0);
    ar << static_cast<std::uint32_t>(m_Arcs.GetCount());
    for (CItemBase* item : m_Arcs)
        As<CArc>(item)->Serialize(ar, 0);
    ar << static_cast<std::uint32_t>(m_Windows.GetCount());
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->Serialize(ar, 0, 1);
    ar << static_cast<std::uint32_t>(m_Texts.GetCount());
    for (CItemBase* item : m_Texts)
        As<CText>(item)->Serialize(ar, 0);
}

void CSur::ReadRecord(CArchive& ar, int version, int keep, int depth)
{
    std::uint32_t id = 0;
    std::int32_t turret = 0, type = 0, layer = 0;
    double angle = 0.0;
    ar >> id >> turret >> type >> layer >> angle;
    m_nID = id;
    m_nType = type;
    m_nLayer = layer;
    m_dAngle = angle;

    std::uint32_t count = 0;
    ar >> count;
    for (std::uint32_t i = 0; i < count; ++i) {
        CLine scratch;
        scratch.Serialize(ar, version);
        const CDPoint& s = scratch.GetStartPoint();
        const CDPoint& e = scratch.GetEndPoint();
        // Zero-length lines are dropped.
        if (keep && (std::fabs(s.x - e.x) > GEOM_TOLERANCE || std::fabs(s.y - e.y) > GEOM_TOLERANCE)) {
            auto copy = std::make_unique<CLine>(scratch);
            copy->SetLayerNo(m_nLayer);
            copy->SetParent(this);
            m_Lines.AddTail(std::move(copy));
        }
    }
    ar >> count;
    for (std::uint32_t i = 0; i < count; ++i) {
        CArc scratch;
        scratch.Serialize(ar, version);
        if (keep) {
            auto copy = std::make_unique<CArc>(scratch);
            copy->SetParent(this);
            m_Arcs.AddTail(std::move(copy));
        }
    }
    ar >> count;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (depth >= kMaxWindowDepth)
            throw ArchiveError(ArchiveError::BadFormat, "surface windows nested too deep");
        auto window = std::make_unique<CSur>();
        window->ReadRecord(ar, version, 1, depth + 1);
        // The hatch of a window (and of its own windows) runs as the surface's does.
        window->SetHatchAngle(m_dAngle);
        if (keep) {
            window->SetParent(this);
            m_Windows.AddTail(std::move(window));
        }
    }
    ar >> count;
    for (std::uint32_t i = 0; i < count; ++i) {
        CText scratch;
        scratch.Serialize(ar, version);
        if (keep) {
            auto copy = std::make_unique<CText>(scratch);
            copy->SetParent(this);
            m_Texts.AddTail(std::move(copy));
        }
    }
    if (keep) {
        m_nType &= ~SUR_EDGE;
        MarkDirty();
        Normalize();
    }
    if (version <= 2)
        turret = record::OldNumber(turret);
    if (version < 6)
        m_nID = 0;
    if (depth > 0) {
        // A window takes its turret without a fill of its own, as the copy that a window
        // becomes never carries one.
        PushTurret(turret, false);
    } else {
        m_nTurret = turret; // taken over by DataRead
    }
}

void CSur::SetHatchAngle(double angle)
{
    m_dAngle = angle;
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->SetHatchAngle(angle);
}

void CSur::DataRead(CArchive& ar, int version, int keep)
{
    // The whole record is read into a fresh surface first, so a damaged record leaves this one
    // as it was.
    CSur read;
    read.ReadRecord(ar, version, keep, 0);
    const int turret = read.m_nTurret;

    m_nID = read.m_nID;
    m_nType = read.m_nType;
    m_nLayer = read.m_nLayer;
    m_dAngle = read.m_dAngle;
    m_Lines.RemoveAll();
    m_Arcs.RemoveAll();
    m_Windows.RemoveAll();
    m_Texts.RemoveAll();
    const auto adopt = [this](CItemList& from, CItemList& to) {
        while (!from.IsEmpty()) {
            std::unique_ptr<CItemBase> item = from.Detach(from.GetHeadPosition());
            item->SetParent(this);
            to.AddTail(std::move(item));
        }
    };
    adopt(read.m_Lines, m_Lines);
    adopt(read.m_Arcs, m_Arcs);
    adopt(read.m_Windows, m_Windows);
    adopt(read.m_Texts, m_Texts);
    // The turret reaches the outline (its entry re-read also when the number stays the same); the
    // fill is left out of date, so that it is made once, by whoever stores or shows the surface.
    PushTurret(turret, turret == m_nTurret);
    DeleteSurLine();
}

void CSur::SerializeText(CArchive& ar, bool window)
{
    ar.WriteString(GetTextLines(window));
}

std::string CSur::GetTextLines(bool window)
{
    // A fill made before is regenerated by the next non-forced request.
    m_nType &= ~SUR_FILLED;
    MarkDirty();
    std::string out = window ? "Wnd " : "Sur ";
    out += platform::Format("%d %d %lf %d %ld\n", m_nTurret, m_nType, m_dAngle * kRadToDeg, m_nLayer,
                            static_cast<long>(static_cast<std::int32_t>(m_nID)));
    for (CItemBase* item : m_Lines)
        out += As<CLine>(item)->GetTextLines();
    for (CItemBase* item : m_Arcs)
        out += As<CArc>(item)->GetTextLines();
    for (CItemBase* item : m_Windows)
        out += As<CSur>(item)->GetTextLines(true);
    for (CItemBase* item : m_Texts)
        out += As<CText>(item)->GetTextLines(1);
    out += window ? "WndEnd\n" : "SurEnd\n";
    return out;
}
