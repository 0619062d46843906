// Documents that must not pass, and handlers that fail: what the handlers
// and the caller are told, and that nothing goes on afterwards.
#include "platform/libxml_error_routing.h"
#include "platform/sax_reader.h"
#include "sax_recorder.h"
#include "support/hostile_text.h"
#include "support/stderr_capture.h"

#include <gtest/gtest.h>
#include <libxml/globals.h>
#include <libxml/xmlerror.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using ZVXML::platform::kSaxMaxDepth;
using ZVXML::platform::kSaxUnspecifiedError;
using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxPlatformError;
using ZVXML::platform::SaxReader;
using zvtest::ErrorRecorder;
using zvtest::Recorder;

namespace {

struct Outcome {
    bool threw = false;
    SaxPlatformError error{};
    Recorder events;
    ErrorRecorder reported;
};

// Runs `parse` with a recorder and an error handler that answers `answer`.
template <class Parse>
Outcome Run(Parse parse, long answer)
{
    Outcome outcome;
    outcome.reported = ErrorRecorder(answer);
    SaxReader reader;
    reader.SetContentHandler(&outcome.events);
    reader.SetErrorHandler(&outcome.reported);
    try {
        parse(reader);
    } catch (const SaxPlatformError& error) {
        outcome.threw = true;
        outcome.error = error;
    }
    return outcome;
}

Outcome ParseBroken(const std::wstring& text, long answer = 0)
{
    return Run([&](SaxReader& reader) { reader.ParseText(text.data(), text.size()); }, answer);
}

Outcome ParseBrokenFile(const std::string& bytes, long answer = 0)
{
    const zvtest::ScratchFolder folder;
    const std::wstring path = zvtest::WidePath(folder.WriteFile("broken.xml", bytes));
    return Run([&](SaxReader& reader) { reader.ParseLocation(path.c_str()); }, answer);
}

// A document fails when exactly one error was reported and Parse* threw it.
void ExpectFailed(const Outcome& outcome, const std::wstring& messagePart)
{
    ASSERT_TRUE(outcome.threw);
    ASSERT_EQ(outcome.reported.errors.size(), 1u);
    EXPECT_NE(outcome.reported.errors[0].message.find(messagePart), std::wstring::npos)
        << outcome.reported.errors[0].message;
    EXPECT_EQ(outcome.error.code, kSaxUnspecifiedError);
    EXPECT_EQ(outcome.error.description, outcome.reported.errors[0].message);
}

// UTF-16LE with a byte order mark and a high surrogate with no low half.
const std::string kLoneSurrogateUtf16("\xff\xfe<\0r\0>\0\x00\xd8<\0/\0r\0>\0", 18);

std::wstring Nested(long depth) { return zvtest::Widen(zvtest::Nested("e", depth)); }

struct HandlerStop {
    int id;
    std::string why;
};

// Throws HandlerStop at the n-th event (counting starts, ends and text).
class ThrowingHandler : public Recorder {
public:
    explicit ThrowingHandler(int at) : m_at(at) {}
    void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname,
                      const SaxAttributes& attributes) override
    {
        Count();
        Recorder::StartElement(uri, local, qname, attributes);
    }
    void EndElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname) override
    {
        Count();
        Recorder::EndElement(uri, local, qname);
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        Count();
        Recorder::Characters(text, length);
    }
    int calls = 0;

private:
    void Count()
    {
        if (++calls == m_at) {
            throw HandlerStop{m_at, "stop at " + std::to_string(m_at)};
        }
    }
    int m_at;
};

} // namespace

TEST(SaxHandlerExceptions, PropagateUnchangedAndNoEventFollows)
{
    // Events: start r, start a, text, end a, start b, text, end b, text..., end r.
    std::wstring text = L"<r><a>x&amp;y</a><b/>";
    text += std::wstring(100000, L'z') + L"<c/></r>";
    for (int at = 1; at <= 8; ++at) {
        ThrowingHandler handler(at);
        ErrorRecorder errors;
        SaxReader reader;
        reader.SetContentHandler(&handler);
        reader.SetErrorHandler(&errors);
        try {
            reader.ParseText(text.data(), text.size());
            FAIL() << "no exception at event " << at;
        } catch (const HandlerStop& stop) {
            EXPECT_EQ(stop.id, at);
            EXPECT_EQ(stop.why, "stop at " + std::to_string(at));
        }
        EXPECT_EQ(handler.calls, at);
        EXPECT_TRUE(errors.errors.empty());
    }
}

