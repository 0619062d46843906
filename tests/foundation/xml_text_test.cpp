#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <vector>

using namespace ZVXML;

namespace {

const std::wstring kSmiley(1, wchar_t(0x1F600));

struct Row {
    std::wstring input;
    std::wstring expected;
    int changed; // what the tag coder returns
};

} // namespace

TEST(ConvertToXmlString, EscapesMarkupKeepsPrintableAsciiAndReplacesTheRest)
{
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"a<b & \"c\" 'd'>", L"a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;"},
        {L"\t\n\r ~", L"\t\n\r ~"},
        // Control and non-characters, and lone surrogates, become question marks.
        {std::wstring(L"\x01") + L"\x1F", L"??"},
        {std::wstring(1, wchar_t(0xFFFE)) + wchar_t(0xFFFF), L"??"},
        {std::wstring(1, wchar_t(0xD800)), L"?"},
        {std::wstring(1, wchar_t(0xDC00)) + L"x", L"?x"},
        // Other characters become hexadecimal references; one above U+FFFF
        // stays one character, and so does the surrogate pair that spells it.
        {L"\x7F", L"&#x7F;"},
        {L"\xFFFD", L"&#xFFFD;"},
        {kSmiley, L"&#x1F600;"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, L"&#x1F600;"},
    };
    for (const auto& [input, expected] : rows) {
        std::wstring out = L"previous content";
        ConvertToXmlString(input.c_str(), out);
        EXPECT_EQ(out, expected) << ::testing::PrintToString(input);
    }
}

TEST(EncodeToValidXmlTag, ReplacesWhatATagCannotHold)
{
    const Row rows[] = {
        {L"Pipe Size", L"Pipe__x0020__Size", 1},
        {L"a-b.c", L"a__x002d__b__x002e__c", 1},
        {L"1st Pump", L"__x0031__st__x0020__Pump", 1},
        {L"_a1", L"_a1", 0},
        {L"", L"", 0},
        {L"\xE9t\xE9", L"\xE9t\xE9", 0}, // non-ASCII letters are letters, whatever the host's locale
        {L"a" + kSmiley, L"a__xd83d____xde00__", 1}, // above the BMP: two surrogate tokens
        {L"__x0041__", L"__x0041__", 0},
    };
    for (Row row : rows) {
        EXPECT_EQ(EncodeToValidXmlTag(row.input), row.changed) << ::testing::PrintToString(row.expected);
        EXPECT_EQ(row.input, row.expected);
    }
}

TEST(DecodeFromValidXmlTag, DecodesTokensAnywhereAndJoinsSurrogates)
{
    const Row rows[] = {
        {L"Pipe__x0020__Size", L"Pipe Size", 1}, {L"__x002D__", L"-", 1},
        {L"__x00zz__", L"__x00zz__", 0},         {L"a__x", L"a__x", 0},
        {L"x__x0041__y__x0042__", L"xAyB", 1},   {L"__xd83d____xde00__", kSmiley, 1},
    };
    for (Row row : rows) {
        EXPECT_EQ(DecodeFromValidXmlTag(row.input), row.changed) << ::testing::PrintToString(row.expected);
        EXPECT_EQ(row.input, row.expected);
    }
}

TEST(TagEncoding, RoundTripsNamesWithoutTokenText)
{
    for (std::wstring name : {std::wstring(L"Pipe Size"), std::wstring(L"9 lives & more"), std::wstring(L"_x-y.z"),
                              std::wstring(L"\xE9l\xE8ve #1"), L"a" + std::wstring(1, wchar_t(0x10400)) + L"b",
                              std::wstring(L"__x00"), std::wstring()}) {
        const std::wstring original = name;
        EncodeToValidXmlTag(name);
        DecodeFromValidXmlTag(name);
        EXPECT_EQ(name, original);
    }
}

// Lone or reversed surrogates and code points past U+10FFFF have no form
// and become U+FFFD; a surrogate pair is one character.
TEST(TextConversion, RoundTripsEveryPlaneThroughUtf8AndReplacesWhatHasNoForm)
{
    const std::wstring text = L"a\xE9\x4E2D" + kSmiley + std::wstring(1, wchar_t(0x10FFFF));
    const std::string bytes = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(ToUtf8(text), bytes);
    EXPECT_EQ(ToUtf8(text.c_str()), bytes);
    EXPECT_EQ(ToWString(std::string_view(bytes)), text);
    EXPECT_EQ(ToWString(bytes.c_str()), text);

    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(ToUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}), "a" + replacement + "b");
    EXPECT_EQ(ToUtf8(std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}), replacement + replacement);
    EXPECT_EQ(ToUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(std::wstring(1, wchar_t(0x110000))), replacement);
    EXPECT_EQ(ToWString(std::string("a\xFF")), L"a\xFFFD");
}

TEST(TextConversion, LengthFormsKeepNulsAndReadNoFurther)
{
    EXPECT_EQ(ToWString(std::string_view("a\0\xC3\xA9", 4)), std::wstring(L"a\0\xE9", 3));
    EXPECT_EQ(ToUtf8(std::wstring_view(L"a\0\xE9", 3)), std::string("a\0\xC3\xA9", 4));
    // Cut in the middle of a character: only the bytes given are read.
    EXPECT_EQ(ToWString(std::string_view("ab\xC3\xA9", 3)), L"ab\xFFFD");
    EXPECT_EQ(ToUtf8(std::wstring_view(L"abc", 2)), "ab");

    // The NUL-terminated forms stop at the first NUL; NULL gives "".
    EXPECT_EQ(ToWString("a\0b"), L"a");
    EXPECT_EQ(ToUtf8(L"a\0b"), "a");
    EXPECT_EQ(ToWString(static_cast<const char*>(nullptr)), L"");
    EXPECT_EQ(ToUtf8(static_cast<const wchar_t*>(nullptr)), "");
}
