#pragma once
// A board document for model tests: the wiring stack and part-layer table behave as the real
// document's; everything else answers from fields that a test sets.

#include "model/services/DocumentServices.h"
#include "model/services/LayerStack.h"

#include <array>
#include <functional>
#include <map>
#include <vector>

class FakeDocument : public DocumentServices
{
public:
    FakeDocument();

    // Wiring layers in stack order, e.g. {0, 1, 2, 3}; sets the count too.
    void SetWireLayers(std::vector<std::uint8_t> layers);
    // Fills the part-layer record of a keyword index with its two layers.
    void SetPartLayer(int index, int layerA, int layerB);

    LayerStack stack;
    std::array<int, LAYER_MAX + 1> layerTypeWords{}; // type word per layer (0x8 negative)
    std::array<CSheet*, LAYER_MAX + 1> boardSheets{};
    std::array<CSheet*, LAYER_MAX + 1> selectionSheets{};
    std::array<tagVIA, VIA_MAX + 1> viaTable{};
    std::array<tagTURRET, TURRET_MAX + 1> turretTable{};
    std::map<int, int> dcodes;               // turret -> D code; absent: turret + 10
    std::array<tagTEXTSIZE, 17> textSizes{}; // each 2.0 x 2.0, spacing 0.5, until a test sets it
    tagDIMS dims{};                          // the program's defaults until a test sets it
    std::vector<std::uint8_t> displayLayers;
    std::map<int, COLORREF> netColors; // net id -> colour; empty or colouring off gives white
    bool netColoring = true;
    double userOriginX = 0.0, userOriginY = 0.0;
    int currentLayer = 0;
    std::array<std::time_t, 3> fileTimes{};
    // Via sizes: land radius, display radius, outer radius.
    double viaLand = 0.0, viaDisplay = 0.0, viaOuter = 0.0;
    std::function<CNetLine*(int)> findNetLine;
    std::vector<CHole*> holes;

    COLORREF GetNetColor(int netId) override;
    int GetDispLayers(std::vector<std::uint8_t>& out) override;
    CSheet* GetHoleSheet(int index) override;
    int GetWireLayerPos(int layer, bool withTerm) override;
    int GetWireLayer(int pos) override;
    int PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) override;
    std::uint32_t LayerToPartLayer(int layer, bool side) override;
    int FindTurretByDCode(int dcode) override;
    double GetTCodeSize(int tcode) override;
    int FindTCode(CHole* hole, bool quiet) override;
    int CollectHoles(std::vector<CHole*>& list, bool withParts) override;
    void ToUserOrigin(CDPoint& point, int unused) override;
    void FromUserOrigin(CDPoint& point, int unused) override;
    int AssignApertureTurret(const std::string& apertureDef, int arg, tagGERBAR* gerbar) override;
    double CalcViaSize(int viaNo, int wiringMask, double* displayRadius, double* outerRadius) override;
    CNetLine* FindNetLine(int id) override;
    void GetFileTime(int which, std::time_t* out) override;

    int GetWireLayerCount() override { return stack.wireCount; }
    const std::vector<std::uint8_t>& GetWireLayerList() override { return stack.wireLayers; }
    CSheet* GetBoardSheet(int layer) override;
    CSheet* GetSelectionSheet(int layer) override;
    tagPARTLAYER GetPartLayer(int index) override;
    tagVIA GetViaEntry(int number) override;
    tagTURRET GetTurretEntry(int number) override;
    int GetTurretDCode(int turret) override;
    tagTEXTSIZE GetTextSizeEntry(int index) override;
    tagDIMS GetDimensionStyle() override { return dims; }
    int GetCurrentLayer() override { return currentLayer; }

    std::string title = "VELTA1", pathName;
    double boardWidth = 0.0, boardHeight = 0.0;
    bool greyPrint = false;
    int greyLevel = 0;
    std::string GetDocTitle() override { return title; }
    std::string GetDocPathName() override { return pathName; }
    void GetBoardSize(double& width, double& height) override
    {
        width = boardWidth;
        height = boardHeight;
    }
    void GetUserOrigin(double& x, double& y) override
    {
        x = userOriginX;
        y = userOriginY;
    }
    bool IsGreyPrint() override { return greyPrint; }
    int GetGreyLevel() override { return greyLevel; }

    // CAM tables for Gerber and drill files. FindTurretByDCode answers from dcodeTurrets (-1 when
    // absent), GetTCodeSize from toolSizes (0), FindTCode the first entry of tools with the hole's
    // diameter and plating (0), GetToolEntry that entry, GetDCodeStroke from strokes;
    // AssignGerberAperture records the definition and the macros, answers from apertureTurrets
    // by the definition's D code (-1 when absent) and files that D code under the turret.
    std::map<int, int> dcodeTurrets;
    std::map<int, double> toolSizes;
    std::vector<tagTCODE> tools;
    std::map<int, tagDSTROKE> strokes;
    std::map<int, int> apertureTurrets;
    std::vector<std::string> apertureDefs;
    std::vector<std::string> apertureMacros;
    tagDSTROKE GetDCodeStroke(int dcode) override;
    tagTCODE GetToolEntry(int index) override;
    int AssignGerberAperture(const std::string& apertureDef, const std::vector<std::string>& macros,
                             tagGERBAR* gerbar) override;

    // Whether a net list counts as loaded.
    bool netsOn = false;
    bool IsNetOn() override { return netsOn; }
};
