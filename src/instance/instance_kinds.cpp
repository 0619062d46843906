// Relationship instances and custom attributes.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

namespace ZVXML {

ZVRelationshipInstance::ZVRelationshipInstance(CZVRelationshipClass* relationshipClass) : CZVInstance(relationshipClass)
{
}

ZVRelationshipInstance::~ZVRelationshipInstance() = default;

const wchar_t* ZVRelationshipInstance::GetSourceID() const { return m_sourceID.c_str(); }

void ZVRelationshipInstance::SetSourceID(const wchar_t* id)
{
    if (id == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL text to ZVRelationshipInstance::SetSourceID", L"");
    }
    m_sourceID = id;
}

const wchar_t* ZVRelationshipInstance::GetTargetID() const { return m_targetID.c_str(); }

void ZVRelationshipInstance::SetTargetID(const wchar_t* id)
{
    if (id == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL text to ZVRelationshipInstance::SetTargetID", L"");
    }
    m_targetID = id;
}

CZVCustomAttribute::CZVCustomAttribute(CZVClass* zvClass) : CZVInstance(zvClass) {}
CZVCustomAttribute::~CZVCustomAttribute() = default;

} // namespace ZVXML
