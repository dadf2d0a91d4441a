#pragma once
// What the board model asks of the board document. The document implements it; items, sheets
// and nets hold a pointer to it; tests use tests/support/FakeDocument.

#include "model/services/Records.h"
#include "platform/Archive.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class CDPoint;
class CSheet;
class CHole;
class CNetLine;

// How a rectangular or oblong Gerber aperture is flashed: as a stroke of a square or round turret
// (turret -1 and mode 0: a plain flash). Mode 1 strokes along x, 2 along y, by the half length
// (millimetres) each way from the flash point.
struct tagDSTROKE
{
    int turret = -1;
    int mode = 0;
    double halfLength = 0.0;
};

class DocumentServices : public CDocument
{
public:
    ~DocumentServices() override = default;

    // The document's own virtual operations, in their fixed order.
    virtual COLORREF GetNetColor(int netId) = 0;
    virtual int GetDispLayers(std::vector<std::uint8_t>& out) = 0;
    virtual CSheet* GetHoleSheet(int index) = 0;
    virtual int GetWireLayerPos(int layer, bool withTerm) = 0;
    virtual int GetWireLayer(int pos) = 0;
    virtual int PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) = 0;
    virtual std::uint32_t LayerToPartLayer(int layer, bool side) = 0;
    virtual int FindTurretByDCode(int dcode) = 0;
    virtual double GetTCodeSize(int tcode) = 0;
    virtual int FindTCode(CHole* hole, bool quiet) = 0;
    virtual int CollectHoles(std::vector<CHole*>& list, bool withParts) = 0;
    virtual void ToUserOrigin(CDPoint& point, int unused) = 0;
    virtual void FromUserOrigin(CDPoint& point, int unused) = 0;
    virtual int AssignApertureTurret(const std::string& apertureDef, int arg, tagGERBAR* gerbar) = 0;
    virtual double CalcViaSize(int viaNo, int wiringMask, double* displayRadius, double* outerRadius) = 0;
    virtual CNetLine* FindNetLine(int id) = 0;
    virtual void GetFileTime(int which, std::time_t* out) = 0;

    // Document data that items and sheets read.
    virtual int GetWireLayerCount() = 0;
    virtual const std::vector<std::uint8_t>& GetWireLayerList() = 0; // layer numbers, position 1 first
    virtual CSheet* GetBoardSheet(int layer) = 0;      // 0..127; 128 the via and part sheet
    virtual CSheet* GetSelectionSheet(int layer) = 0;  // the selection set, same numbering
    virtual tagPARTLAYER GetPartLayer(int index) = 0;  // 0..13
    virtual tagVIA GetViaEntry(int number) = 0;        // 0..64
    virtual tagTURRET GetTurretEntry(int number) = 0;  // 0..120
    virtual int GetCurrentLayer() = 0;

    // Tables that items of this board read (an item asks its own board, not the current one).
    // The Gerber D code of a turret.
    virtual int GetTurretDCode(int turret) = 0;
    // Text-size entry 0..16; a negative index gives entry 0.
    virtual tagTEXTSIZE GetTextSizeEntry(int index) = 0;
    virtual tagDIMS GetDimensionStyle() = 0;

    // Values that drawing and printing read; the board document answers them.
    virtual std::string GetDocTitle() { return std::string(); }    // CP932
    virtual std::string GetDocPathName() { return std::string(); } // CP932; empty until saved
    virtual void GetBoardSize(double& width, double& height) { width = height = 0.0; }
    virtual void GetUserOrigin(double& x, double& y) { x = y = 0.0; }
    virtual bool IsGreyPrint() { return false; }
    virtual int GetGreyLevel() { return 0; } // 0..255

    // The CAM tables that the layer's Gerber and drill reading and writing consult. Until the
    // board keeps them: no stretched flashes, empty tool entries, and apertures assigned without
    // the file's macro definitions.
    // The stroke entry of a D code 0..999.
    virtual tagDSTROKE GetDCodeStroke(int /*dcode*/) { return tagDSTROKE{}; }
    // The tool-table entry of an index that FindTCode gave.
    virtual tagTCODE GetToolEntry(int /*index*/) { return tagTCODE{}; }
    // The turret of an aperture definition read from a file ("D10C,0.5"), with the file's macro
    // definitions ("name,body") for the macro apertures; -1 when none fits.
    virtual int AssignGerberAperture(const std::string& apertureDef, const std::vector<std::string>& /*macros*/,
                                     tagGERBAR* gerbar)
    {
        return AssignApertureTurret(apertureDef, 0, gerbar);
    }

    // Whether a net list is loaded (the part terminal dialog shows its net column only then).
    virtual bool IsNetOn() { return false; }
};
