// Editing the items of a selection sheet through their dialogs. One item runs its own dialog;
// several run the dialog once on a blank item in its multiple mode, and only what the user set
// there (every other field holds a code meaning "unchanged") is copied to each item.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetItems.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kUnchanged = "***";
constexpr const char* kCocName = "COC";
constexpr double kTolerance = 1e-6;
constexpr int kSameShapeMask = 0xF0;
constexpr int kAllFieldsUnchanged = 15;
constexpr int kNameTypeMask = 0x7000; // name, automatic length, automatic angle
constexpr int kLineTypeMask = 0xE00;


// A two-bit answer: 0 no, 2 unchanged, anything else yes.
int Field(int code, int shift)
{
    return (code >> shift) & 3;
}

// The C library's atoi, saturating instead of overflowing on long digit runs.
int SaturatingAtoi(const char* s)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

void TrimRight(std::string& s)
{
    while (!s.empty() && (s.back() == ' ' || (s.back() >= '\t' && s.back() <= '\r')))
        s.pop_back();
}

int Negate(int step)
{
    return step == INT_MIN ? INT_MAX : -step;
}

// Type bits 0x4 and 0x2 of vias and round holes from the blank's fields: the 0x4 field first, the
// 0x2 field second; the two bits exclude each other. True when the type changed.
bool ApplyKindFields(CItemBase* item, int nibble)
{
    const int before = item->GetType();
    const int check = nibble & 3, test = nibble >> 2;
    if (check == 0) {
        if (item->GetType() & 0x4)
            item->ModifyType(0, 0x4);
    } else if (check != 2) {
        if (!(item->GetType() & 0x4))
            item->ModifyType(0x4, 0x2);
    }
    if (test == 0)
        item->ModifyType(0, 0x2);
    else if (test != 2)
        item->ModifyType(0x2, 0x4);
    return item->GetType() != before;
}

// The numbering rule: the blank's string s given to the texts in list order. With keepOwn the
// texts keep their strings when s has no base (free texts); otherwise they are emptied (line and
// arc names).
bool ApplyNumbering(const std::string& blankString, const std::vector<CText*>& texts, bool keepOwn)
{
    if (blankString == kUnchanged)
        return false;
    std::vector<std::string> before;
    for (CText* text : texts)
        before.push_back(text->GetName());
    const bool relative =
        blankString.find("+=") != std::string::npos || blankString.find("-=") != std::string::npos;
    std::string base = blankString;
    const int step = CSheet::ParseIncrementSuffix(base);
    const int digits = CSheet::GetTrailingDigits(base);
    if (digits != 0) {
        CText running(base, CDPoint(), 0);
        for (CText* text : texts) {
            text->SetName(running.GetName());
            if (step != 0)
                running.IncName(step);
        }
    } else {
        for (CText* text : texts) {
            if (!base.empty()) {
                std::string own = text->GetName();
                const int ownDigits = CSheet::GetTrailingDigits(own);
                if (ownDigits != 0 && relative)
                    text->SetName(base + own.substr(own.size() - static_cast<std::size_t>(ownDigits)));
                else
                    text->SetName(base);
            } else if (!keepOwn) {
                text->SetName(std::string());
            }
            if (step != 0)
                text->IncName(step);
        }
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i]->GetName() != before[i])
            return true;
    }
    return false;
}

// Arrows and name display of a line or arc from the packed word of the blank line.
template <class T> bool ApplyArrowCode(T* item, int code, int blankStart, int blankEnd)
{
    auto replace = [](int own, int arrow, int dot) {
        return (arrow == 1 && own <= 0) || (arrow == 0 && own >= 1) || (dot == 1 && own >= 0) ||
               (dot == 0 && own < 0);
    };
    bool changed = false;
    const bool start = replace(item->GetStartArrow(), Field(code, 0), Field(code, 4));
    const bool end = replace(item->GetEndArrow(), Field(code, 2), Field(code, 6));
    if (start || end) {
        const int newStart = start ? blankStart : item->GetStartArrow();
        const int newEnd = end ? blankEnd : item->GetEndArrow();
        changed = newStart != item->GetStartArrow() || newEnd != item->GetEndArrow();
        item->SetArrow(newStart, newEnd);
    }
    const int display = Field(code, 8);
    CText* name = item->GetNameText();
    if (!item->IsNameEmpty() && !name->GetName().empty() && (display == 0 || display == 1)) {
        if (name->IsDisp() != display) {
            name->Disp(display);
            changed = true;
        }
    }
    return changed;
}

