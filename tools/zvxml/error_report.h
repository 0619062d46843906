// How the program reports what went wrong, on standard error.
//
// A failure found at a place in a file reads as compilers and xmllint write
// it, "FILE:LINE:COLUMN: message" (the parts not known left out: "FILE:LINE:
// message", "FILE: message"); any other as "zvxml: message". A usage
// mistake is one line and a hint where to find the usage.
#ifndef ZVCLI_ERROR_REPORT_H
#define ZVCLI_ERROR_REPORT_H

#include <zvxml/errors.h>

#include <string>

namespace zvcli {

// A mistake on the command line found after it was parsed: exit status 2.
struct UsageError {
    std::string message;
};

// A failure of the program itself (not of the library), about `file` when
// it is not empty: exit status 1.
struct ProgramError {
    std::wstring message;
    std::wstring file;
};

// The path the program gives the library for "-" (standard input), and the
// name messages show for it.
extern const char* const kStandardInput;
extern const wchar_t* const kStandardInputName;

// "FILE:LINE:COLUMN" with the parts known ("FILE:LINE", "FILE"), or "zvxml"
// when not even the file is known.
std::wstring PlacePrefix(const ZVXML::ReadPosition& where);

// Prints the exception as PlacePrefix(its position) + ": " + its message,
// and " (" + its location + ")" when it has one.
void ReportLibraryError(const ZVXML::ZVXMLException& error);
void ReportProgramError(const ProgramError& error);
// "zvxml: message" and "Try 'zvxml ... --help' for more information.",
// naming the command (`commandPath`, e.g. "zvxml schema show").
void ReportUsageError(const std::string& message, const std::string& commandPath);

} // namespace zvcli

#endif
