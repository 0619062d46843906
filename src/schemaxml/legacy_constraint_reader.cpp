// Reading the legacy form of a relationship's ends: pairs of constraints.
#include <zvxml/schema.h>

#include "schemaxml/element_names.h"
#include "schemaxml/item_attributes.h"

#include <memory>
#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

// The key a "ZVRelationshipKey" element names; empty without "propertyName".
std::wstring KeyName(XMLNode keyElement)
{
    for (const XMLAttribute& attribute : ItemAttributes(keyElement)) {
        if (attribute.name == L"propertyName"sv) {
            return attribute.value;
        }
    }
    return std::wstring();
}

std::unique_ptr<CZVConstraint> ReadConstraint(XMLDocument& document, XMLNode element)
{
    std::unique_ptr<CZVConstraint> constraint(new CZVConstraint());
    constraint->ReadXML(document, element);
    return constraint;
}

} // namespace

int CZVConstraint::ReadXML(XMLDocument&, XMLNode element)
{
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        if (attribute.name == L"className"sv) {
            m_className = attribute.value;
        } else if (attribute.name == L"roleLabel"sv) {
            m_roleLabel = attribute.value;
        }
    }
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, L"ZVRelationshipKey")) {
            m_keys.push_back(KeyName(child));
        }
    }
    return 0;
}

int CZVRelationshipConstraint::ReadXML(XMLDocument& document, XMLNode element)
{
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (IsElementNamed(child, L"ZVSourceConstraint")) {
            SetSourceConstraint(ReadConstraint(document, child).release()); // the pair owns it now
        } else if (IsElementNamed(child, L"ZVTargetConstraint")) {
            SetTargetConstraint(ReadConstraint(document, child).release());
        }
    }
    return 0;
}

} // namespace ZVXML