// Re-measures a named item by its name bits: a line with the frame's dimension style; an arc by
// its own bits (its SetDimension would force the angle measure).
void Remeasure(CLine* line, const tagDIMS& style)
{
    line->SetDimension(style);
}

void Remeasure(CArc* arc, const tagDIMS&)
{
    arc->ChangeDimension();
}

// The name, turret, line type, arrows and display of the blank line given to one line or arc.
template <class T>
bool ApplyLineBlank(T* item, CLine& blank, const std::string& name, const tagDIMS& style, bool nameSet)
{
    const int before = item->GetType();
    const int blankType = blank.GetType();
    bool changed = false;
    if (name != kUnchanged) {
        if ((blankType & 0x1000) && (blankType & 0x2000)) {
            item->ModifyType(0x3000, kNameTypeMask);
            Remeasure(item, style);
            changed = true;
        } else if ((blankType & 0x1000) && (blankType & 0x4000)) {
            item->ModifyType(0x5000, kNameTypeMask);
            Remeasure(item, style);
            changed = true;
        } else if (nameSet) {
            const bool wasNamed = !item->IsNameEmpty();
            item->ModifyType(item->GetNameText()->GetName().empty() ? 0 : 0x1000, kNameTypeMask);
            if (wasNamed || !item->IsNameEmpty())
                Remeasure(item, style);
            changed = true;
        }
    }
    const int turret = blank.GetTurretNo();
    if (turret >= 0 && item->GetTurretNo() != turret) {
        item->SetTurretNo(turret, false);
        changed = true;
    }
    const int lineType = blankType & kLineTypeMask;
    if (lineType != kLineTypeMask && (item->GetType() & kLineTypeMask) != lineType)
        item->ModifyType(lineType, kLineTypeMask);
    const int code = static_cast<int>(blank.GetStartPoint().x);
    changed |= ApplyArrowCode(item, code, blank.GetStartArrow(), blank.GetEndArrow());
    return changed || item->GetType() != before;
}

} // namespace

int CSheet::ParseIncrementSuffix(std::string& name)
{
    const std::size_t n = name.size();
    if (n >= 2 && name.compare(n - 2, 2, "++") == 0) {
        name.erase(n - 2);
        return 1;
    }
    if (n >= 2 && name.compare(n - 2, 2, "--") == 0) {
        name.erase(n - 2);
        return -1;
    }
    for (const char* op : {"+=", "-="}) {
        const std::size_t at = name.find(op);
        if (at == std::string::npos)
            continue;
        const int step = SaturatingAtoi(name.c_str() + at + 2);
        name.erase(at);
        TrimRight(name);
        return op[0] == '+' ? step : Negate(step);
    }
    return 0;
}

int CSheet::GetTrailingDigits(std::string& name)
{
    TrimRight(name);
    if (name.empty())
        return 0;
    std::vector<platform::Cp932Char> chars;
    for (platform::Cp932Char c : platform::Chars(name))
        chars.push_back(c);
    // Full-width digits "０" to "９" are 0x824F to 0x8258.
    const bool wide = chars.back().IsDoubleByte();
    int length = 0;
    for (auto it = chars.rbegin(); it != chars.rend(); ++it) {
        const bool digit = wide ? (it->IsDoubleByte() && it->code >= 0x824F && it->code <= 0x8258)
                                : (!it->IsDoubleByte() && it->code >= '0' && it->code <= '9');
        if (!digit)
            break;
        length += static_cast<int>(it->width);
    }
    return length;
}

int CSheet::EditItem()
{
    if (IsEmpty())
        return 0;
    auto only = [this](int kind) { return GetKindCount(kind) == m_nCount; };
    if (m_nSheetType == SHEET_SELECT_VIAPART) {
        if (only(KIND_PART))
            return EditPart();
        if (only(KIND_VIA))
            return EditVia();
        return 0;
    }
    if (only(KIND_HOLE)) {
        const int shape = GetHeadHole()->GetType() & kSameShapeMask;
        for (CHole* hole : ListItems<CHole>(*this, KIND_HOLE)) {
            if ((hole->GetType() & kSameShapeMask) != shape) {
                AfxMessageBox(_J("同じ種類のホールを選択してください"));
                return 0;
            }
        }
        return EditHole();
    }
    if (only(KIND_LAND))
        return EditLand();
    if (only(KIND_TEXT))
        return EditText();
    if (only(KIND_SUR))
        return EditSur();
    if (GetKindCount(KIND_LINE) + GetKindCount(KIND_ARC) > 0)
        return EditLine();
    return 0;
}

