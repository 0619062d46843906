// Whatever is written to file descriptor 2 while it lives, for tests that
// prove the library (and libxml2 under it) prints nothing there.
#ifndef ZVXML_TESTS_STDERR_CAPTURE_H
#define ZVXML_TESTS_STDERR_CAPTURE_H

#include <cstdio>
#include <string>
#include <unistd.h>

namespace zvtest {

class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture() { Finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture and returns what was written.
    std::string Finish()
    {
        if (m_file != nullptr) {
            std::fflush(stderr);
            ::dup2(m_saved, 2);
            ::close(m_saved);
            std::rewind(m_file);
            for (int c; (c = std::fgetc(m_file)) != EOF;) {
                m_text.push_back(static_cast<char>(c));
            }
            std::fclose(m_file);
            m_file = nullptr;
        }
        return m_text;
    }

private:
    std::FILE* m_file;
    int m_saved;
    std::string m_text;
};

} // namespace zvtest

#endif
