// Objects made from a thread's spares must be indistinguishable from new
// ones, and destroying through the spares must release what an object owns
// exactly as deleting it would. Making values only reads the schema, which
// parses on several threads share.
#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "instance/spare_objects.h"
#include "schema/schema_internals.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

using namespace ZVXML;

namespace {

class SpareObjectsTest : public zvtest::PlantSchema {};

// Each object is used, renamed or filled, given back, then remade for
// another property or class: nothing of its first life may show.
TEST_F(SpareObjectsTest, RemadeObjectsAreLikeNewOnes)
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

// A host's subclass is destroyed; an embedded instance a copy still holds
// stays the copy's.
TEST_F(SpareObjectsTest, SubclassesAndSharedObjectsAreNotKept)
{
    int destroyed = 0;
    DestroyValue(new CountedStruct(origin, destroyed));
    EXPECT_EQ(destroyed, 1);

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

bool IndexesCurrent(const CZVClass& zvClass)
{
    for (const detail::ClassNameIndex* index : CZVClass::Internals::Lists(zvClass)) {
        if (!index->OwnersCurrent()) {
            return false;
        }
    }
    return true;
}

TEST_F(SpareObjectsTest, MakingValuesLeavesTheSchemasNameIndexesCurrent)
{
    ASSERT_FALSE(CZVClass::Internals::Lists(*pipe).empty());
    ASSERT_TRUE(IndexesCurrent(*pipe));
    ASSERT_TRUE(IndexesCurrent(*point));

    std::unique_ptr<CZVValue> pooled(CZVSchema::GetRecycledZVValue(diameter));
    ZVStructValue structValue(origin);
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Count", 3L);
    instance.AddZVValue(new ZVArrayValue(tags));
    CZVSchema::RecycleZVValue(pooled.release());
    std::unique_ptr<CZVValue> reused(CZVSchema::GetRecycledZVValue(count));

    EXPECT_STREQ(reused->GetPropertyName(), L"Count");
    EXPECT_TRUE(IndexesCurrent(*pipe));
    EXPECT_TRUE(IndexesCurrent(*point));
}

} // namespace
