// Loading a schema file: the root element, its namespace and attributes, the
// children of the root and the result codes.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using zvtest::SchemaText;

namespace {

const std::wstring kNamespace = L"http://www.molvane.com/schemas/Molvane.ZVXML.2.0";

std::wstring NamespaceLine(const std::wstring& path, const std::wstring& found)
{
    return L"Import file '" + path + L"' is using namespace '" + found +
           L"', which is not compatible with ZVXML 2.0. Use namespace '" + kNamespace + L"'";
}

std::string Root(const std::string& name, const std::string& namespaceUri)
{
    return "<?xml version='1.0'?>\n<" + name + " xmlns='" + namespaceUri +
           "' schemaName='Other' nameSpacePrefix='o'><ZVClass typeName='Ignored'/></" + name + ">";
}

// The schema a failed read must leave untouched.
void ExpectUntouched(CZVSchema& schema)
{
    EXPECT_STREQ(schema.GetSchemaName(), L"Plant");
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
    EXPECT_EQ(schema.GetZVClassCount(), 0u);
}

bool IsCheckedCallError(const std::wstring& message, const std::wstring& callText)
{
    return message.rfind(L"Error at ", 0) == 0 && message.size() > callText.size() &&
           message.compare(message.size() - callText.size() - 3, std::wstring::npos, L"): " + callText) == 0;
}

} // namespace

TEST(SchemaFileRoot, ResultCodesForRootsThatAreNotRead)
{
    zvtest::TempFolder folder;
    struct Case {
        const char* text;
        int result;
        std::wstring namespaceFound; // empty: the "Missing" line
    } cases[] = {
        {"foreign", 1000, L"urn:other"},
        {"legacy", 1001, L"http://www.molvane.com/schemas/1.2/ZVXML"},
        {"legacyUpper", 1001, L"HTTP://WWW.MOLVANE.COM/SCHEMAS/1.2/ZVXML"},
        {"none", 1000, L""},
        {"lowercase", 32768, L""},
    };
    const std::string texts[] = {
        Root("ZVSchema", "urn:other"),
        Root("ZVSchema", "http://www.molvane.com/schemas/1.2/ZVXML"),
        Root("ZVSchema", "HTTP://WWW.MOLVANE.COM/SCHEMAS/1.2/ZVXML"),
        "<ZVSchema schemaName='Other' nameSpacePrefix='o'/>",
        Root("zvSchema", "http://www.molvane.com/schemas/Molvane.ZVXML.2.0"),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].text);
        const std::wstring path = folder.Write(std::string(cases[i].text) + ".zvschema.xml", texts[i]);
        zvtest::LogCapture log;
        CZVSchema schema(L"p", L"Plant", L"");
        EXPECT_EQ(schema.ReadXML(path.c_str()), cases[i].result);
        ExpectUntouched(schema);
        const std::wstring expected = cases[i].result == 32768 ? L"Missing ZVSchema element in YMR Schema file " + path
                                                               : NamespaceLine(path, cases[i].namespaceFound);
        EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_ERROR), std::vector<std::wstring>{expected});
    }
}

TEST(SchemaFileRoot, RootLogLinesAreFinishedTextOfAtMost1024Characters)
{
    zvtest::TempFolder folder;
    // A "%" in the path must reach the log as it stands.
    const std::wstring percent = folder.Write("100%s%d.zvschema.xml", Root("ZVSchema", "urn:%s"));
    const std::string longUri = "urn:" + std::string(3000, 'x');
    const std::wstring longer = folder.Write("long.zvschema.xml", Root("ZVSchema", longUri));
    zvtest::LogCapture log;
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_EQ(schema.ReadXML(percent.c_str()), 1000);
    EXPECT_EQ(schema.ReadXML(longer.c_str()), 1000);
    const std::vector<std::wstring> lines = log.texts(L"ZVXML", LOG_SEV_ERROR);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], NamespaceLine(percent, L"urn:%s"));
    EXPECT_EQ(lines[1], NamespaceLine(longer, zvtest::Widen(longUri)).substr(0, 1024));
}

TEST(SchemaFileRoot, NamespaceLetterCaseAndOtherTopLevelNodesDoNotMatter)
{
    zvtest::TempFolder folder;
    const std::wstring path = folder.Write(
        "case.zvschema.xml",
        "<?xml version='1.0'?>\n<!-- a comment first --><?tool run?>\n"
        "<ZVSchema xmlns='HTTP://www.Molvane.com/Schemas/molvane.zvxml.2.0' schemaName='Read' "
        "nameSpacePrefix='r'><ZVClass typeName='Pump'/></ZVSchema>");
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_EQ(schema.ReadXML(path.c_str()), 0);
    EXPECT_STREQ(schema.GetSchemaName(), L"Read");
    EXPECT_NE(schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY), nullptr);
}

