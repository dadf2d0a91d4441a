// Part item: fields, copy, comparison, part-layer codes and the two persistent forms.

#include "model/items/Part.h"

#include "model/geometry/Geometry.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

DocumentServices* DocumentOf(const CArchive& ar)
{
    return dynamic_cast<DocumentServices*>(ar.GetDocument());
}

// The item count of a record list; a count that the remaining bytes cannot hold is refused before
// anything is allocated for it.
int ReadCount(CArchive& ar)
{
    std::int32_t count = 0;
    ar >> count;
    if (count < 0)
        throw ArchiveError(ArchiveError::BadFormat, "part: negative item count");
    if (static_cast<std::size_t>(count) > ar.Remaining())
        throw ArchiveError(ArchiveError::EndOfFile, "part: item records cut short");
    return count;
}

// Reads a count and that many items of one kind, each as its plain record, and hands each to
// adopt(list, item).
template <class T, class Adopt> void ReadItems(CArchive& ar, int version, CItemList& list, Adopt& adopt)
{
    for (int n = ReadCount(ar); n > 0; --n) {
        auto item = std::make_unique<T>();
        item->Serialize(ar, version);
        adopt(list, std::move(item));
    }
}

// Restores the board layers of a part whose layers were turned into codes for writing, also when
// the writing is left by an exception.
class LayerCodeScope
{
public:
    LayerCodeScope(CPart& part, DocumentServices* doc) : m_part(part), m_doc(doc)
    {
        m_part.PartLayToID(m_doc);
    }
    ~LayerCodeScope() { m_part.IDToPartLay(m_doc, 0); }
    LayerCodeScope(const LayerCodeScope&) = delete;
    LayerCodeScope& operator=(const LayerCodeScope&) = delete;

private:
    CPart& m_part;
    DocumentServices* m_doc;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and copy

CPart::CPart() : CItemBase(KIND_PART)
{
    AdoptNameTexts();
}

void CPart::AdoptNameTexts()
{
    m_PartName.SetParent(this);
    m_RefName.SetParent(this);
    m_ValName.SetParent(this);
}

void CPart::CopyNameTexts(const CPart& other)
{
    m_PartName = other.m_PartName;
    m_RefName = other.m_RefName;
    m_ValName = other.m_ValName;
    AdoptNameTexts();
}

CPart::CPart(const CDPoint& origin, const CDRect& area, unsigned packageMax, unsigned packageScale, double,
             int)
    : CPart()
{
    m_ptOrg = origin;
    m_ptArea[0] = CDPoint(area.left, area.bottom);
    m_ptArea[1] = CDPoint(area.right, area.bottom);
    m_ptArea[2] = CDPoint(area.right, area.top);
    m_ptArea[3] = CDPoint(area.left, area.top);
    m_nPackageMax = packageMax;
    m_nPackageScale = packageScale;
    m_nNetCount = 0;
}

CPart::CPart(const char* line) : CPart()
{
    double ox = 0.0, oy = 0.0, x0 = 0.0, y0 = 0.0, x2 = 0.0, y2 = 0.0, angle = 0.0;
    int packageMax = 0, packageScale = 0, type = 0, id = 0;
    platform::Scan(line ? line : "", "%*s %lf %lf %lf %lf %lf %lf %d %d %lf %d %d", &ox, &oy, &x0, &y0, &x2,
                   &y2, &packageMax, &packageScale, &angle, &type, &id);
    m_ptOrg = CDPoint(ox, oy);
    // Corners 1 and 3 follow from 0 and 2 at once, as the binary reader does.
    m_ptArea[0] = CDPoint(x0, y0);
    m_ptArea[1] = CDPoint(x2, y0);
    m_ptArea[2] = CDPoint(x2, y2);
    m_ptArea[3] = CDPoint(x0, y2);
    m_nPackageMax = static_cast<std::uint32_t>(packageMax);
    m_nPackageScale = static_cast<std::uint32_t>(packageScale);
    m_dAngle = angle * kDegToRad;
    m_nType = type;
    m_nID = static_cast<std::uint32_t>(id);
    MarkDirty();
}

CPart::CPart(const CPart& other) : CPart()
{
    *this = other;
}

CPart::~CPart()
{
    DeleteItems();
}

namespace {

// Replaces the items of a list by copies of another's, each made as make makes it.
template <class T>
void CopyItems(CPart& part, CItemList& to, const CItemList& from, T* (CPart::*make)(const T&))
{
    to.RemoveAll();
    for (const CItemBase* item : from)
        (part.*make)(static_cast<const T&>(*item));
}

} // namespace

CPart& CPart::operator=(const CPart& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptOrg = other.m_ptOrg;
    m_nPackageMax = other.m_nPackageMax;
    m_nPackageScale = other.m_nPackageScale;
    CopyNameTexts(other);
    m_nNetCount = other.m_nNetCount;

    CopyItems(*this, m_Ters, other.m_Ters, &CPart::NewTer);
    CopyItems(*this, m_Lands, other.m_Lands, &CPart::NewLand);
    CopyItems(*this, m_Holes, other.m_Holes, &CPart::NewHole);
    CopyItems(*this, m_Surs, other.m_Surs, &CPart::NewSur);
    CopyItems(*this, m_Vias, other.m_Vias, &CPart::NewVia);
    CopyItems(*this, m_Texts, other.m_Texts, &CPart::NewText);
    CopyItems(*this, m_Lines, other.m_Lines, &CPart::NewLine);
    CopyItems(*this, m_Arcs, other.m_Arcs, &CPart::NewArc);
    MarkDirty();
    return *this;
}

int CPart::operator==(const CPart& other) const
{
    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_VIA, KIND_TEXT, KIND_HOLE, KIND_SUR, KIND_TER})
        if (GetKindCount(kind) != other.GetKindCount(kind))
            return 0;
    if (!(m_ptOrg == other.m_ptOrg))
        return 0;
    if (m_nPackageMax != other.m_nPackageMax || m_nPackageScale != other.m_nPackageScale ||
        m_nType != other.m_nType || m_dAngle != other.m_dAngle)
        return 0;
    return m_PartName == other.m_PartName && m_RefName == other.m_RefName && m_ValName == other.m_ValName;
}

