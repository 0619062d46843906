// The ready-made factory: instances of a schema's classes by name.
#include <zvxml/errors.h>
#include <zvxml/factory.h>
#include <zvxml/instance.h>

#include "instance/spare_objects.h"

#include <string>
#include <unordered_map>

namespace ZVXML {

struct CZVSchemaInstanceFactory::Cache {
    struct Entry {
        CZVClass* zvClass;
        bool isRelationship;
    };
    // Only names the schema knows are kept, so a document full of unknown
    // names cannot grow the cache beyond the schema's size.
    std::unordered_map<std::wstring, Entry> entries;
    std::wstring key; // reused, so a hit allocates nothing
};

CZVSchemaInstanceFactory::CZVSchemaInstanceFactory(CZVSchema* schema) : m_pZVSchema(schema), m_cache(new Cache())
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema into CZVSchemaInstanceFactory constructor", L"");
    }
}

CZVSchemaInstanceFactory::~CZVSchemaInstanceFactory() = default;

CZVSchema* CZVSchemaInstanceFactory::GetZVSchema() const { return m_pZVSchema; }

CZVInstance* CZVSchemaInstanceFactory::CreateInstance(const wchar_t* /*namespaceURI*/, const wchar_t* className,
                                                      int* isRelationship)
{
    if (className == nullptr) {
        return nullptr;
    }
    m_cache->key.assign(className);
    auto found = m_cache->entries.find(m_cache->key);
    if (found == m_cache->entries.end()) {
        Cache::Entry entry{m_pZVSchema->FindZVRelationshipClass(className, ZVCLASSTYPE_ANY), true};
        if (entry.zvClass == nullptr) {
            entry = Cache::Entry{m_pZVSchema->FindZVClass(className, ZVCLASSTYPE_ANY), false};
        }
        if (entry.zvClass == nullptr) {
            return nullptr;
        }
        found = m_cache->entries.emplace(m_cache->key, entry).first;
    }
    const Cache::Entry& entry = found->second;
    if (entry.isRelationship) {
        if (isRelationship != nullptr) {
            *isRelationship = 1;
        }
        return MakeRelationshipInstance(static_cast<CZVRelationshipClass*>(entry.zvClass));
    }
    return MakeInstance(entry.zvClass);
}

} // namespace ZVXML
