// Reading a property element.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schemaxml/case_insensitive_text.h"
#include "schemaxml/deferred_custom_attributes.h"
#include "schemaxml/element_names.h"
#include "schemaxml/item_attributes.h"
#include "schemaxml/reading_element.h"
#include "schemaxml/schema_item_readers.h"

#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

struct RequiredSeen {
    bool typeName = false;
    bool propertyName = false;
};

void ApplyAttribute(CZVProperty& property, const XMLAttribute& attribute, RequiredSeen& seen)
{
    const std::wstring& name = attribute.name;
    const wchar_t* value = attribute.value.c_str();
    if (name == L"typeName"sv) {
        property.SetTypeName(value);
        seen.typeName = true;
    } else if (name == L"propertyName"sv) {
        property.SetPropertyName(value);
        seen.propertyName = true;
    } else if (name == L"description"sv) {
        property.SetDescription(value);
    } else if (name == L"displayLabel"sv) {
        property.SetDisplayLabel(value);
    } else if (name == L"minOccurs"sv) {
        property.SetMinOccurs(value);
    } else if (name == L"maxOccurs"sv) {
        property.SetMaxOccurs(value);
        if (*property.GetMinOccurs() == L'\0') {
            property.SetMinOccurs(L"0"); // an upper bound alone allows none at all
        }
    } else if (name == L"readOnly"sv) {
        property.SetReadOnly(IsTrueText(attribute.value));
    } else if (name != L"isStruct"sv) { // the type name decides that
        Log(LOG_SEV_WARNING, L"ZVXML",
            L"Unrecognized xml attribute: " + name + L" with value='" + attribute.value + L"'.");
    }
}

} // namespace

int CZVProperty::ReadXML(CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    return ReadPropertyElement(*this, document, element, SchemaItemReading::AtOnce(schema));
}

int ReadPropertyElement(CZVProperty& property, XMLDocument& document, XMLNode element, const SchemaItemReading& reading)
{
    const ReadingElement at(element);
    RequiredSeen seen;
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        if (!attribute.value.empty()) { // an empty attribute counts as absent
            ApplyAttribute(property, attribute, seen);
        }
    }
    if (!seen.typeName) {
        throw ZVXMLFormatError(L"Required attribute typeName not found on an ZVProperty", L"");
    }
    if (!seen.propertyName) {
        throw ZVXMLFormatError(L"Required attribute propertyName not found on an ZVProperty", L"");
    }
    CZVClass* owner = property.GetZVClass();
    CZVSchema* classSchema = owner != nullptr ? owner->GetZVSchema() : nullptr;
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, L"ZVCustomAttributes")) {
            if (int result =
                    DeferredCustomAttributes::ReadOrDefer(reading.deferred, property, classSchema, document, child)) {
                return result;
            }
        }
    }
    return 0;
}

} // namespace ZVXML
