// Instances and values rendered as XML-like text, by plain concatenation.
// Nothing is escaped: callers rely on the text as it is.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/value_nesting.h"

#include <string>

namespace ZVXML {
namespace {

// Entered once per level of values: an instance's values, an array's members.
void EnterLevel(const ValueNestingLevel& level)
{
    if (level.TooDeep()) {
        throw ZVXMLFormatError(
            L"Cannot render values nested deeper than " + std::to_wstring(kMaxValueNesting) + L" levels as text.", L"");
    }
}

void AppendValues(const CZVInstance& instance, std::wstring& out)
{
    const ValueNestingLevel level;
    EnterLevel(level);
    const std::size_t count = instance.GetZVValueCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (ZVValueBase* value = instance.GetZVValue(i)) {
            value->AppendAsXml(out);
        }
    }
}

} // namespace

void CZVInstance::AppendAsXml(std::wstring& out, const std::wstring& extraAttributes)
{
    out.append(L"<").append(m_typeName);
    if (!m_instanceID.empty()) {
        out.append(L" instanceid='").append(m_instanceID).append(L"' ");
    }
    if (!extraAttributes.empty()) {
        out.append(extraAttributes).append(L" >");
    } else {
        out.append(L">");
    }
    AppendValues(*this, out);
    out.append(L"</").append(m_typeName).append(L">");
}

void CZVInstance::AppendValueToString(std::wstring& out) { AppendValues(*this, out); }

void ZVValueBase::AppendAsXml(std::wstring& out)
{
    out.append(L"<").append(m_propertyName).append(L">");
    AppendValueToString(out);
    out.append(L"</").append(m_propertyName).append(L">");
}

void CZVValue::AppendValueToString(std::wstring& out)
{
    if (!IsNull()) {
        out.append(m_value);
    }
}

void ZVStructValue::AppendValueToString(std::wstring& out)
{
    if (m_pInstance == nullptr) {
        throw ZVXMLLogicError(L"Can't serialize a NULL struct", L"");
    }
    AppendValues(*m_pInstance, out);
}

void ZVArrayValue::AppendValueToString(std::wstring& out)
{
    const ValueNestingLevel level;
    EnterLevel(level);
    const std::wstring elementType = GetProperty() != nullptr ? GetProperty()->GetTypeName() : L"";
    for (ZVValueBase* member : m_members) {
        out.append(L"<").append(elementType).append(L">");
        if (member != nullptr) {
            member->AppendValueToString(out);
        }
        out.append(L"</").append(elementType).append(L">");
    }
}

} // namespace ZVXML
