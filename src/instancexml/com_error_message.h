// The text by which a failure of the XML reader itself (a location that
// cannot be read, a document that is not well-formed) reaches the caller:
// a result code's message, a description and a source.
#ifndef ZVXML_INSTANCEXML_COM_ERROR_MESSAGE_H
#define ZVXML_INSTANCEXML_COM_ERROR_MESSAGE_H

#include "platform/sax/sax_reader.h"

#include <string>

namespace ZVXML {

// The system's message for a result code: "Unspecified error" for E_FAIL;
// for codes without one, "IDispatch error #N" (N: the low 16 bits less
// 0x200) for 0x80040200 to 0x8004FFFF except 0x80040200 itself, else
// "Unknown error 0x<code in upper-case hex>".
std::wstring ResultCodeMessage(long code);

// "ParseZVInstanceXML: COM Error: " and then the code's message, the
// description and the source, each present only when not empty and each
// followed by ". ".
std::wstring ComErrorMessage(const platform::SaxPlatformError& error);

} // namespace ZVXML

#endif
