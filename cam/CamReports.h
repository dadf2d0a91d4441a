#pragma once
// The reports written beside each CAM output file, and the plain drill lists.

#include "model/services/Records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CVELTADoc;
class CSheet;

// The photo report ("$PHOT$" section of the report template `reportName`) and the drill report
// ("$DRILL$"), for the data file at dataPath (CP932) holding dataLength bytes; layers are 0-based.
void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength);
void WriteDrillReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength);
// Every hole position of `holes` grouped by tool size, into the list `listName` beside dataPath.
void WriteDrillList(CVELTADoc& doc, CSheet& holes, const std::string& dataPath, const std::string& listName,
                    bool circular, bool append);

// The aperture usage a photo report lists: per turret 0..120 its D codes and counts.
using ApertureUsage = std::array<tagDCODE, 121>;
// The photo report from usage counted by the caller on the sheets it wrote. The form above counts
// the listed layers' board sheets itself and takes each turret's D code from the document.
void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, const ApertureUsage& usage);
// dataPath without its extension (a leading dot is not one): where reports and lists go.
std::string CutExtension(const std::string& path);
