// The streaming reader: this folder implements SaxReader over libxml2's
// SAX2 push parser, for the instance document parser.
//
// Documents of any size are read in bounded memory: input is fed to the
// parser in chunks, and nothing of an element is kept after its events were
// delivered. Safe defaults: no DTD (a DOCTYPE is a fatal error), no external
// entities, no network; libxml2's default limit on text size stays in
// force, and nesting depth is limited as in the tree.
//
// Handler contract:
// - Events arrive in document order, synchronously, on the thread that
//   called Parse* (a second thread may read and parse the input meanwhile:
//   see SaxThreads): StartElement, Characters (zero or more pieces per text;
//   CDATA sections are character data too), EndElement. Where pieces are cut
//   is the parser's business (at line ends, at references, every few hundred
//   bytes, at chunk ends): a handler that needs a text joins them. A comment
//   or processing instruction produces TextBreak only; the XML declaration
//   produces nothing.
// - Line ends arrive as line feeds: CR LF and a lone CR in the document read
//   as LF, in CDATA sections too. A character reference (&#13;) still gives
//   its character.
// - Names are passed as references that stay valid only during the call.
//   Entity and character references in text and attribute values are
//   resolved.
// - A handler may throw any C++ exception. It is caught at the C boundary,
//   the parser is stopped, and the exception is rethrown unchanged from
//   Parse* once libxml2 has returned.
// - A fatal XML error (ill-formed text, a namespace error, a DOCTYPE, a
//   limit exceeded) goes to the error handler with its line and column, once
//   per parse: later errors of the same parse are not reported. Its answer 0
//   lets the parser go on as far as libxml2 can (it cannot go on after most
//   fatal errors); any other answer stops the parse. Either way the document
//   was not well-formed, so Parse* throws SaxPlatformError: with the answer
//   as the code when it was not 0, else with kSaxUnspecifiedError; the
//   description is the error's message. Warnings are not reported.
// - Elements may nest kSaxMaxDepth levels deep; one more is a fatal error.
//   Text between two tags may hold kSaxMaxTextRun bytes; more is a fatal
//   error. Both are the limits libxml2 keeps when it builds a tree, so a
//   document that loads as a tree also streams, and the other way round.
//   More than kMaxDistinctNames names (platform/name_limit.h) is a fatal
//   error too.
#ifndef ZVXML_PLATFORM_SAX_SAX_READER_H
#define ZVXML_PLATFORM_SAX_SAX_READER_H

#include "platform/reader_limits.h"

#include <zvxml/dom.h>

#include <cstddef>
#include <memory>
#include <string>

namespace ZVXML {
namespace platform {

// The code of an unspecified failure (E_FAIL, the document tree's
// XML_STATUS_FAILED, as a long): that of every SaxPlatformError the reader
// raises itself (a location refused, a file that cannot be read, a document
// that is not well-formed when the error handler did not choose a code).
constexpr long kSaxUnspecifiedError = XML_STATUS_FAILED;

// The deepest nesting of elements a document may have (the tree's too).
constexpr int kSaxMaxDepth = kMaxElementDepth;
// The longest text between two tags, in bytes of the document (libxml2's
// default for a text node): handlers that collect a text hold it whole.
constexpr std::size_t kSaxMaxTextRun = kMaxTextRun;

// A failure of the reader itself: the input cannot be opened, or the parse
// was stopped by a fatal error. Not part of the public exception family; the
// instance parse driver turns it into a library exception.
struct SaxPlatformError {
    long code; // kSaxUnspecifiedError, or the error handler's answer
    std::wstring description; // what happened, e.g. the file and the reason
    std::wstring source; // where it happened; may be empty
    long line = 0; // of a fatal XML error (as the error handler heard it); 0 when the input was not read
    long column = 0;
};

// The attributes of one start event, valid during that StartElement call.
class SaxAttributes {
public:
    virtual ~SaxAttributes() = default;
    // The value of the attribute with local name `localName` in no namespace.
    // Returns false (and leaves `value` alone) when there is none.
    virtual bool GetValue(const wchar_t* localName, std::wstring& value) const = 0;
    virtual std::size_t Count() const = 0;
};

class SaxContentHandler {
public:
    virtual ~SaxContentHandler() = default;
    virtual void StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, const SaxAttributes& attributes) = 0;
    virtual void EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                            const std::wstring& qualifiedName) = 0;
    // `text` is not NUL-terminated.
    virtual void Characters(const wchar_t* text, std::size_t length) = 0;
    // A comment or processing instruction stood here: the character data
    // before it and after it are separate texts.
    virtual void TextBreak() {}
    // Asked before each piece of text is converted for Characters: a
    // handler that would drop the piece unseen answers false and is spared
    // the conversion and the call.
    virtual bool WantsCharacters() { return true; }
};

struct SaxLocator {
    long line; // 1-based
    long column; // 1-based
};

class SaxErrorHandler {
public:
    virtual ~SaxErrorHandler() = default;
    // Returns 0 to let the parser go on, anything else to stop it.
    virtual long FatalError(const SaxLocator& locator, const std::wstring& message) = 0;
};

// Which threads a parse uses. The handlers always run on the thread that
// called Parse*; a second thread, when used, reads the input and runs
// libxml2 ahead of them, a bounded number of events ahead.
enum class SaxThreads {
    Automatic, // a second thread for inputs of kSaxSecondThreadMinimum bytes or more, when the machine has two cores
    One, // the calling thread only
    Two, // a second thread whatever the input's size (a single core included)
};

// The smallest input worth a second thread: below it, starting the thread
// costs more than it saves.
constexpr std::size_t kSaxSecondThreadMinimum = 1024 * 1024;

// The environment variable ZVXML_READER_THREADS=1 or =2 makes Automatic
// behave as One or Two (to compare the two, or to rule one out).
SaxThreads ChooseSaxThreads(SaxThreads asked, std::size_t inputSize);

// One reader parses one document at a time: Parse* called from one of its
// own handlers throws SaxPlatformError. Readers on different threads are
// independent.
class SaxReader {
public:
    SaxReader();
    ~SaxReader();
    SaxReader(const SaxReader&) = delete;
    SaxReader& operator=(const SaxReader&) = delete;

    void SetContentHandler(SaxContentHandler* handler);
    void SetErrorHandler(SaxErrorHandler* handler);
    // SaxThreads::Automatic unless set.
    void SetThreads(SaxThreads threads);

    // Parses a document held in memory. The text is already decoded, so an
    // encoding declaration in it is ignored (a leading U+FEFF too).
    void ParseText(const wchar_t* text, std::size_t length);
    // Parses the document at `location`: a file path or a "file:" URL
    // ("file:///p", "file://localhost/p", "file:/p"; %XX escapes are decoded).
    // Any other scheme, or a file URL naming another host, is refused without
    // reading anything. The file's byte order mark or encoding declaration
    // chooses its encoding.
    void ParseLocation(const wchar_t* location);

    // Where the parse running now is, for whoever reports a problem while a
    // handler is called: during StartElement and EndElement, the "<" of the
    // tag (the start tag of an empty element); during FatalError, the
    // error's place; otherwise the parser's position in the input. {0, 0}
    // when no parse runs. The column is 0 when it cannot be told.
    SaxLocator Position() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace platform
} // namespace ZVXML

#endif
