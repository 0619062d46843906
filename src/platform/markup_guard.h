// Refuses markup that would make libxml2 slow beyond reason.
//
// libxml2 checks each attribute of a start tag against all the ones before
// it, so an element with a million attributes keeps the parser busy for an
// hour. Documents are scanned as they are fed to the parser (in chunks, or
// whole), and one whose start tag holds more attributes than any real
// document needs is refused before libxml2 sees that tag.
#ifndef ZVXML_PLATFORM_MARKUP_GUARD_H
#define ZVXML_PLATFORM_MARKUP_GUARD_H

#include <cstddef>
#include <string>

namespace ZVXML {
namespace platform {

// Attributes (namespace declarations included) allowed on one element. Real
// schema files and instance documents use a handful; at ten thousand the
// duplicate check still takes only milliseconds.
constexpr std::size_t kMaxAttributesPerElement = 10000;

struct MarkupViolation {
    long line; // 1-based
    long column; // 1-based, in bytes
    std::string message;
};

class MarkupGuard {
public:
    // Scans the next `size` bytes of the document. Returns false, with the
    // place and reason in Violation(), at the first violation; the guard
    // stays failed from then on.
    bool Scan(const char* data, std::size_t size);
    const MarkupViolation& Violation() const { return m_violation; }

private:
    enum class State { Text, TagOpen, Bang, Comment, CData, Declaration, Instruction, EndTag, StartTag, Quoted };

    // Consumes bytes from `p` on in the current state; returns where it
    // stopped. Runs of text, quoted values and tag bodies go in one step.
    const char* Advance(const char* p, const char* end);
    const char* ScanTags(const char* p, const char* end);
    const char* ScanStartTag(const char* p, const char* end);
    void Step(char c);
    // Lines and columns are counted per piece, not per byte: a document is
    // mostly markup, and the place is only needed on failure.
    void NotePlace(const char* begin, const char* end);
    void Fail(const char* begin, const char* at);

    State m_state = State::Text;
    char m_quote = 0;
    char m_opening[8] = {}; // what follows "<!", until it is known
    std::size_t m_matched = 0; // characters of an opening or a closing seen so far
    std::size_t m_attributes = 0;
    long m_line = 1; // of the next byte to scan
    long m_column = 0; // bytes of the current line scanned so far
    bool m_failed = false;
    MarkupViolation m_violation{0, 0, std::string()};
};

} // namespace platform
} // namespace ZVXML

#endif
