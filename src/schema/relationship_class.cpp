// Relationship classes and their two ends.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

namespace ZVXML {

// An end belongs to the relationship class that holds it: a copy belongs to
// none until a class binds it, and assignment keeps the end's own class.
CZVSource::CZVSource() = default;

CZVSource::CZVSource(const CZVSource& other)
    : CZVCommon(other), m_roleLabel(other.m_roleLabel), m_className(other.m_className), m_keyVector(other.m_keyVector),
      m_cardinality(other.m_cardinality), m_isPolymorphic(other.m_isPolymorphic)
{
}

CZVSource& CZVSource::operator=(const CZVSource& other)
{
    if (this != &other) {
        CZVSource copy(other); // what can fail, done before anything changes
        CZVCommon::operator=(other);
        m_roleLabel.swap(copy.m_roleLabel);
        m_className.swap(copy.m_className);
        m_keyVector.swap(copy.m_keyVector);
        m_cardinality.swap(copy.m_cardinality);
        m_isPolymorphic = copy.m_isPolymorphic;
    }
    return *this;
}

CZVSource::~CZVSource() = default;

CZVTargets::CZVTargets() = default;

CZVTargets::CZVTargets(const CZVTargets& other)
    : CZVCommon(other), m_roleLabel(other.m_roleLabel), m_classNames(other.m_classNames),
      m_keyVectors(other.m_keyVectors), m_cardinality(other.m_cardinality), m_isPolymorphic(other.m_isPolymorphic)
{
}

CZVTargets& CZVTargets::operator=(const CZVTargets& other)
{
    if (this != &other) {
        CZVTargets copy(other);
        CZVCommon::operator=(other);
        m_roleLabel.swap(copy.m_roleLabel);
        m_classNames.swap(copy.m_classNames);
        m_keyVectors.swap(copy.m_keyVectors);
        m_cardinality.swap(copy.m_cardinality);
        m_isPolymorphic = copy.m_isPolymorphic;
    }
    return *this;
}

CZVTargets::~CZVTargets() = default;

CZVRelationshipClass::CZVRelationshipClass(const wchar_t* name, CZVSchema* schema, CIDGenerationStrategy* strategy)
    : CZVClass(name, schema, strategy)
{
    BindEnds();
}

CZVRelationshipClass::CZVRelationshipClass(const CZVRelationshipClass& other)
    : CZVClass(other), m_source(other.m_source), m_targets(other.m_targets), m_strength(other.m_strength),
      m_strengthDirection(other.m_strengthDirection)
{
    BindEnds();
}

CZVRelationshipClass& CZVRelationshipClass::operator=(const CZVRelationshipClass& other)
{
    if (this != &other) {
        CZVClass::operator=(other);
        m_source = other.m_source;
        m_targets = other.m_targets;
        m_strength = other.m_strength;
        m_strengthDirection = other.m_strengthDirection;
        BindEnds();
    }
    return *this;
}

CZVRelationshipClass::~CZVRelationshipClass() = default;

// Each end names the relationship class that contains it, in a copy too.
void CZVRelationshipClass::BindEnds()
{
    m_source.m_pRelationshipClass = this;
    m_targets.m_pRelationshipClass = this;
}

const wchar_t* CZVRelationshipClass::GetStrength() const { return m_strength.c_str(); }

void CZVRelationshipClass::SetStrength(const wchar_t* strength)
{
    if (strength == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL strength to CZVRelationshipClass::SetStrength", L"");
    }
    m_strength = strength;
}

const wchar_t* CZVRelationshipClass::GetStrengthDirection() const { return m_strengthDirection.c_str(); }

void CZVRelationshipClass::SetStrengthDirection(const wchar_t* strengthDirection)
{
    if (strengthDirection == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL strengthDirection to CZVRelationshipClass::SetStrengthDirection", L"");
    }
    m_strengthDirection = strengthDirection;
}

} // namespace ZVXML
