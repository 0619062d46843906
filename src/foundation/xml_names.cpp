#include "foundation/xml_names.h"

#include "foundation/utf8.h"

#include <type_traits>

namespace ZVXML {
namespace {

template <class NextCharacter>
bool IsLocalName(NextCharacter next)
{
    char32_t c = 0;
    if (!next(c) || !IsXmlNameStartCharacter(c)) {
        return false;
    }
    while (next(c)) {
        if (!IsXmlNameCharacter(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsXmlNameStartCharacter(char32_t c)
{
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    }
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsXmlNameCharacter(char32_t c)
{
    return IsXmlNameStartCharacter(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsXmlLocalName(std::wstring_view name)
{
    std::size_t i = 0;
    return IsLocalName([&](char32_t& c) {
        if (i == name.size()) {
            return false;
        }
        c = static_cast<std::make_unsigned_t<wchar_t>>(name[i++]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i < name.size() && name[i] >= 0xDC00 && name[i] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(name[i++]) - 0xDC00);
            }
        }
        return true;
    });
}

bool IsReadableXmlLocalName(std::wstring_view name)
{
    std::size_t bytes = 0;
    for (const wchar_t c : name) {
        const auto code = static_cast<std::make_unsigned_t<wchar_t>>(c);
        // A surrogate pair (where wchar_t is 16 bits) is two 3s for one 4: an
        // over-count of at most half, on names near the limit only.
        bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    }
    return bytes <= kMaxXmlNameBytes && IsXmlLocalName(name);
}

bool IsXmlLocalName(std::string_view utf8Name)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8Name.data());
    std::size_t i = 0;
    return IsLocalName([&](char32_t& c) {
        if (i == utf8Name.size()) {
            return false;
        }
        i += DecodeUtf8Char(bytes + i, utf8Name.size() - i, c);
        return true;
    });
}

bool IsXmlQualifiedName(std::string_view utf8Name)
{
    const std::size_t colon = utf8Name.find(':');
    if (colon == std::string_view::npos) {
        return IsXmlLocalName(utf8Name);
    }
    return IsXmlLocalName(utf8Name.substr(0, colon)) && IsXmlLocalName(utf8Name.substr(colon + 1));
}

} // namespace ZVXML
