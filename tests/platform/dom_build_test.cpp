// Building trees as the writer does: where namespaces get declared, how
// attributes are set, and what would break the tree is refused.
#include <zvxml/dom.h>

#include <gtest/gtest.h>

#include <string>

using namespace ZVXML;

namespace {

// One line per node of the subtree, with its type, names, namespace,
// attributes and text: two trees with the same description read the same.
void Describe(ZVXML::XMLNode node, std::wstring& out, int depth = 0)
{
    for (; node; node = node.NextSibling()) {
        out += std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + std::to_wstring(node.NodeType()) + L" " +
               node.NodeName() + L" local=" + node.LocalName() + L" ns=" + node.NamespaceURI();
        for (const ZVXML::XMLAttribute& attribute : node.Attributes()) {
            out += L" " + attribute.name + L"=\"" + attribute.value + L"\"";
        }
        out += node.NodeType() != ZVXML::XML_NODE_ELEMENT ? L" text=\"" + node.Text() + L"\"\n" : L"\n";
        Describe(node.FirstChild(), out, depth + 1);
    }
}

std::wstring Describe(const ZVXML::XMLDocument& document)
{
    std::wstring out;
    Describe(document.FirstChild(), out);
    return out;
}

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

} // namespace

TEST(DomBuild, DeclaresANamespaceOnlyWhereItChanges)
{
    for (bool bottomUp : {false, true}) {
        SCOPED_TRACE(bottomUp ? "children first" : "parents first");
        XMLDocument doc;
        BuildSample(doc, bottomUp);
        EXPECT_EQ(Describe(doc), L"1 root local=root ns=http://example.com/root xmlns=\"http://example.com/root\"\n"
                                 L"  1 item local=item ns=http://example.com/root\n"
                                 L"    3 #text local=#text ns= text=\"a < b & \"c\"\t'd'\"\n"
                                 L"  1 custom local=custom ns=urn:custom xmlns=\"urn:custom\"\n"
                                 L"    1 inner local=inner ns=urn:custom\n"
                                 L"  1 bare local=bare ns= xmlns=\"\"\n");
    }
}

TEST(DomBuild, SetAttributeSetsDeclarationsAndReplacesValues)
{
    XMLDocument doc;
    XMLNode root = Append(doc, XMLNode(), doc.CreateElement(L"root", kRootNs));
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns:p", L"urn:first"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns:p", L"urn:second"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"p:flag", L"1"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"p:flag", L"2"), 0);
    EXPECT_EQ(doc.SetAttribute(root, L"xmlns", kRootNs), 0);
    EXPECT_EQ(Describe(doc), L"1 root local=root ns=http://example.com/root xmlns=\"http://example.com/root\" "
                             L"xmlns:p=\"urn:second\" p:flag=\"2\"\n");
}

// Re-binding a prefix that is in use, or a default namespace that is not the
// element's own, would change what the tree means.
TEST(DomBuild, SetAttributeRefusesDeclarationsThatChangeWhatTheTreeMeans)
{
    XMLDocument copy;
    ASSERT_TRUE(copy.LoadXML(L"<q:r xmlns:q='urn:q'><q:s/></q:r>"));
    XMLNode s = copy.FirstChild().FirstChild();
    EXPECT_NE(copy.SetAttribute(s, L"xmlns:q", L"urn:other"), 0);
    EXPECT_NE(copy.LastError().find(L"q"), std::wstring::npos);
    EXPECT_EQ(copy.SetAttribute(s, L"xmlns:q", L"urn:q"), 0);
    EXPECT_EQ(copy.LastError(), L"");

    XMLDocument doc;
    XMLNode root = Append(doc, XMLNode(), doc.CreateElement(L"root", kRootNs));
    EXPECT_NE(doc.SetAttribute(root, L"xmlns", kCustomNs), 0);
    EXPECT_EQ(root.NamespaceURI(), kRootNs);
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
    EXPECT_NE(doc.AppendChild(root, root, nullptr), 0);
    XMLNode child = Append(doc, root, doc.CreateElement(L"child", nullptr));
    EXPECT_NE(doc.AppendChild(child, root, nullptr), 0);
    EXPECT_NE(doc.SetAttribute(text, L"a", L"1"), 0);
    EXPECT_NE(doc.SetAttribute(root, L"bad name", L"1"), 0);
    EXPECT_NE(doc.SetAttribute(root, L"xmlns:p", L""), 0);
    EXPECT_FALSE(doc.CreateElement(L"p:x", nullptr));
    EXPECT_NE(doc.LastError(), L"");
    EXPECT_EQ(Describe(doc), L"1 root local=root ns=\n  1 child local=child ns=\n");
}
