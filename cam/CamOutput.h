#pragma once
// The CAM output run of one kind: the code tables prepared, the list file beside the board, and
// one data file with its report per ticked output entry.

#include "document/CamOutChoice.h"

#include <string>
#include <vector>

class CVELTADoc;

// One output entry line "mark:data name:file name:layers 1..128".
struct CamOutputEntry
{
    bool enabled = false;    // the mark is "1"
    std::string name;        // trimmed
    std::string file;        // trimmed
    std::vector<int> layers; // 0-based, ended by -1; numbers outside 1..128 are left out
};
CamOutputEntry ParseCamOutputEntry(const std::string& line);

// The file name with "-lhl" before its last '.' (appended when no '.' follows its first character).
std::string LongHoleFileName(const std::string& name);

// Runs the output of kind 0 (photo) or 1 (drill) on the choice the output dialog made.
void OutputCamData(CVELTADoc& doc, int kind, const CamOutChoice& choice);
