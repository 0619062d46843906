#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ZVXML;

namespace {

class FactoryTest : public ::testing::Test {
protected:
    FactoryTest()
    {
        units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Value", L"double", L"");
        CZVSchemaReference reference(units);
        plant.AddReference(reference);
        plant.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Flow", L"double", L"");
        plant.CreateZVClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
        plant.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN); // same name as a class
        plant.CreateZVRelationshipClass(L"Feeds", L"", ZVCLASSTYPE_DOMAIN);
    }
    ~FactoryTest() override { CZVSchema::FreeRecycledValues(); }

    std::unique_ptr<CZVInstance> Create(const wchar_t* name, int& isRelationship)
    {
        isRelationship = 0;
        return std::unique_ptr<CZVInstance>(factory.CreateInstance(ZVXML_NAMESPACE_URI, name, &isRelationship));
    }

    CZVSchema plant{L"p", L"Plant", L""};
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    CZVSchemaInstanceFactory factory{&plant};
};

} // namespace

TEST_F(FactoryTest, ClassesRelationshipClassesAndUnknownNames)
{
    int isRelationship = 0;
    std::unique_ptr<CZVInstance> pump = Create(L"Pump", isRelationship);
    ASSERT_NE(pump, nullptr);
    EXPECT_EQ(isRelationship, 0);
    EXPECT_EQ(pump->GetZVClass(), plant.FindZVClass(L"Pump", ZVCLASSTYPE_ANY));
    EXPECT_EQ(dynamic_cast<ZVRelationshipInstance*>(pump.get()), nullptr);

    std::unique_ptr<CZVInstance> feeds = Create(L"Feeds", isRelationship);
    ASSERT_NE(feeds, nullptr);
    EXPECT_NE(isRelationship, 0);
    EXPECT_NE(dynamic_cast<ZVRelationshipInstance*>(feeds.get()), nullptr);

    // Relationship classes are looked up first.
    std::unique_ptr<CZVInstance> link = Create(L"Link", isRelationship);
    EXPECT_NE(isRelationship, 0);
    EXPECT_EQ(link->GetZVClass(), plant.FindZVRelationshipClass(L"Link", ZVCLASSTYPE_ANY));

    std::unique_ptr<CZVInstance> meter = Create(L"Meter", isRelationship);
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->GetZVClass()->GetZVSchema(), units);

    EXPECT_EQ(Create(L"Widget", isRelationship), nullptr);
    EXPECT_EQ(isRelationship, 0);
    EXPECT_EQ(factory.CreateInstance(nullptr, nullptr, &isRelationship), nullptr);
}

TEST_F(FactoryTest, CachedAnswersStayTheLookupsAnswers)
{
    int isRelationship = 0;
    for (int round = 0; round < 3; ++round) {
        EXPECT_NE(Create(L"Pump", isRelationship), nullptr);
        EXPECT_EQ(Create(L"Widget", isRelationship), nullptr);
    }
    // A class the schema gets later is found: unknown names are not cached.
    plant.CreateZVClass(L"Widget", L"", ZVCLASSTYPE_DOMAIN);
    EXPECT_NE(Create(L"Widget", isRelationship), nullptr);
    EXPECT_ZV_THROW(CZVSchemaInstanceFactory(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor");
}

namespace {
std::vector<std::wstring> g_delivered;
int Collect(CZVSchema*, void*, CZVInstance* instance)
{
    g_delivered.push_back(instance->TypeName() + L":" + instance->InstanceID());
    return 0;
}
int CollectRelationship(CZVSchema*, void*, ZVRelationshipInstance* relationship)
{
    g_delivered.push_back(relationship->TypeName() + L":" + relationship->GetSourceID() + L"->" +
                          relationship->GetTargetID());
    return 0;
}
} // namespace

TEST_F(FactoryTest, ServesTheInstanceReader)
{
    g_delivered.clear();
    const wchar_t* document =
        L"<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>"
        L"<Pump id='P1'><Flow>2</Flow></Pump><Meter id='M1'><Value>3</Value></Meter>"
        L"<Feeds id='F1' sourceInstanceID='P1' targetInstanceID='M1'/></ZVInstanceXML>";
    EXPECT_EQ(ParseZVInstanceXML(0, document, &plant, nullptr, nullptr, &Collect, &CollectRelationship, nullptr,
                                 nullptr, nullptr, &factory, 0),
              0);
    EXPECT_EQ(g_delivered, (std::vector<std::wstring>{L"Pump:P1", L"Meter:M1", L"Feeds:P1->M1"}));
}
