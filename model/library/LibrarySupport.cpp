// Record walking, record building, whole-file reads and replacements, and messages of the part
// library.

#include "model/library/LibrarySupport.h"

#include "model/items/Part.h"
#include "model/services/DocumentServices.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

namespace library_support {

namespace {

bool IsPackage(std::int32_t marker)
{
    return marker == kPackage || marker == kPackageNew;
}

void PutInt32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Records

RecordWalker::RecordWalker(const std::vector<std::uint8_t>& image) : m_image(image) {}

bool RecordWalker::NextPackage(Record& record)
{
    while (Next(record))
        if (record.marker == kPackage)
            return true;
    return false;
}

bool RecordWalker::Next(Record& record)
{
    // The walk reads the image in place: each field is checked against what is left of it, so no
    // record can make it read past the end or step backwards.
    const std::size_t size = m_image.size();
    auto readInt = [&](std::size_t& pos) {
        if (size - pos < 4)
            throw ArchiveError(ArchiveError::EndOfFile, "library: record cut short");
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(m_image[pos + i]) << (8 * i);
        pos += 4;
        return static_cast<std::int32_t>(u);
    };

    std::size_t pos = m_pos;
    record = Record();
    record.begin = pos;
    if (size - pos < 4)
        throw ArchiveError(ArchiveError::EndOfFile, "library: no end marker");
    record.marker = readInt(pos);
    if (record.marker == kEnd || record.marker == kEndOther) {
        m_endPos = record.begin;
        m_endMarker = record.marker;
        m_pos = record.begin;
        return false;
    }

    // The name in the archive's string form: a length byte below 0xFF, or 0xFF and a 16-bit length
    // below 0xFFFF, or 0xFF, 0xFFFF and a 32-bit length; then the bytes.
    auto need = [&](std::size_t n) {
        if (size - pos < n)
            throw ArchiveError(ArchiveError::EndOfFile, "library: record cut short");
    };
    need(1);
    std::size_t nameLength = m_image[pos++];
    if (nameLength == 0xFF) {
        need(2);
        nameLength = static_cast<std::size_t>(m_image[pos] | (m_image[pos + 1] << 8));
        pos += 2;
        if (nameLength == 0xFFFF)
            nameLength = static_cast<std::uint32_t>(readInt(pos));
    }
    need(nameLength);
    record.name.assign(reinterpret_cast<const char*>(m_image.data() + pos), nameLength);
    pos += nameLength;

    const std::int32_t length = readInt(pos);
    if (length < 0 || static_cast<std::size_t>(length) > size - pos)
        throw ArchiveError(ArchiveError::EndOfFile, "library: record longer than the file");
    if (IsPackage(record.marker) && length < 4)
        throw ArchiveError(ArchiveError::BadFormat, "library: package record without its count");
    record.body = pos;
    record.end = pos + static_cast<std::size_t>(length);
    m_pos = record.end;
    return true;
}

std::vector<std::unique_ptr<CPart>> RecordWalker::ReadParts(const Record& record, int version,
                                                            DocumentServices* doc, std::int32_t& count) const
{
    CArchive ar(CArchive::load,
                std::vector<std::uint8_t>(m_image.begin() + static_cast<std::ptrdiff_t>(record.body),
                                          m_image.begin() + static_cast<std::ptrdiff_t>(record.end)));
    ar.SetDocument(doc);
    ar >> count;
    if (count < 0)
        throw ArchiveError(ArchiveError::BadFormat, "library: negative part count");
    std::vector<std::unique_ptr<CPart>> parts;
    // Each part record takes well over one byte, so a count the record cannot hold fails at its
    // first missing part without anything allocated for the rest.
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            auto part = std::make_unique<CPart>();
            part->Serialize(ar, version);
            parts.push_back(std::move(part));
        }
    } catch (const std::bad_alloc&) {
        // A record that asks for more memory than there is cannot be a library's.
        throw ArchiveError(ArchiveError::BadFormat, "library: record too large to read");
    }
    return parts;
}

