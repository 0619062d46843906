#include "schema_loading.h"

#include <zvxml/text.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zvcli {

StdoutToStderr::StdoutToStderr() : m_exceptions(std::uncaught_exceptions())
{
    std::fflush(stdout);
    m_saved = dup(STDOUT_FILENO);
    if (m_saved >= 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
    }
}

StdoutToStderr::~StdoutToStderr()
{
    std::fflush(stdout);
    if (m_saved >= 0) {
        if (std::uncaught_exceptions() > m_exceptions) {
            std::fputc('\n', stderr); // ends the library's message, if it wrote one
        }
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }
}

void RequireReadableFile(const std::string& path)
{
    std::ifstream probe(path);
    if (!probe || std::filesystem::is_directory(path)) {
        const int error = std::filesystem::is_directory(path) ? EISDIR : errno;
        throw ProgramError{L"cannot read '" + ZVXML::ToWString(path) + L"': " + ZVXML::ToWString(std::strerror(error))};
    }
}

LoadedSchema LoadSchemaFile(const std::string& path, const std::vector<std::string>& folders)
{
    RequireReadableFile(path);
    std::error_code ignored;
    std::filesystem::path own = std::filesystem::absolute(path, ignored).parent_path();
    std::wstring searchPath = ZVXML::ToWString(own.string());
    for (const std::string& folder : folders) {
        searchPath += L";" + ZVXML::ToWString(folder);
    }
    // The names are placeholders that the file replaces; a file without
    // them is refused.
    LoadedSchema loaded{std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", nullptr), 0};
    loaded.schema->SetReferenceSearchPath(searchPath.c_str());
    const std::wstring widePath = ZVXML::ToWString(path);
    {
        StdoutToStderr keepOutputClean;
        loaded.result = loaded.schema->ReadXML(widePath.c_str());
    }
    return loaded;
}

} // namespace zvcli
