// Custom attributes written where their item is, in the namespace of the
// schema that defines their class.
#include <zvxml/zvxml.h>

#include "schema_file_support.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using namespace zvtest;

namespace {

// Custom (1.0) holds the custom-attribute class Options and the struct
// Extent; Plant references it and decorates its class Pipe.
class CustomAttributeWriterTest : public ::testing::Test {
protected:
    CustomAttributeWriterTest()
    {
        custom->SetVersionString(L"1.0");
        extent = custom->CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        extent->AddZVProperty(L"X", L"double", L"");
        extent->AddZVProperty(L"Y", L"double", L"");
        options = custom->CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        options->AddZVProperty(L"Hidden", L"boolean", L"");
        options->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        options->AddZVProperty(L"Size", L"Extent", L"");
        options->AddZVProperty(L"Regions", L"Extent", L"")->SetMaxOccurs(L"unbounded");
        CZVSchemaReference reference(custom);
        plant.AddReference(reference);
        pipe = plant.CreateZVClass(L"Pipe", L"", 1);
    }
    ~CustomAttributeWriterTest() override { CZVSchema::FreeRecycledValues(); }

    XMLNode WriteAndFindPipe()
    {
        EXPECT_EQ(plant.WriteXML(folder.WidePath("plant.xml").c_str()), 0);
        file.reset(new WrittenFile(folder.WidePath("plant.xml")));
        for (XMLNode child : file->Children()) {
            if (Attribute(child, L"typeName") == L"Pipe") {
                return child;
            }
        }
        return XMLNode();
    }

    ScratchFolder folder;
    std::unique_ptr<WrittenFile> file;
    CZVSchema plant{L"p", L"Plant", L""};
    CZVSchema* custom = new CZVSchema(L"c", L"Custom", L"");
    CZVClass* extent = nullptr;
    CZVClass* options = nullptr;
    CZVClass* pipe = nullptr;
};

} // namespace

TEST_F(CustomAttributeWriterTest, AnItemWithoutCustomAttributesHasNoContainer)
{
    XMLNode written = WriteAndFindPipe();
    EXPECT_TRUE(Elements(written).empty());
}

TEST_F(CustomAttributeWriterTest, InstancesAndValuesUseTheirOwnSchemasNamespace)
{
    pipe->CreateArrayMemberForCustomAttribute(options, L"Regions")->SetPropertyValue(L"X", 3.0);
    CZVCustomAttribute* attribute = pipe->GetZVCustomAttribute(0);
    attribute->SetInstanceID(L"42");
    attribute->SetPropertyValue(L"Hidden", L"true");
    auto* tags = static_cast<ZVArrayValue*>(ZVValueBase::CreateZVValueForZVProperty(options, options->FindProperty(L"Tags")));
    tags->PushBack(new CZVValue(options->FindProperty(L"Tags"), L"a"));
    tags->PushBack(nullptr);
    tags->PushBack(new CZVValue(options->FindProperty(L"Tags"), L"b"));
    tags->PushBack(new CZVValue(options->FindProperty(L"Tags"), L"c"));
    attribute->AddZVValue(tags);
    auto* size = new ZVStructValue(options->FindProperty(L"Size"));
    size->GetValue()->SetPropertyValue(L"X", 1.5);
    size->GetValue()->SetPropertyValue(L"Y", 2.0);
    attribute->AddZVValue(size);
    auto* secondSize = new ZVStructValue(options->FindProperty(L"Size"));
    attribute->AddZVValue(secondSize); // stored as Size2
    pipe->AddZVCustomAttribute(new CZVCustomAttribute(options)); // no id, no values

    std::vector<XMLNode> containers = Elements(WriteAndFindPipe());
    ASSERT_EQ(containers.size(), 1u);
    EXPECT_EQ(containers[0].LocalName(), L"ZVCustomAttributes");
    EXPECT_EQ(containers[0].NamespaceURI(), ZVXML_NAMESPACE_URI);
    std::vector<XMLNode> instances = Elements(containers[0]);
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[0].LocalName(), L"Options");
    EXPECT_EQ(instances[0].NamespaceURI(), L"Custom.01.00");
    EXPECT_EQ(Attribute(instances[0], L"id"), L"42");
    EXPECT_EQ(Attribute(instances[1], L"id"), L"<absent>");
    EXPECT_TRUE(Elements(instances[1]).empty());

    std::vector<XMLNode> values = Elements(instances[0]);
    EXPECT_EQ(LocalNames(values), (std::vector<std::wstring>{L"Regions", L"Hidden", L"Tags", L"Size", L"Size2"}));
    for (XMLNode value : values) {
        EXPECT_EQ(value.NamespaceURI(), L"Custom.01.00");
    }
    EXPECT_EQ(values[1].Text(), L"true");
    std::vector<XMLNode> members = Elements(values[2]);
    EXPECT_EQ(LocalNames(members), (std::vector<std::wstring>{L"string", L"string", L"string"}));
    EXPECT_EQ(members[1].Text(), L"b");
    std::vector<XMLNode> extentValues = Elements(values[3]);
    EXPECT_EQ(LocalNames(extentValues), (std::vector<std::wstring>{L"X", L"Y"}));
    EXPECT_EQ(extentValues[0].Text(), L"1.5");
    EXPECT_TRUE(Elements(values[4]).empty());

    // An array of structs: one Extent element per member, holding its values.
    std::vector<XMLNode> regions = Elements(values[0]);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].LocalName(), L"Extent");
    EXPECT_EQ(LocalNames(Elements(regions[0])), std::vector<std::wstring>{L"X"});
}
