// Collects the library's log lines for a test's duration.
#ifndef ZVXML_TESTS_LOG_CAPTURE_H
#define ZVXML_TESTS_LOG_CAPTURE_H

#include <zvxml/zvxml.h>

#include <mutex>
#include <string>
#include <vector>

namespace zvtest {

struct LogLine {
    ZVXML::LOG_SEV severity;
    std::wstring category;
    std::wstring text;
};

class LogCapture {
public:
    LogCapture()
    {
        clear();
        m_previous = ZVXML::SetLoggingCallback(&Receive);
    }
    ~LogCapture() { ZVXML::SetLoggingCallback(m_previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogLine> lines() const
    {
        std::lock_guard<std::mutex> guard(Mutex());
        return Lines();
    }
    void clear()
    {
        std::lock_guard<std::mutex> guard(Mutex());
        Lines().clear();
    }
    // The lines of one category (and, when given, one severity).
    std::vector<std::wstring> texts(const std::wstring& category, int severity = 0) const
    {
        std::vector<std::wstring> out;
        for (const LogLine& line : lines()) {
            if (line.category == category && (severity == 0 || line.severity == severity)) {
                out.push_back(line.text);
            }
        }
        return out;
    }

private:
    static std::vector<LogLine>& Lines()
    {
        static std::vector<LogLine> lines;
        return lines;
    }
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static void Receive(ZVXML::LOG_SEV severity, const wchar_t* category, const wchar_t* text)
    {
        std::lock_guard<std::mutex> guard(Mutex());
        Lines().push_back(LogLine{severity, category, text});
    }
    ZVXML::LoggingCallback m_previous;
};

} // namespace zvtest

#endif
