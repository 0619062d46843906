#include "schema/classes_in_use.h"

#include <zvxml/instance.h>
#include <zvxml/schema.h>

#include <vector>

namespace ZVXML {
namespace detail {
namespace {

// Walks instances and values with stacks of its own: values may nest as
// deep as a host builds them, and a struct value may hold its own instance.
class InstanceWalk {
public:
    explicit InstanceWalk(std::unordered_set<const CZVClass*>& classes) : m_classes(classes) {}

    void CustomAttributesOf(const CZVCommon& item)
    {
        for (std::size_t i = 0; i < item.GetZVCustomAttributeCount(); ++i) {
            Visit(item.GetZVCustomAttribute(i));
        }
        while (!m_values.empty() || !m_instances.empty()) {
            if (!m_instances.empty()) {
                const CZVInstance* instance = m_instances.back();
                m_instances.pop_back();
                for (std::size_t i = 0; i < instance->GetZVValueCount(); ++i) {
                    m_values.push_back(instance->GetZVValue(i));
                }
                continue;
            }
            const ZVValueBase* value = m_values.back();
            m_values.pop_back();
            if (const auto* structValue = dynamic_cast<const ZVStructValue*>(value)) {
                Visit(structValue->GetValue());
            } else if (const auto* array = dynamic_cast<const ZVArrayValue*>(value)) {
                for (std::size_t i = 0; i < array->GetLength(); ++i) {
                    m_values.push_back(array->GetValue(i));
                }
            }
        }
    }

private:
    void Visit(const CZVInstance* instance)
    {
        if (instance != nullptr && m_seen.insert(instance).second) {
            m_classes.insert(instance->GetZVClass());
            m_instances.push_back(instance);
        }
    }

    std::unordered_set<const CZVClass*>& m_classes;
    std::unordered_set<const CZVInstance*> m_seen;
    std::vector<const CZVInstance*> m_instances;
    std::vector<const ZVValueBase*> m_values;
};

} // namespace

std::unordered_set<const CZVClass*> ClassesOfKeptCustomAttributes(const CZVSchema& schema)
{
    std::unordered_set<const CZVClass*> classes;
    InstanceWalk walk(classes);
    walk.CustomAttributesOf(schema);
    for (std::size_t i = 0; i < schema.GetZVRelationshipClassCount(); ++i) {
        const CZVRelationshipClass* relationshipClass = schema.GetZVRelationshipClass(i);
        if (relationshipClass == nullptr) {
            continue;
        }
        walk.CustomAttributesOf(*relationshipClass);
        for (std::size_t p = 0; p < relationshipClass->GetZVPropertyCount(); ++p) {
            if (const CZVProperty* property = relationshipClass->GetZVProperty(p)) {
                walk.CustomAttributesOf(*property);
            }
        }
        walk.CustomAttributesOf(relationshipClass->m_source.Common());
        walk.CustomAttributesOf(relationshipClass->m_targets.Common());
    }
    return classes;
}

} // namespace detail
} // namespace ZVXML
