#pragma once
// Reading photo-plot and drill text into a layer sheet for the Gerber tests, and the sheet's items
// written out as short texts that a test compares: "L(x,y)(x,y)#t" lines, "P(x,y)#t" lands,
// "A(cx,cy)r..s..e..[cw]#t" arcs (angles in degrees), "H(x,y)d" holes ("LH" long holes),
// "S<lines>/<arcs>w<windows>" surfaces. Numbers are rounded to 4 decimals.

#include "model/cam/CamReadResult.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace gerber_test {

inline std::string Num(double v)
{
    v = std::round(v * 10000.0) / 10000.0;
    if (v == 0.0)
        v = 0.0; // no "-0"
    std::string s = platform::Format("%.4f", v);
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

inline std::string Pt(const CDPoint& p)
{
    return "(" + Num(p.x) + "," + Num(p.y) + ")";
}

inline std::string Deg(double radians)
{
    double d = radians * 180.0 / std::numbers::pi;
    d = std::fmod(d + 720.0, 360.0);
    if (std::fabs(d - 360.0) < 1e-6)
        d = 0.0;
    return Num(d);
}

inline std::vector<std::string> Items(CSheet& sheet)
{
    std::vector<std::string> out;
    for (POSITION p = sheet.GetFirstLinePos(); p;) {
        CLine* l = sheet.GetNextLine(p);
        out.push_back("L" + Pt(l->GetStartPoint()) + Pt(l->GetEndPoint()) + "#" +
                      std::to_string(l->GetTurretNo()));
    }
    for (POSITION p = sheet.GetFirstLandPos(); p;) {
        CLand* l = sheet.GetNextLand(p);
        out.push_back("P" + Pt(l->GetPoint()) + "#" + std::to_string(l->GetTurretNo()));
    }
    for (POSITION p = sheet.GetFirstArcPos(); p;) {
        CArc* a = sheet.GetNextArc(p);
        out.push_back("A" + Pt(a->GetCenter()) + "r" + Num(a->GetRadius()) + "s" + Deg(a->GetStartAngle()) +
                      "e" + Deg(a->GetEndAngle()) + (a->IsCW() ? "cw" : "") + "#" +
                      std::to_string(a->GetTurretNo()));
    }
    for (POSITION p = sheet.GetFirstHolePos(); p;) {
        CHole* h = sheet.GetNextHole(p);
        out.push_back(std::string(h->GetHoleShape() ? "LH" : "H") + Pt(h->GetPoint()) + Num(h->GetHoleDia()) +
                      (h->GetHoleShape() ? "w" + Num(h->GetHoleWidth()) : std::string()));
    }
    for (POSITION p = sheet.GetFirstSurPos(); p;) {
        CSur* s = sheet.GetNextSur(p);
        out.push_back("S" + std::to_string(s->GetLineCount()) + "/" + std::to_string(s->GetArcCount()) + "w" +
                      std::to_string(s->GetWndCount()));
    }
    return out;
}

// Settings of a plain RS-274-X reading: millimetres, absolute, three decimals, '*' blocks.
inline tagGERBAR PhotoSettings()
{
    tagGERBAR g;
    g.photo = 1;
    g.endOfBlock = '*';
    g.absolute = 1;
    g.metric = 1;
    g.fileUnitFactor = 1.0;
    g.divisor = 1000.0;
    return g;
}

inline tagGERBAR DrillSettings()
{
    tagGERBAR g = PhotoSettings();
    g.photo = 0;
    return g;
}

inline CamReadResult Read(CSheet& sheet, tagGERBAR& g, const std::string& text)
{
    CArchive ar(CArchive::load, std::vector<std::uint8_t>(text.begin(), text.end()));
    CamReadResult result;
    sheet.ReadGerbar(ar, g, result);
    return result;
}

} // namespace gerber_test
