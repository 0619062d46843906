// The content handler's side of the state-handler protocol, driven with
// handlers that answer as a test tells them, and the handlers' own checks.
#include "instancexml/array_handler.h"
#include "instancexml/com_error_message.h"
#include "instancexml/ignoring_element.h"
#include "instancexml/instance_handler.h"
#include "instancexml/properties_handler.h"
#include "instancexml/relationship_handler.h"
#include "instancexml/struct_handler.h"
#include "instancexml/xml_attributes_access.h"
#include "instancexml/zvinstancexml_handler.h"
#include "instancexml/zvxml_sax_content_handler.h"

#include "support/expect_throw.h"

#include <algorithm>
#include <functional>
#include <map>

using namespace ZVXML;

namespace {

class Attributes : public platform::SaxAttributes {
public:
    std::map<std::wstring, std::wstring> values;
    bool GetValue(const wchar_t* name, std::wstring& value) const override
    {
        auto found = values.find(name);
        if (found == values.end()) {
            return false;
        }
        value = found->second;
        return true;
    }
    std::size_t Count() const override { return values.size(); }
};

// Answers every event as its functions say and writes down what it saw.
class Scripted : public StateHandler {
public:
    Scripted(StateHandler* parent, std::vector<std::wstring>& seen, std::wstring tag)
        : StateHandler(parent, L""), m_seen(seen), m_tag(std::move(tag))
    {
    }
    ~Scripted() override { m_seen.push_back(m_tag + L" destroyed"); }

    std::function<START_ACTION(HandlerPtr&)> onStart = [](auto&) { return STATUSQUO; };
    std::function<END_ACTION(HandlerPtr&)> onEnd = [](auto&) { return NOCHANGE; };

    START_ACTION StartElement(const std::wstring&, const std::wstring& localName, const std::wstring&, XMLAttributes*,
                              HandlerPtr& next) override
    {
        m_seen.push_back(m_tag + L" start " + localName);
        return onStart(next);
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        m_seen.push_back(m_tag + L" text [" + std::wstring(text, length) + L"]");
    }
    END_ACTION EndElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                          HandlerPtr& next) override
    {
        m_seen.push_back(m_tag + L" end " + localName);
        return onEnd(next);
    }

private:
    std::vector<std::wstring>& m_seen;
    std::wstring m_tag;
};

using ScriptedPtr = std::unique_ptr<Scripted, HandlerRetirement>;

int AcceptInstance(CZVSchema*, void*, CZVInstance*) { return 0; }
int AcceptRelationship(CZVSchema*, void*, ZVRelationshipInstance*) { return 0; }

class HandlerProtocol : public ::testing::Test {
protected:
    HandlerProtocol()
    {
        ScriptedPtr root(new Scripted(nullptr, seen, L"root"));
        this->root = root.get();
        content.GetStateStack().Push(std::move(root));
    }

    // A new handler above `parent` for the test to hand out.
    ScriptedPtr Child(const wchar_t* tag) { return ScriptedPtr(new Scripted(root, seen, tag)); }

    void Start(const std::wstring& name) { content.StartElement(L"", name, name, attributes); }
    void End(const std::wstring& name) { content.EndElement(L"", name, name); }

    // Handlers write to `seen` until the content handler destroys them.
    std::vector<std::wstring> seen;
    CZVSchema schema{L"p", L"Plant", L""};
    CZVXMLSAXContentHandler content{&schema, nullptr,
                                    ParseCallbacks{nullptr, &AcceptInstance, &AcceptRelationship, nullptr, nullptr}, 0};
    Attributes attributes;
    Scripted* root = nullptr;
};

