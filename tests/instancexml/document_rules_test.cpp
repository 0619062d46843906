// The document's outline: the root, Project elements, relationships and
// their ends, the callbacks' order and refusals, required arguments, the
// option for unknown classes, and the factory that makes the instances.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <memory>

using namespace ZVXML;
using zvtest::Document;
using Lines = std::vector<std::wstring>;

namespace {

class DocumentRules : public zvtest::InstanceParseTest {};

TEST_F(DocumentRules, CallbacksFollowTheDocumentThroughNestedProjects)
{
    zvtest::LogCapture log;
    const std::wstring text = Document(L"<Pump id='P1'><Flow>1</Flow></Pump>"
                                       L"<Project name='north'>"
                                       L"  <Pump instanceID='P2'/>"
                                       L"  <Project name='inner'><Valve instanceId='V1'/></Project>"
                                       L"</Project>",
                                       L" scope='plant' owner='ops'");
    EXPECT_EQ(Parse(text), 0);
    const Lines expected = {
        L"begin plant owner=ops",
        L"instance Pump#P1{Flow=1}",
        L"project+ Project name=north",
        L"instance Pump#P2{}",
        L"project+ Project name=inner",
        L"instance Valve#V1{}",
        L"project- Project",
        L"project- Project",
        L"end",
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.schemaSeen, &schema);
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), Lines{L"Imported instances: 3"});
}

TEST_F(DocumentRules, PrefixesDoNotMatterAndTheFactorySeesEachElementsNamespace)
{
    Parse(L"<z:ZVInstanceXML xmlns:z='" + zvtest::kNamespace +
          L"' xmlns:o='urn:other'><z:Pump id='A'/><o:Pump id='B'/></z:ZVInstanceXML>");
    EXPECT_EQ(recorder.Instances(), (Lines{L"instance Pump#A{}", L"instance Pump#B{}"}));
    EXPECT_EQ(factory.namespaces, (Lines{zvtest::kNamespace, L"urn:other"}));
}

// Another root is skipped silently; the root's namespace must match
// exactly, letter case included.
TEST_F(DocumentRules, OnlyTheRootInTheExactNamespaceIsRead)
{
    zvtest::LogCapture log;
    EXPECT_EQ(Parse(L"<Plant xmlns='" + zvtest::kNamespace +
                    L"'><Pump id='P1'/><ZVInstanceXML><Pump id='P2'/></ZVInstanceXML></Plant>"),
              0);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), Lines{L"Imported instances: 0"});

    std::wstring upper = zvtest::kNamespace;
    upper.replace(upper.find(L"ZVXML"), 5, L"zvxml");
    EXPECT_ZV_THROW(Parse(L"<ZVInstanceXML xmlns='" + upper + L"'><Pump/></ZVInstanceXML>"), ZVXMLFormatError,
                    L"Imported ZVInstanceXML is unrecognized version. Expected version '" + zvtest::kNamespace +
                        L"' but got version '" + upper + L"'");
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(DocumentRules, IdentifiersComeFromIdThenInstanceIDElseAreMade)
{
    Parse(Document(L"<Pump id='a' instanceID='b' instanceId='c'/><Pump instanceID='b' instanceId='c'/>"
                   L"<Pump ID='x' instanceid='y'/>"));
    const Lines lines = recorder.Instances();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"instance Pump#a{}");
    EXPECT_EQ(lines[1], L"instance Pump#b{}");
    // Other letter case is not an identifier: the class name and a new GUID.
    EXPECT_TRUE(zvtest::WithGuid(lines[2], L"instance Pump#Pump-", L"{}")) << testing::PrintToString(lines[2]);
}

// When asked, it is skipped with everything inside it; other option bits
// do not matter.
TEST_F(DocumentRules, AnUnknownClassStopsTheParseOrIsSkippedWhenAsked)
{
    const std::wstring text =
        Document(L"<Pump id='1'/><Crane id='2'><Boom><Pump id='x'/></Boom></Crane><Pump id='3'/>");
    EXPECT_ZV_THROW(Parse(text), ZVXMLRuntimeError, L"Unrecognized ZVClass: Crane");
    EXPECT_EQ(recorder.Instances(), Lines{L"instance Pump#1{}"});

    recorder = {};
    zvtest::LogCapture log;
    ParseBare(text, ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES | 0x100);
    EXPECT_EQ(recorder.Instances(), (Lines{L"instance Pump#1{}", L"instance Pump#3{}"}));
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO),
              (Lines{L"Skipping unrecognized ZVClass <Crane>", L"Imported instances: 2"}));
}

