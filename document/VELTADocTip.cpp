// The item tip: a description of the first item under the cursor, in a fixed search order.

#include "document/VELTADoc.h"

#include "document/NumberText.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <numbers>
#include <vector>

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

std::string Num(double value)
{
    char buffer[64];
    FormatNumberToBuffer(buffer, value);
    return buffer;
}

// Items of one kind whose bounds hold the point, in list order (answered from the sheet's index).
std::vector<CItemBase*> ItemsAt(CSheet& sheet, int kind, const CDPoint& point)
{
    std::vector<CItemBase*> found;
    sheet.GetItemsIn(kind, CDRect(point.x, point.y, point.x, point.y), found);
    return found;
}

std::string HoleKindText(int type)
{
    if (type & 0x4)
        return _J("\n捨て穴");
    if (type & 0x2)
        return _J("\nテストクーポン");
    return std::string();
}

} // namespace

bool CVELTADoc::GetItemTipText(CDPoint point, std::string& text)
{
    auto user = [this](const CDPoint& p) {
        CDPoint u = p;
        ToUserOrigin(u, 0);
        char buffer[160];
        FormatPointText(buffer, u.x, u.y);
        return std::string(buffer);
    };

    if (m_bViaOnDisplayed) {
        for (CItemBase* item : ItemsAt(m_viaPartSheet, KIND_VIA, point)) {
            CVia* via = static_cast<CVia*>(item);
            if (!via->CheckPoint(point))
                continue;
            text = platform::Format("<Via> %d\n(%s)", via->GetViaNo(), user(via->GetPoint()).c_str());
            text += HoleKindText(via->GetType());
            return true;
        }
    }
    if (m_bPartOnDisplayed) {
        for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
            CPart* part = m_viaPartSheet.GetNextPart(pos);
            CDPoint at = point;
            if (!part->GetBoundingRect().PtInRect(point) || !part->CheckItemPoint(at, -1, 0.0))
                continue;
            text = "<Part>\nName:" + part->GetPartName();
            if (!part->GetRefName().empty())
                text += "\nRef :" + part->GetRefName();
            if (!part->GetValName().empty())
                text += "\nVal :" + part->GetValName();
            text += "\n(" + user(part->GetOrg()) + ") " + Num(part->GetAngle() * kDegrees);
            const tagPARTLAYER coc = m_stack.partLayers[PL_COCAREA];
            CDRect area;
            part->GetCOCArea(part->IsPartSide() ? coc.layerA : coc.layerB, area);
            if (!area.IsRectEmpty())
                text += "\nH=" + Num(area.Width()) + " x " + Num(area.Height());
            const int mount = part->GetType() & 0x3;
            const std::string mountText = mount == 0   ? std::string("DIP")
                                          : mount == 1 ? std::string("SMD")
                                          : mount == 2 ? _J("エッジ")
                                                       : _J("非回路");
            std::string classText;
            switch (part->GetType() & 0xC) {
            case 4:
                classText = _J("モジュール");
                break;
            case 8:
                classText = _J("ディスク");
                break;
            case 12:
                classText = _J("コネクタ");
                break;
            default:
                classText = _J("未定義");
                break;
            }
            text += "\n" + mountText + "/" + classText;
            if (part->GetType() & 0x8000) {
                for (POSITION tp = part->GetFirstTerPos(); tp;) {
                    CTer* ter = part->GetNextTer(tp);
                    if (!ter->CheckPoint(point))
                        continue;
                    text += "\n<No> " + ter->GetNo();
                    if (m_bProjectNet) {
                        for (const auto& net : m_nets)
                            if (ter->GetID() != 0 && net->GetID() == ter->GetID())
                                text += "\n<Net>" + net->GetNetName();
                    }
                    break;
                }
            }
            return true;
        }
    }

    for (const auto& entry : m_displayList) {
        const int layer = entry.second;
        if (layer < 0 || layer >= LAYER_MAX)
            continue;
        CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
        if (sheet.IsEmpty())
            continue;
        const std::string header = platform::Format("<Layer> %3d  ", layer + 1);
        for (CItemBase* item : ItemsAt(sheet, KIND_HOLE, point)) {
            CHole* hole = static_cast<CHole*>(item);
            if (!hole->CheckPoint(point))
                continue;
            const int type = hole->GetType();
            if ((type & 0xFF) <= 15) {
                text = header + "<D> " + Num(hole->GetHoleDia()) + "\n(" + user(hole->GetPoint()) + ")";
                text += HoleKindText(type);
                text += (type & 0x1) ? "\nTH" : "\nNTH";
            } else {
                text = header + "\nW=" + Num(hole->GetHoleWidth()) + " H=" + Num(hole->GetHoleDia()) + " ";
                if (type & 0x20)
                    text += "r=" + Num(hole->GetHoleRadius()) + " ";
                text += "A=" + Num(hole->GetAngle() * kDegrees) + "\n(" + user(hole->GetPoint()) + ")";
                text += (type & 0x1) ? "LTH" : "LNTH";
            }
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_LAND, point)) {
            CLand* land = static_cast<CLand*>(item);
            if (!land->CheckPoint(point))
                continue;
            text = header + platform::Format("<Turret> %3d\n(%s)", land->GetTurretNo(),
                                             user(land->GetPoint()).c_str());
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_TEXT, point)) {
            CText* t = static_cast<CText*>(item);
            if (!t->CheckPoint(point))
                continue;
            text = header + platform::Format("\n<Table> %d <Turret> %d", t->GetTable(), t->GetTurretNo());
            text += "\nH=" + Num(t->GetHeight()) + " A=" + Num(t->GetAngle() * kDegrees) + "\n(" +
                    user(t->GetPoint()) + ")";
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_ARC, point)) {
            CArc* arc = static_cast<CArc*>(item);
            if (!arc->CheckPoint(point))
                continue;
            text = header + platform::Format("<Turret> %3d\n(%s) r=%s", arc->GetTurretNo(),
                                             user(arc->GetCenter()).c_str(), Num(arc->GetRadius()).c_str());
            text += platform::Format("\nS=%.2f E=%.2f d=%.2f L=%s\n", arc->GetStartAngle() * kDegrees,
                                     arc->GetEndAngle() * kDegrees, arc->GetSweep() * kDegrees,
                                     Num(arc->GetLength()).c_str());
            text += (arc->GetType() & 0x100) ? "CW" : "CCW";
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_LINE, point)) {
            CLine* line = static_cast<CLine*>(item);
            if (!line->CheckPoint(point))
                continue;
            text = header + platform::Format("<Turret> %3d\n(%s)-", line->GetTurretNo(),
                                             user(line->GetStartPoint()).c_str());
            text += "(" + user(line->GetEndPoint()) + ")\nL=" + Num(line->GetLength()) + " ";
            text += "A=" + Num(line->GetStartPoint().GetAngle(line->GetEndPoint()) * kDegrees);
            if (sheet.GetWLayer() != 0) {
                for (const auto& net : m_nets)
                    if (line->GetID() != 0 && net->GetID() == line->GetID()) {
                        text += "\n<Net> " + net->GetNetName();
                        break;
                    }
            }
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_TER, point)) {
            CTer* ter = static_cast<CTer*>(item);
            if (!ter->CheckPoint(point))
                continue;
            text = header + "<No> " + ter->GetNo() + "\n(" + user(ter->GetPoint()) + ")";
            return true;
        }
        for (CItemBase* item : ItemsAt(sheet, KIND_SUR, point)) {
            CSur* sur = static_cast<CSur*>(item);
            if (!sur->CheckPoint(point, false))
                continue;
            text = header + platform::Format("<Turret> %3d", sur->GetTurretNo());
            for (POSITION tp = sur->GetFirstTextPos(); tp;) {
                CText* property = sur->GetNextText(tp);
                if (property->IsPropaty())
                    text += "\n<" + property->GetPropatyName() + "> " + property->GetPropatyVal();
            }
            return true;
        }
    }
    return false;
}
