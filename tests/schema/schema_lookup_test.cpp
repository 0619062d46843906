#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace ZVXML;

namespace {

// Plant (prefix p, 1.0) references Units (prefix u, 1.5), which references
// Base (prefix b, 2.0).
class LookupTest : public ::testing::Test {
protected:
    LookupTest()
    {
        base->SetVersionString(L"2.0");
        units->SetVersionString(L"1.5");
        units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
        units->CreateZVRelationshipClass(L"Converts", L"", ZVCLASSTYPE_DOMAIN);
        CZVSchemaReference toBase(base);
        units->AddReference(toBase);
        CZVSchemaReference toUnits(units);
        plant.AddReference(toUnits);
        plant.SetVersionString(L"1.0");
        plant.AddZVClass(bare);
    }

    CZVSchema plant{L"p", L"Plant", L""};
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    CZVSchema* base = new CZVSchema(L"b", L"Base", L"");
    CZVClass* quantity = base->CreateZVClass(L"Quantity", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    CZVClass* pipe = plant.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* point = plant.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    CZVClass* bare = new CZVClass(L"Bare", &plant, nullptr);
};

void* CountClasses(CZVClass*, void* context)
{
    ++*static_cast<int*>(context);
    return nullptr;
}

void* StopAtMeter(CZVClass* zvClass, void*)
{
    return std::wstring(zvClass->GetTypeName()) == L"Meter" ? zvClass : nullptr;
}

} // namespace

// Referenced schemas are searched depth first: Quantity is Base's, reached
// through Units.
TEST_F(LookupTest, PlainLookupSearchesReferencesAndAppliesTheMaskToTheFirstMatchOnly)
{
    const struct {
        const wchar_t* name;
        unsigned long mask;
        CZVClass* found;
    } cases[] = {{L"Point", ZVCLASSTYPE_STRUCT, point},  {L"Point", ZVCLASSTYPE_CUSTOM_ATTRIBUTE, nullptr},
                 {L"Pipe", ZVCLASSTYPE_STRUCT, nullptr}, {L"Bare", 7, nullptr},
                 {L"Bare", ZVCLASSTYPE_ANY, bare},       {L"Quantity", ZVCLASSTYPE_ANY, quantity},
                 {L"p:Pipe", ZVCLASSTYPE_ANY, nullptr}}; // plain names only
    for (const auto& c : cases) {
        EXPECT_EQ(plant.FindZVClass(c.name, c.mask), c.found) << c.name << " " << c.mask;
    }
    EXPECT_EQ(plant.FindZVRelationshipClass(L"Pipe", ZVCLASSTYPE_ANY), nullptr); // classes are not relationships
    EXPECT_NE(plant.FindZVRelationshipClass(L"Converts", ZVCLASSTYPE_ANY), nullptr);
    EXPECT_ZV_THROW(plant.FindZVClass(nullptr, 1), ZVXMLRuntimeError, L"NULL context passed ot findZVClassCallback");
}

// A prefix or schema name picks the schema, which must be a direct
// reference; a plain full name searches as a plain lookup does.
TEST_F(LookupTest, QualifiedLookupsSearchTheSchemaTheyName)
{
    EXPECT_EQ(plant.FindZVClassUsingPrefix(L"Meter", L"u", ZVCLASSTYPE_ANY)->GetZVSchema(), units);
    EXPECT_EQ(plant.FindZVClassUsingSchemaName(L"Meter", L"Units", ZVCLASSTYPE_ANY)->GetZVSchema(), units);
    EXPECT_EQ(plant.FindZVClassUsingFullName(L"u:Meter", ZVCLASSTYPE_ANY)->GetZVSchema(), units);
    EXPECT_EQ(plant.FindZVClassUsingFullName(L"Quantity", ZVCLASSTYPE_ANY), quantity);
    EXPECT_NE(plant.FindZVRelationshipClassUsingFullName(L"u:Converts", ZVCLASSTYPE_ANY), nullptr);
    EXPECT_ZV_THROW(plant.FindZVClassUsingPrefix(L"Pipe", L"zz", ZVCLASSTYPE_ANY), ZVXMLDomainError,
                    L"ZVSchema with prefix 'zz' not found among 'Plant's referenced schemas");
    EXPECT_ZV_THROW(plant.FindZVClassUsingSchemaName(L"Pipe", L"Nope", ZVCLASSTYPE_ANY), ZVXMLDomainError,
                    L"ZVSchema 'Nope' not found among 'Plant's referenced schemas");
}

TEST_F(LookupTest, IterationVisitsOwnClassesOrThoseOfEveryReferencedSchemaTooUntilAnAnswer)
{
    int visited = 0;
    plant.IterateOverAllClasses(&CountClasses, &visited, 0);
    EXPECT_EQ(visited, 3);
    visited = 0;
    plant.IterateOverAllClasses(&CountClasses, &visited, 1);
    EXPECT_EQ(visited, 5);
    EXPECT_STREQ(static_cast<CZVClass*>(plant.IterateOverAllClasses(&StopAtMeter, nullptr, 1))->GetTypeName(),
                 L"Meter"); // the first answer stops the walk
}

TEST_F(LookupTest, TheClassIteratorListsOwnClassesInOrderFromBegin)
{
    CZVClassIterator classes(&plant);
    EXPECT_EQ(classes.Next(), nullptr); // before Begin
    std::vector<std::wstring> names;
    for (CZVClass* c = classes.Begin(); c != nullptr; c = classes.Next()) {
        names.emplace_back(c->GetTypeName());
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Pipe", L"Point", L"Bare"}));
    EXPECT_EQ(classes.Next(), nullptr);
}

// Same major version and a minor no newer than the schema's; Base is only an
// indirect reference.
TEST_F(LookupTest, ReferencedSchemasMatchTheMajorVersionAndAMinorNoNewer)
{
    const struct {
        const wchar_t *name, *version;
        CZVSchema* found;
    } cases[] = {{L"Plant", L"09.09", &plant},  {L"Units", nullptr, units},    {L"Units", L"01.02", units},
                 {L"Units", L"01.07", nullptr}, {L"Units", L"02.01", nullptr}, {L"Base", nullptr, nullptr}};
    for (const auto& c : cases) {
        EXPECT_EQ(plant.FindReferencedSchema(c.name, c.version), c.found)
            << c.name << " " << (c.version ? c.version : L"-");
    }
    EXPECT_ZV_THROW(plant.FindReferencedSchema(L"Units", L"0102"), ZVXMLLogicError,
                    L"Invalid version string passed to FindReferencedSchema:0102");
    EXPECT_EQ(plant.FindReferencedSchemaByPrefix(L"u"), units);
    EXPECT_EQ(plant.FindReferencedSchemaByPrefix(L"b"), nullptr); // direct references only
}

// Versions are written "%02lu.%02lu", so minor 100 is "01.100": newer than
// "01.99", though its text sorts before it.
TEST(VersionComparison, MajorAndMinorCompareAsNumbers)
{
    CZVSchema plant(L"p", L"Plant", L"");
    CZVSchema* older = new CZVSchema(L"o", L"Older", L"");
    older->SetVersionString(L"01.99");
    CZVSchema* newer = new CZVSchema(L"n", L"Newer", L"");
    newer->SetVersionString(L"1.100");
    CZVSchemaReference toOlder(older);
    plant.AddReference(toOlder);
    CZVSchemaReference toNewer(newer);
    plant.AddReference(toNewer);
    const struct {
        const wchar_t *name, *version;
        CZVSchema* found;
    } cases[] = {{L"Older", L"01.100", nullptr}, {L"Older", L"1.99", older},    {L"Older", L"01.9", older},
                 {L"Newer", L"01.99", newer},    {L"Newer", L"001.100", newer}, {L"Newer", L"01.101", nullptr},
                 {L"Newer", L"10.1", nullptr},   {L"Older", L"01.x", nullptr}};
    for (const auto& c : cases) {
        EXPECT_EQ(plant.FindReferencedSchema(c.name, c.version), c.found) << c.name << " " << c.version;
    }
}

TEST(ClassNames, APrefixEndsAtTheFirstColonAndCannotBeEmpty)
{
    std::wstring prefix = L"old";
    std::wstring name;
    for (const auto& [full, expectedPrefix, expectedName] :
         {std::make_tuple(L"p:Pipe", L"p", L"Pipe"), std::make_tuple(L"a:b:c", L"a", L"b:c"),
          std::make_tuple(L"Pipe", L"", L"Pipe")}) {
        CZVSchema::ParseZVClassName(full, prefix, name);
        EXPECT_EQ(prefix, expectedPrefix) << full;
        EXPECT_EQ(name, expectedName) << full;
    }
    EXPECT_ZV_THROW(CZVSchema::ParseZVClassName(L":Pipe", prefix, name), ZVXMLFormatError,
                    L"ZVClass name ':Pipe'cannot begin with ':'.");
}

TEST_F(LookupTest, ClassNamesRelativeToASchemaArePrefixedOutsideIt)
{
    EXPECT_EQ(plant.GetRelativeClassName(pipe), L"Pipe");
    EXPECT_EQ(plant.GetRelativeClassName(L"u:Meter"), L"u:Meter");
    EXPECT_EQ(plant.GetRelativeClassName(L"Quantity"), L"b:Quantity");
    EXPECT_ZV_THROW(plant.GetRelativeClassName(L"Nothing"), ZVXMLFormatError,
                    L"Cannot find ZVClass 'Nothing' in ZVSchema 'Plant' or its referenced Schemas.");
}

// Schemas wired into a loop by hand, and a diamond: every search ends and
// finds what a depth-first search finds; destroying the loop releases every
// schema once.
TEST(ReferenceGraphs, LoopsAndDiamondsAreSearchedOnce)
{
    auto* top = new CZVSchema(L"t", L"Top", L"");
    auto* left = new CZVSchema(L"l", L"Left", L"");
    auto* right = new CZVSchema(L"r", L"Right", L"");
    auto* shared = new CZVSchema(L"s", L"Shared", L"");
    shared->CreateZVClass(L"Deep", L"", 1);
    CZVSchemaReference toShared(shared);
    left->AddReference(toShared);
    right->AddReference(toShared);
    CZVSchemaReference toLeft(left);
    CZVSchemaReference toRight(right);
    top->AddReference(toLeft);
    top->AddReference(toRight);
    CZVSchemaReference backToTop(top);
    shared->AddReference(backToTop);
    CZVSchemaReference self(top);
    top->AddReference(self);

    EXPECT_EQ(top->FindZVClass(L"Deep", 1)->GetZVSchema(), shared);
    EXPECT_EQ(top->FindZVClass(L"Absent", 1), nullptr);
    int visited = 0;
    top->IterateOverAllClasses(&CountClasses, &visited, 1);
    EXPECT_EQ(visited, 1);
    delete top;
}