// Checked before anything is read; a factory is needed only once an
// element is under the root.
TEST_F(DocumentRules, RequiredArgumentsAreCheckedBeforeTheyAreNeeded)
{
    const std::wstring text = Document(L"<Pump/>");
    const auto parse = [&](int isLocation, CZVSchema* with, ParsedZVInstanceCallback instance,
                           ParsedZVRelationshipCallback relationship, IZVInstanceFactory* maker,
                           const std::wstring& document) {
        return ParseZVInstanceXML(isLocation, isLocation ? nullptr : document.c_str(), with, &recorder, nullptr,
                                  instance, relationship, nullptr, nullptr, nullptr, maker, 0);
    };
    const auto instance = &zvtest::Recorder::Instance;
    const auto relationship = &zvtest::Recorder::Relationship;
    EXPECT_ZV_THROW(parse(0, &schema, nullptr, relationship, &factory, text), ZVXMLInvalidArgument,
                    L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, &schema, instance, nullptr, &factory, text), ZVXMLInvalidArgument,
                    L"parsedZVRelationshipCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, nullptr, instance, relationship, &factory, text), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVXMLSAXContentHandler constructor");
    EXPECT_ZV_THROW(parse(1, &schema, instance, relationship, &factory, text), ZVXMLInvalidArgument,
                    L"Passed NULL document into ParseZVInstanceXML");
    EXPECT_EQ(factory.calls, 0);
    EXPECT_TRUE(recorder.events.empty());

    EXPECT_NO_THROW(parse(0, &schema, instance, relationship, nullptr, Document(L"")));
    EXPECT_ZV_THROW(parse(0, &schema, instance, relationship, nullptr, Document(L"<Project/>")), ZVXMLRuntimeError,
                    L"CZVXMLSAXContentHandler has NULL m_pZVInstanceFactory");
}

// A refused begin stops the parse before any instance is made, a refused
// Project element before its content; the count is reported only after a
// complete parse.
TEST_F(DocumentRules, ACallbackThatRefusesStopsTheParse)
{
    recorder.refuseBegin = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump/>")), ZVXMLRuntimeError, L"Error during zvInstanceXMLParseBegin callback");
    EXPECT_EQ(factory.calls, 0);

    recorder = {};
    recorder.refuseElement = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Project name='n'><Pump/></Project>")), ZVXMLRuntimeError,
                    L"Error while parsing element <Project>.");
    EXPECT_TRUE(recorder.Instances().empty());

    recorder = {};
    recorder.refuseAt = 2;
    zvtest::LogCapture log;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump id='1'/><Connects id='2' sourceInstanceID='1' targetInstanceID='3'/>"
                                   L"<Pump id='3'/>")),
                    ZVXMLRuntimeError, L"Error while processing parsed instance");
    EXPECT_EQ(recorder.delivered, 2);
    EXPECT_EQ(factory.calls, 2);
    EXPECT_NE(recorder.events.back(), L"end");
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());
}

TEST_F(DocumentRules, RelationshipsOfBothFormsGiveTheIdentifiersAndTheProperties)
{
    Parse(Document(L"<Connects id='C1' sourceInstanceID='P1' targetInstanceID='V1'><Strength>hi</Strength></Connects>"
                   L"<Connects id='C2'>\n  <ZVSource href='P2'/>\n  <ZVTarget href='V2'></ZVTarget>\n"
                   L"  <Strength>lo</Strength>\n</Connects>"
                   L"<Connects id='C3' sourceInstanceID='P3'><ZVSource href='P4'/><ZVTarget href='V4'/></Connects>"
                   L"<Pump id='P5'/>"));
    const Lines expected = {
        L"relationship Connects#C1(P1->V1){Strength=hi}",
        L"relationship Connects#C2(P2->V2){Strength=lo}",
        L"relationship Connects#C3(P4->V4){}",
        L"instance Pump#P5{}",
    };
    EXPECT_EQ(recorder.Instances(), expected);
}

