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
    const xmlChar* readable = nullptr; // the end of the buffer, at least `end`
    bool startsDocument = false; // nothing before `begin` was dropped
};

ReadBytes Read(const xmlParserInput& input)
{
    ReadBytes read;
    if (input.base != nullptr && input.cur != nullptr && input.cur >= input.base) {
        read.begin = input.base;
        read.end = input.cur;
        read.readable = input.end != nullptr && input.end > input.cur ? input.end : input.cur;
        read.startsDocument = input.consumed == 0;
    }
    return read;
}

// Characters of UTF-8 (libxml2's input always is) in [from, to), and line
// feeds.
CharacterCount Count(const xmlChar* from, const xmlChar* to, const ReadBytes& read)
{
    return CountCharacters(reinterpret_cast<const char*>(from), reinterpret_cast<const char*>(to),
                           reinterpret_cast<const char*>(read.readable));
}

long Characters(const xmlChar* from, const xmlChar* to, const ReadBytes& read)
{
    return Count(from, to, read).characters;
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
    lineFeeds = Count(open + 1, read.end, read).lineFeeds;
    return open;
}

bool IsByteOrderMark(const xmlChar* p, const xmlChar* end)
{
    return end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
}

// TagStart once the tag's "<" is found; returns the start of its line when
// the column was counted from there, else null.
const xmlChar* TagStartFrom(const xmlParserInput& input, const ReadBytes& read, const xmlChar* open, long lineFeeds,
                            long& column)
{
    const auto* lineFeed =
        static_cast<const xmlChar*>(::memrchr(read.begin, '\n', static_cast<std::size_t>(open - read.begin)));
    const xmlChar* lineStart = lineFeed != nullptr ? lineFeed + 1 : read.begin;
    if (lineStart == read.begin && !read.startsDocument) {
        // The line began before the buffer: libxml2's column still serves
        // when the tag lies on its own last line.
        column = lineFeeds == 0 ? input.col - Characters(open, read.end, read) : 0;
        return nullptr;
    }
    const xmlChar* counted = lineStart;
    if (lineStart == read.begin && IsByteOrderMark(lineStart, open)) {
        counted += 3; // a byte order mark takes no column
    }
    column = 1 + Characters(counted, open, read);
    return lineStart;
}

// Characters in [from, to), or -1 when a line feed lies among them.
long CharactersOnOneLine(const xmlChar* from, const xmlChar* to, const ReadBytes& read)
{
    const CharacterCount count = Count(from, to, read);
    return count.lineFeeds == 0 ? count.characters : -1;
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
    if (open != nullptr) {
        line -= lineFeeds;
        TagStartFrom(input, read, open, lineFeeds, column);
    }
}

void TagStartTracker::At(const xmlParserInput& input, long& line, long& column)
{
    line = input.line;
    column = input.col;
    long lineFeeds = 0;
    const ReadBytes read = Read(input);
    const xmlChar* open = read.begin != nullptr ? FindTagOpen(read, lineFeeds) : nullptr;
    if (open == nullptr) {
        m_known = false;
        return;
    }
    line -= lineFeeds;
    const unsigned long consumed = input.consumed;
    const unsigned long offset = consumed + static_cast<unsigned long>(open - read.begin);
    // The last counted line start must still be in the buffer, after a
    // line feed (or at the document's start), for TagStart to find it too.
    const bool lineStartInBuffer = m_lineStart > consumed || read.startsDocument;
    if (m_known && line == m_line && lineStartInBuffer && m_open >= consumed && m_open <= offset) {
        const long more = CharactersOnOneLine(read.begin + (m_open - consumed), open, read);
        if (more >= 0) {
            column = m_column + more;
            m_open = offset;
            m_column = column;
            return;
        }
    }
    const xmlChar* lineStart = TagStartFrom(input, read, open, lineFeeds, column);
    m_known = lineStart != nullptr;
    m_open = offset;
    m_lineStart = m_known ? consumed + static_cast<unsigned long>(lineStart - read.begin) : 0;
    m_line = line;
    m_column = column;
}

} // namespace platform
} // namespace ZVXML
