// Turns the bytes of a document into a libxml2 tree with the safe settings
// of our document model.
#ifndef ZVXML_PLATFORM_DOM_DOM_PARSER_H
#define ZVXML_PLATFORM_DOM_DOM_PARSER_H

#include "platform/libxml_resources.h"

#include <zvxml/dom.h>

#include <string>

namespace ZVXML {
namespace platform {

// The deepest element of a document that loads is at this level (the root
// is level 1). libxml2 refuses an element once more than 256 are open above
// it, so its limit of 256 lets one level more through; writers of schema
// files check against this number so that what they write reads back.
constexpr int kDomMaxDepth = 257;

// Parses `bytes`. `url` names the source in errors (empty for a text).
// When `decoded` is true the bytes are UTF-8 whatever the document
// declares; otherwise its BOM or encoding declaration decides.
// No DOCTYPE, no external resource, libxml2's default limits. Text nodes of
// white space only are removed. Returns null and fills `error` when the
// document does not load; clears `error` otherwise.
XmlDocOwner ParseDocument(const std::string& bytes, const std::string& url, bool decoded, XMLParseError& error);

} // namespace platform
} // namespace ZVXML

#endif
