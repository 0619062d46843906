#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>
#include <vector>

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
    EXPECT_NE(third, nullptr);
    EXPECT_NE(third.get(), a);
    EXPECT_NE(third.get(), b);
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

// Several threads park and take values at once: nothing is lost and nothing
// is handed out twice.
TEST_F(ValuePoolTest, ThreadsShareThePoolSafely)
{
    CZVSchema::FreeRecycledValues();
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    std::vector<std::vector<CZVValue*>> kept(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &kept] {
            std::vector<CZVValue*> mine;
            for (int round = 0; round < kRounds; ++round) {
                mine.push_back(CZVSchema::GetRecycledZVValue(diameter));
                mine.back()->SetValue(static_cast<long>(t));
                if (round % 3 == 2) {
                    CZVSchema::RecycleZVValue(mine.back());
                    mine.pop_back();
                    CZVSchema::RecycleZVValue(mine.back());
                    mine.pop_back();
                }
            }
            kept[t] = mine;
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<CZVValue*> distinct;
    std::size_t total = 0;
    for (int t = 0; t < kThreads; ++t) {
        for (CZVValue* value : kept[t]) {
            long owner = -1;
            value->GetValue(&owner);
            EXPECT_EQ(owner, t); // no other thread got hold of it
            distinct.insert(value);
        }
        total += kept[t].size();
    }
    EXPECT_EQ(distinct.size(), total);
    for (CZVValue* value : distinct) {
        delete value;
    }
}
