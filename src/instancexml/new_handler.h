// Makes the next state handler for a handler to return: a retired one of
// the same kind made ready again when the parse has one, else a new one.
#ifndef ZVXML_INSTANCEXML_NEW_HANDLER_H
#define ZVXML_INSTANCEXML_NEW_HANDLER_H

#include "instancexml/handler_recycler.h"
#include "instancexml/state_handler.h"

namespace ZVXML {

// `Handler` has a constructor (parent, args...) and Attach(parent, args...)
// that makes a retired handler as the constructor would.
template <class Handler, class... Args>
HandlerPtr NewHandler(StateHandler* parent, Args... args)
{
    if (HandlerRecycler* recycler = parent->Recycler()) {
        if (StateHandler* spare = recycler->Take(Handler::kKind)) {
            HandlerPtr held(spare); // kept again if Attach throws
            static_cast<Handler*>(spare)->Attach(parent, args...);
            return held;
        }
    }
    return HandlerPtr(new Handler(parent, args...));
}

} // namespace ZVXML

#endif
