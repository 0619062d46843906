// The document tree: building it as the writer does (where namespaces get
// declared, how attributes are set, what would break the tree is refused),
// loading it (what the caller is told of a file it cannot be loaded from,
// where nodes stand), and saving it to files (atomic replacement,
// permissions, links, failures).
#include <zvxml/dom.h>

#include "platform/dom/attribute_range.h"
#include "platform/dom/local_name.h"
#include "platform/dom/node_position.h"

#include "support/hostile_text.h"
#include "support/scratch.h"
#include "support/xml_tree.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

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

namespace {

void BuildDocument(XMLDocument& doc, std::size_t items)
{
    XMLNode root;
    ASSERT_EQ(doc.AppendChild(XMLNode(), doc.CreateElement(L"root", L"urn:r"), &root), 0);
    for (std::size_t i = 0; i < items; ++i) {
        XMLNode item;
        ASSERT_EQ(doc.AppendChild(root, doc.CreateElement(L"item", L"urn:r"), &item), 0);
        ASSERT_EQ(doc.SetAttribute(item, L"n", std::to_wstring(i).c_str()), 0);
    }
}

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode;
}

std::size_t ItemsIn(const std::string& path)
{
    XMLDocument doc;
    EXPECT_TRUE(doc.Load(zvtest::Widen(path).c_str())) << doc.ParseError().reason;
    return zvtest::Elements(doc.FirstChild()).size();
}

// Lowers the largest file size this process may write, for its lifetime.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        struct rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    struct rlimit m_previous {};
    void (*m_previousHandler)(int);
};

} // namespace

// A new file gets the mode the umask allows.
TEST(DomSave, ReplacesAFileKeepingItsModeAndLeavesNoTemporaryFile)
{
    zvtest::ScratchFolder folder;
    const std::string path = folder.WriteFile("out.xml", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    XMLDocument doc;
    BuildDocument(doc, 3);
    EXPECT_EQ(doc.Save(zvtest::Widen(path).c_str()), 0) << doc.LastError();
    EXPECT_EQ(doc.LastError(), L"");
    EXPECT_EQ(ModeOf(path) & 07777, 0640u);
    EXPECT_EQ(ItemsIn(path), 3u);

    const std::string fresh = folder / "fresh.xml";
    const mode_t previous = ::umask(027);
    const long status = doc.Save(zvtest::Widen(fresh).c_str());
    ::umask(previous);
    EXPECT_EQ(status, 0) << doc.LastError();
    EXPECT_EQ(ModeOf(fresh) & 07777, 0640u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"fresh.xml", "out.xml"}));
}

TEST(DomSave, FailuresLeaveTheTargetAsItWasAndNoTemporaryFile)
{
    zvtest::ScratchFolder folder;
    XMLDocument doc;
    BuildDocument(doc, 2000);

    const std::string missing = folder / "no/such/folder.xml";
    EXPECT_NE(doc.Save(zvtest::Widen(missing).c_str()), 0);
    EXPECT_EQ(doc.LastError(), L"Cannot write file '" + zvtest::Widen(missing) + L"': No such file or directory");

    // The temporary file outgrows the limit while being written.
    const std::string path = folder.WriteFile("kept.xml", "<old/>");
    {
        FileSizeLimit limit(4096);
        EXPECT_NE(doc.Save(zvtest::Widen(path).c_str()), 0);
    }
    EXPECT_NE(doc.LastError().find(L"File too large"), std::wstring::npos) << doc.LastError();
    EXPECT_EQ(zvtest::ReadAll(path), "<old/>");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.xml"});

    XMLDocument empty;
    EXPECT_NE(empty.Save(zvtest::Widen(path).c_str()), 0);
    EXPECT_NE(empty.LastError(), L"");
    EXPECT_EQ(zvtest::ReadAll(path), "<old/>");
}

TEST(DomSave, SymbolicLinksAreFollowedToTheFileTheyName)
{
    zvtest::ScratchFolder folder;
    const std::string target = folder.WriteFile("target.xml", "old");
    const std::string link = folder / "link.xml";
    const std::string dangling = folder / "dangling.xml";
    ASSERT_EQ(::symlink("target.xml", link.c_str()), 0);
    ASSERT_EQ(::symlink("created.xml", dangling.c_str()), 0);
    XMLDocument doc;
    BuildDocument(doc, 2);

    EXPECT_EQ(doc.Save(zvtest::Widen(link).c_str()), 0) << doc.LastError();
    struct stat status {};
    ASSERT_EQ(::lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(ItemsIn(target), 2u);

    EXPECT_EQ(doc.Save(zvtest::Widen(dangling).c_str()), 0) << doc.LastError();
    EXPECT_EQ(ItemsIn(folder / "created.xml"), 2u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"created.xml", "dangling.xml", "link.xml", "target.xml"}));
}
