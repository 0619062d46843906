// Recognises a new GUID's text inside a longer text.
#ifndef ZVXML_TESTS_GUID_TEXT_H
#define ZVXML_TESTS_GUID_TEXT_H

#include <string>

namespace zvtest {

// Whether `text` is `start`, then a GUID's text (lower-case hex digits in
// groups of 8-4-4-4-12), then `end`.
inline bool WithGuid(const std::wstring& text, const std::wstring& start = L"", const std::wstring& end = L"")
{
    const std::size_t size = 36;
    if (text.size() != start.size() + size + end.size() || text.compare(0, start.size(), start) != 0 ||
        text.compare(start.size() + size, std::wstring::npos, end) != 0) {
        return false;
    }
    for (std::size_t i = 0; i < size; ++i) {
        const wchar_t c = text[start.size() + i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != L'-' : !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) {
            return false;
        }
    }
    return true;
}

} // namespace zvtest

#endif