TEST(SaxHandlerExceptions, AnExceptionBeatsALaterErrorAndTheReaderStaysUsable)
{
    ThrowingHandler handler(1);
    ErrorRecorder errors;
    SaxReader reader;
    reader.SetContentHandler(&handler);
    reader.SetErrorHandler(&errors);
    const std::wstring broken = L"<r><a></r>";
    EXPECT_THROW(reader.ParseText(broken.data(), broken.size()), HandlerStop);
    EXPECT_TRUE(errors.errors.empty());

    Recorder recorder;
    reader.SetContentHandler(&recorder);
    const std::wstring fine = L"<ok/>";
    reader.ParseText(fine.data(), fine.size());
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST(SaxHandlerExceptions, AnErrorHandlerThatThrowsEndsTheParseWithItsException)
{
    class Throwing : public ZVXML::platform::SaxErrorHandler {
    public:
        long FatalError(const ZVXML::platform::SaxLocator& locator, const std::wstring&) override
        {
            throw HandlerStop{static_cast<int>(locator.line), "from the error handler"};
        }
    } errors;
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    reader.SetErrorHandler(&errors);
    const std::wstring text = L"<r>\n<a>\n</r>";
    try {
        reader.ParseText(text.data(), text.size());
        FAIL();
    } catch (const HandlerStop& stop) {
        EXPECT_EQ(stop.id, 3);
        EXPECT_EQ(stop.why, "from the error handler");
    }
}

TEST(SaxHandlerExceptions, ParsingAgainFromAHandlerIsRefused)
{
    class Reentering : public Recorder {
    public:
        SaxReader* reader = nullptr;
        void StartElement(const std::wstring&, const std::wstring&, const std::wstring&,
                          const SaxAttributes&) override
        {
            const std::wstring inner = L"<inner/>";
            reader->ParseText(inner.data(), inner.size());
        }
    } handler;
    SaxReader reader;
    handler.reader = &reader;
    reader.SetContentHandler(&handler);
    const std::wstring text = L"<outer/>";
    try {
        reader.ParseText(text.data(), text.size());
        FAIL();
    } catch (const SaxPlatformError& error) {
        EXPECT_EQ(error.code, kSaxUnspecifiedError);
        EXPECT_EQ(error.description, L"The reader is already parsing a document");
    }
}

TEST(SaxFatalErrors, TheErrorHandlerGetsLineAndColumnAndItsAnswerBecomesTheCode)
{
    const Outcome outcome = ParseBroken(L"<r>\n  <a>\n  </r>", 0x1234);
    ASSERT_TRUE(outcome.threw);
    ASSERT_EQ(outcome.reported.errors.size(), 1u);
    const zvtest::ReportedError& reported = outcome.reported.errors[0];
    EXPECT_EQ(reported.line, 3);
    EXPECT_EQ(reported.column, 7); // libxml2 points after the end tag
    EXPECT_EQ(reported.message, L"Opening and ending tag mismatch: a line 2 and r");
    EXPECT_EQ(outcome.error.code, 0x1234);
    EXPECT_EQ(outcome.error.description, reported.message);
    EXPECT_EQ(outcome.error.source, L"");
    const std::vector<std::wstring> before = {L"start {}r r", L"text \n  ", L"start {}a a", L"text \n  "};
    EXPECT_EQ(outcome.events.events, before); // and nothing after the error
}

TEST(SaxFatalErrors, AnswerZeroStillFailsWithTheUnspecifiedErrorAndOnlyTheFirstErrorIsReported)
{
    // Namespace errors let libxml2 go on: the events go on, the parse fails.
    const Outcome outcome = ParseBroken(L"<r><x:a/><y:b/><c/></r>", 0);
    ExpectFailed(outcome, L"Namespace prefix x on a is not defined");
    EXPECT_EQ(outcome.events.events.size(), 8u);

    const Outcome stopped = ParseBroken(L"<r><x:a/><y:b/><c/></r>", 7);
    ASSERT_TRUE(stopped.threw);
    EXPECT_EQ(stopped.error.code, 7);
    EXPECT_EQ(stopped.reported.errors.size(), 1u);
    EXPECT_EQ(stopped.events.events.size(), 1u); // start r only: the bad element is dropped
}

TEST(SaxFatalErrors, WithoutAnErrorHandlerTheParseStillFails)
{
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    const std::wstring text = L"<r><a></r>";
    try {
        reader.ParseText(text.data(), text.size());
        FAIL();
    } catch (const SaxPlatformError& error) {
        EXPECT_EQ(error.code, kSaxUnspecifiedError);
        EXPECT_EQ(error.description, L"Opening and ending tag mismatch: a line 1 and r");
    }
}

TEST(SaxFatalErrors, IllFormedTextOfEveryKindFails)
{
    ExpectFailed(ParseBroken(L"<r><a>text"), L"");                  // truncated
    ExpectFailed(ParseBroken(L""), L"");                            // empty
    ExpectFailed(ParseBroken(L"<r/><r/>"), L"Extra content");       // two roots
    ExpectFailed(ParseBroken(L"<r a='1' a='2'/>"), L"redefined");   // attribute twice
    ExpectFailed(ParseBroken(L"<r>&unknown;</r>"), L"Entity 'unknown' not defined");
    ExpectFailed(ParseBroken(std::wstring(L"<r>a\0b</r>", 10)), L"0x0");
    ExpectFailed(ParseBroken(L"<r>\x1</r>"), L"invalid Char value 1");
    ExpectFailed(ParseBrokenFile("<r>\xff\xfe</r>"), L"not proper UTF-8");
    ExpectFailed(ParseBrokenFile("<r>\xc3</r>"), L"not proper UTF-8");
    // Truncated inside an element at the very end of a file.
    ExpectFailed(ParseBrokenFile("<r><a>" + std::string(200000, 'x')), L"");
}

TEST(SaxFatalErrors, NestingDeeperThanTheLimitFailsCleanly)
{
    const Outcome deepest = ParseBroken(Nested(kSaxMaxDepth));
    EXPECT_FALSE(deepest.threw);
    EXPECT_EQ(deepest.events.events.size(), 2u * kSaxMaxDepth);

    const Outcome tooDeep = ParseBroken(Nested(kSaxMaxDepth + 1));
    ExpectFailed(tooDeep, L"Excessive depth in document");
    EXPECT_EQ(tooDeep.events.events.size(), static_cast<std::size_t>(kSaxMaxDepth));

    // Deep enough to overflow the stack of a recursive parser.
    ExpectFailed(ParseBroken(Nested(100000)), L"Excessive depth in document");
}

TEST(SaxDoctype, AnyDoctypeIsRefusedBeforeItsSubsetIsRead)
{
    ExpectFailed(ParseBroken(L"<!DOCTYPE r><r/>"), L"DOCTYPE is not allowed");
    const Outcome outcome = ParseBroken(L"<?xml version='1.0'?>\n<!DOCTYPE r SYSTEM 'r.dtd'>\n<r/>");
    ExpectFailed(outcome, L"DOCTYPE is not allowed");
    EXPECT_EQ(outcome.reported.errors[0].line, 2);
    EXPECT_TRUE(outcome.events.events.empty());
}

TEST(SaxDoctype, ExternalEntitiesAreNeverFetched)
{
    const zvtest::LocalServer server;
    const std::wstring url = server.Url() + L"/x";

    // A pipe holding a secret: whoever opens and reads it drains it.
    const zvtest::ScratchFolder folder;
    const std::string fifo = folder / "secret.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int pipe = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    ASSERT_EQ(::write(pipe, "secret", 6), 6);

    const std::wstring entities[] = {
        L"<!DOCTYPE r [<!ENTITY x SYSTEM '" + url + L"'>]><r>&x;</r>",
        L"<!DOCTYPE r [<!ENTITY x SYSTEM 'file://" + zvtest::WidePath(fifo) + L"'>]><r>&x;</r>",
        L"<!DOCTYPE r SYSTEM '" + url + L"'><r/>",
        L"<!DOCTYPE r [<!ENTITY % p SYSTEM '" + url + L"'> %p;]><r/>",
        L"<!DOCTYPE r [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><r a='&x;'>&x;</r>",
    };
    for (const std::wstring& text : entities) {
        const Outcome outcome = ParseBroken(text);
        ExpectFailed(outcome, L"DOCTYPE is not allowed");
        EXPECT_TRUE(outcome.events.events.empty());
    }

    EXPECT_FALSE(server.WasContacted());
    char back[16] = {};
    EXPECT_EQ(::read(pipe, back, sizeof back), 6);
    EXPECT_STREQ(back, "secret");
    ::close(pipe);
}

TEST(SaxDiagnostics, LibxmlPrintsNothingToStandardError)
{
    zvtest::StderrCapture capture;
    ParseBroken(L"<r xmlns:p='Pipes.01.02' xmlns:q='urn:q q'><p:a/></r>"); // relative namespace URIs
    ParseBroken(L"<r><a></r>");
    ParseBroken(L"<r><x:a/></r>");
    ParseBroken(L"<!DOCTYPE r [<!ENTITY x 'y'>]><r>&x;</r>");
    ParseBroken(Nested(300));
    ParseBrokenFile("<r>\xff</r>");
    ParseBrokenFile("<?xml version='1.0' encoding='no-such-encoding'?><r/>");
    ParseBrokenFile(kLoneSurrogateUtf16);
    EXPECT_EQ(capture.Finish(), "");
}

TEST(SaxDiagnostics, ErrorsNoParserExplainsStillFailTheDocument)
{
    // The converter fails; libxml2 reports it without a parser context.
    const Outcome outcome = ParseBrokenFile(kLoneSurrogateUtf16);
    ASSERT_TRUE(outcome.threw);
    ASSERT_EQ(outcome.reported.errors.size(), 1u);
    EXPECT_NE(outcome.reported.errors[0].message.find(L"conversion failed"), std::wstring::npos)
        << outcome.reported.errors[0].message;
}

TEST(SaxDiagnostics, TheThreadsLibxmlErrorHandlersAreLeftAsTheyWere)
{
    struct Host {
        static void Generic(void*, const char*, ...) {}
        static void Structured(void*, ZVXML::platform::LibxmlError) {}
    };
    int context = 0;
    xmlSetGenericErrorFunc(&context, Host::Generic);
    xmlSetStructuredErrorFunc(&context, Host::Structured);
    ParseBroken(L"<r><a></r>");
    ParseBrokenFile(kLoneSurrogateUtf16);
    EXPECT_EQ(xmlGenericError, &Host::Generic);
    EXPECT_EQ(xmlGenericErrorContext, &context);
    EXPECT_EQ(xmlStructuredError, &Host::Structured);
    EXPECT_EQ(xmlStructuredErrorContext, &context);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
}
