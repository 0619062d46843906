// The reader as its handlers hear it: character data, which locations are
// read and what the caller hears when one is refused, a handler's exception
// crossing libxml2's C frames unchanged, and fatal errors with their place
// and the error handler's answer.
#include "foundation/utf8.h"
#include "platform/sax/sax_reader.h"

#include "support/hostile_text.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using ZVXML::Utf8ToWide;
using namespace ZVXML::platform;

namespace {

// Events as lines: "start {uri}local qname", "text ...", "break", "end
// {uri}local qname". Consecutive pieces of text are joined into one line.
class Recorder : public SaxContentHandler {
public:
    std::vector<std::wstring> events;
    std::function<void()> beforeEvent; // called before each event; may throw

    void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname,
                      const SaxAttributes&) override
    {
        Record(L"start {" + uri + L"}" + local + L" " + qname);
    }
    void EndElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname) override
    {
        Record(L"end {" + uri + L"}" + local + L" " + qname);
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        if (m_inText) {
            Notify();
            events.back().append(text, length);
        } else {
            Record(L"text " + std::wstring(text, length));
        }
        m_inText = true;
    }
    void TextBreak() override { Record(L"break"); }
    // All text, joined.
    std::wstring Text() const
    {
        std::wstring all;
        for (const std::wstring& line : events) {
            all += line.compare(0, 5, L"text ") == 0 ? line.substr(5) : L"";
        }
        return all;
    }

private:
    void Notify()
    {
        if (beforeEvent) {
            beforeEvent();
        }
    }
    void Record(std::wstring line)
    {
        Notify();
        events.push_back(std::move(line));
        m_inText = false;
    }
    bool m_inText = false;
};

struct ReportedError {
    long line;
    long column;
    std::wstring message;
};

// Writes down each error and answers with `answer`.
struct ErrorRecorder : SaxErrorHandler {
    long answer = 0;
    std::vector<ReportedError> errors;
    long FatalError(const SaxLocator& locator, const std::wstring& message) override
    {
        errors.push_back(ReportedError{locator.line, locator.column, message});
        return answer;
    }
};

// What one parse did: its events, the errors reported, and what it threw.
struct SaxOutcome {
    bool threw = false;
    SaxPlatformError error{};
    Recorder events;
    ErrorRecorder reported;
};

// Runs `parse` with a recorder and an error handler that answers `answer`
// (none when `withErrorHandler` is false).
SaxOutcome RunSax(const std::function<void(SaxReader&)>& parse, long answer = 0, bool withErrorHandler = true)
{
    SaxOutcome outcome;
    outcome.reported.answer = answer;
    SaxReader reader;
    reader.SetContentHandler(&outcome.events);
    if (withErrorHandler) {
        reader.SetErrorHandler(&outcome.reported);
    }
    try {
        parse(reader);
    } catch (const SaxPlatformError& error) {
        outcome.threw = true;
        outcome.error = error;
    }
    return outcome;
}

SaxOutcome SaxText(const std::wstring& text, long answer = 0, bool withErrorHandler = true)
{
    return RunSax([&](SaxReader& reader) { reader.ParseText(text.data(), text.size()); }, answer, withErrorHandler);
}

SaxOutcome SaxLocation(const std::wstring& location)
{
    return RunSax([&](SaxReader& reader) { reader.ParseLocation(location.c_str()); });
}

struct HandlerStop {
    int id;
    std::string why;
};

} // namespace

TEST(SaxText, LineEndsReadAsLineFeedsInTextAndInCdataSections)
{
    EXPECT_EQ(SaxText(L"<r>a\r\nb\rc<![CDATA[d\r\ne\rf\r]]>\ng&#13;h</r>").events.Text(), L"a\nb\nc"
                                                                                          L"d\ne\nf\n\ng\rh");
    EXPECT_EQ(SaxText(L"<r><![CDATA[\r]]><![CDATA[\n]]></r>").events.Text(), L"\n\n");
    // The push parser hands a section longer than a chunk over in pieces of
    // a few hundred bytes; a CR LF may straddle two of them.
    std::wstring section;
    std::wstring expected;
    for (int i = 0; i < 6000; ++i) {
        section += L"l" + std::to_wstring(i) + (i % 2 == 0 ? L"\r\n" : L"\r");
        expected += L"l" + std::to_wstring(i) + L"\n";
    }
    for (std::size_t shift = 0; shift < 4; ++shift) {
        const std::wstring padding(shift, L'x');
        EXPECT_EQ(SaxText(L"<r><![CDATA[" + padding + section + L"]]></r>").events.Text(), padding + expected);
    }
}

TEST(SaxText, CommentsAndProcessingInstructionsBreakTheText)
{
    const SaxOutcome outcome = SaxText(L"<r>a<!-- c -->b<?p i?>c<![CDATA[d]]>e</r>");
    const std::vector<std::wstring> expected = {L"start {}r r", L"text a",   L"break",    L"text b",
                                                L"break",       L"text cde", L"end {}r r"};
    EXPECT_EQ(outcome.events.events, expected);
}

