#include "platform/name_limit.h"

#include <libxml/parser.h>

namespace ZVXML {
namespace platform {

bool HoldsTooManyNames(const _xmlParserCtxt& context)
{
    // libxml2 keeps the count: this costs nothing per tag.
    const int names = context.dict != nullptr ? xmlDictSize(context.dict) : 0;
    return names > 0 && static_cast<std::size_t>(names) > kMaxDistinctNames;
}

} // namespace platform
} // namespace ZVXML
