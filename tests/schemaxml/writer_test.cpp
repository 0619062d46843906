// Writing a schema file: the root, references, the order of classes, classes
// with their properties, relationship ends and custom attributes, and saving
// that never leaves a half-written file behind.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ZVXML;
using namespace zvtest;

namespace {

using Names = std::vector<std::wstring>;

class SchemaWriter : public ::testing::Test {
protected:
    SchemaWriter() { root = LoadElement(document, L"<ZVSchema xmlns='" + std::wstring(ZVXML_NAMESPACE_URI) + L"'/>"); }
    ~SchemaWriter() override { CZVSchema::FreeRecycledValues(); }

    // Writes one class into the fixture's document and returns its element.
    XMLNode Write(CZVClass* zvClass)
    {
        EXPECT_EQ(zvClass->WriteXML(document, root), 0);
        return Elements(root).back();
    }
    // Saves `schema` as out.xml and loads what was written.
    const WrittenFile& Save(CZVSchema& schema)
    {
        EXPECT_EQ(schema.WriteXML(folder.WidePath("out.xml").c_str()), 0);
        file = std::make_unique<WrittenFile>(folder.WidePath("out.xml"));
        return *file;
    }
    // An element as one line of text: Name(attribute=value ...)[children]
    // or, for an element with text only, Name=text.
    static std::wstring Outline(XMLNode element)
    {
        std::wstring text = element.LocalName(), separator = L"(";
        for (const auto& [name, value] : PlainAttributes(element)) {
            text += separator + name + L"=" + value;
            separator = L" ";
        }
        text += separator == L" " ? L")" : L"";
        separator = L"[";
        for (XMLNode child : Elements(element)) {
            text += separator + Outline(child);
            separator = L", ";
        }
        return text + (separator == L", " ? L"]" : element.Text().empty() ? L"" : L"=" + element.Text());
    }
    // "element:typeName" for each child of the written root.
    Names Order(CZVSchema& schema)
    {
        Names order;
        for (XMLNode child : Save(schema).Children()) {
            order.push_back(child.LocalName() + L":" + Attribute(child, L"typeName"));
        }
        return order;
    }

