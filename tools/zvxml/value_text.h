// Instances and values as short readable text for the schema tree:
// "DisplayHint {Color: blue, Order: 1}".
#ifndef ZVCLI_VALUE_TEXT_H
#define ZVCLI_VALUE_TEXT_H

#include <zvxml/instance.h>

#include <string>

namespace zvcli {

std::wstring InstanceText(ZVXML::CZVInstance& instance);
std::wstring ValueText(ZVXML::ZVValueBase& value);

} // namespace zvcli

#endif
