// Refuses markup that would make libxml2 slow beyond reason.
//
// libxml2 checks each attribute of a start tag against all the ones before
// it, so an element with a million attributes keeps the parser busy for an
// hour; and it looks namespaces up through every declaration in scope, so
// with a quarter of a million declarations in scope each later start tag
// costs a tenth of a millisecond. Documents are scanned as they are fed to
// the parser (in chunks, or whole), and one whose start tag holds more
// attributes, or brings more namespace declarations into scope, than any
// real document needs is refused before libxml2 sees that tag.
#ifndef ZVXML_PLATFORM_MARKUP_GUARD_H
#define ZVXML_PLATFORM_MARKUP_GUARD_H

#include <cstddef>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

// Attributes (namespace declarations included) allowed on one element. Real
// schema files and instance documents use a handful; at ten thousand the
// duplicate check still takes only milliseconds.
constexpr std::size_t kMaxAttributesPerElement = 10000;
// Namespace declarations in scope at any element (its own and its
// ancestors'). Real documents declare a handful; with a thousand, libxml2's
// lookups for one start tag stay within microseconds.
constexpr std::size_t kMaxNamespaceDeclarationsInScope = 1000;

enum class MarkupProblem { None, TooManyAttributes, TooManyNamespaceDeclarations };

struct MarkupViolation {
    MarkupProblem problem;
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
    void BeginStartTag();
    // Counts the attribute whose '=' is at `equals`; false past a cap.
    bool CountAttribute(const char* equals);
    // At the end of a piece inside a start tag: keeps the beginning of the
    // name that may go on in the next piece.
    void CarryName(const char* end);
    // At the '>' of a start tag; `selfClosing` for "/>".
    void EndStartTag(bool selfClosing);
    void EndEndTag();
    // Lines and columns are counted per piece, not per byte: a document is
    // mostly markup, and the place is only needed on failure.
    void NotePlace(const char* begin, const char* end);
    void Fail(const char* begin, const char* at);

    State m_state = State::Text;
    char m_quote = 0;
    char m_opening[8] = {}; // what follows "<!", until it is known
    std::size_t m_matched = 0; // characters of an opening or a closing seen so far
    std::size_t m_attributes = 0;
    std::size_t m_declarations = 0; // namespace declarations of the current start tag
    // The start of a name cut by the end of a piece: enough of it to tell a
    // namespace declaration ("xmlns", "xmlns:p") from any other name.
    struct NameStart {
        char head[6] = {};
        std::size_t length = 0;
        bool open = false; // the piece ended inside the name
        void Assign(const char* begin, const char* end);
        void Append(const char* begin, const char* end);
        bool IsNamespaceDeclaration() const;
    };
    NameStart m_carried;
    // Declarations in scope, and the open elements that brought some, with
    // their depth; elements that declare nothing take no entry.
    struct Scope {
        std::size_t depth;
        std::size_t declarations;
    };
    std::size_t m_inScope = 0;
    std::size_t m_depth = 0;
    std::vector<Scope> m_scopes;
    const char* m_pieceStart = nullptr; // of the piece Scan is scanning
    char m_lastByte = 0; // of the piece scanned before
    long m_line = 1; // of the next byte to scan
    long m_column = 0; // bytes of the current line scanned so far
    bool m_failed = false;
    MarkupProblem m_problem = MarkupProblem::None;
    MarkupViolation m_violation{MarkupProblem::None, 0, 0, std::string()};
};

} // namespace platform
} // namespace ZVXML

#endif