TEST_F(HandlerProtocol, PushedHandlersGetTheFollowingEventsOrTheSameEventAgain)
{
    root->onStart = [this](HandlerPtr& next) {
        auto child = Child(L"a");
        child->onStart = [this](HandlerPtr& nested) {
            nested = Child(L"b");
            return PUSH_UNHANDLED;
        };
        next = std::move(child);
        return PUSH;
    };
    Start(L"x");
    Start(L"y");
    EXPECT_EQ(content.GetStateStack().Size(), 3u);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"root start x", L"a start y", L"b start y"}));
}

TEST_F(HandlerProtocol, PoppedHandlersAreDestroyedAndMayHandTheEndOn)
{
    auto child = Child(L"a");
    child->onEnd = [](auto&) { return POP_UNHANDLED; };
    content.GetStateStack().Push(std::move(child));
    auto top = Child(L"b");
    top->onEnd = [this](HandlerPtr& next) {
        auto replacement = Child(L"c");
        replacement->onEnd = [](auto&) { return POP_UNHANDLED; };
        next = std::move(replacement);
        return POP_AND_PUSH;
    };
    content.GetStateStack().Push(std::move(top));
    End(L"x");
    End(L"y");
    EXPECT_EQ(content.GetStateStack().Size(), 1u);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"b end x", L"b destroyed", L"c end y", L"c destroyed", L"a end y",
                                               L"a destroyed", L"root end y"}));
}

TEST_F(HandlerProtocol, ActionsThatBreakTheProtocolAreLogicErrors)
{
    const auto startWith = [this](START_ACTION action, bool giveNext) {
        root->onStart = [=](HandlerPtr& next) {
            if (giveNext) {
                next = Child(L"offered");
            }
            return action;
        };
        Start(L"x");
    };
    EXPECT_ZV_THROW(startWith(STATUSQUO, true), ZVXMLLogicError,
                    L"StartElement should never return a pNextHandler if START_ACTION is STATUSQUO");
    EXPECT_ZV_THROW(startWith(PUSH, false), ZVXMLLogicError,
                    L"StartElement must return a pNextHandler if START_ACTION is PUSH_UNHANDLED or PUSH");
    EXPECT_ZV_THROW(startWith(PUSH_UNHANDLED, false), ZVXMLLogicError,
                    L"StartElement must return a pNextHandler if START_ACTION is PUSH_UNHANDLED or PUSH");
    for (int action : {1, 2, 3, 6, -1}) {
        EXPECT_ZV_THROW(startWith(static_cast<START_ACTION>(action), true), ZVXMLLogicError,
                        L"StartElement returned an unrecognized START_ACTION");
    }

    const auto endWith = [this](END_ACTION action, bool giveNext) {
        root->onEnd = [=](HandlerPtr& next) {
            if (giveNext) {
                next = Child(L"offered");
            }
            return action;
        };
        End(L"x");
    };
    EXPECT_ZV_THROW(endWith(NOCHANGE, true), ZVXMLLogicError,
                    L"EndElement should never return a pNextHandler if END_ACTION is NOCHANGE");
    EXPECT_ZV_THROW(endWith(POP, true), ZVXMLLogicError,
                    L"EndElement should never return a pNextHandler if END_ACTION is POP or POP_UNHANDLED");
    EXPECT_ZV_THROW(endWith(POP_UNHANDLED, true), ZVXMLLogicError,
                    L"EndElement should never return a pNextHandler if END_ACTION is POP or POP_UNHANDLED");
    for (int action : {4, -1}) {
        EXPECT_ZV_THROW(endWith(static_cast<END_ACTION>(action), true), ZVXMLLogicError,
                        L"EndElement returned an unrecognized END_ACTION");
    }
    // Nothing offered was pushed; all of it was destroyed.
    EXPECT_EQ(content.GetStateStack().Size(), 1u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), L"offered destroyed"), 11);
}

