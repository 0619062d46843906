// EncodeToValidXmlTag / DecodeFromValidXmlTag: no input crashes either, and
// decoding an encoded name gives the name back unless it held token text.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring raw = zvfuzz::RawWide(data, size);
    ZVXML::DecodeFromValidXmlTag(raw);
    std::wstring escaped;
    ZVXML::ConvertToXmlString(raw.c_str(), escaped);

    const std::wstring name = zvfuzz::WideText(data, size);
    if (name.find(L'\0') != std::wstring::npos) {
        return 0; // names are NUL-terminated texts
    }
    std::wstring encoded = name;
    ZVXML::EncodeToValidXmlTag(encoded);
    std::wstring decoded = encoded;
    ZVXML::DecodeFromValidXmlTag(decoded);
    if (name.find(L"__x") == std::wstring::npos && decoded != name) {
        std::abort(); // the encoding lost or changed something
    }
    // An encoded name is a valid name by the library's own rule.
    if (!encoded.empty() && ZVXML::CZVClass::ZVNameIsValid(encoded.c_str(), 0) != 1) {
        std::abort();
    }
    return 0;
}
