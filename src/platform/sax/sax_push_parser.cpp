#include "platform/sax/sax_push_parser.h"

#include "foundation/utf8.h"
#include "platform/reader_limits.h"
#include "platform/libxml_resources.h"
#include "platform/name_limit.h"
#include "platform/sax/sax_attributes_view.h"
#include "platform/sax/sax_event_queue.h"
#include "platform/sax/sax_event_replay.h"
#include "platform/sax/sax_name_cache.h"
#include "platform/sax/sax_wide_text.h"
#include "platform/tag_start.h"

#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

namespace ZVXML {
namespace platform {
namespace {

// Bounds the unstructured messages kept to explain a failure.
constexpr std::size_t kMaxRawMessages = 1024;

std::wstring MessageText(const char* message)
{
    if (message == nullptr) {
        return L"Unknown XML error";
    }
    std::size_t size = std::strlen(message);
    while (size > 0 && (message[size - 1] == '\n' || message[size - 1] == '\r' || message[size - 1] == ' ')) {
        --size;
    }
    std::wstring text;
    AssignUtf8(reinterpret_cast<const unsigned char*>(message), size, text);
    return text;
}

// Marks the kind of event a handler is being called for, so that Position
// can tell where it is.
template <typename Kind>
class EventScope {
public:
    EventScope(Kind& current, Kind kind) : m_current(current), m_outer(current) { m_current = kind; }
    ~EventScope() { m_current = m_outer; }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

private:
    Kind& m_current;
    Kind m_outer;
};

template <typename Kind>
EventScope(Kind&, Kind) -> EventScope<Kind>;

bool BeforeTheRoot(xmlParserInputState state)
{
    return state == XML_PARSER_START || state == XML_PARSER_MISC || state == XML_PARSER_PROLOG ||
           state == XML_PARSER_START_TAG;
}

} // namespace

// The C entry points libxml2 calls; each finds its parser in the user data.
struct SaxCallbacks {
    static SaxPushParser& Of(void* data) { return *static_cast<SaxPushParser*>(data); }

    static void StartElement(void* data, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int,
                             const xmlChar**, int attributeCount, int, const xmlChar** attributes)
    {
        SaxPushParser& parser = Of(data);
        const xmlParserInput* input = parser.m_context ? parser.m_context->input : nullptr;
        if (input != nullptr && !StartTagClosed(*input)) {
            return; // an unfinished tag at the end of the input: its error follows
        }
        parser.m_textRun = 0;
        SaxLocator at{0, 0};
        if (input != nullptr) {
            if (parser.m_queue != nullptr) {
                parser.m_tags.At(*input, at.line, at.column);
                parser.m_openLines.push_back(at.line);
            } else {
                parser.m_openLines.push_back(TagStartLine(*input));
            }
        }
        if (++parser.m_depth > kSaxMaxDepth) {
            // The push parser leaves nesting unbounded; the limit is ours.
            parser.Refuse(kTooDeepMessage);
            return;
        }
        if (parser.HoldsTooManyNames()) {
            return;
        }
        if (parser.m_content == nullptr) {
            return;
        }
        if (parser.m_queue != nullptr) {
            parser.Record([&](SaxEventQueue& queue) {
                return queue.RecordStart(localName, prefix, uri, attributeCount, attributes, at);
            });
            return;
        }
        parser.Guarded([&] {
            const SaxElementName& name = parser.m_names.Get(localName, prefix, uri);
            const SaxAttributesView view(attributes, attributeCount);
            const EventScope tag(parser.m_event, SaxPushParser::Event::Tag);
            parser.m_content->StartElement(name.namespaceURI, name.localName, name.QualifiedName(), view);
        });
    }

