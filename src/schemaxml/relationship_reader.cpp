// Reading the contents of a relationship class element: its class part, the
// strength texts, and its two ends in the current or the legacy form.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schemaxml/element_names.h"
#include "schemaxml/item_attributes.h"
#include "schemaxml/legacy_upgrade.h"
#include "schemaxml/reading_element.h"
#include "schemaxml/schema_item_readers.h"

#include <string>
#include <string_view>
#include <vector>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

void ApplyStrengths(CZVRelationshipClass& relationshipClass, XMLNode element)
{
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        if (attribute.name == L"strength"sv) {
            relationshipClass.SetStrength(attribute.value.c_str());
        } else if (attribute.name == L"strengthDirection"sv) {
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
                        XMLNode element, ZVRelationshipUpgradeHandler handler)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema to CZVRelationshipClass::ReadXMLContents", L"");
    }
    // One for all pairs of the element: what the handler leaves in it, it
    // finds again with the next pair.
    ZVArrayValue* arrayValue = nullptr;
    // Without host hooks only the upgrade changes the ends and no class
    // changes, so the pairs can be upgraded as one run.
    const bool hooksRun = handler != nullptr || schema->GetZVClassResolutionHelper() != nullptr;
    LegacyPairRun run;
    if (!hooksRun) {
        const std::vector<std::wstring>& names = relationshipClass.m_targets.m_classNames;
        run.listedTargets.insert(names.begin(), names.end());
    }
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() != XML_NODE_ELEMENT) {
            continue;
        }
        const ReadingElement at(child);
        CZVRelationshipConstraint pair;
        int result = pair.ReadXML(document, child);
        RequireBothConstraints(pair, relationshipClass);
        UpgradeLegacyPair(relationshipClass, schema, &pair, hooksRun ? nullptr : &run);
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
    return ReadRelationshipClassContents(*this, schema, document, element, SchemaItemReading::AtOnce(schema));
}

int ReadRelationshipClassContents(CZVRelationshipClass& relationshipClass, CZVSchema* schema, XMLDocument& document,
                                  XMLNode element, const SchemaItemReading& reading)
{
    if (int result = ReadClassContents(relationshipClass, document, element, reading)) {
        return result;
    }
    const ReadingElement at(element);
    ApplyStrengths(relationshipClass, element);
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, L"Source")) {
            ReadSourceElement(relationshipClass.m_source, schema, document, child, reading);
        } else if (IsElementNamed(child, L"Target")) {
            ReadTargetElement(relationshipClass.m_targets, schema, document, child, reading);
        } else if (IsElementNamed(child, L"ZVRelationshipConstraints")) {
            UpgradeLegacyPairs(relationshipClass, schema, document, child, reading.upgradeHandler);
        }
    }
    return 0;
}

} // namespace ZVXML
