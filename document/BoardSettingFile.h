#pragma once
// Reader and writer of one labelled section of a board settings file (*.bpf). A section is
//
//     [LABEL]
//     {
//     entry ;
//     field : field : "quoted : field" ;
//     }
//
// Blanks and tabs outside double quotes are dropped, '#' outside quotes ends a line, labels match
// without regard to case, and one entry may run over several lines up to its ';'. A section that a
// board's own file lacks is read from the master copy velta.bpf in the program folder. The master
// that the program installs is never written: its first edit copies it into the per-user data
// folder, and the master is read from that copy from then on.

#include <filesystem>
#include <string>
#include <vector>

class CBoardSettingFile
{
public:
    std::filesystem::path GetPath() const { return m_path; }
    void SetPath(const std::filesystem::path& path) { m_path = path; }
    void SetLabel(const std::string& label) { m_label = label; }
    const std::string& GetLabel() const { return m_label; }

    // True when the labelled section was found (in this file or, failing that, in the master) and
    // holds at least one entry; every failure has been shown as a message.
    bool ReadSection();
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    const std::string& GetEntry(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    // Clears `fields`, fills it with the fields of entry `index` and returns their number.
    int SplitEntry(int index, std::vector<std::string>& fields) const;
    // Fields of one entry text (quotes removed; a quoted field may hold ':').
    static int SplitText(const std::string& entry, std::vector<std::string>& fields);

    // Replaces the body of the labelled section with `body` (lines ending in CR LF) and rewrites
    // the file as a whole; true only when an existing section was replaced. A missing section is
    // appended (reported, false); a section without its closing '}' is reported and nothing is
    // written.
    bool WriteSection(const std::string& body);

    // "BPF [label] Format Error n" with the entry's 1-based number.
    void ReportFormatError(int index) const;

    // Keeps the numbers 1 to 128 of a comma-separated list, each as "%3d,", without the last comma.
    static void NormalizeLayerList(std::string& list);

    // The master copy that the program installs, and the per-user copy that edits go to.
    static std::filesystem::path InstalledMasterPath();
    static std::filesystem::path UserMasterPath();
    // The file to read for the master: the per-user copy when there is one.
    static std::filesystem::path MasterReadPath();

    // One line of the file as the reader sees it: blanks and tabs outside quotes dropped, cut at
    // '#' outside quotes. `lastPos` receives the byte offset in `raw` of the last character kept
    // (npos when none).
    static std::string CleanLine(const std::string& raw, std::size_t* lastPos = nullptr);

private:
    enum class Outcome
    {
        Found,     // the section with at least one entry
        Missing,   // no such label, or an empty or malformed block (already reported)
        Unreadable // the file could not be opened (already reported)
    };
    Outcome ReadFrom(const std::filesystem::path& file);
    bool IsMasterPath(const std::filesystem::path& path) const;

    std::filesystem::path m_path;
    std::vector<std::string> m_entries;
    std::string m_label;
};
