// The document's outline: the root, Project elements, identifiers, the
// callbacks' order, and the options for unknown classes.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

using namespace ZVXML;
using zvtest::Document;

namespace {

class DocumentRules : public zvtest::InstanceParseTest {};

TEST_F(DocumentRules, CallbacksFollowTheDocumentThroughNestedProjects)
{
    zvtest::LogCapture log;
    const std::wstring text = Document(L"<Pump id='P1'><Flow>1</Flow></Pump>"
                                       L"<Project name='north'>"
                                       L"  <Pump id='P2'/>"
                                       L"  <Project name='inner'><Valve id='V1'/></Project>"
                                       L"</Project>"
                                       L"<Pump id='P3'/>",
                                       L" scope='plant' owner='ops'");
    EXPECT_EQ(Parse(text), 0);
    const std::vector<std::wstring> expected = {
        L"begin plant owner=ops",
        L"instance Pump#P1{Flow=1}",
        L"project+ Project name=north",
        L"instance Pump#P2{}",
        L"project+ Project name=inner",
        L"instance Valve#V1{}",
        L"project- Project",
        L"project- Project",
        L"instance Pump#P3{}",
        L"end",
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.schemaSeen, &schema);
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), std::vector<std::wstring>{L"Imported instances: 4"});
}

TEST_F(DocumentRules, PrefixesDoNotMatterAndTheFactorySeesEachElementsNamespace)
{
    const std::wstring text = L"<z:ZVInstanceXML xmlns:z='" + zvtest::kNamespace +
                              L"' xmlns:o='urn:other'><z:Pump id='A'/><o:Pump id='B'/><Pump id='C'/>"
                              L"</z:ZVInstanceXML>";
    Parse(text);
    EXPECT_EQ(recorder.Instances(),
              (std::vector<std::wstring>{L"instance Pump#A{}", L"instance Pump#B{}", L"instance Pump#C{}"}));
    EXPECT_EQ(factory.namespaces, (std::vector<std::wstring>{zvtest::kNamespace, L"urn:other", L""}));
}

TEST_F(DocumentRules, TheBeginCallbackGetsAnEmptyScopeWithoutTheAttribute)
{
    Parse(Document(L""));
    EXPECT_EQ(recorder.events, (std::vector<std::wstring>{L"begin ", L"end"}));
}

TEST_F(DocumentRules, AnotherRootIsSkippedSilently)
{
    zvtest::LogCapture log;
    const std::wstring text = L"<Plant xmlns='" + zvtest::kNamespace +
                              L"'><Pump id='P1'/><ZVInstanceXML><Pump id='P2'/></ZVInstanceXML></Plant>";
    EXPECT_EQ(Parse(text), 0);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(factory.calls, 0);
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), std::vector<std::wstring>{L"Imported instances: 0"});
    EXPECT_TRUE(log.texts(L"Exception").empty());
}

TEST_F(DocumentRules, TheRootNamespaceMustMatchExactly)
{
    std::wstring upper = zvtest::kNamespace;
    upper.replace(upper.find(L"ZVXML"), 5, L"zvxml");
    for (const std::wstring& uri : {upper, std::wstring(), std::wstring(ZVXML_LEGACY_NAMESPACE_URI)}) {
        const std::wstring declaration = uri.empty() ? L"" : L" xmlns='" + uri + L"'";
        EXPECT_ZV_THROW(Parse(L"<ZVInstanceXML" + declaration + L"><Pump/></ZVInstanceXML>"), ZVXMLFormatError,
                        L"Imported ZVInstanceXML is unrecognized version. Expected version '" + zvtest::kNamespace +
                            L"' but got version '" + uri + L"'");
    }
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(DocumentRules, IdentifiersComeFromIdThenInstanceIDThenInstanceId)
{
    Parse(Document(L"<Pump id='a' instanceID='b' instanceId='c'/>"
                   L"<Pump instanceID='b' instanceId='c'/>"
                   L"<Pump instanceId='c'/>"
                   L"<Pump ID='x' instanceid='y'/>"
                   L"<Pump id=''/>"));
    const std::vector<std::wstring> lines = recorder.Instances();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 3),
              (std::vector<std::wstring>{L"instance Pump#a{}", L"instance Pump#b{}", L"instance Pump#c{}"}));
    // Other letter case is not an identifier: the class name and a GUID.
    const std::wstring generated = lines[3].substr(std::wstring(L"instance Pump#").size());
    ASSERT_EQ(generated.size(), std::wstring(L"Pump-").size() + 36 + 2);
    EXPECT_EQ(generated.substr(0, 5), L"Pump-");
    EXPECT_EQ(generated.find_first_not_of(L"0123456789abcdef-", 5), 41u) << generated;
    EXPECT_EQ(lines[4], L"instance Pump#{}");
}

TEST_F(DocumentRules, EntityAndCharacterReferencesInAttributesAreResolved)
{
    Parse(Document(L"<Project name='a&amp;b &#x263A;'><Pump id='&lt;P&gt;'/></Project>"));
    EXPECT_EQ(recorder.events[1], L"project+ Project name=a&b \u263A");
    EXPECT_EQ(recorder.events[2], L"instance Pump#<P>{}");
}

