#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using namespace ZVXML;

class InstanceTest : public zvtest::PlantSchema {};

TEST_F(InstanceTest, AnInstanceNeedsAClassAndKeepsItThroughARename)
{
    EXPECT_ZV_THROW(CZVInstance(nullptr), ZVXMLLogicError,
                    L"You cannot construct a new CZVInstance with a NULL ZVClass!");
    CZVInstance instance(pipe);
    instance.SetTypeName(L"Renamed");
    EXPECT_EQ(instance.GetZVClass(), pipe);
}

TEST_F(InstanceTest, RelationshipCopiesKeepTheEnds)
{
    ZVRelationshipInstance relationship(plant.CreateZVRelationshipClass(L"Connects", L"", 1));
    relationship.SetSourceID(L"A");
    relationship.SetTargetID(L"B");
    ZVRelationshipInstance copy(relationship);
    EXPECT_STREQ(copy.GetSourceID(), L"A");
    EXPECT_STREQ(copy.GetTargetID(), L"B");
}

TEST_F(InstanceTest, LookupIsExact)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", 2.5);
    EXPECT_EQ(instance.GetPropertyValue(L"diameter", false), nullptr);
    EXPECT_EQ(instance.GetPropertyValue(L"Count"), nullptr);
    EXPECT_ZV_THROW(instance.PropertyValue(L"Count"), ZVXMLLogicError,
                    L"Failed to find an CZVValue for property Count in CZVInstance::FindValue");
    EXPECT_EQ(instance.PropertyValue(L"Diameter"), L"2.5");
}

TEST_F(InstanceTest, SettersReuseTheValue)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", 2.5);
    instance.SetPropertyValue(L"Count", 5L);
    ZVValueBase* created = instance.GetPropertyValue(L"Count", true);
    instance.SetPropertyValue(L"Count", ULONG_MAX); // reuses the value
    EXPECT_EQ(instance.GetPropertyValue(L"Count", true), created);
    EXPECT_EQ(instance.GetZVValueCount(), 2u);
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
}

// A null text is no type error: the setter leaves no new value behind.
TEST_F(InstanceTest, ANullTextLeavesTheListAsItWas)
{
    CZVInstance instance(pipe);
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Tags", static_cast<const wchar_t*>(nullptr)), ZVXMLLogicError,
                    L"Attempted to set primitive value into a non-primitive property");
    EXPECT_EQ(instance.GetZVValueCount(), 1u); // the array made before the type error stays
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Diameter", static_cast<const wchar_t*>(nullptr)), ZVXMLInvalidArgument,
                    L"InternalSetValue called with a NULL value");
    EXPECT_EQ(instance.GetZVValueCount(), 1u);
    EXPECT_EQ(instance.GetPropertyValue(L"Diameter"), nullptr);
}

// Assigning to an instance what one of its own struct values holds: the
// source goes with the values being replaced, so it is read first.
TEST_F(InstanceTest, AnInstanceIsAssignedWhatItsOwnStructValueHolds)
{
    struct HostPoint : CZVInstance {
        using CZVInstance::CZVInstance;
    };
    CZVInstance top(pipe);
    auto* origin = new ZVStructValue(this->origin);
    top.AddZVValue(origin);
    origin->SetValue(new HostPoint(point)); // a host's type is destroyed, not kept as a spare
    origin->GetValue()->SetInstanceID(std::wstring(300, L'n'));
    origin->GetValue()->SetPropertyValue(L"X", 1.5);
    top = *origin->GetValue();
    EXPECT_EQ(std::wstring(top.GetInstanceID()), std::wstring(300, L'n'));
    EXPECT_STREQ(top.GetTypeName(), L"Point");
    EXPECT_STREQ(top.GetPropertyValue(L"X"), L"1.5");
}

TEST_F(InstanceTest, PropertiesOfABaseClassAreFoundAndSet)
{
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
}

// A null handed in would be handed out later; a null property must not
// leave the pool locked.
TEST_F(InstanceTest, PoolRefusesNullsAndStaysUsable)
{
    CZVSchema::FreeRecycledValues();
    auto* parked = new CZVValue(diameter, L"parked");
    CZVSchema::RecycleZVValue(parked);
    CZVSchema::RecycleZVValue(nullptr);
    {
        zvtest::LogCapture log;
        EXPECT_ZV_THROW(CZVSchema::GetRecycledZVValue(nullptr), ZVXMLRuntimeError,
                        L"Unknown exception in CZVSchema::GetRecycledZVValue");
        // The value's refusal is logged, then the pool's replacement.
        EXPECT_EQ(log.texts(L"Exception"),
                  (std::vector<std::wstring>{L"Passed NULL pZVProperty to ZVValueBase::Reinitialize",
                                             L"Unknown exception in CZVSchema::GetRecycledZVValue"}));
    }
    CZVValue* taken = CZVSchema::GetRecycledZVValue(count);
    EXPECT_EQ(taken, parked);
    delete taken;
    std::unique_ptr<CZVValue> created(CZVSchema::GetRecycledZVValue(count));
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsNull());
}