namespace {

// The terminals of a list in the order SortTer gives them, without touching the list.
std::vector<const CTer*> SortedTers(const CItemList& list)
{
    std::vector<const CTer*> ters;
    for (const CItemBase* item : list)
        ters.push_back(static_cast<const CTer*>(item));
    for (std::size_t i = 0; i < ters.size(); ++i) {
        std::size_t min = i;
        for (std::size_t j = i + 1; j < ters.size(); ++j)
            if (*ters[j] < *ters[min])
                min = j;
        if (min != i)
            std::swap(ters[i], ters[min]);
    }
    return ters;
}

template <class T> bool PairwiseEqual(const CItemList& a, const CItemList& b)
{
    auto ib = b.begin();
    for (auto ia = a.begin(); ia != a.end(); ++ia, ++ib)
        if (!(static_cast<const T&>(**ia) == static_cast<const T&>(**ib)))
            return false;
    return true;
}

} // namespace

int CPart::Compare(const CPart& other) const
{
    if (!(*this == other))
        return 0;
    if (!PairwiseEqual<CText>(m_Texts, other.m_Texts) || !PairwiseEqual<CVia>(m_Vias, other.m_Vias))
        return 0;
    const std::vector<const CTer*> mine = SortedTers(m_Ters);
    const std::vector<const CTer*> theirs = SortedTers(other.m_Ters);
    for (std::size_t i = 0; i < mine.size(); ++i)
        if (!(*mine[i] == *theirs[i]))
            return 0;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Accessors

void CPart::SetOrg(const CDPoint& p)
{
    m_ptOrg = p;
}

void CPart::SetPackage(unsigned package)
{
    // GetPackage reads the same low half of the package-and-scale word.
    m_nPackageScale = (m_nPackageScale & 0xFFFF0000u) | (package & 0xFFFFu);
}

void CPart::SetScale(int scale)
{
    m_nPackageScale = (m_nPackageScale & 0xFFFFu) | (static_cast<std::uint32_t>(scale) << 16);
}

CItemList* CPart::ListOf(int kind)
{
    return const_cast<CItemList*>(static_cast<const CPart*>(this)->ListOf(kind));
}

const CItemList* CPart::ListOf(int kind) const
{
    switch (kind) {
    case KIND_LINE:
        return &m_Lines;
    case KIND_LAND:
        return &m_Lands;
    case KIND_ARC:
        return &m_Arcs;
    case KIND_VIA:
        return &m_Vias;
    case KIND_TEXT:
        return &m_Texts;
    case KIND_HOLE:
        return &m_Holes;
    case KIND_SUR:
        return &m_Surs;
    case KIND_TER:
        return &m_Ters;
    default:
        return nullptr;
    }
}

int CPart::GetKindCount(int kind) const
{
    const CItemList* list = ListOf(kind);
    return list ? list->GetCount() : 0;
}

void CPart::DeleteItems()
{
    m_Lines.RemoveAll();
    m_Ters.RemoveAll();
    m_Arcs.RemoveAll();
    m_Texts.RemoveAll();
    m_Lands.RemoveAll();
    m_Holes.RemoveAll();
    m_Surs.RemoveAll();
    m_Vias.RemoveAll();
}

void CPart::TakeContents(CPart& other)
{
    m_ptOrg = other.m_ptOrg;
    for (int i = 0; i < 4; ++i)
        m_ptArea[i] = other.m_ptArea[i];
    m_nPackageMax = other.m_nPackageMax;
    m_nPackageScale = other.m_nPackageScale;
    m_dAngle = other.m_dAngle;
    m_nType = other.m_nType;
    m_nID = other.m_nID;
    CopyNameTexts(other);
    m_rcNet.SetRectEmpty();
    m_rcARC.SetRectEmpty();

    DeleteItems();
    for (int kind : {KIND_LINE, KIND_ARC, KIND_LAND, KIND_HOLE, KIND_TEXT, KIND_TER, KIND_SUR, KIND_VIA}) {
        CItemList* from = other.ListOf(kind);
        CItemList* to = ListOf(kind);
        while (POSITION pos = from->GetHeadPosition()) {
            std::unique_ptr<CItemBase> item = from->Detach(pos);
            item->SetParent(this);
            to->AddTail(std::move(item));
        }
    }
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Part-layer codes

void CPart::PartLayToID(DocumentServices* doc)
{
    // Without a board nothing says which layer is which code: the layers stay as they are.
    if (!doc)
        return;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (!text->GetName().empty())
            text->SetLayerNo(static_cast<int>(PLC_SILKTEXT));
    const bool side = IsPartSide();
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->SetLayerNo(static_cast<int>(PLC_TERM));
    for (CItemList* list : {&m_Lands, &m_Holes, &m_Lines, &m_Arcs})
        for (CItemBase* item : *list)
            item->SetLayerNo(static_cast<int>(doc->LayerToPartLayer(item->GetLayerNo(), side)));
    // A surface takes the code down to its outline and windows.
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->SetLayerNo(
            static_cast<int>(doc->LayerToPartLayer(item->GetLayerNo(), side)));
    for (CItemBase* item : m_Texts)
        item->SetLayerNo(static_cast<int>(doc->LayerToPartLayer(item->GetLayerNo(), side)));
}

void CPart::IDToPartLay(DocumentServices* doc, int mode)
{
    if (!doc)
        return;
    const bool side = IsPartSide();
    const bool swap = mode != 0;
    auto toLayer = [&](int code) {
        return doc->PartLayerToLayer(static_cast<std::uint32_t>(code), side, swap);
    };
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (!text->GetName().empty())
            text->SetLayerNo(toLayer(text->GetLayerNo()));
    // Terminals take their number texts, and surfaces their outlines, back to the board layer too:
    // no code may stay behind in a part that lies on a board.
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->SetLayerNo(toLayer(item->GetLayerNo()));
    for (CItemList* list : {&m_Lands, &m_Holes, &m_Lines, &m_Arcs})
        for (CItemBase* item : *list)
            item->SetLayerNo(toLayer(item->GetLayerNo()));
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->SetLayerNo(toLayer(item->GetLayerNo()));
    for (CItemBase* item : m_Texts)
        item->SetLayerNo(toLayer(item->GetLayerNo()));
}

// ---------------------------------------------------------------------------------------------
// Binary record

void CPart::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar, version);
}

