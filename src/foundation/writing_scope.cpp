#include "foundation/writing_scope.h"

#include "foundation/utf8.h"
#include "foundation/xml_characters.h"
#include "foundation/xml_names.h"

#include <zvxml/errors.h>

#include <cwchar>

namespace ZVXML {
namespace {

thread_local WritingScope* t_innermost = nullptr;

} // namespace

WritingScope::WritingScope(const wchar_t* kind, const wchar_t* name) noexcept
    : m_kind(kind), m_name(name), m_outer(t_innermost)
{
    t_innermost = this;
}

WritingScope::~WritingScope() { t_innermost = m_outer; }

std::wstring WritingScope::Describe() { return DescribeOutwards(t_innermost); }

std::wstring WritingScope::DescribeFrom(const wchar_t* kind)
{
    for (const WritingScope* scope = t_innermost; scope != nullptr; scope = scope->m_outer) {
        if (std::wcscmp(scope->m_kind, kind) == 0) {
            return DescribeOutwards(scope);
        }
    }
    return std::wstring();
}

std::wstring WritingScope::DescribeOutwards(const WritingScope* innermost)
{
    std::wstring text;
    for (const WritingScope* scope = innermost; scope != nullptr; scope = scope->m_outer) {
        if (!text.empty()) {
            text += L" of ";
        }
        text += scope->m_kind;
        if (scope->m_name != nullptr) {
            text.append(L" '").append(scope->m_name).append(L"'");
        }
    }
    return text;
}

namespace {

void RequireWritableText(const wchar_t* text, std::size_t length, const wchar_t* what)
{
    char32_t found = 0;
    if (!FindNonXmlCharacter(text, length, found)) {
        return;
    }
    const std::wstring item = WritingScope::Describe();
    std::wstring message =
        item.empty() ? std::wstring(L"Cannot write the ") + what : L"Cannot write " + item + L": its " + what;
    message += L" holds " + CharacterCodeText(found) + L", a character XML 1.0 cannot carry.";
    throw ZVXMLFormatError(message, L"");
}

} // namespace

void RequireWritableText(const wchar_t* text, const wchar_t* what)
{
    if (text != nullptr) {
        RequireWritableText(text, std::wcslen(text), what);
    }
}

void RequireWritableText(const std::wstring& text, const wchar_t* what)
{
    RequireWritableText(text.c_str(), text.size(), what);
}

void RequireReadableLength(std::wstring_view text, std::size_t limit, const wchar_t* what)
{
    // No character takes more than four bytes, so most texts need no count.
    if (text.size() <= limit / 4 || Utf8Length(text) <= limit) {
        return;
    }
    const std::wstring item = WritingScope::Describe();
    throw ZVXMLFormatError(
        (item.empty() ? std::wstring(L"Cannot write the ") + what : L"Cannot write " + item + L": its " + what) +
            L" is longer than " + std::to_wstring(limit) + L" bytes, more than a reader of the document accepts.",
        L"");
}

void RequireWritableName(const wchar_t* name, const wchar_t* what)
{
    const wchar_t* text = name != nullptr ? name : L"";
    if (IsReadableXmlLocalName(std::wstring_view(text))) {
        return;
    }
    const std::wstring item = WritingScope::Describe();
    std::wstring message =
        item.empty() ? std::wstring(L"Cannot write the ") + what : L"Cannot write " + item + L": its " + what;
    message += std::wstring(L" '") + text + L"' is not an XML name.";
    throw ZVXMLFormatError(message, L"");
}

} // namespace ZVXML
