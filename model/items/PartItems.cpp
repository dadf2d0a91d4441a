// Part item: the contained items, look-ups by id, compose and explode, removal of part layers,
// copies into sheets and the terminals' copper-group links.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"

#include <cstring>
#include <memory>

namespace {

// Sheet type bits that the compose and explode rules test.
constexpr int SHEET_TERM = 0x800000;
constexpr int SHEET_HOLE = 0x10000;
constexpr int SHEET_ORIGIN = 0x2000000;
constexpr int SHEET_TERM_HOLE_WIRE = 0x810001;

template <class T> T* Append(CItemList& list, std::unique_ptr<T> item, CPart* parent)
{
    T* stored = item.get();
    stored->SetParent(parent);
    list.AddTail(std::move(item));
    stored->ResetBounding();
    return stored;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The New family

CLine* CPart::NewLine(const CLine& line)
{
    auto copy = std::make_unique<CLine>(line);
    copy->SetCheck(false);
    copy->GetNameText()->ResetTextSel();
    return Append(m_Lines, std::move(copy), this);
}

CLine* CPart::NewLine(const CDPoint& start, const CDPoint& end, int turret, int type)
{
    return Append(m_Lines, std::make_unique<CLine>(start, end, turret, type), this);
}

CArc* CPart::NewArc(const CArc& arc)
{
    auto copy = std::make_unique<CArc>(arc);
    copy->SetCheck(false);
    copy->GetNameText()->ResetTextSel();
    return Append(m_Arcs, std::move(copy), this);
}

CArc* CPart::NewArc(const CDPoint& centre, unsigned radius, int start, int end, int turret)
{
    return Append(m_Arcs,
                  std::make_unique<CArc>(centre, static_cast<double>(radius), static_cast<double>(start),
                                         static_cast<double>(end), 0, turret),
                  this);
}

CLand* CPart::NewLand(const CLand& land)
{
    return Append(m_Lands, std::make_unique<CLand>(land), this);
}

CLand* CPart::NewLand(const CDPoint& point, int turret)
{
    return Append(m_Lands, std::make_unique<CLand>(point, turret), this);
}

CHole* CPart::NewHole(const CHole& hole)
{
    return Append(m_Holes, std::make_unique<CHole>(hole), this);
}

CHole* CPart::NewHole(const CDPoint& point, double diameter, bool round, double width, double radius,
                      double angle)
{
    return Append(m_Holes, std::make_unique<CHole>(point, diameter, round, width, radius, angle), this);
}

CVia* CPart::NewVia(const CVia& via)
{
    return Append(m_Vias, std::make_unique<CVia>(via), this);
}

CTer* CPart::NewTer(const CTer& ter)
{
    return Append(m_Ters, std::make_unique<CTer>(ter), this);
}

CTer* CPart::NewTer(const CDPoint& point, const CText& number)
{
    return Append(m_Ters, std::make_unique<CTer>(point, number, 0), this);
}

CText* CPart::NewText(const CText& text)
{
    auto copy = std::make_unique<CText>(text);
    copy->ResetTextSel();
    return Append(m_Texts, std::move(copy), this);
}

CSur* CPart::NewSur(const CSur& sur)
{
    auto copy = std::make_unique<CSur>(sur);
    for (POSITION pos = copy->GetFirstTextPos(); pos;)
        copy->GetNextText(pos)->ResetTextSel();
    return Append(m_Surs, std::move(copy), this);
}

CSur* CPart::NewSur(int turret)
{
    return Append(m_Surs, std::make_unique<CSur>(turret), this);
}

// ---------------------------------------------------------------------------------------------
// Iteration

CLine* CPart::GetNextLine(POSITION& pos)
{
    return static_cast<CLine*>(m_Lines.GetNext(pos));
}

CArc* CPart::GetNextArc(POSITION& pos)
{
    return static_cast<CArc*>(m_Arcs.GetNext(pos));
}

CLand* CPart::GetNextLand(POSITION& pos)
{
    return static_cast<CLand*>(m_Lands.GetNext(pos));
}

CHole* CPart::GetNextHole(POSITION& pos)
{
    return static_cast<CHole*>(m_Holes.GetNext(pos));
}

CVia* CPart::GetNextVia(POSITION& pos)
{
    return static_cast<CVia*>(m_Vias.GetNext(pos));
}

CText* CPart::GetNextText(POSITION& pos)
{
    return static_cast<CText*>(m_Texts.GetNext(pos));
}

CSur* CPart::GetNextSur(POSITION& pos)
{
    return static_cast<CSur*>(m_Surs.GetNext(pos));
}

CTer* CPart::GetNextTer(POSITION& pos)
{
    return static_cast<CTer*>(m_Ters.GetNext(pos));
}

CTer* CPart::GetPrevTer(POSITION& pos)
{
    return static_cast<CTer*>(m_Ters.GetPrev(pos));
}

// ---------------------------------------------------------------------------------------------
// Look-ups by id

CTer* CPart::GetTer(unsigned id)
{
    for (CItemBase* item : m_Ters)
        if (item->GetID() == id)
            return static_cast<CTer*>(item);
    // An id reset leaves the number texts with the ids the terminals had: they repair them.
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        if (ter->GetNoText()->GetID() == id) {
            ter->SetID(id);
            return ter;
        }
    }
    return nullptr;
}

std::string CPart::GetTerName(int id)
{
    CTer* ter = GetTer(static_cast<unsigned>(id));
    return ter ? ter->GetNo() : std::string();
}

void CPart::SetTerName(int id, const std::string& number)
{
    CTer* ter = GetTer(static_cast<unsigned>(id));
    if (!ter)
        return;
    ter->GetNoText()->SetName(number);
    ter->GetNoText()->SetParent(ter);
}

CVia* CPart::GetVia(unsigned id)
{
    for (CItemBase* item : m_Vias)
        if (item->GetID() == id)
            return static_cast<CVia*>(item);
    return nullptr;
}

int CPart::GetTerViaNo(int id)
{
    CVia* via = GetVia(static_cast<unsigned>(id));
    return via ? via->GetViaNo() : 0;
}

bool CPart::IsViaTH(int id, int layer)
{
    CVia* via = GetVia(static_cast<unsigned>(id));
    return via && via->CheckWire(layer) != 0;
}

void CPart::SetViaTH(int id, int layer, int on)
{
    CVia* via = GetVia(static_cast<unsigned>(id));
    if (!via)
        return;
    if (on)
        via->SetWire(layer, 0);
    else
        via->ResetWire(layer);
}

void CPart::ResetID()
{
    m_nID = 0;
    for (CItemBase* item : m_Vias)
        static_cast<CVia*>(item)->ResetLayerID();
    for (CItemBase* item : m_Holes)
        static_cast<CHole*>(item)->ResetAllWire();
}

void CPart::ResetTerDisNetID()
{
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        ter->SetNetID(0);
        ter->SetNetCondition(0);
    }
}

