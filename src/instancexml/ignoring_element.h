// Swallows one element and its whole subtree. Pushed with PUSH_UNHANDLED,
// it takes the element's name from its start, counts the nested elements
// with the base bookkeeping and pops itself at the element's end.
#ifndef ZVXML_INSTANCEXML_IGNORING_ELEMENT_H
#define ZVXML_INSTANCEXML_IGNORING_ELEMENT_H

#include "instancexml/state_handler.h"

namespace ZVXML {

class IgnoringElement : public StateHandler {
public:
    static constexpr HandlerKind kKind = HandlerKind::Ignoring;

    explicit IgnoringElement(StateHandler* parent) : StateHandler(parent, L"") {}
    void Attach(StateHandler* parent) { Reattach(parent, L""); }
    HandlerKind Kind() const override { return kKind; }
};

} // namespace ZVXML

#endif
