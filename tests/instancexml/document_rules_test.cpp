// The document's outline: the root, Project elements, the callbacks' order
// and refusals, required arguments, and the option for unknown classes.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

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

TEST_F(DocumentRules, AnotherRootIsSkippedSilently)
{
    zvtest::LogCapture log;
    EXPECT_EQ(Parse(L"<Plant xmlns='" + zvtest::kNamespace +
                    L"'><Pump id='P1'/><ZVInstanceXML><Pump id='P2'/></ZVInstanceXML></Plant>"),
              0);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), Lines{L"Imported instances: 0"});
}

TEST_F(DocumentRules, TheRootsNamespaceMustMatchExactlyLetterCaseIncluded)
{
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

std::wstring WithUnknownClass()
{
    return Document(L"<Pump id='1'/><Crane id='2'><Boom><Pump id='x'/></Boom></Crane><Pump id='3'/>");
}

TEST_F(DocumentRules, AnUnknownClassStopsTheParse)
{
    EXPECT_ZV_THROW(Parse(WithUnknownClass()), ZVXMLRuntimeError, L"Unrecognized ZVClass: Crane");
    EXPECT_EQ(recorder.Instances(), Lines{L"instance Pump#1{}"});
}

// Skipped with everything inside it; other option bits do not matter.
TEST_F(DocumentRules, AnUnknownClassIsSkippedWhenAsked)
{
    zvtest::LogCapture log;
    ParseBare(WithUnknownClass(), ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES | 0x100);
    EXPECT_EQ(recorder.Instances(), (Lines{L"instance Pump#1{}", L"instance Pump#3{}"}));
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO),
              (Lines{L"Skipping unrecognized ZVClass <Crane>", L"Imported instances: 2"}));
}

TEST_F(DocumentRules, RequiredArgumentsAreCheckedBeforeAnythingIsRead)
{
    const std::wstring text = Document(L"<Pump/>");
    const auto parse = [&](int isLocation, CZVSchema* with, ParsedZVInstanceCallback instance,
                           ParsedZVRelationshipCallback relationship) {
        return ParseZVInstanceXML(isLocation, isLocation ? nullptr : text.c_str(), with, &recorder, nullptr, instance,
                                  relationship, nullptr, nullptr, nullptr, &factory, 0);
    };
    const auto instance = &zvtest::Recorder::Instance;
    const auto relationship = &zvtest::Recorder::Relationship;
    EXPECT_ZV_THROW(parse(0, &schema, nullptr, relationship), ZVXMLInvalidArgument,
                    L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, &schema, instance, nullptr), ZVXMLInvalidArgument,
                    L"parsedZVRelationshipCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, nullptr, instance, relationship), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVXMLSAXContentHandler constructor");
    EXPECT_ZV_THROW(parse(1, &schema, instance, relationship), ZVXMLInvalidArgument,
                    L"Passed NULL document into ParseZVInstanceXML");
    EXPECT_EQ(factory.calls, 0);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(DocumentRules, AFactoryIsNeededOnlyOnceAnElementIsUnderTheRoot)
{
    const auto instance = &zvtest::Recorder::Instance;
    const auto relationship = &zvtest::Recorder::Relationship;
    EXPECT_NO_THROW(ParseZVInstanceXML(0, Document(L"").c_str(), &schema, &recorder, nullptr, instance, relationship,
                                       nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, Document(L"<Project/>").c_str(), &schema, &recorder, nullptr, instance,
                                       relationship, nullptr, nullptr, nullptr, nullptr, 0),
                    ZVXMLRuntimeError, L"CZVXMLSAXContentHandler has NULL m_pZVInstanceFactory");
}

TEST_F(DocumentRules, ARefusedBeginStopsTheParseBeforeAnyInstanceIsMade)
{
    recorder.refuseBegin = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump/>")), ZVXMLRuntimeError, L"Error during zvInstanceXMLParseBegin callback");
    EXPECT_EQ(factory.calls, 0);
}

TEST_F(DocumentRules, ARefusedProjectElementStopsTheParse)
{
    recorder.refuseElement = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Project name='n'><Pump/></Project>")), ZVXMLRuntimeError,
                    L"Error while parsing element <Project>.");
    EXPECT_TRUE(recorder.Instances().empty());
}

// The count is reported only after a complete parse.
TEST_F(DocumentRules, ARefusedInstanceEndsTheParse)
{
    zvtest::LogCapture log;
    recorder.refuseAt = 2;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump id='1'/><Connects id='2' sourceInstanceID='1' targetInstanceID='3'/>"
                                   L"<Pump id='3'/>")),
                    ZVXMLRuntimeError, L"Error while processing parsed instance");
    EXPECT_EQ(recorder.delivered, 2);
    EXPECT_EQ(factory.calls, 2);
    EXPECT_NE(recorder.events.back(), L"end");
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());
}

} // namespace
