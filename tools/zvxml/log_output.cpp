#include "log_output.h"

#include "error_report.h"
#include "output.h"

#include <cwchar>

namespace zvcli {
namespace {

ZVXML::LOG_SEV g_threshold = ZVXML::LOG_SEV_WARNING;

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

void OnLogLine(ZVXML::LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    if (severity < g_threshold || std::wcscmp(category, L"ZVXML") != 0) {
        return;
    }
    PrintErr(PlacePrefix(ZVXML::GetReadPosition()) + L": " + SeverityName(severity) + L": " + text);
}

} // namespace

const char* const kLogLevelNames[4] = {"error", "warning", "info", "trace"};

ZVXML::LOG_SEV LogLevelNamed(const std::string& name)
{
    for (int i = 0; i < 4; ++i) {
        if (name == kLogLevelNames[i]) {
            return static_cast<ZVXML::LOG_SEV>(-1 - i);
        }
    }
    return ZVXML::LOG_SEV_WARNING;
}

void StartLogging(ZVXML::LOG_SEV threshold)
{
    g_threshold = threshold;
    ZVXML::SetLoggingCallback(&OnLogLine);
}

void StopLogging() { ZVXML::SetLoggingCallback(nullptr); }

} // namespace zvcli
