// The factory that makes instances of a schema's classes by name (its use by
// the instance reader is covered where example documents are read).
#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

using namespace ZVXML;

TEST(SchemaInstanceFactory, ClassesRelationshipClassesReferencedAndUnknownNames)
{
    CZVSchema plant(L"p", L"Plant", L"");
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaReference reference(units);
    plant.AddReference(reference);
    plant.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    plant.CreateZVClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    plant.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN); // same name as a class
    plant.CreateZVRelationshipClass(L"Feeds", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaInstanceFactory factory(&plant);
    // "class/isRelationship/is a relationship instance" or "none/isRelationship".
    const auto create = [&](const wchar_t* name) {
        int isRelationship = 0;
        std::unique_ptr<CZVInstance> made(factory.CreateInstance(ZVXML_NAMESPACE_URI, name, &isRelationship));
        const std::wstring flag = L"/" + std::to_wstring(isRelationship);
        return made == nullptr ? L"none" + flag
                               : std::to_wstring(reinterpret_cast<std::uintptr_t>(made->GetZVClass())) + flag + L"/" +
                                     std::to_wstring(dynamic_cast<ZVRelationshipInstance*>(made.get()) != nullptr);
    };
    const auto id = [](CZVClass* zvClass) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(zvClass)); };
    // Answers stay the lookups' answers when asked again (cached or not).
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(create(L"Pump"), id(plant.FindZVClass(L"Pump", ZVCLASSTYPE_ANY)) + L"/0/0");
        EXPECT_EQ(create(L"Feeds"), id(plant.FindZVRelationshipClass(L"Feeds", ZVCLASSTYPE_ANY)) + L"/1/1");
        // Relationship classes are looked up first.
        EXPECT_EQ(create(L"Link"), id(plant.FindZVRelationshipClass(L"Link", ZVCLASSTYPE_ANY)) + L"/1/1");
        EXPECT_EQ(create(L"Meter"), id(units->FindZVClass(L"Meter", ZVCLASSTYPE_ANY)) + L"/0/0");
        EXPECT_EQ(create(L"Widget"), L"none/0");
    }
    int isRelationship = 0;
    EXPECT_EQ(factory.CreateInstance(nullptr, nullptr, &isRelationship), nullptr);
    // A class the schema gets later is found: unknown names are not cached.
    CZVClass* widget = plant.CreateZVClass(L"Widget", L"", ZVCLASSTYPE_DOMAIN);
    EXPECT_EQ(create(L"Widget"), id(widget) + L"/0/0");
    EXPECT_ZV_THROW(CZVSchemaInstanceFactory(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor");
    CZVSchema::FreeRecycledValues();
}
