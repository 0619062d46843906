#include "instancexml/state_stack.h"

namespace ZVXML {

StateStack::~StateStack()
{
    while (!m_handlers.empty()) {
        Pop();
    }
}

void StateStack::Push(HandlerPtr handler) { m_handlers.push_back(std::move(handler)); }

void StateStack::Pop()
{
    if (!m_handlers.empty()) {
        m_handlers.pop_back();
    }
}

} // namespace ZVXML
