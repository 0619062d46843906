// What the caller and the handlers hear when a parse ends early: a
// handler's exception must cross libxml2's C frames unchanged, and a fatal
// error must carry its place and the error handler's answer.
#include "platform/sax/sax_reader.h"
#include "sax_recorder.h"
#include "support/hostile_text.h"

#include <gtest/gtest.h>

using zvtest::ErrorRecorder;
using zvtest::Recorder;
using zvtest::SaxOutcome;
using zvtest::SaxText;
using ZVXML::platform::kSaxUnspecifiedError;
using ZVXML::platform::SaxReader;

namespace {

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
    EXPECT_EQ(outcome.error.line, 3);
    EXPECT_EQ(outcome.error.column, 7);
    const std::vector<std::wstring> before = {L"start {}r r", L"text \n  ", L"start {}a a", L"text \n  "};
    EXPECT_EQ(outcome.events.events, before); // and nothing after the error
}

TEST(SaxFatalErrors, WithoutAnErrorHandlerTheParseFailsAllTheSame)
{
    const SaxOutcome unhandled = SaxText(L"<r><a></r>", 0, false);
    ASSERT_TRUE(unhandled.threw);
    EXPECT_EQ(unhandled.error.code, kSaxUnspecifiedError);
    EXPECT_EQ(unhandled.error.description, L"Opening and ending tag mismatch: a line 1 and r");
}

// The tree refuses the same nesting at the same place, with the same message.
TEST(SaxFatalErrors, NestingIsLimitedTo256ElementsAsInTheTree)
{
    EXPECT_FALSE(SaxText(zvtest::NestedOnLines(256)).threw);
    const SaxOutcome outcome = SaxText(zvtest::NestedOnLines(257));
    ASSERT_TRUE(outcome.threw);
    EXPECT_EQ(outcome.error.description, L"Excessive depth in document: more than 256 nested elements");
    EXPECT_EQ(outcome.error.line, 257);
    EXPECT_EQ(outcome.error.column, 3);
}

// Where the input ends too soon, the reason is the one a parse of the whole
// document gives, not the push parser's view of its own state; elsewhere
// libxml2's own reason stands.
TEST(SaxFatalErrors, AnEndTooSoonIsNamedAsAWholeDocumentParseNamesIt)
{
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"", L"Document is empty"},
        {"   \n", L"Start tag expected, '<' not found"},
        {"<?xml version='1.0'?>\n<!-- no root -->\n", L"Start tag expected, '<' not found"},
        {"\x01\x9c garbage \xff\xfe", L"Start tag expected, '<' not found"},
        {"<r>\n  <Well\n    id='1'>\n    <Depth>12", L"Premature end of data in tag Depth line 4"},
        {"<r>\n  <Well id='1'>\n", L"Premature end of data in tag Well line 2"},
        {"<r/>\n<s/>", L"Extra content at the end of the document"},
    };
    const zvtest::ScratchFolder folder;
    for (const auto& [bytes, reason] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        const SaxOutcome fromFile = zvtest::SaxLocation(zvtest::WidePath(folder.WriteFile("cut.xml", bytes)));
        ASSERT_EQ(fromFile.reported.errors.size(), 1u);
        EXPECT_EQ(fromFile.reported.errors[0].message, reason);
        EXPECT_TRUE(fromFile.threw);
        if (bytes.find('\x01') == std::string::npos) {
            const SaxOutcome fromText = SaxText(ZVXML::Utf8ToWide(bytes));
            ASSERT_EQ(fromText.reported.errors.size(), 1u);
            EXPECT_EQ(fromText.reported.errors[0].message, reason);
        }
    }
}
