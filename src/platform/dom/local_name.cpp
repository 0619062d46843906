#include "platform/dom/local_name.h"

#include "platform/dom/node_position.h"
#include "platform/libxml_resources.h"

#include <cstring>

namespace ZVXML {
namespace platform {

bool HasLocalName(XMLNode node, std::wstring_view localName)
{
    const xmlNodePtr element = XMLNode::Access::Node(node);
    if (element == nullptr || element->type != XML_ELEMENT_NODE || element->name == nullptr) {
        return false;
    }
    if constexpr (sizeof(wchar_t) < 4) { // characters may take two units: compare the whole name
        return node.LocalName() == localName;
    }
    const unsigned char* at = element->name;
    const std::size_t size = std::strlen(AsChars(at));
    std::size_t in = 0;
    for (const wchar_t expected : localName) {
        if (in == size) {
            return false;
        }
        char32_t found;
        in += DecodeUtf8Char(at + in, size - in, found);
        if (static_cast<wchar_t>(found) != expected) {
            return false;
        }
    }
    return in == size;
}

void ReadLocalName(XMLNode node, std::wstring& into)
{
    const xmlNodePtr element = XMLNode::Access::Node(node);
    if (element == nullptr || element->type != XML_ELEMENT_NODE) {
        into = node.LocalName();
        return;
    }
    into.clear();
    AppendWide(element->name, into);
}

} // namespace platform
} // namespace ZVXML
