#pragma once
// A report made from a template file the user can edit: a common frame ("$COMMON$" … "$BLOCKIN$"
// … "$COMMON$") around one section per report kind (the kind's tag twice), whose block between
// "$BLOCKFOR$" and "$BLOCKNEXT$" is repeated once per record. Keys are replaced as plain text.
// All text is CP932 bytes.

#include <filesystem>
#include <string>
#include <vector>

class CReportTemplate
{
public:
    // Reads "<name>.dat" (the per-user data folder's copy first, then the program's) and takes out
    // the common frame and the section of `tag`. A file that cannot be read or split is reported
    // and gives false.
    bool Load(const std::string& name, const std::string& tag);
    // Splits template text as Load does; false when the frame or the section's block markers
    // are missing.
    bool Parse(std::string text, const std::string& tag);

    // Replaces each key by the value at its position, in list order, in the common head and tail.
    void ReplaceCommon(const std::vector<std::string>& keys, const std::vector<std::string>& values);
    // Replaces one key in the block head and the block tail.
    void ReplaceHead(const std::string& key, const std::string& value);
    // With `block` a filled copy of the block body is appended to the accumulated body; without
    // it the keys are replaced in the block head and tail.
    void AddValues(const std::vector<std::string>& keys, const std::vector<std::string>& values, bool block);
    // Writes "<path>.<extension>"; reports a file that cannot be made and gives false.
    bool Write(const std::filesystem::path& pathWithoutExtension) const;

    // The finished report: common head, block head, accumulated body, block tail, common tail.
    std::string Text() const;
    const std::string& GetExtension() const { return m_strExtension; }
    bool IsEnglish() const { return m_bEnglish; }

private:
    std::string m_strCommonHead;
    std::string m_strCommonTail;
    std::string m_strBlockHead;
    std::string m_strBlockBody;
    std::string m_strBody;
    std::string m_strBlockTail;
    std::string m_strExtension;
    bool m_bEnglish = false;
};
