#include "foundation/mbs_to_wcs.h"

#include "foundation/utf8.h"

#include <cstring>
#include <string>

namespace ZVXML {

int stringCnv_mbsToWcs(const char* text, wchar_t* buffer, int capacity)
{
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    std::wstring wide;
    if (text != nullptr) {
        AppendUtf8AsWide(text, std::strlen(text), wide);
    }
    std::size_t count = wide.size();
    if (count > static_cast<std::size_t>(capacity - 1)) {
        count = static_cast<std::size_t>(capacity - 1);
    }
    wide.copy(buffer, count);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

} // namespace ZVXML
