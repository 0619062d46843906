// Custom attributes kept during a schema load until every class has its
// properties.
#include "schemaxml/deferred_custom_attributes.h"

namespace ZVXML {
namespace {

thread_local DeferredCustomAttributes* t_collecting = nullptr;

} // namespace

DeferredCustomAttributes::DeferredCustomAttributes() : m_previous(t_collecting) { t_collecting = this; }

DeferredCustomAttributes::~DeferredCustomAttributes() { t_collecting = m_previous; }

int DeferredCustomAttributes::ReadOrDefer(CZVCommon& item, CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    if (t_collecting == nullptr || schema == nullptr) {
        return item.ReadCustomAttributesFromXML(schema, document, element);
    }
    t_collecting->m_pending.push_back(Pending{&item, schema, &document, element});
    return 0;
}

int DeferredCustomAttributes::ReadAll()
{
    // Nothing is kept any more on this thread until this one is gone: what
    // these reads reach is read at once.
    t_collecting = nullptr;
    for (const Pending& pending : m_pending) {
        if (int result =
                pending.item->ReadCustomAttributesFromXML(pending.schema, *pending.document, pending.element)) {
            return result;
        }
    }
    return 0;
}

} // namespace ZVXML
