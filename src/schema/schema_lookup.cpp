// Finding classes, relationship classes and referenced schemas.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/schema_internals.h"
#include "schema/schema_walk.h"
#include "schema/version_numbers.h"

#include <algorithm>
#include <cwchar>

namespace ZVXML {
namespace {

using detail::SchemaWalk;
using detail::WalkSchemaTree;

void RequireName(const wchar_t* text, const wchar_t* what, const wchar_t* operation)
{
    if (text == nullptr) {
        throw ZVXMLInvalidArgument(std::wstring(L"Passed NULL ") + what + L" to CZVSchema::" + operation, L"");
    }
}

template <class T>
T* ApplyMask(T* found, unsigned long classTypeMask)
{
    return (found != nullptr && found->MatchesClassType(classTypeMask)) ? found : nullptr;
}

// The schema whose classes a relative name "prefix:name" names when no
// reference goes by that prefix: GetRelativeClassName uses the prefix of the
// class's own schema, which a reference may call by another prefix, or which
// may be reached only through another schema. The first loaded referenced
// schema (depth first, as the lookups go) whose own prefix it is; NULL when
// there is none.
CZVSchema* SchemaOfOwnPrefix(CZVSchema* schema, const std::wstring& prefix)
{
    if (schema->FindReferencedSchemaByPrefix(prefix.c_str()) != nullptr) {
        return nullptr; // the prefix lookup answers
    }
    auto visit = [&prefix](CZVSchema* current) -> void* {
        return prefix == current->GetSchemaPrefix() ? current : nullptr;
    };
    return static_cast<CZVSchema*>(WalkSchemaTree(schema, visit));
}

// Whether "prefix:<type name>" names `zvClass` from `schema`, as the
// full-name lookups resolve it.
bool PrefixNamesClass(CZVSchema* schema, const std::wstring& prefix, CZVClass* zvClass)
{
    CZVSchema* target = schema->FindReferencedSchemaByPrefix(prefix.c_str());
    if (target == nullptr) {
        target = SchemaOfOwnPrefix(schema, prefix);
    }
    if (target == nullptr) {
        return false;
    }
    const wchar_t* name = zvClass->GetTypeName();
    CZVClass* found = dynamic_cast<CZVRelationshipClass*>(zvClass) != nullptr
                          ? target->FindZVRelationshipClass(name, ZVCLASSTYPE_ANY)
                          : target->FindZVClass(name, ZVCLASSTYPE_ANY);
    return found == zvClass;
}

[[noreturn]] void ThrowSchemaNotFound(const CZVSchema* schema, const wchar_t* what, const wchar_t* key)
{
    throw ZVXMLDomainError(std::wstring(L"ZVSchema ") + what + L"'" + key + L"' not found among '" +
                               schema->GetSchemaName() + L"'s referenced schemas",
                           L"");
}

} // namespace

namespace {

// The first class of `list` with that name: through the list's index when
// the schema has one (it is kept current by every change; a read never
// builds it), else along the list.
template <class T>
CZVClass* FindInList(const std::vector<T*>& list, const detail::ClassNameIndex* index, std::wstring_view name)
{
    if (index != nullptr) {
        return index->FindFirst(name);
    }
    for (T* zvClass : list) {
        if (CZVClass::Internals::TypeName(*zvClass) == name) {
            return zvClass;
        }
    }
    return nullptr;
}

} // namespace

CZVClass* CZVSchema::Internals::FindClassInTree(CZVSchema& schema, std::wstring_view name)
{
    auto visit = [name](CZVSchema* current) -> void* {
        return FindInList(current->m_classes, current->m_classIndex.get(), name);
    };
    return static_cast<CZVClass*>(WalkSchemaTree(&schema, visit));
}

CZVRelationshipClass* CZVSchema::Internals::FindRelationshipClassInTree(CZVSchema& schema, std::wstring_view name)
{
    auto visit = [name](CZVSchema* current) -> void* {
        return FindInList(current->m_relationshipClasses, current->m_relationshipIndex.get(), name);
    };
    return static_cast<CZVRelationshipClass*>(static_cast<CZVClass*>(WalkSchemaTree(&schema, visit)));
}

bool CZVSchema::Internals::TreeHasClasses(CZVSchema& schema, bool relationshipClasses)
{
    auto visit = [relationshipClasses](CZVSchema* current) -> void* {
        bool any = relationshipClasses ? !current->m_relationshipClasses.empty() : !current->m_classes.empty();
        return any ? current : nullptr;
    };
    return WalkSchemaTree(&schema, visit) != nullptr;
}

void* CZVSchema::findZVClassCallback(CZVClass* zvClass, void* context)
{
    if (context == nullptr) {
        throw ZVXMLRuntimeError(L"NULL context passed ot findZVClassCallback", L"");
    }
    return std::wcscmp(zvClass->GetTypeName(), static_cast<const wchar_t*>(context)) == 0 ? zvClass : nullptr;
}

void* CZVSchema::findZVRelationshipClassCallback(CZVRelationshipClass* relationshipClass, void* context)
{
    if (context == nullptr) {
        throw ZVXMLRuntimeError(L"NULL context passed ot findZVRelationshipClassCallback", L"");
    }
    return std::wcscmp(relationshipClass->GetTypeName(), static_cast<const wchar_t*>(context)) == 0 ? relationshipClass
                                                                                                    : nullptr;
}

// The plain lookups answer what IterateOverAll*Classes with the find
// callbacks would answer, through the name indexes.
CZVClass* CZVSchema::FindZVClass(const wchar_t* name, unsigned long classTypeMask)
{
    if (name == nullptr) {
        // The find callback refuses a NULL name as soon as it sees a class.
        if (Internals::TreeHasClasses(*this, false)) {
            findZVClassCallback(nullptr, nullptr);
        }
        return nullptr;
    }
    return ApplyMask(Internals::FindClassInTree(*this, name), classTypeMask);
}

CZVRelationshipClass* CZVSchema::FindZVRelationshipClass(const wchar_t* name, unsigned long classTypeMask)
{
    if (name == nullptr) {
        if (Internals::TreeHasClasses(*this, true)) {
            findZVRelationshipClassCallback(nullptr, nullptr);
        }
        return nullptr;
    }
    return ApplyMask(Internals::FindRelationshipClassInTree(*this, name), classTypeMask);
}

void* CZVSchema::IterateOverAllClasses(void* (*callback)(CZVClass*, void*), void* context, int includeReferencedSchemas)
{
    if (callback == nullptr) {
        throw ZVXMLInvalidArgument(L"CZVSchema::IterateOverClasses called with NULL callback!", L"");
    }
    auto visit = [callback, context](CZVSchema* current) -> void* {
        // Iterate over a copy: a callback may add classes.
        const std::vector<CZVClass*> classes = current->m_classes;
        for (CZVClass* zvClass : classes) {
            if (void* result = callback(zvClass, context)) {
                return result;
            }
        }
        return nullptr;
    };
    return SchemaWalk().Run(this, visit, includeReferencedSchemas != 0);
}

void* CZVSchema::IterateOverAllRelationshipClasses(void* (*callback)(CZVRelationshipClass*, void*), void* context,
                                                   int includeReferencedSchemas)
{
    if (callback == nullptr) {
        throw ZVXMLInvalidArgument(L"CZVSchema::IterateOverRelationshipClasses called with NULL callback!", L"");
    }
    auto visit = [callback, context](CZVSchema* current) -> void* {
        const std::vector<CZVRelationshipClass*> classes = current->m_relationshipClasses;
        for (CZVRelationshipClass* relationshipClass : classes) {
            if (void* result = callback(relationshipClass, context)) {
                return result;
            }
        }
        return nullptr;
    };
    return SchemaWalk().Run(this, visit, includeReferencedSchemas != 0);
}

CZVSchema* CZVSchema::FindReferencedSchema(const wchar_t* schemaName, const wchar_t* version)
{
    RequireName(schemaName, L"schemaName", L"FindReferencedSchema");
    if (m_schemaName == schemaName) {
        return this;
    }
    for (const CZVSchemaReference& reference : m_references) {
        if (reference.m_schemaName != schemaName) {
            continue;
        }
        if (version == nullptr || reference.m_versionString == version) {
            return reference.m_pZVSchema;
        }
        const wchar_t* dot = std::wcschr(version, L'.');
        if (dot == nullptr) {
            throw ZVXMLLogicError(std::wstring(L"Invalid version string passed to FindReferencedSchema:") + version,
                                  L"");
        }
        // Same major version, and the request is for an older minor one:
        // compared as numbers, as "01.100" is newer than "01.99".
        detail::VersionNumbers requested;
        detail::VersionNumbers available;
        if (detail::ReadVersionNumbers(version, requested) &&
            detail::ReadVersionNumbers(reference.m_versionString.c_str(), available) &&
            detail::Serves(available, requested)) {
            return reference.m_pZVSchema;
        }
    }
    return nullptr;
}

CZVSchema* CZVSchema::FindReferencedSchemaByPrefix(const wchar_t* prefix)
{
    RequireName(prefix, L"prefix", L"FindReferencedSchemaByPrefix");
    if (m_schemaPrefix == prefix) {
        return this;
    }
    for (const CZVSchemaReference& reference : m_references) {
        if (reference.m_schemaPrefix == prefix) {
            return reference.m_pZVSchema;
        }
    }
    return nullptr;
}

CZVClass* CZVSchema::FindZVClassUsingSchemaName(const wchar_t* className, const wchar_t* schemaName,
                                                unsigned long classTypeMask)
{
    if (schemaName == nullptr) {
        throw ZVXMLLogicError(L"FindZVClassUsingSchemaName: schemaName cannot be NULL!", L"");
    }
    CZVSchema* schema = FindReferencedSchema(schemaName, nullptr);
    if (schema == nullptr) {
        ThrowSchemaNotFound(this, L"", schemaName);
    }
    return schema->FindZVClass(className, classTypeMask);
}

CZVClass* CZVSchema::FindZVClassUsingPrefix(const wchar_t* className, const wchar_t* prefix,
                                            unsigned long classTypeMask)
{
    if (prefix == nullptr) {
        throw ZVXMLLogicError(L"FindZVClassUsingPrefix: prefix cannot be NULL!", L"");
    }
    CZVSchema* schema = FindReferencedSchemaByPrefix(prefix);
    if (schema == nullptr) {
        ThrowSchemaNotFound(this, L"with prefix ", prefix);
    }
    return schema->FindZVClass(className, classTypeMask);
}

CZVClass* CZVSchema::Internals::FindClassByRelativeName(CZVSchema& schema, const wchar_t* name)
{
    const wchar_t* colon = std::wcschr(name, L':');
    if (colon == nullptr) {
        return schema.FindZVClass(name, ZVCLASSTYPE_ANY);
    }
    const std::wstring prefix(name, colon);
    CZVSchema* owner = schema.FindReferencedSchemaByPrefix(prefix.c_str());
    if (owner == nullptr) {
        owner = SchemaOfOwnPrefix(&schema, prefix);
    }
    return owner != nullptr ? owner->FindZVClass(colon + 1, ZVCLASSTYPE_ANY) : nullptr;
}

CZVClass* CZVSchema::FindZVClassUsingFullName(const wchar_t* fullName, unsigned long classTypeMask)
{
    RequireName(fullName, L"fullName", L"FindZVClassUsingFullName");
    std::wstring prefix;
    std::wstring className;
    ParseZVClassName(fullName, prefix, className);
    if (!prefix.empty()) {
        if (CZVSchema* owner = SchemaOfOwnPrefix(this, prefix)) {
            return owner->FindZVClass(className.c_str(), classTypeMask);
        }
        return FindZVClassUsingPrefix(className.c_str(), prefix.c_str(), classTypeMask);
    }
    return FindZVClass(className.c_str(), classTypeMask);
}

CZVRelationshipClass* CZVSchema::FindZVRelationshipClassUsingSchemaName(const wchar_t* className,
                                                                        const wchar_t* schemaName,
                                                                        unsigned long classTypeMask)
{
    if (schemaName == nullptr) {
        throw ZVXMLLogicError(L"FindZVRelationshipClassUsingSchemaName: schemaName cannot be NULL!", L"");
    }
    CZVSchema* schema = FindReferencedSchema(schemaName, nullptr);
    if (schema == nullptr) {
        ThrowSchemaNotFound(this, L"", schemaName);
    }
    return schema->FindZVRelationshipClass(className, classTypeMask);
}

CZVRelationshipClass* CZVSchema::FindZVRelationshipClassUsingPrefix(const wchar_t* className, const wchar_t* prefix,
                                                                    unsigned long classTypeMask)
{
    if (prefix == nullptr) {
        throw ZVXMLLogicError(L"FindZVRelationshipClassUsingPrefix: prefix cannot be NULL!", L"");
    }
    CZVSchema* schema = FindReferencedSchemaByPrefix(prefix);
    if (schema == nullptr) {
        ThrowSchemaNotFound(this, L"with prefix ", prefix);
    }
    return schema->FindZVRelationshipClass(className, classTypeMask);
}

CZVRelationshipClass* CZVSchema::FindZVRelationshipClassUsingFullName(const wchar_t* fullName,
                                                                      unsigned long classTypeMask)
{
    RequireName(fullName, L"fullName", L"FindZVRelationshipClassUsingFullName");
    std::wstring prefix;
    std::wstring className;
    ParseZVClassName(fullName, prefix, className);
    if (!prefix.empty()) {
        if (CZVSchema* owner = SchemaOfOwnPrefix(this, prefix)) {
            return owner->FindZVRelationshipClass(className.c_str(), classTypeMask);
        }
        return FindZVRelationshipClassUsingPrefix(className.c_str(), prefix.c_str(), classTypeMask);
    }
    return FindZVRelationshipClass(className.c_str(), classTypeMask);
}

void CZVSchema::ParseZVClassName(const wchar_t* fullName, std::wstring& prefix, std::wstring& className)
{
    RequireName(fullName, L"fullName", L"ParseZVClassName");
    const wchar_t* colon = std::wcschr(fullName, L':');
    if (colon == fullName) {
        throw ZVXMLFormatError(std::wstring(L"ZVClass name '") + fullName + L"'cannot begin with ':'.", L"");
    }
    if (colon == nullptr) {
        prefix.clear();
        className = fullName;
    } else {
        prefix.assign(fullName, colon);
        className = colon + 1;
    }
}

std::wstring CZVSchema::GetRelativeClassName(CZVClass* zvClass)
{
    if (zvClass == nullptr) {
        throw ZVXMLLogicError(L"Cannot pass NULL pZVClass to CZVSchema::GetRelativeClassName.", L"");
    }
    const CZVSchema* owner = zvClass->GetZVSchema();
    if (owner == nullptr) {
        return zvClass->FullName();
    }
    if (owner->m_schemaName == m_schemaName) {
        return zvClass->GetTypeName();
    }
    // The class's own prefix, unless this schema calls another schema by it:
    // then the prefix of this schema's reference to the class's schema, so
    // that the name leads back to this class.
    if (!PrefixNamesClass(this, owner->m_schemaPrefix, zvClass)) {
        for (const CZVSchemaReference& reference : m_references) {
            if (reference.m_pZVSchema == owner && PrefixNamesClass(this, reference.m_schemaPrefix, zvClass)) {
                return reference.m_schemaPrefix + L":" + zvClass->GetTypeName();
            }
        }
    }
    return zvClass->FullName();
}

std::wstring CZVSchema::GetRelativeClassName(const wchar_t* fullName)
{
    CZVClass* found = FindZVClassUsingFullName(fullName, ZVCLASSTYPE_ANY);
    if (found == nullptr) {
        throw ZVXMLFormatError(std::wstring(L"Cannot find ZVClass '") + fullName + L"' in ZVSchema '" + m_schemaName +
                                   L"' or its referenced Schemas.",
                               L"");
    }
    return GetRelativeClassName(found);
}

} // namespace ZVXML
