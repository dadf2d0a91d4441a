#include "model/items/ItemBase.h"

#include "model/geometry/Geometry.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <numbers>
#include <thread>

struct CItemBase::ItemLock
{
    std::recursive_mutex mutex;
    std::atomic<std::thread::id> owner{};
    int depth = 0;
};

CItemBase::CItemBase(const CItemBase& other) : m_bKeepArea(other.m_bKeepArea)
{
    *this = other;
}

CItemBase::~CItemBase()
{
    delete m_lock.load();
}

CItemBase& CItemBase::operator=(const CItemBase& other)
{
    if (this == &other)
        return *this;
    m_nID = other.m_nID;
    m_nKind = other.m_nKind;
    m_nType = other.m_nType;
    m_nLayer = other.m_nLayer;
    m_nTurret = other.m_nTurret;
    m_dAngle = other.m_dAngle;
    m_entry = other.m_entry;
    m_bDirty = other.m_bDirty;
    if (m_bKeepArea)
        m_ptArea.CopyFrom(other.m_ptArea);
    m_rcBound = other.m_rcBound;
    m_pParent = other.m_pParent;
    m_nReserved = other.m_nReserved;
    return *this;
}

void CItemBase::SetType(int type)
{
    m_nType = type;
    ResetBounding();
}

void CItemBase::ModifyType(int value, int mask)
{
    m_nType = value | (m_nType & ~mask);
    ResetBounding();
}

double CItemBase::GetAngle()
{
    GetBoundingRect();
    return m_dAngle;
}

void CItemBase::SetAngle(double angle)
{
    m_dAngle = angle;
    ResetBounding();
}

void CItemBase::SetTurretNo(int n, bool refresh)
{
    if (n < 0) {
        m_nTurret = n;
        return;
    }
    if (refresh ? n != m_nTurret : n == m_nTurret)
        return;
    m_nTurret = n;
    const tagTURRET turret = GetBoardTurret(n);
    std::memcpy(m_entry.data(), &turret, sizeof turret);
    ResetBounding();
}

void CItemBase::SetViaNo(int n, bool refresh)
{
    if (refresh ? n != m_nTurret : n == m_nTurret)
        return;
    m_nTurret = n;
    const tagVIA via = GetBoardVia(n);
    std::memcpy(m_entry.data(), &via, sizeof via);
    ResetBounding();
}

DocumentServices* CItemBase::GetBoardDocument() const
{
    for (const CItemBase* p = this; p; p = p->m_pParent)
        if (p->m_nKind == KIND_SHEET)
            if (const auto* sheet = dynamic_cast<const CSheet*>(p); sheet && sheet->GetDocument())
                return sheet->GetDocument();
    return nullptr;
}

tagTURRET CItemBase::GetBoardTurret(int n) const
{
    if (DocumentServices* doc = GetBoardDocument())
        return doc->GetTurretEntry(n);
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetTurret(n) : tagTURRET{};
}

tagVIA CItemBase::GetBoardVia(int n) const
{
    if (DocumentServices* doc = GetBoardDocument())
        return doc->GetViaEntry(n);
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetVia(n) : tagVIA{};
}

void CItemBase::RefreshBoardEntry()
{
    if (m_nTurret < (m_nKind == KIND_VIA ? 1 : 0) || m_nKind == KIND_SHEET)
        return;
    DocumentServices* doc = GetBoardDocument();
    if (!doc)
        return;
    if (m_nKind == KIND_VIA) {
        const tagVIA own = doc->GetViaEntry(m_nTurret);
        if (std::memcmp(m_entry.data(), &own, sizeof own) == 0)
            return;
        std::memcpy(m_entry.data(), &own, sizeof own);
    } else {
        const tagTURRET own = doc->GetTurretEntry(m_nTurret);
        const tagTURRET held = GetTurret();
        if (own.shape == held.shape && own.size1 == held.size1 && own.size2 == held.size2)
            return;
        std::memcpy(m_entry.data(), &own, sizeof own);
    }
    ResetBounding();
}

int CItemBase::GetBoardDCode(int turret) const
{
    if (DocumentServices* doc = GetBoardDocument())
        return doc->GetTurretDCode(turret);
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetTurretDCode(turret) : 0;
}

tagTEXTSIZE CItemBase::GetBoardTextSize(int index) const
{
    if (DocumentServices* doc = GetBoardDocument())
        return doc->GetTextSizeEntry(index);
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetTextSize(index) : tagTEXTSIZE{};
}

tagDIMS CItemBase::GetBoardDimensionStyle() const
{
    if (DocumentServices* doc = GetBoardDocument())
        return doc->GetDimensionStyle();
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetDimensionStyle() : tagDIMS{};
}

tagTURRET CItemBase::GetTurret() const
{
    tagTURRET turret;
    std::memcpy(&turret, m_entry.data(), sizeof turret);
    return turret;
}

tagVIA CItemBase::GetVia() const
{
    tagVIA via;
    std::memcpy(&via, m_entry.data(), sizeof via);
    return via;
}

void CItemBase::SetVia(const tagVIA& via)
{
    std::memcpy(m_entry.data(), &via, sizeof via);
    ResetBounding();
}

double CItemBase::GetLineWidth() const
{
    return GetTurret().size1;
}

