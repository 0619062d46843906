#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using namespace ZVXML;

class InstanceTest : public zvtest::PlantSchema {};

TEST_F(InstanceTest, TheClassLinkOutlivesARenameAndNullsAreRefused)
{
    CZVInstance instance(pipe);
    instance.SetTypeName(L"Renamed");
    EXPECT_EQ(instance.GetZVClass(), pipe);
    EXPECT_ZV_THROW(CZVInstance(nullptr), ZVXMLLogicError,
                    L"You cannot construct a new CZVInstance with a NULL ZVClass!");
    EXPECT_THROW(instance.SetInstanceID(static_cast<const wchar_t*>(nullptr)), ZVXMLInvalidArgument);
    EXPECT_THROW(instance.SetTypeName(static_cast<const wchar_t*>(nullptr)), ZVXMLInvalidArgument);

    ZVRelationshipInstance relationship(plant.CreateZVRelationshipClass(L"Connects", L"", 1));
    relationship.SetSourceID(L"A");
    relationship.SetTargetID(L"B");
    ZVRelationshipInstance copy(relationship);
    EXPECT_STREQ(copy.GetSourceID(), L"A");
    EXPECT_STREQ(copy.GetTargetID(), L"B");
    EXPECT_THROW(relationship.SetSourceID(nullptr), ZVXMLInvalidArgument);
}

TEST_F(InstanceTest, LookupIsExactAndMissingValuesFailOnlyWhenRequired)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", 2.5);
    EXPECT_EQ(instance.GetPropertyValue(L"diameter", false), nullptr);
    EXPECT_EQ(instance.GetPropertyValue(L"Count"), nullptr);
    EXPECT_ZV_THROW(instance.PropertyValue(L"Count"), ZVXMLLogicError,
                    L"Failed to find an CZVValue for property Count in CZVInstance::FindValue");
    EXPECT_ZV_THROW(instance.GetPropertyValue(nullptr, false), ZVXMLInvalidArgument,
                    L"Passed NULL propertyName to CZVInstance::FindValue");
    EXPECT_EQ(instance.PropertyValue(L"Diameter"), L"2.5");
    double diameterValue = 0;
    instance.GetPropertyValue(L"Diameter", &diameterValue);
    EXPECT_DOUBLE_EQ(diameterValue, 2.5);
}

TEST_F(InstanceTest, SettersCreateTheValueOnceAndReuseIt)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Count", 5L);
    ZVValueBase* created = instance.GetPropertyValue(L"Count", true);
    instance.SetPropertyValue(L"Count", 6);
    EXPECT_EQ(instance.GetPropertyValue(L"Count", true), created);
    EXPECT_EQ(instance.GetZVValueCount(), 1u);
    EXPECT_STREQ(instance.GetPropertyValue(L"Count"), L"6");
    instance.SetPropertyValue(L"Count", ULONG_MAX);
    EXPECT_EQ(std::wstring(instance.GetPropertyValue(L"Count")), std::to_wstring(ULONG_MAX));
}

TEST_F(InstanceTest, SetterFailures)
{
    CZVInstance instance(pipe);
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Missing", 1L), ZVXMLDomainError,
                    L"Attempted to create value for property 'Missing' which does not exist in class 'Pipe'");
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Origin", 1L), ZVXMLLogicError,
                    L"Attempted to set primitive value into a non-primitive property");
    // The struct value made on the way stays, and reads as no text.
    EXPECT_EQ(instance.GetZVValueCount(), 1u);
    EXPECT_EQ(instance.GetPropertyValue(L"Origin"), nullptr);
    EXPECT_ZV_THROW(instance.PropertyValue(L"Origin"), ZVXMLLogicError,
                    L"Called GetPrimitiveValue for a non-primitive CZVValue");
    long number = 0;
    EXPECT_THROW(instance.GetPropertyValue(L"Origin", &number), ZVXMLLogicError);

    // Properties of a base class are found and set.
    CZVClass* steel = plant.CreateZVClass(L"SteelPipe", L"", 1);
    steel->SetBaseClass(L"Pipe");
    CZVInstance inherited(steel);
    inherited.SetPropertyValue(L"Diameter", 1.0);
    EXPECT_STREQ(inherited.GetPropertyValue(L"Diameter"), L"1");
}

TEST_F(InstanceTest, EmptiedPrimitiveValuesGoToThePoolLastFirst)
{
    CZVSchema::FreeRecycledValues();
    auto* instance = new CZVInstance(pipe);
    instance->SetPropertyValue(L"Diameter", 1.0);
    instance->SetPropertyValue(L"Count", 2L);
    ZVValueBase* second = instance->GetPropertyValue(L"Count", true);
    ZVValueBase* first = instance->GetPropertyValue(L"Diameter", true);
    instance->AddZVValue(new ZVArrayValue(tags)); // destroyed, never pooled
    delete instance;

    CZVValue* taken = CZVSchema::GetRecycledZVValue(tags);
    EXPECT_EQ(taken, second);
    EXPECT_TRUE(taken->IsNull());
    EXPECT_STREQ(taken->GetPropertyName(), L"Tags");
    EXPECT_STREQ(taken->GetValue(), L"");
    std::unique_ptr<ZVValueBase> next(ZVValueBase::CreateZVValueForZVProperty(pipe, diameter));
    EXPECT_EQ(next.get(), first);
    delete taken;
}

TEST_F(InstanceTest, AValueHeldByACopyIsNotRecycled)
{
    CZVSchema::FreeRecycledValues();
    auto* original = new CZVInstance(pipe);
    original->SetPropertyValue(L"Count", 3L);
    original->SetInstanceID(L"P-1");
    CZVInstance copy(*original);
    EXPECT_EQ(copy.GetZVValue(0), original->GetZVValue(0));
    delete original;
    CZVValue* fresh = CZVSchema::GetRecycledZVValue(count);
    EXPECT_NE(fresh, copy.GetZVValue(0));
    delete fresh;
    EXPECT_STREQ(copy.GetPropertyValue(L"Count"), L"3");
    EXPECT_STREQ(copy.GetInstanceID(), L"P-1");

    CZVInstance assigned(point);
    assigned.SetPropertyValue(L"X", 1.0);
    assigned = copy; // the old value goes to the pool, the shared one stays
    EXPECT_EQ(assigned.GetZVValue(0), copy.GetZVValue(0));
    CZVValue* recycled = CZVSchema::GetRecycledZVValue(count);
    EXPECT_NE(recycled, copy.GetZVValue(0));
    delete recycled;
}
