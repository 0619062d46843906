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

} // namespace ZVXML
