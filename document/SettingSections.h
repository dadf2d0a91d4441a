#pragma once
// Shared steps of the section readers and writers of the board settings file.

#include "document/BoardSettingFile.h"

#include <string>
#include <vector>

namespace settings {

// What a reader does after an entry.
enum class Next
{
    Go,  // on to the next entry
    Stop // the section's reading ends here
};

// Reads the labelled section and hands every entry's fields, with the entry's index, to `fn`
// until it answers Stop.
template <class Fn> void ForEachEntry(CBoardSettingFile& file, const std::string& label, Fn fn)
{
    file.SetLabel(label);
    if (!file.ReadSection())
        return;
    std::vector<std::string> fields;
    for (int i = 0; i < file.GetEntryCount(); ++i) {
        file.SplitEntry(i, fields);
        if (fn(fields, i) == Next::Stop)
            break;
    }
}

// Reports entry `index` of the section being read and ends the reading.
inline Next Error(const CBoardSettingFile& file, int index)
{
    file.ReportFormatError(index);
    return Next::Stop;
}

// Reports entry `index` and goes on with the next entry (a value that would index a table
// outside its range).
inline Next Skip(const CBoardSettingFile& file, int index)
{
    file.ReportFormatError(index);
    return Next::Go;
}

inline bool Write(CBoardSettingFile& file, const std::string& label, const std::string& body)
{
    file.SetLabel(label);
    return file.WriteSection(body);
}

// The numbers of a comma-separated list; blank pieces are left out.
std::vector<int> ListNumbers(const std::string& list);
// First characters of `text`, upper-cased, equal `prefix`.
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
// Text without blanks at both ends.
std::string Trim(const std::string& text);

// Output and print list entries ("mark : name : file :layers").
// Text without blanks and tabs at its start.
std::string TrimLeft(const std::string& text);
// The text of an entry after its first ':' (all of it without one).
std::string AfterFirstColon(const std::string& entry);

} // namespace settings
