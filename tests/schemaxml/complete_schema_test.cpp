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
    static std::wstring Value(CZVCommon* item, const wchar_t* property, std::size_t index = 0)
    {
        return item->GetZVCustomAttribute(index)->GetPropertyValue(property);
    }
    static CZVSchema* plant;
    static int result;
    static std::wstring said;
};

CZVSchema* CompleteSchema::plant = nullptr;
int CompleteSchema::result = -1;
std::wstring CompleteSchema::said;

} // namespace

TEST_F(CompleteSchema, TheRootTheReferencesAndTheSchemasOwnCustomAttributes)
{
    ASSERT_EQ(result, 0);
    EXPECT_EQ(said, L"");
    EXPECT_STREQ(plant->GetSchemaName(), L"Plant");
    EXPECT_STREQ(plant->GetSchemaPrefix(), L"pl");
    EXPECT_EQ(plant->VersionString(), L"01.02");
    EXPECT_STREQ(plant->GetDescription(), L"Pumps, tanks and what connects them");
    EXPECT_STREQ(plant->GetDisplayLabel(), L"Plant model");

    ASSERT_EQ(plant->GetReferenceCount(), 2u);
    CZVReferencedSchemaIterator references(plant);
    CZVSchemaReference* units = references.Begin();
    EXPECT_EQ(units->m_schemaName + L" " + units->m_schemaPrefix + L" " + units->m_versionString, L"Units u 01.00");
    CZVSchemaReference* catalog = references.Next();
    EXPECT_EQ(catalog->m_versionString, L"02.01");
    EXPECT_STREQ(catalog->m_pZVSchema->GetDisplayLabel(), L"Parts catalog");
    EXPECT_STREQ(units->m_pZVSchema->GetDescription(), L"Units of measure and the custom attribute that names them");
    // Catalog loads its own copy of Units.
    ASSERT_EQ(catalog->m_pZVSchema->GetReferenceCount(), 1u);
    EXPECT_NE(catalog->m_pZVSchema->GetReferencedSchema(0), units->m_pZVSchema);
    EXPECT_STREQ(catalog->m_pZVSchema->GetReferencedSchema(0)->GetSchemaName(), L"Units");

    ASSERT_EQ(plant->GetZVCustomAttributeCount(), 2u);
    CZVCustomAttribute* plantInfo = plant->GetZVCustomAttribute(0);
    EXPECT_EQ(plantInfo->GetZVClass(), Class(plant, L"PlantInfo")); // defined after its use
    EXPECT_STREQ(plantInfo->GetPropertyValue(L"Owner"), L"Operations");
    EXPECT_EQ(Texts(plantInfo->GetPropertyValue(L"Tags", true)), (Names{L"water", L"north site"}));
    CZVCustomAttribute* unitInfo = plant->GetZVCustomAttribute(1);
    EXPECT_EQ(unitInfo->GetZVClass()->GetZVSchema(), plant->GetReferencedSchema(0));
    EXPECT_EQ(Texts(unitInfo->GetPropertyValue(L"Symbols", true)), Names{L"m3/h"});
    auto* ranges = dynamic_cast<ZVArrayValue*>(unitInfo->GetPropertyValue(L"Ranges", true));
    ASSERT_NE(ranges, nullptr);
    ASSERT_EQ(ranges->GetLength(), 2u);
    EXPECT_STREQ(ranges->GetStructInstance(0, L"Range")->GetPropertyValue(L"High"), L"10.5");
    EXPECT_STREQ(ranges->GetStructInstance(1, L"Range")->GetPropertyValue(L"Low"), L"-1e+003");
    EXPECT_EQ(unitInfo->GetPropertyValue(L"Note", false), nullptr); // an empty element
}

