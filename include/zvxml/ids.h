/// @file
/// ZVXML: GUIDs, instance identifiers and temporary file names.
#ifndef ZVXML_IDS_H
#define ZVXML_IDS_H

#include "config.h"

#include <cstdint>
#include <string>

namespace ZVXML {

/// A 128-bit globally unique identifier. Its text form has 36 characters:
/// groups of 8-4-4-4-12 lower-case hex digits joined by hyphens, no braces.
struct GUID {
    std::uint32_t Data1; ///< the first 8 hex digits
    std::uint16_t Data2; ///< the next 4
    std::uint16_t Data3; ///< the next 4
    std::uint8_t Data4[8]; ///< the last 4 and 12, two digits a byte
};

/// Issues identifiers for the instances of a class. A class keeps the strategy
/// it was built with, without owning it, for the host's use; the library never
/// calls it itself.
class CIDGenerationStrategy {
public:
    /// The next identifier.
    virtual std::wstring GetNextID() = 0;

protected:
    /// The interface holds no data: made, copied and assigned freely.
    ///@{
    CIDGenerationStrategy() = default;
    CIDGenerationStrategy(const CIDGenerationStrategy&) = default;
    CIDGenerationStrategy& operator=(const CIDGenerationStrategy&) = default;
    ///@}
    ~CIDGenerationStrategy() = default; ///< not owned through this interface
};

/// A strategy that returns the text of a new random GUID on every call.
class ZVXML_API CGUIDGenerator : public CIDGenerationStrategy {
public:
    /// The generator holds no data: made, copied and assigned freely.
    ///@{
    CGUIDGenerator() = default;
    CGUIDGenerator(const CGUIDGenerator&) = default;
    CGUIDGenerator& operator=(const CGUIDGenerator&) = default;
    virtual ~CGUIDGenerator() = default;
    ///@}

    /// Throws ZVXMLRuntimeError "CGUIDGenerator failed to generate a GUID."
    std::wstring GetNextID() override;
};

/// The text of a new random GUID. Throws ZVXMLRuntimeError on failure.
ZVXML_API std::wstring CreateGuid();

/// Fills `guid` with a new random GUID. Throws ZVXMLInvalidArgument for NULL and
/// ZVXMLRuntimeError "Failed to generate GUID" on failure.
ZVXML_API void GenerateGUID(GUID* guid);

/// The text of `guid`; empty for NULL.
ZVXML_API std::wstring ToWString(const GUID* guid);

/// The identifier of an instance of `className` in an instance document: the
/// name made a valid tag (EncodeToValidXmlTag), "-", then "YmrInstanceID-" and
/// `id` when `id` is 1 or more, else a new GUID's text. Throws
/// ZVXMLInvalidArgument for a NULL class name.
ZVXML_API void GenerateZVInstanceXMLIdentifier(const wchar_t* className, long id, std::wstring& result);

/// A new file name in the temporary folder (TMPDIR, else /tmp): the folder, "/",
/// a new GUID's text and `suffix`. Creates no file. Throws ZVXMLInvalidArgument
/// for a NULL suffix.
ZVXML_API void CreateTempFileName(const wchar_t* suffix, std::wstring& result);

} // namespace ZVXML

#endif // ZVXML_IDS_H
