// Whether a base class of a class already has a property of some name.
//
// AddZVProperty refuses a name that FindProperty finds, and FindProperty
// walks the whole base-class chain. Walking it for every property added
// makes a long chain cost the square of its length. Instead, each schema
// list counts which of its classes own a property of each name
// (class_name_index.h), and each class keeps a summary of where it stands in
// its chain: its depth, its topmost base, the lists that hold its bases, and
// the bases 1, 2, 4, 8, ... steps up. Whether one of the few owners of a name
// is a base of the class is then a matter of a few steps.
//
// The answer must be the walk's. It is given only where the walk could not
// have thrown: every base is linked by pointer (such links form no loop,
// base_links.h) and held by a schema list. Otherwise, or
// when a summary cannot be had, the answer is Unknown and the caller walks.
//
// Summaries are worked out while a property is added (a change of the
// schema, on one thread) and only for classes of the same schema as the
// class being changed: a referenced schema may be shared by readers on other
// threads. They are stamped with the link generation and not used once it
// moves.
#ifndef ZVXML_SCHEMA_INHERITED_NAMES_H
#define ZVXML_SCHEMA_INHERITED_NAMES_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ZVXML {

class CZVClass;

namespace detail {

class ClassNameIndex;

struct ChainInfo {
    std::uint64_t generation = 0;
    // False when the walk could throw or a base is in no list: then nothing
    // else here is used.
    bool exact = false;
    std::size_t depth = 0; // the number of base classes
    const CZVClass* top = nullptr; // the topmost base, or the class itself
    std::vector<CZVClass*> jumps; // jumps[k]: the base 2^k steps up
    std::vector<ClassNameIndex*> lists; // one list holding each base
};

enum class Inherited { No, Yes, Unknown };

// Whether a base class of `zvClass` (not the class itself) owns a property
// named `name`.
Inherited FindInheritedName(CZVClass& zvClass, std::wstring_view name);

} // namespace detail
} // namespace ZVXML

#endif
