#include "schema/base_chain.h"

#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include <algorithm>

namespace ZVXML {
namespace {
constexpr std::size_t kShortChain = 16;
} // namespace

BaseChain::BaseChain(CZVClass* start) : m_start(start) { Remember(start); }

CZVClass* BaseChain::Next(CZVClass* current)
{
    CZVClass* base = current->GetBaseZVClass();
    if (base == nullptr) {
        return nullptr;
    }
    if (Seen(base)) {
        throw ZVXMLLogicError(std::wstring(L"The base classes of ZVClass '") + m_start->GetTypeName() +
                                  L"' form a loop at '" + base->GetTypeName() + L"'.",
                              L"");
    }
    Remember(base);
    return base;
}

bool BaseChain::Seen(CZVClass* zvClass) const
{
    if (!m_many.empty()) {
        return m_many.count(zvClass) != 0;
    }
    return std::find(m_recent.begin(), m_recent.end(), zvClass) != m_recent.end();
}

void BaseChain::Remember(CZVClass* zvClass)
{
    if (!m_many.empty()) {
        m_many.insert(zvClass);
    } else if (m_recent.size() < kShortChain) {
        m_recent.push_back(zvClass);
    } else {
        m_many.insert(m_recent.begin(), m_recent.end());
        m_many.insert(zvClass);
    }
}

} // namespace ZVXML
