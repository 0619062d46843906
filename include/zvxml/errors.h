/// @file
/// ZVXML: the exception family and the log.
///
/// Every failure the library reports is thrown as one of the exceptions below.
/// They are NOT derived from std::exception: `catch (const std::exception&)`
/// does not see them. Catch the root class and read its texts:
///
/// @code
///   try {
///       schema.ReadXML(path);
///   } catch (const ZVXML::ZVXMLException& error) {
///       // "Plant.01.02.zvschema.xml:14: Required attribute typeName not found on an ZVProperty"
///       std::fprintf(stderr, "%s:%ld: %s\n", ZVXML::ToUtf8(error.File()).c_str(), error.Line(),
///                    ZVXML::ToUtf8(error.Message()).c_str());
///   }
/// @endcode
///
/// Creating an exception from a message also writes it to the log, so a host
/// that installs a logging callback sees every failure even when a caller
/// swallows the exception. Failures found while reading a schema file or an
/// instance document also carry the file, line and column where they were
/// found (File(), Line(), Column()); a logging callback asks for the same
/// through GetReadPosition().
#ifndef ZVXML_ERRORS_H
#define ZVXML_ERRORS_H

#include "config.h"

#include <cstdint>
#include <string>

namespace ZVXML {

/// Severity of a log line. A more negative value is less severe.
enum LOG_SEV : std::int32_t {
    LOG_SEV_ERROR = -1, ///< failures, and every exception's own line
    LOG_SEV_WARNING = -2, ///< recoverable oddities (unknown attributes, errno)
    LOG_SEV_INFO = -3, ///< progress (instances imported, classes skipped)
    LOG_SEV_TRACE = -4 ///< detail (each class read, properties ignored)
};

/// Receives every log line. `category` is "Exception" for the line of an
/// exception and "ZVXML" for the library's own diagnostics; a host's own lines
/// carry the category it passed to Log. `text` is valid during the call only.
/// The callback may be called on several threads at once.
typedef void (*LoggingCallback)(LOG_SEV severity, const wchar_t* category, const wchar_t* text);

/// Installs `callback` (NULL switches logging off; the default is NULL) and
/// returns the callback installed before, so a host can chain or restore it.
/// Safe to call while other threads log.
ZVXML_API LoggingCallback SetLoggingCallback(LoggingCallback callback);

/// Sends one line to the installed callback. Severities above -1 are sent as
/// -1; severities below -4 are dropped. The text is delivered as it stands (a
/// "%" is never interpreted). An exception thrown by the callback is swallowed.
ZVXML_API void Log(LOG_SEV severity, const std::wstring& category, const std::wstring& text);

/// Where a reader of the library has got to: the file, and the 1-based line
/// and column in it. Parts that are not known are empty or 0: the file of a
/// document given as text, the column of a schema file's element.
struct ReadPosition {
    std::wstring file; ///< the path or location as the caller gave it (a referenced schema file: the path found)
    long line = 0; ///< 1-based; 0 when not known
    long column = 0; ///< 1-based, in characters; 0 when not known
};

/// What the library is reading on the calling thread, for code the library
/// calls while it reads (a logging callback, a parse callback, an instance
/// factory): the element of a schema file being read (its file and line), or
/// the place an instance document's reader has reached (during an element's
/// start or end, the "<" of that tag; at a well-formedness error, the error's
/// place). The innermost read answers when reads nest. An empty position
/// when no read runs on this thread.
///
/// A log line or an exception about the document is written while its place
/// is current, so a logging callback learns where a line such as
/// "Unrecognized xml attribute: units with value='m3'." comes from:
/// @code
///   void OnLog(ZVXML::LOG_SEV, const wchar_t*, const wchar_t* text) {
///       const ZVXML::ReadPosition where = ZVXML::GetReadPosition();
///       // where.file, where.line, where.column: empty and 0 outside a read
///   }
/// @endcode
ZVXML_API ReadPosition GetReadPosition();

/// Root of the library's exceptions. It is not derived from std::exception:
/// catch ZVXMLException (or one of the classes below) and read Message(),
/// Location() and, for failures found in a document, File(), Line() and
/// Column(). Constructing one from a message writes the log line
/// `message` [" @ " `location`] at LOG_SEV_ERROR, category "Exception";
/// copies write nothing. The library never throws the root class itself.
class ZVXML_API ZVXMLException {
public:
    /// Stores both texts and the calling thread's GetReadPosition(), then
    /// writes the log line.
    ZVXMLException(std::wstring message, std::wstring location);
    /// Deep copies of the texts and the position; no log line. Assignment to
    /// itself changes nothing.
    ///@{
    ZVXMLException(const ZVXMLException& other);
    ZVXMLException& operator=(const ZVXMLException& other);
    ///@}
    virtual ~ZVXMLException();

