// What a schema holds: classes, relationship classes, references.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/number_text.h"
#include "foundation/owned_list.h"
#include "schema/schema_internals.h"

#include <algorithm>
#include <memory>

namespace ZVXML {
namespace {

// Renames a newcomer whose name is taken to N2, N3, ... (always after the
// name it came with), then inserts it before the first class that names it
// as base class, or at the end.
template <class T>
void AddToList(CZVSchema* schema, std::vector<T*>& list, detail::ClassNameIndex& index, T* zvClass)
{
    index.Sync(list);
    const std::wstring original = zvClass->GetTypeName();
    unsigned long counter = 2;
    while (index.Contains(zvClass->GetTypeName())) {
        zvClass->SetTypeName(original + FormatLong(static_cast<long>(counter)));
        ++counter;
        index.Sync(list); // a class listed elsewhere too may have moved the epoch
    }
    auto position = list.end();
    const wchar_t* name = zvClass->GetTypeName();
    if (index.IsSomeonesBase(name)) {
        position = std::find_if(list.begin(), list.end(),
                                [name](const T* listed) { return std::wcscmp(listed->GetBaseClass(), name) == 0; });
    }
    CZVClass::Internals::Hold(zvClass, schema);
    try {
        list.insert(position, zvClass);
    } catch (...) {
        CZVClass::Internals::LetGo(zvClass, schema);
        throw;
    }
    CZVClass::Internals::Enlist(zvClass, &index);
    detail::Adopt(zvClass);
    index.Added(zvClass, list.size());
}

template <class T>
void ReleaseClasses(CZVSchema* schema, std::vector<T*>& list, detail::ClassNameIndex& index)
{
    std::vector<T*> taken;
    taken.swap(list);
    index.Invalidate();
    for (T* zvClass : taken) {
        CZVClass::Internals::LetGo(zvClass, schema);
        CZVClass::Internals::Delist(zvClass, &index);
        detail::Release(zvClass);
    }
}

template <class T>
void AdoptClasses(CZVSchema* schema, const std::vector<T*>& list, detail::ClassNameIndex& index)
{
    index.Invalidate();
    for (T* zvClass : list) {
        CZVClass::Internals::Hold(zvClass, schema);
        CZVClass::Internals::Enlist(zvClass, &index);
        detail::Adopt(zvClass);
    }
}

// Creates a class of `schema`, types it and hands it to `add`; a class that
// is refused on the way is destroyed, not leaked.
template <class T, class Add>
T* CreateAndAdd(CZVSchema* schema, const wchar_t* name, const wchar_t* description, unsigned long classType,
                const wchar_t* operation, Add add)
{
    if (description == nullptr) {
        throw ZVXMLInvalidArgument(std::wstring(L"Passed NULL description to CZVSchema::") + operation, L"");
    }
    std::unique_ptr<T> created(new T(name, schema, nullptr));
    created->SetDescription(description);
    created->SetClassType(classType);
    add(created.get());
    return created.release();
}

} // namespace

detail::ClassNameIndex& CZVSchema::Internals::ClassIndex(CZVSchema& schema)
{
    if (!schema.m_classIndex) {
        schema.m_classIndex.reset(new detail::ClassNameIndex());
    }
    return *schema.m_classIndex;
}

detail::ClassNameIndex& CZVSchema::Internals::RelationshipIndex(CZVSchema& schema)
{
    if (!schema.m_relationshipIndex) {
        schema.m_relationshipIndex.reset(new detail::ClassNameIndex());
    }
    return *schema.m_relationshipIndex;
}

void CZVSchema::Internals::AdoptContents(CZVSchema& schema)
{
    AdoptClasses(&schema, schema.m_classes, ClassIndex(schema));
    AdoptClasses(&schema, schema.m_relationshipClasses, RelationshipIndex(schema));
    detail::AdoptAll(schema.m_referencedSchemas);
}

void CZVSchema::Internals::ReleaseContents(CZVSchema& schema)
{
    ReleaseClasses(&schema, schema.m_classes, ClassIndex(schema));
    ReleaseClasses(&schema, schema.m_relationshipClasses, RelationshipIndex(schema));
    detail::ReleaseAll(schema.m_referencedSchemas);
    schema.m_references.clear();
}

void CZVSchema::AddZVClass(CZVClass* zvClass)
{
    if (zvClass == nullptr) {
        return;
    }
    zvClass->SetZVSchema(this);
    AddToList(this, m_classes, Internals::ClassIndex(*this), zvClass);
}

void CZVSchema::AddZVRelationshipClass(CZVRelationshipClass* relationshipClass)
{
    if (relationshipClass == nullptr) {
        return;
    }
    AddToList(this, m_relationshipClasses, Internals::RelationshipIndex(*this), relationshipClass);
}

CZVClass* CZVSchema::CreateZVClass(const wchar_t* name, const wchar_t* description, unsigned long classType)
{
    return CreateAndAdd<CZVClass>(this, name, description, classType, L"CreateZVClass",
                                  [this](CZVClass* created) { AddZVClass(created); });
}

CZVRelationshipClass* CZVSchema::CreateZVRelationshipClass(const wchar_t* name, const wchar_t* description,
                                                           unsigned long classType)
{
    return CreateAndAdd<CZVRelationshipClass>(
        this, name, description, classType, L"CreateZVRelationshipClass",
        [this](CZVRelationshipClass* created) { AddZVRelationshipClass(created); });
}

void CZVSchema::AddReference(CZVSchemaReference& reference)
{
    m_references.push_back(reference);
    // A schema never owns itself (a reference to its own name points back).
    if (reference.m_pZVSchema != nullptr && reference.m_pZVSchema != this) {
        m_referencedSchemas.push_back(reference.m_pZVSchema);
        detail::Adopt(reference.m_pZVSchema);
    }
}

void CZVSchema::RemoveAllClasses() { ReleaseClasses(this, m_classes, Internals::ClassIndex(*this)); }

CZVClass* CZVSchema::GetZVClassByIndex(std::size_t index) const { return m_classes[index]; }
std::size_t CZVSchema::GetZVClassCount() const { return m_classes.size(); }
CZVRelationshipClass* CZVSchema::GetZVRelationshipClass(std::size_t index) const
{
    return m_relationshipClasses[index];
}
std::size_t CZVSchema::GetZVRelationshipClassCount() const { return m_relationshipClasses.size(); }

CZVSchema* CZVSchema::GetReferencedSchema(unsigned long index) const
{
    return index < m_references.size() ? m_references[index].m_pZVSchema : nullptr;
}

std::size_t CZVSchema::GetReferenceCount() const { return m_references.size(); }

} // namespace ZVXML
