// Building trees: namespaces, attributes, refusals, ownership of nodes.
#include "platform/dom_test_support.h"

using namespace ZVXML;
using zvtest::Elements;

namespace {

const wchar_t kRootNs[] = L"http://example.com/root";
const wchar_t kCustomNs[] = L"urn:custom";

XMLNode Append(XMLDocument& doc, XMLNode parent, XMLNode child)
{
    XMLNode appended;
    EXPECT_EQ(doc.AppendChild(parent, child, &appended), 0) << doc.LastError();
    EXPECT_EQ(appended, child);
    return child;
}

// root(kRootNs) > [item(kRootNs) > text, custom(kCustomNs) > inner(kCustomNs), bare(no namespace)]
// built top-down, or children first when `bottomUp`.
void BuildSample(XMLDocument& doc, bool bottomUp)
{
    XMLNode root = doc.CreateElement(L"root", kRootNs);
    XMLNode item = doc.CreateElement(L"item", kRootNs);
    XMLNode custom = doc.CreateElement(L"custom", kCustomNs);
    XMLNode inner = doc.CreateElement(L"inner", kCustomNs);
    XMLNode bare = doc.CreateElement(L"bare", nullptr);
    if (!bottomUp) {
        Append(doc, XMLNode(), root);
    }
    Append(doc, custom, inner);
    Append(doc, root, item);
    Append(doc, item, doc.CreateTextNode(L"a < b & \"c\"\t'd'"));
    Append(doc, root, custom);
    Append(doc, root, bare);
    if (bottomUp) {
        Append(doc, XMLNode(), root);
    }
}

XMLDocument Reloaded(const XMLDocument& doc, const std::string& path)
{
    EXPECT_EQ(const_cast<XMLDocument&>(doc).Save(zvtest::Widen(path).c_str()), 0) << doc.LastError();
    XMLDocument copy;
    EXPECT_TRUE(copy.Load(zvtest::Widen(path).c_str())) << copy.ParseError().reason;
    return copy;
}

} // namespace

TEST(DomBuild, DeclaresANamespaceOnlyWhereItChanges)
{
    for (bool bottomUp : {false, true}) {
        SCOPED_TRACE(bottomUp ? "children first" : "parents first");
        XMLDocument doc;
        BuildSample(doc, bottomUp);
        EXPECT_EQ(zvtest::Describe(doc),
                  L"1 root local=root ns=http://example.com/root xmlns=\"http://example.com/root\"\n"
                  L"  1 item local=item ns=http://example.com/root\n"
                  L"    3 #text local=#text ns= text=\"a < b & \"c\"\t'd'\"\n"
                  L"  1 custom local=custom ns=urn:custom xmlns=\"urn:custom\"\n"
                  L"    1 inner local=inner ns=urn:custom\n"
                  L"  1 bare local=bare ns= xmlns=\"\"\n");
    }
}

TEST(DomBuild, SavedTreeReadsBackTheSame)
{
    zvtest::ScratchFolder folder;
    XMLDocument doc;
    BuildSample(doc, true);
    XMLNode root = doc.FirstChild();
    ASSERT_EQ(doc.SetAttribute(root, L"xmlns:xsi", L"http://www.w3.org/2001/XMLSchema-instance"), 0);
    ASSERT_EQ(doc.SetAttribute(root, L"xsi:type", L"T"), 0);
    XMLNode custom = Elements(root)[1];
    ASSERT_EQ(doc.SetAttribute(custom, L"name", L"x\ny\t<&>\"'"), 0);
    std::wstring wide = std::wstring(L"caf\xE9 ") + wchar_t(0x1F600);
    Append(doc, Elements(custom)[0], doc.CreateTextNode(wide.c_str()));

    XMLDocument copy = Reloaded(doc, folder / "sample.xml");
    ASSERT_EQ(zvtest::Describe(copy), zvtest::Describe(doc));
    EXPECT_EQ(Elements(copy.FirstChild())[1].Attributes()[1].value, L"x\ny\t<&>\"'");
    EXPECT_EQ(Elements(Elements(copy.FirstChild())[1])[0].Text(), wide);

    std::string saved = zvtest::ReadAll(folder / "sample.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
    EXPECT_NE(saved.find("\n  <custom"), std::string::npos) << "indented: " << saved;
}

TEST(DomBuild, SetAttributeSetsDeclarationsAndReplacesValues)
{
    zvtest::ScratchFolder folder;
    XMLDocument doc;
    XMLNode root = Append(doc, XMLNode(), doc.CreateElement(L"root", kRootNs));
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns:p", L"urn:first"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns:p", L"urn:second"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"p:flag", L"1"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"p:flag", L"2"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns", kRootNs), 0);
    std::vector<XMLAttribute> attributes = root.Attributes();
    ASSERT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes[0].name, L"xmlns");
    EXPECT_EQ(attributes[1].name, L"xmlns:p");
    EXPECT_EQ(attributes[1].value, L"urn:second");
    EXPECT_EQ(attributes[2].name, L"p:flag");
    EXPECT_EQ(attributes[2].value, L"2");

    XMLDocument copy = Reloaded(doc, folder / "attributes.xml");
    EXPECT_EQ(zvtest::Describe(copy), zvtest::Describe(doc));
    // Read back, p:flag is bound to its namespace: setting it replaces it.
    XMLNode reloadedRoot = copy.FirstChild();
    EXPECT_EQ(copy.SetAttribute(reloadedRoot, L"p:flag", L"3"), 0);
    EXPECT_EQ(reloadedRoot.Attributes().size(), 3u);
    EXPECT_EQ(reloadedRoot.Attributes()[2].value, L"3");

    // Re-binding a prefix that is in use, or a default namespace that is not
    // the element's own, would change what the tree means.
    ASSERT_TRUE(copy.LoadXML(L"<q:r xmlns:q='urn:q'><q:s/></q:r>"));
    XMLNode s = copy.FirstChild().FirstChild();
    EXPECT_NE(copy.SetAttribute(s, L"xmlns:q", L"urn:other"), 0);
    EXPECT_NE(copy.LastError().find(L"q"), std::wstring::npos);
    EXPECT_EQ(copy.SetAttribute(s, L"xmlns:q", L"urn:q"), 0);
    EXPECT_EQ(copy.LastError(), L"");
    EXPECT_NE(doc.SetAttribute(root, L"xmlns", kCustomNs), 0);
    EXPECT_EQ(root.NamespaceURI(), kRootNs);
}

