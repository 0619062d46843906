// Converting legacy constraint pairs into the two ends of a relationship
// class: the source end generalised to a class every pair's source is or
// derives from, the target end listing each target class once.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/base_chain.h"
#include "schema/schema_internals.h"

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

namespace ZVXML {
namespace {

// What the source end falls back to when the pairs' classes share no base.
const wchar_t* const kAnyClass = L"ZVObject";

void RequireArgument(const void* argument, const wchar_t* what, const wchar_t* operation)
{
    if (argument == nullptr) {
        throw ZVXMLInvalidArgument(std::wstring(L"Passed NULL ") + what + L" to CZVRelationshipClass::" + operation,
                                   L"");
    }
}

// An exact type name in the schema or its references; else whatever the
// host's helper makes of it (the only way a "prefix:name" is found).
CZVClass* ResolveLegacyClass(CZVSchema& schema, const CZVRelationshipClass& relationshipClass, const wchar_t* className)
{
    CZVClass* found = schema.FindZVClass(className, ZVCLASSTYPE_ANY);
    ZVClassResolutionHelper helper = schema.GetZVClassResolutionHelper();
    if (found == nullptr && helper != nullptr) {
        found = helper(&schema, className);
    }
    if (found == nullptr) {
        throw ZVXMLFormatError(std::wstring(L"ZVRelationshipClass '") + relationshipClass.GetTypeName() +
                                   L"' refers to ZVClass '" + className + L"', which does not exist in the ZVSchema '" +
                                   schema.GetSchemaName() + L"' or its referenced ZVSchemas.",
                               L"");
    }
    return found;
}

// A name the upgrade stored in an end: relative to the schema, so
// "prefix:name" for a class of a referenced schema.
CZVClass* ResolveStoredClass(CZVSchema& schema, const CZVRelationshipClass& relationshipClass, const wchar_t* name)
{
    if (CZVClass* found = CZVSchema::Internals::FindClassByRelativeName(schema, name)) {
        return found;
    }
    return ResolveLegacyClass(schema, relationshipClass, name);
}

std::vector<std::wstring> KeysOf(const CZVConstraint& constraint)
{
    std::vector<std::wstring> keys;
    for (std::size_t i = 0; i < constraint.GetZVRelationshipKeyCount(); ++i) {
        keys.push_back(constraint.GetZVRelationshipKey(i));
    }
    return keys;
}

// The class itself, then its base classes from the nearest outwards.
std::vector<CZVClass*> ClassAndBases(CZVClass* zvClass)
{
    std::vector<CZVClass*> classes{zvClass};
    BaseChain chain(zvClass);
    for (CZVClass* base = chain.Next(zvClass); base != nullptr; base = chain.Next(base)) {
        classes.push_back(base);
    }
    return classes;
}

} // namespace

void CZVRelationshipClass::UpgradeLegacySource(CZVSchema* schema, CZVConstraint* constraint)
{
    RequireArgument(schema, L"pZVSchema", L"UpgradeLegacySource");
    RequireArgument(constraint, L"constraint", L"UpgradeLegacySource");
    const std::wstring relativeName =
        schema->GetRelativeClassName(ResolveLegacyClass(*schema, *this, constraint->GetClassNameW()));
    if (!m_targets.m_classNames.empty()) { // an earlier pair set the source end
        std::wstring common;
        const int differs = FindCommonClass(schema, m_source.m_className.c_str(), relativeName.c_str(), common);
        m_source.m_className = common;
        if (differs == 1) {
            m_source.m_isPolymorphic = 1;
        }
        return;
    }
    m_source.m_roleLabel = constraint->GetRoleLabel();
    m_source.m_className = relativeName;
    m_source.m_isPolymorphic = 0;
    std::vector<std::wstring> keys = KeysOf(*constraint);
    m_source.m_keyVector.insert(m_source.m_keyVector.end(), keys.begin(), keys.end());
}

void CZVRelationshipClass::UpgradeLegacyTarget(CZVSchema* schema, CZVConstraint* constraint)
{
    RequireArgument(schema, L"pZVSchema", L"UpgradeLegacyTarget");
    RequireArgument(constraint, L"constraint", L"UpgradeLegacyTarget");
    CZVClass* zvClass = ResolveLegacyClass(*schema, *this, constraint->GetClassNameW());
    if (m_targets.m_classNames.empty()) {
        m_targets.m_roleLabel = constraint->GetRoleLabel();
    }
    std::wstring relativeName = schema->GetRelativeClassName(zvClass);
    std::vector<std::wstring>& names = m_targets.m_classNames;
    if (std::find(names.begin(), names.end(), relativeName) != names.end()) {
        return;
    }
    std::vector<std::wstring> keys = KeysOf(*constraint);
    // Both lists grow together: once room is made, moving in cannot fail.
    names.reserve(names.size() + 1);
    m_targets.m_keyVectors.reserve(m_targets.m_keyVectors.size() + 1);
    names.push_back(std::move(relativeName));
    m_targets.m_keyVectors.push_back(std::move(keys));
}

void CZVRelationshipClass::UpgradeLegacyZVRelationshipConstraint(CZVSchema* schema,
                                                                 CZVRelationshipConstraint* constraint)
{
    RequireArgument(constraint, L"constraint", L"UpgradeLegacyZVRelationshipConstraint");
    UpgradeLegacySource(schema, constraint->GetSourceConstraint());
    UpgradeLegacyTarget(schema, constraint->GetTargetConstraint());
}

int CZVRelationshipClass::FindCommonClass(CZVSchema* schema, const wchar_t* first, const wchar_t* second,
                                          std::wstring& common)
{
    RequireArgument(schema, L"pZVSchema", L"FindCommonClass");
    RequireArgument(first, L"class name", L"FindCommonClass");
    RequireArgument(second, L"class name", L"FindCommonClass");
    if (std::wcscmp(first, second) == 0) {
        common = first;
        return 0;
    }
    if (std::wcscmp(first, kAnyClass) == 0 || std::wcscmp(second, kAnyClass) == 0) {
        common = kAnyClass;
        return 1;
    }
    // The names are those the upgrade stores: relative to the schema.
    CZVClass* firstClass = ResolveStoredClass(*schema, *this, first);
    CZVClass* secondClass = ResolveStoredClass(*schema, *this, second);
    const std::vector<CZVClass*> candidates = ClassAndBases(firstClass);
    // The second class itself is no candidate: which name comes first matters.
    BaseChain chain(secondClass);
    for (CZVClass* base = chain.Next(secondClass); base != nullptr; base = chain.Next(base)) {
        if (std::find(candidates.begin(), candidates.end(), base) != candidates.end()) {
            common = schema->GetRelativeClassName(base);
            return 1;
        }
    }
    common = kAnyClass;
    return 1;
}

} // namespace ZVXML
