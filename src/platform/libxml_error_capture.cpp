#include "platform/libxml_error_capture.h"

#include <libxml/xmlerror.h>

namespace ZVXML {
namespace platform {
namespace {

// Some libxml2 paths print unstructured text without any report we could
// use; they are silenced. Every real error also comes as a structured one.
void IgnoreGenericError(void*, const char*, ...) {}

// Errors that libxml2 ranks as errors although they break no rule of
// well-formedness. Namespace names are only ever compared as text, never
// resolved, so a name that is not a valid URI still loads.
bool IsHarmless(const xmlError& error) { return error.code == XML_WAR_NS_URI || error.code == XML_WAR_NS_URI_RELATIVE; }

} // namespace

LibxmlErrorCapture::LibxmlErrorCapture() : m_routing(this, &LibxmlErrorCapture::OnStructuredError, &IgnoreGenericError)
{
}

LibxmlErrorCapture::~LibxmlErrorCapture() = default;

void LibxmlErrorCapture::OnStructuredError(void* capture, LibxmlError error)
{
    if (capture != nullptr && error != nullptr) {
        static_cast<LibxmlErrorCapture*>(capture)->Record(*error);
    }
}

void LibxmlErrorCapture::Record(const xmlError& error) noexcept
{
    if (error.level < XML_ERR_ERROR || IsHarmless(error)) {
        return;
    }
    Record(error.code, error.line, error.int2, error.message);
}

void LibxmlErrorCapture::Record(long code, long line, long column, const char* message) noexcept
{
    if (m_hasError) {
        return;
    }
    m_hasError = true;
    m_first.code = code != 0 ? code : static_cast<long>(XML_ERR_INTERNAL_ERROR);
    m_first.line = line;
    m_first.column = column;
    try {
        m_first.message = message != nullptr ? message : "";
        while (!m_first.message.empty() && (m_first.message.back() == '\n' || m_first.message.back() == '\r')) {
            m_first.message.pop_back();
        }
    } catch (...) {
        // Out of memory while copying the text: the code still tells.
        m_first.message.clear();
    }
}

} // namespace platform
} // namespace ZVXML