void CPart::ResetTerDisNetID(const std::vector<std::uint32_t>* groups)
{
    if (!groups)
        return;
    const std::vector<std::uint32_t>& g = *groups;
    std::size_t i = 0;
    while (i < g.size()) {
        const std::uint32_t newId = g[i++];
        for (; i < g.size() && g[i] != 0; ++i)
            for (CItemBase* item : m_Ters) {
                CTer* ter = static_cast<CTer*>(item);
                if (ter->GetNetID() == g[i])
                    ter->SetNetID(newId);
            }
        ++i; // the run's terminating 0
    }
}

void CPart::DeleteText(const char* start)
{
    const std::size_t n = start ? std::strlen(start) : 0;
    for (POSITION pos = m_Texts.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const CText* text = static_cast<const CText*>(m_Texts.GetNext(pos));
        if (text->GetName().compare(0, n, start ? start : "") == 0)
            m_Texts.RemoveAt(at);
    }
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Compose and explode

void CPart::AddItem(CSheet& sheet)
{
    if (sheet.IsEmpty())
        return;
    for (POSITION pos = sheet.GetFirstLinePos(); pos;)
        NewLine(*sheet.GetNextLine(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstArcPos(); pos;)
        NewArc(*sheet.GetNextArc(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstLandPos(); pos;)
        NewLand(*sheet.GetNextLand(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstTextPos(); pos;)
        NewText(*sheet.GetNextText(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstSurPos(); pos;)
        NewSur(*sheet.GetNextSur(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstTerPos(); pos;)
        NewTer(*sheet.GetNextTer(pos))->SetID(0);
    for (POSITION pos = sheet.GetFirstHolePos(); pos;)
        NewHole(*sheet.GetNextHole(pos))->SetID(0);

    const int type = sheet.GetType();
    if (type & SHEET_TERM_HOLE_WIRE)
        ReCalcTerID(sheet.GetDocument());
    if ((type & SHEET_ORIGIN) && sheet.GetKindCount(KIND_LAND) > 0) {
        sheet.SortLand();
        m_ptOrg = sheet.GetHeadLand()->GetPoint();
    }
    MarkDirty();
}

void CPart::BreakItem(CSheet& sheet)
{
    const int layer = sheet.GetLayerNo();
    const int before = sheet.GetItemCount();
    // Moves the items of one list that lie on the layer into the sheet.
    auto moveOut = [&](CItemList& list) {
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CItemBase* item = list.GetNext(pos);
            if (item->GetLayerNo() != layer)
                continue;
            item->SetID(0);
            sheet.AddItem(item);
            list.RemoveAt(at);
        }
    };
    moveOut(m_Lines);
    moveOut(m_Arcs);
    moveOut(m_Lands);
    moveOut(m_Texts);
    for (CText* text : {&m_RefName, &m_ValName, &m_PartName}) {
        if (!text->IsDisp() || text->GetLayerNo() != layer)
            continue;
        text->SetID(0);
        sheet.AddItem(text);
        text->Disp(0);
    }
    moveOut(m_Surs);
    for (POSITION pos = m_Ters.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CTer* ter = static_cast<CTer*>(m_Ters.GetNext(pos));
        if (ter->GetLayerNo() != layer)
            continue;
        ter->SetID(0);
        if (!ter->IsVirtualTer())
            sheet.AddItem(ter);
        m_Ters.RemoveAt(at);
    }
    moveOut(m_Holes);
    MarkDirty();

    if (sheet.GetItemCount() <= before)
        return;
    const int type = sheet.GetType();
    DocumentServices* doc = sheet.GetDocument();
    if ((type & SHEET_TERM) && doc) {
        const tagPARTLAYER origin = doc->GetPartLayer(PL_ORIGIN);
        const int originLayer = IsPartSide() ? origin.layerA : origin.layerB;
        bool landThere = false;
        for (const CItemBase* item : m_Lands)
            if (item->GetLayerNo() == originLayer)
                landThere = true;
        if (!landThere)
            m_ptOrg = m_PartName.GetPoint();
    }
    if (type & SHEET_TERM_HOLE_WIRE)
        ReCalcTerID(doc);
    if ((type & SHEET_ORIGIN) && sheet.GetKindCount(KIND_LAND) > 0)
        m_ptOrg = m_Ters.IsEmpty() ? m_PartName.GetPoint() : static_cast<CTer*>(m_Ters.GetHead())->GetPoint();
}

void CPart::ExpItem(int mask, DocumentServices* doc)
{
    if (mask == 0)
        return;
    const std::uint32_t m = static_cast<std::uint32_t>(mask);
    // A keyword code meets the mask by its bits; a wiring position only by being that position.
    auto meets = [m](int layer) {
        if (layer <= 0)
            return false;
        const std::uint32_t code = static_cast<std::uint32_t>(layer);
        if (code > PLC_WIRE_MAX)
            return (code & m) != 0;
        return code == (m & PLC_WIRE_MAX);
    };
    PartLayToID(doc);
    std::uint32_t collected = 0;
    bool deleted = false;
    auto remove = [&](CItemList& list, bool keepVirtual) {
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CItemBase* item = list.GetNext(pos);
            if (keepVirtual && static_cast<CTer*>(item)->IsVirtualTer())
                continue;
            const int code = item->GetLayerNo();
            if (!meets(code))
                continue;
            if (static_cast<std::uint32_t>(code) > PLC_WIRE_MAX)
                collected |= static_cast<std::uint32_t>(code);
            deleted = true;
            list.RemoveAt(at);
        }
    };
    remove(m_Ters, true);
    remove(m_Lands, false);
    remove(m_Holes, false);
    remove(m_Lines, false);
    remove(m_Arcs, false);
    remove(m_Surs, false);
    remove(m_Texts, false);
    IDToPartLay(doc, 0);
    if (!deleted)
        return;
    m_nType |= PART_EXPLODED;
    m_nType = static_cast<int>((static_cast<std::uint32_t>(m_nType) & 0xFFFFu) | collected);
    MarkDirty();
    CalcBoundRect(doc);
}

CDPoint CPart::GetNextOrg(int layer)
{
    std::vector<CLand*> lands;
    for (CItemBase* item : m_Lands)
        if (item->GetLayerNo() == layer)
            lands.push_back(static_cast<CLand*>(item));
    if (lands.size() < 2)
        return m_ptOrg;
    for (std::size_t i = 0; i < lands.size(); ++i)
        if (lands[i]->GetPoint() == m_ptOrg) {
            m_ptOrg = lands[(i + 1) % lands.size()]->GetPoint();
            break;
        }
    return m_ptOrg;
}

// ---------------------------------------------------------------------------------------------
// Copies into sheets

void CPart::CorrectItem(CSheet* sheet, int viaMode, int padsOnly)
{
    if (!sheet)
        return;
    const int layer = sheet->GetLayerNo();
    for (CItemBase* item : m_Lines)
        if (item->GetLayerNo() == layer)
            sheet->NewLine(static_cast<const CLine&>(*item));
    for (CItemBase* item : m_Arcs)
        if (item->GetLayerNo() == layer)
            sheet->NewArc(static_cast<const CArc&>(*item));
    for (CItemBase* item : m_Lands) {
        const CLand* land = static_cast<const CLand*>(item);
        if (land->GetLayerNo() != layer || (padsOnly && land->IsTharmal()))
            continue;
        sheet->NewLand(*land)->SetID(0);
    }
    for (CItemBase* item : m_Surs)
        if (item->GetLayerNo() == layer)
            sheet->NewSur(static_cast<const CSur&>(*item));
    for (CItemBase* item : m_Texts) {
        const CText* text = static_cast<const CText*>(item);
        if (text->GetLayerNo() == layer && text->IsDisp())
            sheet->NewText(*text);
    }
    for (CItemBase* item : m_Holes)
        if (item->GetLayerNo() == layer)
            sheet->NewHole(static_cast<const CHole&>(*item));
    for (CItemBase* item : m_Ters)
        if (item->GetLayerNo() == layer)
            sheet->NewTer(static_cast<const CTer&>(*item));
    for (const CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (text->GetLayerNo() == layer && text->IsDisp())
            sheet->NewText(*text);
    if (sheet->GetWLayer() == 0)
        return;
    for (CItemBase* item : m_Vias) {
        const CVia* via = static_cast<const CVia*>(item);
        const int turret = via->GetTurret(sheet->GetType(), sheet->GetWLayer(), viaMode);
        if (turret == 0)
            continue;
        const CLand land(via->GetPoint(), turret);
        if (padsOnly && land.IsTharmal())
            continue;
        sheet->NewLand(land);
    }
}

void CPart::GetItem(CSheet& sheet, CItemBase* except)
{
    const int layer = sheet.GetLayerNo();
    for (CItemList* list : {&m_Lands, &m_Lines, &m_Arcs, &m_Surs, &m_Texts})
        for (CItemBase* item : *list)
            if (item != except && item->GetLayerNo() == layer)
                sheet.AddItem(item);
    if (sheet.GetWLayer() != 0)
        for (CItemBase* item : m_Vias) {
            if (item == except)
                continue;
            CLand land = static_cast<CVia*>(item)->GetLand(sheet.GetType(), sheet.GetWLayer(), 0);
            if (land.GetTurretNo() != 0)
                sheet.AddItem(&land);
        }
    if (sheet.GetType() & SHEET_HOLE)
        for (CItemBase* item : m_Holes)
            if (item != except && item->GetLayerNo() == layer)
                sheet.AddItem(item);
}

void CPart::GetTextList(std::vector<CText*>* list, int layer)
{
    if (!list)
        return;
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName})
        if (text->IsDisp() && text->GetLayerNo() == layer)
            list->push_back(text);
    for (CItemBase* item : m_Lines) {
        CLine* line = static_cast<CLine*>(item);
        if (line->GetLayerNo() == layer && !line->IsNameEmpty() && line->GetNameText()->IsDisp())
            list->push_back(line->GetNameText());
    }
    for (CItemBase* item : m_Arcs) {
        CArc* arc = static_cast<CArc*>(item);
        if (arc->GetLayerNo() == layer && !arc->IsNameEmpty() && arc->GetNameText()->IsDisp())
            list->push_back(arc->GetNameText());
    }
    for (CItemBase* item : m_Texts) {
        CText* text = static_cast<CText*>(item);
        if (text->IsDisp() && text->GetLayerNo() == layer)
            list->push_back(text);
    }
}

// ---------------------------------------------------------------------------------------------
// Terminal links to copper groups

void CPart::SetTerNetLine(CArchive& ar)
{
    DocumentServices* doc = dynamic_cast<DocumentServices*>(ar.GetDocument());
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        if (!ter->IsNetLineHave())
            continue;
        std::int32_t count = 0;
        ar >> count;
        if (count < 0)
            throw ArchiveError(ArchiveError::BadFormat, "part: negative copper-group count");
        if (static_cast<std::size_t>(count) > ar.Remaining() / 4)
            throw ArchiveError(ArchiveError::EndOfFile, "part: copper-group ids cut short");
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t id = 0;
            ar >> id;
            if (CNetLine* group = doc ? doc->FindNetLine(id) : nullptr)
                ter->AddTailNetLine(group);
        }
    }
}

void CPart::ChangeTerNetLine(std::vector<CNetLine*>* groups)
{
    if (!groups || groups->empty())
        return;
    CNetLine* first = groups->front();
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        bool lost = false;
        for (std::size_t i = 1; i < groups->size(); ++i)
            if ((*groups)[i] != first && ter->FindNetLine((*groups)[i])) {
                ter->RemoveNetLine((*groups)[i]);
                lost = true;
            }
        if (lost && !ter->FindNetLine(first))
            ter->AddTailNetLine(first);
    }
}
