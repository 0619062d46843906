// What only the written file shows: attribute order and omission, class
// order, namespaces and escaping; and saving that never leaves a
// half-written file behind. That the rest reads back is the round trip's.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/stdout_capture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;
using namespace zvtest;

namespace {

using Names = std::vector<std::wstring>;

// An element as one line: Name(attribute=value ...)[children], or Name=text.
std::wstring Outline(XMLNode element)
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

class SchemaWriter : public ::testing::Test {
protected:
    ~SchemaWriter() override { CZVSchema::FreeRecycledValues(); }
    // Saves `saved` as out.xml and returns the written root.
    XMLNode Save(CZVSchema& saved)
    {
        EXPECT_EQ(saved.WriteXML(folder.WidePath("out.xml").c_str()), 0);
        file = std::make_unique<WrittenFile>(folder.WidePath("out.xml"));
        return file->Root();
    }
    // Saves `saved` and returns its top-level elements as "element:typeName".
    Names SavedOrder(CZVSchema& saved)
    {
        Names names;
        for (XMLNode child : Elements(Save(saved))) {
            names.push_back(child.LocalName() + L":" + Attribute(child, L"typeName"));
        }
        return names;
    }

    ScratchFolder folder;
    std::unique_ptr<WrittenFile> file;
    CZVSchema schema{L"p", L"Plant", L""};
};

class RefusingClass : public CZVClass {
public:
    RefusingClass(const wchar_t* name, CZVSchema* schema) : CZVClass(name, schema, nullptr) {}
    int WriteXML(XMLDocument&, XMLNode) override { return 7; }
};

} // namespace

// Label and description are escaped, keep their place and inject nothing.
TEST_F(SchemaWriter, RootAttributesAreEscaped)
{
    const wchar_t* description = L"Pump's flow < 5 & \"more\"\nsecond line\tend\r x' injected='yes";
    CZVSchema labelled(L"p", L"Pipes", description);
    labelled.SetDisplayLabel(L"<Label>");
    EXPECT_EQ(PlainAttributes(Save(labelled)), (Attributes{{L"schemaName", L"Pipes"},
                                                           {L"version", L"00.00"},
                                                           {L"displayLabel", L"<Label>"},
                                                           {L"nameSpacePrefix", L"p"},
                                                           {L"description", description}}));
}

TEST_F(SchemaWriter, CustomAttributeClassesComeFirst)
{
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.CreateZVClass(L"Pipe", L"", 1);
    schema.CreateZVRelationshipClass(L"TaggedLink", L"", 5);
    schema.CreateZVClass(L"Options", L"", 4);
    EXPECT_EQ(SavedOrder(schema), (Names{L"ZVClass:Options", L"ZVRelationshipClass:TaggedLink", L"ZVClass:Pipe",
                                         L"ZVRelationshipClass:Link"}));
}

// A relationship class names its base in an attribute resolved as soon as it
// is read, so a custom-attribute relationship class derived from an ordinary
// one comes after its base.
TEST_F(SchemaWriter, ARelationshipBaseComesBeforeACustomAttributeClassDerivedFromIt)
{
    schema.CreateZVRelationshipClass(L"Other", L"", 1);
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.CreateZVRelationshipClass(L"TaggedLink", L"", 5)->SetBaseClass(L"Link");
    schema.CreateZVClass(L"Options", L"", 4);
    EXPECT_EQ(SavedOrder(schema), (Names{L"ZVClass:Options", L"ZVRelationshipClass:Link",
                                         L"ZVRelationshipClass:TaggedLink", L"ZVRelationshipClass:Other"}));
    CZVSchema again(L"temporary", L"temporary", nullptr);
    EXPECT_EQ(again.ReadXML(folder.WidePath("out.xml").c_str()), 0);
}

// Whatever the kinds, a class comes after the class it derives from: a
// custom-attribute relationship class derived from an ordinary class (its
// base attribute is resolved at once), and a custom-attribute class derived
// from an ordinary one. The others keep their places, and the file reads
// back with each base found.
TEST_F(SchemaWriter, EveryClassComesAfterItsBaseWhateverTheKinds)
{
    schema.CreateZVClass(L"Other", L"", 1);
    schema.CreateZVClass(L"Pipe", L"", 1);
    schema.CreateZVRelationshipClass(L"Link", L"", 5)->SetBaseClass(L"Pipe");
    schema.CreateZVClass(L"Valve", L"", 1);
    schema.CreateZVClass(L"Options", L"", 4)->SetBaseClass(L"Valve");
    EXPECT_EQ(SavedOrder(schema), (Names{L"ZVClass:Valve", L"ZVClass:Options", L"ZVClass:Pipe",
                                         L"ZVRelationshipClass:Link", L"ZVClass:Other"}));
    CZVSchema again(L"temporary", L"temporary", nullptr);
    ASSERT_EQ(again.ReadXML(folder.WidePath("out.xml").c_str()), 0);
    EXPECT_EQ(again.FindZVRelationshipClass(L"Link", ZVCLASSTYPE_ANY)->GetBaseZVClass(),
              again.FindZVClass(L"Pipe", ZVCLASSTYPE_ANY));
    EXPECT_EQ(again.FindZVClass(L"Options", ZVCLASSTYPE_ANY)->GetBaseZVClass(),
              again.FindZVClass(L"Valve", ZVCLASSTYPE_ANY));
}

