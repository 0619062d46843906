// The process-wide logging callback and the delivery rules.
#include "foundation/logging.h"

#include "foundation/wide_format.h"

#include <atomic>
#include <cstdarg>

namespace ZVXML {
namespace {

// Hosts may swap the callback while other threads log.
std::atomic<LoggingCallback> g_callback{nullptr};

void Deliver(LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    if (text == nullptr || g_callback.load(std::memory_order_acquire) == nullptr || severity < LOG_SEV_TRACE) {
        return;
    }
    if (severity > LOG_SEV_ERROR) {
        severity = LOG_SEV_ERROR;
    }
    // Read again: another thread may have switched logging off meanwhile.
    LoggingCallback callback = g_callback.load(std::memory_order_acquire);
    if (callback == nullptr) {
        return;
    }
    try {
        callback(severity, category != nullptr ? category : L"?", text);
    } catch (...) {
        // Logging never throws into the library.
    }
}

} // namespace

LoggingCallback SetLoggingCallback(LoggingCallback callback)
{
    return g_callback.exchange(callback, std::memory_order_acq_rel);
}

void Log(LOG_SEV severity, const std::wstring& category, const std::wstring& text)
{
    Deliver(severity, category.c_str(), text.c_str());
}

bool IsLogging() { return g_callback.load(std::memory_order_relaxed) != nullptr; }

void LogFormat(LOG_SEV severity, const wchar_t* format, ...)
{
    if (!IsLogging() || severity < LOG_SEV_TRACE) {
        return;
    }
    std::va_list args;
    va_start(args, format);
    std::wstring text = VFormatWide(format, args);
    va_end(args);
    Deliver(severity, L"ZVXML", text.c_str());
}

} // namespace ZVXML
