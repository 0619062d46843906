#include "instancexml/com_error_message.h"

#include "foundation/wide_format.h"

#include <cstdint>

namespace ZVXML {
namespace {

constexpr std::uint32_t kFirstDispatchError = 0x80040200u;
constexpr std::uint32_t kLastDispatchError = 0x8004FFFFu;

void AppendPart(std::wstring& message, const std::wstring& part)
{
    if (!part.empty()) {
        message += part;
        message += L". ";
    }
}

} // namespace

std::wstring ResultCodeMessage(long code)
{
    const auto result = static_cast<std::uint32_t>(code);
    if (result == static_cast<std::uint32_t>(platform::kSaxUnspecifiedError)) {
        return L"Unspecified error";
    }
    const std::uint32_t low = result & 0xFFFFu;
    if (result >= kFirstDispatchError && result <= kLastDispatchError && low != 0x200u) {
        return FormatWide(L"IDispatch error #%d", static_cast<int>(low) - 0x200);
    }
    return FormatWide(L"Unknown error 0x%0lX", static_cast<unsigned long>(result));
}

std::wstring ComErrorMessage(const platform::SaxPlatformError& error)
{
    std::wstring message = L"ParseZVInstanceXML: COM Error: ";
    AppendPart(message, ResultCodeMessage(error.code));
    AppendPart(message, error.description);
    AppendPart(message, error.source);
    return message;
}

} // namespace ZVXML
