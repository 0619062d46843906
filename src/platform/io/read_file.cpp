#include "platform/io/read_file.h"

#include "platform/io/file_descriptor.h"
#include "platform/io/open_for_reading.h"

#include <cerrno>
#include <climits>
#include <system_error>

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
