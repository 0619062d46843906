// A content handler that ignores every event: the base of the library's
// own, which overrides the events it reads.
#ifndef ZVXML_INSTANCEXML_DEFAULT_SAX_CONTENT_HANDLER_H
#define ZVXML_INSTANCEXML_DEFAULT_SAX_CONTENT_HANDLER_H

#include "platform/sax/sax_reader.h"

namespace ZVXML {

class CDefaultSAXContentHandler : public platform::SaxContentHandler {
public:
    void StartElement(const std::wstring&, const std::wstring&, const std::wstring&,
                      const platform::SaxAttributes&) override
    {
    }
    void EndElement(const std::wstring&, const std::wstring&, const std::wstring&) override {}
    void Characters(const wchar_t*, std::size_t) override {}
};

} // namespace ZVXML

#endif
