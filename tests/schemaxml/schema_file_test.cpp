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
            EXPECT_STREQ(schema.GetSchemaName(), L"Plant"); // untouched
            EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
            EXPECT_EQ(schema.GetZVClassCount(), 0u);
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

// Refused in the first pass, before any class is added. "temporary" stands
// for a name not set, in the schema and in the file.
TEST(SchemaFileRoot, ABlankNameOrPrefixAndUnknownChildrenAreRefused)
{
    const std::string named = "schemaName='P' nameSpacePrefix='p'";
    const std::wstring unknown = L"Unrecognized element under ZVSchema element: ";
    const std::pair<std::string, std::wstring> cases[] = {
        {SchemaText("nameSpacePrefix='pp'", ""), L"ZVSchema's schemaName cannot be blank!"},
        {SchemaText("schemaName='Pipes'", ""), L"ZVSchema's nameSpacePrefix cannot be blank!"},
        {SchemaText(named, "<ZVClass typeName='A'/>some text<ZVClass typeName='B'/>"), unknown + L"'#text'"},
        {SchemaText(named, "<x:Extra xmlns:x='urn:x'/>"), unknown + L"'x:Extra'"},
    };
    const zvtest::ScratchFolder folder;
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        CZVSchema schema(L"temporary", L"temporary", L"");
        EXPECT_ZV_THROW(schema.ReadXML(folder.Write("refused.zvschema.xml", text).c_str()), ZVXMLFormatError, message);
        EXPECT_EQ(schema.GetZVClassCount(), 0u);
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
