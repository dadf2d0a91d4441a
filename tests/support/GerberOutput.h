#pragma once
// Photo-plot and drill output of items for tests: CAM settings with the standard codes (D01 draw,
// D02 move, D03 flash, G01/G02/G03, "G54D" aperture select), absolute millimetres with three
// decimals (1 mm = 1000), blocks ended by '*', and the written text cut into blocks.

#include "model/services/Records.h"
#include "platform/Archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct GerberOutput
{
    explicit GerberOutput(int arcMode = 0)
    {
        g.absolute = 1;
        g.metric = 1;
        g.outputFactor = 1000.0;
        g.scale = 1.0;
        g.endOfBlock = '*';
        g.arcMode = arcMode;
        g.currentAperture = -1;
        g.interpolation = 1; // the file's start blocks select linear interpolation
        g.apertureCode = "G54D";
        g.moveCode = "D02";
        g.drawCode = "D01";
        g.flashCode = "D03";
        g.linearCode = "G01";
        g.cwCode = "G02";
        g.ccwCode = "G03";
    }

    // The output's own transform: the origin is taken off first, then x is negated (mirror 1) and
    // the result turned by `angle`.
    GerberOutput& Transform(int mirrorX, double angle, double originX, double originY)
    {
        g.mirrorX = static_cast<std::uint8_t>(mirrorX);
        g.angle = angle;
        g.originX = originX;
        g.originY = originY;
        return *this;
    }

    // Everything written so far.
    std::string Text() const { return std::string(ar.Data().begin(), ar.Data().end()); }

    // The blocks written so far without their '*' (an interpolation code shares its block with the
    // next one, as in "G01X0Y0").
    std::vector<std::string> Blocks() const
    {
        std::vector<std::string> blocks;
        std::string current;
        for (const char c : Text()) {
            if (c == '*') {
                blocks.push_back(current);
                current.clear();
            } else if (c != '\r' && c != '\n') {
                current += c;
            }
        }
        if (!current.empty())
            blocks.push_back(current);
        return blocks;
    }

    // Forgets what was written (the writer state stays).
    void Clear() { ar.TakeData(); }

    tagGERBAR g;
    CArchive ar{CArchive::store};
};

} // namespace testing_support
