// Routes libxml2's diagnostics that bypass a parser context's own error
// handler to the parse in progress on this thread, so that nothing is ever
// printed to the host's standard error.
//
// A context's structured handler (sax->serror) receives the parser's errors,
// but encoding conversion and input buffer errors are raised with no context
// and go to the thread's structured handler, and a few raw messages go to
// the thread's generic handler. Both are per-thread settings in libxml2; the
// scope installs ours and puts the previous ones back. While one of the
// reader's handlers runs, what reaches them is not the parse's and is dropped.
#ifndef ZVXML_PLATFORM_SAX_ERROR_ROUTING_H
#define ZVXML_PLATFORM_SAX_ERROR_ROUTING_H

#include <libxml/xmlerror.h>

namespace ZVXML {
namespace platform {

#if LIBXML_VERSION >= 21200
using SaxXmlError = const xmlError*;
#else
using SaxXmlError = xmlError*;
#endif

class SaxErrorRouting {
public:
    SaxErrorRouting(void* context, xmlStructuredErrorFunc structured, xmlGenericErrorFunc generic);
    ~SaxErrorRouting();
    SaxErrorRouting(const SaxErrorRouting&) = delete;
    SaxErrorRouting& operator=(const SaxErrorRouting&) = delete;

private:
    xmlStructuredErrorFunc m_previousStructured;
    void* m_previousStructuredContext;
    xmlGenericErrorFunc m_previousGeneric;
    void* m_previousGenericContext;
};

} // namespace platform
} // namespace ZVXML

#endif
