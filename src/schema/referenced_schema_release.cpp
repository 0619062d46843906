// Destroying the schemas a schema references, without nesting destructors.
#include <zvxml/schema.h>

#include "foundation/owned_list.h"
#include "schema/schema_internals.h"

#include <utility>

namespace ZVXML {
namespace {

// The schemas waiting to be destroyed on this thread, linked through
// m_pNextToDestroy, and whether a loop destroying them runs further up the
// stack.
thread_local CZVSchema* t_waiting = nullptr;
thread_local bool t_destroying = false;

} // namespace

void CZVSchema::Internals::ReleaseReferencedSchemas(std::vector<CZVSchema*>& referencedSchemas) noexcept
{
    std::vector<CZVSchema*> taken;
    taken.swap(referencedSchemas); // the list is empty before any destructor runs
    for (CZVSchema* schema : taken) {
        if (schema != nullptr && detail::OwnershipAccess::Drop(schema)) {
            schema->m_pNextToDestroy = std::exchange(t_waiting, schema);
        }
    }
    if (t_destroying) {
        return; // the loop further up destroys them
    }
    t_destroying = true;
    while (CZVSchema* next = t_waiting) {
        t_waiting = std::exchange(next->m_pNextToDestroy, nullptr);
        delete next;
    }
    t_destroying = false;
}

} // namespace ZVXML
