// The entry point of instance reading: one call, one reader, one content
// handler with the root state handler on its stack, one error handler.
#include "instancexml/com_error_message.h"
#include "instancexml/content_dispatcher.h"
#include "instancexml/instance_update_error_handler.h"
#include "instancexml/root_element_handler.h"

#include "foundation/logging.h"
#include "platform/sax/sax_reader.h"

#include <zvxml/errors.h>
#include <zvxml/instancexml.h>

#include <cwchar>

namespace ZVXML {
namespace {

void Parse(platform::SaxReader& reader, int isLocation, const wchar_t* document, std::size_t length)
{
    // Failures of the reader itself become the documented runtime error; the
    // library's own exceptions (and the host's) pass through unchanged.
    try {
        if (isLocation != 0) {
            reader.ParseLocation(document);
        } else {
            reader.ParseText(document, length);
        }
    } catch (const platform::SaxPlatformError& error) {
        throw ZVXMLRuntimeError(ComErrorMessage(error), L"");
    }
}

} // namespace

int ParseZVInstanceXML(int isLocation, const wchar_t* document, CZVSchema* schema, void* context,
                       ZVInstanceXMLParseBeginCallback beginCallback, ParsedZVInstanceCallback instanceCallback,
                       ParsedZVRelationshipCallback relationshipCallback, ZVInstanceXMLElementCallback elementCallback,
                       ZVInstanceXMLParseEndCallback endCallback, ZVInstanceXMLErrorCallback errorCallback,
                       IZVInstanceFactory* factory, unsigned long options)
{
    const ParseCallbacks callbacks{beginCallback, instanceCallback, relationshipCallback, elementCallback, endCallback};
    CZVXMLSAXContentHandler content(schema, context, callbacks, options, factory);
    if (document == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL document into ParseZVInstanceXML", L"");
    }
    content.GetStateStack().Push(HandlerPtr(new ZVInstanceXMLHandler(&content.Context())));

    const std::size_t length = std::wcslen(document);
    SAXZVInstanceUpdateErrorHandler errors(std::wstring_view(document, length), isLocation, context, errorCallback);
    platform::SaxReader reader;
    reader.SetContentHandler(&content);
    reader.SetErrorHandler(&errors);
    Parse(reader, isLocation, document, length);
    LogFormat(LOG_SEV_INFO, L"Imported instances: %d", static_cast<int>(content.Context().GetInstanceCount()));
    return 0;
}

} // namespace ZVXML
