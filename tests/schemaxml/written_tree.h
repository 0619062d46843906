// Helpers for checking what the schema writer produced, through the
// document tree rather than by comparing whole file texts.
#ifndef ZVXML_TESTS_SCHEMAXML_WRITTEN_TREE_H
#define ZVXML_TESTS_SCHEMAXML_WRITTEN_TREE_H

#include <zvxml/zvxml.h>

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zvtest {


inline std::vector<ZVXML::XMLNode> ChildElements(ZVXML::XMLNode node)
{
    std::vector<ZVXML::XMLNode> elements;
    for (ZVXML::XMLNode child = node.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() == ZVXML::XML_NODE_ELEMENT) {
            elements.push_back(child);
        }
    }
    return elements;
}

inline std::vector<std::wstring> LocalNames(const std::vector<ZVXML::XMLNode>& nodes)
{
    std::vector<std::wstring> names;
    for (const ZVXML::XMLNode& node : nodes) {
        names.push_back(node.LocalName());
    }
    return names;
}

// The attributes that are not namespace declarations, in document order.
inline std::vector<std::pair<std::wstring, std::wstring>> PlainAttributes(ZVXML::XMLNode element)
{
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    for (const ZVXML::XMLAttribute& attribute : element.Attributes()) {
        if (attribute.name != L"xmlns" && attribute.name.rfind(L"xmlns:", 0) != 0) {
            attributes.emplace_back(attribute.name, attribute.value);
        }
    }
    return attributes;
}

inline std::vector<std::wstring> AttributeNames(ZVXML::XMLNode element)
{
    std::vector<std::wstring> names;
    for (const auto& attribute : PlainAttributes(element)) {
        names.push_back(attribute.first);
    }
    return names;
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

// Loads a written file and returns its "ZVSchema" element.
class WrittenFile {
public:
    explicit WrittenFile(const std::wstring& path)
    {
        EXPECT_TRUE(m_document.Load(path.c_str())) << std::string(path.begin(), path.end());
        for (ZVXML::XMLNode node = m_document.FirstChild(); node; node = node.NextSibling()) {
            if (node.LocalName() == L"ZVSchema") {
                m_root = node;
            }
        }
    }
    ZVXML::XMLNode Root() const { return m_root; }
    std::vector<ZVXML::XMLNode> Children() const { return ChildElements(m_root); }

private:
    ZVXML::XMLDocument m_document;
    ZVXML::XMLNode m_root;
};

} // namespace zvtest

#endif
