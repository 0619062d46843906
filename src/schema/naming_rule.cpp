#include "schema/naming_rule.h"

#include <zvxml/errors.h>

#include "foundation/char_class.h"

#include <string>

namespace ZVXML {

const wchar_t* const kSchemaNameKind = L"ZVSchema";
const wchar_t* const kClassOrPropertyNameKind = L"ZVClass or ZVProperty";

int CheckName(const wchar_t* name, int throwOnError, const wchar_t* kind)
{
    if (name == nullptr) {
        throw ZVXMLLogicError(std::wstring(kind) + L" names cannot be NULL!", L"");
    }
    if (*name == L'\0') {
        if (throwOnError) {
            throw ZVXMLDomainError(std::wstring(kind) + L" names cannot be blank!", L"");
        }
        return 1;
    }
    if (name[0] != L'_' && !IsLetter(name[0])) {
        if (throwOnError) {
            throw ZVXMLDomainError(std::wstring(kind) + L" names must begin with a letter or '_': '" + name + L"'",
                                   L"");
        }
        return 0;
    }
    for (const wchar_t* c = name + 1; *c != L'\0'; ++c) {
        if (*c != L'_' && !IsLetterOrDigit(*c)) {
            if (throwOnError) {
                throw ZVXMLDomainError(std::wstring(kind) +
                                           L" names can only contain alpha-numeric characters or '_': '" + name + L"'",
                                       L"");
            }
            return 0;
        }
    }
    return 1;
}

} // namespace ZVXML
