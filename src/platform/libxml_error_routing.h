// Routes libxml2's diagnostics that bypass a parser context's own error
// handler to the operation in progress on this thread, so that nothing is
// ever printed to the host's standard error.
//
// A context's structured handler (sax->serror) receives the parser's errors,
// but encoding conversion and input buffer errors are raised with no context
// and go to the thread's structured handler, and a few raw messages go to
// the thread's generic handler. Both are per-thread settings in libxml2; the
// scope installs the given ones and puts the previous ones back. Create and
// destroy it on the same thread, in nested order, before any other libxml2
// call of the operation: it throws std::bad_alloc when libxml2 cannot
// allocate the thread's settings, which any libxml2 call would otherwise
// dereference.
#ifndef ZVXML_PLATFORM_LIBXML_ERROR_ROUTING_H
#define ZVXML_PLATFORM_LIBXML_ERROR_ROUTING_H

#include <libxml/xmlerror.h>

namespace ZVXML {
namespace platform {

// What libxml2 hands a structured error handler (const since 2.12).
#if LIBXML_VERSION >= 21200
using LibxmlError = const xmlError*;
#else
using LibxmlError = xmlError*;
#endif

class LibxmlErrorRouting {
public:
    LibxmlErrorRouting(void* context, xmlStructuredErrorFunc structured, xmlGenericErrorFunc generic);
    ~LibxmlErrorRouting();
    LibxmlErrorRouting(const LibxmlErrorRouting&) = delete;
    LibxmlErrorRouting& operator=(const LibxmlErrorRouting&) = delete;

private:
    xmlStructuredErrorFunc m_previousStructured = nullptr;
    void* m_previousStructuredContext = nullptr;
    xmlGenericErrorFunc m_previousGeneric = nullptr;
    void* m_previousGenericContext = nullptr;
};

} // namespace platform
} // namespace ZVXML

#endif
