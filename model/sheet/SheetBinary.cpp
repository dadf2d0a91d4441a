// The binary record of one layer sheet in the board file: sheet type, layer, item count, then each
// kind's count and records in a fixed order. Copper groups are not written; they are rebuilt after
// loading.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"

#include <array>
#include <cstdint>
#include <new>

namespace {

// The order of the kinds in the record.
constexpr std::array<int, SHEET_KIND_COUNT> kRecordOrder = {
    KIND_LINE, KIND_ARC, KIND_LAND, KIND_HOLE, KIND_TEXT, KIND_TER, KIND_SUR, KIND_VIA, KIND_PART};

// A count of records: every record takes at least one byte, so a count larger than what is left
// is refused before anything is read for it.
std::uint32_t ReadCount(CArchive& ar)
{
    std::uint32_t count = 0;
    ar >> count;
    if (count > ar.Remaining())
        throw ArchiveError(ArchiveError::BadFormat, "layer record: item count beyond the end of the data");
    return count;
}

// Reads one item as its plain record and stores a copy of it in the sheet.
template <class T, class Stored>
void ReadItem(CSheet& sheet, CArchive& ar, int version, Stored* (CSheet::*store)(const T&))
{
    T item;
    item.Serialize(ar, version);
    (sheet.*store)(item);
}

} // namespace

void CSheet::DataWrite(CArchive& ar, int version)
{
    ar << static_cast<std::int32_t>(m_nSheetType) << static_cast<std::int32_t>(m_nLayer)
       << static_cast<std::int32_t>(m_nCount);
    if (m_nCount == 0)
        return;
    for (int kind : kRecordOrder) {
        CItemList& list = *ListOf(kind);
        ar << static_cast<std::uint32_t>(list.GetCount());
        for (CItemBase* item : list) {
            switch (kind) {
            case KIND_LINE:
                static_cast<CLine*>(item)->Serialize(ar, 0);
                break;
            case KIND_ARC:
                static_cast<CArc*>(item)->Serialize(ar, 0);
                break;
            case KIND_LAND:
                static_cast<CLand*>(item)->Serialize(ar, 0);
                break;
            case KIND_HOLE:
                static_cast<CHole*>(item)->Serialize(ar, version);
                break;
            case KIND_TEXT:
                static_cast<CText*>(item)->Serialize(ar, 0);
                break;
            case KIND_TER:
                static_cast<CTer*>(item)->Serialize(ar, 0);
                break;
            case KIND_SUR:
                static_cast<CSur*>(item)->Serialize(ar, 0, 1);
                break;
            case KIND_VIA:
                static_cast<CVia*>(item)->Serialize(ar, version);
                break;
            case KIND_PART:
                static_cast<CPart*>(item)->Serialize(ar, version);
                break;
            default:
                break;
            }
        }
    }
}

bool CSheet::DataRead(CArchive& ar, int version)
{
    std::int32_t sheetType = 0, layer = 0, count = 0;
    ar >> sheetType >> layer >> count;
    // The board file gives every sheet its place: a record that names another type or layer is
    // still read into this sheet, which keeps its own, and the caller is told.
    const bool matches = sheetType == m_nSheetType && layer == m_nLayer;
    if (count == 0)
        return matches;

    try {
        for (int kind : kRecordOrder) {
            const std::uint32_t n = ReadCount(ar);
            for (std::uint32_t i = 0; i < n; ++i) {
                switch (kind) {
                case KIND_LINE: {
                    CLine line;
                    line.SetTurretNo(0, false);
                    line.Serialize(ar, version);
                    NewLine(line);
                    break;
                }
                case KIND_ARC:
                    ReadItem<CArc>(*this, ar, version, &CSheet::NewArc);
                    break;
                case KIND_LAND:
                    ReadItem<CLand>(*this, ar, version, &CSheet::NewLand);
                    break;
                case KIND_HOLE:
                    ReadItem<CHole>(*this, ar, version, &CSheet::NewHole);
                    break;
                case KIND_TEXT:
                    ReadItem<CText>(*this, ar, version, &CSheet::NewText);
                    break;
                case KIND_TER:
                    ReadItem<CTer>(*this, ar, version, &CSheet::NewTer);
                    break;
                case KIND_SUR: {
                    // Read without a fill: storing makes it, once.
                    CSur sur;
                    sur.Serialize(ar, version, 1);
                    if (const CSur* stored = NewSur(sur))
                        stored->ReportFillTooLarge(ar);
                    break;
                }
                case KIND_VIA: {
                    // Records without per-layer ids leave them 0.
                    CVia via;
                    via.ResetLayerID();
                    via.Serialize(ar, version);
                    NewVia(via);
                    break;
                }
                case KIND_PART: {
                    CPart part;
                    part.Serialize(ar, version);
                    if (CPart* stored = NewPart(part))
                        for (POSITION pos = stored->GetFirstSurPos(); pos;)
                            stored->GetNextSur(pos)->ReportFillTooLarge(ar);
                    break;
                }
                default:
                    break;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // A record that asks for more memory than there is cannot be a board's.
        DeleteContents();
        throw ArchiveError(ArchiveError::BadFormat, "layer record: too large to read");
    } catch (...) {
        // A record cut short leaves no half-read layer behind.
        DeleteContents();
        throw;
    }
    return matches;
}
