/// @file
/// ZVXML: reading instance documents as a stream.
///
/// An instance document ("ZVInstanceXML") carries instances of the classes of
/// one schema:
///
/// @code{.xml}
///   <ZVInstanceXML xmlns="http://www.molvane.com/schemas/Molvane.ZVXML.2.0" scope="...">
///     <Project name="north">                       (optional grouping, may nest)
///       <Pump id="P1">                             (one instance of class Pump)
///         <Flow>12.5</Flow>                        (primitive property)
///         <Tags><string>a</string><string>b</string></Tags>   (array: members named by the type)
///         <Origin><X>1</X><Y>2</Y></Origin>        (struct property: the struct's properties)
///       </Pump>
///     </Project>
///     <Connects id="C1" sourceInstanceID="P1" targetInstanceID="V1"/>
///     <Connects id="C2"><ZVSource href="P1"/><ZVTarget href="V2"/></Connects>
///   </ZVInstanceXML>
/// @endcode
///
/// ParseZVInstanceXML reads it element by element: for each instance element
/// it asks the host's factory for an empty instance, fills in its identifier
/// and property values, hands it to the host's callback as soon as the element
/// ends, and destroys it. Memory stays bounded whatever the document's size.
///
/// Document rules:
/// - The root must be "ZVInstanceXML" in ZVXML_NAMESPACE_URI, compared
///   exactly (letter case too); a root of any other name is skipped whole
///   and the document yields nothing. Its optional attribute "scope" goes to
///   the begin callback.
/// - Elements are recognised by local name (prefixes do not matter);
///   attributes are looked up by local name in no namespace.
/// - The identifier of an instance is its attribute "id", else "instanceID",
///   else "instanceId", else the class name, "-" and a new GUID.
/// - A relationship instance has both "sourceInstanceID" and
///   "targetInstanceID", or else a "ZVSource" and then a "ZVTarget" child,
///   each with an "href" attribute, before its property elements.
/// - Property text is the character data between two tags (CDATA sections
///   and references included), read as one run: tabs, line feeds and
///   carriage returns at the two ends of the run are dropped, spaces and
///   everything inside the run are kept. Line ends read as line feeds (CR LF
///   and a lone CR give LF; a reference &#13; gives CR). A comment or a
///   processing instruction ends a run: the text on each side of it is
///   trimmed by itself, and the two are joined.
/// - A primitive property element that is repeated replaces the text; a
///   repeated struct or array property element adds a further value.
#ifndef ZVXML_INSTANCEXML_H
#define ZVXML_INSTANCEXML_H

#include "config.h"
#include "instance.h"
#include "namespaces.h"
#include "schema.h"

#include <string>

namespace ZVXML {

namespace detail {
class XMLAttributeList; ///< the library's view of the attributes of one start tag
}

/// The attributes of one start tag, as the callbacks receive them. Valid only
/// during the callback it is given to; copies are views of the same list.
class ZVXML_API XMLAttributes {
public:
    /// The copy views the same attributes, for the same callback only.
    ///@{
    XMLAttributes(const XMLAttributes& other) = default;
    XMLAttributes& operator=(const XMLAttributes& other) = default;
    ///@}

    /// Stores the value of the attribute with local name `name` in no
    /// namespace (entity and character references resolved) and returns 1;
    /// returns 0 and leaves `value` unchanged when there is none or `name` is
    /// NULL.
    ///@{
    int GetValue(const wchar_t* name, std::wstring& value) const;
    int GetValue(const std::wstring& name, std::wstring& value) const;
    ///@}

    /// The library's own way to make one; defined inside the library only.
    struct Access;

private:
    friend struct Access;
    /// ZVXMLInvalidArgument "Passed NULL to XMLAttributes constructor" for NULL.
    explicit XMLAttributes(const detail::XMLAttributeList* attributes);

