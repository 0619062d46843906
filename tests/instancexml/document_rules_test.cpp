// The document's outline: the root, Project elements, identifiers, the
// callbacks' order, and the options for unknown classes.
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
                                       L"  <Pump id='P2'/>"
                                       L"  <Project name='inner'><Valve id='V1'/></Project>"
                                       L"</Project>"
                                       L"<Pump id='P3'/>",
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
        L"instance Pump#P3{}",
        L"end",
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.schemaSeen, &schema);
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), Lines{L"Imported instances: 4"});

    // Without the attribute the scope is empty.
    recorder = zvtest::Recorder();
    Parse(Document(L""));
    EXPECT_EQ(recorder.events, (Lines{L"begin ", L"end"}));
}

TEST_F(DocumentRules, TheRootDecidesWhetherTheDocumentIsRead)
{
    // Prefixes do not matter, and the factory sees each element's namespace.
    Parse(L"<z:ZVInstanceXML xmlns:z='" + zvtest::kNamespace +
          L"' xmlns:o='urn:other'><z:Pump id='A'/><o:Pump id='B'/><Pump id='C'/></z:ZVInstanceXML>");
    EXPECT_EQ(recorder.Instances(), (Lines{L"instance Pump#A{}", L"instance Pump#B{}", L"instance Pump#C{}"}));
    EXPECT_EQ(factory.namespaces, (Lines{zvtest::kNamespace, L"urn:other", L""}));

    // Another root is skipped silently.
    zvtest::LogCapture log;
    recorder = zvtest::Recorder();
    EXPECT_EQ(Parse(L"<Plant xmlns='" + zvtest::kNamespace +
                    L"'><Pump id='P1'/><ZVInstanceXML><Pump id='P2'/></ZVInstanceXML></Plant>"),
              0);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(factory.calls, 3);
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO), Lines{L"Imported instances: 0"});
    EXPECT_TRUE(log.texts(L"Exception").empty());

    // The root's namespace must match exactly.
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

TEST_F(DocumentRules, IdentifiersComeFromIdThenInstanceIDThenInstanceIdWithReferencesResolved)
{
    Parse(Document(L"<Pump id='a' instanceID='b' instanceId='c'/>"
                   L"<Pump instanceID='b' instanceId='c'/>"
                   L"<Pump instanceId='c'/>"
                   L"<Pump ID='x' instanceid='y'/>"
                   L"<Pump id=''/>"
                   L"<Project name='a&amp;b &#x263A;'><Pump id='&lt;P&gt;'/></Project>"));
    const Lines lines = recorder.Instances();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3),
              (Lines{L"instance Pump#a{}", L"instance Pump#b{}", L"instance Pump#c{}"}));
    // Other letter case is not an identifier: the class name and a GUID.
    const std::wstring generated = lines[3].substr(std::wstring(L"instance Pump#").size());
    ASSERT_EQ(generated.size(), std::wstring(L"Pump-").size() + 36 + 2);
    EXPECT_EQ(generated.substr(0, 5), L"Pump-");
    EXPECT_EQ(generated.find_first_not_of(L"0123456789abcdef-", 5), 41u) << generated;
    EXPECT_EQ(lines[4], L"instance Pump#{}");
    EXPECT_EQ(lines[5], L"instance Pump#<P>{}");
    EXPECT_EQ(recorder.events[6], L"project+ Project name=a&b \u263A");
}

TEST_F(DocumentRules, UnknownClassesStopTheParseUnlessTheyAreToBeSkipped)
{
    const std::wstring text =
        Document(L"<Pump id='1'/><Crane id='2'><Boom><Pump id='x'/></Boom></Crane><Pump id='3'/>");
    EXPECT_ZV_THROW(Parse(text), ZVXMLRuntimeError, L"Unrecognized ZVClass: Crane");
    EXPECT_EQ(recorder.Instances(), Lines{L"instance Pump#1{}"});

    recorder = zvtest::Recorder();
    zvtest::LogCapture log;
    ParseBare(text, ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES | 0x100);
    EXPECT_EQ(recorder.Instances(), (Lines{L"instance Pump#1{}", L"instance Pump#3{}"}));
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_INFO),
              (Lines{L"Skipping unrecognized ZVClass <Crane>", L"Imported instances: 2"}));

    // The factory's flag is 0 on every call, whatever it set before.
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
    ParseBare(Document(L"<A/><B/><C/>"), ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES, &flagging);
    EXPECT_EQ(flagging.seen, (std::vector<int>{0, 0, 0}));
}

