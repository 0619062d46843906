// Files the tree cannot be loaded from: what the caller is told.
#include <zvxml/dom.h>

#include "support/scratch.h"
#include "support/xml_tree.h"

#include <gtest/gtest.h>

#include "platform/dom/attribute_range.h"
#include "platform/dom/dom_parser.h"
#include "platform/dom/local_name.h"
#include "platform/dom/node_position.h"
#include "support/hostile_text.h"

#include <libxml/xmlerror.h>

using namespace ZVXML;

TEST(DomLoadErrors, UnreadableFilesAreLoadFailuresNamingTheFile)
{
    zvtest::ScratchFolder folder;
    const std::wstring missing = zvtest::Widen(folder / "missing.xml");
    XMLDocument doc;
    EXPECT_FALSE(doc.Load(missing.c_str()));
    EXPECT_EQ(doc.ParseError().errorCode, XML_LOAD_CANNOT_READ_FILE);
    EXPECT_EQ(doc.ParseError().url, missing);
    EXPECT_EQ(doc.ParseError().reason, L"Cannot open file: No such file or directory");
    EXPECT_FALSE(doc.FirstChild());

    const std::wstring folderPath = zvtest::Widen(folder / "");
    EXPECT_FALSE(doc.Load(folderPath.c_str()));
    EXPECT_EQ(doc.ParseError().reason, L"Cannot read file: Is a directory");

    const std::string bad = folder.WriteFile("bad.xml", "<r>\n</x>");
    EXPECT_FALSE(doc.Load(zvtest::Widen(bad).c_str()));
    EXPECT_EQ(doc.ParseError().url, zvtest::Widen(bad));
    EXPECT_EQ(doc.ParseError().line, 2);
}

// The tree refuses what the streaming reader refuses, with its message and
// at its place: the end of the start tag one level too deep.
TEST(DomLoadErrors, NestingIsLimitedTo256ElementsAsInTheStreamingReader)
{
    XMLDocument doc;
    EXPECT_TRUE(doc.LoadXML(zvtest::NestedOnLines(256).c_str())) << doc.ParseError().reason;
    for (int levels : {257, 258}) {
        EXPECT_FALSE(doc.LoadXML(zvtest::NestedOnLines(levels).c_str()));
        EXPECT_EQ(doc.ParseError().reason, L"Excessive depth in document: more than 256 nested elements");
        EXPECT_EQ(doc.ParseError().line, 257);
        EXPECT_EQ(doc.ParseError().linePos, 3);
        EXPECT_FALSE(doc.FirstChild());
    }
}

// The tree refuses a text the streaming reader refuses, with its message:
// libxml2 alone lets a long text through when it decodes the file in pieces.
TEST(DomLoadErrors, TextBetweenTwoTagsIsLimitedAsInTheStreamingReader)
{
    const zvtest::ScratchFolder folder;
    const std::string declaration = "<?xml version='1.0' encoding='UTF-8'?>\n<r>\n";
    const std::string fits(10000000, 'v');
    XMLDocument doc;
    const std::string good = folder.WriteFile("good.xml", declaration + "<a>" + fits + "</a><b>" + fits + "</b></r>");
    EXPECT_TRUE(doc.Load(zvtest::Widen(good).c_str())) << doc.ParseError().reason;
    for (const std::string& text : {fits + "v", fits + fits + fits}) {
        const std::string bad = folder.WriteFile("bad.xml", declaration + "<a>" + text + "</a></r>");
        EXPECT_FALSE(doc.Load(zvtest::Widen(bad).c_str()));
        EXPECT_EQ(doc.ParseError().reason, L"Text between two tags is longer than 10000000 bytes");
        EXPECT_EQ(doc.ParseError().line, 3);
        EXPECT_FALSE(doc.FirstChild());
    }
}

