#include "platform/libxml_error_routing.h"

#include <libxml/globals.h>

namespace ZVXML {
namespace platform {

LibxmlErrorRouting::LibxmlErrorRouting(void* context, xmlStructuredErrorFunc structured, xmlGenericErrorFunc generic)
    : m_previousStructured(xmlStructuredError), m_previousStructuredContext(xmlStructuredErrorContext),
      m_previousGeneric(xmlGenericError), m_previousGenericContext(xmlGenericErrorContext)
{
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