int CSheet::EditVia()
{
    std::vector<CVia*> vias = ListItems<CVia>(*this, KIND_VIA);
    if (vias.empty())
        return 0;
    if (vias.size() == 1)
        return vias.front()->EditVia(false, nullptr) ? 1 : 0;
    CVia blank;
    int keep = -1;
    if (!blank.EditVia(true, &keep))
        return 0;
    bool changed = false;
    const int number = blank.GetViaNo();
    if (number != 0) {
        for (CVia* via : vias) {
            if (via->GetViaNo() != number) {
                via->SetViaNo(number, false);
                changed = true;
            }
        }
    }
    const int nibble = blank.GetType() & 0xF;
    if (nibble != kAllFieldsUnchanged) {
        for (CVia* via : vias)
            changed |= ApplyKindFields(via, nibble);
    }
    if (keep != -1) {
        const int wires = m_pDoc ? m_pDoc->GetWireLayerCount() : 0;
        for (CVia* via : vias) {
            for (int i = 1; i <= wires && i <= 32; ++i) {
                const int bit = static_cast<int>(1u << (i - 1));
                if (keep & bit)
                    continue;
                if (blank.GetWireLay() & bit)
                    via->SetWire(i, 0);
                else
                    via->ResetWire(i);
            }
        }
        changed = true;
    }
    return changed ? 1 : 0;
}

int CSheet::EditHole()
{
    std::vector<CHole*> holes = ListItems<CHole>(*this, KIND_HOLE);
    if (holes.empty())
        return 0;
    if (holes.size() == 1)
        return holes.front()->InputHole(m_pDoc, true, 0) != 0 ? 1 : 0;
    const int oldShape = holes.front()->GetType() & kSameShapeMask;
    CHole blank;
    blank.ModifyType(oldShape, kSameShapeMask);
    if (blank.InputHole(m_pDoc, true, 1) == 0)
        return 0;
    const int shape = blank.GetType() & kSameShapeMask;
    const int nibble = blank.GetType() & 0xF;
    double dia = 0.0, width = 0.0, radius = 0.0, angle = 0.0;
    blank.GetSHoleData(dia, width, radius, angle);
    if (shape == 0)
        width = radius = angle = 0.0;
    bool changed = false;
    if (shape == oldShape && shape != 0) {
        for (CHole* hole : holes) {
            double d = 0.0, w = 0.0, r = 0.0, a = 0.0;
            hole->GetSHoleData(d, w, r, a);
            bool any = false;
            auto take = [&any](double& own, double value, bool valid) {
                if (valid && std::fabs(own - value) > kTolerance) {
                    own = value;
                    any = true;
                }
            };
            take(d, dia, dia > 0.0);
            take(w, width, width > 0.0);
            take(r, radius, radius > 0.0);
            take(a, angle, angle >= 0.0);
            if (any) {
                hole->SetSHoleData(d, w, r, a);
                hole->ResetBounding();
                changed = true;
            }
        }
    } else if (shape == oldShape) {
        for (CHole* hole : holes) {
            if (dia != 0.0 && std::fabs(hole->GetHoleDia() - dia) > kTolerance) {
                hole->SetHoleDia(dia);
                changed = true;
            }
            if (nibble != kAllFieldsUnchanged)
                changed |= ApplyKindFields(hole, nibble);
        }
    } else {
        for (CHole* hole : holes) {
            // A size the dialog left undetermined keeps each hole's own.
            double d = 0.0, w = 0.0, r = 0.0, a = 0.0;
            hole->GetSHoleData(d, w, r, a);
            hole->ModifyType(shape, kSameShapeMask);
            if (shape == 0)
                hole->SetSHoleData(dia > 0.0 ? dia : d, 0.0, 0.0, 0.0);
            else
                hole->SetSHoleData(dia > 0.0 ? dia : d, width > 0.0 ? width : w, radius > 0.0 ? radius : r,
                                   angle >= 0.0 ? angle : a);
            hole->ResetBounding();
            if (shape != 0) {
                hole->ModifyType(0, 0xF);
            } else if (nibble != kAllFieldsUnchanged) {
                if (Field(nibble, 0) == 1)
                    hole->ModifyType(0x4, 0x6);
                if (Field(nibble, 2) == 1)
                    hole->ModifyType(0x2, 0x6);
            }
        }
        changed = true;
    }
    return changed ? 1 : 0;
}

