// A schema-set load, an instance parse and a schema write, each run with one
// allocation failing at every point in turn (operator new and libxml2's
// allocator alike), and again with every allocation failing from a point on.
// Each run must end in an exception or in exactly the result of a run
// without failures: never std::terminate, a crash or freed memory in use
// (the sanitizer build runs the same sweep), and never a libxml2 report
// printed to standard error.
//
// By default each scenario runs at about 400 points spread over its
// allocations; ZVXML_FAULTS_EVERY_POINT=1 runs them all.
#include <zvxml/zvxml.h>

#include "faults/failing_allocator.h"
#include "support/instances_as_xml.h"
#include "support/scratch.h"
#include "support/stdout_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ZVXML;
using zvtest::FailureMode;
using zvtest::StdoutCapture;

namespace {

const std::string kExamples = ZVXML_EXAMPLES_DIR;
const std::string kSchemaData = ZVXML_SCHEMA_DATA_DIR;

// Where the sweep is, for a process that dies there.
long g_point = 0;
const char* g_scenario = "";

class FaultEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        zvtest::InstallFailingLibxmlAllocator();
        std::set_terminate([] {
            std::fprintf(stderr, "std::terminate in %s with allocation %ld failing\n", g_scenario, g_point);
            std::abort();
        });
    }
};
const testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new FaultEnvironment);

long PointsPerScenario() { return std::getenv("ZVXML_FAULTS_EVERY_POINT") != nullptr ? 0 : 400; }

// Runs `scenario` with allocation `point` failing; true when it threw.
bool RunFailing(const char* name, const std::function<std::wstring()>& scenario, const std::wstring& expected,
                long point, FailureMode mode)
{
    std::wstring result;
    bool reached = false;
    bool threw = true;
    const long escaped = zvtest::EscapedLibxmlReports();
    {
        StdoutCapture quiet; // the checked-call rule prints there before it throws
        zvtest::Arm(point, mode);
        try {
            result = scenario();
            threw = false;
        } catch (const ZVXMLException&) {
        } catch (const std::bad_alloc&) {
        } catch (...) {
            zvtest::Disarm();
            ADD_FAILURE() << name << ": allocation " << point << " failing ended in a foreign exception";
        }
        reached = zvtest::Disarm();
    }
    EXPECT_EQ(zvtest::EscapedLibxmlReports(), escaped)
        << name << ": allocation " << point << " failing made libxml2 print a report";
    if (!threw) {
        EXPECT_EQ(result, expected) << name << ": allocation " << point << (reached ? " failed" : "")
                                    << " and the run reported success with another result";
    }
    CZVSchema::FreeRecycledValues();
    return threw;
}

// Runs `scenario` once to learn its result and its number of allocations,
// then once per chosen point with that allocation failing as `mode` says.
void Sweep(
    const char* name, const std::function<std::wstring()>& scenario, FailureMode mode,
    const std::function<void()>& afterFailure = [] {})
{
    g_scenario = name;
    zvtest::StartCounting();
    const std::wstring expected = scenario();
    const long total = zvtest::StopCounting();
    CZVSchema::FreeRecycledValues();
    ASSERT_GT(total, 0);
    const long wanted = PointsPerScenario();
    const long stride = wanted == 0 || total <= wanted ? 1 : total / wanted;
    long failures = 0;
    if (const char* only = std::getenv("ZVXML_FAULTS_POINT")) { // to look at one point in a debugger
        g_point = std::atol(only);
        RunFailing(name, scenario, expected, g_point, mode);
        return;
    }
    for (long i = 0; 1 + i * stride <= total; ++i) {
        g_point = 1 + i * stride + (stride > 1 ? (i * 7919) % stride : 0);
        if (RunFailing(name, scenario, expected, g_point, mode)) {
            ++failures;
            afterFailure();
        }
    }
    EXPECT_GT(failures, 0) << name << ": no failing allocation was reported";
}

std::wstring Wide(const std::string& text) { return ToWString(std::string_view(text)); }

// What a loaded schema set holds, as text: every schema's name, classes,
// their properties and custom attributes.
std::wstring Describe(CZVSchema& schema)
{
    std::wstring text;
    auto describeClass = [](CZVClass* zvClass, void* out) -> void* {
        std::wstring& into = *static_cast<std::wstring*>(out);
        into += zvClass->FullName() + L"(" + std::to_wstring(zvClass->GetZVPropertyCount()) + L"," +
                std::to_wstring(zvClass->GetZVCustomAttributeCount()) + L") ";
        return nullptr;
    };
    schema.IterateOverAllClasses(describeClass, &text, 1);
    schema.IterateOverAllRelationshipClasses(
        [](CZVRelationshipClass* relationshipClass, void* out) -> void* {
            std::wstring& into = *static_cast<std::wstring*>(out);
            into += relationshipClass->FullName() + L"[" + relationshipClass->m_source.m_className + L"] ";
            return nullptr;
        },
        &text, 1);
    return text + std::to_wstring(schema.GetZVCustomAttributeCount());
}

