// Eight threads at once, all reading one loaded schema set and each using one
// of its own: every lookup, walk and parse they make (the first ones
// included) must answer what a serial run answers, and ThreadSanitizer (make
// tsan) must see no race in the library.
#include <zvxml/zvxml.h>

#include "bench/instance_document_generator.h"
#include "support/instances_as_xml.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace ZVXML;
using zvtest::Widen;

namespace {

const std::string kExamples = ZVXML_EXAMPLES_DIR;
constexpr int kThreads = 8;

std::unique_ptr<CZVSchema> LoadFile(const std::string& path)
{
    auto schema = std::make_unique<CZVSchema>(L"temporary", L"temporary", nullptr);
    schema->SetReferenceSearchPath(Widen(kExamples + "/schemas").c_str());
    if (schema->ReadXML(Widen(path).c_str()) != 0) {
        return nullptr;
    }
    return schema;
}

// Runs `work(t)` on kThreads threads that start at one moment; what each gave.
std::vector<std::wstring> OnThreads(const std::function<std::wstring(int)>& work)
{
    std::atomic<int> waiting{kThreads};
    std::vector<std::wstring> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (--waiting; waiting > 0;) {
                std::this_thread::yield();
            }
            results[t] = work(t);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}

constexpr int kChains = 40;
constexpr int kChainLength = 50; // classes per base-class chain
constexpr int kWideProperties = 300;
constexpr int kLinks = 100;

std::wstring ItemName(int i) { return L"Item" + std::to_wstring(i); }

// The large schema: chains of derived classes that start at the plant's
// Equipment, a class with many properties, relationship classes, classes
// named as classes of the referenced schemas, and the classes of the
// generated documents. Written once and loaded from its file.
void WriteLargeSchema(const std::string& path)
{
    CZVSchema large(L"big", L"Large", L"generated");
    large.SetVersionString(L"01.00");
    CZVSchema* plant = LoadFile(kExamples + "/schemas/Plant.01.02.zvschema.xml").release();
    ASSERT_NE(plant, nullptr);
    CZVSchemaReference reference(plant);
    large.AddReference(reference); // owns the plant schema from here on
    zvbench::AddGeneratedClasses(large);
    large.CreateZVClass(L"Revision", L"shadows the units' Revision", ZVCLASSTYPE_DOMAIN);
    for (int i = 0; i < kChains * kChainLength; ++i) {
        CZVClass* item = large.CreateZVClass(ItemName(i).c_str(), L"", i % 7 == 0 ? 5ul : 1ul);
        item->SetBaseClass(i % kChainLength == 0 ? L"pl:Equipment" : ItemName(i - 1).c_str());
        item->AddZVProperty(L"A" + std::to_wstring(i), L"string", L"");
        item->AddZVProperty(L"B" + std::to_wstring(i), L"Point", L"");
    }
    CZVClass* wide = large.CreateZVClass(L"Wide", L"", ZVCLASSTYPE_DOMAIN);
    wide->SetBaseClass(ItemName(kChainLength - 1).c_str());
    for (int i = 0; i < kWideProperties; ++i) {
        wide->AddZVProperty(L"W" + std::to_wstring(i), L"double", L"");
    }
    for (int i = 0; i < kLinks; ++i) {
        CZVRelationshipClass* link =
            large.CreateZVRelationshipClass((L"Link" + std::to_wstring(i)).c_str(), L"", ZVCLASSTYPE_DOMAIN);
        link->m_source.m_className = ItemName(i);
        link->m_targets.m_classNames.push_back(L"pl:Pipe");
        link->m_targets.m_keyVectors.push_back({L"Tag"});
        link->AddZVProperty(L"Note", L"string", L"");
    }
    ASSERT_EQ(large.WriteXML(Widen(path).c_str()), 0);
}

// The answers to every lookup a host makes by `name`, or the messages of
// what they threw.
std::wstring LookUp(CZVSchema& s, const std::wstring& name)
{
    std::wostringstream out;
    const auto answer = [&](auto lookup) {
        try {
            const CZVClass* found = lookup();
            out << (found == nullptr ? std::wstring(L"-") : found->FullName()) << ' ';
        } catch (const ZVXMLException& error) {
            out << error.Message() << ' ';
        }
    };
    const wchar_t* text = name.c_str();
    answer([&] { return s.FindZVClass(text, ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVClass(text, ZVCLASSTYPE_CUSTOM_ATTRIBUTE); });
    answer([&] { return s.FindZVRelationshipClass(text, ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVClassUsingFullName((s.GetSchemaPrefix() + (L":" + name)).c_str(), 1); });
    answer([&] { return s.FindZVClassUsingFullName((L"pl:" + name).c_str(), ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVClassUsingPrefix(text, L"u", ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVClassUsingSchemaName(text, L"Plant", ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVRelationshipClassUsingFullName(text, ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVRelationshipClassUsingPrefix(text, L"pl", ZVCLASSTYPE_ANY); });
    answer([&] { return s.FindZVRelationshipClassUsingSchemaName(text, s.GetSchemaName(), ZVCLASSTYPE_ANY); });
    if (CZVClass* found = s.FindZVClass(text, ZVCLASSTYPE_ANY)) {
        out << s.GetRelativeClassName(found) << ' ' << s.GetRelativeClassName(text) << ' ';
        answer([&] { return found->GetBaseZVClass(); });
        out << found->GetBaseClass() << ' ' << found->GetZVPropertyCount() << ' ';
    }
    return out.str() + L"\n";
}

// Whether the class finds each of `names` and whose it is.
std::wstring Properties(CZVSchema& schema, const std::wstring& className, const std::vector<std::wstring>& names)
{
    CZVClass* zvClass = schema.FindZVClass(className.c_str(), ZVCLASSTYPE_ANY);
    std::wostringstream out;
    for (const std::wstring& name : names) {
        CZVProperty* property = zvClass->FindProperty(name.c_str());
        out << (property == nullptr ? L"-" : property->GetZVClass()->GetTypeName()) << ' '
            << zvClass->HasProperty(name.c_str()) << ' ';
    }
    return out.str() + L"\n";
}

// What the walks over classes and references meet.
std::wstring Walks(CZVSchema& schema)
{
    std::wostringstream out;
    long count = 0;
    const auto counting = [](auto*, void* counted) -> void* {
        ++*static_cast<long*>(counted);
        return nullptr;
    };
    for (int includeReferences = 0; includeReferences < 2; ++includeReferences) {
        schema.IterateOverAllClasses(counting, &count, includeReferences);
        out << count << ' ';
        schema.IterateOverAllRelationshipClasses(counting, &count, includeReferences);
        out << count << '\n';
    }
    CZVClassIterator classes(&schema);
    for (CZVClass* zvClass = classes.Begin(); zvClass != nullptr; zvClass = classes.Next()) {
        out << zvClass->GetTypeName() << ' ';
    }
    CZVReferencedSchemaIterator references(&schema);
    for (CZVSchemaReference* reference = references.Begin(); reference != nullptr; reference = references.Next()) {
        out << reference->m_schemaPrefix << ' ' << reference->m_pZVSchema->GetSchemaName() << ' ';
    }
    out << (schema.FindReferencedSchema(L"Plant", L"01.01") != nullptr)
        << (schema.FindReferencedSchemaByPrefix(L"pl") != nullptr) << '\n';
    return out.str();
}

struct Inputs {
    std::vector<std::wstring> classNames;
    std::vector<std::wstring> wideNames; // the wide class's own, inherited and unknown
    std::vector<std::wstring> deepNames; // along the longest chain
    std::wstring generatedDocument;
    std::wstring plantDocument;
};

Inputs MakeInputs()
{
    Inputs inputs;
    inputs.classNames = {L"Pump",      L"Pipe", L"Item",  L"Quantity", L"DisplayHint", L"Connects",
                         L"Equipment", L"Wide", L"Point", L"Nothing",  L"Link3"};
    for (int i = 0; i < kChains * kChainLength; i += 3) {
        inputs.classNames.push_back(ItemName(i));
    }
    for (int i = 0; i < kLinks; i += 7) {
        inputs.classNames.push_back(L"Link" + std::to_wstring(i));
    }
    for (int i = 0; i < kWideProperties; i += 5) {
        inputs.wideNames.push_back(L"W" + std::to_wstring(i));
    }
    inputs.wideNames.insert(inputs.wideNames.end(), {L"A0", L"B49", L"Tag", L"Location", L"W1000", L"w1"});
    for (int i = 0; i < kChainLength; ++i) {
        inputs.deepNames.push_back(L"A" + std::to_wstring(kChainLength + i));
    }
    inputs.deepNames.insert(inputs.deepNames.end(), {L"Name", L"Unknown"});
    inputs.generatedDocument = ToWString(zvbench::InstanceDocumentGenerator().Text(24 * 1024).c_str());
    inputs.plantDocument = Widen(kExamples + "/instances/plant-north.zvinstance.xml");
    return inputs;
}

// The schema set the readers share: the example schemas and the large one.
struct SchemaSet {
    std::unique_ptr<CZVSchema> plant;
    std::unique_ptr<CZVSchema> large;
};

SchemaSet LoadSet(const std::string& largePath)
{
    return SchemaSet{LoadFile(kExamples + "/schemas/Plant.01.02.zvschema.xml"), LoadFile(largePath)};
}

// The lookups of every name, starting at a place that `turn` chooses so
// that threads start on different names, in the order of the names.
std::wstring LookUpAll(CZVSchema& schema, const std::vector<std::wstring>& names, std::size_t turn)
{
    std::vector<std::wstring> answers(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t at = (i + turn * 17) % names.size();
        answers[at] = LookUp(schema, names[at]);
    }
    std::wstring text;
    for (const std::wstring& answer : answers) {
        text += answer;
    }
    return text;
}

int AppendFinding(void* text, const ZVXML::ZVValidationFinding& finding)
{
    *static_cast<std::wstring*>(text) += std::to_wstring(finding.line) + L" " + finding.className + L" " +
                                         finding.instanceID + L" " + finding.property + L": " + finding.message + L"\n";
    return 0;
}

template <class Instance>
int Write(CZVSchema*, void* writer, Instance* instance)
{
    static_cast<ZVXML::ZVInstanceXMLWriter*>(writer)->Write(instance);
    return 0;
}

// The findings of validating the document at `path`, then the document
// written back from what it holds.
std::wstring ValidatedAndWritten(CZVSchema& schema, const std::wstring& path)
{
    std::wstring text;
    ZVXML::ValidateZVInstanceXML(1, path.c_str(), &schema, &AppendFinding, &text, 0);
    std::ostringstream written;
    ZVXML::ZVInstanceXMLWriter writer(written);
    ZVXML::CZVSchemaInstanceFactory factory(&schema);
    ZVXML::ParseZVInstanceXML(1, path.c_str(), &schema, &writer, nullptr, &Write<CZVInstance>,
                              &Write<ZVRelationshipInstance>, nullptr, nullptr, nullptr, &factory, 0);
    writer.Close();
    return text + ToWString(written.str());
}

std::atomic<long> g_linesA{0};
std::atomic<long> g_linesB{0};
void CountA(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_linesA; }
void CountB(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_linesB; }

// A schema set of the reader's own, loaded, used and dropped: what it read.
std::wstring OwnWork()
{
    const std::unique_ptr<CZVSchema> schema = LoadFile(kExamples + "/schemas/Plant.01.02.zvschema.xml");
    if (schema == nullptr) {
        return L"load failed";
    }
    const std::string document = kExamples + "/instances/plant-north.zvinstance.xml";
    const std::wstring read = zvtest::InstancesAsXml(*schema, 1, Widen(document)) +
                              zvtest::InstancesAsXml(*schema, 0, ToWString(zvtest::ReadAll(document).c_str()));
    // Instances built and destroyed by hand keep the value pool busy.
    CZVClass* pump = schema->FindZVClass(L"Pump", ZVCLASSTYPE_ANY);
    for (int i = 0; i < 200; ++i) {
        CZVInstance instance(pump);
        instance.SetPropertyValue(L"Head", static_cast<double>(i));
        instance.SetPropertyValue(L"Stages", static_cast<long>(i));
        instance.SetPropertyValue(L"Name", L"pump");
        Log(LOG_SEV_TRACE, L"Test", instance.PropertyValue(L"Name"));
    }
    return read;
}

// Everything one reader does.
std::wstring ReadAll(SchemaSet& set, const Inputs& inputs, std::size_t turn)
{
    std::wstring text = LookUpAll(*set.large, inputs.classNames, turn);
    text += LookUpAll(*set.plant, inputs.classNames, turn + 3);
    text += Properties(*set.large, L"Wide", inputs.wideNames);
    text += Properties(*set.large, ItemName(2 * kChainLength - 1), inputs.deepNames) + Walks(*set.large);
    text += Properties(*set.plant, L"Pump", {L"Head", L"Tag", L"Location", L"Name", L"Missing"}) + Walks(*set.plant);
    text += zvtest::InstancesAsXml(*set.large, 0, inputs.generatedDocument);
    text += zvtest::InstancesAsXml(*set.plant, 1, inputs.plantDocument);
    text += ValidatedAndWritten(*set.plant, inputs.plantDocument);
    return text + OwnWork();
}

// Eight threads read one loaded schema set, each also loading and using a set
// of its own, while another thread swaps the logging callback.
TEST(Threads, ReadersOfOneLoadedSchemaAndOfTheirOwnAnswerAsOneThreadDoes)
{
    const zvtest::ScratchFolder scratch;
    const std::string largePath = scratch / "Large.01.00.zvschema.xml";
    WriteLargeSchema(largePath);
    const Inputs inputs = MakeInputs();

    SchemaSet alone = LoadSet(largePath);
    ASSERT_TRUE(alone.plant != nullptr && alone.large != nullptr);
    const std::wstring serial = ReadAll(alone, inputs, 0);
    ASSERT_NE(serial.find(L"big:Item99"), std::wstring::npos);
    ASSERT_NE(serial.find(L"<Equipment"), std::wstring::npos);
    ASSERT_NE(serial.find(L"<Pump"), std::wstring::npos);
    ASSERT_NE(serial.find(L"Pipe L-902 : is the source of 0"), std::wstring::npos); // a finding of the example
    ASSERT_EQ(serial.find(L"load failed"), std::wstring::npos);

    for (int round = 0; round < 2; ++round) {
        SchemaSet shared = LoadSet(largePath); // fresh: the threads make its first lookups
        ASSERT_TRUE(shared.plant != nullptr && shared.large != nullptr);
        std::atomic<bool> stop{false};
        std::thread swapper([&] {
            while (!stop) {
                SetLoggingCallback(&CountA);
                SetLoggingCallback(&CountB);
                SetLoggingCallback(nullptr);
            }
        });
        const std::vector<std::wstring> results =
            OnThreads([&](int t) { return ReadAll(shared, inputs, static_cast<std::size_t>(t)); });
        stop = true;
        swapper.join();
        for (int t = 0; t < kThreads; ++t) {
            EXPECT_TRUE(results[t] == serial) << "round " << round << ", thread " << t;
        }
    }
    SetLoggingCallback(nullptr);
    CZVSchema::FreeRecycledValues();
}

} // namespace
