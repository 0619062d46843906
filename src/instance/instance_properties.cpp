// Reading and setting an instance's property values by name.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "foundation/number_text.h"

namespace ZVXML {

ZVValueBase* CZVInstance::GetPropertyValue(const wchar_t* name, bool throwIfMissing)
{
    return FindValue(name, throwIfMissing);
}

CZVValue* CZVInstance::GetPrimitiveValue(const wchar_t* name)
{
    CZVValue* value = dynamic_cast<CZVValue*>(FindValue(name, true));
    if (value == nullptr) {
        throw ZVXMLLogicError(L"Called GetPrimitiveValue for a non-primitive CZVValue", L"");
    }
    return value;
}

CZVValue* CZVInstance::GetPrimitiveValueForSetting(const wchar_t* name)
{
    CZVValue* value = dynamic_cast<CZVValue*>(FindOrCreateValue(name));
    if (value == nullptr) {
        throw ZVXMLLogicError(L"Attempted to set primitive value into a non-primitive property", L"");
    }
    return value;
}

std::wstring& CZVInstance::PropertyValue(const wchar_t* name) { return GetPrimitiveValue(name)->Value(); }

const wchar_t* CZVInstance::GetPropertyValue(const wchar_t* name)
{
    CZVValue* value = dynamic_cast<CZVValue*>(FindValue(name, false));
    return value != nullptr ? value->GetValue() : nullptr;
}

void CZVInstance::GetPropertyValue(const wchar_t* name, long* number) { GetPrimitiveValue(name)->GetValue(number); }

void CZVInstance::GetPropertyValue(const wchar_t* name, double* number) { GetPrimitiveValue(name)->GetValue(number); }

void CZVInstance::SetPropertyValue(const wchar_t* name, const std::wstring& text)
{
    GetPrimitiveValueForSetting(name)->SetValue(text);
}

void CZVInstance::SetPropertyValue(const wchar_t* name, const wchar_t* text)
{
    if (text == nullptr && FindValue(name, false) == nullptr && m_pZVClass != nullptr) {
        // A null text is refused before a primitive value is made for it: a
        // failed setter leaves the list as it was (only a type error leaves
        // the value it made).
        const CZVProperty* property = m_pZVClass->FindProperty(name);
        if (property != nullptr && !property->IsArray() && !property->IsStruct()) {
            throw ZVXMLInvalidArgument(L"InternalSetValue called with a NULL value", L"");
        }
    }
    GetPrimitiveValueForSetting(name)->SetValue(text);
}

void CZVInstance::SetPropertyValue(const wchar_t* name, long number)
{
    GetPrimitiveValueForSetting(name)->SetValue(number);
}

void CZVInstance::SetPropertyValue(const wchar_t* name, unsigned long number)
{
    GetPrimitiveValueForSetting(name)->SetValue(FormatUnsignedLong(number));
}

void CZVInstance::SetPropertyValue(const wchar_t* name, double number)
{
    GetPrimitiveValueForSetting(name)->SetValue(number);
}

} // namespace ZVXML
