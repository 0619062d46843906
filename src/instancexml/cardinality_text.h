// Reading a relationship end's cardinality text: "(a,b)" or "a..b", where b
// may be "N" or "*" for no upper bound.
#ifndef ZVXML_INSTANCEXML_CARDINALITY_TEXT_H
#define ZVXML_INSTANCEXML_CARDINALITY_TEXT_H

#include <cstdint>
#include <string>

namespace ZVXML {

struct Cardinality {
    enum class Kind { Empty, Understood, NotUnderstood };
    Kind kind = Kind::Empty;
    std::uint64_t low = 0;
    std::uint64_t high = 0; // kUnbounded for N or *
    static constexpr std::uint64_t kUnbounded = UINT64_MAX;

    bool Allows(std::uint64_t count) const { return count >= low && count <= high; }
};

// Spaces around the parts are allowed; a lower bound above the upper one, a
// missing part or anything else is not understood.
Cardinality ReadCardinality(const std::wstring& text);

} // namespace ZVXML

#endif
