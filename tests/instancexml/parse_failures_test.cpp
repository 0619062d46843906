// Documents that are not well-formed, and the dump file that helps to find
// what was wrong with them.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <csignal>
#include <sys/resource.h>

using namespace ZVXML;

namespace {

const std::wstring kDumpHint =
    L". Set environment variable DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE to retain a dump of the offending xml message";
const std::wstring kComError = L"ParseZVInstanceXML: COM Error: Unspecified error. ";

// Whether `text` is `start`, then a run of digits, then `end`.
bool WithNumber(const std::wstring& text, const std::wstring& start, const std::wstring& end)
{
    const std::size_t digits = text.find_first_not_of(L"0123456789", start.size());
    return text.rfind(start, 0) == 0 && digits > start.size() && digits != std::wstring::npos &&
           text.compare(digits, std::wstring::npos, end) == 0;
}

class ParseFailures : public zvtest::InstanceParseTest {
protected:
    // The files in the dump folder, which TMPDIR names while the test runs
    // (so the scratch folders a test makes are in it too).
    std::vector<std::filesystem::path> Dumps() const
    {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(dumps.path())) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        return files;
    }
    // The message of what a parse of the broken document throws.
    std::wstring ParseBroken()
    {
        return zvtest::Thrown([&] { Parse(broken); }).value().Message();
    }

    // A mismatched end tag on line 3; one instance ends before it.
    const std::string brokenUtf8 = "<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>\n"
                                   "<Pump id='1'/>\n<Pump id='\xc3\xa9'></Valve>\n</ZVInstanceXML>";
    const std::wstring broken = ZVXML::ToWString(brokenUtf8.c_str());
    const std::wstring reason = L"Opening and ending tag mismatch: Pump line 3 and Valve";
    const zvtest::ScratchFolder dumps;
    const zvtest::EnvironmentVariable tmpdir{"TMPDIR", dumps.path().c_str()};
    const zvtest::EnvironmentVariable noDump{"DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", nullptr};
};

// What ended before the error was delivered; the count is not reported.
// Without an error callback it is thrown all the same.
TEST_F(ParseFailures, IllFormedXmlIsReportedOnceWithItsPlaceThenThrown)
{
    zvtest::LogCapture log;
    EXPECT_ZV_THROW(Parse(broken), ZVXMLRuntimeError, kComError + reason + L". ");
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_TRUE(
        WithNumber(recorder.errors[0], L"SAX Parser failed at line 3, column ", L" with error: " + reason + kDumpHint))
        << testing::PrintToString(recorder.errors[0]);
    EXPECT_EQ(recorder.Instances(), std::vector<std::wstring>{L"instance Pump#1{}"});
    EXPECT_TRUE(log.texts(L"ZVXML", LOG_SEV_INFO).empty());
    EXPECT_TRUE(Dumps().empty());
    EXPECT_ZV_THROW(ParseBare(broken), ZVXMLRuntimeError, kComError + reason + L". ");
}

// libxml2 reports a start tag cut off by the end of the input before it
// finds the tag unfinished; the handlers must not see it, or their error
// about its name hides the real one.
TEST_F(ParseFailures, ADocumentEndingInsideAStartTagIsReportedAsIllFormed)
{
    const std::wstring opening = L"<ZVInstanceXML xmlns='" + zvtest::kNamespace + L"'>";
    const std::wstring unfinished = L"Couldn't find end of Start Tag ";
    const struct {
        std::wstring text;
        std::wstring reason;
        std::vector<std::wstring> instances;
    } cases[] = {
        {L"<ZVInstanceXML", unfinished + L"ZVInstanceXML", {}},
        {opening + L"<Pump id='a'/><Pum", unfinished + L"Pum", {L"instance Pump#a{}"}},
        {opening + L"<Pump id='a'><Nam", unfinished + L"Nam", {}},
        {opening + L"<Pump id='a'/><Pump id='b' ", unfinished + L"Pump", {L"instance Pump#a{}"}},
        {opening + L"<Pump id='a'/><Pump id='b'/", L"attributes construct error", {L"instance Pump#a{}"}},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(testing::PrintToString(sample.text));
        recorder = {};
        EXPECT_ZV_THROW(Parse(sample.text), ZVXMLRuntimeError, kComError + sample.reason + L". ");
        ASSERT_EQ(recorder.errors.size(), 1u);
        EXPECT_NE(recorder.errors[0].find(L" with error: " + sample.reason + kDumpHint), std::wstring::npos)
            << testing::PrintToString(recorder.errors[0]);
        EXPECT_EQ(recorder.Instances(), sample.instances);
    }
}

