// The factory that makes instances of a schema's classes by name (its use by
// the instance reader is covered where example documents are read).
#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;

TEST(SchemaInstanceFactory, ClassesRelationshipClassesReferencedAndUnknownNames)
{
    CZVSchema plant(L"p", L"Plant", L"");
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    CZVClass* meter = units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaReference reference(units);
    plant.AddReference(reference);
    CZVClass* pump = plant.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    plant.CreateZVClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* link = plant.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN); // same name as a class
    CZVSchemaInstanceFactory factory(&plant);
    // The class made, or NULL; and whether the flag and the instance say "relationship".
    const auto create = [&](const wchar_t* name, CZVClass* expected, int relationship) {
        int isRelationship = 0;
        std::unique_ptr<CZVInstance> made(factory.CreateInstance(ZVXML_NAMESPACE_URI, name, &isRelationship));
        EXPECT_EQ(made == nullptr ? nullptr : made->GetZVClass(), expected) << name;
        EXPECT_EQ(isRelationship, relationship) << name;
        EXPECT_EQ(dynamic_cast<ZVRelationshipInstance*>(made.get()) != nullptr, relationship == 1) << name;
    };
    // Answers stay the lookups' answers when asked again (cached or not).
    for (int round = 0; round < 2; ++round) {
        create(L"Pump", pump, 0);
        create(L"Link", link, 1); // relationship classes are looked up first
        create(L"Meter", meter, 0);
        create(L"Widget", nullptr, 0);
    }
    int isRelationship = 0;
    EXPECT_EQ(factory.CreateInstance(nullptr, nullptr, &isRelationship), nullptr);
    // A class the schema gets later is found: unknown names are not cached.
    CZVClass* widget = plant.CreateZVClass(L"Widget", L"", ZVCLASSTYPE_DOMAIN);
    create(L"Widget", widget, 0);
    EXPECT_ZV_THROW(CZVSchemaInstanceFactory(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor");
    CZVSchema::FreeRecycledValues();
}
