// The readers of a schema file's items, with what they need from the load
// they are part of. The public ReadXML members of the items call them with
// a reading that does everything at once; the schema loader calls them with
// its own.
#ifndef ZVXML_SCHEMAXML_SCHEMA_ITEM_READERS_H
#define ZVXML_SCHEMAXML_SCHEMA_ITEM_READERS_H

#include <zvxml/dom.h>
#include <zvxml/schema.h>

namespace ZVXML {

class DeferredCustomAttributes;

struct SchemaItemReading {
    // Where the custom attributes of items wait until every class of the
    // file has its properties; NULL reads them at once.
    DeferredCustomAttributes* deferred = nullptr;
    // Called for each legacy relationship constraint pair once it is
    // converted; NULL accepts every pair.
    ZVRelationshipUpgradeHandler upgradeHandler = nullptr;

    // Custom attributes at once, and the upgrade handler of `schema` (may be
    // NULL).
    static SchemaItemReading AtOnce(const CZVSchema* schema)
    {
        SchemaItemReading reading;
        reading.upgradeHandler = schema != nullptr ? schema->GetZVRelationshipUpgradeHandler() : nullptr;
        return reading;
    }
};

// The contents of a "ZVClass" element: properties, "BaseClass", custom
// attributes. Returns 0 or the first non-zero result of a property.
int ReadClassContents(CZVClass& zvClass, XMLDocument& document, XMLNode element, const SchemaItemReading& reading);

// The contents of a "ZVRelationshipClass" element: the class part, the
// strength texts, the ends, and legacy constraint pairs.
int ReadRelationshipClassContents(CZVRelationshipClass& relationshipClass, CZVSchema* schema, XMLDocument& document,
                                  XMLNode element, const SchemaItemReading& reading);

// A property element: its attributes and custom attributes.
int ReadPropertyElement(CZVProperty& property, XMLDocument& document, XMLNode element,
                        const SchemaItemReading& reading);

// The "Source" and "Target" elements of a relationship class.
// ZVXMLFormatError for an unknown attribute or child, and for a target
// "Class" without "class".
void ReadSourceElement(CZVSource& source, CZVSchema* schema, XMLDocument& document, XMLNode element,
                       const SchemaItemReading& reading);
void ReadTargetElement(CZVTargets& targets, CZVSchema* schema, XMLDocument& document, XMLNode element,
                       const SchemaItemReading& reading);

} // namespace ZVXML

#endif
