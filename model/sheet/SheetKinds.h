#pragma once
// What the layer sheet needs to know about each item kind, so that its whole-sheet operations
// (storing copies, deleting by equality, counting, merging, moving, mirroring, rotating) work for
// every kind without the sheet knowing the item classes. Each kind builds its entry in the file
// that defines the sheet's typed operations of that kind, model/sheet/Sheet<Kind>.cpp, and offers
// a Register<Kind>SheetKind function; RegisterSheetKinds calls all nine at start-up (explicitly:
// registration from static objects would be lost when the library is linked statically).
//
// Tests replace an entry for their lifetime with ScopedSheetKind.

#include "model/items/ItemBase.h"

#include <memory>
#include <vector>

class CSheet;

// The nine item kinds a sheet keeps, as list indexes 0..8 (the bit position of the kind bit).
constexpr int SHEET_KIND_COUNT = 9;
// The list index of a kind bit, or -1 for anything that is not exactly one item kind bit.
int SheetKindIndex(int kind);
// The kind bit of an Input-menu command id (32910 line ... 32918 terminal), or 0 for any other value.
int KindOfInputCommand(int commandId);

struct SheetKindOps
{
    // A new item of the kind, assigned from the given one with the class's assignment.
    std::unique_ptr<CItemBase> (*copy)(const CItemBase& item) = nullptr;
    // The class's equality, which finds the item that a Delete operation or CheckItem names.
    bool (*equal)(const CItemBase& stored, const CItemBase& given) = nullptr;

    // The item's part of the whole-sheet transforms. allArcs is OffsetItem's second argument (only
    // arcs look at it); fill is true unless the sheet's layer is drawn filled (class 4).
    void (*offset)(CItemBase& item, const CDPoint& delta, int allArcs) = nullptr;
    void (*mirrorX)(CItemBase& item, double x, bool fill) = nullptr;
    void (*mirrorY)(CItemBase& item, double y, bool fill) = nullptr;
    void (*rotate)(CItemBase& item, const CDPoint& centre, double angle, bool fill) = nullptr;

    // Storing a copy: the copy takes the sheet's layer number unless the sheet's bit type has 0x8
    // (kinds that keep their own layer, or set it their own way, say false); then stored runs.
    bool takesSheetLayer = true;
    void (*stored)(CSheet& sheet, CItemBase& item) = nullptr;
    // Run on each copy that operator+= stored, after stored.
    void (*merged)(CSheet& sheet, CItemBase& item) = nullptr;

    // The slot of GetCount(kind, counts) that the item adds 1 to (turret or via number), or -1 for
    // an item that is not counted. Null: the kind adds nothing.
    int (*countSlot)(const CItemBase& item) = nullptr;
};

// The registered entry of a kind bit, or null.
const SheetKindOps* FindSheetKind(int kind);
// Registers (or replaces) the entry of a kind bit; returns false for a value that is not a kind bit.
bool RegisterSheetKind(int kind, const SheetKindOps& ops);

// Each kind's registration, defined beside the sheet's typed operations of the kind.
void RegisterLineSheetKind();
void RegisterLandSheetKind();
void RegisterPartSheetKind();
void RegisterArcSheetKind();
void RegisterViaSheetKind();
void RegisterTextSheetKind();
void RegisterHoleSheetKind();
void RegisterSurSheetKind();
void RegisterTerSheetKind();
// Registers all nine kinds (again: an entry registered before is replaced).
void RegisterSheetKinds();
// The kind bits, in list order, that have no entry or an entry without its copy or equality: a sheet
// could neither store nor find items of such a kind. Empty when every kind is registered.
std::vector<int> MissingSheetKinds();

// Replaces the entry of a kind for its lifetime and restores the previous one (or none) after.
class ScopedSheetKind
{
public:
    ScopedSheetKind(int kind, const SheetKindOps& ops);
    ~ScopedSheetKind();
    ScopedSheetKind(const ScopedSheetKind&) = delete;
    ScopedSheetKind& operator=(const ScopedSheetKind&) = delete;

private:
    int m_kind;
    bool m_hadPrevious = false;
    SheetKindOps m_previous;
};

// The entry every class with the usual family gets: copy by assignment, its operator==, and its
// Offset, MirrorX, MirrorY and Rotate. A kind overrides what it does differently.
template <class T> SheetKindOps DefaultSheetKindOps()
{
    SheetKindOps ops;
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        auto copy = std::make_unique<T>();
        *copy = static_cast<const T&>(item);
        return copy;
    };
    ops.equal = [](const CItemBase& stored, const CItemBase& given) {
        return static_cast<bool>(static_cast<const T&>(stored) == static_cast<const T&>(given));
    };
    ops.offset = [](CItemBase& item, const CDPoint& delta, int) { static_cast<T&>(item).Offset(delta); };
    ops.mirrorX = [](CItemBase& item, double x, bool) { static_cast<T&>(item).MirrorX(x); };
    ops.mirrorY = [](CItemBase& item, double y, bool) { static_cast<T&>(item).MirrorY(y); };
    ops.rotate = [](CItemBase& item, const CDPoint& centre, double angle, bool) {
        static_cast<T&>(item).Rotate(centre, angle);
    };
    return ops;
}

// Connectivity steps of the sheet's generic operations. The copper-group code installs them
// (InstallSheetNetHooks, at start-up); until then (and in sheets of tests that install none) the
// steps do nothing.
struct SheetNetHooks
{
    // Before a Delete operation frees an item: take it out of the copper groups it belongs to.
    void (*unlinkItem)(CSheet& sheet, CItemBase& item) = nullptr;
    // DeleteContents, before the sheet's copper groups are freed: clear the groups' ids and take the
    // sheet's holes, vias and part terminals out of the groups of other layers.
    void (*unlinkAll)(CSheet& sheet) = nullptr;
    // operator+= into a board sheet of a wiring layer (type 0 with a W-layer) or into the via and
    // part sheet (type 4): the other sheet takes this sheet's document and has its net ids reset.
    void (*prepareMerge)(CSheet& sheet, CSheet& other) = nullptr;
    // AddItem into a sheet that carries net ids: the stored copy's net ids are reset.
    void (*resetItemIds)(CSheet& sheet, CItemBase& item) = nullptr;
};

const SheetNetHooks& GetSheetNetHooks();
void SetSheetNetHooks(const SheetNetHooks& hooks);
// Installs the copper-group code's steps (defined with the sheet's copper groups).
void InstallSheetNetHooks();

// Installs hooks for its lifetime and restores the previous ones after.
class ScopedSheetNetHooks
{
public:
    explicit ScopedSheetNetHooks(const SheetNetHooks& hooks);
    ~ScopedSheetNetHooks();
    ScopedSheetNetHooks(const ScopedSheetNetHooks&) = delete;
    ScopedSheetNetHooks& operator=(const ScopedSheetNetHooks&) = delete;

private:
    SheetNetHooks m_previous;
};
