#include "instancexml/cardinality_text.h"

#include <string_view>

namespace ZVXML {
namespace {

std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == L' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Decimal digits only, without overflow.
bool ReadNumber(std::wstring_view text, std::uint64_t& value)
{
    text = Trimmed(text);
    if (text.empty() || text.size() > 18) {
        return false;
    }
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return true;
}

bool ReadUpper(std::wstring_view text, std::uint64_t& value)
{
    text = Trimmed(text);
    if (text == L"N" || text == L"*") {
        value = Cardinality::kUnbounded;
        return true;
    }
    return ReadNumber(text, value);
}

bool ReadBounds(std::wstring_view text, Cardinality& result)
{
    std::size_t separator = 0;
    std::size_t width = 0;
    if (text.size() >= 2 && text.front() == L'(' && text.back() == L')') {
        text = text.substr(1, text.size() - 2);
        separator = text.find(L',');
        width = 1;
    } else {
        separator = text.find(L"..");
        width = 2;
    }
    if (separator == std::wstring_view::npos) {
        return false;
    }
    return ReadNumber(text.substr(0, separator), result.low) &&
           ReadUpper(text.substr(separator + width), result.high) && result.low <= result.high;
}

} // namespace

Cardinality ReadCardinality(const std::wstring& text)
{
    Cardinality result;
    const std::wstring_view trimmed = Trimmed(text);
    if (trimmed.empty()) {
        return result;
    }
    result.kind = ReadBounds(trimmed, result) ? Cardinality::Kind::Understood : Cardinality::Kind::NotUnderstood;
    return result;
}

} // namespace ZVXML
