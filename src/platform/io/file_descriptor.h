// Ownership of a POSIX file descriptor.
#ifndef ZVXML_PLATFORM_IO_FILE_DESCRIPTOR_H
#define ZVXML_PLATFORM_IO_FILE_DESCRIPTOR_H

#include <unistd.h>

#include <utility>

namespace ZVXML {
namespace platform {

// Closes the descriptor it holds when destroyed. Where the result of close
// matters (after writing), call Close() and check it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // Returns 0, or -1 with errno set. The descriptor is gone either way:
    // retrying close on Linux could close a descriptor another thread got.
    int Close() { return m_fd >= 0 ? ::close(std::exchange(m_fd, -1)) : 0; }

private:
    int m_fd;
};

} // namespace platform
} // namespace ZVXML

#endif
