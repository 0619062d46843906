/// @file
/// ZVXML: checking instances and instance documents against their schema.
///
/// Reading a document (ParseZVInstanceXML) checks only its form; the checks
/// here say whether what it holds agrees with the schema. Every finding is
/// reported, not just the first, each with where it is and what is wrong.
///
/// Checks of one instance (ValidateZVInstance), applied to its values and,
/// within structs and arrays of structs, to theirs down to 256 levels of
/// structs (deeper than a document can hold: a struct value below that is
/// reported once and its values are not checked, so that an instance whose
/// structs hold it again still ends):
/// - a primitive value's text is of its property's type (null values are not
///   checked). The texts each type accepts, with white space (space, tab,
///   line feed, carriage return) allowed before and after, and numbers read
///   the same whatever the host's locale:
///   - "string": anything;
///   - "int": an optional sign and decimal digits, from -2147483648 to
///     2147483647; "long": the same, from -9223372036854775808 to
///     9223372036854775807;
///   - "double": an optional sign, digits with an optional fraction ("1",
///     "1.5", ".5", "5.") and an optional exponent ("e-3", "E+20"), within
///     the range of a double (a value too small to hold becomes 0 and is
///     accepted), or "INF", "-INF", "+INF", "NaN", or what
///     `CZVValue::SetValue(double)` writes for those: "inf", "-inf", "nan",
///     "-nan";
///   - "boolean": "true", "false", "1", "0", letter case ignored for the
///     words;
///   - "dateTime": YYYY-MM-DDThh:mm:ss, the year four or more digits
///     (optionally negative), an optional fraction of a second (".250") and
///     an optional zone ("Z", "+01:00"); month, day (leap years counted),
///     hour 0-23, minute and second 0-59 in range;
///   - "point3d": three doubles as above, separated by a comma, white space,
///     or a comma with white space ("1,2,3", "1 2 3", "1, 2, 3");
///   - "binary": base64 (A-Z, a-z, 0-9, "+", "/"), white space ignored, a
///     multiple of four characters with at most two "=" at the end; empty
///     is accepted;
/// - an array value holds from minOccurs to maxOccurs members, where these
///   are decimal numbers (maxOccurs also "unbounded"); other texts are not
///   checked. A property for which the instance holds no value is not
///   checked (properties are not required);
/// - a value's property is one of its instance's class (found by name, as a
///   reader finds it: "X: is not a property of class Item"), the value has
///   the kind of its property (primitive, struct or array), and a struct
///   value (an array member too) holds an instance of the property's struct
///   class.
///
/// Checks across a document (ZVInstanceDocumentValidator and
/// ValidateZVInstanceXML), for each relationship instance:
/// - its source and target identifiers name instances of the document;
/// - the source instance's class is the class of the relationship class's
///   Source end, the target's one of the classes of its Target end; a class
///   derived from the end's class is allowed when the end is polymorphic;
/// - the key properties the end lists for that class are present on the
///   instance named (each has a value that is not null);
/// - the ends' cardinalities hold. A cardinality is written "(a,b)" or
///   "a..b": a and b are decimal numbers, b may be "N" or "*" for no upper
///   bound, spaces are allowed around the parts. The Target end's
///   cardinality counts, for each instance of the Source end's class(es),
///   the relationship instances of exactly this relationship class that name
///   it as their source (how many targets one source has); the Source end's
///   cardinality counts, for each instance of the Target end's classes, those
///   that name it as their target (how many sources one target has). Every
///   such instance of the document is counted, those named by none with 0.
///   An empty cardinality is not checked; any other text is reported once,
///   as not understood, and not checked.
///
/// Memory: one instance is checked at a time. Across the document the
/// validator remembers, for each instance, its identifier, class, position
/// and which key properties it has, and for each relationship instance its
/// class, identifiers and position: memory grows with the number of
/// identifiers, not with the values.
#ifndef ZVXML_INSTANCEVALIDATION_H
#define ZVXML_INSTANCEVALIDATION_H

#include "config.h"
#include "instance.h"
#include "schema.h"

#include <cstddef>
#include <string>

namespace ZVXML {

/// One thing found wrong.
struct ZVValidationFinding {
    std::wstring file; ///< the document as given; empty for instances in memory or a document given as text
    long line = 0; ///< of the instance's start tag; 0 when not known
    long column = 0; ///< of the "<" of that tag; 0 when not known
    std::wstring className; ///< the instance's class (a relationship class for its own findings)
    std::wstring instanceID; ///< the instance's identifier
    std::wstring property; ///< "Flow", "Origin.X", "Speeds[2]" (0-based); empty for the instance as a whole
    std::wstring message; ///< what is wrong, e.g. "'deep' is not a double"
};

/// Receives each finding as it is made; returns 0 to go on, anything else to
/// stop the validation (no further finding is made).
typedef int (*ZVValidationCallback)(void* context, const ZVValidationFinding& finding);

/// Checks one instance on its own (the first group of checks above) and
/// calls `callback` once per finding, with file, line and column empty and 0.
/// Returns the number of findings made. ZVXMLInvalidArgument for a NULL
/// instance or callback. An instance without a class is one finding.
ZVXML_API std::size_t ValidateZVInstance(CZVInstance* instance, ZVValidationCallback callback, void* context);

/// Checks the instances of one document, given one at a time in document
/// order, and at Finish what holds across them (both groups of checks above).
class ZVXML_API ZVInstanceDocumentValidator {
public:
    /// `schema` (the document's, with its references) must outlive the
    /// validator. ZVXMLInvalidArgument for a NULL schema or callback.
    ZVInstanceDocumentValidator(CZVSchema* schema, ZVValidationCallback callback, void* context);
    ZVInstanceDocumentValidator(const ZVInstanceDocumentValidator&) = delete;
    ZVInstanceDocumentValidator& operator=(const ZVInstanceDocumentValidator&) = delete;
    ~ZVInstanceDocumentValidator();

    /// Checks `instance` (not kept) and remembers what the document checks
    /// need. `file`, `line` and `column` say where it is, for its findings.
    /// Returns 0, or non-zero once the callback asked to stop. ZVXMLInvalidArgument
    /// for NULL; ZVXMLLogicError "ZVInstanceDocumentValidator::Check called
    /// after Finish" once Finish has run.
    int Check(CZVInstance* instance, const std::wstring& file = std::wstring(), long line = 0, long column = 0);
    /// The checks across the document; once only (later calls do nothing).
    /// Returns as Check does.
    int Finish();
    /// The number of findings so far.
    std::size_t GetFindingCount() const;

private:
    struct State;
    State* m_state; ///< owned
};

/// Reads an instance document as ParseZVInstanceXML does (`isLocation`,
/// `document` and `options` as there; the instances come from the schema's
/// classes) and checks it with a ZVInstanceDocumentValidator, each finding
/// placed at its instance's start tag. Returns the number of findings (it
/// stops early when the callback asks). A document that cannot be read
/// (not well formed, unknown classes or properties without the skip options)
/// throws as ParseZVInstanceXML does, after the findings made so far.
ZVXML_API std::size_t ValidateZVInstanceXML(int isLocation, const wchar_t* document, CZVSchema* schema,
                                            ZVValidationCallback callback, void* context, unsigned long options);

} // namespace ZVXML

#endif // ZVXML_INSTANCEVALIDATION_H
