// Where in a schema file a failure or a log line was found: the file (the
// path found, for a referenced one) and the line of the element being read.
#include "schema_file_support.h"

#include "support/log_capture.h"
#include "support/where.h"
#include "support/stdout_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace ZVXML;
using zvtest::SchemaText;

namespace {

using zvtest::Where;

// The exception a load throws: its type, message, location and place.
struct Thrown {
    std::string type;
    std::wstring message, location;
    Where where;
};

std::optional<Thrown> LoadFailure(const std::wstring& path, CZVSchema& schema)
{
    try {
        schema.ReadXML(path.c_str());
    } catch (const ZVXMLException& error) {
        return Thrown{typeid(error).name(), error.Message(), error.Location(), zvtest::PositionOf(error)};
    }
    return std::nullopt;
}

std::optional<Thrown> LoadFailure(const std::wstring& path)
{
    CZVSchema schema(L"temporary", L"temporary", nullptr);
    return LoadFailure(path, schema);
}

// Each log line of the "ZVXML" category with the place it was about.
struct PlacedLine {
    LOG_SEV severity;
    std::wstring text;
    Where where;
};
std::vector<PlacedLine> g_lines;
void Place(LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    if (std::wstring(category) == L"ZVXML" && severity >= LOG_SEV_WARNING) {
        g_lines.push_back(PlacedLine{severity, text, zvtest::ReadPositionNow()});
    }
}

class PlacedLog {
public:
    PlacedLog() : m_previous(SetLoggingCallback(&Place)) { g_lines.clear(); }
    ~PlacedLog() { SetLoggingCallback(m_previous); }
    PlacedLog(const PlacedLog&) = delete;
    PlacedLog& operator=(const PlacedLog&) = delete;

private:
    LoggingCallback m_previous;
};

} // namespace

// The line is that of the element's start tag; schema files give no column.
// Custom attributes are read after every class of the file, yet their
// failures are placed at their own element.
TEST(SchemaFilePositions, AnItemsFailureCarriesItsFileAndLine)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"  <ZVClass typeName='Tank'>\n    <ZVProperty propertyName='Volume' typeName='double'/>\n"
         "    <ZVProperty\n        propertyName='Level'/>\n  </ZVClass>",
         L"Required attribute typeName not found on an ZVProperty"},
        {"  <ZVClass typeName='Tank'>\n    <ZVCustomAttributes>\n      <Nowhere/>\n"
         "    </ZVCustomAttributes>\n  </ZVClass>\n  <ZVClass typeName='Pipe'/>",
         L"Attempted to use an ZVCustomAttribute of type 'Nowhere', but that ZVClass has not yet been defined."},
        // Refused while being added to its class: still the property's line.
        {"  <ZVClass typeName='Tank'>\n    <ZVProperty propertyName='Volume' typeName='double'/>\n"
         "    <ZVProperty propertyName='Volume' typeName='int'/>\n  </ZVClass>",
         L"Attempted to add duplicately named property Volume to class Tank"},
        {"  <ZVClass typeName='Tank'>\n    <ZVProperty propertyName='Volume' typeName='double'/>\n"
         "    <ZVProperty propertyName='Inlet' typeName='Nozzle'/>\n  </ZVClass>",
         L"ZVProperty Inlet has TypeName=Nozzle but no ZVClass with that name exists in the ZVSchema."},
        // A base class that would close a loop, named by a class read earlier.
        {"  <ZVClass typeName='Tank'><BaseClass>Vessel</BaseClass></ZVClass>\n  <ZVClass typeName='Vessel'>\n"
         "    <BaseClass>Tank</BaseClass>\n  </ZVClass>",
         L"Attempted to set BaseClass of ZVClass 'Vessel' to 'Tank', which would make the base classes of 'Vessel' "
         L"form a loop."},
        {"  <ZVRelationshipClass typeName='Feeds'>\n\n    <BaseClass>Feeds</BaseClass>\n  </ZVRelationshipClass>",
         L"Attempted to set BaseClass of ZVClass 'Feeds' to 'Feeds', which would make the base classes of 'Feeds' "
         L"form a loop."},
    };
    const zvtest::ScratchFolder folder;
    for (const auto& [children, message] : cases) {
        const std::wstring path =
            folder.Write("Tank.01.00.zvschema.xml", SchemaText("schemaName='Tank' nameSpacePrefix='t'", children));
        const std::optional<Thrown> thrown = LoadFailure(path);
        ASSERT_TRUE(thrown.has_value());
        EXPECT_EQ(thrown->message, message);
        EXPECT_EQ(thrown->where, (Where{path, 5, 0}));
        EXPECT_EQ(GetReadPosition().line, 0); // nothing is read any more
    }
}

// The texts of warnings stay; the callback asks where they come from.
TEST(SchemaFilePositions, ALogCallbackLearnsTheLineOfAWarning)
{
    const zvtest::ScratchFolder folder;
    const std::wstring path =
        folder.Write("Tank.01.00.zvschema.xml",
                     SchemaText("schemaName='Tank' nameSpacePrefix='t'",
                                "  <ZVClass typeName='Tank'>\n    <ZVProperty propertyName='Volume' typeName='double'\n"
                                "                units='m3'/>\n  </ZVClass>"));
    const PlacedLog log;
    CZVSchema schema(L"temporary", L"temporary", nullptr);
    ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0].text, L"Unrecognized xml attribute: units with value='m3'.");
    EXPECT_EQ(g_lines[0].where, (Where{path, 4, 0}));
}

