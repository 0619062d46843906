#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

TEST(NamingRule, EmptyNamePassesOnlyTheQuietCheck)
{
    EXPECT_EQ(CZVSchema::SchemaNameIsValid(L"", 0), 1);
    EXPECT_ZV_THROW(CZVSchema::SchemaNameIsValid(L"", 1), ZVXMLDomainError, L"ZVSchema names cannot be blank!");
    EXPECT_ZV_THROW(CZVClass::ZVNameIsValid(nullptr, 0), ZVXMLLogicError,
                    L"ZVClass or ZVProperty names cannot be NULL!");
}

TEST(NamingRule, FirstCharacterAndLaterCharactersHaveTheirOwnMessages)
{
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"_a1", 1), 1);
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"\xC9t\xE9", 1), 1); // letters beyond ASCII
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"1a", 0), 0);
    EXPECT_EQ(CZVClass::ZVNameIsValid(L"a-b", 0), 0);
    EXPECT_ZV_THROW(CZVClass::ZVNameIsValid(L"1a", 1), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names must begin with a letter or '_': '1a'");
    EXPECT_ZV_THROW(CZVSchema::SchemaNameIsValid(L"a-b", 1), ZVXMLDomainError,
                    L"ZVSchema names can only contain alpha-numeric characters or '_': 'a-b'");
}

TEST(SchemaConstruction, NameAndPrefixAreCheckedWithTheirOwnLabels)
{
    CZVSchema schema(L"p", L"Pipes", nullptr);
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
    EXPECT_STREQ(schema.GetSchemaName(), L"Pipes");
    EXPECT_STREQ(schema.GetDescription(), L"");
    EXPECT_ZV_THROW(CZVSchema(L"p", L"1Pipes", nullptr), ZVXMLDomainError,
                    L"ZVSchema names must begin with a letter or '_': '1Pipes'");
    EXPECT_ZV_THROW(CZVSchema(L"", L"Pipes", nullptr), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names cannot be blank!");
    EXPECT_ZV_THROW(CZVSchema(nullptr, L"Pipes", nullptr), ZVXMLLogicError,
                    L"ZVClass or ZVProperty names cannot be NULL!");
    // The setter checks the prefix with the schema label.
    EXPECT_ZV_THROW(schema.SetSchemaPrefix(L"x y"), ZVXMLDomainError,
                    L"ZVSchema names can only contain alpha-numeric characters or '_': 'x y'");
    EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
}

TEST(Version, FormatsWithTwoDigitsAndParsesStraightIn)
{
    CZVSchema schema(L"p", L"Pipes", L"");
    EXPECT_EQ(schema.VersionString(), L"00.00");
    schema.SetVersionString(L"1.2");
    EXPECT_EQ(schema.VersionString(), L"01.02");
    EXPECT_EQ(schema.XmlNamespace(), L"Pipes.01.02");
    EXPECT_EQ(schema.OfficialFilename(), L"Pipes.01.02.zvschema.xml");
    std::wstring text;
    CZVSchema::FormatVersionString(text, 5, 123);
    EXPECT_EQ(text, L"05.123");
}

TEST(Version, ParseAcceptsTrailingCharactersAfterTheDigits)
{
    unsigned long major = 0;
    unsigned long minor = 0;
    for (auto [text, expectedMajor, expectedMinor] :
         {std::make_tuple(L"1x.2", 1ul, 2ul), std::make_tuple(L"01.5b", 1ul, 5ul), std::make_tuple(L"1.2.3", 1ul, 2ul),
          std::make_tuple(L"123.456", 123ul, 456ul), std::make_tuple(L"+1.-0", 1ul, 0ul),
          std::make_tuple(L" 2.\t3", 2ul, 3ul)}) {
        CZVSchema::ParseVersionString(text, &major, &minor);
        EXPECT_EQ(major, expectedMajor) << text;
        EXPECT_EQ(minor, expectedMinor) << text;
    }
}

TEST(Version, ParseFailuresNameTheirRule)
{
    unsigned long major = 0;
    unsigned long minor = 0;
    const std::wstring hint = L" Format is MM.mm where MM is major version and mm is minor version.";
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"1234.1", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '1234.1' does not have 1-3 numbers before the '.'!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"1.1234", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '1.1234' does not have 1-3 numbers after the '.'!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"12", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '12' does not contain a '.'!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"ab.1", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... 'ab.1' The characters before the '.' must be numeric!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"1.ab", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '1.ab' The characters after the '.' must be numeric!" + hint);
    // A negative number would wrap around to a version no file can hold.
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"-1.00", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '-1.00' The characters before the '.' must be numeric!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L"1. -2", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '1. -2' The characters after the '.' must be numeric!" + hint);
    EXPECT_ZV_THROW(CZVSchema::ParseVersionString(L".1", &major, &minor), ZVXMLFormatError,
                    L"CZVSchema::SetVersionString... '.1' does not have 1-3 numbers before the '.'!" + hint);
}

TEST(Version, NullArgumentsAreLogicErrorsWithALocation)
{
    unsigned long value = 0;
    try {
        CZVSchema::ParseVersionString(L"1.2", nullptr, &value);
        FAIL();
    } catch (const ZVXMLLogicError& e) {
        EXPECT_STREQ(e.Message(), L"pMinor and pMajor must be non-NULL");
        EXPECT_STREQ(e.Location(), L"CZVSchema::ParseVersionString");
    }
    try {
        CZVSchema::ParseVersionString(L"", &value, &value);
        FAIL();
    } catch (const ZVXMLLogicError& e) {
        EXPECT_STREQ(e.Message(), L"Version string cannot be NULL or empty! Format is MM.mm where MM is major "
                                  L"version and mm is minor version.");
        EXPECT_STREQ(e.Location(), L"CZVSchema::ParseVersionString");
    }
}

TEST(PrimitiveTypes, ExactNamesOnly)
{
    for (const wchar_t* name : {L"string", L"boolean", L"double", L"int", L"point3d", L"dateTime", L"binary", L"long"}) {
        EXPECT_NE(CZVSchema::IsPrimitiveType(name), 0) << name;
    }
    EXPECT_EQ(CZVSchema::IsPrimitiveType(L"String"), 0);
    EXPECT_EQ(CZVSchema::IsPrimitiveType(L"p:string"), 0);
    EXPECT_ZV_THROW(CZVSchema::IsPrimitiveType(nullptr), ZVXMLInvalidArgument,
                    L"Passed typeName to CZVSchema::IsPrimitiveType");
}
