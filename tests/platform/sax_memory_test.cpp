// The reader under load: a document far larger than the memory it may use.
// (Readers on several threads at once are tested through the instance
// reader, which compares parallel parses, errors included, with serial ones.)
#include "foundation/utf8.h"
#include "platform/sax/sax_reader.h"

#include "support/sanitizer.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ZVXML::platform;

namespace {

// Instance-like records: namespaces, attributes, nested elements, text with
// references and characters outside ASCII.
std::string Record(long i)
{
    const std::string n = std::to_string(i);
    return "<p:Item id='" + n + "' kind='a&amp;b' xmlns:q='urn:q" + std::to_string(i % 3) + "'><q:Name>item " +
           "\xc3\xa9\xe2\x82\xac " + n + " &lt;" + n + "&gt;</q:Name><Value unit='m'>" + std::to_string(i * 7) +
           ".25</Value><![CDATA[raw <" + n + ">]]></p:Item>\n";
}

// Counts events and characters, keeping nothing.
class Counter : public SaxContentHandler {
public:
    long starts = 0, ends = 0, characters = 0, ids = 0;
    void StartElement(const std::wstring&, const std::wstring&, const std::wstring&,
                      const SaxAttributes& attributes) override
    {
        ++starts;
        ids += attributes.GetValue(L"id", m_value) ? 1 : 0;
    }
    void EndElement(const std::wstring&, const std::wstring&, const std::wstring&) override { ++ends; }
    void Characters(const wchar_t*, std::size_t length) override { characters += static_cast<long>(length); }

private:
    std::wstring m_value;
};

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

#ifdef ZVXML_TEST_UNDER_ASAN
constexpr long kMostGrowthKiB = LONG_MAX; // shadow memory and quarantine dwarf the figure
#else
constexpr long kMostGrowthKiB = 64 * 1024;
#endif

} // namespace

TEST(SaxMemory, AHugeDocumentIsReadInBoundedMemory)
{
    // About 200 MB, written piece by piece and read back as it streams.
    const zvtest::ScratchFolder folder;
    const std::string file = folder / "huge.xml";
    long records = 0;
    {
        std::ofstream out(file, std::ios::binary);
        out << "<p:Root xmlns:p='urn:p' xmlns='urn:d'>\n";
        for (std::uintmax_t size = 0; size < 200u * 1024 * 1024; ++records) {
            const std::string record = Record(records);
            out << record;
            size += record.size();
        }
        out << "</p:Root>\n";
    }
    // In a child process, whose peak starts at what is resident now, not at
    // the peak other tests reached: it exits with 0 when the counts are right
    // and the peak grew by less than 64 MiB.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Counter counter;
        const long before = PeakKiB();
        SaxReader reader;
        reader.SetContentHandler(&counter);
        reader.ParseLocation(ZVXML::Utf8ToWide(file).c_str());
        const long grown = PeakKiB() - before;
        const bool counted = counter.starts == 1 + 3 * records && counter.ends == counter.starts &&
                             counter.ids == records && counter.characters > 30 * records;
        std::fprintf(stderr, "counted: %s; peak memory grew by %ld KiB\n", counted ? "yes" : "no", grown);
        std::_Exit(counted && grown < kMostGrowthKiB ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
