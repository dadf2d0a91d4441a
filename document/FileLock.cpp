#include "document/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const std::filesystem::path& file, bool exclusive)
{
    m_fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        m_held = false;
        m_reason = std::strerror(EWOULDBLOCK);
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
