// ParseZVClassName: any text splits at its first ":" (or throws the
// documented error for a leading one), and the parts join back to it.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text = zvfuzz::WideText(data, size);
    text = text.substr(0, text.find(L'\0'));
    std::wstring prefix;
    std::wstring className;
    try {
        ZVXML::CZVSchema::ParseZVClassName(text.c_str(), prefix, className);
    } catch (const ZVXML::ZVXMLFormatError&) {
        if (text.empty() || text[0] != L':') {
            std::abort();
        }
        return 0;
    }
    const std::wstring joined = prefix.empty() ? className : prefix + L":" + className;
    if (joined != text || prefix.find(L':') != std::wstring::npos) {
        std::abort();
    }
    ZVXML::CZVClass::ZVNameIsValid(className.c_str(), 0);
    return 0;
}
