#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

class CustomAttributeTest : public zvtest::PlantSchema {};

TEST_F(CustomAttributeTest, ArrayMembersAreCreatedWithTheirAttribute)
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
TEST_F(CustomAttributeTest, PropertiesThatAreMissingOrNoArraysAreRefused)
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
