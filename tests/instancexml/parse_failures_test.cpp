// Documents that are not well-formed, the dump file, and documents given by
// location.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <csignal>
#include <sys/resource.h>

using namespace ZVXML;
using zvtest::Document;

namespace {

const std::wstring kDumpHint =
    L". Set environment variable DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE to retain a dump of the offending xml message";

// The message of the ZVXMLRuntimeError that `parse` throws ("" when none).
template <class Parse>
std::wstring RuntimeErrorOf(Parse parse)
{
    try {
        parse();
    } catch (const ZVXMLRuntimeError& error) {
        return error.Message();
    }
    return L"";
}

// Whether `text` is `pattern` with each "*" standing for any run of characters.
bool Matches(const std::wstring& text, const std::wstring& pattern)
{
    const std::size_t star = pattern.find(L'*');
    if (star == std::wstring::npos) {
        return text == pattern;
    }
    if (text.compare(0, star, pattern, 0, star) != 0) {
        return false;
    }
    for (std::size_t at = star; at <= text.size(); ++at) {
        if (Matches(text.substr(at), pattern.substr(star + 1))) {
            return true;
        }
    }
    return false;
}

// A file name made of a new GUID's text and `suffix`.
bool IsGuidName(const std::wstring& name, const std::wstring& suffix)
{
    if (name.size() != 36 + suffix.size() || name.compare(36, suffix.size(), suffix) != 0) {
        return false;
    }
    for (std::size_t i = 0; i < 36; ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        const wchar_t c = name[i];
        if (hyphen ? c != L'-' : !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) {
            return false;
        }
    }
    return true;
}

class ParseFailures : public zvtest::InstanceParseTest {
protected:
    // A mismatched end tag on line 3; one instance ends before it.
    const std::wstring broken = Document(L"\n<Pump id='1'/>\n<Pump id='\u00e9'></Valve>\n");
    const std::wstring reason = L"Opening and ending tag mismatch: Pump line 3 and Valve";
};

TEST_F(ParseFailures, IllFormedTextIsReportedOnceWithItsPlaceThenThrown)
{
    const zvtest::EnvironmentVariable noDump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", nullptr);
    zvtest::LogCapture log;
    EXPECT_ZV_THROW(Parse(broken), ZVXMLRuntimeError,
                    L"ParseZVInstanceXML: COM Error: Unspecified error. " + reason + L". ");
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_TRUE(Matches(recorder.errors[0], L"SAX Parser failed at line 3, column * with error: " + reason + kDumpHint))
        << testing::PrintToString(recorder.errors[0]);
    // What ended before the error was delivered; the count is not reported.
    EXPECT_EQ(recorder.Instances(), std::vector<std::wstring>{L"instance Pump#1{}"});
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());
}

TEST_F(ParseFailures, LinesAndColumnsCountCharacters)
{
    // The place is the one just after the offending end tag.
    RuntimeErrorOf([&] { Parse(Document(L"\n  <Pump>\u00e9\u00e9</Valve>")); });
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors[0].rfind(L"SAX Parser failed at line 2, column 19 with error: ", 0), 0u)
        << testing::PrintToString(recorder.errors[0]);
}

TEST_F(ParseFailures, WithoutAnErrorCallbackTheParseStillThrows)
{
    EXPECT_ZV_THROW(ParseZVInstanceXML(0, broken.c_str(), &schema, &recorder, nullptr, &zvtest::Recorder::Instance,
                                       &zvtest::Recorder::Relationship, nullptr, nullptr, nullptr, &factory, 0),
                    ZVXMLRuntimeError, L"ParseZVInstanceXML: COM Error: Unspecified error. " + reason + L". ");
}

TEST_F(ParseFailures, ADoctypeIsRefused)
{
    const std::wstring text = L"<!DOCTYPE ZVInstanceXML [<!ENTITY e 'x'>]>" + Document(L"<Pump id='&e;'/>");
    EXPECT_ZV_THROW(Parse(text), ZVXMLRuntimeError,
                    L"ParseZVInstanceXML: COM Error: Unspecified error. DOCTYPE is not allowed. ");
    EXPECT_EQ(recorder.errors.size(), 1u);
    EXPECT_TRUE(recorder.Instances().empty());
}

class DumpFolder {
public:
    DumpFolder() : m_file("", "placeholder"), m_tmpdir("TMPDIR", Folder().c_str()) {}
    std::string Folder() const { return m_file.Path().parent_path().string(); }
    std::vector<std::filesystem::path> Files() const
    {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            if (entry.is_regular_file() && entry.path().filename() != "placeholder") {
                files.push_back(entry.path());
            }
        }
        return files;
    }

private:
    zvtest::TempFile m_file;
    zvtest::EnvironmentVariable m_tmpdir;
};

