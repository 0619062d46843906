// One object of a type for each thread that asks for it, made on first use
// and destroyed when the thread ends.
//
// Found through one plain thread-local word: in a shared library each
// thread-local access costs a call, and the callers (spare objects kept for
// reuse) sit on hot paths. Once the thread's own objects are destroyed (its
// exit, or a host that calls in while its statics are destroyed, which the
// language does after the thread's own objects) Get() gives null, and the
// callers do without rather than touch a destroyed object.
#ifndef ZVXML_FOUNDATION_PER_THREAD_H
#define ZVXML_FOUNDATION_PER_THREAD_H

namespace ZVXML {
namespace detail {

template <class T>
class PerThread {
public:
    // This thread's object; null once it was destroyed. May throw what T's
    // constructor throws.
    static T* Get()
    {
        const State& state = t_state;
        if (state.object != nullptr || state.gone) {
            return state.object;
        }
        return Make();
    }

private:
    struct State {
        T* object;
        bool gone;
    };
    struct Holder {
        T object;
        ~Holder() { t_state = State{nullptr, true}; }
    };

    static T* Make()
    {
        thread_local Holder holder;
        t_state.object = &holder.object;
        return t_state.object;
    }

    static thread_local State t_state;
};

template <class T>
thread_local typename PerThread<T>::State PerThread<T>::t_state = {nullptr, false};

} // namespace detail
} // namespace ZVXML

#endif
