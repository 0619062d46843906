// Reading the "Source" and "Target" elements of a relationship class.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "schema/schema_internals.h"
#include "schemaxml/case_insensitive_text.h"
#include "schemaxml/deferred_custom_attributes.h"
#include "schemaxml/element_names.h"
#include "schemaxml/item_attributes.h"
#include "schemaxml/reading_element.h"
#include "schemaxml/schema_item_readers.h"

#include <utility>
#include <vector>
#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

// What every message of an end names: which end, of which class.
struct EndContext {
    const wchar_t* endName; // "Source" or "Target"
    std::wstring owner; // the relationship class's type name
};

EndContext ContextOf(const wchar_t* endName, const CZVRelationshipClass* relationshipClass)
{
    return EndContext{endName, relationshipClass != nullptr ? relationshipClass->GetTypeName() : L""};
}

[[noreturn]] void ThrowUnrecognizedAttribute(const XMLAttribute& attribute, const std::wstring& where,
                                             const EndContext& context)
{
    throw ZVXMLFormatError(
        L"Unrecognized attribute '" + attribute.name + L"' " + where + L" element of '" + context.owner + L"'.", L"");
}

template <class End>
void ApplyEndAttributes(End& end, XMLNode element, const EndContext& context)
{
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        if (attribute.name == L"cardinality"sv) {
            end.m_cardinality = attribute.value;
        } else if (attribute.name == L"roleLabel"sv) {
            end.m_roleLabel = attribute.value;
        } else if (attribute.name == L"polymorphic"sv) {
            end.m_isPolymorphic = IsTrueText(attribute.value);
        } else {
            ThrowUnrecognizedAttribute(attribute, std::wstring(L"ZVRelationshipClass\\") + context.endName, context);
        }
    }
}

// The "class" attribute of a "Class" element; false when it has none.
bool ReadClassAttribute(XMLNode classElement, const EndContext& context, std::wstring& className)
{
    bool found = false;
    for (const XMLAttribute& attribute : ItemAttributes(classElement)) {
        if (attribute.name != L"class"sv) {
            ThrowUnrecognizedAttribute(attribute, std::wstring(L"ZVRelationshipClass\\") + context.endName + L"\\Class",
                                       context);
        }
        className = attribute.value;
        found = true;
    }
    return found;
}

// Appends the "name" of each "Key"/"Property" child of a "Class" element.
void ReadKeys(XMLNode classElement, const EndContext& context, std::vector<std::wstring>& keys)
{
    const std::wstring where = std::wstring(L"in ZVRelationshipClass\\") + context.endName + L"\\Class\\Key\\Property";
    for (XMLNode key = classElement.FirstChild(); key; key = key.NextSibling()) {
        if (!IsElementNamed(key, L"Key")) {
            continue;
        }
        for (XMLNode property = key.FirstChild(); property; property = property.NextSibling()) {
            if (!IsElementNamed(property, L"Property")) {
                continue;
            }
            for (const XMLAttribute& attribute : ItemAttributes(property)) {
                if (attribute.name != L"name"sv) {
                    ThrowUnrecognizedAttribute(attribute, where, context);
                }
                keys.push_back(attribute.value);
            }
        }
    }
}

// Comments are skipped; "Class" goes to `readClass`; custom attributes are
// read (their result is not looked at); anything else is an error.
template <class ReadClass>
void ReadEndChildren(CZVCommon& end, CZVSchema* schema, XMLDocument& document, XMLNode element,
                     const EndContext& context, const SchemaItemReading& reading, ReadClass readClass)
{
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() == XML_NODE_COMMENT) {
            continue;
        }
        const ReadingElement atChild(child);
        if (IsElementNamed(child, L"Class")) {
            readClass(child);
        } else if (IsElementNamed(child, L"ZVCustomAttributes")) {
            DeferredCustomAttributes::ReadOrDefer(reading.deferred, end, schema, document, child);
        } else {
            throw ZVXMLFormatError(L"Unrecognized element <" + child.LocalName() + L"> in <" + context.endName +
                                       L"> element of ZVRelationshipClass '" + context.owner + L"'.",
                                   L"");
        }
    }
}

} // namespace

void ReadSourceElement(CZVSource& source, CZVSchema* schema, XMLDocument& document, XMLNode element,
                       const SchemaItemReading& reading)
{
    const ReadingElement at(element);
    const EndContext context = ContextOf(L"Source", source.m_pRelationshipClass);
    ApplyEndAttributes(source, element, context);
    ReadEndChildren(source.Common(), schema, document, element, context, reading,
                    [&source, &context](XMLNode classElement) {
                        ReadClassAttribute(classElement, context, source.m_className); // none: the name stays
                        ReadKeys(classElement, context, source.m_keyVector);
                    });
}

void ReadTargetElement(CZVTargets& targets, CZVSchema* schema, XMLDocument& document, XMLNode element,
                       const SchemaItemReading& reading)
{
    const ReadingElement at(element);
    const EndContext context = ContextOf(L"Target", targets.m_pRelationshipClass);
    ApplyEndAttributes(targets, element, context);
    ReadEndChildren(
        targets.Common(), schema, document, element, context, reading, [&targets, &context](XMLNode classElement) {
            std::wstring className;
            if (!ReadClassAttribute(classElement, context, className)) {
                throw ZVXMLFormatError(L"ZVRelationshipClass\\Target\\Class element is empty in ZVRelationshipClass '" +
                                           context.owner,
                                       L"");
            }
            std::vector<std::wstring> keys;
            ReadKeys(classElement, context, keys);
            // Both lists grow together: once room is made, moving in cannot fail.
            detail::MakeRoomForOne(targets.m_classNames);
            detail::MakeRoomForOne(targets.m_keyVectors);
            targets.m_classNames.push_back(std::move(className));
            targets.m_keyVectors.push_back(std::move(keys));
        });
}

} // namespace ZVXML
