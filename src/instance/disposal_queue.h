// Disposal of nested instances and values without one stack frame per level.
//
// Destroying an instance releases its values, a struct value its embedded
// instance, an array its members: each level of nesting is one more nested
// call of DestroyInstance or DestroyValue. Documents nest a few hundred
// levels at most, but a host can build a chain of any depth. So once
// disposals nest kDirectDisposalDepth deep on a thread, the objects released
// further down are queued instead, and the outermost disposal on the thread
// disposes of the queued ones before it returns, each again up to that
// depth. The queue is linked through the objects themselves: disposing
// allocates nothing and cannot fail.
#ifndef ZVXML_INSTANCE_DISPOSAL_QUEUE_H
#define ZVXML_INSTANCE_DISPOSAL_QUEUE_H

namespace ZVXML {

class CZVInstance;
class ZVValueBase;

// Levels disposed of directly: a level takes a few hundred bytes of stack,
// and no document a reader accepts nests deeper than this in values.
constexpr int kDirectDisposalDepth = 128;

// One level of disposal, held by DestroyInstance and DestroyValue while they
// dispose of one object; the outermost level disposes of what was queued.
class DisposalLevel {
public:
    DisposalLevel() noexcept;
    ~DisposalLevel();
    DisposalLevel(const DisposalLevel&) = delete;
    DisposalLevel& operator=(const DisposalLevel&) = delete;
};

// Queues an object nobody owns any more when disposals already nest
// kDirectDisposalDepth deep on this thread; returns whether it did.
bool QueueIfNestedTooDeep(CZVInstance* instance) noexcept;
bool QueueIfNestedTooDeep(ZVValueBase* value) noexcept;

} // namespace ZVXML

#endif
