// The drill file: the holes gathered into work sheets (the board is not changed), long holes
// turned round when asked, the hits counted per tool, and the body the work sheet writes.

#include "cam/DrillWriter.h"

#include "cam/CamReports.h"
#include "cam/PhotoWriter.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <array>
#include <cmath>

namespace {

constexpr double kSizeTolerance = 1e-6;
constexpr int kHitG81 = 1;
constexpr int kHitD03 = 3;

// Every hole of the sheet drilled round, as long-hole method 0 asks.
void MakeHolesRound(CSheet& sheet)
{
    for (POSITION pos = sheet.GetFirstHolePos(); pos;) {
        CHole* hole = sheet.GetNextHole(pos);
        const double dia = RoundDrillOfShape(hole->GetHoleDia(), hole->GetHoleWidth(), hole->IsHoleRect());
        hole->SetSHoleData(dia, 0.0, 0.0, 0.0);
        hole->ModifyType(0, HOLE_SHAPE_MASK);
    }
}

} // namespace

double RoundDrillOfShape(double diameter, double width, bool rectangular)
{
    if (!rectangular)
        return width;
    if (std::fabs(width - diameter) <= kSizeTolerance)
        return std::trunc(width * 142.0 + 1e-9) * 0.01;
    return std::trunc(std::sqrt(diameter * diameter + width * width) * 100.0 + 1e-9) * 0.01;
}

void WriteDrillData(CVELTADoc& doc, CArchive& ar, tagGERBAR& g, const int* layers, int listMode,
                    const std::string& firstList, const std::string& secondList, const std::string& dataPath,
                    bool platingKnown)
{
    g.currentAperture = -1;
    g.pendingExposure = 0;
    g.headerDone = 0;
    g.photo = 0;
    // Holes that stay long change tools by their own sizes.
    g.slotOutput = g.longHoleMode != 0 ? 1 : 0;

    std::array<int, LAYER_MAX> flags{};
    for (const int* layer = layers; layer && *layer >= 0; ++layer)
        if (*layer < LAYER_MAX)
            flags[static_cast<std::size_t>(*layer)] = 1;
    double ox = 0.0;
    double oy = 0.0;
    doc.GetUserOrigin(ox, oy);
    const CDPoint toOrigin(-ox, -oy);

    // The work sheets answer the tool look-ups of their holes through the document.
    CSheet holes(0, 0, 0, &doc);
    CSheet longHoles(0, 0, 0, &doc);
    const auto gather = [&](CSheet* out, int kind) {
        return platingKnown ? doc.CopyHoleList(flags.data(), out, kind) : doc.MakeHoleList(flags.data(), out, kind);
    };
    if (g.holeSplit == 0 || g.holeSplit == 1) {
        if (gather(&holes, 0) > 0) {
            holes.OffsetItem(toOrigin, 0);
            doc.CountToolHits(holes);
        }
    }
    if (g.holeSplit != 1) {
        if (g.rectAsLong)
            gather(&longHoles, HOLE_RECT);
        gather(&longHoles, HOLE_LONG);
        longHoles.OffsetItem(toOrigin, 0);
        if (g.longHoleMode == 0)
            MakeHolesRound(longHoles);
        doc.CountToolHits(longHoles);
    }
    if (g.holeSplit == 0)
        holes += longHoles;
    else if (g.holeSplit == 2)
        holes = longHoles;
    holes.SortHole();

    ResetOutputExtents(g);
    if (g.hitType == kHitD03)
        WriteStartBlocks(ar, g, false, std::string());

    holes.SerializeGerbar(ar, g);

    const char eob = g.endOfBlock;
    std::string end;
    if (g.hitType == kHitG81)
        end = platform::Format("G80%cX0Y0%cM02%c", eob, eob, eob);
    else if (g.hitType == kHitD03)
        end = platform::Format("X0Y0%c%s%c", eob, g.endCode.c_str(), eob);
    else
        end = platform::Format("M30%c", eob);
    WriteConverted(ar, g, end);

    if (listMode & 1)
        WriteDrillList(doc, holes, dataPath, firstList, true, false);
    if (listMode & 2) {
        const bool append = (listMode & 1) && platform::MbsICmp(firstList, secondList) == 0;
        WriteDrillList(doc, holes, dataPath, secondList, false, append);
    }
}
