// Keeps the state handlers a parse has popped for the elements still to
// come. A document opens and closes handlers for nearly every element; taking
// them from here instead of the heap keeps the parse free of allocations for
// them and their text buffers. At most as many handlers of one kind are kept
// as were open at once, so memory stays bounded by the nesting depth.
#ifndef ZVXML_INSTANCEXML_HANDLER_RECYCLER_H
#define ZVXML_INSTANCEXML_HANDLER_RECYCLER_H

#include "instancexml/state_handler.h"

#include <vector>

namespace ZVXML {

class HandlerRecycler {
public:
    HandlerRecycler() = default;
    ~HandlerRecycler();
    HandlerRecycler(const HandlerRecycler&) = delete;
    HandlerRecycler& operator=(const HandlerRecycler&) = delete;

    // A kept handler of that kind, or NULL.
    StateHandler* Take(HandlerKind kind);
    // Keeps a retired handler, or destroys it when it cannot be kept.
    void Keep(StateHandler* handler) noexcept;

private:
    std::vector<StateHandler*> m_spares[static_cast<int>(HandlerKind::Count)];
};

} // namespace ZVXML

#endif
