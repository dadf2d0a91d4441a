#pragma once
// Base of every board item and of the layer sheet that holds items. Keeps what every item has:
// id (low byte the work layer), kind bit, type flags, layer, angle, the number of its turret or
// via-table entry with a copy of that entry, a parent link, four area points and a bounding
// rectangle that is recomputed lazily after a geometry change.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/services/Records.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class CSheet;
class DocumentServices;

// The kind bit of each item class; masks of them select sets of kinds.
enum ItemKind
{
    KIND_LINE = 0x1,
    KIND_LAND = 0x2,
    KIND_PART = 0x4,
    KIND_ARC = 0x8,
    KIND_VIA = 0x10,
    KIND_TEXT = 0x20,
    KIND_HOLE = 0x40,
    KIND_SUR = 0x80,
    KIND_TER = 0x100,
    KIND_SHEET = 0x200
};

// The four area points of an item, read as an array of four. They are held on the heap once
// written, so that items whose area nobody reads (tracks: a board has a hundred thousand) carry
// one pointer instead of four points. Until written they read as four zero points.
class CItemArea
{
public:
    CItemArea() = default;
    CItemArea(const CItemArea&) = delete;
    CItemArea& operator=(const CItemArea&) = delete;

    bool Held() const { return m_points != nullptr; }
    // The points, made (all zero) when not held yet.
    operator CDPoint*() { return Points(); }
    operator const CDPoint*() const { return m_points ? m_points->data() : Zero(); }
    CDPoint* begin() { return Points(); }
    CDPoint* end() { return Points() + 4; }
    const CDPoint* begin() const { return *this; }
    const CDPoint* end() const { return begin() + 4; }
    // Copies the other's points, or lets go of its own when the other holds none.
    void CopyFrom(const CItemArea& other)
    {
        if (!other.m_points)
            m_points.reset();
        else
            *Points4() = *other.m_points;
    }
    void Release() { m_points.reset(); }

private:
    static const CDPoint* Zero();
    std::array<CDPoint, 4>* Points4()
    {
        if (!m_points)
            m_points = std::make_unique<std::array<CDPoint, 4>>();
        return m_points.get();
    }
    CDPoint* Points() { return Points4()->data(); }

    std::unique_ptr<std::array<CDPoint, 4>> m_points;
};

class CItemBase
{
public:
    virtual ~CItemBase();

    std::uint32_t GetID() const { return m_nID; }
    void SetID(std::uint32_t id) { m_nID = id; }
    int GetWLayer() const { return static_cast<int>(m_nID & 0xFF); }
    void SetWLayer(int n) { m_nID = (static_cast<std::uint32_t>(n) & 0xFF) | (m_nID & ~0xFFu); }

    int GetKind() const { return m_nKind; }
    int GetType() const { return m_nType; }
    void SetType(int type);
    // type = value | (type & ~mask)
    void ModifyType(int value, int mask);

    int GetLayerNo() const { return m_nLayer; }
    void SetLayerNo(int layer) { m_nLayer = layer; }

    // The angle once pending bounds are brought up to date (which may give the item turret 0).
    double GetAngle();
    void SetAngle(double angle);

    int GetTurretNo() const { return m_nTurret; }
    int GetViaNo() const { return m_nTurret; }
    // Takes the number and copies its table entry from the item's own board (GetBoardTurret). With
    // refresh false nothing happens when the number is already n; with refresh true only the
    // item's own number is re-read (any other n does nothing). A negative n is stored without a
    // look-up.
    void SetTurretNo(int n, bool refresh = false);
    void SetViaNo(int n, bool refresh = false);

