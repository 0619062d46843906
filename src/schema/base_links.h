// Bookkeeping of base-class links, shared by every schema of the process.
//
// Two facts let reads and property checks skip work on long chains:
//
// - Whether any chain may loop. A loop of base classes is closed by the link
//   set last; LinkBase checks each new link that could close one (the class
//   already has a derived class, or is its own base) by walking up from the
//   new base, and counts the links that did. While the count is zero no
//   chain loops, and walks need not remember where they have been. The count
//   can only overstate (a loop opened elsewhere keeps its closing link
//   counted), which costs time, never a wrong answer.
//
// - A generation that moves whenever a change may alter the chain of some
//   class other than the one changed (a link of a class that has derived
//   classes, a class with derived classes leaving or entering a schema list,
//   such a class destroyed). Chain summaries (inherited_names.h) stamped
//   with an older generation are not used.
//
// Both are atomic counters: schemas on other threads may move them, which
// costs their readers a rebuilt summary or a careful walk, nothing more.
#ifndef ZVXML_SCHEMA_BASE_LINKS_H
#define ZVXML_SCHEMA_BASE_LINKS_H

#include <cstdint>

namespace ZVXML {
namespace detail {

bool BaseLoopsPossible();
std::uint64_t LinkGeneration();
void MoveLinkGeneration();

} // namespace detail
} // namespace ZVXML

#endif
