// Reading a whole file into memory.
#ifndef ZVXML_PLATFORM_IO_READ_FILE_H
#define ZVXML_PLATFORM_IO_READ_FILE_H

#include <cstddef>
#include <string>

namespace ZVXML {
namespace platform {

// The most read from a file that is not a regular file (a pipe, a device, a
// symbolic link to one). Such a file has no size to check up front, and
// /dev/zero or a pipe that never ends would otherwise be read until memory
// runs out; no schema file comes near this size.
constexpr std::size_t kMaxNonRegularFileBytes = 64u << 20; // 64 MiB

// Reads the file at `path` (a UTF-8 path) into `bytes`. Returns an empty
// string on success; otherwise why it failed, e.g.
// "Cannot open file: No such file or directory", or "Cannot read file: more
// than 64 MiB from a file that is not a regular file". A pipe without a
// writer reads as empty instead of blocking at open.
std::string ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace platform
} // namespace ZVXML

#endif
