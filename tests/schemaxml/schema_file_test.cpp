// Loading a schema file: the root element, its namespace and attributes, the
// children of the root and the result codes.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ZVXML;
using zvtest::SchemaText;

namespace {

std::wstring NamespaceLine(const std::wstring& path, const std::wstring& found)
{
    return L"Import file '" + path + L"' is using namespace '" + found +
           L"', which is not compatible with ZVXML 2.0. Use namespace '" + ZVXML_NAMESPACE_URI + L"'";
}

std::string Root(const std::string& name, const std::string& namespaceUri, const std::string& attributes = "")
{
    return "<" + name + " xmlns='" + namespaceUri + "' schemaName='Other' nameSpacePrefix='o'" + attributes +
           "><!-- c --><ZVClass typeName='Kept'/><!-- c --></" + name + ">";
}

// The schema a failed read must leave untouched.
void ExpectUntouched(CZVSchema& schema)
{
    EXPECT_STREQ(schema.GetSchemaName(), L"Plant");
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
    EXPECT_EQ(schema.GetZVClassCount(), 0u);
}

// Writes `text` into `folder` and expects reading it to throw `message`.
template <class Error>
void ExpectReadFails(const zvtest::ScratchFolder& folder, const std::string& text, const std::wstring& message,
                     CZVSchema&& schema = CZVSchema(L"p", L"Plant", L""))
{
    SCOPED_TRACE(text);
    EXPECT_ZV_THROW(schema.ReadXML(folder.Write("failing.zvschema.xml", text).c_str()), Error, message);
}

} // namespace

// Log lines are finished text (a "%" in the path or the namespace reaches the
// log as it stands) of at most 1024 characters.
TEST(SchemaFileRoot, ResultCodesAndTheirLogLines)
{
    const std::string legacy = "http://www.molvane.com/schemas/1.2/ZVXML";
    const std::string longUri = "urn:" + std::string(3000, 'x');
    const struct {
        std::string text;
        int result;
        std::wstring namespaceFound;
    } cases[] = {
        {Root("ZVSchema", "urn:%s"), 1000, L"urn:%s"},
        {Root("ZVSchema", longUri), 1000, zvtest::Widen(longUri)},
        {"<ZVSchema schemaName='Other' nameSpacePrefix='o'/>", 1000, L""},
        {Root("ZVSchema", legacy), 1001, zvtest::Widen(legacy)},
        {Root("zvSchema", "http://www.molvane.com/schemas/Molvane.ZVXML.2.0"), 32768, L""},
        // Neither the letter case of the namespace, other top-level nodes nor
        // unknown root attributes matter, and nothing is logged for them.
        {"<!-- first --><?tool run?>" + Root("ZVSchema", "HTTP://www.Molvane.com/Schemas/molvane.zvxml.2.0",
                                             " xmlns:x='urn:x' x:extra='1' unknown='2'"),
         0, L""},
    };
    zvtest::ScratchFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        const std::wstring path = folder.Write("100%s%d.zvschema.xml", c.text);
        zvtest::LogCapture log;
        CZVSchema schema(L"p", L"Plant", L"");
        EXPECT_EQ(schema.ReadXML(path.c_str()), c.result);
        std::vector<std::wstring> expected;
        if (c.result == 0) {
            EXPECT_STREQ(schema.GetSchemaName(), L"Other");
            EXPECT_EQ(schema.GetZVClassCount(), 1u);
        } else {
            ExpectUntouched(schema);
            expected.push_back(c.result == 32768 ? L"Missing ZVSchema element in YMR Schema file " + path
                                                 : NamespaceLine(path, c.namespaceFound).substr(0, 1024));
        }
        std::vector<std::wstring> said; // all but the classes' trace lines
        for (const zvtest::LogLine& line : log.lines()) {
            if (line.severity != LOG_SEV_TRACE) {
                said.push_back(line.text);
            }
        }
        EXPECT_EQ(said, expected);
    }
}

TEST(SchemaFileRoot, ANegativeVersionIsRefused)
{
    zvtest::ScratchFolder folder;
    // "-1.00" must not wrap around to version 18446744073709551615.00, which
    // the writer would put into a file that does not load.
    ExpectReadFails<ZVXMLFormatError>(folder, SchemaText("schemaName='Units' version='-1.00' nameSpacePrefix='u'", ""),
                                      L"CZVSchema::SetVersionString... '-1.00' The characters before the '.' must be "
                                      L"numeric! Format is MM.mm where MM is major version and mm is minor version.");
}

// "temporary" stands for a name not set, in the schema and in the file.
TEST(SchemaFileRoot, ABlankSchemaNameOrPrefixIsRefused)
{
    zvtest::ScratchFolder folder;
    const std::wstring noName = L"ZVSchema's schemaName cannot be blank!";
    ExpectReadFails<ZVXMLFormatError>(folder, SchemaText("nameSpacePrefix='pp'", ""), noName,
                                      CZVSchema(L"temporary", L"temporary", L""));
    ExpectReadFails<ZVXMLFormatError>(folder, SchemaText("schemaName='Pipes'", ""),
                                      L"ZVSchema's nameSpacePrefix cannot be blank!",
                                      CZVSchema(L"temporary", L"temporary", L""));
}

