// Helpers of the schema's own source files that work on its private lists.
#ifndef ZVXML_SCHEMA_SCHEMA_INTERNALS_H
#define ZVXML_SCHEMA_SCHEMA_INTERNALS_H

#include <zvxml/schema.h>

#include "schema/class_name_index.h"

#include <string>
#include <string_view>
#include <vector>

namespace ZVXML {

namespace detail {

struct ChainInfo;
class PropertyNameIndex;

// Grows `list` (geometrically) so that one more element fits without
// allocating: what may throw is done before a change begins.
template <class T>
void MakeRoomForOne(std::vector<T>& list)
{
    if (list.size() == list.capacity()) {
        list.reserve(list.empty() ? 4 : 2 * list.size());
    }
}

// A property's private fields, for the classes that hold it.
struct PropertyAccess {
    static const std::wstring& Name(const CZVProperty& property) { return property.m_propertyName; }
    static const std::wstring& TypeName(const CZVProperty& property) { return property.m_typeName; }
    // The classes whose lists hold the property, once per place.
    static std::vector<CZVClass*>& Holders(CZVProperty& property) { return property.m_holders.value; }
    static void SetClass(CZVProperty& property, CZVClass* zvClass) { property.m_pZVClass = zvClass; }
};

} // namespace detail

struct CZVClass::Internals {
    // FindProperty for a name whose length is known.
    static CZVProperty* FindProperty(CZVClass& zvClass, std::wstring_view name);
    // The first of the class's own properties of that name, or NULL.
    static CZVProperty* FindOwnProperty(const CZVClass& zvClass, std::wstring_view name);

    static const std::wstring& TypeName(const CZVClass& zvClass) { return zvClass.m_typeName; }
    static const std::vector<CZVProperty*>& Properties(const CZVClass& zvClass) { return zvClass.m_properties; }
    // The base class as linked by SetBaseClass (or a copy), NULL without one.
    static CZVClass* BaseLink(const CZVClass& zvClass) { return zvClass.m_pBaseClass; }
    // A base class name without a linked class: GetBaseZVClass looks it up.
    static bool BaseByNameOnly(const CZVClass& zvClass)
    {
        return zvClass.m_pBaseClass == nullptr && !zvClass.m_baseClassName.empty();
    }
    static const std::vector<detail::ClassNameIndex*>& Lists(const CZVClass& zvClass) { return zvClass.m_listIndexes; }
    static detail::ChainInfo* Chain(const CZVClass& zvClass) { return zvClass.m_chainInfo.get(); }
    static void SetChain(CZVClass& zvClass, std::unique_ptr<detail::ChainInfo> chain);

    // A class enters or leaves a schema list with that name index; room for
    // entering is made first.
    static void MakeRoomForList(CZVClass& zvClass);
    static void Enlist(CZVClass* zvClass, detail::ClassNameIndex* index);
    static void Delist(CZVClass* zvClass, detail::ClassNameIndex* index);

    // A schema's list takes the class, or lets go of it; a class whose own
    // schema lets go passes to another schema still holding it. Holding
    // after MakeRoomForList cannot fail; letting go allocates nothing.
    static void Hold(CZVClass* zvClass, CZVSchema* schema) { zvClass->m_holders.push_back(schema); }
    static void LetGo(CZVClass* zvClass, CZVSchema* schema) noexcept;
    static bool IsHeldBy(const CZVClass& zvClass, const CZVSchema* schema);
    // The schema the class names is being destroyed without holding it.
    static void PassFromDyingSchema(CZVClass& zvClass, const CZVSchema* dying) noexcept;

    // Base-class links (base_links.cpp): every change of m_pBaseClass goes
    // through LinkBase, which keeps the chain bookkeeping, and is refused
    // first when ClosesLoop: when `base` is the class itself or one of the
    // classes that derive from it.
    static bool ClosesLoop(const CZVClass& zvClass, const CZVClass* base);
    static void LinkBase(CZVClass& zvClass, CZVClass* base) noexcept;
    static void Unlink(CZVClass& zvClass) noexcept;
    // A class being destroyed clears the links of the classes deriving from
    // it; they find their base by name from then on.
    static void ReleaseDerived(CZVClass& zvClass) noexcept;

    // Told by a property the class holds.
    static void PropertyRenamed(CZVClass& holder, CZVProperty* property, const std::wstring& previous);
    static void PropertyNameHandedOut(CZVClass& holder);
};

struct CZVSchema::Internals {
    // The indexes, created by the first change that needs them.
    static detail::ClassNameIndex& ClassIndex(CZVSchema& schema);
    static detail::ClassNameIndex& RelationshipIndex(CZVSchema& schema);
    static const std::vector<CZVClass*>& Classes(const CZVSchema& schema) { return schema.m_classes; }
    static const std::vector<CZVRelationshipClass*>& RelationshipClasses(const CZVSchema& schema)
    {
        return schema.m_relationshipClasses;
    }
    // Takes a claim on everything the schema's lists hold after a copy, in
    // two steps so that a copy or an assignment changes nothing before all
    // that may fail is done: PrepareAdoption makes the indexes and the room
    // every listed class needs; AdoptPrepared then only links. The retired
    // classes (see RemoveAllClasses), which copies share too, take the same
    // two steps.
    static void PrepareAdoption(CZVSchema& schema, const std::vector<CZVClass*>& classes,
                                const std::vector<CZVRelationshipClass*>& relationshipClasses);
    static void AdoptPrepared(CZVSchema& schema) noexcept;
    static void PrepareRetired(const std::vector<CZVClass*>& retired);
    static void AdoptRetired(CZVSchema& schema) noexcept;
    // Gives up every claim and empties the lists, classes first, then
    // relationship classes, retired classes, then referenced schemas.
    static void ReleaseContents(CZVSchema& schema);
    // Gives up the claims on the referenced schemas and empties the list.
    // A schema whose last claim goes is destroyed, and the schemas it
    // references after it, in a loop on this thread: a chain of references
    // of any length costs no stack. Allocates nothing and throws nothing.
    static void ReleaseReferencedSchemas(std::vector<CZVSchema*>& referencedSchemas) noexcept;

    // The first class of that name in the schema and its loaded references,
    // depth first, each schema once; NULL when there is none.
    static CZVClass* FindClassInTree(CZVSchema& schema, std::wstring_view name);
    static CZVRelationshipClass* FindRelationshipClassInTree(CZVSchema& schema, std::wstring_view name);
    // The class a name relative to `schema` names ("Name", or "prefix:Name"
    // as GetRelativeClassName gives it), as FindZVClassUsingFullName finds
    // it; NULL, not an exception, when there is none.
    static CZVClass* FindClassByRelativeName(CZVSchema& schema, const wchar_t* name);
    // Whether any class (or relationship class) is reachable at all.
    static bool TreeHasClasses(CZVSchema& schema, bool relationshipClasses);
};

} // namespace ZVXML

#endif
