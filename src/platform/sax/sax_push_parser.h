// One parse: a libxml2 SAX2 push parser context whose callbacks drive the
// reader's content and error handlers.
//
// No C++ exception crosses libxml2's C frames: every callback catches what
// the handlers throw, keeps the first exception and halts the parser; Finish
// rethrows it once libxml2 has returned. Halting inside a callback only turns
// the parser's events off and marks its input as ended, as xmlStopParser
// does, but without freeing the input buffer, which the libxml2 function that
// called back may still point into; xmlStopParser runs once the chunk has
// been parsed.
#ifndef ZVXML_PLATFORM_SAX_SAX_PUSH_PARSER_H
#define ZVXML_PLATFORM_SAX_SAX_PUSH_PARSER_H

#include "platform/libxml_error_routing.h"
#include "platform/markup_guard.h"
#include "platform/sax/sax_reader.h"
#include "platform/tag_start.h"

#include <libxml/parser.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

class SaxEventQueue;
class SaxEventReplay;
class SaxNameCache;
class SaxTextBuffer;

class SaxPushParser {
public:
    enum class Encoding {
        FromDocument, // byte order mark, then encoding declaration
        Utf8, // whatever the document declares
    };

    SaxPushParser(SaxContentHandler* content, SaxErrorHandler* errors, SaxNameCache& names, SaxTextBuffer& text,
                  Encoding encoding);
    ~SaxPushParser();
    SaxPushParser(const SaxPushParser&) = delete;
    SaxPushParser& operator=(const SaxPushParser&) = delete;

    // Parses the next bytes of the document. Returns false once the parse
    // has ended early (an error, a handler's exception): the rest of the
    // input need not be read.
    bool Push(const char* bytes, std::size_t size);
    // Runs `feed` (which calls Push) and the end of the input on a second
    // thread, while this thread calls the handlers with what it reads, in
    // the same order, with the same positions and errors. Stops the reading
    // when a handler throws. Reads on this thread when no thread can be
    // started. Rethrows what `feed` throws, unless a handler threw first.
    void ReadOnSecondThread(const std::function<void()>& feed);
    // Ends the document and reports how the parse went: returns when it was
    // well-formed and no handler threw; else rethrows the handler's
    // exception, or throws SaxPlatformError with `source` as its source.
    void Finish(const std::wstring& source);

    // Where the parse is (see SaxReader::Position).
    SaxLocator Position() const;

private:
    friend struct SaxCallbacks;

    struct ContextDeleter {
        void operator()(xmlParserCtxt* context) const;
    };

    // Hands a piece of character data to the content handler; a piece of a
    // CDATA section gets its line ends read first.
    void DeliverText(const xmlChar* text, int size, bool isCdata);
    // Hands an event to the handlers' thread; halts once it has stopped.
    template <typename Recording>
    void Record(Recording&& recording);
    void Read(const std::function<void()>& feed, SaxEventQueue& queue, std::exception_ptr& failure) noexcept;
    void EndInput();
    void KeepRawMessage(const char* format, va_list arguments);
    std::uint64_t InputOffset(const xmlChar* text) const;
    void BreakText();
    // Runs callback code: stores an exception it throws and halts.
    template <typename Body>
    void Guarded(Body&& body) noexcept;
    void OnError(LibxmlError error);
    std::wstring ErrorMessage(const xmlError& error) const;
    void Refuse(const char* message);
    // Refuses the document once it holds more than kMaxDistinctNames names.
    bool HoldsTooManyNames();
    void RefuseMarkup();
    void ReportUnexplainedFailure();
    long Report(std::wstring message, long line, long column);
    void CurrentPosition(long& line, long& column) const;
    SaxLocator CurrentPosition() const;
    void Halt();
    void ParsePiece(const char* bytes, std::size_t size);

    SaxContentHandler* m_content;
    SaxErrorHandler* m_errors;
    MarkupGuard m_guard;
    std::size_t m_textRun = 0; // bytes of text since the last tag
    // The last piece of a CDATA section ended with a CR (and where in the
    // document it ended): a line feed that opens the next piece of the same
    // section belongs to that line end.
    static constexpr std::uint64_t kUnknownOffset = ~std::uint64_t(0);
    bool m_afterCdataCr = false;
    std::uint64_t m_cdataPieceEnd = kUnknownOffset;
    SaxNameCache& m_names;
    SaxTextBuffer& m_text;
    LibxmlErrorRouting m_routing; // outlives the context
    std::unique_ptr<xmlParserCtxt, ContextDeleter> m_context;

    enum class Event { None, Tag, Text };

    int m_depth = 0;
    std::vector<long> m_openLines; // the line of each open element's start tag
    std::size_t m_bytesPushed = 0;
    // The end of the last piece that may split a line end (see ParsePiece),
    // and the room where it is joined to the next piece.
    std::string m_held;
    std::string m_joined;
    Event m_event = Event::None; // the event a handler is called for now
    bool m_finishing = false; // the end of the input is being parsed
    bool m_reporting = false; // the error handler is being called
    SaxLocator m_reportedAt{0, 0}; // the place of the reported error
    int m_result = 0; // of the last xmlParseChunk
    bool m_halted = false;
    bool m_inputEnded = false; // the parser was told that the input has ended
    // While a second thread reads: the events it hands over, and where they
    // are replayed. Everything else of the parse is the reading thread's
    // until it has ended, except what the replay uses (the handlers, the
    // name cache, the text buffer).
    SaxEventQueue* m_queue = nullptr;
    SaxEventReplay* m_replay = nullptr;
    TagStartTracker m_tags; // the reading thread computes every tag's place
    bool m_inCallback = false;
    bool m_failed = false; // an error was reported
    long m_answer = 0; // the error handler's
    std::wstring m_message;
    std::string m_rawMessages; // libxml2's unstructured messages, for errors it did not explain
    std::exception_ptr m_exception;
};

} // namespace platform
} // namespace ZVXML

#endif
