#include "schemaxml/deferred_custom_attributes.h"

#include <utility>

namespace ZVXML {

int DeferredCustomAttributes::ReadOrDefer(DeferredCustomAttributes* deferred, CZVCommon& item, CZVSchema* schema,
                                          XMLDocument& document, XMLNode element)
{
    if (deferred == nullptr || schema == nullptr) {
        return item.ReadCustomAttributesFromXML(schema, document, element);
    }
    deferred->m_pending.push_back(Pending{&item, schema, &document, element});
    return 0;
}

int DeferredCustomAttributes::ReadAll()
{
    const std::vector<Pending> pending = std::move(m_pending);
    m_pending.clear();
    for (const Pending& entry : pending) {
        if (int result = entry.item->ReadCustomAttributesFromXML(entry.schema, *entry.document, entry.element)) {
            return result;
        }
    }
    return 0;
}

} // namespace ZVXML