int CSheet::EditLand()
{
    std::vector<CLand*> lands = ListItems<CLand>(*this, KIND_LAND);
    if (lands.empty())
        return 0;
    if (lands.size() == 1)
        return lands.front()->EditLand(false) ? 1 : 0;
    CLand blank;
    if (!blank.EditLand(true))
        return 0;
    const int turret = blank.GetTurretNo();
    bool changed = false;
    if (turret != 0) {
        for (CLand* land : lands) {
            if (land->GetTurretNo() != turret) {
                land->SetTurretNo(turret, false);
                changed = true;
            }
        }
    }
    return changed ? 1 : 0;
}

int CSheet::EditSur()
{
    std::vector<CSur*> surs = ListItems<CSur>(*this, KIND_SUR);
    if (surs.empty())
        return 0;
    if (surs.size() == 1)
        return surs.front()->EditSur(false) ? 1 : 0;
    CSur blank;
    if (!blank.EditSur(true))
        return 0;
    bool changed = false;
    const int turret = blank.GetTurretNo();
    if (turret >= 0) {
        for (CSur* sur : surs) {
            if (sur->GetTurretNo() != turret) {
                sur->SetTurretNo(turret, false);
                changed = true;
            }
        }
    }
    const int code = blank.GetLayerNo();
    const int noFill = Field(code, 0);
    if (noFill != 2) {
        const int want = noFill == 0 ? 0 : SUR_NOFILL;
        for (CSur* sur : surs) {
            if ((sur->GetType() & SUR_NOFILL) != want) {
                sur->ModifyType(want, SUR_NOFILL);
                sur->ResetBounding();
                changed = true;
            }
        }
    }
    const int coc = Field(code, 2);
    if (coc != 2) {
        const std::string value = coc == 0 ? std::string() : blank.GetProperty(kCocName);
        for (CSur* sur : surs) {
            const std::string own = sur->GetProperty(kCocName);
            if (own == value)
                continue;
            sur->DeleteProperty(kCocName);
            if (!value.empty())
                sur->SetProperty(kCocName, value.c_str());
            changed = true;
        }
    }
    return changed ? 1 : 0;
}

int CSheet::EditLine()
{
    const int lines = GetKindCount(KIND_LINE), arcs = GetKindCount(KIND_ARC);
    if (lines + arcs == 0)
        return 0;
    if (lines + arcs == 1) {
        if (lines == 1)
            return GetHeadLine()->InputText(false) ? 1 : 0;
        return GetHeadArc()->InputText(false) ? 1 : 0;
    }
    CLine blank(CDPoint(), CDPoint(), 0, 0);
    blank.SetArrow(0, 0);
    // The dialog leaves the name of the blank as it finds it when the user keeps it unchanged.
    blank.GetNameText()->SetName(std::string(kUnchanged));
    if (!blank.InputText(true))
        return 0;
    SortLine();
    const std::string name = blank.GetNameText()->GetName();
    const tagDIMS style = GetBoardDimensionStyle();
    const int blankType = blank.GetType();
    const bool autoDim = (blankType & 0x1000) && (blankType & 0x6000);
    bool nameSet = false;
    if (name != kUnchanged && !autoDim) {
        std::vector<CText*> names;
        for (CLine* line : ListItems<CLine>(*this, KIND_LINE))
            names.push_back(line->GetNameText());
        for (CArc* arc : ListItems<CArc>(*this, KIND_ARC))
            names.push_back(arc->GetNameText());
        ApplyNumbering(name, names, false);
        nameSet = true;
    }
    bool changed = false;
    for (CLine* line : ListItems<CLine>(*this, KIND_LINE))
        changed |= ApplyLineBlank(line, blank, name, style, nameSet);
    for (CArc* arc : ListItems<CArc>(*this, KIND_ARC))
        changed |= ApplyLineBlank(arc, blank, name, style, nameSet);
    return changed ? 1 : 0;
}

