// The most distinct names a document may use.
//
// libxml2 keeps every name of a parse (of elements, attributes, prefixes,
// processing instructions), every namespace URI and, when it builds a tree,
// the shortest texts in one dictionary, whose hash table stops growing at a
// few thousand buckets. Past that, every name it reads, old or new, costs
// time in proportion to the names already held, so a document of a few
// megabytes of distinct names takes minutes. Real documents use a few
// hundred; both parsers refuse a document once it holds more than the limit.
#ifndef ZVXML_PLATFORM_NAME_LIMIT_H
#define ZVXML_PLATFORM_NAME_LIMIT_H

#include <cstddef>

struct _xmlParserCtxt;

namespace ZVXML {
namespace platform {

constexpr std::size_t kMaxDistinctNames = 100000;
constexpr const char* kTooManyNamesMessage = "More than 100000 distinct names in the document";

// True once the parse's dictionary holds more than kMaxDistinctNames
// entries. Checked where new names come in: at each start tag (its element,
// attributes, prefixes and namespace URIs) and processing instruction.
bool HoldsTooManyNames(const _xmlParserCtxt& context);

} // namespace platform
} // namespace ZVXML

#endif
