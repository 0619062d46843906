// Reading documents from files: which locations are accepted, what the caller
// hears when one is refused, and text cut by the reader's chunks.
#include "platform/sax/sax_reader.h"
#include "sax_recorder.h"

#include <gtest/gtest.h>

using zvtest::SaxLocation;
using zvtest::SaxOutcome;
using ZVXML::platform::kSaxUnspecifiedError;

TEST(SaxLocation, PathsAndFileUrlsOfEveryFormReadTheFile)
{
    // Escapes in the URLs: a space, "é" in UTF-8, and an escaped slash-free "%".
    const zvtest::ScratchFolder folder;
    const std::wstring path = zvtest::WidePath(folder.WriteFile("a b \xc3\xa9%.xml", "<r>ok</r>"));
    const std::wstring escaped = zvtest::Widen(folder.path()) + L"/a%20b%20%C3%A9%25.xml";
    for (const std::wstring& location :
         {path, L"file://" + escaped, L"FILE://localhost" + escaped, L"file:" + escaped, L"file://" + path}) {
        const SaxOutcome outcome = SaxLocation(location);
        EXPECT_FALSE(outcome.threw) << outcome.error.description;
        EXPECT_EQ(outcome.events.Text(), L"ok") << location;
    }
}

// Other schemes and hosts, and files the system will not read: each a
// platform error naming the location, with no event.
TEST(SaxLocation, RefusedLocationsAreNamedWithTheReason)
{
    // A port nothing listens on: were the scheme let through, the message
    // would tell of a failed connection instead.
    const std::wstring url = L"http://127.0.0.1:9/doc.xml";
    const std::wstring missing = L"/nonexistent-folder/doc.xml";
    const std::wstring folder = L"file://" + ZVXML::Utf8ToWide(std::filesystem::temp_directory_path().string());
    const std::pair<std::wstring, std::wstring> refusals[] = {
        {url, L"the scheme \"http\" is not allowed; only files and file: URLs "
              L"can be read"},
        {L"file://server/share/doc.xml", L"the file URL names the host \"server\"; only local files can be read"},
        {L"file://", L"the file URL names no file"},
        {L"file:///tmp/a%00b", L"the file URL holds a NUL character"},
        {folder, L"Is a directory"},
        {L"", L"no location given"},
    };
    for (const auto& [location, reason] : refusals) {
        const SaxOutcome outcome = SaxLocation(location);
        ASSERT_TRUE(outcome.threw) << location;
        EXPECT_EQ(outcome.error.code, kSaxUnspecifiedError);
        EXPECT_EQ(outcome.error.description, L"Cannot read \"" + location + L"\": " + reason);
        EXPECT_EQ(outcome.error.source, location);
        EXPECT_TRUE(outcome.events.events.empty());
    }
    const SaxOutcome absent = SaxLocation(missing);
    EXPECT_EQ(absent.error.description, L"Cannot open \"" + missing + L"\": No such file or directory");
    EXPECT_EQ(absent.error.source, missing);
}

TEST(SaxLocation, CharactersSplitAcrossChunksArriveWhole)
{
    // Longer than a conversion chunk and than libxml2's buffers, with two-,
    // three- and four-byte characters placed so that chunks end inside them.
    for (std::size_t shift : {0, 1, 2}) {
        SCOPED_TRACE(shift);
        std::string bytes = "<r>" + std::string(shift, 'x');
        std::wstring expected(shift, L'x');
        for (int i = 0; bytes.size() < 300000; ++i) {
            bytes += "\xe2\x82\xac&amp;\xf0\x9f\x98\x80 \xc3\xa9" + std::to_string(i) + "\n";
            expected += L"\u20ac&\U0001F600 \u00e9" + std::to_wstring(i) + L"\n";
        }
        bytes += "</r>";
        const zvtest::ScratchFolder folder;
        EXPECT_EQ(SaxLocation(zvtest::WidePath(folder.WriteFile("chunks.xml", bytes))).events.Text(), expected);
        EXPECT_EQ(zvtest::SaxText(ZVXML::Utf8ToWide(bytes)).events.Text(), expected);
    }
}