void CSheet::ChangeTextOrg(int origin, int alsoSelected)
{
    for (CText* text : ListItems<CText>(*this, KIND_TEXT))
        text->SetOrg(origin);
    if (!alsoSelected)
        return;
    auto selected = [origin](CText* text) {
        if (text->GetType() & TEXT_SELECTED)
            text->SetOrg(origin);
    };
    for (CTer* ter : ListItems<CTer>(*this, KIND_TER))
        selected(ter->GetNoText());
    for (CPart* part : ListItems<CPart>(*this, KIND_PART)) {
        selected(part->GetPartNameText());
        selected(part->GetRefNameText());
        selected(part->GetValNameText());
        for (POSITION pos = part->GetFirstTextPos(); pos;)
            selected(part->GetNextText(pos));
        for (POSITION pos = part->GetFirstTerPos(); pos;)
            selected(part->GetNextTer(pos)->GetNoText());
    }
}

int CSheet::EditText()
{
    std::vector<CText*> texts = ListItems<CText>(*this, KIND_TEXT);
    if (texts.empty())
        return 0;
    if (texts.size() == 1)
        return texts.front()->InputText(m_pDoc, true, 0) != 0 ? 1 : 0;
    CText blank(kUnchanged, CDPoint(), 0);
    if (blank.InputText(m_pDoc, true, 1) == 0)
        return 0;
    SortText();
    texts = ListItems<CText>(*this, KIND_TEXT);
    return EditTextSub(&blank, &texts);
}

int CSheet::EditTextSub(CText* blank, std::vector<CText*>* texts)
{
    if (!blank || !texts || texts->empty())
        return 0;
    bool changed = ApplyNumbering(blank->GetName(), *texts, true);
    const int code = static_cast<int>(blank->GetPoint().y);

    // Origin: each part replaced unless its field is 3.
    static constexpr int kHorizontal[3] = {0, 6, 2};
    static constexpr int kVertical[3] = {0, 24, 8};
    const int h = Field(code, 0), v = Field(code, 2);
    for (CText* text : *texts) {
        const int own = text->GetType() & 0x7F;
        const int newH = h == 3 ? own & 0x6 : kHorizontal[h];
        const int newV = v == 3 ? own & 0x18 : kVertical[v];
        if (newH != (own & 0x6) || newV != (own & 0x18)) {
            text->ModifyType(newH | newV, 0x7F);
            changed = true;
        }
    }
    if (((code >> 4) & 7) != 7) {
        const double angle = blank->GetAngle();
        for (CText* text : *texts) {
            if (std::fabs(text->GetAngle() - angle) > kTolerance) {
                text->SetAngle(angle);
                text->ResetBounding();
                changed = true;
            }
        }
    }
    const int printable = Field(code, 7);
    if (printable != 2) {
        const int want = printable == 0 ? 0 : 1;
        for (CText* text : *texts) {
            if ((text->IsPrint() != 0) != (want != 0)) {
                text->Print(want);
                changed = true;
            }
        }
    }
    const int mirror = Field(code, 9);
    if (mirror != 2) {
        const int want = mirror == 0 ? 0 : TEXT_MIRROR;
        for (CText* text : *texts) {
            if ((text->GetType() & TEXT_MIRROR) != want) {
                text->ModifyType(want, TEXT_MIRROR);
                changed = true;
            }
        }
    }
    const int frame = Field(code, 11);
    const int style = blank->GetType() & TEXT_FRAME_DIST_MASK;
    if (frame == 0) {
        for (CText* text : *texts) {
            if (text->GetType() & TEXT_FRAME) {
                text->ModifyType(0, TEXT_FRAME | TEXT_FRAME_DIST_MASK);
                changed = true;
            }
        }
    } else if (frame != 2) {
        for (CText* text : *texts) {
            if (!(text->GetType() & TEXT_FRAME) || (text->GetType() & TEXT_FRAME_DIST_MASK) != style) {
                text->ModifyType(TEXT_FRAME | style, TEXT_FRAME | TEXT_FRAME_DIST_MASK);
                changed = true;
            }
        }
    }
    const int font = Field(code, 13);
    const LOGFONTA blankFont = *blank->GetFont();
    if (font != 0 && font != 3) {
        for (CText* text : *texts) {
            if (text->IsStroke())
                continue;
            text->ModifyType(TEXT_STROKE, TEXT_STROKE | TEXT_OWN_FONT);
            if (blankFont.lfHeight == 0) {
                const int size = text->GetSize();
                LOGFONTA record;
                record.lfCharSet = 0;
                record.lfHeight = size;
                record.lfWidth = static_cast<std::int32_t>(size * 0.8);
                record.lfWeight = static_cast<std::int32_t>(size * 0.2);
                text->SetFontRecord(record);
                text->SetTurretNo(0, false);
            }
            changed = true;
        }
        const int turret = blank->GetTurretNo();
        if (turret >= 0) {
            for (CText* text : *texts) {
                if (text->GetTurretNo() != turret) {
                    text->SetTurretNo(turret, false);
                    changed = true;
                }
            }
        }
        if (blankFont.lfCharSet != 0xFF) {
            for (CText* text : *texts) {
                LOGFONTA own = *text->GetFont();
                if (own.lfCharSet == blankFont.lfCharSet)
                    continue;
                if (blankFont.lfCharSet != 0) {
                    own = blankFont;
                } else {
                    own.lfCharSet = 0;
                    if (blankFont.lfHeight != 0)
                        own.lfHeight = blankFont.lfHeight;
                    if (blankFont.lfWidth != 0)
                        own.lfWidth = blankFont.lfWidth;
                    if (blankFont.lfWeight != 0)
                        own.lfWeight = blankFont.lfWeight;
                }
                text->SetFontRecord(own);
                changed = true;
            }
        }
    } else if (font == 0) {
        for (CText* text : *texts) {
            if (text->IsStroke()) {
                // A stroke text turning TrueType keeps its height as its size unless one is given.
                text->ModifyType(0, TEXT_STROKE);
                if (blank->GetSize() == 0)
                    text->SetSize(text->GetFont()->lfHeight);
                if (text->GetType() & TEXT_FRAME) {
                    text->SetTurretNo(0, false);
                    text->SetFontRecord(LOGFONTA());
                }
                changed = true;
            }
            if (blank->GetSize() != 0 && text->GetSize() != blank->GetSize()) {
                text->SetSize(blank->GetSize());
                changed = true;
            }
            if (blankFont.lfHeight >= 1 && !text->IsSPFont()) {
                text->ModifyType(TEXT_OWN_FONT, TEXT_OWN_FONT);
                text->SetFontRecord(blankFont);
                changed = true;
            } else if (blankFont.lfHeight == 0 && text->IsSPFont()) {
                text->ModifyType(0, TEXT_OWN_FONT);
                text->SetFontRecord(blankFont);
                changed = true;
            }
        }
    }
    if (changed) {
        for (CText* text : *texts)
            text->ResetBounding();
    }
    return changed ? 1 : 0;
}