TEST_F(DocumentRules, UnknownClassesStopTheParseUnlessTheyAreToBeSkipped)
{
    const std::wstring text = Document(L"<Pump id='1'/><Crane id='2'><Boom><Pump id='x'/></Boom></Crane><Pump id='3'/>");
    EXPECT_ZV_THROW(Parse(text), ZVXMLRuntimeError, L"Unrecognized ZVClass: Crane");
    EXPECT_EQ(recorder.Instances(), std::vector<std::wstring>{L"instance Pump#1{}"});

    zvtest::Recorder skipping;
    zvtest::LogCapture log;
    ParseZVInstanceXML(0, text.c_str(), &schema, &skipping, nullptr, &zvtest::Recorder::Instance,
                       &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory,
                       ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES | 0x100);
    EXPECT_EQ(skipping.Instances(), (std::vector<std::wstring>{L"instance Pump#1{}", L"instance Pump#3{}"}));
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO),
              (std::vector<std::wstring>{L"Skipping unrecognized ZVClass <Crane>", L"Imported instances: 2"}));
}

TEST_F(DocumentRules, TheFactoryFlagIsZeroOnEveryCall)
{
    class FlaggingFactory : public IZVInstanceFactory {
    public:
        CZVInstance* CreateInstance(const wchar_t*, const wchar_t*, int* isRelationship) override
        {
            seen.push_back(*isRelationship);
            *isRelationship = 1; // and then it knows nothing
            return nullptr;
        }
        std::vector<int> seen;
    } flagging;
    ParseZVInstanceXML(0, Document(L"<A/><B/><C/>").c_str(), &schema, &recorder, nullptr,
                       &zvtest::Recorder::Instance, &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr,
                       &flagging, ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES);
    EXPECT_EQ(flagging.seen, (std::vector<int>{0, 0, 0}));
}

TEST_F(DocumentRules, RequiredArgumentsAreCheckedBeforeAnythingIsRead)
{
    const std::wstring text = Document(L"<Pump/>");
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, text.c_str(), &schema, &recorder, nullptr, nullptr,
                                       &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory, 0),
                    ZVXMLInvalidArgument, L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, text.c_str(), nullptr, &recorder, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &factory, 0),
                    ZVXMLInvalidArgument, L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, text.c_str(), nullptr, &recorder, nullptr, &zvtest::Recorder::Instance,
                                       nullptr, nullptr, nullptr, nullptr, &factory, 0),
                    ZVXMLInvalidArgument, L"parsedZVRelationshipCallback cannot be NULL");
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, text.c_str(), nullptr, &recorder, nullptr, &zvtest::Recorder::Instance,
                                       &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory, 0),
                    ZVXMLInvalidArgument, L"Passed NULL pZVSchema into CZVXMLSAXContentHandler constructor");
    EXPECT_ZV_THROW(ParseZVInstanceXML(1, nullptr, &schema, &recorder, nullptr, &zvtest::Recorder::Instance,
                                       &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory, 0),
                    ZVXMLInvalidArgument, L"Passed NULL document into ParseZVInstanceXML");
    EXPECT_EQ(factory.calls, 0);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(DocumentRules, AFactoryIsNeededOnlyOnceAnElementIsUnderTheRoot)
{
    const auto parse = [this](const std::wstring& text) {
        return ParseZVInstanceXML(0, text.c_str(), &schema, &recorder, nullptr, &zvtest::Recorder::Instance,
                                  &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, nullptr, 0);
    };
    EXPECT_EQ(parse(Document(L"text only")), 0);
    EXPECT_ZV_THROW(parse(Document(L"<Project/>")), ZVXMLRuntimeError,
                    L"CZVXMLSAXContentHandler has NULL m_pZVInstanceFactory");
}

TEST_F(DocumentRules, CallbacksThatRefuseStopTheParse)
{
    recorder.refuseBegin = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump/>")), ZVXMLRuntimeError, L"Error during zvInstanceXMLParseBegin callback");
    EXPECT_EQ(factory.calls, 0);

    recorder = zvtest::Recorder();
    recorder.refuseEnd = 7;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump id='1'/>")), ZVXMLRuntimeError,
                    L"Error during zvInstanceXMLParseBegin callback");
    EXPECT_EQ(recorder.events.back(), L"end");

    recorder = zvtest::Recorder();
    recorder.refuseElement = 1;
    EXPECT_ZV_THROW(Parse(Document(L"<Project name='n'><Pump/></Project>")), ZVXMLRuntimeError,
                    L"Error while parsing element <Project>.");
    EXPECT_EQ(recorder.Instances().size(), 0u);
}

TEST_F(DocumentRules, ARefusedInstanceIsCountedAndEndsTheParse)
{
    zvtest::LogCapture log;
    recorder.refuseAt = 2;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump id='1'/><Connects id='2' sourceInstanceID='1' targetInstanceID='3'/>"
                                   L"<Pump id='3'/>")),
                    ZVXMLRuntimeError, L"Error while processing parsed instance");
    EXPECT_EQ(recorder.delivered, 2);
    EXPECT_EQ(factory.calls, 2);
    EXPECT_NE(recorder.events.back(), L"end");
    // The count is reported only after a complete parse.
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());
}

TEST_F(DocumentRules, ACallbacksOwnExceptionPassesThroughUnchanged)
{
    struct Stop {
        int at;
    };
    const ParsedZVInstanceCallback throwing = [](CZVSchema*, void* context, CZVInstance*) -> int {
        if (++*static_cast<int*>(context) == 2) {
            throw Stop{2};
        }
        return 0;
    };
    int calls = 0;
    try {
        ParseZVInstanceXML(0, Document(L"<Pump/><Pump><Flow>1</Flow></Pump><Pump/>").c_str(), &schema, &calls,
                           nullptr, throwing, &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory, 0);
        ADD_FAILURE() << "nothing thrown";
    } catch (const Stop& stop) {
        EXPECT_EQ(stop.at, 2);
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(factory.calls, 2);
}

} // namespace
