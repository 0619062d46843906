// Options that take a count (--limit, --max-errors).
#ifndef ZVCLI_COUNT_OPTION_H
#define ZVCLI_COUNT_OPTION_H

#include <CLI/CLI.hpp>

namespace zvcli {

// The largest count accepted: 18 digits always fit the options' long long.
constexpr long long kMaxCount = 999999999999999999;

// Accepts decimal digits up to kMaxCount; otherwise says plainly what is
// expected (CLI11's own range check prints its bound as a 300-digit double).
CLI::Validator CountValidator();

} // namespace zvcli

#endif
