// Splitting an item at the point a drag starts from, and the copy increment of names.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "platform/Profile.h"

#include <memory>
#include <type_traits>

namespace {

constexpr int SET_SELECTION = 2;
constexpr int SET_REPLACED = 5;

// A dimension line or arc: named with the length or angle shown.
bool IsDimensioned(const CItemBase& item)
{
    const int type = item.GetType();
    return (type & 0x1000) && (type & 0x6000);
}

// Two copies of the line meeting at the point, each with that end marked.
void SplitLine(const CLine& line, const CDPoint& at, std::unique_ptr<CLine>& first,
               std::unique_ptr<CLine>& second)
{
    first = std::make_unique<CLine>(line);
    second = std::make_unique<CLine>(line);
    first->SetEndPoint(at);
    second->SetStartPoint(at);
    first->SetCheck(2, true);
    second->SetCheck(1, true);
}

// Two copies of the arc meeting at the angle of the point: the first ends there, the second starts.
void SplitArc(const CArc& arc, const CDPoint& at, std::unique_ptr<CArc>& first, std::unique_ptr<CArc>& second)
{
    const double angle = arc.GetCenter().GetAngle(at);
    first = std::make_unique<CArc>(arc);
    second = std::make_unique<CArc>(arc);
    first->SetEndAngle(angle);
    second->SetStartAngle(angle);
    first->ResetBounding();
    second->ResetBounding();
    first->SetCheck(2, true);
    second->SetCheck(1, true);
}

} // namespace

// The old item goes to the replaced-items sheet and leaves the board.
void CVELTADoc::SplitMarkEnd(CItemBase* item, int layer)
{
    GetSetSheet(SET_REPLACED, layer)->AddItem(item);
    GetBoardSheet(layer)->DeleteItem(item);
}

