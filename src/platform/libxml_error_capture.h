// Keeps libxml2's error reports of one operation for us, instead of letting
// libxml2 print them to the host's standard error.
#ifndef ZVXML_PLATFORM_LIBXML_ERROR_CAPTURE_H
#define ZVXML_PLATFORM_LIBXML_ERROR_CAPTURE_H

#include "platform/libxml_error_routing.h"

#include <libxml/xmlerror.h>

#include <string>

namespace ZVXML {
namespace platform {

struct CapturedError {
    long code = 0;
    long line = 0;
    long column = 0;
    std::string message; // UTF-8, without a trailing newline
};

// While an instance lives, every libxml2 report on this thread that does not
// go to a parser context's own handler comes here (through a
// LibxmlErrorRouting scope). Warnings are ignored; the
// first error is kept, since later ones are mostly its consequences.
// Create and destroy it on the same thread, in nested order.
class LibxmlErrorCapture {
public:
    LibxmlErrorCapture();
    ~LibxmlErrorCapture();
    LibxmlErrorCapture(const LibxmlErrorCapture&) = delete;
    LibxmlErrorCapture& operator=(const LibxmlErrorCapture&) = delete;

    // Called from C callbacks: never throws.
    void Record(const xmlError& error) noexcept;
    void Record(long code, long line, long column, const char* message) noexcept;

    bool HasError() const { return m_hasError; }
    const CapturedError& First() const { return m_first; }

    // The structured error handler to give libxml2, with the capture as its
    // user data.
    static void OnStructuredError(void* capture, LibxmlError error);

private:
    bool m_hasError = false;
    CapturedError m_first;
    LibxmlErrorRouting m_routing;
};

} // namespace platform
} // namespace ZVXML

#endif