bool CheckImage(const std::vector<std::uint8_t>& image)
{
    try {
        RecordWalker walker(image);
        Record record;
        while (walker.Next(record)) {
        }
        return true;
    } catch (const ArchiveError&) {
        return false;
    }
}

void AppendRecord(std::vector<std::uint8_t>& out, const std::string& name, const std::vector<CPart*>& parts,
                  DocumentServices* doc)
{
    CArchive ar(CArchive::store);
    ar.SetDocument(doc);
    ar << kPackage << name;
    const std::size_t lengthAt = ar.GetPosition();
    ar << std::int32_t{-1} << static_cast<std::int32_t>(parts.size());
    for (CPart* part : parts)
        part->Serialize(ar, kWriteVersion);
    std::vector<std::uint8_t> bytes = ar.TakeData();
    const std::size_t length = bytes.size() - lengthAt - 4;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ArchiveError(ArchiveError::WriteFailed, "library: package record too long");
    PutInt32(bytes, lengthAt, static_cast<std::int32_t>(length));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendEnd(std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), 4, std::uint8_t{0});
}

// ---------------------------------------------------------------------------------------------
// Files

bool Exists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(platform::Cp932ToPath(path), ec);
}

bool IsReadOnly(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(platform::Cp932ToPath(path), ec);
    if (ec || !std::filesystem::exists(st))
        return false;
    return (st.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path p = platform::Cp932ToPath(path);
    if (path.empty() || !std::filesystem::is_regular_file(p, ec))
        return std::nullopt;
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(p, CArchive::load);
        return ar->TakeData();
    } catch (const ArchiveError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        // A file larger than the memory there is cannot be read.
        return std::nullopt;
    }
}

bool ReplaceWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (path.empty() || IsReadOnly(path))
        return false;
    try {
        std::unique_ptr<CArchive> ar = CArchive::OpenFile(platform::Cp932ToPath(path), CArchive::store);
        ar->Write(bytes.data(), bytes.size());
        ar->Close();
        return true;
    } catch (const ArchiveError&) {
        return false;
    }
}

bool CreateEmptyFile(const std::string& path)
{
    if (path.empty())
        return false;
    std::FILE* f = std::fopen(platform::Cp932ToPath(path).c_str(), "wbx");
    if (!f)
        return false;
    return std::fclose(f) == 0;
}

std::string FindFileIgnoringCase(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path p = platform::Cp932ToPath(path);
    if (path.empty() || std::filesystem::exists(p, ec))
        return path;
    const std::filesystem::path folder =
        p.parent_path().empty() ? std::filesystem::path(".") : p.parent_path();
    const std::optional<std::string> wanted = platform::PathToCp932(p.filename());
    if (!wanted)
        return path;
    const std::string upper = platform::ToUpperAscii(*wanted);
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::optional<std::string> name = platform::PathToCp932(it->path().filename());
        if (name && platform::ToUpperAscii(*name) == upper) {
            const std::optional<std::string> found =
                platform::PathToCp932(p.parent_path() / it->path().filename());
            if (found)
                return *found;
        }
    }
    return path;
}

bool EndsWithUpper(std::string_view s, std::string_view upperSuffix)
{
    if (s.size() < upperSuffix.size())
        return false;
    return platform::ToUpperAscii(s.substr(s.size() - upperSuffix.size())) == upperSuffix;
}

std::string TrimRight(std::string_view s)
{
    // A blank is never the trail byte of a double-byte character.
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

std::string TrimLeft(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

// ---------------------------------------------------------------------------------------------
// Messages

void ShowCannotCreate(const std::string& path)
{
    AfxMessageBox(platform::Format(_J("ファイル %s を作成できません").c_str(), path.c_str()), MB_OK);
}

void ShowDamaged(const std::string& path)
{
    AfxMessageBox(platform::Format(_J("部品ファイル %s が壊れています").c_str(), path.c_str()),
                  MB_OK | MB_ICONEXCLAMATION);
}

} // namespace library_support
