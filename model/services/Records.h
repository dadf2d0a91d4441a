#pragma once
// Plain records shared by the board model, the document and the output side. Fields that reach
// board or settings files keep their 32-bit widths.

#include "platform/Types.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CSheet;

// Aperture-table entry (24 bytes in the files): shape 0 round, 1 square, 2 donut, 3 thermal.
struct tagTURRET
{
    std::int32_t shape = 0;
    double size1 = 0.0; // pad diameter or side, outer diameter of donuts and thermals, line width
    double size2 = 0.0; // inner diameter of donuts and thermals
};

enum TurretShape
{
    TURRET_ROUND = 0,
    TURRET_SQUARE = 1,
    TURRET_DONUT = 2,
    TURRET_THERMAL = 3
};

// Via-table entry (24 bytes): drill, then three groups of five land turret numbers (first group for
// sheets with flag 0x2, the middle group for the others, the third for flag 0x4). Within a group:
// connected land, unconnected land, resist opening (the land of flag 0x100000), negative-layer
// thermal land, negative-layer clearance.
struct tagVIA
{
    double drill = 0.0;
    std::array<std::uint8_t, 15> lands{};
    std::uint8_t spare = 0;
};

constexpr int TURRET_MAX = 120; // turret numbers 0..120
constexpr int VIA_MAX = 64;     // via numbers 1..64 (0 = the via's own entry)
constexpr int LAYER_MAX = 128;  // board layers 0..127; 128 is the via and part sheet

// Layer record: how a layer is drawn and shown.
struct tagLAYER
{
    std::uint8_t order = 0;     // drawing order
    COLORREF color = 0;         // layer colour
    std::uint8_t drawClass = 0; // 1 marks only, 2 and 8 outlined, 4 filled
    std::uint8_t mirror = 0;   // non-zero: a mirrored layer (texts drawn and converted mirrored)
    std::string name;          // CP932
    std::uint8_t display = 0;  // IsDisp
    std::uint8_t enable = 0;   // IsEnable
};

// Design-rule record handed to the clearance checks.
struct tagDRCSPEC
{
    CSheet* sheet = nullptr; // layer sheet under check
    int counter = 0;         // 0 at the start of each sheet's check; kept by the item checks
    int planeMode = 0;       // 1: a land's plane contact counts only items covering its position
    // Violations: x, y of the first and x, y of the second position, each a 16.16 value (POINTFX
    // packed as a 32-bit word).
    std::vector<std::uint32_t> errorPoints;
    double holeToHole = 0.0;     // grows the other hole's or via's bounding rectangle
    double plainClearance = 0.0; // between items of which at most one carries a net id
    double netClearance = 0.0;   // between items that both carry a net id; general copper clearance
    double spare = 0.0;          // not read by the items
    double holeMargin = 0.0;     // holes against lines and arcs, lands against holes
    double partClearance = 0.0;  // grows terminal groups' rectangles in the part check
};

// Photo-plot and drill settings with the running state of the writers and readers. The CAM side
// fills it before a file is written or read; everything starts at zero.
struct tagGERBAR
{
    // Output transformation and writer state of the record writer.
    double prevX = 0.0, prevY = 0.0;       // previous point (raw board point; reader: file units)
    // Integer coordinates of the last block the record writer wrote; incremental blocks are the
    // difference to them. Reset together with the previous point when a file begins.
    std::int32_t prevOutX = 0, prevOutY = 0;
    double maxX = 0.0, maxY = 0.0;         // extents of what was written, in output units
    double minX = 0.0, minY = 0.0;
    std::uint8_t absolute = 0;   // 1 absolute, 0 incremental
    std::uint8_t metric = 0;     // 1 millimetres, 0 inches
    std::uint8_t mirrorX = 0;    // negate x
    std::uint8_t mirrorY = 0;    // negate y
    std::uint8_t lineBreak = 0;  // break the line after every '*' (plain text only)
    int codeType = 0;            // 1, 2, 3: punched-tape code; other: plain text
    double outputFactor = 0.0;   // writer: output units -> integer coordinate value
    double angle = 0.0;          // rotation of the output, radians
    double scale = 0.0;
    double offsetX = 0.0, offsetY = 0.0; // added after origin removal and rotation (reader: after reading)
    double originX = 0.0, originY = 0.0; // subtracted first
    char endOfBlock = 0;
    int arcMode = 0;        // 0..3 how an arc's centre is written; 4 arcs as segments
    int hitType = 0;        // drill hits: 0 every moving block, 1 under G81, 2 at M05, 3 at D03
    int longHoleMode = 0;   // 0, 1 one hit; 2 both ends; 3 both ends and centre; other a row 0.1 apart
    int slotOutput = 0;     // drill writer: 0 one round tool from a shaped hole, else own sizes

    // Item writers' running state.
    int currentAperture = 0;       // turret selected last
    std::uint8_t pendingExposure = 0; // set after a draw or flash, cleared when the move code is written
    int interpolation = 0;          // 1 linear, 2 clockwise, 3 counter-clockwise
    std::string pendingLine;
    std::uint8_t pendingLineFlag = 0;

    // Code strings of the CAM settings.
    std::string apertureCode; // aperture-select prefix
    std::string moveCode;
    std::string drawCode;
    std::string flashCode;
    std::string linearCode;
    std::string cwCode;
    std::string ccwCode;

    // Reader state and settings.
    std::uint8_t photo = 0;        // 1 photo-plot, 0 drill
    std::uint8_t inParameter = 0;  // the current block is a '%' parameter block
    std::uint8_t darkPolarity = 0; // 0 after LPC
    std::uint8_t inRegion = 0;     // between G36 and G37
    std::uint8_t penDown = 0;      // 1 after a draw, 0 after a move or flash
    double divisor = 0.0;          // 10 to the number of decimal digits
    double fileUnitFactor = 0.0;   // reader: file values -> millimetres (changed by unit codes)
    int lastGCode = 0;

