// Reports a fatal XML error of an instance parse: composes the message with
// the line and column, adds where the offending document can be found
// (writing a dump file of a document text when the environment asks for
// one), passes the message to the caller's error callback and stops the
// reader.
#ifndef ZVXML_INSTANCEXML_INSTANCE_UPDATE_ERROR_HANDLER_H
#define ZVXML_INSTANCEXML_INSTANCE_UPDATE_ERROR_HANDLER_H

#include "instancexml/default_error_handler.h"

#include <zvxml/instancexml.h>

#include <string_view>

namespace ZVXML {

// The environment variable that asks for dump files.
constexpr const char* kKeepDumpVariable = "DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE";

class SAXZVInstanceUpdateErrorHandler : public CDefaultErrorHandler {
public:
    // `document` (the text, or the location when `isLocation` is non-zero)
    // must outlive the handler: it is not copied, since a text may be huge.
    SAXZVInstanceUpdateErrorHandler(std::wstring_view document, int isLocation, void* context,
                                    ZVInstanceXMLErrorCallback errorCallback);

    // Returns E_FAIL, which stops the reader. Throws ZVXMLRuntimeError when
    // a dump file cannot be created or written.
    long FatalError(const platform::SaxLocator& locator, const std::wstring& message) override;

private:
    std::wstring WhereToFind(const std::wstring& message) const;

    std::wstring_view m_document;
    int m_isLocation;
    void* m_pContext;
    ZVInstanceXMLErrorCallback m_errorCallback;
};

} // namespace ZVXML

#endif