std::wstring LoadAndDescribe(const std::string& folder, const std::string& file)
{
    CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(Wide(folder).c_str());
    const int result = schema.ReadXML(Wide(folder + "/" + file).c_str());
    zvtest::Suspended checking; // a failure here would hide a wrong result
    return std::to_wstring(result) + L" " + Describe(schema);
}

std::unique_ptr<CZVSchema> LoadExamples()
{
    std::unique_ptr<CZVSchema> schema(new CZVSchema(L"temporary", L"temporary", nullptr));
    schema->SetReferenceSearchPath(Wide(kExamples + "/schemas").c_str());
    schema->ReadXML(Wide(kExamples + "/schemas/Plant.01.02.zvschema.xml").c_str());
    return schema;
}

} // namespace

// The examples hold custom attributes and references; Catalog holds legacy
// relationships.
TEST(AllocationFailure, LoadingASchemaSet)
{
    for (const auto& [folder, file] :
         {std::pair<std::string, std::string>{kExamples + "/schemas", "Plant.01.02.zvschema.xml"},
          {kSchemaData + "/complete", "Catalog.02.01.zvschema.xml"}}) {
        for (FailureMode mode : {FailureMode::Once, FailureMode::FromThenOn}) {
            Sweep(
                file.c_str(), [&] { return LoadAndDescribe(folder, file); }, mode);
        }
    }
}

TEST(AllocationFailure, ParsingAnInstanceDocument)
{
    std::unique_ptr<CZVSchema> schema = LoadExamples();
    CZVSchemaInstanceFactory factory(schema.get());
    const std::wstring document = Wide(kExamples + "/instances/plant-north.zvinstance.xml");
    for (FailureMode mode : {FailureMode::Once, FailureMode::FromThenOn}) {
        Sweep(
            "instance parse", [&] { return zvtest::InstancesAsXml(*schema, factory, 1, document); }, mode);
    }
}

TEST(AllocationFailure, WritingASchemaKeepsTheOldFileOnFailure)
{
    std::unique_ptr<CZVSchema> schema = LoadExamples();
    zvtest::ScratchFolder folder;
    const std::wstring target = folder.WidePath("Plant.01.02.zvschema.xml");
    const std::string old = "<old/>\n";
    for (FailureMode mode : {FailureMode::Once, FailureMode::FromThenOn}) {
        folder.WriteFile("Plant.01.02.zvschema.xml", old);
        Sweep(
            "schema write",
            [&] {
                const int result = schema->WriteXML(target.c_str());
                zvtest::Suspended checking;
                std::wstring written = Wide(zvtest::ReadAll(folder / "Plant.01.02.zvschema.xml"));
                folder.WriteFile("Plant.01.02.zvschema.xml", old);
                return std::to_wstring(result) + L" " + written;
            },
            mode,
            [&] {
                EXPECT_EQ(zvtest::ReadAll(folder / "Plant.01.02.zvschema.xml"), old)
                    << "allocation " << g_point << ": a failed write changed the file";
                EXPECT_EQ(folder.Names().size(), 1u) << "allocation " << g_point << ": a temporary file was left";
            });
    }
}

TEST(AllocationFailure, DestroyingASchemaAllocatesNothing)
{
    std::unique_ptr<CZVSchema> schema(new CZVSchema(L"Plant", L"pl", nullptr));
    for (const wchar_t* name : {L"Equipment", L"Pump", L"Valve"}) {
        CZVClass* created = schema->CreateZVClass(name, L"", ZVCLASSTYPE_DOMAIN);
        created->AddZVProperty(L"Tag", L"string", L"");
    }
    schema->CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
    ASSERT_NE(schema->FindZVClass(L"Pump", ZVCLASSTYPE_ANY), nullptr); // lookups use the indexes
    ASSERT_NE(schema->FindZVClass(L"Pump", ZVCLASSTYPE_ANY)->FindProperty(L"Tag"), nullptr);
    zvtest::StartCounting();
    schema.reset();
    EXPECT_EQ(zvtest::StopCounting(), 0);
}

