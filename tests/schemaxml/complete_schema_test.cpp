// A schema file set using everything a schema file can hold loads completely:
// references two levels deep, custom attributes at every level (of the
// file's own classes and of referenced ones, of classes defined later in the
// file), classes, properties, base classes named forwards and across files,
// and relationship classes in both the current and the legacy form.
#include "schema_file_support.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

using namespace ZVXML;

namespace {

using Names = std::vector<std::wstring>;
using zvtest::Texts;

int g_upgradeCalls = 0;
int CountingHandler(CZVSchema*, CZVRelationshipClass*, CZVRelationshipConstraint*, ZVArrayValue**)
{
    ++g_upgradeCalls;
    return 0;
}

class CompleteSchema : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        zvtest::EnvironmentVariable noPath("ZVSCHEMA_PATH", nullptr);
        zvtest::WorkingDirectory inSet(zvtest::DataFolder("complete"));
        zvtest::LogCapture log;
        plant = new CZVSchema(L"temporary", L"temporary", L"");
        plant->SetZVRelationshipUpgradeHandler(&CountingHandler);
        result = plant->ReadXML(L"Plant.01.02.zvschema.xml");
        for (const zvtest::LogLine& line : log.lines()) {
            said += line.severity != LOG_SEV_TRACE ? line.text + L"\n" : L"";
        }
    }
    static void TearDownTestSuite() { delete plant; }

    static CZVClass* Class(CZVSchema* schema, const wchar_t* name)
    {
        CZVClass* found = schema->FindZVClass(name, ZVCLASSTYPE_ANY);
        EXPECT_NE(found, nullptr) << ::testing::PrintToString(std::wstring(name));
        return found;
    }
    static CZVRelationshipClass* Relationship(CZVSchema* schema, const wchar_t* name)
    {
        return schema->FindZVRelationshipClass(name, ZVCLASSTYPE_ANY);
    }
    static CZVSchema* plant;
    static int result;
    static std::wstring said;
};

CZVSchema* CompleteSchema::plant = nullptr;
int CompleteSchema::result = -1;
std::wstring CompleteSchema::said;

} // namespace

// Field-by-field equality of what was read is the round trip's job; here
// only what needs the whole file set: where each piece was resolved from.
TEST_F(CompleteSchema, EveryPieceIsResolvedWhereItBelongs)
{
    ASSERT_EQ(result, 0);
    EXPECT_EQ(said, L"");
    EXPECT_STREQ(plant->GetSchemaName(), L"Plant");
    EXPECT_EQ(plant->VersionString(), L"01.02");

    ASSERT_EQ(plant->GetReferenceCount(), 2u);
    CZVSchema* units = plant->GetReferencedSchema(0);
    CZVSchema* catalog = plant->FindReferencedSchemaByPrefix(L"cat");
    ASSERT_NE(catalog, nullptr);
    // Catalog loads its own copy of Units.
    ASSERT_EQ(catalog->GetReferenceCount(), 1u);
    EXPECT_NE(catalog->GetReferencedSchema(0), units);
    EXPECT_STREQ(catalog->GetReferencedSchema(0)->GetSchemaName(), L"Units");

    ASSERT_EQ(plant->GetZVCustomAttributeCount(), 2u);
    EXPECT_EQ(plant->GetZVCustomAttribute(0)->GetZVClass(), Class(plant, L"PlantInfo")); // defined after its use
    EXPECT_EQ(plant->GetZVCustomAttribute(1)->GetZVClass()->GetZVSchema(), units);
    EXPECT_EQ(Texts(plant->GetZVCustomAttribute(0)->GetPropertyValue(L"Tags", true)), (Names{L"water", L"north site"}));

    CZVClass* pump = Class(plant, L"Pump");
    EXPECT_EQ(Class(plant, L"CentrifugalPump")->FindProperty(L"Tag"), pump->GetZVProperty(0)); // inherited
    EXPECT_EQ(Class(plant, L"Tank")->GetBaseZVClass(), Class(plant, L"Vessel")); // named before Vessel was defined
    // Through Valve and Part in Catalog.
    EXPECT_NE(Class(plant, L"ControlValve")->FindProperty(L"PartNumber"), nullptr);
    EXPECT_EQ(Class(catalog, L"CheckValve")->GetBaseZVClass(), Class(catalog, L"Valve"));

    CZVRelationshipClass* feeds = Relationship(plant, L"PumpFeedsTank");
    ASSERT_NE(feeds, nullptr);
    EXPECT_EQ(feeds->m_targets.m_classNames, (Names{L"Tank", L"Vessel", L"cat:Valve"}));
    EXPECT_EQ(feeds->m_targets.m_keyVectors, (std::vector<Names>{{L"Volume"}, {}, {L"PartNumber", L"Size"}}));

    // The legacy pairs: the host's handler sees only Plant's, not Catalog's.
    EXPECT_EQ(g_upgradeCalls, 2);
    CZVRelationshipClass* piped = Relationship(plant, L"PipedTo");
    ASSERT_NE(piped, nullptr);
    EXPECT_EQ(piped->m_source.m_className, L"Pump");
    EXPECT_EQ(piped->m_targets.m_classNames, (Names{L"Tank", L"cat:Part"}));
    CZVRelationshipClass* supplies = Relationship(catalog, L"Supplies");
    ASSERT_NE(supplies, nullptr);
    EXPECT_EQ(supplies->m_targets.m_classNames, Names{L"Part"});
}
