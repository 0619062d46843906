#include "platform/sax/sax_name_cache.h"

#include "platform/sax/sax_wide_text.h"

#include <cstring>

namespace ZVXML {
namespace platform {
namespace {

// Entries keep their strings' memory when the cache starts again, except
// strings grown beyond this, so hostile names leave nothing large behind.
constexpr std::size_t kKeptCapacity = 64;

void AssignName(SaxNameCache::Utf8 name, std::wstring& out)
{
    if (name == nullptr) {
        out.clear();
        return;
    }
    AssignUtf8(name, std::strlen(reinterpret_cast<const char*>(name)), out);
}

void Release(std::wstring& text)
{
    if (text.capacity() > kKeptCapacity) {
        std::wstring().swap(text);
    }
}

} // namespace

SaxNameCache::SaxNameCache() = default;
SaxNameCache::~SaxNameCache() = default;

void SaxNameCache::Reset() { Forget(); }

std::size_t SaxNameCache::Hash(Utf8 localName, Utf8 prefix, Utf8 uri)
{
    std::uint64_t h = reinterpret_cast<std::uintptr_t>(localName) * 0x9E3779B97F4A7C15ULL;
    h ^= reinterpret_cast<std::uintptr_t>(prefix) * 0xC2B2AE3D27D4EB4FULL;
    h ^= reinterpret_cast<std::uintptr_t>(uri) * 0x165667B19E3779F9ULL;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

const SaxElementName& SaxNameCache::Get(Utf8 localName, Utf8 prefix, Utf8 uri)
{
    if (!m_slots) {
        m_slots.reset(new Slot[kSlots]());
    }
    std::size_t index = Hash(localName, prefix, uri) & (kSlots - 1);
    for (;;) {
        Slot& slot = m_slots[index];
        if (slot.generation != m_generation) {
            return Insert(slot, localName, prefix, uri);
        }
        if (slot.localName == localName && slot.prefix == prefix && slot.uri == uri) {
            return m_entries[slot.entry];
        }
        index = (index + 1) & (kSlots - 1);
    }
}

const SaxElementName& SaxNameCache::Insert(Slot& slot, Utf8 localName, Utf8 prefix, Utf8 uri)
{
    if (m_used == kMaxEntries || m_characters > kMaxCharacters) {
        Forget();
        // The slot found before was emptied with all others: look again.
        return Get(localName, prefix, uri);
    }
    if (m_used == m_entries.size()) {
        m_entries.emplace_back();
    }
    SaxElementName& name = m_entries[m_used];
    AssignName(uri, name.namespaceURI);
    AssignName(localName, name.localName);
    name.hasPrefix = prefix != nullptr;
    if (name.hasPrefix) {
        AssignName(prefix, name.prefixed);
        name.prefixed += L':';
        name.prefixed += name.localName;
    } else {
        name.prefixed.clear();
    }
    m_characters += name.namespaceURI.size() + name.localName.size() + name.prefixed.size();
    slot = Slot{localName, prefix, uri, static_cast<std::uint32_t>(m_used), m_generation};
    ++m_used;
    return name;
}

void SaxNameCache::Forget()
{
    for (std::size_t i = 0; i < m_used; ++i) {
        Release(m_entries[i].namespaceURI);
        Release(m_entries[i].localName);
        Release(m_entries[i].prefixed);
    }
    m_used = 0;
    m_characters = 0;
    if (++m_generation == 0) {
        // After 2^32 generations a stale slot could look current again.
        if (m_slots) {
            std::memset(static_cast<void*>(m_slots.get()), 0, kSlots * sizeof(Slot));
        }
        m_generation = 1;
    }
}

} // namespace platform
} // namespace ZVXML
