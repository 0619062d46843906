#include "count_option.h"

#include <string>

namespace zvcli {

CLI::Validator CountValidator()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
            const std::size_t significant = text.find_first_not_of('0');
            const bool fits = significant == std::string::npos || text.size() - significant <= 18;
            if (digits && fits) {
                return std::string();
            }
            return "a whole number from 0 to " + std::to_string(kMaxCount) + " is expected, not '" + text + "'";
        },
        "N");
}

} // namespace zvcli
