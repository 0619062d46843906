#include <zvxml/zvxml.h>

#include "support/guid_text.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <set>

using namespace ZVXML;

using zvtest::WithGuid;

TEST(Guids, NewGuidsAreDistinctLowerCaseTextsAndFieldsPrintAsStored)
{
    CGUIDGenerator generator;
    std::set<std::wstring> seen;
    for (int i = 0; i < 100; ++i) {
        for (const std::wstring& guid : {CreateGuid(), generator.GetNextID()}) {
            EXPECT_TRUE(WithGuid(guid)) << guid;
            seen.insert(guid);
        }
    }
    EXPECT_EQ(seen.size(), 200u);
    GUID fixed = {0x0123ABCD, 0x4567, 0x89EF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    EXPECT_EQ(ToWString(&fixed), L"0123abcd-4567-89ef-0123-456789abcdef");
}

TEST(InstanceIdentifiers, PositiveNumbersFollowTheEncodedNameOthersAGuid)
{
    const std::pair<long, const wchar_t*> pipeSize[] = {
        {42, L"Pipe__x0020__Size-YmrInstanceID-42"}, {0, L"Pipe__x0020__Size-"}, {-5, L"Pipe__x0020__Size-"}};
    std::wstring id;
    for (const auto& [number, expected] : pipeSize) {
        GenerateZVInstanceXMLIdentifier(L"Pipe Size", number, id);
        EXPECT_TRUE(number > 0 ? id == expected : WithGuid(id, expected)) << id;
    }
    GenerateZVInstanceXMLIdentifier(L"", 3, id);
    EXPECT_EQ(id, L"-YmrInstanceID-3");
    GenerateZVInstanceXMLIdentifier(L"1st Pump", 2, id);
    EXPECT_EQ(id, L"__x0031__st__x0020__Pump-YmrInstanceID-2");
}

TEST(TempFileNames, LiveInTmpdirEndWithTheSuffixAndFallBackToTmp)
{
    std::wstring name;
    std::wstring other;
    {
        zvtest::EnvironmentVariable tmp("TMPDIR", "/var/tmp/");
        CreateTempFileName(L".zvinstance.xml", name);
        CreateTempFileName(L".zvinstance.xml", other);
    }
    EXPECT_TRUE(WithGuid(name, L"/var/tmp/", L".zvinstance.xml")) << name;
    EXPECT_NE(name, other);
    zvtest::EnvironmentVariable unusable("TMPDIR", "/nonexistent/folder/for/zvxml");
    CreateTempFileName(L"", name);
    EXPECT_TRUE(WithGuid(name, L"/tmp/")) << name;
}
