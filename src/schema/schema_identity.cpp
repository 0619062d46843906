// A schema's identity: construction, copies, names, labels, primitive types.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/owned_list.h"
#include "schema/borrowed_classes.h"
#include "schema/naming_rule.h"
#include "schema/schema_internals.h"

#include <algorithm>
#include <cwchar>

namespace ZVXML {
namespace {

std::wstring TextOrEmpty(const wchar_t* text) { return text != nullptr ? std::wstring(text) : std::wstring(); }

// A reference of a schema to itself is, in its copy, a reference of the copy
// to itself: it must not lead back to a schema that may be gone.
void PointSelfReferencesAt(std::vector<CZVSchemaReference>& references, const CZVSchema* source, CZVSchema* copy)
{
    for (CZVSchemaReference& reference : references) {
        if (reference.m_pZVSchema == source) {
            reference.m_pZVSchema = copy;
        }
    }
}

} // namespace

CZVSchema::CZVSchema(const wchar_t* prefix, const wchar_t* name, const wchar_t* description) : CZVCommon(description)
{
    CheckName(name, 1, kSchemaNameKind);
    CheckName(prefix, 1, kClassOrPropertyNameKind);
    m_schemaName = name;
    m_schemaPrefix = prefix;
}

CZVSchema::CZVSchema(const std::wstring& prefix, const std::wstring& name, const std::wstring& description)
    : CZVSchema(prefix.c_str(), name.c_str(), description.c_str())
{
}

CZVSchema::CZVSchema(const CZVSchema& other)
    : CZVCommon(other), m_schemaName(other.m_schemaName), m_schemaPrefix(other.m_schemaPrefix),
      m_displayLabel(other.m_displayLabel), m_versionMajor(other.m_versionMajor), m_versionMinor(other.m_versionMinor),
      m_referenceSearchPath(other.m_referenceSearchPath),
      m_relationshipUpgradeHandler(other.m_relationshipUpgradeHandler),
      m_classResolutionHelper(other.m_classResolutionHelper), m_references(other.m_references),
      m_referencedSchemas(other.m_referencedSchemas), m_classes(other.m_classes),
      m_relationshipClasses(other.m_relationshipClasses), m_retiredClasses(other.m_retiredClasses)
{
    PointSelfReferencesAt(m_references, &other, this);
    Internals::PrepareAdoption(*this, m_classes, m_relationshipClasses);
    Internals::PrepareRetired(m_retiredClasses);
    Internals::AdoptPrepared(*this);
    Internals::AdoptRetired(*this);
}

CZVSchema& CZVSchema::operator=(const CZVSchema& other)
{
    if (this == &other) {
        return *this;
    }
    // Claim the other schema's contents before letting go of our own: the
    // other schema may be one of ours (a referenced schema).
    std::vector<CZVSchemaReference> references = other.m_references;
    PointSelfReferencesAt(references, &other, this);
    std::vector<CZVSchema*> referencedSchemas = other.m_referencedSchemas;
    // A schema never owns itself: where the other schema references this
    // one, the reference stays and the ownership does not come along.
    referencedSchemas.erase(std::remove(referencedSchemas.begin(), referencedSchemas.end(), this),
                            referencedSchemas.end());
    std::vector<CZVClass*> classes = other.m_classes;
    std::vector<CZVRelationshipClass*> relationshipClasses = other.m_relationshipClasses;
    std::vector<CZVClass*> retiredClasses = other.m_retiredClasses;
    CZVCommon::operator=(other);
    std::wstring schemaName = other.m_schemaName;
    std::wstring schemaPrefix = other.m_schemaPrefix;
    std::wstring displayLabel = other.m_displayLabel;
    std::wstring referenceSearchPath = other.m_referenceSearchPath;
    const unsigned long versionMajor = other.m_versionMajor;
    const unsigned long versionMinor = other.m_versionMinor;
    const ZVRelationshipUpgradeHandler upgradeHandler = other.m_relationshipUpgradeHandler;
    const ZVClassResolutionHelper resolutionHelper = other.m_classResolutionHelper;

    Internals::PrepareAdoption(*this, classes, relationshipClasses);
    Internals::PrepareRetired(retiredClasses);
    CZVSchema previous(*this); // holds our old contents until the end
    Internals::ReleaseContents(*this);
    m_references.swap(references);
    m_referencedSchemas.swap(referencedSchemas);
    m_classes.swap(classes);
    m_relationshipClasses.swap(relationshipClasses);
    m_retiredClasses.swap(retiredClasses);
    Internals::AdoptPrepared(*this);
    Internals::AdoptRetired(*this);
    m_schemaName.swap(schemaName);
    m_schemaPrefix.swap(schemaPrefix);
    m_displayLabel.swap(displayLabel);
    m_referenceSearchPath.swap(referenceSearchPath);
    m_versionMajor = versionMajor;
    m_versionMinor = versionMinor;
    m_relationshipUpgradeHandler = upgradeHandler;
    m_classResolutionHelper = resolutionHelper;
    return *this;
}

CZVSchema::~CZVSchema()
{
    detail::OwnershipAccess::MarkDying(this);
    detail::ReleaseBorrowed(*this);
    Internals::ReleaseContents(*this);
}

const wchar_t* CZVSchema::GetSchemaName() const { return m_schemaName.c_str(); }
std::wstring& CZVSchema::SchemaName() { return m_schemaName; }

void CZVSchema::SetSchemaName(const wchar_t* name)
{
    CheckName(name, 1, kSchemaNameKind);
    m_schemaName = name;
}

const wchar_t* CZVSchema::GetSchemaPrefix() const { return m_schemaPrefix.c_str(); }
std::wstring& CZVSchema::SchemaPrefix() { return m_schemaPrefix; }

void CZVSchema::SetSchemaPrefix(const wchar_t* prefix)
{
    CheckName(prefix, 1, kSchemaNameKind);
    m_schemaPrefix = prefix;
}

int CZVSchema::SchemaNameIsValid(const wchar_t* name, int throwOnError)
{
    return CheckName(name, throwOnError, kSchemaNameKind);
}

std::wstring CZVSchema::XmlNamespace() const { return m_schemaName + L"." + VersionString(); }

std::wstring CZVSchema::OfficialFilename() const
{
    CheckName(m_schemaName.c_str(), 1, kSchemaNameKind);
    return m_schemaName + L"." + VersionString() + L".zvschema.xml";
}

const wchar_t* CZVSchema::GetDisplayLabel() const { return m_displayLabel.c_str(); }
std::wstring CZVSchema::DisplayLabel() const { return m_displayLabel; }

void CZVSchema::SetDisplayLabel(const wchar_t* label)
{
    if (label == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL label to CZVSchema::SetDisplayLabel", L"");
    }
    m_displayLabel = label;
}

int CZVSchema::IsPrimitiveType(const wchar_t* typeName)
{
    if (typeName == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed typeName to CZVSchema::IsPrimitiveType", L"");
    }
    static const wchar_t* const kPrimitiveTypes[] = {L"string",  L"boolean",  L"double", L"int",
                                                     L"point3d", L"dateTime", L"binary", L"long"};
    for (const wchar_t* primitive : kPrimitiveTypes) {
        if (std::wcscmp(typeName, primitive) == 0) {
            return 1;
        }
    }
    return 0;
}

const wchar_t* CZVSchema::GetReferenceSearchPath() const { return m_referenceSearchPath.c_str(); }
void CZVSchema::SetReferenceSearchPath(const wchar_t* path) { m_referenceSearchPath = TextOrEmpty(path); }

ZVClassResolutionHelper CZVSchema::GetZVClassResolutionHelper() const { return m_classResolutionHelper; }
void CZVSchema::SetZVClassResolutionHelper(ZVClassResolutionHelper helper) { m_classResolutionHelper = helper; }
ZVRelationshipUpgradeHandler CZVSchema::GetZVRelationshipUpgradeHandler() const { return m_relationshipUpgradeHandler; }
void CZVSchema::SetZVRelationshipUpgradeHandler(ZVRelationshipUpgradeHandler handler)
{
    m_relationshipUpgradeHandler = handler;
}

} // namespace ZVXML
