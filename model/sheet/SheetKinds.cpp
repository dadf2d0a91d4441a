#include "model/sheet/SheetKinds.h"

#include "model/services/Records.h"

#include <array>
#include <bit>
#include <optional>

namespace {

std::array<std::optional<SheetKindOps>, SHEET_KIND_COUNT>& Table()
{
    static std::array<std::optional<SheetKindOps>, SHEET_KIND_COUNT> table;
    return table;
}

SheetNetHooks& NetHooks()
{
    static SheetNetHooks hooks;
    return hooks;
}

} // namespace

int SheetKindIndex(int kind)
{
    // One bit set: k & (k - 1) clears the lowest. std::has_single_bit becomes a library call per
    // look-up on processors of the baseline without a popcount instruction.
    const unsigned bits = static_cast<unsigned>(kind);
    if (kind <= 0 || kind >= (1 << SHEET_KIND_COUNT) || (bits & (bits - 1)) != 0)
        return -1;
    return std::countr_zero(static_cast<unsigned>(kind));
}

int KindOfInputCommand(int commandId)
{
    switch (commandId) {
    case ID_INPUT_LINE:
        return KIND_LINE;
    case ID_INPUT_LAND:
        return KIND_LAND;
    case ID_INPUT_TEXT:
        return KIND_TEXT;
    case ID_INPUT_PART:
        return KIND_PART;
    case ID_INPUT_ARC:
        return KIND_ARC;
    case ID_INPUT_VIA:
        return KIND_VIA;
    case ID_INPUT_HOLE:
        return KIND_HOLE;
    case ID_INPUT_SUR:
        return KIND_SUR;
    case ID_INPUT_TER:
        return KIND_TER;
    default:
        return 0;
    }
}

const SheetKindOps* FindSheetKind(int kind)
{
    const int index = SheetKindIndex(kind);
    if (index < 0)
        return nullptr;
    const auto& entry = Table()[static_cast<std::size_t>(index)];
    return entry ? &*entry : nullptr;
}

bool RegisterSheetKind(int kind, const SheetKindOps& ops)
{
    const int index = SheetKindIndex(kind);
    if (index < 0)
        return false;
    Table()[static_cast<std::size_t>(index)] = ops;
    return true;
}

void RegisterSheetKinds()
{
    RegisterLineSheetKind();
    RegisterLandSheetKind();
    RegisterPartSheetKind();
    RegisterArcSheetKind();
    RegisterViaSheetKind();
    RegisterTextSheetKind();
    RegisterHoleSheetKind();
    RegisterSurSheetKind();
    RegisterTerSheetKind();
}

std::vector<int> MissingSheetKinds()
{
    std::vector<int> missing;
    for (int index = 0; index < SHEET_KIND_COUNT; ++index) {
        const int kind = 1 << index;
        const SheetKindOps* ops = FindSheetKind(kind);
        if (!ops || !ops->copy || !ops->equal)
            missing.push_back(kind);
    }
    return missing;
}

ScopedSheetKind::ScopedSheetKind(int kind, const SheetKindOps& ops) : m_kind(kind)
{
    if (const SheetKindOps* previous = FindSheetKind(kind)) {
        m_hadPrevious = true;
        m_previous = *previous;
    }
    RegisterSheetKind(kind, ops);
}

ScopedSheetKind::~ScopedSheetKind()
{
    const int index = SheetKindIndex(m_kind);
    if (index < 0)
        return;
    auto& entry = Table()[static_cast<std::size_t>(index)];
    if (m_hadPrevious)
        entry = m_previous;
    else
        entry.reset();
}

const SheetNetHooks& GetSheetNetHooks()
{
    return NetHooks();
}

void SetSheetNetHooks(const SheetNetHooks& hooks)
{
    NetHooks() = hooks;
}

ScopedSheetNetHooks::ScopedSheetNetHooks(const SheetNetHooks& hooks) : m_previous(NetHooks())
{
    NetHooks() = hooks;
}

ScopedSheetNetHooks::~ScopedSheetNetHooks()
{
    NetHooks() = m_previous;
}
