// Reading the custom attributes of a schema item from a "ZVCustomAttributes"
// element.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "schemaxml/reading_element.h"

#include <memory>

namespace ZVXML {
namespace {

CZVClass* FindCustomAttributeClass(CZVSchema& schema, const std::wstring& name)
{
    CZVClass* found = schema.FindZVClass(name.c_str(), ZVCLASSTYPE_ANY);
    if (found == nullptr) {
        throw ZVXMLFormatError(L"Attempted to use an ZVCustomAttribute of type '" + name +
                                   L"', but that ZVClass has not yet been defined.",
                               L"");
    }
    return found;
}

} // namespace

int CZVCommon::ReadCustomAttributesFromXML(CZVSchema* schema, XMLDocument& document, XMLNode element)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema to CZVCommon::ReadCustomAttributesFromXML", L"");
    }
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() == XML_NODE_COMMENT) {
            continue;
        }
        const ReadingElement at(child);
        CZVClass* zvClass = FindCustomAttributeClass(*schema, child.LocalName());
        // Attached only once read completely; destroyed if reading fails.
        std::unique_ptr<CZVCustomAttribute> customAttribute(new CZVCustomAttribute(zvClass));
        customAttribute->ReadXML(document, child);
        AddZVCustomAttribute(customAttribute.get());
        customAttribute.release();
    }
    return 0;
}

} // namespace ZVXML
