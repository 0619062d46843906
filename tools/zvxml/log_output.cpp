#include "log_output.h"

#include "command_line.h"
#include "text_output.h"

#include <cstdio>

namespace zvcli {
namespace {

int g_printThreshold = 0;
int g_collectThreshold = 0;
std::vector<CollectedLine> g_collected;

bool AtLeast(ZVXML::LOG_SEV severity, int threshold)
{
    return threshold != 0 && static_cast<int>(severity) >= threshold;
}

void OnLogLine(ZVXML::LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    if (AtLeast(severity, g_printThreshold)) {
        PrintLine(stderr, std::wstring(L"zvxml: [") + SeverityName(severity) + L" " + category + L"] " + text);
    }
    // Exceptions are reported as such; only the library's own lines count.
    if (AtLeast(severity, g_collectThreshold) && std::wstring(category) == L"ZVXML") {
        g_collected.push_back(CollectedLine{severity, text});
    }
}

} // namespace

int ParseLogLevel(const std::string& level)
{
    if (level.empty())
        return 0;
    if (level == "error")
        return ZVXML::LOG_SEV_ERROR;
    if (level == "warning")
        return ZVXML::LOG_SEV_WARNING;
    if (level == "info")
        return ZVXML::LOG_SEV_INFO;
    if (level == "trace")
        return ZVXML::LOG_SEV_TRACE;
    throw UsageError{"unknown log level '" + level + "' (error, warning, info or trace)"};
}

const wchar_t* SeverityName(ZVXML::LOG_SEV severity)
{
    switch (severity) {
    case ZVXML::LOG_SEV_ERROR:
        return L"error";
    case ZVXML::LOG_SEV_WARNING:
        return L"warning";
    case ZVXML::LOG_SEV_INFO:
        return L"info";
    default:
        return L"trace";
    }
}

void StartLogging(int printThreshold, int collectThreshold)
{
    g_printThreshold = printThreshold;
    g_collectThreshold = collectThreshold;
    g_collected.clear();
    ZVXML::SetLoggingCallback(printThreshold != 0 || collectThreshold != 0 ? &OnLogLine : nullptr);
}

const std::vector<CollectedLine>& Collected() { return g_collected; }

} // namespace zvcli
