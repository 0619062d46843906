// Standard output, written with every write checked.
//
// Results go to standard output a line at a time. A write that fails
// throws OutputFailure at once, so a full disk ends a long run at its first
// failed write rather than after reading the whole input; a reader that
// went away (`zvxml ... | head`) ends the program quietly.
#ifndef ZVCLI_OUTPUT_H
#define ZVCLI_OUTPUT_H

#include <string>
#include <string_view>

namespace zvcli {

// A write to standard output failed; `error` is the errno value.
struct OutputFailure {
    int error;
};

// Writes `bytes` to standard output; throws OutputFailure.
void WriteOut(std::string_view bytes);
// Writes `text` as UTF-8 and a line feed to standard output; throws
// OutputFailure. What has no UTF-8 form (a lone surrogate) becomes U+FFFD.
void PrintOut(const std::wstring& text);
// Flushes standard output; throws OutputFailure.
void FlushOut();

// Writes `text` as UTF-8 and a line feed to standard error; failures there
// are not reported (there is nowhere left to report them).
void PrintErr(const std::wstring& text);

// While it lives, what the library prints to standard output (the message
// of a failed checked call, which its exception carries as well) goes
// nowhere, so standard output holds results only.
class QuietStdout {
public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved;
};

} // namespace zvcli

#endif
