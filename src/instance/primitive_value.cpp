// A primitive value: text, converted to numbers only on request.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "foundation/logging.h"
#include "foundation/number_text.h"

#include <cerrno>

namespace ZVXML {

CZVValue::CZVValue(CZVProperty* property, const wchar_t* text) : ZVValueBase(property)
{
    if (text != nullptr) {
        SetValue(text);
    }
}

CZVValue::CZVValue(const CZVValue& other) = default;
CZVValue& CZVValue::operator=(const CZVValue& other) = default;
CZVValue::~CZVValue() = default;

std::wstring& CZVValue::Value() { return m_value; }
const wchar_t* CZVValue::GetValue() const { return m_value.c_str(); }

void CZVValue::InternalSetValue(const wchar_t* text)
{
    if (text == nullptr) {
        throw ZVXMLInvalidArgument(L"InternalSetValue called with a NULL value", L"");
    }
    m_value = text;
    SetNotNull();
}

void CZVValue::SetValue(const std::wstring& text)
{
    m_value = text;
    SetNotNull();
}

void CZVValue::SetValue(const wchar_t* text) { InternalSetValue(text); }

void CZVValue::SetValue(long number)
{
    m_value = FormatLong(number);
    SetNotNull();
}

void CZVValue::SetValue(double number)
{
    m_value = FormatDouble(number);
    SetNotNull();
}

void CZVValue::InitializeValue() { m_value.clear(); }

void CZVValue::GetValue(long* number) const
{
    if (number == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pLong into CZVValue::GetValue", L"");
    }
    errno = 0;
    *number = ParseLong(m_value.c_str(), nullptr, 10);
    const int error = errno;
    if (error == ERANGE) {
        throw ZVXMLRuntimeError(L"Underflow or overflow while converting " + m_value + L" to long", L"");
    }
    if (error != 0) {
        LogFormat(LOG_SEV_WARNING, L"errno %i reported while converting %ls to a long", error, m_value.c_str());
    }
}

void CZVValue::GetValue(double* number) const
{
    if (number == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pDouble into CZVValue::GetValue", L"");
    }
    errno = 0;
    *number = ParseDouble(m_value.c_str(), nullptr);
    const int error = errno;
    if (error == ERANGE) {
        throw ZVXMLRuntimeError(L"Underflow or overflow while converting " + m_value + L" to a double", L"");
    }
    if (error != 0) {
        LogFormat(LOG_SEV_WARNING, L"errno %i reported while converting %ls to double", error, m_value.c_str());
    }
}

} // namespace ZVXML
