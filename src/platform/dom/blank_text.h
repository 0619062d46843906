// Removal of the text nodes that only indent a document.
#ifndef ZVXML_PLATFORM_DOM_BLANK_TEXT_H
#define ZVXML_PLATFORM_DOM_BLANK_TEXT_H

#include <libxml/tree.h>

namespace ZVXML {
namespace platform {

// Removes (and frees) every text node under `root` made only of spaces,
// tabs, carriage returns and line feeds, so that an indented document loads
// as the same tree as a compact one and readers never meet the indentation.
// CDATA sections are kept whatever they hold. Works without recursion, so
// any depth is fine.
void RemoveBlankTextNodes(xmlNodePtr root);

} // namespace platform
} // namespace ZVXML

#endif
