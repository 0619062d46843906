// An element's local name looked at without building a new string for it:
// readers compare the name of every element of a large file, and a fresh
// wide string per element was a visible part of a load.
#ifndef ZVXML_PLATFORM_DOM_LOCAL_NAME_H
#define ZVXML_PLATFORM_DOM_LOCAL_NAME_H

#include <zvxml/dom.h>

#include <string>
#include <string_view>

namespace ZVXML {
namespace platform {

// Whether `node` is an element whose local name is `localName`.
bool HasLocalName(XMLNode node, std::wstring_view localName);

// Replaces `into` with what node.LocalName() gives, reusing its room.
void ReadLocalName(XMLNode node, std::wstring& into);

} // namespace platform
} // namespace ZVXML

#endif
