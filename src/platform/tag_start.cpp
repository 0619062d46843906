#include "platform/tag_start.h"

#include "platform/byte_search.h"

#include <cstddef>
#include <cstring>

namespace ZVXML {
namespace platform {

// What is known of the input: its buffer up to the parser's position.
struct ReadBytes {
    const xmlChar* begin = nullptr;
    const xmlChar* end = nullptr;
    const xmlChar* readable = nullptr; // the end of the buffer, at least `end`
    bool startsDocument = false; // nothing before `begin` was dropped
};

namespace {

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

// The "<" of the tag that ends at `read.end`, or null. Called at every
// start tag, so the search is memrchr's: a tag with long attribute values is
// scanned word by word.
const xmlChar* FindTagOpen(const ReadBytes& read)
{
    const auto size = static_cast<std::size_t>(read.end - read.begin);
    return static_cast<const xmlChar*>(::memrchr(read.begin, '<', size));
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

} // namespace

long TagStartLine(const xmlParserInput& input)
{
    const ReadBytes read = Read(input);
    const xmlChar* open = read.begin != nullptr ? FindTagOpen(read) : nullptr;
    return open != nullptr ? input.line - Count(open, read.end, read).lineFeeds : input.line;
}

void TagStart(const xmlParserInput& input, long& line, long& column)
{
    line = input.line;
    column = input.col;
    const ReadBytes read = Read(input);
    const xmlChar* open = read.begin != nullptr ? FindTagOpen(read) : nullptr;
    if (open != nullptr) {
        const long lineFeeds = Count(open, read.end, read).lineFeeds;
        line -= lineFeeds;
        TagStartFrom(input, read, open, lineFeeds, column);
    }
}

void TagStartTracker::At(const xmlParserInput& input, long& line, long& column)
{
    line = input.line;
    column = input.col;
    const ReadBytes read = Read(input);
    const xmlChar* open = read.begin != nullptr ? FindTagOpen(read) : nullptr;
    if (open == nullptr) {
        m_anchored = false;
        m_placed = false;
        return;
    }
    const CharacterCount tag = Count(open, read.end, read);
    line -= tag.lineFeeds;
    const unsigned long consumed = input.consumed;
    const auto offsetOf = [&](const xmlChar* p) { return consumed + static_cast<unsigned long>(p - read.begin); };
    const unsigned long offset = offsetOf(open);
    if (!CountOn(read, consumed, offset, column)) {
        const xmlChar* lineStart = TagStartFrom(input, read, open, tag.lineFeeds, column);
        if (lineStart == nullptr) {
            m_anchored = false;
            m_placed = false;
            return;
        }
        m_lineStart = offsetOf(lineStart);
    }
    m_placed = true;
    m_open = offset;
    m_column = column;
    // The tag's end is where the next count starts, when it lies on the
    // tag's line.
    m_anchored = tag.lineFeeds == 0;
    m_anchor = offsetOf(read.end);
    m_anchorColumn = column + tag.characters;
}

// The column of the "<" at `offset` counted on from the end of the last tag,
// as TagStart counts it from the start of the line; false when that cannot
// be done (the last tag's line start, which TagStart would need, has left
// the buffer, or a line feed lies between).
bool TagStartTracker::CountOn(const ReadBytes& read, unsigned long consumed, unsigned long offset, long& column) const
{
    const bool lineStartInBuffer = m_lineStart > consumed || (consumed == 0 && read.startsDocument);
    if (!m_anchored || !lineStartInBuffer || m_anchor < consumed) {
        return false;
    }
    if (m_placed && offset == m_open) {
        column = m_column; // no new tag: an empty element's end
        return true;
    }
    if (offset < m_anchor) {
        return false;
    }
    const CharacterCount gap = Count(read.begin + (m_anchor - consumed), read.begin + (offset - consumed), read);
    if (gap.lineFeeds != 0) {
        return false;
    }
    column = m_anchorColumn + gap.characters;
    return true;
}

} // namespace platform
} // namespace ZVXML