TEST_F(ParseFailures, ALocationIsNamedInsteadOfDumpedEvenWhenADumpIsAskedFor)
{
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    const zvtest::ScratchFolder folder;
    const std::wstring path = folder.Write("document.xml", brokenUtf8);
    EXPECT_ZV_THROW(Parse(path, 0, 1), ZVXMLRuntimeError, kComError + reason + L". " + path + L". ");
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_TRUE(WithNumber(recorder.errors[0], L"SAX Parser failed at line 3, column ",
                           L" with error: " + reason +
                               L". If DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE environment "
                               L"variable is set, you can find the offending xml message at: " +
                               path))
        << testing::PrintToString(recorder.errors[0]);
    EXPECT_TRUE(Dumps().empty());
}

// Each failure dumps to a new file, which holds a header line and the
// document.
TEST_F(ParseFailures, EachDumpIsANewFileHoldingAHeaderLineAndTheDocument)
{
    {
        const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "");
        EXPECT_ZV_THROW(Parse(broken), ZVXMLRuntimeError, kComError + reason + L". ");
    }
    EXPECT_EQ(std::getenv("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE"), nullptr);
    const std::vector<std::filesystem::path> files = Dumps();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(zvtest::WithGuid(files[0].filename().wstring(), L"", L".zvinstance.xml")) << files[0];

    ASSERT_EQ(recorder.errors.size(), 1u);
    const std::wstring& message = recorder.errors[0];
    const std::wstring where = L". You can find the offending xml message in: " + files[0].wstring();
    ASSERT_GT(message.size(), where.size());
    EXPECT_EQ(message.substr(message.size() - where.size()), where);
    const std::wstring firstPart = message.substr(0, message.size() - where.size());
    EXPECT_TRUE(WithNumber(firstPart, L"SAX Parser failed at line 3, column ", L" with error: " + reason))
        << testing::PrintToString(firstPart);
    // Read back as UTF-8: a dump in another encoding would not give the "\u00e9" back.
    EXPECT_EQ(ZVXML::ToWString(zvtest::ReadAll(files[0]).c_str()),
              L"<!-- " + firstPart + L".  IGNORE THIS LINE WHEN COUNTING LINE NUMBERS -->\n" + broken);

    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    ParseBroken();
    EXPECT_EQ(Dumps().size(), 2u);
    EXPECT_EQ(recorder.errors.size(), 2u);
}

TEST_F(ParseFailures, ADumpFileThatCannotBeCreatedOrWrittenIsReported)
{
    const zvtest::EnvironmentVariable dump("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1");
    {
        // Not even root may create files there.
        const zvtest::EnvironmentVariable unwritable("TMPDIR", "/proc");
        EXPECT_TRUE(zvtest::WithGuid(ParseBroken(), L"Cannot create temp file for ZVInstanceXML. filename='/proc/",
                                     L".zvinstance.xml'"));
        EXPECT_TRUE(recorder.errors.empty());
    }
    // A file size limit makes the write fail; the limit stays in the child.
    const auto parseUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool reported = zvtest::WithGuid(ParseBroken(),
                                               L"Failed while writing ZVInstanceXML to temp file. filename='" +
                                                   zvtest::Widen(dumps.path()) + L"/",
                                               L".zvinstance.xml'");
        std::_Exit(reported && recorder.errors.empty() ? 0 : 1);
    };
    EXPECT_EXIT(parseUnderLimit(), testing::ExitedWithCode(0), "");
}

} // namespace
