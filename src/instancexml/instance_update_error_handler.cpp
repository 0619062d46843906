#include "instancexml/instance_update_error_handler.h"

#include "instancexml/instance_dump_file.h"

#include <zvxml/text.h>

#include <cstdlib>

namespace ZVXML {

SAXZVInstanceUpdateErrorHandler::SAXZVInstanceUpdateErrorHandler(std::wstring_view document, int isLocation,
                                                                 void* context,
                                                                 ZVInstanceXMLErrorCallback errorCallback)
    : m_document(document), m_isLocation(isLocation), m_pContext(context), m_errorCallback(errorCallback)
{
}

long SAXZVInstanceUpdateErrorHandler::FatalError(const platform::SaxLocator& locator, const std::wstring& message)
{
    std::wstring text =
        L"SAX Parser failed at line " + ToWString(locator.line) + L", column " + ToWString(locator.column);
    if (!message.empty()) {
        text += L" with error: " + message;
    }
    text += WhereToFind(text);
    if (m_errorCallback != nullptr) {
        m_errorCallback(text.c_str(), m_pContext);
    }
    return platform::kSaxUnspecifiedError;
}

// The hint that ends the message; `message` is what comes before it.
std::wstring SAXZVInstanceUpdateErrorHandler::WhereToFind(const std::wstring& message) const
{
    if (m_isLocation != 0) {
        return L". If DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE environment variable is set, you can find the offending "
               L"xml message at: " +
               std::wstring(m_document);
    }
    // Read at the moment of the error, as the host may change it any time.
    if (std::getenv(kKeepDumpVariable) != nullptr) {
        return L". You can find the offending xml message in: " + WriteInstanceDump(message, m_document);
    }
    return L". Set environment variable DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE to retain a dump of the offending "
           L"xml message";
}

} // namespace ZVXML
