#pragma once
// Points a document's board settings file at another file for as long as the object lives, so
// that the document's readers and writers can be used on that file; the document's own path is set
// back on every way out.

#include <filesystem>

class CVELTADoc;

class CSettingPathRedirect
{
public:
    CSettingPathRedirect(CVELTADoc& doc, const std::filesystem::path& file);
    ~CSettingPathRedirect();
    CSettingPathRedirect(const CSettingPathRedirect&) = delete;
    CSettingPathRedirect& operator=(const CSettingPathRedirect&) = delete;

private:
    CVELTADoc& m_doc;
    std::filesystem::path m_saved;
};
