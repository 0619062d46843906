// The legacy form of a relationship's two ends, read from older files.
#include <zvxml/schema.h>

#include "foundation/owned_list.h"

namespace ZVXML {

CZVConstraint::CZVConstraint() = default;

CZVConstraint::CZVConstraint(const std::wstring& className, const wchar_t* key) : m_className(className)
{
    if (key != nullptr) {
        m_keys.emplace_back(key);
    }
}

CZVConstraint::~CZVConstraint() = default;

const wchar_t* CZVConstraint::GetClassNameW() const { return m_className.c_str(); }

void CZVConstraint::SetClassName(const wchar_t* className)
{
    if (className != nullptr) {
        m_className = className;
    }
}

const wchar_t* CZVConstraint::GetRoleLabel() const { return m_roleLabel.c_str(); }

void CZVConstraint::SetRoleLabel(const wchar_t* roleLabel)
{
    if (roleLabel != nullptr) {
        m_roleLabel = roleLabel;
    }
}

void CZVConstraint::AddZVRelationshipKey(const wchar_t* key)
{
    if (key != nullptr) {
        m_keys.emplace_back(key);
    }
}

std::wstring CZVConstraint::GetZVRelationshipKey(std::size_t index) const { return m_keys[index]; }
std::size_t CZVConstraint::GetZVRelationshipKeyCount() const { return m_keys.size(); }

CZVRelationshipConstraint::CZVRelationshipConstraint() = default;

// Copies share the two constraints; each pair releases its claims.
CZVRelationshipConstraint::CZVRelationshipConstraint(const CZVRelationshipConstraint& other)
    : m_pSourceConstraint(other.m_pSourceConstraint), m_pTargetConstraint(other.m_pTargetConstraint)
{
    detail::Adopt(m_pSourceConstraint);
    detail::Adopt(m_pTargetConstraint);
}

CZVRelationshipConstraint& CZVRelationshipConstraint::operator=(const CZVRelationshipConstraint& other)
{
    if (this != &other) {
        detail::Adopt(other.m_pSourceConstraint);
        detail::Adopt(other.m_pTargetConstraint);
        detail::Release(m_pSourceConstraint);
        detail::Release(m_pTargetConstraint);
        m_pSourceConstraint = other.m_pSourceConstraint;
        m_pTargetConstraint = other.m_pTargetConstraint;
    }
    return *this;
}

CZVRelationshipConstraint::~CZVRelationshipConstraint()
{
    detail::Release(m_pSourceConstraint);
    detail::Release(m_pTargetConstraint);
}

CZVConstraint* CZVRelationshipConstraint::GetSourceConstraint() const { return m_pSourceConstraint; }
CZVConstraint* CZVRelationshipConstraint::GetTargetConstraint() const { return m_pTargetConstraint; }

namespace {
void Replace(CZVConstraint*& held, CZVConstraint* constraint)
{
    if (constraint == held) {
        return; // setting the constraint already held must not destroy it
    }
    detail::Adopt(constraint);
    detail::Release(held);
    held = constraint;
}
} // namespace

void CZVRelationshipConstraint::SetSourceConstraint(CZVConstraint* constraint)
{
    Replace(m_pSourceConstraint, constraint);
}

void CZVRelationshipConstraint::SetTargetConstraint(CZVConstraint* constraint)
{
    Replace(m_pTargetConstraint, constraint);
}

} // namespace ZVXML
