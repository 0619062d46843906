// Recognising the elements of a schema file by their local name (a namespace
// prefix does not matter).
#ifndef ZVXML_SCHEMAXML_ELEMENT_NAMES_H
#define ZVXML_SCHEMAXML_ELEMENT_NAMES_H

#include <zvxml/dom.h>

#include "platform/dom/local_name.h"

#include <string>
#include <string_view>

namespace ZVXML {

inline bool IsElementNamed(XMLNode node, const wchar_t* localName) { return platform::HasLocalName(node, localName); }

// "ZVProperty", "ZVArrayProperty" and "ZVStructProperty" are read alike: the
// kind of property follows from its attributes, not from the element's name.
inline bool IsPropertyElementName(std::wstring_view localName)
{
    return localName == L"ZVProperty" || localName == L"ZVArrayProperty" || localName == L"ZVStructProperty";
}

} // namespace ZVXML

#endif
