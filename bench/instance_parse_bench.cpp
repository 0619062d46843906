// ParseZVInstanceXML against a bare libxml2 SAX2 push parse of the same
// file and two other parsers (expat with empty callbacks, pugixml building
// and walking a tree), and the peak resident memory of parses of a small and
// a huge document.
//
//   instance_parse_bench [--document-mb=N] [--rounds=R] [--shape=dense|text|both]
//                        [--memory-mb=SMALL,LARGE] [--no-memory]
//
// Timing: a generated document of N MB (default 128) of each shape asked for
// (default both: markup-dense, and text-rich) is parsed by each, in
// turns, R times (default 5); the report gives the best times, MB/s and
// instances/s of each (the document's instances over the parser's time) and
// the ratio of ParseZVInstanceXML's time to the bare parse's: on one thread
// (ZVINSTANCEXML_SINGLE_THREAD) in processor time, and by default (reading on
// a second thread) in wall time. Memory: documents of SMALL and LARGE MB (default 10 and
// 1024) are generated into the temporary folder one after the other, each parsed in a fresh child process that reports
// its peak resident set, and removed.
#include <zvxml/zvxml.h>

#include "bare_libxml_parse.h"
#include "instance_document_generator.h"
#include "peer_parsers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kMB = 1024.0 * 1024.0;

struct Settings {
    std::uint64_t documentMB = 128;
    std::uint64_t smallMB = 10;
    std::uint64_t largeMB = 1024;
    int rounds = 5;
    bool memory = true;
    bool dense = true; // time the markup-dense document
    bool text = true; // time the text-rich document
};

// A generated document in the temporary folder, removed with this object.
class GeneratedFile {
public:
    explicit GeneratedFile(std::uint64_t megabytes, zvbench::DocumentShape shape = zvbench::DocumentShape::MarkupDense)
        : m_path(std::filesystem::temp_directory_path() /
                 ("zvxml_instances_" + std::to_string(::getpid()) + "_" + std::to_string(megabytes) + "MB.xml"))
    {
        std::ofstream out(m_path, std::ios::binary);
        m_made = zvbench::InstanceDocumentGenerator(shape).Write(out, megabytes * 1024 * 1024);
    }
    ~GeneratedFile() { std::filesystem::remove(m_path); }
    GeneratedFile(const GeneratedFile&) = delete;
    GeneratedFile& operator=(const GeneratedFile&) = delete;

    std::string Path() const { return m_path.string(); }
    const zvbench::GeneratedDocument& Made() const { return m_made; }

private:
    std::filesystem::path m_path;
    zvbench::GeneratedDocument m_made;
};

// What a host does at least: make instances of the schema's classes and
// count what it is given.
class Host : public ZVXML::IZVInstanceFactory {
public:
    Host() { zvbench::AddGeneratedClasses(m_schema); }
    ~Host() { ZVXML::CZVSchema::FreeRecycledValues(); }

    ZVXML::CZVInstance* CreateInstance(const wchar_t*, const wchar_t* className, int* isRelationship) override
    {
        if (ZVXML::CZVRelationshipClass* relationship =
                m_schema.FindZVRelationshipClass(className, ZVXML::ZVCLASSTYPE_ANY)) {
            *isRelationship = 1;
            return new ZVXML::ZVRelationshipInstance(relationship);
        }
        ZVXML::CZVClass* zvClass = m_schema.FindZVClass(className, ZVXML::ZVCLASSTYPE_ANY);
        return zvClass != nullptr ? new ZVXML::CZVInstance(zvClass) : nullptr;
    }

    // Returns the number of instances delivered.
    std::uint64_t Parse(const std::string& path, unsigned long options = 0)
    {
        m_delivered = 0;
        const std::wstring location = ZVXML::ToWString(path.c_str());
        ZVXML::ParseZVInstanceXML(1, location.c_str(), &m_schema, this, nullptr, &Host::Instance, &Host::Relationship,
                                  nullptr, nullptr, nullptr, this, options);
        return m_delivered;
    }

private:
    static int Instance(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance)
    {
        benchmark::DoNotOptimize(instance->GetZVValueCount());
        ++static_cast<Host*>(context)->m_delivered;
        return 0;
    }
    static int Relationship(ZVXML::CZVSchema*, void* context, ZVXML::ZVRelationshipInstance* relationship)
    {
        benchmark::DoNotOptimize(relationship->GetSourceID());
        ++static_cast<Host*>(context)->m_delivered;
        return 0;
    }