    // CAM option settings kept with the record (edited by the CAM option dialog).
    std::string headerText;      // photo: written before the first block; may be empty
    std::string endCode;         // photo: the program stop (trailer) code; may be empty
    std::uint8_t toolDigits = 0; // drill: tool-number digits, 2 or 3; other values free width
    std::uint8_t rectAsLong = 0; // drill: rectangular holes are treated as long holes
    std::uint8_t holeSplit = 0;  // drill: 0 all holes in one file, 1 circular only, 2 long only
    int drillLife = 0;           // drill: hits per tool, 0..50000; no writer reads it
    int testCoupon = 0;          // drill: the test-coupon value, 0..50000; no writer reads it
    int testCouponEvery = 0;     // drill: the test-coupon interval, 0..20; no writer reads it

    // CAM output driver and its file writers.
    std::uint8_t extended = 0;   // photo: RS-274-X (format, unit and aperture statements)
    std::uint8_t sequential = 0; // drill: tool codes numbered in table order
    int headerDone = 0;          // 0 while a file's header is written, 1 from the linear code on
    int holeKind = 0;            // drill: the kind the tool table is built with (CheckHole)

    // CAM input: the dialog's integer digits, 1..4, or 0 for AUTO.
    int intDigits = 0;
};

// Aperture usage of one turret number (121 entries, indexed by turret).
struct tagDCODE
{
    std::uint8_t codeCount = 0;
    std::array<std::uint16_t, 33> dcodes{};
    int drawCount = 0;       // lines and arcs drawn with this turret
    int flashCount = 0;      // lands and vias flashed with this turret
    double drawnLength = 0.0; // millimetres
};

// One drill tool (a table of 100; the first entry with no hits ends it).
struct tagTCODE
{
    double diameter = 0.0;
    double width = 0.0;
    double radius = 0.0;
    int holeType = 0; // hole type & 0xF1
    int hitCount = 0;
    std::array<char, 8> toolCode{}; // a byte, then the zero-terminated code text
};

// Dimension style.
struct tagDIMS
{
    // The board's defaults are 200, 15 degrees, 0, 100, 250; an absent board gives zeros.
    int arrowLength = 0;     // hundredths of a millimetre
    double arrowAngle = 0.0; // radians
    int spare = 0;
    int dotSize = 0;  // hundredths; a dot arrow's code is its negative
    int textSize = 0; // hundredths; 0 leaves a text's size unchanged
};

// Grid entry (16 per board). Kind 0 is a lattice, 1 radial; the point and number input dialogs offer
// their grid unit only for kind 0, and treat kind 255 as "no grid given".
struct tagGRID
{
    std::uint8_t kind = 0;
    double xPitch = 2.54; // millimetres
    double yPitch = 2.54;
    double xOffset = 0.0;
    double yOffset = 0.0;
    std::uint8_t marked = 0; // display byte: 0 hidden, 1 shown
    std::string name;        // CP932
};

// Text-size table entry (32 bytes): entries 0..16.
struct tagTEXTSIZE
{
    // The board's defaults are 2.0, 2.0 and 0.5 mm.
    int turret = 0;
    double height = 0.0;
    double width = 0.0;
    double space = 0.0;
};

// Part-layer record: a keyword's code and its layers on the two sides (255 = unset).
struct tagPARTLAYER
{
    std::int32_t code = -1;
    std::uint8_t layerA = 255;
    std::uint8_t layerB = 255;
    std::string name;
};

constexpr int PART_LAYER_COUNT = 14;
constexpr std::uint32_t PARTLAYER_OTHER_SIDE = 0x10000000;

// Part-layer record indexes and codes, in table order.
enum PartLayerIndex
{
    PL_HOLE = 0,
    PL_SILKLINE,
    PL_SILKTEXT,
    PL_METALMASK,
    PL_RESIST,
    PL_NOWIRING,
    PL_COCAREA,
    PL_TERM,
    PL_DIMS,
    PL_ORIGIN,
    PL_DIPOUTLINE,
    PL_SMDOUTLINE,
    PL_CIRCUIT,
    PL_NOVIA
};

constexpr std::array<std::uint32_t, PART_LAYER_COUNT> kPartLayerCodes = {
    0x10000,  0x20000,   0x40000,   0x80000,   0x100000, 0x200000,   0x400000,
    0x800000, 0x1000000, 0x2000000, 0x4000000, 0x20000000, 0x8000000, 0x40000000};

constexpr std::array<const char*, PART_LAYER_COUNT> kPartLayerKeywords = {
    "HOLE",   "SILKLINE", "SILKTEXT",   "METALMASK",  "RESIST",  "NOWIRING", "COCAREA",
    "TERM",   "DIMS",     "ORIGIN",     "DIPOUTLINE", "SMDOUTLINE", "CIRCUIT", "NOVIA"};

// Input-menu command ids: the current input tool and the kind selector of counts.
enum InputCommand
{
    ID_INPUT_LINE = 32910,
    ID_INPUT_LAND = 32911,
    ID_INPUT_TEXT = 32912,
    ID_INPUT_PART = 32913,
    ID_INPUT_ARC = 32914,
    ID_INPUT_VIA = 32915,
    ID_INPUT_HOLE = 32916,
    ID_INPUT_SUR = 32917,
    ID_INPUT_TER = 32918,
    ID_INPUT_CUTTER = 32919
};
