// Parses on several threads at once: each gives what it gives alone, down to
// the line and column of an error.
#include "instance_parse_support.h"

#include "bench/instance_document_generator.h"

#include <thread>

using namespace ZVXML;

namespace {

struct Outcome {
    std::vector<std::wstring> lines; // events and error messages
    std::wstring failure;
};

// One parse of `text` with a schema, factory and recorder of its own.
Outcome ParseAlone(const std::wstring& text, int isLocation)
{
    CZVSchema schema(L"g", L"Generated", L"");
    zvbench::AddGeneratedClasses(schema);
    zvtest::SchemaFactory factory(schema);
    zvtest::Recorder recorder;
    Outcome outcome;
    try {
        ParseZVInstanceXML(isLocation, text.c_str(), &schema, &recorder, &zvtest::Recorder::Begin,
                           &zvtest::Recorder::Instance, &zvtest::Recorder::Relationship, &zvtest::Recorder::Element,
                           &zvtest::Recorder::End, &zvtest::Recorder::Error, &factory, 0);
    } catch (const ZVXMLException& error) {
        outcome.failure = error.Message();
    }
    outcome.lines = std::move(recorder.events);
    outcome.lines.insert(outcome.lines.end(), recorder.errors.begin(), recorder.errors.end());
    return outcome;
}

TEST(ParseThreads, FourParsesAtOnceEachGiveWhatTheyGiveAlone)
{
    zvbench::InstanceDocumentGenerator generator;
    const std::string bytes = generator.Text(400 * 1024);
    const zvtest::ScratchFolder folder;
    const std::wstring file = folder.Write("document.xml", bytes);
    // Two documents as text, two by location; one of each is broken.
    const std::wstring text = ZVXML::ToWString(bytes.c_str());
    const std::wstring broken = text.substr(0, text.size() / 2);
    const std::wstring brokenFile = folder.Write("broken.xml", bytes.substr(0, bytes.size() / 2));
    const std::vector<std::pair<std::wstring, int>> inputs = {{text, 0}, {broken, 0}, {file, 1}, {brokenFile, 1}};

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
        for (std::thread& thread : threads) {
            thread.join();
        }
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            EXPECT_EQ(parallel[i].failure, serial[i].failure) << i;
            EXPECT_TRUE(parallel[i].lines == serial[i].lines) << i;
        }
    }
    CZVSchema::FreeRecycledValues();
}

} // namespace
