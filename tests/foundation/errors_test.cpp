#include <zvxml/zvxml.h>

#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace ZVXML;
using zvtest::LogCapture;

namespace {

int g_callsA = 0;
int g_callsB = 0;
void CountA(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_callsA; }
void CountB(LOG_SEV, const wchar_t*, const wchar_t*) { ++g_callsB; }
void Throwing(LOG_SEV, const wchar_t*, const wchar_t*) { throw std::runtime_error("callback"); }

// Restores "no callback" whatever a test installs.
struct NoCallback {
    NoCallback() : previous(SetLoggingCallback(nullptr)) {}
    ~NoCallback() { SetLoggingCallback(previous); }
    LoggingCallback previous;
};

} // namespace

TEST(Exceptions, CatchRelationshipsFollowTheFamilyTree)
{
    EXPECT_THROW(throw ZVXMLFormatError(L"m", L""), ZVXMLDomainError);
    EXPECT_THROW(throw ZVXMLInvalidArgument(L"m", L""), ZVXMLException);
    try {
        throw ZVXMLRuntimeError(L"runtime", L"");
    } catch (const ZVXMLDomainError&) {
        FAIL() << "a runtime error is not a domain error";
    } catch (const ZVXMLException& e) {
        EXPECT_STREQ(e.Message(), L"runtime");
    }
    // Not part of the standard hierarchy: a std::exception handler misses it.
    bool caughtAsStd = false;
    try {
        throw ZVXMLLogicError(L"m", L"");
    } catch (const std::exception&) {
        caughtAsStd = true;
    } catch (const ZVXMLException&) {
    }
    EXPECT_FALSE(caughtAsStd);
}

TEST(Exceptions, ConstructionLogsOnceWithLocationAndCopiesLogNothingButOwnTheirTexts)
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

    log.clear();
    ZVXMLFormatError copy(*withLocation);
    delete withLocation;
    EXPECT_STREQ(copy.Message(), L"Bad version");
    EXPECT_STREQ(copy.Location(), L"CZVSchema::ParseVersionString");
    copy = withoutLocation;
    ZVXMLFormatError& self = copy;
    copy = self; // self-assignment changes nothing
    EXPECT_TRUE(log.lines().empty());
    EXPECT_STREQ(copy.Message(), L"Plain");
    EXPECT_STREQ(copy.Location(), L"");
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
    ZVXMLLogicError silent(L"nobody listens", L"");
    EXPECT_EQ(g_callsA, 0);
    EXPECT_EQ(g_callsB, 1);
}

TEST(Logging, TextIsDeliveredAsItStandsAndSeveritiesAreClampedOrDropped)
{
    LogCapture log;
    Log(LOG_SEV_WARNING, L"Host", L"100% of %s and %n");
    Log(static_cast<LOG_SEV>(0), L"c", L"zero");
    Log(static_cast<LOG_SEV>(5), L"c", L"five");
    Log(LOG_SEV_TRACE, L"c", L"trace");
    Log(static_cast<LOG_SEV>(-5), L"c", L"dropped");
    auto lines = log.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, L"100% of %s and %n");
    EXPECT_EQ(lines[0].category, L"Host");
    EXPECT_EQ(lines[0].severity, LOG_SEV_WARNING);
    EXPECT_EQ(lines[1].severity, LOG_SEV_ERROR);
    EXPECT_EQ(lines[2].severity, LOG_SEV_ERROR);
    EXPECT_EQ(lines[3].severity, LOG_SEV_TRACE);
}

TEST(Logging, ThrowingCallbackIsSwallowed)
{
    NoCallback restore;
    SetLoggingCallback(&Throwing);
    EXPECT_NO_THROW(Log(LOG_SEV_ERROR, L"c", L"t"));
    try {
        throw ZVXMLDomainError(L"still thrown", L"");
    } catch (const ZVXMLDomainError& e) {
        EXPECT_STREQ(e.Message(), L"still thrown");
    }
}
