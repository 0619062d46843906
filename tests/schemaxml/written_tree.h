// Helpers for checking what the schema writer produced, through the
// document tree rather than by comparing whole file texts.
#ifndef ZVXML_TESTS_SCHEMAXML_WRITTEN_TREE_H
#define ZVXML_TESTS_SCHEMAXML_WRITTEN_TREE_H

#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zvtest {

// A fresh folder in the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-test-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~ScratchFolder()
    {
        // Tests lock folders; unlock every one so everything can go.
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path Path(const std::string& name) const { return m_path / name; }
    std::wstring WidePath(const std::string& name) const { return Path(name).wstring(); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path m_path;
};

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
