// The lock of the process-wide value pool and its scoped guard.
#ifndef ZVXML_INSTANCE_THREAD_LOCK_H
#define ZVXML_INSTANCE_THREAD_LOCK_H

#include <mutex>

namespace ZVXML {

class ThreadLock {
public:
    ThreadLock() = default;
    virtual ~ThreadLock() = default;
    ThreadLock(const ThreadLock&) = delete;
    ThreadLock& operator=(const ThreadLock&) = delete;

    void Obtain() { m_mutex.lock(); }
    void Release() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

template <class Lock>
struct ThreadLockObtain {
    void operator()(Lock& lock) const { lock.Obtain(); }
};

template <class Lock>
struct ThreadLockRelease {
    void operator()(Lock& lock) const { lock.Release(); }
};

} // namespace ZVXML

namespace Molvane {

// Obtains a resource for a scope and releases it on every way out.
template <class Resource, class ReleaseFn, class ObtainFn>
class ScopedResource {
public:
    explicit ScopedResource(Resource resource) : m_resource(resource)
    {
        ObtainFn()(m_resource);
        m_held = true;
    }
    virtual ~ScopedResource()
    {
        if (m_held) {
            ReleaseFn()(m_resource);
        }
    }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

private:
    Resource m_resource;
    bool m_held = false;
};

} // namespace Molvane

namespace ZVXML {
using ScopedThreadLock =
    Molvane::ScopedResource<ThreadLock&, ThreadLockRelease<ThreadLock>, ThreadLockObtain<ThreadLock>>;
} // namespace ZVXML

#endif
