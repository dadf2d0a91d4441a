#pragma once
// The per-user profile kept by QSettings in INI form: organisation "QEM", application "VELTA"
// (~/.config/QEM/VELTA.ini). A nested section "A\\B" is the group A/B. Strings are converted
// between CP932 and the file's Unicode; a stored string that CP932 cannot express reads as the
// default. Binary values are QByteArray values.
//
// The sibling program's settings live in the same store under its own application name:
// QtProfile("QEM", "NORVA").GetString("FileSave", "SaveBase") is empty when absent.

#include "platform/Profile.h"

#include <QSettings>
#include <QString>
#include <filesystem>

namespace platform {

class QtProfile : public Profile
{
public:
    // The program's own profile.
    QtProfile();
    QtProfile(const QString& organisation, const QString& application);
    // A profile in the given INI file (tests).
    explicit QtProfile(const std::filesystem::path& iniFile);

    int GetInt(const std::string& section, const std::string& key, int def) const override;
    bool SetInt(const std::string& section, const std::string& key, int value) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def = std::string()) const override;
    bool SetString(const std::string& section, const std::string& key, const std::string& value) override;
    bool GetBinary(const std::string& section, const std::string& key,
                   std::vector<std::uint8_t>& out) const override;
    bool SetBinary(const std::string& section, const std::string& key,
                   const std::vector<std::uint8_t>& value) override;
    bool HasKey(const std::string& section, const std::string& key) const override;
    void DeleteKey(const std::string& section, const std::string& key) override;
    void DeleteSection(const std::string& section) override;
    std::vector<std::string> GetKeys(const std::string& section) const override;
    void Flush() override;

    QString FileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};

} // namespace platform
