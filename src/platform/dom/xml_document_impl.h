// The document tree: this folder implements XMLDocument and XMLNode of
// <zvxml/dom.h> over libxml2's tree API, for the readers and writers of
// schema files.
//
// What an XMLDocument holds. Shared by the files that implement it.
#ifndef ZVXML_PLATFORM_DOM_XML_DOCUMENT_IMPL_H
#define ZVXML_PLATFORM_DOM_XML_DOCUMENT_IMPL_H

#include <zvxml/dom.h>

#include "platform/libxml_resources.h"

#include <string>
#include <unordered_set>

namespace ZVXML {

struct XMLDocument::Impl {
    Impl();
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Takes `replacement` as the document, freeing the old one and every
    // node created for it.
    void Replace(platform::XmlDocOwner replacement);

    xmlNodePtr DocumentNode() const { return reinterpret_cast<xmlNodePtr>(doc.get()); }
    bool Owns(xmlNodePtr node) const { return node != nullptr && node->doc == doc.get(); }

    // Takes ownership of a node just created for this document (null means
    // out of memory) until it is appended somewhere.
    xmlNodePtr Adopt(xmlNodePtr created);
    // The node was appended: whatever holds it now frees it.
    void Attached(xmlNodePtr node) { unattached.erase(node); }

    long Fail(long status, std::wstring reason)
    {
        lastError = std::move(reason);
        return status;
    }
    long Succeed()
    {
        lastError.clear();
        return XML_STATUS_OK;
    }

    platform::XmlDocOwner doc;
    // Created nodes at the top of a subtree that is not in the document.
    std::unordered_set<xmlNodePtr> unattached;
    XMLParseError parseError;
    std::wstring lastError;

private:
    void FreeUnattached();
};

// A new empty document; throws std::bad_alloc.
platform::XmlDocOwner NewEmptyDocument();

} // namespace ZVXML

#endif
