// The process-wide pool of recycled primitive values.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/thread_lock.h"
#include "instance/value_disposal.h"

#include <algorithm>
#include <new>
#include <vector>

namespace ZVXML {
namespace {

struct ValuePool {
    ThreadLock lock;
    std::vector<CZVValue*> values; // a stack: the last parked is taken first
};

// Never destroyed: pool operations may run during a host's static
// destruction, and parked values stay reachable for leak checkers. Built in
// place, so that even the first release of a value allocates nothing.
ValuePool& Pool()
{
    alignas(ValuePool) static unsigned char storage[sizeof(ValuePool)];
    static ValuePool* const pool = new (storage) ValuePool();
    return *pool;
}

// Runs `operation` under the pool's lock. Whatever it throws becomes the
// operation's runtime error, raised once the lock is free again so that a
// logging callback never runs while the pool is locked.
template <class Operation>
auto UnderPoolLock(const wchar_t* failure, Operation operation) -> decltype(operation())
{
    {
        ScopedThreadLock guard(Pool().lock);
        try {
            return operation();
        } catch (...) {
            // replaced below, outside the lock
        }
    }
    throw ZVXMLRuntimeError(failure, L"");
}

} // namespace

void CZVSchema::RecycleZVValue(CZVValue* value)
{
    if (value == nullptr) {
        return; // a NULL parked here would be handed out later
    }
    UnderPoolLock(L"Unknown exception in CZVSchema::RecycleZVValue", [value] {
        try {
            Pool().values.push_back(value);
        } catch (...) {
            delete value; // the pool took ownership; it must not leak
            throw;
        }
    });
}

void ParkZVValues(ZVValueBase* const* values, std::size_t count) noexcept
{
    if (count == 0) {
        return;
    }
    ScopedThreadLock guard(Pool().lock);
    std::vector<CZVValue*>& parked = Pool().values;
    if (parked.capacity() - parked.size() < count) {
        try {
            parked.reserve(std::max(parked.size() + count, 2 * parked.capacity()));
        } catch (...) {
            // No memory for more room: what does not fit is deleted below.
        }
    }
    std::size_t done = 0;
    for (; done < count && parked.size() < parked.capacity(); ++done) {
        parked.push_back(static_cast<CZVValue*>(values[done])); // within capacity: cannot throw
    }
    for (; done < count; ++done) {
        delete values[done];
    }
}

CZVValue* CZVSchema::GetRecycledZVValue(CZVProperty* property)
{
    if (property == nullptr) {
        // The value refuses a NULL property, and that refusal is replaced as
        // any failure of the pool is. Both are raised here, with the lock
        // free, so that both are logged (in that order) by a callback that
        // may use the pool itself.
        try {
            CZVValue refused(property, nullptr);
        } catch (...) {
        }
        throw ZVXMLRuntimeError(L"Unknown exception in CZVSchema::GetRecycledZVValue", L"");
    }
    return UnderPoolLock(L"Unknown exception in CZVSchema::GetRecycledZVValue", [property]() -> CZVValue* {
        std::vector<CZVValue*>& values = Pool().values;
        if (values.empty()) {
            return new CZVValue(property, nullptr);
        }
        CZVValue* value = values.back();
        value->Reinitialize(property);
        value->InitializeValue();
        values.pop_back(); // only once it is ready: a failure leaves it parked
        return value;
    });
}

void CZVSchema::FreeRecycledValues()
{
    UnderPoolLock(L"Unknown exception in CZVSchema::FreeRecycledValues", [] {
        std::vector<CZVValue*> parked;
        parked.swap(Pool().values);
        for (CZVValue* value : parked) {
            delete value;
        }
    });
}

} // namespace ZVXML
