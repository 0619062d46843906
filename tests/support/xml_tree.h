// Walking a document tree in tests: element children, plain attributes.
#ifndef ZVXML_TESTS_XML_TREE_H
#define ZVXML_TESTS_XML_TREE_H

#include <zvxml/dom.h>

#include <string>
#include <utility>
#include <vector>

namespace zvtest {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// The element children of `node`, in order.
inline std::vector<ZVXML::XMLNode> Elements(ZVXML::XMLNode node)
{
    std::vector<ZVXML::XMLNode> elements;
    for (ZVXML::XMLNode child = node.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() == ZVXML::XML_NODE_ELEMENT) {
            elements.push_back(child);
        }
    }
    return elements;
}

// The first element among the document's top-level nodes.
inline ZVXML::XMLNode FirstElement(const ZVXML::XMLDocument& document)
{
    ZVXML::XMLNode node = document.FirstChild();
    while (node && node.NodeType() != ZVXML::XML_NODE_ELEMENT) {
        node = node.NextSibling();
    }
    return node;
}

// The attributes that are not namespace declarations, in document order.
inline Attributes PlainAttributes(ZVXML::XMLNode element)
{
    Attributes attributes;
    for (const ZVXML::XMLAttribute& attribute : element.Attributes()) {
        if (attribute.name != L"xmlns" && attribute.name.rfind(L"xmlns:", 0) != 0) {
            attributes.emplace_back(attribute.name, attribute.value);
        }
    }
    return attributes;
}

inline std::wstring Attribute(ZVXML::XMLNode element, const std::wstring& name)
{
    for (const ZVXML::XMLAttribute& attribute : element.Attributes()) {
        if (attribute.name == name) {
            return attribute.value;
        }
    }
    return L"<absent>";
}

} // namespace zvtest

#endif
