// Reading relationship classes: the two ends, and the legacy constraint pairs
// upgraded into them.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using zvtest::LoadElement;

namespace {

using Names = std::vector<std::wstring>;

// Root <- A <- B, A <- D; Loner, X and Y stand alone.
class RelationshipReading : public ::testing::Test {
protected:
    RelationshipReading() : schema(L"p", L"Plant", L"")
    {
        for (const wchar_t* name : {L"Root", L"A", L"B", L"D", L"Loner", L"X", L"Y"}) {
            schema.CreateZVClass(name, L"", ZVCLASSTYPE_DOMAIN);
        }
        schema.FindZVClass(L"A", ZVCLASSTYPE_ANY)->SetBaseClass(L"Root");
        schema.FindZVClass(L"B", ZVCLASSTYPE_ANY)->SetBaseClass(L"A");
        schema.FindZVClass(L"D", ZVCLASSTYPE_ANY)->SetBaseClass(L"A");
        connects = New(L"Connects");
    }

    CZVRelationshipClass* New(const wchar_t* name)
    {
        return schema.CreateZVRelationshipClass(name, L"", ZVCLASSTYPE_DOMAIN);
    }

    // Reads `content` as the children of a relationship class element.
    int Read(const std::wstring& content, CZVRelationshipClass* into = nullptr)
    {
        XMLDocument document;
        const XMLNode element = LoadElement(document, L"<ZVRelationshipClass>" + content + L"</ZVRelationshipClass>");
        return (into ? into : connects)->ReadXMLContents(&schema, document, element);
    }

    void ExpectReadFails(const std::wstring& content, const std::wstring& message)
    {
        SCOPED_TRACE(content);
        EXPECT_ZV_THROW(Read(content), ZVXMLFormatError, message);
    }

    CZVSchema schema;
    CZVRelationshipClass* connects;
};

// A legacy pair; each constraint has the role label "from C" or "to C" and
// the one key "C.key".
std::wstring Pair(const std::wstring& source, const std::wstring& target)
{
    return L"<ZVRelationshipConstraint><ZVSourceConstraint className='" + source + L"' roleLabel='from " + source +
           L"'><ZVRelationshipKey propertyName='" + source +
           L".key'/></ZVSourceConstraint><ZVTargetConstraint "
           L"className='" +
           target + L"' roleLabel='to " + target + L"'><ZVRelationshipKey propertyName='" + target +
           L".key'/></ZVTargetConstraint></ZVRelationshipConstraint>";
}

std::wstring Legacy(const std::wstring& pairs)
{
    return L"<ZVRelationshipConstraints>" + pairs + L"</ZVRelationshipConstraints>";
}

} // namespace

TEST_F(RelationshipReading, EveryEndMessageNamesTheRelationshipClass)
{
    const std::wstring lacking = L"ZVRelationshipConstraint element of ZVRelationshipClass 'Connects' lacks a "
                                 L"ZVSourceConstraint or ZVTargetConstraint.";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"<Source kind='x'/>", L"Unrecognized attribute 'kind' ZVRelationshipClass\\Source element of 'Connects'."},
        {L"<Source><Class class='X' key='x'/></Source>",
         L"Unrecognized attribute 'key' ZVRelationshipClass\\Source\\Class element of 'Connects'."},
        {L"<Target><Class class='X'><Key><Property kind='b'/></Key></Class></Target>",
         L"Unrecognized attribute 'kind' in ZVRelationshipClass\\Target\\Class\\Key\\Property element of "
         L"'Connects'."},
        {L"<Target><Class/></Target>",
         L"ZVRelationshipClass\\Target\\Class element is empty in ZVRelationshipClass 'Connects"},
        {L"<Target><x:Classes xmlns:x='urn:x'/></Target>",
         L"Unrecognized element <Classes> in <Target> element of ZVRelationshipClass 'Connects'."},
        {Legacy(L"<Pair><ZVSourceConstraint className='B'/></Pair>"), lacking},
    };
    for (const auto& [content, message] : cases) {
        ExpectReadFails(content, message);
    }
    EXPECT_TRUE(connects->m_targets.m_keyVectors.empty()); // a refused target class adds no key list either
}

