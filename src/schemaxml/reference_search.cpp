#include "schemaxml/reference_search.h"

#include "foundation/file_name.h"
#include "foundation/utf8.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ZVXML {
namespace {

namespace fs = std::filesystem;

// Unreadable (removed, say) counts as no current directory.
std::wstring CurrentDirectory()
{
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::wstring() : Utf8ToWide(current.string());
}

std::wstring Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? Utf8ToWide(value) : std::wstring();
}

void AppendFolders(const std::wstring& list, std::vector<std::wstring>& folders)
{
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find_first_of(L";:", start);
        if (end == std::wstring::npos) {
            end = list.size();
        }
        if (end > start) {
            folders.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
}

bool IsFile(const std::wstring& path)
{
    if (!FileNameProblem(path).empty()) {
        return false; // no file has that name
    }
    std::error_code error;
    const fs::file_status status = fs::status(WideToUtf8(path), error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

} // namespace

ReferenceSearchList BuildReferenceSearchList(const std::wstring& searchPath)
{
    ReferenceSearchList list;
    const std::wstring current = CurrentDirectory();
    if (!current.empty()) {
        // Taken whole: a directory name may itself hold ";" or ":".
        list.folders.push_back(current);
        list.text = current;
    }
    const std::wstring environment = Environment("ZVSCHEMA_PATH");
    if (!environment.empty()) {
        AppendFolders(environment, list.folders);
        list.text += (current.empty() ? L"" : L";") + environment;
    }
    if (!searchPath.empty()) {
        AppendFolders(searchPath, list.folders);
        list.text += L";" + searchPath;
    }
    return list;
}

std::wstring FindInFolders(const std::vector<std::wstring>& folders, const std::wstring& fileName)
{
    for (const std::wstring& folder : folders) {
        std::wstring path = folder;
        if (path.back() != L'/') {
            path.push_back(L'/');
        }
        path += fileName;
        if (IsFile(path)) {
            return path;
        }
    }
    return std::wstring();
}

} // namespace ZVXML