int CSheet::EditPart()
{
    std::vector<CPart*> parts = ListItems<CPart>(*this, KIND_PART);
    if (parts.empty())
        return 0;
    if (parts.size() == 1)
        return parts.front()->EditPart(m_pDoc, false, false) != 0 ? 1 : 0;

    CPart* first = parts.front();
    bool sameName = true, sameValue = !first->GetValName().empty();
    for (CPart* part : parts) {
        sameName &= platform::MbsICmp(part->GetPartName(), first->GetPartName()) == 0;
        sameValue &= part->GetValName() == first->GetValName();
    }
    CPart blank;
    blank.SetPartName(*first->GetPartNameText());
    blank.SetRefName(*first->GetRefNameText());
    blank.SetValue(*first->GetValNameText());
    if (!sameName)
        blank.GetPartNameText()->SetName(std::string(kUnchanged));
    if (!sameValue)
        blank.GetValNameText()->SetName(std::string(kUnchanged));
    const std::string valueBefore = blank.GetValName();
    if (blank.EditPart(m_pDoc, true, sameName) == 0)
        return 0;
    if (sameValue && blank.GetValName() == valueBefore)
        blank.GetValNameText()->SetName(std::string(kUnchanged));

    std::vector<std::string> before;
    std::vector<int> typesBefore;
    for (CPart* part : parts) {
        before.push_back(part->GetTextLines(m_pDoc));
        typesBefore.push_back(part->GetType());
    }

    // Text attributes (strings by the rules below, not here).
    std::vector<CText*> names, values, refs;
    for (CPart* part : parts) {
        names.push_back(part->GetPartNameText());
        if (!part->GetValName().empty())
            values.push_back(part->GetValNameText());
        if (!part->GetRefName().empty())
            refs.push_back(part->GetRefNameText());
    }
    const std::string blankName = blank.GetPartName(), blankRef = blank.GetRefName(),
                      blankValue = blank.GetValName();
    for (auto [text, list] :
         {std::pair{blank.GetPartNameText(), &names}, std::pair{blank.GetValNameText(), &values},
          std::pair{blank.GetRefNameText(), &refs}}) {
        CText attributes(*text);
        attributes.SetName(std::string(kUnchanged));
        EditTextSub(&attributes, list);
    }

    const int code = static_cast<int>(blank.GetPartNameText()->GetPoint().x);
    for (CPart* part : parts) {
        auto show = [](CText* text, int field) {
            if (field != 2 && !text->GetName().empty())
                text->Disp(field == 0 ? 0 : 1);
        };
        show(part->GetValNameText(), Field(code, 0));
        show(part->GetRefNameText(), Field(code, 2));
        show(part->GetPartNameText(), Field(code, 4));
        const int side = Field(code, 8);
        const bool other = (part->GetType() & PART_OTHER_SIDE) != 0;
        if (side == 1 && !other) {
            part->PartLayToID(m_pDoc);
            part->ModifyType(PART_OTHER_SIDE, PART_OTHER_SIDE);
            part->IDToPartLay(m_pDoc, 1);
            if (!(part->GetType() & PART_MIRRORED))
                part->MirrorX(part->GetOrg().x);
            part->ModifyType(PART_MIRRORED, PART_MIRRORED);
        } else if (side == 0 && other) {
            part->PartLayToID(m_pDoc);
            part->IDToPartLay(m_pDoc, 1);
            part->PartLayToID(m_pDoc);
            part->ModifyType(0, PART_OTHER_SIDE);
            part->IDToPartLay(m_pDoc, 0);
            if (part->GetType() & PART_MIRRORED)
                part->MirrorX(part->GetOrg().x);
            part->ModifyType(0, PART_MIRRORED);
        }
        const int placed = Field(code, 6);
        if (placed == 0)
            part->ModifyType(0, PART_PLACED);
        else if (placed == 1 && part->GetRefName().find('?') == std::string::npos)
            part->ModifyType(PART_PLACED, PART_PLACED);
        int locks = 0;
        if (Field(code, 10) == 1)
            locks |= PART_ROTATE_LOCK;
        if (Field(code, 12) == 1)
            locks |= PART_MOVE_LOCK;
        if (Field(code, 14) == 1)
            locks |= 0x20;
        part->ModifyType(locks, 0x20 | PART_ROTATE_LOCK | PART_MOVE_LOCK);
        const int scale = Field(code, 16);
        if (scale == 1)
            part->ModifyType(0, PART_SCALABLE);
        else if (scale == 0 && (part->GetType() & (PART_SCALABLE | PART_SCALED)))
            part->ModifyType(PART_SCALABLE, PART_SCALABLE);
    }

    if (sameName && blankName != kUnchanged) {
        for (CPart* part : parts) {
            if (part->GetPartName() != blankName)
                part->GetPartNameText()->SetName(blankName);
        }
    }

    if (blankRef != kUnchanged) {
        const bool relative =
            blankRef.find("+=") != std::string::npos || blankRef.find("-=") != std::string::npos;
        std::string base = blankRef;
        const int step = ParseIncrementSuffix(base);
        const int digits = GetTrailingDigits(base);
        CPart running;
        running.SetPartName("VELTA");
        running.GetRefNameText()->SetName(base);
        for (CPart* part : parts) {
            if (part->GetRefName().empty())
                continue;
            std::string prefix, suffix;
            int number = 0;
            part->GetRefName(prefix, suffix, number);
            std::string ref;
            if (digits != 0) {
                ref = running.GetRefName() + suffix;
                part->GetRefNameText()->SetName(ref);
                running.IncRefName(step);
                continue;
            }
            if (base.empty())
                ref = part->GetRefName();
            else if (number != 0 && relative)
                ref = base + std::to_string(number) + suffix;
            else if (base.find('?') == std::string::npos)
                ref = base + "?" + suffix;
            else
                ref = base + suffix;
            part->GetRefNameText()->SetName(ref);
            if (step != 0)
                part->IncRefName(step);
        }
    }

    if (blankValue != kUnchanged)
        ApplyNumbering(blankValue, values, true);

    bool changed = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        CPart* part = parts[i];
        if (blank.GetType() & 0x800)
            part->ModifyType(0, 0x800);
        part->CalcBoundRect(m_pDoc);
        changed |= part->GetType() != typesBefore[i] || part->GetTextLines(m_pDoc) != before[i];
    }
    return changed ? 1 : 0;
}
