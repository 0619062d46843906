#include "schemaxml/case_insensitive_text.h"

namespace ZVXML {
namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

} // namespace

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view expected)
{
    if (text.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (FoldAscii(text[i]) != FoldAscii(expected[i])) {
            return false;
        }
    }
    return true;
}

int IsTrueText(std::wstring_view text) { return EqualsIgnoringCase(text, L"True") ? 1 : 0; }

} // namespace ZVXML
