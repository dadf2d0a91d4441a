#pragma once
// Binary archive of the board and library files: little-endian 32-bit integers, IEEE doubles and
// the length-prefixed string form. Reading past the end or a malformed length throws ArchiveError,
// which open, save and import catch and report.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CDocument;

class ArchiveError : public std::runtime_error
{
public:
    enum Cause
    {
        EndOfFile,   // a read went past the end of the data
        BadFormat,   // a length or a value that cannot be right
        WriteFailed, // the file could not be written
        ReadFailed   // the file could not be opened or read
    };
    ArchiveError(Cause cause, const std::string& what) : std::runtime_error(what), m_cause(cause) {}
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

class CArchive
{
public:
    enum Mode
    {
        load = 1,
        store = 0
    };

    // Memory archive: a loading archive reads the given bytes; a storing one collects bytes.
    explicit CArchive(Mode mode, std::vector<std::uint8_t> data = {});
    // File archive: loading reads the whole file now; storing writes the file on Close()
    // (through a temporary file renamed over the target only when complete).
    static std::unique_ptr<CArchive> OpenFile(const std::filesystem::path& path, Mode mode);

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    // Integers and doubles, little-endian.
    CArchive& operator<<(std::int32_t v);
    CArchive& operator<<(std::uint32_t v);
    CArchive& operator<<(std::int16_t v);
    CArchive& operator<<(std::uint16_t v);
    CArchive& operator<<(std::uint8_t v);
    CArchive& operator<<(double v);
    CArchive& operator>>(std::int32_t& v);
    CArchive& operator>>(std::uint32_t& v);
    CArchive& operator>>(std::int16_t& v);
    CArchive& operator>>(std::uint16_t& v);
    CArchive& operator>>(std::uint8_t& v);
    CArchive& operator>>(double& v);

    // The framework's string form: one length byte below 255; 0xFF and a 16-bit length below
    // 0xFFFF; 0xFF, 0xFFFF and a 32-bit length; then the bytes, no terminator.
    CArchive& operator<<(const std::string& s);
    CArchive& operator>>(std::string& s);

    // Raw bytes.
    void Write(const void* data, std::size_t size);
    void Read(void* data, std::size_t size);            // throws EndOfFile when fewer bytes remain
    std::size_t ReadSome(void* data, std::size_t size); // reads what there is, returns the count
    // The rest of a loading archive, read without a copy: the view lives as long as the archive's
    // bytes. Throws as Read does when the archive is storing.
    std::string_view ReadRestView();
    void WriteString(const std::string& s);             // raw text, no length and no terminator

    // One text line of the file as bytes: ends at LF (a CR before it is dropped); false at the end.
    bool ReadString(std::string& line);

    // Position in a loading archive and what is left.
    std::size_t GetPosition() const { return m_pos; }
    std::size_t GetLength() const { return m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_pos; }
    void Seek(std::size_t pos);

    // The bytes of a memory archive (stored so far, or the loaded data).
    const std::vector<std::uint8_t>& Data() const { return m_data; }
    // Hands the bytes over without a copy (a side buffer filled from a storing archive); the
    // archive is empty afterwards.
    std::vector<std::uint8_t> TakeData();

    // The document being read or written (null for libraries and other archives).
    CDocument* m_pDocument = nullptr;
    CDocument* GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument* doc) { m_pDocument = doc; }

    const std::filesystem::path& GetPath() const { return m_path; }
    void SetPath(const std::filesystem::path& p) { m_path = p; }

    // Whether a notice of this kind (one bit) is the first on this archive: a reader tells the user
    // of a condition once per load, however many records show it.
    bool FirstNotice(unsigned kind)
    {
        const bool first = (m_notices & kind) == 0;
        m_notices |= kind;
        return first;
    }

    // Side buffer that a load fills and reads back afterwards (the terminal links of a board).
    std::vector<std::uint8_t>& SideBuffer() { return m_side; }
    std::unique_ptr<CArchive> OpenSideBuffer() const; // a loading archive over the side buffer

    // Writes a storing file archive to its file; throws WriteFailed. Called by the destructor
    // only if not called before, and then errors are swallowed: call it to learn of failure.
    // A destructor that runs because an exception is unwinding drops the file instead.
    void Close();
    void Abort(); // drop a storing file archive without touching the target file

    // Runs once the new bytes lie complete and flushed beside the target, just before they replace
    // it (a backup of the old file is made here); a throw leaves the target untouched.
    void SetBeforeReplace(std::function<void(const std::filesystem::path& target)> hook)
    {
        m_beforeReplace = std::move(hook);
    }

private:
    void Need(std::size_t size) const;
    void Grow(std::size_t size); // room for size more bytes at the end of a storing archive

    Mode m_mode;
    std::vector<std::uint8_t> m_data;
    std::size_t m_pos = 0;
    std::filesystem::path m_path;
    bool m_isFile = false;
    bool m_closed = false;
    int m_uncaught = 0; // exceptions in flight when opened: the destructor never commits while unwinding
    std::vector<std::uint8_t> m_side;
    unsigned m_notices = 0;
    std::function<void(const std::filesystem::path&)> m_beforeReplace;
};

// The framework's document base: the board document derives from it; the archive carries it.
class CDocument
{
public:
    virtual ~CDocument() = default;
};
