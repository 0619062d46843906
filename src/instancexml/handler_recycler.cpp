#include "instancexml/handler_recycler.h"

namespace ZVXML {

HandlerRecycler::~HandlerRecycler()
{
    for (std::vector<StateHandler*>& spares : m_spares) {
        for (StateHandler* handler : spares) {
            delete handler;
        }
    }
}

StateHandler* HandlerRecycler::Take(HandlerKind kind)
{
    std::vector<StateHandler*>& spares = m_spares[static_cast<int>(kind)];
    if (spares.empty()) {
        return nullptr;
    }
    StateHandler* handler = spares.back();
    spares.pop_back();
    return handler;
}

void HandlerRecycler::Keep(StateHandler* handler) noexcept
{
    const HandlerKind kind = handler->Kind();
    if (kind == HandlerKind::Count) {
        delete handler;
        return;
    }
    try {
        m_spares[static_cast<int>(kind)].push_back(handler);
    } catch (...) {
        delete handler; // out of memory: not kept, still released
    }
}

} // namespace ZVXML
