// What the schema file tests share: data files, schema file texts, and
// documents loaded from a text or from a file the writer made.
#ifndef ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H
#define ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H

#include <zvxml/zvxml.h>

#include "support/scratch.h"
#include "support/xml_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Loads `text` into `document` and returns its first element.
inline ZVXML::XMLNode LoadElement(ZVXML::XMLDocument& document, const std::wstring& text)
{
    EXPECT_TRUE(document.LoadXML(text.c_str())) << ::testing::PrintToString(document.ParseError().reason);
    return FirstElement(document);
}

// Whether `message` is the error the checked-call rule throws for `callText`.
inline bool IsCheckedCallError(const std::wstring& message, const std::wstring& callText)
{
    const std::wstring end = L"): " + callText;
    return message.rfind(L"Error at ", 0) == 0 && message.size() > end.size() &&
           message.compare(message.size() - end.size(), end.size(), end) == 0;
}

// The texts of an array of primitive values (none for anything else).
inline std::vector<std::wstring> Texts(ZVXML::ZVValueBase* value)
{
    std::vector<std::wstring> texts;
    auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(value);
    for (std::size_t i = 0; array != nullptr && i < array->GetLength(); ++i) {
        texts.push_back(dynamic_cast<ZVXML::CZVValue&>(*array->GetValue(i)).GetValue());
    }
    return texts;
}

// A file the writer made, loaded.
class WrittenFile {
public:
    explicit WrittenFile(const std::wstring& path)
    {
        EXPECT_TRUE(m_document.Load(path.c_str())) << ::testing::PrintToString(path);
    }
    ZVXML::XMLNode Root() const { return FirstElement(m_document); }

private:
    ZVXML::XMLDocument m_document;
};

} // namespace zvtest

#endif
