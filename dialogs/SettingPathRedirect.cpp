#include "dialogs/SettingPathRedirect.h"

#include "document/VELTADoc.h"

CSettingPathRedirect::CSettingPathRedirect(CVELTADoc& doc, const std::filesystem::path& file)
    : m_doc(doc), m_saved(doc.GetSettingFile().GetPath())
{
    m_doc.GetSettingFile().SetPath(file);
}

CSettingPathRedirect::~CSettingPathRedirect()
{
    m_doc.GetSettingFile().SetPath(m_saved);
}