TEST_F(RelationshipReading, CommentsAmongTheLegacyPairsAreNoPairs)
{
    EXPECT_EQ(Read(Legacy(L"<!-- comments are no pairs -->")), 0);
    EXPECT_TRUE(connects->m_targets.m_classNames.empty());
}

TEST_F(RelationshipReading, LegacyPairsGeneraliseTheSourceAndListEachTargetOnce)
{
    EXPECT_EQ(Read(Legacy(Pair(L"B", L"X") + L"<!-- no pair -->" + Pair(L"D", L"Y") + Pair(L"B", L"X"))), 0);
    EXPECT_EQ(connects->m_source.m_className, L"A");
    EXPECT_EQ(connects->m_source.m_isPolymorphic, 1);
    EXPECT_EQ(connects->m_targets.m_classNames, (Names{L"X", L"Y"}));
    EXPECT_EQ(connects->m_targets.m_keyVectors, (std::vector<Names>{{L"X.key"}, {L"Y.key"}}));

    CZVRelationshipClass* same = New(L"Same");
    EXPECT_EQ(Read(Legacy(Pair(L"B", L"X") + Pair(L"B", L"X")), same), 0);
    EXPECT_EQ(same->m_source.m_className, L"B");
    EXPECT_EQ(same->m_source.m_isPolymorphic, 0);

    CZVRelationshipClass* unrelated = New(L"Unrelated");
    EXPECT_EQ(Read(Legacy(Pair(L"Loner", L"X") + Pair(L"B", L"X") + Pair(L"B", L"Y")), unrelated), 0);
    EXPECT_EQ(unrelated->m_source.m_className, L"ZVObject"); // and stays so
    EXPECT_EQ(unrelated->m_source.m_isPolymorphic, 1);
}

TEST_F(RelationshipReading, UnknownLegacyClassesGoToTheResolutionHelper)
{
    auto unknown = [](const std::wstring& name) {
        return L"ZVRelationshipClass 'Connects' refers to ZVClass '" + name +
               L"', which does not exist in the ZVSchema 'Plant' or its referenced ZVSchemas.";
    };
    ExpectReadFails(Legacy(Pair(L"ext:Pump", L"X")), unknown(L"ext:Pump"));
    schema.SetZVClassResolutionHelper([](CZVSchema* asked, const wchar_t* name) -> CZVClass* {
        return std::wstring(name) == L"ext:Pump" ? asked->FindZVClass(L"Loner", ZVCLASSTYPE_ANY) : nullptr;
    });
    CZVRelationshipClass* resolved = New(L"Resolved");
    EXPECT_EQ(Read(Legacy(Pair(L"ext:Pump", L"X")), resolved), 0);
    EXPECT_EQ(resolved->m_source.m_className, L"Loner");
    ExpectReadFails(Legacy(Pair(L"X", L"ext:Other")), unknown(L"ext:Other")); // the helper's NULL
}

namespace {

std::vector<ZVArrayValue*> g_handed; // *arrayValue at each call of the handler
ZVArrayValue* g_kept = nullptr; // what the handler leaves in it

int RefuseThirdPair(CZVSchema*, CZVRelationshipClass*, CZVRelationshipConstraint*, ZVArrayValue** arrayValue)
{
    g_handed.push_back(*arrayValue);
    *arrayValue = g_kept;
    return g_handed.size() == 3 ? 1 : 0;
}

} // namespace

