// Each hostile case runs in a child process: with a time limit, its peak
// memory measured, and (under the sanitizers) its leaks checked at exit.
#ifndef ZVXML_TESTS_HOSTILE_HOSTILE_H
#define ZVXML_TESTS_HOSTILE_HOSTILE_H

#include <zvxml/zvxml.h>

#include "support/hostile_text.h"
#include "support/sanitizer.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zvtest {

#ifdef ZVXML_TEST_UNDER_ASAN
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
    enum Kind { Returned, Threw, OtherException, Crashed, TimedOut, Leaked } kind = Crashed;
    long result = 0; // what a returning case returned
    std::string type; // the library exception's class
    std::string message; // its message in UTF-8
    long peakMB = 0; // the child's peak resident set
    std::string Describe() const
    {
        static const char* const kinds[] = {"returned", "threw",     "threw a foreign exception",
                                            "crashed",  "timed out", "leaked"};
        return std::string(kinds[kind]) + " " + type + " '" + message + "' result " + std::to_string(result) +
               ", peak " + std::to_string(peakMB) + " MB";
    }
};

inline std::string ExceptionType(const ZVXML::ZVXMLException& e)
{
    using namespace ZVXML;
    return dynamic_cast<const ZVXMLFormatError*>(&e)       ? "ZVXMLFormatError"
           : dynamic_cast<const ZVXMLDomainError*>(&e)     ? "ZVXMLDomainError"
           : dynamic_cast<const ZVXMLLogicError*>(&e)      ? "ZVXMLLogicError"
           : dynamic_cast<const ZVXMLInvalidArgument*>(&e) ? "ZVXMLInvalidArgument"
           : dynamic_cast<const ZVXMLRuntimeError*>(&e)    ? "ZVXMLRuntimeError"
                                                           : "ZVXMLException";
}

// The time limit grows under the sanitizers, which slow everything down.
inline int Seconds(int plain) { return kSanitized ? plain * 4 : plain; }

// Drops the privileges that would let a root child ignore permissions.
enum class Privileges { Kept, Dropped };
constexpr long kCannotDropPrivileges = -424242;

inline Outcome RunBounded(const std::function<long()>& body, int seconds, Privileges privileges = Privileges::Kept)
{
    std::fflush(stdout);
    int channel[2];
    if (pipe(channel) != 0) {
        ADD_FAILURE() << "pipe";
        return Outcome();
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        alarm(static_cast<unsigned>(seconds));
        if (std::freopen("/dev/null", "w", stdout) == nullptr) { // the checked-call rule prints there
            _exit(100);
        }
        const bool stuck =
            privileges == Privileges::Dropped && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0);
        std::string report;
        try {
            report = "R " + std::to_string(stuck ? kCannotDropPrivileges : body());
        } catch (const ZVXML::ZVXMLException& e) {
            report = "T " + ExceptionType(e) + " " + ZVXML::ToUtf8(e.Message());
        } catch (...) {
            report = "X";
        }
        ZVXML::CZVSchema::FreeRecycledValues();
        if (write(channel[1], report.data(), report.size()) < 0) {
            _exit(101);
        }
        close(channel[1]);
        std::exit(0); // normal exit: the leak checker runs and reports through the status
    }
    close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    Outcome outcome;
    outcome.peakMB = usage.ru_maxrss / 1024;
    if (WIFSIGNALED(status)) {
        outcome.kind = WTERMSIG(status) == SIGALRM ? Outcome::TimedOut : Outcome::Crashed;
    } else if (WEXITSTATUS(status) != 0) {
        outcome.kind = report.empty() ? Outcome::Crashed : Outcome::Leaked;
    } else if (report.rfind("R ", 0) == 0) {
        outcome.kind = Outcome::Returned;
        outcome.result = std::stol(report.substr(2));
    } else if (report.rfind("T ", 0) == 0) {
        outcome.kind = Outcome::Threw;
        const std::size_t space = report.find(' ', 2);
        outcome.type = report.substr(2, space - 2);
        outcome.message = space == std::string::npos ? "" : report.substr(space + 1);
    } else {
        outcome.kind = Outcome::OtherException;
    }
    return outcome;
}

