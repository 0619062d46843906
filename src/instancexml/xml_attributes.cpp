#include "instancexml/xml_attributes_access.h"

#include "platform/sax/sax_reader.h"

#include <zvxml/errors.h>

namespace ZVXML {

XMLAttributes::XMLAttributes(const detail::XMLAttributeList* attributes) : m_pAttributes(attributes)
{
    if (attributes == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL to XMLAttributes constructor", L"");
    }
}

int XMLAttributes::GetValue(const wchar_t* name, std::wstring& value) const
{
    // The platform list leaves `value` alone when the attribute is missing.
    if (name == nullptr || !m_pAttributes->Attributes().GetValue(name, value)) {
        return 0;
    }
    // The value ends at its first NUL, as a C string would.
    const std::size_t end = value.find(L'\0');
    if (end != std::wstring::npos) {
        value.resize(end);
    }
    return 1;
}

int XMLAttributes::GetValue(const std::wstring& name, std::wstring& value) const
{
    return GetValue(name.c_str(), value);
}

} // namespace ZVXML
