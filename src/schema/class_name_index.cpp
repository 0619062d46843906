#include "schema/class_name_index.h"

#include <zvxml/schema.h>

namespace ZVXML {
namespace detail {

bool ClassNameIndex::IsCurrent(std::size_t listSize) const { return m_valid && m_size == listSize; }

void ClassNameIndex::BeginRebuild(std::size_t count)
{
    m_firstByName.clear();
    m_baseNameUses.clear();
    m_firstByName.reserve(count);
    m_size = count;
    m_valid = true;
}

void ClassNameIndex::Enter(CZVClass* zvClass)
{
    m_firstByName.emplace(zvClass->GetTypeName(), zvClass); // keeps the first of a name
    const wchar_t* base = zvClass->GetBaseClass();
    if (*base != L'\0') {
        ++m_baseNameUses[base];
    }
}

CZVClass* ClassNameIndex::FindFirst(const std::wstring& typeName) const
{
    auto found = m_firstByName.find(typeName);
    return found == m_firstByName.end() ? nullptr : found->second;
}

bool ClassNameIndex::IsSomeonesBase(const std::wstring& typeName) const
{
    return m_baseNameUses.find(typeName) != m_baseNameUses.end();
}

void ClassNameIndex::BaseRenamed(const std::wstring& previous, const std::wstring& current)
{
    if (!m_valid) {
        return; // rebuilt from the list before its next answer anyway
    }
    if (!previous.empty()) {
        auto found = m_baseNameUses.find(previous);
        if (found != m_baseNameUses.end() && --found->second == 0) {
            m_baseNameUses.erase(found);
        }
    }
    if (!current.empty()) {
        ++m_baseNameUses[current];
    }
}

void ClassNameIndex::Added(CZVClass* zvClass, std::size_t newListSize)
{
    Enter(zvClass);
    m_size = newListSize;
}

} // namespace detail
} // namespace ZVXML
