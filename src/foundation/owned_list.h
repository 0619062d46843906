// Lists that own shared objects (see <zvxml/ownership.h>).
#ifndef ZVXML_FOUNDATION_OWNED_LIST_H
#define ZVXML_FOUNDATION_OWNED_LIST_H

#include <zvxml/ownership.h>

#include <vector>

namespace ZVXML {
namespace detail {

struct OwnershipAccess {
    static void Adopt(const SharedOwnership* object) { ++const_cast<SharedOwnership*>(object)->m_owners; }
    // Returns true when the caller held the last claim and must dispose of
    // the object (delete it, or park it in the value pool).
    static bool Drop(const SharedOwnership* object)
    {
        SharedOwnership* shared = const_cast<SharedOwnership*>(object);
        return shared->m_owners == 0 || --shared->m_owners == 0;
    }
    static unsigned long Owners(const SharedOwnership* object) { return object->m_owners; }
    // An object being destroyed may be released again by what it owns (a
    // hand-built loop of schema references); from now on no release may
    // destroy it a second time.
    static void MarkDying(const SharedOwnership* object) { const_cast<SharedOwnership*>(object)->m_owners = kDying; }
    // An object marked dying that survives after all, emptied, as a spare.
    static void MarkUnowned(const SharedOwnership* object) { const_cast<SharedOwnership*>(object)->m_owners = 0; }
    // The link of an object queued for disposal (see instance/disposal_queue.h).
    static SharedOwnership*& QueuedNext(SharedOwnership* object) { return object->m_queuedNext; }

private:
    static constexpr unsigned long kDying = ~0ul / 2;
};

template <class T>
void Adopt(T* object)
{
    if (object != nullptr) {
        OwnershipAccess::Adopt(object);
    }
}

// Gives up one claim on `object` and deletes it when that was the last.
template <class T>
void Release(T* object)
{
    if (object != nullptr && OwnershipAccess::Drop(object)) {
        delete object;
    }
}

// A copied list of owned pointers takes a claim on each element.
template <class T>
void AdoptAll(const std::vector<T*>& objects)
{
    for (T* object : objects) {
        Adopt(object);
    }
}

template <class T>
void ReleaseAll(std::vector<T*>& objects)
{
    std::vector<T*> taken;
    taken.swap(objects); // the list is empty before any destructor runs
    for (T* object : taken) {
        Release(object);
    }
}

} // namespace detail
} // namespace ZVXML

#endif