void CPart::DataWrite(CArchive& ar, int version)
{
    WriteDPoint(ar, m_ptOrg);
    WriteDPoint(ar, m_ptArea[0]);
    WriteDPoint(ar, m_ptArea[2]);
    ar << static_cast<std::int32_t>(m_nPackageMax) << m_nPackageScale << m_dAngle
       << static_cast<std::int32_t>(m_nType) << m_nID;
    std::int32_t mask = 0;
    if (!m_PartName.GetName().empty())
        mask |= 1;
    if (!m_RefName.GetName().empty())
        mask |= 2;
    if (!m_ValName.GetName().empty())
        mask |= 4;
    ar << mask;

    const LayerCodeScope codes(*this, DocumentOf(ar));
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        text->ModifyType(0, TEXT_NOT_PRINTABLE);
    if (mask & 1)
        m_PartName.Serialize(ar, 0);
    if (mask & 2)
        m_RefName.Serialize(ar, 0);
    if (mask & 4)
        m_ValName.Serialize(ar, 0);

    ar << static_cast<std::int32_t>(m_Lines.GetCount());
    for (CItemBase* item : m_Lines)
        static_cast<CLine*>(item)->Serialize(ar, 0);
    ar << static_cast<std::int32_t>(m_Arcs.GetCount());
    for (CItemBase* item : m_Arcs)
        static_cast<CArc*>(item)->Serialize(ar, 0);
    ar << static_cast<std::int32_t>(m_Lands.GetCount());
    for (CItemBase* item : m_Lands)
        static_cast<CLand*>(item)->Serialize(ar, 0);
    ar << static_cast<std::int32_t>(m_Holes.GetCount());
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->Serialize(ar, version);
    ar << static_cast<std::int32_t>(m_Texts.GetCount());
    for (CItemBase* item : m_Texts)
        static_cast<CText*>(item)->Serialize(ar, 0);
    ar << static_cast<std::int32_t>(m_Ters.GetCount());
    for (CItemBase* item : m_Ters)
        static_cast<CTer*>(item)->Serialize(ar, version);
    ar << static_cast<std::int32_t>(m_Surs.GetCount());
    for (CItemBase* item : m_Surs)
        static_cast<CSur*>(item)->Serialize(ar, 0, 1);
    ar << static_cast<std::int32_t>(m_Vias.GetCount());
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->Serialize(ar, version);
}

