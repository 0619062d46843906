// Loading documents into the tree: nodes, names, text, attributes, errors.
#include "platform/dom_test_support.h"

#include <libxml/xmlerror.h>

using namespace ZVXML;
using zvtest::Elements;

TEST(DomLoad, ReadsEveryKindOfNodeWithItsNames)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<?xml version='1.0'?><!--note--><?tool run fast?>"
                            L"<r xmlns='urn:r' xmlns:p='urn:p'><p:item>t<![CDATA[<raw>]]></p:item><plain/></r>"));
    EXPECT_EQ(zvtest::Describe(doc), L"8 #comment local=#comment ns= text=\"note\"\n"
                                     L"7 tool local=tool ns= text=\"run fast\"\n"
                                     L"1 r local=r ns=urn:r xmlns=\"urn:r\" xmlns:p=\"urn:p\"\n"
                                     L"  1 p:item local=item ns=urn:p\n"
                                     L"    3 #text local=#text ns= text=\"t\"\n"
                                     L"    4 #cdata-section local=#cdata-section ns= text=\"<raw>\"\n"
                                     L"  1 plain local=plain ns=urn:r\n");
    XMLNode root = doc.FirstChild().NextSibling().NextSibling();
    EXPECT_EQ(root.Parent().NodeType(), XML_NODE_DOCUMENT);
    EXPECT_EQ(root.Parent().NodeName(), L"#document");
    EXPECT_EQ(root.FirstChild().Parent(), root);
    EXPECT_EQ(root.FirstChild().Text(), L"t<raw>");

    XMLNode none;
    EXPECT_FALSE(none.FirstChild());
    EXPECT_EQ(none.NodeType(), XML_NODE_OTHER);
    EXPECT_EQ(none.NodeName(), L"");
    EXPECT_TRUE(none.Attributes().empty());
}

TEST(DomLoad, DropsWhiteSpaceOnlyTextAndKeepsAllOtherTextExactly)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<r>\r\n\t<a>  two  words \n</a>\n  <!-- c -->  \n<b> </b><c><![CDATA[  ]]></c>"
                            L"<d>x<e/> </d></r>"));
    XMLNode root = doc.FirstChild();
    std::vector<int> types;
    for (XMLNode child = root.FirstChild(); child; child = child.NextSibling()) {
        types.push_back(child.NodeType());
    }
    EXPECT_EQ(types, (std::vector<int>{XML_NODE_ELEMENT, XML_NODE_COMMENT, XML_NODE_ELEMENT, XML_NODE_ELEMENT,
                                       XML_NODE_ELEMENT}));
    std::vector<XMLNode> elements = Elements(root);
    EXPECT_EQ(elements[0].Text(), L"  two  words \n");
    EXPECT_FALSE(elements[1].FirstChild());
    EXPECT_EQ(elements[2].FirstChild().NodeType(), XML_NODE_CDATA_SECTION);
    EXPECT_EQ(elements[2].Text(), L"  ");
    EXPECT_EQ(elements[3].FirstChild().NextSibling().NodeName(), L"e");
    EXPECT_FALSE(elements[3].FirstChild().NextSibling().NextSibling());
}

TEST(DomLoad, ListsNamespaceDeclarationsFirstThenAttributesInDocumentOrder)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<r b='2' xmlns:p='Pipes.01.02' a='&amp;&#x41;&lt;&#128512;' xmlns='urn:r' p:c='x'"
                            L" z='line&#10;break'/>"));
    zvtest::Attributes attributes;
    for (const XMLAttribute& attribute : doc.FirstChild().Attributes()) {
        attributes.emplace_back(attribute.name, attribute.value);
    }
    EXPECT_EQ(attributes, (zvtest::Attributes{{L"xmlns:p", L"Pipes.01.02"},
                                              {L"xmlns", L"urn:r"},
                                              {L"b", L"2"},
                                              {L"a", std::wstring(L"&A<") + wchar_t(0x1F600)},
                                              {L"p:c", L"x"},
                                              {L"z", L"line\nbreak"}}));
    EXPECT_TRUE(Elements(doc.FirstChild()).empty());
}

TEST(DomLoad, FilesAreDecodedAsTheyDeclareTextIsTakenAsItIs)
{
    zvtest::ScratchFolder folder;
    const std::string utf16 = folder.WriteFile("utf16.xml", std::string("\xFF\xFE<\0r\0>\0\xE9\0<\0/\0r\0>\0", 18));
    const std::string latin1 =
        folder.WriteFile("latin1.xml", "<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\xE9</r>");
    const std::string utf8 = folder.WriteFile("utf8.xml", "\xEF\xBB\xBF<r>\xC3\xA9</r>");

    for (const std::string& path : {utf16, latin1, utf8}) {
        XMLDocument doc;
        ASSERT_TRUE(doc.Load(zvtest::Widen(path).c_str())) << path << ": " << doc.ParseError().errorCode;
        EXPECT_EQ(doc.FirstChild().Text(), L"\xE9") << path;
        EXPECT_EQ(doc.ParseError().errorCode, 0);
    }

    XMLDocument text;
    ASSERT_TRUE(text.LoadXML(
        (std::wstring(L"\xFEFF<?xml version='1.0' encoding='ISO-8859-1'?><r>\xE9") + wchar_t(0x1F600) + L"</r>")
            .c_str()));
    EXPECT_EQ(text.FirstChild().Text(), std::wstring(L"\xE9") + wchar_t(0x1F600));
}

TEST(DomLoadErrors, IllFormedTextGivesCodePositionAndReasonAndAnEmptyDocument)
{
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<ok/>"));
    EXPECT_FALSE(doc.LoadXML(L"<a>\n  <b></a>"));
    const XMLParseError& error = doc.ParseError();
    EXPECT_EQ(error.errorCode, XML_ERR_TAG_NAME_MISMATCH);
    EXPECT_EQ(error.line, 2);
    EXPECT_GT(error.linePos, 3);
    EXPECT_EQ(error.url, L"");
    EXPECT_EQ(error.reason, L"Opening and ending tag mismatch: b line 2 and a");
    EXPECT_FALSE(doc.FirstChild());

    EXPECT_FALSE(doc.LoadXML(L"<a p:x='1'/>")); // an undeclared prefix is an error, not a warning
    EXPECT_NE(doc.ParseError().errorCode, 0);
    EXPECT_FALSE(doc.LoadXML(nullptr));
    EXPECT_EQ(doc.ParseError().errorCode, XML_ERR_DOCUMENT_EMPTY);

    ASSERT_TRUE(doc.LoadXML(L"<again/>"));
    EXPECT_EQ(doc.ParseError().errorCode, 0);
    EXPECT_EQ(doc.ParseError().reason, L"");
}

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
