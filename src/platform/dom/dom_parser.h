// Turns the bytes of a document into a libxml2 tree with the safe settings
// of our document model.
#ifndef ZVXML_PLATFORM_DOM_DOM_PARSER_H
#define ZVXML_PLATFORM_DOM_DOM_PARSER_H

#include "platform/reader_limits.h"
#include "platform/libxml_resources.h"

#include <zvxml/dom.h>

#include <string>

namespace ZVXML {
namespace platform {

// The deepest element of a document that loads is at this level (the root
// is level 1); writers of schema files check against this number so that
// what they write reads back.
constexpr int kDomMaxDepth = kMaxElementDepth;

// Parses `bytes`. `url` names the source in errors (empty for a text).
// When `decoded` is true the bytes are UTF-8 whatever the document
// declares; otherwise its BOM or encoding declaration decides.
// No DOCTYPE, no external resource, libxml2's default limits but ours on
// nesting (platform/reader_limits.h). Text nodes of white space only are
// removed. Returns null and fills `error` when the document does not load;
// clears `error` otherwise.
XmlDocOwner ParseDocument(const std::string& bytes, const std::string& url, bool decoded, XMLParseError& error);

} // namespace platform
} // namespace ZVXML

#endif
