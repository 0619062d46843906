// Helpers shared by the document tree tests.
#ifndef ZVXML_TESTS_PLATFORM_DOM_TEST_SUPPORT_H
#define ZVXML_TESTS_PLATFORM_DOM_TEST_SUPPORT_H

#include <zvxml/dom.h>

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace zvtest {

// The document tests' folder.
class TempFolder : public ScratchFolder {
public:
    TempFolder() {}
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Whatever is written to file descriptor 2 while it lives.
class StderrCapture {
public:
    StderrCapture() : m_saved(::dup(2)), m_file(std::tmpfile())
    {
        std::fflush(stderr);
        ::dup2(fileno(m_file), 2);
    }
    ~StderrCapture() { Finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Finish()
    {
        if (m_file == nullptr) {
            return m_text;
        }
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        std::rewind(m_file);
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, m_file)) > 0;) {
            m_text.append(chunk, got);
        }
        std::fclose(m_file);
        m_file = nullptr;
        return m_text;
    }

private:
    int m_saved;
    std::FILE* m_file;
    std::string m_text;
};

// One line per node of the subtree, with its type, names, namespace,
// attributes and text: two trees with the same description read the same.
inline void Describe(ZVXML::XMLNode node, std::wstring& out, int depth = 0)
{
    for (; node; node = node.NextSibling()) {
        out.append(static_cast<std::size_t>(depth) * 2, L' ');
        out += std::to_wstring(node.NodeType()) + L" " + node.NodeName() + L" local=" + node.LocalName() +
               L" ns=" + node.NamespaceURI();
        for (const ZVXML::XMLAttribute& attribute : node.Attributes()) {
            out += L" " + attribute.name + L"=\"" + attribute.value + L"\"";
        }
        if (node.NodeType() != ZVXML::XML_NODE_ELEMENT) {
            out += L" text=\"" + node.Text() + L"\"";
        }
        out += L"\n";
        Describe(node.FirstChild(), out, depth + 1);
    }
}

inline std::wstring Describe(const ZVXML::XMLDocument& document)
{
    std::wstring out;
    Describe(document.FirstChild(), out);
    return out;
}

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

} // namespace zvtest

#endif
