#include "text_output.h"

#include <zvxml/text.h>

namespace zvcli {

void Print(std::FILE* stream, const std::wstring& text)
{
    const std::string bytes = ZVXML::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

void PrintLine(std::FILE* stream, const std::wstring& text)
{
    Print(stream, text);
    std::fputc('\n', stream);
}

} // namespace zvcli
