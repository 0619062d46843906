// Which schema a class shared by a schema and its copies belongs to.
#include "schema/schema_internals.h"

#include <algorithm>

namespace ZVXML {

void CZVClass::Internals::LetGo(CZVClass* zvClass, CZVSchema* schema) noexcept
{
    std::vector<CZVSchema*>& holders = zvClass->m_holders;
    const auto held = std::find(holders.begin(), holders.end(), schema);
    if (held != holders.end()) {
        holders.erase(held);
    }
    // The class may stand in two lists of one schema; it stays that
    // schema's while either holds it. Without holders left it is about to
    // be destroyed.
    if (zvClass->m_pZVSchema == schema && !holders.empty() &&
        std::find(holders.begin(), holders.end(), schema) == holders.end()) {
        zvClass->m_pZVSchema = holders.front();
    }
}

bool CZVClass::Internals::IsHeldBy(const CZVClass& zvClass, const CZVSchema* schema)
{
    const std::vector<CZVSchema*>& holders = zvClass.m_holders;
    return std::find(holders.begin(), holders.end(), schema) != holders.end();
}

void CZVClass::Internals::PassFromDyingSchema(CZVClass& zvClass, const CZVSchema* dying) noexcept
{
    if (zvClass.m_pZVSchema != dying) {
        return; // named another schema since
    }
    const std::vector<CZVSchema*>& holders = zvClass.m_holders;
    const auto other = std::find_if(holders.begin(), holders.end(), [dying](CZVSchema* h) { return h != dying; });
    zvClass.m_pZVSchema = other != holders.end() ? *other : nullptr;
}

} // namespace ZVXML
