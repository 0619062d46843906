#include <zvxml/errors.h>
#include <zvxml/ids.h>

#include "foundation/utf8.h"

#include <filesystem>
#include <system_error>

namespace ZVXML {

void CreateTempFileName(const wchar_t* suffix, std::wstring& result)
{
    if (suffix == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL suffix into CreateTempFileName", L"");
    }
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    std::string folderText = error ? std::string("/tmp") : folder.native();
    while (folderText.size() > 1 && folderText.back() == '/') {
        folderText.pop_back();
    }
    std::wstring name = Utf8ToWide(folderText);
    if (name != L"/") {
        name.push_back(L'/');
    }
    name.append(CreateGuid());
    name.append(suffix);
    result.swap(name);
}

} // namespace ZVXML
