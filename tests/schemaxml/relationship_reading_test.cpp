// Reading relationship classes: the two ends, and the legacy constraint pairs
// upgraded into them.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using zvtest::LoadElement;

namespace {

using Names = std::vector<std::wstring>;

// Root <- A <- B, A <- D; Loner, X and Y stand alone.
class RelationshipReading : public ::testing::Test {
protected:
    RelationshipReading() : schema(L"p", L"Plant", L"")
    {
        for (const wchar_t* name : {L"Root", L"A", L"B", L"D", L"Loner", L"X", L"Y"}) {
            schema.CreateZVClass(name, L"", ZVCLASSTYPE_DOMAIN);
        }
        Class(L"A")->SetBaseClass(L"Root");
        Class(L"B")->SetBaseClass(L"A");
        Class(L"D")->SetBaseClass(L"A");
        connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
    }

    CZVClass* Class(const wchar_t* name) { return schema.FindZVClass(name, ZVCLASSTYPE_ANY); }

    void Read(const std::wstring& text)
    {
        XMLDocument document;
        EXPECT_EQ(connects->ReadXMLContents(&schema, document, LoadElement(document, text.c_str())), 0);
    }

    void ExpectReadFails(const std::wstring& text, const std::wstring& message)
    {
        SCOPED_TRACE(text);
        XMLDocument document;
        XMLNode element = LoadElement(document, text.c_str());
        EXPECT_ZV_THROW(connects->ReadXMLContents(&schema, document, element), ZVXMLFormatError, message);
    }

    CZVSchema schema;
    CZVRelationshipClass* connects;
};

std::wstring Relationship(const std::wstring& content)
{
    return L"<ZVRelationshipClass>" + content + L"</ZVRelationshipClass>";
}

std::wstring Constraint(const wchar_t* element, const std::wstring& className, const Names& keys,
                        const wchar_t* roleLabel)
{
    std::wstring text = std::wstring(L"<") + element + L" className='" + className + L"'";
    if (roleLabel != nullptr) {
        text += std::wstring(L" roleLabel='") + roleLabel + L"'";
    }
    text += L">";
    for (const std::wstring& key : keys) {
        text += L"<ZVRelationshipKey propertyName='" + key + L"'/>";
    }
    return text + L"</" + element + L">";
}

std::wstring Pair(const std::wstring& source, const std::wstring& target, const Names& sourceKeys = {},
                  const Names& targetKeys = {}, const wchar_t* sourceRole = nullptr,
                  const wchar_t* targetRole = nullptr)
{
    return L"<ZVRelationshipConstraint>" + Constraint(L"ZVSourceConstraint", source, sourceKeys, sourceRole) +
           Constraint(L"ZVTargetConstraint", target, targetKeys, targetRole) + L"</ZVRelationshipConstraint>";
}

std::wstring Legacy(const std::wstring& pairs)
{
    return Relationship(L"<ZVRelationshipConstraints>" + pairs + L"</ZVRelationshipConstraints>");
}

} // namespace

TEST_F(RelationshipReading, TheSourceEndTakesOneClassAndItsKeys)
{
    Read(Relationship(L"<Source cardinality='0..1' roleLabel='feeds' polymorphic='TRUE'><!-- note -->"
                      L"<Class class='X'><Key><Property name='Tag'/><Property name='Site'/></Key><Other/></Class>"
                      L"</Source>"));
    EXPECT_EQ(connects->m_source.m_cardinality, L"0..1");
    EXPECT_EQ(connects->m_source.m_roleLabel, L"feeds");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 1);
    EXPECT_EQ(connects->m_source.m_className, L"X");
    EXPECT_EQ(connects->m_source.m_keyVector, (Names{L"Tag", L"Site"}));
    // A second "Source": attributes overwrite, the class is replaced (not by
    // a "Class" without one), keys accumulate.
    Read(Relationship(L"<Source polymorphic='no'><Class class='Y'><Key><Property name='Id'/></Key></Class>"
                      L"<Class/></Source>"));
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 0);
    EXPECT_EQ(connects->m_source.m_roleLabel, L"feeds");
    EXPECT_EQ(connects->m_source.m_className, L"Y");
    EXPECT_EQ(connects->m_source.m_keyVector, (Names{L"Tag", L"Site", L"Id"}));
}

