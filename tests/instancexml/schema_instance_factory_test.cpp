// The factory that makes instances of a schema's classes by name (its use by
// the instance reader is covered where example documents are read).
#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;

namespace {

// Plant holds Pump, and a class and a relationship class both named Link; it
// references Units, which holds Meter.
class SchemaInstanceFactory : public ::testing::Test {
protected:
    SchemaInstanceFactory()
    {
        CZVSchemaReference reference(units);
        plant.AddReference(reference);
        plant.CreateZVClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    }
    ~SchemaInstanceFactory() override { CZVSchema::FreeRecycledValues(); }

    // Expects the factory to make an instance of `expected` (none for NULL),
    // and the flag and the instance to say "relationship" when `relationship` is 1.
    void ExpectCreated(const wchar_t* name, CZVClass* expected, int relationship)
    {
        int isRelationship = 0;
        std::unique_ptr<CZVInstance> made(factory.CreateInstance(ZVXML_NAMESPACE_URI, name, &isRelationship));
        EXPECT_EQ(made == nullptr ? nullptr : made->GetZVClass(), expected) << name;
        EXPECT_EQ(isRelationship, relationship) << name;
        EXPECT_EQ(dynamic_cast<ZVRelationshipInstance*>(made.get()) != nullptr, relationship == 1) << name;
    }

    CZVSchema plant{L"p", L"Plant", L""};
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    CZVClass* meter = units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* pump = plant.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* link = plant.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaInstanceFactory factory{&plant};
};

} // namespace

// Classes of the schema and of its references are made, relationship
// classes looked up first; cached or not, answers stay the lookups' answers.
TEST_F(SchemaInstanceFactory, ClassesOfTheSchemaAndItsReferencesAreMadeAlikeWhenAskedAgain)
{
    for (int round = 0; round < 2; ++round) {
        ExpectCreated(L"Pump", pump, 0);
        ExpectCreated(L"Link", link, 1);
        ExpectCreated(L"Meter", meter, 0);
        ExpectCreated(L"Widget", nullptr, 0);
    }
    int isRelationship = 0;
    EXPECT_EQ(factory.CreateInstance(nullptr, nullptr, &isRelationship), nullptr);
}

TEST_F(SchemaInstanceFactory, AClassTheSchemaGetsLaterIsFound)
{
    ExpectCreated(L"Widget", nullptr, 0);
    CZVClass* widget = plant.CreateZVClass(L"Widget", L"", ZVCLASSTYPE_DOMAIN);
    ExpectCreated(L"Widget", widget, 0);
}

TEST(SchemaInstanceFactoryConstruction, ANullSchemaIsRefused)
{
    EXPECT_ZV_THROW(CZVSchemaInstanceFactory(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor");
}