void CPart::DataRead(CArchive& ar, int version)
{
    // Everything is read into a scratch part first: a record cut short leaves this part whole.
    DocumentServices* doc = DocumentOf(ar);
    CPart read;
    tagDPOINT origin{}, c0{}, c2{};
    ReadDPoint(ar, origin);
    ReadDPoint(ar, c0);
    ReadDPoint(ar, c2);
    read.m_ptOrg = origin;
    read.m_ptArea[0] = c0;
    read.m_ptArea[1] = CDPoint(c2.x, c0.y);
    read.m_ptArea[2] = c2;
    read.m_ptArea[3] = CDPoint(c0.x, c2.y);
    std::int32_t packageMax = 0, type = 0;
    double angle = 0.0;
    ar >> packageMax >> read.m_nPackageScale >> angle >> type;
    read.m_nPackageMax = static_cast<std::uint32_t>(packageMax);
    NormalizeAngle(angle);
    read.m_dAngle = angle;
    read.m_nType = type;
    // Records from version 2 on carry the id (only version 6 keeps it).
    std::uint32_t id = 0;
    if (version >= 2)
        ar >> id;

    std::int32_t mask = 0;
    ar >> mask;
    if (mask & 1)
        read.m_PartName.Serialize(ar, version);
    if (mask & 2)
        read.m_RefName.Serialize(ar, version);
    if (mask & 4)
        read.m_ValName.Serialize(ar, version);

    // With a board the items are kept; otherwise every record is read and dropped.
    const bool keep = doc != nullptr;
    auto adopt = [&read, keep](CItemList& list, std::unique_ptr<CItemBase> item) {
        if (!keep)
            return;
        item->SetParent(&read);
        list.AddTail(std::move(item));
    };
    for (int n = ReadCount(ar); n > 0; --n) {
        auto line = std::make_unique<CLine>();
        line->SetTurretNo(0);
        line->Serialize(ar, version);
        adopt(read.m_Lines, std::move(line));
    }
    ReadItems<CArc>(ar, version, read.m_Arcs, adopt);
    ReadItems<CLand>(ar, version, read.m_Lands, adopt);
    ReadItems<CHole>(ar, version, read.m_Holes, adopt);
    for (int n = ReadCount(ar); n > 0; --n) {
        auto text = std::make_unique<CText>();
        text->Serialize(ar, version);
        // Texts the library used for its own bookkeeping do not come back.
        if (text->GetName().find("{VELTA") == std::string::npos)
            adopt(read.m_Texts, std::move(text));
    }
    for (int n = ReadCount(ar); n > 0; --n) {
        auto ter = std::make_unique<CTer>();
        // A terminal that belongs to a part hands its copper-group ids to the side buffer.
        if (keep)
            ter->SetParent(&read);
        ter->Serialize(ar, version);
        adopt(read.m_Ters, std::move(ter));
    }
    for (int n = ReadCount(ar); n > 0; --n) {
        auto sur = std::make_unique<CSur>();
        sur->Serialize(ar, version, keep ? 1 : 0);
        adopt(read.m_Surs, std::move(sur));
    }
    ReadItems<CVia>(ar, version, read.m_Vias, adopt);

    TakeContents(read);
    m_nID = version < 6 ? 0 : id;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        text->ModifyType(0, TEXT_NOT_PRINTABLE);
    if (!keep)
        return;
    if (version >= 2 && version <= 4)
        IDToPartLay(doc, 1);
    else if (version >= 5)
        IDToPartLay(doc, 0);
    ReCalcTerID(doc);
}

