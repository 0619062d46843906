// Reading the contents of a relationship class element: its class part, the
// strength texts, and its two ends in the current or the legacy form.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schemaxml/element_names.h"

namespace ZVXML {
namespace {

void ApplyStrengths(CZVRelationshipClass& relationshipClass, XMLNode element)
{
    for (const XMLAttribute& attribute : element.Attributes()) {
        if (attribute.name == L"strength") {
            relationshipClass.SetStrength(attribute.value.c_str());
        } else if (attribute.name == L"strengthDirection") {
            relationshipClass.SetStrengthDirection(attribute.value.c_str());
        }
    }
}

void RequireBothConstraints(const CZVRelationshipConstraint& pair, const CZVRelationshipClass& relationshipClass)
{
    if (pair.GetSourceConstraint() == nullptr || pair.GetTargetConstraint() == nullptr) {
        throw ZVXMLFormatError(std::wstring(L"ZVRelationshipConstraint element of ZVRelationshipClass '") +
                                   relationshipClass.GetTypeName() +
                                   L"' lacks a ZVSourceConstraint or ZVTargetConstraint.",
                               L"");
    }
}

// Each pair is upgraded into the ends and handed to the schema's handler;
// the reader owns the pair and destroys it once the handler has returned.
void UpgradeLegacyPairs(CZVRelationshipClass& relationshipClass, CZVSchema* schema, XMLDocument& document,
                        XMLNode element)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema to CZVRelationshipClass::ReadXMLContents", L"");
    }
    const ZVRelationshipUpgradeHandler handler = schema->GetZVRelationshipUpgradeHandler();
    // One for all pairs of the element: what the handler leaves in it, it
    // finds again with the next pair.
    ZVArrayValue* arrayValue = nullptr;
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() != XML_NODE_ELEMENT) {
            continue;
        }
        CZVRelationshipConstraint pair;
        int result = pair.ReadXML(document, child);
        RequireBothConstraints(pair, relationshipClass);
        relationshipClass.UpgradeLegacyZVRelationshipConstraint(schema, &pair);
        if (handler != nullptr) {
            result = handler(schema, &relationshipClass, &pair, &arrayValue);
        }
        if (result != 0) {
            throw ZVXMLLogicError(L"Problem while attempting to upgrade legacy ZVRelationshipConstraint element", L"");
        }
    }
}

} // namespace

int CZVRelationshipClass::ReadXMLContents(CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    if (int result = CZVClass::ReadXMLContents(schema, document, element)) {
        return result;
    }
    ApplyStrengths(*this, element);
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, L"Source")) {
            m_source.ReadXML(schema, document, child);
        } else if (IsElementNamed(child, L"Target")) {
            m_targets.ReadXML(schema, document, child);
        } else if (IsElementNamed(child, L"ZVRelationshipConstraints")) {
            UpgradeLegacyPairs(*this, schema, document, child);
        }
    }
    return 0;
}

} // namespace ZVXML
