// The input machine's edit commands on the selection: delete, the two ends of cut and copy, paste
// of item text, flip and rotate about the selection's centre, and the numeric move.

#include "app/BoardInput.h"
#include "app/ViewPort.h"
#include "document/VELTADoc.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kLastInternalCommand = 27;

bool IsInputId(int id)
{
    return id >= BoardInput::kLine && id <= BoardInput::kCutter;
}

// Lines of the text that open a layer block ("Layer n t"), as the text reader finds them.
int CountLayerHeads(const std::string& text)
{
    int count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        std::size_t first = pos;
        while (first < end && (text[first] == ' ' || text[first] == '\t'))
            ++first;
        if (end - first >= 6 && text.compare(first, 6, "Layer ") == 0)
            ++count;
        pos = end + 1;
    }
    return count;
}

} // namespace

bool BoardInput::CanEditSelection()
{
    return m_doc && !m_bInputBusy && !m_doc->IsSelectionEmpty();
}

bool BoardInput::CanDeleteSelection()
{
    if (!m_doc || m_doc->IsSelectionEmpty())
        return false;
    return m_nCommand == kMoveBase || m_nCommand == kCopyBase || m_nCommand == kAttrMove;
}

bool BoardInput::CanFlipRotate()
{
    if (!m_doc || m_doc->IsSelectionEmpty())
        return false;
    return m_nCommand <= kLastInternalCommand || IsInputId(m_nCommand) || m_nCommand == kAttrMove ||
           m_nCommand == kPaste;
}

void BoardInput::FinishSelectionEdit(bool record, bool everyLayer)
{
    if (record && !m_doc->IsSelectionUnchanged()) {
        m_doc->StoreUndo(5, 3);
        m_doc->StoreUndo(2, 5);
    }
    m_doc->MoveSetItems(2, 0, true, everyLayer);
    if (everyLayer) {
        // Pasted items may lie on layers that are not enabled: they land all the same, as recorded.
        for (int layer = 0; layer < LAYER_MAX; ++layer) {
            CSheet* selection = m_doc->GetSelectionSheet(layer);
            if (selection && !selection->IsEmpty()) {
                *m_doc->GetBoardSheet(layer) += *selection;
                selection->DeleteContents();
            }
        }
    }
    // What was replaced is recorded or back on the board: nothing may bring it back later.
    m_doc->ClearSheets(5, true);
    m_bInputBusy = false;
    m_bCentreSet = false;
    RestoreInputCommand();
    m_port.InvalidateAll();
}

void BoardInput::DeleteSelection()
{
    if (CanDeleteSelection())
        RemoveSelection();
}

void BoardInput::RemoveSelection()
{
    m_port.InvalidateBoardRect(SelectionBounds());
    m_doc->StoreUndo(2, 2);
    m_doc->ClearSheets(2, true);
    m_doc->ClearSheets(5, true);
    m_bInputBusy = false;
    m_bCentreSet = false;
    RestoreInputCommand();
    m_port.InvalidateAll();
}

std::string BoardInput::SelectionText()
{
    if (!m_doc || m_doc->IsSelectionEmpty())
        return std::string();
    CArchive ar(CArchive::store);
    ar.SetDocument(m_doc);
    for (const auto& entry : m_doc->GetDisplayList()) {
        if (CSheet* sheet = m_doc->GetSelectionSheet(entry.second); sheet && !sheet->IsEmpty())
            sheet->SerializeText(ar);
    }
    if (CSheet* viaParts = m_doc->GetSelectionSheet(LAYER_MAX); viaParts && !viaParts->IsEmpty())
        viaParts->SerializeText(ar);
    std::vector<std::uint8_t> bytes = ar.TakeData();
    return std::string(bytes.begin(), bytes.end());
}

void BoardInput::EndClipboardWrite(bool cut, bool written)
{
    if (!m_doc)
        return;
    if (!written) {
        RestoreInputCommand();
        m_bInputBusy = false;
        return;
    }
    if (cut) {
        RemoveSelection();
        return;
    }
    m_doc->MoveSetItems(2, 0, true, false);
    m_doc->ClearSheets(5, true);
    m_bCentreSet = false;
    RestoreInputCommand();
    m_bInputBusy = false;
    m_port.InvalidateAll();
}

