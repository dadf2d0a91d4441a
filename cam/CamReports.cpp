#include "cam/CamReports.h"

// Placeholders until the reports are written.
void WritePhotoReport(CVELTADoc&, const tagGERBAR&, const std::vector<int>&, const std::string&,
                      const std::string&, const std::string&, std::uint64_t)
{
}

void WriteDrillReport(CVELTADoc&, const tagGERBAR&, const std::vector<int>&, const std::string&,
                      const std::string&, const std::string&, std::uint64_t)
{
}

void WriteDrillList(CVELTADoc&, CSheet&, const std::string&, const std::string&, bool, bool) {}
