// Helpers of the schema's own source files that work on its private lists.
#ifndef ZVXML_SCHEMA_SCHEMA_INTERNALS_H
#define ZVXML_SCHEMA_SCHEMA_INTERNALS_H

#include <zvxml/schema.h>

#include "schema/class_name_index.h"

#include <string_view>
#include <vector>

namespace ZVXML {

struct CZVClass::Internals {
    // FindProperty for a name whose length is known.
    static CZVProperty* FindProperty(CZVClass& zvClass, std::wstring_view name);

    // A schema's list takes the class, or lets go of it; a class whose own
    // schema lets go passes to another schema still holding it.
    static void Hold(CZVClass* zvClass, CZVSchema* schema) { zvClass->m_holders.push_back(schema); }
    static void LetGo(CZVClass* zvClass, CZVSchema* schema);

    // A class enters or leaves a schema list with that name index.
    static void Enlist(CZVClass* zvClass, detail::ClassNameIndex* index) { zvClass->m_listIndexes.push_back(index); }
    static void Delist(CZVClass* zvClass, detail::ClassNameIndex* index)
    {
        std::vector<detail::ClassNameIndex*>& indexes = zvClass->m_listIndexes;
        for (auto it = indexes.begin(); it != indexes.end(); ++it) {
            if (*it == index) {
                indexes.erase(it);
                return;
            }
        }
    }
};

struct CZVSchema::Internals {
    static detail::ClassNameIndex& ClassIndex(CZVSchema& schema);
    static detail::ClassNameIndex& RelationshipIndex(CZVSchema& schema);
    // Takes a claim on everything the schema's lists hold (after a copy).
    static void AdoptContents(CZVSchema& schema);
    // Gives up every claim and empties the lists, classes first, then
    // relationship classes, then referenced schemas.
    static void ReleaseContents(CZVSchema& schema);

    // The first class of that name in the schema and its loaded references,
    // depth first, each schema once; NULL when there is none.
    static CZVClass* FindClassInTree(CZVSchema& schema, const wchar_t* name);
    static CZVRelationshipClass* FindRelationshipClassInTree(CZVSchema& schema, const wchar_t* name);
    // The class a name relative to `schema` names ("Name", or "prefix:Name"
    // as GetRelativeClassName gives it), as FindZVClassUsingFullName finds
    // it; NULL, not an exception, when there is none.
    static CZVClass* FindClassByRelativeName(CZVSchema& schema, const wchar_t* name);
    // Whether any class (or relationship class) is reachable at all.
    static bool TreeHasClasses(CZVSchema& schema, bool relationshipClasses);
};

} // namespace ZVXML

#endif