// Flags, labels and occurs texts decide the attributes and element names;
// ends name their classes relative to the schema; custom attribute values
// are in the namespace of the schema defining their class, in the order
// added, a null member of a primitive array left out.
TEST_F(SchemaWriter, EveryKindOfElementInOneFile)
{
    CZVSchema* custom = new CZVSchema(L"c", L"Custom", L"");
    custom->SetVersionString(L"1.0");
    custom->CreateZVClass(L"Meter", L"", 1);
    CZVClass* extent = custom->CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    extent->AddZVProperty(L"X", L"double", L"");
    CZVClass* options = custom->CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    CZVProperty* tagsProperty = options->AddZVProperty(L"Tags", L"string", L"");
    tagsProperty->SetMaxOccurs(L"unbounded");
    options->AddZVProperty(L"Size", L"Extent", L"");
    options->AddZVProperty(L"Regions", L"Extent", L"")->SetMaxOccurs(L"unbounded");
    CZVSchemaReference reference(custom);
    reference.m_versionString = L"1.0"; // written as held, declared normalised
    schema.AddReference(reference);
    schema.SetVersionString(L"1.2");

    schema.AddZVClass(new CZVClass(L"Plain", &schema, nullptr));
    CZVClass* rich = schema.CreateZVClass(L"Rich", L"a rich class", 7);
    rich->SetDisplayLabel(L"Rich!");
    rich->SetBaseClass(L"Plain");
    rich->AddZVProperty(L"Name", L"string", L"");
    rich->AddZVProperty(L"Origin", L"Rich", L"where")->SetReadOnly(1);
    rich->AddZVProperty(L"Corners", L"Rich", L"")->SetMaxOccurs(L"unbounded");
    rich->AddZVProperty(L"Counts", L"int", L"")->SetMinOccurs(L"0");
    CZVProperty* fixed = rich->AddZVProperty(L"Fixed", L"double", L"");
    fixed->SetMinOccurs(L"1");
    fixed->SetMaxOccurs(L"1");
    fixed->SetDisplayLabel(L"Fixed!");

    schema.CreateZVRelationshipClass(L"Link", L"", 1)->m_source.m_className = L"ZVObject";
    CZVRelationshipClass* measures = schema.CreateZVRelationshipClass(L"Measures", L"", 3);
    measures->SetBaseClass(L"Link");
    measures->SetStrength(L"holding");
    measures->SetStrengthDirection(L"forward");
    measures->m_source.m_className = L"Rich";
    measures->m_source.m_keyVector = {L"k1", L"k2"};
    measures->m_source.m_isPolymorphic = 1;
    measures->m_source.m_roleLabel = L"measured";
    measures->m_targets.m_classNames = {L"Meter", L"", L"Plain"}; // the empty name is skipped with its keys
    measures->m_targets.m_keyVectors = {{L"id"}, {L"skipped"}, {}};
    measures->m_targets.m_cardinality = L"1..*";

    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", 1);
    pipe->CreateArrayMemberForCustomAttribute(options, L"Regions")->SetPropertyValue(L"X", 3.0);
    CZVCustomAttribute* attribute = pipe->GetZVCustomAttribute(0);
    attribute->SetInstanceID(L"42");
    auto* tags = static_cast<ZVArrayValue*>(ZVValueBase::CreateZVValueForZVProperty(options, tagsProperty));
    tags->PushBack(new CZVValue(tagsProperty, L"a"));
    tags->PushBack(nullptr);
    tags->PushBack(new CZVValue(tagsProperty, L"b"));
    attribute->AddZVValue(tags);
    auto* size = new ZVStructValue(options->FindProperty(L"Size"));
    size->GetValue()->SetPropertyValue(L"X", 1.5);
    attribute->AddZVValue(size);
    attribute->AddZVValue(new ZVStructValue(options->FindProperty(L"Size"))); // stored as Size2
    pipe->AddZVCustomAttribute(new CZVCustomAttribute(options)); // no id, no values

    const XMLNode root = Save(schema);
    EXPECT_EQ(PlainAttributes(root),
              (Attributes{{L"schemaName", L"Plant"}, {L"version", L"01.02"}, {L"nameSpacePrefix", L"p"}}));
    EXPECT_EQ(root.NamespaceURI(), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(root, L"xmlns:zv"), ZVXML_NAMESPACE_URI);
    EXPECT_EQ(Attribute(root, L"xmlns:c"), L"Custom.01.00");
    EXPECT_EQ(ReadAll(folder.Path("out.xml")).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    const std::vector<XMLNode> classes = Elements(root);
    Names outlines;
    for (XMLNode element : classes) {
        EXPECT_EQ(element.NamespaceURI(), ZVXML_NAMESPACE_URI);
        outlines.push_back(Outline(element));
    }
    EXPECT_EQ(
        outlines,
        (Names{L"ZVSchemaReference(name=Custom version=1.0 prefix=c)", L"ZVClass(typeName=Plain isDomainClass=False)",
               L"ZVClass(typeName=Rich description=a rich class displayLabel=Rich! isCustomAttributeClass=True "
               L"isDomainClass=True isStruct=True)[BaseClass=Plain, "
               L"ZVProperty(propertyName=Name typeName=string), "
               L"ZVStructProperty(propertyName=Origin typeName=Rich description=where readOnly=True), "
               L"ZVArrayProperty(propertyName=Corners typeName=Rich maxOccurs=unbounded isStruct=True), "
               L"ZVArrayProperty(propertyName=Counts typeName=int minOccurs=0), "
               L"ZVArrayProperty(propertyName=Fixed typeName=double displayLabel=Fixed! minOccurs=1 "
               L"maxOccurs=1)]",
               L"ZVClass(typeName=Pipe isDomainClass=True)[ZVCustomAttributes[Options(id=42)[Regions[Extent[X="
               L"3]], Tags[string=a, string=b], Size[X=1.5], Size2], Options]]",
               L"ZVRelationshipClass(typeName=Link isDomainClass=True)"
               L"[Source(cardinality= roleLabel= polymorphic=False)]",
               L"ZVRelationshipClass(typeName=Measures baseClass=Link isDomainClass=True strength=holding "
               L"strengthDirection=forward)[Source(cardinality= roleLabel=measured polymorphic=True)"
               L"[Class(class=Rich)[Key[Property(name=k1), Property(name=k2)]]], "
               L"Target(cardinality=1..* roleLabel= polymorphic=False)"
               L"[Class(class=c:Meter)[Key[Property(name=id)]], Class(class=Plain)]]"}));
    const XMLNode options0 = Elements(Elements(classes[3])[0])[0];
    EXPECT_EQ(options0.NamespaceURI(), L"Custom.01.00");
    for (XMLNode value : Elements(options0)) {
        EXPECT_EQ(value.NamespaceURI(), L"Custom.01.00");
    }
}

TEST_F(SchemaWriter, MismatchedTargetListsFailAndLeaveNoFile)
{
    CZVRelationshipClass* link = schema.CreateZVRelationshipClass(L"Broken", L"", 1);
    link->m_targets.m_classNames = {L"Plain", L"Plain"};
    link->m_targets.m_keyVectors = {{}};
    EXPECT_ZV_THROW(schema.WriteXML(folder.WidePath("out.xml").c_str()), ZVXMLLogicError,
                    L"Target of ZVRelationshipClass 'Broken' contains mismatched number of Class references and "
                    L"Key Vectors");
    EXPECT_TRUE(folder.Names().empty());
}

// The file is replaced only once everything is written: a nested writer's
// result stops the save before anything is written.
TEST_F(SchemaWriter, ARefusingNestedWriterLeavesTheEarlierFile)
{
    const std::string target = folder.WriteFile("existing.xml", "earlier content");
    schema.CreateZVClass(L"First", L"", 1);
    schema.AddZVClass(new RefusingClass(L"Second", &schema));
    EXPECT_EQ(schema.WriteXML(Widen(target).c_str()), 7);
    EXPECT_EQ(ReadAll(target), "earlier content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.xml"});
}

TEST_F(SchemaWriter, AMissingFolderFailsWithTheCheckedCallErrorWhichIsPrintedToo)
{
    schema.CreateZVClass(L"Pipe", L"", 1)->AddZVProperty(L"Length", L"double", L"");
    StdoutCapture printed;
    try {
        schema.WriteXML(folder.WidePath("missing/plant.xml").c_str());
        ADD_FAILURE() << "no exception";
    } catch (const ZVXMLRuntimeError& e) {
        EXPECT_TRUE(IsCheckedCallError(e.Message(), L"pXmlDoc->save(_variant_t(zvSchemaXmlFile))")) << e.Message();
    }
    EXPECT_EQ(printed.Text().rfind("Error at ", 0), 0u);
    EXPECT_TRUE(folder.Names().empty());
}
