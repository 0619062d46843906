#include <zvxml/zvxml.h>

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <set>

using namespace ZVXML;

namespace {

bool IsGuidText(const std::wstring& text)
{
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool hyphen = (i == 8 || i == 13 || i == 18 || i == 23);
        if (hyphen != (text[i] == L'-')) {
            return false;
        }
        if (!hyphen && !((text[i] >= L'0' && text[i] <= L'9') || (text[i] >= L'a' && text[i] <= L'f'))) {
            return false;
        }
    }
    return true;
}


} // namespace

TEST(Guids, NewGuidsAreDistinctLowerCaseTexts)
{
    CGUIDGenerator generator;
    std::set<std::wstring> seen;
    for (int i = 0; i < 100; ++i) {
        std::wstring a = CreateGuid();
        std::wstring b = generator.GetNextID();
        EXPECT_TRUE(IsGuidText(a)) << a;
        EXPECT_TRUE(IsGuidText(b)) << b;
        seen.insert(a);
        seen.insert(b);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST(Guids, GeneratedGuidRendersInTheSameForm)
{
    GUID guid;
    GenerateGUID(&guid);
    EXPECT_TRUE(IsGuidText(ToWString(&guid)));
    EXPECT_EQ(ToWString(static_cast<const GUID*>(nullptr)), L"");
    EXPECT_THROW(GenerateGUID(nullptr), ZVXMLInvalidArgument);

    GUID fixed = {0x0123ABCD, 0x4567, 0x89EF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    EXPECT_EQ(ToWString(&fixed), L"0123abcd-4567-89ef-0123-456789abcdef");
}

TEST(InstanceIdentifiers, PositiveIdsAreNumberedOthersGetAGuid)
{
    std::wstring id;
    GenerateZVInstanceXMLIdentifier(L"Pipe Size", 42, id);
    EXPECT_EQ(id, L"Pipe__x0020__Size-YmrInstanceID-42");
    GenerateZVInstanceXMLIdentifier(L"Pump", 1, id);
    EXPECT_EQ(id, L"Pump-YmrInstanceID-1");
    for (long nonPositive : {0L, -5L}) {
        GenerateZVInstanceXMLIdentifier(L"Pump", nonPositive, id);
        ASSERT_EQ(id.size(), 5u + 36u);
        EXPECT_EQ(id.substr(0, 5), L"Pump-");
        EXPECT_TRUE(IsGuidText(id.substr(5)));
    }
    GenerateZVInstanceXMLIdentifier(L"", 3, id);
    EXPECT_EQ(id, L"-YmrInstanceID-3");
    GenerateZVInstanceXMLIdentifier(L"1st Pump", 2, id);
    EXPECT_EQ(id, L"__x0031__st__x0020__Pump-YmrInstanceID-2");
}

TEST(InstanceIdentifiers, NullClassNameLeavesTheResultAlone)
{
    std::wstring id = L"untouched";
    try {
        GenerateZVInstanceXMLIdentifier(nullptr, 1, id);
        FAIL();
    } catch (const ZVXMLInvalidArgument& e) {
        EXPECT_STREQ(e.Message(), L"Passed NULL className into GenerateZVInstanceXMLIdentifier");
        EXPECT_STREQ(e.Location(), L"");
    }
    EXPECT_EQ(id, L"untouched");
}

TEST(TempFileNames, LiveInTmpdirAndEndWithTheSuffix)
{
    zvtest::EnvironmentVariable tmp("TMPDIR", "/var/tmp/");
    std::wstring name;
    CreateTempFileName(L".zvinstance.xml", name);
    const std::wstring folder = L"/var/tmp/";
    ASSERT_EQ(name.size(), folder.size() + 36 + 15);
    EXPECT_EQ(name.substr(0, folder.size()), folder);
    EXPECT_TRUE(IsGuidText(name.substr(folder.size(), 36)));
    EXPECT_EQ(name.substr(folder.size() + 36), L".zvinstance.xml");

    std::wstring other;
    CreateTempFileName(L".zvinstance.xml", other);
    EXPECT_NE(name, other);
}

TEST(TempFileNames, FallBackToTmpWithoutAUsableTmpdir)
{
    zvtest::EnvironmentVariable tmp("TMPDIR", "/nonexistent/folder/for/zvxml");
    std::wstring name;
    CreateTempFileName(L"", name);
    EXPECT_EQ(name.substr(0, 5), L"/tmp/");
    EXPECT_EQ(name.size(), 5u + 36u);
    EXPECT_THROW(CreateTempFileName(nullptr, name), ZVXMLInvalidArgument);
}