TEST_F(HandlerProtocol, EventsWithoutAHandlerAreRuntimeErrors)
{
    const std::wstring message = L"GetStateStack().top() returned NULL in CZVXMLSAXContentHandler::raw_startElement";
    content.GetStateStack().Pop();
    EXPECT_ZV_THROW(Start(L"x"), ZVXMLRuntimeError, message);
    EXPECT_ZV_THROW(End(L"x"), ZVXMLRuntimeError, message);
    EXPECT_ZV_THROW(content.Characters(L" x", 2), ZVXMLRuntimeError, message);
    // Text that is cut away entirely never needs a handler.
    content.Characters(L"\t\r\n", 3);
    content.Characters(L"", 0);
}

TEST_F(HandlerProtocol, TextLosesTabsAndLineBreaksAtBothEndsOnly)
{
    const std::wstring pieces[] = {L"\t\n  a\tb \r\n", L"\r\n\t", L"   ", L"\n", L"x"};
    for (const std::wstring& piece : pieces) {
        content.Characters(piece.data(), piece.size());
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"root text [  a\tb ]", L"root text [   ]", L"root text [x]"}));
}

TEST_F(HandlerProtocol, AnIgnoredElementTakesItsWholeSubtreeAndLeaves)
{
    root->onStart = [this](HandlerPtr& next) {
        next.reset(new IgnoringElement(root));
        return PUSH_UNHANDLED;
    };
    Start(L"skip");
    root->onStart = [](auto&) { return STATUSQUO; };
    Start(L"inner");
    Start(L"skip");
    content.Characters(L"text", 4);
    End(L"skip");
    End(L"inner");
    EXPECT_EQ(content.GetStateStack().Size(), 2u);
    End(L"skip");
    EXPECT_EQ(content.GetStateStack().Size(), 1u);
    End(L"after");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"root start skip", L"root end after"}));
}

TEST_F(HandlerProtocol, TheBookkeepingKnowsItsElementAndBuildsPaths)
{
    ZVInstanceXMLHandler top(&content);
    StateHandler pump(&top, L"Pump");
    StateHandler flow(&pump, L"");
    EXPECT_EQ(flow.BuildErrorMessage(L"text"), L"Error at (.ZVInstanceXML.Pump.): text");
    EXPECT_EQ(flow.GetSaxHandler(), &content);

    XMLAttributes none = XMLAttributes::Access::Make(&attributes);
    HandlerPtr next;
    EXPECT_EQ(flow.StartElement(L"", L"Flow", L"Flow", &none, next), STATUSQUO);
    EXPECT_EQ(flow.BuildErrorMessage(L"text"), L"Error at (.ZVInstanceXML.Pump.Flow): text");
    EXPECT_EQ(flow.StartElement(L"", L"Inner", L"Inner", &none, next), STATUSQUO);
    EXPECT_EQ(flow.EndElement(L"", L"Inner", L"Inner", next), NOCHANGE);
    EXPECT_EQ(flow.EndElement(L"", L"Flow", L"Flow", next), POP);
    EXPECT_EQ(flow.EndElement(L"", L"Pump", L"Pump", next), POP_UNHANDLED);

    EXPECT_ZV_THROW(pump.StartElement(L"", L"Valve", L"Valve", &none, next), ZVXMLFormatError,
                    L"Error at (.ZVInstanceXML.Pump): Unexpected element.");
}

