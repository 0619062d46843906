// Writing classes, their properties and relationship ends into a document.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using namespace zvtest;

namespace {

// Writes one class into a fresh document and returns its element.
class ClassWriterTest : public ::testing::Test {
protected:
    ClassWriterTest() { root = LoadElement(document, L"<ZVSchema xmlns='" + std::wstring(ZVXML_NAMESPACE_URI) + L"'/>"); }
    XMLNode Write(CZVClass* zvClass)
    {
        EXPECT_EQ(zvClass->WriteXML(document, root), 0);
        return Elements(root).back();
    }

    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    XMLNode root;
};

} // namespace

TEST_F(ClassWriterTest, AttributesFollowTheFlags)
{
    CZVClass* plain = new CZVClass(L"Plain", &schema, nullptr);
    schema.AddZVClass(plain);
    XMLNode element = Write(plain);
    EXPECT_EQ(element.LocalName(), L"ZVClass");
    EXPECT_EQ(element.NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(PlainAttributes(element), (Attributes{{L"typeName", L"Plain"}, {L"isDomainClass", L"False"}}));

    CZVClass* rich = schema.CreateZVClass(L"Rich", L"a rich class", 7);
    rich->SetDisplayLabel(L"Rich!");
    rich->SetBaseClass(L"Point");
    element = Write(rich);
    EXPECT_EQ(PlainAttributes(element), (Attributes{{L"typeName", L"Rich"},
                                                     {L"description", L"a rich class"},
                                                     {L"displayLabel", L"Rich!"},
                                                     {L"isCustomAttributeClass", L"True"},
                                                     {L"isDomainClass", L"True"},
                                                     {L"isStruct", L"True"}}));
    ASSERT_EQ(Elements(element).size(), 1u);
    EXPECT_EQ(Elements(element)[0].LocalName(), L"BaseClass");
    EXPECT_EQ(Elements(element)[0].Text(), L"Point");
}

TEST_F(ClassWriterTest, PropertyElementsFollowTheOccursTexts)
{
    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", 1);
    pipe->SetBaseClass(L"Point");
    pipe->AddZVProperty(L"Name", L"string", L"");
    pipe->AddZVProperty(L"Origin", L"Point", L"where")->SetReadOnly(1);
    pipe->AddZVProperty(L"Corners", L"Point", L"")->SetMaxOccurs(L"unbounded");
    pipe->AddZVProperty(L"Counts", L"int", L"")->SetMinOccurs(L"0");
    CZVProperty* fixed = pipe->AddZVProperty(L"Fixed", L"double", L"");
    fixed->SetMinOccurs(L"1");
    fixed->SetMaxOccurs(L"1");
    fixed->SetDisplayLabel(L"Fixed!");

    const std::vector<XMLNode> children = Elements(Write(pipe));
    EXPECT_EQ(LocalNames(children), (std::vector<std::wstring>{L"BaseClass", L"ZVProperty", L"ZVStructProperty",
                                                               L"ZVArrayProperty", L"ZVArrayProperty",
                                                               L"ZVArrayProperty"}));
    const Attributes expected[] = {
        {{L"propertyName", L"Name"}, {L"typeName", L"string"}},
        {{L"propertyName", L"Origin"}, {L"typeName", L"Point"}, {L"description", L"where"}, {L"readOnly", L"True"}},
        {{L"propertyName", L"Corners"}, {L"typeName", L"Point"}, {L"maxOccurs", L"unbounded"}, {L"isStruct", L"True"}},
        {{L"propertyName", L"Counts"}, {L"typeName", L"int"}, {L"minOccurs", L"0"}},
        {{L"propertyName", L"Fixed"},
         {L"typeName", L"double"},
         {L"displayLabel", L"Fixed!"},
         {L"minOccurs", L"1"},
         {L"maxOccurs", L"1"}},
    };
    for (std::size_t i = 0; i < std::size(expected) && i + 1 < children.size(); ++i) {
        EXPECT_EQ(PlainAttributes(children[i + 1]), expected[i]) << i;
    }
}

TEST_F(ClassWriterTest, RelationshipClassesCarryTheirBaseAsAnAttributeAndAlwaysASource)
{
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Pipeline", L"", 3);
    link->SetBaseClass(L"Link");
    link->SetStrength(L"holding");
    link->SetStrengthDirection(L"forward");
    XMLNode element = Write(link);
    EXPECT_EQ(element.LocalName(), L"ZVRelationshipClass");
    EXPECT_EQ(PlainAttributes(element), (Attributes{{L"typeName", L"Pipeline"},
                                                     {L"baseClass", L"Link"},
                                                     {L"isDomainClass", L"True"},
                                                     {L"strength", L"holding"},
                                                     {L"strengthDirection", L"forward"}}));
    // Without target classes there is no target end.
    std::vector<XMLNode> ends = Elements(element);
    EXPECT_EQ(LocalNames(ends), std::vector<std::wstring>{L"Source"});
    EXPECT_EQ(PlainAttributes(ends[0]), (Attributes{{L"cardinality", L""}, {L"roleLabel", L""}, {L"polymorphic", L"False"}}));
    EXPECT_TRUE(Elements(ends[0]).empty());

    // A source naming ZVObject names no class.
    CZVRelationshipClass* any = schema.CreateZVRelationshipClass(L"Any", L"", 1);
    any->m_source.m_className = L"ZVObject";
    ends = Elements(Write(any));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(Elements(ends[0]).empty());
}

TEST_F(ClassWriterTest, EndsNameTheirClassesRelativelyWithKeys)
{
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    units->CreateZVClass(L"Meter", L"", 1);
    CZVSchemaReference reference(units);
    schema.AddReference(reference);
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Measures", L"", 1);
    link->m_source.m_className = L"Point";
    link->m_source.m_keyVector = {L"k1", L"k2"};
    link->m_source.m_isPolymorphic = 1;
    link->m_source.m_roleLabel = L"measured";
    link->m_targets.m_classNames = {L"Meter", L"", L"ZVObject"};
    link->m_targets.m_keyVectors = {{L"id"}, {L"skipped"}, {}};
    link->m_targets.m_cardinality = L"1..*";
    schema.CreateZVClass(L"ZVObject", L"", 1);

    std::vector<XMLNode> ends = Elements(Write(link));
    ASSERT_EQ(LocalNames(ends), (std::vector<std::wstring>{L"Source", L"Target"}));
    EXPECT_EQ(Attribute(ends[0], L"polymorphic"), L"True");
    EXPECT_EQ(Attribute(ends[0], L"roleLabel"), L"measured");
    std::vector<XMLNode> sourceClass = Elements(ends[0]);
    ASSERT_EQ(sourceClass.size(), 1u);
    EXPECT_EQ(Attribute(sourceClass[0], L"class"), L"Point");
    std::vector<XMLNode> keys = Elements(Elements(sourceClass[0])[0]);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(Attribute(keys[0], L"name"), L"k1");
    EXPECT_EQ(Attribute(keys[1], L"name"), L"k2");

    EXPECT_EQ(Attribute(ends[1], L"cardinality"), L"1..*");
    std::vector<XMLNode> targets = Elements(ends[1]);
    ASSERT_EQ(targets.size(), 2u); // the empty name is skipped with its keys
    EXPECT_EQ(Attribute(targets[0], L"class"), L"u:Meter");
    EXPECT_EQ(Elements(targets[0]).size(), 1u);
    EXPECT_EQ(Attribute(targets[1], L"class"), L"ZVObject"); // no exception for targets
    EXPECT_TRUE(Elements(targets[1]).empty());
}

TEST_F(ClassWriterTest, MismatchedTargetListsFailAndLeaveTheTargetElement)
{
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Broken", L"", 1);
    link->m_targets.m_classNames = {L"Point", L"Point"};
    link->m_targets.m_keyVectors = {{}};
    EXPECT_ZV_THROW(link->WriteXML(document, root), ZVXMLLogicError,
                    L"Target of ZVRelationshipClass 'Broken' contains mismatched number of Class references and "
                    L"Key Vectors");
    EXPECT_EQ(LocalNames(Elements(Elements(root).back())), (std::vector<std::wstring>{L"Source", L"Target"}));

    ScratchFolder folder;
    EXPECT_THROW(schema.WriteXML(folder.WidePath("out.xml").c_str()), ZVXMLLogicError);
    EXPECT_TRUE(folder.Names().empty());
}
