// The library's own log lines.
#ifndef ZVXML_FOUNDATION_LOGGING_H
#define ZVXML_FOUNDATION_LOGGING_H

#include <zvxml/errors.h>

namespace ZVXML {

// Formats a wide printf-style text (wide strings need "%ls") and delivers it
// with the category "ZVXML". Texts of any length are delivered whole.
void LogFormat(LOG_SEV severity, const wchar_t* format, ...);

// True when a callback is installed, so callers can skip building a line
// nobody will read.
bool IsLogging();

} // namespace ZVXML

#endif
