// Handlers for the reader's tests: they write down what the reader tells
// them; and runs that catch what a parse throws.
#ifndef ZVXML_TESTS_PLATFORM_SAX_RECORDER_H
#define ZVXML_TESTS_PLATFORM_SAX_RECORDER_H

#include "foundation/utf8.h"
#include "platform/sax/sax_reader.h"

#include "support/scratch.h"

#include <functional>
#include <string>
#include <vector>

namespace zvtest {

using ZVXML::platform::SaxAttributes;

// Events as lines: "start {uri}local qname", "text ...", "break", "end
// {uri}local qname". Consecutive pieces of text are joined into one line.
class Recorder : public ZVXML::platform::SaxContentHandler {
public:
    std::vector<std::wstring> events;
    // Called before each event is recorded; a test may throw from it.
    std::function<void()> beforeEvent;

    void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname,
                      const SaxAttributes&) override
    {
        Before();
        events.push_back(L"start {" + uri + L"}" + local + L" " + qname);
        m_inText = false;
    }
    void EndElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname) override
    {
        Before();
        events.push_back(L"end {" + uri + L"}" + local + L" " + qname);
        m_inText = false;
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        Before();
        if (m_inText) {
            events.back().append(text, length);
        } else {
            events.push_back(L"text " + std::wstring(text, length));
        }
        m_inText = true;
    }
    void TextBreak() override
    {
        Before();
        events.push_back(L"break");
        m_inText = false;
    }
    // All text, joined.
    std::wstring Text() const
    {
        std::wstring all;
        for (const std::wstring& line : events) {
            if (line.compare(0, 5, L"text ") == 0) {
                all += line.substr(5);
            }
        }
        return all;
    }

private:
    void Before()
    {
        if (beforeEvent) {
            beforeEvent();
        }
    }
    bool m_inText = false;
};

struct ReportedError {
    long line;
    long column;
    std::wstring message;
};

// Writes down each error and answers with a fixed code.
class ErrorRecorder : public ZVXML::platform::SaxErrorHandler {
public:
    explicit ErrorRecorder(long answer = 0) : m_answer(answer) {}
    std::vector<ReportedError> errors;

    long FatalError(const ZVXML::platform::SaxLocator& locator, const std::wstring& message) override
    {
        errors.push_back(ReportedError{locator.line, locator.column, message});
        return m_answer;
    }

private:
    long m_answer;
};

// A file's path as the reader takes it: UTF-8 bytes whatever the locale.
inline std::wstring WidePath(const std::string& path) { return ZVXML::Utf8ToWide(path); }

// What one parse did: its events, the errors reported, and what it threw.
struct SaxOutcome {
    bool threw = false;
    ZVXML::platform::SaxPlatformError error{};
    Recorder events;
    ErrorRecorder reported;
};

// Runs `parse` with a recorder and an error handler that answers `answer`
// (none when `withErrorHandler` is false).
inline SaxOutcome RunSax(const std::function<void(ZVXML::platform::SaxReader&)>& parse, long answer = 0,
                         bool withErrorHandler = true)
{
    SaxOutcome outcome;
    outcome.reported = ErrorRecorder(answer);
    ZVXML::platform::SaxReader reader;
    reader.SetContentHandler(&outcome.events);
    if (withErrorHandler) {
        reader.SetErrorHandler(&outcome.reported);
    }
    try {
        parse(reader);
    } catch (const ZVXML::platform::SaxPlatformError& error) {
        outcome.threw = true;
        outcome.error = error;
    }
    return outcome;
}

inline SaxOutcome SaxText(const std::wstring& text, long answer = 0, bool withErrorHandler = true)
{
    return RunSax([&](ZVXML::platform::SaxReader& reader) { reader.ParseText(text.data(), text.size()); }, answer,
                  withErrorHandler);
}

inline SaxOutcome SaxLocation(const std::wstring& location)
{
    return RunSax([&](ZVXML::platform::SaxReader& reader) { reader.ParseLocation(location.c_str()); });
}

} // namespace zvtest

#endif