CItemBase* CItemBase::GetSheetItem() const
{
    for (CItemBase* p = m_pParent; p; p = p->m_pParent)
        if (p->m_nKind == KIND_SHEET)
            return p;
    return nullptr;
}

CItemBase* CItemBase::GetTopSheetItem() const
{
    for (CItemBase* p = m_pParent; p; p = p->m_pParent)
        if (p->m_nKind == KIND_SHEET && !p->m_pParent)
            return p;
    return nullptr;
}

const CDRect& CItemBase::GetBoundingRect()
{
    if (m_bDirty) {
        // An item without a turret takes turret 0 before it is measured; a via's number is a
        // via-table number and stays.
        if (m_nTurret < 0 && m_nKind != KIND_VIA)
            SetTurretNo(0, false);
        CalcBoundingRect();
        m_bDirty = false;
    }
    return m_rcBound;
}

void CItemBase::ResetBounding()
{
    for (CItemBase* p = this; p; p = p->m_pParent)
        p->m_bDirty = true;
}

const CDPoint* CItemArea::Zero()
{
    static const CDPoint zero[4];
    return zero;
}

void CItemBase::SetAreaRect(const CDPoint* pts)
{
    if (!m_bKeepArea)
        return;
    for (int i = 0; i < 4; ++i)
        m_ptArea[i] = pts[i];
}

void CItemBase::CopyAreaRect()
{
    if (!m_bKeepArea)
        return;
    m_ptArea[0] = CDPoint(m_rcBound.left, m_rcBound.bottom);
    m_ptArea[1] = CDPoint(m_rcBound.right, m_rcBound.bottom);
    m_ptArea[2] = CDPoint(m_rcBound.right, m_rcBound.top);
    m_ptArea[3] = CDPoint(m_rcBound.left, m_rcBound.top);
}

void CItemBase::UpdateBoundsForTransform()
{
    // The stale flag stays: the class moves its own points next, and the next request measures
    // the moved item again.
    if (m_bDirty)
        CalcBoundingRect();
}

void CItemBase::Offset(const CDPoint& d)
{
    UpdateBoundsForTransform();
    if (m_rcBound.IsRectNull())
        return;
    if (m_bKeepArea) {
        for (CDPoint& p : m_ptArea)
            p += d;
    }
    m_rcBound += d;
}

void CItemBase::Rotate(const CDPoint& center, double angle)
{
    UpdateBoundsForTransform();
    if (m_rcBound.IsRectNull())
        return;
    if (m_bKeepArea) {
        for (CDPoint& p : m_ptArea)
            p.Rotate(center, angle);
        m_rcBound.ResetRect(m_ptArea);
    } else {
        // What the area would be had it been the bounds' corners.
        CDPoint corners[4] = {
            CDPoint(m_rcBound.left, m_rcBound.bottom), CDPoint(m_rcBound.right, m_rcBound.bottom),
            CDPoint(m_rcBound.right, m_rcBound.top), CDPoint(m_rcBound.left, m_rcBound.top)};
        for (CDPoint& p : corners)
            p.Rotate(center, angle);
        m_rcBound.ResetRect(corners);
    }
    double a = m_dAngle + angle;
    NormalizeAngle(a);
    m_dAngle = a;
}

void CItemBase::MirrorX(double axis)
{
    UpdateBoundsForTransform();
    if (m_rcBound.IsRectNull())
        return;
    if (m_bKeepArea) {
        for (CDPoint& p : m_ptArea)
            p.x = 2.0 * axis - p.x;
    }
    m_rcBound.MirrorX(axis);
    double a = std::numbers::pi - m_dAngle;
    NormalizeAngle(a);
    m_dAngle = a;
}

void CItemBase::MirrorY(double axis)
{
    UpdateBoundsForTransform();
    if (m_rcBound.IsRectNull())
        return;
    if (m_bKeepArea) {
        for (CDPoint& p : m_ptArea)
            p.y = 2.0 * axis - p.y;
    }
    m_rcBound.MirrorY(axis);
    double a = 2.0 * std::numbers::pi - m_dAngle;
    NormalizeAngle(a);
    m_dAngle = a;
}

CItemBase::ItemLock& CItemBase::TheLock()
{
    if (ItemLock* lock = m_lock.load(std::memory_order_acquire))
        return *lock;
    // Two threads locking a fresh item at once: one lock wins, the other is thrown away.
    auto made = std::make_unique<ItemLock>();
    ItemLock* expected = nullptr;
    if (m_lock.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel))
        return *made.release();
    return *expected;
}

int CItemBase::Lock()
{
    ItemLock& lock = TheLock();
    lock.mutex.lock();
    lock.owner.store(std::this_thread::get_id());
    ++lock.depth;
    return 1;
}

int CItemBase::Unlock()
{
    // Releasing a lock that this thread does not hold would be undefined: refuse it. An item
    // never locked holds no lock to release.
    ItemLock* lock = m_lock.load(std::memory_order_acquire);
    if (!lock || lock->owner.load() != std::this_thread::get_id() || lock->depth == 0)
        return 0;
    if (--lock->depth == 0)
        lock->owner.store(std::thread::id());
    lock->mutex.unlock();
    return 1;
}
