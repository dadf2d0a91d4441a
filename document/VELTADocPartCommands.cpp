// The part commands: make part, explode, merge and split, and reset part numbers.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <memory>
#include <set>

namespace {

constexpr int SET_BOARD = 0;
constexpr int SET_SELECTION = 2;
constexpr int kTool = 22;

bool IsLabel(const CText& text, const char* label)
{
    return platform::MbsICmp(text.GetName(), label) == 0;
}

// The first selected text of the sheet whose string is the label, without regard to case.
CText* FindLabel(CSheet* sheet, const char* label)
{
    if (!sheet)
        return nullptr;
    for (POSITION pos = sheet->GetFirstTextPos(); pos;) {
        CText* text = sheet->GetNextText(pos);
        if (IsLabel(*text, label))
            return text;
    }
    return nullptr;
}

int CountLabels(CSheet* sheet, const char* label)
{
    int count = 0;
    if (!sheet)
        return 0;
    for (POSITION pos = sheet->GetFirstTextPos(); pos;)
        count += IsLabel(*sheet->GetNextText(pos), label) ? 1 : 0;
    return count;
}

} // namespace

void CVELTADoc::EndEdit()
{
    MoveSetItems(SET_SELECTION, SET_BOARD, true, true);
    if (m_pHost)
        m_pHost->EndCommand();
}

bool CVELTADoc::IsMakePartTool() const
{
    const int tool = m_pHost ? m_pHost->GetActiveTool() : 0;
    return tool == kTool || (tool > 27 && tool != 32808 && tool != ID_INPUT_PART && tool != 57637);
}

// ---------------------------------------------------------------------------------------------
// Enable tests

bool CVELTADoc::CanMakePart()
{
    if (!IsMakePartTool() || CountItems(SET_SELECTION, 0) < 2)
        return false;
    const tagPARTLAYER silk = m_stack.partLayers[PL_SILKTEXT];
    int names = CountLabels(GetSelectionSheet(silk.layerA), "Name");
    if (silk.layerB != silk.layerA)
        names += CountLabels(GetSelectionSheet(silk.layerB), "Name");
    return names == 1;
}

bool CVELTADoc::CanExplodePart()
{
    return IsMakePartTool() && m_selViaPartSheet.GetKindCount(KIND_PART) > 0;
}

bool CVELTADoc::CanMergeSplitPart()
{
    if (!m_bPartOnEnabled || !m_pHost || m_pHost->GetActiveTool() != kTool)
        return false;
    const int parts = m_selViaPartSheet.GetKindCount(KIND_PART);
    const int all = CountItems(SET_SELECTION, 0);
    const bool modeOk =
        (parts > 0 && all == parts) || parts > 1 || (parts == 1 && !m_pCurrentSelSheet->IsEmpty());
    if (!modeOk)
        return false;
    const bool wiring = GetWireLayerPos(m_nCurrentLayer, false) > 0;
    const bool partCode = (static_cast<std::uint32_t>(m_pCurrentSheet->GetType()) & 0xFFFF0000u) != 0;
    return wiring || (partCode && parts > 0);
}

bool CVELTADoc::CanResetPartNumbers()
{
    const int tool = m_pHost ? m_pHost->GetActiveTool() : 0;
    if (tool != 0 && tool != kTool)
        return false;
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;)
        if (m_selViaPartSheet.GetNextPart(pos)->RefCheck())
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Reset part numbers

void CVELTADoc::OnResetPartNumbers()
{
    if (AfxMessageBox(_J("選択した部品の参照番号をリセットしますか？"),
                      MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDOK)
        return;
    // Parts without a numbered reference go back to the board untouched.
    std::vector<std::unique_ptr<CPart>> unnumbered;
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_selViaPartSheet.GetNextPart(pos);
        if (!part->RefCheck())
            unnumbered.push_back(std::make_unique<CPart>(*part));
    }
    for (const auto& part : unnumbered)
        DeselectItem(part.get(), LAYER_MAX);
    StoreUndo(6, 3);
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_selViaPartSheet.GetNextPart(pos);
        std::string prefix, suffix;
        int number = 0;
        part->GetRefName(prefix, suffix, number);
        part->SetRefName((prefix + "?" + suffix).c_str());
        if (m_pHost)
            m_pHost->UpdateAllViews(0, nullptr, part);
    }
    StoreUndo(6, 5);
    EndEdit();
}

