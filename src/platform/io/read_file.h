// Reading a whole file into memory.
#ifndef ZVXML_PLATFORM_IO_READ_FILE_H
#define ZVXML_PLATFORM_IO_READ_FILE_H

#include <string>

namespace ZVXML {
namespace platform {

// Reads the file at `path` (a UTF-8 path) into `bytes`. Returns an empty
// string on success; otherwise why it failed, e.g.
// "Cannot open file: No such file or directory".
std::string ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace platform
} // namespace ZVXML

#endif
