// printf-style formatting into a std::wstring of any length.
#ifndef ZVXML_FOUNDATION_WIDE_FORMAT_H
#define ZVXML_FOUNDATION_WIDE_FORMAT_H

#include <cstdarg>
#include <string>

namespace ZVXML {

// Wide strings need "%ls" (glibc reads "%s" as a narrow string). Meant for
// integers and strings; the result is never cut short.
std::wstring FormatWide(const wchar_t* format, ...);
std::wstring VFormatWide(const wchar_t* format, std::va_list args);

} // namespace ZVXML

#endif
