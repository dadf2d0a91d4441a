// Names and headers of the text reports written beside the board, and writing them.

#include "document/VELTADoc.h"

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/Numbers.h"

#include <ctime>

namespace {

// The board file's text without a final ".vbd" in any letter case.
std::string WithoutBoardExtension(const std::string& path)
{
    const std::string extension = ".vbd";
    if (path.size() >= extension.size() &&
        platform::MbsICmp(path.substr(path.size() - extension.size()), extension) == 0)
        return path.substr(0, path.size() - extension.size());
    return path;
}

} // namespace

std::string CVELTADoc::MakeOutputPath(const std::string& extension)
{
    return WithoutBoardExtension(m_strPathName) + extension;
}

std::string CVELTADoc::MakeOutputPathIn(const std::string& folder, const std::string& extension)
{
    if (folder.empty())
        return MakeOutputPath(extension);
    return folder + "/" + WithoutBoardExtension(platform::StoredFileName(m_strPathName)) + extension;
}

void CVELTADoc::WriteReportHeader(std::string& report, const std::string& path)
{
    const std::tm now = platform::GetClock().LocalNow();
    char date[64] = {};
    std::strftime(date, sizeof date, "%Y/%m/%d  %H:%M:%S", &now);
    report += platform::Format("#\n# File : %s\n# Date : %s\n#\n", path.c_str(), date);
}

bool CVELTADoc::WriteReportFile(const std::string& path, const std::string& text)
{
    if (const std::optional<std::string> reason = docfile::WriteTextFile(docfile::ToPath(path), text)) {
        docfile::ReportFileError(docfile::FileError::Save, path, *reason);
        return false;
    }
    return true;
}