bool CVELTADoc::SplitItemAtPoint(CItemBase* item, CDPoint point, int layer)
{
    if (!item || layer < 0 || layer >= LAYER_MAX)
        return false;
    CSheet& selection = *GetSetSheet(SET_SELECTION, layer);
    auto repaint = [this]() {
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    };
    // A split line or arc: dimension halves are re-dimensioned, the old item is replaced by both.
    auto storeHalves = [&](bool dimensioned, auto& first, auto& second) {
        if (dimensioned) {
            first.SetDimension(m_dims);
            second.SetDimension(m_dims);
            m_repaintRect |= first.GetBoundingRect();
            m_repaintRect |= second.GetBoundingRect();
        }
        ClearSheets(SET_REPLACED, false);
        SplitMarkEnd(item, layer);
        for (const auto* half : {&first, &second}) {
            if constexpr (std::is_same_v<std::decay_t<decltype(first)>, CLine>)
                selection.NewLine(*half);
            else
                selection.NewArc(*half);
        }
        repaint();
    };
    switch (item->GetKind()) {
    case KIND_LINE: {
        CLine line(*static_cast<CLine*>(item));
        m_repaintRect = line.GetBoundingRect();
        line.SetCheck(false);
        if (point == line.GetStartPoint() || point == line.GetEndPoint()) {
            line.SetCheck(point, true);
            ClearSheets(SET_REPLACED, false);
            SplitMarkEnd(item, layer);
            selection.NewLine(line);
            repaint();
            return true;
        }
        // Only a point on the line (within the point tolerance) cuts it.
        CDPoint at = point;
        if (!line.CrossPoint(&at) || !(at == point))
            return false;
        std::unique_ptr<CLine> first, second;
        SplitLine(line, at, first, second);
        storeHalves(IsDimensioned(line), *first, *second);
        return true;
    }
    case KIND_ARC: {
        CArc arc(*static_cast<CArc*>(item));
        m_repaintRect = arc.GetBoundingRect();
        const CDPoint snapped = SnapToGrid(point, true);
        arc.SetCheck(false);
        int end = 0;
        if (arc.GetStartPoint() == point || arc.GetStartPoint() == snapped)
            end = 1;
        else if (arc.GetEndPoint() == point || arc.GetEndPoint() == snapped)
            end = 2;
        if (end != 0) {
            arc.SetCheck(end, true);
            ClearSheets(SET_REPLACED, false);
            SplitMarkEnd(item, layer);
            selection.NewArc(arc);
            repaint();
            return true;
        }
        CDPoint at = point;
        if (!arc.CrossPoint(&at))
            return false;
        std::unique_ptr<CArc> first, second;
        SplitArc(arc, at, first, second);
        storeHalves(IsDimensioned(arc), *first, *second);
        return true;
    }
    case KIND_SUR: {
        CSur* sur = static_cast<CSur*>(item);
        CItemBase* element = sur->GetFrameItem(point);
        if (!element)
            return false;
        CDPoint at = SnapToGrid(point, false);
        std::unique_ptr<CLine> firstLine, secondLine;
        std::unique_ptr<CArc> firstArc, secondArc;
        if (element->GetKind() == KIND_LINE) {
            CLine line(*static_cast<CLine*>(element));
            const CDPoint snapped = at;
            if (!line.CrossPoint(&at) || !(at == snapped))
                return false;
            SplitLine(line, at, firstLine, secondLine);
        } else if (element->GetKind() == KIND_ARC) {
            CArc arc(*static_cast<CArc*>(element));
            if (!arc.CrossPoint(&at))
                return false;
            SplitArc(arc, at, firstArc, secondArc);
        } else {
            return false;
        }
        m_repaintRect = sur->GetBoundingRect();
        ClearSheets(SET_REPLACED, false);
        GetSetSheet(SET_REPLACED, layer)->AddItem(sur);
        CSur* copy = static_cast<CSur*>(selection.AddItem(sur));
        GetBoardSheet(layer)->DeleteItem(sur);
        if (!copy)
            return false;
        copy->ModifyType(0x2000, 0);
        if (CItemBase* old = copy->GetFrameItem(point))
            copy->DeleteItem(old);
        if (firstLine) {
            copy->AddLine(std::move(firstLine));
            copy->AddLine(std::move(secondLine));
        } else {
            copy->AddArc(std::move(firstArc));
            copy->AddArc(std::move(secondArc));
        }
        copy->ResetBounding();
        m_repaintRect |= copy->GetBoundingRect();
        repaint();
        return true;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Copy increment

void CVELTADoc::IncrementCopyNames(int step)
{
    auto repaint = [this](CItemBase* item) {
        if (m_pHost)
            m_pHost->UpdateAllViews(0, nullptr, item);
    };
    if (step != 0) {
        for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
            CPart* part = m_selViaPartSheet.GetNextPart(pos);
            repaint(part->GetRefNameText());
            part->IncRefName(step);
            repaint(part->GetRefNameText());
        }
        for (const auto& entry : m_enableList) {
            CSheet& sheet = *GetSetSheet(SET_SELECTION, entry.second);
            for (POSITION pos = sheet.GetFirstTextPos(); pos;) {
                CText* text = sheet.GetNextText(pos);
                repaint(text);
                text->IncName(step);
                repaint(text);
            }
            for (POSITION pos = sheet.GetFirstTerPos(); pos;) {
                CText* number = sheet.GetNextTer(pos)->GetNoText();
                repaint(number);
                number->IncName(step);
                // A terminal is never numbered 0.
                if (number->GetName() == "0")
                    number->SetName(std::string("1"));
                else
                    repaint(number);
            }
        }
        return;
    }

    platform::Profile& profile = platform::GetProfile();
    const char* section = "CopyIncrement";
    const int parts = m_selViaPartSheet.GetKindCount(KIND_PART);
    if (m_bPartOnEnabled && parts > 0) {
        if (parts != 1)
            return;
        CPart* part = m_selViaPartSheet.GetHeadPart();
        if (profile.GetInt(section, "PartRefEnable", 1) == 0 || !part->RefCheck())
            return;
        part->IncRefName(profile.GetInt(section, "PartRef", 1));
        m_partList.clear();
        repaint(part);
        return;
    }
    int count = 0;
    CSheet* found = nullptr;
    for (const auto& entry : m_enableList) {
        CSheet* sheet = GetSetSheet(SET_SELECTION, entry.second);
        count += sheet->GetKindCount(KIND_TEXT) + sheet->GetKindCount(KIND_TER);
        if (!found && count != 0)
            found = sheet;
    }
    if (count != 1 || !found)
        return;
    if (found->GetKindCount(KIND_TEXT) > 0) {
        if (profile.GetInt(section, "TextEnable", 0) == 0)
            return;
        CText* text = found->GetHeadText();
        text->IncName(profile.GetInt(section, "Text", 1));
        repaint(text);
    } else if (found->GetKindCount(KIND_TER) > 0) {
        if (profile.GetInt(section, "TerNoEnable", 1) == 0)
            return;
        CTer* ter = found->GetHeadTer();
        ter->GetNoText()->IncName(profile.GetInt(section, "TerNo", 1));
        repaint(ter);
    }
}
