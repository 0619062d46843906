// What a schema holds: classes, relationship classes, references.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/number_text.h"
#include "foundation/owned_list.h"
#include "schema/base_links.h"
#include "schema/borrowed_classes.h"
#include "schema/classes_in_use.h"
#include "schema/schema_internals.h"

#include <algorithm>
#include <cwchar>
#include <memory>

namespace ZVXML {
namespace {

// Renames a newcomer whose name is taken to N2, N3, ... (always after the
// name it came with): the first of N, N2, N3, ... that no class of the list
// has. The index remembers, per name, how far earlier newcomers have taken
// the numbers, and forgets it whenever a name of the list may have become
// free (a rename, a cleared list), so the search starts past numbers that
// are certainly taken and ends on the same name as a search from 2 would.
template <class T>
void RenameWhileTaken(detail::ClassNameIndex& index, T* zvClass)
{
    if (!index.Contains(CZVClass::Internals::TypeName(*zvClass))) {
        return;
    }
    const std::wstring original = zvClass->GetTypeName();
    unsigned long counter = index.FirstSuffixToTry(original);
    do {
        zvClass->SetTypeName(original + FormatUnsignedLong(counter));
        ++counter;
    } while (index.Contains(CZVClass::Internals::TypeName(*zvClass)));
    index.SuffixesTaken(original, counter);
}

// Renames the newcomer if need be, then inserts it before the first class
// that names it as base class, or at the end.
template <class T>
void AddToList(CZVSchema* schema, std::vector<T*>& list, detail::ClassNameIndex& index, T* zvClass)
{
    const std::vector<detail::ClassNameIndex*>& lists = CZVClass::Internals::Lists(*zvClass);
    if (std::find(lists.begin(), lists.end(), &index) != lists.end()) {
        // Its own name would always be taken: the renaming would never end.
        throw ZVXMLLogicError(std::wstring(L"ZVClass '") + zvClass->GetTypeName() + L"' is already in ZVSchema '" +
                                  index.Schema().GetSchemaName() + L"'.",
                              L"");
    }
    index.MakeCurrent();
    RenameWhileTaken(index, zvClass);
    auto position = list.end();
    const wchar_t* name = zvClass->GetTypeName();
    if (index.IsSomeonesBase(name)) {
        position = std::find_if(list.begin(), list.end(),
                                [name](const T* listed) { return std::wcscmp(listed->GetBaseClass(), name) == 0; });
    }
    detail::NoteBorrowed(*zvClass, *schema);
    // Room first: once the class is in, nothing throws.
    const std::size_t at = static_cast<std::size_t>(position - list.begin());
    detail::MakeRoomForOne(list);
    CZVClass::Internals::MakeRoomForList(*zvClass);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), zvClass);
    CZVClass::Internals::Hold(zvClass, schema);
    CZVClass::Internals::Enlist(zvClass, &index);
    detail::Adopt(zvClass);
    index.Added(zvClass);
}

template <class T>
void ReleaseClasses(CZVSchema* schema, std::vector<T*>& list, detail::ClassNameIndex* index)
{
    std::vector<T*> taken;
    taken.swap(list);
    if (index != nullptr) {
        index->Cleared();
    }
    for (T* zvClass : taken) {
        CZVClass::Internals::LetGo(zvClass, schema);
        CZVClass::Internals::Delist(zvClass, index);
        detail::Release(zvClass);
    }
}

template <class T>
void MakeRoomForAdoption(const std::vector<T*>& list)
{
    for (T* zvClass : list) {
        CZVClass::Internals::MakeRoomForList(*zvClass);
    }
}

// Allocates nothing once MakeRoomForAdoption has run for `list`.
template <class T>
void AdoptClasses(CZVSchema* schema, const std::vector<T*>& list, detail::ClassNameIndex& index) noexcept
{
    for (T* zvClass : list) {
        CZVClass::Internals::Hold(zvClass, schema);
        CZVClass::Internals::Enlist(zvClass, &index);
        detail::Adopt(zvClass);
    }
    index.Refilled();
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
        schema.m_classIndex.reset(new detail::ClassNameIndex(schema, false));
    }
    return *schema.m_classIndex;
}

detail::ClassNameIndex& CZVSchema::Internals::RelationshipIndex(CZVSchema& schema)
{
    if (!schema.m_relationshipIndex) {
        schema.m_relationshipIndex.reset(new detail::ClassNameIndex(schema, true));
    }
    return *schema.m_relationshipIndex;
}

void CZVSchema::Internals::PrepareAdoption(CZVSchema& schema, const std::vector<CZVClass*>& classes,
                                           const std::vector<CZVRelationshipClass*>& relationshipClasses)
{
    if (!classes.empty()) {
        ClassIndex(schema);
    }
    if (!relationshipClasses.empty()) {
        RelationshipIndex(schema);
    }
    MakeRoomForAdoption(classes);
    MakeRoomForAdoption(relationshipClasses);
}

