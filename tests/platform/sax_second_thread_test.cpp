// Reading on a second thread must not change what the handlers hear: the
// same events in the same pieces, the same places from Position, the same
// errors with the same answers, all on the calling thread; and a handler
// that throws still ends the parse at once.
#include "platform/sax/sax_reader.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace ZVXML::platform;

namespace {

// Every event with its place, piece by piece, and whether it came on the
// thread that started the parse.
class PlaceRecorder : public SaxContentHandler, public SaxErrorHandler {
public:
    explicit PlaceRecorder(const SaxReader& reader, long answer) : m_reader(reader), m_answer(answer) {}

    std::vector<std::wstring> lines;
    bool otherThread = false;
    int throwAtStart = 0; // throw at this start event (1-based); 0: never

    void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring&,
                      const SaxAttributes& attributes) override
    {
        std::wstring id;
        attributes.GetValue(L"id", id);
        Note(L"start {" + uri + L"}" + local + L" " + std::to_wstring(attributes.Count()) + L" " + id);
        if (++m_starts == throwAtStart) {
            throw std::runtime_error("stop");
        }
    }
    void EndElement(const std::wstring&, const std::wstring& local, const std::wstring&) override
    {
        Note(L"end " + local);
    }
    void Characters(const wchar_t* text, std::size_t length) override { Note(L"text " + std::wstring(text, length)); }
    void TextBreak() override { Note(L"break"); }
    long FatalError(const SaxLocator& at, const std::wstring& message) override
    {
        Note(L"error " + message + L" " + std::to_wstring(at.line) + L":" + std::to_wstring(at.column));
        return m_answer;
    }

private:
    void Note(std::wstring line)
    {
        const SaxLocator at = m_reader.Position();
        lines.push_back(std::move(line) + L" @" + std::to_wstring(at.line) + L":" + std::to_wstring(at.column));
        otherThread = otherThread || std::this_thread::get_id() != m_caller;
    }

    const SaxReader& m_reader;
    long m_answer;
    int m_starts = 0;
    std::thread::id m_caller = std::this_thread::get_id();
};

struct Outcome {
    std::vector<std::wstring> lines;
    bool otherThread = false;
    std::string thrown; // "platform <code> <line>:<column>", "handler", or empty
};

Outcome Parse(SaxThreads threads, const std::wstring& location, long answer = 0, int throwAtStart = 0)
{
    SaxReader reader;
    PlaceRecorder recorder(reader, answer);
    recorder.throwAtStart = throwAtStart;
    reader.SetContentHandler(&recorder);
    reader.SetErrorHandler(&recorder);
    reader.SetThreads(threads);
    Outcome run;
    try {
        reader.ParseLocation(location.c_str());
    } catch (const SaxPlatformError& error) {
        run.thrown = "platform " + std::to_string(error.code) + " " + std::to_string(error.line) + ":" +
                     std::to_string(error.column);
    } catch (const std::runtime_error&) {
        run.thrown = "handler";
    }
    run.lines = std::move(recorder.lines);
    run.otherThread = recorder.otherThread;
    return run;
}

// Long enough to fill many blocks of events and to make libxml2 drop input
// it has read, on lines of every kind: indented, very long, tags spanning
// lines, CDATA with CR LF cut across pieces, text with references and
// characters outside ASCII.
std::string VariedDocument()
{
    std::string text = "\xEF\xBB\xBF<r xmlns='urn:t' xmlns:p='urn:p'>\n";
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        text += "  <p:item id='" + n + "' a='\xC3\xA4\xE2\x82\xAC'>t&amp;" + n + "</p:item><!-- c -->\n";
        if (i % 100 == 0) {
            for (int k = 0; k < 400; ++k) {
                text += "<e id='" + std::to_string(k) + "'>\xF0\x9F\x98\x80" + n + "</e>";
            }
            text += "\n";
        }
        if (i % 250 == 0) {
            text += "<split\n   id='" + n + "'\n/><![CDATA[" + std::string(700, 'x') + "\r\n\r" + n + "]]><?pi x?>\n";
            text += "<m\n a='" + n + "'>\xC3\xA9<empty/></m> <empty b='\xE2\x82\xAC'/>\n";
        }
    }
    return text + "</r>\n";
}

} // namespace

TEST(SaxSecondThread, HandlersHearTheSameEventsPlacesAndErrorsOnTheCallingThread)
{
    const zvtest::ScratchFolder folder;
    const std::string varied = VariedDocument();
    const std::vector<std::pair<std::string, long>> documents = {
        {varied, 0},
        {varied.substr(0, varied.size() - 6) + "</x></r>", 0}, // ill-formed near the end
        {varied.substr(0, varied.size() / 2), 9}, // cut short; the answer becomes the code
        {"<r>" + std::string(300000, 'y') + "<a b='1' b='2'/></r>", 0},
    };
    for (std::size_t i = 0; i < documents.size(); ++i) {
        SCOPED_TRACE("document " + std::to_string(i));
        const std::wstring path = folder.Write("d" + std::to_string(i) + ".xml", documents[i].first);
        const Outcome one = Parse(SaxThreads::One, path, documents[i].second);
        const Outcome two = Parse(SaxThreads::Two, path, documents[i].second);
        EXPECT_GT(one.lines.size(), 5u);
        EXPECT_EQ(two.lines, one.lines);
        EXPECT_EQ(two.thrown, one.thrown);
        EXPECT_FALSE(two.otherThread);
    }
}

TEST(SaxSecondThread, AHandlersExceptionEndsTheParseAtItsEvent)
{
    const zvtest::ScratchFolder folder;
    // Broken after the point where the handler throws: the exception wins.
    const std::wstring path = folder.Write("d.xml", VariedDocument() + "<after/>");
    for (const int at : {1, 2, 1500, 9000}) {
        SCOPED_TRACE("start " + std::to_string(at));
        const Outcome one = Parse(SaxThreads::One, path, 0, at);
        const Outcome two = Parse(SaxThreads::Two, path, 0, at);
        EXPECT_EQ(two.thrown, "handler");
        EXPECT_EQ(two.lines, one.lines);
    }
}
