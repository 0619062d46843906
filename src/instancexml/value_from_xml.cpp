// Making a property value from a property element of an instance element.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instancexml/unowned_value.h"

#include <memory>

namespace ZVXML {
namespace {

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
    CZVProperty* property = zvClass->FindProperty(name.c_str());
    if (property == nullptr) {
        throw ZVXMLFormatError(std::wstring(L"ZVClass ") + zvClass->GetTypeName() +
                                   L" does not contain an ZVProperty named " + name,
                               L"");
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