    ZVXML::CZVSchema m_schema{L"g", L"Generated", L""};
    std::uint64_t m_delivered = 0;
};

// Wall and processor seconds of one call.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double Seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class Body>
Timing Time(Body body)
{
    const double wall = Seconds(CLOCK_MONOTONIC);
    const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    body();
    return Timing{Seconds(CLOCK_MONOTONIC) - wall, Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu};
}

void KeepBest(Timing& best, const Timing& measured)
{
    best.wall = best.wall == 0 ? measured.wall : std::min(best.wall, measured.wall);
    best.cpu = best.cpu == 0 ? measured.cpu : std::min(best.cpu, measured.cpu);
}

// Rates over processor time, or over wall time for a parse on two threads
// (whose processor time is that of both).
void PrintRates(const char* name, const Timing& best, const zvbench::GeneratedDocument& made, std::uint64_t count,
                bool byWallTime = false)
{
    const double seconds = byWallTime ? best.wall : best.cpu;
    std::printf("  %-28s %8.0f ms wall %8.0f ms cpu %9.1f MB/s %12.0f instances/s%s\n", name, best.wall * 1e3,
                best.cpu * 1e3, static_cast<double>(made.bytes) / kMB / seconds, static_cast<double>(count) / seconds,
                byWallTime ? " (wall)" : "");
}

// The parses take turns, so that a change of load on a shared machine
// touches all alike; the best of the rounds counts. Rates use processor time.
void CompareWithPeers(const GeneratedFile& document, int rounds)
{
    const zvbench::GeneratedDocument& made = document.Made();
    const std::uint64_t expected = made.instances + made.relationships;
    std::vector<char> chunk(64 * 1024); // the reader's chunk size
    Host host;
    Timing bare;
    Timing expat;
    Timing pugixml;
    Timing library;
    Timing oneThread;
    std::uint64_t delivered = 0;
    for (int round = 0; round < rounds; ++round) {
        KeepBest(bare, Time([&] { zvbench::BareLibxmlPushParse(document.Path(), chunk); }));
        KeepBest(expat, Time([&] { zvbench::ExpatParse(document.Path(), chunk); }));
        KeepBest(pugixml, Time([&] { benchmark::DoNotOptimize(zvbench::PugixmlTreeWalk(document.Path())); }));
        KeepBest(oneThread, Time([&] { delivered = host.Parse(document.Path(), ZVXML::ZVINSTANCEXML_SINGLE_THREAD); }));
        KeepBest(library, Time([&] { delivered += host.Parse(document.Path()); }));
        delivered /= 2;
        if (delivered != expected) {
            std::printf("  ParseZVInstanceXML delivered %llu of %llu instances\n",
                        static_cast<unsigned long long>(delivered), static_cast<unsigned long long>(expected));
            std::exit(1);
        }
    }
    std::printf("Best of %d rounds:\n", rounds);
    PrintRates("bare libxml2 SAX2", bare, made, expected);
    PrintRates("expat, empty", expat, made, expected);
    PrintRates("pugixml tree + walk", pugixml, made, expected);
    PrintRates("ParseZVInstanceXML, 1 thread", oneThread, made, delivered);
    PrintRates("ParseZVInstanceXML", library, made, delivered, true);
    std::printf("  ratio to the bare libxml2 parse: one thread %.2f (processor time); default %.2f (wall time), "
                "%.2f (processor time of both threads)\n",
                oneThread.cpu / bare.cpu, library.wall / bare.wall, library.cpu / bare.cpu);
}

// Peak resident set of this process, in kB (VmHWM).
long PeakResidentKB()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) {
            break;
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    return kb;
}

