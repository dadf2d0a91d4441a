#pragma once
// What the CAM input dialog hands to the input command on OK. The reading settings themselves are
// in the profile ("CAMIn\Phot" or "CAMIn\Drill"), which the dialog has just written.

#include <string>

struct CamInChoice
{
    int kind = 0;          // 0 photo-plot, 1 drill
    int layer = 0;         // destination layer
    std::string dataFile;  // CP932
    std::string tableFile; // CP932; may be empty for an extended Gerber file
    bool extended = false; // the photo file carries its own aperture definitions
};
