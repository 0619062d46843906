// The "MM.mm" version text of schemas and references.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

#include "foundation/number_text.h"
#include "foundation/wide_format.h"
#include "schema/version_numbers.h"

#include <cwchar>

namespace ZVXML {
namespace {

const wchar_t* const kLocation = L"CZVSchema::ParseVersionString";
const wchar_t* const kFormatHint = L" Format is MM.mm where MM is major version and mm is minor version.";

[[noreturn]] void ThrowFormat(const wchar_t* text, const wchar_t* problem)
{
    throw ZVXMLFormatError(std::wstring(L"CZVSchema::SetVersionString... '") + text + problem + kFormatHint, L"");
}

// wcstoul's rules; false when not a single digit was read, and when a minus
// sign would wrap the number around ("-1" reads as 18446744073709551615): a
// version cannot be negative, and the wrapped one is written as a text that
// no longer reads back.
bool ReadNumber(const wchar_t* start, unsigned long* out)
{
    wchar_t* end = nullptr;
    *out = ParseUnsignedLong(start, &end, 10);
    if (end == start) {
        return false;
    }
    const wchar_t* sign = start;
    while (std::wcschr(L" \t\n\v\f\r", *sign) != nullptr && *sign != L'\0') {
        ++sign;
    }
    return *sign != L'-' || *out == 0;
}

// The problem with a non-empty version text, or NULL when it reads as
// "MM.mm" (its numbers then stored in `major` and `minor`).
const wchar_t* VersionProblem(const wchar_t* text, unsigned long* major, unsigned long* minor)
{
    const wchar_t* dot = std::wcschr(text, L'.');
    if (dot == nullptr) {
        return L"' does not contain a '.'!";
    }
    const std::size_t before = static_cast<std::size_t>(dot - text);
    const std::size_t after = std::wcslen(dot + 1);
    if (before < 1 || before > 3) {
        return L"' does not have 1-3 numbers before the '.'!";
    }
    if (after < 1 || after > 3) {
        return L"' does not have 1-3 numbers after the '.'!";
    }
    if (!ReadNumber(text, major)) {
        return L"' The characters before the '.' must be numeric!";
    }
    if (!ReadNumber(dot + 1, minor)) {
        return L"' The characters after the '.' must be numeric!";
    }
    return nullptr;
}

} // namespace

bool detail::ReadVersionNumbers(const wchar_t* text, VersionNumbers& version)
{
    return text != nullptr && *text != L'\0' && VersionProblem(text, &version.major, &version.minor) == nullptr;
}

void CZVSchema::ParseVersionString(const wchar_t* text, unsigned long* pMajor, unsigned long* pMinor)
{
    if (pMajor == nullptr || pMinor == nullptr) {
        throw ZVXMLLogicError(L"pMinor and pMajor must be non-NULL", kLocation);
    }
    if (text == nullptr || *text == L'\0') {
        throw ZVXMLLogicError(L"Version string cannot be NULL or empty!" + std::wstring(kFormatHint), kLocation);
    }
    unsigned long major = 0;
    unsigned long minor = 0;
    if (const wchar_t* problem = VersionProblem(text, &major, &minor)) {
        ThrowFormat(text, problem);
    }
    *pMajor = major;
    *pMinor = minor;
}

void CZVSchema::FormatVersionString(std::wstring& out, unsigned long major, unsigned long minor)
{
    out = FormatWide(L"%02lu.%02lu", major, minor);
}

std::wstring CZVSchema::VersionString() const
{
    std::wstring text;
    FormatVersionString(text, m_versionMajor, m_versionMinor);
    return text;
}

void CZVSchema::SetVersionString(const wchar_t* text) { ParseVersionString(text, &m_versionMajor, &m_versionMinor); }

unsigned long CZVSchema::GetVersionMajor() const { return m_versionMajor; }
unsigned long CZVSchema::GetVersionMinor() const { return m_versionMinor; }

} // namespace ZVXML
