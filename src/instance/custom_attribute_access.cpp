// The custom-attribute helpers of every schema item.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/value_disposal.h"

#include <cwchar>

namespace ZVXML {
namespace {

void RequireClassAndName(const CZVClass* customAttributeClass, const wchar_t* propertyName, const wchar_t* operation)
{
    if (customAttributeClass == nullptr || propertyName == nullptr) {
        throw ZVXMLInvalidArgument(std::wstring(L"Passed NULL class or property name to CZVCommon::") + operation, L"");
    }
}

CZVProperty* RequireProperty(CZVClass* customAttributeClass, const wchar_t* propertyName)
{
    CZVProperty* property = customAttributeClass->FindProperty(propertyName);
    if (property == nullptr) {
        throw ZVXMLLogicError(std::wstring(L"ZVClass '") + customAttributeClass->GetTypeName() +
                                  L"' does not contain an ZVProperty named '" + propertyName + L"'.",
                              L"");
    }
    return property;
}

[[noreturn]] void ThrowNotAnArray(const CZVClass* customAttributeClass, const wchar_t* propertyName)
{
    throw ZVXMLLogicError(std::wstring(L"ZVClass '") + customAttributeClass->GetTypeName() + L"'s '" + propertyName +
                              L"' ZVProperty is not an array!",
                          L"");
}

} // namespace

CZVCustomAttribute* CZVCommon::FindZVCustomAttributeByName(const wchar_t* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    for (CZVCustomAttribute* customAttribute : m_customAttributes) {
        if (customAttribute != nullptr && std::wcscmp(customAttribute->GetTypeName(), name) == 0) {
            return customAttribute;
        }
    }
    return nullptr;
}

ZVArrayValue* CZVCommon::GetArrayFromCustomAttribute(CZVClass* customAttributeClass, const wchar_t* propertyName,
                                                     int create)
{
    RequireClassAndName(customAttributeClass, propertyName, L"GetArrayFromCustomAttribute");
    CZVCustomAttribute* customAttribute = FindZVCustomAttributeByName(customAttributeClass->GetTypeName());
    ZVValueBase* value = nullptr;
    if (customAttribute != nullptr) {
        value = customAttribute->GetPropertyValue(propertyName, true);
    } else {
        if (!create) {
            return nullptr;
        }
        customAttribute = new CZVCustomAttribute(customAttributeClass);
        AddZVCustomAttribute(customAttribute);
        CZVProperty* property = RequireProperty(customAttributeClass, propertyName);
        value = ZVValueBase::CreateZVValueForZVProperty(customAttributeClass, property);
        if (dynamic_cast<ZVArrayValue*>(value) == nullptr) {
            DisposeUnownedValue(value); // made for nothing: not added, not leaked
            ThrowNotAnArray(customAttributeClass, propertyName);
        }
        customAttribute->AddZVValue(value);
    }
    ZVArrayValue* array = dynamic_cast<ZVArrayValue*>(value);
    if (array == nullptr) {
        ThrowNotAnArray(customAttributeClass, propertyName);
    }
    return array;
}

CZVInstance* CZVCommon::CreateArrayMemberForCustomAttribute(CZVClass* customAttributeClass, const wchar_t* propertyName)
{
    RequireClassAndName(customAttributeClass, propertyName, L"CreateArrayMemberForCustomAttribute");
    RequireProperty(customAttributeClass, propertyName);
    ZVArrayValue* array = GetArrayFromCustomAttribute(customAttributeClass, propertyName, 1);
    ZVStructValue* member = new ZVStructValue(array->GetProperty());
    array->PushBack(member);
    return member->GetValue();
}

} // namespace ZVXML
