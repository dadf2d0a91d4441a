#pragma once
// A large synthetic two-layer board for benchmarks: at scale 1, 100,000 tracks, 20,000 vias, 5,000
// lands, 2,000 texts and 500 placed parts with their terminals, pads, holes, outlines and names;
// every count grows with the scale and the board area with it, so the density stays the same. A
// few percent of the tracks, lands and vias are exact or reversed duplicates, as a board that was
// pasted over itself has. The object answers as the board's document and installs itself as the
// frame for its lifetime (one board at a time).

#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/services/LayerStack.h"
#include "model/sheet/Sheet.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace bench {

// A hash of bytes (FNV-1a), continued from h: equal hashes of an output before and after a change
// of the code that made it say that the bytes stayed the same.
inline std::uint32_t Fnv1a(const void* data, std::size_t size, std::uint32_t h = 2166136261u)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ bytes[i]) * 16777619u;
    return h;
}

struct SyntheticCounts
{
    int tracks = 100000;
    int vias = 20000;
    int lands = 5000;
    int texts = 2000;
    int parts = 500;
};

class SyntheticBoard : public DocumentServices, public FrameServices
{
public:
    // Layers of the board: two wiring layers and the part-layer pairs.
    static constexpr int kTop = 0, kBottom = 1;
    static constexpr int kSilkA = 10, kSilkB = 11, kHoleA = 30, kHoleB = 31, kTermA = 20, kTermB = 21;
    // Turrets: 1 a 0.2 track, 2 a 0.3 track, 3 a round 1.2 pad, 4 a square 1.6 pad.
    static constexpr int kTrack = 1, kWideTrack = 2, kPad = 3, kSquarePad = 4;

    explicit SyntheticBoard(int scale = 1, unsigned seed = 1);
    ~SyntheticBoard() override;
    SyntheticBoard(const SyntheticBoard&) = delete;
    SyntheticBoard& operator=(const SyntheticBoard&) = delete;

    SyntheticCounts Counts() const { return m_counts; }
    // The two wiring layers' board sheets and the via and part sheet, in the board file's order.
    std::vector<CSheet*> Sheets();
    CSheet& Layer(int layer) { return *m_sheets[static_cast<std::size_t>(layer)]; }
    CSheet& ViaParts() { return *m_sheets[2]; }
    // An empty sheet in the place of a board sheet (same layer, type and document).
    std::unique_ptr<CSheet> EmptyLike(CSheet& sheet);
    // Items on all sheets.
    long ItemCount();

    // --- DocumentServices ---
    COLORREF GetNetColor(int) override { return 0xFFFFFF; }
    int GetDispLayers(std::vector<std::uint8_t>& out) override;
    CSheet* GetHoleSheet(int) override { return nullptr; }
    int GetWireLayerPos(int layer, bool withTerm) override;
    int GetWireLayer(int pos) override { return m_stack.WireLayer(pos); }
    int PartLayerToLayer(std::uint32_t code, bool side, bool swapEnds) override
    {
        return m_stack.PartLayerToLayer(code, side, swapEnds);
    }
    std::uint32_t LayerToPartLayer(int layer, bool side) override
    {
        return m_stack.LayerToPartLayer(layer, side);
    }
    int FindTurretByDCode(int) override { return -1; }
    double GetTCodeSize(int) override { return 0.0; }
    int FindTCode(CHole*, bool) override { return 0; }
    int CollectHoles(std::vector<CHole*>&, bool) override { return 0; }
    void ToUserOrigin(CDPoint&, int) override {}
    void FromUserOrigin(CDPoint&, int) override {}
    int AssignApertureTurret(const std::string&, int, tagGERBAR*) override { return 0; }
    double CalcViaSize(int, int, double* displayRadius, double* outerRadius) override;
    CNetLine* FindNetLine(int) override { return nullptr; }
    void GetFileTime(int, std::time_t* out) override;
    int GetWireLayerCount() override { return m_stack.wireCount; }
    const std::vector<std::uint8_t>& GetWireLayerList() override { return m_stack.wireLayers; }
    CSheet* GetBoardSheet(int layer) override;
    CSheet* GetSelectionSheet(int) override { return nullptr; }
    tagPARTLAYER GetPartLayer(int index) override;
    tagVIA GetViaEntry(int number) override;
    tagTURRET GetTurretEntry(int number) override;
    int GetCurrentLayer() override { return kTop; }
    tagTEXTSIZE GetTextSizeEntry(int index) override { return GetTextSize(index); }

    // --- FrameServices ---
    tagTURRET GetTurret(int number) override { return GetTurretEntry(number); }
    tagVIA GetVia(int number) override { return GetViaEntry(number); }
    tagLAYER GetLayer(int) override { return tagLAYER{}; }
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>& flags, int) override { flags.fill(1); }
    void SetDrawMode(int) override {}
    int GetDrawMode() override { return 0; }
    int GetTurretDCode(int turret) override { return turret + 10; }
    tagTEXTSIZE GetTextSize(int) override { return tagTEXTSIZE{}; }
    tagDIMS GetDimensionStyle() override { return tagDIMS{}; }
    int GetCoordScale() override { return 100; }
    bool IsLayerDisplayed(int) override { return true; }
    DocumentServices* GetCurrentDocument() override { return this; }

private:
    void Build(unsigned seed);

    SyntheticCounts m_counts;
    double m_side = 0.0; // the board is a square of this side in millimetres
    LayerStack m_stack;
    std::array<tagTURRET, TURRET_MAX + 1> m_turrets{};
    std::array<tagVIA, VIA_MAX + 1> m_vias{};
    std::vector<std::unique_ptr<CSheet>> m_sheets;
    FrameServices* m_previousFrame = nullptr;
};

// A frame for benchmarks of loose items without a board: turret number i + 1 is a round track of
// widths[i], and the frame has wireLayers wiring layers. Installs itself as the frame for its lifetime.
class TrackFrame : public FrameServices
{
public:
    TrackFrame(std::vector<double> widths, int wireLayers)
        : m_widths(std::move(widths)), m_wireLayers(wireLayers)
    {
        SetFrameServices(this);
    }
    ~TrackFrame() override { SetFrameServices(nullptr); }
    TrackFrame(const TrackFrame&) = delete;
    TrackFrame& operator=(const TrackFrame&) = delete;

    tagTURRET GetTurret(int number) override
    {
        if (number < 1 || number > static_cast<int>(m_widths.size()))
            return tagTURRET{};
        return tagTURRET{TURRET_ROUND, m_widths[static_cast<std::size_t>(number - 1)], 0.0};
    }
    tagVIA GetVia(int) override { return tagVIA{}; }
    tagLAYER GetLayer(int) override { return tagLAYER{}; }
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>&, int) override {}
    void SetDrawMode(int) override {}
    int GetDrawMode() override { return 0; }
    int GetWireLayerCount() override { return m_wireLayers; }
    int GetTurretDCode(int turret) override { return turret + 10; }
    tagTEXTSIZE GetTextSize(int) override { return tagTEXTSIZE{}; }
    tagDIMS GetDimensionStyle() override { return tagDIMS{}; }
    int GetCoordScale() override { return 100; }
    bool IsLayerDisplayed(int) override { return true; }
    DocumentServices* GetCurrentDocument() override { return nullptr; }

private:
    std::vector<double> m_widths;
    int m_wireLayers;
};

} // namespace bench
