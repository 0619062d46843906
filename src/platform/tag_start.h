// Where the tag libxml2 has just read begins.
//
// libxml2 calls its element handlers with its input just past the tag (a
// start tag, an end tag or an empty element): its own line and column are
// those of the tag's end. A tag's "<" is still in the input buffer then (the
// parser does not drop input while it reads a tag), and the markup between
// it and the input's position holds no other "<" (attribute values cannot),
// so the tag's start is found by looking back.
#ifndef ZVXML_PLATFORM_TAG_START_H
#define ZVXML_PLATFORM_TAG_START_H

#include <libxml/parser.h>

namespace ZVXML {
namespace platform {

// 1-based line of the "<" of the tag just read; the input's own line when
// the "<" is not found.
long TagStartLine(const xmlParserInput& input);

// 1-based line and column (in characters) of the "<" of the tag just read.
// The column is 0 when it cannot be told: the tag spans lines and the start
// of its first line is no longer in the buffer. Looks back at most to the
// start of the tag's line (or of the buffer).
void TagStart(const xmlParserInput& input, long& line, long& column);

// Whether the start tag libxml2 reports now has its end: its input stands at
// the tag's ">" or "/>". At the end of the input libxml2 reports a start tag
// whose ">" never came, and raises the error for it only afterwards.
inline bool StartTagClosed(const xmlParserInput& input)
{
    const xmlChar* cur = input.cur;
    if (cur == nullptr || input.end == nullptr || cur >= input.end) {
        return false;
    }
    return *cur == '>' || (*cur == '/' && cur + 1 < input.end && cur[1] == '>');
}

// TagStart for every tag of a parse, in order, at a cost linear in the
// document: a tag on the same line as the one before it counts on from that
// tag's column instead of from the start of the line, which on a long line
// would be counted again for each tag. Gives exactly TagStart's answers.
class TagStartTracker {
public:
    void At(const xmlParserInput& input, long& line, long& column);

private:
    // The last tag placed by counting from the start of its line, or on
    // from a tag that was.
    bool m_known = false;
    unsigned long m_open = 0; // document offsets of its "<" and of its line's start
    unsigned long m_lineStart = 0;
    long m_line = 0;
    long m_column = 0;
};

} // namespace platform
} // namespace ZVXML

#endif
