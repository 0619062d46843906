#include "stdout_stream.h"

#include "output.h"

#include <string_view>

namespace zvcli {

StdoutBuffer::int_type StdoutBuffer::overflow(int_type c)
{
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        const char one = traits_type::to_char_type(c);
        WriteOut(std::string_view(&one, 1));
    }
    return traits_type::not_eof(c);
}

std::streamsize StdoutBuffer::xsputn(const char* text, std::streamsize size)
{
    WriteOut(std::string_view(text, static_cast<std::size_t>(size)));
    return size;
}

int StdoutBuffer::sync()
{
    FlushOut();
    return 0;
}

StdoutStream::StdoutStream() : std::ostream(nullptr)
{
    rdbuf(&m_buffer);
    exceptions(std::ios::badbit);
}

} // namespace zvcli
