#include "platform/tag_start.h"

#include "platform/byte_search.h"

#include <cstddef>
#include <cstring>

namespace ZVXML {
namespace platform {
namespace {

// What is known of the input: its buffer up to the parser's position.
struct ReadBytes {
    const xmlChar* begin = nullptr;
    const xmlChar* end = nullptr;
    bool startsDocument = false; // nothing before `begin` was dropped
};

ReadBytes Read(const xmlParserInput& input)
{
    ReadBytes read;
    if (input.base != nullptr && input.cur != nullptr && input.cur >= input.base) {
        read.begin = input.base;
        read.end = input.cur;
        read.startsDocument = input.consumed == 0;
    }
    return read;
}

// The "<" of the tag that ends at `read.end`, or null; counts the line
// feeds passed on the way. Called at every start tag, so the search is
// memrchr's: a tag with long attribute values is scanned word by word.
const xmlChar* FindTagOpen(const ReadBytes& read, long& lineFeeds)
{
    lineFeeds = 0;
    const auto size = static_cast<std::size_t>(read.end - read.begin);
    const auto* open = static_cast<const xmlChar*>(::memrchr(read.begin, '<', size));
    if (open == nullptr) {
        return nullptr;
    }
    const auto* const from = reinterpret_cast<const char*>(open + 1);
    lineFeeds = static_cast<long>(CountByte(from, reinterpret_cast<const char*>(read.end), '\n'));
    return open;
}

// Characters of UTF-8 (libxml2's input always is) in [from, to).
long Characters(const xmlChar* from, const xmlChar* to)
{
    long count = 0;
    for (const xmlChar* p = from; p < to; ++p) {
        count += (*p & 0xC0) != 0x80;
    }
    return count;
}

bool IsByteOrderMark(const xmlChar* p, const xmlChar* end)
{
    return end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
}

} // namespace

long TagStartLine(const xmlParserInput& input)
{
    long lineFeeds = 0;
    const ReadBytes read = Read(input);
    if (read.begin == nullptr || FindTagOpen(read, lineFeeds) == nullptr) {
        return input.line;
    }
    return input.line - lineFeeds;
}

void TagStart(const xmlParserInput& input, long& line, long& column)
{
    line = input.line;
    column = input.col;
    long lineFeeds = 0;
    const ReadBytes read = Read(input);
    const xmlChar* open = read.begin != nullptr ? FindTagOpen(read, lineFeeds) : nullptr;
    if (open == nullptr) {
        return;
    }
    line -= lineFeeds;
    const auto* lineFeed =
        static_cast<const xmlChar*>(::memrchr(read.begin, '\n', static_cast<std::size_t>(open - read.begin)));
    const xmlChar* lineStart = lineFeed != nullptr ? lineFeed + 1 : read.begin;
    if (lineStart == read.begin && !read.startsDocument) {
        // The line began before the buffer: libxml2's column still serves
        // when the tag lies on its own last line.
        column = lineFeeds == 0 ? input.col - Characters(open, read.end) : 0;
        return;
    }
    if (lineStart == read.begin && IsByteOrderMark(lineStart, open)) {
        lineStart += 3; // a byte order mark takes no column
    }
    column = 1 + Characters(lineStart, open);
}

} // namespace platform
} // namespace ZVXML