void CZVSchema::Internals::AdoptPrepared(CZVSchema& schema) noexcept
{
    if (!schema.m_classes.empty()) {
        AdoptClasses(&schema, schema.m_classes, *schema.m_classIndex);
    }
    if (!schema.m_relationshipClasses.empty()) {
        AdoptClasses(&schema, schema.m_relationshipClasses, *schema.m_relationshipIndex);
    }
    detail::AdoptAll(schema.m_referencedSchemas);
}

void CZVSchema::Internals::PrepareRetired(const std::vector<CZVClass*>& retired) { MakeRoomForAdoption(retired); }

// Allocates nothing once PrepareRetired has run for the list. Retired
// classes are held by the schema, in no name index.
void CZVSchema::Internals::AdoptRetired(CZVSchema& schema) noexcept
{
    for (CZVClass* zvClass : schema.m_retiredClasses) {
        CZVClass::Internals::Hold(zvClass, &schema);
        detail::Adopt(zvClass);
    }
}

// Allocates nothing: it runs in the destructor.
void CZVSchema::Internals::ReleaseContents(CZVSchema& schema)
{
    ReleaseClasses(&schema, schema.m_classes, schema.m_classIndex.get());
    ReleaseClasses(&schema, schema.m_relationshipClasses, schema.m_relationshipIndex.get());
    // After the relationship classes, whose custom attributes may use them.
    ReleaseClasses(&schema, schema.m_retiredClasses, static_cast<detail::ClassNameIndex*>(nullptr));
    ReleaseReferencedSchemas(schema.m_referencedSchemas);
    schema.m_references.clear();
}

void CZVClass::Internals::MakeRoomForList(CZVClass& zvClass)
{
    detail::MakeRoomForOne(zvClass.m_listIndexes);
    detail::MakeRoomForOne(zvClass.m_holders);
}

void CZVClass::Internals::Enlist(CZVClass* zvClass, detail::ClassNameIndex* index)
{
    zvClass->m_listIndexes.push_back(index);
    if (zvClass->m_hasDerived.load(std::memory_order_relaxed)) {
        detail::MoveLinkGeneration(); // summaries of derived classes may now use this list
    }
}

void CZVClass::Internals::Delist(CZVClass* zvClass, detail::ClassNameIndex* index)
{
    std::vector<detail::ClassNameIndex*>& indexes = zvClass->m_listIndexes;
    auto found = std::find(indexes.begin(), indexes.end(), index);
    if (found != indexes.end()) {
        indexes.erase(found);
    }
    if (zvClass->m_hasDerived.load(std::memory_order_relaxed)) {
        detail::MoveLinkGeneration(); // summaries of derived classes name this list
    }
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
    // A schema never owns itself (a reference to its own name points back).
    const bool owns = reference.m_pZVSchema != nullptr && reference.m_pZVSchema != this;
    // Room first: once the reference is in, nothing throws, so a failure
    // leaves the referenced schema with the caller and no reference to it.
    if (owns) {
        detail::MakeRoomForOne(m_referencedSchemas);
    }
    m_references.push_back(reference);
    if (owns) {
        m_referencedSchemas.push_back(reference.m_pZVSchema);
        detail::Adopt(reference.m_pZVSchema);
    }
}

// Custom attributes that stay (the schema's own, and those of its
// relationship classes) may be instances of classes being removed, or hold
// instances of them: those classes leave the list and the name index but
// live on with the schema, so that the custom attributes stay whole. The
// custom attributes of schemas that own this one through a reference may
// use any of its classes, and this schema cannot see them: then all live on.
void CZVSchema::RemoveAllClasses()
{
    const bool referenced = detail::OwnershipAccess::Owners(this) > 0;
    const std::unordered_set<const CZVClass*> inUse =
        referenced ? std::unordered_set<const CZVClass*>() : detail::ClassesOfKeptCustomAttributes(*this);
    std::vector<CZVClass*> retiring;
    for (CZVClass* zvClass : m_classes) {
        if (referenced || inUse.count(zvClass) != 0) {
            retiring.push_back(zvClass);
        }
    }
    m_retiredClasses.reserve(m_retiredClasses.size() + retiring.size());
    // Nothing below throws.
    for (CZVClass* zvClass : retiring) {
        CZVClass::Internals::Delist(zvClass, m_classIndex.get());
        // Gone for lookups: classes deriving from it find their base by name.
        CZVClass::Internals::ReleaseDerived(*zvClass);
        m_classes.erase(std::find(m_classes.begin(), m_classes.end(), zvClass));
        m_retiredClasses.push_back(zvClass);
    }
    ReleaseClasses(this, m_classes, m_classIndex.get());
}

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
