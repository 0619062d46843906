#include "instancexml/instance_id_table.h"

#include <zvxml/errors.h>

#include <cstring>
#include <functional>

namespace ZVXML {
namespace {

// Below this, a character is one byte; any other is the marker byte and its
// four bytes as they are. Unlike UTF-8 this keeps every wchar_t value, lone
// surrogates included, so two ids are equal exactly when their bytes are.
constexpr unsigned char kWideMarker = 0x80;

void EncodeId(std::wstring_view id, std::string& out)
{
    out.resize(id.size() * (1 + sizeof(std::uint32_t)));
    char* next = out.data();
    for (const wchar_t c : id) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < kWideMarker) {
            *next++ = static_cast<char>(code);
            continue;
        }
        *next++ = static_cast<char>(kWideMarker);
        std::memcpy(next, &code, sizeof code);
        next += sizeof code;
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
}

constexpr std::uint64_t kNumberMask = 0xFFFFFFFFu;

std::uint64_t HashTag(std::size_t hash) { return static_cast<std::uint64_t>(hash) & ~kNumberMask; }

} // namespace

std::size_t InstanceIdTable::Encode(std::wstring_view id)
{
    EncodeId(id, m_key);
    return std::hash<std::string_view>()(m_key);
}

std::size_t InstanceIdTable::Probe(std::size_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    const std::uint64_t tag = HashTag(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t held = m_slots[slot];
        if (held == 0) {
            return slot;
        }
        if ((held & ~kNumberMask) != tag) {
            continue;
        }
        const Entry& entry = m_entries[(held & kNumberMask) - 1];
        if (entry.hash == hash && entry.length == m_key.size() &&
            std::memcmp(m_bytes.data() + entry.offset, m_key.data(), m_key.size()) == 0) {
            return slot;
        }
    }
}

std::size_t InstanceIdTable::Find(std::wstring_view id)
{
    if (m_slots.empty()) {
        return kNone;
    }
    const std::uint64_t held = m_slots[Probe(Encode(id))];
    return held == 0 ? kNone : static_cast<std::size_t>((held & kNumberMask) - 1);
}

std::size_t InstanceIdTable::Add(std::wstring_view id, bool& isNew)
{
    // At most half the slots are used, so that a probe stays short.
    if ((m_entries.size() + 1) * 2 > m_slots.size()) {
        Grow();
    }
    const std::size_t hash = Encode(id);
    const std::size_t slot = Probe(hash);
    isNew = m_slots[slot] == 0;
    if (!isNew) {
        return static_cast<std::size_t>((m_slots[slot] & kNumberMask) - 1);
    }
    if (m_entries.size() >= kNumberMask - 1) {
        // Numbers are kept in 32 bits; the ids of four billion instances
        // would not fit in memory anyway.
        throw ZVXMLRuntimeError(L"Too many instance identifiers to remember", L"");
    }
    const std::size_t offset = m_bytes.size();
    m_bytes += m_key; // first: bytes left over by a failed push_back are never read
    m_entries.push_back(Entry{offset, m_key.size(), hash});
    m_slots[slot] = HashTag(hash) | m_entries.size();
    return m_entries.size() - 1;
}

void InstanceIdTable::Grow()
{
    std::vector<std::uint64_t> slots(m_slots.empty() ? 64 : m_slots.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t number = 0; number < m_entries.size(); ++number) {
        const std::size_t hash = m_entries[number].hash;
        std::size_t slot = hash & mask;
        while (slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots[slot] = HashTag(hash) | (number + 1);
    }
    m_slots.swap(slots);
}

std::wstring InstanceIdTable::Text(std::size_t number) const
{
    const Entry& entry = m_entries.at(number);
    std::wstring text;
    for (std::size_t i = entry.offset; i < entry.offset + entry.length; ++i) {
        const auto byte = static_cast<unsigned char>(m_bytes[i]);
        if (byte != kWideMarker) {
            text.push_back(static_cast<wchar_t>(byte));
            continue;
        }
        std::uint32_t code = 0;
        std::memcpy(&code, m_bytes.data() + i + 1, sizeof code);
        text.push_back(static_cast<wchar_t>(code));
        i += sizeof code;
    }
    return text;
}

} // namespace ZVXML