    // The board document the item belongs to: that of the nearest layer sheet above it (the item
    // itself when it is a sheet) that has one; null for an item on no board.
    DocumentServices* GetBoardDocument() const;
    // Table entries of the item's own board; the frame's current board answers only for an item
    // on no board. With two boards open, an item of the one that is not active must not read the
    // active one's tables.
    tagTURRET GetBoardTurret(int n) const;
    tagVIA GetBoardVia(int n) const;
    int GetBoardDCode(int turret) const;
    // Copies the table entry again from the item's own board, when it has one: an item made while
    // another board was current (read from a file, pasted) takes the entry of the board it is
    // stored on. Via number 0 keeps the entry of its own record.
    void RefreshBoardEntry();
    tagTEXTSIZE GetBoardTextSize(int index) const;
    tagDIMS GetBoardDimensionStyle() const;
    tagTURRET GetTurret() const;
    tagVIA GetVia() const;
    void SetVia(const tagVIA& via);
    // The first size of the turret entry (the width of a line).
    double GetLineWidth() const;

    CItemBase* GetParent() const { return m_pParent; }
    void SetParent(CItemBase* parent) { m_pParent = parent; }
    void ResetParent() { m_pParent = nullptr; }

    // The nearest ancestor that is a layer sheet (the item itself is not tested), or null.
    CItemBase* GetSheetItem() const;
    // The first ancestor that is a layer sheet without a parent, or null.
    CItemBase* GetTopSheetItem() const;
    // The same as the sheet class; the caller includes the sheet's header.
    template <class Sheet = CSheet> Sheet* GetSheet() const { return static_cast<Sheet*>(GetSheetItem()); }
    template <class Sheet = CSheet> Sheet* GetTopSheet() const
    {
        return static_cast<Sheet*>(GetTopSheetItem());
    }

    // The bounding rectangle, recomputed first when a change left it stale.
    const CDRect& GetBoundingRect();
    // Marks this item and every ancestor stale.
    void ResetBounding();

    // Base part of the item transforms: area points, bounds and angle. An item whose bounds are
    // the null rectangle is left as it is.
    void Offset(const CDPoint& d);
    void Rotate(const CDPoint& center, double angle);
    void MirrorX(double axis);
    void MirrorY(double axis);

    // The per-item lock, for callers that want one; recursive on the owning thread.
    int Lock();
    // 0 when the calling thread does not hold the lock.
    int Unlock();

protected:
    CItemBase() = default;
    explicit CItemBase(int kind) : m_nKind(kind) {}
    // keepArea false: a class whose area points nobody reads; SetAreaRect, CopyAreaRect and the
    // transforms leave them unheld.
    CItemBase(int kind, bool keepArea) : m_nKind(kind), m_bKeepArea(keepArea) {}
    // A fresh lock, then everything else copied.
    CItemBase(const CItemBase& other);
    // Copies every field (parent included) except the lock.
    CItemBase& operator=(const CItemBase& other);

    // Each class computes its bounding rectangle and area points (SetBoundingRect, SetAreaRect or
    // CopyAreaRect).
    virtual void CalcBoundingRect() = 0;

    // Stores the rectangle; the stale flag is left to the caller.
    void SetBoundingRect(const CDRect& rect) { m_rcBound = rect; }
    void SetAreaRect(const CDPoint* pts);
    // Area points = the bounding rectangle's corners: (left, bottom), (right, bottom), (right, top),
    // (left, top).
    void CopyAreaRect();
    // Bounds for the transforms: recomputed when stale, without the turret step.
    void UpdateBoundsForTransform();

    // Ordered to leave no gaps: a board holds hundreds of thousands of items.
    std::uint32_t m_nID = 0;
    int m_nKind = 0;
    int m_nType = 0;
    int m_nLayer = -1;
    int m_nTurret = -1;
    std::uint32_t m_nReserved = 0; // copied, never read
    double m_dAngle = 0.0;
    CItemBase* m_pParent = nullptr;
    CItemArea m_ptArea;
    std::array<std::uint8_t, 24> m_entry{}; // tagTURRET, or tagVIA for a via
    CDRect m_rcBound;

private:
    // Made on the first Lock, so that the many items nobody locks carry one pointer.
    struct ItemLock;
    ItemLock& TheLock();

    std::atomic<ItemLock*> m_lock{nullptr};

protected:
    // Last, so that a derived class's first small fields fill the space after it.
    bool m_bDirty = true;

private:
    const bool m_bKeepArea = true; // fixed by the class, never copied
};

static_assert(sizeof(tagTURRET) == 24 && sizeof(tagVIA) == 24);