// A copy shares the instance's values, so they outlive the parse.
template <class Instance>
int Keep(CZVSchema*, void* kept, Instance* instance)
{
    static_cast<std::vector<std::unique_ptr<CZVInstance>>*>(kept)->emplace_back(new Instance(*instance));
    return 0;
}

TEST(AllocationFailure, DestroyingInstancesSurvivesEveryAllocationFailing)
{
    std::unique_ptr<CZVSchema> schema = LoadExamples();
    CZVSchemaInstanceFactory factory(schema.get());
    const std::wstring document = Wide(kExamples + "/instances/plant-north.zvinstance.xml");
    std::vector<std::unique_ptr<CZVInstance>> kept;
    ParseZVInstanceXML(1, document.c_str(), schema.get(), &kept, nullptr, &Keep<CZVInstance>,
                       &Keep<ZVRelationshipInstance>, nullptr, nullptr, nullptr, &factory, 0);
    ASSERT_FALSE(kept.empty());
    g_scenario = "destroying instances";
    g_point = 1;
    // Values go back to the pool; with no room left there they are deleted.
    zvtest::Arm(1, FailureMode::FromThenOn);
    kept.clear();
    schema.reset();
    zvtest::Disarm();
    CZVSchema::FreeRecycledValues();
}

void CountLine(LOG_SEV, const wchar_t*, const wchar_t*) {}

// An exception's texts live in one block, made before its log line is
// built; a log line that runs out of memory must not leave the block behind
// (the sanitizer run reports any leak at exit).
TEST(AllocationFailure, AnExceptionThatRunsOutOfMemoryLeaksNothing)
{
    const LoggingCallback previous = SetLoggingCallback(&CountLine);
    const auto make = [] { ZVXMLFormatError error(L"a message of some length", L"a location of some length"); };
    zvtest::StartCounting();
    make();
    const long allocations = zvtest::StopCounting();
    ASSERT_GT(allocations, 2);
    g_scenario = "making an exception";
    for (long point = 1; point <= allocations; ++point) {
        g_point = point;
        zvtest::Arm(point, FailureMode::Once);
        try {
            make();
        } catch (const std::bad_alloc&) {
        }
        zvtest::Disarm();
    }
    SetLoggingCallback(previous);
}

TEST(AllocationFailure, AddingAReferenceIsAllOrNothing)
{
    for (long point = 1;; ++point) {
        CZVSchema host(L"Plant", L"pl", nullptr);
        std::unique_ptr<CZVSchema> referenced(new CZVSchema(L"Units", L"u", nullptr));
        CZVSchemaReference reference(referenced.get());
        reference.m_pZVSchema = referenced.get();
        zvtest::Arm(point, FailureMode::Once);
        try {
            host.AddReference(reference);
        } catch (const std::bad_alloc&) {
            zvtest::Disarm();
            EXPECT_EQ(host.GetReferenceCount(), 0u) << "allocation " << point << " failed half way";
            continue;
        }
        const bool reached = zvtest::Disarm();
        referenced.release(); // the host owns it now
        EXPECT_EQ(host.GetReferencedSchema(0), reference.m_pZVSchema);
        if (!reached) {
            break; // every allocation of the call has failed once
        }
    }
}

// A copy or an assignment that runs out of memory leaves the source as it
// was and the target usable, and both are destroyed cleanly (ASan checks
// that no class is left pointing at a schema that never finished).
TEST(AllocationFailure, CopyingAndAssigningASchemaIsAllOrNothing)
{
    const std::unique_ptr<CZVSchema> source = LoadExamples();
    const std::wstring before = Describe(*source);
    for (bool assign : {false, true}) {
        for (long point = 1;; ++point) {
            CZVSchema target(L"Other", L"ot", nullptr);
            target.CreateZVClass(L"Own", L"", ZVXML::ZVCLASSTYPE_DOMAIN);
            const std::wstring targetBefore = Describe(target);
            zvtest::Arm(point, FailureMode::Once);
            bool threw = false;
            try {
                if (assign) {
                    target = *source;
                } else {
                    CZVSchema copy(*source);
                }
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            const bool reached = zvtest::Disarm();
            EXPECT_EQ(Describe(*source), before) << "allocation " << point << " failing changed the source";
            if (threw && assign) {
                // Assignment promises a usable schema, not the old one; each
                // class's name reads its schema, which must be alive.
                EXPECT_FALSE(Describe(target).empty());
            }
            if (!reached) {
                EXPECT_EQ(Describe(target), assign ? before : targetBefore);
                break; // every allocation of the call has failed once
            }
        }
    }
}
