// Ownership of libxml2 objects, and text crossing between libxml2 (UTF-8
// xmlChar) and the API (wide text).
#ifndef ZVXML_PLATFORM_LIBXML_RESOURCES_H
#define ZVXML_PLATFORM_LIBXML_RESOURCES_H

#include "foundation/utf8.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlmemory.h>

#include <cstring>
#include <memory>
#include <string>

namespace ZVXML {
namespace platform {

struct XmlDocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct XmlParserCtxtFree {
    void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct XmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

using XmlDocOwner = std::unique_ptr<xmlDoc, XmlDocFree>;
using XmlParserCtxtOwner = std::unique_ptr<xmlParserCtxt, XmlParserCtxtFree>;
using XmlCharOwner = std::unique_ptr<xmlChar, XmlCharFree>;

inline const char* AsChars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }
inline const xmlChar* AsXmlChars(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

inline std::wstring ToWide(const xmlChar* text) { return Utf8ToWide(AsChars(text)); }
// Appends the wide form of NUL-terminated text to `out`, reusing its room;
// NULL appends nothing.
inline void AppendWide(const xmlChar* text, std::wstring& out)
{
    if (text != nullptr) {
        AppendUtf8AsWide(AsChars(text), std::strlen(AsChars(text)), out);
    }
}

// Makes sure libxml2's global state is set up before the first parse, so
// that parses on several threads are safe. Idempotent and thread-safe.
void EnsureLibxmlInitialized();

} // namespace platform
} // namespace ZVXML

#endif
