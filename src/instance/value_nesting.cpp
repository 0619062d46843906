#include "instance/value_nesting.h"

namespace ZVXML {
namespace {

thread_local int t_valueNesting = 0;

} // namespace

ValueNestingLevel::ValueNestingLevel() noexcept { ++t_valueNesting; }
ValueNestingLevel::~ValueNestingLevel() { --t_valueNesting; }
bool ValueNestingLevel::TooDeep() const noexcept { return t_valueNesting > kMaxValueNesting; }

} // namespace ZVXML