// ---------------------------------------------------------------------------------------------
// Explode

void CVELTADoc::OnExplodePart()
{
    if (AfxMessageBox(_J("部品を分解しますか？"), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    CSheet parts(0, 0, LAYER_MAX, this);
    parts.SetSheetType(SHEET_WORK);
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
        const POSITION here = pos;
        parts.NewPart(*m_selViaPartSheet.GetNextPart(pos));
        m_selViaPartSheet.DeleteItemAt(KIND_PART, here);
    }
    m_partList.clear();
    MoveSetItems(SET_SELECTION, SET_BOARD, true, true);
    if (parts.IsEmpty())
        return;
    StoreUndoItem(&parts, LAYER_MAX, 0, 3);

    std::vector<std::unique_ptr<CSheet>> layers(LAYER_MAX);
    auto sheetOf = [&](int layer) -> CSheet* {
        if (layer < 0 || layer >= LAYER_MAX)
            return nullptr;
        auto& sheet = layers[static_cast<std::size_t>(layer)];
        if (!sheet)
            sheet = std::make_unique<CSheet>(0, 0, layer, this);
        return sheet.get();
    };
    CSheet vias(0, 0, LAYER_MAX, this);
    auto add = [&](CItemBase& item) {
        if (CSheet* sheet = sheetOf(item.GetLayerNo()))
            sheet->StoreCopy(item);
    };
    for (POSITION pos = parts.GetFirstPartPos(); pos;) {
        CPart part(*parts.GetNextPart(pos));
        struct Label
        {
            CText* text;
            const char* name;
            bool always;
        };
        for (const Label& label :
             {Label{part.GetPartNameText(), "NAME", true}, Label{part.GetValNameText(), "VAL", false},
              Label{part.GetRefNameText(), "REF", false}}) {
            if (!label.always && label.text->GetName().empty())
                continue;
            CText text(*label.text);
            text.ResetParent();
            text.SetName(std::string(label.name));
            text.Disp(1);
            add(text);
        }
        auto take = [&](CItemBase* item) {
            item->ResetParent();
            add(*item);
        };
        for (POSITION p = part.GetFirstLinePos(); p;)
            take(part.GetNextLine(p));
        for (POSITION p = part.GetFirstArcPos(); p;)
            take(part.GetNextArc(p));
        for (POSITION p = part.GetFirstSurPos(); p;)
            take(part.GetNextSur(p));
        for (POSITION p = part.GetFirstLandPos(); p;)
            take(part.GetNextLand(p));
        for (POSITION p = part.GetFirstHolePos(); p;) {
            CHole* hole = part.GetNextHole(p);
            hole->ModifyType(0, 0x1);
            take(hole);
        }
        for (POSITION p = part.GetFirstTerPos(); p;) {
            CTer* ter = part.GetNextTer(p);
            if (!(ter->GetType() & 0x2000))
                add(*ter);
        }
        for (POSITION p = part.GetFirstTextPos(); p;) {
            CText* text = part.GetNextText(p);
            text->Disp(1);
            add(*text);
        }
        for (POSITION p = part.GetFirstViaPos(); p;) {
            CVia* via = part.GetNextVia(p);
            via->ResetParent();
            vias.StoreCopy(*via);
        }
    }

    m_repaintRect.SetRectEmpty();
    int group = 0;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        CSheet* sheet = layers[static_cast<std::size_t>(layer)].get();
        if (!sheet || sheet->IsEmpty())
            continue;
        StoreUndoItem(sheet, layer, group++, 5);
        m_boardSheets[static_cast<std::size_t>(layer)] += *sheet;
        m_repaintRect |= sheet->GetBoundingRect();
    }
    if (!vias.IsEmpty()) {
        StoreUndoItem(&vias, LAYER_MAX, group, 5);
        m_viaPartSheet += vias;
        m_repaintRect |= vias.GetBoundingRect();
    }
    if (m_pHost) {
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        m_pHost->EndCommand();
    }
}

// ---------------------------------------------------------------------------------------------
// Merge and split

