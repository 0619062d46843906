// Primitive, struct and array values: null flags, numbers as text, and the
// instances struct values hold.
#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/comma_locale.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <climits>

using namespace ZVXML;

class ValueTest : public zvtest::PlantSchema {};

// Emptying a primitive's text keeps its flag; an array made null keeps its
// members.
TEST_F(ValueTest, NullFlagsFollowEachOperation)
{
    CZVValue text(diameter, nullptr);
    EXPECT_TRUE(text.IsNull());
    text.SetValue(3L);
    text.InitializeValue();
    EXPECT_FALSE(text.IsNull());
    EXPECT_STREQ(text.GetValue(), L"");
    text.Reinitialize(count);
    EXPECT_TRUE(text.IsNull());
    EXPECT_STREQ(text.GetPropertyName(), L"Count");

    ZVArrayValue array(tags);
    EXPECT_TRUE(array.IsNull());
    array.PushBack(new CZVValue(tags, L"a"));
    EXPECT_FALSE(array.IsNull());
    array.SetToNull();
    EXPECT_TRUE(array.IsNull());
    EXPECT_EQ(array.GetLength(), 1u);
}

// The number formats themselves are the text services' (tested there); each
// setter and getter must use them. Longs are read from the leading digits,
// doubles from the leading number.
TEST_F(ValueTest, NumbersAreWrittenAndReadByTheConversionRules)
{
    CZVValue value(count, nullptr);
    long number = -1;
    value.GetValue(&number); // a null, empty value reads as 0
    EXPECT_EQ(number, 0);
    value.SetValue(1e20);
    EXPECT_STREQ(value.GetValue(), L"1e+020");
    value.SetValue(LONG_MIN);
    EXPECT_EQ(std::wstring(value.GetValue()), std::to_wstring(LONG_MIN));
    for (const auto& [text, expected] :
         {std::make_pair(L"12abc", 12L), std::make_pair(L"abc", 0L), std::make_pair(L"  -7", -7L)}) {
        value.SetValue(text);
        value.GetValue(&number);
        EXPECT_EQ(number, expected) << text;
    }
    double real = 0;
    value.SetValue(L"2.5e3 m");
    value.GetValue(&real);
    EXPECT_DOUBLE_EQ(real, 2500.0);
}

// One digit past the platform's limit: the clamped value is stored and the
// error names the text.
TEST_F(ValueTest, OverflowIsClampedAndReportedWithTheText)
{
    CZVValue value(count, nullptr);
    const std::wstring tooLarge = std::to_wstring(LONG_MAX) + L"0";
    value.SetValue(tooLarge);
    long number = 0;
    EXPECT_ZV_THROW(value.GetValue(&number), ZVXMLRuntimeError,
                    L"Underflow or overflow while converting " + tooLarge + L" to long");
    EXPECT_EQ(number, LONG_MAX);
    value.SetValue(L"1e999");
    double real = 0;
    EXPECT_ZV_THROW(value.GetValue(&real), ZVXMLRuntimeError,
                    L"Underflow or overflow while converting 1e999 to a double");
}

TEST_F(ValueTest, HostLocaleNeverReachesStoredNumbers)
{
    zvtest::CommaLocale german;
    if (!german.active()) {
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    }
    CZVValue value(diameter, nullptr);
    value.SetValue(0.1);
    EXPECT_STREQ(value.GetValue(), L"0.1");
    double read = 0;
    value.SetValue(L"0.25");
    value.GetValue(&read);
    EXPECT_DOUBLE_EQ(read, 0.25);
}

TEST_F(ValueTest, AStructValueFindsItsClassInReferencedSchemasOrFails)
{
    ZVStructValue fromReference(size); // Extent lives in the referenced schema
    ASSERT_NE(fromReference.GetValue(), nullptr);
    EXPECT_STREQ(fromReference.GetValue()->GetTypeName(), L"Extent");
    CZVProperty* broken = pipe->AddZVProperty(L"Broken", L"long", L"");
    broken->SetTypeName(L"Nowhere");
    EXPECT_ZV_THROW(ZVStructValue{broken}, ZVXMLRuntimeError, L"Could not find class for struct property");
}

// The right class releases the first instance (the sanitizer run checks); a
// copy shares the instance, which must outlive the original.
TEST_F(ValueTest, AStructValueTakesOnlyAnInstanceOfItsClassAndSharesItWithCopies)
{
    auto* value = new ZVStructValue(origin);
    CZVInstance* first = value->GetValue();
    auto* wrong = new CZVInstance(extent);
    EXPECT_ZV_THROW(value->SetValue(wrong), ZVXMLLogicError, L"Set wrong type of instance into a ZVStructValue");
    delete wrong;
    EXPECT_EQ(value->GetValue(), first);
    auto* right = new CZVInstance(point);
    value->SetValue(right);
    EXPECT_EQ(value->GetValue(), right);

    ZVStructValue copy(*value);
    EXPECT_EQ(copy.GetValue(), right);
    delete value;
    copy.GetValue()->SetPropertyValue(L"X", 1.5);
    EXPECT_STREQ(copy.GetValue()->GetPropertyValue(L"X"), L"1.5");
}

TEST_F(ValueTest, StructMembersAreCheckedByIndexAndClass)
{
    ZVArrayValue array(corners);
    array.PushBack(new ZVStructValue(corners));
    array.PushBack(new CZVValue(corners, L"not a struct"));
    auto* emptied = new ZVStructValue(corners);
    emptied->SetValue(nullptr);
    array.PushBack(emptied);
    auto* line = new ZVStructValue(corners);
    array.PushBack(line);
    line->GetValue()->SetTypeName(L"Line");

    EXPECT_NE(array.GetStructInstance(0, L"Point"), nullptr);
    const wchar_t* const errors[] = {
        L"1-th element of 'Point' does not contain an ZVStructValue.",
        L"2-th element of 'Point' contains a NULL ZVStructValue.",
        L"3-th element of 'Point' contains an instance of ZVClass 'Line' rather than the expected 'Point'."};
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_ZV_THROW(array.GetStructInstance(i, L"Point"), ZVXMLLogicError, errors[i - 1]);
    }
}
