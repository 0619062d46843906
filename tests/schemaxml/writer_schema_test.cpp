#include <zvxml/zvxml.h>

#include "schemaxml/written_tree.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ZVXML;
using namespace zvtest;

namespace {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// A class whose writer answers with a fixed non-zero result.
class RefusingClass : public CZVClass {
public:
    RefusingClass(const wchar_t* name, CZVSchema* schema) : CZVClass(name, schema, nullptr) {}
    int WriteXML(XMLDocument&, XMLNode) override { return 7; }
};

} // namespace

TEST(SchemaWriter, BareSchemaHasOnlyItsRootAttributes)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Pipes", L"");
    schema.SetVersionString(L"1.2");
    ASSERT_EQ(schema.WriteXML(folder.WidePath("Pipes.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("Pipes.xml"));
    ASSERT_TRUE(file.Root());
    EXPECT_EQ(file.Root().NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(PlainAttributes(file.Root()),
              (Attributes{{L"schemaName", L"Pipes"}, {L"version", L"01.02"}, {L"nameSpacePrefix", L"p"}}));
    EXPECT_EQ(Attribute(file.Root(), L"xmlns"), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(file.Root(), L"xmlns:zv"), ZVXML_NAMESPACE_URI);
    EXPECT_TRUE(file.Children().empty());
    const std::string text = ReadAll(folder.Path("Pipes.xml"));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
}

TEST(SchemaWriter, LabelAndDescriptionAreEscapedAndKeepTheirPlace)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Pipes", L"Pump's flow < 5 & \"more\"\nsecond line\tend");
    schema.SetDisplayLabel(L"<Label>");
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("out.xml"));
    EXPECT_EQ(AttributeNames(file.Root()), (std::vector<std::wstring>{L"schemaName", L"version", L"displayLabel",
                                                                        L"nameSpacePrefix", L"description"}));
    EXPECT_EQ(Attribute(file.Root(), L"description"), L"Pump's flow < 5 & \"more\"\nsecond line\tend");
    EXPECT_EQ(Attribute(file.Root(), L"displayLabel"), L"<Label>");
}

TEST(SchemaWriter, CraftedTextsCannotInjectAttributes)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Pipes", L"x' injected='yes");
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("out.xml"));
    EXPECT_EQ(Attribute(file.Root(), L"injected"), L"<absent>");
    EXPECT_EQ(Attribute(file.Root(), L"description"), L"x' injected='yes");
}

TEST(SchemaWriter, ReferencesBecomeDeclarationsAndElements)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Plant", L"");
    CZVSchemaReference reference;
    reference.m_schemaName = L"Base";
    reference.m_schemaPrefix = L"b";
    reference.m_versionString = L"1.2"; // written as held, declared normalised
    schema.AddReference(reference);
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("out.xml"));
    EXPECT_EQ(Attribute(file.Root(), L"xmlns:b"), L"Base.01.02");
    std::vector<XMLNode> children = file.Children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].LocalName(), L"ZVSchemaReference");
    EXPECT_EQ(children[0].NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(PlainAttributes(children[0]),
              (Attributes{{L"name", L"Base"}, {L"version", L"1.2"}, {L"prefix", L"b"}}));

    CZVSchemaReference broken;
    broken.m_schemaName = L"Bad";
    broken.m_schemaPrefix = L"x";
    broken.m_versionString = L"12";
    schema.AddReference(broken);
    EXPECT_THROW(schema.WriteXML(folder.WidePath("bad.xml").c_str()), ZVXMLFormatError);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.xml")));
}

TEST(SchemaWriter, CustomAttributeClassesComeFirst)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.CreateZVClass(L"Pipe", L"", 1);
    schema.CreateZVRelationshipClass(L"TaggedLink", L"", 5);
    schema.CreateZVClass(L"Options", L"", 4);
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("out.xml"));
    std::vector<std::wstring> order;
    for (XMLNode child : file.Children()) {
        order.push_back(child.LocalName() + L":" + Attribute(child, L"typeName"));
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"ZVClass:Options", L"ZVRelationshipClass:TaggedLink",
                                                L"ZVClass:Pipe", L"ZVRelationshipClass:Link"}));
}

// A relationship class names its base in an attribute resolved as soon as it
// is read: a custom-attribute relationship class derived from an ordinary one
// is written after its base, so the file reads back.
TEST(SchemaWriter, ARelationshipBaseComesBeforeItsCustomAttributeDerivative)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVRelationshipClass(L"Other", L"", 1);
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.CreateZVRelationshipClass(L"TaggedLink", L"", 5)->SetBaseClass(L"Link");
    schema.CreateZVClass(L"Options", L"", 4);
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("out.xml"));
    std::vector<std::wstring> order;
    for (XMLNode child : file.Children()) {
        order.push_back(Attribute(child, L"typeName"));
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"Options", L"Link", L"TaggedLink", L"Other"}));
    CZVSchema again(L"temporary", L"temporary", nullptr);
    EXPECT_EQ(again.ReadXML(folder.WidePath("out.xml").c_str()), 0);
    EXPECT_STREQ(again.FindZVRelationshipClass(L"TaggedLink", 4)->GetBaseClass(), L"Link");
}

TEST(SchemaWriter, ANestedWriterResultStopsBeforeAnythingIsSaved)
{
    ScratchFolder folder;
    const std::filesystem::path target = folder.Path("existing.xml");
    std::ofstream(target) << "earlier content";
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"First", L"", 1);
    schema.AddZVClass(new RefusingClass(L"Second", &schema));
    EXPECT_EQ(schema.WriteXML(target.wstring().c_str()), 7);
    EXPECT_EQ(ReadAll(target), "earlier content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.xml"});
}
