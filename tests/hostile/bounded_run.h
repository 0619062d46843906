// Runs one hostile case in a child process: with a time limit, its peak
// memory measured, and (under the sanitizers) its leaks checked when it
// exits. The parent learns what the case returned or threw.
#ifndef ZVXML_TESTS_HOSTILE_BOUNDED_RUN_H
#define ZVXML_TESTS_HOSTILE_BOUNDED_RUN_H

#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <typeinfo>
#include <unistd.h>

namespace zvtest {

#if defined(__SANITIZE_ADDRESS__)
#define ZVXML_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZVXML_TEST_UNDER_ASAN 1
#endif
#endif

#ifdef ZVXML_TEST_UNDER_ASAN
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
    enum Kind { Returned, Threw, OtherException, Crashed, TimedOut, Leaked } kind = Crashed;
    long result = 0;         // what a returning case returned
    std::string type;        // the library exception's class
    std::string message;     // its message (UTF-8)
    long peakMB = 0;         // the child's peak resident set
    std::string Describe() const
    {
        static const char* const kinds[] = {"returned", "threw", "threw a foreign exception", "crashed",
                                            "timed out", "leaked"};
        return std::string(kinds[kind]) + " " + type + " '" + message + "' result " + std::to_string(result) +
               ", peak " + std::to_string(peakMB) + " MB";
    }
};

inline std::string ExceptionType(const ZVXML::ZVXMLException& e)
{
    if (dynamic_cast<const ZVXML::ZVXMLFormatError*>(&e)) return "ZVXMLFormatError";
    if (dynamic_cast<const ZVXML::ZVXMLDomainError*>(&e)) return "ZVXMLDomainError";
    if (dynamic_cast<const ZVXML::ZVXMLLogicError*>(&e)) return "ZVXMLLogicError";
    if (dynamic_cast<const ZVXML::ZVXMLInvalidArgument*>(&e)) return "ZVXMLInvalidArgument";
    if (dynamic_cast<const ZVXML::ZVXMLRuntimeError*>(&e)) return "ZVXMLRuntimeError";
    return "ZVXMLException";
}

inline std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?'; // messages are checked in their ASCII parts
    }
    return out;
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
        if (privileges == Privileges::Dropped && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            const std::string report = "R " + std::to_string(kCannotDropPrivileges);
            if (write(channel[1], report.data(), report.size()) < 0) {
                _exit(101);
            }
            _exit(0);
        }
        std::string report;
        try {
            report = "R " + std::to_string(body());
        } catch (const ZVXML::ZVXMLException& e) {
            report = "T " + ExceptionType(e) + " " + Utf8(e.Message());
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

// The outcome threw `type` with a message that starts with `start`.
inline void ExpectThrow(const Outcome& outcome, const std::string& type, const std::string& start)
{
    EXPECT_EQ(outcome.kind, Outcome::Threw) << outcome.Describe();
    EXPECT_EQ(outcome.type, type) << outcome.Describe();
    EXPECT_EQ(outcome.message.rfind(start, 0), 0u) << outcome.Describe();
}

inline void ExpectMemoryBelow(const Outcome& outcome, long plainMB)
{
    // Under the sanitizers shadow memory and quarantine dwarf the figure.
    if (!kSanitized) {
        EXPECT_LT(outcome.peakMB, plainMB) << outcome.Describe();
    }
}

} // namespace zvtest

#endif
