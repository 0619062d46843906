// Collects what is written to standard output while it lives. The file
// descriptor itself is redirected into a temporary file, so output through
// stdio, iostreams or write(2) is caught alike, and nothing reaches the test
// log.
#ifndef ZVXML_TESTS_STDOUT_CAPTURE_H
#define ZVXML_TESTS_STDOUT_CAPTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace zvtest {

class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_file = std::tmpfile();
        m_saved = ::dup(STDOUT_FILENO);
        if (m_file == nullptr || m_saved < 0 || ::dup2(::fileno(m_file), STDOUT_FILENO) < 0) {
            ADD_FAILURE() << "standard output cannot be captured";
            Restore();
        }
    }
    ~StdoutCapture()
    {
        Restore();
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture and returns what was written.
    std::string Text()
    {
        Restore();
        std::string text;
        if (m_file == nullptr) {
            return text;
        }
        std::rewind(m_file);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;) {
            text.append(buffer, got);
        }
        return text;
    }

private:
    void Restore()
    {
        if (m_saved >= 0) {
            std::fflush(stdout);
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
    }

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

} // namespace zvtest

#endif
