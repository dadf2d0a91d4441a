// The item text form of a layer, which is also the clipboard's text: a "Layer n t" line, the
// items' own lines kind by kind, and "LayerEnd n". Reading dispatches on each line's keyword and
// keeps the nesting of parts, surfaces and their windows.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

// Whether the line begins with the keyword; ASCII letters compare without regard to case.
bool HasPrefix(const char* line, const char* keyword)
{
    for (; *keyword; ++line, ++keyword) {
        const unsigned char a = static_cast<unsigned char>(*line);
        const unsigned char b = static_cast<unsigned char>(*keyword);
        if (a == 0)
            return false;
        const unsigned char la = (a >= 'A' && a <= 'Z') ? static_cast<unsigned char>(a + 32) : a;
        const unsigned char lb = (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
        if (la != lb)
            return false;
    }
    return true;
}

// Leading blanks end at the first byte that is not a single-byte blank, so a lead byte always
// stops the skip.
const char* SkipBlanks(const char* s)
{
    while (*s == ' ' || *s == '\t' || *s == '\v' || *s == '\f')
        ++s;
    return s;
}

bool IsLineOrArc(const CItemBase* item)
{
    return item && (item->GetKind() == KIND_LINE || item->GetKind() == KIND_ARC);
}

// A "Name " line for a line or an arc: its name text, which the caller remembers as the last text.
CText* SetItemName(CItemBase* item, const char* line)
{
    if (item->GetKind() == KIND_LINE) {
        CLine* l = static_cast<CLine*>(item);
        l->SetName(line);
        l->ModifyType(LINE_NAMED, 0);
        return l->GetNameText();
    }
    CArc* a = static_cast<CArc*>(item);
    a->SetName(line);
    a->ModifyType(ARC_NAMED, 0);
    return a->GetNameText();
}

} // namespace

