#include "output.h"

#include <zvxml/text.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zvcli {

void WriteOut(std::string_view bytes)
{
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::ferror(stdout)) {
        throw OutputFailure{errno != 0 ? errno : EIO};
    }
}

void PrintOut(const std::wstring& text)
{
    std::string line = ZVXML::ToUtf8(text);
    line.push_back('\n');
    WriteOut(line);
}

void FlushOut()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        throw OutputFailure{errno != 0 ? errno : EIO};
    }
}

void PrintErr(const std::wstring& text)
{
    std::string line = ZVXML::ToUtf8(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

QuietStdout::QuietStdout()
{
    FlushOut();
    m_saved = dup(STDOUT_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_saved >= 0 && nowhere >= 0) {
        dup2(nowhere, STDOUT_FILENO);
    }
    if (nowhere >= 0) {
        close(nowhere);
    }
}

QuietStdout::~QuietStdout()
{
    std::fflush(stdout);
    std::clearerr(stdout);
    if (m_saved >= 0) {
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
    }
}

} // namespace zvcli