    ScratchFolder folder;
    std::unique_ptr<WrittenFile> file;
    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    XMLNode root;
};

// A class whose writer answers with a fixed non-zero result.
class RefusingClass : public CZVClass {
public:
    RefusingClass(const wchar_t* name, CZVSchema* schema) : CZVClass(name, schema, nullptr) {}
    int WriteXML(XMLDocument&, XMLNode) override { return 7; }
};

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

TEST_F(SchemaWriter, TheRootAndTheReferences)
{
    CZVSchema bare(L"p", L"Pipes", L"");
    bare.SetVersionString(L"1.2");
    XMLNode written = Save(bare).Root();
    EXPECT_EQ(Outline(written), L"ZVSchema(schemaName=Pipes version=01.02 nameSpacePrefix=p)");
    EXPECT_EQ(written.NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(written, L"xmlns"), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(written, L"xmlns:zv"), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(ReadAll(folder.Path("out.xml")).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

    // Label and description are escaped, keep their place and inject nothing.
    const wchar_t* description = L"Pump's flow < 5 & \"more\"\nsecond line\tend\r x' injected='yes";
    CZVSchema labelled(L"p", L"Pipes", description);
    labelled.SetDisplayLabel(L"<Label>");
    EXPECT_EQ(PlainAttributes(Save(labelled).Root()), (Attributes{{L"schemaName", L"Pipes"},
                                                                  {L"version", L"00.00"},
                                                                  {L"displayLabel", L"<Label>"},
                                                                  {L"nameSpacePrefix", L"p"},
                                                                  {L"description", description}}));

    CZVSchemaReference reference;
    reference.m_schemaName = L"Base";
    reference.m_schemaPrefix = L"b";
    reference.m_versionString = L"1.2"; // written as held, declared normalised
    bare.AddReference(reference);
    written = Save(bare).Root();
    EXPECT_EQ(Attribute(written, L"xmlns:b"), L"Base.01.02");
    EXPECT_EQ(Outline(written), L"ZVSchema(schemaName=Pipes version=01.02 nameSpacePrefix=p)"
                                L"[ZVSchemaReference(name=Base version=1.2 prefix=b)]");
    EXPECT_EQ(Elements(written)[0].NamespaceURI(), ZVXML_NAMESPACE_URI);

    reference.m_schemaName = L"Bad";
    reference.m_versionString = L"12";
    bare.AddReference(reference);
    EXPECT_THROW(bare.WriteXML(folder.WidePath("bad.xml").c_str()), ZVXMLFormatError);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.xml")));
}

// Custom-attribute classes come first. A relationship class names its base
// in an attribute resolved as soon as it is read, so a custom-attribute
// relationship class derived from an ordinary one comes after its base and
// the file reads back.
TEST_F(SchemaWriter, CustomAttributeClassesComeFirstYetAfterARelationshipBase)
{
    CZVSchema plain(L"p", L"Plant", L"");
    plain.CreateZVRelationshipClass(L"Link", L"", 1);
    plain.CreateZVClass(L"Pipe", L"", 1);
    plain.CreateZVRelationshipClass(L"TaggedLink", L"", 5);
    plain.CreateZVClass(L"Options", L"", 4);
    EXPECT_EQ(Order(plain), (Names{L"ZVClass:Options", L"ZVRelationshipClass:TaggedLink", L"ZVClass:Pipe",
                                   L"ZVRelationshipClass:Link"}));

    CZVSchema derived(L"p", L"Plant", L"");
    derived.CreateZVRelationshipClass(L"Other", L"", 1);
    derived.CreateZVRelationshipClass(L"Link", L"", 1);
    derived.CreateZVRelationshipClass(L"TaggedLink", L"", 5)->SetBaseClass(L"Link");
    derived.CreateZVClass(L"Options", L"", 4);
    EXPECT_EQ(Order(derived), (Names{L"ZVClass:Options", L"ZVRelationshipClass:Link", L"ZVRelationshipClass:TaggedLink",
                                     L"ZVRelationshipClass:Other"}));
    CZVSchema again(L"temporary", L"temporary", nullptr);
    EXPECT_EQ(again.ReadXML(folder.WidePath("out.xml").c_str()), 0);
    EXPECT_STREQ(again.FindZVRelationshipClass(L"TaggedLink", 4)->GetBaseClass(), L"Link");
}

// Flags, labels and occurs texts decide the attributes and the element names;
// an item without custom attributes has no container for them.
TEST_F(SchemaWriter, ClassAndPropertyElementsFollowFlagsAndOccursTexts)
{
    CZVClass* plain = new CZVClass(L"Plain", &schema, nullptr);
    schema.AddZVClass(plain);
    XMLNode element = Write(plain);
    EXPECT_EQ(element.NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Outline(element), L"ZVClass(typeName=Plain isDomainClass=False)");

    CZVClass* rich = schema.CreateZVClass(L"Rich", L"a rich class", 7);
    rich->SetDisplayLabel(L"Rich!");
    rich->SetBaseClass(L"Point");
    rich->AddZVProperty(L"Name", L"string", L"");
    rich->AddZVProperty(L"Origin", L"Point", L"where")->SetReadOnly(1);
    rich->AddZVProperty(L"Corners", L"Point", L"")->SetMaxOccurs(L"unbounded");
    rich->AddZVProperty(L"Counts", L"int", L"")->SetMinOccurs(L"0");
    CZVProperty* fixed = rich->AddZVProperty(L"Fixed", L"double", L"");
    fixed->SetMinOccurs(L"1");
    fixed->SetMaxOccurs(L"1");
    fixed->SetDisplayLabel(L"Fixed!");
    EXPECT_EQ(Outline(Write(rich)),
              L"ZVClass(typeName=Rich description=a rich class displayLabel=Rich! isCustomAttributeClass=True "
              L"isDomainClass=True isStruct=True)[BaseClass=Point, "
              L"ZVProperty(propertyName=Name typeName=string), "
              L"ZVStructProperty(propertyName=Origin typeName=Point description=where readOnly=True), "
              L"ZVArrayProperty(propertyName=Corners typeName=Point maxOccurs=unbounded isStruct=True), "
              L"ZVArrayProperty(propertyName=Counts typeName=int minOccurs=0), "
              L"ZVArrayProperty(propertyName=Fixed typeName=double displayLabel=Fixed! minOccurs=1 maxOccurs=1)]");
}

// A relationship class names its base in an attribute and always has a
// source end; a target end only with target classes. Ends name their classes
// relative to the schema, except a source naming ZVObject, which names none.
TEST_F(SchemaWriter, RelationshipClassesAndTheirEnds)
{
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Pipeline", L"", 3);
    link->SetBaseClass(L"Link");
    link->SetStrength(L"holding");
    link->SetStrengthDirection(L"forward");
    EXPECT_EQ(Outline(Write(link)), L"ZVRelationshipClass(typeName=Pipeline baseClass=Link isDomainClass=True "
                                    L"strength=holding strengthDirection=forward)"
                                    L"[Source(cardinality= roleLabel= polymorphic=False)]");
    CZVRelationshipClass* any = schema.CreateZVRelationshipClass(L"Any", L"", 1);
    any->m_source.m_className = L"ZVObject";
    EXPECT_EQ(Outline(Elements(Write(any))[0]), L"Source(cardinality= roleLabel= polymorphic=False)");

    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    units->CreateZVClass(L"Meter", L"", 1);
    CZVSchemaReference reference(units);
    schema.AddReference(reference);
    schema.CreateZVClass(L"ZVObject", L"", 1);
    CZVRelationshipClass* measures = schema.CreateZVRelationshipClass(L"Measures", L"", 1);
    measures->m_source.m_className = L"Point";
    measures->m_source.m_keyVector = {L"k1", L"k2"};
    measures->m_source.m_isPolymorphic = 1;
    measures->m_source.m_roleLabel = L"measured";
    measures->m_targets.m_classNames = {L"Meter", L"", L"ZVObject"}; // the empty name is skipped with its keys
    measures->m_targets.m_keyVectors = {{L"id"}, {L"skipped"}, {}};
    measures->m_targets.m_cardinality = L"1..*";
    EXPECT_EQ(Outline(Write(measures)), L"ZVRelationshipClass(typeName=Measures isDomainClass=True)["
                                        L"Source(cardinality= roleLabel=measured polymorphic=True)"
                                        L"[Class(class=Point)[Key[Property(name=k1), Property(name=k2)]]], "
                                        L"Target(cardinality=1..* roleLabel= polymorphic=False)"
                                        L"[Class(class=u:Meter)[Key[Property(name=id)]], Class(class=ZVObject)]]");
}

TEST_F(SchemaWriter, MismatchedTargetListsFailAndLeaveTheTargetElement)
{
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Broken", L"", 1);
    link->m_targets.m_classNames = {L"Point", L"Point"};
    link->m_targets.m_keyVectors = {{}};
    EXPECT_ZV_THROW(link->WriteXML(document, root), ZVXMLLogicError,
                    L"Target of ZVRelationshipClass 'Broken' contains mismatched number of Class references and "
                    L"Key Vectors");
    EXPECT_EQ(LocalNames(Elements(Elements(root).back())), (Names{L"Source", L"Target"}));
    EXPECT_THROW(schema.WriteXML(folder.WidePath("out.xml").c_str()), ZVXMLLogicError);
    EXPECT_TRUE(folder.Names().empty());
}

// Custom (1.0) holds the custom-attribute class Options and the struct
// Extent; the values of a custom attribute are written in the namespace of
// the schema that defines its class, in the order they were added.
TEST_F(SchemaWriter, CustomAttributesUseTheirOwnSchemasNamespace)
{
    CZVSchema* custom = new CZVSchema(L"c", L"Custom", L"");
    custom->SetVersionString(L"1.0");
    CZVClass* extent = custom->CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    extent->AddZVProperty(L"X", L"double", L"");
    extent->AddZVProperty(L"Y", L"double", L"");
    CZVClass* options = custom->CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    options->AddZVProperty(L"Hidden", L"boolean", L"");
    CZVProperty* tagsProperty = options->AddZVProperty(L"Tags", L"string", L"");
    tagsProperty->SetMaxOccurs(L"unbounded");
    options->AddZVProperty(L"Size", L"Extent", L"");
    options->AddZVProperty(L"Regions", L"Extent", L"")->SetMaxOccurs(L"unbounded");
    CZVSchemaReference reference(custom);
    schema.AddReference(reference);
    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", 1);

    pipe->CreateArrayMemberForCustomAttribute(options, L"Regions")->SetPropertyValue(L"X", 3.0);
    CZVCustomAttribute* attribute = pipe->GetZVCustomAttribute(0);
    attribute->SetInstanceID(L"42");
    attribute->SetPropertyValue(L"Hidden", L"true");
    auto* tags = static_cast<ZVArrayValue*>(ZVValueBase::CreateZVValueForZVProperty(options, tagsProperty));
    for (const wchar_t* tag : {L"a", static_cast<const wchar_t*>(nullptr), L"b", L"c"}) {
        tags->PushBack(tag != nullptr ? new CZVValue(tagsProperty, tag) : nullptr);
    }
    attribute->AddZVValue(tags);
    auto* size = new ZVStructValue(options->FindProperty(L"Size"));
    size->GetValue()->SetPropertyValue(L"X", 1.5);
    size->GetValue()->SetPropertyValue(L"Y", 2.0);
    attribute->AddZVValue(size);
    attribute->AddZVValue(new ZVStructValue(options->FindProperty(L"Size"))); // stored as Size2
    pipe->AddZVCustomAttribute(new CZVCustomAttribute(options)); // no id, no values

    std::vector<XMLNode> containers = Elements(Write(pipe));
    ASSERT_EQ(containers.size(), 1u);
    EXPECT_EQ(containers[0].NamespaceURI(), ZVXML_NAMESPACE_URI);
    // An array of structs has one Extent element per member; a null member of
    // an array of primitives is left out.
    EXPECT_EQ(Outline(containers[0]),
              L"ZVCustomAttributes[Options(id=42)[Regions[Extent[X=3]], Hidden=true, Tags[string=a, string=b, "
              L"string=c], Size[X=1.5, Y=2], Size2], Options]");
    std::vector<XMLNode> instances = Elements(containers[0]);
    EXPECT_EQ(instances[0].NamespaceURI(), L"Custom.01.00");
    for (XMLNode value : Elements(instances[0])) {
        EXPECT_EQ(value.NamespaceURI(), L"Custom.01.00");
    }
}

TEST_F(SchemaWriter, SavingReplacesTheFileOnlyOnceEverythingIsWritten)
{
    // A nested writer's result stops the save before anything is written.
    const std::string target = folder.WriteFile("existing.xml", "earlier content");
    CZVSchema plant(L"p", L"Plant", L"");
    plant.CreateZVClass(L"First", L"", 1);
    plant.AddZVClass(new RefusingClass(L"Second", &plant));
    EXPECT_EQ(plant.WriteXML(Widen(target).c_str()), 7);
    EXPECT_EQ(ReadAll(target), "earlier content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.xml"});

    // A missing folder fails with the checked-call error, which is printed too.
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteExpectingFailure(folder.WidePath("missing/plant.xml")), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Error at ", 0), 0u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.xml"});
}

TEST_F(SchemaWriter, AReadOnlyFolderFailsAndKeepsTheEarlierFileAlone)
{
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
