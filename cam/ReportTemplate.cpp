#include "cam/ReportTemplate.h"

#include "document/BoardFileSupport.h"
#include "document/ProgramFolder.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kCommon = "$COMMON$";
const std::string kBlockIn = "$BLOCKIN$";
const std::string kBlockFor = "$BLOCKFOR$";
const std::string kBlockNext = "$BLOCKNEXT$";
const std::string kFileExt = "$FILEEXT&";
const std::string kEnglish = "$ENGLISH$";

// Every occurrence, left to right; a replacement is not searched again.
void ReplaceAll(std::string& text, const std::string& key, const std::string& value)
{
    if (key.empty())
        return;
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
}

std::string Between(const std::string& text, std::size_t from, std::size_t to)
{
    return from < to && from < text.size() ? text.substr(from, to - from) : std::string();
}

std::string Cp(const fs::path& path)
{
    return platform::PathToCp932(path).value_or(path.string());
}

// `message` is CP932 with one "%s" for the path.
void Report(const std::string& message, const fs::path& path)
{
    AfxMessageBox(platform::Format(message.c_str(), Cp(path).c_str()), MB_OK | MB_ICONEXCLAMATION);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

bool CReportTemplate::Load(const std::string& name, const std::string& tag)
{
    // A per-user template shadows the installed one of the same name.
    const fs::path file = platform::Cp932ToPath(name + ".dat");
    fs::path path = GetUserDataFolder() / file;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        path = GetProgramFolder() / file;
    std::optional<std::string> bytes = platform::ReadFileBytes(path);
    if (!bytes) {
        Report(_J("%s が開けません"), path);
        return false;
    }
    if (!Parse(std::move(*bytes), tag)) {
        Report(_J("%s はレポートテンプレートの形式ではありません"), path);
        return false;
    }
    return true;
}

bool CReportTemplate::Parse(std::string text, const std::string& tag)
{
    *this = CReportTemplate();
    ReplaceAll(text, "\r\n", "\n");

    const std::size_t common = text.find(kCommon);
    const std::size_t blockIn = common == std::string::npos ? common : text.find(kBlockIn, common);
    const std::size_t commonEnd = blockIn == std::string::npos ? blockIn : text.find(kCommon, blockIn);
    if (commonEnd == std::string::npos)
        return false;
    // Each marker is followed by its line end.
    m_strCommonHead = Between(text, common + kCommon.size() + 1, blockIn);
    m_strCommonTail = Between(text, blockIn + kBlockIn.size() + 1, commonEnd);

    // A kind the template has no section for gives the frame alone, with no extension.
    const std::size_t start = tag.empty() ? std::string::npos : text.find(tag);
    const std::size_t end = start == std::string::npos ? start : text.find(tag, start + tag.size());
    if (end == std::string::npos)
        return true;
    const std::string section = text.substr(start + tag.size(), end - start - tag.size());
    const std::size_t blockFor = section.find(kBlockFor);
    const std::size_t blockNext =
        blockFor == std::string::npos ? blockFor : section.find(kBlockNext, blockFor);
    if (blockNext == std::string::npos)
        return false;
    m_strBlockHead = section.substr(0, blockFor);
    m_strBlockBody = Between(section, blockFor + kBlockFor.size(), blockNext);
    m_strBlockTail = section.substr(blockNext + kBlockNext.size());

    if (const std::size_t ext = section.find(kFileExt); ext != std::string::npos) {
        const std::size_t from = ext + kFileExt.size();
        const std::size_t close = section.find('$', from);
        const std::size_t to = close == std::string::npos ? section.size() : close;
        m_strExtension = section.substr(from, to - from);
        const std::string marker = section.substr(ext, (close == std::string::npos ? to : to + 1) - ext);
        if (const std::size_t inHead = m_strBlockHead.find(marker); inHead != std::string::npos)
            m_strBlockHead.erase(inHead, marker.size());
    }
    const std::size_t first = m_strExtension.find_first_not_of(" \t.");
    m_strExtension.erase(0, first == std::string::npos ? m_strExtension.size() : first);
    while (!m_strExtension.empty() && IsSpace(m_strExtension.back()))
        m_strExtension.pop_back();
    if (m_strExtension.empty())
        m_strExtension = "html";

    for (std::size_t at = m_strBlockHead.find(kEnglish); at != std::string::npos;
         at = m_strBlockHead.find(kEnglish, at)) {
        m_strBlockHead.erase(at, kEnglish.size());
        m_bEnglish = true;
    }
    std::size_t lead = 0;
    while (lead < m_strBlockHead.size() && IsSpace(m_strBlockHead[lead]))
        ++lead;
    m_strBlockHead.erase(0, lead);
    return true;
}

void CReportTemplate::ReplaceCommon(const std::vector<std::string>& keys,
                                    const std::vector<std::string>& values)
{
    for (std::size_t i = 0; i < keys.size() && i < values.size(); ++i) {
        ReplaceAll(m_strCommonHead, keys[i], values[i]);
        ReplaceAll(m_strCommonTail, keys[i], values[i]);
    }
}

void CReportTemplate::ReplaceHead(const std::string& key, const std::string& value)
{
    ReplaceAll(m_strBlockHead, key, value);
    ReplaceAll(m_strBlockTail, key, value);
}

void CReportTemplate::AddValues(const std::vector<std::string>& keys, const std::vector<std::string>& values,
                                bool block)
{
    if (!block) {
        for (std::size_t i = 0; i < keys.size() && i < values.size(); ++i)
            ReplaceHead(keys[i], values[i]);
        return;
    }
    std::string copy = m_strBlockBody;
    for (std::size_t i = 0; i < keys.size() && i < values.size(); ++i)
        ReplaceAll(copy, keys[i], values[i]);
    m_strBody += copy;
}

std::string CReportTemplate::Text() const
{
    return m_strCommonHead + m_strBlockHead + m_strBody + m_strBlockTail + m_strCommonTail;
}

bool CReportTemplate::Write(const fs::path& pathWithoutExtension) const
{
    fs::path path = pathWithoutExtension;
    path += "." + m_strExtension;
    if (docfile::WriteTextFile(path, Text())) {
        Report(_J("%s が作成できません"), path);
        return false;
    }
    return true;
}
