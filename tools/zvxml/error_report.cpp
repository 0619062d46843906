#include "error_report.h"

#include "output.h"

#include <zvxml/text.h>

namespace zvcli {

const char* const kStandardInput = "/dev/stdin";
const wchar_t* const kStandardInputName = L"<stdin>";

std::wstring PlacePrefix(const ZVXML::ReadPosition& where)
{
    if (where.file.empty()) {
        return L"zvxml";
    }
    std::wstring prefix = where.file == ZVXML::ToWString(kStandardInput) ? kStandardInputName : where.file;
    if (where.line > 0) {
        prefix += L":" + std::to_wstring(where.line);
        if (where.column > 0) {
            prefix += L":" + std::to_wstring(where.column);
        }
    }
    return prefix;
}

void ReportLibraryError(const ZVXML::ZVXMLException& error)
{
    std::wstring text =
        PlacePrefix(ZVXML::ReadPosition{error.File(), error.Line(), error.Column()}) + L": " + error.Message();
    if (*error.Location() != L'\0') {
        text += std::wstring(L" (") + error.Location() + L")";
    }
    PrintErr(text);
}

void ReportProgramError(const ProgramError& error)
{
    PrintErr(PlacePrefix(ZVXML::ReadPosition{error.file, 0, 0}) + L": " + error.message);
}

void ReportUsageError(const std::string& message, const std::string& commandPath)
{
    PrintErr(L"zvxml: " + ZVXML::ToWString(message));
    PrintErr(L"Try '" + ZVXML::ToWString(commandPath) + L" --help' for more information.");
}

} // namespace zvcli
