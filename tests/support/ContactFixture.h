#pragma once
// A board for contact and clearance tests: apertures of sizes that add up exactly in binary
// fractions, two wiring layers (board layers 0 and 1) and a design rule, with the frame installed.

#include "model/geometry/DPoint.h"
#include "model/services/Records.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace testing_support {

// Aperture numbers of the contact board.
enum ContactTurret
{
    T_LINE = 1,     // round 0.25: tracks
    T_PAD = 2,      // round 0.5
    T_SQUARE = 3,   // square 1.0
    T_DONUT = 4,    // donut 2.0 / 1.0
    T_THERMAL = 5,  // thermal 2.0 / 1.0
    T_MM = 6,       // round 1.0
    T_SQLINE = 7,   // square 0.25: tracks with square ends
    T_PAD1 = 8,     // round 1.0 (pads of the rule examples)
    T_SMALL = 9,    // round 0.4
    T_FINE = 10,    // round 0.2
    T_SQUARE2 = 11, // square 2.0
    T_ROUND2 = 12   // round 2.0
};

class ContactTest : public ::testing::Test
{
protected:
    ContactTest()
    {
        doc.turretTable[T_LINE] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[T_PAD] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        doc.turretTable[T_SQUARE] = tagTURRET{TURRET_SQUARE, 1.0, 0.0};
        doc.turretTable[T_DONUT] = tagTURRET{TURRET_DONUT, 2.0, 1.0};
        doc.turretTable[T_THERMAL] = tagTURRET{TURRET_THERMAL, 2.0, 1.0};
        doc.turretTable[T_MM] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[T_SQLINE] = tagTURRET{TURRET_SQUARE, 0.25, 0.0};
        doc.turretTable[T_PAD1] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        doc.turretTable[T_SMALL] = tagTURRET{TURRET_ROUND, 0.4, 0.0};
        doc.turretTable[T_FINE] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[T_SQUARE2] = tagTURRET{TURRET_SQUARE, 2.0, 0.0};
        doc.turretTable[T_ROUND2] = tagTURRET{TURRET_ROUND, 2.0, 0.0};
        doc.SetWireLayers({0, 1});
        rule.netClearance = 0.25;
        rule.plainClearance = 0.25;
        rule.holeMargin = 0.25;
        rule.holeToHole = 0.25;
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
    tagDRCSPEC rule;
};

// The error points as 32-bit words, one violation's four values per point pair.
inline std::vector<std::uint32_t> Words(const CDPoint& first, const CDPoint& second)
{
    const auto word = [](double v) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v * 65536.0));
    };
    return {word(first.x), word(first.y), word(second.x), word(second.y)};
}

} // namespace testing_support
