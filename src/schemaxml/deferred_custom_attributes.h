// The custom attributes of classes, properties and relationship ends wait,
// during a schema load, until every class of the file has its properties.
//
// A custom attribute is an instance of a class that may stand anywhere in the
// file, the annotated class itself included, and its values need that class's
// properties. Read in document order, a class annotated with an attribute of
// its own class (or of one that comes later) failed to load, and the writer,
// which puts a class's custom attributes before its properties, produced such
// files from schemas that had loaded.
#ifndef ZVXML_SRC_SCHEMAXML_DEFERRED_CUSTOM_ATTRIBUTES_H
#define ZVXML_SRC_SCHEMAXML_DEFERRED_CUSTOM_ATTRIBUTES_H

#include <zvxml/dom.h>
#include <zvxml/schema.h>

#include <vector>

namespace ZVXML {

// While one lives, custom attributes handed to ReadOrDefer on its thread are
// kept until ReadAll. Loads nest (a referenced schema loads inside the pass of
// the one that references it): each keeps its own and restores the one before.
class DeferredCustomAttributes {
public:
    DeferredCustomAttributes();
    ~DeferredCustomAttributes();
    DeferredCustomAttributes(const DeferredCustomAttributes&) = delete;
    DeferredCustomAttributes& operator=(const DeferredCustomAttributes&) = delete;

    // Reads the "ZVCustomAttributes" element onto the item now when no load
    // collects on this thread (or when there is no schema, which fails at
    // once), else keeps it and returns 0.
    static int ReadOrDefer(CZVCommon& item, CZVSchema* schema, XMLDocument& document, XMLNode element);

    // Reads what was kept, in the order it came; the first non-zero result
    // ends it. The items and the document must still be alive. Nothing is
    // kept after this call.
    int ReadAll();

private:
    struct Pending {
        CZVCommon* item;
        CZVSchema* schema;
        XMLDocument* document;
        XMLNode element;
    };
    std::vector<Pending> m_pending;
    DeferredCustomAttributes* m_previous;
};

} // namespace ZVXML

#endif
