// The metadata every schema item carries.
#include <zvxml/errors.h>
#include <zvxml/instance.h>
#include <zvxml/schema.h>

#include "foundation/owned_list.h"

namespace ZVXML {

CZVCommon::CZVCommon() = default;

CZVCommon::CZVCommon(const std::wstring& description) : m_description(description) {}

CZVCommon::CZVCommon(const wchar_t* description) : m_description(description != nullptr ? description : L"") {}

CZVCommon::CZVCommon(const CZVCommon& other)
    : SharedOwnership(other), m_description(other.m_description), m_customAttributes(other.m_customAttributes),
      m_stringInfo(other.m_stringInfo), m_numberInfo(other.m_numberInfo)
{
    detail::AdoptAll(m_customAttributes);
}

CZVCommon& CZVCommon::operator=(const CZVCommon& other)
{
    if (this != &other) {
        std::vector<CZVCustomAttribute*> shared = other.m_customAttributes;
        detail::AdoptAll(shared);
        detail::ReleaseAll(m_customAttributes);
        m_customAttributes.swap(shared);
        m_description = other.m_description;
        m_stringInfo = other.m_stringInfo;
        m_numberInfo = other.m_numberInfo;
    }
    return *this;
}

CZVCommon::~CZVCommon() { detail::ReleaseAll(m_customAttributes); }

const wchar_t* CZVCommon::GetDescription() const { return m_description.c_str(); }

void CZVCommon::SetDescription(const wchar_t* description)
{
    if (description == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL description to CZVCommon::SetDescription", L"");
    }
    m_description = description;
}

void CZVCommon::SetDescription(const std::wstring& description) { m_description = description; }

void CZVCommon::AddZVCustomAttribute(CZVCustomAttribute* customAttribute)
{
    if (customAttribute == nullptr) {
        return;
    }
    m_customAttributes.push_back(customAttribute);
    detail::Adopt(customAttribute);
}

CZVCustomAttribute* CZVCommon::GetZVCustomAttribute(std::size_t index) const { return m_customAttributes[index]; }

std::size_t CZVCommon::GetZVCustomAttributeCount() const { return m_customAttributes.size(); }

void CZVCommon::SetExtendedInfo(std::wstring key, std::wstring value)
{
    m_stringInfo[std::move(key)] = std::move(value);
}

void CZVCommon::SetExtendedInfo(std::wstring key, unsigned long value) { m_numberInfo[std::move(key)] = value; }

int CZVCommon::GetExtendedInfo(std::wstring key, std::wstring& value) const
{
    auto found = m_stringInfo.find(key);
    if (found == m_stringInfo.end()) {
        return ZVXML_EXTENDED_INFO_NOT_FOUND;
    }
    value = found->second;
    return 0;
}

int CZVCommon::GetExtendedInfo(std::wstring key, unsigned long* value) const
{
    if (value == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL value to CZVCommon::GetExtendedInfo", L"");
    }
    auto found = m_numberInfo.find(key);
    if (found == m_numberInfo.end()) {
        return ZVXML_EXTENDED_INFO_NOT_FOUND;
    }
    *value = found->second;
    return 0;
}

} // namespace ZVXML
