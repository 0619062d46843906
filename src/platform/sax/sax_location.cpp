#include "platform/sax/sax_location.h"

#include "foundation/file_name.h"
#include "foundation/utf8.h"
#include "platform/sax/sax_reader.h"

namespace ZVXML {
namespace platform {
namespace {

[[noreturn]] void Refuse(const std::wstring& location, const std::wstring& reason)
{
    throw SaxPlatformError{kSaxUnspecifiedError, L"Cannot read \"" + location + L"\": " + reason, location};
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The scheme of a URL ("http" in "http://..."), or empty for a path. A
// single letter is not taken for a scheme, so "c:/x" stays a (relative) path.
std::wstring SchemeOf(const std::wstring& location)
{
    if (location.empty() || !IsAsciiLetter(location[0])) {
        return std::wstring();
    }
    std::size_t i = 1;
    while (i < location.size() && (IsAsciiLetter(location[i]) || IsAsciiDigit(location[i]) || location[i] == L'+' ||
                                   location[i] == L'-' || location[i] == L'.')) {
        ++i;
    }
    if (i < 2 || i >= location.size() || location[i] != L':') {
        return std::wstring();
    }
    return location.substr(0, i);
}

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

// `ascii` is lower case.
bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* ascii)
{
    std::size_t i = 0;
    for (; i < text.size() && ascii[i] != 0; ++i) {
        if (AsciiLower(text[i]) != ascii[i]) {
            return false;
        }
    }
    return i == text.size() && ascii[i] == 0;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes %XX escapes (bytes of UTF-8); a '%' not followed by two hex
// digits stays as it is.
std::string PercentDecoded(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string PathOfFileUrl(const std::wstring& location, std::size_t schemeEnd)
{
    std::wstring rest = location.substr(schemeEnd + 1);
    if (rest.compare(0, 2, L"//") == 0) {
        const std::size_t pathStart = rest.find(L'/', 2);
        const std::wstring host = rest.substr(2, pathStart == std::wstring::npos ? std::wstring::npos : pathStart - 2);
        if (!host.empty() && !EqualsIgnoringCase(host, L"localhost")) {
            Refuse(location, L"the file URL names the host \"" + host + L"\"; only local files can be read");
        }
        rest = pathStart == std::wstring::npos ? std::wstring() : rest.substr(pathStart);
    }
    std::string path = PercentDecoded(WideToUtf8(rest));
    if (path.empty()) {
        Refuse(location, L"the file URL names no file");
    }
    if (path.find('\0') != std::string::npos) {
        Refuse(location, L"the file URL holds a NUL character");
    }
    return path;
}

} // namespace

std::string SaxLocalPath(const std::wstring& location)
{
    const std::wstring scheme = SchemeOf(location);
    if (const std::wstring unusable = FileNameProblem(location); !unusable.empty()) {
        Refuse(location, unusable);
    }
    if (scheme.empty()) {
        if (location.empty()) {
            Refuse(location, L"no location given");
        }
        return WideToUtf8(location);
    }
    if (!EqualsIgnoringCase(scheme, L"file")) {
        Refuse(location, L"the scheme \"" + scheme + L"\" is not allowed; only files and file: URLs can be read");
    }
    return PathOfFileUrl(location, scheme.size());
}

} // namespace platform
} // namespace ZVXML