int CSheet::SerializeText(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (m_nCount == 0)
            return -1;
        const int number = m_nLayer + 1;
        ar.WriteString(platform::Format("Layer %d %d\n", number, m_nSheetType));
        for (CItemBase* item : *ListOf(KIND_ARC))
            static_cast<CArc*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_HOLE))
            static_cast<CHole*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_LAND))
            static_cast<CLand*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_LINE))
            static_cast<CLine*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_SUR))
            static_cast<CSur*>(item)->SerializeText(ar, false);
        for (CItemBase* item : *ListOf(KIND_TER))
            static_cast<CTer*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_TEXT))
            static_cast<CText*>(item)->SerializeText(ar, 1);
        for (CItemBase* item : *ListOf(KIND_PART))
            static_cast<CPart*>(item)->SerializeText(ar);
        for (CItemBase* item : *ListOf(KIND_VIA))
            static_cast<CVia*>(item)->SerializeText(ar);
        ar.WriteString(platform::Format("LayerEnd %d\n", number));
        return -1;
    }

    DocumentServices* doc = dynamic_cast<DocumentServices*>(ar.GetDocument());
    std::string buffer;
    bool atEnd = false;

    bool inLayer = false;
    int layerIndex = -1;
    CPart* part = nullptr;     // the open part (between "Part " and "PartEnd")
    CPart* lastPart = nullptr; // the part opened last, open or not ("Ref " and "Val " follow it)
    CSur* sur = nullptr;       // the open surface
    CSur* wnd = nullptr;       // the open window of the open surface
    CItemBase* lastItem = nullptr;
    CItemBase* lastOutline = nullptr; // the outline line or arc stored last into a surface
    CText* lastText = nullptr;        // the text a "Font " line applies to

    // Text that asks for more memory than there is cannot be a board's: the reader's own error.
    try {
        while (SerazileSub(ar, buffer, atEnd) > 0) {
            const char* line = SkipBlanks(buffer.c_str());
            if (!inLayer) {
                if (!HasPrefix(line, "Layer "))
                    continue;
                int number = 0;
                platform::Scan(line, "%*s %d", &number);
                layerIndex = number - 1;
                inLayer = layerIndex >= 0;
                continue;
            }

            if (HasPrefix(line, "LayerEnd ")) {
                return layerIndex;
            } else if (HasPrefix(line, "Line ")) {
                if (sur) {
                    // Outline lines of no length are dropped.
                    auto outline = std::make_unique<CLine>(line);
                    const CDPoint& s = outline->GetStartPoint();
                    const CDPoint& e = outline->GetEndPoint();
                    if (std::fabs(s.x - e.x) >= GEOM_TOLERANCE || std::fabs(s.y - e.y) >= GEOM_TOLERANCE) {
                        outline->SetCheck(true);
                        lastOutline = (wnd ? wnd : sur)->AddLine(std::move(outline));
                    } else {
                        lastOutline = nullptr;
                        lastItem = nullptr;
                    }
                } else {
                    const CLine read(line);
                    CLine* stored = part ? part->NewLine(read) : NewLine(read);
                    stored->SetCheck(true);
                    lastItem = stored;
                }
            } else if (HasPrefix(line, "Via ")) {
                const CVia read(line, doc);
                lastItem = part ? part->NewVia(read) : NewVia(read);
                lastText = nullptr;
            } else if (part && HasPrefix(line, "PartEnd")) {
                // The part's items carried part-layer codes; the loading text form turns them back into
                // board layers and renumbers the terminals.
                part->SerializeText(ar);
                part = nullptr;
                lastText = nullptr;
                lastItem = nullptr;
            } else if (HasPrefix(line, "Part ")) {
                const CPart read(line);
                part = NewPart(read);
                lastPart = part;
                lastItem = part;
            } else if (HasPrefix(line, "Land ")) {
                const CLand read(line);
                lastItem = part ? part->NewLand(read) : NewLand(read);
            } else if (HasPrefix(line, "Hole ")) {
                const CHole read(line);
                lastItem = part ? part->NewHole(read) : NewHole(read);
            } else if (HasPrefix(line, "Ter ")) {
                const CTer read(line);
                lastItem = part ? part->NewTer(read) : NewTer(read);
            } else if (HasPrefix(line, "Name ")) {
                if (sur) {
                    if (IsLineOrArc(lastOutline))
                        lastText = SetItemName(lastOutline, line);
                } else if (IsLineOrArc(lastItem)) {
                    lastText = SetItemName(lastItem, line);
                } else if (lastItem && lastItem->GetKind() == KIND_PART && part) {
                    part->SetPartName(line);
                    lastText = part->GetPartNameText();
                }
            } else if (HasPrefix(line, "Ref ")) {
                if (lastPart) {
                    lastPart->SetRefName(line);
                    lastText = lastPart->GetRefNameText();
                }
            } else if (HasPrefix(line, "Val ")) {
                if (lastPart) {
                    lastPart->SetValue(line);
                    lastText = lastPart->GetValNameText();
                }
            } else if (HasPrefix(line, "No ")) {
                if (lastItem && lastItem->GetKind() == KIND_TER) {
                    CTer* ter = static_cast<CTer*>(lastItem);
                    ter->SetName(line);
                    lastText = ter->GetNoText();
                }
            } else if (HasPrefix(line, "Arc ")) {
                const CArc read(line);
                if (wnd) {
                    lastOutline = wnd->NewArc(read);
                } else if (sur) {
                    lastOutline = sur->NewArc(read);
                } else {
                    lastItem = part ? part->NewArc(read) : NewArc(read);
                }
            } else if (HasPrefix(line, "Text ")) {
                CText read(line);
                if (wnd) {
                    lastText = wnd->NewText(read);
                } else if (sur) {
                    lastText = sur->NewText(read);
                } else if (part) {
                    lastText = part->NewText(read);
                } else {
                    read.Disp(1);
                    lastText = NewText(read);
                    lastItem = lastText;
                }
            } else if (HasPrefix(line, "Font ")) {
                if (lastText)
                    lastText->SetFont(line);
            } else if (HasPrefix(line, "SurEnd")) {
                // The outline is complete only now: a surface of this sheet gets the fill that storing
                // it would have made for this outline.
                if (sur && sur->GetParent() == this && !(GetSheetBitType() & SHEETBIT_OWN_LAYERS) &&
                    !sur->IsNoCont()) {
                    sur->MakeSurLine(true);
                    sur->ReportFillTooLarge(ar);
                }
                sur = nullptr;
                wnd = nullptr;
                lastOutline = nullptr;
            } else if (HasPrefix(line, "Sur ")) {
                const CSur read(line);
                sur = part ? part->NewSur(read) : NewSur(read);
                wnd = nullptr;
                lastOutline = nullptr;
            } else if (HasPrefix(line, "WndEnd")) {
                wnd = nullptr;
            } else if (HasPrefix(line, "Wnd ")) {
                if (sur) {
                    const CSur read(line);
                    wnd = sur->NewWindow(read);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        throw ArchiveError(ArchiveError::BadFormat, "item text: too large to read");
    }
    return -1;
}

int CSheet::SerazileSub(CArchive& ar, std::string& buffer, bool& atEnd)
{
    buffer.clear();
    if (atEnd)
        return 0;
    const std::vector<std::uint8_t>& data = ar.Data();
    const std::size_t begin = ar.GetPosition();
    const std::size_t end = data.size();
    std::size_t i = begin;
    while (i < end && data[i] != '\n' && data[i] != '\r' && data[i] != 0)
        ++i;
    buffer.assign(reinterpret_cast<const char*>(data.data()) + begin, i - begin);
    const int result = static_cast<int>(buffer.size()) + 1;
    if (i == end || data[i] == 0) {
        // A zero byte, or the end of the data, ends the text; a line before it still counts.
        atEnd = true;
        ar.Seek(i == end ? end : i + 1);
        return buffer.empty() ? 0 : result;
    }
    // A carriage return takes a line feed after it along, and nothing else.
    if (data[i] == '\r' && i + 1 < end && data[i + 1] == '\n')
        ++i;
    ar.Seek(i + 1);
    return result;
}
