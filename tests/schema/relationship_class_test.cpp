#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

TEST(RelationshipClass, StartsEmptyWithEndsPointingBack)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVRelationshipClass connects(L"Connects", &schema, nullptr);
    EXPECT_STREQ(connects.GetStrength(), L"");
    EXPECT_STREQ(connects.GetStrengthDirection(), L"");
    EXPECT_EQ(connects.m_source.m_pRelationshipClass, &connects);
    EXPECT_EQ(connects.m_targets.m_pRelationshipClass, &connects);
    EXPECT_EQ(connects.m_source.m_isPolymorphic, 0);
    EXPECT_EQ(connects.m_targets.m_isPolymorphic, 0);
    EXPECT_TRUE(connects.m_targets.m_classNames.empty());
    EXPECT_ZV_THROW(connects.SetStrength(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL strength to CZVRelationshipClass::SetStrength");
}

TEST(RelationshipClass, CopiesKeepTheirOwnBackPointers)
{
    CZVSchema schema(L"p", L"Plant", L"");
    auto* original = new CZVRelationshipClass(L"Connects", &schema, nullptr);
    original->SetStrength(L"embedding");
    original->m_source.m_className = L"Pump";
    original->m_source.m_keyVector = {L"Tag"};
    original->m_source.m_roleLabel = L"feeds";
    original->m_targets.m_classNames = {L"Pipe", L"Valve"};
    original->m_targets.m_keyVectors = {{L"Id"}, {}};
    original->m_targets.m_cardinality = L"0..*";

    CZVRelationshipClass copy(*original);
    EXPECT_EQ(copy.m_source.m_pRelationshipClass, &copy);
    EXPECT_EQ(copy.m_targets.m_pRelationshipClass, &copy);
    CZVRelationshipClass assigned(L"Other", &schema, nullptr);
    assigned = *original;
    EXPECT_EQ(assigned.m_source.m_pRelationshipClass, &assigned);
    delete original;

    EXPECT_STREQ(copy.GetStrength(), L"embedding");
    EXPECT_EQ(copy.m_source.m_className, L"Pump");
    EXPECT_EQ(copy.m_source.m_keyVector, std::vector<std::wstring>{L"Tag"});
    EXPECT_EQ(copy.m_targets.m_classNames, (std::vector<std::wstring>{L"Pipe", L"Valve"}));
    EXPECT_EQ(copy.m_targets.m_keyVectors.size(), 2u);
    EXPECT_EQ(assigned.m_targets.m_cardinality, L"0..*");
    EXPECT_STREQ(assigned.GetTypeName(), L"Connects");
}

TEST(LegacyConstraint, KeysAndNullSetters)
{
    std::wstring name = L"Pump";
    CZVConstraint withoutKey(name, nullptr);
    CZVConstraint withKey(name, L"Tag");
    EXPECT_EQ(withoutKey.GetZVRelationshipKeyCount(), 0u);
    ASSERT_EQ(withKey.GetZVRelationshipKeyCount(), 1u);
    EXPECT_EQ(withKey.GetZVRelationshipKey(0), L"Tag");
    withKey.SetClassName(nullptr);
    withKey.SetRoleLabel(nullptr);
    withKey.AddZVRelationshipKey(nullptr);
    EXPECT_STREQ(withKey.GetClassNameW(), L"Pump");
    EXPECT_STREQ(withKey.GetRoleLabel(), L"");
    EXPECT_EQ(withKey.GetZVRelationshipKeyCount(), 1u);
}

TEST(LegacyConstraint, PairOwnsAndReplacesItsConstraints)
{
    // Under the sanitizers, a double release or a leak here fails the run.
    CZVRelationshipConstraint pair;
    auto* first = new CZVConstraint();
    auto* second = new CZVConstraint();
    pair.SetSourceConstraint(first);
    pair.SetSourceConstraint(first); // already held: kept
    EXPECT_EQ(pair.GetSourceConstraint(), first);
    pair.SetSourceConstraint(second); // releases the first
    EXPECT_EQ(pair.GetSourceConstraint(), second);
    pair.SetTargetConstraint(new CZVConstraint());
    {
        CZVRelationshipConstraint copy(pair);
        CZVRelationshipConstraint assigned;
        assigned = pair;
        EXPECT_EQ(copy.GetSourceConstraint(), second);
        EXPECT_EQ(assigned.GetTargetConstraint(), pair.GetTargetConstraint());
    }
    second->SetClassName(L"still alive");
    EXPECT_STREQ(pair.GetSourceConstraint()->GetClassNameW(), L"still alive");
    pair.SetTargetConstraint(nullptr);
    EXPECT_EQ(pair.GetTargetConstraint(), nullptr);
}
