// Whatever the reader accepts, the writer writes so that reading it back
// gives the same schema (versions normalised, base classes relative).
#include <zvxml/zvxml.h>

#include "schemaxml/schema_equality.h"
#include "schemaxml/written_tree.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace ZVXML;
using namespace zvtest;

namespace {

// Writes the schema and every schema it references into `folder`, each
// under its official file name.
void WriteWithReferences(CZVSchema& schema, const std::filesystem::path& folder, std::set<CZVSchema*>& written)
{
    if (!written.insert(&schema).second) {
        return;
    }
    const std::wstring path = (folder / schema.OfficialFilename()).wstring();
    ASSERT_EQ(schema.WriteXML(path.c_str()), 0);
    for (std::size_t i = 0; i < schema.GetReferenceCount(); ++i) {
        if (CZVSchema* referenced = schema.GetReferencedSchema(static_cast<unsigned long>(i))) {
            WriteWithReferences(*referenced, folder, written);
        }
    }
}

std::unique_ptr<CZVSchema> ReadBack(const std::filesystem::path& file)
{
    auto schema = std::make_unique<CZVSchema>(L"temporary", L"temporary", nullptr);
    schema->SetReferenceSearchPath(file.parent_path().wstring().c_str());
    EXPECT_EQ(schema->ReadXML(file.wstring().c_str()), 0);
    return schema;
}

void ExpectRoundTripOf(CZVSchema& original)
{
    ScratchFolder folder;
    std::set<CZVSchema*> written;
    WriteWithReferences(original, folder.Path(""), written);
    const std::wstring fileName = original.OfficialFilename();
    std::unique_ptr<CZVSchema> again = ReadBack(folder.Path(std::string(fileName.begin(), fileName.end())));
    SchemaDifferences differences(original, *again);
    for (const std::wstring& difference : differences.List()) {
        ADD_FAILURE() << ::testing::PrintToString(difference);
    }
}

void ExpectRoundTrip(CZVSchema& original)
{
    ReportingLibraryErrors([&] { ExpectRoundTripOf(original); });
}

CZVSchema* MakeBase()
{
    auto* base = new CZVSchema(L"b", L"Base", L"shared things");
    base->SetVersionString(L"2.1");
    CZVClass* extent = base->CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    extent->AddZVProperty(L"X", L"double", L"");
    extent->AddZVProperty(L"Y", L"double", L"");
    CZVClass* note = base->CreateZVClass(L"Note", L"a remark", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    note->AddZVProperty(L"Text", L"string", L"");
    note->AddZVProperty(L"Lines", L"string", L"")->SetMaxOccurs(L"unbounded");
    note->AddZVProperty(L"Areas", L"Extent", L"")->SetMaxOccurs(L"unbounded");
    base->CreateZVClass(L"Item", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Tag", L"string", L"");
    return base;
}

// A custom attribute of Base's Note class with a text, two lines and one area.
CZVCustomAttribute* MakeNote(CZVSchema& schema, const wchar_t* text)
{
    CZVClass* note = schema.FindZVClass(L"Note", ZVCLASSTYPE_ANY);
    auto* attribute = new CZVCustomAttribute(note);
    attribute->SetPropertyValue(L"Text", text);
    auto* lines = new ZVArrayValue(note->FindProperty(L"Lines"));
    lines->PushBack(new CZVValue(note->FindProperty(L"Lines"), L"first"));
    lines->PushBack(new CZVValue(note->FindProperty(L"Lines"), L"second <&>"));
    attribute->AddZVValue(lines);
    auto* areas = new ZVArrayValue(note->FindProperty(L"Areas"));
    auto* area = new ZVStructValue(note->FindProperty(L"Areas"));
    area->GetValue()->SetPropertyValue(L"X", 1.5);
    area->GetValue()->SetPropertyValue(L"Y", -2.0);
    areas->PushBack(area);
    attribute->AddZVValue(areas);
    return attribute;
}

void RichRoundTrip();

} // namespace

TEST(SchemaRoundTrip, ARichSchemaComesBackFieldByField)
{
    ReportingLibraryErrors([] { RichRoundTrip(); });
    CZVSchema::FreeRecycledValues();
}

namespace {
void RichRoundTrip()
{
    CZVSchema rich(L"r", L"Rich", L"Pump's flow < 5 & \"more\"\nline two");
    rich.SetVersionString(L"1.2");
    rich.SetDisplayLabel(L"A rich schema");
    CZVSchemaReference reference(MakeBase());
    reference.m_versionString = L"2.1"; // normalised on the way
    rich.AddReference(reference);
    rich.AddZVCustomAttribute(MakeNote(rich, L"on the schema"));

    CZVClass* flagged = rich.CreateZVClass(L"Flagged", L"all flags", 7);
    flagged->SetDisplayLabel(L"Flagged!");
    CZVClass* equipment = rich.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    equipment->SetBaseClass(L"b:Item");
    equipment->AddZVCustomAttribute(MakeNote(rich, L"on a class"));
    CZVClass* pump = rich.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    pump->SetBaseClass(L"Equipment");
    pump->AddZVProperty(L"Name", L"string", L"its name")->SetDisplayLabel(L"Name");
    CZVProperty* size = pump->AddZVProperty(L"Size", L"Extent", L"");
    size->SetReadOnly(1);
    size->AddZVCustomAttribute(MakeNote(rich, L"on a property"));
    pump->AddZVProperty(L"Speeds", L"double", L"")->SetMinOccurs(L"0");
    CZVProperty* corners = pump->AddZVProperty(L"Corners", L"Extent", L"");
    corners->SetMinOccurs(L"1");
    corners->SetMaxOccurs(L"8");
    (void)flagged;

    CZVRelationshipClass* link = rich.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    link->SetStrength(L"holding");
    link->SetStrengthDirection(L"backward");
    link->AddZVProperty(L"Port", L"string", L"");
    link->m_source.m_className = L"Pump";
    link->m_source.m_keyVector = {L"Name", L"Tag"};
    link->m_source.m_roleLabel = L"drives";
    link->m_source.m_cardinality = L"1";
    link->m_source.Common().AddZVCustomAttribute(MakeNote(rich, L"on a source"));
    link->m_targets.m_classNames = {L"Equipment", L"b:Item"};
    link->m_targets.m_keyVectors = {{L"Tag"}, {}};
    link->m_targets.m_isPolymorphic = 1;
    link->m_targets.m_cardinality = L"0..*";
    link->m_targets.Common().AddZVCustomAttribute(MakeNote(rich, L"on a target"));
    link->AddZVCustomAttribute(MakeNote(rich, L"on a relationship class"));
    CZVRelationshipClass* special = rich.CreateZVRelationshipClass(L"SpecialLink", L"", 5);
    special->SetBaseClass(L"Link");
    special->m_source.m_className = L"ZVObject";

    ExpectRoundTrip(rich);
}
} // namespace

TEST(SchemaRoundTrip, EveryTestAndExampleSchemaSurvives)
{
    for (const std::string& file : {std::string(ZVXML_TEST_DATA_DIR) + "/complete/Plant.01.02.zvschema.xml",
                                   std::string(ZVXML_TEST_DATA_DIR) + "/refs/Top.01.00.zvschema.xml",
                                   std::string(ZVXML_TEST_DATA_DIR) + "/../../../examples/schemas/Plant.01.02.zvschema.xml"}) {
        SCOPED_TRACE(file);
        ReportingLibraryErrors([&] {
            std::unique_ptr<CZVSchema> original = ReadBack(file);
            ExpectRoundTrip(*original);
        });
    }
    CZVSchema::FreeRecycledValues();
}
