// A bound on walks down nested values.
//
// Values a host builds nest without bound (a struct value may even hold the
// instance it belongs to), and the walks that render values as text or as
// elements go one call deeper per level. Each such walk holds a
// ValueNestingLevel per level and refuses to go past kMaxValueNesting, so
// that it ends in an error rather than a stack overflow or an endless loop.
#ifndef ZVXML_INSTANCE_VALUE_NESTING_H
#define ZVXML_INSTANCE_VALUE_NESTING_H

namespace ZVXML {

// As many element levels as the readers accept in a whole document; each
// level takes a few hundred bytes of stack.
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
