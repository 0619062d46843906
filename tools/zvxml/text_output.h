// Writing the library's wide text to the terminal as UTF-8.
#ifndef ZVCLI_TEXT_OUTPUT_H
#define ZVCLI_TEXT_OUTPUT_H

#include <cstdio>
#include <string>

namespace zvcli {

// What has no UTF-8 form (a lone surrogate) is written as U+FFFD, so output
// never stops half-way.
void Print(std::FILE* stream, const std::wstring& text);
void PrintLine(std::FILE* stream, const std::wstring& text);

} // namespace zvcli

#endif
