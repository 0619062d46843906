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

TEST_F(Relationships, TheElementFormNeedsItsChildrenInOrderWithTheirHref)
{
    EXPECT_ZV_THROW(Parse(Document(L"<Connects><ZVTarget href='a'/></Connects>")), ZVXMLFormatError,
                    L"Found unexpected element 'ZVTarget' while looking for 'ZVSource'");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects><Strength>x</Strength></Connects>")), ZVXMLFormatError,
                    L"Found unexpected element 'Strength' while looking for 'ZVSource'");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects><ZVSource href='a'/><ZVSource href='b'/></Connects>")),
                    ZVXMLFormatError, L"Found unexpected element 'ZVSource' while looking for 'ZVTarget'");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects><ZVSource/><ZVTarget href='b'/></Connects>")), ZVXMLFormatError,
                    L"href not set on ZVSource element");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects><ZVSource href='a'/><ZVTarget HREF='b'/></Connects>")),
                    ZVXMLFormatError, L"href not set on ZVTarget element");
    EXPECT_TRUE(recorder.Instances().empty());
}

// Without its children the relationship's own end used to be taken for
// theirs: nothing was delivered, later siblings were read as its properties,
// and the parse reported success.
TEST_F(Relationships, AMissingChildIsReportedAtTheEndThatComesInstead)
{
    EXPECT_ZV_THROW(Parse(Document(L"<Connects id='R'/><Pump id='P'/>")), ZVXMLFormatError,
                    L"Found unexpected end of element 'Connects' while looking for 'ZVSource'");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects id='R'><ZVSource href='a'/></Connects><Pump id='P'/>")),
                    ZVXMLFormatError, L"Found unexpected end of element 'Connects' while looking for 'ZVTarget'");
    EXPECT_ZV_THROW(Parse(Document(L"<Connects id='R'>text<ZVSource href='a'>"
                                   L"<ZVSource href='b'/></ZVSource><ZVTarget href='c'/></Connects>")),
                    ZVXMLFormatError, L"Found unexpected end of element 'ZVSource' while looking for 'ZVTarget'");
    EXPECT_TRUE(recorder.Instances().empty());
}

// A relationship class may carry any name, even that of the child it
// waits for: only the end of a child that has started counts as the child's.
TEST_F(Relationships, AnEndOfTheExpectedNameCountsOnlyOnceTheChildHasStarted)
{
    schema.CreateZVRelationshipClass(L"ZVSource", L"", ZVCLASSTYPE_DOMAIN);
    EXPECT_ZV_THROW(Parse(Document(L"<ZVSource id='R'/><Pump id='P'/>")), ZVXMLFormatError,
                    L"Found unexpected end of element 'ZVSource' while looking for 'ZVSource'");
}

class MislabellingFactory : public IZVInstanceFactory {
public:
    explicit MislabellingFactory(CZVSchema& schema) : m_schema(schema) {}
    // Says "relationship" for a plain instance.
    CZVInstance* CreateInstance(const wchar_t*, const wchar_t* className, int* isRelationship) override
    {
        *isRelationship = 1;
        return new CZVInstance(m_schema.FindZVClass(className, ZVCLASSTYPE_ANY));
    }

private:
    CZVSchema& m_schema;
};

TEST_F(Relationships, AFactoryThatMislabelsAnInstanceIsCaught)
{
    MislabellingFactory mislabelling(schema);
    const auto parse = [&](const std::wstring& body) {
        ParseZVInstanceXML(0, Document(body).c_str(), &schema, &recorder, nullptr, &zvtest::Recorder::Instance,
                           &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &mislabelling, 0);
    };
    EXPECT_ZV_THROW(parse(L"<Pump sourceInstanceID='a' targetInstanceID='b'/>"), ZVXMLLogicError,
                    L"Called HandleZVXML20Relationship on an instance that was not a relationship!");
    EXPECT_ZV_THROW(parse(L"<Pump/>"), ZVXMLInvalidArgument,
                    L"Passed NULL pRelationship into RelationshipHandler constructor");
    EXPECT_TRUE(recorder.Instances().empty());
}

} // namespace