TEST_F(RelationshipReading, TheTargetEndKeepsOneKeyListPerClass)
{
    Read(Relationship(L"<Target cardinality='0..*' roleLabel='is fed by' polymorphic='True'>"
                      L"<Class class='X'><Key><Property name='Tag'/></Key></Class><Class class='Y'/>"
                      L"<!-- between --><Class class='Loner'><Key><Property name='A'/><Property name='B'/></Key>"
                      L"</Class></Target>"));
    EXPECT_EQ(connects->m_targets.m_cardinality, L"0..*");
    EXPECT_EQ(connects->m_targets.m_roleLabel, L"is fed by");
    EXPECT_EQ(connects->m_targets.m_isPolymorphic, 1);
    EXPECT_EQ(connects->m_targets.m_classNames, (Names{L"X", L"Y", L"Loner"}));
    EXPECT_EQ(connects->m_targets.m_keyVectors, (std::vector<Names>{{L"Tag"}, {}, {L"A", L"B"}}));
}

TEST_F(RelationshipReading, StrengthTextsAndTheClassPartAreRead)
{
    Read(L"<ZVRelationshipClass strength='embedding' strengthDirection='backward' typeName='Ignored'>"
         L"<ZVProperty propertyName='Since' typeName='dateTime'/><Unknown/></ZVRelationshipClass>");
    EXPECT_STREQ(connects->GetStrength(), L"embedding");
    EXPECT_STREQ(connects->GetStrengthDirection(), L"backward");
    EXPECT_STREQ(connects->GetTypeName(), L"Connects");
    ASSERT_EQ(connects->GetZVPropertyCount(), 1u);
}

TEST_F(RelationshipReading, EveryEndMessageNamesTheRelationshipClass)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"<Source kind='x'/>", L"Unrecognized attribute 'kind' ZVRelationshipClass\\Source element of 'Connects'."},
        {L"<Target kind='x'/>", L"Unrecognized attribute 'kind' ZVRelationshipClass\\Target element of 'Connects'."},
        {L"<Source><Class class='X' key='x'/></Source>",
         L"Unrecognized attribute 'key' ZVRelationshipClass\\Source\\Class element of 'Connects'."},
        {L"<Target><Class key='x' class='X'/></Target>",
         L"Unrecognized attribute 'key' ZVRelationshipClass\\Target\\Class element of 'Connects'."},
        {L"<Source><Class class='X'><Key><Property name='a' kind='b'/></Key></Class></Source>",
         L"Unrecognized attribute 'kind' in ZVRelationshipClass\\Source\\Class\\Key\\Property element of "
         L"'Connects'."},
        {L"<Target><Class class='X'><Key><Property kind='b'/></Key></Class></Target>",
         L"Unrecognized attribute 'kind' in ZVRelationshipClass\\Target\\Class\\Key\\Property element of "
         L"'Connects'."},
        {L"<Target><Class/></Target>",
         L"ZVRelationshipClass\\Target\\Class element is empty in ZVRelationshipClass 'Connects"},
        {L"<Source>loose text</Source>",
         L"Unrecognized element <#text> in <Source> element of ZVRelationshipClass 'Connects'."},
        {L"<Target><x:Classes xmlns:x='urn:x'/></Target>",
         L"Unrecognized element <Classes> in <Target> element of ZVRelationshipClass 'Connects'."},
    };
    for (const auto& [content, message] : cases) {
        ExpectReadFails(Relationship(content), message);
    }
    // Nothing half read is kept out of step: a refused target class adds no key list either.
    EXPECT_EQ(connects->m_targets.m_classNames.size(), connects->m_targets.m_keyVectors.size());
}

TEST_F(RelationshipReading, EndsCarryCustomAttributes)
{
    CZVClass* note = schema.CreateZVClass(L"Note", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    note->AddZVProperty(L"Text", L"string", L"");
    Read(Relationship(L"<Source><ZVCustomAttributes><Note><Text>s</Text></Note></ZVCustomAttributes></Source>"
                      L"<Target><ZVCustomAttributes><Note><Text>t</Text></Note><Note/></ZVCustomAttributes>"
                      L"</Target>"));
    ASSERT_EQ(connects->m_source.Common().GetZVCustomAttributeCount(), 1u);
    EXPECT_STREQ(connects->m_source.Common().GetZVCustomAttribute(0)->GetPropertyValue(L"Text"), L"s");
    ASSERT_EQ(connects->m_targets.Common().GetZVCustomAttributeCount(), 2u);
    EXPECT_STREQ(connects->m_targets.Common().GetZVCustomAttribute(0)->GetPropertyValue(L"Text"), L"t");
}

TEST_F(RelationshipReading, LegacyPairsGeneraliseTheSourceToACommonBase)
{
    Read(Legacy(Pair(L"B", L"X", {L"bKey"}, {L"xKey"}, L"first source", L"first target") +
                L"<!-- not a pair -->" + Pair(L"D", L"Y", {L"dKey"}, {L"yKey"}, L"second", L"second")));
    EXPECT_EQ(connects->m_source.m_className, L"A");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 1);
    EXPECT_EQ(connects->m_source.m_roleLabel, L"first source");
    EXPECT_EQ(connects->m_source.m_keyVector, Names{L"bKey"});
    EXPECT_EQ(connects->m_targets.m_roleLabel, L"first target");
    EXPECT_EQ(connects->m_targets.m_classNames, (Names{L"X", L"Y"}));
    EXPECT_EQ(connects->m_targets.m_keyVectors, (std::vector<Names>{{L"xKey"}, {L"yKey"}}));
}

