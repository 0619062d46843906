#include "platform/dom/element_attributes.h"

#include "platform/dom/checked_tree.h"
#include "platform/libxml_resources.h"
#include "platform/dom/namespace_fixup.h"

#include "foundation/xml_names.h"

#include <new>

namespace ZVXML {
namespace platform {
namespace {

const std::string kDeclarationPrefix = "xmlns:";

std::string QualifiedName(const xmlAttr& attribute)
{
    std::string name;
    if (attribute.ns != nullptr && attribute.ns->prefix != nullptr) {
        name.append(AsChars(attribute.ns->prefix)).push_back(':');
    }
    return name.append(AsChars(attribute.name));
}

std::string DeclareDefault(xmlNodePtr element, const std::string& uri)
{
    const bool prefixed = element->ns != nullptr && element->ns->prefix != nullptr;
    const char* own = (element->ns != nullptr && element->ns->href != nullptr) ? AsChars(element->ns->href) : "";
    if (!prefixed && uri != own) {
        return "Cannot declare the default namespace '" + uri + "' on an element of the namespace '" + own + "'";
    }
    // The declaration changes what its unprefixed descendants inherit; they
    // keep their namespaces.
    std::vector<Placement> placements = CaptureDefaultNamespaces(element);
    DeclareDefaultNamespace(element, AsXmlChars(uri));
    RestoreDefaultNamespaces(placements);
    return std::string();
}

std::string DeclarePrefixed(xmlNodePtr element, const std::string& prefix, const std::string& uri)
{
    if (!IsXmlLocalName(std::string_view(prefix))) {
        return "'" + prefix + "' is not a valid namespace prefix";
    }
    if (prefix == "xml" || prefix == "xmlns") {
        return "The prefix '" + prefix + "' is reserved";
    }
    if (uri.empty()) {
        return "The prefix '" + prefix + "' cannot be bound to an empty namespace";
    }
    if (!DeclarePrefix(element, AsXmlChars(prefix), AsXmlChars(uri))) {
        return "The prefix '" + prefix + "' is already used for another namespace here";
    }
    return std::string();
}

std::string SetPlain(xmlNodePtr element, const std::string& name, const std::string& value)
{
    if (!IsXmlQualifiedName(name)) {
        return "'" + name + "' is not a valid attribute name";
    }
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        if (QualifiedName(*attribute) == name) {
            SetAttributeValue(element, attribute, attribute->name, AsXmlChars(value));
            return std::string();
        }
    }
    // A prefixed name is kept as written; the prefix is bound when the
    // saved document is read again.
    SetAttributeValue(element, nullptr, AsXmlChars(name), AsXmlChars(value));
    return std::string();
}

} // namespace

std::string SetElementAttribute(xmlNodePtr element, const std::string& name, const std::string& value)
{
    if (name == "xmlns") {
        return DeclareDefault(element, value);
    }
    if (name.compare(0, kDeclarationPrefix.size(), kDeclarationPrefix) == 0) {
        return DeclarePrefixed(element, name.substr(kDeclarationPrefix.size()), value);
    }
    return SetPlain(element, name, value);
}

} // namespace platform
} // namespace ZVXML