// A file that does not load fails the checked call, naming the source file
// as the repository does, and leaves the schema alone. Its one log line
// gives the parse error's place, as the exception does; a missing file is
// named alone.
TEST(SchemaFilePositions, AFileThatDoesNotLoadIsLoggedWithItsPlaceThenReportedAsAFailedCheck)
{
    const zvtest::ScratchFolder folder;
    const std::wstring doctype =
        folder.Write("doctype.zvschema.xml",
                     "<?xml version='1.0'?>\n<!DOCTYPE ZVSchema [<!ENTITY big 'x'>]>\n" + SchemaText("", "&big;"));
    const std::wstring broken = folder.Write("broken.zvschema.xml", "<ZVSchema>\n  <ZVClass>\n</ZVSchema>");
    const std::wstring missing = folder.WidePath("missing.zvschema.xml");
    const struct {
        std::wstring path;
        long line;
        std::wstring logStart;
    } cases[] = {{doctype, 2, L"line 2, position 1 parsing ZVSchema file " + doctype + L". DOCTYPE is not allowed"},
                 {broken, 3, L"line 3, position "},
                 {missing, 0, L"line 0, position 0 parsing ZVSchema file " + missing + L". "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        const PlacedLog log;
        CZVSchema schema(L"p", L"Plant", L"");
        std::optional<Thrown> thrown;
        {
            const zvtest::StdoutCapture checkedCallMessage;
            thrown = LoadFailure(c.path, schema);
        }
        ASSERT_TRUE(thrown.has_value());
        EXPECT_EQ(thrown->type, typeid(ZVXMLRuntimeError).name());
        EXPECT_TRUE(zvtest::IsCheckedCallError(thrown->message, L"CheckXmlLoad(pXmlDoc)")) << thrown->message;
        EXPECT_EQ(thrown->message.rfind(L"Error at src/schemaxml/", 0), 0u) << thrown->message;
        EXPECT_EQ(thrown->location, L"");
        EXPECT_EQ(thrown->where.file, c.path);
        EXPECT_EQ(thrown->where.line, c.line);
        EXPECT_EQ(thrown->where.column > 0, c.line > 0) << thrown->where;
        ASSERT_EQ(g_lines.size(), 1u);
        EXPECT_EQ(g_lines[0].text.rfind(c.logStart, 0), 0u) << g_lines[0].text;
        EXPECT_NE(g_lines[0].text.find(L" parsing ZVSchema file " + c.path + L". "), std::wstring::npos);
        EXPECT_EQ(g_lines[0].where, thrown->where);
        EXPECT_STREQ(schema.GetSchemaName(), L"Plant");
        EXPECT_EQ(schema.GetZVClassCount(), 0u);
    }
}

// Inside a referenced file, even two references deep, the place is in that
// file (by the path found), for a failure as for a file that does not load;
// a reference that cannot be resolved is the referencing file's.
TEST(SchemaFilePositions, ReferencedFilesAnswerForThemselves)
{
    const zvtest::ScratchFolder folder;
    const std::wstring host = folder.Write("Host.01.00.zvschema.xml",
                                           SchemaText("schemaName='Host' nameSpacePrefix='h'",
                                                      "  <ZVSchemaReference name='Pipes' version='1.0' prefix='p'/>\n"
                                                      "  <ZVSchemaReference name='Gone' version='1.0' prefix='g'/>"));
    folder.Write("Pipes.01.00.zvschema.xml",
                 SchemaText("schemaName='Pipes' nameSpacePrefix='p'",
                            "  <ZVSchemaReference name='Units' version='1.0' prefix='u'/>"));
    const auto loadHostWithUnits = [&](const std::string& units) {
        folder.Write("Units.01.00.zvschema.xml", units);
        CZVSchema schema(L"temporary", L"temporary", nullptr);
        schema.SetReferenceSearchPath(zvtest::Widen(folder.path()).c_str());
        std::optional<Thrown> thrown = LoadFailure(host, schema);
        EXPECT_TRUE(thrown.has_value());
        return thrown.value_or(Thrown{});
    };
    const auto fileName = [](const Thrown& thrown) { return std::filesystem::path(thrown.where.file).filename(); };

    Thrown thrown = loadHostWithUnits(
        SchemaText("schemaName='Units' nameSpacePrefix='u'",
                   "\n\n  <ZVClass typeName='Length'>\n    <ZVProperty propertyName='Metres'/>\n  </ZVClass>"));
    EXPECT_EQ(thrown.message, L"Required attribute typeName not found on an ZVProperty");
    EXPECT_EQ(thrown.where.line, 6);
    EXPECT_EQ(fileName(thrown), "Units.01.00.zvschema.xml");
    {
        const zvtest::StdoutCapture checkedCallMessage;
        thrown = loadHostWithUnits("<ZVSchema>\n\n  <ZVClass>\n</ZVSchema>");
    }
    EXPECT_EQ(fileName(thrown), "Units.01.00.zvschema.xml");
    EXPECT_EQ(thrown.where.line, 4);
    EXPECT_GT(thrown.where.column, 0);

    thrown = loadHostWithUnits(SchemaText("schemaName='Units' nameSpacePrefix='u'", ""));
    EXPECT_EQ(thrown.message.rfind(L"The referenced ZVSchemaXML file 'Gone.01.00.zvschema.xml' could not be found", 0),
              0u);
    EXPECT_EQ(thrown.where, (Where{host, 4, 0}));
    EXPECT_EQ(thrown.location, L"CZVSchemaReference::ReadXML");
}
