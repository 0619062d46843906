// Schema references: finding the referenced file, loading it recursively,
// and the checks that keep a hostile or looping file set harmless.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

using namespace ZVXML;
using zvtest::SchemaText;

namespace {

std::string RefsFolder() { return zvtest::DataFolder("refs"); }

std::string Referencing(const std::string& references)
{
    return SchemaText("schemaName='Host' nameSpacePrefix='h'", references);
}

} // namespace

// A schema's own search path serves the references of the schemas it loads
// too, at any depth.
TEST(SchemaReference, NestedReferencesAreFoundThroughEveryFolderOfZvschemaPathOrTheSchemasSearchPath)
{
    zvtest::ScratchFolder folder;
    zvtest::WorkingDirectory elsewhere(folder.path());
    const std::pair<std::string, std::string> lists[] = {{"/nonexistent;" + RefsFolder(), ""},
                                                         {"/nonexistent:" + RefsFolder(), ""},
                                                         {"", "/nonexistent;" + RefsFolder()}};
    for (const auto& [variable, own] : lists) {
        SCOPED_TRACE(variable + " " + own);
        zvtest::EnvironmentVariable path("ZVSCHEMA_PATH", variable.empty() ? nullptr : variable.c_str());
        CZVSchema top(L"temporary", L"temporary", nullptr);
        top.SetReferenceSearchPath(zvtest::Widen(own).c_str());
        ASSERT_EQ(top.ReadXML(zvtest::DataFile("refs/Top.01.00.zvschema.xml").c_str()), 0);
        ASSERT_EQ(top.GetReferenceCount(), 1u);
        CZVSchema* middle = top.GetReferencedSchema(0);
        ASSERT_NE(middle, nullptr);
        ASSERT_EQ(middle->GetReferenceCount(), 1u);
        ASSERT_NE(middle->GetReferencedSchema(0), nullptr);
        EXPECT_STREQ(middle->GetReferencedSchema(0)->GetSchemaName(), L"Bottom");
        // The chain of base classes runs through all three files.
        CZVClass* thing = top.FindZVClass(L"TopThing", ZVCLASSTYPE_ANY);
        ASSERT_NE(thing, nullptr);
        EXPECT_STREQ(thing->GetBaseClass(), L"m:MiddleThing");
        EXPECT_NE(thing->FindProperty(L"Label"), nullptr);
        const CZVSchemaReference* reference = CZVReferencedSchemaIterator(&top).Begin();
        EXPECT_EQ(reference->m_schemaPrefix, L"m");
        EXPECT_EQ(reference->m_versionString, L"01.00"); // "1.0" in the file
        EXPECT_EQ(std::wstring(top.GetReferencedSchema(0)->GetReferenceSearchPath()), top.GetReferenceSearchPath());
    }
}

TEST(SchemaReference, TheNotFoundMessageShowsTheSearchList)
{
    zvtest::ScratchFolder folder;
    zvtest::WorkingDirectory elsewhere(folder.path());
    const std::wstring host =
        folder.Write("host.zvschema.xml", Referencing("<ZVSchemaReference name='Nowhere' version='1.2' prefix='n'/>"));
    const std::wstring opening =
        L"The referenced ZVSchemaXML file 'Nowhere.01.02.zvschema.xml' could not be found searching current "
        L"directory plus ZVSCHEMA_PATH: '";
    zvtest::EnvironmentVariable path("ZVSCHEMA_PATH", "/a;/b:/c");
    CZVSchema schema(L"p", L"Plant", L"");
    schema.SetReferenceSearchPath(L"/d;/e");
    EXPECT_ZV_THROW(schema.ReadXML(host.c_str()), ZVXMLRuntimeError,
                    opening + zvtest::Widen(std::filesystem::current_path().string()) + L";/a;/b:/c;/d;/e'");
}

// The referenced name becomes part of a path; a name the naming rule refuses
// must never reach the disk. Here the files those names lead to exist, so
// only the check keeps them from being loaded.
TEST(SchemaReference, NamesThatAreNoSchemaNamesNeverReachTheDisk)
{
    zvtest::WorkingDirectory inComplete(zvtest::DataFolder("complete"));
    zvtest::ScratchFolder folder;
    struct Case {
        const char* name;
        std::wstring message;
    } cases[] = {
        {"../refs/Bottom", L"ZVSchema names must begin with a letter or '_': '../refs/Bottom'"},
        {"Units/../../refs/Bottom", L"ZVSchema names can only contain alpha-numeric characters or '_': "
                                    L"'Units/../../refs/Bottom'"},
        {"/etc/passwd", L"ZVSchema names must begin with a letter or '_': '/etc/passwd'"},
        {"", L"ZVSchema names cannot be blank!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring host =
            folder.Write("host.zvschema.xml", Referencing(std::string("<ZVSchemaReference name='") + c.name +
                                                          "' version='1.0' prefix='b'/>"));
        CZVSchema schema(L"p", L"Plant", L"");
        EXPECT_ZV_THROW(schema.ReadXML(host.c_str()), ZVXMLDomainError, c.message);
        EXPECT_EQ(schema.GetReferenceCount(), 0u);
    }
}

TEST(SchemaReference, UnknownAttributesAreRefused)
{
    zvtest::WorkingDirectory inComplete(zvtest::DataFolder("complete"));
    zvtest::ScratchFolder folder;
    const std::wstring unknown = folder.Write(
        "unknown.zvschema.xml", Referencing("<ZVSchemaReference name='Bottom' version='1.0' location='x'/>"));
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(schema.ReadXML(unknown.c_str()), ZVXMLFormatError,
                    L"ZVSchemaReference contains unrecognized attribute 'location' with value='x'");
}
