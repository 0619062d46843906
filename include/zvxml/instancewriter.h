/// @file
/// ZVXML: writing instance documents as a stream.
///
/// ZVInstanceXMLWriter writes instances one at a time into an instance
/// document that ParseZVInstanceXML reads back (see instancexml.h for the
/// format): the root "ZVInstanceXML" in ZVXML_NAMESPACE_URI, then one element
/// per instance, in the order written. Memory stays bounded however many
/// instances are written: only the instance being written is held as text.
///
/// @code
///   ZVXML::ZVInstanceXMLWriter writer(L"plant.zvinstance.xml", L"north-area");
///   writer.Write(&pump);          // a CZVInstance
///   writer.Write(&connects);      // a ZVRelationshipInstance
///   writer.Close();               // the file appears here, complete
/// @endcode
///
/// What is written, for each instance:
/// - an element named after the instance's type name with the attribute "id"
///   (always, so an empty identifier reads back empty); a relationship
///   instance adds "sourceInstanceID" and "targetInstanceID";
/// - one element per value, in the instance's order, named after the value's
///   property (not after the value's own name, so that a second value of one
///   property, named "P2" in memory, reads back as the same second value):
///   - a primitive value: its text; a null primitive value is left out;
///   - a struct value: the embedded instance's values, by the same rules
///     (structs within structs to any depth); no embedded instance: an
///     empty element;
///   - an array value: one member element per member, named after the
///     property's type name; a member that is NULL or null is an empty
///     member element (it reads back as an empty text or an empty struct).
/// Texts are escaped ("&", "<", ">", and a carriage return as "&#13;", which
/// XML would otherwise read as a line feed; in attributes also tab and line
/// feed). The reader drops tabs, line feeds and carriage returns at both ends
/// of a property's text, so such characters there do not come back.
/// Elements are indented by two spaces per level; the same instances give the
/// same bytes.
#ifndef ZVXML_INSTANCEWRITER_H
#define ZVXML_INSTANCEWRITER_H

#include "config.h"
#include "instance.h"

#include <cstddef>
#include <iosfwd>

namespace ZVXML {

/// Writes one instance document, to a file or to an output stream.
class ZVXML_API ZVInstanceXMLWriter {
public:
    /// Writes to the file at `path` (UTF-8 path). The document goes to a
    /// temporary file in the same folder, which Close renames to `path`: until
    /// then an existing file keeps its content, and a writer destroyed without
    /// Close (or whose Close fails) leaves it as it was and removes the
    /// temporary file. `scope`, when not NULL, becomes the root's "scope"
    /// attribute. Throws ZVXMLInvalidArgument for a NULL path,
    /// ZVXMLRuntimeError "Cannot write file 'PATH': REASON" when the
    /// temporary file cannot be made, ZVXMLFormatError when `scope` holds a
    /// character XML 1.0 cannot carry.
    explicit ZVInstanceXMLWriter(const wchar_t* path, const wchar_t* scope = nullptr);
    /// Writes to `out`, which must outlive the writer; text is written as it
    /// goes, so a failure leaves what was written so far in the stream.
    explicit ZVInstanceXMLWriter(std::ostream& out, const wchar_t* scope = nullptr);
    ZVInstanceXMLWriter(const ZVInstanceXMLWriter&) = delete;
    ZVInstanceXMLWriter& operator=(const ZVInstanceXMLWriter&) = delete;
    /// Without Close: a file is not created or replaced; a stream keeps what
    /// it was given, without the root's end. Never throws.
    ~ZVInstanceXMLWriter();

    /// Writes one instance (a ZVRelationshipInstance with its source and
    /// target). Throws ZVXMLInvalidArgument for NULL, ZVXMLLogicError after
    /// Close, ZVXMLRuntimeError when the output fails (part of the text may
    /// have gone out, so every later Write and Close throws that error again
    /// and a file is not put in place), and ZVXMLFormatError
    /// when a text holds a character XML 1.0 cannot carry, naming the
    /// instance, the property and the character, e.g. "Cannot write
    /// ZVProperty 'Name' of Pump instance 'P1': its value holds U+0002, a
    /// character XML 1.0 cannot carry.", or a type or property name that
    /// cannot be an element name, or values nested deeper than the 256 element
    /// levels a reader accepts (structs that hold themselves included), or a
    /// value that does not fit the property a reader finds for it by name in
    /// its instance's class (a single value of an array property, an array
    /// of a single-valued one, a struct for a primitive type or the reverse,
    /// a property the class does not have), e.g. "Cannot write ZVProperty
    /// 'Tags' of Pump instance 'P1': it holds a single value where the
    /// property is an array, so a reader would not read it back.". A
    /// refused instance writes nothing: the writer stays usable and the
    /// document well formed.
    void Write(CZVInstance* instance);

    /// Ends the document and, for a file, puts it in place. Throws
    /// ZVXMLRuntimeError when the output fails; a second Close does nothing.
    void Close();

    /// The number of instances written.
    std::size_t GetInstanceCount() const;

private:
    struct Output;
    Output* m_output; ///< owned
};

} // namespace ZVXML

#endif // ZVXML_INSTANCEWRITER_H