void CVELTADoc::OnMergeSplitPart()
{
    const int parts = m_selViaPartSheet.GetKindCount(KIND_PART);
    const bool partLayer = IsPartLayer(m_nCurrentLayer) || GetWireLayerPos(m_nCurrentLayer, false) > 0;
    const bool split = (parts > 0 && CountItems(SET_SELECTION, 0) == parts) || parts > 1;
    if (split) {
        CSheet oldParts(0, 0, LAYER_MAX, this);
        CSheet splitItems(0, 0, m_nCurrentLayer, this);
        for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
            const POSITION here = pos;
            CPart* part = m_selViaPartSheet.GetNextPart(pos);
            if (partLayer) {
                oldParts.NewPart(*part);
                part->BreakItem(splitItems);
                part->ResetBounding();
            } else {
                m_viaPartSheet.NewPart(*part);
                m_selViaPartSheet.DeleteItemAt(KIND_PART, here);
            }
        }
        m_partList.clear();
        if (!oldParts.IsEmpty()) {
            StoreUndoItem(&oldParts, LAYER_MAX, 0, 3);
            *m_pCurrentSheet += splitItems;
            StoreUndoItem(&m_selViaPartSheet, LAYER_MAX, 0, 5);
            if (!splitItems.IsEmpty())
                StoreUndoItem(&splitItems, m_nCurrentLayer, 1, 5);
            m_repaintRect = splitItems.GetBoundingRect();
            if (m_pHost)
                m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        }
    } else if (parts == 1 && !m_pCurrentSelSheet->IsEmpty() && partLayer) {
        CPart* part = m_selViaPartSheet.GetHeadPart();
        StoreUndoItem(part, LAYER_MAX, 0, 3);
        StoreUndoItem(m_pCurrentSelSheet, m_nCurrentLayer, 1, 3);
        part->AddItem(*m_pCurrentSelSheet);
        m_pCurrentSelSheet->DeleteContents();
        m_pCurrentRepSheet->DeleteContents();
        part->ResetBounding();
        StoreUndoItem(part, LAYER_MAX, 0, 5);
        m_repaintRect = part->GetBoundingRect();
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
    EndEdit();
}

// ---------------------------------------------------------------------------------------------
// Make part

