// How a change in the document reaches the board view, and what a board window does when it
// becomes active: the layer lists and combos are refreshed, the nets brought up to date, and the
// net-file watch restarted.

#include "app/VELTAView.h"
#include "document/VELTADoc.h"
#include "model/items/ItemBase.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

namespace {

constexpr int kNetCheckMilliseconds = 10000;

} // namespace

void CVELTAView::OnUpdate(int hint, const CDRect* area, CItemBase* object)
{
    if (!document_) {
        InvalidateAll();
        return;
    }
    switch (hint) {
    case 0:
        if (!object) {
            InvalidateAll();
        } else if (auto* sheet = dynamic_cast<CSheet*>(object)) {
            InvalidateBoardRect(sheet->GetBoundingRect());
        } else {
            // Bounds marked stale are brought up to date by asking for them.
            InvalidateBoardRect(object->GetBoundingRect());
        }
        return;
    case 2: {
        const CDSize size = document_->GetBoardSize();
        const int scale = document_->GetCoordScale();
        SetZoomSizes(platform::TruncateToInt32(size.cx * scale), platform::TruncateToInt32(size.cy * scale), 10,
                     10);
        StoreVisibleRect();
        InvalidateAll();
        return;
    }
    case 3:
        InvalidateAll();
        return;
    default:
        InvalidateBoardRect(area ? *area : document_->GetRepaintRect());
        return;
    }
}

void CVELTAView::OnActivateView(bool activate)
{
    KillTimer(ViewPort::kNetTimer);
    m_input->m_bNetTimer = false;
    if (!activate || !document_)
        return;
    document_->BuildLayerLists();
    document_->FillTurretCombo(m_input->m_nCommand != BoardInput::kVia);
    if (m_input->m_bShowNets) {
        InvalidateBoardRect(document_->GetRubberRect());
        document_->ReloadNetFile(false);
        document_->MakeRubberLines();
        // The nets are drawn with the board while the flag stays set.
        if (!document_->GetRubberRect().IsRectEmpty())
            InvalidateBoardRect(document_->GetRubberRect());
        else
            m_input->m_bShowNets = false;
    } else {
        document_->ReloadNetFile(false);
    }
    StartTimer(ViewPort::kNetTimer, kNetCheckMilliseconds);
    m_input->m_bNetTimer = true;
}
