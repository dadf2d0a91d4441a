// The part library document: names, the registered library list, the library file and its
// backup, packages in and out, and the index.

#include "model/library/Library.h"

#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/library/LibrarySupport.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <filesystem>
#include <system_error>

using namespace library_support;

namespace {

const char* const kListSection = "Library File List";
constexpr int kPartCommand = 32913; // the Input-menu id of parts, as the sheet counts them

std::vector<CPart*> PartsOf(CSheet& sheet)
{
    std::vector<CPart*> parts;
    for (POSITION pos = sheet.GetFirstPartPos(); pos;)
        parts.push_back(sheet.GetNextPart(pos));
    return parts;
}

// The string goes in whole (the line form of CPart::SetPartName would read quotes in it).
void RenamePart(CPart& part, const std::string& name)
{
    CText text(*part.GetPartNameText());
    text.SetName(name);
    part.SetPartName(text);
}

} // namespace

CLibrary::CLibrary() = default;

CLibrary::~CLibrary() = default;

int CLibrary::OnNewDocument()
{
    ReadLibraryList();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Registered libraries

const std::vector<std::string>& CLibrary::ReadLibraryList()
{
    m_LibraryList.clear();
    platform::Profile& profile = platform::GetProfile();
    for (int i = 1;; ++i) {
        std::string path = profile.GetString(kListSection, platform::Format("File%d", i));
        if (path.empty())
            break;
        m_LibraryList.push_back(std::move(path));
    }
    return m_LibraryList;
}

void CLibrary::WriteLibraryList()
{
    platform::Profile& profile = platform::GetProfile();
    profile.DeleteSection(kListSection);
    int i = 1;
    for (const std::string& path : m_LibraryList)
        profile.SetString(kListSection, platform::Format("File%d", i++), path);
}

// ---------------------------------------------------------------------------------------------
// Names

void CLibrary::SetLibraryName(const std::string& path)
{
    // Blanks and dots are never trail bytes, so trimming them cannot cut a character.
    std::size_t n = path.size();
    while (n > 0 && (path[n - 1] == ' ' || path[n - 1] == '.'))
        --n;
    m_strLibraryName = path.substr(0, n);
    if (EndsWithUpper(m_strLibraryName, ".VLB"))
        m_strIndexName = m_strLibraryName.substr(0, m_strLibraryName.size() - 4) + ".vix";
    else
        m_strIndexName = m_strLibraryName + ".vix";
}

// ---------------------------------------------------------------------------------------------
// The library file

int CLibrary::ReadFile()
{
    if (EndsWithUpper(m_strLibraryName, ".VBK") || EndsWithUpper(m_strLibraryName, ".LBK")) {
        AfxMessageBox(_J("バックアップファイルです。"), MB_OK);
        return 0;
    }

    std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(m_strLibraryName);
    if (!data) {
        const std::string question =
            m_strLibraryName + "\n" + _J("部品ファイルが見つかりません\n新規作成しますか？");
        if (AfxMessageBox(question, MB_YESNO | MB_DEFBUTTON2) != IDYES)
            return 0;
        if (!CreateEmptyFile(m_strLibraryName)) {
            ShowCannotCreate(m_strLibraryName);
            return 0;
        }
        data.emplace();
    }

    // A library whose records do not fit the file is refused whole, before anything reads it.
    if (!data->empty() && !CheckImage(*data)) {
        m_Buffer.clear();
        ShowDamaged(m_strLibraryName);
        return 0;
    }
    m_Buffer = std::move(*data);
    return 1;
}

bool CLibrary::MakeBackUp()
{
    if (platform::GetProfile().GetInt("FileSave", "LibraryBackUp", 1) == 0)
        return false;
    std::string backup;
    if (EndsWithUpper(m_strLibraryName, ".VLB")) {
        backup = m_strLibraryName.substr(0, m_strLibraryName.size() - 4);
    } else {
        backup = m_strLibraryName;
        if (!backup.empty() && backup.back() == '.')
            backup.pop_back();
    }
    backup += ".lbk";

    const std::optional<std::vector<std::uint8_t>> old = ReadWholeFile(m_strLibraryName);
    if (!old)
        return false;
    const std::filesystem::path libraryPath = platform::Cp932ToPath(m_strLibraryName);
    platform::FileTimes times;
    platform::GetClock().GetFileTimes(libraryPath, times);
    m_CreationTime = times.creation;
    if (IsReadOnly(m_strLibraryName) || IsReadOnly(backup))
        return true;

    // The backup is a copy, not the library renamed: until the new library is complete the user
    // keeps the old one where it was.
    if (ReplaceWholeFile(backup, *old)) {
        std::error_code ec;
        const auto written = std::filesystem::last_write_time(libraryPath, ec);
        if (!ec)
            std::filesystem::last_write_time(platform::Cp932ToPath(backup), written, ec);
    }
    return true;
}

bool CLibrary::ReplaceFile(const std::vector<std::uint8_t>& bytes, bool backup)
{
    if (backup)
        MakeBackUp();
    if (!ReplaceWholeFile(m_strLibraryName, bytes)) {
        ShowCannotCreate(m_strLibraryName);
        return false;
    }
    RemoveIndex();
    return true;
}

void CLibrary::RemoveIndex()
{
    if (m_strIndexName.empty() || !Exists(m_strIndexName) || IsReadOnly(m_strIndexName))
        return;
    std::error_code ec;
    std::filesystem::remove(platform::Cp932ToPath(m_strIndexName), ec);
}

bool CLibrary::WriteFile()
{
    return ReplaceFile(m_Buffer, true);
}

bool CLibrary::AppendBase(std::vector<std::uint8_t>& base, bool fromMemory)
{
    if (fromMemory) {
        base = m_Buffer;
    } else if (Exists(m_strLibraryName)) {
        std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(m_strLibraryName);
        if (!data) {
            ShowCannotCreate(m_strLibraryName);
            return false;
        }
        base = std::move(*data);
    } else {
        base.clear();
    }
    if (base.empty())
        return true;

    // New records take the place of the end marker, which must be the file's last four bytes:
    // anything else would put them after a damaged record or inside one.
    bool whole = false;
    try {
        RecordWalker walker(base);
        Record record;
        while (walker.Next(record)) {
        }
        whole = walker.EndMarker() == kEnd && walker.EndPos() + 4 == base.size();
    } catch (const ArchiveError&) {
        whole = false;
    }
    if (!whole) {
        ShowDamaged(m_strLibraryName);
        return false;
    }
    base.erase(base.end() - 4, base.end());
    return true;
}

// ---------------------------------------------------------------------------------------------
// Packages

int CLibrary::ReadPart(CSheet* sheet)
{
    bool damaged = false;
    return ReadPartSub(sheet, damaged);
}

int CLibrary::ReadPartSub(CSheet* sheet, bool& damaged)
{
    damaged = false;
    if (m_Buffer.empty() || !sheet)
        return 0;
    std::string trueName;
    const bool renamed = ReadTruePartName(trueName);

    // A sheet that fills the surfaces of the parts stored into it may refuse a fill too large:
    // that is said once.
    bool fillTooLarge = false;
    int result = 0;
    try {
        RecordWalker walker(m_Buffer);
        Record record;
        while (walker.NextPackage(record)) {
            if (!m_strPackageName.empty() && platform::MbsICmp(record.name, m_strPackageName) != 0)
                continue;
            std::int32_t count = 0;
            std::vector<std::unique_ptr<CPart>> parts =
                walker.ReadParts(record, kReadVersion, sheet->GetDocument(), count);
            for (const std::unique_ptr<CPart>& part : parts) {
                if (renamed)
                    RenamePart(*part, trueName);
                if (CPart* stored = sheet->NewPart(*part))
                    for (POSITION pos = stored->GetFirstSurPos(); pos;)
                        fillTooLarge = stored->GetNextSur(pos)->IsFillTooLarge() || fillTooLarge;
            }
            if (!m_strPackageName.empty()) {
                result = 1;
                break;
            }
        }
    } catch (const ArchiveError&) {
        damaged = true;
        ShowDamaged(m_strLibraryName);
    }
    if (fillTooLarge)
        CSur::ShowFillTooLarge();
    return result;
}

std::unique_ptr<CPart> CLibrary::GetPart(const std::string& library, const std::string& package, int index,
                                         CSheet* work)
{
    m_strLibraryName = library;
    if (!package.empty())
        m_strPackageName = package;
    const std::string asked = m_strPackageName;
    if (!work || !ReadFile())
        return nullptr;
    bool damaged = false;
    const int found = ReadPartSub(work, damaged);
    if (damaged)
        return nullptr;

    CPart* part = nullptr;
    if (!asked.empty() && found) {
        if (!package.empty() && index >= 1)
            part = work->GetPart(index - 1);
        if (!part)
            part = work->GetHeadPart();
    } else if (asked.empty()) {
        part = work->GetHeadPart();
    }
    if (!part) {
        if (!asked.empty())
            AfxMessageBox(asked + _J("が見つかりません"), MB_OK);
        return nullptr;
    }
    return std::make_unique<CPart>(*part);
}

bool CLibrary::DelPart(bool ask, bool write)
{
    if (m_Buffer.empty())
        return true;
    try {
        RecordWalker walker(m_Buffer);
        Record record;
        while (walker.NextPackage(record)) {
            if (platform::MbsICmp(record.name, m_strPackageName) != 0)
                continue;
            if (ask && AfxMessageBox(_J("同名の部品が存在します。\n上書きしますか？"),
                                     MB_YESNO | MB_ICONQUESTION) != IDYES)
                return false;
            m_Buffer.erase(m_Buffer.begin() + static_cast<std::ptrdiff_t>(record.begin),
                           m_Buffer.begin() + static_cast<std::ptrdiff_t>(record.end));
            if (write)
                WriteFile();
            return true;
        }
    } catch (const ArchiveError&) {
        // A damaged image is not changed, and nothing may be written over it.
        ShowDamaged(m_strLibraryName);
        return false;
    }
    return true;
}

bool CLibrary::WritePart(CSheet* sheet, int mode)
{
    if (!sheet)
        return false;
    DocumentServices* doc = sheet->GetDocument();
    const std::vector<CPart*> parts = PartsOf(*sheet);
    const bool inMemory = !m_Buffer.empty();
    const std::vector<std::uint8_t> before = m_Buffer;

    std::vector<std::uint8_t> records;
    try {
        if (mode != 0) {
            if (inMemory) {
                bool first = true;
                for (CPart* part : parts) {
                    m_strPackageName = part->GetPartName();
                    if (!DelPart(first, false)) {
                        m_Buffer = before;
                        return false;
                    }
                    first = false;
                }
            }
            for (CPart* part : parts)
                AppendRecord(records, part->GetPartName(), {part}, doc);
        } else {
            AppendRecord(records, m_strPackageName, parts, doc);
        }
    } catch (const ArchiveError&) {
        m_Buffer = before;
        ShowCannotCreate(m_strLibraryName);
        return false;
    }

    // The memory copy (with the packages just removed), or else the file on disk, and the new
    // records after it replace the file in one step.
    std::vector<std::uint8_t> image;
    if (!AppendBase(image, inMemory)) {
        m_Buffer = before;
        return false;
    }
    image.insert(image.end(), records.begin(), records.end());
    AppendEnd(image);
    if (!ReplaceFile(image, inMemory)) {
        m_Buffer = before;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Index

bool CLibrary::CheckIndexVer(const std::string& text)
{
    return platform::MbsCmp(text, kIndexVersion) == 0;
}

bool CLibrary::MakeIndex(CSheet& sheet)
{
    if (m_strIndexName.empty() || IsReadOnly(m_strIndexName))
        return false;
    CArchive ar(CArchive::store);
    ar << std::string(kIndexVersion);
    ar << static_cast<std::int32_t>(sheet.GetCount(kPartCommand));
    for (CPart* part : PartsOf(sheet)) {
        ar << part->GetPartName();
        const auto n = static_cast<std::int32_t>(part->GetID());
        ar << n;
        if (n <= 1)
            continue;
        const std::string& ref = part->GetRefName();
        ar << ref;
        if (!ref.empty()) {
            ar << static_cast<std::int32_t>(part->GetType());
        } else {
            POSITION pos = part->GetFirstTextPos();
            CText* text = pos ? part->GetNextText(pos) : nullptr;
            ar << (text ? text->GetName() : part->GetPartName());
        }
    }
    return ReplaceWholeFile(m_strIndexName, ar.Data());
}

int CLibrary::ReadPartOutline(CSheet* sheet)
{
    if (m_Buffer.empty() || !sheet)
        return 0;
    try {
        RecordWalker walker(m_Buffer);
        Record record;
        while (walker.NextPackage(record)) {
            std::int32_t count = 0;
            std::vector<std::unique_ptr<CPart>> parts =
                walker.ReadParts(record, kReadVersion, sheet->GetDocument(), count);
            for (const std::unique_ptr<CPart>& part : parts) {
                // An element of a several-part package keeps its own name as a text.
                if (count > 1 && part->GetPartName() != record.name) {
                    CText own;
                    own.SetName(part->GetPartName());
                    part->NewText(own);
                }
                RenamePart(*part, record.name);
                part->SetID(static_cast<std::uint32_t>(count));
                sheet->NewPart(*part);
            }
        }
    } catch (const ArchiveError&) {
        ShowDamaged(m_strLibraryName);
    }
    return 0;
}
