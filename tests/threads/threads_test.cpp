// Eight threads at once, each with its own schema set, factory and
// documents, all sharing the value pool and the log; results must equal a
// serial run's, and ThreadSanitizer (make tsan) must see no race.
#include <zvxml/zvxml.h>

#include "support/instances_as_xml.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace ZVXML;

namespace {

const std::string kExamples = ZVXML_EXAMPLES_DIR;

std::atomic<long> g_linesA{0};
std::atomic<long> g_linesB{0};
void CountA(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_linesA; }
void CountB(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_linesB; }

// One thread's work; returns what it read, so runs can be compared.
std::wstring Work(int round)
{
    CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(zvtest::Widen(kExamples + "/schemas").c_str());
    if (schema.ReadXML(zvtest::Widen(kExamples + "/schemas/Plant.01.02.zvschema.xml").c_str()) != 0) {
        return L"load failed";
    }
    const std::string document = kExamples + "/instances/plant-north.zvinstance.xml";
    const std::wstring read = zvtest::InstancesAsXml(schema, 1, zvtest::Widen(document)) +
                              zvtest::InstancesAsXml(schema, 0, ToWString(zvtest::ReadAll(document).c_str()));
    // Instances built and destroyed by hand keep the pool busy.
    CZVClass* pump = schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY);
    for (int i = 0; i < 200; ++i) {
        CZVInstance instance(pump);
        instance.SetPropertyValue(L"Head", static_cast<double>(round * 1000 + i));
        instance.SetPropertyValue(L"Stages", static_cast<long>(i));
        instance.SetPropertyValue(L"Name", L"pump");
        Log(LOG_SEV_TRACE, L"Test", instance.PropertyValue(L"Name"));
    }
    try {
        schema.FindZVClassUsingPrefix(L"Pump", L"nope", ZVCLASSTYPE_ANY); // an exception logs too
    } catch (const ZVXMLDomainError&) {
    }
    return read;
}

} // namespace

TEST(Threads, ParallelWorkEqualsSerialWork)
{
    const std::wstring serial = Work(0);
    ASSERT_NE(serial, L"load failed");
    ASSERT_GT(serial.size(), 1000u);

    constexpr int kThreads = 8;
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop.load()) {
            SetLoggingCallback(&CountA);
            SetLoggingCallback(&CountB);
            SetLoggingCallback(nullptr);
        }
    });
    std::vector<std::wstring> results(kThreads);
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([t, &results] {
            for (int round = 0; round < 10; ++round) {
                results[t] = Work(round);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    stop = true;
    swapper.join();
    SetLoggingCallback(nullptr);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(results[t], serial) << "thread " << t;
    }
    CZVSchema::FreeRecycledValues();
}
