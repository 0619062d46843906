#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace ZVXML;

namespace {
std::wstring Escape(const std::wstring& text)
{
    std::wstring out = L"previous content";
    ConvertToXmlString(text.c_str(), out);
    return out;
}
std::wstring Encoded(std::wstring name, int expected)
{
    EXPECT_EQ(EncodeToValidXmlTag(name), expected);
    return name;
}
std::wstring Decoded(std::wstring name, int expected)
{
    EXPECT_EQ(DecodeFromValidXmlTag(name), expected);
    return name;
}
} // namespace

TEST(ConvertToXmlString, EscapesMarkupAndKeepsPrintableAscii)
{
    EXPECT_EQ(Escape(L"a<b & \"c\" 'd'>"), L"a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
    EXPECT_EQ(Escape(L""), L"");
    EXPECT_EQ(Escape(L"\t\n\r ~"), L"\t\n\r ~");
}

TEST(ConvertToXmlString, ControlAndNonCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(Escape(std::wstring(L"\x01") + L"\x1F"), L"??");
    EXPECT_EQ(Escape(std::wstring(1, wchar_t(0xFFFE)) + wchar_t(0xFFFF)), L"??");
    EXPECT_EQ(Escape(std::wstring(1, wchar_t(0xD800))), L"?");
    EXPECT_EQ(Escape(std::wstring(1, wchar_t(0xDC00)) + L"x"), L"?x");
}

TEST(ConvertToXmlString, OtherCharactersBecomeHexReferences)
{
    EXPECT_EQ(Escape(L"\x7F"), L"&#x7F;");
    EXPECT_EQ(Escape(L"\xE9"), L"&#xE9;");
    EXPECT_EQ(Escape(L"\xFFFD"), L"&#xFFFD;");
    EXPECT_EQ(Escape(L"\xE000"), L"&#xE000;");
    // A character above U+FFFF stays one character (written whole), and so
    // does a UTF-16 surrogate pair that spells it.
    EXPECT_EQ(Escape(std::wstring(1, wchar_t(0x1F600))), L"&#x1F600;");
    EXPECT_EQ(Escape(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), L"&#x1F600;");
}

TEST(ConvertToXmlString, NullTextIsRejected)
{
    std::wstring out;
    EXPECT_THROW(ConvertToXmlString(nullptr, out), ZVXMLInvalidArgument);
}

TEST(EncodeToValidXmlTag, ReplacesWhatATagCannotHold)
{
    EXPECT_EQ(Encoded(L"Pipe Size", 1), L"Pipe__x0020__Size");
    EXPECT_EQ(Encoded(L"a-b.c", 1), L"a__x002d__b__x002e__c");
    EXPECT_EQ(Encoded(L"1st Pump", 1), L"__x0031__st__x0020__Pump");
    EXPECT_EQ(Encoded(L"_a1", 0), L"_a1");
    EXPECT_EQ(Encoded(L"Abc9", 0), L"Abc9");
    EXPECT_EQ(Encoded(L"", 0), L"");
    // Non-ASCII letters are letters, whatever the host's locale.
    EXPECT_EQ(Encoded(L"\xE9t\xE9", 0), L"\xE9t\xE9");
}

TEST(EncodeToValidXmlTag, CharacterAboveBmpBecomesTwoSurrogateTokens)
{
    std::wstring name = L"a";
    name.push_back(wchar_t(0x1F600));
    EXPECT_EQ(Encoded(name, 1), L"a__xd83d____xde00__");
}

TEST(DecodeFromValidXmlTag, DecodesTokensAnywhere)
{
    EXPECT_EQ(Decoded(L"Pipe__x0020__Size", 1), L"Pipe Size");
    EXPECT_EQ(Decoded(L"a__x0020__", 1), L"a ");
    EXPECT_EQ(Decoded(L"__x002D__", 1), L"-");
    EXPECT_EQ(Decoded(L"__x00zz__", 0), L"__x00zz__");
    EXPECT_EQ(Decoded(L"a__x", 0), L"a__x");
    EXPECT_EQ(Decoded(L"plain", 0), L"plain");
    EXPECT_EQ(Decoded(L"x__x0041__y__x0042__", 1), L"xAyB");
}

TEST(DecodeFromValidXmlTag, JoinsSurrogateTokensIntoOneCharacter)
{
    EXPECT_EQ(Decoded(L"__xd83d____xde00__", 1), std::wstring(1, wchar_t(0x1F600)));
}

TEST(TagEncoding, RoundTripsNamesWithoutTokenText)
{
    std::wstring astral(1, wchar_t(0x10400));
    const std::vector<std::wstring> names = {L"Pipe Size", L"9 lives & more", L"_x-y.z",
                                             L"\xE9l\xE8ve #1", L"a" + astral + L"b", L"__x00", L""};
    for (const std::wstring& name : names) {
        std::wstring encoded = name;
        EncodeToValidXmlTag(encoded);
        DecodeFromValidXmlTag(encoded);
        EXPECT_EQ(encoded, name);
    }
    // Text of the token form passes the encoder and is then decoded.
    std::wstring token = L"__x0041__";
    EXPECT_EQ(EncodeToValidXmlTag(token), 0);
    DecodeFromValidXmlTag(token);
    EXPECT_EQ(token, L"A");
}

TEST(ToWString, FormatsIntegersAndConvertsUtf8)
{
    EXPECT_EQ(ToWString(-42), L"-42");
    EXPECT_EQ(ToWString(0), L"0");
    EXPECT_EQ(ToWString(LONG_MIN), std::to_wstring(LONG_MIN));
    EXPECT_EQ(ToWString(static_cast<const char*>(nullptr)), L"");
    EXPECT_EQ(ToWString(""), L"");
    EXPECT_EQ(ToWString("caf\xC3\xA9 \xF0\x9F\x98\x80"), std::wstring(L"caf\xE9 ") + wchar_t(0x1F600));
    EXPECT_EQ(ToWString("a\xFF" "b"), L"a\xFFFD" L"b");
}
