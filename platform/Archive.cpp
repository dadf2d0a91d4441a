#include "platform/Archive.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemError(const std::string& action, const std::filesystem::path& path, int err)
{
    return action + " " + path.string() + ": " + std::strerror(err);
}

void RequireStoring(bool storing)
{
    if (!storing)
        throw std::logic_error("write to a loading archive");
}

void RequireLoading(bool loading)
{
    if (!loading)
        throw std::logic_error("read from a storing archive");
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ArchiveError(ArchiveError::ReadFailed, SystemError("cannot open", path, errno));
    std::vector<std::uint8_t> data;
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            throw ArchiveError(ArchiveError::ReadFailed, SystemError("cannot read", path, err));
        }
        if (n == 0)
            break;
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    return data;
}

// Name of a temporary file beside the target, unique within the process and unlikely to collide
// with another process (the file is created exclusively in any case).
std::filesystem::path TempPathFor(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 rng{std::random_device{}()};
    std::string name = "." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                       std::to_string(counter++) + "-" + std::to_string(rng() % 1000000);
    return target.parent_path() / name;
}

void WriteAll(int fd, const std::uint8_t* data, std::size_t size, const std::filesystem::path& path)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw ArchiveError(ArchiveError::WriteFailed,
                               SystemError("cannot write", path, n < 0 ? errno : EIO));
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Writes the bytes to a temporary file in the target's folder, flushes them to the disk and
// renames the file over the target, so the target is either the old file or the whole new one.
void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& data,
                         const std::function<void(const std::filesystem::path&)>& beforeReplace)
{
    std::filesystem::path target = path;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        // Replace the file the link points to, not the link.
        std::filesystem::path real = std::filesystem::canonical(path, ec);
        if (!ec)
            target = real;
    }

    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TempPathFor(target);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw ArchiveError(ArchiveError::WriteFailed, SystemError("cannot create", temp, errno));

    try {
        struct stat st
        {
        };
        if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)::fchmod(fd, st.st_mode & 07777); // keep the permissions of the file being replaced
        WriteAll(fd, data.data(), data.size(), temp);
        if (::fsync(fd) != 0)
            throw ArchiveError(ArchiveError::WriteFailed, SystemError("cannot flush", temp, errno));
        int rc = ::close(fd);
        fd = -1;
        if (rc != 0)
            throw ArchiveError(ArchiveError::WriteFailed, SystemError("cannot close", temp, errno));
        if (beforeReplace)
            beforeReplace(target);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            throw ArchiveError(ArchiveError::WriteFailed, SystemError("cannot replace", target, errno));
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }

    // Make the rename itself durable; the data is complete either way.
    std::filesystem::path dir = target.parent_path();
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

CArchive::CArchive(Mode mode, std::vector<std::uint8_t> data)
    : m_mode(mode), m_data(std::move(data)), m_uncaught(std::uncaught_exceptions())
{
    if (mode == store)
        m_pos = m_data.size();
}

std::unique_ptr<CArchive> CArchive::OpenFile(const std::filesystem::path& path, Mode mode)
{
    std::unique_ptr<CArchive> ar;
    if (mode == load)
        ar = std::make_unique<CArchive>(load, ReadWholeFile(path));
    else
        ar = std::make_unique<CArchive>(store);
    ar->m_path = path;
    ar->m_isFile = true;
    return ar;
}

CArchive::~CArchive()
{
    if (m_closed || !m_isFile || m_mode != store)
        return;
    if (std::uncaught_exceptions() > m_uncaught) {
        // Destroyed by an error part way through writing: the data is incomplete.
        Abort();
        return;
    }
    try {
        Close();
    } catch (...) {
        // The caller chose not to learn of failure by calling Close() itself.
    }
}

void CArchive::Need(std::size_t size) const
{
    if (size > Remaining())
        throw ArchiveError(ArchiveError::EndOfFile,
                           "unexpected end of data at byte " + std::to_string(m_pos) +
                               (m_path.empty() ? std::string() : " of " + m_path.string()));
}

