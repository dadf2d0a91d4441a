#include "platform/Profile.h"

#include "platform/Cp932.h"

#include <charconv>
#include <limits>

namespace platform {

namespace {

// Sections are compared by their groups, so "A\\B", "A\\B\\" and "\\A\\B" name the same one.
std::string NormalSection(const std::string& section)
{
    std::string out;
    for (const std::string& part : SplitSection(section)) {
        if (!out.empty())
            out += '\\';
        out += part;
    }
    return out;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

MemoryProfile* DefaultProfile()
{
    static MemoryProfile profile;
    return &profile;
}

Profile* g_profile = nullptr;

} // namespace

std::vector<std::string> SplitSection(const std::string& section)
{
    // '\\' can be the trail byte of a double-byte character, so the split walks by characters.
    std::vector<std::string> parts;
    std::string cur;
    for (const Cp932Char& c : Chars(section)) {
        if (c.width == 1 && c.code == '\\') {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur.append(section, c.pos, c.width);
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

bool ParseProfileInt(const std::string& text, int& value)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    if (b < e && text[b] == '+') {
        ++b;
        if (b == e || text[b] == '-')
            return false;
    }
    if (b == e)
        return false;
    std::int64_t v = 0;
    const auto res = std::from_chars(text.data() + b, text.data() + e, v);
    if (res.ec != std::errc() || res.ptr != text.data() + e)
        return false;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(v);
    return true;
}

const MemoryProfile::Value* MemoryProfile::Find(const std::string& section, const std::string& key) const
{
    const auto s = m_sections.find(NormalSection(section));
    if (s == m_sections.end())
        return nullptr;
    const auto k = s->second.find(key);
    return k == s->second.end() ? nullptr : &k->second;
}

int MemoryProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    const Value* v = Find(section, key);
    if (!v)
        return def;
    if (const int* i = std::get_if<int>(v))
        return *i;
    int parsed = 0;
    if (const std::string* s = std::get_if<std::string>(v); s && ParseProfileInt(*s, parsed))
        return parsed;
    return def;
}

bool MemoryProfile::SetInt(const std::string& section, const std::string& key, int value)
{
    m_sections[NormalSection(section)][key] = value;
    return true;
}

std::string MemoryProfile::GetString(const std::string& section, const std::string& key,
                                     const std::string& def) const
{
    const Value* v = Find(section, key);
    if (!v)
        return def;
    if (const std::string* s = std::get_if<std::string>(v))
        return *s;
    if (const int* i = std::get_if<int>(v))
        return std::to_string(*i);
    return def;
}

bool MemoryProfile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    m_sections[NormalSection(section)][key] = value;
    return true;
}

bool MemoryProfile::GetBinary(const std::string& section, const std::string& key,
                              std::vector<std::uint8_t>& out) const
{
    out.clear();
    const Value* v = Find(section, key);
    if (!v)
        return false;
    const auto* bytes = std::get_if<std::vector<std::uint8_t>>(v);
    if (!bytes)
        return false;
    out = *bytes;
    return true;
}

bool MemoryProfile::SetBinary(const std::string& section, const std::string& key,
                              const std::vector<std::uint8_t>& value)
{
    m_sections[NormalSection(section)][key] = value;
    return true;
}

bool MemoryProfile::HasKey(const std::string& section, const std::string& key) const
{
    return Find(section, key) != nullptr;
}

void MemoryProfile::DeleteKey(const std::string& section, const std::string& key)
{
    const auto s = m_sections.find(NormalSection(section));
    if (s == m_sections.end())
        return;
    s->second.erase(key);
    if (s->second.empty())
        m_sections.erase(s);
}

void MemoryProfile::DeleteSection(const std::string& section)
{
    const std::string name = NormalSection(section);
    if (name.empty())
        return;
    const std::string prefix = name + '\\';
    for (auto it = m_sections.begin(); it != m_sections.end();) {
        if (it->first == name || it->first.compare(0, prefix.size(), prefix) == 0)
            it = m_sections.erase(it);
        else
            ++it;
    }
}

std::vector<std::string> MemoryProfile::GetKeys(const std::string& section) const
{
    std::vector<std::string> keys;
    const auto s = m_sections.find(NormalSection(section));
    if (s != m_sections.end()) {
        for (const auto& [key, value] : s->second)
            keys.push_back(key);
    }
    return keys;
}

Profile& GetProfile()
{
    return g_profile ? *g_profile : *DefaultProfile();
}

void SetProfile(Profile* profile)
{
    g_profile = profile;
}

} // namespace platform
