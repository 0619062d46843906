#include "platform/sax/sax_reader.h"

#include "platform/sax/sax_input.h"
#include "platform/sax/sax_location.h"
#include "platform/sax/sax_name_cache.h"
#include "platform/sax/sax_push_parser.h"
#include "platform/sax/sax_wide_text.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace ZVXML {
namespace platform {

// What one reader keeps from parse to parse: the handlers, and memory that
// is worth reusing.
struct SaxReader::Impl {
    SaxContentHandler* content = nullptr;
    SaxErrorHandler* errors = nullptr;
    SaxThreads threads = SaxThreads::Automatic;
    SaxNameCache names;
    SaxTextBuffer text;
    std::string utf8Chunk;
    std::vector<char> fileChunk;
    bool parsing = false;
    const SaxPushParser* active = nullptr; // the parse running now
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

// Makes a parser the one Position asks while it lives.
class ActiveParser {
public:
    ActiveParser(const SaxPushParser*& active, const SaxPushParser& parser) : m_active(active) { m_active = &parser; }
    ~ActiveParser() { m_active = nullptr; }
    ActiveParser(const ActiveParser&) = delete;
    ActiveParser& operator=(const ActiveParser&) = delete;

private:
    const SaxPushParser*& m_active;
};

std::size_t FileSize(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) : 0;
}

// Pushes the input with `push`, on a second thread if `threads` says so.
template <typename Push>
void Feed(SaxPushParser& parser, SaxThreads threads, Push&& push)
{
    if (threads == SaxThreads::Two) {
        parser.ReadOnSecondThread(push);
    } else {
        push();
    }
}

} // namespace

SaxThreads ChooseSaxThreads(SaxThreads asked, std::size_t inputSize)
{
    if (asked != SaxThreads::Automatic) {
        return asked;
    }
    if (const char* forced = std::getenv("ZVXML_READER_THREADS")) {
        if (std::strcmp(forced, "1") == 0) {
            return SaxThreads::One;
        }
        if (std::strcmp(forced, "2") == 0) {
            return SaxThreads::Two;
        }
    }
    const bool twoCores = std::thread::hardware_concurrency() >= 2;
    return twoCores && inputSize >= kSaxSecondThreadMinimum ? SaxThreads::Two : SaxThreads::One;
}

SaxReader::SaxReader() : m_impl(std::make_unique<Impl>()) {}

SaxReader::~SaxReader() = default;

void SaxReader::SetContentHandler(SaxContentHandler* handler) { m_impl->content = handler; }

void SaxReader::SetErrorHandler(SaxErrorHandler* handler) { m_impl->errors = handler; }

void SaxReader::SetThreads(SaxThreads threads) { m_impl->threads = threads; }

void SaxReader::ParseText(const wchar_t* text, std::size_t length)
{
    const ParseScope scope(m_impl->parsing);
    m_impl->names.Reset();
    SaxPushParser parser(m_impl->content, m_impl->errors, m_impl->names, m_impl->text, SaxPushParser::Encoding::Utf8);
    const ActiveParser active(m_impl->active, parser);
    Feed(parser, ChooseSaxThreads(m_impl->threads, length),
         [&] { PushWideText(text, length, m_impl->utf8Chunk, parser); });
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
    const ActiveParser active(m_impl->active, parser);
    Feed(parser, ChooseSaxThreads(m_impl->threads, FileSize(path)),
         [&] { PushFile(path, where, m_impl->fileChunk, parser); });
    parser.Finish(where);
}

SaxLocator SaxReader::Position() const
{
    return m_impl->active != nullptr ? m_impl->active->Position() : SaxLocator{0, 0};
}

} // namespace platform
} // namespace ZVXML