TEST(SaxLocation, PathsAndFileUrlsOfEveryFormReadTheFile)
{
    // Escapes in the URLs: a space, "é" in UTF-8, and an escaped slash-free "%".
    const zvtest::ScratchFolder folder;
    const std::wstring path = Utf8ToWide(folder.WriteFile("a b \xc3\xa9%.xml", "<r>ok</r>"));
    const std::wstring escaped = zvtest::Widen(folder.path()) + L"/a%20b%20%C3%A9%25.xml";
    for (const std::wstring& location :
         {path, L"file://" + escaped, L"FILE://localhost" + escaped, L"file:" + escaped, L"file://" + path}) {
        const SaxOutcome outcome = SaxLocation(location);
        EXPECT_FALSE(outcome.threw) << outcome.error.description;
        EXPECT_EQ(outcome.events.Text(), L"ok") << location;
    }
}

// Other schemes and hosts, and files the system will not read: each a
// platform error naming the location, with no event.
TEST(SaxLocation, RefusedLocationsAreNamedWithTheReason)
{
    const std::wstring missing = L"/nonexistent-folder/doc.xml";
    const std::wstring folder = L"file://" + Utf8ToWide(std::filesystem::temp_directory_path().string());
    const std::pair<std::wstring, std::wstring> refusals[] = {
        // A port nothing listens on: were the scheme let through, the
        // message would tell of a failed connection instead.
        {L"http://127.0.0.1:9/doc.xml", L"the scheme \"http\" is not allowed; only files and file: URLs can be read"},
        {L"file://server/share/doc.xml", L"the file URL names the host \"server\"; only local files can be read"},
        {L"file://", L"the file URL names no file"},
        {L"file:///tmp/a%00b", L"the file URL holds a NUL character"},
        {folder, L"Is a directory"},
        {L"", L"no location given"},
    };
    for (const auto& [location, reason] : refusals) {
        const SaxOutcome outcome = SaxLocation(location);
        ASSERT_TRUE(outcome.threw) << location;
        EXPECT_EQ(outcome.error.code, kSaxUnspecifiedError);
        EXPECT_EQ(outcome.error.description, L"Cannot read \"" + location + L"\": " + reason);
        EXPECT_EQ(outcome.error.source, location);
        EXPECT_TRUE(outcome.events.events.empty());
    }
    const SaxOutcome absent = SaxLocation(missing);
    EXPECT_EQ(absent.error.description, L"Cannot open \"" + missing + L"\": No such file or directory");
    EXPECT_EQ(absent.error.source, missing);
}

TEST(SaxLocation, CharactersSplitAcrossChunksArriveWhole)
{
    // Longer than a conversion chunk and than libxml2's buffers, with two-,
    // three- and four-byte characters placed so that chunks end inside them.
    for (std::size_t shift : {0, 1, 2}) {
        SCOPED_TRACE(shift);
        std::string bytes = "<r>" + std::string(shift, 'x');
        std::wstring expected(shift, L'x');
        for (int i = 0; bytes.size() < 300000; ++i) {
            bytes += "\xe2\x82\xac&amp;\xf0\x9f\x98\x80 \xc3\xa9" + std::to_string(i) + "\n";
            expected += L"\u20ac&\U0001F600 \u00e9" + std::to_wstring(i) + L"\n";
        }
        bytes += "</r>";
        const zvtest::ScratchFolder folder;
        EXPECT_EQ(SaxLocation(Utf8ToWide(folder.WriteFile("chunks.xml", bytes))).events.Text(), expected);
        EXPECT_EQ(SaxText(Utf8ToWide(bytes)).events.Text(), expected);
    }
}

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
            reader.ParseText(L"<ok/>", 5);
            EXPECT_EQ(after.events, (std::vector<std::wstring>{L"start {}ok ok", L"end {}ok ok"}));
        }
    }
}

TEST(SaxFatalErrors, TheErrorHandlerGetsLineAndColumnAndItsAnswerBecomesTheCode)
{
    const SaxOutcome outcome = SaxText(L"<r>\n  <a>\n  </r>", 0x1234);
    ASSERT_TRUE(outcome.threw);
    ASSERT_EQ(outcome.reported.errors.size(), 1u);
    const ReportedError& reported = outcome.reported.errors[0];
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
        const SaxOutcome fromFile = SaxLocation(Utf8ToWide(folder.WriteFile("cut.xml", bytes)));
        ASSERT_EQ(fromFile.reported.errors.size(), 1u);
        EXPECT_EQ(fromFile.reported.errors[0].message, reason);
        EXPECT_TRUE(fromFile.threw);
        if (bytes.find('\x01') == std::string::npos) {
            const SaxOutcome fromText = SaxText(Utf8ToWide(bytes));
            ASSERT_EQ(fromText.reported.errors.size(), 1u);
            EXPECT_EQ(fromText.reported.errors[0].message, reason);
        }
    }
}
