// Schema files whose references loop or run deep.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

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

// S0 references S1, ... up to S`depth - 1`; the path of S0.
std::string WriteChain(const ScratchFolder& folder, int depth)
{
    for (int i = 0; i < depth; ++i) {
        const std::string name = "S" + std::to_string(i);
        folder.WriteFile(FileOf(name), Referencing(name, i + 1 < depth ? "S" + std::to_string(i + 1) : ""));
    }
    return folder.path() + "/" + FileOf("S0");
}

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

namespace {

// Loads `start` with `folder` searched; returns what `inspect` makes of the
// loaded schema.
long LoadAndInspect(const std::string& start, const std::string& folder,
                    const std::function<long(ZVXML::CZVSchema&)>& inspect)
{
    ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(Widen(folder).c_str());
    if (schema.ReadXML(Widen(start).c_str()) != 0) {
        return -1;
    }
    return inspect(schema);
}

// Every schema object reachable through references, each once.
std::set<ZVXML::CZVSchema*> Reachable(ZVXML::CZVSchema& top)
{
    std::set<ZVXML::CZVSchema*> seen{&top};
    std::vector<ZVXML::CZVSchema*> pending{&top};
    while (!pending.empty()) {
        ZVXML::CZVSchema* schema = pending.back();
        pending.pop_back();
        for (unsigned long i = 0; i < schema->GetReferenceCount(); ++i) {
            ZVXML::CZVSchema* referenced = schema->GetReferencedSchema(i);
            if (referenced != nullptr && seen.insert(referenced).second) {
                pending.push_back(referenced);
            }
        }
    }
    return seen;
}

} // namespace

// Two files per level, each referencing both files of the next level: read
// one copy per reference, twenty levels would make a million schemas.
TEST(HostileReferences, ALatticeOfFilesLoadsEachFileOnce)
{
    ScratchFolder folder;
    constexpr int kLevels = 20;
    auto name = [](int level, char side) { return "L" + std::to_string(level) + side; };
    for (int level = 1; level <= kLevels; ++level) {
        for (char side : {'a', 'b'}) {
            std::string children;
            for (char next : {'a', 'b'}) {
                const std::string referenced = level < kLevels ? name(level + 1, next) : "Bottom";
                children +=
                    "<ZVSchemaReference name='" + referenced + "' version='01.00' prefix='p" + referenced + "'/>";
            }
            folder.WriteFile(FileOf(name(level, side)),
                             SchemaFile("schemaName='" + name(level, side) + "' nameSpacePrefix='p" +
                                            name(level, side) + "' version='01.00'",
                                        children + "<ZVClass typeName='C" + name(level, side) + "'/>"));
        }
    }
    folder.WriteFile(FileOf("Bottom"), Referencing("Bottom", ""));
    const std::string top =
        folder.WriteFile("Top.xml", SchemaFile("schemaName='Top' nameSpacePrefix='pTop' version='01.00'",
                                               "<ZVSchemaReference name='L1a' version='01.00' prefix='a'/>"
                                               "<ZVSchemaReference name='L1b' version='01.00' prefix='b'/>"));
    Outcome outcome = RunBounded(
        [&] {
            return LoadAndInspect(top, folder.path(), [](ZVXML::CZVSchema& schema) {
                ZVXML::CZVSchema* left = schema.GetReferencedSchema(0);
                ZVXML::CZVSchema* right = schema.GetReferencedSchema(1);
                // Both files of level 1 share the schemas of level 2.
                const bool shared = left->GetReferencedSchema(0) == right->GetReferencedSchema(0) &&
                                    left->GetReferencedSchema(1) == right->GetReferencedSchema(1);
                return shared ? static_cast<long>(Reachable(schema).size()) : -2L;
            });
        },
        Seconds(20));
    ExpectReturned(outcome, 2 * kLevels + 2); // each file once, and the top
    ExpectMemoryBelow(outcome, 128);
}

// A schema set loaded once and copied keeps every shared schema alive until
// the last owner goes, whichever that is.
TEST(HostileReferences, SharedSchemasOutliveEachOfTheirOwners)
{
    ScratchFolder folder;
    folder.WriteFile(FileOf("Shared"), Referencing("Shared", ""));
    folder.WriteFile(FileOf("Left"), Referencing("Left", "Shared"));
    folder.WriteFile(FileOf("Right"), Referencing("Right", "Shared"));
    const std::string top =
        folder.WriteFile("Top.xml", SchemaFile("schemaName='Top' nameSpacePrefix='pTop' version='01.00'",
                                               "<ZVSchemaReference name='Left' version='01.00' prefix='l'/>"
                                               "<ZVSchemaReference name='Right' version='01.00' prefix='r'/>"));
    Outcome outcome = RunBounded(
        [&] {
            auto* loaded = new ZVXML::CZVSchema(L"temporary", L"temporary", nullptr);
            loaded->SetReferenceSearchPath(Widen(folder.path()).c_str());
            loaded->ReadXML(Widen(top).c_str());
            ZVXML::CZVSchema right(*loaded->GetReferencedSchema(1)); // a copy shares Shared
            delete loaded; // Left and Top go, Shared stays
            ZVXML::CZVSchema* shared = right.GetReferencedSchema(0);
            return shared->FindZVClass(L"CShared", ZVXML::ZVCLASSTYPE_ANY) != nullptr ? 1L : 0L;
        },
        Seconds(10));
    ExpectReturned(outcome, 1);
}

// Loading, looking up across and destroying a long chain needs no stack per
// file: a thread with a quarter of a megabyte manages three thousand files,
// in bounded memory.
TEST(HostileReferences, AThreeThousandFileChainLoadsOnAQuarterMegabyteStack)
{
    ScratchFolder folder;
    constexpr int kDepth = 3000;
    const std::string start = WriteChain(folder, kDepth);
    const std::wstring deepest = L"CS" + std::to_wstring(kDepth - 1);
    Outcome outcome = RunBounded(
        [&] {
            return RunOnSmallStack(256 << 10, [&] {
                return LoadAndInspect(start, folder.path(), [&](ZVXML::CZVSchema& schema) {
                    const bool deepestFound = schema.FindZVClass(deepest.c_str(), ZVXML::ZVCLASSTYPE_ANY) != nullptr;
                    const bool missingWalked =
                        schema.FindZVClass(L"Nowhere", ZVXML::ZVCLASSTYPE_ANY) == nullptr &&
                        schema.FindZVRelationshipClass(L"Nowhere", ZVXML::ZVCLASSTYPE_ANY) == nullptr;
                    return deepestFound && missingWalked ? static_cast<long>(Reachable(schema).size()) : -1L;
                });
            });
        },
        Seconds(60));
    ExpectReturned(outcome, kDepth);
    ExpectMemoryBelow(outcome, 256);
}
