#include "schemaxml/tree_building.h"

#include "foundation/verify_hr.h"
#include "platform/reader_limits.h"

namespace ZVXML {

const wchar_t* const ZVXML_TRUE = L"True";
const wchar_t* const ZVXML_FALSE = L"False";

XMLNode AppendChildElement(XMLDocument& document, XMLNode parent, const wchar_t* name, const wchar_t* namespaceURI)
{
    RequireWritableName(name, L"element name");
    XMLNode created = document.CreateElement(name, namespaceURI);
    VERIFY_HR(created.IsNull() || created.NodeType() != XML_NODE_ELEMENT,
              L"pNode.QueryInterface(MSXML2::IID_IXMLDOMElement, (void**)&pElement)");
    XMLNode appended;
    const long status = document.AppendChild(parent, created, &appended);
    VERIFY_HR(status != 0 || appended.IsNull() || appended.NodeType() != XML_NODE_ELEMENT,
              L"pAppendedNode->QueryInterface(MSXML2::IID_IXMLDOMElement, (void**)&pAppendedElement)");
    return appended;
}

namespace {

// Appends a text already found writable.
void AppendCheckedText(XMLDocument& document, XMLNode parent, const wchar_t* text)
{
    XMLNode created = document.CreateTextNode(text);
    VERIFY_HR(created.IsNull(), L"pXmlDoc->createTextNode(text)");
    VERIFY_HR(document.AppendChild(parent, created, nullptr), L"pParent->appendChild(pTextNode)");
}

} // namespace

void RequireReadableAttribute(const wchar_t* value, const wchar_t* name)
{
    if (value != nullptr) {
        RequireReadableLength(value, platform::kMaxWrittenStartTag, name);
    }
}

void RequireReadableAttribute(const std::wstring& value, const wchar_t* name)
{
    RequireReadableLength(value, platform::kMaxWrittenStartTag, name);
}

void AppendTextNode(XMLDocument& document, XMLNode parent, const wchar_t* text, const wchar_t* what)
{
    RequireWritableText(text, what);
    if (text != nullptr) {
        RequireReadableLength(text, platform::kMaxTextRun, what);
    }
    AppendCheckedText(document, parent, text);
}

void AppendTextNode(XMLDocument& document, XMLNode parent, const std::wstring& text, const wchar_t* what)
{
    RequireWritableText(text, what);
    RequireReadableLength(text, platform::kMaxTextRun, what);
    AppendCheckedText(document, parent, text.c_str());
}

} // namespace ZVXML
