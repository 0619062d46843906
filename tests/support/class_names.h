// The names of a schema's own classes, in list order.
#ifndef ZVXML_TESTS_CLASS_NAMES_H
#define ZVXML_TESTS_CLASS_NAMES_H

#include <zvxml/zvxml.h>

#include <string>
#include <vector>

namespace zvtest {

inline std::vector<std::wstring> ClassNames(const ZVXML::CZVSchema& schema)
{
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < schema.GetZVClassCount(); ++i) {
        names.emplace_back(schema.GetZVClassByIndex(i)->GetTypeName());
    }
    return names;
}

} // namespace zvtest

#endif