TEST_F(RelationshipReading, LegacyPairsNamingTheSameClassesChangeNothing)
{
    Read(Legacy(Pair(L"B", L"X", {L"k1"}, {L"t1"}) + Pair(L"B", L"X", {L"k2"}, {L"t2"})));
    EXPECT_EQ(connects->m_source.m_className, L"B");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 0);
    EXPECT_EQ(connects->m_source.m_keyVector, Names{L"k1"});
    EXPECT_EQ(connects->m_targets.m_classNames, Names{L"X"});
    EXPECT_EQ(connects->m_targets.m_keyVectors, std::vector<Names>{{L"t1"}});
}

TEST_F(RelationshipReading, TheCommonClassDependsOnTheOrderOfThePairs)
{
    Read(Legacy(Pair(L"A", L"X") + Pair(L"B", L"X")));
    EXPECT_EQ(connects->m_source.m_className, L"A");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 1);

    // B first: A itself is no candidate, only its bases are.
    CZVRelationshipClass* reversed = schema.CreateZVRelationshipClass(L"Reversed", L"", ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    reversed->ReadXMLContents(&schema, document, LoadElement(document, Legacy(Pair(L"B", L"X") + Pair(L"A", L"X")).c_str()));
    EXPECT_EQ(reversed->m_source.m_className, L"Root");
    EXPECT_EQ(reversed->m_source.m_isPolymorphic, 1);

    std::wstring common;
    EXPECT_EQ(connects->FindCommonClass(&schema, L"B", L"Root", common), 1);
    EXPECT_EQ(common, L"ZVObject"); // Root has no base class
    EXPECT_EQ(connects->FindCommonClass(&schema, L"Root", L"B", common), 1);
    EXPECT_EQ(common, L"Root");
    EXPECT_EQ(connects->FindCommonClass(&schema, L"B", L"B", common), 0);
    EXPECT_EQ(common, L"B");
    EXPECT_EQ(connects->FindCommonClass(&schema, L"ZVObject", L"Unknown", common), 1);
    EXPECT_EQ(common, L"ZVObject");
}

TEST_F(RelationshipReading, SourcesWithoutACommonBaseBecomeZVObjectForGood)
{
    Read(Legacy(Pair(L"Loner", L"X") + Pair(L"B", L"X") + Pair(L"B", L"Y")));
    EXPECT_EQ(connects->m_source.m_className, L"ZVObject");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 1);
    EXPECT_EQ(connects->m_targets.m_classNames, (Names{L"X", L"Y"}));
}

