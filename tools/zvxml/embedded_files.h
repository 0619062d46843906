// The example files compiled into the program.
#ifndef ZVCLI_EMBEDDED_FILES_H
#define ZVCLI_EMBEDDED_FILES_H

#include <cstddef>

namespace zvcli {

struct EmbeddedFile {
    const char* name;
    const char* content; // UTF-8
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

} // namespace zvcli

#endif
