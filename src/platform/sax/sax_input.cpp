#include "platform/sax/sax_input.h"

#include "foundation/utf8.h"
#include "platform/io/file_descriptor.h"
#include "platform/io/open_for_reading.h"
#include "platform/sax/sax_push_parser.h"
#include "platform/sax/sax_reader.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace ZVXML {
namespace platform {
namespace {

[[noreturn]] void ThrowSystemError(const wchar_t* action, const std::wstring& location, int error)
{
    throw SaxPlatformError{kSaxUnspecifiedError,
                           action + (L" \"" + location + L"\": ") + Utf8ToWide(std::generic_category().message(error)),
                           location};
}

// Reads up to `size` bytes; 0 at the end of the file.
std::size_t ReadSome(int fd, char* into, std::size_t size, const std::wstring& location)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            ThrowSystemError(L"Cannot read", location, errno);
        }
    }
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

} // namespace

void PushWideText(const wchar_t* text, std::size_t length, std::string& buffer, SaxPushParser& parser)
{
    if (text == nullptr) {
        length = 0;
    }
    std::size_t at = length > 0 && text[0] == 0xFEFF ? 1 : 0;
    while (at < length) {
        std::size_t count = std::min(kSaxTextChunk, length - at);
        // Where wide text is UTF-16, keep a surrogate pair in one chunk.
        if (at + count < length && count > 1 && IsHighSurrogate(text[at + count - 1])) {
            --count;
        }
        buffer.clear();
        AppendWideAsUtf8ForParser(text + at, count, buffer);
        at += count;
        if (!parser.Push(buffer.data(), buffer.size())) {
            return;
        }
    }
}

void PushFile(const std::string& path, const std::wstring& location, std::vector<char>& buffer, SaxPushParser& parser)
{
    const FileDescriptor file(OpenForReading(path));
    if (file.get() < 0) {
        ThrowSystemError(L"Cannot open", location, errno);
    }
    buffer.resize(kSaxFileChunk);
    for (;;) {
        const std::size_t got = ReadSome(file.get(), buffer.data(), buffer.size(), location);
        if (got == 0 || !parser.Push(buffer.data(), got)) {
            return;
        }
    }
}

} // namespace platform
} // namespace ZVXML
