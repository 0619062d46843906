// Instances: values by name, the value pool, text rendering and custom
// attributes.
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
    ZVRelationshipInstance relationship(plant.CreateZVRelationshipClass(L"Connects", L"", 1));
    relationship.SetSourceID(L"A");
    relationship.SetTargetID(L"B");
    ZVRelationshipInstance copy(relationship);
    EXPECT_STREQ(copy.GetSourceID(), L"A");
    EXPECT_STREQ(copy.GetTargetID(), L"B");
}

TEST_F(InstanceTest, LookupIsExactAndSettersReuseTheValue)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", 2.5);
    EXPECT_EQ(instance.GetPropertyValue(L"diameter", false), nullptr);
    EXPECT_EQ(instance.GetPropertyValue(L"Count"), nullptr);
    EXPECT_ZV_THROW(instance.PropertyValue(L"Count"), ZVXMLLogicError,
                    L"Failed to find an CZVValue for property Count in CZVInstance::FindValue");
    EXPECT_EQ(instance.PropertyValue(L"Diameter"), L"2.5");
    instance.SetPropertyValue(L"Count", 5L);
    ZVValueBase* created = instance.GetPropertyValue(L"Count", true);
    instance.SetPropertyValue(L"Count", ULONG_MAX);
    EXPECT_EQ(instance.GetPropertyValue(L"Count", true), created);
    EXPECT_EQ(instance.GetZVValueCount(), 2u);
    EXPECT_EQ(std::wstring(instance.GetPropertyValue(L"Count")), std::to_wstring(ULONG_MAX));
    // Properties of a base class are found and set too.
    CZVClass* steel = plant.CreateZVClass(L"SteelPipe", L"", 1);
    steel->SetBaseClass(L"Pipe");
    CZVInstance inherited(steel);
    inherited.SetPropertyValue(L"Diameter", 1.0);
    EXPECT_STREQ(inherited.GetPropertyValue(L"Diameter"), L"1");
}

// The struct or array value made before a type error stays, and reads as no
// text; a null text is no type error and leaves no new value behind.
TEST_F(InstanceTest, SetterFailuresLeaveOnlyTheValueMadeBeforeATypeError)
{
    CZVInstance instance(pipe);
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Missing", 1L), ZVXMLDomainError,
                    L"Attempted to create value for property 'Missing' which does not exist in class 'Pipe'");
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Origin", 1L), ZVXMLLogicError,
                    L"Attempted to set primitive value into a non-primitive property");
    EXPECT_EQ(instance.GetZVValueCount(), 1u);
    EXPECT_EQ(instance.GetPropertyValue(L"Origin"), nullptr);
    EXPECT_ZV_THROW(instance.PropertyValue(L"Origin"), ZVXMLLogicError,
                    L"Called GetPrimitiveValue for a non-primitive CZVValue");
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Tags", static_cast<const wchar_t*>(nullptr)), ZVXMLLogicError,
                    L"Attempted to set primitive value into a non-primitive property");
    EXPECT_EQ(instance.GetZVValueCount(), 2u);
    EXPECT_ZV_THROW(instance.SetPropertyValue(L"Diameter", static_cast<const wchar_t*>(nullptr)), ZVXMLInvalidArgument,
                    L"InternalSetValue called with a NULL value");
    EXPECT_EQ(instance.GetZVValueCount(), 2u);
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

// Null values and members write as empty elements; text goes out as held
// and attributes as given, with no space added before them. An emptied
// struct cannot be written.
TEST_F(InstanceTest, AnInstanceRendersAsOneLineOfText)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", L"2.5");
    auto* flag = new CZVValue(count, L"ignored");
    flag->SetToNull();
    instance.AddZVValue(flag);
    auto* tagsValue = new ZVArrayValue(tags);
    for (const wchar_t* text : {L"1<2", static_cast<const wchar_t*>(nullptr), L"&"}) {
        tagsValue->PushBack(text != nullptr ? new CZVValue(tags, text) : nullptr);
    }
    instance.AddZVValue(tagsValue);
    auto* originValue = new ZVStructValue(origin);
    originValue->GetValue()->SetPropertyValue(L"X", L"1");
    instance.AddZVValue(originValue);

    const std::wstring content = L"<Diameter>2.5</Diameter><Count></Count><Tags><string>1<2</string><string></string>"
                                 L"<string>&</string></Tags><Origin><X>1</X></Origin>";
    std::wstring out = L"keep:";
    instance.AppendAsXml(out, L"xmlns='u'");
    EXPECT_EQ(out, L"keep:<Pipexmlns='u' >" + content + L"</Pipe>");
    std::wstring values = L"keep:";
    instance.AppendValueToString(values);
    EXPECT_EQ(values, L"keep:" + content);

    originValue->SetValue(nullptr);
    EXPECT_ZV_THROW(instance.AppendAsXml(out, L""), ZVXMLLogicError, L"Can't serialize a NULL struct");
}

TEST_F(InstanceTest, CustomAttributeArrayMembersAreCreatedWithTheirAttribute)
{
    CZVCommon item;
    EXPECT_EQ(item.FindZVCustomAttributeByName(L"Options"), nullptr);
    EXPECT_EQ(item.GetArrayFromCustomAttribute(options, L"Regions", 0), nullptr);

    CZVInstance* region = item.CreateArrayMemberForCustomAttribute(options, L"Regions");
    ASSERT_NE(region, nullptr);
    region->SetPropertyValue(L"X", 1.0);
    CZVInstance* another = item.CreateArrayMemberForCustomAttribute(options, L"Regions");
    ASSERT_EQ(item.GetZVCustomAttributeCount(), 1u);
    EXPECT_NE(item.FindZVCustomAttributeByName(L"Options"), nullptr);
    ZVArrayValue* array = item.GetArrayFromCustomAttribute(options, L"Regions", 0);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->GetLength(), 2u);
    EXPECT_EQ(array->GetStructInstance(0, L"Extent"), region);
    EXPECT_EQ(array->GetStructInstance(1, L"Extent"), another);
    EXPECT_STREQ(region->GetPropertyValue(L"X"), L"1");
}

// An unknown property adds no attribute. For a property that is not an
// array the attribute is created and kept without values (the value made
// for the property is released, not leaked); an existing attribute without
// the value is not given one.
TEST_F(InstanceTest, CustomAttributePropertiesThatAreMissingOrNoArraysAreRefused)
{
    CZVCommon item;
    EXPECT_ZV_THROW(item.CreateArrayMemberForCustomAttribute(options, L"Nope"), ZVXMLLogicError,
                    L"ZVClass 'Options' does not contain an ZVProperty named 'Nope'.");
    EXPECT_EQ(item.GetZVCustomAttributeCount(), 0u);
    EXPECT_ZV_THROW(item.GetArrayFromCustomAttribute(options, L"Hidden", 1), ZVXMLLogicError,
                    L"ZVClass 'Options's 'Hidden' ZVProperty is not an array!");
    ASSERT_EQ(item.GetZVCustomAttributeCount(), 1u);
    EXPECT_EQ(item.GetZVCustomAttribute(0)->GetZVValueCount(), 0u);
    EXPECT_ZV_THROW(item.GetArrayFromCustomAttribute(options, L"Labels", 0), ZVXMLLogicError,
                    L"Failed to find an CZVValue for property Labels in CZVInstance::FindValue");
}
