// Files the tree cannot be loaded from: what the caller is told.
#include "platform/dom_test_support.h"

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
