// Custom attributes of classes, properties and relationship ends that wait,
// during a schema load, until every class of the file has its properties.
//
// A custom attribute is an instance of a class that may stand anywhere in the
// file (the annotated class itself included), and reading its values needs
// that class's properties. The writer puts a class's custom attributes before
// its properties, so reading them in document order would fail on files the
// writer produces.
#ifndef ZVXML_SCHEMAXML_DEFERRED_CUSTOM_ATTRIBUTES_H
#define ZVXML_SCHEMAXML_DEFERRED_CUSTOM_ATTRIBUTES_H

#include <zvxml/dom.h>
#include <zvxml/schema.h>

#include <vector>

namespace ZVXML {

class DeferredCustomAttributes {
public:
    DeferredCustomAttributes() = default;
    DeferredCustomAttributes(const DeferredCustomAttributes&) = delete;
    DeferredCustomAttributes& operator=(const DeferredCustomAttributes&) = delete;

    // Reads the "ZVCustomAttributes" element onto `item` now when `deferred`
    // is NULL or there is no schema (which fails at once); otherwise keeps it
    // in `deferred` and returns 0.
    static int ReadOrDefer(DeferredCustomAttributes* deferred, CZVCommon& item, CZVSchema* schema,
                           XMLDocument& document, XMLNode element);

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
};

} // namespace ZVXML

#endif
