// What the schema file tests share: data files, a private temporary folder,
// and scopes that restore the working directory and the environment.
#ifndef ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H
#define ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H

#include <zvxml/zvxml.h>

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace zvtest {


inline std::string DataFolder(const std::string& relative) { return std::string(ZVXML_TEST_DATA_DIR) + "/" + relative; }
inline std::wstring DataFile(const std::string& relative) { return Widen(DataFolder(relative)); }

// A schema file's text: the ZVXML 2.0 root with the given attributes and
// children.
inline std::string SchemaText(const std::string& rootAttributes, const std::string& children)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n"
           "<ZVSchema xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' " +
           rootAttributes + ">\n" + children + "\n</ZVSchema>\n";
}

// The schema tests' folder: Write gives the wide path the readers take.
class TempFolder : public ScratchFolder {
public:
    TempFolder() {}
    std::wstring Write(const std::string& name, const std::string& text) const
    {
        return Widen(WriteFile(name, text));
    }
};



// Loads `text` into `document` and returns its first element.
inline ZVXML::XMLNode LoadElement(ZVXML::XMLDocument& document, const wchar_t* text)
{
    EXPECT_TRUE(document.LoadXML(text)) << ::testing::PrintToString(document.ParseError().reason);
    ZVXML::XMLNode node = document.FirstChild();
    while (node && node.NodeType() != ZVXML::XML_NODE_ELEMENT) {
        node = node.NextSibling();
    }
    return node;
}

} // namespace zvtest

#endif
