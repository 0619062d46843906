// The entry point of instance reading: one call, one reader, one content
// handler with the root state handler on its stack, one error handler.
#include "instancexml/com_error_message.h"
#include "instancexml/content_dispatcher.h"
#include "instancexml/instance_update_error_handler.h"
#include "instancexml/root_element_handler.h"

#include "foundation/logging.h"
#include "foundation/read_position.h"
#include "platform/sax/sax_reader.h"

#include <zvxml/errors.h>
#include <zvxml/instancexml.h>

#include <cwchar>
#include <utility>

namespace ZVXML {
namespace {

// Where the reader is, for the exceptions and log lines of the parse: the
// location as the caller gave it (nothing for a text), and the reader's
// line and column.
class DocumentPosition final : public ReadPositionSource {
public:
    DocumentPosition(const platform::SaxReader& reader, std::wstring file) : m_reader(reader), m_file(std::move(file))
    {
    }
    ReadPosition Where() const override
    {
        const platform::SaxLocator at = m_reader.Position();
        return ReadPosition{m_file, at.line, at.column};
    }
    void LineAndColumn(long& line, long& column) const override
    {
        const platform::SaxLocator at = m_reader.Position();
        line = at.line;
        column = at.column;
    }
    const std::wstring& File() const { return m_file; }

private:
    const platform::SaxReader& m_reader;
    std::wstring m_file;
};

void Parse(platform::SaxReader& reader, int isLocation, const wchar_t* document, std::size_t length,
           const DocumentPosition& where)
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
        const FixedReadPosition failure(where.File(), error.line, error.column);
        const ReadPositionScope at(failure);
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
    reader.SetThreads((options & ZVINSTANCEXML_SINGLE_THREAD) != 0 ? platform::SaxThreads::One
                                                                   : platform::SaxThreads::Automatic);
    const DocumentPosition where(reader, isLocation != 0 ? std::wstring(document, length) : std::wstring());
    const ReadPositionScope reading(where);
    Parse(reader, isLocation, document, length, where);
    LogFormat(LOG_SEV_INFO, L"Imported instances: %d", static_cast<int>(content.Context().GetInstanceCount()));
    return 0;
}

} // namespace ZVXML
