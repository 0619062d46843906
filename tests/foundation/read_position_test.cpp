// The place an exception or a log line is about: the innermost read on the
// thread answers, and the exception keeps what it heard.
#include "foundation/read_position.h"

#include <zvxml/errors.h>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

using namespace ZVXML;

namespace {

ReadPosition g_heardByLog;
void HearPosition(LOG_SEV, const wchar_t*, const wchar_t*) { g_heardByLog = GetReadPosition(); }

} // namespace

TEST(ReadPositions, TheInnermostScopeAnswersAndExceptionsKeepItsAnswer)
{
    EXPECT_EQ(GetReadPosition().file, L"");
    const FixedReadPosition outer(L"outer.xml", 3, 0);
    const ReadPositionScope outerScope(outer);
    std::optional<ZVXMLFormatError> inner;
    {
        const FixedReadPosition nested(L"inner.xml", 12, 7);
        const ReadPositionScope nestedScope(nested);
        const LoggingCallback previous = SetLoggingCallback(&HearPosition);
        inner.emplace(L"bad", L"");
        SetLoggingCallback(previous);
    }
    EXPECT_EQ(g_heardByLog.file, L"inner.xml");
    EXPECT_EQ(g_heardByLog.line, 12);
    ZVXMLFormatError copy(L"other", L"");
    EXPECT_STREQ(copy.File(), L"outer.xml");
    copy = *inner;
    inner.reset();
    EXPECT_STREQ(copy.File(), L"inner.xml");
    EXPECT_EQ(copy.Line(), 12);
    EXPECT_EQ(copy.Column(), 7);
    EXPECT_EQ(GetReadPosition().line, 3);

    // Another thread reads nothing.
    ReadPosition elsewhere{L"x", 1, 1};
    std::thread([&elsewhere] { elsewhere = GetReadPosition(); }).join();
    EXPECT_EQ(elsewhere.file, L"");
    EXPECT_EQ(elsewhere.line, 0);
}
