// Writing a schema file: the root, references, the order of classes, and
// saving that never leaves a half-written file behind.
#include "schema_file_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ZVXML;
using namespace zvtest;

namespace {

// A class whose writer answers with a fixed non-zero result.
class RefusingClass : public CZVClass {
public:
    RefusingClass(const wchar_t* name, CZVSchema* schema) : CZVClass(name, schema, nullptr) {}
    int WriteXML(XMLDocument&, XMLNode) override { return 7; }
};

// "element:typeName" for each child of the written root.
std::vector<std::wstring> Order(const WrittenFile& file)
{
    std::vector<std::wstring> order;
    for (XMLNode child : file.Children()) {
        order.push_back(child.LocalName() + L":" + Attribute(child, L"typeName"));
    }
    return order;
}

// 0 when writing a small schema to `path` threw the checked-call error.
int WriteExpectingFailure(const std::wstring& path)
{
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"Pipe", L"", 1)->AddZVProperty(L"Length", L"double", L"");
    try {
        schema.WriteXML(path.c_str());
        return 1;
    } catch (const ZVXMLRuntimeError& e) {
        return IsCheckedCallError(e.Message(), L"pXmlDoc->save(_variant_t(zvSchemaXmlFile))") ? 0 : 2;
    }
}

} // namespace

TEST(SchemaWriter, BareSchemaHasOnlyItsRootAttributes)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Pipes", L"");
    schema.SetVersionString(L"1.2");
    ASSERT_EQ(schema.WriteXML(folder.WidePath("Pipes.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("Pipes.xml"));
    EXPECT_EQ(file.Root().LocalName(), L"ZVSchema");
    EXPECT_EQ(file.Root().NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(PlainAttributes(file.Root()),
              (Attributes{{L"schemaName", L"Pipes"}, {L"version", L"01.02"}, {L"nameSpacePrefix", L"p"}}));
    EXPECT_EQ(Attribute(file.Root(), L"xmlns"), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(file.Root(), L"xmlns:zv"), ZVXML_NAMESPACE_URI);
    EXPECT_TRUE(file.Children().empty());
    EXPECT_EQ(ReadAll(folder.Path("Pipes.xml")).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
}

TEST(SchemaWriter, LabelAndDescriptionAreEscapedKeepTheirPlaceAndInjectNothing)
{
    ScratchFolder folder;
    const wchar_t* description = L"Pump's flow < 5 & \"more\"\nsecond line\tend x' injected='yes";
    CZVSchema schema(L"p", L"Pipes", description);
    schema.SetDisplayLabel(L"<Label>");
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    EXPECT_EQ(PlainAttributes(WrittenFile(folder.WidePath("out.xml")).Root()),
              (Attributes{{L"schemaName", L"Pipes"},
                          {L"version", L"00.00"},
                          {L"displayLabel", L"<Label>"},
                          {L"nameSpacePrefix", L"p"},
                          {L"description", description}}));
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
    EXPECT_EQ(PlainAttributes(children[0]), (Attributes{{L"name", L"Base"}, {L"version", L"1.2"}, {L"prefix", L"b"}}));

    CZVSchemaReference broken;
    broken.m_schemaName = L"Bad";
    broken.m_schemaPrefix = L"x";
    broken.m_versionString = L"12";
    schema.AddReference(broken);
    EXPECT_THROW(schema.WriteXML(folder.WidePath("bad.xml").c_str()), ZVXMLFormatError);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.xml")));
}

// Custom-attribute classes come first. A relationship class names its base
// in an attribute resolved as soon as it is read, so a custom-attribute
// relationship class derived from an ordinary one comes after its base and
// the file reads back.
TEST(SchemaWriter, CustomAttributeClassesComeFirstYetAfterARelationshipBase)
{
    ScratchFolder folder;
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.CreateZVClass(L"Pipe", L"", 1);
    schema.CreateZVRelationshipClass(L"TaggedLink", L"", 5);
    schema.CreateZVClass(L"Options", L"", 4);
    ASSERT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
    EXPECT_EQ(Order(WrittenFile(folder.WidePath("out.xml"))),
              (std::vector<std::wstring>{L"ZVClass:Options", L"ZVRelationshipClass:TaggedLink", L"ZVClass:Pipe",
                                         L"ZVRelationshipClass:Link"}));

    CZVSchema derived(L"p", L"Plant", L"");
    derived.CreateZVRelationshipClass(L"Other", L"", 1);
    derived.CreateZVRelationshipClass(L"Link", L"", 1);
    derived.CreateZVRelationshipClass(L"TaggedLink", L"", 5)->SetBaseClass(L"Link");
    derived.CreateZVClass(L"Options", L"", 4);
    ASSERT_EQ(derived.WriteXML(folder.WidePath("derived.xml").c_str()), 0);
    EXPECT_EQ(Order(WrittenFile(folder.WidePath("derived.xml"))),
              (std::vector<std::wstring>{L"ZVClass:Options", L"ZVRelationshipClass:Link",
                                         L"ZVRelationshipClass:TaggedLink", L"ZVRelationshipClass:Other"}));
    CZVSchema again(L"temporary", L"temporary", nullptr);
    EXPECT_EQ(again.ReadXML(folder.WidePath("derived.xml").c_str()), 0);
    EXPECT_STREQ(again.FindZVRelationshipClass(L"TaggedLink", 4)->GetBaseClass(), L"Link");
}

TEST(SchemaSave, ANestedWriterResultStopsBeforeAnythingIsSaved)
{
    ScratchFolder folder;
    const std::string target = folder.WriteFile("existing.xml", "earlier content");
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"First", L"", 1);
    schema.AddZVClass(new RefusingClass(L"Second", &schema));
    EXPECT_EQ(schema.WriteXML(Widen(target).c_str()), 7);
    EXPECT_EQ(ReadAll(target), "earlier content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.xml"});
}

TEST(SchemaSave, AMissingFolderFailsWithTheCheckedCallError)
{
    ScratchFolder folder;
    testing::internal::CaptureStdout(); // the checked-call rule prints its message
    EXPECT_EQ(WriteExpectingFailure(folder.WidePath("missing/plant.xml")), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Error at ", 0), 0u);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(SchemaSave, AReadOnlyFolderFailsAndKeepsTheEarlierFileAlone)
{
    ScratchFolder folder;
    const std::string target = folder.Folder("locked") + "/plant.xml";
    std::ofstream(target) << "earlier";
    chmod(folder.Path("locked").c_str(), 0555);
    chmod(folder.path().c_str(), 0755);
    // In a child without the privileges that would let it ignore folder
    // permissions (tests may run as root).
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr ||
            (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))) {
            _exit(100);
        }
        _exit(WriteExpectingFailure(Widen(target)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 100) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(target), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("locked")),
                            std::filesystem::directory_iterator()),
              1);
}
