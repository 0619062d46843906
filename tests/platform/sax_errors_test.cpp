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

using zvtest::ErrorRecorder;
using zvtest::Recorder;
using zvtest::SaxFile;
using zvtest::SaxOutcome;
using zvtest::SaxText;
using ZVXML::platform::kSaxMaxDepth;
using ZVXML::platform::kSaxUnspecifiedError;
using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxPlatformError;
using ZVXML::platform::SaxReader;

namespace {

// A document fails when exactly one error was reported and Parse* threw it.
void ExpectFailed(const SaxOutcome& outcome, const std::wstring& messagePart)
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

} // namespace

TEST(SaxHandlerExceptions, PropagateUnchangedBeatLaterErrorsAndLeaveTheReaderUsable)
{
    // Events: start r, start a, text, end a, start b, end b, text, start c...
    const std::wstring fine = L"<r><a>x&amp;y</a><b/>" + std::wstring(100000, L'z') + L"<c/></r>";
    const std::wstring broken = L"<r><a></r>"; // start r, start a, then the error
    for (const auto& [text, events] : {std::make_pair(fine, 8), std::make_pair(broken, 2)}) {
        for (int at = 1; at <= events; ++at) {
            SCOPED_TRACE("event " + std::to_string(at) + " of " + std::to_string(events));
            Recorder handler;
            int calls = 0;
            handler.beforeEvent = [&] {
                if (++calls == at) {
                    throw HandlerStop{at, "stop at " + std::to_string(at)};
                }
            };
            ErrorRecorder errors;
            SaxReader reader;
            reader.SetContentHandler(&handler);
            reader.SetErrorHandler(&errors);
            try {
                reader.ParseText(text.data(), text.size());
                ADD_FAILURE() << "no exception";
            } catch (const HandlerStop& stop) {
                EXPECT_EQ(stop.id, at);
                EXPECT_EQ(stop.why, "stop at " + std::to_string(at));
            }
            EXPECT_EQ(calls, at);
            EXPECT_TRUE(errors.errors.empty());

            Recorder after;
            reader.SetContentHandler(&after);
            const std::wstring next = L"<ok/>";
            reader.ParseText(next.data(), next.size());
            EXPECT_EQ(after.events, (std::vector<std::wstring>{L"start {}ok ok", L"end {}ok ok"}));
        }
    }
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
    SaxReader reader;
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
    SaxReader reader;
    Recorder handler;
    handler.beforeEvent = [&] {
        const std::wstring inner = L"<inner/>";
        reader.ParseText(inner.data(), inner.size());
    };
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
    const SaxOutcome outcome = SaxText(L"<r>\n  <a>\n  </r>", 0x1234);
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

    // Without an error handler the parse fails all the same.
    const SaxOutcome unhandled = SaxText(L"<r><a></r>", 0, false);
    ASSERT_TRUE(unhandled.threw);
    EXPECT_EQ(unhandled.error.code, kSaxUnspecifiedError);
    EXPECT_EQ(unhandled.error.description, L"Opening and ending tag mismatch: a line 1 and r");
}

TEST(SaxFatalErrors, AnswerZeroStillFailsWithTheUnspecifiedErrorAndOnlyTheFirstErrorIsReported)
{
    // Namespace errors let libxml2 go on: the events go on, the parse fails.
    const SaxOutcome outcome = SaxText(L"<r><x:a/><y:b/><c/></r>", 0);
    ExpectFailed(outcome, L"Namespace prefix x on a is not defined");
    EXPECT_EQ(outcome.events.events.size(), 8u);

    const SaxOutcome stopped = SaxText(L"<r><x:a/><y:b/><c/></r>", 7);
    ASSERT_TRUE(stopped.threw);
    EXPECT_EQ(stopped.error.code, 7);
    EXPECT_EQ(stopped.reported.errors.size(), 1u);
    EXPECT_EQ(stopped.events.events.size(),
              1u); // start r only: the bad element is dropped
}

TEST(SaxFatalErrors, IllFormedTextOfEveryKindFails)
{
    ExpectFailed(SaxText(L"<r><a>text"), L"");                // truncated
    ExpectFailed(SaxText(L""), L"");                          // empty
    ExpectFailed(SaxText(L"<r/><r/>"), L"Extra content");     // two roots
    ExpectFailed(SaxText(L"<r a='1' a='2'/>"), L"redefined"); // attribute twice
    ExpectFailed(SaxText(L"<r>&unknown;</r>"), L"Entity 'unknown' not defined");
    ExpectFailed(SaxText(std::wstring(L"<r>a\0b</r>", 10)), L"0x0");
    ExpectFailed(SaxText(L"<r>\x1</r>"), L"invalid Char value 1");
    ExpectFailed(SaxFile("<r>\xff\xfe</r>"), L"not proper UTF-8");
    ExpectFailed(SaxFile("<r>\xc3</r>"), L"not proper UTF-8");
    // Truncated inside an element at the very end of a file.
    ExpectFailed(SaxFile("<r><a>" + std::string(200000, 'x')), L"");
    // The converter fails; libxml2 reports it without a parser context.
    ExpectFailed(SaxFile(kLoneSurrogateUtf16), L"conversion failed");
}