TEST(SchemaFileRoot, RootAttributesSetTheSchemaAndOthersAreIgnoredSilently)
{
    zvtest::TempFolder folder;
    const std::wstring path = folder.Write(
        "attributes.zvschema.xml",
        SchemaText("xmlns:x='urn:x' schemaName='Pipes' nameSpacePrefix='pp' version='3.14' "
                   "description='All the pipes' displayLabel='Pipes and more' x:extra='1' unknown='2'",
                   ""));
    zvtest::LogCapture log;
    CZVSchema schema(L"p", L"Plant", L"before");
    EXPECT_EQ(schema.ReadXML(path.c_str()), 0);
    EXPECT_STREQ(schema.GetSchemaName(), L"Pipes");
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"pp");
    EXPECT_EQ(schema.GetVersionMajor(), 3u);
    EXPECT_EQ(schema.GetVersionMinor(), 14u);
    EXPECT_STREQ(schema.GetDescription(), L"All the pipes");
    EXPECT_STREQ(schema.GetDisplayLabel(), L"Pipes and more");
    EXPECT_TRUE(log.texts(L"ZVXML").empty());

    const std::wstring badVersion = folder.Write("version.zvschema.xml", SchemaText("version='12'", ""));
    CZVSchema other(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(other.ReadXML(badVersion.c_str()), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '12' does not contain a '.'! Format is MM.mm where MM is "
                    L"major version and mm is minor version.");
    const std::wstring badName = folder.Write("name.zvschema.xml", SchemaText("schemaName='1st'", ""));
    EXPECT_ZV_THROW(other.ReadXML(badName.c_str()), ZVXMLDomainError,
                    L"ZVSchema names must begin with a letter or '_': '1st'");
}

