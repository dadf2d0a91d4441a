#pragma once
// What the library document's sources share: walking the package records of a library image with
// every record checked against the image, reading a record's parts, building a package record,
// whole-file reads and replacements, and the library's messages.

#include "platform/Archive.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CPart;
class DocumentServices;

namespace library_support {

// Record markers.
constexpr std::int32_t kPackage = 200;    // parts in the library form (read with version 3)
constexpr std::int32_t kPackageNew = 202; // parts in the newer form (read with version 6)
constexpr std::int32_t kEnd = 0;
constexpr std::int32_t kEndOther = -1;

// Part record versions of the library.
constexpr int kWriteVersion = 1;
constexpr int kReadVersion = 3;
constexpr int kReadVersionNew = 6;

// One record of an image: offsets of its marker, of its count (after the length field) and of the
// byte after it.
struct Record
{
    std::int32_t marker = 0;
    std::string name;
    std::size_t begin = 0;
    std::size_t body = 0;
    std::size_t end = 0;
};

// Walks the records of a library image from its start. Each step checks the record against the
// image: its name and length must lie inside it, and a package record must hold its count. A walk
// that meets a bad record or the end of the image before an end marker throws ArchiveError.
class RecordWalker
{
public:
    explicit RecordWalker(const std::vector<std::uint8_t>& image);

    // The next record; false at an end marker (0 or -1).
    bool Next(Record& record);
    // The next package record (kPackage), passing over records of other kinds; false at an end marker.
    bool NextPackage(Record& record);
    // Offset and value of the end marker once Next gave false.
    std::size_t EndPos() const { return m_endPos; }
    std::int32_t EndMarker() const { return m_endMarker; }

    // The parts of a record that Next gave, read with the version through an archive whose document
    // is doc (without one the parts keep no items). count is the record's count field. Throws
    // ArchiveError for a count or a part that does not fit the record.
    std::vector<std::unique_ptr<CPart>> ReadParts(const Record& record, int version, DocumentServices* doc,
                                                  std::int32_t& count) const;

private:
    const std::vector<std::uint8_t>& m_image;
    std::size_t m_pos = 0;
    std::size_t m_endPos = 0;
    std::int32_t m_endMarker = 0;
};

// Whether every record of a non-empty image fits it up to an end marker.
bool CheckImage(const std::vector<std::uint8_t>& image);

// Appends a package record holding the parts (written with the library version through an
// archive whose document is doc).
void AppendRecord(std::vector<std::uint8_t>& out, const std::string& name, const std::vector<CPart*>& parts,
                  DocumentServices* doc);
// Appends an int32 0.
void AppendEnd(std::vector<std::uint8_t>& out);

// Files, named by CP932 paths.
bool Exists(const std::string& path);
// A file without its owner's write permission: the read-only attribute of the file.
bool IsReadOnly(const std::string& path);
// The whole file; none when it is missing or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
// Replaces the file by the bytes through a temporary file renamed over it when complete. False when
// the file is read-only or cannot be written; the old file is then untouched.
bool ReplaceWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Creates an empty file that must not exist yet.
bool CreateEmptyFile(const std::string& path);

// The path as spelt when that file exists; otherwise the file in the same folder whose name differs
// only in the case of ASCII letters, when there is one (names written on a system that ignores
// case); otherwise the path as spelt.
std::string FindFileIgnoringCase(const std::string& path);

// Upper-cased (ASCII letters) s ends with the upper-case suffix.
bool EndsWithUpper(std::string_view s, std::string_view upperSuffix);
// Without trailing white space (blank, tab, CR, LF).
std::string TrimRight(std::string_view s);
// Without leading white space.
std::string TrimLeft(std::string_view s);

// Messages.
// "ファイル %s を作成できません" with the path.
void ShowCannotCreate(const std::string& path);
// The library file's records do not fit it.
void ShowDamaged(const std::string& path);

} // namespace library_support