TEST(SaxFatalErrors, NestingDeeperThanTheLimitFailsCleanly)
{
    const SaxOutcome deepest = SaxText(Nested(kSaxMaxDepth));
    EXPECT_FALSE(deepest.threw);
    EXPECT_EQ(deepest.events.events.size(), 2u * kSaxMaxDepth);

    const SaxOutcome tooDeep = SaxText(Nested(kSaxMaxDepth + 1));
    ExpectFailed(tooDeep, L"Excessive depth in document");
    EXPECT_EQ(tooDeep.events.events.size(), static_cast<std::size_t>(kSaxMaxDepth));

    // Deep enough to overflow the stack of a recursive parser.
    ExpectFailed(SaxText(Nested(100000)), L"Excessive depth in document");
}

TEST(SaxDoctype, AnyDoctypeIsRefusedAndNoExternalEntityIsFetched)
{
    const SaxOutcome outcome = SaxText(L"<?xml version='1.0'?>\n<!DOCTYPE r SYSTEM 'r.dtd'>\n<r/>");
    ExpectFailed(outcome, L"DOCTYPE is not allowed");
    EXPECT_EQ(outcome.reported.errors[0].line, 2);

    const zvtest::LocalServer server;
    const std::wstring url = server.Url() + L"/x";
    // A pipe holding a secret: whoever opens and reads it drains it.
    const zvtest::ScratchFolder folder;
    const std::string fifo = folder / "secret.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int pipe = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    ASSERT_EQ(::write(pipe, "secret", 6), 6);

    const std::wstring doctypes[] = {
        L"<!DOCTYPE r><r/>",
        L"<!DOCTYPE r [<!ENTITY x SYSTEM '" + url + L"'>]><r>&x;</r>",
        L"<!DOCTYPE r [<!ENTITY x SYSTEM 'file://" + zvtest::WidePath(fifo) + L"'>]><r>&x;</r>",
        L"<!DOCTYPE r SYSTEM '" + url + L"'><r/>",
        L"<!DOCTYPE r [<!ENTITY % p SYSTEM '" + url + L"'> %p;]><r/>",
        L"<!DOCTYPE r [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><r "
        L"a='&x;'>&x;</r>",
    };
    for (const std::wstring& text : doctypes) {
        SCOPED_TRACE(testing::PrintToString(text));
        const SaxOutcome refused = SaxText(text);
        ExpectFailed(refused, L"DOCTYPE is not allowed");
        EXPECT_TRUE(refused.events.events.empty());
    }

    EXPECT_FALSE(server.WasContacted());
    char back[16] = {};
    EXPECT_EQ(::read(pipe, back, sizeof back), 6);
    EXPECT_STREQ(back, "secret");
    ::close(pipe);
}

TEST(SaxDiagnostics, LibxmlPrintsNothingAndTheThreadsHandlersAreLeftAsTheyWere)
{
    const auto parseBadDocuments = [] {
        SaxText(L"<r xmlns:p='Pipes.01.02' xmlns:q='urn:q q'><p:a/></r>"); // relative
                                                                           // namespace
                                                                           // URIs
        SaxText(L"<r><a></r>");
        SaxText(L"<r><x:a/></r>");
        SaxText(L"<!DOCTYPE r [<!ENTITY x 'y'>]><r>&x;</r>");
        SaxText(Nested(300));
        SaxFile("<r>\xff</r>");
        SaxFile("<?xml version='1.0' encoding='no-such-encoding'?><r/>");
        SaxFile(kLoneSurrogateUtf16);
    };
    {
        zvtest::StderrCapture capture;
        parseBadDocuments();
        EXPECT_EQ(capture.Finish(), "");
    }

    struct Host {
        static void Generic(void*, const char*, ...) {}
        static void Structured(void*, ZVXML::platform::LibxmlError) {}
    };
    int context = 0;
    xmlSetGenericErrorFunc(&context, Host::Generic);
    xmlSetStructuredErrorFunc(&context, Host::Structured);
    parseBadDocuments();
    EXPECT_EQ(xmlGenericError, &Host::Generic);
    EXPECT_EQ(xmlGenericErrorContext, &context);
    EXPECT_EQ(xmlStructuredError, &Host::Structured);
    EXPECT_EQ(xmlStructuredErrorContext, &context);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
}