    static void EndElement(void* data, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
    {
        SaxPushParser& parser = Of(data);
        --parser.m_depth;
        if (!parser.m_openLines.empty()) {
            parser.m_openLines.pop_back();
        }
        parser.m_textRun = 0;
        if (parser.m_content == nullptr) {
            return;
        }
        if (parser.m_queue != nullptr) {
            parser.Record([&](SaxEventQueue& queue) {
                SaxLocator at{0, 0};
                if (parser.m_context->input != nullptr) {
                    parser.m_tags.At(*parser.m_context->input, at.line, at.column);
                }
                return queue.RecordEnd(localName, prefix, uri, at);
            });
            return;
        }
        parser.Guarded([&] {
            const SaxElementName& name = parser.m_names.Get(localName, prefix, uri);
            const EventScope tag(parser.m_event, SaxPushParser::Event::Tag);
            parser.m_content->EndElement(name.namespaceURI, name.localName, name.QualifiedName());
        });
    }

    // Text and white space alike.
    static void Characters(void* data, const xmlChar* text, int size) { Of(data).DeliverText(text, size, false); }

    // The push parser hands CDATA sections over as they stand in the
    // document, line ends included, and a long one in pieces.
    static void CData(void* data, const xmlChar* text, int size) { Of(data).DeliverText(text, size, true); }

    static void Comment(void* data, const xmlChar*) { Of(data).BreakText(); }
    static void ProcessingInstruction(void* data, const xmlChar*, const xmlChar*)
    {
        SaxPushParser& parser = Of(data);
        if (!parser.HoldsTooManyNames()) { // its target is a name
            parser.BreakText();
        }
    }

    // Called once a DOCTYPE's name and external id are read, before its
    // internal subset: nothing of it is ever parsed or fetched.
    static void DocumentType(void* data, const xmlChar*, const xmlChar*, const xmlChar*)
    {
        Of(data).Refuse("DOCTYPE is not allowed");
    }

    // No entity but the predefined ones (which the parser resolves before
    // asking) exists, and none is ever loaded.
    static xmlEntityPtr GetEntity(void*, const xmlChar*) { return nullptr; }
    static xmlParserInputPtr ResolveEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

    static void ParserError(void* data, LibxmlError error) { Of(data).OnError(error); }

    // Errors raised without a parser context, on this thread, while parsing.
    static void ThreadError(void* data, LibxmlError error)
    {
        SaxPushParser& parser = Of(data);
        // A handler may parse something else; its errors are not ours. While
        // a second thread reads, this thread runs handlers only.
        if (parser.m_queue == nullptr && !parser.m_inCallback) {
            parser.OnError(error);
        }
    }

    // The same, on the thread that reads for the handlers' thread.
    static void ReadingThreadError(void* data, LibxmlError error) { Of(data).OnError(error); }

    static void RawMessage(void* data, const char* format, ...)
    {
        SaxPushParser& parser = Of(data);
        if (parser.m_queue == nullptr && !parser.m_inCallback) {
            va_list arguments;
            va_start(arguments, format);
            parser.KeepRawMessage(format, arguments);
            va_end(arguments);
        }
    }

    static void ReadingThreadRawMessage(void* data, const char* format, ...)
    {
        va_list arguments;
        va_start(arguments, format);
        Of(data).KeepRawMessage(format, arguments);
        va_end(arguments);
    }

    // The unstructured error channels are never used once a structured one
    // is set, but libxml2 drops structured errors when they are NULL.
    static void IgnoredMessage(void*, const char*, ...) {}

    static xmlSAXHandler Handler()
    {
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        // Nothing of libxml2's tree builder: only the events we deliver.
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = StartElement;
        sax.endElementNs = EndElement;
        sax.characters = Characters;
        // The same function, so the parser does not test text for blanks.
        sax.ignorableWhitespace = Characters;
        sax.cdataBlock = CData;
        sax.comment = Comment;
        sax.processingInstruction = ProcessingInstruction;
        sax.internalSubset = DocumentType;
        sax.externalSubset = DocumentType;
        sax.getEntity = GetEntity;
        sax.getParameterEntity = GetEntity;
        sax.resolveEntity = ResolveEntity;
        sax.serror = ParserError;
        sax.warning = IgnoredMessage;
        sax.error = IgnoredMessage;
        sax.fatalError = IgnoredMessage;
        return sax;
    }
};

void SaxPushParser::ContextDeleter::operator()(xmlParserCtxt* context) const
{
    if (context->myDoc != nullptr) {
        xmlFreeDoc(context->myDoc);
    }
    xmlFreeParserCtxt(context);
}

SaxPushParser::SaxPushParser(SaxContentHandler* content, SaxErrorHandler* errors, SaxNameCache& names,
                             SaxTextBuffer& text, Encoding encoding)
    : m_content(content), m_errors(errors), m_names(names), m_text(text),
      m_routing(this, SaxCallbacks::ThreadError, SaxCallbacks::RawMessage)
{
    EnsureLibxmlInitialized();
    m_rawMessages.reserve(kMaxRawMessages);
    xmlSAXHandler sax = SaxCallbacks::Handler();
    // No first chunk: the encoding is found from the first bytes pushed.
    m_context.reset(xmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr));
    if (!m_context) {
        throw std::bad_alloc();
    }
    // Entity substitution so that attribute values come decoded; the
    // default limits (no XML_PARSE_HUGE) stay; no DTD is ever loaded.
    int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES;
    if (encoding == Encoding::Utf8) {
        options |= XML_PARSE_IGNORE_ENC;
    }
    xmlCtxtUseOptions(m_context.get(), options);
    if (encoding == Encoding::Utf8) {
        xmlSwitchEncoding(m_context.get(), XML_CHAR_ENCODING_UTF8);
    }
}

SaxPushParser::~SaxPushParser() = default;

bool SaxPushParser::Push(const char* bytes, std::size_t size)
{
    constexpr std::size_t kMaxPiece = INT_MAX / 2;
    while (size > 0 && !m_halted && m_result == 0) {
        const std::size_t piece = std::min(size, kMaxPiece);
        if (!m_guard.Scan(bytes, piece)) {
            RefuseMarkup();
            break;
        }
        ParsePiece(bytes, piece);
        m_bytesPushed += piece;
        bytes += piece;
        size -= piece;
    }
    return !m_halted && m_result == 0;
}

// libxml2 holds a carriage return at the end of a piece back until it sees
// whether a line feed follows, but only when the piece's last byte is 0x0D.
// In UTF-16 a carriage return and a line feed take two bytes each, so a
// piece may end just after the carriage return ("0D 00") or inside the line
// feed, and the pair then read as two line ends. The bytes from a 0x0D among
// the last three therefore wait and go with the next piece (a rare copy);
// holding back more than needed only moves where a piece ends.
void SaxPushParser::ParsePiece(const char* bytes, std::size_t size)
{
    if (!m_held.empty()) {
        m_joined.assign(m_held);
        m_joined.append(bytes, size);
        m_held.clear();
        bytes = m_joined.data();
        size = m_joined.size();
    }
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        if (bytes[size - back] == '\r') {
            m_held.assign(bytes + size - back, back);
            size -= back;
            break;
        }
    }
    if (size > 0) {
        m_result = xmlParseChunk(m_context.get(), bytes, static_cast<int>(size), 0);
    }
}

void SaxPushParser::EndInput()
{
    if (!m_halted && m_result == 0 && !m_held.empty()) {
        m_result = xmlParseChunk(m_context.get(), m_held.data(), static_cast<int>(m_held.size()), 0);
        m_held.clear();
    }
    if (!m_halted && m_result == 0 && !m_inputEnded) {
        m_finishing = true;
        m_result = xmlParseChunk(m_context.get(), nullptr, 0, 1);
        m_finishing = false;
    }
    m_inputEnded = true;
}

void SaxPushParser::ReadOnSecondThread(const std::function<void()>& feed)
{
    SaxEventQueue queue;
    SaxEventReplay replay(m_content, m_errors, m_names, m_text);
    std::exception_ptr readFailure;
    m_queue = &queue;
    std::thread reader;
    try {
        reader = std::thread([&] { Read(feed, queue, readFailure); });
    } catch (const std::exception&) {
        m_queue = nullptr; // no thread to be had (std::system_error, std::bad_alloc): read on this one
        feed();
        return;
    }
    m_replay = &replay;
    replay.Run(queue);
    reader.join();
    m_replay = nullptr;
    m_queue = nullptr;
    // The handlers' exception came first in the document: the reader went
    // on only because it did not know of it yet.
    if (replay.Exception()) {
        m_exception = replay.Exception();
        Halt();
    } else if (readFailure) {
        std::rethrow_exception(readFailure);
    }
}

// The reading thread's work: the whole input, then its end.
void SaxPushParser::Read(const std::function<void()>& feed, SaxEventQueue& queue, std::exception_ptr& failure) noexcept
{
    try {
        const LibxmlErrorRouting routing(this, SaxCallbacks::ReadingThreadError, SaxCallbacks::ReadingThreadRawMessage);
        feed();
        EndInput();
    } catch (...) {
        failure = std::current_exception();
    }
    queue.Close();
}

template <typename Recording>
void SaxPushParser::Record(Recording&& recording)
{
    Guarded([&] {
        if (!recording(*m_queue)) {
            Halt(); // the handlers' thread has stopped
        }
    });
}

void SaxPushParser::Finish(const std::wstring& source)
{
    EndInput();
    const bool notWellFormed = m_result != 0 || m_context->wellFormed == 0;
    if (notWellFormed && !m_failed && !m_exception) {
        ReportUnexplainedFailure();
    }
    xmlStopParser(m_context.get());
    m_context.reset();
    if (m_exception) {
        std::rethrow_exception(m_exception);
    }
    if (m_failed) {
        throw SaxPlatformError{m_answer != 0 ? m_answer : kSaxUnspecifiedError, m_message, source, m_reportedAt.line,
                               m_reportedAt.column};
    }
}

// Where `text` starts in the whole document, if it lies in the parser's
// input buffer; kUnknownOffset if not.
std::uint64_t SaxPushParser::InputOffset(const xmlChar* text) const
{
    const xmlParserInput* input = m_context ? m_context->input : nullptr;
    if (input == nullptr || input->base == nullptr || text < input->base || text > input->end) {
        return kUnknownOffset;
    }
    return static_cast<std::uint64_t>(input->consumed) + static_cast<std::uint64_t>(text - input->base);
}

void SaxPushParser::DeliverText(const xmlChar* text, int size, bool isCdata)
{
    // A piece of a CDATA section that starts where the last one ended
    // continues the same section; the next section starts further on.
    bool continuesCdata = false;
    if (isCdata) {
        const std::uint64_t at = InputOffset(text);
        continuesCdata = at != kUnknownOffset && at == m_cdataPieceEnd;
        m_cdataPieceEnd = at != kUnknownOffset ? at + static_cast<std::uint64_t>(size > 0 ? size : 0) : at;
    }
    const bool afterCdataCr = m_afterCdataCr && continuesCdata;
    m_afterCdataCr = false;
    m_textRun += static_cast<std::size_t>(size > 0 ? size : 0);
    if (m_textRun > kSaxMaxTextRun) {
        // A tree-building parse refuses such a text node; the push parser
        // hands it on in pieces, which handlers would collect.
        Refuse(kTextTooLongMessage);
        return;
    }
    if (m_content != nullptr && m_queue != nullptr) {
        Record([&](SaxEventQueue& queue) {
            return queue.RecordText(text, static_cast<std::size_t>(size > 0 ? size : 0), isCdata, continuesCdata,
                                    CurrentPosition());
        });
        return;
    }
    if (m_content == nullptr || size <= 0) {
        return;
    }
    Guarded([&] {
        const EventScope piece(m_event, Event::Text);
        if (!m_content->WantsCharacters()) {
            return;
        }
        std::size_t length = 0;
        wchar_t* wide = m_text.Convert(text, static_cast<std::size_t>(size), length);
        if (isCdata) {
            m_afterCdataCr = afterCdataCr;
            length = NormalizeLineEnds(wide, length, m_afterCdataCr);
        }
        if (length > 0) {
            m_content->Characters(wide, length);
        }
    });
}

void SaxPushParser::BreakText()
{
    if (m_content != nullptr && m_queue != nullptr) {
        Record([&](SaxEventQueue& queue) { return queue.RecordBreak(CurrentPosition()); });
    } else if (m_content != nullptr) {
        Guarded([&] { m_content->TextBreak(); });
    }
}

SaxLocator SaxPushParser::Position() const
{
    if (m_replay != nullptr) {
        return m_replay->Position();
    }
    if (m_reporting) {
        return m_reportedAt;
    }
    SaxLocator at{0, 0};
    if (m_event == Event::Tag && m_context && m_context->input != nullptr) {
        TagStart(*m_context->input, at.line, at.column);
    } else {
        CurrentPosition(at.line, at.column);
    }
    return at;
}

template <typename Body>
void SaxPushParser::Guarded(Body&& body) noexcept
{
    const bool outer = m_inCallback;
    m_inCallback = true;
    try {
        body();
    } catch (...) {
        if (!m_exception) {
            m_exception = std::current_exception();
        }
        Halt();
    }
    m_inCallback = outer;
}

void SaxPushParser::OnError(LibxmlError error)
{
    if (error == nullptr || error->level < XML_ERR_ERROR || m_failed || m_exception) {
        return; // warnings, and whatever follows the first error
    }
    Guarded([&] {
        long line = error->line;
        long column = error->int2;
        if (line <= 0) {
            CurrentPosition(line, column);
        }
        if (Report(ErrorMessage(*error), line, column) != 0) {
            Halt();
        }
    });
}

bool SaxPushParser::HoldsTooManyNames()
{
    if (m_context == nullptr || !platform::HoldsTooManyNames(*m_context)) {
        return false;
    }
    Refuse(kTooManyNamesMessage);
    return true;
}

// An error of ours, not libxml2's: the parse always ends with it. The
// message is converted inside the guard: its allocation may fail.
void SaxPushParser::Refuse(const char* message)
{
    Guarded([&] {
        if (!m_failed && !m_exception) {
            long line;
            long column;
            CurrentPosition(line, column);
            Report(Utf8ToWide(message), line, column);
        }
    });
    Halt();
}

// The guard refuses what libxml2 would take far too long over, before
// libxml2 sees it; the place is the guard's.
void SaxPushParser::RefuseMarkup()
{
    const MarkupViolation& violation = m_guard.Violation();
    Guarded([&] {
        if (!m_failed && !m_exception) {
            Report(Utf8ToWide(violation.message), violation.line, violation.column);
        }
    });
    Halt();
}

// libxml2 failed without a structured error (an encoder failure, say): the
// document still must not pass, and the handler still hears of it.
void SaxPushParser::ReportUnexplainedFailure()
{
    Guarded([&] {
        std::wstring message = MessageText(m_rawMessages.c_str());
        if (m_rawMessages.empty()) {
            message = L"The document is not well-formed (libxml2 error " + std::to_wstring(m_result) + L")";
        }
        long line;
        long column;
        CurrentPosition(line, column);
        Report(std::move(message), line, column);
    });
}

// At the end of the input the push parser names the failure by its own
// state ("Extra content at the end of the document" for an empty or a cut
// document, "Document is empty" for one that does not start with a tag);
// the texts here are those a parse of the whole document gives, which users
// know from other tools.
std::wstring SaxPushParser::ErrorMessage(const xmlError& error) const
{
    if (error.code == XML_ERR_DOCUMENT_EMPTY) {
        return L"Start tag expected, '<' not found";
    }
    if (error.code == XML_ERR_DOCUMENT_END && m_finishing && m_context) {
        const xmlParserCtxt& context = *m_context;
        if (context.nameNr > 0 && static_cast<std::size_t>(context.nameNr) == m_openLines.size() &&
            context.nameTab != nullptr && context.nameTab[context.nameNr - 1] != nullptr) {
            return L"Premature end of data in tag " + ToWide(context.nameTab[context.nameNr - 1]) + L" line " +
                   std::to_wstring(m_openLines.back());
        }
        if (context.nameNr == 0 && BeforeTheRoot(context.instate)) {
            return m_bytesPushed == 0 ? L"Document is empty" : L"Start tag expected, '<' not found";
        }
    }
    return MessageText(error.message);
}

long SaxPushParser::Report(std::wstring message, long line, long column)
{
    m_failed = true;
    m_message = std::move(message);
    m_reportedAt = SaxLocator{line, column};
    if (m_errors == nullptr) {
        return 0;
    }
    if (m_queue != nullptr) {
        m_answer = m_queue->RecordError(m_message, m_reportedAt);
        return m_answer;
    }
    const EventScope reporting(m_reporting, true);
    m_answer = m_errors->FatalError(m_reportedAt, m_message);
    return m_answer;
}

SaxLocator SaxPushParser::CurrentPosition() const
{
    SaxLocator at{0, 0};
    CurrentPosition(at.line, at.column);
    return at;
}

void SaxPushParser::CurrentPosition(long& line, long& column) const
{
    const xmlParserInput* input = m_context ? m_context->input : nullptr;
    line = input != nullptr ? input->line : 0;
    column = input != nullptr ? input->col : 0;
}

void SaxPushParser::KeepRawMessage(const char* format, va_list arguments)
{
    if (m_rawMessages.size() >= kMaxRawMessages) {
        return;
    }
    char line[256];
    const int size = std::vsnprintf(line, sizeof line, format, arguments);
    if (size > 0) {
        const std::size_t room = kMaxRawMessages - m_rawMessages.size();
        // Reserved at construction, so appending cannot throw.
        m_rawMessages.append(line, std::min({static_cast<std::size_t>(size), sizeof line - 1, room}));
    }
}

void SaxPushParser::Halt()
{
    m_halted = true;
    if (m_context) {
        m_context->disableSAX = 1;
        m_context->instate = XML_PARSER_EOF;
    }
}

} // namespace platform
} // namespace ZVXML
