/// @file
/// ZVXML: a small XML document tree.
///
/// Schema files are read and written through this tree. It offers exactly what
/// the readers and writers of schema items need: load a file or a text, walk
/// nodes, build elements and text, save. Hosts meet it in the ReadXML and
/// WriteXML operations of schema items and instances.
///
/// Loading is safe by default: no DTD (a document with a DOCTYPE does not
/// load), no external entities, no network access, elements nested at most
/// 256 levels deep (the root being level 1), libxml2's default limit on the
/// size of one text or start tag (10 MB),
/// at most 10,000 attributes on one element and 1,000 namespace declarations
/// in scope, and at most 64 MiB read from a file that is not a regular file.
/// Text nodes made only of white space are dropped, so indented files read
/// the same as compact ones.
#ifndef ZVXML_DOM_H
#define ZVXML_DOM_H

#include "config.h"

#include <string>
#include <utility>
#include <vector>

namespace ZVXML {

/// Node types, numbered as in the DOM standard.
enum XMLNodeType : int {
    XML_NODE_ELEMENT = 1,
    XML_NODE_TEXT = 3,
    XML_NODE_CDATA_SECTION = 4,
    XML_NODE_PROCESSING_INSTRUCTION = 7,
    XML_NODE_COMMENT = 8,
    XML_NODE_DOCUMENT = 9,
    XML_NODE_OTHER = 0 ///< anything the tree does not distinguish
};

/// One attribute of an element. Namespace declarations are listed too, with
/// the qualified names "xmlns" and "xmlns:p", before the other attributes.
struct XMLAttribute {
    std::wstring name; ///< qualified name, e.g. "typeName" or "xsi:type"
    std::wstring value; ///< the value with entity and character references resolved
};

/// A light handle to a node of an XMLDocument; copying it copies the handle.
/// A default-constructed handle is null; every accessor of a null handle
/// returns null or empty. A handle is valid while its document lives and
/// until the document's next Load or LoadXML.
class ZVXML_API XMLNode {
public:
    /// A null handle.
    XMLNode() = default;

    /// Whether the handle is null.
    ///@{
    bool IsNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }
    ///@}
    /// Whether two handles name the same node.
    ///@{
    bool operator==(const XMLNode& other) const { return m_node == other.m_node; }
    bool operator!=(const XMLNode& other) const { return m_node != other.m_node; }
    ///@}

    /// The node's first child, next sibling and parent; null when there is
    /// none.
    ///@{
    XMLNode FirstChild() const;
    XMLNode NextSibling() const;
    XMLNode Parent() const;
    ///@}

    /// XMLNodeType of the node.
    int NodeType() const;
    /// The qualified name of an element ("zv:ZVClass"); "#text", "#comment",
    /// "#cdata-section" and "#document" for those nodes; a processing
    /// instruction's target.
    std::wstring NodeName() const;
    /// The name without its prefix ("ZVClass"); the node name for non-elements.
    std::wstring LocalName() const;
    /// The element's namespace URI; empty when it has none.
    std::wstring NamespaceURI() const;
    /// The text of the node and all its descendants, in document order.
    std::wstring Text() const;
    /// The element's attributes in document order, namespace declarations
    /// first; empty for other nodes.
    std::vector<XMLAttribute> Attributes() const;

    /// The library's own way in; defined inside the library only.
    struct Access;

private:
    friend class XMLDocument;
    friend struct Access;
    explicit XMLNode(void* node) : m_node(node) {}
    void* m_node = nullptr;
};

/// errorCode values of our own. The parser's own codes are positive.
enum XMLLoadErrorCode : long {
    XML_LOAD_CANNOT_READ_FILE = -1, ///< the file could not be opened or read
    XML_LOAD_DOCTYPE_NOT_ALLOWED = -2, ///< the document has a DOCTYPE
    XML_LOAD_TOO_LARGE = -3, ///< 2 GB or more of text
    XML_LOAD_TOO_MANY_ATTRIBUTES = -4, ///< an element with more than 10,000 attributes
    XML_LOAD_TOO_MANY_NAMESPACES = -5, ///< more than 1,000 namespace declarations in scope at an element
    XML_LOAD_TOO_MANY_NAMES = -6 ///< more than 100,000 distinct names (see SECURITY.md)
};

