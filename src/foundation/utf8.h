// Conversion between UTF-8 (files, libxml2) and wide text (the API).
#ifndef ZVXML_FOUNDATION_UTF8_H
#define ZVXML_FOUNDATION_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

namespace ZVXML {

// Appends the characters of `size` bytes of UTF-8. Each maximal invalid
// sequence (stray or missing continuation bytes, overlong forms, encoded
// surrogates, values above U+10FFFF) becomes one U+FFFD; nothing is dropped
// silently and nothing is read outside the range.
void AppendUtf8AsWide(const char* text, std::size_t size, std::wstring& out);
std::wstring Utf8ToWide(std::string_view text);
// For NUL-terminated text; NULL gives "".
std::wstring Utf8ToWide(const char* text);

// Appends the UTF-8 form of `size` wide characters. Characters that have no
// UTF-8 form (lone surrogates, values above U+10FFFF) become U+FFFD; a high
// and a low surrogate next to each other are joined into one character.
void AppendWideAsUtf8(const wchar_t* text, std::size_t size, std::string& out);
std::string WideToUtf8(std::wstring_view text);

} // namespace ZVXML

#endif
