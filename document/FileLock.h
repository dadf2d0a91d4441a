#pragma once
// An advisory lock on a board file for a scope: shared while it is read, exclusive while it is
// replaced, so that two programs never read a board half-written by the other. A file that does
// not exist needs no lock.

#include <filesystem>
#include <string>

class FileLock
{
public:
    FileLock(const std::filesystem::path& file, bool exclusive);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // False when another holds a lock that excludes this one; reason gives the system's word.
    bool Held() const { return m_held; }
    const std::string& Reason() const { return m_reason; }

private:
    int m_fd = -1;
    bool m_held = true;
    std::string m_reason;
};
