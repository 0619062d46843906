#include "instance/disposal_queue.h"

#include <zvxml/instance.h>

#include "foundation/owned_list.h"
#include "instance/spare_objects.h"

namespace ZVXML {
namespace {

using detail::OwnershipAccess;
using detail::SharedOwnership;

// Trivially destructible, so that it serves during the thread's exit too.
struct DisposalState {
    int depth;
    bool draining;
    SharedOwnership* instances; // queued instances, the last queued first
    SharedOwnership* values;
};

thread_local DisposalState t_disposal = {0, false, nullptr, nullptr};

void Push(SharedOwnership*& head, SharedOwnership* object)
{
    OwnershipAccess::QueuedNext(object) = head;
    head = object;
}

SharedOwnership* Pop(SharedOwnership*& head)
{
    SharedOwnership* object = head;
    if (object != nullptr) {
        head = OwnershipAccess::QueuedNext(object);
        OwnershipAccess::QueuedNext(object) = nullptr;
    }
    return object;
}

// Each disposal here starts again at depth one and may queue more.
void DisposeOfQueued() noexcept
{
    t_disposal.draining = true;
    for (;;) {
        if (SharedOwnership* instance = Pop(t_disposal.instances)) {
            DestroyInstance(static_cast<CZVInstance*>(instance));
        } else if (SharedOwnership* value = Pop(t_disposal.values)) {
            DestroyValue(static_cast<ZVValueBase*>(value));
        } else {
            break;
        }
    }
    t_disposal.draining = false;
}

} // namespace

DisposalLevel::DisposalLevel() noexcept { ++t_disposal.depth; }

DisposalLevel::~DisposalLevel()
{
    if (--t_disposal.depth == 0 && !t_disposal.draining) {
        DisposeOfQueued();
    }
}

bool QueueIfNestedTooDeep(CZVInstance* instance) noexcept
{
    if (t_disposal.depth < kDirectDisposalDepth) {
        return false;
    }
    Push(t_disposal.instances, instance);
    return true;
}

bool QueueIfNestedTooDeep(ZVValueBase* value) noexcept
{
    if (t_disposal.depth < kDirectDisposalDepth) {
        return false;
    }
    Push(t_disposal.values, value);
    return true;
}

} // namespace ZVXML