TEST(SchemaFileRoot, TemporaryStandsForANameNotSet)
{
    zvtest::TempFolder folder;
    const std::wstring noName = folder.Write("noname.zvschema.xml", SchemaText("nameSpacePrefix='pp'", ""));
    const std::wstring noPrefix = folder.Write("noprefix.zvschema.xml", SchemaText("schemaName='Pipes'", ""));
    const std::wstring literal =
        folder.Write("literal.zvschema.xml", SchemaText("schemaName='temporary' nameSpacePrefix='pp'", ""));

    CZVSchema unnamed(L"temporary", L"temporary", L"");
    EXPECT_ZV_THROW(unnamed.ReadXML(noName.c_str()), ZVXMLFormatError, L"ZVSchema's schemaName cannot be blank!");
    CZVSchema unprefixed(L"temporary", L"temporary", L"");
    EXPECT_ZV_THROW(unprefixed.ReadXML(noPrefix.c_str()), ZVXMLFormatError,
                    L"ZVSchema's nameSpacePrefix cannot be blank!");
    CZVSchema named(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(named.ReadXML(literal.c_str()), ZVXMLFormatError, L"ZVSchema's schemaName cannot be blank!");

    // A file without the names is fine for a schema that already has them.
    CZVSchema preset(L"p", L"Plant", L"");
    EXPECT_EQ(preset.ReadXML(noName.c_str()), 0);
    EXPECT_STREQ(preset.GetSchemaName(), L"Plant");
    EXPECT_STREQ(preset.GetSchemaPrefix(), L"pp");
}

TEST(SchemaFileRoot, ChildrenOtherThanTheKnownElementsAndCommentsAreRefused)
{
    zvtest::TempFolder folder;
    const std::string named = "schemaName='Pipes' nameSpacePrefix='pp'";
    struct Case {
        std::string children;
        std::wstring message;
    } cases[] = {
        {"<ZVClass typeName='A'/>some text<ZVClass typeName='B'/>",
         L"Unrecognized element under ZVSchema element: '#text'"},
        {"<x:Extra xmlns:x='urn:x'/>", L"Unrecognized element under ZVSchema element: 'x:Extra'"},
        {"<?tool run?>", L"Unrecognized element under ZVSchema element: 'tool'"},
        {"<![CDATA[x]]>", L"Unrecognized element under ZVSchema element: '#cdata-section'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        const std::wstring path = folder.Write("children.zvschema.xml", SchemaText(named, c.children));
        CZVSchema schema(L"p", L"Plant", L"");
        EXPECT_ZV_THROW(schema.ReadXML(path.c_str()), ZVXMLFormatError, c.message);
        EXPECT_EQ(schema.GetZVClassCount(), 0u); // found in the first pass, before any class is added
    }
    const std::wstring comments = folder.Write(
        "comments.zvschema.xml", SchemaText(named, "<!-- a --><ZVClass typeName='A'/><!-- b -->"));
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_EQ(schema.ReadXML(comments.c_str()), 0);
    EXPECT_EQ(schema.GetZVClassCount(), 1u);
}

TEST(SchemaFileRoot, FilesThatDoNotLoadAreLoggedThenReportedAsAFailedCheck)
{
    zvtest::TempFolder folder;
    const std::wstring doctype = folder.Write(
        "doctype.zvschema.xml",
        "<?xml version='1.0'?>\n<!DOCTYPE ZVSchema [<!ENTITY big 'x'>]>\n" + SchemaText("", "&big;"));
    const std::wstring broken = folder.Write("broken.zvschema.xml", "<ZVSchema>\n  <ZVClass>\n</ZVSchema>");
    const std::wstring missing = zvtest::Widen(folder.path() + "/missing.zvschema.xml");
    const std::wstring linePrefix[] = {L"line 2, position 1 parsing ZVSchema file " + doctype + L". ",
                                       L"line 3, position ", L"line 0, position 0 parsing ZVSchema file " + missing +
                                                                 L". "};
    const std::wstring* paths[] = {&doctype, &broken, &missing};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        zvtest::LogCapture log;
        CZVSchema schema(L"p", L"Plant", L"");
        try {
            schema.ReadXML(paths[i]->c_str());
            ADD_FAILURE() << "no exception";
        } catch (const ZVXMLRuntimeError& error) {
            EXPECT_TRUE(IsCheckedCallError(error.Message(), L"CheckXmlLoad(pXmlDoc)")) << error.Message();
            EXPECT_STREQ(error.Location(), L"");
        }
        const std::vector<std::wstring> lines = log.texts(L"ZVXML", LOG_SEV_ERROR);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind(linePrefix[i], 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(L" parsing ZVSchema file " + *paths[i] + L". "), std::wstring::npos);
        ExpectUntouched(schema);
    }
}

TEST(SchemaFileRoot, NullPathIsRefused)
{
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(schema.ReadXML(nullptr), ZVXMLInvalidArgument, L"Passed NULL path to CZVSchema::ReadXML");
}

TEST(SchemaFilePasses, ClassesMayNameLaterClassesExceptThroughTheBaseClassAttribute)
{
    zvtest::TempFolder folder;
    const std::wstring forward = folder.Write(
        "forward.zvschema.xml",
        SchemaText("schemaName='Pipes' nameSpacePrefix='pp'",
                   "<ZVClass typeName='Valve'><BaseClass>Part</BaseClass>"
                   "  <ZVStructProperty propertyName='Port' typeName='Port'/></ZVClass>"
                   "<ZVRelationshipClass typeName='Fits'><Source><Class class='Valve'/></Source>"
                   "  <Target><Class class='Part'/></Target></ZVRelationshipClass>"
                   "<ZVClass typeName='Part'/>"
                   "<ZVClass typeName='Port' isStruct='True'/>"));
    CZVSchema schema(L"p", L"Plant", L"");
    ASSERT_EQ(schema.ReadXML(forward.c_str()), 0);
    CZVClass* valve = schema.FindZVClass(L"Valve", ZVCLASSTYPE_ANY);
    ASSERT_NE(valve, nullptr);
    EXPECT_EQ(valve->GetBaseZVClass(), schema.FindZVClass(L"Part", ZVCLASSTYPE_ANY));
    EXPECT_TRUE(valve->FindProperty(L"Port")->IsStruct());
    EXPECT_EQ(schema.GetZVRelationshipClass(0)->m_targets.m_classNames, std::vector<std::wstring>{L"Part"});

    const std::wstring attribute = folder.Write(
        "attribute.zvschema.xml", SchemaText("schemaName='Pipes' nameSpacePrefix='pp'",
                                             "<ZVClass typeName='Pipe'/><ZVClass typeName='Valve' baseClass='Part'/>"
                                             "<ZVClass typeName='Part'/>"));
    CZVSchema failing(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(failing.ReadXML(attribute.c_str()), ZVXMLLogicError,
                    L"Attempted to set BaseClass of ZVClass 'Valve' to 'Part' but no such class can be found in "
                    L"this ZVSchema or referenenced ZVSchemas.");
    // Nothing is rolled back: the class added before the failing one stays.
    ASSERT_EQ(failing.GetZVClassCount(), 1u);
    EXPECT_STREQ(failing.GetZVClassByIndex(0)->GetTypeName(), L"Pipe");
}

TEST(SchemaFilePasses, DuplicateClassNamesAreRenamedAsClassesAreAdded)
{
    zvtest::TempFolder folder;
    const std::wstring path = folder.Write(
        "duplicates.zvschema.xml",
        SchemaText("schemaName='Pipes' nameSpacePrefix='pp'",
                   "<ZVClass typeName='Pipe'/><ZVClass typeName='Pipe'/>"
                   "<ZVRelationshipClass typeName='Pipe'/>"));
    CZVSchema schema(L"p", L"Plant", L"");
    ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
    ASSERT_EQ(schema.GetZVClassCount(), 2u);
    EXPECT_STREQ(schema.GetZVClassByIndex(1)->GetTypeName(), L"Pipe2");
    EXPECT_STREQ(schema.GetZVRelationshipClass(0)->GetTypeName(), L"Pipe");
}

TEST(SchemaFilePasses, TheSchemasOwnCustomAttributesMayUseClassesDefinedLaterInTheFile)
{
    zvtest::TempFolder folder;
    const std::wstring path = folder.Write(
        "custom.zvschema.xml",
        SchemaText("schemaName='Pipes' nameSpacePrefix='pp'",
                   "<ZVCustomAttributes><Owner><Name>first</Name></Owner></ZVCustomAttributes>"
                   "<ZVClass typeName='Owner' isCustomAttributeClass='True'>"
                   "  <ZVProperty propertyName='Name' typeName='string'/></ZVClass>"
                   "<ZVCustomAttributes><Owner><Name>second</Name></Owner></ZVCustomAttributes>"));
    CZVSchema schema(L"p", L"Plant", L"");
    ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
    ASSERT_EQ(schema.GetZVCustomAttributeCount(), 2u);
    EXPECT_STREQ(schema.GetZVCustomAttribute(0)->GetPropertyValue(L"Name"), L"first");
    EXPECT_STREQ(schema.GetZVCustomAttribute(1)->GetPropertyValue(L"Name"), L"second");
}

TEST(SchemaFilePrefixes, APrefixedRootAndPrefixedChildrenAreReadByLocalName)
{
    zvtest::TempFolder folder;
    const std::wstring path = folder.Write(
        "prefixed.zvschema.xml",
        "<zv:ZVSchema xmlns:zv='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' schemaName='Pipes' "
        "nameSpacePrefix='pp'><zv:ZVClass typeName='Pipe'/><zv:ZVClass typeName='Valve'/></zv:ZVSchema>");
    CZVSchema schema(L"p", L"Plant", L"");
    ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
    EXPECT_EQ(schema.GetZVClassCount(), 2u);
}

TEST(SchemaFilePrefixes, AFileWithAPrefixOnEveryElementReadsCompletely)
{
    CZVSchema schema(L"p", L"Plant", L"");
    ASSERT_EQ(schema.ReadXML(zvtest::DataFile("prefixed/Prefixed.01.00.zvschema.xml").c_str()), 0);
    ASSERT_EQ(schema.GetZVCustomAttributeCount(), 1u);
    CZVCustomAttribute* note = schema.GetZVCustomAttribute(0);
    EXPECT_STREQ(note->GetPropertyValue(L"Text"), L"whole schema");
    auto* lines = dynamic_cast<ZVArrayValue*>(note->GetPropertyValue(L"Lines", true));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->GetLength(), 2u);

    CZVClass* equipment = schema.FindZVClass(L"Equipment", ZVCLASSTYPE_ANY);
    ASSERT_NE(equipment, nullptr);
    EXPECT_STREQ(equipment->GetBaseClass(), L"Item");
    EXPECT_STREQ(equipment->GetZVCustomAttribute(0)->GetPropertyValue(L"Text"), L"on a class");
    EXPECT_STREQ(equipment->FindProperty(L"Tag")->GetZVCustomAttribute(0)->GetPropertyValue(L"Text"),
                 L"on a property");

    CZVRelationshipClass* holds = schema.FindZVRelationshipClass(L"Holds", ZVCLASSTYPE_ANY);
    ASSERT_NE(holds, nullptr);
    EXPECT_EQ(holds->m_source.m_className, L"Equipment");
    EXPECT_EQ(holds->m_source.m_keyVector, std::vector<std::wstring>{L"Tag"});
    EXPECT_STREQ(holds->m_source.Common().GetZVCustomAttribute(0)->GetPropertyValue(L"Text"), L"on an end");
    EXPECT_EQ(holds->m_targets.m_classNames, std::vector<std::wstring>{L"Item"});

    CZVRelationshipClass* oldHolds = schema.FindZVRelationshipClass(L"OldHolds", ZVCLASSTYPE_ANY);
    ASSERT_NE(oldHolds, nullptr);
    EXPECT_EQ(oldHolds->m_source.m_roleLabel, L"old holds");
    EXPECT_EQ(oldHolds->m_source.m_keyVector, std::vector<std::wstring>{L"Tag"});
    EXPECT_EQ(oldHolds->m_targets.m_classNames, std::vector<std::wstring>{L"Item"});
}
