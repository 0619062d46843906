// Value names stay unique, as P, P2, P3..., exactly as the rule says, in
// small instances and in large ones (which keep an index of the names).
#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace ZVXML;

namespace {

// The rule, written plainly: the name itself if free, else the first of
// name2, name3, ... that is free.
std::wstring RuleName(const std::vector<std::wstring>& held, const std::wstring& name)
{
    auto taken = [&](const std::wstring& candidate) {
        return std::find(held.begin(), held.end(), candidate) != held.end();
    };
    if (!taken(name)) {
        return name;
    }
    for (unsigned long counter = 2;; ++counter) {
        const std::wstring candidate = name + std::to_wstring(counter);
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

std::vector<std::wstring> Names(const CZVInstance& instance)
{
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        names.push_back(instance.GetZVValue(i)->GetPropertyName());
    }
    return names;
}

class ValueNamesTest : public zvtest::PlantSchema {
protected:
    // Adds a value named `name` and checks it gets the rule's name.
    void AddAndCheck(CZVInstance& instance, const std::wstring& name)
    {
        const std::wstring expected = RuleName(Names(instance), name);
        auto* value = new CZVValue(tags, nullptr);
        value->SetPropertyName(name);
        instance.AddZVValue(value);
        EXPECT_EQ(std::wstring(value->GetPropertyName()), expected) << "adding " << value->GetPropertyName();
    }
    // Adds 360 values in a pattern of clashing names.
    void AddPattern(CZVInstance& instance)
    {
        const std::vector<std::wstring> pattern = {L"P", L"P", L"P2", L"P", L"Q", L"P3", L"P", L"Q2", L"Q"};
        for (int round = 0; round < 40; ++round) {
            for (const std::wstring& name : pattern) {
                AddAndCheck(instance, name);
            }
        }
    }
};

} // namespace

// The suffix goes on the name a value came with: P2 taken makes P22. A held
// value is refused.
TEST_F(ValueNamesTest, SmallInstancesGiveTheRulesNamesAndRefuseAValueTheyHold)
{
    CZVInstance small(pipe);
    for (const wchar_t* name : {L"P2", L"P", L"P", L"P", L"P2"}) {
        AddAndCheck(small, name);
    }
    EXPECT_EQ(Names(small), (std::vector<std::wstring>{L"P2", L"P", L"P3", L"P4", L"P22"}));
    EXPECT_ZV_THROW(small.AddZVValue(small.GetZVValue(0)), ZVXMLLogicError,
                    L"The ZVValue 'P2' is already in this CZVInstance of ZVClass 'Pipe'.");
}

// A large instance keeps an index of names, which must not let a held value in.
TEST_F(ValueNamesTest, LargeInstancesGiveTheRulesNamesAndRefuseAValueTheyHold)
{
    CZVInstance instance(pipe);
    AddPattern(instance);
    EXPECT_ZV_THROW(instance.AddZVValue(instance.GetZVValue(70)), ZVXMLLogicError,
                    L"The ZVValue '" + Names(instance)[70] + L"' is already in this CZVInstance of ZVClass 'Pipe'.");
}

TEST_F(ValueNamesTest, RenamingAHeldValueIsSeenByLargeInstances)
{
    CZVInstance instance(pipe);
    for (int i = 0; i < 100; ++i) {
        AddAndCheck(instance, L"P");
    }
    // P7 is freed by renaming its value, through the setter and through the
    // reference: the next P takes the first free name again.
    instance.GetZVValue(6)->SetPropertyName(L"Other");
    AddAndCheck(instance, L"P");
    EXPECT_STREQ(instance.GetZVValue(100)->GetPropertyName(), L"P7");
    instance.GetZVValue(2)->PropertyName() = L"Another";
    AddAndCheck(instance, L"P");
    EXPECT_STREQ(instance.GetZVValue(101)->GetPropertyName(), L"P3");
}

TEST_F(ValueNamesTest, ValuesSharedWithACopyStayExact)
{
    CZVInstance original(pipe);
    for (int i = 0; i < 70; ++i) {
        AddAndCheck(original, L"P");
    }
    CZVInstance copy(original);
    AddAndCheck(copy, L"P");
    copy.GetZVValue(0)->SetPropertyName(L"Renamed"); // held by both
    AddAndCheck(original, L"P");
    EXPECT_STREQ(original.GetZVValue(70)->GetPropertyName(), L"P");
}
