#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

using Names = std::vector<std::wstring>;

TEST(RelationshipClass, EndsPointBackToTheirClassAlsoInCopies)
{
    CZVSchema schema(L"p", L"Plant", L"");
    auto* original = new CZVRelationshipClass(L"Connects", &schema, nullptr);
    EXPECT_EQ(original->m_source.m_pRelationshipClass, original);
    EXPECT_EQ(original->m_targets.m_pRelationshipClass, original);
    EXPECT_EQ(original->m_source.m_isPolymorphic + original->m_targets.m_isPolymorphic, 0); // set, not left as found
    original->SetStrength(L"embedding");
    original->m_source.m_className = L"Pump";
    original->m_targets.m_classNames = {L"Pipe", L"Valve"};

    CZVRelationshipClass copy(*original);
    CZVRelationshipClass assigned(L"Other", &schema, nullptr);
    assigned = *original;
    delete original;
    for (CZVRelationshipClass* held : {&copy, &assigned}) {
        EXPECT_EQ(held->m_source.m_pRelationshipClass, held);
        EXPECT_EQ(held->m_targets.m_pRelationshipClass, held);
        EXPECT_STREQ(held->GetStrength(), L"embedding");
        EXPECT_EQ(held->m_source.m_className, L"Pump");
        EXPECT_EQ(held->m_targets.m_classNames, (Names{L"Pipe", L"Valve"}));
    }
}

// An end copied or assigned into a relationship class is that class's end;
// a stand-alone copy belongs to none. The end readers name the class.
TEST(RelationshipClass, EndsAssignedIntoAnotherClassBelongToIt)
{
    CZVSchema schema(L"p", L"Plant", L"");
    auto* feeds = new CZVRelationshipClass(L"Feeds", &schema, nullptr);
    feeds->m_source.m_roleLabel = L"feeder";
    feeds->m_targets.m_classNames = {L"Pipe"};
    CZVRelationshipClass drains(L"Drains", &schema, nullptr);
    drains.m_source = feeds->m_source;
    drains.m_targets = feeds->m_targets;
    CZVSource looseSource(feeds->m_source);
    CZVTargets looseTargets(feeds->m_targets);
    CZVSource assignedSource;
    assignedSource = feeds->m_source;
    delete feeds;
    EXPECT_EQ(drains.m_source.m_pRelationshipClass, &drains);
    EXPECT_EQ(drains.m_targets.m_pRelationshipClass, &drains);
    EXPECT_EQ(drains.m_source.m_roleLabel, L"feeder");
    EXPECT_EQ(drains.m_targets.m_classNames, Names{L"Pipe"});
    EXPECT_EQ(looseSource.m_pRelationshipClass, nullptr);
    EXPECT_EQ(looseTargets.m_pRelationshipClass, nullptr);
    EXPECT_EQ(assignedSource.m_pRelationshipClass, nullptr);

    XMLDocument document;
    ASSERT_TRUE(document.LoadXML(L"<ZVRelationshipClass><Source size='1'/></ZVRelationshipClass>"));
    EXPECT_ZV_THROW(drains.ReadXMLContents(&schema, document, document.FirstChild()), ZVXMLFormatError,
                    L"Unrecognized attribute 'size' ZVRelationshipClass\\Source element of 'Drains'.");
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
