// Converting legacy constraint pairs into the two ends of a relationship
// class: the source end generalised to a class every pair's source is or
// derives from, the target end listing each target class once.
#include "schemaxml/legacy_upgrade.h"

#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/schema_internals.h"

#include <algorithm>
#include <cwchar>
#include <unordered_set>
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

// Each distinct target class once, with the keys of the first pair that
// names it. `listed`, when not NULL, holds the end's class names.
void AddLegacyTarget(CZVRelationshipClass& relationshipClass, CZVSchema& schema, const CZVConstraint& constraint,
                     std::unordered_set<std::wstring>* listed)
{
    CZVClass* zvClass = ResolveLegacyClass(schema, relationshipClass, constraint.GetClassNameW());
    CZVTargets& targets = relationshipClass.m_targets;
    if (targets.m_classNames.empty()) {
        targets.m_roleLabel = constraint.GetRoleLabel();
    }
    std::wstring relativeName = schema.GetRelativeClassName(zvClass);
    std::vector<std::wstring>& names = targets.m_classNames;
    const bool known = listed != nullptr ? listed->count(relativeName) != 0
                                         : std::find(names.begin(), names.end(), relativeName) != names.end();
    if (known) {
        return;
    }
    std::vector<std::wstring> keys = KeysOf(constraint);
    if (listed != nullptr) {
        // Should the end fail to take the name, the exception ends the run
        // that owns the set.
        listed->insert(relativeName);
    }
    // Both lists grow together: once room is made, moving in cannot fail.
    detail::MakeRoomForOne(names);
    detail::MakeRoomForOne(targets.m_keyVectors);
    names.push_back(std::move(relativeName));
    targets.m_keyVectors.push_back(std::move(keys));
}

// FindCommonClass past its argument checks, with the run `search` belongs to.
int CommonClass(CZVRelationshipClass& relationshipClass, CZVSchema& schema, const wchar_t* first, const wchar_t* second,
                std::wstring& common, CommonClassSearch& search)
{
    if (std::wcscmp(first, second) == 0) {
        common = first;
        return 0;
    }
    if (std::wcscmp(first, kAnyClass) == 0 || std::wcscmp(second, kAnyClass) == 0) {
        common = kAnyClass;
        return 1;
    }
    // The names are those the upgrade stores: relative to the schema.
    CZVClass* firstClass = ResolveStoredClass(schema, relationshipClass, first);
    CZVClass* secondClass = ResolveStoredClass(schema, relationshipClass, second);
    CZVClass* shared = search.Find(firstClass, secondClass);
    common = shared != nullptr ? schema.GetRelativeClassName(shared) : kAnyClass;
    return 1;
}

// UpgradeLegacySource past its argument checks.
void GeneraliseSource(CZVRelationshipClass& relationshipClass, CZVSchema& schema, const CZVConstraint& constraint,
                      CommonClassSearch& search)
{
    CZVSource& source = relationshipClass.m_source;
    const std::wstring relativeName =
        schema.GetRelativeClassName(ResolveLegacyClass(schema, relationshipClass, constraint.GetClassNameW()));
    if (!relationshipClass.m_targets.m_classNames.empty()) { // an earlier pair set the source end
        std::wstring common;
        const int differs =
            CommonClass(relationshipClass, schema, source.m_className.c_str(), relativeName.c_str(), common, search);
        source.m_className = common;
        if (differs == 1) {
            source.m_isPolymorphic = 1;
        }
        return;
    }
    source.m_roleLabel = constraint.GetRoleLabel();
    source.m_className = relativeName;
    source.m_isPolymorphic = 0;
    std::vector<std::wstring> keys = KeysOf(constraint);
    source.m_keyVector.insert(source.m_keyVector.end(), keys.begin(), keys.end());
}

} // namespace

void CZVRelationshipClass::UpgradeLegacySource(CZVSchema* schema, CZVConstraint* constraint)
{
    RequireArgument(schema, L"pZVSchema", L"UpgradeLegacySource");
    RequireArgument(constraint, L"constraint", L"UpgradeLegacySource");
    CommonClassSearch search;
    GeneraliseSource(*this, *schema, *constraint, search);
}

void CZVRelationshipClass::UpgradeLegacyTarget(CZVSchema* schema, CZVConstraint* constraint)
{
    RequireArgument(schema, L"pZVSchema", L"UpgradeLegacyTarget");
    RequireArgument(constraint, L"constraint", L"UpgradeLegacyTarget");
    AddLegacyTarget(*this, *schema, *constraint, nullptr);
}

void CZVRelationshipClass::UpgradeLegacyZVRelationshipConstraint(CZVSchema* schema,
                                                                 CZVRelationshipConstraint* constraint)
{
    UpgradeLegacyPair(*this, schema, constraint, nullptr);
}

void UpgradeLegacyPair(CZVRelationshipClass& relationshipClass, CZVSchema* schema,
                       CZVRelationshipConstraint* constraint, LegacyPairRun* run)
{
    RequireArgument(constraint, L"constraint", L"UpgradeLegacyZVRelationshipConstraint");
    if (run == nullptr) {
        relationshipClass.UpgradeLegacySource(schema, constraint->GetSourceConstraint());
        relationshipClass.UpgradeLegacyTarget(schema, constraint->GetTargetConstraint());
        return;
    }
    RequireArgument(schema, L"pZVSchema", L"UpgradeLegacySource");
    RequireArgument(constraint->GetSourceConstraint(), L"constraint", L"UpgradeLegacySource");
    GeneraliseSource(relationshipClass, *schema, *constraint->GetSourceConstraint(), run->commonClass);
    RequireArgument(constraint->GetTargetConstraint(), L"constraint", L"UpgradeLegacyTarget");
    AddLegacyTarget(relationshipClass, *schema, *constraint->GetTargetConstraint(), &run->listedTargets);
}

int CZVRelationshipClass::FindCommonClass(CZVSchema* schema, const wchar_t* first, const wchar_t* second,
                                          std::wstring& common)
{
    RequireArgument(schema, L"pZVSchema", L"FindCommonClass");
    RequireArgument(first, L"class name", L"FindCommonClass");
    RequireArgument(second, L"class name", L"FindCommonClass");
    CommonClassSearch search;
    return CommonClass(*this, *schema, first, second, common, search);
}

} // namespace ZVXML