TEST_F(DocumentRules, RequiredArgumentsAreCheckedBeforeAnythingIsRead)
{
    const std::wstring text = Document(L"<Pump/>");
    const auto parse = [&](int isLocation, CZVSchema* with, ParsedZVInstanceCallback instance,
                           ParsedZVRelationshipCallback relationship, IZVInstanceFactory* factory = nullptr) {
        return ParseZVInstanceXML(isLocation, isLocation ? nullptr : text.c_str(), with, &recorder, nullptr, instance,
                                  relationship, nullptr, nullptr, nullptr,
                                  factory != nullptr ? factory : &this->factory, 0);
    };
    const auto instance = &zvtest::Recorder::Instance;
    const auto relationship = &zvtest::Recorder::Relationship;
    EXPECT_ZV_THROW(parse(0, &schema, nullptr, relationship), ZVXMLInvalidArgument,
                    L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, nullptr, nullptr, nullptr), ZVXMLInvalidArgument,
                    L"parsedZVInstanceCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, nullptr, instance, nullptr), ZVXMLInvalidArgument,
                    L"parsedZVRelationshipCallback cannot be NULL");
    EXPECT_ZV_THROW(parse(0, nullptr, instance, relationship), ZVXMLInvalidArgument,
                    L"Passed NULL pZVSchema into CZVXMLSAXContentHandler constructor");
    EXPECT_ZV_THROW(parse(1, &schema, instance, relationship), ZVXMLInvalidArgument,
                    L"Passed NULL document into ParseZVInstanceXML");
    EXPECT_EQ(factory.calls, 0);
    EXPECT_TRUE(recorder.events.empty());

    // A factory is needed only once an element is under the root.
    const auto noFactory = [&](const std::wstring& body) {
        return ParseZVInstanceXML(0, Document(body).c_str(), &schema, &recorder, nullptr, instance, relationship,
                                  nullptr, nullptr, nullptr, nullptr, 0);
    };
    EXPECT_EQ(noFactory(L"text only"), 0);
    EXPECT_ZV_THROW(noFactory(L"<Project/>"), ZVXMLRuntimeError,
                    L"CZVXMLSAXContentHandler has NULL m_pZVInstanceFactory");
}

TEST_F(DocumentRules, CallbacksThatRefuseOrThrowStopTheParse)
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

    // A refused instance ends the parse; the count is reported only after a
    // complete parse.
    zvtest::LogCapture log;
    recorder = zvtest::Recorder();
    recorder.refuseAt = 2;
    int made = factory.calls;
    EXPECT_ZV_THROW(Parse(Document(L"<Pump id='1'/><Connects id='2' sourceInstanceID='1' targetInstanceID='3'/>"
                                   L"<Pump id='3'/>")),
                    ZVXMLRuntimeError, L"Error while processing parsed instance");
    EXPECT_EQ(recorder.delivered, 2);
    EXPECT_EQ(factory.calls - made, 2);
    EXPECT_NE(recorder.events.back(), L"end");
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());

    // A callback's own exception passes through unchanged.
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
    made = factory.calls;
    try {
        ParseBare(Document(L"<Pump/><Pump><Flow>1</Flow></Pump><Pump/>"), 0, nullptr, throwing, &calls);
        ADD_FAILURE() << "nothing thrown";
    } catch (const Stop& stop) {
        EXPECT_EQ(stop.at, 2);
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(factory.calls - made, 2);
}

} // namespace
