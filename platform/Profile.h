#pragma once
// The per-user profile: small settings kept between runs, addressed by section and key.
// Sections may nest: "A\\B" is the group B inside the group A. Strings are CP932 bytes.
//
// Values are typed as they were written. Reading a value as another type follows what a
// text store gives: an integer reads as its decimal text, a string that holds a whole decimal
// number reads as that integer; binary values read only as binary. Anything else gives the
// default.

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {

class Profile
{
public:
    virtual ~Profile() = default;

    virtual int GetInt(const std::string& section, const std::string& key, int def) const = 0;
    virtual bool SetInt(const std::string& section, const std::string& key, int value) = 0;

    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def = std::string()) const = 0;
    virtual bool SetString(const std::string& section, const std::string& key, const std::string& value) = 0;

    // False (and out left empty) when the key is absent or does not hold binary data.
    virtual bool GetBinary(const std::string& section, const std::string& key,
                           std::vector<std::uint8_t>& out) const = 0;
    virtual bool SetBinary(const std::string& section, const std::string& key,
                           const std::vector<std::uint8_t>& value) = 0;

    virtual bool HasKey(const std::string& section, const std::string& key) const = 0;
    // Removing an absent key or section is not an error.
    virtual void DeleteKey(const std::string& section, const std::string& key) = 0;
    // Removes the section with everything nested inside it.
    virtual void DeleteSection(const std::string& section) = 0;
    // The keys directly in the section (not those of nested sections), in sorted order.
    virtual std::vector<std::string> GetKeys(const std::string& section) const = 0;

    // Writes pending changes to the backing store, when there is one.
    virtual void Flush() {}
};

// Profile kept in memory only: the default before a real one is installed, and the tests' profile.
class MemoryProfile : public Profile
{
public:
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

    void Clear() { m_sections.clear(); }

private:
    using Value = std::variant<int, std::string, std::vector<std::uint8_t>>;
    const Value* Find(const std::string& section, const std::string& key) const;

    std::map<std::string, std::map<std::string, Value>> m_sections;
};

// Parses a profile text as an integer the way the store's integer read does: optional blanks,
// an optional sign and decimal digits, nothing after them but blanks, within 32 bits.
bool ParseProfileInt(const std::string& text, int& value);

// Turns a section path into its groups: "A\\B" gives {"A", "B"}; empty parts are dropped.
std::vector<std::string> SplitSection(const std::string& section);

// The installed profile; an in-memory one when none is installed.
Profile& GetProfile();
// Installs a profile (not owned; null goes back to the in-memory default).
void SetProfile(Profile* profile);

} // namespace platform
