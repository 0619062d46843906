// The process-wide logging callback and the delivery rules.
#include "foundation/logging.h"

#include "foundation/wide_format.h"

#include <atomic>
#include <cstdarg>

namespace ZVXML {
namespace {

// Hosts may swap the callback while other threads log.
std::atomic<LoggingCallback> g_callback{nullptr};

// A callback may call into the library, which may log again: every library
// exception logs when it is made. One that throws a library exception, or
// calls something that does, would call itself until the stack ran out.
// Lines logged from deeper than this within the callback are dropped.
constexpr int kMaxCallbackNesting = 4;
thread_local int t_callbackNesting = 0;

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
    if (t_callbackNesting == kMaxCallbackNesting) {
        return;
    }
    ++t_callbackNesting;
    try {
        callback(severity, category != nullptr ? category : L"?", text);
    } catch (...) {
        // Logging never throws into the library.
    }
    --t_callbackNesting;
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
