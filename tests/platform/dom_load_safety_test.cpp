// Hostile documents: DOCTYPEs, entity bombs, external entities, deep
// nesting, huge text; and libxml2 keeping quiet on standard error.
#include "platform/dom_test_support.h"
#include "support/hostile_text.h"
#include "support/stderr_capture.h"

#include <libxml/xmlerror.h>

using namespace ZVXML;

namespace {

std::wstring Nested(long depth) { return zvtest::Widen(zvtest::Nested("a", depth)); }

const std::wstring kBillionLaughs = zvtest::Widen(zvtest::BillionLaughs("lolz") + "<lolz>&lol9;</lolz>");

} // namespace

TEST(DomLoadSafety, AnyDoctypeIsRefusedWhereItStandsAndNoEntityIsRead)
{
    const struct {
        std::wstring text;
        int code;
        long line, column; // 0: not checked
    } cases[] = {
        {kBillionLaughs, XML_LOAD_DOCTYPE_NOT_ALLOWED, 2, 1},
        {L"<!-- \x263A -->  <!DOCTYPE r><r/>", XML_LOAD_DOCTYPE_NOT_ALLOWED, 1, 13},
        {L"<!DOCTYPE r [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><r>&x;</r>", XML_LOAD_DOCTYPE_NOT_ALLOWED, 1, 1},
        {L"<!DOCTYPE r SYSTEM 'file:///etc/passwd'><r/>", XML_LOAD_DOCTYPE_NOT_ALLOWED, 1, 1},
        {L"<r>&x;</r>", XML_ERR_UNDECLARED_ENTITY, 0, 0},
    };
    XMLDocument doc;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 60)));
        ASSERT_TRUE(doc.LoadXML(L"<previous/>"));
        EXPECT_FALSE(doc.LoadXML(c.text.c_str()));
        EXPECT_EQ(doc.ParseError().errorCode, c.code);
        if (c.code == XML_LOAD_DOCTYPE_NOT_ALLOWED) {
            EXPECT_EQ(doc.ParseError().reason, L"DOCTYPE is not allowed");
        }
        if (c.line != 0) {
            EXPECT_EQ(doc.ParseError().line, c.line);
            EXPECT_EQ(doc.ParseError().linePos, c.column);
        }
        EXPECT_FALSE(doc.FirstChild());
    }
}

TEST(DomLoadSafety, DepthAndTextSizeLimitsHold)
{
    XMLDocument doc;
    EXPECT_TRUE(doc.LoadXML(Nested(256).c_str()));
    EXPECT_FALSE(doc.LoadXML(Nested(300).c_str()));
    EXPECT_NE(doc.ParseError().reason.find(L"depth"), std::wstring::npos) << doc.ParseError().reason;
    EXPECT_FALSE(doc.LoadXML(Nested(100000).c_str()));
    EXPECT_FALSE(doc.FirstChild());

    std::wstring huge = L"<r>" + std::wstring(10000001, L'x') + L"</r>";
    EXPECT_FALSE(doc.LoadXML(huge.c_str()));
    EXPECT_NE(doc.ParseError().errorCode, 0);
}

TEST(DomLoadSafety, NothingReachesStandardError)
{
    zvtest::ScratchFolder folder;
    // A lone surrogate, and an encoding nobody knows.
    const std::string badUtf16 = folder.WriteFile("bad16.xml", std::string("\xFF\xFE<\0r\0>\0\x00\xD8>\0", 12));
    const std::string unknownEncoding =
        folder.WriteFile("unknown.xml", "<?xml version='1.0' encoding='no-such-thing'?><r/>");

    zvtest::StderrCapture capture;
    XMLDocument doc;
    EXPECT_FALSE(doc.LoadXML(L"<a><b></a>"));
    EXPECT_TRUE(doc.LoadXML(L"<r xmlns:z='Pipes.01.02' xmlns:w='not a uri at all' z:a='1'/>"));
    EXPECT_FALSE(doc.LoadXML(kBillionLaughs.c_str()));
    EXPECT_FALSE(doc.LoadXML(L"<r>&#1;</r>"));
    EXPECT_FALSE(doc.Load(zvtest::Widen(badUtf16).c_str()));
    EXPECT_FALSE(doc.Load(zvtest::Widen(unknownEncoding).c_str()));
    EXPECT_EQ(capture.Finish(), "");
}
