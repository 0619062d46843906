// Making a property value from a property element of an instance element.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/value_disposal.h"

#include <memory>

namespace ZVXML {
namespace {

constexpr std::size_t kCounterDigits = 10;

// Comments between members are skipped; any other node must be a member
// element named after the property's type. False for a comment.
bool IsMember(XMLNode node, CZVClass* zvClass, CZVProperty* property)
{
    if (node.NodeType() == XML_NODE_COMMENT) {
        return false;
    }
    const std::wstring name = node.LocalName();
    if (node.NodeType() != XML_NODE_ELEMENT || name != property->GetTypeName()) {
        throw ZVXMLFormatError(std::wstring(L"In ZVProperty '") + property->GetPropertyName() + L"' of ZVClass '" +
                                   zvClass->GetTypeName() + L"' Array of " + property->GetTypeName() +
                                   L"'s contains member of type '" + name + L"'",
                               L"");
    }
    return true;
}

void ReadPrimitiveMembers(ZVArrayValue& array, CZVClass* zvClass, CZVProperty* property, XMLNode element)
{
    for (XMLNode member = element.FirstChild(); member; member = member.NextSibling()) {
        if (IsMember(member, zvClass, property)) {
            const std::wstring text = member.Text();
            std::unique_ptr<CZVValue> value(new CZVValue(property, text.c_str()));
            array.PushBack(value.get());
            value.release();
        }
    }
}

void ReadStructMembers(ZVArrayValue& array, CZVClass* zvClass, CZVProperty* property, XMLNode element)
{
    for (XMLNode member = element.FirstChild(); member; member = member.NextSibling()) {
        if (IsMember(member, zvClass, property)) {
            CZVSchema* schema = zvClass->GetZVSchema();
            CZVClass* structClass =
                schema != nullptr ? schema->FindZVClass(property->GetTypeName(), ZVCLASSTYPE_ANY) : nullptr;
            std::unique_ptr<ZVStructValue> value(new ZVStructValue(property));
            value->ReadXML(structClass, member);
            array.PushBack(value.get());
            value.release();
        }
    }
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The property an element names. The writer names a second value of a
// property after the property and a counter from 2 ("Text2", "Text3"; see
// AddZVValue), so a name that is no property is tried as such a name, the
// shortest counter first. Adding the value to its instance renames it the
// same way again.
CZVProperty* FindElementProperty(CZVClass& zvClass, const std::wstring& name)
{
    if (CZVProperty* property = zvClass.FindProperty(name.c_str())) {
        return property;
    }
    // The counter is an int of at most 10 digits; looking no further also
    // keeps a name of a million digits from a million lookups.
    for (std::size_t digits = 1; digits <= kCounterDigits && digits < name.size(); ++digits) {
        const std::size_t base = name.size() - digits;
        if (!IsDigit(name[base])) {
            break;
        }
        const bool counter = name[base] != L'0' && (digits > 1 || name[base] != L'1');
        if (!counter) {
            continue;
        }
        if (CZVProperty* property = zvClass.FindProperty(name.substr(0, base).c_str())) {
            return property;
        }
    }
    return nullptr;
}

} // namespace

ZVValueBase* ZVValueBase::CreateZVValueFromXml(CZVClass* zvClass, XMLNode element)
{
    if (zvClass == nullptr) {
        throw ZVXMLInvalidArgument(L"NULL pZVClass passed to CreateZVValueFromXml", L"");
    }
    const std::wstring name = element.LocalName();
    if (!element.FirstChild()) {
        return nullptr; // an empty element gives no value
    }
    CZVProperty* property = FindElementProperty(*zvClass, name);
    if (property == nullptr) {
        throw ZVXMLFormatError(
            std::wstring(L"ZVClass ") + zvClass->GetTypeName() + L" does not contain an ZVProperty named " + name, L"");
    }
    UnownedValue value(CreateZVValueForZVProperty(zvClass, property));
    if (!property->IsArray() && !property->IsStruct()) {
        static_cast<CZVValue*>(value.get())->SetValue(element.Text());
    } else if (!property->IsArray()) {
        throw ZVXMLFormatError(L"We don't yet support reading arrays or structs from a DOM", L"");
    } else if (!property->IsStruct()) {
        ReadPrimitiveMembers(static_cast<ZVArrayValue&>(*value), zvClass, property, element);
    } else {
        ReadStructMembers(static_cast<ZVArrayValue&>(*value), zvClass, property, element);
    }
    return value.release();
}

} // namespace ZVXML
