// What the document tree tests share: a description of a whole tree.
#ifndef ZVXML_TESTS_PLATFORM_DOM_TEST_SUPPORT_H
#define ZVXML_TESTS_PLATFORM_DOM_TEST_SUPPORT_H

#include <zvxml/dom.h>

#include "support/scratch.h"
#include "support/xml_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace zvtest {

// One line per node of the subtree, with its type, names, namespace,
// attributes and text: two trees with the same description read the same.
inline void Describe(ZVXML::XMLNode node, std::wstring& out, int depth = 0)
{
    for (; node; node = node.NextSibling()) {
        out += std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + std::to_wstring(node.NodeType()) + L" " +
               node.NodeName() + L" local=" + node.LocalName() + L" ns=" + node.NamespaceURI();
        for (const ZVXML::XMLAttribute& attribute : node.Attributes()) {
            out += L" " + attribute.name + L"=\"" + attribute.value + L"\"";
        }
        out += node.NodeType() != ZVXML::XML_NODE_ELEMENT ? L" text=\"" + node.Text() + L"\"\n" : L"\n";
        Describe(node.FirstChild(), out, depth + 1);
    }
}

inline std::wstring Describe(const ZVXML::XMLDocument& document)
{
    std::wstring out;
    Describe(document.FirstChild(), out);
    return out;
}

} // namespace zvtest

#endif
