// Moving and copying the selection to other layers: the selection's layers go to the layer-move
// dialog, and each source layer's selected items land on their targets as one undo step.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/TableChoices.h"

#include <algorithm>

namespace {

constexpr int kTypeRemoved = 3; // the items before the change
constexpr int kTypeMovedIn = 5; // their replacements
constexpr int kTypeAdded = 1;

bool IsBoardLayer(int layer)
{
    return layer >= 0 && layer < LAYER_MAX;
}

} // namespace

std::vector<int> CVELTADoc::GetSelectedLayers()
{
    std::vector<int> layers;
    for (int layer = 0; layer < LAYER_MAX; ++layer)
        if (!m_selSheets[static_cast<std::size_t>(layer)].IsEmpty())
            layers.push_back(layer);
    return layers;
}

bool CVELTADoc::OnLayerMove()
{
    if (!m_pHost)
        return false;
    LayerMoveChoice choice;
    choice.sources = GetSelectedLayers();
    if (choice.sources.empty() || !m_pHost->RunLayerMoveDialog(choice))
        return false;
    MoveSelectionToLayers(choice);
    return true;
}

void CVELTADoc::MoveSelectionToLayers(const LayerMoveChoice& choice)
{
    // Vias and parts keep their layers: they go back to the board first.
    MoveSetItems(6, 4, true, false);
    const std::vector<int>& sources = choice.sources;
    const std::vector<int>& targets = choice.targets;
    auto selection = [this](int layer) -> CSheet& { return m_selSheets[static_cast<std::size_t>(layer)]; };
    auto board = [this](int layer) -> CSheet& { return m_boardSheets[static_cast<std::size_t>(layer)]; };
    // A target list that does not pair with the sources moves nothing it cannot pair.
    const std::size_t pairs = std::min(sources.size(), targets.size());
    int group = 0;
    if (!choice.copy) {
        for (std::size_t i = 0; i < pairs; ++i)
            if (IsBoardLayer(targets[i]) && targets[i] != sources[i] && !selection(sources[i]).IsEmpty())
                StoreUndoItem(&selection(sources[i]), sources[i], group++, kTypeRemoved);
        for (std::size_t i = 0; i < sources.size(); ++i) {
            CSheet& items = selection(sources[i]);
            const int target = i < pairs && IsBoardLayer(targets[i]) ? targets[i] : sources[i];
            if (items.IsEmpty())
                continue;
            board(target) += items;
            if (target != sources[i])
                StoreUndoItem(&items, target, group++, kTypeMovedIn);
        }
    } else if (choice.allTargets) {
        if (!sources.empty()) {
            const int source = sources.front();
            CSheet& items = selection(source);
            for (int target : targets) {
                if (!IsBoardLayer(target) || target == source || items.IsEmpty())
                    continue;
                board(target) += items;
                StoreUndoItem(&items, target, group++, kTypeAdded);
            }
            for (int other : sources)
                board(other) += selection(other);
        }
    } else {
        for (std::size_t i = 0; i < pairs; ++i) {
            CSheet& items = selection(sources[i]);
            if (!IsBoardLayer(targets[i]) || targets[i] == sources[i] || items.IsEmpty())
                continue;
            board(targets[i]) += items;
            StoreUndoItem(&items, targets[i], group++, kTypeAdded);
        }
        for (int source : sources)
            board(source) += selection(source);
    }
    ClearSheets(2, false);
    // A source layer that is not enabled any more keeps no copy of what went to the board.
    for (int source : sources)
        selection(source).DeleteContents();
    if (m_pHost)
        m_pHost->UpdateAllViews(3, nullptr, nullptr);
}
