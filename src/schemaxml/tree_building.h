// Building the document tree of a schema file.
#ifndef ZVXML_SCHEMAXML_TREE_BUILDING_H
#define ZVXML_SCHEMAXML_TREE_BUILDING_H

#include <zvxml/dom.h>

#include "foundation/writing_scope.h"

#include <string>

namespace ZVXML {

// The texts written for flags.
extern const wchar_t* const ZVXML_TRUE; // "True"
extern const wchar_t* const ZVXML_FALSE; // "False"

// Appends a new element named `name` in `namespaceURI` as the last child of
// `parent` and returns it. A name that is no XML name is refused first
// (RequireWritableName); any other failure is reported by the checked-call
// rule.
XMLNode AppendChildElement(XMLDocument& document, XMLNode parent, const wchar_t* name, const wchar_t* namespaceURI);
// Appends a text node holding `text` as the last child of `parent`. A text
// XML cannot carry is refused first (RequireWritableText), named as `what`
// of the item being written.
void AppendTextNode(XMLDocument& document, XMLNode parent, const wchar_t* text, const wchar_t* what = L"text");
// The same for a text that may hold U+0000, which is refused too.
void AppendTextNode(XMLDocument& document, XMLNode parent, const std::wstring& text, const wchar_t* what = L"text");

// The text an attribute is set from: a string is checked whole (U+0000
// included) and handed on through c_str().
inline const wchar_t* AttributeText(const wchar_t* text) { return text; }
inline const wchar_t* AttributeText(const std::wstring& text) { return text.c_str(); }

// Refuses an attribute value that would make a start tag longer than a
// reader of the file takes (NULL is written as an empty value).
void RequireReadableAttribute(const wchar_t* value, const wchar_t* name);
void RequireReadableAttribute(const std::wstring& value, const wchar_t* name);

} // namespace ZVXML

// Sets an attribute from a C string or a std::wstring. A value XML cannot
// carry, or one longer than a reader takes, is refused first
// (RequireWritableText, RequireReadableAttribute, naming the attribute); a
// failure of the document
// throws the checked-call error whose message names `callText`, the call as
// the file's writer documents it.
#define SET_CHECKED_ATTRIBUTE(document, element, name, value, callText)                                                \
    do {                                                                                                               \
        ::ZVXML::RequireWritableText((value), (name));                                                                 \
        ::ZVXML::RequireReadableAttribute((value), (name));                                                            \
        VERIFY_HR((document).SetAttribute((element), (name), ::ZVXML::AttributeText(value)), callText);                \
    } while (0)

#endif
