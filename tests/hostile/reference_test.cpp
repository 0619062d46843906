// Schema files whose references loop or run deep.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

// A schema file for `name`, referencing `reference` unless that is empty.
std::string Referencing(const std::string& name, const std::string& reference)
{
    const std::string child =
        reference.empty() ? ""
                          : "<ZVSchemaReference name='" + reference + "' version='01.00' prefix='p" + reference + "'/>";
    return SchemaFile("schemaName='" + name + "' nameSpacePrefix='p" + name + "' version='01.00'",
                      child + "<ZVClass typeName='C" + name + "'/>");
}

std::string FileOf(const std::string& name) { return name + ".01.00.zvschema.xml"; }

} // namespace

TEST(HostileReferences, ASchemaMayNameItself)
{
    ScratchFolder folder;
    const std::string self = folder.WriteFile(FileOf("Self"), Referencing("Self", "Self"));
    Outcome loaded = RunBounded(
        [&] {
            ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
            schema.SetReferenceSearchPath(Widen(folder.path()).c_str());
            const long result = schema.ReadXML(Widen(self).c_str());
            return result * 100 + static_cast<long>(schema.GetReferenceCount());
        },
        Seconds(10));
    ExpectReturned(loaded, 0); // result 0, no reference added
}

TEST(HostileReferences, CyclesEndWithTheCircularReferenceError)
{
    ScratchFolder folder;
    folder.WriteFile(FileOf("A"), Referencing("A", "B"));
    folder.WriteFile(FileOf("B"), Referencing("B", "C"));
    folder.WriteFile(FileOf("C"), Referencing("C", "A"));
    const std::string start = folder.WriteFile("Start.xml", Referencing("Start", "A"));
    Outcome outcome = RunBounded([&] { return LoadSchemaFile(start, folder.path()); }, Seconds(10));
    ExpectThrow(outcome, "ZVXMLRuntimeError",
                "Circular ZVSchemaReference: Start.xml -> A.01.00.zvschema.xml -> B.01.00.zvschema.xml -> "
                "C.01.00.zvschema.xml -> A.01.00.zvschema.xml");
}

TEST(HostileReferences, AFileReferencingItselfUnderAnotherSchemaNameIsACycle)
{
    ScratchFolder folder;
    folder.WriteFile(FileOf("Twin"), Referencing("Other", "Twin"));
    const std::string twin = folder.path() + "/" + FileOf("Twin");
    ExpectThrow(RunBounded([&] { return LoadSchemaFile(twin, folder.path()); }, Seconds(10)), "ZVXMLRuntimeError",
                "Circular ZVSchemaReference: ");
}

TEST(HostileReferences, AChainAThousandFilesDeepLoads)
{
    ScratchFolder folder;
    constexpr int kDepth = 1000;
    for (int i = 0; i < kDepth; ++i) {
        const std::string name = "S" + std::to_string(i);
        folder.WriteFile(FileOf(name), Referencing(name, i + 1 < kDepth ? "S" + std::to_string(i + 1) : ""));
    }
    Outcome outcome = RunBounded(
        [&] {
            ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
            schema.SetReferenceSearchPath(Widen(folder.path()).c_str());
            if (schema.ReadXML(Widen(folder.path() + "/" + FileOf("S0")).c_str()) != 0) {
                return -1L;
            }
            return schema.FindZVClass(L"CS999", ZVXML::ZVCLASSTYPE_ANY) != nullptr ? 1L : 0L;
        },
        Seconds(60));
    ExpectReturned(outcome, 1);
    ExpectMemoryBelow(outcome, 256);
}