TEST_F(RelationshipReading, UnknownLegacyClassesGoToTheResolutionHelper)
{
    ExpectReadFails(Legacy(Pair(L"ext:Pump", L"X")),
                    L"ZVRelationshipClass 'Connects' refers to ZVClass 'ext:Pump', which does not exist in the "
                    L"ZVSchema 'Plant' or its referenced ZVSchemas.");
    schema.SetZVClassResolutionHelper([](CZVSchema* asked, const wchar_t* name) -> CZVClass* {
        return std::wstring(name) == L"ext:Pump" ? asked->FindZVClass(L"Loner", ZVCLASSTYPE_ANY) : nullptr;
    });
    CZVRelationshipClass* resolved = schema.CreateZVRelationshipClass(L"Resolved", L"", ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    resolved->ReadXMLContents(&schema, document, LoadElement(document, Legacy(Pair(L"ext:Pump", L"X")).c_str()));
    EXPECT_EQ(resolved->m_source.m_className, L"Loner");
    ExpectReadFails(Legacy(Pair(L"X", L"ext:Other")),
                    L"ZVRelationshipClass 'Connects' refers to ZVClass 'ext:Other', which does not exist in the "
                    L"ZVSchema 'Plant' or its referenced ZVSchemas.");
}

namespace {

struct HandlerCalls {
    std::vector<ZVArrayValue*> seen; // *arrayValue at each call
    std::vector<std::wstring> sourceClasses;
    int refuseAt = -1;
    ZVArrayValue* stored = nullptr;
};
HandlerCalls* g_calls = nullptr;

int RecordingHandler(CZVSchema*, CZVRelationshipClass* relationshipClass, CZVRelationshipConstraint* pair,
                     ZVArrayValue** arrayValue)
{
    g_calls->seen.push_back(*arrayValue);
    g_calls->sourceClasses.push_back(pair->GetSourceConstraint()->GetClassNameW());
    EXPECT_FALSE(relationshipClass->m_targets.m_classNames.empty()); // the ends are upgraded first
    *arrayValue = g_calls->stored;
    return static_cast<int>(g_calls->seen.size()) - 1 == g_calls->refuseAt ? 1 : 0;
}

} // namespace

TEST_F(RelationshipReading, TheUpgradeHandlerSeesEveryPairAndMayRefuseOne)
{
    HandlerCalls calls;
    g_calls = &calls;
    CZVProperty marker(Class(L"X"));
    marker.SetPropertyName(L"Marker");
    ZVArrayValue state(&marker);
    calls.stored = &state;
    schema.SetZVRelationshipUpgradeHandler(&RecordingHandler);
    // The variable starts out NULL for each element and carries what the
    // handler left in it from pair to pair.
    Read(Legacy(Pair(L"B", L"X") + Pair(L"D", L"X")));
    Read(Legacy(Pair(L"A", L"Y")));
    EXPECT_EQ(calls.seen, (std::vector<ZVArrayValue*>{nullptr, &state, nullptr}));
    EXPECT_EQ(calls.sourceClasses, (Names{L"B", L"D", L"A"}));

    calls.refuseAt = 4;
    CZVRelationshipClass* refused = schema.CreateZVRelationshipClass(L"Refused", L"", ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    XMLNode element =
        LoadElement(document, Legacy(Pair(L"B", L"X") + Pair(L"Loner", L"Y") + Pair(L"B", L"X")).c_str());
    EXPECT_ZV_THROW(refused->ReadXMLContents(&schema, document, element), ZVXMLLogicError,
                    L"Problem while attempting to upgrade legacy ZVRelationshipConstraint element");
    EXPECT_EQ(calls.seen.size(), 5u); // stopped at the refused pair
    // Both ends were updated from the refused pair before the handler saw it.
    EXPECT_EQ(refused->m_source.m_className, L"ZVObject");
    EXPECT_EQ(refused->m_targets.m_classNames, (Names{L"X", L"Y"}));
    g_calls = nullptr;
}

TEST_F(RelationshipReading, APairLackingAnEndIsRefused)
{
    const std::wstring message = L"ZVRelationshipConstraint element of ZVRelationshipClass 'Connects' lacks a "
                                 L"ZVSourceConstraint or ZVTargetConstraint.";
    ExpectReadFails(Legacy(L"<Pair>" + Constraint(L"ZVSourceConstraint", L"B", {}, nullptr) + L"</Pair>"), message);
    ExpectReadFails(Legacy(L"<Pair><ZVTargetConstraint className='X'/><Other/></Pair>"), message);
    ExpectReadFails(Legacy(L"<Empty/>"), message);
    // Comments and text are no pairs at all.
    Read(Legacy(L"<!-- nothing -->"));
    EXPECT_TRUE(connects->m_targets.m_classNames.empty());
}

TEST_F(RelationshipReading, LegacyConstraintsReadTheirOwnAttributesAndKeys)
{
    XMLDocument document;
    CZVRelationshipConstraint pair;
    EXPECT_EQ(pair.ReadXML(document, LoadElement(document,
                                                 L"<Pair><ZVSourceConstraint className='Old'/>"
                                                 L"<ZVSourceConstraint className='B' roleLabel='r' other='x'>"
                                                 L"<ZVRelationshipKey propertyName='k1'/><ZVRelationshipKey/>"
                                                 L"<ZVRelationshipKey name='no' propertyName='k3'/><Else/>"
                                                 L"</ZVSourceConstraint></Pair>")),
              0);
    CZVConstraint* source = pair.GetSourceConstraint();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(pair.GetTargetConstraint(), nullptr);
    EXPECT_STREQ(source->GetClassNameW(), L"B"); // a later one replaces an earlier one
    EXPECT_STREQ(source->GetRoleLabel(), L"r");
    ASSERT_EQ(source->GetZVRelationshipKeyCount(), 3u);
    EXPECT_EQ(source->GetZVRelationshipKey(0), L"k1");
    EXPECT_EQ(source->GetZVRelationshipKey(1), L"");
    EXPECT_EQ(source->GetZVRelationshipKey(2), L"k3");
}
