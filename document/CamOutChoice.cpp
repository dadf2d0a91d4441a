#include "document/CamOutChoice.h"

#include "document/SettingSections.h"

#include <algorithm>
#include <cstdlib>
#include <numbers>

namespace {

// The part of an entry after its n-th ':' up to the next one (the rest for the last field).
std::string EntryField(const std::string& entry, int n, bool toEnd)
{
    std::size_t at = 0;
    for (int colon = 0; colon < n; ++colon) {
        at = entry.find(':', at);
        if (at == std::string::npos)
            return std::string();
        ++at;
    }
    const std::size_t end = toEnd ? std::string::npos : entry.find(':', at);
    return entry.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The writer settings both kinds share, from one kind's stored line set.
void FillKind(const tagCAMOUTKIND& kind, bool mirrorX, bool mirrorY, tagGERBAR& g)
{
    g.offsetX = kind.values[0];
    g.offsetY = kind.values[1];
    g.scale = kind.values[2];
    g.absolute = kind.incremental ? 0 : 1;
    g.metric = kind.inch ? 0 : 1;
    g.mirrorX = mirrorX ? 1 : 0;
    g.mirrorY = mirrorY ? 1 : 0;
    // A hand-edited file may hold any number; the writers see only the values they know.
    g.codeType = kind.tapeCode >= 0 && kind.tapeCode <= 3 ? kind.tapeCode : 0;
    double factor = 1.0;
    for (int digit = 0; digit < std::clamp(kind.number, 0, 5); ++digit)
        factor *= 10.0;
    g.outputFactor = factor;
    g.angle = std::clamp(kind.rotation, 0, 3) * std::numbers::pi / 2.0;
    g.endOfBlock = kind.endOfBlock == 1 ? '\n' : (kind.endOfBlock == 2 ? '\r' : '*');
}

} // namespace

void SetStandardCamCodes(tagGERBAR& g)
{
    g.apertureCode = "D";
    g.moveCode = "D02";
    g.drawCode = "D01";
    g.flashCode = "D03";
    g.linearCode = "G01";
    g.cwCode = "G02";
    g.ccwCode = "G03";
    g.endCode = "M00";
}

void MakeOptionRecords(const tagCAMOUT& s, tagGERBAR& photo, tagGERBAR& drill)
{
    // The settings file keeps the photo codes as the aperture prefix, move, draw, flash, linear,
    // clockwise and counter-clockwise codes, then the header and the program stop.
    // Settings that never held the codes (no such line in the file) give the standard ones.
    const bool none = std::all_of(s.photoCodes.begin(), s.photoCodes.end(),
                                  [](const std::string& code) { return code.empty(); });
    const auto& h = s.photoCodes;
    for (tagGERBAR* g : {&photo, &drill}) {
        if (none) {
            SetStandardCamCodes(*g);
        } else {
            g->apertureCode = settings::Trim(h[0]);
            g->moveCode = settings::Trim(h[1]);
            g->drawCode = settings::Trim(h[2]);
            g->flashCode = settings::Trim(h[3]);
            g->linearCode = settings::Trim(h[4]);
            g->cwCode = settings::Trim(h[5]);
            g->ccwCode = settings::Trim(h[6]);
        }
        g->headerText = settings::Trim(s.photoI);
        if (!none || !s.photoJ.empty())
            g->endCode = settings::Trim(s.photoJ);
    }
    drill.longHoleMode = std::clamp(s.drillNumber, 0, 4);
    drill.rectAsLong = s.drillYes3 ? 1 : 0;
    drill.holeSplit = s.drillYes4 ? 1 : 0;
    drill.toolDigits = static_cast<std::uint8_t>(std::clamp(s.drillOption, 0, 3));
    drill.drillLife = s.drillInts[0];
    drill.testCoupon = s.drillInts[1];
    drill.testCouponEvery = s.drillInts[2];
}

void StoreOptionRecords(tagCAMOUT& s, const tagGERBAR& photo, const tagGERBAR& drill)
{
    s.photoCodes = {photo.apertureCode, photo.moveCode, photo.drawCode, photo.flashCode,
                    photo.linearCode,   photo.cwCode,   photo.ccwCode};
    s.photoI = photo.headerText;
    s.photoJ = photo.endCode;
    s.drillNumber = drill.longHoleMode;
    s.drillYes3 = drill.rectAsLong != 0;
    s.drillYes4 = drill.holeSplit != 0;
    s.drillOption = drill.toolDigits;
    s.drillInts = {drill.drillLife, drill.testCoupon, drill.testCouponEvery};
}

void MakeCamRecords(CamOutChoice& choice)
{
    const tagCAMOUT& s = choice.settings;
    tagGERBAR& photo = choice.records[0];
    tagGERBAR& drill = choice.records[1];
    photo = tagGERBAR();
    drill = tagGERBAR();
    MakeOptionRecords(s, photo, drill);
    FillKind(s.photo, choice.mirrorX[0], choice.mirrorY[0], photo);
    FillKind(s.drill, choice.mirrorX[1], choice.mirrorY[1], drill);
    photo.photo = 1;
    photo.arcMode = std::clamp(s.photoMode, 0, 4);
    photo.extended = s.photoFlag ? 1 : 0;
    drill.sequential = s.drillOptionOn ? 1 : 0;
    if (s.photoFlag) {
        // Extended Gerber ends every block with '*' in plain text.
        photo.endOfBlock = '*';
        photo.codeType = 0;
    }
    drill.photo = 0;
    drill.hitType = std::clamp(s.drillMode, 0, 3);
    // Automatic tool codes need at least one digit; the settings keep the count the file will hold.
    if (s.drillOptionOn && drill.toolDigits == 0) {
        drill.toolDigits = 1;
        choice.settings.drillOption = 1;
    }
}

std::string GetEntryName(const std::string& entry)
{
    return settings::Trim(EntryField(entry, 1, false));
}

std::string GetEntryFile(const std::string& entry)
{
    return settings::Trim(EntryField(entry, 2, false));
}

std::vector<int> GetEntryLayers(const std::string& entry)
{
    std::vector<int> layers;
    const std::string list = EntryField(entry, 3, true);
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string field = settings::Trim(list.substr(start, comma - start));
        // Only layers 1..128 exist; anything else in a hand-edited entry is left out.
        const int layer = std::atoi(field.c_str());
        if (layer >= 1 && layer <= 128)
            layers.push_back(layer - 1);
        start = comma + 1;
    }
    layers.push_back(-1);
    return layers;
}
