// Reading documents from files: which locations are accepted, how files are
// decoded, and what the caller hears when a file cannot be read.
#include "platform/sax_reader.h"
#include "sax_recorder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using ZVXML::platform::kSaxUnspecifiedError;
using ZVXML::platform::SaxPlatformError;
using ZVXML::platform::SaxReader;
using zvtest::Recorder;

namespace {

Recorder ParseAt(const std::wstring& location)
{
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    reader.ParseLocation(location.c_str());
    return recorder;
}

SaxPlatformError RefusalOf(const std::wstring& location)
{
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    try {
        reader.ParseLocation(location.c_str());
    } catch (const SaxPlatformError& error) {
        EXPECT_TRUE(recorder.events.empty());
        return error;
    }
    ADD_FAILURE() << "accepted";
    return SaxPlatformError{};
}

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes;
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

} // namespace

TEST(SaxLocation, PathsAndFileUrlsOfEveryFormReadTheFile)
{
    // Escapes in the URLs: a space, "é" in UTF-8, and an escaped slash-free "%".
    const zvtest::ScratchFolder folder;
    const std::wstring path = zvtest::WidePath(folder.WriteFile("a b \xc3\xa9%.xml", "<r>ok</r>"));
    const std::wstring escaped = zvtest::Widen(folder.path()) + L"/a%20b%20%C3%A9%25.xml";
    for (const std::wstring& location :
         {path, L"file://" + escaped, L"FILE://localhost" + escaped, L"file:" + escaped, L"file://" + path}) {
        EXPECT_EQ(ParseAt(location).Text(), L"ok") << location;
    }
}

TEST(SaxLocation, OtherSchemesAndHostsAreRefusedWithoutAnyConnection)
{
    const zvtest::LocalServer server;
    const std::wstring url = server.Url() + L"/doc.xml";
    const SaxPlatformError http = RefusalOf(url);
    EXPECT_EQ(http.code, kSaxUnspecifiedError);
    EXPECT_EQ(http.description,
              L"Cannot read \"" + url + L"\": the scheme \"http\" is not allowed; only files and file: URLs can be read");
    EXPECT_EQ(http.source, url);
    for (const wchar_t* location : {L"https://127.0.0.1:9/", L"ftp://127.0.0.1:9/x.xml", L"HTTP://127.0.0.1:9/",
                                    L"jar:file:///x.jar!/a.xml", L"data:text/xml,<r/>"}) {
        EXPECT_NE(RefusalOf(location).description.find(L"is not allowed"), std::wstring::npos) << location;
    }
    EXPECT_EQ(RefusalOf(L"file://server/share/doc.xml").description,
              L"Cannot read \"file://server/share/doc.xml\": the file URL names the host \"server\"; only local "
              L"files can be read");
    EXPECT_EQ(RefusalOf(L"file://").description, L"Cannot read \"file://\": the file URL names no file");
    EXPECT_EQ(RefusalOf(L"file:///tmp/a%00b").description,
              L"Cannot read \"file:///tmp/a%00b\": the file URL holds a NUL character");

    EXPECT_FALSE(server.WasContacted());
}

TEST(SaxLocation, AFileThatCannotBeReadIsAPlatformErrorWithTheSystemsReason)
{
    const std::wstring missing = L"/nonexistent-folder/doc.xml";
    const SaxPlatformError absent = RefusalOf(missing);
    EXPECT_EQ(absent.code, kSaxUnspecifiedError);
    EXPECT_EQ(absent.description, L"Cannot open \"" + missing + L"\": No such file or directory");
    EXPECT_EQ(absent.source, missing);

    const std::wstring folder = L"file://" + ZVXML::Utf8ToWide(std::filesystem::temp_directory_path().string());
    const SaxPlatformError directory = RefusalOf(folder);
    EXPECT_EQ(directory.description, L"Cannot read \"" + folder + L"\": Is a directory");
    EXPECT_EQ(directory.source, folder);

    EXPECT_EQ(RefusalOf(L"").description, L"Cannot read \"\": no location given");
}

TEST(SaxLocation, AFatalErrorNamesTheLocationAsItsSource)
{
    const zvtest::ScratchFolder folder;
    const std::wstring path = zvtest::WidePath(folder.WriteFile("broken.xml", "<r>\n<a></r>"));
    zvtest::ErrorRecorder errors(42);
    SaxReader reader;
    reader.SetErrorHandler(&errors);
    try {
        reader.ParseLocation(path.c_str());
        FAIL();
    } catch (const SaxPlatformError& error) {
        EXPECT_EQ(error.code, 42);
        EXPECT_EQ(error.source, path);
        EXPECT_EQ(error.description, L"Opening and ending tag mismatch: a line 2 and r");
    }
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].line, 2);
}

TEST(SaxLocation, TheFilesByteOrderMarkOrDeclarationChoosesItsEncoding)
{
    const std::u16string text = u"<?xml version='1.0' encoding='UTF-16'?><r a='\u00e9'>\u20ac\U0001F600</r>";
    const zvtest::ScratchFolder folder;
    const std::pair<std::string, std::wstring> files[] = {
        {"\xff\xfe" + Utf16(text, false), L"\u20ac\U0001F600"},
        {"\xfe\xff" + Utf16(text, true), L"\u20ac\U0001F600"},
        {"<?xml version='1.0' encoding='ISO-8859-1'?><r a='\xe9'>\xe9\xff</r>", L"\u00e9\u00ff"},
        {"\xef\xbb\xbf<r a='\xc3\xa9'>\xe2\x82\xac</r>", L"\u20ac"},
    };
    for (const auto& [bytes, expected] : files) {
        Recorder recorder;
        recorder.watched = {L"a"};
        SaxReader reader;
        reader.SetContentHandler(&recorder);
        reader.ParseLocation(zvtest::WidePath(folder.WriteFile("encoded.xml", bytes)).c_str());
        EXPECT_EQ(recorder.Text(), expected);
        EXPECT_EQ(recorder.events[0], L"start {}r r a=\u00e9"); // attribute values are decoded too
    }
}

TEST(SaxLocation, CharactersSplitAcrossReadChunksArriveWhole)
{
    // Three-byte characters, placed so that read chunks end inside them.
    for (std::size_t shift : {0, 1, 2}) {
        std::string bytes = "<r>" + std::string(shift, 'x');
        std::wstring expected(shift, L'x');
        while (bytes.size() < 300000) {
            bytes += "\xe2\x82\xac&amp;\xf0\x9f\x98\x80";
            expected += L"\u20ac&\U0001F600";
        }
        bytes += "</r>";
        const zvtest::ScratchFolder folder;
        EXPECT_EQ(ParseAt(zvtest::WidePath(folder.WriteFile("chunks.xml", bytes))).Text(), expected) << shift;
    }
}
