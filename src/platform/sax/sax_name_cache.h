// The wide forms of element names, converted once per parse and found again
// by the addresses of libxml2's interned names.
//
// libxml2 keeps every name of a parse in its dictionary, so within one parse
// the same (local name, prefix, namespace URI) always comes as the same three
// pointers. Pointers mean nothing across parses: Reset() before each one.
// The cache is bounded (hostile documents may hold millions of distinct
// names): when full it forgets everything and starts again.
#ifndef ZVXML_PLATFORM_SAX_SAX_NAME_CACHE_H
#define ZVXML_PLATFORM_SAX_SAX_NAME_CACHE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

struct SaxElementName {
    std::wstring namespaceURI;
    std::wstring localName;
    std::wstring prefixed; // "prefix:local", or empty when there is no prefix
    bool hasPrefix = false;

    const std::wstring& QualifiedName() const { return hasPrefix ? prefixed : localName; }
};

class SaxNameCache {
public:
    using Utf8 = const unsigned char*;

    SaxNameCache();
    ~SaxNameCache();
    SaxNameCache(const SaxNameCache&) = delete;
    SaxNameCache& operator=(const SaxNameCache&) = delete;

    // Forgets every name; required between parses.
    void Reset();
    // The wide form of a name; `prefix` and `uri` may be NULL. The reference
    // stays valid until the next call.
    const SaxElementName& Get(Utf8 localName, Utf8 prefix, Utf8 uri);

    // Bounds: entries, and characters held by live entries.
    static constexpr std::size_t kMaxEntries = 2048;
    static constexpr std::size_t kMaxCharacters = std::size_t(1) << 20;

    std::size_t Size() const { return m_used; }

private:
    struct Slot {
        Utf8 localName;
        Utf8 prefix;
        Utf8 uri;
        std::uint32_t entry;
        std::uint32_t generation; // the slot is empty unless this is current
    };

    static constexpr std::size_t kSlots = 2 * kMaxEntries; // a power of two
    static std::size_t Hash(Utf8 localName, Utf8 prefix, Utf8 uri);
    const SaxElementName& Insert(Slot& slot, Utf8 localName, Utf8 prefix, Utf8 uri);
    void Forget();

    std::unique_ptr<Slot[]> m_slots;
    std::uint32_t m_generation = 1;
    std::vector<SaxElementName> m_entries; // reused after Forget()
    std::size_t m_used = 0;
    std::size_t m_characters = 0;
};

} // namespace platform
} // namespace ZVXML

#endif
