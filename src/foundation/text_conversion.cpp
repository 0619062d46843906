// The public conversions between UTF-8 and wide text.
#include <zvxml/text.h>

#include "foundation/mbs_to_wcs.h"
#include "foundation/utf8.h"

#include <climits>
#include <cstring>
#include <vector>

namespace ZVXML {

std::wstring ToWString(const char* text)
{
    if (text == nullptr || *text == '\0') {
        return std::wstring();
    }
    const std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(INT_MAX)) {
        return Utf8ToWide(text); // beyond what the 32-bit capacity can express
    }
    // UTF-8 never yields more characters than bytes.
    std::vector<wchar_t> buffer(length + 1);
    stringCnv_mbsToWcs(text, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data());
}

std::wstring ToWString(std::string_view text) { return Utf8ToWide(text); }

std::string ToUtf8(const wchar_t* text)
{
    if (text == nullptr) {
        return std::string();
    }
    return WideToUtf8(text);
}

std::string ToUtf8(std::wstring_view text) { return WideToUtf8(text); }

} // namespace ZVXML