// Readers report a node by the file it came from and the line of its start
// tag's "<", also past libxml2's 16-bit line numbers; built nodes have none.
TEST(DomNodePositions, ElementsStandOnTheLineOfTheirStartTag)
{
    zvtest::ScratchFolder folder;
    const std::string bytes = "<?xml version='1.0'?>\n<r>\n  <a\n     x='1'\n     y='2'>text\n  </a>\n" +
                              std::string(70000, '\n') + "<b/><c>\n</c></r>";
    const std::wstring path = zvtest::Widen(folder.WriteFile("lines.xml", bytes));
    XMLDocument doc;
    ASSERT_TRUE(doc.Load(path.c_str()));
    const XMLNode r = doc.FirstChild();
    const XMLNode a = r.FirstChild();
    const XMLNode b = a.NextSibling();
    const XMLNode c = b.NextSibling();
    const ReadPosition at = platform::NodePosition(a);
    EXPECT_EQ(at.file, path);
    EXPECT_EQ(at.line, 3);
    EXPECT_EQ(at.column, 0);
    EXPECT_EQ(platform::NodePosition(r).line, 2);
    EXPECT_EQ(platform::NodePosition(b).line, 70007);
    EXPECT_EQ(platform::NodePosition(c).line, 70007);

    XMLDocument text;
    ASSERT_TRUE(text.LoadXML(L"<r>\n<a/></r>"));
    EXPECT_EQ(platform::NodePosition(text.FirstChild().FirstChild()).line, 2);
    EXPECT_EQ(platform::NodePosition(text.FirstChild().FirstChild()).file, L"");

    XMLDocument built;
    const XMLNode element = built.CreateElement(L"r", nullptr);
    ASSERT_EQ(built.AppendChild(XMLNode(), element, nullptr), XML_STATUS_OK);
    EXPECT_EQ(platform::NodePosition(element).line, 0);
    EXPECT_EQ(platform::NodePosition(XMLNode()).line, 0);
}

zvtest::Attributes Ranged(XMLNode node)
{
    zvtest::Attributes attributes;
    for (const XMLAttribute& attribute : platform::AttributeRange(node)) {
        attributes.emplace_back(attribute.name, attribute.value);
    }
    return attributes;
}

// The range reuses one pair of strings: a short or non-ASCII attribute read
// after a long one must not keep any of the long one's characters.
TEST(DomAttributeRange, GivesWhatTheNodeListsLessDeclarations)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<r xmlns='urn:d' xmlns:p='urn:p' longAttributeName='a long value, then'"
                            L" b='' p:c='x &amp; &#xE9;&#x1F600;' d='\u00E9'><child/></r>"));
    const XMLNode r = doc.FirstChild();
    const zvtest::Attributes expected = {{L"longAttributeName", L"a long value, then"},
                                         {L"b", L""},
                                         {L"p:c", L"x & \u00E9\U0001F600"},
                                         {L"d", L"\u00E9"}};
    EXPECT_EQ(Ranged(r), expected);
    // The node's own list has the declarations first, then the same.
    const std::vector<XMLAttribute> listed = r.Attributes();
    ASSERT_EQ(listed.size(), expected.size() + 2);
    EXPECT_EQ(listed[0].name, L"xmlns");
    EXPECT_EQ(listed[1].name, L"xmlns:p");
    EXPECT_EQ(listed[4].value, expected[2].second);

    EXPECT_TRUE(Ranged(r.FirstChild()).empty());
    EXPECT_TRUE(Ranged(XMLNode()).empty());

    XMLDocument built;
    const XMLNode element = built.CreateElement(L"e", nullptr);
    ASSERT_EQ(built.SetAttribute(element, L"xmlns:q", L"urn:q"), XML_STATUS_OK);
    ASSERT_EQ(built.SetAttribute(element, L"q:one", L"1"), XML_STATUS_OK);
    EXPECT_EQ(Ranged(element), (zvtest::Attributes{{L"q:one", L"1"}}));
}

TEST(DomLocalName, ComparedAndReadWithoutThePrefix)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<p:Class xmlns:p='urn:p'><Classy/><Cl\u00E4ss/>text</p:Class>"));
    const XMLNode root = doc.FirstChild();
    const XMLNode classy = root.FirstChild();
    const XMLNode accented = classy.NextSibling();
    const XMLNode text = accented.NextSibling();
    EXPECT_TRUE(platform::HasLocalName(root, L"Class"));
    EXPECT_FALSE(platform::HasLocalName(root, L"p:Class"));
    EXPECT_FALSE(platform::HasLocalName(root, L"Clas"));
    EXPECT_FALSE(platform::HasLocalName(classy, L"Class"));
    EXPECT_TRUE(platform::HasLocalName(accented, L"Cl\u00E4ss"));
    EXPECT_FALSE(platform::HasLocalName(accented, L"Class"));
    EXPECT_FALSE(platform::HasLocalName(text, L"#text"));
    EXPECT_FALSE(platform::HasLocalName(XMLNode(), L""));

    std::wstring name = L"a name longer than any read below";
    for (const XMLNode node : {root, classy, accented, text}) {
        platform::ReadLocalName(node, name);
        EXPECT_EQ(name, node.LocalName());
    }
}
