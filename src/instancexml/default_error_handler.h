// An error handler that lets the reader go on after every error: the base
// of the library's own, which overrides what it reports.
#ifndef ZVXML_INSTANCEXML_DEFAULT_ERROR_HANDLER_H
#define ZVXML_INSTANCEXML_DEFAULT_ERROR_HANDLER_H

#include "platform/sax/sax_reader.h"

namespace ZVXML {

class CDefaultErrorHandler : public platform::SaxErrorHandler {
public:
    long FatalError(const platform::SaxLocator&, const std::wstring&) override { return 0; }
};

} // namespace ZVXML

#endif
