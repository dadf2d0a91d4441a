#pragma once
// The part library document: a library file (".vlb") is a run of package records, each a named set
// of parts, ended by an int32 0. The whole file is held in memory while a library task runs;
// packages are found by name and loaded into a layer sheet, removed from the memory copy, and
// appended to the file. An index file (".vix") lists the parts so that the part browser need not
// load them, and the user's registered library files are kept in the profile.
//
// Record: int32 marker (200 package; 202 package in the newer part form; 0 or -1 end), the package
// name in the archive's string form, int32 length of what follows it in the record (the count and
// the parts), int32 count, then count part records.
//
// The file on disk is only ever replaced whole: a rewrite or an append builds the new contents in
// memory and writes them through a temporary file renamed over the library when complete, after
// keeping the old file as the ".lbk" backup. A library whose records do not fit its file is refused
// with a message before anything reads or changes it.
//
// Old libraries (".LIB") come with a name table beside them (".TBL"): lines "true name,asked name"
// that map the name a user asks for to the package name stored in the library.
//
// The text library is a readable export of a whole library ("# VELTA Text Library File") that can
// be edited and imported again; it holds every part in the layer's item text form.

#include "platform/Archive.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

class CPart;
class CSheet;
class DocumentServices;

class CLibrary : public CDocument
{
public:
    // The first string of an index file of the current layout (the line feed belongs to it).
    static constexpr const char* kIndexVersion = "VELTA LIBRARY INDEX Ver 0.001\n";
    // The first line of a text library must contain this.
    static constexpr const char* kTextLibraryTitle = "# VELTA Text Library File";

    CLibrary();
    ~CLibrary() override;
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    // Reads the registered library list; 1.
    virtual int OnNewDocument();
    // A library document is never stored through an archive.
    void Serialize(CArchive&) {}

    // --- Registered library files (profile section "Library File List", keys File1, File2, ...) ---
    // Fills the list from the profile, up to the first missing or empty key, and returns it.
    const std::vector<std::string>& ReadLibraryList();
    // Replaces the whole section by the list's entries in order.
    void WriteLibraryList();
    void SetLibraryList(const std::vector<std::string>& list) { m_LibraryList = list; }
    const std::vector<std::string>& GetLibraryList() const { return m_LibraryList; }

    // --- Names ---
    // Trailing blanks and dots are removed; the index path is the path with ".vlb" (any case)
    // replaced by ".vix", or the path with ".vix" added.
    void SetLibraryName(const std::string& path);
    const std::string& GetLibraryName() const { return m_strLibraryName; }
    const std::string& GetIndexName() const { return m_strIndexName; }
    // The package that ReadPart, DelPart and WritePart (mode 0) work on; empty for none.
    void SetPackageName(const std::string& name) { m_strPackageName = name; }
    const std::string& GetPackageName() const { return m_strPackageName; }

    // --- The library file ---
    // Loads the library file into memory: 1 on success. A backup (".vbk", ".lbk") is refused; a
    // missing file may be created empty after asking; a file whose records do not fit it is
    // refused. Each refusal shows its message and returns 0.
    int ReadFile();
    // Replaces the library file by the memory copy (keeping the old file as the backup when the
    // profile asks for one) and deletes the index. False, with a message, when it cannot be
    // written; the file on disk is then unchanged.
    bool WriteFile();
    // Number of bytes of the memory copy; 0 when no library is in memory.
    int GetLength() const { return static_cast<int>(m_Buffer.size()); }
    const std::vector<std::uint8_t>& GetBuffer() const { return m_Buffer; }
    // The library file's creation time as the last backup found it (the file system cannot give a
    // rewritten file its old creation time, so the document keeps it).
    std::time_t GetCreationTime() const { return m_CreationTime; }

    // --- Packages ---
    // Loads the parts of the current package (names compared without regard to case) into the
    // sheet: 1 after the first matching record. Without a package name every package is loaded and
    // the result is 0; 0 also when no library is in memory or nothing matches. The parts are read
    // through an archive whose document is the sheet's.
    int ReadPart(CSheet* sheet);
    // Loads one package of the library file into the work sheet and returns a copy of its index-th
    // part (from 1), or of the first part when the package holds fewer. An empty package name loads
    // every package (of the current package name, when one is set) and gives the first part.
    // Nothing when the file cannot be read or the package is missing (which is said). The caller
    // empties the work sheet.
    std::unique_ptr<CPart> GetPart(const std::string& library, const std::string& package, int index,
                                   CSheet* work);
    // Removes the first record of the current package from the memory copy (asking first when ask
    // is set: false when the user declines) and, when write is set, writes the library file.
    bool DelPart(bool ask, bool write);
    // Appends the sheet's parts to the library file. Mode 0: one record under the current package
    // name holding every part. Any other mode: one record per part, named after the part, each
    // replacing the package of that name (the user is asked once, for the first part). With a
    // library in memory the memory copy is the base of the new file, else the file on disk. False,
    // with a message, when nothing was written.
    bool WritePart(CSheet* sheet, int mode);

    // --- Index ---
    // True when the text equals the index version string byte for byte.
    static bool CheckIndexVer(const std::string& text);
    // Writes the index file for a sheet filled by ReadPartOutline; false when it cannot be written.
    bool MakeIndex(CSheet& sheet);
    // Loads every part of every package into the sheet for the index: each part carries its
    // package's name and, as its id, its package's part count; a part of a several-part package
    // whose own name differs gets that name as a text. 0.
    int ReadPartOutline(CSheet* sheet);

    // --- Old libraries ---
    // Among the registered ".LIB" libraries, the first name-table line whose asked name is the
    // current package name: 1 with that line, else 0.
    int SetPartNameList(std::string& line);

    // --- Text library ---
    // Both work with the parts of the board document the caller works in (null: the frame's
    // current document): the parts' items are read and written with that document's part layers.
    // Writes the memory copy as a text library: 1, or 0 when the file cannot be written.
    int WriteAsciiFile(const std::string& path, DocumentServices* doc = nullptr);
    // Appends the packages of a text library to the library (to the memory copy when a library is
    // in memory, else to nothing: the file is rebuilt). The whole text is read first; the library
    // file changes only when all of it read. 1 on success; 0 with a message otherwise.
    int ReadAsciiFile(const std::string& path, DocumentServices* doc = nullptr);

private:
    // Keeps a copy of the library file as its backup when the profile asks for one; true when the
    // library file existed (its creation time is then saved).
    bool MakeBackUp();
    // Maps the package name through the name table of an old library: true with the name the
    // loaded parts take, the package name then being the stored one.
    bool ReadTruePartName(std::string& name);
    // ReadPart, telling a library image that cannot be read (already reported) from a miss.
    int ReadPartSub(CSheet* sheet, bool& damaged);

    // Writes bytes as the new library file (with the backup first when asked); the index goes.
    // False with the creation message when it cannot.
    bool ReplaceFile(const std::vector<std::uint8_t>& bytes, bool backup);
    // The bytes that an append builds on: the memory copy, or else the file on disk (none when it
    // does not exist). False, with a message, when they do not end with their terminator.
    bool AppendBase(std::vector<std::uint8_t>& base, bool fromMemory);
    // Deletes the index file unless it is read-only.
    void RemoveIndex();

    std::string m_strLibraryName;
    std::string m_strPackageName;
    std::string m_strIndexName;
    std::vector<std::uint8_t> m_Buffer; // the whole library file; empty = none
    std::vector<std::string> m_LibraryList;
    std::time_t m_CreationTime = 0;
};
