// Making values only reads the schema: parses on several threads share one,
// and the name indexes behind its lookups must stay current.
#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "schema/schema_internals.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;

namespace {

class SchemaReadsTest : public zvtest::PlantSchema {
protected:
    bool IndexesCurrent(const CZVClass& zvClass) const
    {
        for (const detail::ClassNameIndex* index : CZVClass::Internals::Lists(zvClass)) {
            if (!index->OwnersCurrent()) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(SchemaReadsTest, MakingValuesLeavesTheNameIndexesCurrent)
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
