#include "foundation/wide_format.h"

#include <cwchar>
#include <vector>

namespace ZVXML {
namespace {
// vswprintf reports only "did not fit" (-1), not the size needed, so the
// buffer grows until the text fits. The cap stops a format that fails for
// another reason (an unconvertible narrow argument) from growing forever;
// such a text is delivered up to the point where it failed.
constexpr std::size_t kFirstBufferSize = 2048;
constexpr std::size_t kMaxBufferSize = std::size_t(1) << 22;
} // namespace

std::wstring VFormatWide(const wchar_t* format, std::va_list args)
{
    if (format == nullptr) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(kFirstBufferSize);
    for (;;) {
        std::va_list attempt;
        va_copy(attempt, args);
        buffer.back() = L'\0';
        int written = std::vswprintf(buffer.data(), buffer.size(), format, attempt);
        va_end(attempt);
        if (written >= 0) {
            return std::wstring(buffer.data(), static_cast<std::size_t>(written));
        }
        if (buffer.size() >= kMaxBufferSize) {
            buffer.back() = L'\0';
            return std::wstring(buffer.data());
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

std::wstring FormatWide(const wchar_t* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::wstring text = VFormatWide(format, args);
    va_end(args);
    return text;
}

} // namespace ZVXML
