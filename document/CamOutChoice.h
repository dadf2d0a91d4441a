#pragma once
// What the CAM output dialog hands to the output command: the board's CAM settings as the settings
// file keeps them, the kind the dialog shows, and the writer settings record of each kind made
// from them.

#include "document/OutputSettings.h"
#include "model/services/Records.h"

#include <array>
#include <string>

struct CamOutChoice
{
    tagCAMOUT settings;       // sections CAM_OUT_PHOT, CAM_OUT_DRIL and CAM_REPORT
    int kind = 0;             // 0 photo, 1 drill: the kind the dialog shows
    std::string boardFolder;  // the board file's folder without the trailing separator (CP932)
    std::array<tagGERBAR, 2> records{}; // per kind, made from `settings` by MakeCamRecords

    // The drill kind's tool table file (CP932; empty: tools made from the board). The photo
    // kind's aperture table file is settings.photoFile.
    std::string drillTableFile;
};

// Fills choice.records of both kinds from choice.settings.
void MakeCamRecords(CamOutChoice& choice);
