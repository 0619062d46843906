// Writing the library's wide text to the terminal as UTF-8.
#ifndef ZVCLI_TEXT_OUTPUT_H
#define ZVCLI_TEXT_OUTPUT_H

#include <cstdio>
#include <string>

namespace zvcli {

// Appends the UTF-8 form of one character (a value up to U+10FFFF).
void AppendUtf8(unsigned long character, std::string& out);
// UTF-8 of wide text; what has no UTF-8 form (a lone surrogate) becomes
// U+FFFD, so output never stops half-way.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

void Print(std::FILE* stream, const std::wstring& text);
void PrintLine(std::FILE* stream, const std::wstring& text);

} // namespace zvcli

#endif
