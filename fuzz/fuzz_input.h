// Turning a fuzzer's bytes into the inputs the library takes.
#ifndef ZVXML_FUZZ_FUZZ_INPUT_H
#define ZVXML_FUZZ_FUZZ_INPUT_H

#include "foundation/utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zvfuzz {

// Valid Unicode text (UTF-8 decoding never yields surrogates or values above
// U+10FFFF; invalid bytes become U+FFFD).
inline std::wstring WideText(const std::uint8_t* data, std::size_t size)
{
    return ZVXML::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
}

// Any wchar_t values at all, four bytes each: what a careless host could pass.
inline std::wstring RawWide(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        std::uint32_t unit = std::uint32_t(data[i]) | (std::uint32_t(data[i + 1]) << 8) |
                             (std::uint32_t(data[i + 2]) << 16) | (std::uint32_t(data[i + 3]) << 24);
        text.push_back(static_cast<wchar_t>(unit & 0x7FFFFFFF));
    }
    return text;
}

} // namespace zvfuzz

#endif
