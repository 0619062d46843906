// ParseVersionString: any text either parses or throws the documented
// exception; a parsed version formats back into text that parses the same.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = zvfuzz::WideText(data, size);
    unsigned long major = 0;
    unsigned long minor = 0;
    try {
        ZVXML::CZVSchema::ParseVersionString(text.c_str(), &major, &minor);
    } catch (const ZVXML::ZVXMLException&) {
        return 0;
    }
    std::wstring formatted;
    ZVXML::CZVSchema::FormatVersionString(formatted, major, minor);
    unsigned long majorAgain = 0;
    unsigned long minorAgain = 0;
    try {
        ZVXML::CZVSchema::ParseVersionString(formatted.c_str(), &majorAgain, &minorAgain);
    } catch (const ZVXML::ZVXMLException&) {
        std::abort(); // what was read must be writable
    }
    if (majorAgain != major || minorAgain != minor) {
        std::abort();
    }
    return 0;
}
