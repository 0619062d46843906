// Standard output as a std::ostream, for the library's instance document
// writer: every write goes through WriteOut, so a failed write throws
// OutputFailure out of the stream as it does everywhere else.
#ifndef ZVCLI_STDOUT_STREAM_H
#define ZVCLI_STDOUT_STREAM_H

#include <ostream>
#include <streambuf>

namespace zvcli {

class StdoutBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int sync() override;
};

// The stream rethrows what the buffer throws (badbit is in its exception
// mask).
class StdoutStream : public std::ostream {
public:
    StdoutStream();

private:
    StdoutBuffer m_buffer;
};

} // namespace zvcli

#endif
