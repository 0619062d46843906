#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

// Each name kind has its own label, and a rule per position; without
// throwing, an invalid name gives 0.
TEST(NamingRule, ClassSchemaAndPrefixNamesHaveTheirOwnMessages)
{
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"_a1", 1), 1);
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"\xC9t\xE9", 1), 1); // letters beyond ASCII
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"1a", 0), 0);
    EXPECT_EQ(CZVSchema::SchemaNameIsValid(L"", 0), 1);
    EXPECT_ZV_THROW(CZVClass::ZVNameIsValid(L"1a", 1), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names must begin with a letter or '_': '1a'");
    EXPECT_ZV_THROW(CZVSchema::SchemaNameIsValid(L"", 1), ZVXMLDomainError, L"ZVSchema names cannot be blank!");
    EXPECT_ZV_THROW(CZVSchema(L"p", L"1Pipes", nullptr), ZVXMLDomainError,
                    L"ZVSchema names must begin with a letter or '_': '1Pipes'");
    EXPECT_ZV_THROW(CZVSchema(L"", L"Pipes", nullptr), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names cannot be blank!");
}

TEST(NamingRule, ARefusedPrefixLeavesTheSchemasPrefix)
{
    CZVSchema schema(L"p", L"Pipes", nullptr);
    EXPECT_ZV_THROW(schema.SetSchemaPrefix(L"x y"), ZVXMLDomainError,
                    L"ZVSchema names can only contain alpha-numeric characters or '_': 'x y'");
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
}

// Written with at least two digits each; read ignoring what follows the
// digits.
TEST(Version, FormattingPadsAndParsingIgnoresWhatFollowsTheDigits)
{
    CZVSchema schema(L"p", L"Pipes", L"");
    EXPECT_EQ(schema.VersionString(), L"00.00");
    schema.SetVersionString(L"1.2");
    EXPECT_EQ(schema.VersionString(), L"01.02");
    std::wstring text;
    CZVSchema::FormatVersionString(text, 5, 123);
    EXPECT_EQ(text, L"05.123");
    const struct {
        const wchar_t* text;
        unsigned long major, minor;
    } accepted[] = {{L"1x.2", 1, 2}, {L"1.2.3", 1, 2}, {L"123.456", 123, 456}, {L"+1.-0", 1, 0}, {L" 2.\t3", 2, 3}};
    for (const auto& c : accepted) {
        unsigned long major = 0, minor = 0;
        CZVSchema::ParseVersionString(c.text, &major, &minor);
        EXPECT_EQ(major, c.major) << c.text;
        EXPECT_EQ(minor, c.minor) << c.text;
    }
}

TEST(Version, ParseFailuresNameTheirRule)
{
    const std::pair<const wchar_t*, std::wstring> refused[] = {
        {L"1234.1", L"does not have 1-3 numbers before the '.'!"},
        {L"1.1234", L"does not have 1-3 numbers after the '.'!"},
        {L"12", L"does not contain a '.'!"},
        {L"ab.1", L"The characters before the '.' must be numeric!"},
        // A negative number would wrap around to a version no file can hold.
        {L"-1.00", L"The characters before the '.' must be numeric!"},
        {L"1. -2", L"The characters after the '.' must be numeric!"},
    };
    const std::wstring hint = L" Format is MM.mm where MM is major version and mm is minor version.";
    for (const auto& [text, rule] : refused) {
        unsigned long major = 0, minor = 0;
        EXPECT_ZV_THROW(CZVSchema::ParseVersionString(text, &major, &minor), ZVXMLFormatError,
                        L"CZVSchema::SetVersionString... '" + std::wstring(text) + L"' " + rule + hint);
    }
    unsigned long major = 0, minor = 0;
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"", &major, &minor), ZVXMLLogicError,
                    L"Version string cannot be NULL or empty!" + hint);
}

TEST(PrimitiveTypes, ExactNamesOnly)
{
    for (const wchar_t* name :
         {L"string", L"boolean", L"double", L"int", L"point3d", L"dateTime", L"binary", L"long"}) {
        EXPECT_NE(CZVSchema::IsPrimitiveType(name), 0) << name;
    }
    EXPECT_EQ(CZVSchema::IsPrimitiveType(L"String"), 0);
    EXPECT_EQ(CZVSchema::IsPrimitiveType(L"p:string"), 0);
}