    /// The texts, valid while this object lives; never NULL.
    ///@{
    const wchar_t* Message() const;
    const wchar_t* Location() const;
    ///@}

    /// Where in a document the failure was found: the ReadPosition current
    /// when the exception was made. File() is "" and Line() and Column() are 0
    /// where that is not known, or when nothing was being read. The texts of
    /// Message() and Location() never include it.
    ///@{
    const wchar_t* File() const;
    long Line() const;
    long Column() const;
    ///@}

private:
    struct Texts;
    /// The texts and the position live in one block of their own so a thrown
    /// object stays small.
    Texts* m_texts;
};

/// Misuse by the caller or a broken internal contract: a NULL pointer or name
/// where one is required, a class that must exist but cannot be found, a value
/// of the wrong kind.
class ZVXML_API ZVXMLLogicError : public ZVXMLException {
public:
    /// Builds the exception and writes its log line (see ZVXMLException).
    ZVXMLLogicError(std::wstring message, std::wstring location);
    /// Copies write no log line.
    ///@{
    ZVXMLLogicError(const ZVXMLLogicError& other) = default;
    ZVXMLLogicError& operator=(const ZVXMLLogicError& other) = default;
    ///@}
    ~ZVXMLLogicError() override;
};

/// A value outside its domain: a name that breaks the naming rule, a schema
/// that is not among the references, a property the class does not have.
class ZVXML_API ZVXMLDomainError : public ZVXMLException {
public:
    /// Builds the exception and writes its log line (see ZVXMLException).
    ZVXMLDomainError(std::wstring message, std::wstring location);
    /// Copies write no log line.
    ///@{
    ZVXMLDomainError(const ZVXMLDomainError& other) = default;
    ZVXMLDomainError& operator=(const ZVXMLDomainError& other) = default;
    ///@}
    ~ZVXMLDomainError() override;
};

/// An unusable argument: NULL given to a setter or constructor, an invalid
/// class type, a numeric conversion that overflows.
class ZVXML_API ZVXMLInvalidArgument : public ZVXMLException {
public:
    /// Builds the exception and writes its log line (see ZVXMLException).
    ZVXMLInvalidArgument(std::wstring message, std::wstring location);
    /// Copies write no log line.
    ///@{
    ZVXMLInvalidArgument(const ZVXMLInvalidArgument& other) = default;
    ZVXMLInvalidArgument& operator=(const ZVXMLInvalidArgument& other) = default;
    ///@}
    ~ZVXMLInvalidArgument() override;
};

/// A failure of the environment: a failed platform call, a file that cannot be
/// found, read or written, a host callback that asked to stop.
class ZVXML_API ZVXMLRuntimeError : public ZVXMLException {
public:
    /// Builds the exception and writes its log line (see ZVXMLException).
    ZVXMLRuntimeError(std::wstring message, std::wstring location);
    /// Copies write no log line.
    ///@{
    ZVXMLRuntimeError(const ZVXMLRuntimeError& other) = default;
    ZVXMLRuntimeError& operator=(const ZVXMLRuntimeError& other) = default;
    ///@}
    ~ZVXMLRuntimeError() override;
};

/// Text in the wrong format: version strings, qualified class names, content
/// errors in schema files and instance documents. Caught by handlers of
/// ZVXMLDomainError too.
class ZVXML_API ZVXMLFormatError : public ZVXMLDomainError {
public:
    /// Builds the exception and writes its log line (see ZVXMLException).
    ZVXMLFormatError(std::wstring message, std::wstring location);
    /// Copies write no log line.
    ///@{
    ZVXMLFormatError(const ZVXMLFormatError& other) = default;
    ZVXMLFormatError& operator=(const ZVXMLFormatError& other) = default;
    ///@}
    ~ZVXMLFormatError() override;
};

} // namespace ZVXML

#endif // ZVXML_ERRORS_H
