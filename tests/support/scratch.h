// Scratch space for tests: a private folder, files in it, and scopes that
// restore an environment variable or the working directory.
#ifndef ZVXML_TESTS_SCRATCH_H
#define ZVXML_TESTS_SCRATCH_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace zvtest {

// Test paths and the texts built from them are ASCII.
inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A new folder under the temporary folder, removed with everything in it
// (folders a test locked are unlocked first).
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zvxml-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary folder";
        }
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(m_path, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored)) {
            if (it->is_directory(ignored)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::filesystem::path Path(const std::string& name) const { return std::filesystem::path(m_path) / name; }
    std::string operator/(const std::string& name) const { return Path(name).string(); }
    std::wstring WidePath(const std::string& name) const { return Widen(Path(name).string()); }
    // A folder inside, created when missing.
    std::string Folder(const std::string& name) const
    {
        std::filesystem::create_directories(Path(name));
        return Path(name).string();
    }
    // Writes `bytes` to `name` in the folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name).string();
    }
    std::wstring Write(const std::string& name, const std::string& bytes) const
    {
        return Widen(WriteFile(name, bytes));
    }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};

// Sets (or, with nullptr, removes) an environment variable for its lifetime.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* saved = std::getenv(name)) {
            m_saved = saved;
        }
        Set(value);
    }
    ~EnvironmentVariable() { Set(m_saved ? m_saved->c_str() : nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    void Set(const char* value) { value != nullptr ? setenv(m_name.c_str(), value, 1) : unsetenv(m_name.c_str()); }
    std::string m_name;
    std::optional<std::string> m_saved;
};

// Changes the working directory for its lifetime.
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

} // namespace zvtest

#endif
