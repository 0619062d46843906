// The ids of a document's instances, each once, numbered in the order they
// were first met.
//
// A validation must remember every id a relationship may name, and a
// document may hold millions. A string and a hash node per id would cost
// several times the id itself; here an id costs its bytes in one shared
// buffer, one entry and a slot or two of an open-addressed table.
#ifndef ZVXML_INSTANCEXML_INSTANCE_ID_TABLE_H
#define ZVXML_INSTANCEXML_INSTANCE_ID_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ZVXML {

class InstanceIdTable {
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    // The number of `id`, or kNone when it was never added.
    std::size_t Find(std::wstring_view id);
    // The number of `id`, added as the next number when it is new.
    std::size_t Add(std::wstring_view id, bool& isNew);
    // The id numbered `number`.
    std::wstring Text(std::size_t number) const;

private:
    struct Entry {
        std::size_t offset; // in m_bytes
        std::size_t length;
        std::size_t hash;
    };

    // Encodes `id` into m_key and returns its hash.
    std::size_t Encode(std::wstring_view id);
    // The slot holding m_key's number, or the empty slot where it belongs.
    std::size_t Probe(std::size_t hash) const;
    void Grow();

    std::string m_bytes; // every id, one after another
    std::vector<Entry> m_entries; // by number
    // Each slot: the number + 1 in the low half (0: empty), and the high half
    // of the id's hash, so that a probe passes other ids without reading
    // their entries (each a likely cache miss in a large table).
    std::vector<std::uint64_t> m_slots;
    std::string m_key; // the id being looked up, encoded
};

} // namespace ZVXML

#endif
