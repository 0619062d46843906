#include "foundation/verify_hr.h"

#include <zvxml/errors.h>

#include "support/log_capture.h"
#include "support/stdout_capture.h"

#include <gtest/gtest.h>

using namespace ZVXML;

namespace {
void Check(long status) { VERIFY_HR(status, L"pXmlDoc->save(_variant_t(zvSchemaXmlFile))"); }
} // namespace

TEST(VerifyHr, SuccessPassesQuietly)
{
    zvtest::StdoutCapture printed;
    EXPECT_NO_THROW(Check(0));
    EXPECT_EQ(printed.Text(), "");
}

TEST(VerifyHr, AnyOtherStatusPrintsAndThrowsTheSameMessage)
{
    for (long status : {1L, -2147467259L}) {
        zvtest::LogCapture log;
        zvtest::StdoutCapture capture;
        std::wstring message;
        try {
            Check(status);
            ADD_FAILURE() << "status " << status << " passed";
        } catch (const ZVXMLRuntimeError& e) {
            message = e.Message();
            EXPECT_STREQ(e.Location(), L"");
        }
        const std::string printed = capture.Text();
        EXPECT_EQ(message.rfind(L"Error at ", 0), 0u);
        EXPECT_NE(message.find(L"verify_hr_test.cpp ("), std::wstring::npos);
        const std::wstring tail = L"): pXmlDoc->save(_variant_t(zvSchemaXmlFile))";
        EXPECT_EQ(message.substr(message.size() - std::min(message.size(), tail.size())), tail);
        EXPECT_EQ(std::wstring(printed.begin(), printed.end()), message); // no line break added
        EXPECT_EQ(log.texts(L"Exception"), std::vector<std::wstring>{message});
    }
}
