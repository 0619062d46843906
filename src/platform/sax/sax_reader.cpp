#include "platform/sax/sax_reader.h"

#include "platform/sax/sax_input.h"
#include "platform/sax/sax_location.h"
#include "platform/sax/sax_name_cache.h"
#include "platform/sax/sax_push_parser.h"
#include "platform/sax/sax_wide_text.h"

#include <vector>

namespace ZVXML {
namespace platform {

// What one reader keeps from parse to parse: the handlers, and memory that
// is worth reusing.
struct SaxReader::Impl {
    SaxContentHandler* content = nullptr;
    SaxErrorHandler* errors = nullptr;
    SaxNameCache names;
    SaxTextBuffer text;
    std::string utf8Chunk;
    std::vector<char> fileChunk;
    bool parsing = false;
};

namespace {

// Marks the reader busy for one parse. Its handlers would otherwise share
// the name cache and buffers of the parse that called them.
class ParseScope {
public:
    explicit ParseScope(bool& parsing) : m_parsing(parsing)
    {
        if (m_parsing) {
            throw SaxPlatformError{kSaxUnspecifiedError, L"The reader is already parsing a document", L""};
        }
        m_parsing = true;
    }
    ~ParseScope() { m_parsing = false; }
    ParseScope(const ParseScope&) = delete;
    ParseScope& operator=(const ParseScope&) = delete;

private:
    bool& m_parsing;
};

} // namespace

SaxReader::SaxReader() : m_impl(std::make_unique<Impl>()) {}

SaxReader::~SaxReader() = default;

void SaxReader::SetContentHandler(SaxContentHandler* handler) { m_impl->content = handler; }

void SaxReader::SetErrorHandler(SaxErrorHandler* handler) { m_impl->errors = handler; }

void SaxReader::ParseText(const wchar_t* text, std::size_t length)
{
    const ParseScope scope(m_impl->parsing);
    m_impl->names.Reset();
    SaxPushParser parser(m_impl->content, m_impl->errors, m_impl->names, m_impl->text, SaxPushParser::Encoding::Utf8);
    PushWideText(text, length, m_impl->utf8Chunk, parser);
    parser.Finish(std::wstring());
}

void SaxReader::ParseLocation(const wchar_t* location)
{
    const ParseScope scope(m_impl->parsing);
    const std::wstring where = location != nullptr ? location : L"";
    const std::string path = SaxLocalPath(where);
    m_impl->names.Reset();
    SaxPushParser parser(m_impl->content, m_impl->errors, m_impl->names, m_impl->text,
                         SaxPushParser::Encoding::FromDocument);
    PushFile(path, where, m_impl->fileChunk, parser);
    parser.Finish(where);
}

} // namespace platform
} // namespace ZVXML
