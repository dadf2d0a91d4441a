#pragma once
// The modal dialogs that item edit operations run. The model fills a record, the dialog edits it,
// and the answer says whether the user pressed OK. The Qt dialogs implement it; tests answer with
// tests/support/FakeItemDialogs.

#include "model/geometry/DPoint.h"
#include "model/services/Records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CItemBase;
class CPart;
class DocumentServices;

// Hole dialog ("ホール設定", "ホール入力" for a new hole).
struct HoleDialogData
{
    double diameter = 0.0; // diameter or height
    double width = 0.0;
    double angleDeg = 0.0;  // multiple mode: -1.0 when the field is left empty
    double radius = 0.0;    // corner radius
    bool edit = false;      // false for a new hole
    double x = 0.0, y = 0.0; // position in user coordinates
    bool multiple = false;
    int kind = 0;  // single: 4 dummy + 2 test coupon; multiple: dummy state + 4 * coupon state (0, 1, 2 unchanged)
    int shape = 0; // 0 round, 1 long, 2 rectangular
};

// Land dialog ("ランド編集").
struct LandDialogData
{
    bool multiple = false;
    int turret = 0; // one land 1..120; several 0..120 (0 leaves them unchanged)
};

// Via dialog.
struct ViaDialogData
{
    int wireCount = 0;
    std::vector<int> layers;     // board layer per wiring position
    std::vector<int> layerTypes; // that layer sheet's type flags
    int wiringMask = 0;          // one bit per wiring position
    int viaNo = 0;
    int holeKind = 0; // 0 none, 2 test hole, 4 check hole
    int multiple = 0; // 1 for several vias
    int extra = 0;    // handed back to the caller of the several-vias edit
};

// Line and arc dialog ("円弧の編集" for arcs): edits a working copy of the line or arc.
struct LineDialogData
{
    CItemBase* item = nullptr; // the working CLine or CArc
    // Several items: the dialog edits a blank line (or arc) and packs its five check states into
    // the blank line's start x (the blank arc's start angle).
    bool multiple = false;
    int editKind = 0;         // ID_INPUT_ARC for arcs
    std::string name;         // the arc's name text string (CP932)
};

// Part dialog.
struct PartDialogData
{
    CPart* part = nullptr; // working copy, its items' layers as part-layer codes
    double x = 0.0, y = 0.0; // origin in user coordinates
    double angleDeg = 0.0;
    // Several parts: the dialog edits a blank part and packs its check states into the x of the
    // blank's name text; partNameAllowed lets it change the part name.
    bool multiple = false;
    bool partNameAllowed = false;
    int typeBefore = 0;
    DocumentServices* doc = nullptr;
    int scaleBefore = 0; // high 16 bits of the package-and-scale word
};

// Part input dialog ("部品入力"): the part to place, its texts and where it goes. The caller
// presets reference and value; on OK the rest holds the user's choices.
struct PartInDialogData
{
    std::string partName; // CP932
    std::string reference;
    std::string value;
    int partNameDisplay = 0;  // 0 or 1
    int referenceDisplay = 2; // three-state: 0, 1, 2
    int valueDisplay = 2;
    int solderSide = 0;
    int excludedLayers = 0; // high 16 bits: part layers left out
    CDPoint position;       // user-origin coordinates, each used only when given
    double angle = 0.0;     // radians, used only when given
    bool xGiven = false, yGiven = false, angleGiven = false;
    DocumentServices* doc = nullptr;
};

// Surface dialog ("面編集").
struct SurDialogData
{
    int turret = 0;   // 0..120; several items: -1 leaves it unchanged
    int noFill = 0;   // 0 clear, 1 ticked, 2 undetermined
    int coc = 0;      // "COC" check state, as above
    double cocTop = 0.0, cocBottom = 0.0; // millimetres
    bool multiple = false;
};

// Text dialog.
struct TextDialogData
{
    std::string text; // CP932
    bool displayed = true;
    bool printable = true;
    double angleDeg = 0.0;
    bool mirror = false;
    double x = 0.0, y = 0.0; // user coordinates
    int flag = 0;            // passed through from the caller
    bool multiEdit = false;
    std::array<tagTEXTSIZE, 17> sizes{};
    int turret = 0;
    double ttSize = 0.0; // TrueType size, millimetres
    double strokeHeight = 0.0, strokeWidth = 0.0, strokeSpace = 0.0;
    int sizeTable = 0;
    int hAlign = 0; // 0 left, 1 centre, 2 right
    int vAlign = 0; // 0 top, 1 middle, 2 bottom
    int ownFont = 0; // multi-edit: 0, 1, 2
    std::array<std::uint8_t, 60> logFont{}; // the font record, kept raw
    int fontKind = 0; // 0 TrueType, 1 stroke
    int frame = 0;
    double frameDistance = 0.0;
    int angleChoice = 0; // multi-edit; 7 keeps
    // Multi-edit three-state choices of the printable and mirror switches (0 off, 1 on, 2 keep).
    int printableChoice = 0;
    int mirrorChoice = 0;
};

// Number input dialog ("数値設定"): one or two numbers, in millimetres after OK.
struct NumberInDialogData
{
    tagGRID grid;                     // the current grid, offered as a unit when it is a lattice
    bool hasGrid = false;             // false: no grid unit
    int unit = 0;                     // 0 mm, 1 inch, 2 mil, 3 grid
    bool unitEnabled = true;          // false: the unit is fixed and not remembered
    double first = 0.0, second = 0.0; // results (the first twice when one value was typed)
};

// Point input dialog ("数値設定"): an offset or scale with an angle, for the numeric move and copy.
struct PointInDialogData
{
    tagGRID grid;
    bool hasGrid = false;
    bool copy = false; // a copy runs: the repeat and name-step fields are offered
    // Results.
    double x = 0.0, y = 0.0; // offset in millimetres, or the two scale factors
    double angleDeg = 0.0;
    bool moveAction = false; // relative mode, or ended by an arrow or scale step
    bool scale = false;
    int repeat = 1;
    int count = 0; // name step
};

class ItemDialogs
{
public:
    virtual ~ItemDialogs() = default;
    virtual bool RunHoleDialog(HoleDialogData& data) = 0;
    virtual bool RunLandDialog(LandDialogData& data) = 0;
    virtual bool RunViaDialog(ViaDialogData& data) = 0;
    virtual bool RunLineDialog(LineDialogData& data) = 0;
    virtual bool RunPartDialog(PartDialogData& data) = 0;
    virtual bool RunPartInDialog(PartInDialogData& data) = 0;
    virtual bool RunSurDialog(SurDialogData& data) = 0;
    virtual bool RunTextDialog(TextDialogData& data) = 0;
    // Stores the text attributes as the remembered defaults, without showing the dialog.
    virtual void SaveTextAttribute(const TextDialogData& data) = 0;
    virtual bool RunNumberInDialog(NumberInDialogData& data) = 0;
    virtual bool RunPointInDialog(PointInDialogData& data) = 0;
};

ItemDialogs* GetItemDialogs();
void SetItemDialogs(ItemDialogs* dialogs);
