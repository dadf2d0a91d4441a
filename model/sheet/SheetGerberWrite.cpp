// The layer's photo-plot body (the items that show on it, through their own writers) and its
// drill body (tool selects and the hits of the sheet's sorted holes).

#include "model/cam/CamWriter.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <cctype>
#include <cmath>
#include <string>

namespace {

constexpr int kWiringLayer = 0x1;
constexpr int kSecondList = 0x40;
constexpr int kResistLayer = 0x100000;
constexpr double kSizeTolerance = 1e-6;

// One block the sheet formats itself, finished like the item writers' blocks.
void WriteBlock(CArchive& ar, const tagGERBAR& g, std::string block)
{
    block += g.endOfBlock;
    ConvertOutputCode(block, g);
    ar.WriteString(block);
}

// The drill size of a hole: its diameter; with one round tool per shaped hole (slot output 0)
// the width, for a rectangular hole the width times 1.42 cut down to hundredths (the small
// allowance keeps 2.0 x 142 from coming out as 283.99...).
double ToolSize(const CHole& hole, const tagGERBAR& g)
{
    if (hole.GetHoleShape() == 0 || g.slotOutput != 0)
        return hole.GetHoleDia();
    if (hole.IsHoleRect())
        return std::trunc(hole.GetHoleWidth() * 142.0 + 1e-9) * 0.01;
    return hole.GetHoleWidth();
}

// The number of a hole's tool code: the code text of its tool-table entry without its letter
// (one letter is printed before it), or the entry's index counted from 1 when it has no text.
std::string ToolNumber(DocumentServices* doc, CHole& hole)
{
    const int index = doc ? doc->FindTCode(&hole, false) : 0;
    const tagTCODE tool = doc ? doc->GetToolEntry(index) : tagTCODE{};
    std::string text(tool.toolCode.data(), tool.toolCode.size());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    std::size_t digits = 0;
    while (digits < text.size() && std::isalpha(static_cast<unsigned char>(text[digits])))
        ++digits;
    text.erase(0, digits);
    if (text.empty())
        text = platform::Format("%02d", index + 1);
    return text;
}

} // namespace

void CSheet::WriteGerbarPhoto(CArchive& ar, tagGERBAR& g)
{
    const bool layerFlag = m_layer.mirror != 0;
    if (CSheet* viaParts = GetViaPartSheet()) {
        if ((m_nType & (kWiringLayer | kResistLayer)) && !(m_nType & kSecondList)) {
            for (POSITION pos = viaParts->GetFirstViaPos(); pos;)
                viaParts->GetNextVia(pos)->DataWriteGerbar(ar, g, m_nType, m_nWLayer);
        }
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;) {
            CPart* part = viaParts->GetNextPart(pos);
            if (part->GetType() & PART_PLACED)
                part->DataWriteGerbar(ar, g, m_nLayer, m_nType, m_nWLayer, layerFlag);
        }
    }
    for (POSITION pos = GetFirstLandPos(); pos;)
        GetNextLand(pos)->DataWriteGerbar(ar, g);
    for (POSITION pos = GetFirstLinePos(); pos;)
        GetNextLine(pos)->DataWriteGerbar(ar, g, layerFlag);
    for (POSITION pos = GetFirstSurPos(); pos;)
        GetNextSur(pos)->DataWriteGerbar(ar, g);
    // Arcs reach the record writer already mirrored and turned for the output.
    for (POSITION pos = GetFirstArcPos(); pos;)
        GetNextArc(pos)->DataWriteGerbarCopy(ar, g, layerFlag);
    for (POSITION pos = GetFirstTextPos(); pos;) {
        CText* text = GetNextText(pos);
        const std::string printed = GetPrintProperty(text);
        if (printed.empty())
            continue;
        if (printed == text->GetName()) {
            text->DataWriteGerbar(ar, g, layerFlag);
            continue;
        }
        CText copy(*text);
        copy.SetName(printed);
        copy.DataWriteGerbar(ar, g, layerFlag);
    }
}

void CSheet::WriteGerbarDrill(CArchive& ar, tagGERBAR& g)
{
    bool haveTool = false;
    bool toolPlated = false;
    bool toolShaped = false;
    double toolSize = 0.0;
    bool cycleStarted = false;
    CHole* pendingDummy = nullptr;

    for (POSITION pos = GetFirstHolePos(); pos;) {
        CHole* hole = GetNextHole(pos);
        const bool plated = hole->IsThroughHole();
        const bool shaped = hole->GetHoleShape() != 0 && g.slotOutput != 0;
        const double size = ToolSize(*hole, g);
        if (!haveTool || plated != toolPlated || shaped != toolShaped ||
            std::fabs(size - toolSize) > kSizeTolerance) {
            if (pendingDummy) {
                pendingDummy->DataWriteGerbar(ar, g);
                pendingDummy = nullptr;
            }
            haveTool = true;
            toolPlated = plated;
            toolShaped = shaped;
            toolSize = size;
            if (g.hitType == 1 && cycleStarted) {
                WriteBlock(ar, g, "G80");
                WriteBlock(ar, g, "X0Y0");
                WriteBlock(ar, g, "M01");
            }
            WriteBlock(ar, g, (g.hitType == 3 ? "D" : "T") + ToolNumber(m_pDoc, *hole));
            if (g.hitType == 1) {
                WriteBlock(ar, g, "G81");
                cycleStarted = true;
            }
        }
        if (hole->IsCheckHole()) {
            if (!pendingDummy) {
                pendingDummy = hole;
            } else {
                const CDPoint at = hole->GetPoint();
                AfxMessageBox(
                    platform::Format(_J("捨て穴 (%.2f,%.2f)　は出力されません").c_str(), at.x, at.y), MB_OK);
            }
            continue;
        }
        hole->DataWriteGerbar(ar, g);
    }
    if (pendingDummy)
        pendingDummy->DataWriteGerbar(ar, g);
}