// Refused in the first pass, before any class is added.
TEST(SchemaFileRoot, ChildrenOtherThanTheKnownElementsAreRefusedBeforeAnyClassIsAdded)
{
    zvtest::ScratchFolder folder;
    const std::pair<std::string, std::wstring> children[] = {
        {"<ZVClass typeName='A'/>some text<ZVClass typeName='B'/>", L"'#text'"},
        {"<x:Extra xmlns:x='urn:x'/>", L"'x:Extra'"},
    };
    for (const auto& [text, name] : children) {
        SCOPED_TRACE(text);
        CZVSchema schema(L"p", L"Plant", L"");
        const std::wstring path =
            folder.Write("children.zvschema.xml", SchemaText("schemaName='P' nameSpacePrefix='p'", text));
        EXPECT_ZV_THROW(schema.ReadXML(path.c_str()), ZVXMLFormatError,
                        L"Unrecognized element under ZVSchema element: " + name);
        EXPECT_EQ(schema.GetZVClassCount(), 0u);
    }
}

TEST(SchemaFileRoot, FilesThatDoNotLoadAreLoggedThenReportedAsAFailedCheck)
{
    zvtest::ScratchFolder folder;
    const std::wstring doctype = folder.Write("doctype.zvschema.xml", "<?xml version='1.0'?>\n<!DOCTYPE ZVSchema "
                                                                      "[<!ENTITY big 'x'>]>\n" +
                                                                          SchemaText("", "&big;"));
    const std::wstring broken = folder.Write("broken.zvschema.xml", "<ZVSchema>\n  <ZVClass>\n</ZVSchema>");
    const std::wstring missing = folder.WidePath("missing.zvschema.xml");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {doctype, L"line 2, position 1 parsing ZVSchema file " + doctype + L". DOCTYPE is not allowed"},
        {broken, L"line 3, position "},
        {missing, L"line 0, position 0 parsing ZVSchema file " + missing + L". "}};
    for (const auto& [path, lineStart] : cases) {
        SCOPED_TRACE(path);
        zvtest::LogCapture log;
        CZVSchema schema(L"p", L"Plant", L"");
        try {
            schema.ReadXML(path.c_str());
            ADD_FAILURE() << "no exception";
        } catch (const ZVXMLRuntimeError& error) {
            EXPECT_TRUE(zvtest::IsCheckedCallError(error.Message(), L"CheckXmlLoad(pXmlDoc)")) << error.Message();
            // The source file as the repository names it, not where it was built.
            EXPECT_EQ(std::wstring(error.Message()).rfind(L"Error at src/schemaxml/", 0), 0u) << error.Message();
            EXPECT_STREQ(error.Location(), L"");
        }
        const std::vector<std::wstring> lines = log.texts(L"ZVXML", LOG_SEV_ERROR);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind(lineStart, 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(L" parsing ZVSchema file " + path + L". "), std::wstring::npos);
        ExpectUntouched(schema);
    }
}

// An item's custom attributes are read once every class has its properties:
// here each names a class that comes later in the file.
TEST(SchemaFileRoot, CustomAttributesMayUseClassesDefinedLater)
{
    const std::string note = "<ZVCustomAttributes><Note><Text>on ";
    const std::string end = "</Text></Note></ZVCustomAttributes>";
    zvtest::ScratchFolder folder;
    const std::wstring path = folder.Write(
        "later.zvschema.xml",
        SchemaText("schemaName='Later' nameSpacePrefix='l'",
                   "<ZVRelationshipClass typeName='Holds'><Source><Class class='Pump'/>" + note + "an end" + end +
                       "</Source></ZVRelationshipClass>"
                       "<ZVClass typeName='Pump'>" +
                       note + "a class" + end + "<ZVProperty propertyName='Tag' typeName='string'>" + note +
                       "a property" + end +
                       "</ZVProperty></ZVClass>"
                       "<ZVClass typeName='Note' isCustomAttributeClass='True'>" +
                       note + "itself" + end + "<ZVProperty propertyName='Text' typeName='string'/></ZVClass>"));
    CZVSchema schema(L"temporary", L"temporary", L"");
    ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
    const auto text = [](const CZVCommon& item) {
        return std::wstring(item.GetZVCustomAttribute(0)->GetPropertyValue(L"Text"));
    };
    CZVClass* pump = schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY);
    EXPECT_EQ(text(*pump), L"on a class");
    EXPECT_EQ(text(*pump->FindProperty(L"Tag")), L"on a property");
    EXPECT_EQ(text(*schema.FindZVClass(L"Note", ZVCLASSTYPE_ANY)), L"on itself");
    EXPECT_EQ(text(schema.FindZVRelationshipClass(L"Holds", ZVCLASSTYPE_ANY)->m_source.Common()), L"on an end");
    CZVSchema::FreeRecycledValues();
}