/// Status of the building calls and of Save: 0 for success, else one of the
/// values below (32-bit result codes, as the library's error messages print them).
enum XMLStatus : long {
    XML_STATUS_OK = 0,
    XML_STATUS_INVALID_ARGUMENT = 0x80070057L, ///< a null or foreign handle, a node of the wrong kind, a bad name
    XML_STATUS_OUT_OF_MEMORY = 0x8007000EL,
    XML_STATUS_FAILED = 0x80004005L ///< Save could not write the file
};

/// What went wrong when a document did not load. errorCode 0 means no error;
/// otherwise it is one of XMLLoadErrorCode or the parser's own code.
struct XMLParseError {
    long errorCode = 0; ///< 0, one of XMLLoadErrorCode, or the parser's code
    long line = 0; ///< 1-based line of the error
    long linePos = 0; ///< 1-based position in that line
    std::wstring url; ///< the file, or empty for a text
    std::wstring reason; ///< what the parser said
};

/// An XML document: loaded from a file or text, or built node by node.
/// Not copyable; movable. Not thread-safe; separate documents may be used on
/// separate threads.
class ZVXML_API XMLDocument {
public:
    /// An empty document.
    XMLDocument();
    ~XMLDocument();
    /// Moves the content; the other document is left empty.
    ///@{
    XMLDocument(XMLDocument&& other) noexcept;
    XMLDocument& operator=(XMLDocument&& other) noexcept;
    ///@}
    XMLDocument(const XMLDocument&) = delete;
    XMLDocument& operator=(const XMLDocument&) = delete;

    /// Replaces the content with the file at `path` (UTF-8 path text). Returns
    /// true on success; otherwise the document is empty and ParseError() says
    /// why (a missing or unreadable file is reported there too).
    bool Load(const wchar_t* path);
    /// The same for a text held in memory; an encoding declaration in the text
    /// is ignored, since the text is already decoded.
    bool LoadXML(const wchar_t* text);
    /// The error of the last Load or LoadXML; errorCode 0 after a success.
    const XMLParseError& ParseError() const;

    /// The first top-level node (declarations are not nodes; comments and
    /// processing instructions at the top level are).
    XMLNode FirstChild() const;

    // Building. Each returns a status: 0 for success, non-zero for failure
    // (a null or foreign handle, a node of the wrong kind, a write error).

    /// A new element not yet in the tree, named `name` (no prefix) in the
    /// namespace `namespaceURI` (NULL or "" for none). Null on failure.
    XMLNode CreateElement(const wchar_t* name, const wchar_t* namespaceURI);
    /// A new text node not yet in the tree. Null on failure, also when the
    /// text holds a character XML 1.0 cannot carry (a control character other
    /// than tab, line feed and carriage return, U+FFFE, U+FFFF, a lone
    /// surrogate half): the saved document would not read back.
    XMLNode CreateTextNode(const wchar_t* text);
    /// Appends `child` as the last child of `parent` (the document itself when
    /// `parent` is null) and sets `appended` (may be NULL) to it. An element
    /// whose namespace is the default namespace in scope at `parent` needs no
    /// declaration of its own; otherwise it declares it.
    long AppendChild(XMLNode parent, XMLNode child, XMLNode* appended);
    /// Sets (adds or replaces) an attribute. "xmlns:p" declares the prefix p
    /// for the namespace `value` on the element. A value XML 1.0 cannot carry
    /// is refused, as by CreateTextNode.
    long SetAttribute(XMLNode element, const wchar_t* name, const wchar_t* value);
    /// Writes the document to `path`: UTF-8 with an XML declaration, indented.
    /// An existing regular file is replaced atomically (written to a temporary
    /// file beside it, flushed, then renamed over it), so a failure leaves it
    /// as it was and leaves no temporary file behind. Any other existing target
    /// (a device, a pipe) is written in place.
    long Save(const wchar_t* path);
    /// Why the last building call or Save failed; empty after a success.
    const std::wstring& LastError() const;

private:
    struct Impl;
    Impl& Self(); ///< creates the content of a moved-from document on first use
    Impl* m_impl;
};

} // namespace ZVXML

#endif // ZVXML_DOM_H
