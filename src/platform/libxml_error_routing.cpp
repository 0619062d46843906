#include "platform/libxml_error_routing.h"

#include <libxml/globals.h>
#include <libxml/threads.h>

#include <new>

namespace ZVXML {
namespace platform {
namespace {

// Before 2.12 libxml2 allocates a thread's settings on the thread's first
// use of them (the thread it was set up on uses static ones). When that
// allocation fails it hands out NULL, and reading or setting any of them
// dereferences it: in our code and in every libxml2 call that reports an
// error. Later versions keep them in thread-local storage.
void EnsureThreadSettings()
{
#if LIBXML_VERSION < 21200
    if (!xmlIsMainThread() && xmlGetGlobalState() == nullptr) {
        throw std::bad_alloc();
    }
#endif
}

} // namespace

LibxmlErrorRouting::LibxmlErrorRouting(void* context, xmlStructuredErrorFunc structured, xmlGenericErrorFunc generic)
{
    EnsureThreadSettings();
    m_previousStructured = xmlStructuredError;
    m_previousStructuredContext = xmlStructuredErrorContext;
    m_previousGeneric = xmlGenericError;
    m_previousGenericContext = xmlGenericErrorContext;
    xmlSetStructuredErrorFunc(context, structured);
    xmlSetGenericErrorFunc(context, generic);
}

LibxmlErrorRouting::~LibxmlErrorRouting()
{
    xmlSetStructuredErrorFunc(m_previousStructuredContext, m_previousStructured);
    // NULL would mean "the default printer"; the saved value is never NULL.
    xmlSetGenericErrorFunc(m_previousGenericContext, m_previousGeneric);
}

} // namespace platform
} // namespace ZVXML
