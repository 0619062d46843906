// Eight threads at once, each with its own schema set, factory and
// documents, all sharing the value pool and the log; results must equal a
// serial run's, and ThreadSanitizer (make tsan) must see no race.
#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
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

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ToWString(bytes.str().c_str());
}

int Collect(CZVSchema*, void* context, CZVInstance* instance)
{
    instance->AppendAsXml(*static_cast<std::wstring*>(context), L"");
    return 0;
}

int CollectRelationship(CZVSchema*, void* context, ZVRelationshipInstance* relationship)
{
    std::wstring ends =
        std::wstring(L" from='") + relationship->GetSourceID() + L"' to='" + relationship->GetTargetID() + L"'";
    relationship->AppendAsXml(*static_cast<std::wstring*>(context), ends);
    return 0;
}

// One thread's work; returns what it read, so runs can be compared.
std::wstring Work(int round)
{
    CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(Wide(kExamples + "/schemas").c_str());
    if (schema.ReadXML(Wide(kExamples + "/schemas/Plant.01.02.zvschema.xml").c_str()) != 0) {
        return L"load failed";
    }
    CZVSchemaInstanceFactory factory(&schema);
    std::wstring read;
    const std::wstring location = Wide(kExamples + "/instances/plant-north.zvinstance.xml");
    ParseZVInstanceXML(1, location.c_str(), &schema, &read, nullptr, &Collect, &CollectRelationship, nullptr, nullptr,
                       nullptr, &factory, 0);
    const std::wstring text = ReadText(kExamples + "/instances/plant-north.zvinstance.xml");
    ParseZVInstanceXML(0, text.c_str(), &schema, &read, nullptr, &Collect, &CollectRelationship, nullptr, nullptr,
                       nullptr, &factory, 0);
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
