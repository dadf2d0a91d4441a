#pragma once
// What the CAM output dialog hands to the output command: the board's CAM settings as the settings
// file keeps them, the kind the dialog shows, and the writer settings record of each kind made
// from them.

#include "document/OutputSettings.h"
#include "model/services/Records.h"

#include <array>
#include <string>
#include <vector>

struct CamOutChoice
{
    tagCAMOUT settings;                 // sections CAM_OUT_PHOT, CAM_OUT_DRIL and CAM_REPORT
    int kind = 0;                       // 0 photo, 1 drill: the kind the dialog shows
    std::string boardFolder;            // the board file's folder without the trailing separator (CP932)
    std::array<tagGERBAR, 2> records{}; // per kind, made from `settings` by MakeCamRecords

    // What the dialog edits that the settings sections do not keep.
    std::array<bool, 2> mirrorX{}; // per kind
    std::array<bool, 2> mirrorY{};
    std::string drillTable; // the drill kind's tool list file (the photo one is settings.photoFile)
    bool sameOut = true;    // photo and drill output together (profile CAMOut/SameOut)
};

// Fills choice.records of both kinds from choice.settings.
void MakeCamRecords(CamOutChoice& choice);

// The standard codes: aperture prefix "D", move D02, draw D01, flash D03, linear G01, clockwise G02,
// counter-clockwise G03, program stop M00.
void SetStandardCamCodes(tagGERBAR& record);

// The parts of the settings the CAM option dialog edits, as the two records it takes (codes in the
// photo record, drill options in the drill record), and back.
void MakeOptionRecords(const tagCAMOUT& settings, tagGERBAR& photo, tagGERBAR& drill);
void StoreOptionRecords(tagCAMOUT& settings, const tagGERBAR& photo, const tagGERBAR& drill);

// The fields of an output entry "mark : data name : file name : layers": the data name and the
// file name trimmed, and the layers (1-based in the text) 0-based, ended by -1.
std::string GetEntryName(const std::string& entry);
std::string GetEntryFile(const std::string& entry);
std::vector<int> GetEntryLayers(const std::string& entry);