void CArchive::Write(const void* data, std::size_t size)
{
    RequireStoring(IsStoring());
    if (size == 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (m_pos == m_data.size()) {
        // Appending, as nearly every write does: no zero fill before the copy.
        if (m_data.capacity() - m_data.size() < size)
            Grow(size);
        m_data.insert(m_data.end(), bytes, bytes + size);
        m_pos += size;
        return;
    }
    if (m_pos + size > m_data.size())
        m_data.resize(m_pos + size);
    std::memcpy(m_data.data() + m_pos, data, size);
    m_pos += size;
}

void CArchive::Grow(std::size_t size)
{
    // Each step copies what was written and touches fresh pages for it: growing fourfold copies
    // a third of the final size where doubling copies all of it. Pages of the room not yet written
    // are never touched; beyond 64 MiB the room doubles.
    constexpr std::size_t kFirst = std::size_t{64} << 10;
    constexpr std::size_t kFourfoldUpTo = std::size_t{64} << 20;
    const std::size_t used = m_data.size();
    const std::size_t room = used < kFourfoldUpTo ? used * 4 : used * 2;
    m_data.reserve(std::max({used + size, room, kFirst}));
}

void CArchive::Read(void* data, std::size_t size)
{
    RequireLoading(IsLoading());
    Need(size);
    if (size == 0)
        return;
    std::memcpy(data, m_data.data() + m_pos, size);
    m_pos += size;
}

std::size_t CArchive::ReadSome(void* data, std::size_t size)
{
    RequireLoading(IsLoading());
    std::size_t n = std::min(size, Remaining());
    Read(data, n);
    return n;
}

std::string_view CArchive::ReadRestView()
{
    RequireLoading(IsLoading());
    const std::string_view rest(reinterpret_cast<const char*>(m_data.data()) + m_pos, Remaining());
    m_pos = m_data.size();
    return rest;
}

void CArchive::WriteString(const std::string& s)
{
    Write(s.data(), s.size());
}

bool CArchive::ReadString(std::string& line)
{
    RequireLoading(IsLoading());
    if (Remaining() == 0)
        return false;
    const std::uint8_t* begin = m_data.data() + m_pos;
    const std::uint8_t* end = m_data.data() + m_data.size();
    const std::uint8_t* nl = static_cast<const std::uint8_t*>(std::memchr(begin, '\n', Remaining()));
    const std::uint8_t* stop = nl ? nl : end;
    const std::uint8_t* textEnd = (nl && stop > begin && stop[-1] == '\r') ? stop - 1 : stop;
    line.assign(reinterpret_cast<const char*>(begin), reinterpret_cast<const char*>(textEnd));
    m_pos = static_cast<std::size_t>((nl ? nl + 1 : end) - m_data.data());
    return true;
}

void CArchive::Seek(std::size_t pos)
{
    if (pos > m_data.size())
        throw ArchiveError(ArchiveError::EndOfFile, "seek past the end of the data");
    m_pos = pos;
}

namespace {

template <class T> void PutLittle(CArchive& ar, T v)
{
    std::uint8_t b[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        b[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
    ar.Write(b, sizeof b);
}

template <class T> T GetLittle(CArchive& ar)
{
    std::uint8_t b[sizeof(T)];
    ar.Read(b, sizeof b);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<std::uint64_t>(b[i]) << (8 * i);
    return static_cast<T>(v);
}

} // namespace

CArchive& CArchive::operator<<(std::int32_t v)
{
    PutLittle(*this, static_cast<std::uint32_t>(v));
    return *this;
}
CArchive& CArchive::operator<<(std::uint32_t v)
{
    PutLittle(*this, v);
    return *this;
}
CArchive& CArchive::operator<<(std::int16_t v)
{
    PutLittle(*this, static_cast<std::uint16_t>(v));
    return *this;
}
CArchive& CArchive::operator<<(std::uint16_t v)
{
    PutLittle(*this, v);
    return *this;
}
CArchive& CArchive::operator<<(std::uint8_t v)
{
    Write(&v, 1);
    return *this;
}
CArchive& CArchive::operator<<(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutLittle(*this, bits);
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& v)
{
    v = static_cast<std::int32_t>(GetLittle<std::uint32_t>(*this));
    return *this;
}
CArchive& CArchive::operator>>(std::uint32_t& v)
{
    v = GetLittle<std::uint32_t>(*this);
    return *this;
}
CArchive& CArchive::operator>>(std::int16_t& v)
{
    v = static_cast<std::int16_t>(GetLittle<std::uint16_t>(*this));
    return *this;
}
CArchive& CArchive::operator>>(std::uint16_t& v)
{
    v = GetLittle<std::uint16_t>(*this);
    return *this;
}
CArchive& CArchive::operator>>(std::uint8_t& v)
{
    Read(&v, 1);
    return *this;
}
CArchive& CArchive::operator>>(double& v)
{
    std::uint64_t bits = GetLittle<std::uint64_t>(*this);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator<<(const std::string& s)
{
    RequireStoring(IsStoring());
    std::size_t n = s.size();
    if (n < 0xFF) {
        *this << static_cast<std::uint8_t>(n);
    } else if (n < 0xFFFF) {
        *this << static_cast<std::uint8_t>(0xFF) << static_cast<std::uint16_t>(n);
    } else if (n < 0xFFFFFFFFu) {
        *this << static_cast<std::uint8_t>(0xFF) << static_cast<std::uint16_t>(0xFFFF)
              << static_cast<std::uint32_t>(n);
    } else {
        throw ArchiveError(ArchiveError::BadFormat, "string too long for the archive");
    }
    WriteString(s);
    return *this;
}

CArchive& CArchive::operator>>(std::string& s)
{
    RequireLoading(IsLoading());
    const std::size_t start = m_pos;
    try {
        std::uint8_t len8 = 0;
        *this >> len8;
        std::size_t n = len8;
        if (len8 == 0xFF) {
            std::uint16_t len16 = 0;
            *this >> len16;
            n = len16;
            if (len16 == 0xFFFF) {
                std::uint32_t len32 = 0;
                *this >> len32;
                n = len32;
            }
        }
        // Checked before anything is allocated: a damaged length never becomes a huge string.
        Need(n);
        s.assign(reinterpret_cast<const char*>(m_data.data() + m_pos), n);
        m_pos += n;
    } catch (...) {
        m_pos = start;
        throw;
    }
    return *this;
}

std::vector<std::uint8_t> CArchive::TakeData()
{
    std::vector<std::uint8_t> data = std::move(m_data);
    m_data.clear();
    m_pos = 0;
    return data;
}

std::unique_ptr<CArchive> CArchive::OpenSideBuffer() const
{
    auto ar = std::make_unique<CArchive>(load, m_side);
    ar->m_pDocument = m_pDocument;
    ar->m_path = m_path;
    return ar;
}

void CArchive::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_isFile && m_mode == store)
        WriteFileAtomically(m_path, m_data, m_beforeReplace);
}

void CArchive::Abort()
{
    m_closed = true;
}