// Runs this program in a new process to parse `path` and returns its peak
// resident set in kB (-1 on failure).
long PeakOfChildParse(const std::string& self, const std::string& path)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::execl(self.c_str(), self.c_str(), "--peak-rss-of", path.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipeEnds[1]);
    char text[64] = {};
    const ssize_t got = ::read(pipeEnds[0], text, sizeof text - 1);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atol(text) : -1;
}

void ReportMemory(const std::string& self, const Settings& settings)
{
    std::printf("\nPeak resident memory of a parse (each in a fresh process):\n");
    long peaks[2] = {};
    const std::uint64_t sizes[2] = {settings.smallMB, settings.largeMB};
    for (int i = 0; i < 2; ++i) {
        const GeneratedFile file(sizes[i]);
        peaks[i] = PeakOfChildParse(self, file.Path());
        std::printf("  %6.0f MB document, %10llu instances: %8.1f MB peak\n",
                    static_cast<double>(file.Made().bytes) / kMB,
                    static_cast<unsigned long long>(file.Made().instances + file.Made().relationships),
                    static_cast<double>(peaks[i]) / 1024.0);
    }
    std::printf("  difference: %.1f MB (must stay under 16 MB)\n", static_cast<double>(peaks[1] - peaks[0]) / 1024.0);
}

bool TakeNumber(const char* argument, const char* prefix, std::uint64_t& value)
{
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(argument, prefix, length) != 0) {
        return false;
    }
    value = std::strtoull(argument + length, nullptr, 10);
    return true;
}

// The program's arguments; anything else stops it.
Settings ReadSettings(int argc, char** argv)
{
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        std::uint64_t value = 0;
        if (TakeNumber(argv[i], "--document-mb=", value)) {
            settings.documentMB = value;
        } else if (std::strncmp(argv[i], "--memory-mb=", 12) == 0) {
            std::sscanf(argv[i] + 12, "%llu,%llu", reinterpret_cast<unsigned long long*>(&settings.smallMB),
                        reinterpret_cast<unsigned long long*>(&settings.largeMB));
        } else if (std::strncmp(argv[i], "--shape=", 8) == 0) {
            const std::string shape = argv[i] + 8;
            settings.dense = shape == "dense" || shape == "both";
            settings.text = shape == "text" || shape == "both";
            if (!settings.dense && !settings.text) {
                std::fprintf(stderr, "unknown shape %s\n", shape.c_str());
                std::exit(2);
            }
        } else if (std::strcmp(argv[i], "--no-memory") == 0) {
            settings.memory = false;
        } else if (TakeNumber(argv[i], "--rounds=", value)) {
            settings.rounds = static_cast<int>(value);
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            std::exit(2);
        }
    }
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--peak-rss-of") == 0) {
        try {
            Host host;
            host.Parse(argv[2]);
        } catch (const ZVXML::ZVXMLException& error) {
            std::fprintf(stderr, "%ls\n", error.Message());
            return 1;
        }
        std::printf("%ld\n", PeakResidentKB());
        return 0;
    }
    const Settings settings = ReadSettings(argc, argv);
    const struct {
        bool asked;
        zvbench::DocumentShape shape;
        const char* name;
    } shapes[] = {{settings.dense, zvbench::DocumentShape::MarkupDense, "markup-dense"},
                  {settings.text, zvbench::DocumentShape::TextRich, "text-rich"}};
    for (const auto& shape : shapes) {
        if (!shape.asked) {
            continue;
        }
        const GeneratedFile document(settings.documentMB, shape.shape);
        std::printf("%s document: %.1f MB, %llu instances and %llu relationships\n", shape.name,
                    static_cast<double>(document.Made().bytes) / kMB,
                    static_cast<unsigned long long>(document.Made().instances),
                    static_cast<unsigned long long>(document.Made().relationships));
        CompareWithPeers(document, settings.rounds);
    }
    if (settings.memory) {
        ReportMemory("/proc/self/exe", settings);
    }
    return 0;
}
