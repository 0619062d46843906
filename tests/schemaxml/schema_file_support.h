// What the schema file tests share: data files, a private temporary folder,
// and scopes that restore the working directory and the environment.
#ifndef ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H
#define ZVXML_TESTS_SCHEMAXML_SCHEMA_FILE_SUPPORT_H

#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace zvtest {

// Test paths are ASCII.
inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

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

// A folder of its own under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-schemaxml-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary folder";
        }
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string Folder(const std::string& name) const
    {
        std::filesystem::create_directories(m_path + "/" + name);
        return m_path + "/" + name;
    }
    // Writes `text` (UTF-8) to `name` in the folder; returns the wide path.
    std::wstring Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_path + "/" + name, std::ios::binary) << text;
        return Widen(m_path + "/" + name);
    }

private:
    std::string m_path;
};

class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path) : m_saved(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(m_saved); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path m_saved;
};

// Sets (or, with nullptr, removes) an environment variable for its lifetime.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* saved = std::getenv(name)) {
            m_saved = saved;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~EnvironmentVariable()
    {
        if (m_saved) {
            setenv(m_name.c_str(), m_saved->c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_saved;
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