// The host's upgrade handler sees each legacy pair with what it left for the
// previous pair of the element (NULL first), and may refuse one.
TEST_F(RelationshipReading, TheUpgradeHandlerSeesEveryPairAndMayRefuseOne)
{
    CZVProperty marker(schema.FindZVClass(L"X", ZVCLASSTYPE_ANY));
    ZVArrayValue kept(&marker);
    g_kept = &kept;
    schema.SetZVRelationshipUpgradeHandler(&RefuseThirdPair);
    EXPECT_EQ(Read(Legacy(Pair(L"B", L"X") + Pair(L"D", L"X"))), 0);
    EXPECT_EQ(g_handed, (std::vector<ZVArrayValue*>{nullptr, &kept}));
    EXPECT_ZV_THROW(Read(Legacy(Pair(L"A", L"Y")), New(L"Refused")), ZVXMLLogicError,
                    L"Problem while attempting to upgrade legacy ZVRelationshipConstraint element");
    EXPECT_EQ(g_handed.size(), 3u);
    EXPECT_EQ(g_handed.back(), nullptr);
    g_handed.clear();
}

namespace {

// Lib (its own prefix lb): Base <- U1, Base <- U2, T. Main refers to Lib
// under `referencePrefix` and relates U1 and U2 to T in two legacy pairs.
void WriteLegacyFiles(const zvtest::ScratchFolder& folder, const std::string& referencePrefix)
{
    folder.WriteFile(
        "Lib.01.00.zvschema.xml",
        zvtest::SchemaText("schemaName='Lib' version='01.00' nameSpacePrefix='lb'",
                           "<ZVClass typeName='Base' isDomainClass='True'/>"
                           "<ZVClass typeName='U1' isDomainClass='True'><BaseClass>Base</BaseClass></ZVClass>"
                           "<ZVClass typeName='U2' isDomainClass='True'><BaseClass>Base</BaseClass></ZVClass>"
                           "<ZVClass typeName='T' isDomainClass='True'/>"));
    auto pairOf = [](const std::string& source) {
        return "<ZVRelationshipConstraint><ZVSourceConstraint className='" + source +
               "'/><ZVTargetConstraint className='T'/></ZVRelationshipConstraint>";
    };
    folder.WriteFile("Main.01.00.zvschema.xml",
                     zvtest::SchemaText("schemaName='Main' version='01.00' nameSpacePrefix='mn'",
                                        "<ZVSchemaReference name='Lib' version='01.00' prefix='" + referencePrefix +
                                            "'/><ZVRelationshipClass typeName='R' isDomainClass='True'>"
                                            "<ZVRelationshipConstraints>" +
                                            pairOf("U1") + pairOf("U2") +
                                            "</ZVRelationshipConstraints></ZVRelationshipClass>"));
}

} // namespace

// Source classes of a referenced schema are generalised as those of the
// schema itself, and the upgraded class is written so that it reads back.
TEST(LegacyUpgrade, SourceClassesOfAReferencedSchemaGeneraliseToTheirCommonBase)
{
    for (const std::string referencePrefix : {"lb", "other"}) {
        SCOPED_TRACE(referencePrefix);
        zvtest::ScratchFolder folder;
        WriteLegacyFiles(folder, referencePrefix);
        const std::wstring file = folder.WidePath("Main.01.00.zvschema.xml");
        ReportingLibraryErrors([&] {
            CZVSchema main(L"t", L"temporary", L"");
            main.SetReferenceSearchPath(zvtest::Widen(folder.path()).c_str());
            ASSERT_EQ(main.ReadXML(file.c_str()), 0);
            CZVRelationshipClass* relationship = main.FindZVRelationshipClass(L"R", ZVCLASSTYPE_ANY);
            ASSERT_NE(relationship, nullptr);
            EXPECT_EQ(relationship->m_source.m_className, L"lb:Base");
            EXPECT_EQ(relationship->m_source.m_isPolymorphic, 1);
            EXPECT_EQ(relationship->m_targets.m_classNames, Names{L"lb:T"});

            ASSERT_EQ(main.WriteXML(file.c_str()), 0); // over the file it was read from, beside Lib
            CZVSchema reread(L"t", L"temporary", L"");
            reread.SetReferenceSearchPath(zvtest::Widen(folder.path()).c_str());
            ASSERT_EQ(reread.ReadXML(file.c_str()), 0);
            CZVRelationshipClass* again = reread.FindZVRelationshipClass(L"R", ZVCLASSTYPE_ANY);
            ASSERT_NE(again, nullptr);
            EXPECT_EQ(reread.GetRelativeClassName(again->m_source.m_className.c_str()), L"lb:Base");
            EXPECT_EQ(again->m_source.m_isPolymorphic, 1);
        });
    }
}

