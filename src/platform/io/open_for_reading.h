// Opening a file to read it without waiting for a writer.
#ifndef ZVXML_PLATFORM_IO_OPEN_FOR_READING_H
#define ZVXML_PLATFORM_IO_OPEN_FOR_READING_H

#include <string>

namespace ZVXML {
namespace platform {

// Opens the file at `path` (a UTF-8 path) for reading, close-on-exec, and
// returns its descriptor, or -1 with errno set. A pipe nobody writes to
// opens at once and reads as empty, where a plain open would wait for a
// writer for ever; reads from a pipe with a writer wait for its bytes as
// usual.
int OpenForReading(const std::string& path);

} // namespace platform
} // namespace ZVXML

#endif
