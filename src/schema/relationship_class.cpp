// Relationship classes and their two ends.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

namespace ZVXML {

CZVSource::CZVSource() = default;
CZVSource::CZVSource(const CZVSource& other) = default;
CZVSource& CZVSource::operator=(const CZVSource& other) = default;
CZVSource::~CZVSource() = default;

CZVTargets::CZVTargets() = default;
CZVTargets::CZVTargets(const CZVTargets& other) = default;
CZVTargets& CZVTargets::operator=(const CZVTargets& other) = default;
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