TEST_F(ParseFailures, TheDumpFileHoldsAHeaderLineAndTheDocument)
{
    const DumpFolder folder;
    {
        const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "");
        EXPECT_ZV_THROW(Parse(broken), ZVXMLRuntimeError,
                        L"ParseZVInstanceXML: COM Error: Unspecified error. " + reason + L". ");
    }
    EXPECT_EQ(std::getenv("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE"), nullptr);
    const std::vector<std::filesystem::path> files = folder.Files();
    ASSERT_EQ(files.size(), 1u);
    const std::wstring name = files[0].filename().wstring();
    EXPECT_TRUE(IsGuidName(name, L".zvinstance.xml")) << testing::PrintToString(name);

    ASSERT_EQ(recorder.errors.size(), 1u);
    const std::wstring& message = recorder.errors[0];
    const std::wstring where = L". You can find the offending xml message in: " + files[0].wstring();
    ASSERT_GT(message.size(), where.size());
    EXPECT_EQ(message.substr(message.size() - where.size()), where);
    const std::wstring firstPart = message.substr(0, message.size() - where.size());
    EXPECT_EQ(firstPart.rfind(L"SAX Parser failed at line 3, column ", 0), 0u);

    const std::string content = zvtest::ReadFile(files[0]);
    const std::string header =
        "<!-- " + zvtest::WideToUtf8Bytes(firstPart) + ".  IGNORE THIS LINE WHEN COUNTING LINE NUMBERS -->\n";
    EXPECT_EQ(content, header + zvtest::WideToUtf8Bytes(broken));
}

TEST_F(ParseFailures, EachDumpGoesToANewFile)
{
    const DumpFolder folder;
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    RuntimeErrorOf([&] { Parse(broken); });
    RuntimeErrorOf([&] { Parse(broken); });
    EXPECT_EQ(folder.Files().size(), 2u);
    EXPECT_EQ(recorder.errors.size(), 2u);
}

TEST_F(ParseFailures, ADumpFileThatCannotBeCreatedIsReported)
{
    // Not even root may create files there.
    const zvtest::EnvironmentVariable tmpdir("TMPDIR", "/proc");
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    const std::wstring message = RuntimeErrorOf([&] { Parse(broken); });
    const std::wstring start = L"Cannot create temp file for ZVInstanceXML. filename='/proc/";
    EXPECT_TRUE(message.rfind(start, 0) == 0 && IsGuidName(message.substr(start.size()), L".zvinstance.xml'"))
        << testing::PrintToString(message);
    EXPECT_TRUE(recorder.errors.empty());
}

TEST_F(ParseFailures, ADumpFileThatCannotBeWrittenIsReported)
{
    const DumpFolder folder;
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    // A file size limit makes the write fail; the limit stays in the child.
    const auto parseUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::wstring message = RuntimeErrorOf([&] { Parse(broken); });
        const std::wstring start =
            L"Failed while writing ZVInstanceXML to temp file. filename='" + ZVXML::ToWString(folder.Folder().c_str()) + L"/";
        const bool reported =
            message.rfind(start, 0) == 0 && IsGuidName(message.substr(start.size()), L".zvinstance.xml'");
        std::_Exit(reported && recorder.errors.empty() ? 0 : 1);
    };
    EXPECT_EXIT(parseUnderLimit(), testing::ExitedWithCode(0), "");
}

TEST_F(ParseFailures, ALocationIsNamedInsteadOfDumped)
{
    const DumpFolder folder;
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    const zvtest::TempFile file(zvtest::WideToUtf8Bytes(broken));
    EXPECT_ZV_THROW(ParseLocation(file.WidePath()), ZVXMLRuntimeError,
                    L"ParseZVInstanceXML: COM Error: Unspecified error. " + reason + L". " + file.WidePath() + L". ");
    ASSERT_EQ(recorder.errors.size(), 1u);
    const std::wstring hint = L". If DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE environment variable is set, you can find "
                              L"the offending xml message at: " +
                              file.WidePath();
    EXPECT_TRUE(Matches(recorder.errors[0], L"SAX Parser failed at line 3, column * with error: *"));
    EXPECT_EQ(recorder.errors[0].substr(recorder.errors[0].size() - hint.size()), hint);
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(ParseFailures, DocumentsAreReadFromPathsAndFileUrls)
{
    const zvtest::TempFile file(
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n"
        "<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'><Pump id='\xe9'/></ZVInstanceXML>",
        "plant file.xml");
    EXPECT_EQ(ParseLocation(file.WidePath()), 0);
    std::wstring url = L"file://" + file.WidePath();
    url.replace(url.find(L' '), 1, L"%20");
    EXPECT_EQ(ParseLocation(url), 0);
    EXPECT_EQ(recorder.Instances(),
              (std::vector<std::wstring>{L"instance Pump#\u00e9{}", L"instance Pump#\u00e9{}"}));
}

TEST_F(ParseFailures, ALocationThatCannotBeOpenedIsAPlatformFailure)
{
    const zvtest::TempFile file("");
    const std::wstring missing = file.Path().parent_path().wstring() + L"/missing.xml";
    EXPECT_ZV_THROW(ParseLocation(missing), ZVXMLRuntimeError,
                    L"ParseZVInstanceXML: COM Error: Unspecified error. Cannot open \"" + missing +
                        L"\": No such file or directory. " + missing + L". ");
    const std::wstring web = L"http://localhost/plant.xml";
    EXPECT_ZV_THROW(ParseLocation(web), ZVXMLRuntimeError,
                    L"ParseZVInstanceXML: COM Error: Unspecified error. Cannot read \"" + web +
                        L"\": the scheme \"http\" is not allowed; only files and file: URLs can be read. " + web +
                        L". ");
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_TRUE(recorder.events.empty());
}

} // namespace
