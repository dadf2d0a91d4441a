#pragma once
// The state of one design rule check run, shared by the steps of the command.

#include "document/VELTADoc.h"
#include "model/net/Net.h"

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

struct CVELTADoc::DrcRun
{
    tagDRCSET stored;  // the settings file's section: turrets and plane mode come from it
    DrcChoice choice;  // what the dialog handed back
    std::string date;  // the reports' date text, taken once
    // The connectivity nets, owned, and the same in list form for the net routines.
    std::vector<std::unique_ptr<CNet>> nets;
    std::vector<CNet*> netList;

    // Output layers: the ones the run may mark, in the order it comes to them.
    std::vector<int> outputLayers;
    int output = 0;          // the current output layer
    bool marking = true;     // false: Cancel at the question, errors only counted
    bool emptyFirst = false; // Yes at the question
    std::set<int> emptied;   // layers the run has come to after a Yes
    CDRect changed;          // emptied and marked areas
    int copperErrors = 0;
    int partErrors = 0;

    // The next output layer: with per-layer output one up, never past the last board layer.
    int Next(int layer) const { return choice.perLayer ? std::min(layer + 1, LAYER_MAX - 1) : layer; }
    void NextOutput() { output = Next(output); }
    // The layers the copper positions (1 to positions) and the sides will mark, each once.
    void PlanOutputLayers(int positions)
    {
        outputLayers.clear();
        int layer = choice.errorLayer;
        auto take = [&] {
            if (std::find(outputLayers.begin(), outputLayers.end(), layer) == outputLayers.end())
                outputLayers.push_back(layer);
            layer = Next(layer);
        };
        if (choice.copperMode != 0)
            for (int p = 1; p <= positions; ++p)
                if (choice.layers[static_cast<std::size_t>(p - 1)])
                    take();
        if (choice.componentSide)
            take();
        if (choice.solderSide)
            take();
    }
};