TEST_F(CompleteSchema, ClassesAndTheirPropertiesHereAndInTheReferencedSchemas)
{
    EXPECT_EQ(plant->GetZVClassCount(), 7u);
    CZVClass* plantInfo = Class(plant, L"PlantInfo");
    EXPECT_EQ(plantInfo->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_CUSTOM_ATTRIBUTE));
    EXPECT_STREQ(plantInfo->FindProperty(L"Tags")->GetMinOccurs(), L"0");
    EXPECT_EQ(Class(plant, L"Nozzle")->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_STRUCT));

    CZVClass* pump = Class(plant, L"Pump");
    EXPECT_EQ(pump->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_DOMAIN));
    EXPECT_STREQ(pump->GetDescription(), L"Moves liquid");
    EXPECT_STREQ(pump->GetDisplayLabel(), L"Pump");
    EXPECT_EQ(Value(pump, L"Owner"), L"Maintenance");
    ASSERT_EQ(pump->GetZVPropertyCount(), 3u);
    CZVProperty* tag = pump->GetZVProperty(0);
    EXPECT_STREQ(tag->GetPropertyName(), L"Tag");
    EXPECT_EQ(tag->ReadOnly(), 1);
    EXPECT_STREQ(tag->GetDisplayLabel(), L"Tag number");
    CZVProperty* flow = pump->GetZVProperty(1);
    EXPECT_STREQ(flow->GetDescription(), L"Rated flow");
    ASSERT_EQ(flow->GetZVCustomAttributeCount(), 1u);
    EXPECT_EQ(Texts(flow->GetZVCustomAttribute(0)->GetPropertyValue(L"Symbols", true)), (Names{L"m3/h", L"l/s"}));
    EXPECT_EQ(Value(flow, L"Note"), L"rated");
    CZVProperty* inlet = pump->GetZVProperty(2);
    EXPECT_EQ(std::to_wstring(inlet->IsStruct()) + std::to_wstring(inlet->IsArray()) + inlet->GetTypeName(),
              L"10Nozzle");

    CZVClass* centrifugal = Class(plant, L"CentrifugalPump");
    EXPECT_EQ(centrifugal->GetBaseZVClass(), pump);
    EXPECT_FALSE(centrifugal->FindProperty(L"Stages")->IsArray());
    EXPECT_EQ(centrifugal->FindProperty(L"Tag"), tag); // inherited
    CZVClass* tank = Class(plant, L"Tank");
    EXPECT_EQ(tank->GetBaseZVClass(), Class(plant, L"Vessel")); // named before Vessel was defined
    EXPECT_TRUE(tank->FindProperty(L"Levels")->IsArray());
    EXPECT_STREQ(tank->FindProperty(L"Levels")->GetMaxOccurs(), L"4");
    CZVClass* controlValve = Class(plant, L"ControlValve");
    EXPECT_STREQ(controlValve->GetBaseClass(), L"cat:Valve");
    EXPECT_NE(controlValve->FindProperty(L"PartNumber"), nullptr); // through Valve and Part in Catalog

    CZVSchema* catalog = plant->FindReferencedSchemaByPrefix(L"cat");
    ASSERT_NE(catalog, nullptr);
    CZVClass* valve = Class(catalog, L"Valve");
    EXPECT_STREQ(valve->GetBaseClass(), L"Part");
    EXPECT_EQ(Texts(valve->FindProperty(L"Size")->GetZVCustomAttribute(0)->GetPropertyValue(L"Symbols", true)),
              (Names{L"mm", L"in"}));
    EXPECT_EQ(Class(catalog, L"CheckValve")->GetBaseZVClass(), valve);
}

TEST_F(CompleteSchema, RelationshipClassesInTheCurrentAndTheLegacyForm)
{
    ASSERT_EQ(plant->GetZVRelationshipClassCount(), 2u);
    CZVRelationshipClass* feeds = Relationship(plant, L"PumpFeedsTank");
    ASSERT_NE(feeds, nullptr);
    EXPECT_STREQ(feeds->GetStrength(), L"referencing");
    EXPECT_STREQ(feeds->GetStrengthDirection(), L"forward");
    EXPECT_STREQ(feeds->GetDescription(), L"Which pump fills which tank");
    EXPECT_EQ(feeds->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_DOMAIN));
    EXPECT_NE(feeds->FindProperty(L"Since"), nullptr);
    const CZVSource& source = feeds->m_source;
    EXPECT_EQ(source.m_cardinality + L"|" + source.m_roleLabel + L"|" + source.m_className, L"0..1|feeds|Pump");
    EXPECT_EQ(source.m_isPolymorphic, 1);
    EXPECT_EQ(source.m_keyVector, Names{L"Tag"});
    ASSERT_EQ(source.Common().GetZVCustomAttributeCount(), 1u);
    EXPECT_STREQ(source.Common().GetZVCustomAttribute(0)->GetPropertyValue(L"Owner"), L"Process");
    const CZVTargets& targets = feeds->m_targets;
    EXPECT_EQ(targets.m_cardinality + L"|" + targets.m_roleLabel, L"0..*|is fed by");
    EXPECT_EQ(targets.m_isPolymorphic, 0);
    EXPECT_EQ(targets.m_classNames, (Names{L"Tank", L"Vessel", L"cat:Valve"}));
    EXPECT_EQ(targets.m_keyVectors, (std::vector<Names>{{L"Volume"}, {}, {L"PartNumber", L"Size"}}));

    // The legacy pairs: the host's handler sees only Plant's, not Catalog's.
    EXPECT_EQ(g_upgradeCalls, 2);
    CZVRelationshipClass* piped = Relationship(plant, L"PipedTo");
    ASSERT_NE(piped, nullptr);
    EXPECT_EQ(piped->m_source.m_className + L"|" + piped->m_source.m_roleLabel, L"Pump|pipes to");
    EXPECT_EQ(piped->m_source.m_isPolymorphic, 1);
    EXPECT_EQ(piped->m_source.m_keyVector, Names{L"Tag"});
    EXPECT_EQ(piped->m_targets.m_roleLabel, L"is piped from");
    EXPECT_EQ(piped->m_targets.m_classNames, (Names{L"Tank", L"cat:Part"}));
    EXPECT_EQ(piped->m_targets.m_keyVectors, (std::vector<Names>{{L"Volume"}, {L"PartNumber"}}));
    CZVRelationshipClass* supplies = Relationship(plant->FindReferencedSchemaByPrefix(L"cat"), L"Supplies");
    ASSERT_NE(supplies, nullptr);
    EXPECT_EQ(supplies->m_source.m_className, L"Part");
    EXPECT_EQ(supplies->m_source.m_keyVector, Names{L"PartNumber"});
    EXPECT_EQ(supplies->m_targets.m_classNames, Names{L"Part"});
}
