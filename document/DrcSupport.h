#pragma once
// What the design rule check needs besides the sheets: the settings its dialog edits, and the
// fast forms of its three all-against-all steps (merging id groups, pairing parts whose
// rectangles come within reach, matching nets node for node). Each fast form gives exactly the
// result, and the order, of the plain routine it stands for.

#include "model/geometry/DRect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class CNet;
class CVia;

// The design rule check dialog's data: what the check command fills in and reads back after OK.
struct DrcChoice
{
    static constexpr int kCheckLayers = 32;

    int copperMode = 1;                       // 0 off, 1 every wiring layer, 2 listed positions
    std::array<int, kCheckLayers> layers{};   // positions 1..32: 1 = check
    double copperClearance = 0.25;            // mm
    double partClearance = 1.0;               // mm
    int errorLayer = 114;                     // first output layer, 0-based
    int errorLayerCount = 0;                  // layers per-layer output may use (the caller's)
    int netFormat = 0;                        // dialect of the reverse net list
    std::string layerText;                    // comma list of 1-based positions, CP932
    int reverseNet = 0;                       // .drn
    int reverseIndex = 0;                     // .nix
    int viewFiles = 1;
    int perLayer = 1;
    int showLayers = 1;
    int componentSide = 1;
    int solderSide = 1;
    int pinCount = 1;                         // .log
    int netCompare = 0;                       // .crp
};

namespace drc {

// MergeOverlappingGroups (zero-ended groups; groups sharing a value merged, the merged group going
// to the end, until no two share one) with the same groups, values and order, in about
// n log n: each step's pair is found through an index of values instead of a scan of all pairs,
// and a merge moves the smaller group's values into the larger one's storage.
void MergeGroups(std::vector<std::uint32_t>& groups);

// The pairs (p, q), p < q, where rects[p] is not empty and rects[q] meets rects[p] inflated by
// `reach` on every side, ordered by p and then q: a sweep over the rectangles sorted by their left
// edge instead of testing every pair.
std::vector<std::pair<int, int>> FindNearPairs(const std::vector<CDRect>& rects, double reach);

// The copper-group runs that checking each via in turn against an empty list adds to it
// (CVia::CheckNet): a via's ids join the first run holding any of them, the ones that run lacks
// going to its end, or, two or more, open a run of their own. The first run is found through an
// index of ids instead of a scan of the list.
class ViaRuns
{
public:
    // The via's nonzero ids of positions 1 to `layers`, each once.
    void Add(const CVia& via, int layers);
    // The runs, each closed by 0, at the list's end.
    void AppendTo(std::vector<std::uint32_t>& list) const;

private:
    std::vector<std::uint32_t> m_ids;
    std::vector<std::vector<std::uint32_t>> m_runs;
    std::unordered_map<std::uint32_t, std::size_t> m_firstRun; // id -> lowest run holding it
    std::unordered_set<std::uint64_t> m_held;                  // run << 32 | id
};

// Matches nets against a list node for node, as CNet::CheckNet (nets, list) does for each net in
// turn, through an index of the list's node sets.
class NetMatcher
{
public:
    explicit NetMatcher(const std::vector<CNet*>& list);
    ~NetMatcher();
    NetMatcher(const NetMatcher&) = delete;
    NetMatcher& operator=(const NetMatcher&) = delete;
    // CNet::CheckNet (list): marks the net and the first unmarked listed net with its nodes.
    bool Match(CNet& net);

private:
    struct Index;
    const std::vector<CNet*>& m_list;
    std::unique_ptr<Index> m_index;
};

} // namespace drc
