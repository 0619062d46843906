// The stack of state handlers of one parse. It owns the handlers on it:
// popping retires the top, and whatever is left is retired top first (a
// handler may point at the ones below it, never at those above).
#ifndef ZVXML_INSTANCEXML_STATE_STACK_H
#define ZVXML_INSTANCEXML_STATE_STACK_H

#include "instancexml/state_handler.h"

#include <memory>
#include <vector>

namespace ZVXML {

class StateStack {
public:
    StateStack() = default;
    ~StateStack();
    StateStack(const StateStack&) = delete;
    StateStack& operator=(const StateStack&) = delete;

    void Push(HandlerPtr handler);
    // NULL when the stack is empty.
    StateHandler* Top() const { return m_handlers.empty() ? nullptr : m_handlers.back().get(); }
    // Destroys the top handler; nothing on an empty stack.
    void Pop();
    std::size_t Size() const { return m_handlers.size(); }

private:
    std::vector<HandlerPtr> m_handlers;
};

} // namespace ZVXML

#endif