void CVELTADoc::OnMakePart()
{
    const tagPARTLAYER silk = m_stack.partLayers[PL_SILKTEXT];
    const tagPARTLAYER origin = m_stack.partLayers[PL_ORIGIN];
    const tagPARTLAYER term = m_stack.partLayers[PL_TERM];
    bool sideB = false;
    CText* nameText = FindLabel(GetSelectionSheet(silk.layerA), "Name");
    if (!nameText) {
        nameText = FindLabel(GetSelectionSheet(silk.layerB), "Name");
        sideB = true;
    }
    if (!nameText)
        return;
    CSheet* silkSheet = GetSelectionSheet(sideB ? silk.layerB : silk.layerA);
    CText name(*nameText);
    std::unique_ptr<CText> ref, value;
    if (CText* t = FindLabel(silkSheet, "Ref"))
        ref = std::make_unique<CText>(*t);
    if (CText* t = FindLabel(silkSheet, "Val"))
        value = std::make_unique<CText>(*t);
    for (CText* t : {&name, ref.get(), value.get()})
        if (t)
            t->ModifyType(0, 0x4000);

    CSheet* originSheet = GetSelectionSheet(sideB ? origin.layerB : origin.layerA);
    CSheet* termSheet = GetSelectionSheet(sideB ? term.layerB : term.layerA);
    const bool hasOrigin = (originSheet && originSheet->GetKindCount(KIND_LAND) > 0) ||
                           (termSheet && termSheet->GetKindCount(KIND_TER) > 0);
    if (!hasOrigin && AfxMessageBox(_J("実装原点データが認識できません。\n続行しますか？"),
                                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;

    // Items of layers that do not belong to a part go back to the board.
    CDRect dirty;
    std::vector<int> partLayers;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        CSheet& sel = m_selSheets[static_cast<std::size_t>(layer)];
        if (sel.IsEmpty())
            continue;
        if ((m_boardSheets[static_cast<std::size_t>(layer)].GetType() & 0x1) || IsPartLayer(layer)) {
            partLayers.push_back(layer);
            continue;
        }
        dirty |= sel.GetBoundingRect();
        m_boardSheets[static_cast<std::size_t>(layer)] += sel;
        sel.DeleteContents();
        m_repSheets[static_cast<std::size_t>(layer)].DeleteContents();
    }
    for (POSITION pos = m_selViaPartSheet.GetFirstPartPos(); pos;) {
        const POSITION here = pos;
        CPart* part = m_selViaPartSheet.GetNextPart(pos);
        dirty |= part->GetBoundingRect();
        m_viaPartSheet.NewPart(*part);
        m_selViaPartSheet.DeleteItemAt(KIND_PART, here);
    }
    m_partList.clear();
    if (!dirty.IsRectNull() && m_pHost) {
        m_repaintRect = dirty;
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }

    std::set<std::string> seen;
    bool duplicate = false;
    for (int layer : partLayers) {
        CSheet& sel = m_selSheets[static_cast<std::size_t>(layer)];
        for (POSITION pos = sel.GetFirstTerPos(); pos && !duplicate;)
            duplicate = !seen.insert(sel.GetNextTer(pos)->GetNo()).second;
    }
    if (duplicate &&
        AfxMessageBox(_J("端子番号が重複しています\n続行しますか？"), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;

    MakePartChoice choice;
    choice.name = name.GetName();
    if (ref)
        choice.reference = ref->GetName();
    if (value)
        choice.value = value->GetName();
    for (int layer : partLayers)
        choice.terminals += m_selSheets[static_cast<std::size_t>(layer)].GetKindCount(KIND_TER);
    if (!m_pHost || !m_pHost->RunMakePartDialog(choice))
        return;
    // The texts on the board say "Name", "Ref" and "Val"; the part carries what the user gave.
    name.SetName(choice.name);
    if (ref && choice.reference)
        ref->SetName(*choice.reference);
    if (value && choice.value)
        value->SetName(*choice.value);
    const CDRect selectionBounds = GetItemsRect(SET_SELECTION);
    CDPoint originPoint((selectionBounds.left + selectionBounds.right) / 2,
                        (selectionBounds.top + selectionBounds.bottom) / 2);

    StoreUndo(SET_SELECTION, 3);
    CPart blank;
    CPart* part = m_selViaPartSheet.NewPart(blank);
    part->SetPartName(name);
    if (ref)
        part->SetRefName(*ref);
    if (value)
        part->SetValue(*value);
    part->SetPackage(choice.blockNumber);
    part->SetType(choice.typeWord);
    part->ResetBounding();

    if (termSheet) {
        termSheet->SortTerNo();
        unsigned id = 1;
        for (POSITION pos = termSheet->GetFirstTerPos(); pos;) {
            CTer* ter = termSheet->GetNextTer(pos);
            ter->SetID(id++);
            ter->SetNetCondition(0);
        }
    }
    for (POSITION pos = m_selViaPartSheet.GetFirstViaPos(); pos;)
        m_selViaPartSheet.GetNextVia(pos)->ResetAllWire();

    if (hasOrigin) {
        if (originSheet && !originSheet->IsEmpty() && originSheet->GetKindCount(KIND_LAND) > 0) {
            originSheet->SortLand();
            originPoint = originSheet->GetHeadLand()->GetPoint();
        } else if (termSheet && termSheet->GetHeadTer()) {
            originPoint = termSheet->GetHeadTer()->GetPoint();
        }
    }
    part->SetOrg(originPoint);

    // The loose items go into the part, which then joins the board.
    CSheet work(0, 0, LAYER_MAX, this);
    work.SetSheetType(SHEET_WORK);
    for (int layer : partLayers)
        work += m_selSheets[static_cast<std::size_t>(layer)];
    for (POSITION pos = m_selViaPartSheet.GetFirstViaPos(); pos;)
        work.NewVia(*m_selViaPartSheet.GetNextVia(pos));
    CPart made(*part);
    m_selViaPartSheet.DeleteContents();
    work.MakePart(made);
    if (sideB)
        made.ModifyType(0x1010, 0);
    else
        made.ModifyType(0, 0x1010);
    if (made.GetRefName().size() > 1 && made.GetRefName().find('?', 1) != std::string::npos)
        made.SetID(0);
    CPart* placed = m_viaPartSheet.NewPart(made);
    placed->ReCalcTerID(this);
    StoreUndoItem(placed, LAYER_MAX, 0, 5);
    ClearSheets(SET_SELECTION, false);
    for (int layer : partLayers)
        m_selSheets[static_cast<std::size_t>(layer)].DeleteContents();
    placed->ResetBounding();
    m_repaintRect = placed->GetBoundingRect();
    if (m_pHost) {
        m_pHost->UpdateAllViews(0, nullptr, placed);
        m_pHost->EndCommand();
    }
}
