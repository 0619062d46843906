// The library's log lines on standard error (--log-level), and collected for
// reports.
#ifndef ZVCLI_LOG_OUTPUT_H
#define ZVCLI_LOG_OUTPUT_H

#include <zvxml/errors.h>

#include <string>
#include <vector>

namespace zvcli {

struct CollectedLine {
    ZVXML::LOG_SEV severity;
    std::wstring text;
};

// Parses "error", "warning", "info" or "trace"; "" means no output. Throws
// UsageError for anything else.
int ParseLogLevel(const std::string& level);
const wchar_t* SeverityName(ZVXML::LOG_SEV severity);

// Installs the program's logging callback: lines at `printThreshold` or more
// severe go to standard error (0: none), lines at `collectThreshold` or more
// severe are kept for Collected() (0: none).
void StartLogging(int printThreshold, int collectThreshold);
const std::vector<CollectedLine>& Collected();

} // namespace zvcli

#endif
