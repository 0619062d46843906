#include "platform/dom/dom_parser.h"

#include "platform/markup_guard.h"

#include "platform/dom/blank_text.h"
#include "platform/dom/node_position.h"
#include "platform/reader_limits.h"
#include "platform/libxml_error_capture.h"
#include "platform/name_limit.h"
#include "platform/tag_start.h"

#include <libxml/SAX2.h>

#include <algorithm>
#include <climits>
#include <new>
#include <string_view>

namespace ZVXML {
namespace platform {
namespace {

// XML_PARSE_HUGE stays off so that libxml2's limit on text size holds; the
// limit on nesting depth is ours (platform/reader_limits.h). Neither DTD
// loading nor entity substitution is asked for: a DOCTYPE is refused before
// anything of it is read.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// What one load keeps beside the parser context (its _private).
struct TreeLoad {
    LibxmlErrorCapture capture;
    std::size_t textRun = 0; // bytes of text since the last tag
};

TreeLoad& LoadOf(void* parserContext)
{
    return *static_cast<TreeLoad*>(static_cast<xmlParserCtxtPtr>(parserContext)->_private);
}

LibxmlErrorCapture& CaptureOf(void* parserContext) { return LoadOf(parserContext).capture; }

void OnParserError(void* parserContext, LibxmlError error)
{
    if (error != nullptr) {
        CaptureOf(parserContext).Record(*error);
    }
}

// libxml2 reports the DOCTYPE once it has read the name and the external
// identifiers; the declaration itself starts at the last "<!DOCTYPE" before
// that point. The column stays libxml2's current one when the buffer no
// longer holds the start of the line.
void DoctypePosition(const xmlParserInput& input, long& line, long& column)
{
    line = input.line;
    column = input.col;
    if (input.base == nullptr || input.cur == nullptr || input.cur < input.base) {
        return;
    }
    std::string_view read(AsChars(input.base), static_cast<std::size_t>(input.cur - input.base));
    std::size_t start = read.rfind("<!DOCTYPE");
    if (start == std::string_view::npos) {
        return;
    }
    line -= static_cast<long>(std::count(read.begin() + start, read.end(), '\n'));
    std::size_t newline = read.rfind('\n', start);
    std::size_t lineStart = newline == std::string_view::npos ? 0 : newline + 1;
    if (newline == std::string_view::npos) {
        if (input.consumed != 0) {
            return;
        }
        if (read.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            lineStart = 3; // a UTF-8 byte order mark is no column
        }
    }
    column = 1;
    for (std::size_t i = lineStart; i < start; ++i) {
        column += (static_cast<unsigned char>(read[i]) & 0xC0) != 0x80; // characters, not bytes
    }
}

// Replaces the handler that would build the DTD: nothing of an internal
// subset (entity declarations and their expansion) is ever parsed.
void OnDoctype(void* parserContext, const xmlChar*, const xmlChar*, const xmlChar*)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(parserContext);
    long line = 0;
    long column = 0;
    if (ctxt->input != nullptr) {
        DoctypePosition(*ctxt->input, line, column);
    }
    CaptureOf(ctxt).Record(XML_LOAD_DOCTYPE_NOT_ALLOWED, line, column, "DOCTYPE is not allowed");
    ctxt->wellFormed = 0;
    xmlStopParser(ctxt);
}

// Stops the parse once its names are too many, at the tag just read.
bool RefusedForNames(xmlParserCtxtPtr ctxt)
{
    if (!HoldsTooManyNames(*ctxt)) {
        return false;
    }
    long line = 0;
    long column = 0;
    if (ctxt->input != nullptr) {
        TagStart(*ctxt->input, line, column);
    }
    CaptureOf(ctxt).Record(XML_LOAD_TOO_MANY_NAMES, line, column, kTooManyNamesMessage);
    ctxt->wellFormed = 0;
    xmlStopParser(ctxt);
    return true;
}

// Stops the parse where the parser stands, with a limit's message.
void StopHere(xmlParserCtxtPtr ctxt, const char* message)
{
    const long line = ctxt->input != nullptr ? ctxt->input->line : 0;
    const long column = ctxt->input != nullptr ? ctxt->input->col : 0;
    CaptureOf(ctxt).Record(XML_ERR_INTERNAL_ERROR, line, column, message);
    ctxt->wellFormed = 0;
    xmlStopParser(ctxt);
}

// Stops the parse at an element nested deeper than kMaxElementDepth, at the
// place where the streaming reader stops: the end of its start tag.
bool RefusedForDepth(xmlParserCtxtPtr ctxt)
{
    if (ctxt->nodeNr < kMaxElementDepth) { // the elements open around this one
        return false;
    }
    StopHere(ctxt, kTooDeepMessage);
    return true;
}

void OnProcessingInstruction(void* parserContext, const xmlChar* target, const xmlChar* data)
{
    if (!RefusedForNames(static_cast<xmlParserCtxtPtr>(parserContext))) {
        xmlSAX2ProcessingInstruction(parserContext, target, data);
    }
}

// Stops the parse once the text since the last tag is longer than the
// streaming reader takes, where that reader stops.
bool RefusedForText(xmlParserCtxtPtr ctxt, int length)
{
    std::size_t& run = LoadOf(ctxt).textRun;
    run += static_cast<std::size_t>(length > 0 ? length : 0);
    if (run <= kMaxTextRun) {
        return false;
    }
    StopHere(ctxt, kTextTooLongMessage);
    return true;
}

void OnCharacters(void* parserContext, const xmlChar* text, int length)
{
    if (!RefusedForText(static_cast<xmlParserCtxtPtr>(parserContext), length)) {
        xmlSAX2Characters(parserContext, text, length);
    }
}

void OnCdataBlock(void* parserContext, const xmlChar* text, int length)
{
    if (!RefusedForText(static_cast<xmlParserCtxtPtr>(parserContext), length)) {
        xmlSAX2CDataBlock(parserContext, text, length);
    }
}

void OnEndElement(void* parserContext, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
{
    LoadOf(parserContext).textRun = 0;
    xmlSAX2EndElementNs(parserContext, localName, prefix, uri);
}

// Builds the element as libxml2 does, then gives it the line where its
// start tag begins (libxml2 gives the line where it ends).
void OnStartElement(void* parserContext, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                    int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                    const xmlChar** attributes)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(parserContext);
    if (RefusedForDepth(ctxt) || RefusedForNames(ctxt)) {
        return;
    }
    LoadOf(ctxt).textRun = 0;
    const xmlNodePtr parent = ctxt->node;
    xmlSAX2StartElementNs(parserContext, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                          defaultedCount, attributes);
    if (ctxt->node != nullptr && ctxt->node != parent && ctxt->node->type == XML_ELEMENT_NODE &&
        ctxt->input != nullptr) {
        RecordElementLine(ctxt->node, *ctxt->input);
    }
}

void Fail(XMLParseError& error, const std::string& url, const CapturedError& cause)
{
    error.errorCode = cause.code;
    error.line = cause.line;
    error.linePos = cause.column;
    error.url = Utf8ToWide(url);
    error.reason = Utf8ToWide(cause.message);
}

} // namespace

XmlDocOwner ParseDocument(const std::string& bytes, const std::string& url, bool decoded, XMLParseError& error)
{
    error = XMLParseError();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        Fail(error, url, {XML_LOAD_TOO_LARGE, 0, 0, "The document is too large"});
        return nullptr;
    }
    MarkupGuard guard;
    if (!guard.Scan(bytes.data(), bytes.size())) {
        const MarkupViolation& violation = guard.Violation();
        const long code = violation.problem == MarkupProblem::TooManyAttributes ? XML_LOAD_TOO_MANY_ATTRIBUTES
                                                                                : XML_LOAD_TOO_MANY_NAMESPACES;
        Fail(error, url, {code, violation.line, violation.column, violation.message});
        return nullptr;
    }
    EnsureLibxmlInitialized();
    TreeLoad load;
    LibxmlErrorCapture& capture = load.capture;
    XmlParserCtxtOwner ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        throw std::bad_alloc();
    }
    ctxt->_private = &load;
    ctxt->sax->initialized = XML_SAX2_MAGIC; // makes libxml2 use serror
    ctxt->sax->serror = &OnParserError;
    ctxt->sax->internalSubset = &OnDoctype;
    ctxt->sax->startElementNs = &OnStartElement;
    ctxt->sax->processingInstruction = &OnProcessingInstruction;
    ctxt->sax->endElementNs = &OnEndElement;
    ctxt->sax->characters = &OnCharacters;
    ctxt->sax->ignorableWhitespace = &OnCharacters; // as libxml2's own handler set has it
    ctxt->sax->cdataBlock = &OnCdataBlock;

    int options = kParseOptions | (decoded ? XML_PARSE_IGNORE_ENC : 0);
    XmlDocOwner doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()),
                                      url.empty() ? nullptr : url.c_str(), decoded ? "UTF-8" : nullptr, options));
    if (!doc && !capture.HasError()) {
        capture.Record(ctxt->errNo, 0, 0, "The document could not be parsed");
    }
    if (capture.HasError()) {
        Fail(error, url, capture.First());
        return nullptr;
    }
    RemoveBlankTextNodes(reinterpret_cast<xmlNodePtr>(doc.get()));
    return doc;
}

} // namespace platform
} // namespace ZVXML
