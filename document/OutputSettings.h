#pragma once
// Settings of the manufacturing output, printing, hole chart, design-rule check and part list, as
// the board settings file keeps them. The output, print and check code fills and uses them; the
// document reads them from and writes them to the settings file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Settings common to the photo-plot and the drill output.
struct tagCAMOUTKIND
{
    std::string folder; // output folder (A)
    int tapeCode = 0;   // 0 ASC, 1 EBC, 2 EIA, 3 ISO (B)
    int endOfBlock = 0; // 0 '*', 1 LF, 2 CR
    int number = 0;     // 0..5
    bool inch = false;  // (C)
    bool incremental = false;
    std::array<double, 3> values{};
    std::array<int, 2> ints{};
    int rotation = 0;                 // 0..3: 0, 90, 180, 270 degrees
    std::vector<std::string> outputs; // "%s:%-14s: %-13s:%s" list lines
};

struct tagCAMOUT
{
    std::string report = "VTHTML"; // report template name
    tagCAMOUTKIND photo;
    tagCAMOUTKIND drill;

    // Photo-plot only.
    int photoMode = 0;                     // D: 0..4
    std::string photoFile;                 // F
    std::array<std::string, 7> photoCodes; // H
    std::string photoI;
    std::string photoJ;
    bool photoFlag = false; // X

    // Drill only.
    int drillMode = 0;      // H: 0..3
    bool drillYes1 = false; // L
    std::string drillText1;
    bool drillYes2 = false;
    std::string drillText2;
    int drillNumber = 0; // S: 1..5 stored minus 1
    bool drillYes3 = false;
    bool drillYes4 = false;
    std::array<int, 3> drillInts{}; // T
    int drillOption = 0;            // X: 0..3
    bool drillOptionOn = false;

    const std::string& GetCamReport() const { return report; }
};

constexpr int PAPER_COUNT = 9;

// Printing: the A, B and C lines, paper, orientation and the print layer lines.
struct tagPRINTSET
{
    std::array<int, 2> a{};       // print offset x, y (whole millimetres)
    double scale = 1.0;           // B: print scale
    std::array<int, 4> b{};       // b[2] mirror printing
    std::array<int, 2> c{0, 128}; // c[1] grey level
    int paperIndex = 8;           // 0..8 (8 the printer's default)
    int paperCode = 0;            // printer paper code of the index
    bool portrait = true;
    std::vector<std::string> layers; // "%s:%-14s: %-13s:%s" list lines
};

// Paper names and printer codes by index 0..8.
const std::string& GetPaperName(int index);
int GetPaperCode(int index);

constexpr int HOLE_ENTRY_MAX = 100;

struct tagHOLEENTRY
{
    double size = 0.0;
    double width = 0.0;
    double third = 0.0;
    int kind = 0; // 0x10 oblong, 0x20 with third value, 0x1 through-hole
    std::string name;
};

struct tagHOLEDATA
{
    std::array<std::uint8_t, 128> input{}; // input-layer flags
    int codeLayer = 0;                     // 0-based
    std::array<double, 4> code{};
    int tableLayer = 0; // 0-based
    std::array<double, 3> table{};
    bool error = false;
    std::string errorText;
    double errorValue = 0.0;
    std::array<tagHOLEENTRY, HOLE_ENTRY_MAX> holes{};
    int holeCount = 0;
};

struct tagDRCSET
{
    int mode = 1;
    std::string modeText;
    double size = 0.25;
    bool output = true;
    int outputLayer = 114;   // 0-based
    int outputAperture = 10; // stored minus 1
    int nega = 1;            // 0..2
    double arc = 1.0;
    bool arcFlag1 = true;
    bool arcFlag2 = true;
    int arcAperture = 15; // stored minus 1
    bool pinCount = true;
};

struct tagPARTLISTSET
{
    bool place = false;
    double partOriginX = 0.0;
    double partOriginY = 0.0;
    double sheetOriginX = 0.0;
    double sheetOriginY = 0.0;
    bool xFlag = true;
    bool yFlag = false;
    std::string folder;
    bool outPart1 = false;
    bool outPart2 = false;
};

// What the part list dialog hands back: the files to write, the output folder below the base
// folder, the placement origins and options (ints 0/1, as the dialog's check boxes).
struct PartListChoice
{
    std::string baseFolder;   // CP932: the folder whose sub-folders the dialog offers
    std::string outputFolder; // CP932: the sub-folder written into; empty: the base folder
    double partOriginX = 0.0; // component-side origin, millimetres in user coordinates
    double partOriginY = 0.0;
    double solderOriginX = 0.0;
    double solderOriginY = 0.0;
    int view = 0; // open each written file
    int partList = 0;
    int place = 0;
    int bySide = 0;
    int mirrorX = 0;
    int mirrorY = 0;
    int unplaced = 0;
    int cardEdge = 0;
    int nonCircuit = 0;
    int bom = 0;
    int checkAngle = 0;
};

// What the clean-up dialog hands back (ints 0/1 but the target: 0 all layers, 1 wiring and part
// layers, 2 displayed layers, 3 the write layer).
struct CleanUpChoice
{
    int target = 0;
    int outside = 0;
    int surface = 0;
    int hole = 0;
    int partDup = 0;
    int line = 0;
    int view = 0;
    int resist = 0;
    int metal = 0;
};