bool BoardInput::PasteText(const std::string& text, bool keepLayers)
{
    if (!m_doc || m_bInputBusy)
        return false;
    m_bHadSelection = !m_doc->IsSelectionEmpty();
    if (m_bHadSelection) {
        // The items stay recorded in the replaced-items set.
        m_doc->ClearSheets(2, true);
    }
    // Everything is read before anything is pasted: a text cut short pastes nothing.
    std::vector<std::pair<int, std::unique_ptr<CSheet>>> layers;
    bool complete = true;
    try {
        CArchive ar(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
        ar.SetDocument(m_doc);
        for (;;) {
            auto sheet = std::make_unique<CSheet>(0, 0, LAYER_MAX, m_doc);
            const int layer = sheet->SerializeText(ar);
            if (layer < 0) {
                complete = sheet->IsEmpty();
                break;
            }
            layers.emplace_back(layer, std::move(sheet));
        }
    } catch (const ArchiveError&) {
        complete = false;
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    complete = complete && !layers.empty() && CountLayerHeads(text) == static_cast<int>(layers.size());
    if (!complete) {
        if (m_bHadSelection)
            m_doc->MoveSetItems(5, 2, false, false);
        m_port.InvalidateAll();
        return false;
    }
    bool shown = false;
    for (auto& [layer, sheet] : layers) {
        CSheet* target = nullptr;
        if (layer >= LAYER_MAX) {
            target = m_doc->GetSelectionSheet(LAYER_MAX);
        } else if (keepLayers) {
            target = m_doc->GetSelectionSheet(layer);
            if (!m_doc->IsDisplayedLayer(layer)) {
                // Pasted items are never hidden: their layer is shown.
                for (int set : {0, 2, 5}) {
                    CSheet* s = m_doc->GetSetSheet(set, layer);
                    tagLAYER record = s->GetLayer();
                    record.display = 1;
                    s->SetLayer(record);
                }
                shown = true;
            }
        } else {
            target = m_doc->GetCurrentSelectionSheet();
        }
        if (target)
            *target += *sheet;
        sheet.reset();
    }
    if (shown)
        m_doc->BuildLayerLists();
    if (m_doc->IsSelectionEmpty()) {
        if (m_bHadSelection)
            m_doc->MoveSetItems(5, 2, false, false);
        m_port.InvalidateAll();
        return false;
    }
    m_doc->ResetViaBounds();
    m_doc->ResetPartBoundRects(3);
    m_rcSelection = SelectionBounds();
    m_ptCentre = Snap(m_rcSelection.CenterPoint());
    m_ptBase = m_ptCentre;
    m_ptEnd = m_ptCentre;
    m_ptCursor = m_ptCentre;
    m_bCentreSet = false;
    m_port.InvalidateAll();
    SaveCommand();
    m_bInputBusy = true;
    m_nCommand = kPaste;
    m_bTrackRect = 1;
    return true;
}

void BoardInput::DropPaste()
{
    if (!m_doc || m_nCommand != kPaste)
        return;
    if (m_doc->IsSelectionEmpty()) {
        m_bInputBusy = false;
        RestoreInputCommand();
        return;
    }
    if (m_bHadSelection) {
        m_doc->StoreUndo(5, 3);
        m_doc->StoreUndo(2, 5);
    } else {
        m_doc->StoreUndo(2, 1);
    }
    m_bHadSelection = false;
    FinishSelectionEdit(false, true);
}

void BoardInput::FlipRotate(int id, bool shift)
{
    if (!CanFlipRotate())
        return;
    m_rcSelection = SelectionBounds();
    m_port.InvalidateBoardRect(m_rcSelection);
    // While something floats the centre is the cursor's point; a resting selection turns about its
    // middle, and keeps that centre for further turns until it is changed otherwise.
    const bool kept = m_bCentreSet && m_rcSelection == m_rcTurned;
    CDPoint centre = (m_bInputBusy || kept) ? m_ptCentre : m_rcSelection.CenterPoint();
    if (m_nCommand == kAttrMove) {
        centre = m_doc->SnapAttrPoint(centre, m_bSnapItem);
        if (id == kFlipX)
            m_doc->MirrorSelectionXText(centre.x);
        else if (id == kFlipY)
            m_doc->MirrorSelectionYText(centre.y);
        else
            m_doc->RotateSelectionText(centre, (shift ? -kPi : kPi) / 2.0);
    } else {
        centre = Snap(centre);
        if (id == kFlipX)
            m_doc->MirrorSelectionX(centre.x);
        else if (id == kFlipY)
            m_doc->MirrorSelectionY(centre.y);
        else
            m_doc->RotateSelection(centre, (shift ? -30.0 : 30.0) * kPi / 180.0);
    }
    m_rcSelection = SelectionBounds();
    if (!m_bInputBusy) {
        m_ptCentre = centre;
        m_bCentreSet = true;
        m_rcTurned = m_rcSelection;
    }
    m_port.InvalidateBoardRect(m_rcSelection);
    m_port.InvalidateAll();
}

void BoardInput::NumericMove(const NumericMoveValues& values)
{
    if (!m_doc || m_doc->IsSelectionEmpty())
        return;
    const double angle = values.angleDeg * kPi / 180.0;
    if (values.scale) {
        m_doc->ScaleSelection(m_ptCentre, CDSize(values.point.x, values.point.y));
        if (angle != 0.0)
            m_doc->RotateSelection(m_ptCentre, angle);
        FinishSelectionEdit(true);
        return;
    }
    m_port.InvalidateBoardRect(m_rcSelection);
    const int runs = values.relative ? values.repeat : 1;
    CDPoint p = values.point;
    CDPoint centre;
    CDPoint d;
    if (values.relative) {
        centre = CDPoint(m_ptBase.x + p.x, m_ptBase.y + p.y);
        d = CDPoint(p.x + (m_ptBase.x - m_ptCentre.x), p.y + (m_ptBase.y - m_ptCentre.y));
    } else {
        m_doc->FromUserOrigin(p, 0);
        centre = p;
        d = CDPoint(p.x - m_ptBase.x, p.y - m_ptBase.y);
    }
    if (m_nCommand == kCopying && runs >= 1) {
        // The floating copy gives way to the run's copies: the k-th is offset runs - k + 1 times.
        m_doc->ClearSheets(2, false);
        for (int k = 0; k < runs; ++k) {
            m_doc->MoveSetItems(5, 2, false, false);
            m_doc->OffsetSelection(d, 1, false);
            if (values.nameStep != 0)
                m_doc->IncrementCopyNames(values.nameStep);
            if (angle != 0.0)
                m_doc->RotateSelection(centre, angle);
        }
        m_doc->StoreUndo(2, 1);
        FinishSelectionEdit(false);
        return;
    }
    if (m_nCommand == kAttrMove) {
        m_doc->OffsetSelectionAttr(d);
        if (angle != 0.0)
            m_doc->RotateSelectionText(centre, angle);
    } else {
        m_doc->OffsetSelection(d, 1, false);
        if (m_nCommand == kCopying && values.nameStep != 0)
            m_doc->IncrementCopyNames(values.nameStep);
        if (angle != 0.0)
            m_doc->RotateSelection(centre, angle);
    }
    switch (m_nCommand) {
    case kMoving:
    case kAttrMove:
        FinishSelectionEdit(true);
        return;
    case kCopying:
        m_doc->StoreUndo(2, 1);
        m_doc->MoveSetItems(2, 0, false, false);
        m_ptCentre = m_ptBase;
        m_ptEnd = m_ptBase;
        break;
    case kPaste:
        DropPaste();
        return;
    default:
        break;
    }
    m_rcSelection = SelectionBounds();
    m_port.InvalidateAll();
}
