// Bookkeeping of base-class links, shared by every schema of the process.
//
// No chain of base classes loops: a link that would close a loop is refused
// before it is set (CZVClass::Internals::ClosesLoop), so walks up a chain of
// links end without remembering where they have been.
//
// A generation moves whenever a change may alter the chain of some class
// other than the one changed (a link of a class that has derived classes, a
// class with derived classes leaving or entering a schema list, such a class
// destroyed). Chain summaries (inherited_names.h) stamped with an older
// generation are not used.
//
// It is an atomic counter: schemas on other threads may move it, which costs
// their readers a rebuilt summary, nothing more.
#ifndef ZVXML_SCHEMA_BASE_LINKS_H
#define ZVXML_SCHEMA_BASE_LINKS_H

#include <cstdint>

namespace ZVXML {
namespace detail {

std::uint64_t LinkGeneration();
void MoveLinkGeneration();

} // namespace detail
} // namespace ZVXML

#endif
