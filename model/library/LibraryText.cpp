// The text library (export and import of a whole library in the item text form) and the name
// tables of old ".LIB" libraries.

#include "model/items/Part.h"
#include "model/library/Library.h"
#include "model/library/LibrarySupport.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

#include <ctime>
#include <optional>

using namespace library_support;

namespace {

DocumentServices* DocumentOrCurrent(DocumentServices* doc)
{
    if (doc)
        return doc;
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetCurrentDocument() : nullptr;
}

// The date and time as the C locale's "%x %X" gives them.
std::string DateTimeText()
{
    platform::Clock& clock = platform::GetClock();
    const std::tm t = clock.LocalNow();
    return platform::Format("%02d/%02d/%02d %02d:%02d:%02d", t.tm_mon + 1, t.tm_mday, t.tm_year % 100,
                            t.tm_hour, t.tm_min, t.tm_sec);
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The name a user asks for in a name-table line: the text after its first comma (trailing white
// space left out); none for a comment, a line without a comma or one without a stored name.
std::optional<std::string> AskedName(const std::string& line, std::size_t& comma)
{
    if (line.empty() || line[0] == '#')
        return std::nullopt;
    comma = platform::FindByte(line, ',');
    if (comma == std::string::npos || comma == 0)
        return std::nullopt;
    return TrimRight(std::string_view(line).substr(comma + 1));
}

bool SameName(const std::string& a, const std::string& b)
{
    return platform::ToUpperAscii(a) == platform::ToUpperAscii(b);
}

// Text-mode lines of the Windows program: every line feed written as CR LF.
std::vector<std::uint8_t> TextModeBytes(const std::string& text)
{
    std::vector<std::uint8_t> out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(static_cast<std::uint8_t>(c));
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Old libraries

bool CLibrary::ReadTruePartName(std::string& name)
{
    const std::size_t at = platform::ToUpperAscii(m_strLibraryName).rfind(".LIB");
    if (at == std::string::npos || at == 0 || m_strPackageName.empty())
        return false;
    const std::string table = FindFileIgnoringCase(m_strLibraryName.substr(0, at) + ".tbl");
    std::optional<platform::TextLineReader> reader =
        platform::TextLineReader::FromFile(platform::Cp932ToPath(table));
    if (!reader)
        return false;
    std::string line;
    while (reader->ReadLine(line)) {
        std::size_t comma = 0;
        const std::optional<std::string> asked = AskedName(line, comma);
        if (!asked || !SameName(*asked, m_strPackageName))
            continue;
        name = platform::ToUpperAscii(*asked);
        m_strPackageName = TrimRight(std::string_view(line).substr(0, comma));
        return true;
    }
    return false;
}

int CLibrary::SetPartNameList(std::string& line)
{
    if (m_strPackageName.empty())
        return 0;
    ReadLibraryList();
    for (const std::string& library : m_LibraryList) {
        if (!EndsWithUpper(library, ".LIB"))
            continue;
        const std::string table = FindFileIgnoringCase(library.substr(0, library.size() - 3) + "TBL");
        std::optional<platform::TextLineReader> reader =
            platform::TextLineReader::FromFile(platform::Cp932ToPath(table));
        if (!reader)
            continue;
        std::string read;
        while (reader->ReadLine(read)) {
            std::size_t comma = 0;
            const std::optional<std::string> asked = AskedName(read, comma);
            if (asked && SameName(*asked, m_strPackageName)) {
                line = read;
                return 1;
            }
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Text library

int CLibrary::WriteAsciiFile(const std::string& path, DocumentServices* doc)
{
    doc = DocumentOrCurrent(doc);
    std::string text;
    text += std::string(kTextLibraryTitle) + " Ver 1.00\n";
    text += _J("# 上の行を削除してはいけません。") + "\n";
    text += _J("# 行の先頭が '#' で始まる行はコメントになります。") + "\n";
    text += "#\n";
    text += "# File created by VELTA\n";
    text += "# Date : " + DateTimeText() + "\n";
    text += "#\n";
    text += "\n";

    if (!m_Buffer.empty()) {
        try {
            RecordWalker walker(m_Buffer);
            Record record;
            while (walker.Next(record)) {
                if (record.marker != kPackage && record.marker != kPackageNew)
                    continue;
                std::int32_t count = 0;
                const int version = record.marker == kPackageNew ? kReadVersionNew : kReadVersion;
                std::vector<std::unique_ptr<CPart>> parts = walker.ReadParts(record, version, doc, count);
                text += platform::Format("Package Name \"%s\"\n", record.name.c_str());
                text += platform::Format("Package Total %d\n", count);
                int i = 0;
                for (const std::unique_ptr<CPart>& part : parts) {
                    text += "#\n";
                    text += platform::Format("Package [%d]\n", ++i);
                    text += part->GetTextLines(doc);
                }
                text += "Package End\n#\n#\n#\n";
            }
        } catch (const ArchiveError&) {
            ShowDamaged(m_strLibraryName);
            return 0;
        }
    }

    if (!ReplaceWholeFile(path, TextModeBytes(text))) {
        ShowCannotCreate(path);
        return 0;
    }
    return 1;
}

int CLibrary::ReadAsciiFile(const std::string& path, DocumentServices* doc)
{
    doc = DocumentOrCurrent(doc);
    std::optional<platform::TextLineReader> reader =
        platform::TextLineReader::FromFile(platform::Cp932ToPath(path));
    if (!reader) {
        AfxMessageBox(_J("ファイルが開けません"), MB_OK);
        return 0;
    }
    std::string line;
    if (!reader->ReadLine(line) || line.find(kTextLibraryTitle) == std::string::npos) {
        AfxMessageBox(_J("テキスト部品ファイルではありません。"), MB_OK);
        return 0;
    }
    m_strPackageName.clear();

    // The whole text is read into package records first; the library changes only when it all read.
    auto formatError = [](int lineNumber) {
        AfxMessageBox(platform::Format(_J("フォーマットが不正です。%d行目").c_str(), lineNumber), MB_OK);
        return 0;
    };
    std::vector<std::uint8_t> records;
    std::string package;
    int lineNumber = 0; // the line after the title is line 1
    while (reader->ReadLine(line)) {
        ++lineNumber;
        const std::string trimmed = TrimLeft(line);
        if (StartsWith(trimmed, "Package Name")) {
            const std::size_t first = trimmed.find('"');
            const std::size_t last = trimmed.rfind('"');
            if (first == std::string::npos || last <= first + 1)
                return formatError(lineNumber);
            package = trimmed.substr(first + 1, last - first - 1);
        } else if (StartsWith(trimmed, "Package Total")) {
            continue;
        } else if (StartsWith(trimmed, "Package [")) {
            if (trimmed.find(']') == std::string::npos)
                return formatError(lineNumber);
        } else if (!package.empty() && StartsWith(trimmed, "Part")) {
            // The package's parts run from this line to "Package End", read as one layer of the
            // item text form.
            const int partLine = lineNumber;
            std::string body = "Layer 129 3\n" + trimmed + "\n";
            bool ended = false;
            while (reader->ReadLine(line)) {
                ++lineNumber;
                const std::string item = TrimLeft(line);
                if (item.empty() || item[0] == '#')
                    continue;
                if (platform::MbsICmp(TrimRight(item), "Package End") == 0) {
                    ended = true;
                    break;
                }
                body += item + "\n";
            }
            if (!ended)
                return formatError(partLine);
            body += "LayerEnd 129\n";

            CSheet scratch;
            scratch.SetDocument(doc);
            CArchive ar(CArchive::load, std::vector<std::uint8_t>(body.begin(), body.end()));
            ar.SetDocument(doc);
            try {
                scratch.SerializeText(ar);
            } catch (const ArchiveError&) {
                return formatError(partLine);
            }
            std::vector<CPart*> parts;
            for (POSITION pos = scratch.GetFirstPartPos(); pos;)
                parts.push_back(scratch.GetNextPart(pos));
            try {
                AppendRecord(records, package, parts, doc);
            } catch (const ArchiveError&) {
                ShowCannotCreate(m_strLibraryName);
                return 0;
            }
            package.clear();
        }
    }

    // The packages follow what the library held in memory; without a library in memory they
    // make the whole file (an empty one when there were none).
    std::vector<std::uint8_t> image;
    const bool inMemory = !m_Buffer.empty();
    if (inMemory && !AppendBase(image, true))
        return 0;
    if (inMemory || !records.empty()) {
        image.insert(image.end(), records.begin(), records.end());
        AppendEnd(image);
    }
    if (!ReplaceFile(image, true))
        return 0;
    m_Buffer = std::move(image);
    m_strPackageName.clear();
    return 1;
}
