#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;

class ValuePoolTest : public zvtest::PlantSchema {};

TEST_F(ValuePoolTest, LastInFirstOutThenNewValuesAndFreeEmptiesIt)
{
    CZVSchema::FreeRecycledValues();
    auto* a = new CZVValue(diameter, L"a");
    auto* b = new CZVValue(count, L"b");
    CZVSchema::RecycleZVValue(a);
    CZVSchema::RecycleZVValue(b);
    CZVSchema::RecycleZVValue(nullptr); // ignored: it would be handed out later
    std::unique_ptr<CZVValue> first(CZVSchema::GetRecycledZVValue(tags));
    std::unique_ptr<CZVValue> second(CZVSchema::GetRecycledZVValue(tags));
    std::unique_ptr<CZVValue> third(CZVSchema::GetRecycledZVValue(tags));
    EXPECT_EQ(first.get(), b);
    EXPECT_EQ(second.get(), a);
    EXPECT_TRUE(third->IsNull());

    CZVSchema::RecycleZVValue(new CZVValue(diameter, L"x"));
    CZVSchema::FreeRecycledValues();
    std::unique_ptr<CZVValue> created(CZVSchema::GetRecycledZVValue(count));
    EXPECT_STREQ(created->GetValue(), L"");
    EXPECT_STREQ(created->GetPropertyName(), L"Count");
}

TEST_F(ValuePoolTest, NullPropertyIsARuntimeErrorAndTheLockIsFree)
{
    CZVSchema::FreeRecycledValues();
    auto* parked = new CZVValue(diameter, L"parked");
    CZVSchema::RecycleZVValue(parked);
    EXPECT_ZV_THROW(CZVSchema::GetRecycledZVValue(nullptr), ZVXMLRuntimeError,
                    L"Unknown exception in CZVSchema::GetRecycledZVValue");
    // The lock was released and the parked value is still there.
    CZVValue* taken = CZVSchema::GetRecycledZVValue(count);
    EXPECT_EQ(taken, parked);
    delete taken;
}
