#pragma once
// The reports written beside each CAM output file, and the plain drill lists.

#include "model/services/Records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CVELTADoc;
class CSheet;

// The photo report ("$PHOT$" section of the report template `reportName`, from the document's
// aperture table as counted for the file) and the drill report ("$DRILL$", from its tool table),
// for the data file at dataPath (CP932) holding dataLength bytes; layers are 0-based. The report
// takes the data file's name without its extension, or with it when keepExtension is set (two
// outputs of one run would otherwise share a report).
void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, bool keepExtension = false);
void WriteDrillReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, bool keepExtension = false);
// Every hole position of `holes` grouped by tool size, into the list `listName` beside dataPath.
void WriteDrillList(CVELTADoc& doc, CSheet& holes, const std::string& dataPath, const std::string& listName,
                    bool circular, bool append);

// The aperture usage a photo report lists: per turret 0..120 its D codes and counts.
using ApertureUsage = std::array<tagDCODE, 121>;
// The photo report from the given usage; a turret without a D code list takes the document's code.
void WritePhotoReport(CVELTADoc& doc, const tagGERBAR& settings, const std::vector<int>& layers,
                      const std::string& dataName, const std::string& reportName, const std::string& dataPath,
                      std::uint64_t dataLength, const ApertureUsage& usage, bool keepExtension = false);
// dataPath without its extension (a leading dot is not one): where reports and lists go.
std::string CutExtension(const std::string& path);