// Any XML tool may declare namespaces on any element: on an inner element as
// on the root, a declaration is no attribute of the item.
TEST(SchemaFileRoot, NamespaceDeclarationsOnEveryElementAreIgnored)
{
    const std::string declarations = " xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' xmlns:x='urn:x'";
    const auto open = [&](const std::string& tag) { return "<" + tag + declarations; };
    zvtest::ScratchFolder folder;
    folder.Write("Lib.01.00.zvschema.xml",
                 SchemaText("schemaName='Lib' version='01.00' nameSpacePrefix='lb'", "<ZVClass typeName='Unit'/>"));
    const std::wstring path = folder.Write(
        "Main.01.00.zvschema.xml",
        SchemaText("schemaName='Main' version='01.00' nameSpacePrefix='mn'",
                   open("ZVSchemaReference") + " name='Lib' version='01.00' prefix='lb'/>" + open("ZVClass") +
                       " typeName='Pump'>" + open("ZVProperty") + " propertyName='Flow' typeName='double'/></ZVClass>" +
                       open("ZVRelationshipClass") + " typeName='Feeds'>" + open("Source") + ">" + open("Class") +
                       " class='Pump'>" + open("Key") + ">" + open("Property") +
                       " name='Flow'/></Key></Class></Source>" + open("Target") + ">" + open("Class") +
                       " class='lb:Unit'/></Target></ZVRelationshipClass>" + open("ZVRelationshipClass") +
                       " typeName='Drives'><ZVRelationshipConstraints>" + open("ZVRelationshipConstraint") + ">" +
                       open("ZVSourceConstraint") + " className='Pump'>" + open("ZVRelationshipKey") +
                       " propertyName='Flow'/></ZVSourceConstraint>" + open("ZVTargetConstraint") +
                       " className='Pump'/></ZVRelationshipConstraint></ZVRelationshipConstraints>"
                       "</ZVRelationshipClass>"));
    zvtest::LogCapture log;
    CZVSchema schema(L"temporary", L"temporary", L"");
    schema.SetReferenceSearchPath(zvtest::Widen(folder.path()).c_str());
    ReportingLibraryErrors([&] { ASSERT_EQ(schema.ReadXML(path.c_str()), 0); });
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_WARNING), std::vector<std::wstring>());
    ASSERT_EQ(schema.GetReferenceCount(), 1u);
    CZVClass* pump = schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY);
    ASSERT_NE(pump, nullptr);
    EXPECT_NE(pump->FindProperty(L"Flow"), nullptr);
    CZVRelationshipClass* feeds = schema.FindZVRelationshipClass(L"Feeds", ZVCLASSTYPE_ANY);
    ASSERT_NE(feeds, nullptr);
    EXPECT_EQ(feeds->m_source.m_className, L"Pump");
    EXPECT_EQ(feeds->m_source.m_keyVector, std::vector<std::wstring>{L"Flow"});
    EXPECT_EQ(feeds->m_targets.m_classNames, std::vector<std::wstring>{L"lb:Unit"});
    CZVRelationshipClass* drives = schema.FindZVRelationshipClass(L"Drives", ZVCLASSTYPE_ANY);
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(drives->m_source.m_keyVector, std::vector<std::wstring>{L"Flow"});
}

namespace {

std::wstring g_atExitPath; // the file the exit handler reads

bool ReadsOneClass(const std::wstring& path)
{
    CZVSchema schema(L"temporary", L"temporary", L"");
    return schema.ReadXML(path.c_str()) == 0 && schema.GetZVClassCount() == 1;
}

void ReadAtExit()
{
    if (!ReadsOneClass(g_atExitPath)) {
        std::_Exit(3);
    }
}

} // namespace

// Reading keeps some strings per thread for the next read. A host may read a
// schema while its statics are destroyed, after the thread's own objects
// are: the read must neither use nor free them again.
TEST(SchemaFileRoot, AFileReadsAfterTheThreadsOwnObjectsAreDestroyed)
{
    zvtest::ScratchFolder folder;
    g_atExitPath =
        folder.Write("at_exit.zvschema.xml",
                     SchemaText("schemaName='AtExit' nameSpacePrefix='a'",
                                "<ZVClass typeName='Pump' description='a description longer than a few characters'>"
                                "<ZVProperty propertyName='Tag' typeName='string' displayLabel='a long display label'/>"
                                "</ZVClass>"));
    EXPECT_EXIT(
        {
            const bool read = ReadsOneClass(g_atExitPath);
            std::atexit(ReadAtExit);
            std::exit(read ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}
