// Parses on several threads at once: each gives what it gives alone, down to
// the line and column of an error.
#include "instance_parse_support.h"

#include "bench/instance_document_generator.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace ZVXML;

namespace {

struct Outcome {
    std::vector<std::wstring> lines; // events and error messages
    std::wstring failure;
};

// One parse of `text` with a schema, factory and recorder of its own.
Outcome ParseAlone(const std::wstring& text, int isLocation, unsigned long options = 0)
{
    CZVSchema schema(L"g", L"Generated", L"");
    zvbench::AddGeneratedClasses(schema);
    zvtest::SchemaFactory factory(schema);
    zvtest::Recorder recorder;
    Outcome outcome;
    try {
        ParseZVInstanceXML(isLocation, text.c_str(), &schema, &recorder, &zvtest::Recorder::Begin,
                           &zvtest::Recorder::Instance, &zvtest::Recorder::Relationship, &zvtest::Recorder::Element,
                           &zvtest::Recorder::End, &zvtest::Recorder::Error, &factory, options);
    } catch (const ZVXMLException& error) {
        outcome.failure = error.Message();
    }
    outcome.lines = std::move(recorder.events);
    outcome.lines.insert(outcome.lines.end(), recorder.errors.begin(), recorder.errors.end());
    return outcome;
}

// Two documents as text, two by location; one of each is broken.
TEST(ParseThreads, FourParsesAtOnceEachGiveWhatTheyGiveAlone)
{
    const std::string bytes = zvbench::InstanceDocumentGenerator().Text(400 * 1024);
    const zvtest::ScratchFolder folder;
    const std::wstring text = ZVXML::ToWString(bytes.c_str());
    const std::vector<std::pair<std::wstring, int>> inputs = {
        {text, 0},
        {text.substr(0, text.size() / 2), 0},
        {folder.Write("document.xml", bytes), 1},
        {folder.Write("broken.xml", bytes.substr(0, bytes.size() / 2)), 1}};
    std::vector<Outcome> serial;
    for (const auto& input : inputs) {
        serial.push_back(ParseAlone(input.first, input.second));
    }
    ASSERT_EQ(serial[0].failure, L"");
    ASSERT_GT(serial[0].lines.size(), 500u);
    ASSERT_NE(serial[1].failure, L"");
    ASSERT_EQ(serial[2].lines, serial[0].lines);

    for (int round = 0; round < 3; ++round) {
        std::vector<Outcome> parallel(inputs.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            threads.emplace_back([&, i] { parallel[i] = ParseAlone(inputs[i].first, inputs[i].second); });
        }
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            threads[i].join();
            EXPECT_EQ(parallel[i].failure, serial[i].failure) << i;
            EXPECT_TRUE(parallel[i].lines == serial[i].lines) << i;
        }
    }
    CZVSchema::FreeRecycledValues();
}

// The threads of this process, as the system counts them.
int ThreadsNow()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, 8, "Threads:") == 0) {
            return std::stoi(line.substr(8));
        }
    }
    return 0;
}

// The most threads the process had while `file` was parsed with `options`.
int ThreadsDuringParse(const std::wstring& file, unsigned long options)
{
    CZVSchema schema(L"g", L"Generated", L"");
    zvbench::AddGeneratedClasses(schema);
    zvtest::SchemaFactory factory(schema);
    int most = 0;
    const auto seen = [](CZVSchema*, void* context, CZVInstance*) {
        *static_cast<int*>(context) = std::max(*static_cast<int*>(context), ThreadsNow());
        return 0;
    };
    const auto ignore = [](CZVSchema*, void*, ZVRelationshipInstance*) { return 0; };
    ParseZVInstanceXML(1, file.c_str(), &schema, &most, nullptr, seen, ignore, nullptr, nullptr, nullptr, &factory,
                       options);
    return most;
}

// The option keeps the reading on the calling thread (whatever the
// environment asks); without it a machine with two cores reads on a second
// one.
TEST(ParseThreads, ALargeDocumentReadOnASecondThreadGivesWhatOneThreadGives)
{
    const std::string bytes = zvbench::InstanceDocumentGenerator().Text(1536 * 1024);
    const zvtest::ScratchFolder folder;
    const std::wstring file = folder.Write("large.xml", bytes);
    const std::wstring broken = folder.Write("broken.xml", bytes.substr(0, bytes.size() - 700) + "<x>");
    for (const std::wstring& input : {file, broken}) {
        const Outcome one = ParseAlone(input, 1, ZVINSTANCEXML_SINGLE_THREAD);
        const Outcome two = ParseAlone(input, 1);
        EXPECT_GT(one.lines.size(), 3000u);
        EXPECT_TRUE(two.lines == one.lines);
        EXPECT_EQ(two.failure, one.failure);
        EXPECT_EQ(one.failure.empty(), input == file);
    }
    const int before = ThreadsNow();
    EXPECT_EQ(ThreadsDuringParse(file, ZVINSTANCEXML_SINGLE_THREAD), before);
    if (std::thread::hardware_concurrency() >= 2 && std::getenv("ZVXML_READER_THREADS") == nullptr) {
        EXPECT_EQ(ThreadsDuringParse(file, 0), before + 1);
    }
}

// Parsing keeps emptied instances and values per thread for the next parse.
// A host may parse while its statics are destroyed, after the thread's own
// objects are: that parse must neither use nor free them again.
std::wstring g_atExitText; // parsed by the exit handler
std::vector<std::wstring> g_atExitWanted; // what a parse of it gives

void ParseAtExit()
{
    const Outcome outcome = ParseAlone(g_atExitText, 0, ZVINSTANCEXML_SINGLE_THREAD);
    std::_Exit(outcome.failure.empty() && outcome.lines == g_atExitWanted ? 7 : 3);
}

TEST(ParseThreads, ADocumentParsesAfterTheThreadsOwnObjectsAreDestroyed)
{
    g_atExitText = ZVXML::ToWString(zvbench::InstanceDocumentGenerator().Text(64 * 1024).c_str());
    EXPECT_EXIT(
        {
            // Fills the spares: structs, arrays, members and instances.
            const Outcome first = ParseAlone(g_atExitText, 0, ZVINSTANCEXML_SINGLE_THREAD);
            g_atExitWanted = first.lines;
            std::atexit(ParseAtExit);
            std::exit(first.failure.empty() && first.lines.size() > 100 ? 0 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

} // namespace
