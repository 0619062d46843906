#include "platform/io/open_for_reading.h"

#include <fcntl.h>

namespace ZVXML {
namespace platform {

int OpenForReading(const std::string& path)
{
    // Without O_NONBLOCK, opening a pipe blocks until a writer comes. Once it
    // is open the flag goes again, so that reads wait for a writer's bytes
    // instead of failing with EAGAIN.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        }
    }
    return fd;
}

} // namespace platform
} // namespace ZVXML
