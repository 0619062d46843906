// The two inputs of the reader, both fed to the parser in chunks so that
// memory stays bounded whatever the document's size.
#ifndef ZVXML_PLATFORM_SAX_SAX_INPUT_H
#define ZVXML_PLATFORM_SAX_SAX_INPUT_H

#include <cstddef>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

class SaxPushParser;

// Bytes read from a file per chunk.
constexpr std::size_t kSaxFileChunk = 64 * 1024;
// Wide characters converted to UTF-8 per chunk.
constexpr std::size_t kSaxTextChunk = 16 * 1024;

// Pushes `length` wide characters as UTF-8, a chunk at a time, through
// `buffer`. A leading U+FEFF is skipped: the text is already decoded.
void PushWideText(const wchar_t* text, std::size_t length, std::string& buffer, SaxPushParser& parser);

// Pushes the file at `path` (UTF-8), read a chunk at a time into `buffer`,
// until its end or until the parse ends early. Throws SaxPlatformError
// naming `location` with the system's reason when the file cannot be opened
// or read. A pipe nobody writes to reads as empty instead of blocking.
void PushFile(const std::string& path, const std::wstring& location, std::vector<char>& buffer, SaxPushParser& parser);

} // namespace platform
} // namespace ZVXML

#endif
