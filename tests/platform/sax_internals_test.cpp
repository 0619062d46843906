// The reader's text comparison and name cache, checked on their own.
#include "platform/sax_name_cache.h"
#include "platform/sax_wide_text.h"

#include <gtest/gtest.h>

using ZVXML::platform::SaxNameCache;
using ZVXML::platform::WideEqualsUtf8;

namespace {

const unsigned char* U(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

} // namespace

TEST(SaxWideText, WideTextComparesWithUtf8CharacterByCharacter)
{
    EXPECT_TRUE(WideEqualsUtf8(L"", U("")));
    EXPECT_TRUE(WideEqualsUtf8(L"name", U("name")));
    EXPECT_TRUE(WideEqualsUtf8(L"\u00f1\u20ac\U0001F600", U("\xc3\xb1\xe2\x82\xac\xf0\x9f\x98\x80")));
    EXPECT_FALSE(WideEqualsUtf8(L"nam", U("name")));
    EXPECT_FALSE(WideEqualsUtf8(L"name", U("nam")));
    EXPECT_FALSE(WideEqualsUtf8(L"\u00f1", U("\xc3\xb2")));
    EXPECT_FALSE(WideEqualsUtf8(L"\u00c3", U("\xc3\xb1")));
    // A broken sequence never equals the characters its bytes look like.
    EXPECT_FALSE(WideEqualsUtf8(L"\u00c3", U("\xc3")));
    EXPECT_TRUE(WideEqualsUtf8(L"\ufffd", U("\xc3")));
}

TEST(SaxNameCache, NamesAreRightWhateverTheCacheForgets)
{
    // Distinct pointers stand for libxml2's interned names.
    std::vector<std::string> locals;
    for (int i = 0; i < 3 * static_cast<int>(SaxNameCache::kMaxEntries); ++i) {
        locals.push_back("n" + std::to_string(i));
    }
    const std::string prefix = "p";
    const std::string uri = "urn:\xc3\xa9";
    SaxNameCache cache;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < locals.size(); ++i) {
            const auto& plain = cache.Get(U(locals[i].c_str()), nullptr, nullptr);
            EXPECT_EQ(plain.QualifiedName(), L"n" + std::to_wstring(i));
            EXPECT_EQ(plain.namespaceURI, L"");
            const auto& prefixed = cache.Get(U(locals[i].c_str()), U(prefix.c_str()), U(uri.c_str()));
            ASSERT_EQ(prefixed.QualifiedName(), L"p:n" + std::to_wstring(i));
            EXPECT_EQ(prefixed.localName, L"n" + std::to_wstring(i));
            EXPECT_EQ(prefixed.namespaceURI, L"urn:\u00e9");
            EXPECT_LE(cache.Size(), SaxNameCache::kMaxEntries);
        }
    }
}

TEST(SaxNameCache, HugeNamesAreBoundedByTheirCharacters)
{
    const std::size_t length = 50000; // libxml2's longest name
    std::vector<std::string> names;
    for (char c = 'a'; c <= 'z'; ++c) {
        names.push_back(std::string(length, c));
    }
    SaxNameCache cache;
    for (int pass = 0; pass < 4; ++pass) {
        for (const std::string& name : names) {
            EXPECT_EQ(cache.Get(U(name.c_str()), nullptr, nullptr).localName.size(), length);
            EXPECT_LE(cache.Size(), SaxNameCache::kMaxCharacters / length + 1);
        }
    }
}
