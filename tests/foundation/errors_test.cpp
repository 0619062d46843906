#include <zvxml/zvxml.h>

#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <type_traits>

using namespace ZVXML;
using zvtest::LogCapture;

namespace {

int g_callsA = 0;
int g_callsB = 0;
void CountA(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_callsA; }
void CountB(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_callsB; }

// Restores "no callback" whatever a test installs.
struct NoCallback {
    NoCallback() : previous(SetLoggingCallback(nullptr)) {}
    ~NoCallback() { SetLoggingCallback(previous); }
    LoggingCallback previous;
};

// Callbacks that throw, or that make library errors: every library exception
// logs as it is made, so these would call themselves without end.
int g_nestedCalls = 0;
void Throwing(LOG_SEV, const wchar_t*, const wchar_t*)
{
    ++g_nestedCalls;
    throw std::runtime_error("callback");
}
void ThrowingLibraryErrors(LOG_SEV, const wchar_t*, const wchar_t*)
{
    ++g_nestedCalls;
    throw ZVXMLRuntimeError(L"from the callback", L"");
}
void CatchingLibraryErrors(LOG_SEV, const wchar_t*, const wchar_t*)
{
    ++g_nestedCalls;
    try {
        CZVSchema(L"", L"", L""); // an empty name is refused
    } catch (const ZVXMLException&) {
    }
}

} // namespace

// Hosts catch by family (a handler takes what converts to its type); a
// std::exception handler must not take them.
template <class Thrown, class Caught>
constexpr bool kCaughtAs = std::is_convertible_v<Thrown*, Caught*>;
static_assert(kCaughtAs<ZVXMLFormatError, ZVXMLDomainError>);
static_assert(kCaughtAs<ZVXMLInvalidArgument, ZVXMLException>);
static_assert(!std::is_base_of_v<ZVXMLDomainError, ZVXMLRuntimeError>);
static_assert(!std::is_base_of_v<std::exception, ZVXMLException>);

TEST(Exceptions, ConstructionLogsOnceWithLocationAndCopiesOwnTheirTextsLoggingNothing)
{
    LogCapture log;
    auto* withLocation = new ZVXMLFormatError(L"Bad version", L"CZVSchema::ParseVersionString");
    ZVXMLFormatError withoutLocation(L"Plain", L"");
    auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].severity, LOG_SEV_ERROR);
    EXPECT_EQ(lines[0].category, L"Exception");
    EXPECT_EQ(lines[0].text, L"Bad version @ CZVSchema::ParseVersionString");
    EXPECT_EQ(lines[1].text, L"Plain");

    ZVXMLFormatError copy(*withLocation);
    delete withLocation;
    EXPECT_STREQ(copy.Message(), L"Bad version");
    EXPECT_STREQ(copy.Location(), L"CZVSchema::ParseVersionString");
    copy = withoutLocation;
    EXPECT_STREQ(copy.Message(), L"Plain");
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST(Logging, SetReturnsThePreviousCallbackAndNullStopsDelivery)
{
    NoCallback restore;
    g_callsA = g_callsB = 0;
    EXPECT_EQ(SetLoggingCallback(&CountA), nullptr);
    EXPECT_EQ(SetLoggingCallback(&CountB), &CountA);
    Log(LOG_SEV_INFO, L"c", L"t");
    EXPECT_EQ(SetLoggingCallback(nullptr), &CountB);
    Log(LOG_SEV_INFO, L"c", L"t");
    EXPECT_EQ(g_callsA, 0);
    EXPECT_EQ(g_callsB, 1);
}

// The exception being built is still the one thrown, and the nesting of
// callbacks is cut off a few levels down.
TEST(Logging, ACallbackThatThrowsOrMakesLibraryErrorsIsSwallowedAndEnds)
{
    NoCallback restore;
    const std::pair<LoggingCallback, int> callbacks[] = {
        {&Throwing, 1}, {&ThrowingLibraryErrors, 2}, {&CatchingLibraryErrors, 2}};
    for (const auto& [callback, fewestCalls] : callbacks) {
        SCOPED_TRACE(fewestCalls);
        SetLoggingCallback(callback);
        g_nestedCalls = 0;
        try {
            throw ZVXMLDomainError(L"outer", L"");
        } catch (const ZVXMLDomainError& e) {
            EXPECT_STREQ(e.Message(), L"outer");
        }
        EXPECT_GE(g_nestedCalls, fewestCalls);
        EXPECT_LE(g_nestedCalls, 8);
    }
}

// Text is delivered as it stands; severities out of range are clamped or
// dropped.
TEST(Logging, TextIsDeliveredAsItStandsAndSeveritiesWithinRange)
{
    LogCapture log;
    Log(LOG_SEV_WARNING, L"Host", L"100% of %s and %n");
    for (const int severity : {0, 5, static_cast<int>(LOG_SEV_TRACE), -5}) {
        Log(static_cast<LOG_SEV>(severity), L"c", L"t");
    }
    auto lines = log.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, L"100% of %s and %n");
    EXPECT_EQ(lines[0].category, L"Host");
    EXPECT_EQ(lines[0].severity, LOG_SEV_WARNING);
    EXPECT_EQ(lines[1].severity, LOG_SEV_ERROR);
    EXPECT_EQ(lines[2].severity, LOG_SEV_ERROR);
    EXPECT_EQ(lines[3].severity, LOG_SEV_TRACE);
}
