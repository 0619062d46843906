#include "platform/io/read_file.h"

#include "platform/io/file_descriptor.h"

#include <cerrno>
#include <climits>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ZVXML {
namespace platform {
namespace {

// The parser takes its input size as an int.
constexpr off_t kLargestDocument = INT_MAX;

std::string Failure(const char* what, int error)
{
    return std::string(what) + ": " + std::generic_category().message(error);
}

// Opening a pipe for reading blocks until a writer comes; without blocking
// it opens at once, and the reads block again as usual.
int OpenForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        }
    }
    return fd;
}

} // namespace

std::string ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    FileDescriptor file(OpenForReading(path));
    if (file.get() < 0) {
        return Failure("Cannot open file", errno);
    }
    struct stat status;
    const bool regular = ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode);
    if (regular) {
        if (status.st_size > kLargestDocument) {
            return Failure("Cannot read file", EFBIG);
        }
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    // Read to the end rather than trusting st_size: pipes and /proc files
    // report none, and a file may grow meanwhile.
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Failure("Cannot read file", errno);
        }
        if (got == 0) {
            return std::string();
        }
        if (!regular && bytes.size() + static_cast<std::size_t>(got) > kMaxNonRegularFileBytes) {
            bytes.clear();
            return "Cannot read file: more than " + std::to_string(kMaxNonRegularFileBytes >> 20) +
                   " MiB from a file that is not a regular file";
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace platform
} // namespace ZVXML
