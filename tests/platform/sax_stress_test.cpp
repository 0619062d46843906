// The reader under load: several threads at once, and a document far larger
// than the memory it may use.
#include "platform/sax_reader.h"
#include "sax_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define ZVXML_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZVXML_TEST_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef ZVXML_TEST_ADDRESS_SANITIZER
// From the sanitizer runtime (g++ ships no header declaring it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxPlatformError;
using ZVXML::platform::SaxReader;
using zvtest::ErrorRecorder;
using zvtest::Recorder;
using zvtest::TempFile;

namespace {

// Instance-like records: namespaces, attributes, nested elements, text with
// references and characters outside ASCII.
std::string Record(long i)
{
    const std::string n = std::to_string(i);
    return "<p:Item id='" + n + "' kind='a&amp;b' xmlns:q='urn:q" + std::to_string(i % 3) + "'>" +
           "<q:Name>item \xc3\xa9\xe2\x82\xac " + n + " &lt;" + n + "&gt;</q:Name>"
           "<Value unit='m'>" + std::to_string(i * 7) + ".25</Value>"
           "<![CDATA[raw <" + n + ">]]></p:Item>\n";
}

const char* const kOpen = "<p:Root xmlns:p='urn:p' xmlns='urn:d'>\n";
const char* const kClose = "</p:Root>\n";

std::string Document(long records)
{
    std::string text = kOpen;
    for (long i = 0; i < records; ++i) {
        text += Record(i);
    }
    return text + kClose;
}

struct Result {
    std::vector<std::wstring> events;
    std::vector<zvtest::ReportedError> errors;
    bool failed = false;
};

Result ParseFile(const std::wstring& path)
{
    Result result;
    Recorder recorder;
    recorder.watched = {L"id", L"kind", L"unit"};
    ErrorRecorder errors;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    reader.SetErrorHandler(&errors);
    try {
        reader.ParseLocation(path.c_str());
    } catch (const SaxPlatformError&) {
        result.failed = true;
    }
    result.events = std::move(recorder.events);
    result.errors = std::move(errors.errors);
    return result;
}

// What the process holds at its peak, in KiB. Under AddressSanitizer, freed
// memory waits in quarantine and resident memory says nothing about the
// reader: the peak of live heap, sampled as events arrive, is measured there.
class MemoryPeak {
public:
    long KiB() const
    {
#ifdef ZVXML_TEST_ADDRESS_SANITIZER
        return static_cast<long>(m_heapPeak / 1024);
#else
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
#endif
    }
    void Sample()
    {
#ifdef ZVXML_TEST_ADDRESS_SANITIZER
        m_heapPeak = std::max(m_heapPeak, __sanitizer_get_current_allocated_bytes());
#endif
    }

#ifdef ZVXML_TEST_ADDRESS_SANITIZER
private:
    std::size_t m_heapPeak = 0;
#endif
};

// Counts events and characters, keeping nothing.
class Counter : public ZVXML::platform::SaxContentHandler {
public:
    explicit Counter(MemoryPeak& peak) : m_peak(peak) {}
    long starts = 0;
    long ends = 0;
    long characters = 0;
    long ids = 0;
    void StartElement(const std::wstring&, const std::wstring&, const std::wstring&,
                      const SaxAttributes& attributes) override
    {
        if (++starts % 4096 == 0) {
            m_peak.Sample();
        }
        if (attributes.GetValue(L"id", m_value)) {
            ++ids;
        }
    }
    void EndElement(const std::wstring&, const std::wstring&, const std::wstring&) override { ++ends; }
    void Characters(const wchar_t*, std::size_t length) override { characters += static_cast<long>(length); }

private:
    MemoryPeak& m_peak;
    std::wstring m_value;
};

} // namespace

TEST(SaxThreads, ReadersOnSeveralThreadsGiveWhatSerialRunsGive)
{
    const TempFile good("threads_good.xml", Document(3000));
    // Broken near its end, so the error comes after many events.
    const TempFile bad("threads_bad.xml", Document(2000) + "<unclosed>");
    const Result goodAlone = ParseFile(good.WidePath());
    const Result badAlone = ParseFile(bad.WidePath());
    ASSERT_FALSE(goodAlone.failed);
    ASSERT_TRUE(badAlone.failed);
    ASSERT_EQ(badAlone.errors.size(), 1u);

    std::vector<Result> results(8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 2; ++round) {
                const bool useGood = (t + round) % 2 == 0;
                results[t * 2 + round] = ParseFile(useGood ? good.WidePath() : bad.WidePath());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < 4; ++t) {
        for (int round = 0; round < 2; ++round) {
            const Result& result = results[t * 2 + round];
            const Result& expected = (t + round) % 2 == 0 ? goodAlone : badAlone;
            EXPECT_EQ(result.failed, expected.failed);
            EXPECT_TRUE(result.events == expected.events) << t << " " << round;
            ASSERT_EQ(result.errors.size(), expected.errors.size());
            if (!result.errors.empty()) {
                EXPECT_EQ(result.errors[0].message, expected.errors[0].message);
                EXPECT_EQ(result.errors[0].line, expected.errors[0].line);
                EXPECT_EQ(result.errors[0].column, expected.errors[0].column);
            }
        }
    }
}

// Parses the file and exits with 0 when the counts are right and the peak
// resident memory grew by less than 64 MiB, else with 1.
[[noreturn]] void ParseHugeAndExit(const std::wstring& path, long records)
{
    MemoryPeak peak;
    peak.Sample();
    const long before = peak.KiB();
    Counter counter(peak);
    SaxReader reader;
    reader.SetContentHandler(&counter);
    reader.ParseLocation(path.c_str());
    const long grown = peak.KiB() - before;
    const bool counted = counter.starts == 1 + 3 * records && counter.ends == counter.starts &&
                         counter.ids == records && counter.characters > 30 * records;
    std::fprintf(stderr, "counted: %s; peak memory: %ld KiB, grew by %ld KiB\n", counted ? "yes" : "no",
                 before, grown);
    std::_Exit(counted && grown < 64 * 1024 ? 0 : 1);
}

TEST(SaxMemory, AHugeDocumentIsReadInBoundedMemory)
{
    // About 200 MB, written piece by piece and read back as it streams.
    const TempFile file("huge.xml");
    long records = 0;
    {
        std::ofstream out(file.Path(), std::ios::binary);
        out << kOpen;
        std::uintmax_t size = 0;
        for (; size < 200u * 1024 * 1024; ++records) {
            const std::string record = Record(records);
            out << record;
            size += record.size();
        }
        out << kClose;
    }
    ASSERT_GE(std::filesystem::file_size(file.Path()), 200u * 1024 * 1024);
    // In a child process: its peak starts at what is resident now, not at
    // the peak that other tests reached.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ParseHugeAndExit(file.WidePath(), records);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
