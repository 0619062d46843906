// Objects made from a thread's spares must be indistinguishable from new
// ones, and destroying through the spares must release what an object owns
// exactly as deleting it would.
#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "instance/spare_objects.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

using namespace ZVXML;

namespace {

class SpareObjectsTest : public zvtest::PlantSchema {};

// Each object is used, renamed and filled, given back, then remade for
// another property or class: nothing of its first life may show.
TEST_F(SpareObjectsTest, RemadeInstancesAreLikeNewOnes)
{
    CZVSchema::FreeRecycledValues();
    CZVInstance* used = MakeInstance(point);
    used->SetInstanceID(L"old-id");
    used->SetPropertyValue(L"X", L"9");
    DestroyInstance(used);
    std::unique_ptr<CZVInstance> instance(MakeInstance(pipe)); // an ordinary heap object
    EXPECT_EQ(instance.get(), used) << "the spare was not reused";
    EXPECT_STREQ(instance->GetTypeName(), L"Pipe");
    EXPECT_STREQ(instance->GetInstanceID(), L"");
    EXPECT_EQ(instance->GetZVValueCount(), 0u);
}

TEST_F(SpareObjectsTest, RemadeStructValuesAreLikeNewOnes)
{
    CZVSchema::FreeRecycledValues();
    ZVStructValue* usedStruct = MakeStructValue(origin);
    usedStruct->SetPropertyName(L"Origin7");
    DestroyValue(usedStruct);
    std::unique_ptr<ZVStructValue> structValue(MakeStructValue(size)); // a class of the referenced schema
    EXPECT_EQ(structValue.get(), usedStruct);
    EXPECT_STREQ(structValue->GetPropertyName(), L"Size");
    ASSERT_NE(structValue->GetValue(), nullptr);
    EXPECT_EQ(structValue->GetValue()->GetZVClass(), extent);
    EXPECT_STREQ(structValue->GetValue()->GetTypeName(), L"Extent");
    EXPECT_EQ(structValue->GetValue()->GetZVValueCount(), 0u);
}

TEST_F(SpareObjectsTest, RemadeArrayMembersAreLikeNewOnes)
{
    CZVSchema::FreeRecycledValues();
    CZVValue* member = MakeArrayMember(tags);
    member->SetValue(L"text");
    DestroyValue(member);
    std::unique_ptr<CZVValue> remade(MakeArrayMember(diameter));
    EXPECT_EQ(remade.get(), member);
    EXPECT_STREQ(remade->GetPropertyName(), L"Diameter");
    EXPECT_STREQ(remade->GetValue(), L"");
    EXPECT_TRUE(remade->IsNull());
}

// A host's subclass, counting its destructions.
struct CountedStruct : ZVStructValue {
    explicit CountedStruct(CZVProperty* property, int& destroyed) : ZVStructValue(property), m_destroyed(destroyed) {}
    ~CountedStruct() override { ++m_destroyed; }
    int& m_destroyed;
};

TEST_F(SpareObjectsTest, SubclassesAreDestroyedNotKept)
{
    int destroyed = 0;
    DestroyValue(new CountedStruct(origin, destroyed));
    EXPECT_EQ(destroyed, 1);
}

TEST_F(SpareObjectsTest, SharedObjectsAreNotKept)
{
    // The embedded instance is still the copy's after the original goes.
    ZVStructValue* original = MakeStructValue(origin);
    original->GetValue()->SetPropertyValue(L"X", L"5");
    ZVStructValue copy(*original);
    DestroyValue(original);
    CZVInstance* kept = copy.GetValue();
    CZVInstance* fresh = MakeInstance(point);
    EXPECT_NE(fresh, kept);
    delete fresh;
    ASSERT_EQ(kept->GetZVValueCount(), 1u);
    EXPECT_STREQ(kept->GetPropertyValue(L"X"), L"5");
}

TEST_F(SpareObjectsTest, ObjectsMayChangeThreads)
{
    std::vector<CZVInstance*> made;
    std::thread maker([&] {
        for (int i = 0; i < 300; ++i) { // more than a thread keeps
            made.push_back(MakeInstance(pipe));
            made.back()->SetPropertyValue(L"Count", 1L);
        }
    });
    maker.join();
    std::thread destroyer([&] {
        for (CZVInstance* instance : made) {
            DestroyInstance(instance);
        }
        CZVInstance* again = MakeInstance(point);
        EXPECT_EQ(again->GetZVValueCount(), 0u);
        DestroyInstance(again);
    });
    destroyer.join(); // the thread's spares are freed here (the leak check sees it)
}

} // namespace