// ---------------------------------------------------------------------------------------------
// Text form

void CPart::SerializeText(CArchive& ar)
{
    DocumentServices* doc = DocumentOf(ar);
    if (ar.IsLoading()) {
        IDToPartLay(doc, 0);
        ReCalcTerID(doc);
        MarkDirty();
        return;
    }
    ar.WriteString(GetTextLines(doc));
}

std::string CPart::GetTextLines(DocumentServices* doc)
{
    std::string out =
        platform::Format("Part %lf %lf %lf %lf %lf %lf %d %d %lf %d %d\n", m_ptOrg.x, m_ptOrg.y,
                         m_ptArea[0].x, m_ptArea[0].y, m_ptArea[2].x, m_ptArea[2].y,
                         static_cast<std::int32_t>(m_nPackageMax), static_cast<std::int32_t>(m_nPackageScale),
                         m_dAngle * kRadToDeg, m_nType, static_cast<std::int32_t>(m_nID));

    // The items are written from a copy that carries part-layer codes.
    CPart copy(*this);
    copy.PartLayToID(doc);
    out += "Name ";
    out += copy.m_PartName.GetTextLines(0);
    if (!copy.m_RefName.GetName().empty()) {
        out += "Ref ";
        out += copy.m_RefName.GetTextLines(0);
    }
    if (!copy.m_ValName.GetName().empty()) {
        out += "Val ";
        out += copy.m_ValName.GetTextLines(0);
    }
    for (CItemBase* item : copy.m_Ters)
        out += static_cast<CTer*>(item)->GetTextLines();
    for (CItemBase* item : copy.m_Lands)
        out += static_cast<CLand*>(item)->GetTextLine();
    for (CItemBase* item : copy.m_Holes)
        out += static_cast<CHole*>(item)->GetTextLine();
    for (CItemBase* item : copy.m_Vias)
        out += static_cast<CVia*>(item)->GetTextLines();
    for (CItemBase* item : copy.m_Lines)
        out += static_cast<CLine*>(item)->GetTextLines();
    for (CItemBase* item : copy.m_Arcs)
        out += static_cast<CArc*>(item)->GetTextLines();
    for (CItemBase* item : copy.m_Surs)
        out += static_cast<CSur*>(item)->GetTextLines(false);
    for (CItemBase* item : copy.m_Texts)
        out += static_cast<CText*>(item)->GetTextLines(1);
    out += "PartEnd\n";
    return out;
}
