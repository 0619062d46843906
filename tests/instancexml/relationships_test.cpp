// Relationship instances: identifier attributes, ZVSource / ZVTarget
// children, and documents where those children are missing or misplaced.
#include "instance_parse_support.h"

#include "support/expect_throw.h"

using namespace ZVXML;
using zvtest::Document;

namespace {

class Relationships : public zvtest::InstanceParseTest {};

TEST_F(Relationships, BothFormsGiveTheIdentifiersAndTheProperties)
{
    Parse(Document(L"<Connects id='C1' sourceInstanceID='P1' targetInstanceID='V1'><Strength>hi</Strength></Connects>"
                   L"<Connects id='C2'>\n  <ZVSource href='P2'/>\n  <ZVTarget href='V2'></ZVTarget>\n"
                   L"  <Strength>lo</Strength>\n</Connects>"
                   L"<Connects id='C3' sourceInstanceID='P3'><ZVSource href='P4'/><ZVTarget href='V4'/></Connects>"
                   L"<Pump id='P5'/>"));
    const std::vector<std::wstring> expected = {
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
TEST_F(Relationships, TheElementFormNeedsItsChildrenInOrderWithTheirHref)
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

TEST_F(Relationships, AFactoryThatMislabelsAnInstanceIsCaught)
{
    MislabellingFactory mislabelling(schema);
    const auto parse = [&](const std::wstring& body) { ParseBare(Document(body), 0, &mislabelling); };
    EXPECT_ZV_THROW(parse(L"<Pump sourceInstanceID='a' targetInstanceID='b'/>"), ZVXMLLogicError,
                    L"Called HandleZVXML20Relationship on an instance that was not a relationship!");
    EXPECT_ZV_THROW(parse(L"<Pump/>"), ZVXMLInvalidArgument,
                    L"Passed NULL pRelationship into RelationshipHandler constructor");
    EXPECT_TRUE(recorder.Instances().empty());
}

} // namespace