    const detail::XMLAttributeList* m_pAttributes; ///< not owned
};

/// The host's source of empty instances, one per instance element.
class IZVInstanceFactory {
public:
    /// Returns a new, empty instance (allocated with new) of the class named
    /// `className` (the element's local name; `namespaceURI` is the element's
    /// namespace), or NULL when the class is unknown. For a relationship class
    /// it returns a ZVRelationshipInstance and sets `*isRelationship` to a
    /// non-zero value (it is 0 on entry). The library owns what it returns and
    /// deletes it after delivery, or when the parse fails before then.
    virtual CZVInstance* CreateInstance(const wchar_t* namespaceURI, const wchar_t* className, int* isRelationship) = 0;

protected:
    /// For implementations only; a factory is never deleted through this
    /// interface, so the destructor is protected and not virtual.
    ///@{
    IZVInstanceFactory() = default;
    IZVInstanceFactory(const IZVInstanceFactory&) = default;
    IZVInstanceFactory& operator=(const IZVInstanceFactory&) = default;
    ~IZVInstanceFactory() = default;
    ///@}
};

// The parse callbacks. Each int result is 0 to go on; anything else stops
// the parse with the ZVXMLRuntimeError named below. `schema` and `context`
// are the values given to ParseZVInstanceXML.

/// At the start of the root, after its namespace check. `scope` is the
/// root's "scope" attribute ("" without one). Non-zero: "Error during
/// zvInstanceXMLParseBegin callback".
typedef int (*ZVInstanceXMLParseBeginCallback)(CZVSchema* schema, void* context, const wchar_t* scope,
                                               XMLAttributes* attributes);
/// At the end of each instance that is not a relationship. Non-zero: "Error
/// while processing parsed instance" (the instance still counts as imported).
typedef int (*ParsedZVInstanceCallback)(CZVSchema* schema, void* context, CZVInstance* instance);
/// At the end of each relationship instance; as ParsedZVInstanceCallback.
typedef int (*ParsedZVRelationshipCallback)(CZVSchema* schema, void* context, ZVRelationshipInstance* relationship);
/// At the start (`isStart` true, with the attributes) and at the end (false,
/// attributes NULL) of each "Project" element. Non-zero: "Error while parsing
/// element <Project>.".
typedef int (*ZVInstanceXMLElementCallback)(CZVSchema* schema, void* context, bool isStart, const wchar_t* elementName,
                                            XMLAttributes* attributes);
/// At the end of the root. Non-zero: "Error during zvInstanceXMLParseBegin
/// callback" (the same text as the begin callback's).
typedef int (*ZVInstanceXMLParseEndCallback)(CZVSchema* schema, void* context);
/// With the message of a fatal XML error (see ParseZVInstanceXML).
typedef void (*ZVInstanceXMLErrorCallback)(const wchar_t* message, void* context);

// Parse option bits; other bits have no effect. The default (0) stops the
// parse at anything the schema does not know.

/// Skip an instance element whose class the factory does not know, with its
/// whole subtree, logging "Skipping unrecognized ZVClass <name>" at
/// LOG_SEV_INFO. Clear: ZVXMLRuntimeError "Unrecognized ZVClass: name".
constexpr unsigned long ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES = 1;
/// Skip a property element the instance's class does not have, with its
/// whole subtree, logging "Ignoring unrecognized ZVProperty <name>" at
/// LOG_SEV_TRACE. Clear: ZVXMLFormatError "Unrecognized ZVProperty name found
/// in instance of ZVClass class.".
constexpr unsigned long ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES = 2;
/// Read and parse the XML on the calling thread alone. Clear: on a machine
/// with two or more cores, a document of 1 MiB or more is read and parsed on
/// a second thread, a bounded number of elements ahead, while the calling
/// thread builds the instances and runs the callbacks as it does otherwise.
/// The environment variable ZVXML_READER_THREADS=1 has the effect of this
/// bit on every parse; =2 uses the second thread whatever the document's
/// size (where this bit is clear).
constexpr unsigned long ZVINSTANCEXML_SINGLE_THREAD = 4;

/// Reads an instance document and returns 0 once the whole document was read,
/// after logging "Imported instances: N" at LOG_SEV_INFO. Every failure is
/// thrown.
///
/// - `isLocation` 0: `document` is the XML text itself (already decoded, so
///   an encoding declaration in it is ignored). Non-zero: `document` is a file
///   path or a "file:" URL; nothing else is read (no network).
/// - `schema`, `instanceCallback` and `relationshipCallback` must not be NULL
///   (ZVXMLInvalidArgument "Passed NULL pZVSchema into CZVXMLSAXContentHandler
///   constructor", "parsedZVInstanceCallback cannot be NULL",
///   "parsedZVRelationshipCallback cannot be NULL"); nor may `document`
///   ("Passed NULL document into ParseZVInstanceXML"). The other callbacks
///   may be NULL. `factory` must not be NULL once the document holds an
///   instance element ("CZVXMLSAXContentHandler has NULL
///   m_pZVInstanceFactory").
/// - `options`: the ZVINSTANCEXML_* bits above.
///
/// Handler contract:
/// - Everything the host sees runs synchronously on the calling thread, in
///   document order (a second thread may only read and parse the XML ahead:
///   see ZVINSTANCEXML_SINGLE_THREAD):
///   begin, then for each element the element callback (Project starts and
///   ends) or the factory at an instance's start and the instance or
///   relationship callback at its end, then end. Separate calls may run on
///   separate threads at once, each with a schema of its own or all with one
///   loaded schema set that no thread changes meanwhile (see schema.h), each
///   with a factory of its own, and with callbacks that are safe to call so;
///   the only lock shared between parses is the value pool's.
/// - The instance given to the instance or relationship callback is filled
///   completely; it is destroyed as soon as the callback returns. Copy what
///   you need; do not keep the pointer or delete it. XMLAttributes are valid
///   during their callback only.
/// - A callback may read and change the instance it is given (until it
///   returns) and the schema (only read it while other threads parse with
///   it), and may itself parse another document.
/// - An exception thrown by a callback or the factory ends the parse and
///   propagates out of ParseZVInstanceXML unchanged, after everything the
///   parse holds has been released. Instances delivered before a failure
///   stay delivered.
///
/// Failures:
/// - Content errors (unknown classes and properties, misplaced elements,
///   callbacks that return non-zero) are thrown as the documented
///   ZVXMLFormatError, ZVXMLRuntimeError or ZVXMLLogicError.
/// - XML that is not well-formed: `errorCallback` (if not NULL) is called once
///   with "SAX Parser failed at line L, column C with error: <reason>" and a
///   hint: for a location, where the document is; for a text, either the
///   path of a dump file (written when the environment variable
///   DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE is set: a new UTF-8 file
///   "<GUID>.zvinstance.xml" in the temporary folder holding a header comment
///   line with the message and then the document text; the library never
///   deletes it) or how to get one. The parse then throws ZVXMLRuntimeError
///   "ParseZVInstanceXML: COM Error: Unspecified error. <reason>. " (and
///   "<location>. " for a location). A dump file that cannot be created or
///   written throws ZVXMLRuntimeError naming the file instead.
/// - A location that cannot be opened or read throws ZVXMLRuntimeError
///   "ParseZVInstanceXML: COM Error: Unspecified error. " followed by a
///   description naming the location and the reason; the error callback is
///   not called.
/// - Each failure names its place apart from its message
///   (ZVXMLException::File, Line, Column): the location as given (empty for
///   a text), and the line and column of the "<" of the tag being read (for
///   a callback's refusal, of the instance's end tag), or of the XML error.
///   A document that ends too soon is reported as the reader finds it at
///   the end of the input, for example "Document is empty", "Start tag
///   expected, '<' not found", "Premature end of data in tag NAME line N" or
///   "Couldn't find end of Start Tag NAME"; a start tag cut off by the end
///   never reaches the handlers or the factory.
ZVXML_API int ParseZVInstanceXML(int isLocation, const wchar_t* document, CZVSchema* schema, void* context,
                                 ZVInstanceXMLParseBeginCallback beginCallback,
                                 ParsedZVInstanceCallback instanceCallback,
                                 ParsedZVRelationshipCallback relationshipCallback,
                                 ZVInstanceXMLElementCallback elementCallback,
                                 ZVInstanceXMLParseEndCallback endCallback, ZVInstanceXMLErrorCallback errorCallback,
                                 IZVInstanceFactory* factory, unsigned long options);

} // namespace ZVXML

#endif // ZVXML_INSTANCEXML_H
