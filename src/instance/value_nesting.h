// A bound on walks down nested values.
//
// Values a host builds nest without bound (a struct value may even hold the
// instance it belongs to), and the walk that renders values as text goes one
// call deeper per level. It holds a ValueNestingLevel per level and refuses
// to go past kMaxValueNesting, so that it ends in an error rather than a
// stack overflow or an endless loop. (The writers of documents count the
// element levels they write instead, against what their reader accepts.)
#ifndef ZVXML_INSTANCE_VALUE_NESTING_H
#define ZVXML_INSTANCE_VALUE_NESTING_H

namespace ZVXML {

// Levels of values the text form renders, as many as the instance document
// reader accepts elements; each level takes a few hundred bytes of stack.
constexpr int kMaxValueNesting = 256;

class ValueNestingLevel {
public:
    ValueNestingLevel() noexcept;
    ~ValueNestingLevel();
    ValueNestingLevel(const ValueNestingLevel&) = delete;
    ValueNestingLevel& operator=(const ValueNestingLevel&) = delete;

    // Whether this level lies past kMaxValueNesting on this thread.
    bool TooDeep() const noexcept;
};

} // namespace ZVXML

#endif
