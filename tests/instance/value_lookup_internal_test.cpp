// The readers find a large instance's values through its name index: each
// answer must be the walk's, the first value in the list with the name,
// after renames too.
#include <zvxml/zvxml.h>

#include "instance/instance_access.h"
#include "instance/instance_fixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace ZVXML;

namespace {

class ValueLookupTest : public zvtest::PlantSchema {
protected:
    // Adds a value named `name` (renamed as AddZVValue renames it).
    void Add(const std::wstring& name)
    {
        auto* value = new CZVValue(tags, nullptr);
        value->SetPropertyName(name);
        instance.AddZVValue(value);
    }
    ZVValueBase* Walk(const std::wstring& name)
    {
        for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
            if (name == instance.GetZVValue(i)->GetPropertyName()) {
                return instance.GetZVValue(i);
            }
        }
        return nullptr;
    }
    void ExpectWalk(const std::wstring& name)
    {
        EXPECT_EQ(detail::InstanceAccess::FindValue(instance, name), Walk(name)) << name;
    }

    CZVInstance instance{pipe};
};

} // namespace

TEST_F(ValueLookupTest, LargeInstancesFindTheFirstValueOfANameAsTheWalkDoes)
{
    for (int i = 0; i < 100; ++i) {
        Add(L"P");
    }
    for (const wchar_t* name : {L"P", L"P2", L"P100", L"P101", L"Q"}) {
        ExpectWalk(name);
    }
    // Two values come to share a name: the earlier one is found. Renaming
    // it away uncovers the later one; a new name is found at once.
    instance.GetZVValue(80)->SetPropertyName(L"P5");
    instance.GetZVValue(90)->PropertyName() = L"P5";
    ExpectWalk(L"P5");
    instance.GetZVValue(4)->SetPropertyName(L"Gone");
    ExpectWalk(L"P5");
    EXPECT_EQ(detail::InstanceAccess::FindValue(instance, L"P5"), instance.GetZVValue(80));
    ExpectWalk(L"Gone");
    ExpectWalk(L"P81");
    // A value added after a lookup is found by the next one.
    Add(L"Q");
    ExpectWalk(L"Q");
}
