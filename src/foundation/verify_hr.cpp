#include "foundation/verify_hr.h"

#include <zvxml/errors.h>

#include "foundation/utf8.h"
#include "foundation/wide_format.h"

#include <cstdio>
#include <cwchar>

namespace ZVXML {
namespace detail {

void FailCheckedCall(const char* file, int line, const wchar_t* callText)
{
    std::wstring message = L"Error at " + Utf8ToWide(file) + L" (" + FormatWide(L"%i", line) + L"): " +
                           (callText != nullptr ? callText : L"");
    // Respect the orientation the host gave standard output.
    if (std::fwide(stdout, 0) > 0) {
        std::fputws(message.c_str(), stdout);
    } else {
        std::string bytes = WideToUtf8(message);
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    std::fflush(stdout);
    throw ZVXMLRuntimeError(message, L"");
}

} // namespace detail
} // namespace ZVXML
