// The internal text services every subsystem relies on.
#include "foundation/logging.h"
#include "foundation/number_text.h"
#include "foundation/utf8.h"
#include "foundation/wide_format.h"

#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <vector>

using namespace ZVXML;

// The public conversions (tested with the text helpers) are these; the
// characters that have no form and the block decoder are tested here.
TEST(Utf8, InvalidBytesAreReplacedOneByOne)
{
    // Stray continuation, truncated sequence, overlong "/", encoded surrogate,
    // beyond U+10FFFF, and a lead byte at the very end.
    const std::pair<std::string, std::wstring> invalid[] = {
        {"\x80x", L"\xFFFDx"},
        {"\xE4\xB8x", L"\xFFFDx"},
        {"\xC0\xAF", L"\xFFFD\xFFFD"},
        {"\xED\xA0\x80", L"\xFFFD"},
        {"\xF4\x90\x80\x80", L"\xFFFD"},
        {"ab\xF0", L"ab\xFFFD"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& [input, expected] : invalid) {
        EXPECT_EQ(Utf8ToWide(input), expected) << ::testing::PrintToString(input);
    }
}

TEST(Utf8, BlockDecodingAgreesWithDecodingCharacterByCharacter)
{
    // Random mixtures of ASCII runs, valid sequences and broken ones, so the
    // eight- and sixteen-byte fast paths meet every kind of neighbour and
    // every offset.
    std::vector<std::string> pieces;
    std::istringstream joined(
        "abcdefghij|x|0123456789abcdef|ABCDEFGHIJKLMNOPQRSTUVW|\xc3\xa9|\xe2\x82\xac|"
        "\xf0\x9f\x98\x80|\xff|\xc3|\xe2\x82|\xed\xa0\x80|\xc0\xaf|\xf4\x90\x80\x80|\x80|\xf0\x9f\x98");
    for (std::string piece; std::getline(joined, piece, '|');) {
        pieces.push_back(piece);
    }
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes;
        for (int i = static_cast<int>(random() % 12); i > 0; --i) {
            bytes += pieces[pick(random)];
        }
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        std::wstring oneByOne;
        for (std::size_t at = 0; at < bytes.size();) {
            char32_t cp;
            at += DecodeUtf8Char(data + at, bytes.size() - at, cp);
            oneByOne.push_back(static_cast<wchar_t>(cp));
        }
        std::wstring blocks(bytes.size(), L'\0');
        blocks.resize(DecodeUtf8(data, bytes.size(), blocks.data()));
        ASSERT_EQ(blocks, oneByOne) << round;
        ASSERT_EQ(Utf8ToWide(bytes), oneByOne) << round;
    }
}

TEST(NumberText, DoublesUseFifteenDigitsAndAThreeDigitExponent)
{
    const std::pair<double, const wchar_t*> doubles[] = {
        {0.1, L"0.1"},
        {1e20, L"1e+020"},
        {1.5e-7, L"1.5e-007"},
        {-1.23456789012345e-300, L"-1.23456789012345e-300"},
        {123456789012345678.0, L"1.23456789012346e+017"},
    };
    for (const auto& [number, text] : doubles) {
        EXPECT_EQ(FormatDouble(number), text);
    }
}

TEST(NumberText, IntegersKeepTheirWholeRange)
{
    EXPECT_EQ(FormatLong(LONG_MIN), std::to_wstring(LONG_MIN));
    EXPECT_EQ(FormatUnsignedLong(ULONG_MAX), std::to_wstring(ULONG_MAX));
}

TEST(WideFormat, TextsOfAnyLengthAreKeptWholeAlsoWhenLogged)
{
    const std::wstring longText(100000, L'x');
    EXPECT_EQ(FormatWide(L"<%ls> %d", longText.c_str(), 7), L"<" + longText + L"> 7");
    zvtest::LogCapture log;
    LogFormat(LOG_SEV_INFO, L"Imported instances: %d", 3);
    LogFormat(LOG_SEV_WARNING, L"%ls", longText.c_str());
    auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, L"Imported instances: 3");
    EXPECT_EQ(lines[1].text, longText);
}
