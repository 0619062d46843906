// Value names stay unique, as P, P2, P3..., exactly as the rule says, in
// small instances and in large ones, which keep an index of the names; the
// index must find what a walk of the list finds (the first value with the
// name), after renames too.
#include <zvxml/zvxml.h>

#include "instance/instance_access.h"
#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace ZVXML;

namespace {

std::vector<std::wstring> Names(const CZVInstance& instance)
{
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        names.push_back(instance.GetZVValue(i)->GetPropertyName());
    }
    return names;
}

// The rule, written plainly: the name itself if free, else the first of
// name2, name3, ... that is free.
std::wstring RuleName(const CZVInstance& instance, const std::wstring& name)
{
    const std::vector<std::wstring> held = Names(instance);
    auto taken = [&](const std::wstring& candidate) {
        return std::find(held.begin(), held.end(), candidate) != held.end();
    };
    std::wstring candidate = name;
    for (unsigned long counter = 2; taken(candidate); ++counter) {
        candidate = name + std::to_wstring(counter);
    }
    return candidate;
}

class ValueNamesTest : public zvtest::PlantSchema {
protected:
    // Adds a value named `name` and checks it gets the rule's name.
    void Add(CZVInstance& instance, const std::wstring& name)
    {
        const std::wstring expected = RuleName(instance, name);
        auto* value = new CZVValue(tags, nullptr);
        value->SetPropertyName(name);
        instance.AddZVValue(value);
        EXPECT_EQ(std::wstring(value->GetPropertyName()), expected) << "adding " << name;
    }
    // Expects the index to find what the walk finds.
    void ExpectFoundAsWalked(CZVInstance& instance, const std::wstring& name)
    {
        const std::vector<std::wstring> names = Names(instance);
        const auto at = std::find(names.begin(), names.end(), name);
        ZVValueBase* walked = at == names.end() ? nullptr : instance.GetZVValue(at - names.begin());
        EXPECT_EQ(detail::InstanceAccess::FindValue(instance, name), walked) << name;
    }
};

} // namespace

// The suffix goes on the name a value came with: P2 taken makes P22. A held
// value is refused.
TEST_F(ValueNamesTest, SmallInstancesGiveTheRulesNamesAndRefuseAValueTheyHold)
{
    CZVInstance small(pipe);
    for (const wchar_t* name : {L"P2", L"P", L"P", L"P", L"P2"}) {
        Add(small, name);
    }
    EXPECT_EQ(Names(small), (std::vector<std::wstring>{L"P2", L"P", L"P3", L"P4", L"P22"}));
    EXPECT_ZV_THROW(small.AddZVValue(small.GetZVValue(0)), ZVXMLLogicError,
                    L"The ZVValue 'P2' is already in this CZVInstance of ZVClass 'Pipe'.");
}

TEST_F(ValueNamesTest, LargeInstancesGiveTheRulesNamesAndRefuseAValueTheyHold)
{
    CZVInstance instance(pipe);
    for (int round = 0; round < 40; ++round) {
        for (const wchar_t* name : {L"P", L"P", L"P2", L"P", L"Q", L"P3", L"P", L"Q2", L"Q"}) {
            Add(instance, name);
        }
    }
    EXPECT_ZV_THROW(instance.AddZVValue(instance.GetZVValue(70)), ZVXMLLogicError,
                    L"The ZVValue '" + Names(instance)[70] + L"' is already in this CZVInstance of ZVClass 'Pipe'.");
}

// Renames through the setter and through the reference: a freed name is
// taken again, and lookups see each rename and each value added.
TEST_F(ValueNamesTest, RenamingAHeldValueIsSeenByLargeInstances)
{
    CZVInstance instance(pipe);
    for (int i = 0; i < 100; ++i) {
        Add(instance, L"P");
    }
    for (const wchar_t* name : {L"P", L"P2", L"P100", L"P101", L"Q"}) {
        ExpectFoundAsWalked(instance, name);
    }
    instance.GetZVValue(6)->SetPropertyName(L"Other");
    Add(instance, L"P");
    EXPECT_STREQ(instance.GetZVValue(100)->GetPropertyName(), L"P7");
    instance.GetZVValue(2)->PropertyName() = L"Another";
    Add(instance, L"P");
    EXPECT_STREQ(instance.GetZVValue(101)->GetPropertyName(), L"P3");

    // Two values come to share a name: the earlier one is found. Renaming
    // it away uncovers the later one.
    instance.GetZVValue(80)->SetPropertyName(L"P5");
    instance.GetZVValue(90)->PropertyName() = L"P5";
    ExpectFoundAsWalked(instance, L"P5");
    instance.GetZVValue(4)->SetPropertyName(L"Gone");
    ExpectFoundAsWalked(instance, L"P5");
    EXPECT_EQ(detail::InstanceAccess::FindValue(instance, L"P5"), instance.GetZVValue(80));
    for (const wchar_t* name : {L"Gone", L"P81", L"Other", L"Another"}) {
        ExpectFoundAsWalked(instance, name);
    }
    Add(instance, L"Q");
    ExpectFoundAsWalked(instance, L"Q");
}

TEST_F(ValueNamesTest, ValuesSharedWithACopyStayExact)
{
    CZVInstance original(pipe);
    for (int i = 0; i < 70; ++i) {
        Add(original, L"P");
    }
    CZVInstance copy(original);
    Add(copy, L"P");
    copy.GetZVValue(0)->SetPropertyName(L"Renamed"); // held by both
    Add(original, L"P");
    EXPECT_STREQ(original.GetZVValue(70)->GetPropertyName(), L"P");
}