// Runs `body` on a new thread whose stack holds `stackBytes`, and returns
// its result or rethrows what it threw. Deep recursion on the way crashes.
inline long RunOnSmallStack(std::size_t stackBytes, const std::function<long()>& body)
{
    struct Job {
        const std::function<long()>* body;
        long result = 0;
        std::exception_ptr failure;
    } job{&body, 0, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    const int created = pthread_create(
        &thread, &attributes,
        [](void* argument) -> void* {
            Job& running = *static_cast<Job*>(argument);
            try {
                running.result = (*running.body)();
            } catch (...) {
                running.failure = std::current_exception();
            }
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attributes);
    if (created != 0) {
        ADD_FAILURE() << "pthread_create";
        return -1;
    }
    pthread_join(thread, nullptr);
    if (job.failure) {
        std::rethrow_exception(job.failure);
    }
    return job.result;
}

// The outcome threw `type` with a message that starts with `start`.
inline void ExpectThrow(const Outcome& outcome, const std::string& type, const std::string& start)
{
    EXPECT_EQ(outcome.kind, Outcome::Threw) << outcome.Describe();
    EXPECT_EQ(outcome.type, type) << outcome.Describe();
    EXPECT_EQ(outcome.message.rfind(start, 0), 0u) << outcome.Describe();
}

inline void ExpectReturned(const Outcome& outcome, long result)
{
    EXPECT_EQ(outcome.kind, Outcome::Returned) << outcome.Describe();
    EXPECT_EQ(outcome.result, result) << outcome.Describe();
}

inline void ExpectMemoryBelow(const Outcome& outcome, long plainMB)
{
    // Under the sanitizers shadow memory and quarantine dwarf the figure.
    if (!kSanitized) {
        EXPECT_LT(outcome.peakMB, plainMB) << outcome.Describe();
    }
}

const char* const kNamespace = "http://www.molvane.com/schemas/Molvane.ZVXML.2.0";

// A schema file's text with the given root attributes and children.
inline std::string SchemaFile(const std::string& attributes, const std::string& children)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<ZVSchema xmlns='" + std::string(kNamespace) + "' " + attributes +
           ">" + children + "</ZVSchema>\n";
}

inline long LoadSchemaFile(const std::string& path, const std::string& searchPath = "")
{
    ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(Widen(searchPath).c_str());
    return schema.ReadXML(Widen(path).c_str());
}

// The schema instance documents are read with: Pump {Flow, Name, Tags:
// string[]}, Node {Value, Child: Node} (a struct that nests itself) and
// Holder {Root: Node}. Parses return the number of instances delivered.
class InstanceReader {
public:
    InstanceReader()
    {
        ZVXML::CZVClass* node = m_schema.CreateZVClass(L"Node", L"", 3);
        node->AddZVProperty(L"Value", L"string", L"");
        node->AddZVProperty(L"Child", L"Node", L"");
        m_schema.CreateZVClass(L"Holder", L"", 1)->AddZVProperty(L"Root", L"Node", L"");
        ZVXML::CZVClass* pump = m_schema.CreateZVClass(L"Pump", L"", 1);
        pump->AddZVProperty(L"Flow", L"double", L"");
        pump->AddZVProperty(L"Name", L"string", L"");
        pump->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
    }
    long ParseText(const std::wstring& text) { return Parse(0, text); }
    long ParseFile(const std::string& path) { return Parse(1, Widen(path)); }
    long Parse(int isLocation, const std::wstring& document)
    {
        long delivered = 0;
        ZVXML::ParseZVInstanceXML(isLocation, document.c_str(), &m_schema, &delivered, nullptr,
                                  &Count<ZVXML::CZVInstance>, &Count<ZVXML::ZVRelationshipInstance>, nullptr, nullptr,
                                  nullptr, &m_factory, 0);
        return delivered;
    }
    ZVXML::CZVSchema& Schema() { return m_schema; }

private:
    template <class Instance>
    static int Count(ZVXML::CZVSchema*, void* count, Instance*)
    {
        ++*static_cast<long*>(count);
        return 0;
    }
    ZVXML::CZVSchema m_schema{L"h", L"Hostile", L""};
    ZVXML::CZVSchemaInstanceFactory m_factory{&m_schema};
};

inline std::string InstanceDocument(const std::string& body)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<ZVInstanceXML xmlns='" + std::string(kNamespace) + "'>" + body +
           "</ZVInstanceXML>\n";
}

// The refusals every hostile schema file and instance document end in, with
// `saying` somewhere in the message.
inline Outcome ExpectRefused(const Outcome& outcome, const std::string& start, const std::string& saying)
{
    ExpectThrow(outcome, "ZVXMLRuntimeError", start);
    EXPECT_NE(outcome.message.find(saying), std::string::npos) << saying << ": " << outcome.Describe();
    return outcome;
}
inline Outcome ExpectSchemaRefused(const std::string& path, const std::string& saying = "", int seconds = 10)
{
    return ExpectRefused(RunBounded([&] { return LoadSchemaFile(path); }, Seconds(seconds)), "Error at ", saying);
}
inline Outcome ExpectInstancesRefused(const std::function<long()>& parse, const std::string& saying = "",
                                      int seconds = 10)
{
    return ExpectRefused(RunBounded(parse, Seconds(seconds)), "ParseZVInstanceXML: COM Error: ", saying);
}
inline Outcome ExpectInstancesRefused(const std::string& path, const std::string& saying = "", int seconds = 10)
{
    return ExpectInstancesRefused([&] { return InstanceReader().ParseFile(path); }, saying, seconds);
}

} // namespace zvtest

#endif