TEST_F(HandlerProtocol, HandlersRefuseWhatTheyCannotWorkWith)
{
    StateHandler orphan(nullptr, L"x");
    EXPECT_ZV_THROW(orphan.GetSaxHandler(), ZVXMLRuntimeError, L"Asking for m_pSaxHandler when it is NULL");
    EXPECT_ZV_THROW(ZVInstanceXMLHandler(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL CZVXMLSAXContentHandler into ZVInstanceXMLHandler");
    EXPECT_ZV_THROW(PropertiesHandler(root, nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pZVInstance into PropertiesHandler constructor");
    EXPECT_ZV_THROW(StructHandler(root, nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pStructValue to StructHandler constructor");
    EXPECT_ZV_THROW(ArrayHandler(root, nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL pArrayValue into ArrayHandler constructor");
    EXPECT_ZV_THROW(XMLAttributes::Access::Make(nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL to XMLAttributes constructor");
}

TEST_F(HandlerProtocol, ARelationshipHandlerIsDoneOnceItHasBothEnds)
{
    CZVRelationshipClass* connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
    ZVRelationshipInstance relationship(connects);
    RelationshipHandler handler(root, &relationship);
    attributes.values[L"href"] = L"S";
    XMLAttributes wrapped = XMLAttributes::Access::Make(&attributes);
    HandlerPtr next;
    EXPECT_EQ(handler.StartElement(L"", L"ZVSource", L"ZVSource", &wrapped, next), STATUSQUO);
    EXPECT_EQ(handler.EndElement(L"", L"ZVSource", L"ZVSource", next), NOCHANGE);
    attributes.values[L"href"] = L"T";
    EXPECT_EQ(handler.StartElement(L"", L"ZVTarget", L"ZVTarget", &wrapped, next), STATUSQUO);
    EXPECT_EQ(handler.EndElement(L"", L"ZVTarget", L"ZVTarget", next), POP_AND_PUSH);
    ASSERT_NE(next, nullptr);
    // The properties handler takes the relationship handler's place under its parent.
    EXPECT_EQ(next->GetParent(), root);
    EXPECT_STREQ(relationship.GetSourceID(), L"S");
    EXPECT_STREQ(relationship.GetTargetID(), L"T");
    EXPECT_ZV_THROW(handler.StartElement(L"", L"ZVSource", L"ZVSource", &wrapped, next), ZVXMLLogicError,
                    L"RelationshipHandler::StartElement called with an invalid state");
    EXPECT_ZV_THROW(handler.EndElement(L"", L"ZVTarget", L"ZVTarget", next), ZVXMLLogicError,
                    L"RelationshipHandler::EndElement called with an invalid state");
}

TEST_F(HandlerProtocol, AttributesAreFoundByNameUpToTheirFirstNul)
{
    attributes.values[L"id"] = L"P1";
    attributes.values[L"odd"] = std::wstring(L"a\0b", 3);
    const XMLAttributes wrapped = XMLAttributes::Access::Make(&attributes);
    XMLAttributes copy = wrapped;
    std::wstring value = L"unchanged";
    EXPECT_EQ(copy.GetValue(L"missing", value), 0);
    EXPECT_EQ(copy.GetValue(static_cast<const wchar_t*>(nullptr), value), 0);
    EXPECT_EQ(value, L"unchanged");
    EXPECT_EQ(copy.GetValue(std::wstring(L"id"), value), 1);
    EXPECT_EQ(value, L"P1");
    EXPECT_EQ(wrapped.GetValue(L"odd", value), 1);
    EXPECT_EQ(value, L"a");
}

// Full messages with every part present are checked where parses fail.
TEST(ComErrorText, ResultCodesFollowTheFallbackRuleAndEachPresentPartIsFollowedByAFullStop)
{
    const std::pair<long, const wchar_t*> codes[] = {
        {0x80004005L, L"Unspecified error"},
        {0x80040201L, L"IDispatch error #1"},
        {0x8004FFFFL, L"IDispatch error #65023"},
        {0x80040200L, L"Unknown error 0x80040200"},
        {0x800401FFL, L"Unknown error 0x800401FF"},
        {0x8007000EL, L"Unknown error 0x8007000E"},
        {static_cast<long>(static_cast<int>(0x80004005)), L"Unspecified error"}};
    for (const auto& [code, text] : codes) {
        EXPECT_EQ(ResultCodeMessage(code), text) << std::hex << code;
    }
    EXPECT_EQ(ComErrorMessage({0x80004005L, L"", L""}), L"ParseZVInstanceXML: COM Error: Unspecified error. ");
}

} // namespace
