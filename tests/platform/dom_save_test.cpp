// Saving to files: atomic replacement, permissions, links, devices, failures.
#include <zvxml/dom.h>

#include "support/scratch.h"
#include "support/xml_tree.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace ZVXML;

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