TEST(DomBuild, AppendingAnAttachedNodeMovesItWithItsNamespaces)
{
    zvtest::ScratchFolder folder;
    XMLDocument doc;
    ASSERT_TRUE(doc.LoadXML(L"<r xmlns='urn:r'><a xmlns:p='urn:p'><p:x p:y='1'><z/></p:x></a><b/></r>"));
    XMLNode a = Elements(doc.FirstChild())[0];
    XMLNode b = Elements(doc.FirstChild())[1];
    XMLNode x = a.FirstChild();
    Append(doc, b, x);
    EXPECT_FALSE(a.FirstChild());
    EXPECT_EQ(x.Parent(), b);

    XMLDocument copy = Reloaded(doc, folder / "moved.xml");
    ASSERT_EQ(zvtest::Describe(copy), zvtest::Describe(doc));
    XMLNode movedX = Elements(Elements(copy.FirstChild())[1])[0];
    EXPECT_EQ(movedX.NodeName(), L"p:x");
    EXPECT_EQ(movedX.NamespaceURI(), L"urn:p");
    EXPECT_EQ(movedX.FirstChild().NamespaceURI(), L"urn:r");
}

TEST(DomBuild, RefusesNodesItCannotTake)
{
    XMLDocument doc;
    XMLDocument other;
    XMLNode root = Append(doc, XMLNode(), doc.CreateElement(L"root", nullptr));
    XMLNode text = doc.CreateTextNode(L"t");
    XMLNode appended = root;
    EXPECT_NE(doc.AppendChild(root, XMLNode(), &appended), 0);
    EXPECT_FALSE(appended);
    EXPECT_NE(doc.AppendChild(root, other.CreateElement(L"x", nullptr), nullptr), 0);
    EXPECT_NE(doc.AppendChild(text, doc.CreateElement(L"x", nullptr), nullptr), 0);
    EXPECT_NE(doc.AppendChild(XMLNode(), doc.CreateElement(L"second", nullptr), nullptr), 0);
    EXPECT_NE(doc.AppendChild(XMLNode(), text, nullptr), 0);
    EXPECT_NE(doc.AppendChild(root, root, nullptr), 0);
    XMLNode child = Append(doc, root, doc.CreateElement(L"child", nullptr));
    EXPECT_NE(doc.AppendChild(child, root, nullptr), 0);
    EXPECT_NE(doc.AppendChild(root, root.Parent(), nullptr), 0);
    EXPECT_NE(doc.SetAttribute(text, L"a", L"1"), 0);
    EXPECT_NE(doc.SetAttribute(root, L"bad name", L"1"), 0);
    EXPECT_NE(doc.SetAttribute(root, L"xmlns:", L"urn:x"), 0);
    EXPECT_NE(doc.SetAttribute(root, L"xmlns:p", L""), 0);
    EXPECT_NE(doc.SetAttribute(other.CreateElement(L"x", nullptr), L"a", L"1"), 0);
    EXPECT_FALSE(doc.CreateElement(L"p:x", nullptr));
    EXPECT_FALSE(doc.CreateElement(L"1x", nullptr));
    EXPECT_NE(doc.LastError(), L"");
    EXPECT_EQ(zvtest::Describe(doc), L"1 root local=root ns=\n  1 child local=child ns=\n");

    // Adjacent text nodes stay two nodes: both handles remain usable.
    Append(doc, child, text);
    XMLNode more = Append(doc, child, doc.CreateTextNode(L"u"));
    EXPECT_EQ(child.Text(), L"tu");
    EXPECT_EQ(more.Text(), L"u");
    EXPECT_EQ(doc.LastError(), L"");
}

TEST(DomBuild, NodesNeverAppendedAreFreedWithTheDocument)
{
    // Run under the address sanitizer, a leak here fails the suite.
    XMLDocument doc;
    XMLNode loose = doc.CreateElement(L"loose", L"urn:x");
    Append(doc, loose, doc.CreateElement(L"inside", L"urn:x"));
    doc.SetAttribute(loose, L"a", L"1");
    doc.CreateTextNode(L"never used");
    ASSERT_TRUE(doc.LoadXML(L"<r/>"));
    doc.CreateElement(L"after", nullptr);
    XMLDocument moved(std::move(doc));
    moved.CreateTextNode(L"t");
    EXPECT_EQ(moved.FirstChild().NodeName(), L"r");
    EXPECT_FALSE(doc.FirstChild());
    EXPECT_TRUE(doc.CreateElement(L"reused", nullptr)); // a moved-from document still works
}
