// Reading a class element: its attributes in one pass of the schema loader,
// its contents (properties, base class, custom attributes) in a later one.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/logging.h"
#include "platform/dom/local_name.h"
#include "schemaxml/case_insensitive_text.h"
#include "schemaxml/deferred_custom_attributes.h"
#include "schemaxml/element_names.h"
#include "schemaxml/item_attributes.h"
#include "schemaxml/reading_element.h"
#include "schemaxml/schema_item_readers.h"

#include <memory>
#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

void LogClassRead(const CZVClass& zvClass)
{
    LogFormat(LOG_SEV_TRACE, L"CZVClass::ReadXML (typeName=%ls)", zvClass.GetTypeName());
}

} // namespace

int CZVClass::ReadXML(CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    if (int result = ReadXMLAttributes(document, element)) {
        return result;
    }
    return ReadXMLContents(schema, document, element);
}

int CZVClass::ReadXMLAttributes(XMLDocument&, XMLNode element)
{
    const ReadingElement reading(element);
    bool typeNameSeen = false;
    bool domainFlagSeen = false;
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        const std::wstring& name = attribute.name;
        const std::wstring& value = attribute.value;
        if (name == L"typeName"sv) {
            SetTypeName(value);
            typeNameSeen = true;
        } else if (name == L"baseClass"sv) {
            SetBaseClass(value); // only classes added before this one can be found
        } else if (name == L"description"sv) {
            SetDescription(value);
        } else if (name == L"displayLabel"sv) {
            SetDisplayLabel(value.c_str());
        } else if (name == L"isStruct"sv) {
            SetIsStruct(IsTrueText(value));
        } else if (name == L"isCustomAttributeClass"sv) {
            SetIsCustomAttributeClass(IsTrueText(value));
        } else if (name == L"isDomainClass"sv) {
            SetIsDomainClass(IsTrueText(value));
            domainFlagSeen = true;
        }
    }
    if (!typeNameSeen) {
        throw ZVXMLFormatError(L"Required attribute typeName not found on an ZVClass", L"");
    }
    if (!domainFlagSeen) {
        SetIsDomainClass(1);
    }
    LogClassRead(*this);
    return 0;
}

int CZVClass::ReadXMLContents(CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    return ReadClassContents(*this, document, element, SchemaItemReading::AtOnce(schema));
}

int ReadClassContents(CZVClass& zvClass, XMLDocument& document, XMLNode element, const SchemaItemReading& reading)
{
    const ReadingElement at(element);
    LogClassRead(zvClass);
    int baseClassElements = 0;
    std::wstring name;
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() != XML_NODE_ELEMENT) {
            continue;
        }
        platform::ReadLocalName(child, name);
        if (IsPropertyElementName(name)) {
            // Adding the property may fail too: that failure is the property's.
            const ReadingElement atProperty(child);
            std::unique_ptr<CZVProperty> property(new CZVProperty(&zvClass));
            const int result = ReadPropertyElement(*property, document, child, reading);
            zvClass.AddZVProperty(property.get()); // added whatever its reading returned
            property.release();
            if (result != 0) {
                return result;
            }
        } else if (name == L"ZVCustomAttributes"sv) {
            if (int result = DeferredCustomAttributes::ReadOrDefer(reading.deferred, zvClass, zvClass.GetZVSchema(),
                                                                   document, child)) {
                return result;
            }
        } else if (name == L"BaseClass"sv) {
            const ReadingElement atBaseClass(child);
            if (++baseClassElements > 1) {
                throw ZVXMLFormatError(std::wstring(L"CZVClass typeName=") + zvClass.GetTypeName() +
                                           L" has more than one BaseClass, which is not supported by zvxml.dll.",
                                       L"");
            }
            zvClass.SetBaseClass(child.Text());
        }
    }
    return 0;
}

} // namespace ZVXML