TEST_F(RelationshipReading, ReadPairsEndAsPairByPairUpgradesDo)
{
    // The reader upgrades the pairs of an element as one run; the result must
    // be that of upgrading them one at a time. Classes T1..T30 form a binary
    // tree under Root (T1's base is Root, Tn's is T(n/2)); Loner stands alone.
    for (int n = 1; n <= 30; ++n) {
        const std::wstring name = L"T" + std::to_wstring(n);
        schema.CreateZVClass(name.c_str(), L"", ZVCLASSTYPE_DOMAIN)
            ->SetBaseClass(n == 1 ? L"Root" : (L"T" + std::to_wstring(n / 2)).c_str());
    }
    unsigned seed = 7;
    auto pick = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        const unsigned n = (seed >> 16) % 32;
        return n == 0 ? std::wstring(L"Loner") : n == 31 ? std::wstring(L"Root") : L"T" + std::to_wstring(n);
    };
    for (int run = 0; run < 60; ++run) {
        const std::wstring name = L"Run" + std::to_wstring(run);
        CZVRelationshipClass* read = New(name.c_str());
        CZVRelationshipClass* oneByOne = New((name + L"ByOne").c_str());
        std::wstring pairs;
        const int count = 2 + run % 7;
        for (int i = 0; i < count; ++i) {
            // Loner rarely: most runs keep a common class.
            std::wstring source = pick();
            if (source == L"Loner" && run % 5 != 0) {
                source = L"T" + std::to_wstring(16 + i);
            }
            const std::wstring target = pick();
            pairs += Pair(source, target);
            CZVRelationshipConstraint pair;
            pair.SetSourceConstraint(new CZVConstraint(source, (source + L".key").c_str()));
            pair.SetTargetConstraint(new CZVConstraint(target, (target + L".key").c_str()));
            pair.GetSourceConstraint()->SetRoleLabel((L"from " + source).c_str());
            pair.GetTargetConstraint()->SetRoleLabel((L"to " + target).c_str());
            oneByOne->UpgradeLegacyZVRelationshipConstraint(&schema, &pair);
        }
        SCOPED_TRACE(pairs);
        ASSERT_EQ(Read(Legacy(pairs), read), 0);
        EXPECT_EQ(read->m_source.m_className, oneByOne->m_source.m_className);
        EXPECT_EQ(read->m_source.m_isPolymorphic, oneByOne->m_source.m_isPolymorphic);
        EXPECT_EQ(read->m_source.m_keyVector, oneByOne->m_source.m_keyVector);
        EXPECT_EQ(read->m_targets.m_classNames, oneByOne->m_targets.m_classNames);
        EXPECT_EQ(read->m_targets.m_keyVectors, oneByOne->m_targets.m_keyVectors);
        EXPECT_EQ(read->m_targets.m_roleLabel, oneByOne->m_targets.m_roleLabel);
    }
}

TEST_F(RelationshipReading, LegacyPairsAddOnlyTargetsTheTargetElementLacks)
{
    // Targets read from a "Target" element before the pairs count as listed.
    EXPECT_EQ(Read(L"<Source><Class class='B'/></Source><Target><Class class='X'/></Target>" +
                   Legacy(Pair(L"B", L"X") + Pair(L"B", L"Y"))),
              0);
    EXPECT_EQ(connects->m_targets.m_classNames, (Names{L"X", L"Y"}));
    EXPECT_EQ(connects->m_targets.m_keyVectors, (std::vector<Names>{{}, {L"Y.key"}}));
}