// The relationship's own end is not its children's: without them the parse
// fails instead of reading later siblings as its properties. A relationship
// class may carry any name, even that of the child it waits for: only the end
// of a child that has started counts as the child's.
TEST_F(DocumentRules, TheRelationshipElementFormNeedsItsChildrenInOrderWithTheirHref)
{
    schema.CreateZVRelationshipClass(L"ZVSource", L"", ZVCLASSTYPE_DOMAIN);
    const std::wstring unexpected = L"Found unexpected element '", end = L"Found unexpected end of element '";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"<Connects><ZVTarget href='a'/></Connects>", unexpected + L"ZVTarget' while looking for 'ZVSource'"},
        {L"<Connects><ZVSource href='a'/><ZVSource href='b'/></Connects>",
         unexpected + L"ZVSource' while looking for 'ZVTarget'"},
        {L"<Connects><ZVSource/><ZVTarget href='b'/></Connects>", L"href not set on ZVSource element"},
        {L"<Connects><ZVSource href='a'/><ZVTarget HREF='b'/></Connects>", L"href not set on ZVTarget element"},
        {L"<Connects id='R'/><Pump id='P'/>", end + L"Connects' while looking for 'ZVSource'"},
        {L"<Connects id='R'>text<ZVSource href='a'><ZVSource href='b'/></ZVSource><ZVTarget href='c'/></Connects>",
         end + L"ZVSource' while looking for 'ZVTarget'"},
        {L"<ZVSource id='R'/><Pump id='P'/>", end + L"ZVSource' while looking for 'ZVSource'"},
    };
    for (const auto& [body, message] : cases) {
        SCOPED_TRACE(body);
        EXPECT_ZV_THROW(Parse(Document(body)), ZVXMLFormatError, message);
    }
    EXPECT_TRUE(recorder.Instances().empty());
}

// Says "relationship" for a plain instance.
struct MislabellingFactory : zvtest::SchemaFactory {
    using SchemaFactory::SchemaFactory;
    CZVInstance* CreateInstance(const wchar_t* namespaceURI, const wchar_t* className, int* isRelationship) override
    {
        CZVInstance* made = SchemaFactory::CreateInstance(namespaceURI, className, isRelationship);
        *isRelationship = 1;
        return made;
    }
};

TEST_F(DocumentRules, AFactoryThatMislabelsAnInstanceIsCaught)
{
    MislabellingFactory mislabelling(schema);
    const auto parse = [&](const std::wstring& body) { ParseBare(Document(body), 0, &mislabelling); };
    EXPECT_ZV_THROW(parse(L"<Pump sourceInstanceID='a' targetInstanceID='b'/>"), ZVXMLLogicError,
                    L"Called HandleZVXML20Relationship on an instance that was not a relationship!");
    EXPECT_ZV_THROW(parse(L"<Pump/>"), ZVXMLInvalidArgument,
                    L"Passed NULL pRelationship into RelationshipHandler constructor");
    EXPECT_TRUE(recorder.Instances().empty());
}

// The schema's factory makes classes of the schema and of its references,
// relationship classes looked up first (Plant holds a class and a
// relationship class both named Link); cached or not, its answers stay the
// lookups' answers, also for a class the schema gets later.
TEST(SchemaInstanceFactory, ClassesOfTheSchemaAndItsReferencesAreMadeAsTheLookupsSay)
{
    CZVSchema plant{L"p", L"Plant", L""};
    auto* units = new CZVSchema(L"u", L"Units", L"");
    CZVClass* meter = units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* pump = plant.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    CZVClass* link = plant.CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaInstanceFactory factory{&plant};
    CZVSchemaReference reference(units);
    plant.AddReference(reference);
    plant.CreateZVClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    const auto expectMade = [&](const wchar_t* name, CZVClass* expected, int relationship) {
        int isRelationship = 0;
        std::unique_ptr<CZVInstance> made(factory.CreateInstance(ZVXML_NAMESPACE_URI, name, &isRelationship));
        EXPECT_EQ(made == nullptr ? nullptr : made->GetZVClass(), expected) << name;
        EXPECT_EQ(isRelationship, relationship) << name;
        EXPECT_EQ(dynamic_cast<ZVRelationshipInstance*>(made.get()) != nullptr, relationship == 1) << name;
    };
    for (int round = 0; round < 2; ++round) {
        expectMade(L"Pump", pump, 0);
        expectMade(L"Link", link, 1);
        expectMade(L"Meter", meter, 0);
        expectMade(L"Widget", nullptr, 0);
    }
    int isRelationship = 0;
    EXPECT_EQ(factory.CreateInstance(nullptr, nullptr, &isRelationship), nullptr);
    expectMade(L"Widget", plant.CreateZVClass(L"Widget", L"", ZVCLASSTYPE_DOMAIN), 0);

    EXPECT_ZV_THROW(CZVSchemaInstanceFactory(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor");
    CZVSchema::FreeRecycledValues();
}

} // namespace
