// Schema files whose references loop or run deep.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

using namespace zvtest;

namespace {

// A schema file for `name` with a class of its own, referencing each of
// `references`.
std::string SchemaNamed(const std::string& name, const std::vector<std::string>& references = {})
{
    std::string children;
    for (const std::string& reference : references) {
        children += "<ZVSchemaReference name='" + reference + "' version='01.00' prefix='p" + reference + "'/>";
    }
    return SchemaFile("schemaName='" + name + "' nameSpacePrefix='p" + name + "' version='01.00'",
                      children + "<ZVClass typeName='C" + name + "'/>");
}

std::string FileOf(const std::string& name) { return name + ".01.00.zvschema.xml"; }

// Loads `path` finding its references in `folder`; null when the load fails.
std::unique_ptr<ZVXML::CZVSchema> Load(const ScratchFolder& folder, const std::string& path)
{
    auto schema = std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", nullptr);
    schema->SetReferenceSearchPath(Widen(folder.path()).c_str());
    return schema->ReadXML(Widen(path).c_str()) == 0 ? std::move(schema) : nullptr;
}

// Every schema object reachable through references, each once.
long Reachable(ZVXML::CZVSchema& top)
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
    return static_cast<long>(seen.size());
}

} // namespace

// A cycle is refused where it closes, naming the whole chain of files.
TEST(HostileReferences, ACycleOfFilesIsRefusedNamingTheChain)
{
    ScratchFolder folder;
    folder.WriteFile(FileOf("A"), SchemaNamed("A", {"B"}));
    folder.WriteFile(FileOf("B"), SchemaNamed("B", {"C"}));
    folder.WriteFile(FileOf("C"), SchemaNamed("C", {"A"}));
    const std::string start = folder.WriteFile("Start.xml", SchemaNamed("Start", {"A"}));
    ExpectThrow(RunBounded([&] { return LoadSchemaFile(start, folder.path()); }, Seconds(10)), "ZVXMLRuntimeError",
                "Circular ZVSchemaReference: Start.xml -> A.01.00.zvschema.xml -> B.01.00.zvschema.xml -> "
                "C.01.00.zvschema.xml -> A.01.00.zvschema.xml");
    ZVXML::CZVSchema schema(L"t", L"Top", nullptr);
    schema.SetReferenceSearchPath(Widen(folder.path()).c_str());
    try {
        schema.ReadXML(Widen(start).c_str());
        ADD_FAILURE() << "no exception";
    } catch (const ZVXML::ZVXMLRuntimeError& error) {
        EXPECT_STREQ(error.Location(), L"CZVSchemaReference::ReadXML");
    }
    EXPECT_EQ(schema.GetReferenceCount(), 0u);
}

// A file may name its own schema (no reference is added); a file that
// references itself under another schema name is a cycle.
TEST(HostileReferences, AFileReferencingItselfIsNamedOrRefusedButNeverLoops)
{
    ScratchFolder folder;
    const std::string self = folder.WriteFile(FileOf("Self"), SchemaNamed("Self", {"Self"}));
    Outcome loaded = RunBounded(
        [&] {
            const auto schema = Load(folder, self);
            return schema ? static_cast<long>(schema->GetReferenceCount()) : -1L;
        },
        Seconds(10));
    ExpectReturned(loaded, 0);

    const std::string twin = folder.WriteFile(FileOf("Twin"), SchemaNamed("Other", {"Twin"}));
    ExpectThrow(RunBounded([&] { return LoadSchemaFile(twin, folder.path()); }, Seconds(10)), "ZVXMLRuntimeError",
                "Circular ZVSchemaReference: ");
}

// Two files per level, each referencing both files of the next level: read
// one copy per reference, twenty levels would make a million schemas. A copy
// of one level's schema keeps the shared schemas below alive once every
// other owner is gone.
TEST(HostileReferences, ALatticeOfFilesLoadsEachFileOnceAndSharesItWithCopies)
{
    ScratchFolder folder;
    constexpr int kLevels = 20;
    const auto name = [](int level, char side) { return "L" + std::to_string(level) + side; };
    for (int level = 1; level <= kLevels; ++level) {
        for (char side : {'a', 'b'}) {
            folder.WriteFile(FileOf(name(level, side)),
                             level < kLevels
                                 ? SchemaNamed(name(level, side), {name(level + 1, 'a'), name(level + 1, 'b')})
                                 : SchemaNamed(name(level, side), {"Bottom"}));
        }
    }
    folder.WriteFile(FileOf("Bottom"), SchemaNamed("Bottom"));
    const std::string top = folder.WriteFile("Top.xml", SchemaNamed("Top", {"L1a", "L1b"}));
    Outcome outcome = RunBounded(
        [&] {
            auto loaded = Load(folder, top);
            if (!loaded) {
                return -1L;
            }
            ZVXML::CZVSchema* left = loaded->GetReferencedSchema(0);
            ZVXML::CZVSchema* right = loaded->GetReferencedSchema(1);
            const bool shared = left->GetReferencedSchema(0) == right->GetReferencedSchema(0) &&
                                left->GetReferencedSchema(1) == right->GetReferencedSchema(1);
            const long reachable = Reachable(*loaded);
            ZVXML::CZVSchema copy(*right);
            loaded.reset(); // the top and L1b go, what L1b references stays
            const bool alive = copy.FindZVClass(L"CBottom", ZVXML::ZVCLASSTYPE_ANY) != nullptr;
            return shared && alive ? reachable : -2L;
        },
        Seconds(20));
    ExpectReturned(outcome, 2 * kLevels + 2); // each file once, and the top
    ExpectMemoryBelow(outcome, 128);
}

// Loading, looking up across and destroying a long chain needs no stack per
// file: a thread with a quarter of a megabyte manages three thousand files,
// in bounded memory.
TEST(HostileReferences, AThreeThousandFileChainLoadsOnAQuarterMegabyteStack)
{
    ScratchFolder folder;
    constexpr int kDepth = 3000;
    const auto name = [](int i) { return "S" + std::to_string(i); };
    for (int i = 0; i < kDepth; ++i) {
        folder.WriteFile(FileOf(name(i)), i + 1 < kDepth ? SchemaNamed(name(i), {name(i + 1)}) : SchemaNamed(name(i)));
    }
    Outcome outcome = RunBounded(
        [&] {
            return RunOnSmallStack(256 << 10, [&] {
                const auto schema = Load(folder, folder / FileOf("S0"));
                const std::wstring deepest = L"CS" + std::to_wstring(kDepth - 1);
                const bool found = schema && schema->FindZVClass(deepest.c_str(), ZVXML::ZVCLASSTYPE_ANY) != nullptr &&
                                   schema->FindZVClass(L"Nowhere", ZVXML::ZVCLASSTYPE_ANY) == nullptr &&
                                   schema->FindZVRelationshipClass(L"Nowhere", ZVXML::ZVCLASSTYPE_ANY) == nullptr;
                return found ? Reachable(*schema) : -1L;
            });
        },
        Seconds(60));
    ExpectReturned(outcome, kDepth);
    ExpectMemoryBelow(outcome, 256);
}
